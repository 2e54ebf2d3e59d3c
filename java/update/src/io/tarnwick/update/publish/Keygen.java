package io.tarnwick.update.publish;

import io.tarnwick.update.Keys;
import io.tarnwick.update.UpdateException;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.FileAlreadyExistsException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.FileAttribute;
import java.nio.file.attribute.PosixFilePermissions;
import java.security.GeneralSecurityException;
import java.security.KeyPair;

/** keygen: a new Ed25519 key pair, never over an existing file; the private file readable by its owner only. */
final class Keygen {
    private Keygen() {}

    static int run(Options o) throws Options.UsageException, UpdateException, IOException {
        Path privateFile = Paths.get(o.required("private"));
        Path publicFile = Paths.get(o.required("public"));
        for (Path p : new Path[] {privateFile, publicFile}) {
            if (Files.exists(p, java.nio.file.LinkOption.NOFOLLOW_LINKS)) {
                throw new UpdateException(p + " exists already: keygen never overwrites a key");
            }
        }
        KeyPair pair;
        try {
            pair = Keys.generate();
        } catch (GeneralSecurityException e) {
            throw new UpdateException("this Java runtime cannot make Ed25519 keys: " + e.getMessage());
        }
        create(privateFile, Keys.privateLine(pair.getPrivate()), true);
        create(publicFile, Keys.publicLine(pair.getPublic()), false);
        System.out.println("key " + Keys.keyId(pair.getPublic()) + ": private key in " + privateFile
                + ", public line in " + publicFile);
        return 0;
    }

    private static void create(Path file, String line, boolean ownerOnly) throws UpdateException, IOException {
        FileAttribute<?>[] attrs = ownerOnly && file.getFileSystem().supportedFileAttributeViews().contains("posix")
                ? new FileAttribute<?>[] {PosixFilePermissions.asFileAttribute(PosixFilePermissions.fromString("rw-------"))}
                : new FileAttribute<?>[0];
        try {
            Files.createFile(file, attrs);
        } catch (FileAlreadyExistsException e) {
            throw new UpdateException(file + " exists already: keygen never overwrites a key");
        }
        Files.write(file, (line + "\n").getBytes(StandardCharsets.US_ASCII), StandardOpenOption.WRITE,
                StandardOpenOption.SYNC);
    }
}
