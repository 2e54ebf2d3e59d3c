package io.tarnwick.tools;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;

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
 *
 * <p>Outside the launcher (a plain {@code java} command) the natives do not
 * exist and every call but {@link #hideIfPresent()} throws
 * {@link UnsatisfiedLinkError}.
 */
public final class SplashScreen {
    // Where the launcher draws its own first caption and bar.
    private static final int LAUNCHER_BAR_LEFT = 37, LAUNCHER_BAR_TOP = 216, LAUNCHER_BAR_WIDTH = 426,
            LAUNCHER_BAR_HEIGHT = 12, LAUNCHER_CAPTION_X = 85, LAUNCHER_CAPTION_Y = 201;

    private SplashScreen() {}

    /** Shows the picture embedded in the launcher, if it carries one. */
    public static void showResource() {
        showResourceSplashImpl();
    }

    /** Shows a PNG picture, centred on the screen at its own size. */
    public static void showPNG(byte[] png) {
        showPNGSplashImpl(png);
    }

    /**
     * Shows a PNG picture read to its end from {@code in}, for example
     * {@code getResourceAsStream("/splash.png")}; the stream is not closed.
     */
    public static void showPNG(InputStream in) throws IOException {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        byte[] buffer = new byte[8192];
        for (int n; (n = in.read(buffer)) != -1;) {
            bytes.write(buffer, 0, n);
        }
        showPNG(bytes.toByteArray());
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

    /**
     * Carries on the bar that the launcher drew before the virtual machine
     * existed: the same place and size (a bar at (37, 216), 426 × 12 pixels
     * when full, its caption at (85, 201)), now filled to {@code percent}.
     */
    public static void setProgress(int percent, String text) {
        setProgress(LAUNCHER_BAR_LEFT, LAUNCHER_BAR_TOP, LAUNCHER_BAR_WIDTH, LAUNCHER_BAR_HEIGHT, percent,
                LAUNCHER_CAPTION_X, LAUNCHER_CAPTION_Y, text);
    }

    /** Removes the window; a later show brings it back. */
    public static void hide() {
        hideSplashImpl();
    }

    /**
     * Removes the window if the launcher shows one; outside the launcher it
     * does nothing. Returns whether the natives were there.
     */
    public static boolean hideIfPresent() {
        try {
            hideSplashImpl();
            return true;
        } catch (UnsatisfiedLinkError e) {
            return false;
        }
    }

    private static native void showResourceSplashImpl();

    private static native void showPNGSplashImpl(byte[] png);

    private static native void setFieldImpl(int x, int y, String text);

    private static native void setProgressImpl(int barLeft, int barTop, int barWidth, int barHeight, int percent,
            int textX, int textY, String text);

    private static native void hideSplashImpl();
}
