package io.tarnwick.update;

import java.math.BigInteger;
import java.util.regex.Pattern;

/**
 * A release version: numbers separated by dots, compared part by part as
 * numbers (1.10 is newer than 1.9; 1.0 and 1.0.0 are the same version).
 */
public final class Version implements Comparable<Version> {
    private static final Pattern FORM = Pattern.compile("[0-9]{1,18}(\\.[0-9]{1,18}){0,15}");

    private final String text;
    private final BigInteger[] parts;

    private Version(String text, BigInteger[] parts) {
        this.text = text;
        this.parts = parts;
    }

    /** Parses a version such as 1.2.10; anything else is refused with a clear message. */
    public static Version parse(String text) throws UpdateException {
        if (text == null || !FORM.matcher(text).matches()) {
            throw new UpdateException("\"" + text + "\" is not a version: use numbers separated by dots, such as 1.2.0");
        }
        String[] pieces = text.split("\\.");
        BigInteger[] parts = new BigInteger[pieces.length];
        for (int i = 0; i < pieces.length; i++) {
            parts[i] = new BigInteger(pieces[i]);
        }
        return new Version(text, parts);
    }

    @Override
    public int compareTo(Version other) {
        int n = Math.max(parts.length, other.parts.length);
        for (int i = 0; i < n; i++) {
            BigInteger a = i < parts.length ? parts[i] : BigInteger.ZERO;
            BigInteger b = i < other.parts.length ? other.parts[i] : BigInteger.ZERO;
            int c = a.compareTo(b);
            if (c != 0) {
                return c;
            }
        }
        return 0;
    }

    public boolean isNewerThan(Version other) {
        return compareTo(other) > 0;
    }

    @Override
    public boolean equals(Object o) {
        return o instanceof Version && compareTo((Version) o) == 0;
    }

    @Override
    public int hashCode() {
        int n = parts.length;
        while (n > 0 && parts[n - 1].signum() == 0) {
            n--;
        }
        int h = 1;
        for (int i = 0; i < n; i++) {
            h = 31 * h + parts[i].hashCode();
        }
        return h;
    }

    /** The version as written. */
    @Override
    public String toString() {
        return text;
    }
}
