package sample.app;

import java.nio.file.Path;
import java.nio.file.Paths;

/** The per-user folder where the launcher and the updater look for snapshots. */
final class DataFolder {
    private DataFolder() {}

    static Path of(String packageName) {
        String os = System.getProperty("os.name", "").toLowerCase();
        Path base;
        if (os.startsWith("windows")) {
            base = Paths.get(System.getenv("APPDATA"));
        } else {
            // As the launcher reads it: the environment's HOME, which Java's
            // user.home (from the password database) need not be.
            String xdg = System.getenv("XDG_DATA_HOME");
            String home = System.getenv("HOME");
            if (home == null || home.isEmpty()) {
                home = System.getProperty("user.home");
            }
            base = xdg != null && xdg.startsWith("/") ? Paths.get(xdg) : Paths.get(home, ".local", "share");
        }
        return base.resolve(packageName);
    }
}
