package io.tarnwick.update.apply;

import io.tarnwick.update.PathRules;
import java.nio.file.Path;

/** The names in {@code <appDir>/.tarnwick/}, the application folder's own state. */
public record StateFolder(Path appDir) {
    public Path dir() {
        return appDir.resolve(PathRules.STATE_FOLDER);
    }

    public Path installed() {
        return dir().resolve("installed.json");
    }

    public Path journal() {
        return dir().resolve("journal.json");
    }

    /** Verified copies of the files being installed. */
    public Path newFiles() {
        return dir().resolve("new");
    }

    /** The files an apply replaced or deleted, until it is done. */
    public Path oldFiles() {
        return dir().resolve("old");
    }

    public Path lock() {
        return dir().resolve("lock");
    }

    public Path runningLock() {
        return dir().resolve("running.lock");
    }

    public Path failures() {
        return dir().resolve("failures.json");
    }

    public Path log() {
        return dir().resolve("update.log");
    }

    public Path installMe() {
        return appDir.resolve("install.me");
    }

    /** A release path in the application folder. */
    public Path target(String path) {
        return appDir.resolve(path);
    }
}
