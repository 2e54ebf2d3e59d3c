package io.tarnwick.update.apply;

import io.tarnwick.update.AtomicWrite;
import io.tarnwick.update.FileEntry;
import io.tarnwick.update.Hashing;
import io.tarnwick.update.Payload;
import io.tarnwick.update.UpdateException;
import java.io.IOException;
import java.io.Writer;
import java.nio.ByteBuffer;
import java.nio.channels.FileChannel;
import java.nio.charset.StandardCharsets;
import java.nio.file.FileVisitResult;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.SimpleFileVisitor;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.BasicFileAttributes;
import java.nio.file.attribute.PosixFilePermission;
import java.security.MessageDigest;
import java.util.ArrayList;
import java.util.Collection;
import java.util.EnumSet;
import java.util.List;
import java.util.Set;

/**
 * Every change the updater makes to the file system, one step at a time, so
 * that each can be counted and, in tests, interrupted: with the system
 * property {@value #STEP_LOG} each step appends {@code <n> <description>} to
 * that file before it is taken, and with {@value #KILL_AT_STEP}=n the process
 * kills itself (SIGKILL) instead of taking step n. Steps count from 1 in one
 * process.
 */
public final class FileSteps {
    public static final String STEP_LOG = "io.tarnwick.update.test.stepLog";
    public static final String KILL_AT_STEP = "io.tarnwick.update.test.killAtStep";

    /** Called before each step; may end the process or throw in its place. */
    @FunctionalInterface
    public interface Hook {
        void before(long step, String description) throws IOException;
    }

    private final Hook hook;
    private long count;

    public FileSteps(Hook hook) {
        this.hook = hook;
    }

    /** The steps as the updater takes them: with the test hooks when their properties are set, otherwise plain. */
    public static FileSteps fromSystemProperties() {
        String log = System.getProperty(STEP_LOG);
        String kill = System.getProperty(KILL_AT_STEP);
        if (log == null && kill == null) {
            return new FileSteps((n, d) -> { });
        }
        long killAt = kill == null ? -1 : Long.parseLong(kill.trim());
        return new FileSteps((n, d) -> {
            if (log != null) {
                try (Writer w = Files.newBufferedWriter(Path.of(log), StandardCharsets.UTF_8,
                        StandardOpenOption.CREATE, StandardOpenOption.APPEND, StandardOpenOption.WRITE)) {
                    w.write(n + " " + d + "\n");
                }
            }
            if (n == killAt) {
                killSelf();
            }
        });
    }

    private static void killSelf() {
        try {
            if (System.getProperty("os.name", "").startsWith("Windows")) {
                Runtime.getRuntime().halt(137);
            }
            new ProcessBuilder("kill", "-KILL", Long.toString(ProcessHandle.current().pid())).inheritIO().start().waitFor();
            while (true) {
                Thread.sleep(1000);
            }
        } catch (IOException | InterruptedException e) {
            Runtime.getRuntime().halt(137);
        }
    }

    /** How many steps were taken (or begun). */
    public long count() {
        return count;
    }

    private void step(String description) throws IOException {
        hook.before(++count, description);
    }

    public void createDirectory(Path dir) throws IOException {
        step("create folder " + dir);
        try {
            Files.createDirectory(dir);
        } catch (java.nio.file.FileAlreadyExistsException e) {
            // another updater made it first, and then waits for the lock
            if (!Files.isDirectory(dir, LinkOption.NOFOLLOW_LINKS)) {
                throw e;
            }
        }
    }

    /** Creates each missing folder of {@code dir}, one step each. */
    public void createDirectories(Path dir) throws IOException {
        if (Files.isDirectory(dir, LinkOption.NOFOLLOW_LINKS)) {
            return;
        }
        Path parent = dir.getParent();
        if (parent != null) {
            createDirectories(parent);
        }
        createDirectory(dir);
    }

    /** Creates an empty file if there is none (the lock files). */
    public void createFileIfMissing(Path file) throws IOException {
        if (!Files.exists(file, LinkOption.NOFOLLOW_LINKS)) {
            step("create " + file);
            Files.newByteChannel(file, StandardOpenOption.CREATE, StandardOpenOption.WRITE).close();
        }
    }

    /** Renames in one step; the target must not exist. */
    public void move(Path from, Path to) throws IOException {
        step("move " + from + " to " + to);
        AtomicWrite.move(from, to);
    }

    public void delete(Path file) throws IOException {
        if (Files.exists(file, LinkOption.NOFOLLOW_LINKS)) {
            step("delete " + file);
            Files.deleteIfExists(file);
        }
    }

    /** Deletes a folder and all it holds, one step per entry, contents first. */
    public void deleteTree(Path dir) throws IOException {
        if (!Files.exists(dir, LinkOption.NOFOLLOW_LINKS)) {
            return;
        }
        Files.walkFileTree(dir, new SimpleFileVisitor<>() {
            @Override
            public FileVisitResult visitFile(Path file, BasicFileAttributes attrs) throws IOException {
                delete(file);
                return FileVisitResult.CONTINUE;
            }

            @Override
            public FileVisitResult postVisitDirectory(Path d, IOException e) throws IOException {
                if (e != null) {
                    throw e;
                }
                delete(d);
                return FileVisitResult.CONTINUE;
            }
        });
    }

    public void syncFolder(Path dir) throws IOException {
        step("flush folder " + dir);
        AtomicWrite.syncFolder(dir);
    }

    /** Creates or truncates a file and writes it, flushed: for a file whose contents do not matter if cut short. */
    public void writeFlushed(Path file, byte[] bytes) throws IOException {
        step("write " + file);
        AtomicWrite.writeFlushed(file, bytes);
    }

    /** One copy of {@link #copyAll}. */
    public record Copy(Path source, Path target, FileEntry entry) {}

    /**
     * {@link #copyVerified} for each copy (its steps counted first, in order), on
     * every core, without flushing: {@link #flushAll} follows.
     */
    public void copyAll(List<Copy> copies) throws IOException, UpdateException {
        for (Copy c : copies) {
            step("copy " + c.source() + " to " + c.target());
        }
        // Largest first: a runtime's one large file hashed last would leave the other threads idle.
        List<Copy> bySize = new ArrayList<>(copies);
        bySize.sort(java.util.Comparator.comparingLong((Copy c) -> c.entry().size()).reversed());
        List<Parallel.Task> tasks = new ArrayList<>();
        for (Copy c : bySize) {
            tasks.add(() -> copy(c.source(), c.target(), c.entry(), false));
        }
        Parallel.run(Parallel.cores(), tasks);
    }

    /** Flushes files, or folders' entries, to the disk; all together, one step each. */
    public void flushAll(Collection<Path> paths) throws IOException {
        List<Parallel.Task> tasks = new ArrayList<>();
        for (Path p : paths) {
            step("flush " + p);
            tasks.add(() -> {
                if (Files.isDirectory(p, LinkOption.NOFOLLOW_LINKS)) {
                    AtomicWrite.syncFolder(p);
                } else {
                    try (FileChannel ch = FileChannel.open(p, StandardOpenOption.WRITE)) {
                        ch.force(true);
                    }
                }
            });
        }
        try {
            Parallel.run(Parallel.FLUSH_THREADS, tasks);
        } catch (UpdateException e) {
            throw new IOException(e.getMessage(), e);
        }
    }

    /** Writes a whole file under a temporary name, flushed, then renamed over {@code target}. */
    public void writeAtomically(Path target, byte[] bytes) throws IOException {
        Path temp = target.resolveSibling(target.getFileName() + ".tmp");
        step("write " + temp);
        AtomicWrite.writeFlushed(temp, bytes);
        step("move " + temp + " to " + target);
        AtomicWrite.move(temp, target);
        syncFolder(target.getParent());
    }

    /**
     * Copies {@code source} to the new file {@code target} and checks the bytes
     * it wrote against the entry's size and SHA-256, then flushes them: what
     * is installed is what was verified, whatever happens to the source later.
     */
    public void copyVerified(Path source, Path target, FileEntry entry) throws IOException, UpdateException {
        step("copy " + source + " to " + target);
        copy(source, target, entry, true);
    }

    private static void copy(Path source, Path target, FileEntry entry, boolean flush)
            throws IOException, UpdateException {
        String what = "the staged file for " + entry.path();
        try (FileChannel in = FileChannel.open(source, StandardOpenOption.READ);
                FileChannel out = FileChannel.open(target, StandardOpenOption.CREATE_NEW, StandardOpenOption.WRITE,
                        StandardOpenOption.READ)) {
            // The kernel copies (no pass through the heap); the hash is then taken over the file written.
            long size = entry.size();
            long copied = 0;
            for (long n; copied < size && (n = in.transferTo(copied, size - copied, out)) > 0; ) {
                copied += n;
            }
            if (copied < size) {
                throw new UpdateException(what + " is refused: it ends " + (size - copied)
                        + " bytes before its declared size");
            }
            if (in.size() > size) {
                throw new UpdateException(what + " is refused: it is longer than its declared size");
            }
            Payload.verifyHash(hashOf(out, size), entry, what);
            if (flush) {
                out.force(true);
            }
        } catch (NoSuchFileException e) {
            throw new UpdateException("the staged file for " + entry.path() + " is missing: " + source);
        }
        if (entry.executable()) {
            makeExecutable(target);
        }
    }

    /** The SHA-256 of all the channel's file holds, whatever its length. */
    private static MessageDigest hashOf(FileChannel file, long size) throws IOException {
        MessageDigest digest = Hashing.sha256();
        byte[] buffer = new byte[(int) Math.min(Hashing.BUFFER, size + 1)];
        ByteBuffer wrapped = ByteBuffer.wrap(buffer);
        long position = 0;
        for (int n; (n = file.read(wrapped, position)) > 0; position += n) {
            digest.update(buffer, 0, n);
            wrapped.clear();
        }
        return digest;
    }

    static void makeExecutable(Path file) throws IOException {
        if (!file.getFileSystem().supportedFileAttributeViews().contains("posix")) {
            return;
        }
        Set<PosixFilePermission> p = EnumSet.copyOf(Files.getPosixFilePermissions(file));
        p.add(PosixFilePermission.OWNER_EXECUTE);
        if (p.contains(PosixFilePermission.GROUP_READ)) {
            p.add(PosixFilePermission.GROUP_EXECUTE);
        }
        if (p.contains(PosixFilePermission.OTHERS_READ)) {
            p.add(PosixFilePermission.OTHERS_EXECUTE);
        }
        Files.setPosixFilePermissions(file, p);
    }
}
