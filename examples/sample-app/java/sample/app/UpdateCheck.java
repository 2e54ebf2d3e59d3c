package sample.app;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;

/**
 * Looks for a newer version in the folder named by the system property
 * sample.updates (a stand-in for a download site). When one is there, it is
 * staged in the per-user data folder with a snapshot that the updater's
 * Java class applies.
 */
final class UpdateCheck {
    private UpdateCheck() {}

    /** Returns true when an update snapshot is waiting (staged now or before). */
    static boolean stageNewerVersion(Path dataFolder, String currentVersion) throws IOException {
        Path snapshot = dataFolder.resolve("snapshot.json");
        if (Files.exists(snapshot)) {
            return true;
        }
        String site = System.getProperty("sample.updates");
        if (site == null) {
            return false;
        }
        Path offered = Paths.get(site, "version.txt");
        if (!Files.exists(offered)) {
            return false;
        }
        String version = Files.readString(offered).trim();
        if (version.equals(currentVersion)) {
            return false;
        }
        System.out.println("[sample] version " + version + " is available; staging it");
        Files.createDirectories(dataFolder.resolve("files"));
        Files.copy(offered, dataFolder.resolve("files").resolve("version.txt"), StandardCopyOption.REPLACE_EXISTING);
        Files.writeString(snapshot, "{\"version\": \"" + version + "\", \"files\": [\"version.txt\"]}\n");
        return true;
    }
}
