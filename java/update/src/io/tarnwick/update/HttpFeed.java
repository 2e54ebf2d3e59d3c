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
 * Redirects are followed, but never from https to http.
 */
final class HttpFeed implements Feed {
    static final Duration CONNECT = Duration.ofSeconds(20);
    static final Duration RESPONSE = Duration.ofSeconds(60);
    static final Duration STALL = Duration.ofSeconds(60);

    private static final ScheduledExecutorService WATCHDOG = Executors.newSingleThreadScheduledExecutor(r -> {
        Thread t = new Thread(r, "tarnwick-update-watchdog");
        t.setDaemon(true);
        return t;
    });

    private final URI base;
    private final HttpClient client;

    HttpFeed(URI base) {
        this.base = base;
        this.client = HttpClient.newBuilder().connectTimeout(CONNECT)
                .followRedirects(HttpClient.Redirect.NORMAL).build();
    }

    @Override
    public byte[] read(String name, int max) throws IOException, UpdateException {
        try (Body body = open(name, 0)) {
            byte[] bytes = body.in().readNBytes(max + 1);
            if (bytes.length > max) {
                throw new UpdateException(describe(name) + " is refused: it holds more than " + max + " bytes");
            }
            return bytes;
        }
    }

    @Override
    public Body open(String name, long offset) throws IOException, UpdateException {
        HttpRequest.Builder request = HttpRequest.newBuilder(base.resolve(name)).timeout(RESPONSE).GET();
        if (offset > 0) {
            request.header("Range", "bytes=" + offset + "-");
        }
        HttpResponse<InputStream> response;
        try {
            response = client.send(request.build(), HttpResponse.BodyHandlers.ofInputStream());
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            throw new IOException("interrupted while fetching " + describe(name), e);
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
