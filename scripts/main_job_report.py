#!/usr/bin/python3
"""Writes the main job's report (Markdown, to standard output) from what scripts/run.sh left in OUT:
registered.txt (kelvane_host list), levels.txt (kelvane_level_analysis), window.txt (kelvane_host window),
the two renders' outputs and chunks.

    main_job_report.py OUT INPUT.wav --automation T:V,... --bypass START:END [--window-level V] [--warnings FILE]
    main_job_report.py --registered registered.txt     says in one line what the plug-in registered

Times are shown as given. An empty --automation or --bypass means the track was too short to hold it and the
host went without."""

import argparse
import filecmp
import os
import sys

import job_output
import numpy
import soundfile

BLOCK_SAMPLES = 512
# kelvane_level_analysis reports silence, and loudness it cannot measure, as this level.
ANALYSIS_FLOOR_DB = -120.0


def spoken_list(words):
    return " and ".join(words) if len(words) < 3 else ", ".join(words[:-1]) + " and " + words[-1]


def registration_summary(listing):
    """What a user looks for in kelvane_host list's dozens of lines: the effect, the tracks it takes and its
    parameters."""
    effect, name, category, formats, parameters, in_parameters = "", "", "", [], [], False
    for line in listing.splitlines():
        if line.startswith("effect "):
            effect = line.split()[1]
        elif line.startswith("  name: ") and not name:
            name = line.removeprefix("  name: ")
        elif line.startswith("  category: "):
            category = line.split()[-1]
        elif "input stem format " in line:
            formats.append(line.split()[-1])
        elif line.startswith("parameters"):
            in_parameters = True
        elif in_parameters and line.startswith("  ") and line[2:3] != " ":
            parameters.append(line.split()[0])
    return (f'the effect "{name}" ({effect}, {category}) for {spoken_list(formats)} tracks, with the parameters '
            f"{spoken_list(parameters)}")


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


# How the samples of each sample format are read so that every bit of them comes through: libsndfile hands
# float and double samples over as they are stored (NaN payloads too), and integer ones exactly as int32.
SAMPLE_TYPES = {"FLOAT": ("float32", "uint32"), "DOUBLE": ("float64", "uint64")}
SAMPLE_FORMATS = {"FLOAT": "32-bit float", "DOUBLE": "64-bit float", "PCM_16": "16-bit PCM", "PCM_24": "24-bit PCM",
                  "PCM_32": "32-bit PCM"}


class AudioError(Exception):
    """An audio file that cannot be opened: its name and the reason, in one line."""


def open_audio(path):
    """The audio file at path (WAV, RF64, Wave64 or anything else libsndfile reads). Opened here first, so that a
    file that cannot be opened says the system's reason."""
    try:
        descriptor = os.open(path, os.O_RDONLY)
    except OSError as error:
        raise AudioError(f"'{path}': {job_output.reason(error)}") from None
    try:
        # libsndfile closes the descriptor of a file it refuses, as it closes that of a file it took.
        return soundfile.SoundFile(descriptor, closefd=True)
    except soundfile.SoundFileError as error:
        text = getattr(error, "error_string", "") or str(error)
        raise AudioError(f"'{path}': {text[:1].lower() + text[1:].rstrip('.')}") from None


def format_text(file):
    return f"{file.samplerate} Hz, {channels_text(file.channels)}, {file.subtype}"


def audio_difference(a, b, block=1 << 16):
    """None when two audio files hold the same audio (rate, channels, sample format, every sample bit for
    bit), whatever their containers; otherwise what differs first. Read in blocks, so a track of hours takes
    no more memory than a short one."""
    with open_audio(a) as file_a, open_audio(b) as file_b:
        if format_text(file_a) != format_text(file_b):
            return f"their formats differ ({format_text(file_a)} against {format_text(file_b)})"
        read_as, bits = SAMPLE_TYPES.get(file_a.subtype, ("int32", "int32"))
        frame = 0
        while True:
            part_a = file_a.read(block, dtype=read_as, always_2d=True).view(bits)
            part_b = file_b.read(block, dtype=read_as, always_2d=True).view(bits)
            common = min(len(part_a), len(part_b))
            differing = numpy.flatnonzero((part_a[:common] != part_b[:common]).any(axis=1))
            if differing.size:
                frame += int(differing[0])
                break
            frame += common
            if len(part_a) != len(part_b):
                break
            if not common:
                return None
        return f"the first difference is at frame {frame} ({frame / file_a.samplerate:.6g} s)"


def output_text(path):
    """The output's name and sample format, and its container and size when it is RF64."""
    try:
        with open_audio(path) as file:
            details = [SAMPLE_FORMATS.get(file.subtype, file.subtype)]
            if file.format == "RF64":
                size = job_output.size_text(os.path.getsize(path))
                details.append(f"RF64: a WAV file holds at most 4 GiB, this one is {size}")
    except AudioError as error:
        raise SystemExit(f"main_job_report: cannot read {error}")
    return f"`{os.path.basename(path)}` ({', '.join(details)})"


def main():
    if sys.argv[1:2] == ["--registered"] and len(sys.argv) == 3:
        with open(sys.argv[2]) as file:
            print(f"registered: {registration_summary(file.read())}; the whole listing is in "
                  f"{os.path.basename(sys.argv[2])}")
        return
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
    with open(os.path.join(out, "registered.txt")) as file:
        summary = registration_summary(file.read())
    print(f"The host stand-in loaded `Kelvane.aaxplugin`, started and registered it: {summary}. Its whole "
          "description (components, fields and IDs, the parameters from an instance of its own) is in "
          "`registered.txt`.\n")

    print("## Rendering\n")
    print(f"- The host set the instance up for the track: {stem_format(channels)} at {rate} Hz.")
    print(f"- {automation_text(args.automation)}")
    if args.automation and frames <= BLOCK_SAMPLES:
        print(f"  The whole track fits in one block of {BLOCK_SAMPLES} samples and the host changes parameters "
              "between blocks, so only the first value was heard.")
    print(f"- {bypass_text(args.bypass)}")
    print(f"- Output: {output_text(os.path.join(out, 'kelvane-output.wav'))}, blocks of {BLOCK_SAMPLES} samples.\n")

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
    except AudioError as error:
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
