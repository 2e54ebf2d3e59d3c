package io.tarnwick.update.apply;

import io.tarnwick.update.Envelope;
import io.tarnwick.update.FileEntry;
import io.tarnwick.update.Manifest;
import io.tarnwick.update.UpdateException;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Map;
import java.util.Optional;
import java.util.Set;

/**
 * Installs a verified release into the application folder so that, at every
 * instant, the launcher's next start finds the whole old release or the
 * whole new one:
 * <ol>
 * <li>every changed file is copied from the staging folder into .tarnwick/new
 * and checked there, over the bytes written, against the signed manifest;
 * <li>the journal is written, then install.me (so that a start after a crash
 * hands over to the updater, which recovers first);
 * <li>each old file moves to .tarnwick/old and its new one into place;
 * <li>the journal is marked committed, install.me and the backups go.
 * </ol>
 * A failure at any step rolls back; a crash is recovered at the next start.
 */
public final class Applier {
    private final StateFolder state;
    private final FileSteps steps;

    public Applier(StateFolder state, FileSteps steps) {
        this.state = state;
        this.steps = steps;
    }

    /** Applies {@code next} (signed in {@code envelope}) from the payloads in {@code staged}, named by their SHA-256. */
    public void apply(Envelope envelope, Manifest next, Optional<Manifest> installed, Path staged)
            throws IOException, UpdateException {
        PhaseTimes.end("before the apply");
        Plan plan = Plan.of(state, next, installed);
        PhaseTimes.end("plan");
        steps.deleteTree(state.newFiles());
        steps.deleteTree(state.oldFiles());
        PhaseTimes.end("clear new/ and old/");
        prepare(plan, next, envelope, staged);
        Journal journal = new Journal(next.version().toString(),
                !Files.exists(state.installMe(), LinkOption.NOFOLLOW_LINKS), plan.entries(), plan.folders(), false);
        Recovery recovery = new Recovery(state, steps);
        try {
            steps.writeAtomically(state.journal(), journal.toBytes());
            PhaseTimes.end("journal");
            if (journal.ownsInstallMe()) {
                // Only its existence counts, so it is written in place: a crash leaves no other name behind.
                steps.writeFlushed(state.installMe(),
                        "An update is being installed; the next start finishes it.\n".getBytes(StandardCharsets.UTF_8));
                steps.syncFolder(state.appDir());
            }
            PhaseTimes.end("install.me");
            move(plan);
            PhaseTimes.end("moves");
            recovery.syncTargets(journal);
            PhaseTimes.end("flush target folders");
            steps.writeAtomically(state.journal(), journal.commit().toBytes());
            PhaseTimes.end("commit");
        } catch (IOException | RuntimeException e) {
            try {
                recovery.rollBack(journal);
            } catch (IOException | RuntimeException r) {
                throw new RollbackFailedException("the update to " + next.version() + " failed (" + reason(e)
                        + ") and could not be rolled back (" + reason(r) + "): the next start tries again", r);
            }
            throw new UpdateException("the update to " + next.version() + " failed and was rolled back: " + reason(e), e);
        }
        try {
            recovery.finish(journal);
            PhaseTimes.end("finish");
        } catch (IOException | RuntimeException e) {
            throw new RollbackFailedException("the update to " + next.version() + " is installed, but finishing it failed ("
                    + reason(e) + "): the next start finishes it", e);
        }
    }

    private void prepare(Plan plan, Manifest next, Envelope envelope, Path staged) throws IOException, UpdateException {
        Map<String, FileEntry> files = next.byPath();
        Set<Path> folders = new LinkedHashSet<>();
        List<FileSteps.Copy> copies = new ArrayList<>();
        try {
            steps.createDirectories(state.newFiles());
            for (Journal.Entry e : plan.entries()) {
                if (e.action() == Journal.Action.DELETE) {
                    continue;
                }
                Path fresh = state.newFiles().resolve(e.path());
                steps.createDirectories(fresh.getParent());
                folders.add(fresh.getParent());
                if (e.path().equals(Journal.INSTALLED)) {
                    steps.writeAtomically(fresh, envelope.toBytes());
                } else {
                    FileEntry f = files.get(e.path());
                    copies.add(new FileSteps.Copy(staged.resolve(f.sha256()), fresh, f));
                }
            }
            PhaseTimes.end("create folders in new/");
            steps.copyAll(copies);
            PhaseTimes.end("copy and hash");
            List<Path> written = new ArrayList<>();
            copies.forEach(c -> written.add(c.target()));
            steps.flushAll(written);
            PhaseTimes.end("flush files");
            steps.flushAll(folders);
            PhaseTimes.end("flush folders of new/");
        } catch (IOException | UpdateException | RuntimeException e) {
            steps.deleteTree(state.newFiles());
            throw e;
        }
    }

    private void move(Plan plan) throws IOException {
        for (String folder : plan.folders()) {
            steps.createDirectory(state.target(folder));
        }
        for (Journal.Entry e : plan.entries()) {
            Path target = state.target(e.path());
            Path fresh = state.newFiles().resolve(e.path());
            Path old = state.oldFiles().resolve(e.path());
            switch (e.action()) {
                case REPLACE:
                    steps.createDirectories(old.getParent());
                    steps.move(target, old);
                    steps.move(fresh, target);
                    break;
                case ADD:
                    steps.move(fresh, target);
                    break;
                case DELETE:
                    steps.createDirectories(old.getParent());
                    steps.move(target, old);
                    break;
            }
        }
    }

    static String reason(Throwable e) {
        if (e instanceof java.nio.file.AccessDeniedException) {
            return "no permission to change " + ((java.nio.file.AccessDeniedException) e).getFile();
        }
        if (e instanceof java.nio.file.FileSystemException) {
            java.nio.file.FileSystemException f = (java.nio.file.FileSystemException) e;
            String why = f.getReason() != null ? f.getReason() : e.getClass().getSimpleName();
            return f.getFile() == null ? why : f.getFile() + ": " + why;
        }
        return e.getMessage() != null ? e.getMessage() : e.getClass().getSimpleName();
    }

    /** The apply could neither be rolled back nor finished; the journal stays for the next start. */
    public static final class RollbackFailedException extends IOException {
        private static final long serialVersionUID = 1L;

        RollbackFailedException(String message, Throwable cause) {
            super(message, cause);
        }
    }
}
