package io.tarnwick.update;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.Map;
import org.junit.Before;
import org.junit.Rule;
import org.junit.Test;
import org.junit.rules.TemporaryFolder;

public class PublisherTest {
    @Rule
    public TemporaryFolder temp = new TemporaryFolder();
    private Releases r;

    @Before
    public void setUp() throws Exception {
        r = new Releases(temp.getRoot().toPath());
    }

    @Test
    public void aSecondReleaseSharesUnchangedFilesAndTheFolderKnowsItsVersion() throws Exception {
        assertEquals(r.lastErr, 0, r.publish("1.0"));
        long stored = Files.list(r.feed.resolve("files")).count();
        r.write("lib/app.jar", "app 2");
        assertEquals(r.lastErr, 0, r.publish("1.1"));
        assertTrue(r.lastOut, r.lastOut.contains("1 files new, 5 bytes new"));
        assertEquals(stored + 1, Files.list(r.feed.resolve("files")).count());
        byte[] release = Files.readAllBytes(r.feed.resolve("release.json"));
        assertArrayEquals(release, Files.readAllBytes(r.feed.resolve("releases/1.1.json")));
        assertArrayEquals(release, Files.readAllBytes(r.app.resolve(".tarnwick/installed.json")));
        Manifest m = Envelope.parse(release, "release").unverifiedManifest();
        assertEquals("1.1", m.version().toString());
        assertEquals(4, m.files().size());
        assertEquals(0, r.cli("verify", "--feed", r.feed.toString(), "--public", r.publicKey.toString()));
    }

    @Test
    public void refusesAVersionNotNewerThanTheFeedsAndLeavesTheFeedAlone() throws Exception {
        assertEquals(0, r.publish("1.10"));
        Map<String, String> before = Releases.hashes(r.feed);
        r.write("lib/app.jar", "app 2");
        assertEquals(1, r.publish("1.9"));
        assertTrue(r.lastErr, r.lastErr.contains("not newer than 1.10"));
        assertEquals(1, r.publish("1.10.0"));
        assertEquals(before, Releases.hashes(r.feed));
    }

    @Test
    public void refusesLinksInTheFolder() throws Exception {
        Files.createSymbolicLink(r.app.resolve("jre"), Path.of("/usr/lib/jvm"));
        assertEquals(1, r.publish("1.0"));
        assertTrue(r.lastErr, r.lastErr.contains("is a link or not a plain file"));
        assertTrue(Files.notExists(r.feed.resolve("release.json")));
    }

    @Test
    public void verifyRefusesATamperedPayloadAndAForeignKey() throws Exception {
        assertEquals(0, r.publish("1.0"));
        Path other = r.root.resolve("other");
        assertEquals(0, r.cli("keygen", "--private", other + ".private", "--public", other + ".public"));
        assertEquals(1, r.cli("verify", "--feed", r.feed.toString(), "--public", other + ".public"));
        assertTrue(r.lastErr, r.lastErr.contains("signed by no trusted key"));

        String sha = Hashing.sha256("app 1".getBytes());
        Files.writeString(r.feed.resolve("files").resolve(sha), "app 9");
        assertEquals(1, r.cli("verify", "--feed", r.feed.toString(), "--public", r.publicKey.toString()));
        assertTrue(r.lastErr, r.lastErr.contains("its SHA-256 is not the one its release declares for lib/app.jar"));
        Files.writeString(r.feed.resolve("files").resolve(sha), "app 1 and more");
        assertEquals(1, r.cli("verify", "--feed", r.feed.toString(), "--public", r.publicKey.toString()));
        assertTrue(r.lastErr, r.lastErr.contains("longer than its declared size"));
    }

    @Test
    public void keygenNeverOverwritesAndKeepsThePrivateKeyToItsOwner() throws Exception {
        Path priv = r.root.resolve("new.private");
        Path pub = r.root.resolve("new.public");
        assertEquals(0, r.cli("keygen", "--private", priv.toString(), "--public", pub.toString()));
        assertEquals("rw-------", PosixFilePermissions.toString(Files.getPosixFilePermissions(priv)));
        byte[] key = Files.readAllBytes(priv);
        assertEquals(1, r.cli("keygen", "--private", priv.toString(), "--public", r.root.resolve("x").toString()));
        assertArrayEquals(key, Files.readAllBytes(priv));
        assertEquals(2, r.cli("keygen", "--private", priv.toString()));
    }
}
