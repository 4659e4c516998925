#!/usr/bin/env bash
# The main job: sets up a Debian machine, builds the plug-in bundle and the host stand-in, and runs the host on
# the bundle under a virtual X display:
#   bash scripts/run.sh                 renders a generated demo programme
#   bash scripts/run.sh my-track.wav    renders your own file (mono or stereo WAV, AIFF or FLAC at 44.1, 48,
#                                       88.2, 96, 176.4 or 192 kHz)
#   bash scripts/run.sh --check-only my-track.wav
#                                       only says whether the main job can take the track
# Everything it writes goes to out/: the rendered audio, a picture of the plug-in's window taken while the
# audio plays, a plot of levels and gain over time, and a short report (out/report.md). The new results are
# made beside out/ and take its place only when complete, so a failed run leaves the previous out/ as it was.
# Environment: KELVANE_OUT, another folder instead of out/; KELVANE_BUILD_DIR, an existing build to use as it
# is (no setup, no build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: bash scripts/run.sh [--check-only] [TRACK]"
check_only=0
if [ "${1:-}" = "--check-only" ]; then
  check_only=1
  shift
fi
input=""
if [ $# -gt 1 ] || [ "${1:-}" = "--help" ] || [[ "${1:-}" == -?* ]]; then
  echo "$usage" >&2
  exit 2
elif [ $# -eq 1 ]; then
  # What needs no build is refused before the minutes of setting up and building.
  if [ ! -e "$1" ]; then
    echo "run: $1: no such file" >&2
    exit 1
  elif [ -d "$1" ]; then
    echo "run: $1: is a folder, not an audio file" >&2
    exit 1
  elif [ ! -r "$1" ]; then
    echo "run: $1: cannot be read" >&2
    exit 1
  fi
  input=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
elif [ $check_only -eq 1 ]; then
  echo "$usage" >&2
  exit 2
fi
out=${KELVANE_OUT:-$root/out}
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
out=${out%/}
cd "$root"

steps=8
step() { echo; echo "== [$1/$steps] $2"; }

if [ -n "${KELVANE_BUILD_DIR:-}" ]; then
  build=$(cd "$KELVANE_BUILD_DIR" && pwd)
  step 1 "setting up: skipped, using the build in $build"
  step 2 "building: skipped"
else
  build="$root/build/release"
  step 1 "setting up (Debian packages from scripts/debian-packages.txt)"
  bash scripts/setup.sh
  step 2 "building the plug-in bundle, the host stand-in and the main job's tools (release)"
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"$(nproc)" \
    --target kelvane_bundle kelvane_host kelvane_demo_programme kelvane_level_analysis
fi
bundle="$build/Bundle/Kelvane.aaxplugin"
host="$build/Host/app/kelvane_host"
analysis="$build/tools/main-job/kelvane_level_analysis"
python=/usr/bin/python3

if [ -n "$input" ]; then
  step 3 "checking $input"
  if ! track=$("$analysis" --check "$input" 2>&1); then
    echo "run: $track" >&2
    exit 1
  fi
  echo "$track" | tr '\n' ' '; echo
  if [ $check_only -eq 1 ]; then
    echo "run: the main job can take $input"
    exit 0
  fi
fi

# The results are made in a folder beside out/ (same file system, so the swap at the end is two renames).
mkdir -p "$(dirname "$out")"
work=$(mktemp -d "$out.new.XXXXXX")
# mktemp makes the folder private; the results are as readable as anything else the user writes.
chmod "$(printf %o $((0777 & ~0$(umask))))" "$work"
trap 'rm -rf "$work"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
mkdir "$work/chunks"
cd "$work"

# The window's update check asks the maker's web server. Here it goes to a closed port on this machine
# through a proxy setting that only this run sees, so no request leaves the machine.
export https_proxy=http://127.0.0.1:9 HTTPS_PROXY=http://127.0.0.1:9 no_proxy= NO_PROXY=
display=(xvfb-run -a -s "-screen 0 1280x1024x24")

if [ -z "$input" ]; then
  step 3 "generating the demo programme (speech, a louder music passage, speech again; stereo, 48 kHz)"
  input="$work/demo-input.wav"
  "$build/tools/main-job/kelvane_demo_programme" "$input"
  track=$("$analysis" --check "$input")
fi
seconds=$(echo "$track" | sed -n 's/^seconds=//p')
rate=$(echo "$track" | sed -n 's/^sample_rate=//p')

# What the host does to the track: "dbMain" automated (normalised values at times in seconds; the output
# level is 15 * value - 12 dB) and the host's bypass on for one stretch, both scaled to the track; a track
# too short for either goes without it.
timeline=$("$python" "$root/scripts/main_job_timeline.py" "$seconds" "$rate")
automation=$(echo "$timeline" | sed -n 's/^automation=//p')
bypass_start=$(echo "$timeline" | sed -n 's/^bypass_start=//p')
bypass_end=$(echo "$timeline" | sed -n 's/^bypass_end=//p')
host_options=()
if [ -n "$automation" ]; then host_options+=(--automate "dbMain=$automation"); fi
if [ -n "$bypass_start" ]; then host_options+=(--bypass "$bypass_start-$bypass_end"); fi
echo "track: $(awk -v s="$seconds" 'BEGIN { printf "%g", s }') s; \"dbMain\" automation: ${automation:-none}; host bypass: ${bypass_start:-none}${bypass_end:+ to $bypass_end s}"

step 4 "loading the bundle and listing what the plug-in registered"
"$host" list "$bundle" | tee registered.txt

step 5 "rendering through the plug-in (${#host_options[@]} automation and bypass options), saving both chunks"
"$host" render "$bundle" "$input" kelvane-output.wav "${host_options[@]}" \
  --save-chunk elck=chunks/elck.chunk --save-chunk juce=chunks/juce.chunk | tee render.txt

step 6 "restoring both chunks into a second instance and rendering the same track with it"
"$host" render "$bundle" "$input" second-instance-output.wav \
  --restore-chunk elck=chunks/elck.chunk --restore-chunk juce=chunks/juce.chunk "${host_options[@]}" \
  --save-chunk elck=chunks/second-elck.chunk --save-chunk juce=chunks/second-juce.chunk | tee -a render.txt

step 7 "opening the plug-in's window in the host while the track plays, and capturing it"
# The window is captured as it closes, three seconds after the audio starts: starting the audio just under
# three seconds before the loudest moment of the track catches the meters there. A shorter track plays in a
# loop from its start.
"$analysis" "$input" "$input" input-levels.csv >/dev/null
loudest=$(awk -F, 'NR > 1 && $2 > best { best = $2; at = $1 } END { printf "%.2f", (at > 2.9 ? at - 2.9 : 0) }' best=-999 input-levels.csv)
rm -f input-levels.csv
"${display[@]}" "$host" window "$bundle" --input "$input" --from "$loudest" --seconds 3 --set dbMain=0.8 \
  --capture window.png | tee window.txt

step 8 "measuring levels and loudness, plotting, writing the report"
"$analysis" "$input" kelvane-output.wav levels.csv > levels.txt
"$python" "$root/scripts/plot_levels.py" levels.csv levels.png --seconds "$seconds" \
  ${bypass_start:+--bypass "$bypass_start:$bypass_end"} ${automation:+--automation "$automation"} \
  --title "Kelvane on $(basename "$input")"
"$python" "$root/scripts/main_job_report.py" . "$input" --automation "$automation" \
  --bypass "${bypass_start:+$bypass_start:$bypass_end}" --window-level 0.8 > report.md

# The swap: the old results go only once the new ones are complete. From here on an interruption leaves both
# folders rather than neither.
trap - EXIT HUP INT TERM
cd "$root"
if [ -e "$out" ]; then
  old=$(mktemp -d "$out.old.XXXXXX")
  mv "$out" "$old/"
  mv "$work" "$out"
  rm -rf "$old"
else
  mv "$work" "$out"
fi

echo
cat "$out/report.md"
echo
echo "Written to $out: kelvane-output.wav, window.png, levels.png, report.md (and the chunks, levels.csv)."
