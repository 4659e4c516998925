#!/usr/bin/python3
"""Writes the main job's report (Markdown, to standard output) from what scripts/run.sh left in OUT:
registered.txt (kelvane_host list), levels.txt (kelvane_level_analysis), window.txt (kelvane_host window),
the two renders' outputs and chunks.

    main_job_report.py OUT INPUT.wav --automation T:V,... --bypass START:END [--window-level V] [--warnings FILE]

Times are shown as given. An empty --automation or --bypass means the track was too short to hold it and the
host went without."""

import argparse
import filecmp
import os

import job_output

BLOCK_SAMPLES = 512
# kelvane_level_analysis reports silence, and loudness it cannot measure, as this level.
ANALYSIS_FLOOR_DB = -120.0


def level_db(value):
    """The output level "dbMain" sets, from its normalised value."""
    return 15.0 * value - 12.0


def level_text(value):
    decibels = round(level_db(value), 1)
    return f"{value:.2f} ({decibels:+.1f} dB)" if decibels != 0 else f"{value:.2f} (0.0 dB)"


def measure_text(text, unit):
    value = float(text)
    # Adding zero turns a rounded -0.0 into 0.0.
    return "none" if value <= ANALYSIS_FLOOR_DB else f"{round(value, 1) + 0.0:.1f} {unit}"


def count_text(count, noun):
    return f"{count} {noun}" if count == 1 else f"{count} {noun}s"


def channels_text(count):
    return count_text(count, "channel")


def stem_format(count):
    return {1: "mono", 2: "stereo"}.get(count, channels_text(count))


def automation_text(automation):
    if not automation:
        return "\"dbMain\" not automated: the track is too short for automation times that rise."
    points = (point.split(":") for point in automation.split(","))
    return ("\"dbMain\" automated by the host: "
            + ", ".join(f"{level_text(float(v))} at {t} s" for t, v in points) + "; linear in between.")


def bypass_text(bypass):
    if not bypass:
        return "No bypass by the host: the track is too short for a stretch of one sample."
    start, end = bypass.split(":")
    return f"The host's bypass on from {start} s to {end} s (the shaded stretch in the plot)."


def key_values(path):
    values = {}
    with open(path) as file:
        for line in file:
            key, _, value = line.strip().partition("=")
            if key:
                values[key] = value
    return values


def same_files(a, b):
    return os.path.exists(a) and os.path.exists(b) and filecmp.cmp(a, b, shallow=False)


def wav_audio(file):
    """A RIFF WAVE file's "fmt " chunk and the span of its sample data (start, size), read from the chunks
    (Python's wave module takes no float samples); the other chunks, such as libsndfile's PEAK with its time
    of writing, are no part of the audio."""
    length = file.seek(0, os.SEEK_END)
    file.seek(0)
    header = file.read(12)
    if header[:4] != b"RIFF" or header[8:12] != b"WAVE":
        raise ValueError("not a WAV file")
    chunks, at = {}, 12
    while at + 8 <= length:
        file.seek(at)
        name, size = file.read(4), int.from_bytes(file.read(4), "little")
        chunks.setdefault(name, (at + 8, min(size, length - at - 8)))
        at += 8 + size + size % 2
    if b"fmt " not in chunks or b"data" not in chunks:
        raise ValueError("no format or no sample data")
    start, size = chunks[b"fmt "]
    file.seek(start)
    return file.read(size), chunks[b"data"]


def audio_difference(a, b, block=1 << 20):
    """None when two WAV files hold the same audio (format and samples); otherwise what differs first. Read
    in blocks, so a track of hours takes no more memory than a short one."""
    with open(a, "rb") as file_a, open(b, "rb") as file_b:
        format_a, (start_a, size_a) = wav_audio(file_a)
        format_b, (start_b, size_b) = wav_audio(file_b)
        if format_a != format_b:
            return "their formats differ"
        rate = int.from_bytes(format_a[4:8], "little")
        frame_bytes = max(1, int.from_bytes(format_a[12:14], "little"))
        file_a.seek(start_a)
        file_b.seek(start_b)
        for offset in range(0, min(size_a, size_b), block):
            wanted = min(block, size_a - offset, size_b - offset)
            part_a, part_b = file_a.read(wanted), file_b.read(wanted)
            if part_a != part_b:
                first = offset + next((i for i, (x, y) in enumerate(zip(part_a, part_b)) if x != y),
                                      min(len(part_a), len(part_b)))
                break
        else:
            if size_a == size_b:
                return None
            first = min(size_a, size_b)
        frame = first // frame_bytes
        return f"the first difference is at frame {frame}" + (f" ({frame / rate:.6g} s)" if rate else "")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("input")
    parser.add_argument("--automation", required=True)
    parser.add_argument("--bypass", required=True)
    parser.add_argument("--window-level", type=float, default=0.8)
    parser.add_argument("--warnings", help="kelvane_host's warnings, one a line")
    args = parser.parse_args()
    out = args.out
    levels = key_values(os.path.join(out, "levels.txt"))
    chunks = os.path.join(out, "chunks")
    channels = int(levels["channels"])
    rate = int(levels["sample_rate"])
    frames = int(levels["frames"])
    seconds = float(levels["seconds"])

    print("# Kelvane: main job report\n")
    print(f"Track: `{os.path.basename(args.input)}`, {channels_text(channels)}, {rate} Hz, "
          f"{seconds:.3g} s ({count_text(frames, 'sample')} per channel).\n")
    warnings = []
    if args.warnings:
        with open(args.warnings) as file:
            warnings = [line.strip().removeprefix("kelvane_host: warning: ") for line in file if line.strip()]
    if warnings:
        print("## Warnings\n")
        for warning in warnings:
            print(f"- {warning}")
        print()

    print("## What the plug-in registered\n")
    print("The host stand-in loaded `Kelvane.aaxplugin`, started and registered it, and listed its description "
          "(the parameters from an instance of its own; the renders below set theirs up for the track):\n")
    print("```")
    with open(os.path.join(out, "registered.txt")) as file:
        print(file.read().rstrip())
    print("```\n")

    print("## Rendering\n")
    print(f"- The host set the instance up for the track: {stem_format(channels)} at {rate} Hz.")
    print(f"- {automation_text(args.automation)}")
    if args.automation and frames <= BLOCK_SAMPLES:
        print(f"  The whole track fits in one block of {BLOCK_SAMPLES} samples and the host changes parameters "
              "between blocks, so only the first value was heard.")
    print(f"- {bypass_text(args.bypass)}")
    print(f"- Output: `kelvane-output.wav` (32-bit float), blocks of {BLOCK_SAMPLES} samples.\n")

    print("| | input | output |")
    print("|---|---|---|")
    for label, key, unit in (("sample peak", "peak_dbfs", "dBFS"), ("true peak", "true_peak_dbtp", "dBTP"),
                             ("integrated loudness (EBU R 128)", "loudness_lufs", "LUFS")):
        print(f"| {label} | {measure_text(levels['input_' + key], unit)} | "
              f"{measure_text(levels['output_' + key], unit)} |")
    if any(float(levels[f"{side}_loudness_lufs"]) <= ANALYSIS_FLOOR_DB for side in ("input", "output")):
        print("\n\"none\": integrated loudness needs at least one 400 ms stretch above -70 LUFS.")
    print()

    print("## Saved settings\n")
    print("| chunk | bytes | restored into a second instance, saved again |")
    print("|---|---|---|")
    for name in ("elck", "juce"):
        first = os.path.join(chunks, f"{name}.chunk")
        second = os.path.join(chunks, f"second-{name}.chunk")
        print(f"| '{name}' | {os.path.getsize(first)} | {'identical' if same_files(first, second) else 'DIFFERENT'} |")
    try:
        difference = audio_difference(os.path.join(out, "kelvane-output.wav"),
                                      os.path.join(out, "second-instance-output.wav"))
    except (OSError, ValueError) as error:
        difference = f"(the outputs could not be compared: {error})"
    print(f"\nThe second instance, restored from both chunks, rendered the same track "
          f"{'to the same audio, bit for bit' if difference is None else 'to DIFFERENT audio: ' + difference}.\n")

    print("## Window and unloading\n")
    print("`window.png`: the plug-in's window inside the host's X11 window, captured while the track played "
          f"(the loudest part, \"dbMain\" at {level_text(args.window_level)}).\n")
    with open(os.path.join(out, "window.txt")) as file:
        for line in file:
            print(f"- {line.strip()}")
    print("- The window's update check went to a closed port on this machine (a proxy setting of this run "
          "only); no request left the machine.")
    print()
    print("![window](window.png)\n")
    print("![levels](levels.png)")


if __name__ == "__main__":
    job_output.run("main_job_report", main)
