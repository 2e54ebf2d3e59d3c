package io.tarnwick.update.apply;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.StandardOpenOption;
import java.time.Instant;
import java.time.temporal.ChronoUnit;

/**
 * Where the updater says what it did and why an update failed: standard
 * error, and {@code .tarnwick/update.log} in the application folder, where
 * support finds it. Writing the log never fails an update.
 */
public final class UpdateLog {
    private static final long MAX = 1 << 20;
    private final Path file;

    public UpdateLog(Path file) {
        this.file = file;
    }

    public void say(String line) {
        System.err.println("UpdaterRunner: " + line);
        if (file == null) {
            return;
        }
        try {
            if (Files.exists(file) && Files.size(file) > MAX) {
                Files.move(file, file.resolveSibling(file.getFileName() + ".1"), StandardCopyOption.REPLACE_EXISTING);
            }
            Files.write(file, (Instant.now().truncatedTo(ChronoUnit.SECONDS) + " " + line + "\n")
                    .getBytes(StandardCharsets.UTF_8), StandardOpenOption.CREATE, StandardOpenOption.APPEND,
                    StandardOpenOption.WRITE);
        } catch (IOException | RuntimeException e) {
            // standard error has it
        }
    }
}
