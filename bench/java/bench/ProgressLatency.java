package bench;

import io.tarnwick.tools.SplashScreen;
import java.awt.Color;
import java.awt.Dimension;
import java.awt.Robot;
import java.awt.Toolkit;
import java.util.Arrays;

/**
 * How long one setProgressImpl call takes to reach the screen: the bar of the
 * launcher's splash is filled to 100 and to 50 percent in turn, and a pixel
 * that only the full bar covers is read off the screen until it changes.
 * Prints "P50_MS P99_MS" over bench.calls calls.
 */
public final class ProgressLatency {
    // The launcher's bar on a 500 x 300 picture.
    private static final int WIDTH = 500, HEIGHT = 300, BAR_LEFT = 37, BAR_TOP = 216, BAR_WIDTH = 426,
            BAR_HEIGHT = 12;
    private static final Color BAR = new Color(0x48, 0xA0, 0xDC);
    // bench/splash.png's band, where the bar goes.
    private static final Color BAND = new Color(0xE8, 0xEE, 0xF4);

    private ProgressLatency() {}

    public static int run(String[] args) throws Exception {
        int calls = Integer.getInteger("bench.calls", 1000);
        Dimension screen = Toolkit.getDefaultToolkit().getScreenSize();
        int x = (screen.width - WIDTH) / 2 + BAR_LEFT + BAR_WIDTH * 3 / 4;
        int y = (screen.height - HEIGHT) / 2 + BAR_TOP + BAR_HEIGHT / 2;
        Robot robot = new Robot();
        // The picture is up before the first measured call.
        long deadline = System.nanoTime() + 10_000_000_000L;
        while (!robot.getPixelColor(x, y).equals(BAND)) {
            if (System.nanoTime() > deadline) {
                System.out.println("the splash picture never showed");
                return 1;
            }
            Thread.sleep(10);
        }
        Color picture = BAND;
        double[] latencies = new double[calls];
        for (int i = 0; i < calls; i++) {
            boolean full = i % 2 == 0;
            Color expected = full ? BAR : picture;
            long start = System.nanoTime();
            SplashScreen.setProgress(BAR_LEFT, BAR_TOP, BAR_WIDTH, BAR_HEIGHT, full ? 100 : 50, 85, 201, "x");
            while (!robot.getPixelColor(x, y).equals(expected)) {
                if (System.nanoTime() - start > 5_000_000_000L) {
                    System.out.println("timeout at call " + i);
                    return 1;
                }
            }
            latencies[i] = (System.nanoTime() - start) / 1e6;
        }
        Arrays.sort(latencies);
        System.out.printf("%.3f %.3f%n", latencies[calls / 2], latencies[(int) Math.ceil(calls * 0.99) - 1]);
        SplashScreen.hide();
        return 0;
    }
}
