"""What a results folder may hold and be named, and the room its results need. The folder is replaced whole,
so it is taken only while it is empty or holds nothing but what an earlier run wrote, unchanged."""

import math
import os
import re

from job_output import reason, size_text

from . import Refusal
from .mark import FOLDER, LEGACY, LEGACY_OPTIONAL, MARK, read_mark, unchanged, walk

# The hidden folders beside the results that runs make: ".NAME.new-XXXXXXXX", ".NAME.old-XXXXXXXX" (and
# mktemp's six characters, as earlier versions made them).
WORK_FOLDER = re.compile(r"\.(?P<name>.+)\.(?P<kind>new|old)-[A-Za-z0-9_]{6,8}")
# What the results need beside the two outputs: the levels at one row of about 40 characters per 50 ms, and
# the pictures, report, transcripts and chunks, well under a megabyte on any track.
LEVELS_ROW_BYTES, LEVELS_ROW_SECONDS = 48, 0.05
SMALL_FILES_BYTES = 2_000_000


def earlier_results(folder):
    """Whether the folder open as `folder` holds an earlier run's results: a mark, or every top-level entry
    earlier versions wrote."""
    names = {entry.name for entry in os.scandir(folder)}
    return MARK in names or all(name in names for name in LEGACY if "/" not in name)


def check(folder, where, trust_ctime=False):
    """Raises Refusal unless the folder open as `folder` is empty or holds only what an earlier run wrote,
    unchanged; `where` names it."""
    found = read_mark(folder, where)
    ours = dict(found.entries) if found else {name: None for name in LEGACY | LEGACY_OPTIONAL}
    seen = set()
    try:
        for path, holder, name, kind in walk(folder):
            if path == MARK and found:
                continue
            # The first entry that is not the job's ends the walk: a home folder is not read whole.
            if path not in ours or kind == "other" or (kind == "folder" and ours[path] is not None):
                if kind == "folder":
                    inside = os.open(name, FOLDER, dir_fd=holder)
                    try:
                        nested = earlier_results(inside)
                    finally:
                        os.close(inside)
                    if nested:
                        raise Refusal(f"'{where}' holds '{path}', the main job's earlier results",
                                      "name a folder of its own in KELVANE_OUT")
                raise Refusal(f"'{where}' holds '{path}', which the main job did not write")
            if kind == "file" and ours[path] is not None and not unchanged(holder, name, ours[path], trust_ctime):
                raise Refusal(f"'{where}' holds '{path}', which changed since the main job wrote it")
            seen.add(path)
    except OSError as error:
        raise Refusal(f"cannot read the results folder '{where}': {reason(error)}", None) from None
    missing = sorted(LEGACY - seen)
    if not found and seen and missing:
        raise Refusal(f"'{where}' holds an incomplete earlier result of the main job (it lacks '{missing[0]}')")


def check_name(out):
    """Refuses a results folder named as the job's hidden work folders are, or inside one: such a folder is
    never taken for results."""
    parts = out.split("/")
    for depth, part in enumerate(parts[1:], 2):
        if WORK_FOLDER.fullmatch(part):
            folder = "/".join(parts[:depth])
            if folder == out:
                raise Refusal(f"'{out}' is named as the main job names its hidden work folders (.NAME.new-…, "
                              ".NAME.old-…), which are never results", "name another results folder in KELVANE_OUT")
            raise Refusal(f"'{out}' is inside '{folder}', named as the main job names its hidden work folders",
                          "name a folder outside it in KELVANE_OUT")


def check_not_nested(out):
    """Refuses a results folder inside an earlier run's results: replacing it would change them."""
    ancestor = os.path.dirname(out)
    while True:
        try:
            descriptor = os.open(ancestor, FOLDER)
        except OSError:
            descriptor = None
        if descriptor is not None:
            try:
                nested = earlier_results(descriptor)
            except OSError:
                nested = False
            finally:
                os.close(descriptor)
            if nested:
                raise Refusal(f"'{out}' is inside '{ancestor}', the main job's earlier results, which a run would "
                              "change", "name a folder outside them in KELVANE_OUT")
        if ancestor == os.path.dirname(ancestor):
            return
        ancestor = os.path.dirname(ancestor)


def results_bytes(output_bytes, seconds, demo_bytes=0):
    """What the results of a track need on disk: two outputs, the levels, the demo's input when generated and
    the small files."""
    rows = math.ceil(seconds / LEVELS_ROW_SECONDS) + 1
    return 2 * output_bytes + rows * LEVELS_ROW_BYTES + demo_bytes + SMALL_FILES_BYTES


def room(folder, where, output_bytes, seconds, demo_bytes):
    """Refuses results that cannot fit on the disk of the folder open as `folder`."""
    needed = results_bytes(output_bytes, seconds, demo_bytes)
    disk = os.fstatvfs(folder)
    # The demo's input is already on the disk.
    free = disk.f_bavail * disk.f_frsize + demo_bytes
    if needed > free:
        raise Refusal(f"the results need about {size_text(needed)} and the disk of '{where}' has "
                      f"{size_text(free)} free", "free some room or name another results folder in KELVANE_OUT")


def output_text(container, count):
    if container == "RF64":
        return f"the output will be an RF64 file (a WAV file holds at most 4 GiB) of {size_text(count)}"
    return f"the output will be a WAV file of {size_text(count)}"
