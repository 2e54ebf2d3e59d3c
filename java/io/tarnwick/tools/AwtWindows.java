package io.tarnwick.tools;

import java.awt.EventQueue;
import java.awt.Window;
import java.lang.reflect.InvocationTargetException;

/** Loaded only once AWT runs, so that a runtime without java.desktop never needs it. */
final class AwtWindows {
    private AwtWindows() {}

    static boolean anyShowing() {
        for (Window window : Window.getWindows()) {
            if (window.isShowing()) {
                return true;
            }
        }
        return false;
    }

    static boolean anyDisplayable() {
        for (Window window : Window.getWindows()) {
            if (window.isDisplayable()) {
                return true;
            }
        }
        return false;
    }

    static void settle() {
        if (EventQueue.isDispatchThread()) {
            return;
        }
        try {
            EventQueue.invokeAndWait(new Runnable() {
                @Override
                public void run() {}
            });
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        } catch (InvocationTargetException e) {
            // nothing ran that could fail
        }
    }
}
