package io.tarnwick.update;

import java.io.IOException;
import java.io.InputStream;
import java.nio.channels.Channels;
import java.nio.channels.FileChannel;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;

/** A feed in a local or shared folder, as publish writes it. */
final class FolderFeed implements Feed {
    private final Path root;

    FolderFeed(Path root) {
        this.root = root;
    }

    @Override
    public Body open(String name, long offset) throws IOException, UpdateException {
        Path file = root.resolve(name);
        try {
            FileChannel ch = FileChannel.open(file, StandardOpenOption.READ);
            long start = offset <= ch.size() ? offset : 0;
            ch.position(start);
            InputStream in = Channels.newInputStream(ch);
            return new Body(in, start);
        } catch (NoSuchFileException e) {
            throw new UpdateException(describe(name) + " does not exist");
        }
    }

    @Override
    public String describe(String name) {
        return root.resolve(name).toString();
    }
}
