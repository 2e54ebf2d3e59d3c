package io.tarnwick.update;

import java.io.IOException;
import java.nio.ByteBuffer;
import java.nio.channels.FileChannel;
import java.nio.file.AtomicMoveNotSupportedException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.StandardOpenOption;

/**
 * Writes whole files so that a reader sees the old file or the new one, never
 * a part: the bytes go to a temporary name beside it, are flushed to the
 * disk, and the name is renamed over the target.
 */
public final class AtomicWrite {
    private AtomicWrite() {}

    public static void write(Path target, byte[] bytes) throws IOException {
        Path temp = target.resolveSibling(target.getFileName() + ".tmp");
        writeFlushed(temp, bytes);
        move(temp, target);
        syncFolder(target.toAbsolutePath().getParent());
    }

    /** Creates or truncates the file, writes it all and flushes it to the disk. */
    public static void writeFlushed(Path file, byte[] bytes) throws IOException {
        try (FileChannel ch = FileChannel.open(file, StandardOpenOption.CREATE, StandardOpenOption.WRITE,
                StandardOpenOption.TRUNCATE_EXISTING)) {
            ByteBuffer buffer = ByteBuffer.wrap(bytes);
            while (buffer.hasRemaining()) {
                ch.write(buffer);
            }
            ch.force(true);
        }
    }

    /** Renames atomically, over an existing target. */
    public static void move(Path from, Path to) throws IOException {
        try {
            Files.move(from, to, StandardCopyOption.ATOMIC_MOVE, StandardCopyOption.REPLACE_EXISTING);
        } catch (AtomicMoveNotSupportedException e) {
            throw new IOException("cannot rename " + from + " to " + to + " in one step: " + e.getMessage(), e);
        }
    }

    /** Flushes a folder's entries where the platform allows it (not on Windows, where a rename is already durable). */
    public static void syncFolder(Path folder) throws IOException {
        if (folder == null || System.getProperty("os.name", "").startsWith("Windows")) {
            return;
        }
        try (FileChannel ch = FileChannel.open(folder, StandardOpenOption.READ)) {
            ch.force(true);
        }
    }
}
