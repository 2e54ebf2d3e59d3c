package io.tarnwick.tools;

import java.lang.reflect.Method;
import java.lang.reflect.Modifier;

/**
 * Runs an existing application, unchanged, under the launcher. The launcher
 * calls a method that returns an {@code int} and ends its process when that
 * method returns; most applications have a {@code public static void
 * main(String[])} that returns as soon as their first window is up. This
 * runner bridges the two. In the configuration file:
 *
 * <pre>
 * "mainClass": "io.tarnwick.tools.MainRunner",
 * "mainMethod": "run",
 * "vmOption": ["-Dio.tarnwick.main=com.example.App"]
 * </pre>
 *
 * <p>{@link #run(String[])} calls the application's {@code main} with the
 * launcher's arguments, hides the launcher's splash as soon as the first
 * window of the application shows (AWT/Swing or JavaFX), or when
 * {@code main} returns without one, and returns only when the application
 * has ended. {@code main} runs on a thread named {@code main} that ends when
 * it returns, as with {@code java}; the caller's own thread waits for it.
 * The application has ended when no thread but its own is left that keeps the virtual
 * machine alive, and no window is displayable. That is the condition a plain
 * {@code java} command waits for before it ends.
 *
 * <p>It never calls {@link System#exit(int)}; an application that does ends
 * the launcher with its own code. Outside the launcher, where the splash
 * natives do not exist, it works the same and hides nothing.
 */
public final class MainRunner {
    /** The system property that names the application's main class. */
    public static final String MAIN_CLASS_PROPERTY = "io.tarnwick.main";
    /** The result that makes the launcher start the updater. */
    public static final int UPDATE_REQUESTED = 100;
    /** The result when the application could not be started or its main threw. */
    public static final int FAILED = 1;

    private static volatile boolean updateRequested;

    private MainRunner() {}

    /**
     * Asks the launcher to run the updater once the application has ended:
     * {@link #run(String[])} then returns {@link #UPDATE_REQUESTED}. An
     * application that ends with {@link System#exit(int)} never returns to the
     * runner; end by closing the windows instead.
     */
    public static void requestUpdate() {
        updateRequested = true;
    }

    /**
     * Runs the application named by {@value #MAIN_CLASS_PROPERTY} and returns
     * when it has ended: 0, {@link #UPDATE_REQUESTED} after
     * {@link #requestUpdate()}, or {@link #FAILED} when the class or its
     * {@code main} cannot be found, the class fails to initialise, or
     * {@code main} ended with an exception (which is described on standard
     * error, as {@code java} would).
     */
    public static int run(String[] args) {
        final Method main;
        try {
            main = mainMethod(System.getProperty(MAIN_CLASS_PROPERTY));
        } catch (IllegalArgumentException e) {
            System.err.println("MainRunner: " + e.getMessage());
            SplashScreen.hideIfPresent();
            return FAILED;
        }
        // A release staged by an earlier run that ended with System.exit.
        if (UpdateHook.handOverAtStart()) {
            SplashScreen.hideIfPresent();
            return UPDATE_REQUESTED;
        }
        UpdateHook.start();
        FirstWindow firstWindow = FirstWindow.watch();
        // main runs on a thread of its own that ends when main returns, as
        // java's main thread does: an application thread may join it.
        MainThread application = MainThread.start(main, args);
        boolean failed = application.awaitFailed();
        firstWindow.mainReturned();
        ApplicationEnd.await();
        if (failed) {
            return FAILED;
        }
        return updateRequested || UpdateHook.updateStaged() ? UPDATE_REQUESTED : 0;
    }

    /** Starts the same way from a plain {@code java} command, for a run outside the launcher. */
    public static void main(String[] args) {
        run(args);
    }

    private static Method mainMethod(String className) {
        if (className == null || className.trim().isEmpty()) {
            throw new IllegalArgumentException("no application to run: name its main class with -D"
                    + MAIN_CLASS_PROPERTY + "=<class> in vmOption");
        }
        Class<?> type;
        try {
            type = Class.forName(className.trim(), false, MainRunner.class.getClassLoader());
        } catch (ClassNotFoundException e) {
            throw new IllegalArgumentException("the main class " + className.trim() + " is not on the class path");
        } catch (LinkageError e) {
            throw new IllegalArgumentException("the main class " + className.trim() + " cannot be loaded: " + e);
        }
        Method main;
        try {
            main = type.getMethod("main", String[].class);
        } catch (NoSuchMethodException e) {
            main = null;
        } catch (LinkageError e) {
            throw new IllegalArgumentException("the main class " + type.getName() + " cannot be linked: " + e);
        }
        if (main == null || !Modifier.isStatic(main.getModifiers()) || main.getReturnType() != void.class) {
            throw new IllegalArgumentException(type.getName() + " has no public static void main(String[])");
        }
        // A public main of a class that is not public itself.
        try {
            main.setAccessible(true);
        } catch (RuntimeException e) {
            // invoke says why, if it matters
        }
        return main;
    }
}
