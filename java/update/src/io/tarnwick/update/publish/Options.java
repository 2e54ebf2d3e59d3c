package io.tarnwick.update.publish;

import java.util.HashMap;
import java.util.List;
import java.util.Map;

/** {@code --name value} pairs of one subcommand, each at most once. */
final class Options {
    private final Map<String, String> values;

    private Options(Map<String, String> values) {
        this.values = values;
    }

    static Options parse(String[] args, String... known) throws UsageException {
        Map<String, String> values = new HashMap<>();
        for (int i = 0; i < args.length; i++) {
            String arg = args[i];
            String name;
            String value;
            int eq = arg.indexOf('=');
            if (arg.startsWith("--") && eq > 2) {
                name = arg.substring(2, eq);
                value = arg.substring(eq + 1);
            } else if (arg.startsWith("--") && i + 1 < args.length) {
                name = arg.substring(2);
                value = args[++i];
            } else {
                throw new UsageException("unexpected argument " + arg);
            }
            if (!List.of(known).contains(name)) {
                throw new UsageException("unknown option --" + name);
            }
            if (values.put(name, value) != null) {
                throw new UsageException("option --" + name + " given twice");
            }
        }
        return new Options(values);
    }

    String required(String name) throws UsageException {
        String v = values.get(name);
        if (v == null || v.isEmpty()) {
            throw new UsageException("option --" + name + " is required");
        }
        return v;
    }

    String optional(String name) {
        return values.get(name);
    }

    /** A misuse of the command line: exit code 2. */
    static final class UsageException extends Exception {
        private static final long serialVersionUID = 1L;

        UsageException(String message) {
            super(message);
        }
    }
}
