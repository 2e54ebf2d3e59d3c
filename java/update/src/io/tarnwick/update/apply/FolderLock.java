package io.tarnwick.update.apply;

import java.io.IOException;
import java.nio.channels.FileChannel;
import java.nio.channels.FileLock;
import java.nio.channels.OverlappingFileLockException;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.time.Duration;

/**
 * An exclusive lock on a file, waited for a bounded time: the updater's own
 * {@code lock}, so that two updaters never work on one folder, and
 * {@code running.lock}, which every running copy of the application holds
 * shared.
 */
public final class FolderLock implements AutoCloseable {
    private final FileChannel channel;
    private final FileLock lock;

    private FolderLock(FileChannel channel, FileLock lock) {
        this.channel = channel;
        this.lock = lock;
    }

    /** The lock, or null when someone else still held it after {@code wait}. */
    public static FolderLock acquire(Path file, Duration wait) throws IOException {
        FileChannel channel = FileChannel.open(file, StandardOpenOption.CREATE, StandardOpenOption.READ,
                StandardOpenOption.WRITE);
        long deadline = System.nanoTime() + wait.toNanos();
        try {
            while (true) {
                FileLock lock;
                try {
                    lock = channel.tryLock();
                } catch (OverlappingFileLockException e) {
                    lock = null;
                }
                if (lock != null) {
                    return new FolderLock(channel, lock);
                }
                if (System.nanoTime() > deadline) {
                    channel.close();
                    return null;
                }
                Thread.sleep(100);
            }
        } catch (InterruptedException e) {
            channel.close();
            Thread.currentThread().interrupt();
            return null;
        } catch (IOException | RuntimeException e) {
            channel.close();
            throw e;
        }
    }

    @Override
    public void close() throws IOException {
        try {
            lock.release();
        } finally {
            channel.close();
        }
    }
}
