package io.tarnwick.update;

import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.security.MessageDigest;

/**
 * Reads a release file's payload, files/&lt;sha256&gt;, never past its declared
 * size, and checks its hash.
 */
public final class Payload {
    private Payload() {}

    public static String name(FileEntry f) {
        return "files/" + f.sha256();
    }

    /** Reads the whole payload and refuses it unless it has the entry's size and hash. */
    public static void check(Feed feed, FileEntry f) throws IOException, UpdateException {
        MessageDigest digest = Hashing.sha256();
        try (Feed.Body body = feed.open(name(f), 0)) {
            copy(body.in(), null, digest, f.size(), feed.describe(name(f)), null);
        }
        verifyHash(digest, f, feed.describe(name(f)));
    }

    /**
     * Copies exactly {@code remaining} bytes into {@code out} (if any) and the
     * digest; a body that ends early or goes on longer is refused.
     */
    public static void copy(InputStream in, OutputStream out, MessageDigest digest, long remaining, String what,
            java.util.function.LongConsumer progress) throws IOException, UpdateException {
        byte[] buffer = new byte[(int) Math.min(Hashing.BUFFER, Math.max(remaining, 1) + 1)];
        long left = remaining;
        while (left > 0) {
            int n = in.read(buffer, 0, (int) Math.min(buffer.length, left));
            if (n < 0) {
                throw new UpdateException(what + " is refused: it ends " + left + " bytes before its declared size");
            }
            digest.update(buffer, 0, n);
            if (out != null) {
                out.write(buffer, 0, n);
            }
            left -= n;
            if (progress != null) {
                progress.accept(n);
            }
        }
        if (in.read() >= 0) {
            throw new UpdateException(what + " is refused: it is longer than its declared size");
        }
    }

    public static void verifyHash(MessageDigest digest, FileEntry f, String what) throws UpdateException {
        if (!Hashing.hex(digest.digest()).equals(f.sha256())) {
            throw new UpdateException(what + " is refused: its SHA-256 is not the one its release declares for "
                    + f.path());
        }
    }
}
