#!/usr/bin/env bash
# The main job's own checks, each without the demo programme:  main_job_checks.sh SOURCE_DIR BUILD_DIR CHECK
#   tracks  a track the host cannot take is refused with one line and status 1, the previous results untouched
#   swap    the results replace the previous ones only when complete, here on a 10 ms track
#   setup   scripts/setup.sh waits, bounded, while another package manager holds apt's lock
set -uo pipefail
root=$1 build=$2 check=$3
[[ $check =~ ^(tracks|swap|setup)$ ]] || exit 2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
wav() { /usr/bin/python3 "$(dirname "$0")/make_wav.py" "$tmp/$1" "${@:2}"; }
out=$tmp/results/out
mkdir -p "$out" && echo "the previous run's report" >"$out/report.md"
# Everything in the results' parent folder with its time of change; "snapshot 1" leaves out the parent's own.
snapshot() { (cd "$tmp/results" && find . -mindepth "${1:-0}" -exec ls -ld --time-style=+%s.%N {} + | sort); }
before=$(snapshot) before_out=$(snapshot 1)
job() { KELVANE_BUILD_DIR=$build KELVANE_OUT=$out bash "$root/scripts/run.sh" "$@" >"$tmp/stdout" 2>"$tmp/stderr"; status=$?; }

if [ "$check" = tracks ]; then
  wav three-channels.wav 10 48000 3 && wav slow-rate.wav 10 22050 2 && wav header-only.wav 0 48000 2
  echo "not audio" >"$tmp/words.wav" && : >"$tmp/zero-bytes.wav" && mkdir "$tmp/a-folder.wav"
  for row in "missing.wav: no such file" "a-folder.wav: is a folder" "zero-bytes.wav: the file is empty" \
    "words.wav: not an audio file" "header-only.wav: holds no audio" "three-channels.wav: has 3 channels" \
    "slow-rate.wav: is at 22050 Hz"; do
    job "$tmp/${row%%:*}"
    [ $status -eq 1 ] && [ "$(wc -l <"$tmp/stderr")" -eq 1 ] && grep -q "^run: .*$row" "$tmp/stderr" \
      && [ "$(snapshot)" = "$before" ] || fail "${row%%:*}: status $status: $(cat "$tmp/stderr")"$'\n'"$(snapshot)"
  done
  wav one-sample.wav 1 192000 2 && job --check-only "$tmp/one-sample.wav"
  [ $status -eq 0 ] && grep -q "can take" "$tmp/stdout" && [ "$(snapshot)" = "$before" ] \
    || fail "a track of one sample: status $status: $(cat "$tmp/stderr")"$'\n'"$(snapshot)"
elif [ "$check" = swap ]; then
  wav short.wav 441 44100 1
  # A virtual display that fails to start: the run fails after its renders.
  mkdir "$tmp/no-display" && ln -s /bin/false "$tmp/no-display/xvfb-run"
  PATH=$tmp/no-display:$PATH job "$tmp/short.wav"
  [ $status -ne 0 ] && [ "$(snapshot 1)" = "$before_out" ] || fail "a failed run: status $status:"$'\n'"$(snapshot 1)"
  job "$tmp/short.wav"
  [ $status -eq 0 ] || fail "the run on a 10 ms track failed: $(tail -n 20 "$tmp/stdout" "$tmp/stderr")"
  [ "$(ls "$tmp/results")" = out ] || fail "a run left beside the results: $(ls "$tmp/results")"
  (cd "$out" && ls kelvane-output.wav second-instance-output.wav window.png levels.png >/dev/null) || fail "a file missing"
  for text in "1 channel, 44100 Hz" "mono at 44100 Hz" "bypass on from 0.0022 s to 0.0031 s" "bit for bit" \
    "| integrated loudness (EBU R 128) | none | none |"; do
    grep -qF "$text" "$out/report.md" || fail "the report does not say '$text'"
  done
  # The track is shorter than one window of the level analysis: that window is measured, at its middle.
  [ "$(cut -d, -f1 "$out/levels.csv")" = $'time_s\n0.0050' ] || fail "the levels: $(cat "$out/levels.csv")"
  [ "$(stat -c %a "$out")" = "$(printf %o $((0777 & ~0$(umask))))" ] \
    || fail "the results folder is not as readable as the umask makes folders: $(stat -c %a "$out")"
else
  # apt is played by stand-ins on PATH; apt-get logs its calls and fails with $APT_ERROR for the first $FAILS.
  mkdir "$tmp/bin" && cp "$root/scripts/setup.sh" "$tmp/" && echo some-missing-package >"$tmp/debian-packages.txt"
  ln -s /bin/true "$tmp/bin/dpkg-query" && ln -s /bin/true "$tmp/bin/apt-cache"
  printf '#!/bin/sh\nexec "$@"\n' >"$tmp/bin/sudo"
  cat >"$tmp/bin/apt-get" <<'STANDIN'
#!/bin/sh
echo "$*" >>"$APT_LOG"
[ "$(wc -l <"$APT_LOG")" -gt "$FAILS" ] || { echo "$APT_ERROR" >&2; exit 100; }
STANDIN
  chmod +x "$tmp/bin/sudo" "$tmp/bin/apt-get"
  setup() {
    rm -f "$tmp/apt.log" && start=$SECONDS
    env PATH="$tmp/bin:$PATH" APT_LOG="$tmp/apt.log" APT_ERROR="E: Could not get lock /var/lib/apt/lists/lock" "$@" \
      bash "$tmp/setup.sh" >"$tmp/output" 2>&1
    status=$? updates=$(grep -c ' update' "$tmp/apt.log")
  }
  setup FAILS=1 KELVANE_APT_LOCK_WAIT=60
  [ $status -eq 0 ] && [ "$updates" -eq 2 ] && grep -q ' install ' "$tmp/apt.log" && grep -q 'waiting up to 60' "$tmp/output" \
    || fail "a lock released after one try: status $status, $updates updates: $(cat "$tmp/output")"
  setup FAILS=1000 KELVANE_APT_LOCK_WAIT=1
  [ $status -eq 1 ] && [ $((SECONDS - start)) -le 10 ] || fail "a lock never released: status $status, $((SECONDS - start)) s"
  setup FAILS=1000 KELVANE_APT_LOCK_WAIT=3 APT_ERROR="E: The repository does not have a Release file."
  [ $status -eq 1 ] && [ "$updates" -eq 1 ] || fail "a broken archive: status $status after $updates tries"
fi
exit $((failures > 0))
