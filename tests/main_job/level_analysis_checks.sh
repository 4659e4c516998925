#!/usr/bin/env bash
# The level analysis's results and failures:  level_analysis_checks.sh SOURCE_DIR BUILD_DIR CHECK
#   pinned    its CSV and summary on fixed tracks, bit for bit (the start of the sha256 of what it wrote when
#             it read files whole)
#   failures  a CSV or standard output it cannot write, a file ending before its header says: one line, status 1
set -uo pipefail
root=$1 build=$2 check=$3
[[ $check =~ ^(pinned|failures)$ ]] || exit 2
analysis=$build/tools/main-job/kelvane_level_analysis
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
wav() { /usr/bin/python3 "$root/tests/main_job/make_wav.py" "$tmp/$1" "${@:2}"; }
sha() { sha256sum <"$tmp/$1" | cut -c1-16; }
"$build/tools/main-job/kelvane_demo_programme" "$tmp/demo.wav" >/dev/null || fail "no demo programme"
# Half a second and one frame at 44.1 kHz: ten windows and one of a single frame. half.wav: 6.02 dB lower.
wav stereo.wav 22051 44100 2 && wav one.wav 1 192000 1
/usr/bin/python3 - "$tmp/stereo.wav" "$tmp/half.wav" <<'PY'
import array, sys, wave
with wave.open(sys.argv[1]) as r:
    params, samples = r.getparams(), array.array("h", r.readframes(r.getnframes()))
with wave.open(sys.argv[2], "wb") as w:
    w.setparams(params)
    w.writeframes(array.array("h", (s // 2 for s in samples)).tobytes())
PY

if [ "$check" = pinned ]; then
  for row in \
    "demo.wav demo.wav 1bbf93b1d4b92fc9 ce02c108e4bd2f85" \
    "stereo.wav half.wav c461f74134bd16ad 3cc58b989ba6f284" \
    "one.wav one.wav a48d5985e3e56091 f7a595f3d8fd10de"; do
    set -- $row
    (cd "$tmp" && "$analysis" "$1" "$2" levels.csv >stdout 2>stderr) || fail "$1 $2: $(cat "$tmp/stderr")"
    [ "$(sha levels.csv)" = "$3" ] || fail "$1 $2: the CSV moved:"$'\n'"$(head -n 5 "$tmp/levels.csv")"
    [ "$(sha stdout)" = "$4" ] || fail "$1 $2: the summary moved:"$'\n'"$(cat "$tmp/stdout")"
  done
else
  # A pipe's WAV header keeps its length: "cut" ends 2051 frames before it.
  wav longer.wav 22052 44100 2
  short="its audio ends after 20000 of the 22051 frames its header promises"
  for row in \
    "half.wav:/dev/full:stdout:cannot write '/dev/full': no space left on device" \
    "half.wav:levels.csv:/dev/full:cannot write the standard output: no space left on device" \
    "half.wav:.:stdout:cannot write '.': is a directory" \
    "half.wav:no-folder/levels.csv:stdout:cannot write 'no-folder/levels.csv': no such file or directory" \
    "longer.wav:levels.csv:stdout:input and output differ in rate, channels or length" \
    "cut:levels.csv:stdout:cannot read /dev/fd/.*: $short"; do
    IFS=: read -r output csv out message <<<"$row"
    [ "$out" = stdout ] && out=$tmp/stdout
    if [ "$output" = cut ]; then
      (cd "$tmp" && "$analysis" stereo.wav <(head -c $((44 + 20000 * 4)) half.wav) "$csv" >"$out" 2>"$tmp/stderr")
    else
      (cd "$tmp" && "$analysis" stereo.wav "$output" "$csv" >"$out" 2>"$tmp/stderr")
    fi
    status=$?
    [ $status -eq 1 ] && [ "$(wc -l <"$tmp/stderr")" -eq 1 ] \
      && grep -qx "kelvane_level_analysis: $message" "$tmp/stderr" \
      || fail "$output $csv > $out: status $status: $(cat "$tmp/stderr")"
    [ "$output" = cut ] && [ -s "$tmp/stdout" ] && fail "a file cut short still gave a summary: $(cat "$tmp/stdout")"
  done
fi
exit $((failures > 0))
