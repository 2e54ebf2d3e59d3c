package io.tarnwick.update.apply;

import io.tarnwick.update.DataFolder;
import io.tarnwick.update.Envelope;
import io.tarnwick.update.Feed;
import io.tarnwick.update.Installed;
import io.tarnwick.update.Manifest;
import io.tarnwick.update.Settings;
import io.tarnwick.update.Stager;
import io.tarnwick.update.Trust;
import io.tarnwick.update.UpdateException;
import io.tarnwick.update.Version;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.time.Duration;
import java.time.Instant;
import java.util.Optional;

/**
 * The updater's side: under the folder's lock, first finishes or rolls back
 * an apply that was interrupted, then installs what waits: the staged
 * release, or with a web install the feed's release. Returns 0 when the
 * launcher should start again (the folder holds a whole release, new or
 * old), 1 when it must not: another updater holds the folder, there is no
 * release to start, or the folder could not be brought back.
 */
public final class Updater {
    /** How long to wait for another updater, and for the application copy that asked for the update to end. */
    public record Waits(Duration lock, Duration running) {
        public static final Waits DEFAULT = new Waits(Duration.ofSeconds(60), Duration.ofSeconds(20));
    }

    private final FileSteps steps;
    private final Waits waits;

    public Updater(FileSteps steps, Waits waits) {
        this.steps = steps;
        this.waits = waits;
    }

    /** {@code updateDir} is where the application staged its release (null: the per-user data folder). */
    public int run(Path appDir, Path updateDir, boolean webInstall) {
        PhaseTimes.start();
        StateFolder state = new StateFolder(appDir);
        try {
            return runOnce(state, updateDir, webInstall);
        } catch (IOException | RuntimeException e) {
            new UpdateLog(state.log()).say("the updater failed: " + Applier.reason(e));
            return 1;
        }
    }

    private int runOnce(StateFolder state, Path updateDir, boolean webInstall) throws IOException {
        Path appDir = state.appDir();
        UpdateLog log = new UpdateLog(Files.isDirectory(state.dir()) ? state.log() : null);
        try {
            steps.createDirectories(state.dir());
        } catch (IOException e) {
            log.say("cannot create " + state.dir() + " (" + Applier.reason(e) + "): nothing is installed");
            return Files.isDirectory(appDir.resolve("lib")) && !webInstall ? 0 : 1;
        }
        log = new UpdateLog(state.log());
        steps.createFileIfMissing(state.lock());
        try (FolderLock lock = FolderLock.acquire(state.lock(), waits.lock())) {
            if (lock == null) {
                log.say("another updater is working on " + appDir + "; this one leaves it alone");
                return 1;
            }
            if (Files.exists(state.journal(), LinkOption.NOFOLLOW_LINKS)) {
                if (!recover(state, log)) {
                    return 1;
                }
            }
            boolean install = webInstall && (Files.exists(state.installMe(), LinkOption.NOFOLLOW_LINKS)
                    || !Files.isDirectory(appDir.resolve("lib"), LinkOption.NOFOLLOW_LINKS));
            return install ? webInstall(state, updateDir, log) : update(state, updateDir, log);
        }
    }

    private boolean recover(StateFolder state, UpdateLog log) {
        try {
            Journal journal = Journal.parse(Files.readAllBytes(state.journal()), state.journal().toString());
            boolean done = new Recovery(state, steps).recover(journal);
            if (done) {
                steps.delete(state.failures());
            }
            log.say(done ? "finished the interrupted update to " + journal.version()
                    : "rolled back the interrupted update to " + journal.version());
            return true;
        } catch (IOException | UpdateException | RuntimeException e) {
            log.say("cannot recover the interrupted update (" + Applier.reason(e) + "): the next start tries again");
            return false;
        }
    }

    private int update(StateFolder state, Path updateDir, UpdateLog log) throws IOException {
        Path snapshot;
        Settings settings;
        try {
            settings = Settings.read(state.appDir());
            Path dir = updateDir != null ? updateDir : DataFolder.of(settings.packageName());
            snapshot = dir.resolve(Stager.SNAPSHOT);
            if (!Files.exists(snapshot)) {
                return 0;
            }
        } catch (UpdateException e) {
            log.say("no update: " + e.getMessage());
            // Left in place, the snapshot would send every start back here.
            if (updateDir != null) {
                steps.delete(updateDir.resolve(Stager.SNAPSHOT));
            }
            return 0;
        }
        Path staged = snapshot.resolveSibling("staged");
        Manifest next;
        Envelope envelope;
        try {
            envelope = Envelope.parse(readBounded(snapshot), snapshot.toString());
            next = Trust.accept(envelope, settings.publicKeys(), settings.packageName(), Instant.now(),
                    snapshot.toString());
            Optional<Version> installed = Installed.version(state.appDir());
            Trust.refuseRollback(next, installed, snapshot.toString());
            if (installed.isPresent() && installed.get().equals(next.version())) {
                steps.delete(snapshot);
                return 0;
            }
        } catch (UpdateException e) {
            log.say(e.getMessage());
            steps.delete(snapshot);
            return 0;
        }
        Failures failures = Failures.read(state.failures());
        String version = next.version().toString();
        if (failures.givenUp(version)) {
            log.say("the update to " + version + " failed " + failures.attemptsOf(version) + " times (last: "
                    + failures.reason() + "); it is not tried again until a newer release is published");
            steps.delete(snapshot);
            return 0;
        }
        steps.createFileIfMissing(state.runningLock());
        try (FolderLock running = FolderLock.acquire(state.runningLock(), waits.running())) {
            if (running == null) {
                log.say("the application is running from " + state.appDir() + "; the update to " + version
                        + " waits for a start when it is not");
                steps.delete(snapshot);
                return 0;
            }
            Failures attempt = failures.begun(version);
            writeFailures(state, attempt, log);
            try {
                new Applier(state, steps).apply(envelope, next, Installed.read(state.appDir()), staged);
            } catch (Applier.RollbackFailedException e) {
                log.say(e.getMessage());
                writeFailures(state, attempt.because(e.getMessage()), log);
                return 1;
            } catch (IOException | UpdateException | RuntimeException e) {
                String why = e instanceof UpdateException ? e.getMessage()
                        : "the update to " + version + " failed: " + Applier.reason(e);
                log.say(why + "; " + state.appDir() + " keeps the installed release");
                writeFailures(state, attempt.because(why), log);
                steps.delete(snapshot);
                return 0;
            }
        }
        steps.delete(state.failures());
        steps.delete(snapshot);
        retire(staged);
        PhaseTimes.end("after the apply");
        log.say("installed " + next.packageName() + " " + version + " in " + state.appDir());
        return 0;
    }

    private int webInstall(StateFolder state, Path updateDir, UpdateLog log) throws IOException {
        try {
            Settings settings = Settings.read(state.appDir());
            Feed feed = Feed.of(settings.feed(), settings.allowInsecureHttp());
            Envelope envelope = Envelope.parse(feed.read(Feed.RELEASE, Envelope.MAX_BYTES), feed.describe(Feed.RELEASE));
            Manifest next = Trust.accept(envelope, settings.publicKeys(), settings.packageName(), Instant.now(),
                    feed.describe(Feed.RELEASE));
            Trust.refuseRollback(next, Installed.version(state.appDir()), feed.describe(Feed.RELEASE));
            Path dir = updateDir != null ? updateDir : DataFolder.of(settings.packageName());
            Stager stager = new Stager(feed, dir);
            stager.fetch(next, state.appDir(), null);
            new Applier(state, steps).apply(envelope, next, Installed.read(state.appDir()), stager.staged());
            retire(stager.staged());
            log.say("installed " + next.packageName() + " " + next.version() + " in " + state.appDir() + " from " + feed.describe(""));
            return 0;
        } catch (IOException | UpdateException | RuntimeException e) {
            log.say("the installation failed: " + (e instanceof UpdateException ? e.getMessage() : Applier.reason(e)));
            return Files.isDirectory(state.appDir().resolve("lib"), LinkOption.NOFOLLOW_LINKS)
                    && !Files.exists(state.installMe(), LinkOption.NOFOLLOW_LINKS) ? 0 : 1;
        }
    }

    /** Moves the used payloads aside in one step (the application deletes them in the background); never fails the update. */
    private void retire(Path staged) {
        Path retired = staged.resolveSibling(Stager.RETIRED);
        try {
            steps.deleteTree(retired);
            if (Files.isDirectory(staged, LinkOption.NOFOLLOW_LINKS)) {
                steps.move(staged, retired);
            }
            // the new release checks at its first start
            steps.delete(staged.resolveSibling("last-check"));
        } catch (IOException e) {
            // what is left is deleted when the next release is staged
        }
    }

    private void writeFailures(StateFolder state, Failures f, UpdateLog log) {
        try {
            steps.writeAtomically(state.failures(), f.toBytes());
        } catch (IOException e) {
            log.say("cannot record the failed attempt in " + state.failures() + ": " + Applier.reason(e));
        }
    }

    private static byte[] readBounded(Path file) throws IOException, UpdateException {
        try (var in = Files.newInputStream(file)) {
            byte[] bytes = in.readNBytes(Envelope.MAX_BYTES + 1);
            if (bytes.length > Envelope.MAX_BYTES) {
                throw new UpdateException(file + " is refused: it holds more than " + Envelope.MAX_BYTES + " bytes");
            }
            return bytes;
        } catch (NoSuchFileException e) {
            throw new UpdateException(file + " vanished before it could be read");
        }
    }
}
