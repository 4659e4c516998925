#!/usr/bin/env bash
# The main job: sets up a Debian machine, builds the plug-in bundle and the host stand-in, and runs the host on
# the bundle, its window on a virtual X display of the job's own:
#   bash scripts/run.sh                 renders a generated demo programme
#   bash scripts/run.sh my-track.wav    renders your own file (mono or stereo WAV, AIFF or FLAC at 44.1, 48,
#                                       88.2, 96, 176.4 or 192 kHz)
#   bash scripts/run.sh --check-only my-track.wav
#                                       only says whether the main job can take the track
# Everything it writes goes to out/: the rendered audio, a picture of the plug-in's window taken while the
# audio plays, a plot of levels and gain over time, and a short report (out/report.md). The new results are
# made in a hidden folder beside out/ and take its place only when complete, so a failed or stopped run leaves
# the previous out/ as it was. It replaces only a results folder it made itself and nobody changed since
# (marked by .kelvane-results inside), an empty one or none, and one run at a time: anything else is refused
# before anything is touched, and what changes during the run stays as it is. It removes only what it made
# while it runs, and names what dead runs left; the rules are in scripts/results/, and
# scripts/results_folder.py serve keeps the results folder for the run.
# Environment: KELVANE_OUT, another folder instead of out/; KELVANE_BUILD_DIR, an existing build to use as it
# is (no setup, no build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd -P)
usage="usage: bash scripts/run.sh [--check-only] [TRACK]"
refuse() { echo "run: $*" >&2; exit 1; }
check_only=0
if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
  cat <<HELP
$usage
Renders TRACK (mono or stereo WAV, AIFF or FLAC at 44.1, 48, 88.2, 96, 176.4 or 192 kHz; without one, a
generated demo programme) through the plug-in in its host stand-in and writes the results folder: the output,
the window's picture, a plot of the levels and report.md. --check-only only says whether the job can take TRACK.
  KELVANE_OUT        the results folder (default: out/ in the project); replaced only when it holds nothing but
                     an earlier run's results, or is empty
  KELVANE_BUILD_DIR  an existing build to use as it is (no setup, no build)
HELP
  exit 0
elif [ "${1:-}" = "--check-only" ]; then
  check_only=1
  shift
fi
# A name the job prints may not start a line of its own nor move the cursor: a control character in one the
# user gives is refused, shown quoted.
plain_name() { [[ $2 != *[[:cntrl:]]* ]] || refuse "$1 holds a control character: $(printf %q "$2"); $3"; }
plain_name KELVANE_OUT "${KELVANE_OUT:-}" "name a folder without one"
plain_name KELVANE_BUILD_DIR "${KELVANE_BUILD_DIR:-}" "name a folder without one"
plain_name TMPDIR "${TMPDIR:-}" "name a folder without one"
plain_name "the project's path" "$root" "move it to a folder without one"
input="" input_path=""
if [ $# -gt 1 ] || [[ "${1:-}" == -?* ]] || { [ $check_only -eq 1 ] && [ $# -eq 0 ]; }; then
  echo "$usage" >&2
  exit 2
elif [ $# -eq 1 ]; then
  # What needs no build is refused before the minutes of setting up and building.
  plain_name "the track's name" "$1" "rename it, or link it under a name without one"
  if [ ! -e "$1" ]; then
    refuse "$1: no such file"
  elif [ -d "$1" ]; then
    refuse "$1: is a folder, not an audio file"
  elif [ ! -r "$1" ]; then
    refuse "$1: cannot be read"
  fi
  input=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  input_path=$(realpath -- "$1")
fi

if [ -n "${KELVANE_BUILD_DIR:-}" ]; then
  [ -d "$KELVANE_BUILD_DIR" ] || refuse "KELVANE_BUILD_DIR '$KELVANE_BUILD_DIR': no such folder"
  build=$(realpath -- "$KELVANE_BUILD_DIR")
  for program in Host/app/kelvane_host Bundle/Kelvane.aaxplugin tools/main-job/kelvane_level_analysis \
    tools/main-job/kelvane_demo_programme; do
    [ -e "$build/$program" ] || refuse "KELVANE_BUILD_DIR '$KELVANE_BUILD_DIR' is not a build of Kelvane: it has no $program"
  done
else
  build="$root/build/release"
fi

# The results folder: a symbolic link stands for the folder it names. A run replaces the folder whole, so it
# must hold nothing of the user's: not the project, the build, the track or the folder the user is in.
out=$(realpath -m -- "${KELVANE_OUT:-$root/out}")
parent=$(dirname "$out") name=$(basename "$out") here=$(pwd -P)
within() { [[ "$1/" == "${2%/}/"* ]]; }
if [ $check_only -eq 0 ]; then
  if [ -e "$out" ] && [ ! -d "$out" ]; then
    refuse "'$out' cannot be the results folder: it is a file, not a folder"
  elif within "$root" "$out"; then
    refuse "'$out' cannot be the results folder: it holds the project; name a folder of its own in KELVANE_OUT"
  elif within "$build" "$out"; then
    refuse "'$out' cannot be the results folder: it holds the build '$build'"
  elif within "$here" "$out"; then
    refuse "'$out' cannot be the results folder: it holds the current folder"
  elif [ -n "$input_path" ] && within "$input_path" "$out"; then
    refuse "$1: is inside the results folder '$out', which a run replaces; move the track out of it first"
  elif mountpoint -q -- "$out" 2>/dev/null; then
    # The results are swapped in by renaming folders, which a mount point refuses.
    refuse "'$out' cannot be the results folder: it is a mount point, which a run cannot replace; name a folder inside it in KELVANE_OUT"
  elif [ ! -d "$parent" ]; then
    refuse "cannot make the results folder '$out': there is no folder '$parent'"
  elif [ ! -w "$parent" ]; then
    refuse "cannot write the results folder '$out': '$parent' is not writable"
  fi
fi

python=(/usr/bin/python3 -B)
results=("${python[@]}" "$root/scripts/results_folder.py")
# The job's own standard output, for what its programs print while their errors are caught.
exec 3>&1

# The results folder's keeper (scripts/results_folder.py serve) locks it, checks it, makes the work folder
# and swaps the results in; it ignores stop signals and ends when its input does, after this shell and every
# program of the run, removing what the run made and did not hand over. Should it die before, the run stops
# at once: a watcher that only the keeper's end wakes stops the step that runs and tells this shell. The
# virtual display goes on every way out.
xvfb="" keeper="" watcher="" swapping=0 keeper_gone=0 work=""
stop_display() {
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=""
  fi
}
cleanup() {
  if [ -n "$watcher" ]; then kill "$watcher" 2>/dev/null || true; fi
  stop_display
  if [ -n "$keeper" ]; then
    # The keeper ends once its input closes; its answers end with it.
    exec 7>&-
    while IFS= read -r -u "$from_keeper" _; do :; done
  fi
}
keeper_ended() {
  [ $keeper_gone -eq 0 ] || exit 1
  keeper_gone=1 watcher="" keeper=""
  if [ $swapping -eq 1 ]; then
    echo "run: the keeper of the results folder ended unexpectedly while it put the results in place; see what '$out' holds" >&2
  else
    echo "run: the keeper of the results folder ended unexpectedly, so the run stops here; '$out' is as it was" >&2
  fi
  exit 1
}
watch_keeper() {
  local watcher=$BASHPID
  read -r _ || true
  # A job's shell killed by force leaves its number free for another program (another job's display, say): only
  # a shell that is still this watcher's parent is told, and its programs stopped.
  [ "$(ps -o ppid= -p "$watcher" | tr -d ' ')" = "$$" ] || exit 0
  kill -USR1 $$ 2>/dev/null || exit 0
  # Every program below this shell but the watcher: a step's program may run inside a subshell of its own.
  descendants() {
    local child
    for child in $(pgrep -P "$1"); do
      if [ "$child" != "$watcher" ]; then descendants "$child"; echo "$child"; fi
    done
  }
  kill -TERM $(descendants $$) 2>/dev/null || true
}
# A stop records what the stopped step wrote (its program has ended by now: bash runs the trap after it), so
# that the keeper removes it with the rest of the work folder.
stopped() {
  if [ -n "$work" ] && [ -n "$keeper" ]; then echo note >&7 2>/dev/null || true; fi
  exit "$1"
}
trap cleanup EXIT
trap 'stopped 129' HUP
trap 'stopped 130' INT
trap 'stopped 143' TERM
trap keeper_ended USR1

# Asks the keeper (no request: its first answer, on the results folder); what it answers after "ok" is left
# in $reply. A refusal it has said already ends the run.
ask() {
  if [ $# -gt 0 ]; then echo "$*" >&7; fi
  IFS= read -r reply <&"$from_keeper" || keeper_ended
  [ "${reply%% *}" = ok ] || exit 1
  reply=${reply#ok}
  reply=${reply# }
}
# A step's errors, kept in memory, said as the job says them (a full disk the same way whichever step found it).
failed() {
  "${results[@]}" failed "$out" "$previous" "${1:-run: $2 failed}" || true
  exit 1
}
# Runs a command, its output to the job's, or into FILE (into FILE COMMAND...).
quietly() {
  local errors
  errors=$("$@" 2>&1 >&3) || failed "$errors" "$1"
  if [ -n "$errors" ]; then echo "$errors" >&2; fi
}
# FILE is written once the command has succeeded, so that a failed or stopped step leaves no half of it in the
# work folder, which the run removes only as it recorded it.
into() {
  local file=$1 errors
  shift
  errors=$( { printed=$("$@") || exit; printf '%s' "${printed:+$printed$'\n'}" >"$file"; } 2>&1) || failed "$errors" "$1"
  if [ -n "$errors" ]; then echo "$errors" >&2; fi
}
# What the output will be, when the level analysis says it (output_container=, output_bytes=).
output_bytes="" output_container=""
describe_output() {
  output_bytes=$(sed -n 's/^output_bytes=//p' <<<"$track") output_container=$(sed -n 's/^output_container=//p' <<<"$track")
  if [ -n "$output_bytes" ]; then "${results[@]}" output "${output_container:-WAV}" "$output_bytes"; fi
}

previous=empty
if [ $check_only -eq 0 ]; then
  # The watcher reads a pipe whose other end only the keeper holds (descriptor 6, closed here once the keeper
  # has it); it holds none of the job's output.
  exec 6> >(watch_keeper >/dev/null 2>&1 3>&-)
  watcher=$!
  coproc KEEPER { exec "${results[@]}" serve "$out"; }
  keeper=$KEEPER_PID
  # Its end is the watcher's to tell, in the job's own words, not bash's.
  disown "$keeper"
  exec 6>&-
  # Its input is held by every program the run starts (a descriptor of a fixed number, left open across exec).
  exec 7<>"/proc/self/fd/${KEEPER[1]}" {from_keeper}<&"${KEEPER[0]}"
  eval "exec ${KEEPER[1]}>&-"
  # Whether the results folder holds earlier results, for the line a full disk is said in.
  ask && previous=$reply
fi
cd "$root"

steps=9
# Each step begins by recording what the steps before it wrote into the work folder.
step() {
  if [ -n "${work:-}" ]; then ask note; fi
  echo
  echo "== [$1/$steps] $2"
}

if [ -n "${KELVANE_BUILD_DIR:-}" ]; then
  step 1 "setting up: skipped, using the build in $build"
  step 2 "building: skipped"
else
  step 1 "setting up (Debian packages from scripts/debian-packages.txt)"
  bash scripts/setup.sh
  step 2 "building the plug-in bundle, the host stand-in and the main job's tools (release)"
  source scripts/build-lock.sh
  lock_build "$build" run
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"$(nproc)" \
    --target kelvane_bundle kelvane_host kelvane_demo_programme kelvane_level_analysis
  unlock_build
fi
bundle="$build/Bundle/Kelvane.aaxplugin"
host="$build/Host/app/kelvane_host"
analysis="$build/tools/main-job/kelvane_level_analysis"

# A warning about the track, once, on a line of its own: the level analysis and every render read the same
# track and say it in the same words after their own names. The report lists them all.
warnings=""
warn_once() {
  local line
  while IFS= read -r line; do
    if [ -n "$line" ] && ! grep -qxF -- "${line#*: warning: }" <<<"$warnings"; then
      warnings+="${line#*: warning: }"$'\n'
      echo "$line" >&2
    fi
  done <<<"$1"
}
# What the level analysis says of the track: its values into $track, its warnings said once.
check_track() {
  local said
  said=$("$analysis" --check "$input" 2>&1) || refuse "$said"
  track=$(grep -E '^[a-z_]+=' <<<"$said" || true)
  warn_once "$(grep -vE '^[a-z_]+=' <<<"$said" || true)"
}
value() { sed -n "s/^$1=//p" <<<"$track"; }

if [ -n "$input" ]; then
  step 3 "checking $input"
  check_track
  awk -v c="$(value channels)" -v r="$(value sample_rate)" -v s="$(value seconds)" -v f="$(value frames)" \
    'BEGIN { printf "%s at %d Hz, %g s (%d frames)\n", c == 1 ? "mono" : "stereo", r, s, f }'
  describe_output
  if [ $check_only -eq 1 ]; then
    echo "run: the main job can take $input"
    exit 0
  fi
fi

# The new results are made in a hidden folder beside the results folder (same disk, so the swap at the end
# renames folders), made once the track is known to be taken.
ask work && work=${reply#* } work_id=${reply%% *}
# The work folder is private to the run, so what the steps write there by relative name lands nowhere else;
# the folder entered by its path must be the one the keeper made.
cd "$work"
[ "$(stat -c %d:%i .)" = "$work_id" ] || refuse "'$work' is no longer the folder the run made; the run stops here"

# The window's update check asks the maker's web server. Here it goes to a closed port on this machine
# through a proxy setting that only this run sees, so no request leaves the machine.
export https_proxy=http://127.0.0.1:9 HTTPS_PROXY=http://127.0.0.1:9 no_proxy= NO_PROXY=
# Nothing is written outside the results: the window's toolkit keeps its settings in memory rather than the
# user's dconf database, matplotlib its font cache in the run's private folder rather than ~/.cache.
export GSETTINGS_BACKEND=memory
unset DISPLAY XAUTHORITY

# Runs kelvane_host, its output into TRANSCRIPT, then shown (unless SHOWN=no).
run_host() {
  local transcript=$1 errors
  shift
  errors=$( { printed=$("$host" "$@") || exit; [ -z "$printed" ] || printf '%s\n' "$printed" >>"$transcript"
    [ -z "$printed" ] || [ "${SHOWN:-}" = no ] || printf '%s\n' "$printed" >&3; } 2>&1) || failed "$errors" kelvane_host
  warn_once "$errors"
}

# The window's virtual display, for the window step only, stopped by its process ID on every way out (an X
# server takes the hang-up signal as "reset", not "stop"). Its FIFO and log are in the run's private folder
# off the results disk, which may hold no FIFO.
start_display() {
  ask scratch && scratch=$reply
  mkfifo "$scratch/display"
  # In a session of its own, so that a Ctrl-C or hang-up meant for the job does not take the display away
  # from the window while the window closes; the job stops it itself. Should the job be killed outright, the
  # kernel stops it (the parent-death signal, kept across the exec into Xvfb). It holds none of the job's
  # output nor the keeper's input, so nothing waits on it once the job is gone.
  setpriv --pdeathsig TERM -- setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$scratch/display" </dev/null >"$scratch/xvfb.log" 2>&1 7>&- &
  xvfb=$!
  display=""
  read -r display <"$scratch/display" || true
  rm -f "$scratch/display"
  if [ -z "$display" ]; then
    why=$(tail -n 1 "$scratch/xvfb.log")
    refuse "the virtual display (Xvfb) did not start${why:+: $why}"
  fi
}

if [ -z "$input" ]; then
  step 3 "generating the demo programme (speech, a louder music passage, speech again; stereo, 48 kHz)"
  input=demo-input.wav
  quietly "$build/tools/main-job/kelvane_demo_programme" "$input"
  check_track
  describe_output
fi
# Results that cannot fit are refused before the renders (when the analysis says the output's size).
if [ -n "$output_bytes" ]; then
  ask room "$output_bytes" "$(sed -n 's/^seconds=//p' <<<"$track")" "$(stat -c %s demo-input.wav 2>/dev/null || echo 0)"
fi
seconds=$(echo "$track" | sed -n 's/^seconds=//p')
rate=$(echo "$track" | sed -n 's/^sample_rate=//p')

# What the host does to the track: "dbMain" automated (normalised values at times in seconds; the output
# level is 15 * value - 12 dB) and the host's bypass on for one stretch, both scaled to the track; a track
# too short for either goes without it.
timeline=$("${python[@]}" "$root/scripts/main_job_timeline.py" "$seconds" "$rate")
automation=$(echo "$timeline" | sed -n 's/^automation=//p')
bypass_start=$(echo "$timeline" | sed -n 's/^bypass_start=//p')
bypass_end=$(echo "$timeline" | sed -n 's/^bypass_end=//p')
host_options=()
if [ -n "$automation" ]; then host_options+=(--automate "dbMain=$automation"); fi
if [ -n "$bypass_start" ]; then host_options+=(--bypass "$bypass_start-$bypass_end"); fi
echo "track: $(awk -v s="$seconds" 'BEGIN { printf "%g", s }') s; \"dbMain\" automation: ${automation:-none}; host bypass: ${bypass_start:-none}${bypass_end:+ to $bypass_end s}"

step 4 "loading the bundle and listing what the plug-in registered"
SHOWN=no run_host registered.txt list "$bundle"
# The listing runs to dozens of lines; the terminal gets what a user looks for in it.
quietly "${python[@]}" "$root/scripts/main_job_report.py" --registered registered.txt

step 5 "rendering through the plug-in (${#host_options[@]} automation and bypass options), saving both chunks"
run_host render.txt render "$bundle" "$input" kelvane-output.wav "${host_options[@]}" \
  --save-chunk elck=chunks/elck.chunk --save-chunk juce=chunks/juce.chunk

step 6 "restoring both chunks into a second instance and rendering the same track with it"
run_host render.txt render "$bundle" "$input" second-instance-output.wav \
  --restore-chunk elck=chunks/elck.chunk --restore-chunk juce=chunks/juce.chunk "${host_options[@]}" \
  --save-chunk elck=chunks/second-elck.chunk --save-chunk juce=chunks/second-juce.chunk

step 7 "measuring levels and loudness of the track and the output"
into levels.txt "$analysis" "$input" kelvane-output.wav levels.csv

step 8 "opening the plug-in's window in the host while the track plays, and capturing it"
# The window is captured as it closes, three seconds after the audio starts: starting the audio just under
# three seconds before the loudest moment of the track catches the meters there. A shorter track plays in a
# loop from its start.
loudest=$(awk -F, 'NR > 1 && $2 > best { best = $2; at = $1 } END { printf "%.2f", (at > 2.9 ? at - 2.9 : 0) }' best=-999 levels.csv)
start_display
DISPLAY=:$display run_host window.txt window "$bundle" --input "$input" --from "$loudest" --seconds 3 \
  --set dbMain=0.8 --capture window.png
stop_display
ask unscratch

step 9 "plotting, writing the report"
ask scratch && scratch=$reply
quietly env MPLCONFIGDIR="$scratch/matplotlib" "${python[@]}" "$root/scripts/plot_levels.py" levels.csv levels.png \
  --seconds "$seconds" ${bypass_start:+--bypass "$bypass_start:$bypass_end"} \
  ${automation:+--automation "$automation"} --title "Kelvane on $(basename "$input")"
ask unscratch
into report.md "${python[@]}" "$root/scripts/main_job_report.py" . "$input" --automation "$automation" \
  --bypass "${bypass_start:+$bypass_start:$bypass_end}" --window-level 0.8 --warnings <(printf %s "$warnings")

# The swap: the old results go only once the new ones are complete. The mark lists what the run wrote, so
# that a later run knows the folder for one of its own, unchanged.
ask mark
exec 8<report.md
cd "$root"
swapping=1
ask swap
swapping=0

echo
cat <&8
echo
echo "Written to $out: kelvane-output.wav, window.png, levels.png, report.md (and the chunks, levels.csv)."
