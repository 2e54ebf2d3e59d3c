package io.tarnwick.update;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Optional;

/**
 * The release installed in an application folder, as its
 * {@code .tarnwick/installed.json} records it. Without a readable record the
 * installed version is unknown: older than any release, its files compared
 * by their hashes.
 */
public final class Installed {
    private Installed() {}

    public static Path file(Path appDir) {
        return appDir.resolve(PathRules.STATE_FOLDER).resolve("installed.json");
    }

    public static Optional<Manifest> read(Path appDir) {
        try {
            byte[] bytes = Files.readAllBytes(file(appDir));
            return Optional.of(Envelope.parse(bytes, file(appDir).toString()).unverifiedManifest());
        } catch (IOException | UpdateException | RuntimeException e) {
            return Optional.empty();
        }
    }

    public static Optional<Version> version(Path appDir) {
        return read(appDir).map(Manifest::version);
    }
}
