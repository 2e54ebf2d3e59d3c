package io.tarnwick.update;

import java.nio.charset.StandardCharsets;
import java.time.Instant;
import java.time.format.DateTimeParseException;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Optional;

/**
 * What a release is, as its publisher signed it: package, version, when it
 * was published, until when it may be installed, an optional minimum version
 * (installed versions below it are told that the update is required), and
 * every file, sorted by path.
 */
public record Manifest(String packageName, Version version, Instant published, Instant expires,
        Optional<Version> minimum, List<FileEntry> files) {
    public static final int FORMAT = 1;

    public Manifest {
        files = List.copyOf(files);
    }

    /** Parses and checks the signed bytes: format, versions, times, and every path rule. */
    public static Manifest parse(byte[] bytes) throws UpdateException {
        String what = "the release manifest";
        Map<String, Object> o = Json.object(Json.parse(bytes, what), what);
        long format = Json.number(o, "format", what);
        if (format != FORMAT) {
            throw new UpdateException(what + " has format " + format + ", this library reads format " + FORMAT);
        }
        String packageName = Json.string(o, "packageName", what);
        Version version = Version.parse(Json.string(o, "version", what));
        Instant published = instant(o, "published", what);
        Instant expires = instant(o, "expires", what);
        String minimum = Json.optionalString(o, "minimum", what);
        List<FileEntry> files = new ArrayList<>();
        List<String> paths = new ArrayList<>();
        for (Object item : Json.list(o, "files", what)) {
            Map<String, Object> f = Json.object(item, what + " file entry");
            String path = Json.string(f, "path", what);
            String sha = Json.string(f, "sha256", what);
            long size = Json.number(f, "size", what);
            if (!Hashing.isSha256Hex(sha) || size < 0) {
                throw new UpdateException(what + ": the entry of \"" + path + "\" has a bad size or sha256");
            }
            files.add(new FileEntry(path, size, sha, Json.bool(f, "executable", false, what)));
            paths.add(path);
        }
        PathRules.checkAll(paths);
        return new Manifest(packageName, version, published, expires,
                minimum == null ? Optional.empty() : Optional.of(Version.parse(minimum)), files);
    }

    /** The bytes to sign. */
    public byte[] toBytes() {
        Map<String, Object> o = new LinkedHashMap<>();
        o.put("format", FORMAT);
        o.put("packageName", packageName);
        o.put("version", version.toString());
        o.put("published", published.toString());
        o.put("expires", expires.toString());
        minimum.ifPresent(v -> o.put("minimum", v.toString()));
        List<Object> list = new ArrayList<>();
        List<FileEntry> sorted = new ArrayList<>(files);
        sorted.sort((a, b) -> a.path().compareTo(b.path()));
        for (FileEntry f : sorted) {
            Map<String, Object> e = new LinkedHashMap<>();
            e.put("path", f.path());
            e.put("size", f.size());
            e.put("sha256", f.sha256());
            e.put("executable", f.executable());
            list.add(e);
        }
        o.put("files", list);
        return Json.write(o).replace("}, {\"path\"", "},\n  {\"path\"").getBytes(StandardCharsets.UTF_8);
    }

    public long totalSize() {
        return files.stream().mapToLong(FileEntry::size).sum();
    }

    public Map<String, FileEntry> byPath() {
        Map<String, FileEntry> map = new LinkedHashMap<>();
        for (FileEntry f : files) {
            map.put(f.path(), f);
        }
        return Collections.unmodifiableMap(map);
    }

    private static Instant instant(Map<String, Object> o, String key, String what) throws UpdateException {
        String text = Json.string(o, key, what);
        try {
            return Instant.parse(text);
        } catch (DateTimeParseException e) {
            throw new UpdateException(what + ": \"" + key + "\" is not an ISO-8601 UTC time: " + text);
        }
    }
}
