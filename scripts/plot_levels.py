#!/usr/bin/python3
"""Plots what the plug-in did over time: its input and output level and the gain it applied, with the
stretches where the host bypassed it shaded and the automated output level drawn in. The picture replaces
OUT.png whole, or OUT.png is left as it was."""

import argparse
import csv
import errno
import io
import logging
import math
import os
import secrets
import signal
import sys

import job_output


def pyplot():
    # Imported here, so that --help and the tests' use of gaps() need no matplotlib.
    try:
        import matplotlib
        matplotlib.use("Agg")
        # Its font cache is only a cache: a disk too full to keep it is said once, by the plot that cannot be written.
        logging.getLogger("matplotlib.font_manager").setLevel(logging.ERROR)
        import matplotlib.pyplot as plt
    except ImportError as error:
        if isinstance(error, ModuleNotFoundError) and error.name == "matplotlib":
            sys.exit("plot_levels: matplotlib is not installed (Debian package python3-matplotlib)")
        sys.exit(f"plot_levels: matplotlib cannot be loaded: {error}")
    return plt


def time_range(text):
    start, end = (float(part) for part in text.split(":"))
    if end <= start:
        raise argparse.ArgumentTypeError(f"empty range: {text}")
    return start, end


def automation_points(text):
    points = []
    for item in text.split(","):
        time, value = (float(part) for part in item.split(":"))
        points.append((time, value))
    return sorted(points)


# kelvane_level_analysis leaves the gain out where the input is quieter than this.
QUIETEST_INPUT_FOR_GAIN_DBFS = -70


def gaps(time, values):
    """The (start, end) stretches of time where values are missing, each row standing for the span from
    halfway to the row before to halfway to the row after."""
    stretches = []
    for index, value in enumerate(values):
        if not math.isnan(value):
            continue
        start = (time[index - 1] + time[index]) / 2 if index > 0 else 0.0
        end = (time[index] + time[index + 1]) / 2 if index + 1 < len(time) else time[index]
        if stretches and stretches[-1][1] == start:
            stretches[-1] = (stretches[-1][0], end)
        else:
            stretches.append((start, end))
    return stretches


def read_levels(path):
    columns = {"time_s": [], "input_dbfs": [], "output_dbfs": [], "gain_db": []}
    with open(path, newline="") as file:
        for row in csv.DictReader(file):
            for name, values in columns.items():
                values.append(float(row[name]) if row[name] != "" else math.nan)
    return columns


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("levels", metavar="LEVELS.csv",
                        help="the levels kelvane_level_analysis wrote: time_s, input_dbfs, output_dbfs and gain_db "
                             "for each window")
    parser.add_argument("output", metavar="OUT.png",
                        help="the picture to write; a file or symbolic link at that name is replaced, a folder is "
                             "refused")
    parser.add_argument("--seconds", metavar="S", type=float,
                        help="the track's length in seconds, where the time axis ends (default: the last window's "
                             "middle)")
    parser.add_argument("--bypass", metavar="START:END", type=time_range, action="append", default=[],
                        help="a stretch of time, in seconds, where the host bypassed the plug-in; given once for "
                             "each stretch")
    parser.add_argument("--automation", metavar="T:V,...", type=automation_points,
                        help='the "dbMain" setting V (0 to 1) at points in time T (seconds), drawn as the output '
                             "level it sets (15 V - 12 dB) and held after the last point")
    parser.add_argument("--title", metavar="TEXT", default="Kelvane: level over time",
                        help="the picture's title (default: %(default)s)")
    args = parser.parse_args()
    plt = pyplot()

    levels = read_levels(args.levels)
    time = levels["time_s"]
    if not time:
        raise SystemExit(f"plot_levels: {args.levels} holds no levels")
    last = max(args.seconds or 0.0, time[-1])
    # A single window would be a dot: a marker keeps it visible.
    marker = "o" if len(time) == 1 else None

    figure, (level_axes, gain_axes) = plt.subplots(
        2, 1, sharex=True, figsize=(12.5, 6.5), gridspec_kw={"height_ratios": [3, 2]}
    )
    level_axes.plot(time, levels["input_dbfs"], color="#7f8c8d", linewidth=0.9, marker=marker, label="input")
    level_axes.plot(time, levels["output_dbfs"], color="#1f77b4", linewidth=0.9, marker=marker, label="output")
    level_axes.set_ylabel("RMS level, 50 ms (dBFS)")
    level_axes.set_ylim(-90, 3)

    gain_axes.plot(time, levels["gain_db"], color="#d35400", linewidth=0.9, marker=marker,
                   label="applied gain (output - input)")
    for index, (start, stop) in enumerate(gaps(time, levels["gain_db"])):
        note = f"gain not drawn: input below {QUIETEST_INPUT_FOR_GAIN_DBFS} dBFS"
        gain_axes.axvspan(start, stop, facecolor="none", edgecolor="#95a5a6", hatch="//", linewidth=0,
                          label=note if index == 0 else None)
    if args.automation:
        times = [t for t, _ in args.automation]
        decibels = [15.0 * v - 12.0 for _, v in args.automation]
        times.append(max(last, times[-1]))
        decibels.append(decibels[-1])
        gain_axes.plot(times, decibels, color="#27ae60", linestyle="--", linewidth=1.2, label='"dbMain" output level setting')
    gain_axes.set_ylabel("gain (dB)")
    gain_axes.set_xlabel("time (s)")
    gain_axes.set_ylim(-14, 26)

    for axes in (level_axes, gain_axes):
        for index, (start, end) in enumerate(args.bypass):
            axes.axvspan(start, end, color="#f1c40f", alpha=0.25, label="bypassed by the host" if index == 0 else None)
        axes.grid(True, alpha=0.3)
        # Beside the axes, where no trace runs.
        axes.legend(loc="upper left", bbox_to_anchor=(1.01, 1.0), borderaxespad=0.0, fontsize="small")
        axes.set_xlim(0, last)

    level_axes.set_title(args.title)
    figure.tight_layout()
    picture = io.BytesIO()
    figure.savefig(picture, format="png", dpi=110)
    replace(args.output, picture.getbuffer())


class Stopped(BaseException):
    pass


def replace(path, data):
    """Puts data at path whole, or leaves path as it was: written beside it under a new hidden name, then renamed
    over it, which replaces a symbolic link there rather than writing through it, and never writes into the file
    already there. SIGINT, SIGTERM and SIGHUP wait for the new file to be taken back, then end the program."""
    folder, name = os.path.split(path)
    # A folder at the name is refused by the rename; these name one without it.
    if name in ("", ".", ".."):
        raise IsADirectoryError(errno.EISDIR, os.strerror(errno.EISDIR), path)
    asked = []
    # Only noted here, so that no exception lands between a file's creation and the note of its name.
    stopping = [number for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)
                if signal.getsignal(number) != signal.SIG_IGN]
    handlers = {number: signal.signal(number, lambda number, frame: asked.append(number)) for number in stopping}
    directory = descriptor = temporary = None
    try:
        # One descriptor for the folder: the file made, the rename and the take-back all happen in the same one.
        directory = os.open(folder or ".", os.O_RDONLY | os.O_DIRECTORY | os.O_CLOEXEC)
        while descriptor is None:
            candidate = f".{name}.{secrets.token_hex(4)}"
            try:
                descriptor = os.open(candidate, os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW | os.O_CLOEXEC,
                                     0o666, dir_fd=directory)
            except FileExistsError:
                continue
            temporary = candidate
        view = memoryview(data)
        while view:
            if asked:
                raise Stopped
            view = view[os.write(descriptor, view[:1 << 20]):]
        os.fsync(descriptor)
        if asked:
            raise Stopped
        os.rename(temporary, name, src_dir_fd=directory, dst_dir_fd=directory)
        temporary = None
        try:
            os.fsync(directory)
        except OSError as error:
            # Some file systems keep no folder to sync; the rename stands there as it is.
            if error.errno != errno.EINVAL:
                raise
    except BaseException as error:
        if temporary is not None:
            take_back(directory, temporary, descriptor)
        if isinstance(error, OSError):
            error.filename = path
        raise
    finally:
        for open_descriptor in (descriptor, directory):
            if open_descriptor is not None:
                os.close(open_descriptor)
        for number, handler in handlers.items():
            signal.signal(number, handler)
        if asked:
            # Ended by the signal itself, as whoever sent it expects to see.
            signal.signal(asked[0], signal.SIG_DFL)
            os.kill(os.getpid(), asked[0])
            sys.exit(128 + asked[0])


def take_back(directory, name, descriptor):
    """Removes the file the plot made, only while the name still holds it: the descriptor held open keeps its
    inode from being given to any other file."""
    try:
        made, now = os.fstat(descriptor), os.stat(name, dir_fd=directory, follow_symlinks=False)
        if (made.st_dev, made.st_ino) == (now.st_dev, now.st_ino):
            os.unlink(name, dir_fd=directory)
    except OSError:
        pass


if __name__ == "__main__":
    job_output.run("plot_levels", main)
