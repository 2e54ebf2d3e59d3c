package io.tarnwick.update;

/** Told of a download's progress, on the thread that downloads. */
@FunctionalInterface
public interface ProgressListener {
    /** {@code done} of {@code total} bytes to download have arrived. */
    void progress(long done, long total);
}
