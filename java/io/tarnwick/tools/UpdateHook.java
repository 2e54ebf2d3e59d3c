package io.tarnwick.tools;

import java.lang.reflect.Method;

/**
 * The runner's link to the update library, when tarnwick-update.jar is on
 * the class path (it needs Java 17; on an older runtime, or without the jar,
 * every call here does nothing). The library itself does nothing without
 * cfg/update.json.
 */
final class UpdateHook {
    private static final Class<?> AUTO_UPDATE = find();

    private UpdateHook() {}

    /** True when a staged release waits at the start: the runner then asks for the update at once. */
    static boolean handOverAtStart() {
        return Boolean.TRUE.equals(call("handOverAtStart"));
    }

    /** Begins the background check and stage. */
    static void start() {
        call("start");
    }

    /** True when a release has been staged: the runner returns 100 when the application ends. */
    static boolean updateStaged() {
        return Boolean.TRUE.equals(call("updateStaged"));
    }

    private static Object call(String name) {
        if (AUTO_UPDATE == null) {
            return null;
        }
        try {
            Method m = AUTO_UPDATE.getMethod(name);
            return m.invoke(null);
        } catch (ReflectiveOperationException | RuntimeException | LinkageError e) {
            return null;
        }
    }

    private static Class<?> find() {
        try {
            return Class.forName("io.tarnwick.update.AutoUpdate", true, UpdateHook.class.getClassLoader());
        } catch (ClassNotFoundException | LinkageError e) {
            return null;
        }
    }
}
