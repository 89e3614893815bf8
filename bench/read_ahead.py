#!/usr/bin/env python3
"""The read-ahead's benchmark: how the engine's worker threads keep a search
going on a slow disk, in a large directory and while the window does not
poll. Prints Markdown tables and writes them to --output.

Called by scripts/bench-read-ahead, which builds the programs and the data
and passes their paths. Each search runs in engine_probe (one process per
search, timed inside); medians of --runs runs. An earlier build
(--baseline-*) runs in turn with this one in every table."""
import argparse
import json
import os
import statistics
import subprocess
import sys
import time

from bench import ABSENT, Report, drop_caches, machine_description
from probe_runs import COLD, EMULATED, WARM, Build, Disk, probe_medians, warm_up

FLAT = (8000, 20000)
WIDE = (8000, 8500, 12000)
PAUSED = (4000, 8000)
MILLION_JOBS = (1, 4, 8, 16)
NAMES, CONTAINS = "names '*.txt'", "Contains, absent text"


def search_args(directory, kind):
    return [directory, "*.txt"] if kind == NAMES else [directory, "*", "--contains", ABSENT]


def seconds_cell(m):
    return f"> {m['seconds']:.0f}" if m["timeout"] else f"{m['seconds']:.3f}"


def interleaved_medians(commands, directory, runs, warmup, before_each=None):
    """Median seconds of each (name, command) run in turn, round after round; `before_each` runs before every
    timed run (dropping the page cache, say). A command that runs away counts as taking its whole bound."""
    times = {name: [] for name, _ in commands}
    for round_ in range(warmup + runs):
        for name, cmd in commands:
            if before_each:
                before_each()
            start = time.perf_counter()
            try:
                subprocess.run([c.replace("{dir}", directory) for c in cmd], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=300)
            except subprocess.TimeoutExpired:
                pass
            if round_ >= warmup:
                times[name].append(time.perf_counter() - start)
    return {name: statistics.median(t) for name, t in times.items()}


def target_below(rep, what, value, limit, fmt="{:.1f}"):
    """A target that must stay strictly under its limit (Report.target's are ≤ or ≥)."""
    rep.targets.append((what, fmt.format(value), "< " + fmt.format(limit), "met" if value < limit else "MISSED"))


def table(rep, header, rows, text_columns=3):
    """A Markdown table: the first `text_columns` columns name the case, the rest are figures."""
    rep.out("| " + " | ".join(header) + " |")
    rep.out("|" + "|".join("---" if i < text_columns else "---:" for i in range(len(header))) + "|")
    for row in rows:
        rep.out("| " + " | ".join(str(c) for c in row) + " |")
    rep.out()


class Bench:
    def __init__(self, a):
        self.a = a
        self.rep = Report()
        self.builds = [Build("this", a.probe, a.finder)]
        if a.baseline_probe:
            self.builds.append(Build(f"earlier {a.baseline_label}", a.baseline_probe, a.baseline_finder))
        self.emulated = Disk(EMULATED, a.shim, a.delay_us)
        self.disks = [self.emulated]
        self.cold = drop_caches()
        if self.cold:
            self.disks.append(Disk(COLD))
        self.data = a.data
        self.warmed = set()

    def path(self, name):
        return os.path.join(self.data, name)

    def warm(self, name):
        """Puts a data set in the page cache before its warm or emulated runs."""
        if name not in self.warmed:
            warm_up(self.builds[0], self.path(name), ABSENT)
            self.warmed.add(name)

    def measure(self, name, args, disk, runs=None):
        if disk.kind == COLD:
            self.warmed.clear()  # every real cold run empties the cache
        else:
            self.warm(name)
        return probe_medians(self.builds, [self.path(name), *args], disk, runs or self.a.runs)

    def cold_note(self):
        if not self.cold:
            self.rep.out("Real cold: not measured, dropping the page cache needs root "
                         "(run scripts/bench-read-ahead as root).")
            self.rep.out()

    def shim_check(self):
        """One -j 1 search of the 8,000 files with and without the shim, and
        the waits the shim counted: the delay is really there, as many times
        as the search asks the disk."""
        rep = self.rep
        self.warm("flat-8000")
        args = [self.builds[0].probe, self.path("flat-8000"), "*", "--contains", ABSENT, "-j", "1"]
        plain = subprocess.run(args, stdout=subprocess.PIPE, text=True, check=True)
        env = dict(self.emulated.env(), VUDO_SLOW_DISK_REPORT="1")
        slow = subprocess.run(args, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, check=True)
        seconds = [json.loads(r.stdout.splitlines()[-1])["seconds"] for r in (plain, slow)]
        waits = slow.stderr.strip().splitlines()[-1].removeprefix("slow_disk: ")
        floor = sum(int(w.split()[0]) for w in waits.split(", ")) * self.a.delay_us / 1e6
        rep.out(f"Shim check, 8,000 files, Contains, -j 1: {seconds[0]:.3f} s warm, {seconds[1]:.3f} s emulated cold; "
                f"the shim waited for {waits}: {floor:.2f} s of sleep asked for (a sleep overruns by tens of "
                "µs on this machine).")
        rep.out()

    def cliff(self):
        rep = self.rep
        rep.out("### The cliff: one directory of 8,000 files against one of 20,000")
        rep.out()
        rep.out(f"Contains search of an absent text ('*'); seconds, medians of {self.a.runs}. "
                "Workers: default (jobs 0), and -j 1 (none) for reference. "
                "Reading every file, 20,000 take 2.5 times as long as 8,000; aim: ≤ 2.75.")
        rep.out()
        self.cold_note()
        rows = []
        for disk in self.disks:
            for jobs in (0, 1):
                results = {n: self.measure(f"flat-{n}", ["*", "--contains", ABSENT, "-j", str(jobs)], disk)
                           for n in FLAT}
                for b in self.builds:
                    small, large = results[FLAT[0]][b.label], results[FLAT[1]][b.label]
                    ratio = large["seconds"] / small["seconds"]
                    rows.append((disk.kind, "default" if jobs == 0 else "-j 1", b.label, seconds_cell(small),
                                 seconds_cell(large), f"{ratio:.2f}"))
                    if jobs == 0 and b is self.builds[0]:
                        rep.target(f"cliff, {disk.kind}: 20,000 ÷ 8,000 files", ratio, 2.75)
        table(rep, ("disk", "workers", "build", "8,000 files (s)", "20,000 files (s)", "20k ÷ 8k"), rows)

    def wide(self):
        rep = self.rep
        rep.out("### Wide trees: 8,000, 8,500 and 12,000 subdirectories")
        rep.out()
        rep.out(f"Each subdirectory holds one empty folder and 3 small files; -j 8; seconds, medians of "
                f"{self.a.runs}. 12,000 are 1.5 times 8,000; aim: ≤ 1.65.")
        rep.out()
        self.cold_note()
        rows = []
        for disk in self.disks:
            for kind in (NAMES, CONTAINS):
                results = {n: self.measure(f"wide-{n}", [*search_args("", kind)[1:], "-j", "8"], disk)
                           for n in WIDE}
                for b in self.builds:
                    cells = [results[n][b.label] for n in WIDE]
                    ratio = cells[-1]["seconds"] / cells[0]["seconds"]
                    rows.append((disk.kind, kind, b.label, *(seconds_cell(c) for c in cells), f"{ratio:.2f}"))
                    if b is self.builds[0]:
                        rep.target(f"wide, {disk.kind}, {kind}: 12,000 ÷ 8,000", ratio, 1.65)
        table(rep, ("disk", "search", "build", *(f"{n:,} (s)" for n in WIDE), "12k ÷ 8k"), rows)

    def pause(self):
        rep = self.rep
        pause_ms, at_ms = 300, 50
        rep.out(f"### A {pause_ms} ms pause in the poll")
        rep.out()
        rep.out(f"The first poll at or after {at_ms} ms sleeps {pause_ms} ms, as a window held in a modal loop; "
                f"emulated cold disk, default workers; seconds, medians of {self.a.runs}. The search should "
                f"lose no more than the pause: aim ≤ {pause_ms * 1.1 / 1000:.2f} s extra.")
        rep.out()
        rows = []
        for n in PAUSED:
            for kind in (NAMES, CONTAINS):
                args = search_args("", kind)[1:]
                plain = self.measure(f"wide-{n}", args, self.emulated)
                paused = self.measure(f"wide-{n}", [*args, "--pause-at", str(at_ms), "--pause", str(pause_ms)],
                                      self.emulated)
                for b in self.builds:
                    extra = paused[b.label]["seconds"] - plain[b.label]["seconds"]
                    rows.append((f"{n:,} subdirectories", kind, b.label, seconds_cell(plain[b.label]),
                                 seconds_cell(paused[b.label]), f"{extra:+.3f}"))
                    if b is self.builds[0]:
                        rep.target(f"pause, {n:,} subdirectories, {kind}: extra seconds", extra, pause_ms * 1.1 / 1000,
                                   fmt="{:.3f}")
        table(rep, ("tree", "search", "build", "no pause (s)", "with the pause (s)", "extra (s)"), rows)

    def million(self):
        rep = self.rep
        stop_at, bound_s = 50, 2
        rep.out("### One directory of 1,000,000 files")
        rep.out()
        rep.out(f"Stop: the poll answers true from {stop_at} ms on; the time from that poll until the search "
                f"returns. Longest gap between polls and peak memory (VmHWM): a search stopped at {bound_s} s if "
                f"still going (its time in the last column). Medians of {self.a.runs}. Aims: stop ≤ 50 ms, "
                "gap < 100 ms, peak < 64 MiB and ≤ 32 MiB above -j 1.")
        rep.out()
        rows, worst = [], {}
        for kind in (NAMES, CONTAINS):
            for disk in (Disk(WARM), self.emulated):
                base = {}
                for jobs in MILLION_JOBS:
                    args = [*search_args("", kind)[1:], "-j", str(jobs)]
                    stopped = self.measure("million", [*args, "--stop-after", str(stop_at)], disk)
                    bounded = self.measure("million", [*args, "--stop-after", str(bound_s * 1000)], disk)
                    for b in self.builds:
                        s, m = stopped[b.label], bounded[b.label]
                        peak = m["peak_kib"] / 1024
                        base.setdefault(b.label, peak)
                        above = peak - base[b.label]
                        until = f"{m['seconds']:.2f}" + (" (stopped)" if m["stop_ms"] is not None else "")
                        rows.append((kind, disk.kind, f"-j {jobs}", b.label, f"{s['stop_ms']:.1f}",
                                     f"{m['longest_gap_ms']:.1f}", f"{peak:.1f}", f"{above:+.1f}", until))
                        if b is self.builds[0]:
                            where = f"{kind}, {disk.kind}, -j {jobs}"
                            for key, value in (("stop", s["stop_ms"]), ("gap", m["longest_gap_ms"]),
                                               ("peak", peak), ("above", above)):
                                if key not in worst or value > worst[key][0]:
                                    worst[key] = (value, where)
        table(rep, ("search", "disk", "workers", "build", "stop (ms)", "longest gap (ms)", "peak (MiB)",
                    "above -j 1 (MiB)", "searched (s)"), rows, text_columns=4)
        for key, what, limit in (("stop", "stop latency (ms)", 50.0), ("gap", "longest gap between polls (ms)", 100.0),
                                 ("peak", "peak memory (MiB)", 64.0), ("above", "peak above -j 1 (MiB)", 32.0)):
            value, where = worst[key]
            what = f"1,000,000 files, worst {what} ({where})"
            if key in ("gap", "peak"):
                target_below(rep, what, value, limit)
            else:
                rep.target(what, value, limit, fmt="{:.1f}")

    def against_rg(self):
        rep = self.rep
        runs = 5
        rep.out("### Content against rg")
        rep.out()
        finders = [(f"vudo-find ({b.label})", [b.finder, "--contains", ABSENT, "{dir}", "*"]) for b in self.builds]
        rg = ["rg", "-uuu", "--no-messages", "-l", "-i", "-F"]
        share, include = "/usr/share", "/usr/include"
        coverage = [int(subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.count(b"\n"))
                    for cmd in ([self.builds[0].finder, share, "*"], [*rg[:3], "--files", share])]
        rep.out(f"Absent text '{ABSENT}'; `rg {' '.join(rg[1:])}` searches every file, hidden, ignored and binary "
                f"alike, as vudo-find does (files under {share}: vudo-find lists {coverage[0]:,}, rg "
                f"{coverage[1]:,}; vudo-find also follows links to files).")
        rep.out()
        if self.cold:
            commands = finders + [("rg -j8", [*rg, "-j8", ABSENT, "{dir}"]), ("rg -j16", [*rg, "-j16", ABSENT, "{dir}"])]
            self.rg_table(f"Real cold {share} (page cache dropped before every run; medians of {runs}, "
                          "the commands in turn)", interleaved_medians(commands, share, runs, 0, drop_caches),
                          ("rg -j8", "rg -j16"), f"cold {share}")
        else:
            self.cold_note()
        # In turn as well: on a shared machine the load drifts over a minute,
        # and one command's runs all together would carry it.
        for tree, warm_runs in ((share, runs), (include, 4 * runs)):
            commands = finders + [("rg", [*rg, ABSENT, "{dir}"])]
            self.rg_table(f"Warm {tree} (medians of {warm_runs}, the commands in turn after 2 warm-up rounds)",
                          interleaved_medians(commands, tree, warm_runs, 2), ("rg",), f"warm {tree}")

    def rg_table(self, title, medians, rg_names, target_name):
        rep = self.rep
        best = min(medians[n] for n in rg_names)
        rep.out(f"#### {title}")
        rep.out()
        table(rep, ("command", "median (s)", "÷ best rg"),
              [(f"`{n}`", f"{s:.3f}", f"{s / best:.2f}") for n, s in medians.items()], text_columns=1)
        rep.target(f"content, {target_name}: vudo-find ÷ best rg", medians[f"vudo-find ({self.builds[0].label})"] / best,
                   1.0)

    def run(self):
        rep = self.rep
        rep.out("## Read-ahead benchmarks")
        rep.out()
        rep.out(f"Machine: {machine_description()}")
        rep.out()
        rep.out(f"Emulated cold: slow_disk.so preloaded, {self.a.delay_us} µs for every directory open, file open, "
                "file read and block of 128 directory entries, over a warm page cache. Real cold: the page cache "
                "dropped before every run. Builds: " + ", ".join(f"{b.label} (`{b.probe}`)" for b in self.builds)
                + ", run in turn.")
        rep.out()
        self.shim_check()
        for part in self.a.only or ("cliff", "wide", "pause", "million", "rg"):
            {"cliff": self.cliff, "wide": self.wide, "pause": self.pause, "million": self.million,
             "rg": self.against_rg}[part]()
        rep.finish(self.a.output)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--probe", required=True)
    p.add_argument("--finder", required=True, help="this build's vudo-find")
    p.add_argument("--baseline-probe")
    p.add_argument("--baseline-finder")
    p.add_argument("--baseline-label", default="")
    p.add_argument("--shim", required=True)
    p.add_argument("--delay-us", type=int, default=200)
    p.add_argument("--data", required=True)
    p.add_argument("--runs", type=int, default=3)
    p.add_argument("--only", action="append", choices=("cliff", "wide", "pause", "million", "rg"),
                   help="measure only these tables (while working on one)")
    p.add_argument("--output", required=True)
    Bench(p.parse_args()).run()
    return 0


if __name__ == "__main__":
    sys.exit(main())
