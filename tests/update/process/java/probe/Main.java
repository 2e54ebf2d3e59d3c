package probe;

import io.tarnwick.update.Release;
import io.tarnwick.update.Updates;

import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Optional;

/**
 * The application of the update tests: says which version it is (from
 * lib/version.txt), then checks its feed through the library and, when a
 * newer release is staged, asks the launcher for the updater (100).
 * PROBE_NO_CHECK in the environment leaves the check out; with
 * PROBE_STAGE_ONLY it stages and returns 0, so that the next start applies.
 */
public final class Main {
    private Main() {}

    public static int run(String[] args) throws Exception {
        Path appDir = Paths.get(Main.class.getProtectionDomain().getCodeSource().getLocation().toURI())
            .getParent().getParent();
        System.out.println("[probe] version " + Files.readString(appDir.resolve("lib/version.txt")).trim());
        if (System.getenv("PROBE_NO_CHECK") != null) {
            return 0;
        }
        try {
            Updates updates = Updates.forApplication(appDir);
            if (updates.isStaged()) {
                System.out.println("[probe] an update is staged");
                return 100;
            }
            Optional<Release> release = updates.check();
            if (release.isEmpty()) {
                System.out.println("[probe] up to date");
                return 0;
            }
            updates.stage(release.get(), (done, total) -> { });
            System.out.println("[probe] staged " + release.get().version());
            return System.getenv("PROBE_STAGE_ONLY") != null ? 0 : 100;
        } catch (Exception e) {
            System.out.println("[probe] update refused: " + e.getMessage());
            return 0;
        } finally {
            System.out.flush();
        }
    }
}
