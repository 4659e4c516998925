"""How the main job's Python scripts end on a failed write (a full disk, a folder that went away): one line
naming the file and the system's reason, status 1, never a traceback."""

import os
import sys


def reason(error):
    """An OSError's reason as the system words it, in lower case: "no space left on device"."""
    text = os.strerror(error.errno) if error.errno else str(error)
    return text[:1].lower() + text[1:]


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
