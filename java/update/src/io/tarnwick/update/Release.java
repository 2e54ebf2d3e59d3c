package io.tarnwick.update;

/**
 * A release that a feed offers and its signature vouches for, newer than the
 * installed one. {@code required} is true when the installed version is
 * older than the release's minimum.
 */
public record Release(Manifest manifest, Envelope envelope, boolean required) {
    public Version version() {
        return manifest.version();
    }
}
