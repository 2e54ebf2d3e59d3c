package io.tarnwick.update;

import java.nio.file.Path;
import java.nio.file.Paths;

/**
 * The per-user folder where the launcher looks for snapshot.json, found
 * exactly as the launcher finds it: %APPDATA% on Windows, on other systems
 * $XDG_DATA_HOME when it is absolute, otherwise $HOME/.local/share.
 */
public final class DataFolder {
    private DataFolder() {}

    public static Path of(String packageName) throws UpdateException {
        Path base;
        if (System.getProperty("os.name", "").startsWith("Windows")) {
            String appData = System.getenv("APPDATA");
            if (appData == null || appData.isEmpty()) {
                throw new UpdateException("cannot determine the application data folder: APPDATA is not set");
            }
            base = Paths.get(appData);
        } else {
            String xdg = System.getenv("XDG_DATA_HOME");
            String home = System.getenv("HOME");
            if (xdg != null && xdg.startsWith("/")) {
                base = Paths.get(xdg);
            } else if (home != null && home.startsWith("/")) {
                base = Paths.get(home, ".local", "share");
            } else {
                throw new UpdateException("cannot determine the application data folder: neither XDG_DATA_HOME nor HOME is set");
            }
        }
        return base.resolve(packageName);
    }
}
