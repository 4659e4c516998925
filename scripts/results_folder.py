#!/usr/bin/python3
"""The main job's results folder (scripts/run.sh): a run replaces it only while it holds nothing but what an
earlier run wrote, unchanged, and removes or replaces only what it made; the rules are in scripts/results/.

    results_folder.py serve OUT         run.sh's companion for a whole run; requests on standard input
    results_folder.py check OUT         refuses (one line, status 1) a folder holding anything else
    results_folder.py mark WORK         lists what WORK holds, with sizes and checksums, in WORK's mark
    results_folder.py output CONTAINER BYTES
                                        says what the output will be
    results_folder.py failed OUT results|empty TEXT
                                        says a step's errors, a full disk in the job's own words"""

import os
import sys

import job_output
from job_output import reason, shown
from results import Refusal
from results.checks import check, output_text
from results.keeper import failure_text, fault_text, serve
from results.mark import FOLDER, mark


def main():
    commands = {"serve": 3, "check": 3, "mark": 3, "output": 4, "failed": 5}
    if len(sys.argv) != commands.get(sys.argv[1] if len(sys.argv) > 1 else "", 0):
        sys.exit(__doc__.split("\n\n")[1])
    command, folder = sys.argv[1], sys.argv[2]
    try:
        if command == "serve":
            serve(folder)
        elif command in ("check", "mark"):
            descriptor = os.open(folder, FOLDER)
            try:
                (check if command == "check" else mark)(descriptor, folder)
            finally:
                os.close(descriptor)
        elif command == "output":
            print(output_text(folder, int(sys.argv[3])))
        else:
            text = failure_text(folder, sys.argv[4], sys.argv[3] == "results")
            print(text if text == sys.argv[4] else f"run: {text}", file=sys.stderr)
            sys.exit(1)
    except Refusal as refusal:
        sys.exit(f"run: {refusal}")
    except OSError as error:
        sys.exit(f"run: cannot {'write' if command == 'mark' else 'read'} {shown(error.filename or folder)}: "
                 f"{reason(error)}")
    except Exception as error:  # noqa: BLE001 - whatever escapes is said in one line, never a traceback
        sys.exit(f"run: {fault_text(error)}")


if __name__ == "__main__":
    job_output.run("run", main)
