package sample.app;

import io.tarnwick.update.Release;
import io.tarnwick.update.UpdateException;
import io.tarnwick.update.Updates;

import java.io.IOException;
import java.net.URISyntaxException;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Optional;

/**
 * The sample application's entry point, called by the launcher in the
 * static style: {@code int run(String[])}. It reports what it received and
 * which version it is, then asks its feed (cfg/update.json) for a newer
 * release through the update library: when one is there, it is staged and
 * the launcher is asked for the updater (result 100), whose ready runner
 * applies it.
 */
public final class Main {
    /** Asks the launcher to start the updater. */
    static final int UPDATE_REQUESTED = 100;

    private Main() {}

    public static int run(String[] args) {
        Splash.play(Version.current());
        System.out.println("[sample] version " + Version.current());
        System.out.println("[sample] received " + args.length + " argument(s)");
        for (int i = 0; i < args.length; i++) {
            System.out.println("[sample]   arg " + i + ": " + args[i]);
        }
        try {
            Updates updates = Updates.forApplication(applicationFolder());
            if (updates.isStaged()) {
                System.out.println("[sample] an update is staged: asking for the updater");
                return UPDATE_REQUESTED;
            }
            Optional<Release> release = updates.check();
            if (release.isPresent()) {
                System.out.println("[sample] version " + release.get().version() + " is available; staging it");
                long bytes = updates.stage(release.get(), (done, total) -> { });
                System.out.println("[sample] staged " + release.get().version() + " (" + bytes
                    + " bytes downloaded) in " + updates.stagingFolder() + ": asking for the updater");
                return UPDATE_REQUESTED;
            }
        } catch (UpdateException | IOException e) {
            System.out.println("[sample] update check failed: " + e.getMessage());
        } finally {
            System.out.flush();
        }
        System.out.println("[sample] no update waiting; done");
        System.out.flush();
        return 0;
    }

    /** The folder above lib/, where this class's jar lies. */
    private static Path applicationFolder() throws IOException {
        try {
            return Paths.get(Main.class.getProtectionDomain().getCodeSource().getLocation().toURI())
                .getParent().getParent();
        } catch (URISyntaxException e) {
            throw new IOException(e);
        }
    }
}
