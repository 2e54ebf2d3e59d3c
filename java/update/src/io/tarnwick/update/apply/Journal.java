package io.tarnwick.update.apply;

import io.tarnwick.update.Json;
import io.tarnwick.update.PathRules;
import io.tarnwick.update.UpdateException;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * What an apply is doing, written before the first file of the release
 * moves: every file to add, replace or delete, the folders it creates, and
 * whether install.me was its own. {@code committed} is set once every file
 * has moved; from then on a restart finishes the apply, before it rolls it
 * back.
 */
public record Journal(String version, boolean ownsInstallMe, List<Entry> entries, List<String> folders,
        boolean committed) {
    public static final String INSTALLED = PathRules.STATE_FOLDER + "/installed.json";

    public enum Action { ADD, REPLACE, DELETE }

    /** One file of the apply; its path is relative to the application folder. */
    public record Entry(String path, Action action) {}

    public Journal {
        entries = List.copyOf(entries);
        folders = List.copyOf(folders);
    }

    public Journal commit() {
        return new Journal(version, ownsInstallMe, entries, folders, true);
    }

    public byte[] toBytes() {
        Map<String, Object> o = new LinkedHashMap<>();
        o.put("format", 1);
        o.put("version", version);
        o.put("ownsInstallMe", ownsInstallMe);
        o.put("committed", committed);
        o.put("folders", folders);
        List<Object> list = new ArrayList<>();
        for (Entry e : entries) {
            Map<String, Object> m = new LinkedHashMap<>();
            m.put("path", e.path());
            m.put("action", e.action().name().toLowerCase());
            list.add(m);
        }
        o.put("entries", list);
        return (Json.write(o) + "\n").getBytes(StandardCharsets.UTF_8);
    }

    public static Journal parse(byte[] bytes, String what) throws UpdateException {
        Map<String, Object> o = Json.object(Json.parse(bytes, what), what);
        List<Entry> entries = new ArrayList<>();
        for (Object item : Json.list(o, "entries", what)) {
            Map<String, Object> m = Json.object(item, what);
            String path = checked(Json.string(m, "path", what));
            Action action;
            try {
                action = Action.valueOf(Json.string(m, "action", what).toUpperCase());
            } catch (IllegalArgumentException e) {
                throw new UpdateException(what + " names an unknown action");
            }
            entries.add(new Entry(path, action));
        }
        List<String> folders = new ArrayList<>();
        for (Object item : Json.list(o, "folders", what)) {
            if (!(item instanceof String)) {
                throw new UpdateException(what + " names a folder that is not a text");
            }
            folders.add(checked((String) item));
        }
        return new Journal(Json.string(o, "version", what), Json.bool(o, "ownsInstallMe", false, what), entries,
                folders, Json.bool(o, "committed", false, what));
    }

    private static String checked(String path) throws UpdateException {
        if (!path.equals(INSTALLED)) {
            PathRules.check(path);
        }
        return path;
    }
}
