package io.tarnwick.update.apply;

import java.io.IOException;
import java.nio.file.DirectoryNotEmptyException;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Set;

/**
 * Brings the application folder from any state an apply can leave it in to
 * a whole release: an apply not yet committed is rolled back, a committed one
 * is finished. Every step tells from the files themselves what is left to do,
 * so a recovery that is itself interrupted is simply run again.
 */
public final class Recovery {
    private final StateFolder state;
    private final FileSteps steps;

    public Recovery(StateFolder state, FileSteps steps) {
        this.state = state;
        this.steps = steps;
    }

    /** Finishes or rolls back the journal's apply; true when the new release is now installed. */
    public boolean recover(Journal journal) throws IOException {
        if (journal.committed()) {
            finish(journal);
            return true;
        }
        rollBack(journal);
        return false;
    }

    /** Puts back every file the apply replaced or deleted, and removes what it added. */
    public void rollBack(Journal j) throws IOException {
        List<Journal.Entry> entries = new ArrayList<>(j.entries());
        java.util.Collections.reverse(entries);
        for (Journal.Entry e : entries) {
            Path target = state.target(e.path());
            Path fresh = state.newFiles().resolve(e.path());
            Path old = state.oldFiles().resolve(e.path());
            switch (e.action()) {
                case REPLACE:
                    if (exists(old)) {
                        steps.delete(target);
                        steps.move(old, target);
                    }
                    break;
                case ADD:
                    if (!exists(fresh)) {
                        steps.delete(target);
                    }
                    break;
                case DELETE:
                    if (exists(old)) {
                        steps.move(old, target);
                    }
                    break;
            }
        }
        List<String> folders = new ArrayList<>(j.folders());
        java.util.Collections.reverse(folders);
        for (String folder : folders) {
            deleteIfEmpty(state.target(folder));
        }
        syncTargets(j);
        if (j.ownsInstallMe()) {
            steps.delete(state.installMe());
        }
        cleanUp();
    }

    /** Ends a committed apply: install.me goes, then the backups, then the journal. */
    public void finish(Journal j) throws IOException {
        steps.delete(state.installMe());
        steps.syncFolder(state.appDir());
        for (Journal.Entry e : j.entries()) {
            if (e.action() == Journal.Action.DELETE) {
                for (Path p = state.target(e.path()).getParent(); !p.equals(state.appDir()); p = p.getParent()) {
                    if (!deleteIfEmpty(p)) {
                        break;
                    }
                }
            }
        }
        cleanUp();
    }

    private void cleanUp() throws IOException {
        steps.deleteTree(state.oldFiles());
        steps.deleteTree(state.newFiles());
        steps.delete(state.journal().resolveSibling("journal.json.tmp"));
        steps.delete(state.journal());
        steps.syncFolder(state.dir());
    }

    void syncTargets(Journal j) throws IOException {
        Set<Path> folders = new LinkedHashSet<>();
        for (Journal.Entry e : j.entries()) {
            folders.add(state.target(e.path()).getParent());
        }
        folders.removeIf(f -> !Files.isDirectory(f, LinkOption.NOFOLLOW_LINKS));
        steps.flushAll(folders);
    }

    private boolean deleteIfEmpty(Path dir) throws IOException {
        if (!Files.isDirectory(dir, LinkOption.NOFOLLOW_LINKS)) {
            return false;
        }
        try (var list = Files.list(dir)) {
            if (list.findAny().isPresent()) {
                return false;
            }
        }
        try {
            steps.delete(dir);
            return true;
        } catch (DirectoryNotEmptyException e) {
            return false;
        }
    }

    private static boolean exists(Path p) {
        return Files.exists(p, LinkOption.NOFOLLOW_LINKS);
    }
}
