#!/usr/bin/env python3
"""Runs the benchmarks and prints a Markdown table of medians and ratios.

Called by scripts/bench, which builds the programs and the data and passes
their paths. Every command is timed by hyperfine (warm cache, medians of at
least five runs); peak resident size is measured with GNU time. The cold-cache
tables drop the page cache before every run, which needs root."""
import argparse
import json
import os
import platform
import shlex
import subprocess
import sys
import tempfile
import time

ABSENT = "qzxjvkwpq"
ABSENT_ACCENTED = "qzxjvkw\u00e9q"  # has a legacy form, so two 8-bit forms are looked for
FREQUENT = "define"


def run(cmd, env=None):
    return subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)


def median_seconds(cmd, runs, warmup, env=None):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run(["hyperfine", "-N", "--style", "none", "-i", "--warmup", str(warmup), "--runs", str(runs),
                        "--export-json", out.name, "--", shlex.join(cmd)],
                       env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return json.load(open(out.name))["results"][0]["median"]


def drop_caches():
    """Empties the page cache so that the next command reads from the disk; False when this cannot be done."""
    try:
        subprocess.run(["sync"], check=True)
        with open("/proc/sys/vm/drop_caches", "w") as f:
            f.write("3\n")
        return True
    except OSError:
        return False


def cold_median_seconds(cmd, runs):
    times = []
    for _ in range(runs):
        drop_caches()
        start = time.perf_counter()
        subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    times.sort()
    return times[len(times) // 2]


def peak_kib(cmd, env=None):
    r = subprocess.run(["/usr/bin/time", "-f", "%M", *cmd], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, text=True)
    return int(r.stderr.strip().splitlines()[-1])


def hits(cmd, env=None):
    return len([l for l in run(cmd, env).stdout.splitlines() if l.strip()])


class Report:
    def __init__(self):
        self.lines = []
        self.targets = []

    def out(self, text=""):
        print(text, flush=True)
        self.lines.append(text)

    def table(self, title, rows, reference_name, unit="ms"):
        """rows: (name, seconds, hits or None, peak KiB or None)"""
        reference = dict((r[0], r[1]) for r in rows)[reference_name]
        self.out(f"### {title}")
        self.out()
        self.out(f"| command | median ({unit}) | ÷ vudo-find | hits | peak RSS (MiB) |")
        self.out("|---|---:|---:|---:|---:|")
        for name, seconds, count, peak in rows:
            value = f"{seconds * 1000:.1f}" if unit == "ms" else unit_value(seconds, unit)
            self.out(f"| `{name}` | {value} | {seconds / reference:.2f} | {'' if count is None else count} | "
                     f"{'' if peak is None else f'{peak / 1024:.1f}'} |")
        self.out()

    def target(self, what, value, limit, better="lower", fmt="{:.2f}"):
        ok = value <= limit if better == "lower" else value >= limit
        self.targets.append((what, fmt.format(value), ("≤ " if better == "lower" else "≥ ") + fmt.format(limit),
                             "met" if ok else "MISSED"))

    def finish(self, path):
        """Ends with the table of targets, then writes every line to `path`."""
        self.out("### Targets")
        self.out()
        self.out("| target | measured | aim | |")
        self.out("|---|---:|---:|---|")
        for what, value, aim, verdict in self.targets:
            self.out(f"| {what} | {value} | {aim} | {verdict} |")
        with open(path, "w") as f:
            f.write("\n".join(self.lines) + "\n")


def unit_value(seconds, unit):
    return f"{seconds * 1000:.1f}"


def machine_description():
    model = ""
    try:
        for line in open("/proc/cpuinfo"):
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    mem = ""
    try:
        for line in open("/proc/meminfo"):
            if line.startswith("MemTotal"):
                mem = f"{int(line.split()[1]) / 1024 / 1024:.0f} GiB"
    except OSError:
        pass
    tools = []
    for cmd in (["fdfind", "--version"], ["rg", "--version"], ["grep", "--version"], ["find", "--version"],
                ["hyperfine", "--version"], ["wine", "--version"]):
        try:
            tools.append(run(cmd).stdout.splitlines()[0])
        except (OSError, IndexError):
            pass
    return (f"{model}, {os.cpu_count()} cores, {mem} memory, Linux {platform.release()}; "
            + "; ".join(tools))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--vudo", required=True)
    p.add_argument("--vudo-exe")
    p.add_argument("--limits", required=True)
    p.add_argument("--tree", action="append", required=True, help="NAME=PATH")
    p.add_argument("--bigfile", required=True)
    p.add_argument("--wineprefix")
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--output", required=True)
    p.add_argument("--cold-tree", action="append", default=[], help="NAME=PATH, also measured on a cold cache")
    p.add_argument("--encodings", help="a folder with utf8.txt and utf16.txt, the same text in each")
    p.add_argument("--baseline", help="an earlier vudo-find, measured beside this one on the content searches")
    a = p.parse_args()
    trees = [t.split("=", 1) for t in a.tree]
    runs, warm = max(a.runs, 5), 2
    rep = Report()
    rep.out("## Benchmarks")
    rep.out()
    rep.out(f"Machine: {machine_description()}")
    rep.out()
    rep.out(f"Warm cache; medians of {runs} runs after {warm} warm-up runs (hyperfine); "
            "ratios are each command's median divided by vudo-find's.")
    rep.out()

    vf = a.vudo
    for tree_name, tree in trees:
        for pattern in ("*.h", "*s?d*.h"):
            rows = []
            for name, cmd in (("vudo-find DIR '%s'" % pattern, [vf, tree, pattern]),
                              ("find DIR -iname '%s'" % pattern, ["find", tree, "-iname", pattern]),
                              ("vudo-find -j1 DIR '%s'" % pattern, [vf, "-j1", tree, pattern]),
                              ("fd -u -j1 -g '%s'" % pattern, ["fdfind", "-u", "-j1", "-g", pattern, tree]),
                              ("fd -u -g '%s'" % pattern, ["fdfind", "-u", "-g", pattern, tree]),
                              ("limit: bare walk", [a.limits, "walk", tree])):
                is_vudo = name.startswith("vudo")
                rows.append((name, median_seconds(cmd, runs, warm),
                             None if name.startswith("limit") else hits(cmd), peak_kib(cmd) if is_vudo else None))
            rep.table(f"Names, {tree_name}, '{pattern}'", rows, rows[0][0])
            rep.target(f"names {tree_name} '{pattern}': vudo-find ÷ find", rows[0][1] / rows[1][1], 1.0)
            rep.target(f"names {tree_name} '{pattern}': vudo-find ÷ bare walk", rows[0][1] / rows[5][1], 1.5)
            rep.target(f"names {tree_name} '{pattern}': peak RSS (MiB)", rows[0][3] / 1024, 16.0, fmt="{:.1f}")
        # Two patterns in one against the first alone: the second costs one
        # more match per name that the first rejects, nothing per directory.
        rows = []
        for name, cmd in (("vudo-find DIR '*.h;*.c'", [vf, tree, "*.h;*.c"]),
                          ("vudo-find DIR '*.h'", [vf, tree, "*.h"]),
                          ("vudo-find -j1 DIR '*.h;*.c'", [vf, "-j1", tree, "*.h;*.c"]),
                          ("vudo-find -j1 DIR '*.h'", [vf, "-j1", tree, "*.h"])):
            rows.append((name, median_seconds(cmd, runs, warm), hits(cmd), peak_kib(cmd)))
        rep.table(f"Names, {tree_name}, two patterns in one", rows, rows[0][0])
        rep.target(f"names {tree_name}: two patterns ÷ one", rows[0][1] / rows[1][1], 1.1)
        rep.target(f"names {tree_name}: two patterns ÷ one, -j1", rows[2][1] / rows[3][1], 1.1)

    for tree_name, tree in trees:
        for label, text in (("absent", ABSENT), ("frequent", FREQUENT)):
            rows = []
            for name, cmd in (("vudo-find --contains TEXT DIR '*'", [vf, "--contains", text, tree, "*"]),
                              ("grep -rilF", ["grep", "-rilF", text, tree]),
                              ("vudo-find -j1 --contains TEXT DIR '*'", [vf, "-j1", "--contains", text, tree, "*"]),
                              ("rg -l -i -F -uu -a -j1", ["rg", "-l", "-i", "-F", "-uu", "-a", "-j1", text, tree]),
                              ("rg -l -i -F -uu -a", ["rg", "-l", "-i", "-F", "-uu", "-a", text, tree]),
                              ("limit: open, read 32000-byte blocks, close", [a.limits, "read", tree])):
                is_vudo = name.startswith("vudo")
                rows.append((name, median_seconds(cmd, runs, warm),
                             None if name.startswith("limit") else hits(cmd), peak_kib(cmd) if is_vudo else None))
            rep.table(f"Content, {tree_name}, {label} text '{text}'", rows, rows[0][0])
            rep.target(f"content {tree_name} {label}: peak RSS (MiB)", rows[0][3] / 1024, 16.0, fmt="{:.1f}")
            if label == "absent":
                rep.target(f"content {tree_name} absent: vudo-find ÷ grep -rilF", rows[0][1] / rows[1][1], 1.0)
                rep.target(f"content {tree_name} absent: vudo-find ÷ read limit", rows[0][1] / rows[5][1], 1.5)
                rep.target(f"content {tree_name} absent: vudo-find ÷ rg (its default)", rows[0][1] / rows[4][1], 1.0)

    if a.baseline:
        rep.out("### Content before and after: this vudo-find beside an earlier one")
        rep.out()
        rep.out(f"Earlier build: `{a.baseline}`; medians of {runs} runs each, measured in turn.")
        rep.out()
        rep.out("| search | this (ms) | earlier (ms) | this ÷ earlier |")
        rep.out("|---|---:|---:|---:|")
        for tree_name, tree in trees:
            for label, text in (("absent", ABSENT), ("frequent", FREQUENT)):
                now = median_seconds([vf, "--contains", text, tree, "*"], runs, warm)
                before = median_seconds([a.baseline, "--contains", text, tree, "*"], runs, warm)
                rep.out(f"| {tree_name}, {label} text | {now * 1000:.1f} | {before * 1000:.1f} | {now / before:.3f} |")
                if label == "absent":
                    rep.target(f"content {tree_name} absent: this ÷ earlier build", now / before, 1.03)
        rep.out()

    if a.encodings:
        utf8, utf16 = os.path.join(a.encodings, "utf8.txt"), os.path.join(a.encodings, "utf16.txt")
        rows = []
        for label, path, text in (("UTF-8, absent ASCII text", utf8, ABSENT),
                                  ("UTF-8, absent accented text", utf8, ABSENT_ACCENTED),
                                  ("UTF-16 with a mark, absent ASCII text", utf16, ABSENT),
                                  ("UTF-16 with a mark, absent accented text", utf16, ABSENT_ACCENTED)):
            folder, name = os.path.split(path)
            seconds = median_seconds([vf, "--contains", text, folder, name], runs, warm)
            before = (median_seconds([a.baseline, "--contains", text, folder, name], runs, warm)
                      if a.baseline else None)
            rows.append((label, os.path.getsize(path), seconds, before))
        rep.out("### Contains in each encoding (the same 256 MiB of text)")
        rep.out()
        rep.out("| file and text | size (MiB) | median (ms) | GB/s | earlier build (ms) |")
        rep.out("|---|---:|---:|---:|---:|")
        for label, size, seconds, before in rows:
            rep.out(f"| {label} | {size / 2**20:.0f} | {seconds * 1000:.1f} | {size / seconds / 1e9:.2f} | "
                    f"{'' if before is None else f'{before * 1000:.1f}'} |")
        rep.out()
        speed = [size / seconds for _, size, seconds, _ in rows]
        rep.target("UTF-16 GB/s ÷ UTF-8 GB/s (ASCII text)", speed[2] / speed[0], 0.5, better="higher")
        rep.target("UTF-16 GB/s ÷ UTF-8 GB/s (accented text)", speed[3] / speed[1], 0.5, better="higher")

    cold_trees = [t.split("=", 1) for t in a.cold_tree]
    if cold_trees and not drop_caches():
        rep.out("### Cold cache")
        rep.out()
        rep.out("Not measured: dropping the page cache needs root (run scripts/bench as root).")
        rep.out()
        cold_trees = []
    cold_runs = 3
    for tree_name, tree in cold_trees:
        rows = []
        for name, cmd in (("vudo-find DIR '*.png'", [vf, tree, "*.png"]),
                          ("vudo-find -j1 DIR '*.png'", [vf, "-j1", tree, "*.png"]),
                          ("vudo-find -j8 DIR '*.png'", [vf, "-j8", tree, "*.png"]),
                          ("find DIR -iname '*.png'", ["find", tree, "-iname", "*.png"]),
                          ("fd -u -j1 -g '*.png'", ["fdfind", "-u", "-j1", "-g", "*.png", tree]),
                          ("fd -u -g '*.png'", ["fdfind", "-u", "-g", "*.png", tree]),
                          ("fd -u -j8 -g '*.png'", ["fdfind", "-u", "-j8", "-g", "*.png", tree])):
            rows.append((name, cold_median_seconds(cmd, cold_runs), None, None))
        rep.table(f"Cold cache: names, {tree_name}, '*.png' (page cache dropped before each run, medians of "
                  f"{cold_runs})", rows, rows[0][0])
        rep.target(f"cold names {tree_name}: vudo-find ÷ fd -j8", rows[0][1] / rows[6][1], 1.0)
        rows = []
        for name, cmd in (("vudo-find --contains TEXT DIR '*'", [vf, "--contains", ABSENT, tree, "*"]),
                          ("vudo-find -j1 --contains TEXT DIR '*'", [vf, "-j1", "--contains", ABSENT, tree, "*"]),
                          ("vudo-find -j8 --contains TEXT DIR '*'", [vf, "-j8", "--contains", ABSENT, tree, "*"]),
                          ("grep -rilF", ["grep", "-rilF", ABSENT, tree]),
                          ("rg -l -i -F -uu -a -j1", ["rg", "-l", "-i", "-F", "-uu", "-a", "-j1", ABSENT, tree]),
                          ("rg -l -i -F -uu -a", ["rg", "-l", "-i", "-F", "-uu", "-a", ABSENT, tree]),
                          ("rg -l -i -F -uu -a -j8", ["rg", "-l", "-i", "-F", "-uu", "-a", "-j8", ABSENT, tree])) + (
                          (("earlier vudo-find --contains TEXT DIR '*'", [a.baseline, "--contains", ABSENT, tree, "*"]),)
                          if a.baseline else ()):
            rows.append((name, cold_median_seconds(cmd, cold_runs), None, None))
        rep.table(f"Cold cache: content, {tree_name}, absent text (page cache dropped before each run, medians "
                  f"of {cold_runs})", rows, rows[0][0])
        rep.target(f"cold content {tree_name}: vudo-find ÷ rg -j8", rows[0][1] / rows[6][1], 1.0)
        if a.baseline:
            rep.target(f"cold content {tree_name}: this ÷ earlier build", rows[0][1] / rows[7][1], 1.03)

    size = os.path.getsize(a.bigfile)
    big_dir, big_name = os.path.split(a.bigfile)
    rows = []
    for name, cmd in (("vudo-find --contains TEXT", [vf, "--contains", ABSENT, big_dir, big_name]),
                      ("rg -i -F -j1 -c", ["rg", "-i", "-F", "-j1", "-c", ABSENT, a.bigfile]),
                      ("limit: read 32000-byte blocks", [a.limits, "readfile", a.bigfile])):
        rows.append((name, median_seconds(cmd, runs, warm), None, peak_kib(cmd) if name.startswith("vudo") else None))
    rep.out(f"### One large file, {size / 2**30:.0f} GiB, absent text")
    rep.out()
    rep.out("| command | median (ms) | GB/s | ÷ vudo-find | peak RSS (MiB) |")
    rep.out("|---|---:|---:|---:|---:|")
    for name, seconds, _, peak in rows:
        rep.out(f"| `{name}` | {seconds * 1000:.1f} | {size / seconds / 1e9:.2f} | {seconds / rows[0][1]:.2f} | "
                f"{'' if peak is None else f'{peak / 1024:.1f}'} |")
    rep.out()
    rep.target("large file: vudo-find GB/s", size / rows[0][1] / 1e9, 2.0, better="higher")
    rep.target("large file: vudo-find ÷ rg -j1", rows[0][1] / rows[1][1], 1.5)
    rep.target("large file: peak RSS (MiB)", rows[0][3] / 1024, 16.0, fmt="{:.1f}")

    wine_starts = subprocess.run(["wine", "--version"], capture_output=True).returncode == 0
    if a.vudo_exe and a.wineprefix and not wine_starts:
        rep.out("### Under Wine: not measured")
        rep.out()
        rep.out("Wine does not start on this machine (its kernel does not run 32-bit programs).")
        rep.out()
    if a.vudo_exe and a.wineprefix and wine_starts:
        env = dict(os.environ, WINEPREFIX=a.wineprefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        subprocess.run(["wineserver", "-p"], env=env, check=False)  # keep the server up between runs
        wine_runs = 5
        for tree_name, tree in trees:
            win = "Z:" + tree.replace("/", "\\")
            rows = []
            cases = (("vudo-find.exe DIR '*.h'", ["wine", a.vudo_exe, win, "*.h"], [vf, tree, "*.h"]),
                     ("vudo-find.exe --contains absent DIR '*'", ["wine", a.vudo_exe, "--contains", ABSENT, win, "*"],
                      [vf, "--contains", ABSENT, tree, "*"]),
                     ("vudo-find.exe -j1 DIR '*.h'", ["wine", a.vudo_exe, "-j1", win, "*.h"], None),
                     ("vudo-find.exe -j1 --contains absent DIR '*'",
                      ["wine", a.vudo_exe, "-j1", "--contains", ABSENT, win, "*"], None),
                     ("cmd /c dir /s /b DIR\\*.h", ["wine", "cmd", "/c", "dir", "/s", "/b", win + "\\*.h"], None),
                     ("cmd /c dir /s /b DIR", ["wine", "cmd", "/c", "dir", "/s", "/b", win], None))
            for name, cmd, native in cases:
                seconds = median_seconds(cmd, wine_runs, 1, env)
                rows.append((name, seconds, hits(cmd, env), None,
                             median_seconds(native, runs, warm) if native else None))
            rep.out(f"### Under Wine, {tree_name}")
            rep.out()
            rep.out("| command | median (ms) | ÷ vudo-find.exe names | hits | Wine ÷ native |")
            rep.out("|---|---:|---:|---:|---:|")
            for name, seconds, count, _, native in rows:
                rep.out(f"| `{name}` | {seconds * 1000:.1f} | {seconds / rows[0][1]:.2f} | {count} | "
                        f"{'' if native is None else f'{seconds / native:.1f}'} |")
            rep.out()
            rep.target(f"Wine {tree_name}: vudo-find.exe names ÷ dir /s /b", rows[0][1] / rows[5][1], 1.0)
            rep.target(f"Wine {tree_name}: vudo-find.exe names ÷ -j1", rows[0][1] / rows[2][1], 1.0)
            rep.target(f"Wine {tree_name}: vudo-find.exe content ÷ -j1", rows[1][1] / rows[3][1], 1.0)
        subprocess.run(["wineserver", "-k"], env=env, check=False)

    rep.finish(a.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
