"""What a results folder may hold and be named, and the room its results need. The folder is replaced whole,
so it is taken only while it is empty or holds nothing but what an earlier run wrote, unchanged."""

import grp
import math
import os
import pwd
import re
import stat

from job_output import reason, shown, size_text

from . import Refusal
from .mark import FOLDER, LEGACY, LEGACY_OPTIONAL, MARK, listed, ours, read_mark, unchanged, user_name, walk

# The hidden folders beside the results that runs make: ".NAME.new-XXXXXXXX", ".NAME.old-XXXXXXXX" (and
# mktemp's six characters, as earlier versions made them).
WORK_FOLDER = re.compile(r"\.(?P<name>.+)\.(?P<kind>new|old)-[A-Za-z0-9_]{6,8}")
# What the results need beside the two outputs: the levels at one row of about 40 characters per 50 ms, and
# the pictures, report, transcripts and chunks, well under a megabyte on any track.
LEVELS_ROW_BYTES, LEVELS_ROW_SECONDS = 48, 0.05
SMALL_FILES_BYTES = 2_000_000


def earlier_results(folder):
    """Whether the folder open as `folder` holds an earlier run's results: a mark, or every top-level entry
    earlier versions wrote, each the runner's own (what another user put there is never the job's)."""
    def runners(name):
        try:
            return ours(os.stat(name, dir_fd=folder, follow_symlinks=False))
        except OSError:
            return False

    names = {name for name, _ in listed(folder)}
    legacy = [name for name in LEGACY if "/" not in name]
    return (MARK in names and runners(MARK)) or all(name in names and runners(name) for name in legacy)


def group_has_others(gid):
    """Whether a user other than the runner and root belongs to the group `gid`, by name or as their own."""
    others = set()
    try:
        others.update(pwd.getpwnam(name).pw_uid for name in grp.getgrgid(gid).gr_mem if name)
    except KeyError:
        pass
    others.update(user.pw_uid for user in pwd.getpwall() if user.pw_gid == gid)
    return bool(others - {os.geteuid(), 0})


def others_can_change(status, shared_ok=False):
    """Why a user other than the runner (and root) could add, replace or link names in the folder with this
    status, or None. `shared_ok`: a sticky folder (like /tmp) lets nobody rename or replace another's entries."""
    mode = stat.S_IMODE(status.st_mode)
    if not ours(status) and status.st_uid != 0:
        return f"belongs to another user ({user_name(status.st_uid)})"
    if shared_ok and mode & stat.S_ISVTX:
        return None
    if mode & stat.S_IWOTH:
        return f"can be written by other users (mode {mode:04o})"
    if mode & stat.S_IWGRP and group_has_others(status.st_gid):
        try:
            group = grp.getgrgid(status.st_gid).gr_name
        except KeyError:
            group = str(status.st_gid)
        return f"can be written by the group {group}, which has other members (mode {mode:04o})"
    return None


def check_trusted(status, where, parent=False):
    """Refuses the results folder, or its parent, when another user could change what the job writes there."""
    why = others_can_change(status, shared_ok=parent)
    if why:
        sticky = " and is not sticky" if parent and not status.st_mode & stat.S_ISVTX and "belongs" not in why else ""
        raise Refusal(f"{shown(where)} {why}{sticky}, so the main job will not write there",
                      "name a folder of your own in KELVANE_OUT")


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
                        raise Refusal(f"{shown(where)} holds {shown(path)}, the main job's earlier results",
                                      "name a folder of its own in KELVANE_OUT")
                raise Refusal(f"{shown(where)} holds {shown(path)}, which the main job did not write")
            if kind == "file" and ours[path] is not None and not unchanged(holder, name, ours[path], trust_ctime):
                raise Refusal(f"{shown(where)} holds {shown(path)}, which changed since the main job wrote it")
            seen.add(path)
    except OSError as error:
        raise Refusal(f"cannot read the results folder {shown(where)}: {reason(error)}", None) from None
    missing = sorted(LEGACY - seen)
    if not found and seen and missing:
        raise Refusal(f"{shown(where)} holds an incomplete earlier result of the main job (it lacks "
                      f"{shown(missing[0])})")


def check_name(out):
    """Refuses a results folder named as the job's hidden work folders are, or inside one: such a folder is
    never taken for results."""
    parts = out.split("/")
    for depth, part in enumerate(parts[1:], 2):
        if WORK_FOLDER.fullmatch(part):
            folder = "/".join(parts[:depth])
            if folder == out:
                raise Refusal(f"{shown(out)} is named as the main job names its hidden work folders (.NAME.new-…, "
                              ".NAME.old-…), which are never results", "name another results folder in KELVANE_OUT")
            raise Refusal(f"{shown(out)} is inside {shown(folder)}, named as the main job names its hidden work "
                          "folders",
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
                raise Refusal(f"{shown(out)} is inside {shown(ancestor)}, the main job's earlier results, which a run "
                              "would "
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
        raise Refusal(f"the results need about {size_text(needed)} and the disk of {shown(where)} has "
                      f"{size_text(free)} free", "free some room or name another results folder in KELVANE_OUT")


def output_text(container, count):
    if container == "RF64":
        return f"the output will be an RF64 file (a WAV file holds at most 4 GiB) of {size_text(count)}"
    return f"the output will be a WAV file of {size_text(count)}"
