#!/usr/bin/python3
"""The rules by which the main job (scripts/run.sh) replaces its results folder. The folder is replaced whole,
so the job takes it only when all it holds is what an earlier run wrote and the user has not changed since,
and its hidden work folders beside it are removed only when no live run holds them.

    results_folder.py check OUT         refuses (one line, status 1) a folder holding anything else
    results_folder.py sweep OUT         removes the work folders beside OUT that stopped runs left
    results_folder.py mark WORK         lists what WORK holds, with sizes and checksums, in WORK's mark
    results_folder.py swap OUT WORK     puts WORK in OUT's place; prints where the previous OUT went

A run holds an flock on its work folder, and on the results folder, for as long as it lives; the kernel
drops them when it dies, however it dies, which is how a dead run's folders are told from a live one's.
Making and locking the results folder and the swap take a short flock on the folder above it, so that a
second run never finds the path empty between the swap's two renames."""

import fcntl
import hashlib
import os
import re
import shutil
import sys
import tempfile
import time

import job_output
from job_output import reason

MARK = ".kelvane-results"
MARK_HEADER = ("Written by Kelvane's main job (scripts/run.sh), which replaces this folder only while it holds "
               "no more than these entries, the files unchanged (size, time of change, SHA-256):")
# What the job's versions before the mark wrote: exactly this set (with or without the demo's input) is taken
# for an earlier run's results.
LEGACY = {"chunks", "chunks/elck.chunk", "chunks/juce.chunk", "chunks/second-elck.chunk",
          "chunks/second-juce.chunk", "kelvane-output.wav", "levels.csv", "levels.png", "levels.txt",
          "registered.txt", "render.txt", "report.md", "second-instance-output.wav", "window.png", "window.txt"}
LEGACY_OPTIONAL = {"demo-input.wav"}
# mktemp's and Python's hidden work folders: ".NAME.new-XXXXXX", ".NAME.old-XXXXXXXX".
WORK_FOLDER = r"\.{name}\.(new|old)-[A-Za-z0-9_]{{6,8}}"


class Refusal(Exception):
    pass


def sha256(path):
    with open(path, "rb") as file:
        return hashlib.file_digest(file, "sha256").hexdigest()


def read_mark(folder):
    """What the mark lists: name -> (size, mtime_ns, sha256), or None for a folder or an entry of an older
    mark, which lists names alone."""
    entries = {}
    with open(os.path.join(folder, MARK), encoding="utf-8", errors="replace") as file:
        next(file, None)
        for line in file:
            name, *facts = line.rstrip("\n").split("\t")
            if name:
                entries[name] = (int(facts[0]), int(facts[1]), facts[2]) if len(facts) == 3 else None
    return entries


def changed(path, facts):
    """Whether a file differs from what the mark recorded. Size and time of change alike are taken as
    unchanged, as rsync and git do; otherwise the content decides."""
    size, mtime_ns, digest = facts
    status = os.stat(path, follow_symlinks=False)
    if status.st_size != size:
        return True
    return status.st_mtime_ns != mtime_ns and sha256(path) != digest


def entries_of(folder):
    """Every entry below `folder`, relative, with whether it is a folder; a folder is listed only once the walk
    has gone past it, so a caller that stops at an entry never reads what it holds."""
    pending = [""]
    while pending:
        relative = pending.pop()
        with os.scandir(os.path.join(folder, relative)) as listing:
            names = sorted((entry.name, entry.is_dir(follow_symlinks=False)) for entry in listing)
        for name, is_folder in names:
            path = f"{relative}/{name}" if relative else name
            yield path, is_folder
            if is_folder:
                pending.append(path)


def check(folder):
    """Raises Refusal unless `folder` is empty or holds only what an earlier run wrote, unchanged."""
    marked = os.path.isfile(os.path.join(folder, MARK)) and not os.path.islink(os.path.join(folder, MARK))
    ours = read_mark(folder) if marked else {name: None for name in LEGACY | LEGACY_OPTIONAL}
    ours.setdefault(MARK, None)
    found = set()
    try:
        for path, is_folder in entries_of(folder):
            # The first entry that is not the job's ends the walk: a home folder is not read whole.
            if path not in ours or (is_folder and ours[path] is not None):
                raise Refusal(f"'{folder}' holds '{path}', which the main job did not write; move it away or "
                              "name another results folder in KELVANE_OUT")
            if ours[path] is not None and changed(os.path.join(folder, path), ours[path]):
                raise Refusal(f"'{folder}' holds '{path}', which changed since the main job wrote it; move it "
                              "away or name another results folder in KELVANE_OUT")
            found.add(path)
    except OSError as error:
        raise Refusal(f"cannot read the results folder '{folder}': {reason(error)}") from None
    missing = sorted(LEGACY - found)
    if not marked and found and missing:
        raise Refusal(f"'{folder}' holds an incomplete earlier result of the main job (it lacks '{missing[0]}'); "
                      "move it away or name another results folder in KELVANE_OUT")


def locked_by_a_live_run(path):
    """Whether a live run holds its lock on the folder at `path`."""
    descriptor = os.open(path, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW)
    try:
        fcntl.flock(descriptor, fcntl.LOCK_EX | fcntl.LOCK_NB)
        return False
    except BlockingIOError:
        return True
    finally:
        os.close(descriptor)


def sweep(out):
    """Removes the hidden work folders beside `out` that runs stopped by force left behind (a run holds its
    lock on them while it lives, so one whose lock is free is dead); returns their names."""
    parent, name = os.path.split(out)
    pattern = re.compile(WORK_FOLDER.format(name=re.escape(name)))
    removed = []
    with os.scandir(parent) as listing:
        candidates = sorted(entry.name for entry in listing
                            if pattern.fullmatch(entry.name) and entry.is_dir(follow_symlinks=False))
    for candidate in candidates:
        path = os.path.join(parent, candidate)
        try:
            if locked_by_a_live_run(path):
                continue
            # Links inside are removed, never followed.
            shutil.rmtree(path)
            removed.append(candidate)
        except FileNotFoundError:
            pass
    return removed


def mark(work):
    """Writes the mark: every entry of the results, each file with its size, time of change and checksum."""
    lines = [MARK_HEADER, MARK]
    for path, is_folder in entries_of(work):
        if is_folder:
            lines.append(path)
        elif path != MARK:
            status = os.stat(os.path.join(work, path))
            lines.append(f"{path}\t{status.st_size}\t{status.st_mtime_ns}\t{sha256(os.path.join(work, path))}")
    path = os.path.join(work, MARK)
    try:
        with open(path, "w", encoding="utf-8") as file:
            file.write("\n".join(lines) + "\n")
    except OSError as error:
        # A write that fails as the file closes names no file.
        error.filename = path
        raise


class ParentLock:
    """The short lock on the folder that holds the results folder."""

    def __init__(self, folder):
        self.descriptor = os.open(folder, os.O_RDONLY | os.O_DIRECTORY)

    def __enter__(self):
        fcntl.flock(self.descriptor, fcntl.LOCK_EX)
        return self

    def __exit__(self, *exception):
        os.close(self.descriptor)


def swap(out, work):
    """Puts `work` in the place of `out`, under the parent's lock; returns where the previous `out` went (a
    hidden folder beside it, for the caller to remove), or None when there was none."""
    parent, name = os.path.split(out)
    with ParentLock(parent):
        spare = None
        if os.path.lexists(out):
            spare = tempfile.mkdtemp(prefix=f".{name}.old-", dir=parent)
            os.rename(out, spare)
        # A test widens the gap between the two renames, where the path names nothing.
        time.sleep(float(os.environ.get("KELVANE_TEST_SWAP_GAP", "0")))
        try:
            os.rename(work, out)
        except OSError:
            if spare is not None:
                os.rename(spare, out)
            raise
    return spare


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in {"check", "sweep", "mark", "swap"}:
        sys.exit(__doc__.split("\n\n")[1])
    command, folder = sys.argv[1], sys.argv[2]
    said = ""
    try:
        if command == "check":
            check(folder)
        elif command == "sweep":
            removed = sweep(folder)
            if removed:
                said = (f"run: removed {', '.join(removed)} beside '{folder}', left by "
                        f"{'runs' if len(removed) > 1 else 'a run'} stopped by force")
        elif command == "mark":
            mark(folder)
        else:
            said = swap(folder, sys.argv[3]) or ""
    except Refusal as refusal:
        sys.exit(f"run: {refusal}")
    except OSError as error:
        if command == "swap":
            sys.exit(f"run: could not put the results in place in '{folder}': {reason(error)}; the previous results "
                     "are as they were")
        sys.exit(f"run: cannot {'remove' if command == 'sweep' else 'write' if command == 'mark' else 'read'} "
                 f"'{error.filename or folder}': {reason(error)}")
    if said:
        print(said)


if __name__ == "__main__":
    job_output.run("run", main)
