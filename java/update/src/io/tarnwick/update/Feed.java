package io.tarnwick.update;

import java.io.Closeable;
import java.io.IOException;
import java.io.InputStream;
import java.net.URI;
import java.nio.file.Path;
import java.nio.file.Paths;

/**
 * Where releases are published: release.json, releases/&lt;version&gt;.json and
 * files/&lt;sha256&gt;, read over http(s) or from a folder.
 */
public interface Feed {
    String RELEASE = "release.json";

    /** The whole file {@code name}, refused when it holds more than {@code max} bytes. */
    default byte[] read(String name, int max) throws IOException, UpdateException {
        try (Body body = open(name, 0)) {
            byte[] bytes = body.in().readNBytes(max + 1);
            if (bytes.length > max) {
                throw new UpdateException(describe(name) + " is refused: it holds more than " + max + " bytes");
            }
            return bytes;
        }
    }

    /**
     * The file {@code name} from byte {@code offset} on, when the feed can start
     * there; otherwise from its start (the body's {@code offset} says which).
     */
    Body open(String name, long offset) throws IOException, UpdateException;

    /** Where this feed is, for messages. */
    String describe(String name);

    /** A body being read, and the offset in the file where it starts. */
    record Body(InputStream in, long offset) implements Closeable {
        @Override
        public void close() throws IOException {
            in.close();
        }
    }

    /** The feed at a URL (https, http, file) or a folder path. */
    static Feed of(String urlOrFolder, boolean allowInsecureHttp) throws UpdateException {
        if (urlOrFolder.matches("(?i)(https?|file):.*")) {
            URI uri = URI.create(urlOrFolder.endsWith("/") ? urlOrFolder : urlOrFolder + "/");
            return of(uri, allowInsecureHttp);
        }
        return new FolderFeed(Paths.get(urlOrFolder));
    }

    static Feed of(URI feed, boolean allowInsecureHttp) throws UpdateException {
        Settings.checkFeed(feed, allowInsecureHttp, "the feed");
        if ("file".equalsIgnoreCase(feed.getScheme())) {
            return new FolderFeed(Path.of(feed));
        }
        return new HttpFeed(feed, allowInsecureHttp);
    }
}
