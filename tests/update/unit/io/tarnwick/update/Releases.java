package io.tarnwick.update;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.security.KeyPair;
import java.util.Map;
import java.util.TreeMap;
import java.util.stream.Stream;

/** A publisher's side for the tests: a key pair, an application folder and a feed folder, all below one root. */
final class Releases {
    final Path root;
    final Path app;
    final Path feed;
    final Path privateKey;
    final Path publicKey;
    String lastErr = "";
    String lastOut = "";

    Releases(Path root) throws Exception {
        this.root = root;
        this.app = root.resolve("app");
        this.feed = root.resolve("feed");
        this.privateKey = root.resolve("key.private");
        this.publicKey = root.resolve("key.public");
        KeyPair pair = Keys.generate();
        Files.writeString(privateKey, Keys.privateLine(pair.getPrivate()));
        Files.writeString(publicKey, Keys.publicLine(pair.getPublic()));
        write("cfg/update.json", "{\"feed\": \"" + feed.toUri() + "\", \"publicKeys\": [\""
                + Keys.publicLine(pair.getPublic()) + "\"], \"packageName\": \"demo\"}");
        write("lib/app.jar", "app 1");
        write("lib/same.jar", "unchanged");
        write("launcher", "#!/bin/sh\n");
    }

    void write(String path, String text) throws IOException {
        Path file = app.resolve(path);
        Files.createDirectories(file.getParent());
        Files.writeString(file, text);
    }

    /** Runs the publisher CLI; its output lands in lastOut and lastErr. */
    int cli(String... args) {
        PrintStream out = System.out;
        PrintStream err = System.err;
        ByteArrayOutputStream o = new ByteArrayOutputStream();
        ByteArrayOutputStream e = new ByteArrayOutputStream();
        System.setOut(new PrintStream(o, true, StandardCharsets.UTF_8));
        System.setErr(new PrintStream(e, true, StandardCharsets.UTF_8));
        try {
            return io.tarnwick.update.publish.Main.run(args);
        } finally {
            System.setOut(out);
            System.setErr(err);
            lastOut = o.toString(StandardCharsets.UTF_8);
            lastErr = e.toString(StandardCharsets.UTF_8);
        }
    }

    int publish(String version, String... more) {
        String[] base = {"publish", "--key", privateKey.toString(), "--app", app.toString(), "--version", version,
            "--out", feed.toString()};
        String[] all = new String[base.length + more.length];
        System.arraycopy(base, 0, all, 0, base.length);
        System.arraycopy(more, 0, all, base.length, more.length);
        return cli(all);
    }

    /** Every file below {@code folder} (but .tarnwick) with its SHA-256: a folder's state, to compare before and after. */
    static Map<String, String> hashes(Path folder) throws IOException {
        Map<String, String> map = new TreeMap<>();
        try (Stream<Path> files = Files.walk(folder)) {
            for (Path f : (Iterable<Path>) files::iterator) {
                String rel = folder.relativize(f).toString();
                if (rel.startsWith(PathRules.STATE_FOLDER) || f.equals(folder)) {
                    continue;
                }
                map.put(rel, Files.isDirectory(f) ? "folder" : Hashing.sha256(f, Long.MAX_VALUE));
            }
        }
        return map;
    }
}
