"""How the main job's Python scripts end on a failed write (a full disk, a folder that went away): one line
naming the file and the system's reason, status 1, never a traceback."""

import math
import os
import sys


def reason(error):
    """An OSError's reason as the system words it, in lower case: "no space left on device"."""
    text = os.strerror(error.errno) if error.errno else str(error)
    return text[:1].lower() + text[1:]


def size_text(size):
    """A size as every message of the job says it, in binary units."""
    if size < 1 << 20:
        return "1 byte" if size == 1 else f"{size} bytes"
    if size < 1 << 30:
        return f"{size / (1 << 20):.1f} MiB"
    # Rounded up, so that a file just past 4 GiB does not read as 4.00.
    return f"{math.ceil(size / (1 << 30) * 100) / 100:.2f} GiB"


def run(program, main):
    """Runs main(); its standard output is flushed and checked before the program ends."""
    try:
        main()
        sys.stdout.flush()
    except OSError as error:
        # What could not be flushed would be tried again, and reported at length, as Python exits.
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
        where = f"'{error.filename}'" if error.filename else "the standard output"
        sys.exit(f"{program}: cannot write {where}: {reason(error)}")
