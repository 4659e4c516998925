#!/usr/bin/env bash
# scripts/setup.sh waits, bounded, while another package manager holds apt's lock, and fails at once on any
# other failure. apt is played by stand-ins on PATH that log their calls.
#   setup_lock_wait.sh SOURCE_DIR
set -uo pipefail
root=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/bin"
cp "$root/scripts/setup.sh" "$tmp/"
echo "some-missing-package" >"$tmp/debian-packages.txt"
cat >"$tmp/bin/dpkg-query" <<'STANDIN'
#!/bin/sh
echo "unknown ok not-installed"
STANDIN
cat >"$tmp/bin/apt-cache" <<'STANDIN'
#!/bin/sh
exit 0
STANDIN
cat >"$tmp/bin/sudo" <<'STANDIN'
#!/bin/sh
exec "$@"
STANDIN
# Fails with apt's lock message as long as $APT_LOCKED_CALLS calls have not yet been made, or always with
# another message when $APT_BROKEN is set.
cat >"$tmp/bin/apt-get" <<'STANDIN'
#!/bin/sh
calls=$(($(cat "$APT_LOG" 2>/dev/null | wc -l) + 1))
echo "$*" >>"$APT_LOG"
if [ -n "${APT_BROKEN:-}" ]; then echo "E: The repository does not have a Release file." >&2; exit 100; fi
if [ "$calls" -le "$APT_LOCKED_CALLS" ]; then
  echo "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 4242 (apt-get)" >&2
  exit 100
fi
exit 0
STANDIN
chmod +x "$tmp/bin/"*

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
run_setup() {
  rm -f "$tmp/apt.log"
  PATH="$tmp/bin:$PATH" APT_LOG="$tmp/apt.log" bash "$tmp/setup.sh" >"$tmp/output" 2>&1
  status=$?
}
updates() { grep -c ' update' "$tmp/apt.log"; }

APT_LOCKED_CALLS=1 KELVANE_APT_LOCK_WAIT=60 run_setup
[ "$status" -eq 0 ] || fail "a lock released after one try: status $status: $(cat "$tmp/output")"
[ "$(updates)" -eq 2 ] || fail "a lock released after one try: $(updates) updates, not 2"
grep -q ' install ' "$tmp/apt.log" || fail "a lock released after one try: nothing installed"
[ "$(grep -c 'waiting up to 60 s' "$tmp/output")" -eq 1 ] || fail "the wait is not said once: $(cat "$tmp/output")"

start=$SECONDS
APT_LOCKED_CALLS=1000 KELVANE_APT_LOCK_WAIT=1 run_setup
[ "$status" -eq 1 ] || fail "a lock never released: status $status"
[ $((SECONDS - start)) -le 10 ] || fail "a lock never released: waited $((SECONDS - start)) s for a bound of 1 s"
grep -q "'apt-get update' failed" "$tmp/output" || fail "a lock never released: $(cat "$tmp/output")"

APT_LOCKED_CALLS=0 APT_BROKEN=1 run_setup
[ "$status" -eq 1 ] || fail "a broken archive: status $status"
[ "$(updates)" -eq 1 ] || fail "a broken archive was tried $(updates) times"

[ $failures -eq 0 ] && echo "setup waits for apt's lock, bounded"
exit $((failures > 0))
