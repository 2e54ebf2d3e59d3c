package io.tarnwick.tools;

import java.util.List;

/**
 * The application's windows, seen without pulling in a toolkit it does not
 * use: AWT/Swing only once its event thread runs, JavaFX only once its
 * application thread runs (and then through reflection, so that the runner
 * needs no JavaFX on the class path).
 */
final class ApplicationWindows {
    private ApplicationWindows() {}

    static boolean anyShowing() {
        return (awtInUse() && AwtWindows.anyShowing()) || (javaFxInUse() && javaFxAnyShowing());
    }

    static boolean anyDisplayable() {
        return awtInUse() && AwtWindows.anyDisplayable();
    }

    /** Lets the AWT event thread run what was queued for it so far. */
    static void settle() {
        if (awtInUse()) {
            AwtWindows.settle();
        }
    }

    private static boolean awtInUse() {
        return ApplicationEnd.threadNamed("AWT-EventQueue-");
    }

    private static boolean javaFxInUse() {
        return ApplicationEnd.threadNamed("JavaFX Application Thread");
    }

    private static boolean javaFxAnyShowing() {
        try {
            Class<?> window = Class.forName("javafx.stage.Window");
            Object windows = window.getMethod("getWindows").invoke(null);
            for (Object each : (List<?>) windows) {
                if (Boolean.TRUE.equals(window.getMethod("isShowing").invoke(each))) {
                    return true;
                }
            }
        } catch (ReflectiveOperationException | RuntimeException | LinkageError e) {
            // A JavaFX without Window.getWindows (JavaFX 8): seen by its thread only.
        }
        return false;
    }
}
