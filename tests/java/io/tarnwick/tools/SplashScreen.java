package io.tarnwick.tools;

/**
 * The launcher's native splash window, seen from Java. The launcher provides
 * the five natives (exported under their JNI names and registered when it
 * creates the virtual machine). Every call returns at once: the launcher
 * draws on a thread of its own, in the order of the calls. Only
 * {@link #hide()} waits until the window is gone.
 *
 * <p>Call {@link #showPNG(byte[])} or {@link #showResource()} first, then
 * any number of {@link #setField} and {@link #setProgress} calls, and
 * {@link #hide()} last. Field and progress calls before a show, or after a
 * hide, do nothing. Coordinates are pixels of the picture, from its top-left
 * corner.
 */
public final class SplashScreen {
    private SplashScreen() {}

    /** Shows the picture embedded in the launcher, if it carries one. */
    public static void showResource() {
        showResourceSplashImpl();
    }

    /** Shows a PNG picture, centred on the screen at its own size. */
    public static void showPNG(byte[] png) {
        showPNGSplashImpl(png);
    }

    /** Writes a text into the picture for good, its top-left corner at (x, y). */
    public static void setField(int x, int y, String text) {
        setFieldImpl(x, y, text);
    }

    /**
     * Draws a caption at (textX, textY) and a bar at (barLeft, barTop),
     * barWidth * percent / 100 pixels wide and barHeight high. Each progress
     * drawing replaces the previous one; field texts stay.
     */
    public static void setProgress(int barLeft, int barTop, int barWidth, int barHeight, int percent,
            int textX, int textY, String text) {
        setProgressImpl(barLeft, barTop, barWidth, barHeight, percent, textX, textY, text);
    }

    /** Removes the window; a later show brings it back. */
    public static void hide() {
        hideSplashImpl();
    }

    private static native void showResourceSplashImpl();

    private static native void showPNGSplashImpl(byte[] png);

    private static native void setFieldImpl(int x, int y, String text);

    private static native void setProgressImpl(int barLeft, int barTop, int barWidth, int barHeight, int percent,
            int textX, int textY, String text);

    private static native void hideSplashImpl();
}
