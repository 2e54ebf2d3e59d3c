package io.tarnwick.update;

import java.security.PublicKey;
import java.time.Instant;
import java.util.List;
import java.util.Optional;

/**
 * What makes a release acceptable beyond its signature: it is for this
 * package, it has not expired (an old feed replayed for ever), and it is not
 * older than what is installed (a rollback).
 */
public final class Trust {
    private Trust() {}

    /** The envelope's manifest once signed by a trusted key, for {@code packageName} (null: any), not expired at {@code now}. */
    public static Manifest accept(Envelope envelope, List<PublicKey> keys, String packageName, Instant now, String what)
            throws UpdateException {
        Manifest m = envelope.verify(keys, what);
        if (packageName != null && !packageName.equals(m.packageName())) {
            throw new UpdateException(what + " is refused: it is a release of \"" + m.packageName()
                    + "\", not of \"" + packageName + "\"");
        }
        if (!now.isBefore(m.expires())) {
            throw new UpdateException(what + " is refused: release " + m.version() + " expired at " + m.expires()
                    + " (the feed is not kept fresh, or replays an old release)");
        }
        return m;
    }

    /** Refuses a release older than the installed one. */
    public static void refuseRollback(Manifest offered, Optional<Version> installed, String what) throws UpdateException {
        if (installed.isPresent() && installed.get().isNewerThan(offered.version())) {
            throw new UpdateException(what + " is refused: it offers " + offered.version() + ", older than the installed "
                    + installed.get() + " (a rollback)");
        }
    }
}
