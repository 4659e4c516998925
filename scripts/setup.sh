#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Kelvane needs.
# Idempotent: packages already present are skipped; apt is only touched when something is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/debian-packages.txt" | awk '{print $1}')

missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#wanted[@]} packages present"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "setup: installing the missing packages needs root or sudo, and there is no sudo here; as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Another package manager at work (an unattended upgrade, a second setup) holds apt's locks: wait for it, up
# to KELVANE_APT_LOCK_WAIT seconds (five minutes), rather than fail at once. apt itself waits for dpkg's lock
# when asked, but not for the package lists' lock, hence the retries.
lock_wait=${KELVANE_APT_LOCK_WAIT:-300}
exec 3>&1 # the waiting is said on the terminal even while apt's own output goes to a log
apt_get() {
  local output deadline=$((SECONDS + lock_wait)) said=0
  while true; do
    if output=$($sudo apt-get -o DPkg::Lock::Timeout="$lock_wait" "$@" 2>&1); then
      [ -z "$output" ] || echo "$output"
      return 0
    fi
    if ! grep -q 'Could not get lock' <<<"$output" || [ $SECONDS -ge $deadline ]; then
      echo "$output" >&2
      return 1
    fi
    if [ $said -eq 0 ]; then
      echo "setup: another package manager holds apt's lock; waiting up to $lock_wait s" >&3
      said=1
    fi
    sleep 2
  done
}
if ! apt_get update -qq; then
  echo "setup: 'apt-get update' failed; cannot install: ${missing[*]}" >&2
  exit 1
fi
for pkg in "${missing[@]}"; do
  if ! apt-cache show "$pkg" >/dev/null 2>&1; then
    echo "setup: package '$pkg' is not available from the configured Debian archives" >&2
    exit 1
  fi
done
# A log of its own for every run: concurrent or earlier runs, other users' included, never share one.
log=$(mktemp -t kelvane-setup.XXXXXX.log)
if ! apt_get install -y -qq --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
  tail -n 30 "$log" >&2
  echo "setup: installing ${missing[*]} failed (log: $log)" >&2
  exit 1
fi
rm -f "$log"
echo "setup: done"
