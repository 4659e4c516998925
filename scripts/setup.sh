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

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get update -qq; then
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
if ! $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
  tail -n 30 "$log" >&2
  echo "setup: installing ${missing[*]} failed (log: $log)" >&2
  exit 1
fi
rm -f "$log"
echo "setup: done"
