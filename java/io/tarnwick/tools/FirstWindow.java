package io.tarnwick.tools;

/**
 * Hides the launcher's splash once: as soon as the application shows its
 * first window, or when its {@code main} has returned without one.
 */
final class FirstWindow implements Runnable {
    // Often while the application starts, rarely once it has run a while
    // without a window (a main that never returns, a program without one).
    private static final long POLL_MILLIS = 20;
    private static final long SLOW_POLL_MILLIS = 250;
    private static final long STARTING_MILLIS = 10000;

    private final Object lock = new Object();
    private boolean hidden;
    private volatile boolean stopped;

    private FirstWindow() {}

    static FirstWindow watch() {
        FirstWindow watch = new FirstWindow();
        Thread thread = new Thread(watch, "MainRunner first window");
        thread.setDaemon(true);
        thread.start();
        return watch;
    }

    @Override
    public void run() {
        final long start = System.nanoTime();
        try {
            while (!stopped) {
                if (ApplicationWindows.anyShowing()) {
                    hideOnce();
                    return;
                }
                final long ran = (System.nanoTime() - start) / 1000000;
                Thread.sleep(ran < STARTING_MILLIS ? POLL_MILLIS : SLOW_POLL_MILLIS);
            }
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
    }

    /** Work that main queued for the GUI thread runs first: it may show the window. */
    void mainReturned() {
        stopped = true;
        ApplicationWindows.settle();
        hideOnce();
    }

    private void hideOnce() {
        synchronized (lock) {
            if (hidden) {
                return;
            }
            hidden = true;
        }
        SplashScreen.hideIfPresent();
    }
}
