package io.tarnwick.update.apply;

import io.tarnwick.update.FileEntry;
import io.tarnwick.update.Hashing;
import io.tarnwick.update.Manifest;
import io.tarnwick.update.PathRules;
import io.tarnwick.update.UpdateException;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.attribute.BasicFileAttributes;
import java.nio.file.attribute.PosixFilePermission;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Optional;
import java.util.Set;
import java.util.concurrent.ConcurrentHashMap;

/**
 * What an apply must change: the release's files that differ from those in
 * the application folder (compared by size, hash and executable bit), the
 * files of the installed release that the new one no longer has, and the
 * folders to create. A path that passes through a link, or needs a file
 * where a folder is (or the other way round), is refused.
 */
public record Plan(List<Journal.Entry> entries, List<String> folders) {
    public Plan {
        entries = List.copyOf(entries);
        folders = List.copyOf(folders);
    }

    public static Plan of(StateFolder state, Manifest next, Optional<Manifest> installed)
            throws IOException, UpdateException {
        List<Journal.Entry> entries = new ArrayList<>();
        Set<String> folders = new LinkedHashSet<>();
        Set<String> nextFolded = new HashSet<>();
        Set<String> unchanged = unchanged(state, next);
        for (FileEntry f : next.files()) {
            nextFolded.add(PathRules.fold(f.path()));
            Path target = checkedTarget(state, f.path());
            BasicFileAttributes a = attributes(target);
            if (a != null && a.isDirectory()) {
                throw new UpdateException(target + " is a folder, but the release has a file there");
            }
            if (a != null) {
                if (!unchanged.contains(f.path())) {
                    entries.add(new Journal.Entry(f.path(), Journal.Action.REPLACE));
                }
            } else {
                entries.add(new Journal.Entry(f.path(), Journal.Action.ADD));
                missingFolders(state, f.path(), folders);
            }
        }
        if (installed.isPresent()) {
            for (FileEntry old : installed.get().files()) {
                if (nextFolded.contains(PathRules.fold(old.path()))) {
                    continue;
                }
                Path target = checkedTarget(state, old.path());
                if (Files.isRegularFile(target, LinkOption.NOFOLLOW_LINKS)) {
                    entries.add(new Journal.Entry(old.path(), Journal.Action.DELETE));
                }
            }
        }
        entries.add(new Journal.Entry(Journal.INSTALLED,
                Files.exists(state.installed(), LinkOption.NOFOLLOW_LINKS) ? Journal.Action.REPLACE : Journal.Action.ADD));
        return new Plan(entries, new ArrayList<>(folders));
    }

    /** The path in the application folder, once no folder on the way is a link or a file. */
    private static Path checkedTarget(StateFolder state, String path) throws UpdateException {
        PathRules.check(path);
        Path current = state.appDir();
        String[] segments = path.split("/");
        int i = 0;
        for (; i < segments.length; i++) {
            current = current.resolve(segments[i]);
            BasicFileAttributes a = attributes(current);
            if (a == null) {
                // nothing below a missing name can be a link or a file
                break;
            }
            if (a.isSymbolicLink()) {
                throw new UpdateException("the release path " + path + " passes through the link " + current
                        + ": refused");
            }
            if (i < segments.length - 1 && !a.isDirectory()) {
                throw new UpdateException(current + " is a file, but the release needs a folder there for " + path);
            }
        }
        for (i++; i < segments.length; i++) {
            current = current.resolve(segments[i]);
        }
        return current;
    }

    /** One look at a name, not followed if a link; null when there is none (cheaper than the exception of each Files test). */
    private static BasicFileAttributes attributes(Path p) {
        try {
            return Files.readAttributes(p, BasicFileAttributes.class, LinkOption.NOFOLLOW_LINKS);
        } catch (IOException e) {
            return null;
        }
    }

    private static void missingFolders(StateFolder state, String path, Set<String> folders) {
        for (int i = path.indexOf('/'); i >= 0; i = path.indexOf('/', i + 1)) {
            String folder = path.substring(0, i);
            BasicFileAttributes a = attributes(state.target(folder));
            if (a == null || !a.isDirectory()) {
                folders.add(folder);
            }
        }
    }

    /** The release's paths whose file in the folder already has its size, mode and hash, hashed on every core. */
    private static Set<String> unchanged(StateFolder state, Manifest next) throws IOException, UpdateException {
        Set<String> same = ConcurrentHashMap.newKeySet();
        List<Parallel.Task> hashes = new ArrayList<>();
        for (FileEntry f : next.files()) {
            Path target = checkedTarget(state, f.path());
            BasicFileAttributes a = attributes(target);
            if (a == null || !a.isRegularFile() || a.size() != f.size()) {
                continue;
            }
            if (target.getFileSystem().supportedFileAttributeViews().contains("posix")
                    && Files.getPosixFilePermissions(target).contains(PosixFilePermission.OWNER_EXECUTE) != f.executable()) {
                continue;
            }
            hashes.add(() -> {
                if (f.sha256().equals(Hashing.sha256(target, f.size()))) {
                    same.add(f.path());
                }
            });
        }
        Parallel.run(Parallel.cores(), hashes);
        return same;
    }
}
