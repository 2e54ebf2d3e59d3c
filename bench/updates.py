#!/usr/bin/env python3
"""Measures the update library and writes its rows into BENCHMARKS.md.

Every figure is a ratio against a reference measured in the same run (see
bench/METHOD.md, "Updates"): nginx serves the feeds on a loopback port for
the length of the run, the releases are published with tarnwick-update.jar,
and bench.UpdateBench (bench/java/updates) drives the library in one JVM.
scripts/bench --updates runs this alone.
"""

import argparse
import json
import os
import random
import re
import shutil
import socket
import statistics
import subprocess
import sys
import time
import zipfile
from pathlib import Path

TARGETS = {
    "apply": 1.5,      # applying a ~200 MB release, against cp -a + sync
    "delta": 1.05,     # bytes downloaded when one jar of 100 changed, against that jar
    "download": 0.9,   # throughput against curl, same file, same server
    "check": 50.0,     # ms, a check that finds nothing new, JVM up
}
PACKAGE = "benchapp"
QUICK_JVM = ["-Xshare:auto"]
BEGIN, END = "<!-- updates: written by scripts/bench --updates -->", "<!-- /updates -->"


def median(values):
    return statistics.median(values)


def timed(command, env=None, timeout=600, ok=(0,)):
    start = time.perf_counter()
    done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=timeout)
    elapsed = (time.perf_counter() - start) * 1000.0
    if done.returncode not in ok:
        raise RuntimeError("%s failed (%d):\n%s%s" % (" ".join(map(str, command)), done.returncode,
                                                      done.stdout, done.stderr))
    return elapsed, done.stdout


class Nginx:
    """nginx on a free loopback port, serving one folder; always stopped."""

    def __init__(self, state, root):
        self.state = state
        state.mkdir(parents=True, exist_ok=True)
        (state / "temp").mkdir(exist_ok=True)
        for attempt in range(5):
            with socket.socket() as s:
                s.bind(("127.0.0.1", 0))
                self.port = s.getsockname()[1]
            conf = state / "nginx.conf"
            d = str(state)
            conf.write_text(
                "daemon off;\nmaster_process off;\nworker_processes 1;\n"
                "error_log %s/error.log;\npid %s/nginx.pid;\nevents { worker_connections 256; }\n"
                "http {\n  client_body_temp_path %s/temp/body;\n  proxy_temp_path %s/temp/proxy;\n"
                "  fastcgi_temp_path %s/temp/fastcgi;\n  uwsgi_temp_path %s/temp/uwsgi;\n"
                "  scgi_temp_path %s/temp/scgi;\n"
                "  log_format counted '$request_method $uri $status $body_bytes_sent';\n"
                "  access_log %s/access.log counted;\n  default_type application/octet-stream;\n"
                "  sendfile on;\n  tcp_nopush on;\n"
                "  server { listen 127.0.0.1:%d; root %s; }\n}\n" % ((d,) * 8 + (self.port, root)))
            self.process = subprocess.Popen(
                ["timeout", "--signal=TERM", "--kill-after=5", "3600", "nginx", "-p", d, "-c", str(conf),
                 "-e", d + "/error.log"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL, start_new_session=True)
            deadline = time.time() + 15
            while time.time() < deadline and self.process.poll() is None:
                try:
                    with socket.create_connection(("127.0.0.1", self.port), timeout=1):
                        return
                except OSError:
                    time.sleep(0.02)
            self.stop()
        raise RuntimeError("nginx did not come up: " + (state / "error.log").read_text(errors="replace"))

    def url(self):
        return "http://127.0.0.1:%d/" % self.port

    def body_bytes(self):
        log = self.state / "access.log"
        if not log.exists():
            return 0
        return sum(int(line.rsplit(" ", 1)[1]) for line in log.read_text().splitlines() if line.strip())

    def stop(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, 15)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, 9)
                self.process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class Bench:
    def __init__(self, build, jdk, work):
        self.build, self.jdk, self.work = build, jdk, work
        self.java = str(jdk / "bin" / "java")
        self.update_jar = build / "java" / "update" / "tarnwick-update.jar"
        self.bench_jar = build / "bench" / "update-bench.jar"
        self.keys = work / "keys"
        if not (self.keys / "private.key").exists():
            shutil.rmtree(self.keys, ignore_errors=True)
            self.keys.mkdir(parents=True)
            self.tool("keygen", "--private", self.keys / "private.key", "--public", self.keys / "public.key")
        self.public_line = (self.keys / "public.key").read_text().strip()

    def tool(self, *arguments):
        return timed([self.java, *QUICK_JVM, "-jar", str(self.update_jar), *map(str, arguments)])[1]

    def driver(self, *arguments):
        return timed([self.java, "-cp", "%s:%s" % (self.bench_jar, self.update_jar), "bench.UpdateBench",
                      *map(str, arguments)])[1]

    def release(self, name, feed_url, files):
        """An application folder: the programs, the library, cfg/ and `files` (path -> bytes or a folder)."""
        folder = self.work / name
        shutil.rmtree(folder, ignore_errors=True)
        (folder / "cfg").mkdir(parents=True)
        (folder / "lib").mkdir()
        (folder / "updater" / "lib").mkdir(parents=True)
        shutil.copy2(self.build / "bin" / "launcher", folder / "launcher")
        shutil.copy2(self.build / "bin" / "updater" / "updater", folder / "updater" / "updater")
        shutil.copy2(self.update_jar, folder / "lib" / "tarnwick-update.jar")
        shutil.copy2(self.update_jar, folder / "updater" / "lib" / "tarnwick-update.jar")
        (folder / "cfg" / "launcher.json").write_text(json.dumps({
            "packageName": PACKAGE, "mainClass": "bench.Trivial", "mainMethod": "run", "appNature": "bench",
            "invokeUpdater": True, "showSplash": False, "classPath": ["./lib/tarnwick-update.jar"],
            "vmOption": [], "programOption": []}))
        (folder / "cfg" / "update.json").write_text(json.dumps({
            "feed": feed_url, "publicKeys": [self.public_line], "packageName": PACKAGE}))
        for path, content in files.items():
            target = folder / path
            if isinstance(content, Path):
                shutil.copytree(content, target, symlinks=False)
            else:
                target.parent.mkdir(parents=True, exist_ok=True)
                target.write_bytes(content)
        return folder

    def publish(self, folder, version, feed):
        return self.tool("publish", "--key", self.keys / "private.key", "--app", folder, "--version", version,
                         "--out", feed)


def random_jar(rng, size):
    """A jar of one stored entry of incompressible bytes, about `size` long."""
    from io import BytesIO
    out = BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_STORED) as jar:
        jar.writestr("data.bin", rng.randbytes(size))
    return out.getvalue()


def runtime(bench, jdk):
    """A jlink'd runtime of the modules a desktop application takes, made once."""
    image = bench.work.parent / "update-bench-runtime"
    if not (image / "release").exists():
        shutil.rmtree(image, ignore_errors=True)
        subprocess.run([str(jdk / "bin" / "jlink"), "--add-modules",
                        "java.se,jdk.crypto.ec,jdk.unsupported,jdk.zipfs,jdk.localedata", "--output", str(image)],
                       check=True, capture_output=True, timeout=600)
    return image


def manifest_files(envelope):
    """path -> sha256 of the manifest signed in a release envelope."""
    import base64
    manifest = json.loads(base64.b64decode(json.loads(envelope.read_text())["signed"]))
    return {f["path"]: f["sha256"] for f in manifest["files"]}


def folder_bytes(folder):
    return sum(p.stat().st_size for p in folder.rglob("*") if p.is_file() and not p.is_symlink())


def reset(source, target):
    shutil.rmtree(target, ignore_errors=True)
    shutil.copytree(source, target, symlinks=True)


def bench_apply(bench, server, feed, jdk, runs):
    """Applying a ~200 MB release (runtime and jars), against cp -a + sync of the same files."""
    rng = random.Random(1)
    jars = {"lib/app%02d.jar" % i: random_jar(rng, 1 << 20) for i in range(100)}
    image = runtime(bench, jdk)
    v1 = bench.release("apply-1.0.0", server.url() + "apply/", {"lib/app.jar": random_jar(rng, 1 << 16)})
    bench.publish(v1, "1.0.0", feed / "apply")
    v2 = bench.release("apply-2.0.0", server.url() + "apply/", dict(jars, jre=image))
    bench.publish(v2, "2.0.0", feed / "apply")
    size = folder_bytes(v2)

    # 1.0.0 has no runtime of its own (2.0.0 brings it): the updater is
    # given the machine's.
    app_template = bench.work / "apply-app"
    reset(v1, app_template)
    data = bench.work / "apply-data"
    shutil.rmtree(data, ignore_errors=True)
    env = dict(os.environ, XDG_DATA_HOME=str(data), JAVA_TOOL_OPTIONS=" ".join(QUICK_JVM))
    subprocess.run([bench.java, "-cp", "%s:%s" % (bench.bench_jar, bench.update_jar), "bench.UpdateBench",
                    "stage", str(app_template)], env=env, check=True, capture_output=True, timeout=600)
    staged_template = bench.work / "apply-staged"
    reset(data / PACKAGE, staged_template)

    app = bench.work / "apply-run"
    copy_target = bench.work / "apply-copy"
    ours, theirs, floor = [], [], []
    for _ in range(runs):
        ms, _ = timed([bench.java, *QUICK_JVM, "-cp", str(bench.bench_jar), "bench.UpdateBench", "hash", str(v2)])
        floor.append(ms)
        reset(app_template, app)
        reset(staged_template, data / PACKAGE)
        subprocess.run(["sync"], check=True)
        # The updater ends with 1 once the runner has returned.
        ms, _ = timed([str(app / "updater" / "updater"), "--ujrepath", str(jdk), "--uapp", PACKAGE,
                       "--uappDir", str(app)], env=env, ok=(1,))
        ours.append(ms)
        if (data / PACKAGE / "snapshot.json").exists():
            raise RuntimeError("the apply left its snapshot: " + (app / ".tarnwick" / "update.log").read_text())
        shutil.rmtree(copy_target, ignore_errors=True)
        subprocess.run(["sync"], check=True)
        start = time.perf_counter()
        subprocess.run(["cp", "-a", str(v2), str(copy_target)], check=True)
        subprocess.run(["sync"], check=True)
        theirs.append((time.perf_counter() - start) * 1000.0)
    return median(ours), median(theirs), median(floor), size


def bench_delta(bench, server, feed):
    """Bytes downloaded for a release where one jar of 100 changed."""
    rng = random.Random(2)
    jars = {"lib/app%02d.jar" % i: random_jar(rng, 1 << 20) for i in range(100)}
    url = server.url() + "delta/"
    v1 = bench.release("delta-1.0.0", url, jars)
    bench.publish(v1, "1.0.0", feed / "delta")
    changed = dict(jars)
    changed["lib/app42.jar"] = random_jar(rng, 1 << 20)
    v2 = bench.release("delta-2.0.0", url, changed)
    bench.publish(v2, "2.0.0", feed / "delta")
    app = bench.work / "delta-app"
    reset(v1, app)
    data = bench.work / "delta-data"
    shutil.rmtree(data, ignore_errors=True)
    env = dict(os.environ, XDG_DATA_HOME=str(data))
    before = server.body_bytes()
    subprocess.run([bench.java, "-cp", "%s:%s" % (bench.bench_jar, bench.update_jar), "bench.UpdateBench",
                    "stage", str(app)], env=env, check=True, capture_output=True, timeout=600)
    return server.body_bytes() - before, len(changed["lib/app42.jar"])


def bench_download(bench, server, feed, runs):
    """One large file: the library's download (in a JVM that is up) against curl's."""
    rng = random.Random(3)
    url = server.url() + "download/"
    v1 = bench.release("download-1.0.0", url, {})
    bench.publish(v1, "1.0.0", feed / "download")
    big = b"".join(rng.randbytes(1 << 20) for _ in range(256))
    v2 = bench.release("download-2.0.0", url, {"lib/big.bin": big})
    bench.publish(v2, "2.0.0", feed / "download")
    del big
    sha = manifest_files(feed / "download" / "release.json")["lib/big.bin"]
    app = bench.work / "download-app"
    reset(v1, app)
    data = bench.work / "download-data"
    env = dict(os.environ, XDG_DATA_HOME=str(data))
    shutil.rmtree(data, ignore_errors=True)
    out = subprocess.run([bench.java, "-cp", "%s:%s" % (bench.bench_jar, bench.update_jar), "bench.UpdateBench",
                          "download", str(app), str(runs)], env=env, check=True, capture_output=True, text=True,
                         timeout=1800).stdout
    ours = [float(x) for x in re.findall(r"download ms ([0-9.]+)", out)]
    target = bench.work / "curl.bin"
    jdk_only = [float(x) for x in re.findall(r"fetch ms ([0-9.]+)", bench.driver(
        "fetch", url + "files/" + sha, target, runs))]
    theirs = []
    for _ in range(runs):
        target.unlink(missing_ok=True)
        ms, _ = timed(["curl", "-sS", "-o", str(target), url + "files/" + sha])
        theirs.append(ms)
    target.unlink(missing_ok=True)
    return median(ours), median(theirs), median(jdk_only), 256 << 20


def bench_check(bench, server, feed):
    url = server.url() + "check/"
    v1 = bench.release("check-1.0.0", url, {"lib/a.bin": b"a" * 1000})
    bench.publish(v1, "1.0.0", feed / "check")
    out = bench.driver("check", v1, 50)
    times = [float(x) for x in re.findall(r"check ms ([0-9.]+)", out)]
    return median(times), max(times)


def verdict(met):
    return "met" if met else "**not met**"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", type=Path, required=True, help="the Linux bench tree")
    parser.add_argument("--jdk", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    parser.add_argument("--quick", action="store_true", help="a smoke run: few repetitions")
    args = parser.parse_args()
    build = args.build.resolve()
    work = build / "bench-work" / "updates"
    work.mkdir(parents=True, exist_ok=True)
    feed = work / "feed"
    shutil.rmtree(feed, ignore_errors=True)
    feed.mkdir()
    bench = Bench(build, args.jdk, work)
    runs = 2 if args.quick else 5
    rows = []
    with Nginx(work / "nginx", feed) as server:
        check_ms, check_slowest = bench_check(bench, server, feed)
        delta_bytes, jar_bytes = bench_delta(bench, server, feed)
        lib_ms, curl_ms, fetch_ms, big = bench_download(bench, server, feed, runs)
        apply_ms, copy_ms, hash_ms, size = bench_apply(bench, server, feed, args.jdk, runs)
    rows.append(("Applying a release of %.0f MB (a jlink'd runtime and 100 jars)" % (size / 1e6),
                 "%.0f ms" % apply_ms, "`cp -a` + `sync` %.0f ms" % copy_ms, "%.2f×" % (apply_ms / copy_ms),
                 "≤ %.1f×: %s" % (TARGETS["apply"], verdict(apply_ms / copy_ms <= TARGETS["apply"]))))
    rows.append(("… a fresh JVM that only hashes the same files (the floor of an apply that verifies them)",
                 "%.0f ms" % hash_ms, "`cp -a` + `sync` %.0f ms" % copy_ms, "%.2f×" % (hash_ms / copy_ms), ""))
    rows.append(("Downloaded for a release where one jar of 100 changed", "%d bytes" % delta_bytes,
                 "the jar: %d bytes" % jar_bytes, "%.3f×" % (delta_bytes / jar_bytes),
                 "≤ %.2f×: %s" % (TARGETS["delta"], verdict(delta_bytes / jar_bytes <= TARGETS["delta"]))))
    ours_rate, curl_rate = big / lib_ms / 1000.0, big / curl_ms / 1000.0
    rows.append(("Download of a %d MiB file from the local nginx" % (big >> 20), "%.0f MB/s" % ours_rate,
                 "curl %.0f MB/s" % curl_rate, "%.2f× curl" % (ours_rate / curl_rate),
                 "≥ %.1f×: %s" % (TARGETS["download"], verdict(ours_rate / curl_rate >= TARGETS["download"]))))
    fetch_rate = big / fetch_ms / 1000.0
    rows.append(("… the JDK's `HttpClient` alone, into a file (no hash, no checks)", "%.0f MB/s" % fetch_rate,
                 "curl %.0f MB/s" % curl_rate, "%.2f× curl" % (fetch_rate / curl_rate), ""))
    rows.append(("A check that finds nothing new, JVM up", "%.1f ms (slowest %.1f)" % (check_ms, check_slowest),
                 "", "", "≤ %.0f ms: %s" % (TARGETS["check"], verdict(check_ms <= TARGETS["check"]))))
    table = ["| figure | library | reference | ratio | target |", "|---|---|---|---|---|"]
    table += ["| %s |" % " | ".join(row) for row in rows]
    print("\n".join(table))
    write_section(args.out, table, runs, args.quick)


def write_section(path, table, runs, quick):
    section = [BEGIN, "## Updates", "",
               "The update library (`tarnwick-update.jar`), nginx on a loopback port; %d runs per timed figure%s." %
               (runs, " (a quick smoke run)" if quick else ""), "", *table, END]
    text = path.read_text() if path.exists() else "# Benchmarks\n"
    if BEGIN in text and END in text:
        text = text[:text.index(BEGIN)] + "\n".join(section) + text[text.index(END) + len(END):]
    else:
        marker = "\n## What stands in the way"
        at = text.find(marker)
        block = "\n".join(section) + "\n"
        text = text + "\n" + block if at < 0 else text[:at + 1] + block + text[at:]
    path.write_text(text)


if __name__ == "__main__":
    sys.exit(main())
