#!/usr/bin/env bash
# The level analysis's results and failures:  level_analysis_checks.sh SOURCE_DIR BUILD_DIR CHECK
#   pinned    its CSV and summary on fixed tracks, bit for bit (the start of the sha256 of what it wrote when
#             it read files whole)
#   failures  a CSV or standard output it cannot write, a file ending before its header says: one line, status 1
#   check     --check's output container and size at the edge between WAV and RF64, and a WAV header that
#             wrapped round past 4 GiB warned of (sparse files: they take next to no disk)
set -uo pipefail
root=$1 build=$2 check=$3
[[ $check =~ ^(pinned|failures|check)$ ]] || exit 2
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

if [ "$check" = check ]; then
  # A 16-bit stereo 48 kHz WAV header over FRAMES frames of hole.
  sparse_wav() {
    /usr/bin/python3 - "$tmp/$1" "$2" <<'PY'
import struct, sys
path, frames = sys.argv[1], int(sys.argv[2])
with open(path, "wb") as file:
    file.write(b"RIFF" + struct.pack("<I", 36 + 4 * frames) + b"WAVEfmt " + struct.pack("<IHHIIHH", 16, 1, 2, 48000, 192000, 4, 16)
               + b"data" + struct.pack("<I", 4 * frames))
    file.truncate(44 + 4 * frames)
PY
  }
  # The float output of the largest: 88 header bytes and 8 a frame, 4 GiB in all; one frame more is RF64.
  sparse_wav largest.wav 536870901 && sparse_wav next.wav 536870902
  cp "$tmp/stereo.wav" "$tmp/wrapped.wav" && truncate -s +4G "$tmp/wrapped.wav"
  wrapped="kelvane_level_analysis: warning: '$tmp/wrapped.wav' holds more audio than its WAV header says: the header says 88204 bytes (22051 frames, 0.5 s), the file holds 4295055500 bytes (1073763875 frames, 6 h 46 min) after the data chunk's start, more than a WAV header can count (4 GiB); it is read as libsndfile reads it, to the header's length"
  for row in \
    "stereo.wav:22051:WAV:176496:" \
    "largest.wav:536870901:WAV:4294967296:" \
    "next.wav:536870902:RF64:4294967352:" \
    "wrapped.wav:22051:WAV:176496:$wrapped"; do
    IFS=: read -r track frames container bytes warning <<<"$row"
    "$analysis" --check "$tmp/$track" >"$tmp/stdout" 2>"$tmp/stderr"
    status=$?
    [ $status -eq 0 ] || fail "$track: status $status: $(cat "$tmp/stderr")"
    [ "$(tail -n 3 "$tmp/stdout")" = "seconds=$(sed -n 's/^seconds=//p' "$tmp/stdout")"$'\n'"output_container=$container"$'\n'"output_bytes=$bytes" ] \
      && grep -qx "frames=$frames" "$tmp/stdout" || fail "$track: $(tr '\n' ' ' <"$tmp/stdout")"
    [ "$(cat "$tmp/stderr")" = "$warning" ] || fail "$track: stderr: $(cat "$tmp/stderr")"
  done
elif [ "$check" = pinned ]; then
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
    "longer.wav:levels.csv:stdout:input and output differ in length: the input has 2 channels, 22051 frames at 44100 Hz, the output 2 channels, 22052 frames at 44100 Hz" \
    "one.wav:levels.csv:stdout:input and output differ in rate, channels and length: the input has 2 channels, 22051 frames at 44100 Hz, the output 1 channel, 1 frame at 192000 Hz" \
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
