package io.tarnwick.update;

import java.io.IOException;
import java.net.URI;
import java.net.URISyntaxException;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.security.PublicKey;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.Optional;

/**
 * The update settings of an application, {@code <appDir>/cfg/update.json}:
 * {@code feed} (the feed's URL, https; http only to a loopback address or
 * with {@code allowInsecureHttp}; file: for a folder), {@code publicKeys}
 * (the trusted key lines), {@code packageName} (when absent, the
 * {@code packageName} of the launcher's configuration in cfg/),
 * {@code checkIntervalHours} (24) and {@code channel} (text, for the
 * application's own use). Unknown keys are ignored.
 */
public record Settings(URI feed, List<PublicKey> publicKeys, String packageName, boolean allowInsecureHttp,
        int checkIntervalHours, Optional<String> channel) {
    public static final String FILE = "cfg/update.json";

    public Settings {
        publicKeys = List.copyOf(publicKeys);
    }

    public static Path file(Path appDir) {
        return appDir.resolve(FILE);
    }

    /** Reads the settings of the application in {@code appDir}, or says clearly what is wrong with them. */
    public static Settings read(Path appDir) throws UpdateException {
        Path file = file(appDir);
        String what = file.toString();
        byte[] bytes;
        try {
            bytes = Files.readAllBytes(file);
        } catch (NoSuchFileException e) {
            throw new UpdateException(what + " does not exist: the application has no update settings");
        } catch (IOException e) {
            throw new UpdateException(what + " cannot be read: " + e);
        }
        Map<String, Object> o = Json.object(Json.parse(bytes, what), what);
        String feedText = Json.string(o, "feed", what);
        URI feed;
        try {
            feed = new URI(feedText.endsWith("/") ? feedText : feedText + "/");
        } catch (URISyntaxException e) {
            throw new UpdateException(what + ": \"feed\" is not a URL: " + feedText);
        }
        boolean insecure = Json.bool(o, "allowInsecureHttp", false, what);
        checkFeed(feed, insecure, what);
        List<PublicKey> keys = new ArrayList<>();
        for (Object line : Json.list(o, "publicKeys", what)) {
            if (!(line instanceof String)) {
                throw new UpdateException(what + ": \"publicKeys\" must list key lines as keygen writes them");
            }
            keys.add(Keys.parsePublic((String) line, what + " public key " + (keys.size() + 1)));
        }
        if (keys.isEmpty()) {
            throw new UpdateException(what + ": \"publicKeys\" is empty: no release could be trusted");
        }
        String packageName = Json.optionalString(o, "packageName", what);
        if (packageName == null) {
            packageName = packageNameOfLauncher(appDir);
        }
        if (packageName == null || packageName.isBlank() || PathRules.fold(packageName).contains("..")
                || packageName.contains("/") || packageName.contains("\\")) {
            throw new UpdateException(what + ": no usable \"packageName\": name it as in the launcher's configuration");
        }
        long interval = o.containsKey("checkIntervalHours") ? Json.number(o, "checkIntervalHours", what) : 24;
        if (interval < 0 || interval > 24 * 365) {
            throw new UpdateException(what + ": \"checkIntervalHours\" must lie between 0 and 8760");
        }
        return new Settings(feed, keys, packageName, insecure, (int) interval,
                Optional.ofNullable(Json.optionalString(o, "channel", what)));
    }

    /** https, http to loopback or when allowed, file: for a local folder. */
    public static void checkFeed(URI feed, boolean allowInsecure, String what) throws UpdateException {
        String scheme = feed.getScheme() == null ? "" : feed.getScheme().toLowerCase();
        switch (scheme) {
            case "https":
            case "file":
                return;
            case "http":
                if (allowInsecure || isLoopback(feed.getHost())) {
                    return;
                }
                throw new UpdateException(what + ": the feed " + feed
                        + " is plain http: use https, or set \"allowInsecureHttp\": true");
            default:
                throw new UpdateException(what + ": the feed " + feed + " is neither https, http nor file");
        }
    }

    static boolean isLoopback(String host) {
        if (host == null) {
            return false;
        }
        String h = host.toLowerCase();
        return h.equals("localhost") || h.equals("[::1]") || h.equals("::1")
                || h.matches("127\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}");
    }

    /** The one packageName named by the launcher's configuration files in cfg/, if exactly one is named. */
    private static String packageNameOfLauncher(Path appDir) {
        String found = null;
        try (DirectoryStream<Path> files = Files.newDirectoryStream(appDir.resolve("cfg"), "*.json")) {
            for (Path f : files) {
                if (f.getFileName().toString().equals("update.json")) {
                    continue;
                }
                try {
                    Object name = Json.object(Json.parse(Files.readAllBytes(f), f.toString()), "").get("packageName");
                    if (name instanceof String) {
                        if (found != null && !found.equals(name)) {
                            return null;
                        }
                        found = (String) name;
                    }
                } catch (UpdateException | IOException e) {
                    // not a configuration this can read: not the one that names the package
                }
            }
        } catch (IOException e) {
            return null;
        }
        return found;
    }
}
