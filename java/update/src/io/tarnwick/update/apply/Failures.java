package io.tarnwick.update.apply;

import io.tarnwick.update.Json;
import io.tarnwick.update.UpdateException;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * How often the apply of one version was begun without success, and why it
 * last failed: {@code .tarnwick/failures.json}. A release begun
 * {@link #GIVE_UP} times is not applied or staged again until a newer one
 * is offered. A file that cannot be read counts as no failure at all, so a
 * damaged counter never keeps the application from starting.
 */
public record Failures(String version, int attempts, String reason) {
    public static final int GIVE_UP = 2;

    public static Failures none() {
        return new Failures("", 0, "");
    }

    public static Failures read(Path file) {
        try {
            Map<String, Object> o = Json.object(Json.parse(Files.readAllBytes(file), file.toString()), "");
            return new Failures(Json.string(o, "version", ""), (int) Json.number(o, "attempts", ""),
                    o.get("reason") instanceof String ? (String) o.get("reason") : "");
        } catch (IOException | UpdateException | RuntimeException e) {
            return none();
        }
    }

    public int attemptsOf(String v) {
        return version.equals(v) ? attempts : 0;
    }

    public boolean givenUp(String v) {
        return attemptsOf(v) >= GIVE_UP;
    }

    public Failures begun(String v) {
        return new Failures(v, attemptsOf(v) + 1, "the apply was interrupted");
    }

    public Failures because(String why) {
        return new Failures(version, attempts, why);
    }

    public byte[] toBytes() {
        Map<String, Object> o = new LinkedHashMap<>();
        o.put("version", version);
        o.put("attempts", attempts);
        o.put("reason", reason);
        return (Json.write(o) + "\n").getBytes(StandardCharsets.UTF_8);
    }
}
