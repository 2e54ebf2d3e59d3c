package sample.app;

import io.tarnwick.tools.SplashScreen;
import java.io.IOException;
import java.io.InputStream;

/**
 * The sample application's start-up picture: the launcher has already shown
 * its built-in picture; the application shows its own, writes its version
 * into it and moves the progress bar while it "loads", then hides it.
 */
final class Splash {
    // Where splash.png has its bar track and caption band.
    private static final int BAR_LEFT = 37, BAR_TOP = 216, BAR_WIDTH = 426, BAR_HEIGHT = 12;
    private static final int CAPTION_X = 85, CAPTION_Y = 201;
    private static final long STEP_MILLIS = 400;

    private Splash() {}

    static void play(String version) {
        try {
            byte[] png = picture();
            SplashScreen.showPNG(png);
            SplashScreen.setField(38, 240, "Version " + version);
            String[] steps = {"Reading settings ...", "Loading classes ...", "Opening documents ...", "Ready"};
            for (int i = 0; i < steps.length; i++) {
                SplashScreen.setProgress(BAR_LEFT, BAR_TOP, BAR_WIDTH, BAR_HEIGHT, (i + 1) * 100 / steps.length,
                        CAPTION_X, CAPTION_Y, steps[i]);
                System.out.println("[sample] splash: " + steps[i]);
                System.out.flush();
                Thread.sleep(STEP_MILLIS);
            }
            SplashScreen.hide();
        } catch (UnsatisfiedLinkError e) {
            // Started without the launcher: no splash natives.
            System.out.println("[sample] no splash: " + e.getMessage());
        } catch (IOException e) {
            System.out.println("[sample] no splash picture: " + e);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            SplashScreen.hide();
        }
    }

    private static byte[] picture() throws IOException {
        try (InputStream in = Splash.class.getResourceAsStream("/splash.png")) {
            if (in == null) {
                throw new IOException("splash.png is not in the jar");
            }
            return in.readAllBytes();
        }
    }
}
