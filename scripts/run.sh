#!/usr/bin/env bash
# The main job: sets up a Debian machine, builds the plug-in bundle and the host stand-in, and runs the host on
# the bundle under a virtual X display:
#   bash scripts/run.sh                 renders a generated demo programme
#   bash scripts/run.sh my-track.wav    renders your own file (mono or stereo WAV at 44.1 to 192 kHz)
# Everything it writes goes to out/: the rendered audio, a picture of the plug-in's window taken while the
# audio plays, a plot of levels and gain over time, and a short report (out/report.md).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
input=""
if [ $# -gt 1 ]; then
  echo "usage: bash scripts/run.sh [INPUT.wav]" >&2
  exit 2
elif [ $# -eq 1 ]; then
  if [ ! -f "$1" ]; then
    echo "run: no such file: $1" >&2
    exit 1
  fi
  input=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
fi
cd "$root"

steps=8
step() { echo; echo "== [$1/$steps] $2"; }

step 1 "setting up (Debian packages from scripts/debian-packages.txt)"
bash scripts/setup.sh

step 2 "building the plug-in bundle, the host stand-in and the main job's tools (release)"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)" \
  --target kelvane_bundle kelvane_host kelvane_demo_programme kelvane_level_analysis

build=build/release
bundle="$build/Bundle/Kelvane.aaxplugin"
host="$build/Host/app/kelvane_host"
out="$root/out"
mkdir -p "$out/chunks"
rm -f "$out"/*.wav "$out"/*.png "$out"/*.txt "$out"/*.md "$out"/chunks/*

# The window's update check asks the maker's web server. Here it goes to a closed port on this machine
# through a proxy setting that only this run sees, so no request leaves the machine.
export https_proxy=http://127.0.0.1:9 HTTPS_PROXY=http://127.0.0.1:9 no_proxy= NO_PROXY=
display=(xvfb-run -a -s "-screen 0 1280x1024x24")

# What the host does to the track: "dbMain" automated (normalised values at times in seconds; the output
# level is 15 * value - 12 dB) and the host's bypass on for one stretch. Times are scaled to the track.
if [ -z "$input" ]; then
  step 3 "generating the demo programme (speech, a louder music passage, speech again; stereo, 48 kHz)"
  input="$out/demo-input.wav"
  "$build/tools/main-job/kelvane_demo_programme" "$input"
else
  step 3 "using $input"
fi
seconds=$("$build/tools/main-job/kelvane_level_analysis" "$input" "$input" /dev/null | sed -n 's/^seconds=//p')
at() { awk -v s="$seconds" -v f="$1" 'BEGIN { printf "%.2f", s * f }'; }
automation="0:0.5,$(at 0.38):0.5,$(at 0.56):0.8,$(at 0.75):0.6"
bypass_start=$(at 0.22)
bypass_end=$(at 0.31)
echo "track: $seconds s; \"dbMain\" automation $automation; host bypass $bypass_start to $bypass_end s"

step 4 "loading the bundle and listing what the plug-in registered"
"$host" list "$bundle" | tee "$out/registered.txt"

step 5 "rendering through the plug-in (automation of \"dbMain\", bypass from $bypass_start to $bypass_end s), saving both chunks"
"$host" render "$bundle" "$input" "$out/kelvane-output.wav" \
  --automate "dbMain=$automation" --bypass "$bypass_start-$bypass_end" \
  --save-chunk "elck=$out/chunks/elck.chunk" --save-chunk "juce=$out/chunks/juce.chunk" | tee "$out/render.txt"

step 6 "restoring both chunks into a second instance and rendering the same track with it"
"$host" render "$bundle" "$input" "$out/second-instance-output.wav" \
  --restore-chunk "elck=$out/chunks/elck.chunk" --restore-chunk "juce=$out/chunks/juce.chunk" \
  --automate "dbMain=$automation" --bypass "$bypass_start-$bypass_end" \
  --save-chunk "elck=$out/chunks/second-elck.chunk" --save-chunk "juce=$out/chunks/second-juce.chunk" | tee -a "$out/render.txt"

step 7 "opening the plug-in's window in the host while the track plays, and capturing it"
# The window is captured while the loudest part of the track plays, so the meters have something to show.
"$build/tools/main-job/kelvane_level_analysis" "$input" "$input" "$out/input-levels.csv" >/dev/null
loudest=$(awk -F, 'NR > 1 && $2 > best { best = $2; at = $1 } END { printf "%.2f", (at > 1 ? at - 1 : 0) }' best=-999 "$out/input-levels.csv")
rm -f "$out/input-levels.csv"
"${display[@]}" "$host" window "$bundle" --input "$input" --from "$loudest" --seconds 3 --set dbMain=0.8 \
  --capture "$out/window.png" | tee "$out/window.txt"

step 8 "measuring levels and loudness, plotting, writing the report"
"$build/tools/main-job/kelvane_level_analysis" "$input" "$out/kelvane-output.wav" "$out/levels.csv" > "$out/levels.txt"
/usr/bin/python3 scripts/plot_levels.py "$out/levels.csv" "$out/levels.png" \
  --bypass "$bypass_start:$bypass_end" --automation "$automation" \
  --title "Kelvane on $(basename "$input")"
/usr/bin/python3 scripts/main_job_report.py "$out" "$input" --automation "$automation" --bypass "$bypass_start:$bypass_end" \
  > "$out/report.md"

# The README's pictures come from the demo programme.
if [ "$input" = "$out/demo-input.wav" ]; then
  mkdir -p docs/images
  cp "$out/window.png" docs/images/kelvane-window.png
  cp "$out/levels.png" docs/images/kelvane-levels.png
fi

echo
cat "$out/report.md"
echo
echo "Written to $out: kelvane-output.wav, window.png, levels.png, report.md (and the chunks, levels.csv)."
