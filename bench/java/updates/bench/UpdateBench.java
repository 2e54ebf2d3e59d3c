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
 *   hash FOLDER            SHA-256 of every file below FOLDER, once: with the
 *                          JVM's start, the floor of an apply that verifies
 *   fetch URL FILE RUNS    the JDK's HttpClient alone, into a file, RUNS
 *                          times after one unmeasured
 * Each measured figure is printed as "<what> ms <milliseconds>".
 */
public final class UpdateBench {
    private UpdateBench() {}

    public static void main(String[] args) throws Exception {
        if (args[0].equals("hash")) {
            hash(Paths.get(args[1]));
            return;
        }
        if (args[0].equals("fetch")) {
            fetch(java.net.URI.create(args[1]), Paths.get(args[2]), Integer.parseInt(args[3]));
            return;
        }
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

    private static void hash(Path folder) throws Exception {
        long total = 0;
        byte[] buffer = new byte[1 << 16];
        try (Stream<Path> all = Files.walk(folder)) {
            for (Path p : (Iterable<Path>) all.filter(Files::isRegularFile)::iterator) {
                java.security.MessageDigest digest = java.security.MessageDigest.getInstance("SHA-256");
                try (java.io.InputStream in = Files.newInputStream(p)) {
                    for (int n; (n = in.read(buffer)) > 0; total += n) {
                        digest.update(buffer, 0, n);
                    }
                }
                digest.digest();
            }
        }
        System.out.println("hashed " + total + " bytes");
    }

    private static void fetch(java.net.URI uri, Path file, int runs) throws Exception {
        java.net.http.HttpClient client = java.net.http.HttpClient.newHttpClient();
        for (int i = 0; i <= runs; i++) {
            Files.deleteIfExists(file);
            long start = System.nanoTime();
            java.net.http.HttpResponse<Path> response = client.send(java.net.http.HttpRequest.newBuilder(uri).build(),
                java.net.http.HttpResponse.BodyHandlers.ofFile(file));
            if (response.statusCode() != 200) {
                throw new IOException(uri + " answered " + response.statusCode());
            }
            if (i > 0) {
                System.out.println("fetch ms " + (System.nanoTime() - start) / 1e6);
            }
        }
        Files.deleteIfExists(file);
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
