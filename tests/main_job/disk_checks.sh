#!/usr/bin/env bash
# The main job on real disks, each a fresh image of its own:  disk_checks.sh SOURCE_DIR BUILD_DIR CHECK [ARG...]
#   disk FS             (ext4, xfs, btrfs, tmpfs, exfat, vfat) runs in a row, each replacing the last; one killed
#                       by force in its swap; the run after it names what the dead run left and removes none of it
#   powercut MOMENT FS  (render, swap, after1, after30; ext4, xfs) the disk shut down without writing its log, as
#                       a power cut leaves it, at MOMENT of a run that replaces earlier results (afterN: N s after
#                       it said "Written to"), then mounted again: a complete result is in place, the earlier one
#                       before the swap, the new one after, and the next run takes it from there
set -uo pipefail
root=$1 build=$2 check=$3
shift 3
[[ "$check $*" =~ ^(disk (ext4|xfs|btrfs|tmpfs|exfat|vfat)|powercut (render|swap|after1|after30) (ext4|xfs))$ ]] || exit 2
fs=${!#} moment=${2:+$1}
# Only what this script sets reaches the job.
unset "${!KELVANE_@}"
skip() { echo "skipped: $*"; exit 0; }
[ "$(id -u)" -eq 0 ] || skip "mounting a disk image needs root"
tmp=$(mktemp -d) loop="" group=""
mnt=$tmp/mnt out=$tmp/mnt/out
# A kill, a mount or a loop device this check made never outlives it.
cleanup() {
  if [ -n "$group" ]; then kill -KILL -- -"$group" 2>/dev/null; fi
  if mountpoint -q "$mnt"; then
    for _ in $(seq 50); do umount "$mnt" 2>/dev/null && break; sleep 0.1; done
    if mountpoint -q "$mnt"; then umount -l "$mnt"; fi
  fi
  if [ -n "$loop" ]; then losetup -d "$loop"; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
# The runs' private folders in a temporary folder of this check's own, to see what a dead run left there.
export TMPDIR=$tmp/tmpdir
mkdir "$TMPDIR" "$mnt"
failures=0 why=""
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# What follows a failed first run, or a kill or cut at another moment, would only mislead.
abort() { echo "FAIL: $*"; exit 1; }
wav() { /usr/bin/python3 "$(dirname "$0")/make_wav.py" "$tmp/$1" "${@:2}"; }
results=(/usr/bin/python3 -B "$root/scripts/results_folder.py")

# The disk. FUSE takes no plain file, so every image goes on a loop device.
declare -A mkfs=([ext4]="mkfs.ext4 -q" [xfs]="mkfs.xfs -q" [btrfs]="mkfs.btrfs -q" [exfat]=mkfs.exfat [vfat]=mkfs.vfat)
declare -A size=([xfs]=300M [btrfs]=300M)
mount_disk() {
  case $fs in
    tmpfs) mount -t tmpfs -o size=64m tmpfs "$mnt" ;;
    # The disk has no modes; the job refuses one every user may write on.
    exfat) mount.exfat-fuse -o umask=0022 "$loop" "$mnt" ;;
    # The kernel's driver, else FUSE's (a container's kernel often lacks vfat).
    vfat) mount -t vfat -o umask=0022 "$loop" "$mnt" || fusefat -o rw+,umask=0022 "$loop" "$mnt" ;;
    *) mount "$loop" "$mnt" ;;
  esac >/dev/null 2>&1
}
if [ "$fs" != tmpfs ]; then
  command -v "${mkfs[$fs]%% *}" >/dev/null || skip "no ${mkfs[$fs]%% *} here"
  truncate -s "${size[$fs]:-64M}" "$tmp/disk.img" && ${mkfs[$fs]} "$tmp/disk.img" >/dev/null 2>&1 \
    || { echo "FAIL: ${mkfs[$fs]} did not make a disk"; exit 1; }
  loop=$(losetup -f --show "$tmp/disk.img" 2>/dev/null) || skip "cannot attach a loop device here"
fi
mount_disk || skip "cannot mount $fs here"

job() {
  KELVANE_BUILD_DIR=$build KELVANE_OUT=$out bash "$root/scripts/run.sh" "$1" >"$tmp/stdout" 2>"$tmp/stderr"
  status=$?
}
# The job in a session of its own, so that its whole group can be killed.
start() {
  setsid env "${@:2}" KELVANE_BUILD_DIR="$build" KELVANE_OUT="$out" bash "$root/scripts/run.sh" "$1" \
    >"$tmp/stdout" 2>"$tmp/stderr" &
  group=$!
}
# The job's shell ends last; until setsid has run, the group has no member.
running() { ps -o stat= -p "$group" | grep -qv Z; }
said() { echo "status $status: $(grep '^run:' "$tmp/stdout"; tail -n 3 "$tmp/stderr")"$'\n'"$why"$'\n'"$(ls -A "$mnt" 2>&1)"; }
# Complete results in place, each file as the mark says; what is wrong in $why.
complete() {
  why=$("${results[@]}" check "$out" 2>&1) && why=$(cd "$out" && find . -type f -empty | sed 's/$/ is empty/') \
    && [ -s "$out/.kelvane-results" ] && [ -s "$out/window.png" ] && [ -s "$out/kelvane-output.wav" ] && [ -z "$why" ]
}
beside() { ls -A "$mnt" | grep -vx 'out\|lost+found'; }
# What is beside the results and the private folders runs left, one full path a line.
left_behind() { beside | sed "s|^|$mnt/|"; ls -d "$TMPDIR"/* 2>/dev/null; }
# Named in a command of the job's that removes it; one command may name several.
removable() { sed -n 's/.*rm -rf -- //p' "$tmp/stdout" | tr ' ' '\n' | grep -qxF -- "$1"; }
# The run after a dead one: each thing LEFT is still there, named with the command that removes it (always, if
# NAMED is "named", else if mentioned at all) or put back as the results.
after_dead() {
  local path
  while IFS= read -r path; do
    [ -n "$path" ] || continue
    if grep -qxF "run: put back the previous results in '$out', which a run stopped by force while it swapped them had \
left aside in '$path'" "$tmp/stdout"; then
      [ ! -e "$path" ] || fail "'$path' was said to be put back and is still there"
    elif [ ! -e "$path" ]; then
      fail "the run after removed '$path', which a dead run left"
    elif [ "$2" = named ] || grep -qF -- "$path" "$tmp/stdout"; then
      removable "$path" || fail "the run after names '$path' without the command that removes it: $(said)"
    fi
  done <<<"$1"
}
wav short.wav 441 44100 1

if [ "$check" = disk ]; then
  for run in 1 2 3; do
    mark=$(cat "$out/.kelvane-results" 2>/dev/null)
    job "$tmp/short.wav"
    # vfat through FUSE (fusefat) refuses to append and loses a folder's files as it renames it: the job must
    # say so in one line before its renders and leave nothing.
    if [ $run = 1 ] && [ "$fs" = vfat ] && mount | grep -q " $mnt type fuse.fusefat"; then
      [ $status -eq 1 ] && [ "$(wc -l <"$tmp/stderr")" -eq 1 ] \
        && grep -q "^run: the disk of '$out' \(cannot add to the end of a file\|loses what a folder holds\)" "$tmp/stderr" \
        && ! grep -q '^== \[4/9\]' "$tmp/stdout" && [ -z "$(ls -A "$mnt")$(ls -A "$TMPDIR")" ] \
        || abort "vfat through FUSE, whose driver cannot carry results, not refused in one line: $(said)"
      echo "vfat here is FUSE's driver, which cannot carry results; the job refused it: $(cat "$tmp/stderr")"
      exit 0
    fi
    complete && [ -z "$(beside)$(ls -A "$TMPDIR")" ] && [ "$(cat "$out/.kelvane-results")" != "$mark" ] \
      || abort "run $run on $fs: $(said)"
  done
  # Killed inside the swap (widened): once the path names the new results (the exchange) or nothing (between
  # two renames, where the disk cannot exchange folders).
  inode=$(stat -c %i "$out")
  start "$tmp/short.wav" KELVANE_TEST_SWAP_GAP=5
  swapping() { grep -q '^== \[9/9\]' "$tmp/stdout" && { [ ! -e "$out" ] || [ "$(stat -c %i "$out" 2>/dev/null)" != "$inode" ]; }; }
  for _ in $(seq 1200); do swapping && break; running || break; sleep 0.05; done
  swapping || abort "the run never reached its swap: $(cat "$tmp/stderr")"
  kill -KILL -- -"$group" 2>/dev/null; wait "$group" 2>/dev/null
  group="" left=$(left_behind)
  [ ! -e "$out" ] || complete || fail "kill -9 in the swap left '$out' incomplete: $why"
  [ -n "$(beside)" ] || fail "the run killed in its swap left nothing beside the results (the check is void)"
  job "$tmp/short.wav"
  complete || fail "the run after the one killed: $(said)"
  after_dead "$left" named
else
  # Earlier results long on the disk, as in life; the new run renders another track, so its results differ.
  job "$tmp/short.wav"
  complete && sync -f "$out" || abort "the first run on $fs: $(said)"
  wav second.wav 480 48000 2
  listing() { (cd "$out" && find . -type f ! -name .kelvane-results -exec sha256sum {} + | sort); }
  before=$(listing)
  [ "$moment" != swap ] || touch "$tmp/pause"
  start "$tmp/second.wav" KELVANE_TEST_SWAP_PAUSE="$tmp/pause"
  shutdown=(/usr/bin/python3 "$(dirname "$0")/shutdown_disk.py" "$mnt")
  if [ "$moment" = render ]; then
    "${shutdown[@]}" "$group" kelvane_host render || abort "the power cut missed the renders: $(said)"
  else
    if [ "$moment" = swap ]; then ready() { [ -e "$tmp/pause.held" ]; }; else ready() { grep -q '^Written to' "$tmp/stdout"; }; fi
    for _ in $(seq 1200); do ready && break; running || break; sleep 0.05; done
    ready || abort "the run never reached the moment '$moment': $(said)"
    [[ $moment != after* ]] || sleep "${moment#after}"
    "${shutdown[@]}" || abort "the disk did not shut down"
  fi
  rm -f "$tmp/pause"
  for _ in $(seq 200); do running || break; sleep 0.1; done
  kill -KILL -- -"$group" 2>/dev/null
  wait "$group"
  status=$? group="" dead=$(said)
  for _ in $(seq 100); do umount "$mnt" 2>/dev/null && break; sleep 0.1; done
  ! mountpoint -q "$mnt" || abort "the shut-down disk stays in use: $(fuser -vm "$mnt" 2>&1)"
  mount_disk || abort "the disk did not mount again after the power cut"
  if [[ $moment = render || $moment = swap ]]; then
    [ "$(listing)" = "$before" ] || fail "the earlier results did not come back whole:"$'\n'"$(diff <(echo "$before") <(listing))"
  else
    [ "$(listing)" != "$before" ] && [ -s "$out/report.md" ] && [[ $(<"$tmp/stdout") == *"$(cat "$out/report.md")"* ]] \
      || fail "the new results did not come back to '$out' ($(grep -m1 '^Track:' "$out/report.md")); the disk holds:" \
        "$(ls -A "$mnt" | tr '\n' ' ')and these empty: $(cd "$mnt" && find . -type f -empty | sort | tr '\n' ' ')"
  fi
  complete || fail "after the power cut at '$moment', '$out' is not complete: $why"$'\n'"the dead run: $dead"
  left=$(left_behind)
  job "$tmp/short.wav"
  complete || fail "the run after the power cut: $(said)"
  after_dead "$left" maybe
fi
exit $((failures > 0))
