"""The mark: the file `.kelvane-results` in every folder a run makes. It lists what the folder holds, each file
with its size, time of change, SHA-256, inode and time of status change, and ends with the folder's claim: its
kind ("work" or "results") and the name the run gave it. It is read only as a plain file, never through a
link, and refused whole when any line is not as a run writes it.

What it proves. A file is as the job wrote it only while its SHA-256 is the one recorded; inode, size, time of
change and time of status change all as recorded stand for the checksum, as in git's index, on a disk whose
time of status change is real (nobody can set it back). A claim proves little: it can be copied with the
folder. So a run acts on a claim only by renaming into a missing results folder, which loses nothing, and
otherwise only names what it finds."""

import errno
import hashlib
import os
import pwd
import re
import stat
from typing import NamedTuple

from job_output import shown

from . import Refusal

MARK = ".kelvane-results"
MARK_HEADER = ("Written by Kelvane's main job (scripts/run.sh), which replaces this folder only while it holds "
               "no more than these entries, the files unchanged (size, time of change, SHA-256):")
# What the job's versions before the mark wrote: exactly this set (with or without the demo's input) is taken
# for an earlier run's results.
LEGACY = {"chunks", "chunks/elck.chunk", "chunks/juce.chunk", "chunks/second-elck.chunk",
          "chunks/second-juce.chunk", "kelvane-output.wav", "levels.csv", "levels.png", "levels.txt",
          "registered.txt", "render.txt", "report.md", "second-instance-output.wav", "window.png", "window.txt"}
LEGACY_OPTIONAL = {"demo-input.wav"}
KINDS = ("work", "results")
# A mark being written; a power cut between its sync and its rename leaves one behind.
TEMPORARY_MARK = re.compile(r"\.kelvane-results\.[0-9a-f]{8}")
# A mark lists a few dozen entries; anything much bigger is not one.
MARK_BYTES_AT_MOST = 1 << 20
READ = os.O_RDONLY | os.O_NOFOLLOW | os.O_NONBLOCK | os.O_CLOEXEC
FOLDER = os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW | os.O_CLOEXEC
NUMBER = re.compile(r"-?[0-9]+")
DIGEST = re.compile(r"[0-9a-f]{64}")
# What opening a name that is no plain file can answer: gone, a FIFO without a writer, a link.
NOT_A_FILE = {errno.ENOENT, errno.ENXIO, errno.ENOTDIR, errno.ELOOP}
# What a file system that cannot sync a kind of file answers (FUSE without fsyncdir, for one): nothing more can
# be done there.
CANNOT_SYNC = {errno.EINVAL, errno.ENOSYS, errno.EOPNOTSUPP}
MOVE_ADVICE = "move the folder away or name another results folder in KELVANE_OUT"


class Facts(NamedTuple):
    """What the mark records of a file; marks of earlier versions lack the inode and time of status change, and
    results of earlier versions claimed by them the checksum ("")."""
    size: int
    mtime_ns: int
    digest: str
    inode: int = None
    ctime_ns: int = None


class Damaged(Refusal):
    """A mark the job may have begun and not finished (empty, cut short, garbled): a power cut or a full disk
    leaves such marks, a user rarely does."""


class Mark(NamedTuple):
    entries: dict       # relative path -> Facts, or None for a folder (or a file an earlier version named alone)
    claim: tuple        # (kind, name the run gave the folder), or None


def user_name(uid):
    try:
        return pwd.getpwuid(uid).pw_name
    except KeyError:
        return f"user {uid}"


def ours(status):
    """Whether a file or folder is the runner's own: what another user owns is never the job's."""
    return status.st_uid == os.geteuid()


def sync(descriptor):
    """Puts what the file or folder open as `descriptor` holds on the disk."""
    try:
        os.fsync(descriptor)
    except OSError as error:
        if error.errno not in CANNOT_SYNC:
            raise


def held(folder):
    """`folder` as a descriptor: a None where one belongs would make the system's calls act on the current folder."""
    if not isinstance(folder, int):
        raise TypeError(f"a folder's descriptor was expected, not {folder!r}")
    return folder


def file_facts(status, digest):
    return Facts(status.st_size, status.st_mtime_ns, digest, status.st_ino, status.st_ctime_ns)


def facts_text(facts):
    return "\t".join(str(fact) for fact in facts)


def sha256(descriptor):
    with os.fdopen(os.dup(descriptor), "rb") as file:
        file.seek(0)
        return hashlib.file_digest(file, "sha256").hexdigest()


def relative_name(name):
    return bool(name) and not name.startswith("/") and all(part not in ("", ".", "..") for part in name.split("/"))


def parse(text, where):
    """The mark's text as a Mark; Refusal naming the first line that is not as a run writes it."""
    lines = text.split("\n")
    if lines[-1] == "":
        lines.pop()
    if not lines or not lines[0].strip():
        raise Damaged(f"{shown(where)} is not the main job's mark: it has no heading", MOVE_ADVICE)
    entries, claim = {}, None
    for number, line in enumerate(lines[1:], 2):
        name, *facts = line.split("\t")
        if not name and len(facts) == 3 and facts[0] == "claim" and facts[1] in KINDS and relative_name(facts[2]) \
                and "/" not in facts[2]:
            claim = (facts[1], facts[2])
        elif not name and len(facts) == 4 and facts[0] == "claim" and all(map(NUMBER.fullmatch, facts[2:])):
            pass  # An earlier version's claim, by inode numbers, which a copy can have too: it proves nothing.
        elif relative_name(name) and not facts:
            entries[name] = None
        elif relative_name(name) and len(facts) in (3, 5) and all(NUMBER.fullmatch(fact) for fact in facts[:2] + facts[3:]) \
                and int(facts[0]) >= 0 and (facts[2] == "" or DIGEST.fullmatch(facts[2])):
            entries[name] = Facts(int(facts[0]), int(facts[1]), facts[2], *map(int, facts[3:]))
        else:
            start = line if len(line) <= 60 else line[:60] + "…"
            raise Damaged(f"{shown(where)} is damaged at line {number} ({start!r}): not as the main job writes it",
                          MOVE_ADVICE)
    return Mark(entries, claim)


def read_mark(folder, where):
    """The mark of the folder open as `folder` (`where` names the folder in messages), or None when it has none.
    Anything else at the mark's name (a link, a folder, an empty or damaged file) is a Refusal."""
    held(folder)
    path = os.path.join(where, MARK)
    try:
        descriptor = os.open(MARK, READ, dir_fd=folder)
    except FileNotFoundError:
        return None
    except OSError as error:
        if error.errno == errno.ELOOP:
            raise Refusal(f"{shown(path)} is a symbolic link, not the main job's mark", MOVE_ADVICE) from None
        error.filename = path
        raise
    status = os.fstat(descriptor)
    if not stat.S_ISREG(status.st_mode) or not ours(status):
        os.close(descriptor)
        what = "a folder" if stat.S_ISDIR(status.st_mode) else "not a plain file" if not stat.S_ISREG(
            status.st_mode) else f"another user's ({user_name(status.st_uid)})"
        raise Refusal(f"{shown(path)} is {what}, not the main job's mark", MOVE_ADVICE)
    with os.fdopen(descriptor, "rb") as file:
        data = file.read(MARK_BYTES_AT_MOST + 1)
    if not data:
        raise Damaged(f"{shown(path)} is empty, not the main job's mark", MOVE_ADVICE)
    if len(data) > MARK_BYTES_AT_MOST:
        raise Refusal(f"{shown(path)} is too big to be the main job's mark", MOVE_ADVICE)
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        raise Damaged(f"{shown(path)} is not text, not the main job's mark", MOVE_ADVICE) from None
    return parse(text, path)


def write_mark(folder, where, lines, kind, name, new=False):
    """Writes the mark of the folder open as `folder`: `lines`, then the claim; returns what it wrote, on the
    disk by then. A mark is written whole under a name of its own and renamed over the old one, so that a power
    cut or a full disk leaves the old mark or the new, never half of one, and no write reaches a file elsewhere;
    an existing mark is replaced only while it is a plain file of the folder's alone (no link, no other name).
    `new` insists that there is none yet."""
    held(folder)
    path = os.path.join(where, MARK)
    text = "\n".join(lines + [f"\tclaim\t{kind}\t{name}"]) + "\n"
    if not new:
        try:
            status = os.stat(MARK, dir_fd=folder, follow_symlinks=False)
            if stat.S_ISLNK(status.st_mode):
                raise Refusal(f"{shown(path)} is a symbolic link, not the main job's mark", MOVE_ADVICE)
            if not stat.S_ISREG(status.st_mode) or status.st_nlink != 1:
                raise Refusal(f"{shown(path)} has another name elsewhere, so the main job does not write it",
                              MOVE_ADVICE)
        except FileNotFoundError:
            pass
    written = MARK if new else f"{MARK}.{os.urandom(4).hex()}"  # as TEMPORARY_MARK
    flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW | os.O_CLOEXEC
    try:
        descriptor = os.open(written, flags, 0o666, dir_fd=folder)
    except OSError as error:
        error.filename = path
        raise
    try:
        with os.fdopen(descriptor, "w", encoding="utf-8", closefd=False) as file:
            file.write(text)
        sync(descriptor)
        if not new:
            os.rename(written, MARK, src_dir_fd=folder, dst_dir_fd=folder)
        sync(folder)
    except BaseException as error:
        if not new:
            remove_made(folder, written, descriptor)
        if isinstance(error, OSError):
            error.filename = path
        raise
    finally:
        os.close(descriptor)
    return text


def remove_made(folder, name, descriptor):
    """Removes `name` in the folder open as `folder` only while it is the file this run holds open as
    `descriptor`."""
    try:
        status, made = os.stat(name, dir_fd=folder, follow_symlinks=False), os.fstat(descriptor)
        if (status.st_dev, status.st_ino) == (made.st_dev, made.st_ino):
            os.unlink(name, dir_fd=folder)
    except OSError:
        pass


def remove_mark(folder, text):
    """Removes the mark of the folder open as `folder` only while it holds `text`, what the run wrote last;
    whether it did."""
    held(folder)
    found = open_plain(folder, MARK)
    if found is None:
        return False
    descriptor, status = found
    with os.fdopen(descriptor, "rb") as file:
        if status.st_nlink != 1 or file.read(MARK_BYTES_AT_MOST + 1) != text.encode("utf-8"):
            return False
    os.unlink(MARK, dir_fd=folder)
    return True


def open_plain(folder, name):
    """A descriptor of the plain file `name` in the folder open as `folder`, and its status, never through a link;
    None for anything else (a FIFO is not waited on)."""
    held(folder)
    try:
        descriptor = os.open(name, READ, dir_fd=folder)
    except OSError as error:
        if error.errno in NOT_A_FILE:
            return None
        raise
    status = os.fstat(descriptor)
    if not stat.S_ISREG(status.st_mode):
        os.close(descriptor)
        return None
    return descriptor, status


def entry_facts(folder, name):
    """The facts of the plain file `name` in the folder open as `folder`, read through one descriptor; None for
    anything else."""
    found = open_plain(folder, name)
    if found is None:
        return None
    descriptor, status = found
    try:
        return file_facts(status, sha256(descriptor))
    finally:
        os.close(descriptor)


def unchanged(folder, name, recorded, trust_ctime):
    """Whether the file `name` holds what the job wrote: the checksum decides, unless inode, size, time of change
    and time of status change are all as recorded on a disk where the last is real."""
    found = open_plain(folder, name)
    if found is None:
        return False
    descriptor, status = found
    try:
        if status.st_size != recorded.size:
            return False
        if trust_ctime and recorded.inode is not None and (status.st_ino, status.st_mtime_ns, status.st_ctime_ns) \
                == (recorded.inode, recorded.mtime_ns, recorded.ctime_ns):
            return True
        return bool(recorded.digest) and sha256(descriptor) == recorded.digest
    finally:
        os.close(descriptor)


def kind_of(entry):
    if entry.is_dir(follow_symlinks=False):
        return "folder"
    return "file" if entry.is_file(follow_symlinks=False) else "other"


def listed(folder):
    """(name, kind) of every entry of the folder open as `folder`, sorted. Each listing goes through a
    descriptor of its own: on btrfs a descriptor listed before lists the folder as it was then."""
    descriptor = os.open(".", FOLDER, dir_fd=held(folder))
    try:
        with os.scandir(descriptor) as entries:
            return sorted((entry.name, kind_of(entry)) for entry in entries)
    finally:
        os.close(descriptor)


def walk(folder):
    """(relative path, descriptor of the folder holding it, name, "folder"/"file"/"other") of every entry below
    the folder open as `folder`, by descriptor, never through a link; a folder is entered only when the caller
    asks for the entry after it, so a caller that stops at an entry never reads what it holds."""
    pending = [(os.open(".", FOLDER, dir_fd=held(folder)), "")]
    try:
        while pending:
            descriptor, prefix = pending.pop()
            try:
                for name, kind in listed(descriptor):
                    yield prefix + name, descriptor, name, kind
                    if kind == "folder":
                        pending.append((os.open(name, FOLDER, dir_fd=descriptor), f"{prefix}{name}/"))
            finally:
                os.close(descriptor)
    finally:
        for descriptor, _ in pending:
            os.close(descriptor)


def listing(folder, known=None, trust_ctime=False):
    """Every entry the folder open as `folder` holds but its mark: relative path -> the file's facts, or None for
    a folder. A file's facts in `known` are taken again, unread, where the fast path of `unchanged` holds."""
    entries = {}
    for path, holder, entry, kind in walk(folder):
        if path == MARK:
            continue
        if kind == "folder":
            entries[path] = None
        elif kind == "file":
            recorded = (known or {}).get(path)
            facts = recorded if recorded is not None and trust_ctime and recorded.inode is not None \
                and unchanged(holder, entry, recorded, True) else entry_facts(holder, entry)
            if facts is not None:
                entries[path] = facts
    return entries


def mark(folder, where, kind="results", name=None, entries=None):
    """Writes the mark of the folder open as `folder`: `entries` (by default every entry it holds), each file
    with its facts."""
    entries = listing(folder) if entries is None else entries
    lines = [MARK_HEADER, MARK] + [path if facts is None else f"{path}\t{facts_text(facts)}"
                                   for path, facts in entries.items()]
    return write_mark(folder, where, lines, kind, name or os.path.basename(where))


def claim(folder, where, name):
    """Gives results the check has taken a claim under `name`, the name they are about to be moved to, and
    each file the facts that let it go later. Only what the check took is listed: an earlier version's results,
    listed by name alone or not at all, get the facts of what they hold now; anything that came since is left
    out, so it stays."""
    found = read_mark(folder, where)
    ours = found.entries if found else {path: None for path in LEGACY | LEGACY_OPTIONAL}
    lines = [MARK_HEADER, MARK]
    for path, holder, entry, kind in walk(folder):
        recorded = ours.get(path, False)
        if path == MARK or recorded is False:
            continue
        if kind == "folder" and recorded is None:
            lines.append(path)
        elif kind == "file" and recorded is None:
            facts = entry_facts(holder, entry)
            if facts is not None:
                lines.append(f"{path}\t{facts_text(facts)}")
        elif kind == "file" and recorded is not None:
            if recorded.inode is None and unchanged(holder, entry, recorded, False):
                recorded = entry_facts(holder, entry)
            lines.append(f"{path}\t{facts_text(recorded)}")
    return write_mark(folder, where, lines, "results", name)


def remove_listed(folder, entries, trust_ctime):
    """Removes what the folder open as `folder` holds entry by entry from `entries`, each file only while
    unchanged (a name alone proves nothing), each folder once empty; returns what else it found, which stays
    (its highest entries; the mark stays too)."""
    held(folder)
    left = []

    def remove_below(descriptor, prefix):
        for name, kind in listed(descriptor):
            path = prefix + name
            if path == MARK:
                continue
            if kind == "folder" and path in entries and entries[path] is None:
                below = os.open(name, FOLDER, dir_fd=descriptor)
                try:
                    remove_below(below, path + "/")
                finally:
                    os.close(below)
                try:
                    os.rmdir(name, dir_fd=descriptor)
                except OSError as error:
                    # What it still holds is among what is left.
                    if error.errno != errno.ENOTEMPTY:
                        raise
            elif kind == "file" and entries.get(path) is not None and unchanged(descriptor, name, entries[path],
                                                                                trust_ctime):
                os.unlink(name, dir_fd=descriptor)
            else:
                left.append(path)

    remove_below(folder, "")
    return left


def ctime_is_real(folder):
    """Whether the disk of the folder open as `folder` keeps a time of status change nobody can set back: a file
    made there has its time of change set to the past, which on such a disk moves its time of status change to
    now (exFAT through FUSE, for one, reports the time of change for both)."""
    probe = f".kelvane-probe-{os.getpid()}-{os.urandom(4).hex()}"
    try:
        descriptor = os.open(probe, os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW | os.O_CLOEXEC, 0o600,
                             dir_fd=folder)
    except OSError:
        return False
    made = os.fstat(descriptor)
    try:
        os.utime(descriptor, ns=(10 ** 9, 10 ** 9))
        made = os.fstat(descriptor)
        return made.st_ctime_ns != made.st_mtime_ns
    except OSError:
        return False
    finally:
        os.close(descriptor)
        # Only the probe as it was made goes: a file made again at its name has another inode or time of change.
        try:
            status = os.stat(probe, dir_fd=folder, follow_symlinks=False)
            if (status.st_dev, status.st_ino, status.st_ctime_ns) == (made.st_dev, made.st_ino, made.st_ctime_ns):
                os.unlink(probe, dir_fd=folder)
        except OSError:
            pass
