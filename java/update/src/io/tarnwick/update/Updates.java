package io.tarnwick.update;

import io.tarnwick.update.apply.Failures;
import io.tarnwick.update.apply.StateFolder;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.time.Instant;
import java.util.Optional;

/**
 * The application's side of updates: find a newer signed release, download
 * what differs from the installed files, and stage it for the updater.
 *
 * <pre>
 * Updates updates = Updates.forApplication(appDir);
 * Optional&lt;Release&gt; release = updates.check();
 * if (release.isPresent()) {
 *     updates.stage(release.get(), (done, total) -&gt; ...);
 *     // return 100 from the launcher's method (MainRunner.requestUpdate()), or let the next start apply it
 * }
 * </pre>
 *
 * Nothing here writes to the application folder; everything goes to the
 * per-user staging folder {@code <data>/<packageName>/}.
 */
public final class Updates {
    private final Path appDir;
    private final Settings settings;
    private final Path stagingFolder;
    private final Feed feed;

    private Updates(Path appDir, Settings settings, Path stagingFolder) throws UpdateException {
        this.appDir = appDir;
        this.settings = settings;
        this.stagingFolder = stagingFolder;
        this.feed = Feed.of(settings.feed(), settings.allowInsecureHttp());
    }

    /** For the application installed in {@code appDir}, by its cfg/update.json. */
    public static Updates forApplication(Path appDir) throws UpdateException {
        Settings settings = Settings.read(appDir);
        return new Updates(appDir, settings, DataFolder.of(settings.packageName()));
    }

    /** As {@link #forApplication(Path)}, staging into {@code stagingFolder} instead of the per-user data folder. */
    public static Updates forApplication(Path appDir, Path stagingFolder) throws UpdateException {
        return new Updates(appDir, Settings.read(appDir), stagingFolder);
    }

    public Settings settings() {
        return settings;
    }

    public Path stagingFolder() {
        return stagingFolder;
    }

    /** The installed version, when the application folder records it. */
    public Optional<Version> installedVersion() {
        return Installed.version(appDir);
    }

    /**
     * The feed's release when it is newer than the installed one and has not
     * failed to apply twice; empty when there is nothing new. Refuses, with
     * an {@link UpdateException}, a release that is badly signed, for
     * another package, expired or older than the installed one.
     */
    public Optional<Release> check() throws UpdateException, IOException {
        refuseUnwritableFolder();
        Envelope envelope = Envelope.parse(feed.read(Feed.RELEASE, Envelope.MAX_BYTES), feed.describe(Feed.RELEASE));
        Manifest m = Trust.accept(envelope, settings.publicKeys(), settings.packageName(), Instant.now(),
                feed.describe(Feed.RELEASE));
        Optional<Version> installed = installedVersion();
        Trust.refuseRollback(m, installed, feed.describe(Feed.RELEASE));
        if (installed.isPresent() && !m.version().isNewerThan(installed.get())) {
            return Optional.empty();
        }
        if (Failures.read(new StateFolder(appDir).failures()).givenUp(m.version().toString())) {
            return Optional.empty();
        }
        boolean required = m.minimum().isPresent()
                && (installed.isEmpty() || m.minimum().get().isNewerThan(installed.get()));
        return Optional.of(new Release(m, envelope, required));
    }

    /**
     * Downloads what the release needs beyond the installed files (resuming
     * an interrupted download), checks every file, and writes snapshot.json
     * last; returns the number of bytes downloaded.
     */
    public long stage(Release release, ProgressListener progress) throws UpdateException, IOException {
        Stager stager = new Stager(feed, stagingFolder);
        long bytes = stager.fetch(release.manifest(), appDir, progress);
        stager.writeSnapshot(release.envelope(), release.manifest());
        return bytes;
    }

    /** Deletes what the updater left of an installed release in the staging folder. */
    public void cleanUp() throws IOException {
        new Stager(feed, stagingFolder).deleteRetired();
    }

    /** True when a staged release waits that the updater will apply: signed, fresh, newer, not given up. */
    public boolean isStaged() {
        return staged().isPresent();
    }

    /** The version of the staged release, when one waits that the updater will apply. */
    public Optional<Version> stagedVersion() {
        return staged().flatMap(bytes -> {
            try {
                return Optional.of(Envelope.parse(bytes, Stager.SNAPSHOT).unverifiedManifest().version());
            } catch (UpdateException e) {
                return Optional.empty();
            }
        });
    }

    /** The staged release's envelope bytes, when one waits that the updater will apply. */
    Optional<byte[]> staged() {
        try {
            byte[] bytes = Files.readAllBytes(stagingFolder.resolve(Stager.SNAPSHOT));
            Envelope e = Envelope.parse(bytes, Stager.SNAPSHOT);
            Manifest m = Trust.accept(e, settings.publicKeys(), settings.packageName(), Instant.now(), Stager.SNAPSHOT);
            Optional<Version> installed = installedVersion();
            if (installed.isPresent() && !m.version().isNewerThan(installed.get())) {
                return Optional.empty();
            }
            if (Failures.read(new StateFolder(appDir).failures()).givenUp(m.version().toString())) {
                return Optional.empty();
            }
            return Optional.of(bytes);
        } catch (NoSuchFileException e) {
            return Optional.empty();
        } catch (IOException | UpdateException | RuntimeException e) {
            return Optional.empty();
        }
    }

    /** On systems without elevation the updater runs as this user: a folder the user cannot write cannot be updated. */
    private void refuseUnwritableFolder() throws UpdateException {
        if (System.getProperty("os.name", "").startsWith("Windows")) {
            return;
        }
        Path state = new StateFolder(appDir).dir();
        if (!Files.isWritable(appDir) || (Files.exists(state) && !Files.isWritable(state))) {
            throw new UpdateException("the application folder " + appDir + " cannot be written by this user,"
                    + " so it cannot update itself: install it where its user can write, or update it as its owner");
        }
    }
}
