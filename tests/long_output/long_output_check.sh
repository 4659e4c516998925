#!/usr/bin/env bash
# One real output past 4 GiB, written as RF64 and read back whole:  long_output_check.sh SOURCE_DIR BUILD_DIR
# A 192 kHz stereo track of 2800 s (FLAC, about 340 MB) is rendered with the host's bypass over its last 5 s,
# so that the output's last frames must be the track's own, bit for bit; the output (4.3 GB of float) is read
# back to its last frame through libsndfile and counted by sndfile-info, its length checked against what
# --check foretold. Then the main job runs once on the track. Needs about 8.4 GiB of disk in TMPDIR (the main job
# keeps both its renders); scripts/test.sh runs it only when 12 GiB are free.
set -uo pipefail
root=$1 build=$2
seconds=2800 rate=192000 bypassed=5
frames=$((seconds * rate))
host=$build/Host/app/kelvane_host bundle=$build/Bundle/Kelvane.aaxplugin
analysis=$build/tools/main-job/kelvane_level_analysis
tmp=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-long-XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
elapsed() { echo "$1 after $SECONDS s"; }

/usr/bin/python3 -B "$root/tests/long_output/make_long_track.py" "$tmp/track.flac" $seconds $rate || exit 1
elapsed "track written ($(stat -c %s "$tmp/track.flac") bytes)"

"$analysis" --check "$tmp/track.flac" >"$tmp/check.txt" || exit 1
grep -qx "frames=$frames" "$tmp/check.txt" && grep -qx "output_container=RF64" "$tmp/check.txt" \
  || fail "--check: $(tr '\n' ' ' <"$tmp/check.txt")"
foretold=$(sed -n 's/^output_bytes=//p' "$tmp/check.txt")

"$host" render "$bundle" "$tmp/track.flac" "$tmp/out.wav" --bypass "$((seconds - bypassed))-$((seconds + 1))" \
  >"$tmp/render.txt" 2>"$tmp/render-errors.txt" || { fail "render: $(cat "$tmp/render-errors.txt")"; exit 1; }
elapsed "rendered"
[ "$(cat "$tmp/render.txt")" = "rendered $frames frames (2 channels, $rate Hz) through $bundle into $tmp/out.wav, written as RF64 (a WAV file holds at most 4 GiB)" ] \
  || fail "the summary: $(cat "$tmp/render.txt")"
[ -s "$tmp/render-errors.txt" ] && fail "render warned: $(cat "$tmp/render-errors.txt")"
[ "$(stat -c %s "$tmp/out.wav")" = "$foretold" ] || fail "the output has $(stat -c %s "$tmp/out.wav") bytes, --check foretold $foretold"
[ "$(head -c 4 "$tmp/out.wav")" = RF64 ] || fail "the output is not RF64: $(head -c 4 "$tmp/out.wav" | od -c | head -n 1)"

# A reader not of this project counts the frames from the header.
counted=$(sndfile-info "$tmp/out.wav" | sed -n 's/^Frames *: *//p')
[ "$counted" = "$frames" ] || fail "sndfile-info counts '$counted' frames, not $frames"

# Through libsndfile to the very last frame: the bypassed end is the track itself, what comes before is not.
/usr/bin/python3 -B - "$tmp/track.flac" "$tmp/out.wav" $((bypassed * rate)) <<'PY' || fail "reading the output back"
import sys

import numpy
import soundfile

track_path, output_path, bypassed = sys.argv[1], sys.argv[2], int(sys.argv[3])
with soundfile.SoundFile(track_path) as track, soundfile.SoundFile(output_path) as output:
    if output.frames != track.frames or output.samplerate != track.samplerate or output.channels != 2:
        sys.exit(f"the output has {output.frames} frames at {output.samplerate} Hz, the track {track.frames}")
    start = track.frames - bypassed - 1
    track.seek(start)
    output.seek(start)
    expected, got = track.read(dtype="float32"), output.read(dtype="float32")
    if len(got) != bypassed + 1 or output.tell() != output.frames:
        sys.exit(f"read {len(got)} frames of the last {bypassed + 1}, up to {output.tell()}")
    if not numpy.array_equal(got[1:], expected[1:]):
        sys.exit("the bypassed last frames differ from the track's")
    if numpy.array_equal(got[0], expected[0]):
        sys.exit("the frame before the bypass is the track's own: the plug-in did nothing there")
PY
elapsed "read back"
rm -f "$tmp/out.wav"

# The main job on the same track.
KELVANE_BUILD_DIR=$build KELVANE_OUT=$tmp/results bash "$root/scripts/run.sh" "$tmp/track.flac" >"$tmp/job.txt" 2>&1 \
  || fail "the main job failed: $(tail -n 5 "$tmp/job.txt")"
elapsed "main job done"
report=$tmp/results/report.md
grep -q "RF64" "$report" 2>/dev/null || fail "the report does not say the output is RF64: $(head -c 2000 "$report")"
grep -q "rendered the same track to the same audio, bit for bit" "$report" 2>/dev/null \
  || fail "the report does not say the second instance rendered the same audio bit for bit: $(grep -i "second instance" "$report")"
exit $((failures > 0))
