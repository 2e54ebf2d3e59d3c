package io.tarnwick.update;

import java.io.FilterInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.net.URI;
import java.net.http.HttpClient;
import java.net.http.HttpRequest;
import java.net.http.HttpResponse;
import java.time.Duration;
import java.util.Optional;
import java.util.concurrent.Executors;
import java.util.concurrent.ScheduledExecutorService;
import java.util.concurrent.TimeUnit;

/**
 * A feed on a web server. Timeouts on the connection and on the response's
 * headers; a body that makes no progress for {@link #STALL} is closed.
 * Redirects are followed a few times, each target held to the feed's own
 * rules: never from https to http, and plain http only where the feed's
 * address may use it.
 */
final class HttpFeed implements Feed {
    static final Duration CONNECT = Duration.ofSeconds(20);
    static final Duration RESPONSE = Duration.ofSeconds(60);
    static final Duration STALL = Duration.ofSeconds(60);
    static final int MAX_REDIRECTS = 5;

    private static final ScheduledExecutorService WATCHDOG = Executors.newSingleThreadScheduledExecutor(r -> {
        Thread t = new Thread(r, "tarnwick-update-watchdog");
        t.setDaemon(true);
        return t;
    });

    private final URI base;
    private final boolean allowInsecureHttp;
    private final HttpClient client;

    HttpFeed(URI base, boolean allowInsecureHttp) {
        this.base = base;
        this.allowInsecureHttp = allowInsecureHttp;
        this.client = HttpClient.newBuilder().connectTimeout(CONNECT)
                .followRedirects(HttpClient.Redirect.NEVER).build();
    }

    @Override
    public Body open(String name, long offset) throws IOException, UpdateException {
        URI target = base.resolve(name);
        HttpResponse<InputStream> response = send(target, offset);
        for (int hops = 0; isRedirect(response.statusCode()); hops++) {
            response.body().close();
            if (hops == MAX_REDIRECTS) {
                throw new UpdateException(describe(name) + " cannot be fetched: more than " + MAX_REDIRECTS
                        + " redirects");
            }
            target = redirectTarget(target, response, name);
            response = send(target, offset);
        }
        int status = response.statusCode();
        long start = 0;
        if (status == 206 && offset > 0) {
            Optional<String> range = response.headers().firstValue("Content-Range");
            if (range.isEmpty() || !range.get().startsWith("bytes " + offset + "-")) {
                response.body().close();
                throw new UpdateException(describe(name) + " answered a resumed download with the wrong range");
            }
            start = offset;
        } else if (status != 200) {
            response.body().close();
            throw new UpdateException(describe(name) + " cannot be fetched: the server answered " + status);
        }
        return new Body(new Watched(response.body()), start);
    }

    private HttpResponse<InputStream> send(URI target, long offset) throws IOException {
        HttpRequest.Builder request = HttpRequest.newBuilder(target).timeout(RESPONSE).GET();
        if (offset > 0) {
            request.header("Range", "bytes=" + offset + "-");
        }
        try {
            return client.send(request.build(), HttpResponse.BodyHandlers.ofInputStream());
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            throw new IOException("interrupted while fetching " + target, e);
        }
    }

    private static boolean isRedirect(int status) {
        return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
    }

    private URI redirectTarget(URI from, HttpResponse<?> response, String name) throws UpdateException {
        String location = response.headers().firstValue("Location").orElse("");
        URI to;
        try {
            to = from.resolve(location);
        } catch (IllegalArgumentException e) {
            throw new UpdateException(describe(name) + " redirects to an address that is no URL: " + location);
        }
        String scheme = to.getScheme() == null ? "" : to.getScheme().toLowerCase();
        if (location.isEmpty() || !(scheme.equals("http") || scheme.equals("https"))) {
            throw new UpdateException(describe(name) + " redirects to " + (location.isEmpty() ? "nowhere" : to)
                    + ", which is neither https nor http");
        }
        if (from.getScheme().equalsIgnoreCase("https") && scheme.equals("http")) {
            throw new UpdateException(describe(name) + " is refused: it redirects from https to plain http (" + to + ")");
        }
        Settings.checkFeed(to, allowInsecureHttp, describe(name) + " redirects to " + to);
        return to;
    }

    @Override
    public String describe(String name) {
        return base.resolve(name).toString();
    }

    /** Closes the body when it makes no progress for too long, so that a read cannot hang for ever. */
    private static final class Watched extends FilterInputStream {
        private volatile long lastProgress = System.nanoTime();
        private final java.util.concurrent.ScheduledFuture<?> check;

        Watched(InputStream in) {
            super(in);
            check = WATCHDOG.scheduleWithFixedDelay(this::closeIfStalled, 5, 5, TimeUnit.SECONDS);
        }

        private void closeIfStalled() {
            if (System.nanoTime() - lastProgress > STALL.toNanos()) {
                try {
                    close();
                } catch (IOException e) {
                    // closing is all that is left to try
                }
            }
        }

        @Override
        public int read() throws IOException {
            int b = super.read();
            lastProgress = System.nanoTime();
            return b;
        }

        @Override
        public int read(byte[] b, int off, int len) throws IOException {
            int n = super.read(b, off, len);
            lastProgress = System.nanoTime();
            return n;
        }

        @Override
        public void close() throws IOException {
            check.cancel(false);
            super.close();
        }
    }
}
