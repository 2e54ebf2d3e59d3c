package io.tarnwick.update.publish;

import io.tarnwick.update.AtomicWrite;
import io.tarnwick.update.Envelope;
import io.tarnwick.update.Feed;
import io.tarnwick.update.FileEntry;
import io.tarnwick.update.Hashing;
import io.tarnwick.update.Keys;
import io.tarnwick.update.Manifest;
import io.tarnwick.update.PathRules;
import io.tarnwick.update.Settings;
import io.tarnwick.update.UpdateException;
import io.tarnwick.update.Version;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardOpenOption;
import java.security.KeyPair;
import java.security.MessageDigest;
import java.security.PublicKey;
import java.time.Duration;
import java.time.Instant;
import java.time.temporal.ChronoUnit;
import java.util.ArrayList;
import java.util.List;
import java.util.Optional;

/**
 * publish: signs the application folder DIR as release V into FEED. Payloads
 * are stored by their SHA-256, so a file that an earlier release already has
 * is not stored again; release.json is written last, so a client never sees
 * a release whose files are not all there. Then DIR/.tarnwick/installed.json
 * records the release, so that DIR, shipped as it is, knows its version.
 */
final class Publish {
    static final int DEFAULT_EXPIRY_DAYS = 30;

    private Publish() {}

    static int run(Options o) throws Options.UsageException, UpdateException, IOException {
        List<KeyPair> keys = new ArrayList<>();
        for (String file : o.required("key").split(",")) {
            String line = Files.readString(Paths.get(file), StandardCharsets.US_ASCII).trim();
            keys.add(Keys.parsePrivate(line, file));
        }
        Path app = Paths.get(o.required("app")).toAbsolutePath();
        Version version = Version.parse(o.required("version"));
        Path out = Paths.get(o.required("out"));
        long days = days(o.optional("expires"));
        Optional<Version> minimum = o.optional("minimum") == null ? Optional.empty()
                : Optional.of(Version.parse(o.optional("minimum")));
        if (!Files.isDirectory(app)) {
            throw new UpdateException(app + " is not a folder");
        }
        Settings settings = Settings.read(app);
        checkKeysTrusted(keys, settings.publicKeys(), app);
        refuseOlderThanFeed(out, version, settings.packageName());

        List<Path> files = AppFolder.files(app);
        Files.createDirectories(out.resolve("files"));
        Files.createDirectories(out.resolve("releases"));
        List<FileEntry> entries = new ArrayList<>();
        long newBytes = 0;
        int newFiles = 0;
        for (Path file : files) {
            String path = AppFolder.relative(app, file);
            String sha = Hashing.sha256(file, Long.MAX_VALUE);
            long size = Files.size(file);
            Path stored = out.resolve("files").resolve(sha);
            if (!Files.exists(stored) || Files.size(stored) != size) {
                store(file, stored, sha);
                newBytes += size;
                newFiles++;
            }
            entries.add(new FileEntry(path, size, sha, AppFolder.executable(file)));
        }
        PathRules.checkAll(entries.stream().map(FileEntry::path).toList());
        Instant now = Instant.now().truncatedTo(ChronoUnit.SECONDS);
        Manifest manifest = new Manifest(settings.packageName(), version, now, now.plus(Duration.ofDays(days)),
                minimum, entries);
        Envelope envelope = sign(manifest, keys);
        byte[] bytes = envelope.toBytes();
        AtomicWrite.write(out.resolve("releases").resolve(version + ".json"), bytes);
        AtomicWrite.write(out.resolve(Feed.RELEASE), bytes);
        Files.createDirectories(app.resolve(PathRules.STATE_FOLDER));
        AtomicWrite.write(app.resolve(PathRules.STATE_FOLDER).resolve("installed.json"), bytes);
        System.out.println("published " + settings.packageName() + " " + version + " to " + out + ": "
                + entries.size() + " files, " + manifest.totalSize() + " bytes; " + newFiles + " files new, "
                + newBytes + " bytes new; expires " + manifest.expires());
        return 0;
    }

    private static long days(String text) throws Options.UsageException {
        if (text == null) {
            return DEFAULT_EXPIRY_DAYS;
        }
        try {
            long d = Long.parseLong(text);
            if (d < 1 || d > 3650) {
                throw new NumberFormatException();
            }
            return d;
        } catch (NumberFormatException e) {
            throw new Options.UsageException("--expires takes a number of days from 1 to 3650");
        }
    }

    private static void checkKeysTrusted(List<KeyPair> keys, List<PublicKey> trusted, Path app) throws UpdateException {
        for (KeyPair k : keys) {
            if (trusted.stream().anyMatch(t -> Keys.keyId(t).equals(Keys.keyId(k.getPublic())))) {
                return;
            }
        }
        throw new UpdateException("no signing key is among the publicKeys of " + Settings.file(app)
                + ": the installed application would refuse this release");
    }

    private static void refuseOlderThanFeed(Path out, Version version, String packageName)
            throws UpdateException, IOException {
        Path current = out.resolve(Feed.RELEASE);
        if (Files.exists(current)) {
            Manifest m = Envelope.parse(Files.readAllBytes(current), current.toString()).unverifiedManifest();
            if (!m.packageName().equals(packageName)) {
                throw new UpdateException(out + " is the feed of \"" + m.packageName() + "\", not of \"" + packageName + "\"");
            }
            if (!version.isNewerThan(m.version())) {
                throw new UpdateException("version " + version + " is not newer than " + m.version()
                        + ", the feed's current release: publish a higher version");
            }
        }
        if (Files.exists(out.resolve("releases").resolve(version + ".json"))) {
            throw new UpdateException("version " + version + " was published before: publish a higher version");
        }
    }

    private static Envelope sign(Manifest manifest, List<KeyPair> keys) throws UpdateException {
        List<Envelope.Signed> sigs = new ArrayList<>();
        for (KeyPair k : keys) {
            sigs.addAll(Envelope.sign(manifest, k).signatures());
        }
        return new Envelope(manifest.toBytes(), sigs);
    }

    /** Copies a payload in under its hash, checking that what was written is what was hashed. */
    private static void store(Path file, Path stored, String sha) throws IOException, UpdateException {
        Path temp = stored.resolveSibling(sha + ".tmp");
        MessageDigest digest = Hashing.sha256();
        byte[] buffer = new byte[Hashing.BUFFER];
        try (InputStream in = Files.newInputStream(file);
                OutputStream os = Files.newOutputStream(temp, StandardOpenOption.CREATE,
                        StandardOpenOption.TRUNCATE_EXISTING, StandardOpenOption.WRITE)) {
            for (int n; (n = in.read(buffer)) > 0; ) {
                digest.update(buffer, 0, n);
                os.write(buffer, 0, n);
            }
        }
        if (!Hashing.hex(digest.digest()).equals(sha)) {
            Files.deleteIfExists(temp);
            throw new UpdateException(file + " changed while it was published: publish again");
        }
        try (var ch = java.nio.channels.FileChannel.open(temp, StandardOpenOption.WRITE)) {
            ch.force(true);
        }
        AtomicWrite.move(temp, stored);
    }
}
