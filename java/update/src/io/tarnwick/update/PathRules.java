package io.tarnwick.update;

import java.util.Collection;
import java.util.HashMap;
import java.util.Locale;
import java.util.Map;
import java.util.regex.Pattern;

/**
 * The rules every path of a release keeps, so that no file can land outside
 * the application folder, or on another file, on Windows or on POSIX:
 * relative, '/'-separated, no empty, "." or ".." segment, no drive letter, no
 * backslash, no ':' (Windows streams), no control character, no name Windows
 * reserves, no two paths equal once case is folded, nothing in the
 * application's own state folder .tarnwick, and no install.me.
 */
public final class PathRules {
    /** The application folder's state folder, never part of a release. */
    public static final String STATE_FOLDER = ".tarnwick";
    /** The launcher's request for an installation, never part of a release. */
    public static final String INSTALL_ME = "install.me";
    /** Compiled once: a release of a few hundred files checks each name twice. */
    private static final Pattern DEVICE = Pattern.compile("con|prn|aux|nul|com[0-9]|lpt[0-9]");

    private PathRules() {}

    /** Refuses a path that breaks a rule, saying which. */
    public static void check(String path) throws UpdateException {
        String why = problem(path);
        if (why != null) {
            throw new UpdateException("the path \"" + printable(path) + "\" is refused: " + why);
        }
    }

    /** Refuses a list of paths in which one breaks a rule or two collide when case is folded. */
    public static void checkAll(Collection<String> paths) throws UpdateException {
        Map<String, String> folded = new HashMap<>();
        for (String path : paths) {
            check(path);
            String previous = folded.put(fold(path), path);
            if (previous != null) {
                throw new UpdateException("the paths \"" + previous + "\" and \"" + path
                        + "\" are refused: they name the same file where case is not told apart (Windows, macOS)");
            }
        }
        // A file whose name is also a folder of another path ("lib" and "lib/a.jar").
        for (String path : paths) {
            for (int i = path.indexOf('/'); i >= 0; i = path.indexOf('/', i + 1)) {
                String parent = folded.get(fold(path.substring(0, i)));
                if (parent != null) {
                    throw new UpdateException("the paths \"" + parent + "\" and \"" + path
                            + "\" are refused: the first is a file and a folder of the second");
                }
            }
        }
    }

    /** The path as compared on a file system that does not tell case apart. */
    public static String fold(String path) {
        return path.toLowerCase(Locale.ROOT);
    }

    private static String problem(String path) {
        if (path == null || path.isEmpty()) {
            return "it is empty";
        }
        for (int i = 0; i < path.length(); i++) {
            char c = path.charAt(i);
            if (c < 0x20 || c == 0x7f) {
                return "it holds a control character";
            }
            if (c == '\\') {
                return "it holds a backslash (use '/')";
            }
            if (c == ':') {
                return "it holds ':' (a drive letter or a Windows stream)";
            }
        }
        if (path.startsWith("/")) {
            return "it is absolute";
        }
        String[] segments = path.split("/", -1);
        for (String s : segments) {
            if (s.isEmpty()) {
                return "it has an empty segment";
            }
            if (s.equals(".") || s.equals("..")) {
                return "it has a \"" + s + "\" segment";
            }
            if (s.endsWith(".") || s.endsWith(" ")) {
                return "a name ends with a dot or a blank, which Windows drops";
            }
            if (reservedOnWindows(s)) {
                return "\"" + s + "\" is a device name on Windows";
            }
            if (holdsAnyOf(s, "<>\"|?*")) {
                return "it holds a character Windows does not allow in names";
            }
        }
        if (fold(segments[0]).equals(STATE_FOLDER)) {
            return "it lies in the application's state folder " + STATE_FOLDER;
        }
        if (segments.length == 1 && fold(path).equals(INSTALL_ME)) {
            return "installed, it would make every start an installation";
        }
        return null;
    }

    private static boolean reservedOnWindows(String segment) {
        String stem = fold(segment);
        int dot = stem.indexOf('.');
        if (dot >= 0) {
            stem = stem.substring(0, dot);
        }
        stem = stem.trim();
        return DEVICE.matcher(stem).matches();
    }

    private static boolean holdsAnyOf(String s, String chars) {
        for (int i = 0; i < chars.length(); i++) {
            if (s.indexOf(chars.charAt(i)) >= 0) {
                return true;
            }
        }
        return false;
    }

    private static String printable(String path) {
        if (path == null) {
            return "";
        }
        StringBuilder out = new StringBuilder();
        for (char c : path.toCharArray()) {
            out.append(c < 0x20 || c == 0x7f ? String.format("\\u%04x", (int) c) : String.valueOf(c));
        }
        return out.toString();
    }
}
