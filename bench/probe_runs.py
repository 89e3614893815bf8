"""Runs engine_probe (engine_probe.cpp) for the read-ahead benchmark: one
search per process on a warm cache, on the emulated cold disk (slow_disk.c
preloaded) or on a real cold cache (dropped before every run), each build in
turn so that a drift of the machine touches every build alike, and the
medians of each figure."""
import json
import os
import statistics
import subprocess

from bench import drop_caches

WARM, EMULATED, COLD = "warm", "emulated cold", "real cold"


class Build:
    """One revision's programs: its engine_probe and its vudo-find."""

    def __init__(self, label, probe, finder):
        self.label, self.probe, self.finder = label, probe, finder


class Disk:
    """How the disk behaves during a run: `kind` is WARM, EMULATED or COLD."""

    def __init__(self, kind, shim=None, delay_us=200):
        self.kind, self.shim, self.delay_us = kind, shim, delay_us

    def env(self):
        env = dict(os.environ)
        if self.kind == EMULATED:
            env.update(LD_PRELOAD=self.shim, VUDO_SLOW_DISK_US=str(self.delay_us))
        return env

    def prepare(self):
        """Before every run: a real cold run starts from an empty page cache."""
        if self.kind == COLD:
            drop_caches()


def probe_once(build, args, disk, timeout):
    """One search; its figures, or {"timeout": True} when it ran past `timeout` seconds."""
    disk.prepare()
    try:
        r = subprocess.run([build.probe, *args], env=disk.env(), stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return {"timeout": True, "seconds": float(timeout)}
    lines = r.stdout.strip().splitlines()
    if not lines:
        raise RuntimeError(f"engine_probe printed nothing: {build.probe} {' '.join(args)}")
    return json.loads(lines[-1])


def probe_medians(builds, args, disk, runs, timeout=240):
    """Runs every build `runs` times, alternating; for each build's label the
    median of each numeric figure, with "timeout" set when any run ran out."""
    samples = {b.label: [] for b in builds}
    for _ in range(runs):
        for b in builds:
            samples[b.label].append(probe_once(b, args, disk, timeout))
    return {label: medians(results) for label, results in samples.items()}


def medians(results):
    out = {"timeout": any(r.get("timeout") for r in results)}
    for key in ("seconds", "rows", "polls", "longest_gap_ms", "stop_ms", "peak_kib"):
        values = [r[key] for r in results if r.get(key) is not None]
        out[key] = statistics.median(values) if values else None
    return out


def warm_up(build, directory, text):
    """Reads every directory and file below `directory` once, so that the
    warm and emulated runs after a real cold one find them in the cache."""
    subprocess.run([build.probe, directory, "*", "--contains", text, "-j", "4"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
