#!/usr/bin/env bash
# The main job's results take the place of the previous ones only when complete: a run that fails half way
# leaves the previous folder as it was and no partial folder beside it; a run that succeeds, here on a track
# of 10 ms (shorter than one window of the plot and one block of the host), replaces it whole.
#   results_swap.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
root=$1
build=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
/usr/bin/python3 "$here/make_wav.py" "$tmp/short.wav" 0.01 44100 1

results="$tmp/results"
mkdir -p "$results/out"
echo "the previous run's report" >"$results/out/report.md"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A build whose host lists the plug-in and then fails to render.
broken="$tmp/broken-build"
mkdir -p "$broken/tools/main-job" "$broken/Host/app" "$broken/Bundle"
ln -s "$build/tools/main-job/kelvane_level_analysis" "$broken/tools/main-job/"
printf '#!/bin/sh\n[ "$1" = list ] && exit 0\necho "kelvane_host: the render failed" >&2\nexit 1\n' \
  >"$broken/Host/app/kelvane_host"
chmod +x "$broken/Host/app/kelvane_host"

KELVANE_BUILD_DIR="$broken" KELVANE_OUT="$results/out" bash "$root/scripts/run.sh" "$tmp/short.wav" \
  >"$tmp/stdout" 2>&1 && fail "a run whose render fails succeeded"
[ "$(ls "$results")" = out ] || fail "a failed run left beside the results: $(ls "$results")"
[ "$(ls "$results/out")" = report.md ] && grep -q "previous run" "$results/out/report.md" \
  || fail "a failed run changed the previous results: $(ls "$results/out")"

if ! KELVANE_BUILD_DIR="$build" KELVANE_OUT="$results/out" bash "$root/scripts/run.sh" "$tmp/short.wav" \
  >"$tmp/stdout" 2>&1; then
  fail "the run on a 10 ms track failed:"$'\n'"$(tail -n 20 "$tmp/stdout")"
fi
[ "$(ls "$results")" = out ] || fail "a run left beside the results: $(ls "$results")"
for file in kelvane-output.wav second-instance-output.wav window.png levels.png levels.csv report.md; do
  [ -s "$results/out/$file" ] || fail "the run on a 10 ms track wrote no $file"
done
for text in "1 channel, 44100 Hz" "mono at 44100 Hz" "The host's bypass on from 0.0022 s to 0.0031 s" \
  "to the same output, bit for bit"; do
  grep -qF "$text" "$results/out/report.md" || fail "the report does not say '$text'"
done
! grep -q "previous run" "$results/out/report.md" || fail "the previous report is still there"
[ "$(stat -c %a "$results/out")" = "$(printf %o $((0777 & ~0$(umask))))" ] \
  || fail "the results folder is not as readable as the user's umask makes folders: $(stat -c %a "$results/out")"

[ $failures -eq 0 ] && echo "the results were swapped in whole, and only on success"
exit $((failures > 0))
