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

    /** The phase that ends now, timed from the end of the one before. */
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

    /**
     * Starts the clock. The JVM's own start is the total less the phases: the
     * process's start time is known only to the second.
     */
    static synchronized void start() {
        last = System.nanoTime();
    }
}
