#!/usr/bin/env python3
"""Runs the benchmark suite and writes BENCHMARKS.md.

Every figure is a ratio against a reference measured in the same run, from
whole-process runs taken in pairs (A B A B ...), with medians (and p99 where
said). scripts/bench builds the trees and provides the X server; this file
only measures.
"""

import argparse
import datetime
import json
import os
import platform
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

PICTURE_COLOUR = "2e6db4"  # the centre of bench/splash.png
PICTURE_SIZE = (500, 300)
SPLASH_CLASS = "io/tarnwick/tools/SplashScreen"  # whose natives the launcher registers
TARGETS = {
    "splash": 0.3,        # splash mapped with its picture, against java -splash:
    "main": 1.02,         # time until main returns, against the floor
    "rss": 0.5,           # MiB above the floor
    "classpath": 1.05,    # 10,000-entry class path, against the floor
    "scan": 50.0,         # ms, the updater's scan of 10,000 jars
    "progress": 5.0,      # ms, p99 of a progress call until on screen
    "archive": 0.8,       # Swing start with a warm class-data archive, against java -cp
}


def median(values):
    return statistics.median(values) if values else float("nan")


def p99(values):
    ordered = sorted(values)
    return ordered[max(0, int(len(ordered) * 0.99 + 0.999999) - 1)] if ordered else float("nan")


def run_once(command, env=None, cwd=None, timeout=120):
    """Wall time (ms) from spawn to exit, peak RSS (KiB), exit code, output."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env, cwd=cwd)
    deadline = start + timeout
    while True:
        pid, status, usage = os.wait4(process.pid, os.WNOHANG)
        if pid != 0:
            break
        if time.perf_counter() > deadline:
            process.kill()
            raise RuntimeError("timed out: %s" % " ".join(map(str, command)))
        time.sleep(0.0005)
    elapsed = (time.perf_counter() - start) * 1000.0
    out = process.stdout.read().decode(errors="replace")
    err = process.stderr.read().decode(errors="replace")
    code = os.waitstatus_to_exitcode(status)
    return elapsed, usage.ru_maxrss, code, out, err


def paired(commands, runs, env=None, check=True):
    """Runs each command `runs` times, interleaved; returns per name lists of (ms, KiB)."""
    results = {name: [] for name in commands}
    for _ in range(runs):
        for name, command in commands.items():
            ms, rss, code, out, err = run_once(command, env=env)
            if check and code != 0:
                raise RuntimeError("%s failed (%d):\n%s%s" % (name, code, out, err))
            results[name].append((ms, rss))
    return results


class Layout:
    """An application folder with the launcher, bench.jar and the machine's JDK."""

    def __init__(self, build, work, jdk):
        self.build = build
        self.root = work / "app"
        self.jdk = jdk
        if self.root.exists():
            shutil.rmtree(self.root)
        (self.root / "cfg").mkdir(parents=True)
        (self.root / "lib").mkdir()
        shutil.copy2(build / "bin" / "launcher", self.root / "launcher")
        shutil.copy2(build / "bench" / "bench.jar", self.root / "lib" / "bench.jar")
        shutil.copy2(build / "java" / "tarnwick-tools.jar", self.root / "lib" / "tarnwick-tools.jar")
        (self.root / "jre").symlink_to(jdk)
        self.libjvm = self.root / "jre" / "lib" / "server" / "libjvm.so"
        self.bench_jar = (self.root / "lib" / "bench.jar").resolve()
        # The application ships the splash class, as applications do: without
        # it the launcher's look-up of the class searches the whole class path.
        self.class_path = ["./lib/bench.jar", "./lib/tarnwick-tools.jar"]
        self.joined = ":".join(str((self.root / entry).resolve()) for entry in self.class_path)

    def config(self, name, main, class_path, show_splash=False, vm_options=()):
        text = {
            "packageName": "bench", "mainClass": main, "mainMethod": "run", "appNature": "bench",
            "invokeUpdater": False, "showSplash": show_splash, "classPath": class_path,
            "vmOption": list(vm_options), "programOption": [],
        }
        path = self.root / "cfg" / (name + ".json")
        path.write_text(json.dumps(text))
        return path

    def launcher(self, config, *arguments):
        return [str(self.root / "launcher"), "--lcfgfile", str(config), *arguments]

    def floor(self, class_path, main):
        return [str(self.build / "bench" / "jni_floor"), str(self.libjvm), class_path, main.replace(".", "/")]


def bench_main(layout, runs):
    config = layout.config("trivial", "bench.Trivial", layout.class_path)
    java = str(layout.jdk / "bin" / "java")
    commands = {
        "launcher": layout.launcher(config),
        "floor": layout.floor(layout.joined, "bench.Trivial"),
        "java": [java, "-cp", layout.joined, "bench.Trivial"],
        # The floor that also finds the splash class, as the launcher must to
        # register its natives.
        "floor+splash": layout.floor(layout.joined, "bench.Trivial") + [SPLASH_CLASS],
    }
    paired(commands, 3)  # warm the page cache
    # Twice the runs: the differences sought are a millisecond or two.
    return paired(commands, 2 * runs)


def resident_by_mapping(pid):
    """Resident KiB of a running process, per mapped file ([anon] for the rest)."""
    totals, name = {}, "[anon]"
    for line in Path("/proc/%d/smaps" % pid).read_text().splitlines():
        fields = line.split()
        if fields and "-" in fields[0] and not fields[0].endswith(":"):
            name = Path(fields[5]).name if len(fields) > 5 and fields[5].startswith("/") else "[anon]"
            if "/hsperfdata_" in line:  # each JVM's own performance data file
                name = "hsperfdata"
        elif fields and fields[0] == "Rss:":
            totals[name] = totals.get(name, 0) + int(fields[1])
    return totals


def bench_resident(layout, settle_s=1.5):
    """Where the launcher's resident memory differs from the floor's: both run
    bench.Lingering and are read while it sleeps."""
    config = layout.config("linger", "bench.Lingering", layout.class_path, vm_options=["-Dbench.linger=4000"])
    commands = {"launcher": layout.launcher(config), "floor": layout.floor(layout.joined, "bench.Lingering")}
    resident = {}
    for name, command in commands.items():
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(settle_s)
            resident[name] = resident_by_mapping(process.pid)
        finally:
            process.kill()
            process.wait(timeout=30)
    names = set(resident["launcher"]) | set(resident["floor"])
    differences = [(name, resident["launcher"].get(name, 0) - resident["floor"].get(name, 0)) for name in names]
    differences.sort(key=lambda item: -abs(item[1]))
    return [item for item in differences if abs(item[1]) >= 32][:6]


def bench_class_path(layout, runs, entries=10000):
    many = layout.root / "lib" / "many"
    many.mkdir(exist_ok=True)
    names = ["j%05d.jar" % i for i in range(entries)]
    for name in names:
        (many / name).touch()
    config = layout.config("many", "bench.Trivial", layout.class_path + ["./lib/many/" + name for name in names])
    joined = ":".join([layout.joined] + [str((many / name).resolve()) for name in names])
    argfile = layout.root / "classpath.txt"
    argfile.write_text(joined)
    commands = {
        "launcher": layout.launcher(config),
        "floor": layout.floor("@" + str(argfile), "bench.Trivial"),
        "floor+splash": layout.floor("@" + str(argfile), "bench.Trivial") + [SPLASH_CLASS],
    }
    paired(commands, 2)
    return paired(commands, runs), own_reading(layout, config, runs)


def own_reading(layout, many, runs):
    """The launcher's own work on a long class path: the same launcher and
    configurations in a folder without a runtime, where it stops (exit 62)
    right after reading the configuration and resolving the class path."""
    bare = layout.root.parent / "app-without-runtime"
    if bare.exists():
        shutil.rmtree(bare)
    (bare / "cfg").mkdir(parents=True)
    (bare / "jre").mkdir()
    (bare / "lib").symlink_to(layout.root / "lib")
    shutil.copy2(layout.root / "launcher", bare / "launcher")
    trivial = layout.config("trivial", "bench.Trivial", layout.class_path)
    # The same entries without their "./": read, but passed on unresolved.
    text = json.loads(many.read_text())
    text["classPath"] = [entry[2:] for entry in text["classPath"]]
    unresolved_config = layout.root / "cfg" / "many-unresolved.json"
    unresolved_config.write_text(json.dumps(text))
    configs = (("many", many), ("unresolved", unresolved_config), ("trivial", trivial))
    for _, config in configs:
        shutil.copy2(config, bare / "cfg" / config.name)
    commands = {name: [str(bare / "launcher"), "--lcfgfile", str(bare / "cfg" / config.name)]
                for name, config in configs}
    results = paired(commands, runs, check=False)
    ms = {name: median([ms for ms, _ in results[name]]) for name in results}
    return ms["many"] - ms["trivial"], ms["unresolved"] - ms["trivial"]


def bench_splash(layout, runs, probe, timeout_ms=30000):
    config = layout.config("splash", "bench.Lingering", layout.class_path, show_splash=True)
    picture = str(Path(__file__).resolve().parent / "splash.png")
    java = str(layout.jdk / "bin" / "java")
    width, height = PICTURE_SIZE
    commands = {
        "launcher": layout.launcher(config),
        "java": [java, "-splash:" + picture, "-cp", str(layout.bench_jar), "bench.Lingering"],
        "floor": [str(layout.build / "bench" / "x_splash_floor"), picture],
    }
    results = {name: {"map": [], "pixels": []} for name in commands}
    for index in range(runs + 2):
        for name, command in commands.items():
            out = subprocess.run([str(probe), str(timeout_ms), str(width), str(height), PICTURE_COLOUR, *command],
                                 capture_output=True, text=True, timeout=timeout_ms / 1000 + 30)
            mapped, shown = (float(value) for value in out.stdout.split()[:2])
            if mapped < 0 or shown < 0:
                raise RuntimeError("%s: the splash was not seen (%s)" % (name, out.stdout + out.stderr))
            if index >= 2:  # the first two pairs warm the caches
                results[name]["map"].append(mapped)
                results[name]["pixels"].append(shown)
    return results


def bench_archive(layout, runs):
    """A Swing start through the launcher, with a warm class-data archive and
    without one, against java -cp."""
    data = layout.root.parent / "archive-data"
    if data.exists():
        shutil.rmtree(data)
    env = dict(os.environ, XDG_DATA_HOME=str(data))
    plain = layout.config("swing", "bench.SwingStart", layout.class_path)
    text = json.loads(plain.read_text())
    text["classDataArchive"] = True
    archived = layout.root / "cfg" / "swing-archive.json"
    archived.write_text(json.dumps(text))
    ms, rss, code, out, err = run_once(layout.launcher(archived, "--lverbose"), env=env)
    if code != 0 or "Class data archive: written in" not in out:
        raise RuntimeError("the archive was not written:\n%s%s" % (out, err))
    dump = float(out.split("Class data archive: written in ")[1].split()[0])
    # Timed as java's start is: ended by System.exit once the frame is gone,
    # before AWT's shutdown delay (the options are no part of the archive's key).
    exiting = {}
    for name, config in (("archive", archived), ("plain", plain)):
        timed = json.loads(config.read_text())
        timed["vmOption"] = list(timed["vmOption"]) + ["-Dbench.exit=true"]
        exiting[name] = layout.root / "cfg" / ("swing-%s-exiting.json" % name)
        exiting[name].write_text(json.dumps(timed))
    java = str(layout.jdk / "bin" / "java")
    commands = {
        "archive": layout.launcher(exiting["archive"]),
        "plain": layout.launcher(exiting["plain"]),
        "java": [java, "-cp", layout.joined, "bench.SwingStart"],
    }
    paired(commands, 1, env=env)
    return paired(commands, runs, env=env), dump, archive_check(layout, data, text, runs)


def archive_check(layout, data, archived, runs):
    """What checking the archive's checksum costs a start: the launcher with
    the warm archive against the same launcher whose archive is missing (it
    plans a recording, reading nothing), both stopped by the runtime right
    after it is loaded (a heap too small to start), so that neither maps or
    runs anything. Returns the difference in ms and the archive's size in MB."""
    stopped = dict(archived, vmOption=list(archived["vmOption"]) + ["-Xmx1k"])
    checked = layout.root / "cfg" / "swing-archive-stopped.json"
    checked.write_text(json.dumps(stopped))
    unchecked = layout.root / "cfg" / "swing-no-archive-stopped.json"
    unchecked.write_text(json.dumps(dict(stopped, packageName="bench-without-archive")))
    env = dict(os.environ, XDG_DATA_HOME=str(data))
    commands = {"checked": layout.launcher(checked), "unchecked": layout.launcher(unchecked)}
    paired(commands, 2, env=env, check=False)
    results = paired(commands, 2 * runs, env=env, check=False)
    size = (data / "bench" / "classes.jsa").stat().st_size / 1e6
    return median([ms for ms, _ in results["checked"]]) - median([ms for ms, _ in results["unchecked"]]), size


def bench_scan(build, work, entries=10000):
    lib = work / "updater-lib"
    if lib.exists():
        shutil.rmtree(lib)
    for group in range(100):
        folder = lib / ("g%02d" % group)
        folder.mkdir(parents=True)
        for i in range(entries // 100):
            (folder / ("u%03d.jar" % i)).touch()
    out = subprocess.run([str(build / "bench" / "updater_scan"), str(lib), "21"], capture_output=True,
                         text=True, check=True)
    median_ms, slowest_ms, count = out.stdout.split()
    return float(median_ms), float(slowest_ms), int(count)


def bench_progress(layout, calls):
    config = layout.config("progress", "bench.ProgressLatency", ["./lib/bench.jar", "./lib/tarnwick-tools.jar"],
                           show_splash=True, vm_options=["-Dbench.calls=%d" % calls])
    ms, rss, code, out, err = run_once(layout.launcher(config), timeout=300)
    lines = [line for line in out.splitlines() if line and line[0].isdigit()]
    if code != 0 or not lines:
        raise RuntimeError("progress latency failed (%d):\n%s%s" % (code, out, err))
    p50, p99_ms = (float(value) for value in lines[-1].split())
    return p50, p99_ms


def bench_windows(build, work, runs, probe, timeout_ms=60000):
    """The resource splash under Wine, against a minimal WIC program."""
    app = work / "win-app"
    if app.exists():
        shutil.rmtree(app)
    server = app / "jre" / "bin" / "server"
    server.mkdir(parents=True)
    (app / "cfg").mkdir()
    (app / "lib").mkdir()
    shutil.copy2(build / "bin" / "launcher.exe", app / "launcher.exe")
    shutil.copy2(build / "standin_jvm" / "jvm.dll", server / "jvm.dll")
    shutil.copy2(build / "standin_jvm" / "standin_dep.dll", app / "jre" / "bin" / "standin_dep.dll")
    (server / "standin.txt").write_text(
        "class bench/Lingering\n  static run ([Ljava/lang/String;)I returns 0 script\n    sleep 20000\n  end\n")
    (app / "cfg" / "launcher.json").write_text(json.dumps({
        "packageName": "bench", "mainClass": "bench.Lingering", "mainMethod": "run", "appNature": "bench",
        "invokeUpdater": False, "showSplash": True, "classPath": ["."], "vmOption": [], "programOption": []}))
    floor = build / "bench" / "win32_splash_floor.exe"
    width, height = PICTURE_SIZE
    commands = {"launcher": ["wine", str(app / "launcher.exe")], "floor": ["wine", str(floor)]}
    results = {name: [] for name in commands}
    retried = 0
    for index in range(runs + 2):
        for name, command in commands.items():
            # Wine now and then starts a program that never shows a window
            # (seen with the WIC program): such a start is tried again, once.
            for attempt in range(2):
                out = subprocess.run([str(probe), str(timeout_ms), str(width), str(height), PICTURE_COLOUR, *command],
                                     capture_output=True, text=True, timeout=timeout_ms / 1000 + 30)
                mapped, shown = (float(value) for value in out.stdout.split()[:2])
                if mapped >= 0:
                    break
                if attempt == 1:
                    raise RuntimeError("%s under Wine: no window (%s)" % (name, out.stdout + out.stderr))
                retried += 1
            if index >= 2:
                results[name].append(mapped)
    return results, retried


def machine():
    cpu = "unknown"
    try:
        for line in Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    java = subprocess.run(["java", "-version"], capture_output=True, text=True).stderr.splitlines()
    return {
        "cpu": cpu, "cores": os.cpu_count(), "kernel": platform.release(),
        "java": java[0] if java else "unknown", "date": datetime.date.today().isoformat(),
    }


def verdict(met):
    return "met" if met else "**not met**"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", type=Path, required=True, help="the Linux bench tree")
    parser.add_argument("--windows", type=Path, help="the Windows bench tree (measured under Wine)")
    parser.add_argument("--jdk", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    parser.add_argument("--quick", action="store_true", help="a smoke run: few repetitions")
    parser.add_argument("--only", help="comma-separated parts (main, resident, classpath, splash, archive, scan, "
                        "progress, windows): measure these alone and replace their rows in --out")
    args = parser.parse_args()
    parts = set(args.only.split(",")) if args.only else None

    def want(part):
        return parts is None or part in parts

    runs = 3 if args.quick else 30
    # Absolute: the data folder given to the launcher must be (a relative
    # XDG_DATA_HOME is ignored, as the XDG rules say).
    args.build = args.build.resolve()
    args.windows = args.windows.resolve() if args.windows else None
    work = args.build / "bench-work"
    work.mkdir(exist_ok=True)
    layout = Layout(args.build, work, args.jdk)
    probe = args.build / "bench" / "x_map_probe"
    rows = []

    if want("main"):
        main_runs = bench_main(layout, runs)
        launcher_ms = median([ms for ms, _ in main_runs["launcher"]])
        floor_ms = median([ms for ms, _ in main_runs["floor"]])
        java_ms = median([ms for ms, _ in main_runs["java"]])
        rows.append(("Time until a trivial static `run` returns", "%.1f ms" % launcher_ms,
                     "floor %.1f ms" % floor_ms, "%.3f× floor" % (launcher_ms / floor_ms),
                     "≤ %.2f×: %s" % (TARGETS["main"], verdict(launcher_ms / floor_ms <= TARGETS["main"]))))
        rows.append(("… against `java -cp`", "%.1f ms" % launcher_ms, "java %.1f ms" % java_ms,
                     "%.3f× java" % (launcher_ms / java_ms), ""))
        also_ms = median([ms for ms, _ in main_runs["floor+splash"]])
        rows.append(("… against the floor that also finds the splash class", "%.1f ms" % launcher_ms,
                     "floor + look-up %.1f ms" % also_ms, "%.3f× floor + look-up" % (launcher_ms / also_ms),
                     "the look-up alone: %+.1f ms" % (also_ms - floor_ms)))
        launcher_rss = median([rss for _, rss in main_runs["launcher"]]) / 1024.0
        floor_rss = median([rss for _, rss in main_runs["floor"]]) / 1024.0
        java_rss = median([rss for _, rss in main_runs["java"]]) / 1024.0
        rows.append(("Peak RSS of that run", "%.1f MiB" % launcher_rss, "floor %.1f MiB, java %.1f MiB" % (floor_rss, java_rss),
                     "%+.2f MiB" % (launcher_rss - floor_rss),
                     "≤ floor + %.1f MiB: %s" % (TARGETS["rss"], verdict(launcher_rss - floor_rss <= TARGETS["rss"]))))
    notes = []
    if want("resident"):
        notes.append("Resident memory, launcher minus floor, while both run `bench.Lingering` (KiB by mapping): " +
                     ", ".join("`%s` %+d" % item for item in bench_resident(layout)) + ".")

    if want("classpath"):
        cp_runs, own_ms = bench_class_path(layout, runs)
        cp_launcher = median([ms for ms, _ in cp_runs["launcher"]])
        cp_floor = median([ms for ms, _ in cp_runs["floor"]])
        cp_also = median([ms for ms, _ in cp_runs["floor+splash"]])
        rows.append(("The same run with 10,000 class path entries", "%.1f ms" % cp_launcher, "floor %.1f ms" % cp_floor,
                     "%.3f× floor" % (cp_launcher / cp_floor),
                     "≤ %.2f×: %s" % (TARGETS["classpath"], verdict(cp_launcher / cp_floor <= TARGETS["classpath"]))))
        rows.append(("… against the floor that also finds the splash class", "%.1f ms" % cp_launcher,
                     "floor + look-up %.1f ms" % cp_also, "%.3f× floor + look-up" % (cp_launcher / cp_also),
                     "the look-up alone: %+.1f ms" % (cp_also - cp_floor)))
        own_ms, reading_ms = own_ms
        rows.append(("… of which the launcher's reading and resolving of the 10,000 entries", "%+.1f ms" % own_ms,
                     "", "%.3f× floor" % ((cp_floor + own_ms) / cp_floor), "measured without a runtime"))
        rows.append(("… of which reading the configuration alone (the entries without `./`, not resolved)", "%+.1f ms" % reading_ms,
                     "", "%.3f× floor" % ((cp_floor + reading_ms) / cp_floor), "measured without a runtime"))

    if want("splash"):
        splash = bench_splash(layout, max(3, runs // 2), probe)
        for key, label in (("map", "Splash window mapped after spawn"), ("pixels", "Splash picture's pixels on screen")):
            ours = median(splash["launcher"][key])
            theirs = median(splash["java"][key])
            target = ""
            if key == "pixels":
                target = "≤ %.1f×: %s" % (TARGETS["splash"], verdict(ours / theirs <= TARGETS["splash"]))
            rows.append((label, "%.1f ms" % ours, "`java -splash:` %.1f ms" % theirs, "%.3f×" % (ours / theirs), target))
        least = median(splash["floor"]["pixels"])
        ours = median(splash["launcher"]["pixels"])
        theirs = median(splash["java"]["pixels"])
        rows.append(("… the picture's pixels, against the least X11 program", "%.1f ms" % ours,
                     "`x_splash_floor` %.1f ms" % least, "%.3f× floor" % (ours / least),
                     "that floor is %.3f× `java -splash:`" % (least / theirs)))

    if want("archive"):
        archive_runs, dump_ms, (check_ms, archive_mb) = bench_archive(layout, max(3, runs // 2))
        archived = median([ms for ms, _ in archive_runs["archive"]])
        plain = median([ms for ms, _ in archive_runs["plain"]])
        java_swing = median([ms for ms, _ in archive_runs["java"]])
        rows.append(("A Swing start, warm class-data archive", "%.1f ms" % archived, "`java -cp` %.1f ms" % java_swing,
                     "%.3f× java" % (archived / java_swing),
                     "≤ %.1f×: %s" % (TARGETS["archive"], verdict(archived / java_swing <= TARGETS["archive"]))))
        rows.append(("… the same start without the archive", "%.1f ms" % plain, "`java -cp` %.1f ms" % java_swing,
                     "%.3f× java" % (plain / java_swing), "the archive's first run: %.0f ms to write it" % dump_ms))
        rows.append(("… of which checking the archive's checksum", "%+.1f ms" % check_ms,
                     "", "%.3f× the warm start" % (archived / (archived - check_ms)),
                     "%.1f MB read; measured with a runtime that stops at once" % archive_mb))

    if want("scan"):
        scan_median, scan_slowest, scan_count = bench_scan(args.build, work)
        rows.append(("The updater's scan of a `lib` tree of %d jars" % scan_count, "%.1f ms (slowest %.1f)" %
                     (scan_median, scan_slowest), "", "",
                     "< %.0f ms: %s" % (TARGETS["scan"], verdict(scan_median < TARGETS["scan"]))))

    if want("progress"):
        p50, p99_ms = bench_progress(layout, 100 if args.quick else 1000)
        rows.append(("One `setProgressImpl` call until its pixels are on screen", "p50 %.2f ms, p99 %.2f ms" % (p50, p99_ms),
                     "", "", "p99 ≤ %.0f ms: %s" % (TARGETS["progress"], verdict(p99_ms <= TARGETS["progress"]))))

    if args.windows and want("windows"):
        wine, retried = bench_windows(args.windows, work, max(3, runs // 3), probe)
        ours = median(wine["launcher"])
        floor = median(wine["floor"])
        rows.append(("Windows under Wine: resource splash mapped after spawn", "%.1f ms" % ours,
                     "minimal WIC program %.1f ms" % floor, "%.3f×" % (ours / floor),
                     "starts tried again: %d" % retried if retried else ""))
        import win32_splash_steps
        notes += ["", "The Windows splash under Wine, step by step (`bench/win32_splash_steps.py`):", ""]
        notes += win32_splash_steps.measure(args.windows / "bin" / "launcher.exe",
                                            args.windows / "bench" / "win32_splash_floor.exe",
                                            args.windows / "standin_jvm", probe, PICTURE_COLOUR, max(3, runs // 3))

    facts = machine()
    table = ["| figure | launcher | reference | ratio | target |", "|---|---|---|---|---|"]
    table += ["| %s |" % " | ".join(row) for row in rows]
    print("\n".join(table))
    if parts is not None:
        merge_rows(args.out, rows, sorted(parts), facts, runs, args.quick)
        return 0
    write_report(args.out, facts, table, notes, runs, args.quick)


def results_table_end(lines):
    """The last line of the results table, not of the update rows' table below it."""
    start = lines.index("## Results")
    first = next(i for i in range(start, len(lines)) if lines[i].startswith("|"))
    end = first
    while end + 1 < len(lines) and lines[end + 1].startswith("|"):
        end += 1
    return end


def merge_rows(path, rows, parts, facts, runs, quick):
    """Replaces the rows measured alone in an existing report, or adds them
    after the row before them, and says below the table how they were run."""
    lines = path.read_text().split("\n")
    previous = None
    for row in rows:
        text = "| %s |" % " | ".join(row)
        at = next((i for i, line in enumerate(lines) if line.startswith("| %s |" % row[0])), None)
        if at is not None:
            lines[at] = text
        else:
            after = next((i for i, line in enumerate(lines) if previous and line.startswith("| %s |" % previous)), None)
            if after is None:
                after = results_table_end(lines)
            lines.insert(after + 1, text)
        previous = row[0]
    lines = [line for line in lines if not line.startswith("Rows of ")]
    end = results_table_end(lines)
    note = "Rows of %s measured alone on %s (`scripts/bench%s --only=%s`), %d paired runs per figure unless said." % (
        ", ".join(parts), facts["date"], " --quick" if quick else "", ",".join(parts), runs)
    lines[end + 1:end + 1] = ["", note]
    path.write_text("\n".join(lines))


def write_report(path, facts, table, notes, runs, quick):
    method = Path(__file__).resolve().parent / "METHOD.md"
    text = [
        "# Benchmarks",
        "",
        "Written by `scripts/bench`%s. Do not edit the table by hand: run it again." %
        (" (a quick smoke run: few repetitions, figures are rough)" if quick else ""),
        "",
        "## Machine",
        "",
        "- CPU: %s, %s cores" % (facts["cpu"], facts["cores"]),
        "- Kernel: Linux %s" % facts["kernel"],
        "- Java: %s" % facts["java"],
        "- Date: %s; %d paired runs per figure unless said" % (facts["date"], runs),
        "",
        "## Results",
        "",
        *table,
        "",
        *notes,
        "",
        *why_not_met(),
        method.read_text().strip() if method.exists() else "",
        "",
    ]
    path.write_text("\n".join(text))


def why_not_met():
    """The measured reasons for targets not met, kept beside the method."""
    text = Path(__file__).resolve().parent / "WHY.md"
    return [text.read_text().strip(), ""] if text.exists() else []


if __name__ == "__main__":
    sys.exit(main())
