package sample.app;

import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;

/** The application's version: version.txt in lib/, which is on the class path and which updates replace. */
final class Version {
    private Version() {}

    static String current() {
        try (InputStream in = Version.class.getResourceAsStream("/version.txt")) {
            if (in == null) {
                return "unknown";
            }
            return new String(in.readAllBytes(), StandardCharsets.UTF_8).trim();
        } catch (IOException e) {
            return "unknown";
        }
    }
}
