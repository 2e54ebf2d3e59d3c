package io.tarnwick.update.publish;

import io.tarnwick.update.Envelope;
import io.tarnwick.update.Feed;
import io.tarnwick.update.FileEntry;
import io.tarnwick.update.Keys;
import io.tarnwick.update.Manifest;
import io.tarnwick.update.Payload;
import io.tarnwick.update.Trust;
import io.tarnwick.update.UpdateException;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.security.PublicKey;
import java.time.Instant;
import java.util.Arrays;
import java.util.List;

/** verify: checks a feed as a client would: release.json signed and fresh, its history entry, every payload. */
final class Verify {
    private Verify() {}

    static int run(Options o) throws Options.UsageException, UpdateException, IOException {
        String keyFile = o.required("public");
        PublicKey key = Keys.parsePublic(Files.readString(Paths.get(keyFile), StandardCharsets.US_ASCII), keyFile);
        String where = o.required("feed");
        Feed feed = Feed.of(where, true);
        byte[] bytes = feed.read(Feed.RELEASE, Envelope.MAX_BYTES);
        Envelope envelope = Envelope.parse(bytes, feed.describe(Feed.RELEASE));
        Manifest m = Trust.accept(envelope, List.of(key), null, Instant.now(), feed.describe(Feed.RELEASE));
        String history = "releases/" + m.version() + ".json";
        if (!Arrays.equals(bytes, feed.read(history, Envelope.MAX_BYTES))) {
            throw new UpdateException(feed.describe(history) + " differs from " + feed.describe(Feed.RELEASE));
        }
        for (FileEntry f : m.files()) {
            Payload.check(feed, f);
        }
        System.out.println("feed " + where + " is good: " + m.packageName() + " " + m.version() + ", "
                + m.files().size() + " files, " + m.totalSize() + " bytes, signed by key " + Keys.keyId(key)
                + ", expires " + m.expires());
        return 0;
    }
}
