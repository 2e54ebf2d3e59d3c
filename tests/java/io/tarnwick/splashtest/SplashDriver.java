package io.tarnwick.splashtest;

import io.tarnwick.tools.SplashScreen;

import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;

/**
 * Drives the launcher's splash natives as an application would, step by step
 * from its arguments:
 *
 * <pre>
 * show FILE                       SplashScreen.showPNG with the file's bytes
 * resource                        SplashScreen.showResource
 * field X Y TEXT                  SplashScreen.setField
 * progress A B C D E F G TEXT     SplashScreen.setProgress
 * hide                            SplashScreen.hide
 * checkpoint NAME                 creates NAME.ready, waits (up to a minute) for NAME.go
 * print TEXT                      one line on standard output
 * maps FILE                       the process's memory map (Linux: /proc/self/maps) into FILE
 * </pre>
 *
 * Files are relative to the working directory.
 */
public final class SplashDriver {
    private SplashDriver() {}

    public static int run(String[] args) throws Exception {
        int i = 0;
        while (i < args.length) {
            String step = args[i++];
            switch (step) {
            case "show":
                SplashScreen.showPNG(Files.readAllBytes(Paths.get(args[i++])));
                break;
            case "resource":
                SplashScreen.showResource();
                break;
            case "field":
                SplashScreen.setField(number(args[i]), number(args[i + 1]), args[i + 2]);
                i += 3;
                break;
            case "progress":
                SplashScreen.setProgress(number(args[i]), number(args[i + 1]), number(args[i + 2]),
                        number(args[i + 3]), number(args[i + 4]), number(args[i + 5]), number(args[i + 6]),
                        args[i + 7]);
                i += 8;
                break;
            case "hide":
                SplashScreen.hide();
                break;
            case "checkpoint":
                checkpoint(args[i++]);
                break;
            case "print":
                System.out.println(args[i++]);
                System.out.flush();
                break;
            case "maps":
                Files.write(Paths.get(args[i++]), Files.readAllBytes(Paths.get("/proc/self/maps")));
                break;
            default:
                throw new IllegalArgumentException("unknown step " + step);
            }
        }
        return 0;
    }

    private static int number(String text) {
        return Integer.parseInt(text);
    }

    private static void checkpoint(String name) throws Exception {
        Files.createFile(Paths.get(name + ".ready"));
        Path go = Paths.get(name + ".go");
        long deadline = System.nanoTime() + 60_000_000_000L;
        while (!Files.exists(go) && System.nanoTime() < deadline) {
            Thread.sleep(20);
        }
    }
}
