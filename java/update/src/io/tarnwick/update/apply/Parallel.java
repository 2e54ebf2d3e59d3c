package io.tarnwick.update.apply;

import io.tarnwick.update.UpdateException;
import java.io.IOException;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;

/**
 * Runs independent file tasks on several threads: hashing uses every core,
 * and flushes issued together let the file system commit them together.
 * Every task has ended when {@link #run} returns or throws.
 */
final class Parallel {
    /** Threads for flushes, which wait on the disk rather than the processor. */
    static final int FLUSH_THREADS = 16;

    /** One task. */
    @FunctionalInterface
    interface Task {
        void run() throws IOException, UpdateException;
    }

    private Parallel() {}

    static int cores() {
        return Math.max(1, Runtime.getRuntime().availableProcessors());
    }

    /** Runs every task; the first failure is thrown once all have ended. */
    static void run(int threads, List<Task> tasks) throws IOException, UpdateException {
        if (tasks.size() <= 1 || threads <= 1) {
            for (Task t : tasks) {
                t.run();
            }
            return;
        }
        ExecutorService pool = Executors.newFixedThreadPool(Math.min(threads, tasks.size()), r -> {
            Thread t = new Thread(r, "tarnwick-update-file");
            t.setDaemon(true);
            return t;
        });
        try {
            List<Future<Void>> futures = new ArrayList<>();
            for (Task t : tasks) {
                futures.add(pool.submit(() -> {
                    t.run();
                    return null;
                }));
            }
            Throwable first = null;
            for (Future<Void> f : futures) {
                try {
                    f.get();
                } catch (ExecutionException e) {
                    first = first == null ? e.getCause() : first;
                } catch (InterruptedException e) {
                    Thread.currentThread().interrupt();
                    first = first == null ? new IOException("interrupted", e) : first;
                }
            }
            if (first instanceof IOException) {
                throw (IOException) first;
            }
            if (first instanceof UpdateException) {
                throw (UpdateException) first;
            }
            if (first instanceof RuntimeException) {
                throw (RuntimeException) first;
            }
            if (first instanceof Error) {
                throw (Error) first;
            }
        } finally {
            pool.shutdownNow();
        }
    }
}
