"""One run's life with its results folder, as run.sh's companion (`results_folder.py serve OUT`).

The keeper opens the results folder's parent once and acts relative to it, never through a link; the results
folder itself it opens once and holds. It looks the path up again only at the swap, to see that the path still
names the folder it holds. It answers one line to each request on its standard input: "ok" (and a value) or
"no" once it has said why on stderr. Its first answer, on the results folder, is "ok results" or "ok empty".
"work" makes the work folder and answers its path; "room BYTES SECONDS DEMO_BYTES" compares what the results
need with the disk's free room; "scratch"/"unscratch" make and remove a private folder under TMPDIR for the job's
runtime files; "note" records what the work folder holds as a step ends; "mark" lists the results in the work
folder's mark; "swap" puts them in place. Stop signals are ignored: it ends when its standard input does, that is
after the job and all its children, and then removes what it made and did not hand over.

A live run holds an flock on the results folder and on its work folder; the kernel drops them when it dies,
however it dies, which is how a dead run's folders are told from a live one's. A run removes only what it made
while it lives, entry by entry, each file only while unchanged: its own work folder from what it recorded as each
step ended, and the results it replaces from their mark. What a dead run left beside the results it names, with
the command that removes it, and never removes: nothing a disk offers proves such a folder was not copied or
changed since. The one exception loses
nothing: results a run killed inside the swap left aside, when the results folder is missing and they are as
their mark says, are put back.

Nothing another user controls is trusted: a results folder or parent another user owns or can write (unless the
parent is sticky, as /tmp) is refused before anything is done; their folders, marks and locks are never the job's;
the work folder is private (0700) while the run writes in it. What the run says is written is on the disk first:
each step's files and the mark that lists them are synced as the step ends, every result before the swap, the parent
after it, and only then do the old results go.

For the tests: KELVANE_TEST_SWAP_PAUSE=FILE holds the swap back while FILE is there, and writes FILE.held once it
holds it; KELVANE_TEST_SWAP_GAP=S sleeps S seconds inside the swap (between its two renames, or after the
exchange); KELVANE_TEST_SWAP_FALLBACK=1 renames twice on any disk."""

import ctypes
import errno
import fcntl
import os
import secrets
import shutil
import signal
import stat
import sys
import tempfile
import time
from typing import NamedTuple

from job_output import reason, shell_word, shown

from . import FULL, Refusal
from .checks import (WORK_FOLDER, check, check_name, check_not_nested, check_trusted, group_has_others,
                     others_can_change, room)
from .mark import (FOLDER, MARK, MARK_HEADER, READ, TEMPORARY_MARK, Damaged, claim, ctime_is_real, held, listed,
                   listing, mark, open_plain, ours, read_mark, remove_listed, remove_mark, sync, unchanged, user_name,
                   walk, write_mark)

SCRATCH_CLAIM = ".kelvane-scratch"
RENAME_NOREPLACE, RENAME_EXCHANGE = 1, 2
# What a file system without a kind of rename or lock answers.
UNSUPPORTED = {errno.EINVAL, errno.ENOSYS, errno.EOPNOTSUPP}
LIBC = ctypes.CDLL(None, use_errno=True)


def locked_by_a_live_run(descriptor):
    try:
        fcntl.flock(descriptor, fcntl.LOCK_EX | fcntl.LOCK_NB)
        return False
    except BlockingIOError:
        return True


class Holder(NamedTuple):
    pid: int
    user: str
    arguments: tuple

    @property
    def a_run(self):
        """Whether the holder is a run's keeper."""
        return any(word.endswith("results_folder.py") and following == "serve"
                   for word, following in zip(self.arguments, self.arguments[1:]))

    def __str__(self):
        command = " ".join(self.arguments)
        command = command if len(command) <= 60 else command[:60] + "…"
        return f"{shown(command)} (process {self.pid}, user {self.user})"


def lock_holder(descriptor):
    """Who holds the flock on the file open as `descriptor`, as far as the system tells (/proc/locks), or None."""
    status = os.fstat(descriptor)
    key = f"{os.major(status.st_dev):02x}:{os.minor(status.st_dev):02x}:{status.st_ino}"

    def holds_it(pid):
        # btrfs names its disk in /proc/locks apart from what stat says: the holder's open files tell.
        for name in os.listdir(f"/proc/{pid}/fd"):
            try:
                opened = os.stat(f"/proc/{pid}/fd/{name}")
            except OSError:
                continue
            if (opened.st_dev, opened.st_ino) == (status.st_dev, status.st_ino):
                return True
        return False

    try:
        with open("/proc/locks") as locks:
            # "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; a waiter's line has "->" after the number.
            found = [line.split() for line in locks]
        pid = next(int(fields[4]) for fields in found if len(fields) > 5 and fields[1] == "FLOCK" and (
            fields[5] == key or fields[5].endswith(f":{status.st_ino}") and holds_it(fields[4])))
        with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
            arguments = tuple(os.fsdecode(word) for word in cmdline.read().split(b"\0")[:-1])
        return Holder(pid, user_name(os.stat(f"/proc/{pid}").st_uid), arguments)
    except (OSError, StopIteration, ValueError):
        return None


def busy_text(where, holder):
    """Who holds a lock that is not a run's, said as it is."""
    return f"{shown(where)} is locked by a program that is not a run of the main job: {holder}"


def full_disk_text(out, error_reason, had_results):
    previous = "the previous results are as they were" if had_results else "no results were written"
    return f"the disk of {shown(out)} is full ({error_reason}); {previous}"


def failure_text(out, text, had_results):
    """A step's errors as the job says them: a full disk the same way whichever step found it."""
    for number in FULL:
        if os.strerror(number).lower() in text.lower():
            return full_disk_text(out, reason(OSError(number, "")), had_results)
    return text


def fault_text(error):
    return f"{type(error).__name__}: {error} (a fault of the job; nothing further was touched)"


class ParentLock:
    """The short lock on the folder that holds the results folder: making and locking folders beside it, the
    look at what dead runs left and the swap take it, so that a second run never finds the path empty between
    the swap's two renames nor takes a work folder for a dead one before its run has locked it."""

    def __init__(self, run):
        self.run = run

    def __enter__(self):
        # A descriptor of its own, so that closing it lets go of the lock and nothing else.
        self.descriptor = os.open(".", FOLDER, dir_fd=self.run.parent_fd)
        for attempt in range(600):
            try:
                if not locked_by_a_live_run(self.descriptor):
                    return self
            except OSError as error:
                # A disk without locks is refused once the run makes its work folder.
                if error.errno not in UNSUPPORTED | {errno.ENOLCK}:
                    raise
                return self
            if attempt == 0:
                # Another run holds it for a moment; anything else may hold it for ever.
                holder = lock_holder(self.descriptor)
                if holder and not holder.a_run:
                    os.close(self.descriptor)
                    raise Refusal(busy_text(self.run.parent, holder), "try again once it has let go")
                self.run.say(f"run: another run is putting its results in place in {shown(self.run.parent)}; "
                             "waiting for it")
            time.sleep(0.1)
        os.close(self.descriptor)
        raise Refusal(f"{shown(self.run.parent)} has been locked for a minute, by another run or by a program the "
                      "system does not name", "try again when it has finished")

    def __exit__(self, *exception):
        os.close(self.descriptor)


class Run:
    """What one run of the job holds and made. Names of folders beside the results are relative to the parent,
    which is open as `parent_fd`."""

    def __init__(self, out, say):
        self.out, self.say = out, say
        self.parent, self.name = os.path.split(out)
        self.parent_fd = self.out_fd = self.work_fd = self.scratch_fd = None
        self.work = self.scratch = self.work_mark = self.old_mark = None
        self.made_out = self.had_results = self.swapped = self.keep_work = self.marked_out = False
        self.named_scratch = False
        self.listed = {}
        self.no_flock = None
        self.trust_ctime = False

    def at(self, name):
        return os.path.join(self.parent, name)

    def lstat(self, name):
        try:
            return os.stat(name, dir_fd=held(self.parent_fd), follow_symlinks=False)
        except FileNotFoundError:
            return None

    def rename(self, source, target, flags=RENAME_NOREPLACE, folder_fd=None):
        """renameat2 beside the results, or within `folder_fd`: RENAME_NOREPLACE fails rather than take the place
        of an empty folder; RENAME_EXCHANGE swaps the two at once. EINVAL, ENOSYS or EOPNOTSUPP where the disk has
        no such rename."""
        beside = folder_fd is None or folder_fd == self.parent_fd
        folder_fd = held(self.parent_fd if beside else folder_fd)
        if LIBC.renameat2(folder_fd, os.fsencode(source), folder_fd, os.fsencode(target), flags) != 0:
            number = ctypes.get_errno()
            raise OSError(number, os.strerror(number), self.at(source) if beside else source)

    def rename_aside(self, source, target, folder_fd=None):
        """Renames without taking the place of anything, where the disk can say so."""
        folder_fd = held(self.parent_fd if folder_fd is None else folder_fd)
        try:
            self.rename(source, target, folder_fd=folder_fd)
        except OSError as error:
            if error.errno not in UNSUPPORTED:
                raise
            try:
                os.stat(target, dir_fd=folder_fd, follow_symlinks=False)
                raise FileExistsError(errno.EEXIST, os.strerror(errno.EEXIST), target) from None
            except FileNotFoundError:
                pass
            os.rename(source, target, src_dir_fd=folder_fd, dst_dir_fd=folder_fd)

    def holds(self, name, descriptor):
        """Whether `name` beside the results still names the folder this run holds open as `descriptor` (an inode
        held open is not handed to another file)."""
        status, opened = self.lstat(name), os.fstat(descriptor)
        return status is not None and (status.st_dev, status.st_ino) == (opened.st_dev, opened.st_ino)

    def rename_held(self, source, descriptor, target, flags=None):
        """Renames `source` only while it is the folder this run holds open as `descriptor`: a folder put in its
        place is never moved. Without `flags`, takes the place of nothing."""
        if not self.holds(source, descriptor):
            raise Refusal(f"{shown(self.at(source))} is no longer the folder this run made", None)
        if flags is None:
            self.rename_aside(source, target)
        else:
            self.rename(source, target, flags)

    def visible_place(self):
        """A name beside the results nobody uses: NAME.kelvane-YYYYMMDD-HHMMSS."""
        base = f"{self.name}.kelvane-{time.strftime('%Y%m%d-%H%M%S')}"
        candidate, number = base, 1
        while self.lstat(candidate) is not None:
            number += 1
            candidate = f"{base}-{number}"
        return candidate

    def siblings(self, kinds=("new", "old")):
        """(name, descriptor, kind, mark) of the hidden folders beside the results named as runs name their work
        folders, that no live run holds and no other user could have changed; kind is the claim the folder's mark
        holds on it under its own name ("work" or "results"), "damaged" for a mark of the runner's that is empty
        or cut short (a power cut), or None. Each is locked while the caller looks at it."""
        device = os.fstat(self.parent_fd).st_dev
        for name, _ in listed(self.parent_fd):
            match = WORK_FOLDER.fullmatch(name)
            if not match or match["name"] != self.name or match["kind"] not in kinds:
                continue
            try:
                descriptor = os.open(name, FOLDER, dir_fd=self.parent_fd)
            except OSError:
                continue
            try:
                status = os.fstat(descriptor)
                if status.st_dev != device or not ours(status) or others_can_change(status) \
                        or locked_by_a_live_run(descriptor):
                    continue
                found = kind = None
                try:
                    found = read_mark(descriptor, self.at(name))
                    kind = found.claim[0] if found and found.claim and found.claim[1] == name else None
                except Damaged:
                    kind = "damaged"
                except (Refusal, OSError):
                    pass
                yield name, descriptor, kind, found
            except OSError:
                pass
            finally:
                os.close(descriptor)

    def put_back(self):
        """Puts back the previous results a run killed between the swap's two renames left aside, when the
        results folder is missing and they are as their mark says: a rename into a missing name loses nothing."""
        if self.lstat(self.name) is not None:
            return
        aside, held_open = {}, {}
        try:
            for name, descriptor, kind, _ in self.siblings(("old",)):
                if kind == "results":
                    try:
                        check(descriptor, self.at(name))
                        aside[name], held_open[name] = None, os.dup(descriptor)
                    except Refusal as refusal:
                        aside[name] = refusal.what
            if len(aside) == 1 and None in aside.values():
                name = next(iter(aside))
                # Only the folder that was checked is moved, never one put in its place since.
                self.rename_held(name, held_open[name], self.name)
                sync(self.parent_fd)
        finally:
            for descriptor in held_open.values():
                os.close(descriptor)
        if len(aside) == 1 and None in aside.values():
            self.say(f"run: put back the previous results in {shown(self.out)}, which a run stopped by force while "
                     f"it swapped them had left aside in {shown(self.at(name))}")
        elif len(aside) > 1:
            names = ", ".join(shown(self.at(name)) for name in aside)
            raise Refusal(f"{shown(self.out)} is missing, and {names} each hold results that runs stopped by force "
                          "left aside", f"move the one you want back to {shown(self.out)}, then run again")
        elif aside:
            raise Refusal(f"{shown(self.out)} is missing, and the previous results a run stopped by force left aside "
                          f"cannot be put back: {next(iter(aside.values()))}", f"move them back to {shown(self.out)} "
                          "yourself, or away, then run again")

    def not_recorded(self, descriptor, entries, most=3):
        """Up to `most` paths in the folder open as `descriptor` that are not as its mark records them."""
        found = []
        for path, holder, name, kind in walk(descriptor):
            recorded = entries.get(path, False)
            if path == MARK or TEMPORARY_MARK.fullmatch(path):
                continue
            if recorded is False or (kind == "folder") != (recorded is None) or kind == "other" or (
                    kind == "file" and not unchanged(holder, name, recorded, self.trust_ctime)):
                found.append(path)
                if len(found) == most:
                    break
        return found

    def name_leftovers(self):
        """Names what dead runs left beside the results, in a line for each kind, with one command that removes
        exactly what the line names; a folder that also holds what its run did not write is named by those
        files instead. Nothing is removed: nothing proves it is still as they left it."""
        groups, foreign = {"work": [], "results": [], "damaged": []}, []
        for name, descriptor, kind, found in self.siblings():
            if kind is None:
                continue
            odd = [] if kind == "damaged" else self.not_recorded(descriptor, found.entries)
            if odd:
                foreign.extend(os.path.join(self.at(name), path) for path in odd)
            else:
                groups[kind].append(self.at(name))
        texts = {"work": ("{} was left by a run of the main job that was stopped, and holds only what it wrote",
                          "{} folders beside {} were left by runs of the main job that were stopped, and hold only "
                          "what they wrote"),
                 "results": ("{} holds results that a run of the main job stopped by force left beside {}; remove "
                             "it once you have kept what you want of it",
                             "{} folders beside {} hold results that runs of the main job stopped by force left; "
                             "remove them once you have kept what you want of them"),
                 "damaged": ("{} was left by a run of the main job stopped as it wrote (its mark is empty or cut "
                             "short, as after a power cut); remove it if nothing in it is yours",
                             "{} folders beside {} were left by runs of the main job stopped as they wrote (their "
                             "marks are empty or cut short, as after a power cut); remove them if nothing in them "
                             "is yours")}
        for kind, paths in groups.items():
            if paths:
                one, many = texts[kind]
                line = one.format(shown(paths[0]), shown(self.out)) if len(paths) == 1 else \
                    many.format(len(paths), shown(self.parent))
                self.say(f"run: {line}: rm -rf -- {' '.join(shell_word(path) for path in paths)}")
        if foreign:
            self.say("run: folders that stopped runs of the main job left beside "
                     f"{shown(self.out)} also hold what those runs did not write, so they stay as they are: "
                     f"{', '.join(shown(path) for path in foreign[:5])}{', …' if len(foreign) > 5 else ''}")

    def start(self):
        check_name(self.out)
        try:
            self.parent_fd = os.open(self.parent, os.O_RDONLY | os.O_DIRECTORY | os.O_CLOEXEC)
        except OSError as error:
            raise Refusal(f"cannot use the folder {shown(self.parent)}: {reason(error)}", None) from None
        # What another user can change is refused before anything is touched; a sticky parent (/tmp) lets
        # nobody rename or replace the run's own folders.
        check_trusted(os.fstat(self.parent_fd), self.parent, parent=True)
        status = self.lstat(self.name)
        if status is not None and stat.S_ISDIR(status.st_mode):
            check_trusted(status, self.out)
        with ParentLock(self):
            self.put_back()
            check_not_nested(self.out)
            try:
                os.mkdir(self.name, dir_fd=self.parent_fd)
                self.made_out = True
            except FileExistsError:
                pass
            try:
                self.out_fd = os.open(self.name, FOLDER, dir_fd=self.parent_fd)
            except OSError as error:
                what = "it is a file, not a folder" if error.errno == errno.ENOTDIR else \
                    "it is a symbolic link" if error.errno == errno.ELOOP else reason(error)
                raise Refusal(f"cannot use the results folder {shown(self.out)}: {what}", None) from None
            if not self.made_out:
                check_trusted(os.fstat(self.out_fd), self.out)
            try:
                busy = locked_by_a_live_run(self.out_fd)
            except OSError as error:
                # A disk without locks is refused once the track is known to be taken.
                busy, self.no_flock = False, error
            if busy:
                self.made_out = False
                holder = lock_holder(self.out_fd)
                if holder and not holder.a_run:
                    raise Refusal(busy_text(self.out, holder), "try again once it has let go")
                raise Refusal(f"another run is writing {shown(self.out)}", "try again when it has finished")
            check(self.out_fd, self.out, self.trust_ctime)
            self.had_results = bool(listed(self.out_fd))
        return "results" if self.had_results else "empty"

    def make_work(self):
        with ParentLock(self):
            if self.no_flock is not None:
                raise Refusal(f"the disk of {shown(self.out)} cannot lock folders ({reason(self.no_flock)}), which "
                              "the main job needs to tell its runs apart", "name a results folder on another "
                              "disk in KELVANE_OUT")
            work = f".{self.name}.new-{secrets.token_hex(4)}"
            # Private while the run writes in it: nobody else can add, replace or link a name there.
            os.mkdir(work, 0o700, dir_fd=self.parent_fd)
            self.work_fd = os.open(work, FOLDER, dir_fd=self.parent_fd)
            self.work = work
            fcntl.flock(self.work_fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
            self.work_mark = write_mark(self.work_fd, self.at(work), [MARK_HEADER, MARK], "work", work, new=True)
            # After a power cut the folder comes back with its claim, for the next run to name.
            sync(self.work_fd)
            sync(self.parent_fd)
            # Until the disk is known, the check took only checksums as proof; it is probed in the run's own folder.
            self.trust_ctime = ctime_is_real(self.work_fd)
            self.name_leftovers()
        # The swap renames folders and the steps append to their transcripts: a disk that cannot (or that loses a
        # folder's files as it renames it, as one FUSE driver of vfat does) is found now, not after the renders.
        try:
            self.probe_disk()
        except Refusal:
            # What the probe made goes with the work folder.
            try:
                self.listed = listing(self.work_fd, self.listed, self.trust_ctime)
            except OSError:
                pass
            raise
        self.note()
        status = os.fstat(self.work_fd)
        # The job checks that the folder it enters by this path is this one.
        return f"{status.st_dev}:{status.st_ino} {self.at(work)}"

    def probe_disk(self):
        def refuse(what, error=None):
            return Refusal(f"the disk of {shown(self.out)} {what}{f' ({reason(error)})' if error else ''}, which the "
                           "main job needs to put its results in place", "name a results folder on another disk in "
                           "KELVANE_OUT")

        chunks = probe = None
        try:
            os.mkdir(".chunks", dir_fd=self.work_fd)
            chunks = os.open(".chunks", FOLDER, dir_fd=self.work_fd)
            probe = os.open(".probe", os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW | os.O_CLOEXEC, 0o600,
                            dir_fd=chunks)
            try:
                appending = os.open(".probe", os.O_WRONLY | os.O_APPEND | os.O_NOFOLLOW | os.O_CLOEXEC, dir_fd=chunks)
                os.write(appending, b"x")
                os.close(appending)
            except OSError as error:
                if error.errno in FULL:
                    raise
                raise refuse("cannot add to the end of a file", error) from None
            try:
                self.rename_aside(".chunks", "chunks", self.work_fd)
            except OSError as error:
                if error.errno in FULL:
                    raise
                raise refuse("cannot rename folders", error) from None
            # The folder is held open, so the probe is looked for, and removed, only in the folder the run made,
            # and only while it is the file the run made.
            try:
                found, made = os.stat(".probe", dir_fd=chunks, follow_symlinks=False), os.fstat(probe)
            except FileNotFoundError:
                raise refuse("loses what a folder holds as it renames it") from None
            if (found.st_dev, found.st_ino) == (made.st_dev, made.st_ino):
                os.unlink(".probe", dir_fd=chunks)
        except OSError as error:
            if error.errno in FULL:
                raise
            raise refuse("cannot make the results' files", error) from None
        finally:
            for descriptor in (probe, chunks):
                if descriptor is not None:
                    os.close(descriptor)

    def settle_mode(self):
        """The results keep the mode and group of the folder they replace when it is the runner's own, or are as
        readable as anything else the user writes; a disk without them (exFAT) takes what it can."""
        mask = os.umask(0)
        os.umask(mask)
        status = None if self.made_out else os.fstat(self.out_fd)
        own = status is not None and ours(status)
        # Never writable by others, whatever the umask: the next run would refuse its own results.
        fresh = 0o777 & ~mask & ~0o002 & ~(0o020 if group_has_others(os.fstat(self.work_fd).st_gid) else 0)
        for change in (lambda: own and os.fchown(self.work_fd, -1, status.st_gid),
                       lambda: os.fchmod(self.work_fd, stat.S_IMODE(status.st_mode) if own else fresh)):
            try:
                change()
            except OSError:
                pass

    def room(self, output_bytes, seconds, demo_bytes):
        room(self.out_fd, self.out, output_bytes, seconds, demo_bytes)

    def mark(self):
        """Lists the results in the work folder's mark. Every file and folder it lists is on the disk before
        the mark, and the mark before the swap: a power cut never leaves results that are not as their mark
        says."""
        self.note()
        self.settle_mode()
        self.sync_listed({})
        self.work_mark = mark(self.work_fd, self.at(self.work), "results", self.work, self.listed)
        sync(self.work_fd)

    def sync_listed(self, before):
        """Puts on the disk what the work folder holds that is not as in `before`, then the folder itself."""
        for path, facts in self.listed.items():
            if before.get(path, False) == facts and path in before:
                continue
            descriptor = os.open(path, FOLDER if facts is None else READ, dir_fd=self.work_fd)
            try:
                sync(descriptor)
            finally:
                os.close(descriptor)
        sync(self.work_fd)

    def make_scratch(self):
        """The job's runtime files (the display's FIFO, Xvfb's log, matplotlib's cache) live off the results
        disk, in a private folder. Those that dead runs left are named, in one line, once a run, never removed:
        nothing proves what they hold is as the run left it. Only the runner's own folders count, and nothing
        there is opened in a way that can wait (a FIFO put in a claim's place)."""
        if self.scratch:
            return self.scratch
        base = tempfile.gettempdir()
        if not self.named_scratch:
            self.named_scratch = True
            stale = []
            try:
                base_fd = os.open(base, os.O_RDONLY | os.O_DIRECTORY | os.O_CLOEXEC)
                try:
                    for name, kind in listed(base_fd):
                        if name.startswith("kelvane-job-") and kind == "folder" and self.stale_scratch(base_fd, name):
                            stale.append(os.path.join(base, name))
                finally:
                    os.close(base_fd)
            except OSError:
                pass
            if stale:
                what = f"{shown(stale[0])} was left by a run" if len(stale) == 1 else \
                    f"{len(stale)} folders in {shown(base)} were left by runs"
                self.say(f"run: {what} of the main job that {'was' if len(stale) == 1 else 'were'} stopped (display "
                         "logs and caches); remove them if nothing in them is yours: "
                         f"rm -rf -- {' '.join(shell_word(path) for path in stale)}")
        self.scratch = tempfile.mkdtemp(prefix="kelvane-job-")
        self.scratch_fd = os.open(self.scratch, FOLDER)
        fcntl.flock(self.scratch_fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW
        with open(os.open(SCRATCH_CLAIM, flags, 0o600, dir_fd=self.scratch_fd), "w") as file:
            file.write(f"{os.fstat(self.scratch_fd).st_ino}\n")
        return self.scratch

    @staticmethod
    def stale_scratch(base_fd, name):
        """Whether `name` under the temporary folder is a dead run's private folder: the runner's, claimed by
        a plain file of the runner's naming its inode, and held by no live run."""
        try:
            descriptor = os.open(name, FOLDER, dir_fd=base_fd)
        except OSError:
            return False
        try:
            status = os.fstat(descriptor)
            if not ours(status) or locked_by_a_live_run(descriptor):
                return False
            found = open_plain(descriptor, SCRATCH_CLAIM)
            if found is None:
                return False
            with os.fdopen(found[0], "rb") as file:
                return ours(found[1]) and file.read(64).strip() == str(status.st_ino).encode()
        except OSError:
            return False
        finally:
            os.close(descriptor)

    def remove_scratch(self):
        """Removes this run's own private folder, which it made (mkdtemp, private to the user) and holds locked
        for its life; only while its path still names that folder."""
        if self.scratch:
            base, name = os.path.split(self.scratch)
            try:
                parent = os.open(base, FOLDER)
                try:
                    status, opened = os.stat(name, dir_fd=parent, follow_symlinks=False), os.fstat(self.scratch_fd)
                    if (status.st_dev, status.st_ino) == (opened.st_dev, opened.st_ino):
                        shutil.rmtree(name, dir_fd=parent)
                finally:
                    os.close(parent)
            except OSError:
                pass
            os.close(self.scratch_fd)
            self.scratch = self.scratch_fd = None

    def keep_results(self, why):
        """After a swap that did not go through: the new results move to a visible folder beside the results
        folder, or stay where they are when they cannot; says where, in a Refusal."""
        place = self.visible_place()
        try:
            self.rename_held(self.work, self.work_fd, place)
        except (OSError, Refusal) as error:
            self.keep_work = True
            return Refusal(f"the results were not put in place, as {why}; the new results stay in "
                           f"{shown(self.at(self.work))} (they could not be moved to {shown(self.at(place))}: "
                           f"{reason(error) if isinstance(error, OSError) else error.what})", None)
        self.work = None
        sync(self.parent_fd)
        return Refusal(f"the results were not put in place, as {why}; the new results are in {shown(self.at(place))}",
                       None)

    def swap(self):
        """Puts the work folder in the results folder's place, once more checking under the parent's lock that
        the path still names the folder this run locked and that it still holds only the job's results."""
        pause = os.environ.get("KELVANE_TEST_SWAP_PAUSE")
        if pause and os.path.lexists(pause):
            with open(pause + ".held", "x"):
                pass
            while os.path.lexists(pause):
                time.sleep(0.05)
        gap = float(os.environ.get("KELVANE_TEST_SWAP_GAP", "0"))
        lock = ParentLock(self)
        try:
            lock.__enter__()
        except Refusal as refusal:
            # The renders are done: they are kept where the user can find them, and said.
            raise self.keep_results(refusal.what) from None
        try:
            if self.lstat(self.name) is None:
                self.rename_held(self.work, self.work_fd, self.name)
                self.swapped, self.work = True, None
                sync(self.parent_fd)
                return
            try:
                if not self.holds(self.name, self.out_fd):
                    raise Refusal(f"{shown(self.out)} is no longer the folder this run started with")
                check(self.out_fd, self.out, self.trust_ctime)
            except Refusal as refusal:
                raise self.keep_results(f"{refusal.what}; it stays as it is") from None
            try:
                old = self.exchange(gap)
            except (OSError, Refusal) as error:
                # Already said where the results are, or past the point where they were in place.
                if self.swapped or self.work is None or self.keep_work:
                    raise
                why = reason(error) if isinstance(error, OSError) else error.what
                raise self.keep_results(f"they could not be renamed ({why}); {shown(self.out)} is as it was") from None
            # The new results are in place on the disk before the old ones go and before the job says so.
            sync(self.parent_fd)
        finally:
            lock.__exit__()
        self.put_away(old)
        sync(self.parent_fd)

    def exchange(self, gap):
        """Swaps the two folders at once where the disk can, or renames twice; returns the name the previous
        results now have. Before it renames them they are claimed under that name."""
        # A mark the claim makes where there was none goes again should the swap not go through.
        self.marked_out = read_mark(self.out_fd, self.out) is None
        if not os.environ.get("KELVANE_TEST_SWAP_FALLBACK"):
            self.old_mark = claim(self.out_fd, self.out, self.work)
            sync(self.out_fd)
            try:
                self.rename_held(self.work, self.work_fd, self.name, RENAME_EXCHANGE)
                old, self.work, self.swapped = self.work, None, True
                time.sleep(gap)
                return old
            except OSError as error:
                if error.errno not in UNSUPPORTED:
                    raise
        # Two renames: a run killed between them leaves the previous results aside, claimed, and the next run
        # puts them back.
        old = f".{self.name}.old-{secrets.token_hex(4)}"
        self.old_mark = claim(self.out_fd, self.out, old)
        sync(self.out_fd)
        self.rename_held(self.name, self.out_fd, old)
        time.sleep(gap)
        try:
            self.rename_held(self.work, self.work_fd, self.name)
        except (OSError, Refusal) as error:
            try:
                self.rename_held(old, self.out_fd, self.name)
                where = f"{shown(self.out)} is as it was"
            except (OSError, Refusal):
                where = f"{shown(self.out)}, made again meanwhile, stays as it is; the previous results are in " \
                        f"{shown(self.at(old))}"
            why = reason(error) if isinstance(error, OSError) else error.what
            raise self.keep_results(f"they could not be renamed into place ({why}); {where}") from None
        self.work, self.swapped = None, True
        return old

    def clear(self, name, descriptor, entries, mark_text, found_in):
        """Removes the folder `name` beside the results, which this run holds open as `descriptor`, entry by
        entry from `entries`, each file only while unchanged, the mark last and only as the run wrote it, the
        folder once empty. What else it holds is moved to a visible folder beside the results, and said."""
        left = remove_listed(descriptor, entries, self.trust_ctime)
        if not left and remove_mark(descriptor, mark_text):
            if self.holds(name, descriptor):
                os.rmdir(name, dir_fd=self.parent_fd)
            return
        place = self.visible_place()
        self.rename_held(name, descriptor, place)
        if left:
            remove_mark(descriptor, mark_text)
        left = left or [MARK]
        names = ", ".join(shown(path) for path in left[:3]) + (", …" if len(left) > 3 else "")
        self.say(f"run: {names}, found in {found_in} and not as the main job wrote "
                 f"{'them, are' if len(left) > 1 else 'it, is'} kept in {shown(self.at(place))}")

    def put_away(self, old):
        """Removes the results the swap replaced, now at `old`, entry by entry from their mark."""
        entries = {}
        try:
            found = read_mark(self.out_fd, self.at(old))
            entries = found.entries if found else {}
            self.clear(old, self.out_fd, entries, self.old_mark, f"{shown(self.out)} as the run replaced it")
        except (OSError, Refusal) as error:
            why = reason(error) if isinstance(error, OSError) else error.what
            self.say(f"run: the new results are in {shown(self.out)}; the previous ones could not all be removed "
                     f"({why}); {self.left_text(old, entries)}")

    def left_text(self, old, entries):
        """What is left of the previous results at `old`, with a command that removes exactly that: the folder
        when it holds nothing else, else their files alone, the rest named as not theirs."""
        theirs, other = [], []
        try:
            for path, holder, name, kind in walk(self.out_fd):
                recorded = entries.get(path, False)
                if kind == "file" and recorded and unchanged(holder, name, recorded, self.trust_ctime):
                    theirs.append(path)
                elif path != MARK and (kind != "folder" or recorded is not None):
                    other.append(path)
        except OSError:
            other.append("…")
        where = self.at(old)
        if not other:
            return f"what is left of them is in {shown(where)}: rm -rf -- {shell_word(where)}"
        names = ", ".join(shown(path) for path in other[:3]) + (", …" if len(other) > 3 else "")
        text = f"{shown(where)} also holds {names}, which {'are' if len(other) > 1 else 'is'} not theirs and stays"
        if theirs:
            files = " ".join(shell_word(os.path.join(where, path)) for path in theirs)
            text += f"; what is left of them there: rm -f -- {files}"
        return text

    def note(self):
        """Records what the work folder holds, as each step ends: what the run removes of it later is only what
        is still as recorded. The record goes into the folder's mark, on the disk with what it lists, so that
        what a dead run left can be told from what was put there since; a disk too full for it keeps the record
        in memory, and the step that needs the room says so."""
        before = self.listed
        self.listed = listing(self.work_fd, self.listed, self.trust_ctime)
        try:
            self.sync_listed(before)
            self.work_mark = mark(self.work_fd, self.at(self.work), "work", self.work, self.listed)
        except OSError as error:
            if error.errno not in FULL:
                raise

    def remove_work(self):
        """Removes this run's own work folder, entry by entry from what the run recorded; a folder it cannot
        remove keeps its claim and is named."""
        if self.work_fd is None:
            return
        try:
            self.clear(self.work, self.work_fd, self.listed, self.work_mark,
                       f"its work folder {shown(self.at(self.work))}")
        except (OSError, Refusal) as error:
            try:
                write_mark(self.work_fd, self.at(self.work), [MARK_HEADER, MARK], "work", self.work, new=True)
            except (OSError, Refusal):
                pass
            why = reason(error) if isinstance(error, OSError) else error.what
            self.say(f"run: cannot remove its work folder {shown(self.at(self.work))} ({why}): "
                     f"rm -rf -- {shell_word(self.at(self.work))}")

    def finish(self, touch=True):
        """What a run made and did not hand over goes: its work folder, a results folder it made, still empty;
        then its locks. After a fault nothing is touched: the locks go, the rest stays for a later run to name."""
        if touch:
            self.remove_scratch()
        # Everything beside the results is reached through the parent, and only while it is open.
        if touch and self.parent_fd is not None:
            if self.work and not self.keep_work:
                self.remove_work()
            at_its_place = self.out_fd is not None and self.holds(self.name, self.out_fd)
            if self.old_mark and self.marked_out and not self.swapped and at_its_place:
                remove_mark(self.out_fd, self.old_mark)
            if self.made_out and not self.swapped and at_its_place:
                try:
                    os.rmdir(self.name, dir_fd=self.parent_fd)
                except OSError:
                    pass
        for descriptor in (self.out_fd, self.work_fd, self.scratch_fd, self.parent_fd):
            if descriptor is not None:
                os.close(descriptor)
        self.out_fd = self.work_fd = self.scratch_fd = self.parent_fd = None


def serve(out, say_stream=None):
    """Serves run.sh's requests on standard input; what the run did of its own accord goes to `say_stream`, by
    default the job's own standard output (descriptor 3)."""
    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, signal.SIG_IGN)
    if say_stream is None:
        try:
            say_stream = os.fdopen(3, "w", buffering=1)
        except OSError:
            say_stream = sys.stderr

    def say(text):
        try:
            print(text, file=say_stream, flush=True)
        except OSError:
            pass

    def tell(text):
        try:
            print(f"run: {text}", file=sys.stderr, flush=True)
        except OSError:
            pass

    run = Run(out, say)
    faulted = False

    def answer(action, *arguments):
        """Runs a request and answers it: whether it went through, None once the job is no longer there to read
        the answer."""
        nonlocal faulted
        reply = "no"
        if not faulted:
            try:
                result = action(*arguments)
                reply = "ok" if result is None else f"ok {result}"
                if "\n" in reply:
                    # An answer is one line: a path that holds a line break would be read as two.
                    raise Refusal(f"{shown(result)} holds a line break, which the main job cannot pass on", None)
            except Refusal as refusal:
                tell(str(refusal))
            except OSError as error:
                if error.errno in FULL:
                    tell(full_disk_text(out, reason(error), run.had_results))
                else:
                    tell(f"cannot use the results folder {shown(out)}: {reason(error)}")
            except Exception as error:  # noqa: BLE001 - whatever escapes is said in one line, never a traceback
                faulted = True
                tell(fault_text(error))
        try:
            print(reply, flush=True)
            return reply != "no"
        except OSError:
            # The job ended without waiting for the answer: what was done stands, and is said.
            if run.swapped and action == run.swap:
                tell(f"the new results are in {shown(out)}")
            return None

    def room(output_bytes, seconds, demo_bytes):
        run.room(int(output_bytes), float(seconds), int(demo_bytes))

    requests = {"work": run.make_work, "room": room, "scratch": run.make_scratch,
                "unscratch": run.remove_scratch, "note": run.note, "mark": run.mark, "swap": run.swap}
    try:
        if answer(run.start):
            for line in sys.stdin:
                request, *arguments = line.split() or [""]
                if request in requests and answer(requests[request], *arguments) is None:
                    break
        # Until the job ends: a keeper that ends earlier is one that died.
        for _ in sys.stdin:
            pass
    except Exception as error:  # noqa: BLE001
        faulted = True
        tell(fault_text(error))
    finally:
        try:
            run.finish(touch=not faulted)
        except Exception as error:  # noqa: BLE001
            tell(fault_text(error))
