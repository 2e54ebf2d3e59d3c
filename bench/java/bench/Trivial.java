package bench;

/** The trivial application: returns at once, from the launcher or from java. */
public final class Trivial {
    private Trivial() {}

    public static int run(String[] args) {
        return 0;
    }

    public static void main(String[] args) {}
}
