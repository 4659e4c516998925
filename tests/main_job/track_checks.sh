#!/usr/bin/env bash
# The main job refuses a track the host cannot take, with one line on stderr and status 1, before it renders
# anything, and leaves the previous results as they were; a track it can take passes the check.
#   track_checks.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
root=$1
build=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
make_wav() { /usr/bin/python3 "$here/make_wav.py" "$tmp/$1" "$2" "$3" "$4"; }

make_wav good-mono-44k.wav 0.2 44100 1
make_wav good-stereo-96k.wav 0.01 96000 2
make_wav good-one-sample.wav 0.00002 48000 1
make_wav three-channels.wav 0.1 48000 3
make_wav slow-rate.wav 0.1 22050 2
make_wav header-only.wav 0 48000 2
echo "not audio at all" >"$tmp/words.wav"
: >"$tmp/zero-bytes.wav"
mkdir "$tmp/a-folder.wav"

results="$tmp/results"
mkdir -p "$results/out"
echo "the previous run's report" >"$results/out/report.md"
before=$(cd "$results" && find . -exec ls -ld --time-style=+%s.%N {} + | sort)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs the main job on the track; sets status, stdout and stderr.
run_job() {
  KELVANE_BUILD_DIR="$build" KELVANE_OUT="$results/out" bash "$root/scripts/run.sh" "$@" \
    >"$tmp/stdout" 2>"$tmp/stderr"
  status=$?
}

expect_results_untouched() {
  local after
  after=$(cd "$results" && find . -exec ls -ld --time-style=+%s.%N {} + | sort)
  [ "$after" = "$before" ] || fail "$1: the results folder changed:"$'\n'"$after"
}

# track                what the one line says
refusals=(
  "missing.wav"        "missing.wav: no such file"
  "a-folder.wav"       "a-folder.wav: is a folder"
  "zero-bytes.wav"     "zero-bytes.wav: the file is empty"
  "words.wav"          "words.wav: not an audio file"
  "header-only.wav"    "header-only.wav: holds no audio"
  "three-channels.wav" "three-channels.wav: has 3 channels; the plug-in takes mono or stereo"
  "slow-rate.wav"      "slow-rate.wav: is at 22050 Hz"
)
for ((i = 0; i < ${#refusals[@]}; i += 2)); do
  track=${refusals[i]}
  expected=${refusals[i + 1]}
  run_job "$tmp/$track"
  [ "$status" -eq 1 ] || fail "$track: status $status, not 1"
  [ "$(wc -l <"$tmp/stderr")" -eq 1 ] || fail "$track: not one line on stderr:"$'\n'"$(cat "$tmp/stderr")"
  grep -q "^run: .*$expected" "$tmp/stderr" || fail "$track: stderr does not say '$expected': $(cat "$tmp/stderr")"
  ! grep -q '^== \[4/' "$tmp/stdout" || fail "$track: the job went on to load the bundle"
  expect_results_untouched "$track"
done

for track in good-mono-44k.wav good-stereo-96k.wav good-one-sample.wav; do
  run_job --check-only "$tmp/$track"
  [ "$status" -eq 0 ] || fail "$track: refused: $(cat "$tmp/stderr")"
  grep -q "the main job can take" "$tmp/stdout" || fail "$track: no answer on stdout"
  expect_results_untouched "$track"
done

[ $failures -eq 0 ] && echo "all track checks passed"
exit $((failures > 0))
