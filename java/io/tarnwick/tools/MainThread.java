package io.tarnwick.tools;

import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;

/**
 * The application's {@code main} on a thread of its own, named as the
 * caller's: it ends when {@code main} returns or throws, so that a thread of
 * the application that joins it goes on, as it does under {@code java}.
 */
final class MainThread implements Runnable {
    private final Method main;
    private final String[] args;
    private final Thread thread;
    private volatile boolean returned;

    private MainThread(Method main, String[] args) {
        this.main = main;
        this.args = args;
        Thread caller = Thread.currentThread();
        thread = new Thread(caller.getThreadGroup(), this, caller.getName());
        thread.setContextClassLoader(caller.getContextClassLoader());
        // One thread named main in a dump: the application's.
        caller.setName("MainRunner");
    }

    static MainThread start(Method main, String[] args) {
        MainThread application = new MainThread(main, args);
        application.thread.start();
        return application;
    }

    @Override
    public void run() {
        try {
            main.invoke(null, (Object) args);
            returned = true;
        } catch (InvocationTargetException e) {
            // As java does: described, and what the application started
            // still runs to its end.
            describe(e.getCause());
        } catch (LinkageError e) {
            // A static initialiser that threw, or a class it needs that is missing.
            describe(e);
        } catch (IllegalAccessException e) {
            System.err.println("MainRunner: " + e);
        }
    }

    /** Waits until main has ended; true when it did not return normally. */
    boolean awaitFailed() {
        boolean interrupted = false;
        for (;;) {
            try {
                thread.join();
                break;
            } catch (InterruptedException e) {
                interrupted = true;
            }
        }
        if (interrupted) {
            Thread.currentThread().interrupt();
        }
        return !returned;
    }

    private static void describe(Throwable thrown) {
        System.err.print("Exception in thread \"" + Thread.currentThread().getName() + "\" ");
        thrown.printStackTrace();
    }
}
