#!/usr/bin/python3
"""Peak memory and time of the main job and of its programs on long tracks, to show that neither grows with
the track's length. Not a test: run it by hand after a release build.

    python3 benchmarks/long_track_memory.py [--build build/release] [--minutes 6,60] [--folder /tmp/...]

For each length it writes a stereo 48 kHz 16-bit track (the demo programme repeated), then measures:
one `kelvane_host render` of it; `kelvane_level_analysis` of the track against that render;
`kelvane_host window` playing it for 3 s under a virtual display; and the whole main job
(scripts/run.sh with KELVANE_BUILD_DIR). Peak memory is the largest resident set of any one process of a
run (getrusage of the waited children), and, for the job, also the largest sum over its processes alive at
one moment (sampled from /proc every 20 ms). The tracks and results are removed at the end."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def write_track(path, demo, minutes):
    """The demo programme (24-bit) repeated to `minutes`, as 16-bit: the top two bytes of each sample."""
    with wave.open(demo, "rb") as source:
        rate, channels = source.getframerate(), source.getnchannels()
        pcm24 = source.readframes(source.getnframes())
    pcm16 = bytearray(len(pcm24) // 3 * 2)
    pcm16[0::2], pcm16[1::2] = pcm24[1::3], pcm24[2::3]
    frames = int(minutes * 60 * rate)
    frame_bytes = 2 * channels
    with wave.open(path, "wb") as track:
        track.setparams((channels, 2, rate, frames, "NONE", ""))
        left = frames
        while left > 0:
            part = min(left, len(pcm16) // frame_bytes)
            track.writeframesraw(pcm16[:part * frame_bytes])
            left -= part


def descendants_rss(pid):
    """Resident kilobytes of `pid` and every process descended from it."""
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    fields = stat.read().rsplit(")", 1)[1].split()
                parents[int(entry)] = (int(fields[1]), int(fields[21]))
            except (OSError, IndexError, ValueError):
                pass
    page_kb = os.sysconf("SC_PAGE_SIZE") // 1024
    tree, total = {pid}, 0
    changed = True
    while changed:
        changed = False
        for child, (parent, _) in parents.items():
            if parent in tree and child not in tree:
                tree.add(child)
                changed = True
    for member in tree:
        total += parents.get(member, (0, 0))[1] * page_kb
    return total


def measure(command, env=None, sample=False):
    """(seconds, peak kB of one process, peak kB of the tree at one moment or None) of a command, whose
    output goes to a log; a failure stops the measurement with that log."""
    log, usage = tempfile.TemporaryFile(), tempfile.NamedTemporaryFile()
    start = time.monotonic()
    # GNU time reports getrusage of what it waited for: the largest resident set of any one process of the run.
    # (A child forked from this Python process would start with its resident set, and keep that as its peak.)
    process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", usage.name] + command, env=env, stdout=log,
                               stderr=subprocess.STDOUT)
    tree_peak = 0
    while process.poll() is None:
        if sample:
            tree_peak = max(tree_peak, descendants_rss(process.pid))
        time.sleep(0.02)
    seconds = time.monotonic() - start
    if process.returncode != 0:
        log.seek(0)
        sys.exit(f"long_track_memory: {' '.join(command)} failed:\n{log.read().decode(errors='replace')[-3000:]}")
    return seconds, int(usage.read().split()[-1]), (tree_peak if sample else None)


def megabytes(kb):
    return f"{kb / 1024:.0f} MB"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "release"))
    parser.add_argument("--minutes", default="6,60")
    parser.add_argument("--folder", help="where the tracks go (default: a new folder in the temporary folder)")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    host = os.path.join(build, "Host", "app", "kelvane_host")
    bundle = os.path.join(build, "Bundle", "Kelvane.aaxplugin")
    analysis = os.path.join(build, "tools", "main-job", "kelvane_level_analysis")
    folder = tempfile.mkdtemp(prefix="kelvane-long-", dir=args.folder)
    display = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24"]
    try:
        demo = os.path.join(folder, "demo.wav")
        subprocess.run([os.path.join(build, "tools", "main-job", "kelvane_demo_programme"), demo], check=True,
                       stdout=subprocess.DEVNULL)
        rows = []
        for minutes in (float(text) for text in args.minutes.split(",")):
            track, rendered = os.path.join(folder, "track.wav"), os.path.join(folder, "rendered.wav")
            write_track(track, demo, minutes)
            render = measure([host, "render", bundle, track, rendered])
            levels = measure([analysis, track, rendered, os.path.join(folder, "levels.csv")])
            window = measure(display + [host, "window", bundle, "--input", track, "--from", str(minutes * 30),
                                        "--seconds", "3"])
            os.remove(rendered)
            env = dict(os.environ, KELVANE_BUILD_DIR=build, KELVANE_OUT=os.path.join(folder, "results"))
            job = measure(["bash", os.path.join(ROOT, "scripts", "run.sh"), track], env=env, sample=True)
            shutil.rmtree(os.path.join(folder, "results"))
            rows.append((minutes, render, levels, window, job))
        print("| track | render | level analysis | window | main job | job / render | job, processes at once |")
        print("|---|---|---|---|---|---|---|")
        for minutes, render, levels, window, job in rows:
            print(f"| {minutes:g} min | {render[0]:.1f} s, {megabytes(render[1])} | {levels[0]:.1f} s, "
                  f"{megabytes(levels[1])} | {megabytes(window[1])} | {job[0]:.1f} s, {megabytes(job[1])} | "
                  f"{job[0] / render[0]:.1f} | {megabytes(job[2])} |")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
