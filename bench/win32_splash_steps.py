#!/usr/bin/env python3
"""Where the Windows splash's time goes under Wine, step by step, for the
launcher and the minimal WIC program in the same run.

Each program is started through x_map_probe (window mapped, picture's pixels
on screen, both after spawn) with Wine's own trace on: +timestamp,+loaddll
+resource and +win, whose lines mark a step. Wine's timestamps are the
machine's CLOCK_MONOTONIC_RAW in milliseconds, the clock of the spawn time taken
here, so every step lies on one time line. Paired runs, A B A B, medians.

Usage: win32_splash_steps.py LAUNCHER FLOOR STANDIN_DIR X_MAP_PROBE RRGGBB RUNS
LAUNCHER and FLOOR carry the same 500 x 300 picture, whose centre is RRGGBB;
STANDIN_DIR holds jvm.dll and standin_dep.dll (scripts/bench's Windows tree:
bin/launcher.exe, bench/win32_splash_floor.exe, standin_jvm/). WINEPREFIX and
DISPLAY set. The traces slow both programs; the last row is the same pair
untraced, in the same run.
"""
import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

PICTURE = ["500", "300"]
TRACE = "+timestamp,+pid,+loaddll,+resource,+win"
STEPS = ["process start (spawn until the program's image is loaded)",
         "DLL loads (until its last import, WindowsCodecs, is loaded)",
         "until the picture's look-up (DLL start-up, C runtime; the launcher's own work and splash thread)",
         "resource look-up and decode (until the window is created)",
         "window (until it is mapped)",
         "first paint (until the picture's pixels are on screen)"]
LINE = re.compile(r"^\s*(\d+)\.(\d+):([0-9a-f]+):[0-9a-f]+:trace:(\w+):(.*)$")


def timeline(trace, exe_name, spawn):
    """The step boundaries (ms after spawn) in one run's trace, for the
    program's own process (every Wine process of the session writes there)."""
    marks = {}
    pid = None
    for raw in trace.splitlines():
        m = LINE.match(raw)
        if not m:
            continue
        at = int(m.group(1)) * 1000 + int(m.group(2)) - spawn
        channel, text = m.group(4), m.group(5)
        if pid is None:
            if channel == "loaddll" and exe_name.lower() in text.lower():
                pid = m.group(3)
                marks["exe"] = at
            continue
        if m.group(3) != pid:
            continue
        if channel == "loaddll" and "windowscodecs.dll" in text.lower():
            marks.setdefault("imports", at)
        elif channel == "resource" and "FindResourceExA" in text and "IDI_SPLASHIMAGE" in text:
            marks.setdefault("resource", at)
        elif channel == "win" and "WIN_CreateWindowEx" in text and "STATIC" in text:
            marks.setdefault("window", at)
    return marks


def run_once(probe, command, exe_name, env, traced):
    with tempfile.NamedTemporaryFile("r", suffix=".trace") as trace:
        shell = 'exec "$@" 2>"%s"' % trace.name
        run_env = dict(env, WINEDEBUG=TRACE if traced else "-all")
        spawn = time.clock_gettime(time.CLOCK_MONOTONIC_RAW) * 1000
        out = subprocess.run([probe, "60000", *PICTURE, "sh", "-c", shell, "sh", *command], capture_output=True,
                             text=True, timeout=120, env=run_env)
        mapped, shown = (float(v) for v in out.stdout.split()[:2])
        if not traced:
            return [mapped] if mapped >= 0 else None
        marks = timeline(Path(trace.name).read_text(errors="replace"), exe_name, spawn)
    if mapped < 0 or any(k not in marks for k in ("exe", "imports", "resource", "window")):
        return None
    bounds = [0, marks["exe"], marks["imports"], marks["resource"], marks["window"], mapped, shown]
    return [b - a for a, b in zip(bounds, bounds[1:])] + [shown]


def measure(launcher, floor, standin, probe, colour, runs, variants=()):
    """The table, as markdown lines."""
    picture = PICTURE[:2] + [colour]
    PICTURE[:] = picture
    standin = Path(standin)
    work = Path(tempfile.mkdtemp(prefix="win-steps-"))
    app = work / "app"
    server = app / "jre" / "bin" / "server"
    server.mkdir(parents=True)
    (app / "cfg").mkdir()
    (app / "lib").mkdir()
    shutil.copy2(launcher, app / "launcher.exe")
    shutil.copy2(standin / "jvm.dll", server / "jvm.dll")
    shutil.copy2(standin / "standin_dep.dll", app / "jre" / "bin" / "standin_dep.dll")
    (server / "standin.txt").write_text(
        "class bench/Lingering\n  static run ([Ljava/lang/String;)I returns 0 script\n    sleep 20000\n  end\n")
    (app / "cfg" / "launcher.json").write_text(json.dumps({
        "packageName": "bench", "mainClass": "bench.Lingering", "mainMethod": "run", "appNature": "bench",
        "invokeUpdater": False, "showSplash": True, "classPath": ["."], "vmOption": [], "programOption": []}))
    floor = Path(floor).resolve()
    env = dict(os.environ)
    programs = {"launcher": (["wine", str(app / "launcher.exe")], "launcher.exe", True),
                "floor": (["wine", str(floor)], floor.name, True)}
    for variant in variants:
        name, exe = variant.split("=", 1)
        # Beside the launcher, so that it finds the same configuration's stem.
        folder = work / ("variant-%d" % len(programs))
        shutil.copytree(app, folder, symlinks=True)
        shutil.copy2(exe, folder / "launcher.exe")
        programs[name] = (["wine", str(folder / "launcher.exe")], "launcher.exe", False)
    traced = {name: [] for name in programs}
    plain = {name: [] for name in programs}
    for index in range(runs + 2):
        for name, (command, exe, trace_it) in programs.items():
            for kind, results in ((True, traced), (False, plain)):
                if kind and not trace_it:
                    continue
                steps = run_once(str(probe), command, exe, env, kind)
                if steps is not None and index >= 2:
                    results[name].append(steps)
    shutil.rmtree(work)
    lines = ["| step | launcher | minimal WIC program | difference |", "|---|---|---|---|"]
    for i, step in enumerate(STEPS + ["picture on screen after spawn, traced"]):
        ours = statistics.median(r[i] for r in traced["launcher"])
        floor_ms = statistics.median(r[i] for r in traced["floor"])
        lines.append("| %s | %.1f ms | %.1f ms | %+.1f ms |" % (step, ours, floor_ms, ours - floor_ms))
    ours = statistics.median(r[0] for r in plain["launcher"])
    floor_ms = statistics.median(r[0] for r in plain["floor"])
    lines.append("| window mapped after spawn, untraced | %.1f ms | %.1f ms | %.3f× |" % (ours, floor_ms, ours / floor_ms))
    for name in programs:
        if name not in ("launcher", "floor"):
            theirs = statistics.median(r[0] for r in plain[name])
            lines.append("| %s: window mapped after spawn, untraced | %.1f ms | %.1f ms | %.3f× |" %
                         (name, theirs, floor_ms, theirs / floor_ms))
    lines.append("")
    lines.append("%d/%d traced and %d/%d untraced runs (launcher/floor), medians." %
                 (len(traced["launcher"]), len(traced["floor"]), len(plain["launcher"]), len(plain["floor"])))
    return lines


def main():
    parser = argparse.ArgumentParser()
    for name in ("launcher", "floor", "standin", "probe", "colour"):
        parser.add_argument(name)
    parser.add_argument("runs", type=int)
    parser.add_argument("--variant", action="append", default=[], metavar="NAME=EXE",
                        help="another program, measured untraced in the same rotation")
    args = parser.parse_args()
    print("\n".join(measure(args.launcher, args.floor, args.standin, args.probe, args.colour, args.runs,
                            args.variant)))


if __name__ == "__main__":
    main()
