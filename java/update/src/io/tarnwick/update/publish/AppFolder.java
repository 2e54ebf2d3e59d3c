package io.tarnwick.update.publish;

import io.tarnwick.update.PathRules;
import io.tarnwick.update.UpdateException;
import java.io.IOException;
import java.nio.file.FileVisitResult;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.SimpleFileVisitor;
import java.nio.file.attribute.BasicFileAttributes;
import java.nio.file.attribute.PosixFilePermission;
import java.util.ArrayList;
import java.util.List;

/**
 * The files of an application folder as they make up a release: everything
 * but .tarnwick/ and install.me (the folder may be the one a web install
 * ships); links are refused.
 */
final class AppFolder {
    private AppFolder() {}

    static List<Path> files(Path app) throws IOException, UpdateException {
        List<Path> files = new ArrayList<>();
        List<String> refused = new ArrayList<>();
        Files.walkFileTree(app, new SimpleFileVisitor<>() {
            @Override
            public FileVisitResult preVisitDirectory(Path dir, BasicFileAttributes attrs) {
                return dir.equals(app.resolve(PathRules.STATE_FOLDER)) ? FileVisitResult.SKIP_SUBTREE
                        : FileVisitResult.CONTINUE;
            }

            @Override
            public FileVisitResult visitFile(Path file, BasicFileAttributes attrs) {
                if (file.equals(app.resolve(PathRules.INSTALL_ME))) {
                    return FileVisitResult.CONTINUE;
                }
                if (attrs.isRegularFile()) {
                    files.add(file);
                } else {
                    refused.add(file.toString());
                }
                return FileVisitResult.CONTINUE;
            }
        });
        if (!refused.isEmpty()) {
            throw new UpdateException(refused.get(0) + " is a link or not a plain file: publish takes plain files only"
                    + " (copy what a link points to into the folder)");
        }
        files.sort((a, b) -> relative(app, a).compareTo(relative(app, b)));
        return files;
    }

    static String relative(Path app, Path file) {
        return app.relativize(file).toString().replace(file.getFileSystem().getSeparator(), "/");
    }

    static boolean executable(Path file) throws IOException {
        if (!file.getFileSystem().supportedFileAttributeViews().contains("posix")) {
            return false;
        }
        return Files.getPosixFilePermissions(file).contains(PosixFilePermission.OWNER_EXECUTE);
    }
}
