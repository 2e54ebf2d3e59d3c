package io.tarnwick.update;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.regex.Pattern;

/** SHA-256 as lower-case hex, over bytes or a file. */
public final class Hashing {
    /** Buffer for file reads: large enough that the digest, not the calls, sets the pace. */
    public static final int BUFFER = 1 << 20;
    private static final Pattern SHA256_HEX = Pattern.compile("[0-9a-f]{64}");

    private Hashing() {}

    public static MessageDigest sha256() {
        try {
            return MessageDigest.getInstance("SHA-256");
        } catch (NoSuchAlgorithmException e) {
            throw new IllegalStateException(e);
        }
    }

    public static String hex(byte[] bytes) {
        StringBuilder out = new StringBuilder(bytes.length * 2);
        for (byte b : bytes) {
            out.append(Character.forDigit((b >> 4) & 15, 16)).append(Character.forDigit(b & 15, 16));
        }
        return out.toString();
    }

    public static String sha256(byte[] bytes) {
        return hex(sha256().digest(bytes));
    }

    /** The file's hash, read at most {@code limit} + 1 bytes far; null when it holds more than {@code limit}. */
    public static String sha256(Path file, long limit) throws IOException {
        MessageDigest digest = sha256();
        byte[] buffer = new byte[BUFFER];
        long total = 0;
        try (InputStream in = Files.newInputStream(file)) {
            for (int n; (n = in.read(buffer)) > 0; ) {
                total += n;
                if (total > limit) {
                    return null;
                }
                digest.update(buffer, 0, n);
            }
        }
        return hex(digest.digest());
    }

    public static boolean isSha256Hex(String s) {
        return s != null && SHA256_HEX.matcher(s).matches();
    }
}
