package io.tarnwick.tools;

/**
 * Waits for what a plain {@code java} command waits for before it ends: no
 * thread left that keeps the virtual machine alive (a non-daemon thread) but
 * the caller's, and no window that is still displayable.
 */
final class ApplicationEnd {
    private static final long WINDOW_POLL_MILLIS = 100;

    private ApplicationEnd() {}

    static void await() {
        Thread self = Thread.currentThread();
        boolean interrupted = false;
        for (;;) {
            Thread other = otherLiveThread(self);
            try {
                if (other != null) {
                    other.join();
                } else if (ApplicationWindows.anyDisplayable()) {
                    Thread.sleep(WINDOW_POLL_MILLIS);
                } else {
                    break;
                }
            } catch (InterruptedException e) {
                // The application ends when it ends; the interrupt is kept.
                interrupted = true;
            }
        }
        if (interrupted) {
            self.interrupt();
        }
    }

    static boolean threadNamed(String prefix) {
        for (Thread thread : allThreads()) {
            if (thread != null && thread.isAlive() && thread.getName().startsWith(prefix)) {
                return true;
            }
        }
        return false;
    }

    private static Thread otherLiveThread(Thread self) {
        for (Thread thread : allThreads()) {
            if (thread != null && thread != self && thread.isAlive() && !thread.isDaemon()) {
                return thread;
            }
        }
        return null;
    }

    private static Thread[] allThreads() {
        ThreadGroup root = Thread.currentThread().getThreadGroup();
        while (root.getParent() != null) {
            root = root.getParent();
        }
        Thread[] threads = new Thread[root.activeCount() + 16];
        while (root.enumerate(threads, true) == threads.length) {
            threads = new Thread[threads.length * 2];
        }
        return threads;
    }
}
