package io.tarnwick.updater;

import io.tarnwick.update.apply.FileSteps;
import io.tarnwick.update.apply.Updater;
import java.nio.file.Path;

/**
 * The ready updater runner: applies the release that the application staged
 * (or, with {@code --webInstall=true}, installs the feed's release) crash-safely
 * into {@code --appDir}, after checking every file again against the signed
 * manifest. Returns 0 when the launcher is to start again on a whole release,
 * 1 when it must not; reasons go to standard error and
 * {@code <appDir>/.tarnwick/update.log}.
 */
public class UpdaterRunner {
    public UpdaterRunner() {}

    public int run(String[] args) {
        String appDir = null;
        String updateDir = null;
        boolean webInstall = false;
        for (String arg : args) {
            if (arg.startsWith("--appDir=")) {
                appDir = arg.substring("--appDir=".length());
            } else if (arg.startsWith("--updateDir=")) {
                updateDir = arg.substring("--updateDir=".length());
            } else if (arg.startsWith("--webInstall=")) {
                webInstall = arg.substring("--webInstall=".length()).equals("true");
            }
        }
        if (appDir == null || appDir.isEmpty()) {
            System.err.println("UpdaterRunner: no --appDir= given: nothing to update");
            return 1;
        }
        try {
            Path app = Path.of(appDir).toRealPath();
            Path staging = updateDir == null || updateDir.isEmpty() ? null : Path.of(updateDir);
            return new Updater(FileSteps.fromSystemProperties(), Updater.Waits.DEFAULT).run(app, staging, webInstall);
        } catch (Exception e) {
            System.err.println("UpdaterRunner: the update failed: " + e);
            return 1;
        }
    }
}
