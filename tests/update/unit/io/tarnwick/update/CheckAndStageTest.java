package io.tarnwick.update;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertTrue;
import static org.junit.Assert.fail;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.security.KeyPair;
import java.time.Duration;
import java.time.Instant;
import java.util.Base64;
import java.util.List;
import java.util.Optional;
import org.junit.Before;
import org.junit.Rule;
import org.junit.Test;
import org.junit.rules.TemporaryFolder;

/** The application's side: what a check refuses, and what staging downloads. */
public class CheckAndStageTest {
    @Rule
    public TemporaryFolder temp = new TemporaryFolder();
    private Releases r;
    private Path installed;
    private Path staging;

    @Before
    public void setUp() throws Exception {
        r = new Releases(temp.newFolder("publisher").toPath());
        assertEquals(r.lastErr, 0, r.publish("1.0"));
        installed = temp.getRoot().toPath().resolve("installed");
        staging = temp.getRoot().toPath().resolve("staging");
        copy(r.app, installed);
        r.write("lib/app.jar", "app 2 is a bit longer than app 1");
        assertEquals(r.lastErr, 0, r.publish("1.1"));
    }

    private Updates updates() throws UpdateException {
        return Updates.forApplication(installed, staging);
    }

    private String refusal() throws Exception {
        try {
            updates().check();
        } catch (UpdateException e) {
            return e.getMessage();
        }
        fail("the check accepted the release");
        return null;
    }

    /** Replaces the feed's release.json by {@code manifest} signed with {@code key}. */
    private void offer(Manifest manifest, KeyPair key) throws Exception {
        Files.write(r.feed.resolve("release.json"), Envelope.sign(manifest, key).toBytes());
    }

    private Manifest current() throws Exception {
        return Envelope.parse(Files.readAllBytes(r.feed.resolve("release.json")), "").unverifiedManifest();
    }

    private KeyPair publisherKey() throws Exception {
        return Keys.parsePrivate(Files.readString(r.privateKey), "key");
    }

    @Test
    public void findsTheNewerReleaseAndNothingOnceItIsInstalled() throws Exception {
        Optional<Release> release = updates().check();
        assertEquals("1.1", release.orElseThrow().version().toString());
        Files.copy(r.feed.resolve("release.json"), Installed.file(installed), StandardCopyOption.REPLACE_EXISTING);
        assertFalse(updates().check().isPresent());
    }

    @Test
    public void refusesAReleaseSignedByAnotherKey() throws Exception {
        offer(current(), Keys.generate());
        assertTrue(refusal().contains("signed by no trusted key"));
    }

    @Test
    public void refusesSignedBytesThatWereChanged() throws Exception {
        String text = new String(Files.readAllBytes(r.feed.resolve("release.json")), StandardCharsets.UTF_8);
        Manifest m = current();
        String signed = Base64.getEncoder().encodeToString(m.toBytes());
        Manifest changed = new Manifest(m.packageName(), Version.parse("9.0"), m.published(), m.expires(), m.minimum(),
                m.files());
        Files.writeString(r.feed.resolve("release.json"),
                text.replace(signed, Base64.getEncoder().encodeToString(changed.toBytes())));
        assertTrue(refusal().contains("its signature does not match its contents"));
    }

    @Test
    public void refusesARollbackAnExpiredReleaseAndAnotherPackage() throws Exception {
        Manifest m = current();
        Files.copy(r.feed.resolve("release.json"), Installed.file(installed), StandardCopyOption.REPLACE_EXISTING);
        Files.copy(r.feed.resolve("releases/1.0.json"), r.feed.resolve("release.json"), StandardCopyOption.REPLACE_EXISTING);
        assertTrue(refusal().contains("offers 1.0, older than the installed 1.1 (a rollback)"));

        Instant past = Instant.now().minus(Duration.ofDays(1));
        offer(new Manifest("demo", Version.parse("1.2"), past.minus(Duration.ofDays(30)), past, Optional.empty(),
                m.files()), publisherKey());
        assertTrue(refusal().contains("expired"));

        offer(new Manifest("other", Version.parse("1.2"), m.published(), m.expires(), Optional.empty(), m.files()),
                publisherKey());
        assertTrue(refusal().contains("a release of \"other\", not of \"demo\""));
    }

    @Test
    public void refusesAnEndlessReleaseFile() throws Exception {
        byte[] big = new byte[Envelope.MAX_BYTES + 10];
        java.util.Arrays.fill(big, (byte) ' ');
        Files.write(r.feed.resolve("release.json"), big);
        assertTrue(refusal().contains("holds more than " + Envelope.MAX_BYTES + " bytes"));
    }

    @Test
    public void plainHttpOnlyToLoopbackOrWhenAllowed() throws Exception {
        String keys = "\"publicKeys\": [\"" + Files.readString(r.publicKey).trim() + "\"], \"packageName\": \"demo\"";
        Path settings = installed.resolve("cfg/update.json");
        Files.writeString(settings, "{\"feed\": \"http://updates.example.com/app\", " + keys + "}");
        try {
            Settings.read(installed);
            fail("plain http accepted");
        } catch (UpdateException e) {
            assertTrue(e.getMessage(), e.getMessage().contains("is plain http"));
        }
        Files.writeString(settings, "{\"feed\": \"http://updates.example.com/app\", \"allowInsecureHttp\": true, " + keys + "}");
        assertEquals("http://updates.example.com/app/", Settings.read(installed).feed().toString());
        for (String host : List.of("127.0.0.1:8080", "localhost", "[::1]:99")) {
            Files.writeString(settings, "{\"feed\": \"http://" + host + "/f/\", " + keys + "}");
            Settings.read(installed);
        }
    }

    @Test
    public void stagesOnlyWhatDiffersAndResumesAPartialDownload() throws Exception {
        Release release = updates().check().orElseThrow();
        FileEntry jar = release.manifest().byPath().get("lib/app.jar");
        byte[] payload = Files.readAllBytes(r.feed.resolve(Payload.name(jar)));
        Files.createDirectories(staging.resolve("partial"));
        Files.write(staging.resolve("partial").resolve(jar.sha256() + ".part"), java.util.Arrays.copyOf(payload, 10));
        long[] last = {0, 0};
        long fetched = updates().stage(release, (done, total) -> {
            last[0] = done;
            last[1] = total;
        });
        assertEquals(jar.size() - 10, fetched);
        assertEquals(jar.size(), last[1]);
        assertEquals(jar.size(), last[0]);
        assertEquals(List.of(jar.sha256()), List.of(staging.resolve("staged").toFile().list()));
        assertTrue(updates().isStaged());
    }

    @Test
    public void aPayloadLongerOrOtherThanDeclaredIsNotStaged() throws Exception {
        Release release = updates().check().orElseThrow();
        FileEntry jar = release.manifest().byPath().get("lib/app.jar");
        Path payload = r.feed.resolve(Payload.name(jar));
        Files.writeString(payload, Files.readString(payload) + "and then some");
        try {
            updates().stage(release, null);
            fail("staged a longer payload");
        } catch (UpdateException e) {
            assertTrue(e.getMessage(), e.getMessage().contains("longer than its declared size"));
        }
        Files.writeString(payload, "X".repeat((int) jar.size()));
        try {
            updates().stage(release, null);
            fail("staged a payload with another hash");
        } catch (UpdateException e) {
            assertTrue(e.getMessage(), e.getMessage().contains("its SHA-256 is not the one"));
        }
        assertFalse(Files.exists(staging.resolve("snapshot.json")));
        assertFalse(updates().isStaged());
    }

    private static void copy(Path from, Path to) throws Exception {
        try (var s = Files.walk(from)) {
            for (Path p : (Iterable<Path>) s::iterator) {
                Path t = to.resolve(from.relativize(p).toString());
                if (Files.isDirectory(p)) {
                    Files.createDirectories(t);
                } else {
                    Files.copy(p, t, StandardCopyOption.COPY_ATTRIBUTES);
                }
            }
        }
    }
}
