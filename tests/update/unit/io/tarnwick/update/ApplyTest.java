package io.tarnwick.update;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertTrue;
import static org.junit.Assert.fail;

import io.tarnwick.update.apply.FileSteps;
import io.tarnwick.update.apply.Updater;
import java.io.IOException;
import java.nio.channels.FileChannel;
import java.nio.channels.FileLock;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.StandardOpenOption;
import java.time.Duration;
import java.util.Map;
import java.util.stream.Stream;
import org.junit.Before;
import org.junit.Rule;
import org.junit.Test;
import org.junit.rules.TemporaryFolder;

/** The updater's apply and recovery: whole old or whole new release, whatever fails or where it stops. */
public class ApplyTest {
    private static final Updater.Waits SHORT = new Updater.Waits(Duration.ofSeconds(5), Duration.ZERO);

    @Rule
    public TemporaryFolder temp = new TemporaryFolder();
    private Releases r;
    private Path template;
    private Map<String, String> v1;
    private Map<String, String> v2;
    private Path app;
    private Path staging;

    /** A crash in place of a step: nothing after it runs, as with a kill. */
    private static final class Crash extends Error {
        private static final long serialVersionUID = 1L;
    }

    @Before
    public void setUp() throws Exception {
        r = new Releases(temp.newFolder("publisher").toPath());
        r.write("lib/old.jar", "only in 1.0");
        r.write("lib/keep/a.jar", "kept folder");
        assertEquals(r.lastErr, 0, r.publish("1.0"));
        template = temp.getRoot().toPath().resolve("template");
        copyTree(r.app, template.resolve("app"));
        v1 = Releases.hashes(r.app);
        r.write("lib/app.jar", "app 2, longer");
        Files.delete(r.app.resolve("lib/old.jar"));
        r.write("lib/sub/deeper/new.jar", "new in 1.1");
        assertEquals(r.lastErr, 0, r.publish("1.1"));
        v2 = Releases.hashes(r.app);
        Updates updates = Updates.forApplication(template.resolve("app"), template.resolve("staging"));
        Release release = updates.check().orElseThrow();
        updates.stage(release, null);
        fresh();
    }

    private void fresh() throws IOException {
        Path root = temp.getRoot().toPath().resolve("run");
        if (Files.exists(root)) {
            try (Stream<Path> s = Files.walk(root)) {
                s.sorted((a, b) -> b.compareTo(a)).forEach(p -> p.toFile().delete());
            }
        }
        copyTree(template, root);
        app = root.resolve("app");
        staging = root.resolve("staging");
    }

    private int run(FileSteps.Hook hook) throws IOException {
        return new Updater(new FileSteps(hook), SHORT).run(app, staging, Files.exists(app.resolve("install.me")));
    }

    private static FileSteps.Hook none() {
        return (n, d) -> { };
    }

    private String log() throws IOException {
        Path log = app.resolve(".tarnwick/update.log");
        return Files.exists(log) ? Files.readString(log) : "";
    }

    private void assertClean() {
        assertFalse(Files.exists(app.resolve("install.me")));
        assertFalse(Files.exists(app.resolve(".tarnwick/journal.json")));
        assertFalse(Files.exists(app.resolve(".tarnwick/new")));
        assertFalse(Files.exists(app.resolve(".tarnwick/old")));
    }

    @Test
    public void appliesTheStagedReleaseAndRecordsIt() throws Exception {
        assertEquals(0, run(none()));
        assertEquals(v2, Releases.hashes(app));
        assertArrayEquals(Files.readAllBytes(r.feed.resolve("release.json")),
                Files.readAllBytes(app.resolve(".tarnwick/installed.json")));
        assertFalse(Files.exists(staging.resolve("snapshot.json")));
        assertFalse(Files.exists(staging.resolve("staged")));
        Updates.forApplication(app, staging).cleanUp();
        assertFalse(Files.exists(staging.resolve(Stager.RETIRED)));
        assertFalse(Files.exists(app.resolve("lib/sub/deeper/new.jar.tmp")));
        assertTrue(Files.isExecutable(app.resolve("launcher")) || !Files.isExecutable(r.app.resolve("launcher")));
        assertClean();
        assertTrue(log(), log().contains("installed demo 1.1"));
    }

    @Test
    public void aFailureAtAnyStepLeavesTheWholeOldOrTheWholeNewRelease() throws Exception {
        long[] total = {0};
        assertEquals(0, run((n, d) -> total[0] = n));
        assertTrue(total[0] > 20);
        for (long step = 1; step <= total[0]; step++) {
            fresh();
            long at = step;
            int result = run((n, d) -> {
                if (n == at) {
                    throw new IOException("injected failure at step " + at + ": " + d);
                }
            });
            if (result != 0) {
                // the next start: install.me hands over to the updater, which recovers first
                assertEquals(log(), 0, run(none()));
            }
            Map<String, String> now = Releases.hashes(app);
            assertTrue("step " + step + ": neither release: " + now + "\n" + log(), now.equals(v1) || now.equals(v2));
            assertClean();
        }
    }

    @Test
    public void aCrashAtAnyStepIsRecoveredAtTheNextStart() throws Exception {
        long[] total = {0};
        assertEquals(0, run((n, d) -> total[0] = n));
        for (long step = 1; step <= total[0]; step++) {
            fresh();
            long at = step;
            try {
                run((n, d) -> {
                    if (n == at) {
                        throw new Crash();
                    }
                });
                fail("no crash at step " + step);
            } catch (Crash expected) {
                // the process is gone; the next start recovers
            }
            assertEquals("step " + step, 0, run(none()));
            Map<String, String> now = Releases.hashes(app);
            assertTrue("step " + step + ": neither release", now.equals(v1) || now.equals(v2));
            assertClean();
        }
    }

    @Test
    public void aStagedFileChangedAfterItsCheckIsRefusedAndNothingChanges() throws Exception {
        String sha = Hashing.sha256("app 2, longer".getBytes());
        Files.writeString(staging.resolve("staged").resolve(sha), "app 2, LONGER");
        assertEquals(0, run(none()));
        assertEquals(v1, Releases.hashes(app));
        assertClean();
        assertTrue(log(), log().contains("its SHA-256 is not the one its release declares for lib/app.jar"));
        assertTrue(Files.readString(app.resolve(".tarnwick/failures.json")).contains("\"attempts\": 1"));
        assertFalse(Files.exists(staging.resolve("snapshot.json")));
    }

    @Test
    public void aReleaseThatFailedTwiceIsNotTriedAgainButADamagedCounterBlocksNothing() throws Exception {
        Path failures = app.resolve(".tarnwick/failures.json");
        Files.writeString(failures, "{\"version\": \"1.1\", \"attempts\": 2, \"reason\": \"disk full\"}");
        assertEquals(0, run(none()));
        assertEquals(v1, Releases.hashes(app));
        assertTrue(log(), log().contains("failed 2 times"));
        assertFalse(Updates.forApplication(app, staging).check().isPresent());

        fresh();
        Files.writeString(failures, "{\"version\": \"1.1\", \"att");
        assertEquals(0, run(none()));
        assertEquals(v2, Releases.hashes(app));
    }

    @Test
    public void nothingIsReplacedUnderARunningCopy() throws Exception {
        Path running = app.resolve(".tarnwick/running.lock");
        try (FileChannel ch = FileChannel.open(running, StandardOpenOption.CREATE, StandardOpenOption.READ,
                StandardOpenOption.WRITE); FileLock held = ch.lock(0, Long.MAX_VALUE, true)) {
            assertEquals(0, run(none()));
        }
        assertEquals(v1, Releases.hashes(app));
        assertTrue(log(), log().contains("the application is running"));
        assertFalse(Files.exists(app.resolve(".tarnwick/failures.json")));
    }

    @Test
    public void aReleasePathThroughALinkIsRefused() throws Exception {
        Path elsewhere = temp.newFolder("elsewhere").toPath();
        Files.move(app.resolve("lib/keep"), elsewhere.resolve("keep"));
        Files.createSymbolicLink(app.resolve("lib/keep"), elsewhere.resolve("keep"));
        Map<String, String> before = Releases.hashes(elsewhere);
        assertEquals(0, run(none()));
        assertTrue(log(), log().contains("passes through the link"));
        assertEquals(before, Releases.hashes(elsewhere));
        assertTrue(Files.exists(app.resolve("lib/old.jar"), LinkOption.NOFOLLOW_LINKS));
    }

    private static void copyTree(Path from, Path to) throws IOException {
        try (Stream<Path> s = Files.walk(from)) {
            for (Path p : (Iterable<Path>) s::iterator) {
                Path t = to.resolve(from.relativize(p).toString());
                if (Files.isDirectory(p, LinkOption.NOFOLLOW_LINKS)) {
                    Files.createDirectories(t);
                } else {
                    Files.copy(p, t, StandardCopyOption.COPY_ATTRIBUTES, LinkOption.NOFOLLOW_LINKS);
                }
            }
        }
    }
}
