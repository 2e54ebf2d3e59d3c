package io.tarnwick.update.publish;

import io.tarnwick.update.UpdateException;
import java.io.IOException;
import java.nio.file.FileSystemException;
import java.nio.file.NoSuchFileException;
import java.util.Arrays;

/**
 * The publisher: {@code java -jar tarnwick-update.jar keygen|publish|verify ...}.
 * Exit codes: 0 done, 1 refused or failed verification, 2 a usage error.
 */
public final class Main {
    static final String USAGE = String.join("\n",
            "usage: java -jar tarnwick-update.jar keygen --private FILE --public FILE",
            "       java -jar tarnwick-update.jar publish --key PRIVATE --app DIR --version V --out FEED [--expires DAYS] [--minimum V]",
            "       java -jar tarnwick-update.jar verify --feed URL_OR_DIR --public FILE");

    private Main() {}

    public static void main(String[] args) {
        System.exit(run(args));
    }

    /** Runs one subcommand and returns its exit code; messages go to standard error. */
    public static int run(String[] args) {
        if (args.length == 0) {
            System.err.println(USAGE);
            return 2;
        }
        String[] rest = Arrays.copyOfRange(args, 1, args.length);
        try {
            switch (args[0]) {
                case "keygen":
                    return Keygen.run(Options.parse(rest, "private", "public"));
                case "publish":
                    return Publish.run(Options.parse(rest, "key", "app", "version", "out", "expires", "minimum"));
                case "verify":
                    return Verify.run(Options.parse(rest, "feed", "public"));
                default:
                    System.err.println("unknown subcommand " + args[0] + "\n" + USAGE);
                    return 2;
            }
        } catch (Options.UsageException e) {
            System.err.println(e.getMessage() + "\n" + USAGE);
            return 2;
        } catch (UpdateException e) {
            System.err.println(e.getMessage());
            return 1;
        } catch (NoSuchFileException e) {
            System.err.println(e.getFile() + " does not exist");
            return 1;
        } catch (FileSystemException e) {
            System.err.println("cannot use " + e.getFile() + ": " + (e.getReason() != null ? e.getReason()
                    : e.getClass().getSimpleName()));
            return 1;
        } catch (IOException e) {
            System.err.println("failed: " + e);
            return 1;
        }
    }
}
