package sample.app;

import java.nio.file.Path;

/**
 * The sample application's entry point, called by the launcher in the
 * static style: {@code int run(String[])}. It reports what it received and
 * which version it is, and asks the launcher for an update (result 100) when
 * an update snapshot waits in its per-user data folder or a newer version
 * could be staged there.
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
        Path data = DataFolder.of("sampleapp");
        try {
            if (UpdateCheck.stageNewerVersion(data, Version.current())) {
                System.out.println("[sample] update snapshot waiting in " + data + ": asking for the updater");
                System.out.flush();
                return UPDATE_REQUESTED;
            }
        } catch (java.io.IOException e) {
            System.out.println("[sample] update check failed: " + e);
        }
        System.out.println("[sample] no update waiting; done");
        System.out.flush();
        return 0;
    }
}
