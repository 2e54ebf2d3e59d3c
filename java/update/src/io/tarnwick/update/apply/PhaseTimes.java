package io.tarnwick.update.apply;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;

/**
 * With the system property {@value #PROPERTY} naming a file, appends to it the
 * milliseconds each phase of an apply took, for profiling; otherwise nothing.
 */
final class PhaseTimes {
    static final String PROPERTY = "io.tarnwick.update.phaseTimes";
    private static final String FILE = System.getProperty(PROPERTY);
    private static long last = System.nanoTime();

    private PhaseTimes() {}

    /** The phase that ends now; the first call also gives the time since the JVM started. */
    static synchronized void end(String phase) {
        if (FILE == null) {
            return;
        }
        long now = System.nanoTime();
        String line = String.format("%-28s %8.1f ms%n", phase, (now - last) / 1e6);
        last = now;
        try {
            Files.writeString(Path.of(FILE), line, StandardCharsets.UTF_8, StandardOpenOption.CREATE,
                    StandardOpenOption.APPEND);
        } catch (IOException e) {
            // profiling only
        }
    }

    /** Starts the clock, noting the JVM's own start-up before it. */
    static synchronized void start() {
        if (FILE == null) {
            return;
        }
        last = System.nanoTime();
        long up = ProcessHandle.current().info().startInstant()
                .map(t -> java.time.Duration.between(t, java.time.Instant.now()).toMillis()).orElse(-1L);
        try {
            Files.writeString(Path.of(FILE), String.format("%-28s %8d ms%n", "process start to the runner", up),
                    StandardCharsets.UTF_8, StandardOpenOption.CREATE, StandardOpenOption.APPEND);
        } catch (IOException e) {
            // profiling only
        }
    }
}
