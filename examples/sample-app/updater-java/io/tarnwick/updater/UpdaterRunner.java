package io.tarnwick.updater;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.List;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * The sample application's updater class, run by the updater program:
 * {@code new UpdaterRunner().run(args)}. It applies the waiting snapshot: the
 * files it names, kept in the update folder's files/ folder, are copied into
 * the application's lib/ folder, then the snapshot is removed. Returns 0 on
 * success, 1 when nothing could be applied (the caller is then not started
 * again).
 */
public class UpdaterRunner {
    private static final Pattern FILE_ENTRY = Pattern.compile("\"([^\"\\\\]+)\"");

    public UpdaterRunner() {}

    public int run(String[] args) {
        String updateDir = value(args, "--updateDir=");
        String appDir = value(args, "--appDir=");
        System.out.println("[updater] arguments: " + String.join(" ", args));
        if (updateDir == null || updateDir.isEmpty() || appDir == null) {
            System.out.println("[updater] no update folder given; nothing to apply");
            return 1;
        }
        Path snapshot = Paths.get(updateDir, "snapshot.json");
        try {
            String text = Files.readString(snapshot);
            List<String> files = filesOf(text);
            for (String name : files) {
                Path from = Paths.get(updateDir, "files", name);
                Path to = Paths.get(appDir, "lib", name);
                Files.copy(from, to, StandardCopyOption.REPLACE_EXISTING);
                System.out.println("[updater] applied " + name + " to " + to);
            }
            Files.delete(snapshot);
            System.out.println("[updater] snapshot applied and removed");
            System.out.flush();
            return 0;
        } catch (IOException e) {
            System.out.println("[updater] cannot apply " + snapshot + ": " + e);
            return 1;
        }
    }

    private static String value(String[] args, String prefix) {
        for (String arg : args) {
            if (arg.startsWith(prefix)) {
                return arg.substring(prefix.length());
            }
        }
        return null;
    }

    /** The names in the snapshot's "files" array: {"files": ["version.txt"]}. */
    static List<String> filesOf(String snapshot) {
        List<String> names = new ArrayList<>();
        int start = snapshot.indexOf("\"files\"");
        int open = snapshot.indexOf('[', start);
        int close = snapshot.indexOf(']', open);
        if (start < 0 || open < 0 || close < 0) {
            return names;
        }
        Matcher m = FILE_ENTRY.matcher(snapshot.substring(open + 1, close));
        while (m.find()) {
            String name = m.group(1);
            if (!name.contains("/") && !name.contains("\\") && !name.equals("..")) {
                names.add(name);
            }
        }
        return names;
    }
}
