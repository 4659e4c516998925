"""Shuts a mounted ext4 or xfs disk down as a power cut leaves it, for the main job's disk checks:
    shutdown_disk.py MOUNT [GROUP PROGRAM ARGUMENT]
With GROUP, first waits until a process of that process group runs PROGRAM ARGUMENT (a minute at most, status 1
if none does): a render of a short track lasts a few hundredths of a second, which a shell's polling misses."""

import fcntl
import os
import struct
import sys
import time

# _IOR('X', 125, __u32), the going-down ioctl of both; flag 2 writes nothing more, not even the log.
GOING_DOWN, NO_LOG_FLUSH = (2 << 30) | (4 << 16) | (ord("X") << 8) | 125, 2


def state(pid):
    """The process's state letter and its process group, or None once it is gone."""
    try:
        with open(f"/proc/{pid}/stat", "rb") as file:
            stat = file.read()
    except OSError:
        return None
    # The command's name, in parentheses, may hold spaces and parentheses of its own.
    fields = stat[stat.rindex(b")") + 2:].split()
    return fields[0], int(fields[2])


def running(group, words):
    for pid in filter(str.isdigit, os.listdir("/proc")):
        if (state(pid) or (None, None))[1] != group:
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as file:
                command = file.read().split(b"\0")
        except OSError:
            continue
        if len(command) > 1 and [os.path.basename(command[0]), command[1]] == words:
            return True
    return False


def main():
    if len(sys.argv) == 5:
        group, words, deadline = int(sys.argv[2]), [word.encode() for word in sys.argv[3:]], time.monotonic() + 60
        while not running(group, words):
            if time.monotonic() > deadline or (state(group) or (b"Z",))[0] == b"Z":
                sys.exit(f"shutdown_disk.py: no process of group {group} ran {' '.join(sys.argv[3:])}")
            time.sleep(0.002)
    elif len(sys.argv) != 2:
        sys.exit(__doc__)
    fcntl.ioctl(os.open(sys.argv[1], os.O_RDONLY), GOING_DOWN, struct.pack("I", NO_LOG_FLUSH))


main()
