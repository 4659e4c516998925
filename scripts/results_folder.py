#!/usr/bin/python3
"""The life of the main job's results folder (scripts/run.sh): the locks, the check, the sweep of what stopped
runs left, the work folder, the swap and the removal. The folder is replaced whole, so the job takes it only when
all it holds is what an earlier run wrote and the user has not changed since, and it removes or replaces only
what it can prove it made and is still as it made it; anything else stays where it is, and the run says so.

    results_folder.py serve OUT         run.sh's companion for a whole run; requests on standard input
    results_folder.py check OUT         refuses (one line, status 1) a folder holding anything else
    results_folder.py mark WORK         lists what WORK holds, with sizes and checksums, in WORK's mark
    results_folder.py output CONTAINER BYTES
                                        says what the output will be
    results_folder.py failed OUT TEXT   says a step's errors, a full disk in the job's own words

`serve` locks the results folder (made empty when missing), checks it and answers one line to each request:
"work" makes the work folder and answers its path, "room BYTES SECONDS DEMO_BYTES" compares what the results
need with the disk's free space, "scratch"/"unscratch" make and remove a private folder under TMPDIR for the
job's runtime files, "mark" lists the results in the work folder's mark, "swap" puts them in place. Stop
signals are ignored: it ends when its standard input does, that is after the job and all its children, and then
removes what it made and did not hand over. Answers start with "ok"; "no" means it has said why on stderr.

A run holds an flock on the results folder, its work folder and its private folder for as long as it lives; the
kernel drops them when it dies, however it dies, which is how a dead run's folders are told from a live one's.
Every folder a run makes carries its claim, a line of its mark recording the folder's inode and the mark's own
(a copy has others, a rename keeps them), so that a look-alike made by someone else is never taken for one.

For the tests: KELVANE_TEST_SWAP_PAUSE=FILE holds the swap back while FILE is there; KELVANE_TEST_SWAP_GAP=S
sleeps S seconds inside the swap (between its two renames, or after the exchange); KELVANE_TEST_SWAP_FALLBACK=1
renames twice on any disk."""

import ctypes
import errno
import fcntl
import hashlib
import math
import os
import re
import secrets
import shutil
import signal
import sys
import tempfile
import time

import job_output
from job_output import reason

MARK = ".kelvane-results"
MARK_HEADER = ("Written by Kelvane's main job (scripts/run.sh), which replaces this folder only while it holds "
               "no more than these entries, the files unchanged (size, time of change, SHA-256):")
# The claim's line has an empty name, so that readers of the mark before it skip it.
CLAIM = "\tclaim"
SCRATCH_CLAIM = ".kelvane-scratch"
# What the job's versions before the mark wrote: exactly this set (with or without the demo's input) is taken
# for an earlier run's results.
LEGACY = {"chunks", "chunks/elck.chunk", "chunks/juce.chunk", "chunks/second-elck.chunk",
          "chunks/second-juce.chunk", "kelvane-output.wav", "levels.csv", "levels.png", "levels.txt",
          "registered.txt", "render.txt", "report.md", "second-instance-output.wav", "window.png", "window.txt"}
LEGACY_OPTIONAL = {"demo-input.wav"}
# The hidden folders beside the results that runs make: ".NAME.new-XXXXXXXX", ".NAME.old-XXXXXXXX" (and
# mktemp's six characters, as earlier versions made them).
WORK_FOLDER = r"\.{name}\.(new|old)-[A-Za-z0-9_]{{6,8}}"
ADVICE = "move it away or name another results folder in KELVANE_OUT"
FULL = {errno.ENOSPC, errno.EDQUOT}
# What the results need beside the two outputs: the levels at one row of about 40 characters per 50 ms, and
# the pictures, report, transcripts and chunks, well under a megabyte on any track.
LEVELS_ROW_BYTES, LEVELS_ROW_SECONDS = 48, 0.05
SMALL_FILES_BYTES = 2_000_000
RENAME_NOREPLACE, RENAME_EXCHANGE = 1, 2
# What a file system without a kind of rename or lock answers.
UNSUPPORTED = {errno.EINVAL, errno.ENOSYS, errno.EOPNOTSUPP}


class Refusal(Exception):
    """What stops a run: `what` is the fact, the message adds what the user can do."""

    def __init__(self, what, advice=ADVICE):
        super().__init__(f"{what}; {advice}" if advice else what)
        self.what = what


def sha256(path):
    with open(path, "rb") as file:
        return hashlib.file_digest(file, "sha256").hexdigest()


def open_mark(folder):
    """The mark as a file, never through a link; None when there is none."""
    try:
        descriptor = os.open(os.path.join(folder, MARK), os.O_RDONLY | os.O_NOFOLLOW)
    except (FileNotFoundError, NotADirectoryError):
        return None
    except OSError as error:
        if error.errno == errno.ELOOP:
            return None
        raise
    file = os.fdopen(descriptor, encoding="utf-8", errors="replace")
    if not os.path.stat.S_ISREG(os.fstat(descriptor).st_mode):
        file.close()
        return None
    return file


def marked(folder):
    mark_file = open_mark(folder)
    if mark_file is not None:
        mark_file.close()
    return mark_file is not None


def read_mark(folder):
    """What the mark lists: name -> (size, mtime_ns, sha256), or None for a folder or an entry of an older
    mark, which lists names alone; and the claim it makes, (kind, folder's inode, mark's inode), or None."""
    entries, claim = {}, None
    with open_mark(folder) as file:
        next(file, None)
        for line in file:
            name, *facts = line.rstrip("\n").split("\t")
            if name:
                entries[name] = (int(facts[0]), int(facts[1]), facts[2]) if len(facts) == 3 else None
            elif len(facts) == 4 and facts[0] == CLAIM.strip():
                claim = (facts[1], int(facts[2]), int(facts[3]))
    return entries, claim


def claim_of(folder):
    """The kind of claim the folder at `folder` holds on itself ("work" or "results"), or None for one the job
    cannot prove its own: no mark, the mark of another folder (a copy), a link."""
    try:
        status = os.lstat(folder)
        file = open_mark(folder) if os.path.stat.S_ISDIR(status.st_mode) else None
        if file is None:
            return None
        with file:
            mark_inode = os.fstat(file.fileno()).st_ino
        _, claim = read_mark(folder)
    except (OSError, ValueError, IndexError):
        return None
    return claim[0] if claim and claim[1:] == (status.st_ino, mark_inode) else None


def changed(path, facts):
    """Whether a file differs from what the mark recorded. Size and time of change alike are taken as
    unchanged, as rsync and git do; otherwise the content decides, when the mark has it."""
    size, mtime_ns, digest = facts
    status = os.stat(path, follow_symlinks=False)
    if not os.path.stat.S_ISREG(status.st_mode) or status.st_size != size:
        return True
    return status.st_mtime_ns != mtime_ns and (not digest or sha256(path) != digest)


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


def earlier_results(folder):
    """Whether `folder` holds an earlier run's results: a mark, or every top-level entry earlier versions wrote."""
    if os.path.isfile(os.path.join(folder, MARK)):
        return True
    return all(os.path.lexists(os.path.join(folder, name)) for name in LEGACY if "/" not in name)


def check(folder):
    """Raises Refusal unless `folder` is empty or holds only what an earlier run wrote, unchanged."""
    has_mark = marked(folder)
    ours = read_mark(folder)[0] if has_mark else {name: None for name in LEGACY | LEGACY_OPTIONAL}
    ours.setdefault(MARK, None)
    found = set()
    try:
        for path, is_folder in entries_of(folder):
            # The first entry that is not the job's ends the walk: a home folder is not read whole.
            if path not in ours or (is_folder and ours[path] is not None):
                if is_folder and earlier_results(os.path.join(folder, path)):
                    raise Refusal(f"'{folder}' holds '{path}', the main job's earlier results",
                                  "name a folder of its own in KELVANE_OUT")
                raise Refusal(f"'{folder}' holds '{path}', which the main job did not write")
            if ours[path] is not None and changed(os.path.join(folder, path), ours[path]):
                raise Refusal(f"'{folder}' holds '{path}', which changed since the main job wrote it")
            found.add(path)
    except OSError as error:
        raise Refusal(f"cannot read the results folder '{folder}': {reason(error)}", None) from None
    missing = sorted(LEGACY - found)
    if not has_mark and found and missing:
        raise Refusal(f"'{folder}' holds an incomplete earlier result of the main job (it lacks '{missing[0]}')")


def check_not_nested(out):
    """Refuses a results folder inside an earlier run's results: replacing it would change them."""
    ancestor = os.path.dirname(out)
    while True:
        if earlier_results(ancestor):
            raise Refusal(f"'{out}' is inside '{ancestor}', the main job's earlier results, which a run would "
                          "change", "name a folder outside them in KELVANE_OUT")
        if ancestor == os.path.dirname(ancestor):
            return
        ancestor = os.path.dirname(ancestor)


def write_mark(folder, lines, kind):
    """Writes the mark: `lines`, then the claim of `folder` on itself."""
    path = os.path.join(folder, MARK)
    try:
        descriptor = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o666)
        with os.fdopen(descriptor, "w", encoding="utf-8") as file:
            claim = f"{CLAIM}\t{kind}\t{os.stat(folder).st_ino}\t{os.fstat(descriptor).st_ino}"
            file.write("\n".join(lines + [claim]) + "\n")
    except OSError as error:
        # A write that fails as the file closes names no file.
        error.filename = path
        raise


def facts(folder, path, digest=True):
    status = os.stat(os.path.join(folder, path))
    return f"{path}\t{status.st_size}\t{status.st_mtime_ns}\t{sha256(os.path.join(folder, path)) if digest else ''}"


def mark(work, kind="results"):
    """Writes the mark: every entry of the results, each file with its size, time of change and checksum."""
    lines = [MARK_HEADER, MARK]
    for path, is_folder in entries_of(work):
        if path != MARK:
            lines.append(path if is_folder else facts(work, path))
    write_mark(work, lines, kind)


def claim(folder):
    """Gives results the check has taken their claim, so that once set aside they are provably the job's: the
    mark keeps what it lists; an earlier version's results are listed by size and time of change."""
    if claim_of(folder) == "results":
        return
    if not marked(folder):
        lines = [MARK_HEADER, MARK] + [path if is_folder else facts(folder, path, digest=False)
                                       for path, is_folder in entries_of(folder)]
    else:
        with open_mark(folder) as file:
            lines = [line.rstrip("\n") for line in file if not line.startswith(CLAIM + "\t")]
        # An older mark lists its files by name alone: they get their size and time of change now, so that one
        # changed before its removal is kept.
        lines[1:] = [facts(folder, line, digest=False) if "\t" not in line and line != MARK
                     and os.path.isfile(os.path.join(folder, line)) and not os.path.islink(os.path.join(folder, line))
                     else line for line in lines[1:]]
    write_mark(folder, lines, "results")


def remove_results(folder):
    """Removes claimed results entry by entry from their mark, each file only while its size, time and checksum
    say it is unchanged (a name alone proves nothing); returns what else it found, which stays (its highest
    entries, the mark aside)."""
    ours, _ = read_mark(folder)
    # The deepest first, so that a folder is empty by the time it is reached.
    for path, is_folder in sorted(entries_of(folder), key=lambda entry: -entry[0].count("/")):
        full = os.path.join(folder, path)
        if path == MARK or path not in ours:
            continue
        if is_folder and ours[path] is None:
            try:
                os.rmdir(full)
            except OSError as error:
                if error.errno != errno.ENOTEMPTY:
                    raise
        elif not is_folder and ours[path] is not None and not changed(full, ours[path]):
            os.unlink(full)
    left = [path for path, is_folder in entries_of(folder) if path != MARK and not (is_folder and path in ours)]
    return sorted(path for path in left if not any(path.startswith(other + "/") for other in left))


def rename(source, target, flags=RENAME_NOREPLACE):
    """renameat2: RENAME_NOREPLACE fails rather than take the place of an empty folder; RENAME_EXCHANGE swaps
    the two at once. Raises OSError; EINVAL, ENOSYS or EOPNOTSUPP where the file system has no such rename."""
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.renameat2(-100, os.fsencode(source), -100, os.fsencode(target), flags) != 0:
        number = ctypes.get_errno()
        raise OSError(number, os.strerror(number), source)


def rename_aside(source, target):
    """Renames without taking the place of anything, where the file system can say so."""
    try:
        rename(source, target)
    except OSError as error:
        if error.errno not in UNSUPPORTED:
            raise
        if os.path.lexists(target):
            raise FileExistsError(errno.EEXIST, os.strerror(errno.EEXIST), target) from None
        os.rename(source, target)


def visible_place(out):
    """A name beside `out` nobody uses: OUT.kelvane-YYYYMMDD-HHMMSS."""
    base = f"{out}.kelvane-{time.strftime('%Y%m%d-%H%M%S')}"
    candidate, number = base, 1
    while os.path.lexists(candidate):
        number += 1
        candidate = f"{base}-{number}"
    return candidate


def results_bytes(output_bytes, seconds, demo_bytes=0):
    """What the results of a track need on disk: two outputs, the levels, the demo's input when generated and
    the small files."""
    rows = math.ceil(seconds / LEVELS_ROW_SECONDS) + 1
    return 2 * output_bytes + rows * LEVELS_ROW_BYTES + demo_bytes + SMALL_FILES_BYTES


def size_text(count):
    for unit, size in (("GB", 1e9), ("MB", 1e6), ("kB", 1e3)):
        if count >= size:
            return f"{count / size:.1f} {unit}"
    return f"{count} bytes"


def output_text(container, count):
    if container == "RF64":
        return f"the output will be an RF64 file (a WAV file holds at most 4 GiB) of {size_text(count)}"
    return f"the output will be a WAV file of {size_text(count)}"


def full_disk_text(out, error_reason):
    previous = "the previous results are as they were" if os.listdir(out) else "no results were written"
    return f"the disk of '{out}' is full ({error_reason}); {previous}"


def failure_text(out, text):
    """A step's errors as the job says them: a full disk the same way whichever step found it."""
    for number in FULL:
        if os.strerror(number).lower() in text.lower():
            return full_disk_text(out, reason(OSError(number, "")))
    return text


def locked_by_a_live_run(descriptor):
    try:
        fcntl.flock(descriptor, fcntl.LOCK_EX | fcntl.LOCK_NB)
        return False
    except BlockingIOError:
        return True


class ParentLock:
    """The short lock on the folder that holds the results folder: making and locking folders beside it, the
    sweep and the swap take it, so that a second run never finds the path empty between the swap's two renames
    nor takes a work folder for a dead one before its run has locked it."""

    def __init__(self, folder):
        self.folder = folder

    def __enter__(self):
        self.descriptor = os.open(self.folder, os.O_RDONLY | os.O_DIRECTORY)
        for _ in range(600):
            try:
                if not locked_by_a_live_run(self.descriptor):
                    return self
            except OSError as error:
                # A disk without locks is refused once the run makes its work folder.
                if error.errno not in UNSUPPORTED | {errno.ENOLCK}:
                    raise
                return self
            time.sleep(0.1)
        os.close(self.descriptor)
        raise Refusal(f"another run has held '{self.folder}' for a minute", "try again when it has finished")

    def __exit__(self, *exception):
        os.close(self.descriptor)


class Run:
    """What one run of the job holds and made."""

    def __init__(self, out, say):
        self.out, self.say = out, say
        self.parent, self.name = os.path.split(out)
        self.out_lock = self.work = self.work_lock = self.scratch = None
        self.made_out = self.swapped = False
        self.no_flock = None

    def siblings(self, kinds="new|old"):
        """The hidden folders beside the results a run may have made and no live run holds, each locked while
        the caller looks at it: (path, the kind of claim it carries or None)."""
        pattern = re.compile(WORK_FOLDER.format(name=re.escape(self.name)).replace("new|old", kinds))
        parent_device = os.stat(self.parent).st_dev
        with os.scandir(self.parent) as listing:
            names = sorted(entry.name for entry in listing if pattern.fullmatch(entry.name))
        for name in names:
            path = os.path.join(self.parent, name)
            try:
                descriptor = os.open(path, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW)
            except OSError:
                continue
            try:
                if os.fstat(descriptor).st_dev == parent_device and not locked_by_a_live_run(descriptor):
                    yield path, claim_of(path)
            except OSError:
                pass
            finally:
                os.close(descriptor)

    def put_back(self):
        """Puts back the previous results a run killed between the swap's two renames left aside."""
        if os.path.lexists(self.out):
            return
        aside = [path for path, kind in self.siblings("old") if kind == "results"]
        if aside:
            latest = max(aside, key=lambda path: os.stat(os.path.join(path, MARK)).st_mtime_ns)
            rename_aside(latest, self.out)
            self.say(f"run: put back the previous results in '{self.out}', which a run stopped by force while "
                     "it swapped them had left aside")

    def sweep(self):
        """Removes what runs stopped by force left beside the results, only what carries their claim."""
        removed = []
        for path, kind in self.siblings():
            name = os.path.basename(path)
            try:
                if kind == "work":
                    shutil.rmtree(path)
                    removed.append(name)
                elif kind == "results":
                    self.put_away(path, f"'{path}', left by a run stopped by force")
                    removed.append(name)
            except OSError as error:
                self.say(f"run: cannot remove '{path}', left by a run stopped by force: {reason(error)}; remove "
                         "it yourself")
        if removed:
            self.say(f"run: removed {', '.join(removed)} beside '{self.out}', left by "
                     f"{'runs' if len(removed) > 1 else 'a run'} stopped by force")

    def put_away(self, folder, where):
        """Removes claimed results; what else they hold is moved beside the results folder, and said."""
        left = remove_results(folder)
        if not left:
            os.unlink(os.path.join(folder, MARK))
            os.rmdir(folder)
            return
        place = visible_place(self.out)
        rename_aside(folder, place)
        os.unlink(os.path.join(place, MARK))
        shown = ", ".join(f"'{path}'" for path in left[:3]) + (", …" if len(left) > 3 else "")
        self.say(f"run: {shown}, found in {where} and not as the main job wrote "
                 f"{'them, are' if len(left) > 1 else 'it, is'} kept in '{place}'")

    def start(self):
        with ParentLock(self.parent):
            self.put_back()
            check_not_nested(self.out)
            try:
                os.mkdir(self.out)
                self.made_out = True
            except FileExistsError:
                pass
            try:
                self.out_lock = os.open(self.out, os.O_RDONLY | os.O_DIRECTORY)
            except OSError as error:
                raise Refusal(f"cannot read the results folder '{self.out}': {reason(error)}", None) from None
            try:
                held = locked_by_a_live_run(self.out_lock)
            except OSError as error:
                # A disk without locks is refused once the track is known to be taken.
                held, self.no_flock = False, error
            if held or os.stat(self.out)[1:3] != os.fstat(self.out_lock)[1:3]:
                self.made_out = False
                raise Refusal(f"another run is writing '{self.out}'", "try again when it has finished")
            check(self.out)

    def make_work(self):
        with ParentLock(self.parent):
            self.sweep()
            if self.no_flock is not None:
                raise Refusal(f"the disk of '{self.out}' cannot lock folders ({reason(self.no_flock)}), which "
                              "the main job needs to tell its runs apart", "name a results folder on another "
                              "disk in KELVANE_OUT")
            work = os.path.join(self.parent, f".{self.name}.new-{secrets.token_hex(4)}")
            os.mkdir(work)
            self.work = work
            self.work_lock = os.open(work, os.O_RDONLY | os.O_DIRECTORY)
            fcntl.flock(self.work_lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            write_mark(work, [MARK_HEADER, MARK], "work")
        # The swap renames folders: a disk that cannot is found now rather than after the renders.
        try:
            os.mkdir(os.path.join(work, ".chunks"))
            os.rename(os.path.join(work, ".chunks"), os.path.join(work, "chunks"))
        except OSError as error:
            if error.errno in FULL:
                raise
            raise Refusal(f"the disk of '{self.out}' cannot rename folders ({reason(error)}), which the main job "
                          "needs to put its results in place", "name a results folder on another disk in "
                          "KELVANE_OUT") from None
        # The results keep the mode and group of the folder they replace, or are as readable as anything else
        # the user writes; a disk without them (exFAT) takes what it can.
        mask = os.umask(0)
        os.umask(mask)
        status = None if self.made_out else os.stat(self.out)
        for change in (lambda: status and os.chown(work, -1, status.st_gid),
                       lambda: os.chmod(work, os.path.stat.S_IMODE(status.st_mode) if status else 0o777 & ~mask)):
            try:
                change()
            except OSError:
                pass
        return work

    def room(self, output_bytes, seconds, demo_bytes):
        needed = results_bytes(output_bytes, seconds, demo_bytes)
        disk = os.statvfs(self.out)
        # The demo's input is already on the disk.
        free = disk.f_bavail * disk.f_frsize + demo_bytes
        if needed > free:
            raise Refusal(f"the results need about {size_text(needed)} and the disk of '{self.out}' has "
                          f"{size_text(free)} free", "free some room or name another results folder in KELVANE_OUT")

    def make_scratch(self):
        """The job's runtime files (the display's FIFO, Xvfb's log, matplotlib's cache) live off the results
        disk, in a private folder; those of runs stopped by force go first."""
        if self.scratch:
            return self.scratch
        base = tempfile.gettempdir()
        with os.scandir(base) as listing:
            stale = [entry.path for entry in listing
                     if entry.name.startswith("kelvane-job-") and entry.is_dir(follow_symlinks=False)]
        for path in stale:
            try:
                descriptor = os.open(path, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW)
                try:
                    with open(os.path.join(path, SCRATCH_CLAIM)) as file:
                        ours = file.read().strip() == str(os.fstat(descriptor).st_ino)
                    if ours and not locked_by_a_live_run(descriptor):
                        shutil.rmtree(path)
                finally:
                    os.close(descriptor)
            except OSError:
                pass
        self.scratch = tempfile.mkdtemp(prefix="kelvane-job-")
        self.scratch_lock = os.open(self.scratch, os.O_RDONLY | os.O_DIRECTORY)
        fcntl.flock(self.scratch_lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        with open(os.path.join(self.scratch, SCRATCH_CLAIM), "w") as file:
            file.write(f"{os.fstat(self.scratch_lock).st_ino}\n")
        return self.scratch

    def remove_scratch(self):
        if self.scratch:
            shutil.rmtree(self.scratch, ignore_errors=True)
            os.close(self.scratch_lock)
            self.scratch = None

    def swap(self):
        """Puts the work folder in the results folder's place, once more checking under the parent's lock that
        the path still names the folder this run locked and that it still holds only the job's results."""
        pause = os.environ.get("KELVANE_TEST_SWAP_PAUSE")
        while pause and os.path.lexists(pause):
            time.sleep(0.05)
        gap = float(os.environ.get("KELVANE_TEST_SWAP_GAP", "0"))
        with ParentLock(self.parent):
            try:
                status = os.lstat(self.out)
            except FileNotFoundError:
                status = None
            if status is None:
                rename_aside(self.work, self.out)
                self.swapped = True
                return
            try:
                if status[1:3] != os.fstat(self.out_lock)[1:3]:
                    raise Refusal(f"'{self.out}' is no longer the folder this run started with")
                check(self.out)
            except Refusal as refusal:
                place = visible_place(self.out)
                rename_aside(self.work, place)
                self.work, self.made_out = None, False
                raise Refusal(f"the results were not put in place, as {refusal.what}; it stays as it is and the new "
                              f"results are in '{place}'", None)
            claim(self.out)
            old = self.work
            try:
                if os.environ.get("KELVANE_TEST_SWAP_FALLBACK"):
                    raise OSError(errno.EINVAL, "forced")
                rename(self.work, self.out, RENAME_EXCHANGE)
                time.sleep(gap)
            except OSError as error:
                if error.errno not in UNSUPPORTED:
                    raise
                # Two renames: a run killed between them leaves the previous results aside, claimed, and the
                # next run puts them back.
                old = os.path.join(self.parent, f".{self.name}.old-{secrets.token_hex(4)}")
                rename_aside(self.out, old)
                time.sleep(gap)
                try:
                    os.rename(self.work, self.out)
                except OSError:
                    os.rename(old, self.out)
                    raise
            self.swapped, self.work = True, None
        self.put_away(old, f"'{self.out}' as the run replaced it")

    def finish(self):
        """What a run made and did not hand over goes: its work folder, a results folder it made, still empty;
        then its locks."""
        self.remove_scratch()
        if self.work and not self.swapped:
            shutil.rmtree(self.work, ignore_errors=True)
        if self.made_out and not self.swapped:
            try:
                if os.stat(self.out)[1:3] == os.fstat(self.out_lock)[1:3]:
                    os.rmdir(self.out)
            except OSError:
                pass
        for descriptor in (self.out_lock, self.work_lock):
            if descriptor is not None:
                os.close(descriptor)
        self.out_lock = self.work_lock = None


def serve(out):
    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, signal.SIG_IGN)
    try:
        say_stream = os.fdopen(3, "w", buffering=1)
    except OSError:
        say_stream = sys.stderr

    def say(text):
        print(text, file=say_stream, flush=True)

    run = Run(out, say)

    def answer(action, *arguments):
        try:
            result = action(*arguments)
            print("ok" if result is None else f"ok {result}", flush=True)
            return True
        except Refusal as refusal:
            print(f"run: {refusal}", file=sys.stderr, flush=True)
        except OSError as error:
            what = reason(error)
            if error.errno in FULL:
                text = full_disk_text(out, what)
            elif action == run.swap:
                text = f"could not put the results in place in '{out}': {what}; the previous results are as they were"
            else:
                text = f"cannot use '{error.filename or out}': {what}"
            print(f"run: {text}", file=sys.stderr, flush=True)
        print("no", flush=True)
        return False

    try:
        if answer(run.start):
            for line in sys.stdin:
                request, *arguments = line.split() or [""]
                if request == "work":
                    answer(run.make_work)
                elif request == "room":
                    answer(run.room, int(arguments[0]), float(arguments[1]), int(arguments[2]))
                elif request == "scratch":
                    answer(run.make_scratch)
                elif request == "unscratch":
                    answer(run.remove_scratch)
                elif request == "mark":
                    answer(mark, run.work)
                elif request == "swap":
                    answer(run.swap)
    finally:
        run.finish()


def main():
    commands = {"serve": 3, "check": 3, "mark": 3, "output": 4, "failed": 4}
    if len(sys.argv) != commands.get(sys.argv[1] if len(sys.argv) > 1 else "", 0):
        sys.exit(__doc__.split("\n\n")[1])
    command, folder = sys.argv[1], sys.argv[2]
    try:
        if command == "serve":
            serve(folder)
        elif command == "check":
            check(folder)
        elif command == "mark":
            mark(folder)
        elif command == "output":
            print(output_text(folder, int(sys.argv[3])))
        else:
            text = failure_text(folder, sys.argv[3])
            print(text if text == sys.argv[3] else f"run: {text}", file=sys.stderr)
            sys.exit(1)
    except Refusal as refusal:
        sys.exit(f"run: {refusal}")
    except OSError as error:
        sys.exit(f"run: cannot {'write' if command == 'mark' else 'read'} '{error.filename or folder}': "
                 f"{reason(error)}")


if __name__ == "__main__":
    job_output.run("run", main)
