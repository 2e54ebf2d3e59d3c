package bench;

/** Stays long enough for the splash to be measured, then returns. */
public final class Lingering {
    private Lingering() {}

    public static int run(String[] args) throws InterruptedException {
        Thread.sleep(Long.getLong("bench.linger", 3000));
        return 0;
    }

    public static void main(String[] args) throws InterruptedException {
        run(args);
    }
}
