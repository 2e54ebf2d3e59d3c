package bench;

import io.tarnwick.update.Release;
import io.tarnwick.update.Updates;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Comparator;
import java.util.Optional;
import java.util.stream.Stream;

/**
 * Drives the update library for bench/updates.py, in one JVM:
 *   stage APPDIR           check and stage what the feed offers
 *   download APPDIR RUNS   stage the same release RUNS times (after one
 *                          unmeasured), the staging folder emptied before each
 *   check APPDIR COUNT     COUNT checks that find nothing new (after ten
 *                          unmeasured)
 * Each measured figure is printed as "<what> ms <milliseconds>".
 */
public final class UpdateBench {
    private UpdateBench() {}

    public static void main(String[] args) throws Exception {
        Path appDir = Paths.get(args[1]);
        Updates updates = Updates.forApplication(appDir);
        switch (args[0]) {
            case "stage": {
                long start = System.nanoTime();
                Release release = updates.check().orElseThrow(() -> new IllegalStateException("nothing to stage"));
                long bytes = updates.stage(release, (done, total) -> { });
                System.out.println("staged " + release.version() + ": " + bytes + " bytes, ms "
                    + (System.nanoTime() - start) / 1e6);
                break;
            }
            case "download": {
                int runs = Integer.parseInt(args[2]);
                for (int i = 0; i <= runs; i++) {
                    delete(updates.stagingFolder());
                    Release release = updates.check().orElseThrow(() -> new IllegalStateException("nothing new"));
                    long start = System.nanoTime();
                    updates.stage(release, (done, total) -> { });
                    double ms = (System.nanoTime() - start) / 1e6;
                    if (i > 0) {
                        System.out.println("download ms " + ms);
                    }
                }
                break;
            }
            case "check": {
                int count = Integer.parseInt(args[2]);
                for (int i = 0; i < count + 10; i++) {
                    long start = System.nanoTime();
                    Optional<Release> release = updates.check();
                    double ms = (System.nanoTime() - start) / 1e6;
                    if (release.isPresent()) {
                        throw new IllegalStateException("the check found " + release.get().version());
                    }
                    if (i >= 10) {
                        System.out.println("check ms " + ms);
                    }
                }
                break;
            }
            default:
                throw new IllegalArgumentException("unknown command " + args[0]);
        }
    }

    private static void delete(Path folder) throws IOException {
        if (!Files.exists(folder)) {
            return;
        }
        try (Stream<Path> all = Files.walk(folder)) {
            for (Path p : (Iterable<Path>) all.sorted(Comparator.reverseOrder())::iterator) {
                Files.delete(p);
            }
        }
    }
}
