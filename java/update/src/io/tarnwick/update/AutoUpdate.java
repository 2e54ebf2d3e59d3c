package io.tarnwick.update;

import io.tarnwick.update.apply.StateFolder;
import java.io.IOException;
import java.net.URISyntaxException;
import java.nio.channels.FileChannel;
import java.nio.channels.FileLock;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.time.Duration;
import java.time.Instant;
import java.util.Arrays;
import java.util.Optional;

/**
 * Updates without code, for applications started by
 * {@code io.tarnwick.tools.MainRunner}: with {@code cfg/update.json} in the
 * application folder, {@link #start()} checks the feed in the background
 * and stages a newer release; MainRunner then returns 100 when the
 * application ends ({@link #updateStaged()}), and at the next start hands
 * over before the application runs ({@link #handOverAtStart()}), for
 * applications that end with System.exit. The application folder is the
 * one above this jar's folder, or the system property
 * {@value #APP_DIR_PROPERTY}. Nothing is printed unless something is wrong.
 */
public final class AutoUpdate {
    public static final String APP_DIR_PROPERTY = "io.tarnwick.update.appDir";

    private static volatile FileLock running;

    private AutoUpdate() {}

    /** Begins the check and stage on a daemon thread; never throws. */
    public static void start() {
        try {
            Optional<Path> appDir = appDir();
            if (appDir.isEmpty()) {
                return;
            }
            holdRunningLock(appDir.get());
            Thread t = new Thread(() -> checkAndStage(appDir.get()), "tarnwick-update");
            t.setDaemon(true);
            t.start();
        } catch (RuntimeException | Error e) {
            say("the update check could not start: " + e);
        }
    }

    /** True when a release is staged that the updater will apply. */
    public static boolean updateStaged() {
        try {
            Optional<Path> appDir = appDir();
            return appDir.isPresent() && Updates.forApplication(appDir.get()).isStaged();
        } catch (UpdateException | RuntimeException e) {
            return false;
        }
    }

    /**
     * True, once per staged release, when one waits at the start: the
     * application is then not run, and the launcher hands over to the
     * updater. If the same release is still waiting at the next start, the
     * updater could not act on it, and the application runs as it is.
     */
    public static boolean handOverAtStart() {
        try {
            Optional<Path> appDir = appDir();
            if (appDir.isEmpty()) {
                return false;
            }
            Updates updates = Updates.forApplication(appDir.get());
            Optional<byte[]> staged = updates.staged();
            if (staged.isEmpty()) {
                return false;
            }
            Path marker = updates.stagingFolder().resolve("handed-over");
            byte[] id = Hashing.sha256(staged.get()).getBytes(StandardCharsets.US_ASCII);
            if (Files.exists(marker) && Arrays.equals(Files.readAllBytes(marker), id)) {
                return false;
            }
            AtomicWrite.write(marker, id);
            return true;
        } catch (UpdateException | IOException | RuntimeException e) {
            return false;
        }
    }

    private static void checkAndStage(Path appDir) {
        try {
            Updates updates = Updates.forApplication(appDir);
            updates.cleanUp();
            Path last = updates.stagingFolder().resolve("last-check");
            if (!due(last, updates.settings().checkIntervalHours())) {
                return;
            }
            Optional<Release> release = updates.check();
            if (release.isPresent() && !updates.stagedVersion().equals(Optional.of(release.get().version()))) {
                updates.stage(release.get(), null);
            }
            Files.createDirectories(updates.stagingFolder());
            AtomicWrite.write(last, Instant.now().toString().getBytes(StandardCharsets.US_ASCII));
        } catch (UpdateException e) {
            say(e.getMessage());
        } catch (IOException | RuntimeException e) {
            say("the update check failed: " + e);
        }
    }

    private static boolean due(Path last, int hours) {
        try {
            Instant then = Instant.parse(Files.readString(last, StandardCharsets.US_ASCII).trim());
            return Instant.now().isAfter(then.plus(Duration.ofHours(hours))) || Instant.now().isBefore(then);
        } catch (IOException | RuntimeException e) {
            return true;
        }
    }

    /** Holds running.lock shared for the life of the JVM, so the updater never replaces files under this copy. */
    private static void holdRunningLock(Path appDir) {
        Path file = new StateFolder(appDir).runningLock();
        try {
            Files.createDirectories(file.getParent());
            FileChannel ch = Files.exists(file) ? FileChannel.open(file, StandardOpenOption.READ)
                    : FileChannel.open(file, StandardOpenOption.CREATE, StandardOpenOption.READ, StandardOpenOption.WRITE);
            running = ch.tryLock(0, Long.MAX_VALUE, true);
            if (running == null) {
                ch.close();
            }
        } catch (IOException | RuntimeException e) {
            // a folder this user cannot write: no updater of this user can change it either
        }
    }

    static Optional<Path> appDir() {
        String property = System.getProperty(APP_DIR_PROPERTY);
        Path dir;
        if (property != null && !property.isBlank()) {
            dir = Path.of(property);
        } else {
            try {
                Path jar = Path.of(AutoUpdate.class.getProtectionDomain().getCodeSource().getLocation().toURI());
                dir = jar.getParent() == null ? null : jar.getParent().getParent();
            } catch (URISyntaxException | RuntimeException e) {
                return Optional.empty();
            }
        }
        return dir != null && Files.isRegularFile(Settings.file(dir)) ? Optional.of(dir) : Optional.empty();
    }

    private static void say(String line) {
        System.err.println("tarnwick-update: " + line);
    }
}
