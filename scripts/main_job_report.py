#!/usr/bin/python3
"""Writes the main job's report (Markdown, to standard output) from what scripts/run.sh left in OUT:
registered.txt (kelvane_host list), levels.txt (kelvane_level_analysis), window.txt (kelvane_host window),
the two renders' outputs and chunks.

    main_job_report.py OUT INPUT.wav --automation T:V,... --bypass START:END"""

import argparse
import filecmp
import os


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


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("input")
    parser.add_argument("--automation", required=True)
    parser.add_argument("--bypass", required=True)
    args = parser.parse_args()
    out = args.out
    levels = key_values(os.path.join(out, "levels.txt"))
    chunks = os.path.join(out, "chunks")
    bypass_start, bypass_end = args.bypass.split(":")
    automation = ", ".join(
        f"{float(v):.2f} ({15 * float(v) - 12:+.1f} dB) at {float(t):g} s"
        for t, v in (point.split(":") for point in args.automation.split(","))
    )

    print("# Kelvane: main job report\n")
    print(f"Track: `{os.path.basename(args.input)}`, {levels['channels']} channel(s), {levels['sample_rate']} Hz, "
          f"{float(levels['seconds']):.1f} s.\n")

    print("## What the plug-in registered\n")
    print("The host stand-in loaded `Kelvane.aaxplugin`, started and registered it, and listed its description:\n")
    print("```")
    with open(os.path.join(out, "registered.txt")) as file:
        print(file.read().rstrip())
    print("```\n")

    print("## Rendering\n")
    print(f"- \"dbMain\" automated by the host: {automation}; linear in between.")
    print(f"- The host's bypass on from {float(bypass_start):g} s to {float(bypass_end):g} s (the shaded stretch in the plot).")
    print("- Output: `kelvane-output.wav` (32-bit float), blocks of 512 samples.\n")

    print("| | input | output |")
    print("|---|---|---|")
    for label, key, unit in (("sample peak", "peak_dbfs", "dBFS"), ("true peak", "true_peak_dbtp", "dBTP"),
                             ("integrated loudness (EBU R 128)", "loudness_lufs", "LUFS")):
        print(f"| {label} | {float(levels['input_' + key]):.1f} {unit} | {float(levels['output_' + key]):.1f} {unit} |")
    print()

    print("## Saved settings\n")
    print("| chunk | bytes | restored into a second instance, saved again |")
    print("|---|---|---|")
    for name in ("elck", "juce"):
        first = os.path.join(chunks, f"{name}.chunk")
        second = os.path.join(chunks, f"second-{name}.chunk")
        print(f"| '{name}' | {os.path.getsize(first)} | {'identical' if same_files(first, second) else 'DIFFERENT'} |")
    identical = same_files(os.path.join(out, "kelvane-output.wav"), os.path.join(out, "second-instance-output.wav"))
    print(f"\nThe second instance, restored from both chunks, rendered the same track "
          f"{'to the same output, bit for bit' if identical else 'to a DIFFERENT output'}.\n")

    print("## Window and unloading\n")
    print("`window.png`: the plug-in's window inside the host's X11 window, captured while the track played "
          "(the loudest part, \"dbMain\" at 0.80).\n")
    with open(os.path.join(out, "window.txt")) as file:
        for line in file:
            print(f"- {line.strip()}")
    print("- The window's update check went to a closed port on this machine (a proxy setting of this run "
          "only); no request left the machine.")
    print()
    print("![window](window.png)\n")
    print("![levels](levels.png)")


if __name__ == "__main__":
    main()
