package io.tarnwick.update;

import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.channels.Channels;
import java.nio.channels.FileChannel;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.PosixFilePermission;
import java.security.MessageDigest;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.Set;
import java.util.concurrent.atomic.AtomicLong;

/**
 * Brings a release's payloads into a staging folder: {@code staged/<sha256>}
 * for each file that the application folder does not already hold, each
 * downloaded to {@code partial/<sha256>.part} (resumed from where an earlier
 * download stopped), checked, flushed, and renamed. {@code snapshot.json},
 * the release's envelope, is written last.
 */
public final class Stager {
    public static final String SNAPSHOT = "snapshot.json";
    /** Payloads of an installed release, which the updater moved aside for the application to delete. */
    public static final String RETIRED = "staged.installed";

    private final Feed feed;
    private final Path dir;

    public Stager(Feed feed, Path stagingDir) {
        this.feed = feed;
        this.dir = stagingDir;
    }

    /** Deletes the payloads the updater has installed and moved aside. */
    public void deleteRetired() throws IOException {
        Path retired = dir.resolve(RETIRED);
        if (!Files.isDirectory(retired, LinkOption.NOFOLLOW_LINKS)) {
            return;
        }
        try (DirectoryStream<Path> files = Files.newDirectoryStream(retired)) {
            for (Path p : files) {
                Files.deleteIfExists(p);
            }
        }
        Files.deleteIfExists(retired);
    }

    public Path staged() {
        return dir.resolve("staged");
    }

    /** Downloads what the application folder lacks; returns the number of bytes downloaded. */
    public long fetch(Manifest m, Path appDir, ProgressListener progress) throws IOException, UpdateException {
        Map<String, FileEntry> needed = new LinkedHashMap<>();
        for (FileEntry f : m.files()) {
            if (!needed.containsKey(f.sha256()) && !installedAlready(appDir, f) && !stagedAlready(f)) {
                needed.put(f.sha256(), f);
            }
        }
        Files.createDirectories(staged());
        Files.createDirectories(dir.resolve("partial"));
        long total = needed.values().stream().mapToLong(FileEntry::size).sum();
        AtomicLong done = new AtomicLong();
        long fetched = 0;
        for (FileEntry f : needed.values()) {
            fetched += download(f, n -> {
                long d = done.addAndGet(n);
                if (progress != null) {
                    progress.progress(d, total);
                }
            });
        }
        return fetched;
    }

    /** Makes the release the one waiting for the updater, then drops payloads it does not use. */
    public void writeSnapshot(Envelope envelope, Manifest m) throws IOException {
        AtomicWrite.write(dir.resolve(SNAPSHOT), envelope.toBytes());
        Set<String> used = new java.util.HashSet<>();
        m.files().forEach(f -> used.add(f.sha256()));
        for (String folder : new String[] {"staged", "partial"}) {
            try (DirectoryStream<Path> files = Files.newDirectoryStream(dir.resolve(folder))) {
                for (Path p : files) {
                    String name = p.getFileName().toString();
                    if (!used.contains(name.endsWith(".part") ? name.substring(0, name.length() - 5) : name)) {
                        Files.deleteIfExists(p);
                    }
                }
            }
        }
    }

    private boolean stagedAlready(FileEntry f) throws IOException {
        Path p = staged().resolve(f.sha256());
        if (!Files.isRegularFile(p) || Files.size(p) != f.size()) {
            return false;
        }
        if (f.sha256().equals(Hashing.sha256(p, f.size()))) {
            return true;
        }
        Files.delete(p);
        return false;
    }

    static boolean installedAlready(Path appDir, FileEntry f) throws IOException {
        Path p = appDir.resolve(f.path());
        if (!Files.isRegularFile(p, LinkOption.NOFOLLOW_LINKS) || Files.size(p) != f.size()) {
            return false;
        }
        if (p.getFileSystem().supportedFileAttributeViews().contains("posix")
                && Files.getPosixFilePermissions(p).contains(PosixFilePermission.OWNER_EXECUTE) != f.executable()) {
            return false;
        }
        return f.sha256().equals(Hashing.sha256(p, f.size()));
    }

    /** Downloads one payload, resuming a partial one; returns the bytes that came from the feed. */
    private long download(FileEntry f, java.util.function.LongConsumer progress) throws IOException, UpdateException {
        Path part = dir.resolve("partial").resolve(f.sha256() + ".part");
        long have = Files.isRegularFile(part) ? Files.size(part) : 0;
        if (have > f.size()) {
            Files.delete(part);
            have = 0;
        }
        MessageDigest digest = Hashing.sha256();
        long resumedAt;
        try (Feed.Body body = feed.open(Payload.name(f), have);
                FileChannel out = FileChannel.open(part, StandardOpenOption.CREATE, StandardOpenOption.WRITE)) {
            long start = body.offset();
            resumedAt = start;
            out.truncate(start);
            if (start > 0) {
                try (InputStream prefix = Files.newInputStream(part)) {
                    Payload.copy(prefix, null, digest, start, part.toString(), null);
                }
            }
            out.position(start);
            progress.accept(start);
            OutputStream os = Channels.newOutputStream(out);
            try {
                Payload.copy(body.in(), os, digest, f.size() - start, feed.describe(Payload.name(f)), progress);
                Payload.verifyHash(digest, f, feed.describe(Payload.name(f)));
            } catch (UpdateException e) {
                out.truncate(0);
                throw e;
            } finally {
                out.force(true);
            }
        }
        AtomicWrite.move(part, staged().resolve(f.sha256()));
        return f.size() - resumedAt;
    }
}
