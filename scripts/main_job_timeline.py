#!/usr/bin/python3
"""What the host does to the track in the main job: "dbMain" automated and the host's bypass on for one
stretch, both at fixed fractions of the track's length, so that a track of any length shows them.

    main_job_timeline.py SECONDS SAMPLE_RATE

Prints "automation=T:V,...", "bypass_start=S" and "bypass_end=S" in seconds, left empty when the track is
too short to hold them (the host wants rising automation times and a bypass of at least one sample)."""

import sys

AUTOMATION = ((0.0, 0.5), (0.38, 0.5), (0.56, 0.8), (0.75, 0.6))
BYPASS = (0.22, 0.31)


def seconds_text(seconds):
    # Fixed decimals to the microsecond: short tracks keep distinct times, and the host's "START-END" never
    # meets an exponent's minus sign.
    return f"{seconds:.6f}".rstrip("0").rstrip(".")


def automation(seconds):
    """The automation as the host's T:V list, or "" when its times would not rise."""
    times = [seconds_text(fraction * seconds) for fraction, _ in AUTOMATION]
    if any(float(later) <= float(earlier) for earlier, later in zip(times, times[1:])):
        return ""
    return ",".join(f"{time}:{value}" for time, (_, value) in zip(times, AUTOMATION))


def bypass(seconds, sample_rate):
    """The bypassed stretch as (start, end), or None when it would not span one sample."""
    start, end = (seconds_text(fraction * seconds) for fraction in BYPASS)
    if round(float(end) * sample_rate) <= round(float(start) * sample_rate):
        return None
    return start, end


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: main_job_timeline.py SECONDS SAMPLE_RATE")
    seconds, sample_rate = float(sys.argv[1]), int(sys.argv[2])
    print(f"automation={automation(seconds)}")
    stretch = bypass(seconds, sample_rate) or ("", "")
    print(f"bypass_start={stretch[0]}\nbypass_end={stretch[1]}")


if __name__ == "__main__":
    main()
