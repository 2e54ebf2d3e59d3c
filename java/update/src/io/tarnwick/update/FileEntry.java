package io.tarnwick.update;

/**
 * One file of a release: its path in the application folder ('/'-separated),
 * its exact size, the SHA-256 of its bytes, and whether it is to be executable.
 */
public record FileEntry(String path, long size, String sha256, boolean executable) {}
