#!/usr/bin/env bash
# The main job's own checks, each without the demo programme:  main_job_checks.sh SOURCE_DIR BUILD_DIR CHECK
#   tracks    a track the host cannot take is refused with one line and status 1, the previous results untouched
#   swap      the results replace the previous ones only when complete, here on a 10 ms track; nothing else is
#             written, not in HOME nor in the temporary folder
#   folders   a results folder the job did not make, or a folder that is no build, is refused before anything
#             is touched; one it made, an empty one or none is taken, and a failed run leaves it as it was
#   lock      a second run on a results folder being written is refused at once
#   signals   a stop signal to the job's process group during the window step leaves nothing running or behind
#   warnings  a warning about the track is said once and goes into the report
#   setup     scripts/setup.sh waits, bounded, while another package manager holds apt's lock
set -uo pipefail
root=$1 build=$2 check=$3
[[ $check =~ ^(tracks|swap|folders|lock|signals|warnings|setup)$ ]] || exit 2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
wav() { /usr/bin/python3 "$(dirname "$0")/make_wav.py" "$tmp/$1" "${@:2}"; }
# A previous run's results, with the mark that tells the job they are its own.
mark() { printf '%s\n' "the main job's results" .kelvane-results "${@:2}" >"$1/.kelvane-results"; }
out=$tmp/results/out
mkdir -p "$out" && echo "the previous run's report" >"$out/report.md" && (cd "$out" && mark . report.md)
# Everything in a folder (the results' parent) with its time of change; "snapshot 1" leaves out the folder's own.
snapshot() { (cd "${2:-$tmp/results}" && find . -mindepth "${1:-0}" -exec ls -ld --time-style=+%s.%N {} + | sort); }
before=$(snapshot) before_out=$(snapshot 1)
job() {
  KELVANE_BUILD_DIR=${BUILD:-$build} KELVANE_OUT=${OUT:-$out} bash "$root/scripts/run.sh" "$@" >"$tmp/stdout" 2>"$tmp/stderr"
  status=$?
}
refused() { [ $status -eq 1 ] && [ "$(wc -l <"$tmp/stderr")" -eq 1 ] && grep -q "^run: .*$1" "$tmp/stderr"; }
# A virtual display that fails to start: the run fails after its renders.
mkdir "$tmp/no-display" && ln -s /bin/false "$tmp/no-display/Xvfb"

if [ "$check" = tracks ]; then
  wav three-channels.wav 10 48000 3 && wav slow-rate.wav 10 22050 2 && wav header-only.wav 0 48000 2
  echo "not audio" >"$tmp/words.wav" && : >"$tmp/zero-bytes.wav" && mkdir "$tmp/a-folder.wav"
  for row in "missing.wav: no such file" "a-folder.wav: is a folder" "zero-bytes.wav: the file is empty" \
    "words.wav: not an audio file" "header-only.wav: holds no audio" "three-channels.wav: has 3 channels" \
    "slow-rate.wav: is at 22050 Hz"; do
    job "$tmp/${row%%:*}"
    refused "$row" && [ "$(snapshot)" = "$before" ] || fail "${row%%:*}: status $status: $(cat "$tmp/stderr")"$'\n'"$(snapshot)"
  done
  wav one-sample.wav 1 192000 2 && job --check-only "$tmp/one-sample.wav"
  [ $status -eq 0 ] && grep -q "can take" "$tmp/stdout" && [ "$(snapshot)" = "$before" ] \
    || fail "a track of one sample: status $status: $(cat "$tmp/stderr")"$'\n'"$(snapshot)"
  # Help is asked for, so it goes to standard output; a wrong option is a mistake.
  for row in "--help 0 stdout" "-h 0 stdout" "--bogus 2 stderr"; do
    set -- $row && job "$1"
    [ $status -eq "$2" ] && grep -q "^usage: " "$tmp/$3" || fail "$1: status $status: $(cat "$tmp/stdout" "$tmp/stderr")"
  done
elif [ "$check" = swap ]; then
  wav short.wav 441 44100 1
  PATH=$tmp/no-display:$PATH job "$tmp/short.wav"
  [ $status -ne 0 ] && [ "$(snapshot 1)" = "$before_out" ] || fail "a failed run: status $status:"$'\n'"$(snapshot 1)"
  unset XDG_CACHE_HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME
  mkdir "$tmp/home" "$tmp/job-tmp" && HOME=$tmp/home TMPDIR=$tmp/job-tmp job "$tmp/short.wav"
  [ $status -eq 0 ] || fail "the run on a 10 ms track failed: $(tail -n 20 "$tmp/stdout" "$tmp/stderr")"
  written=$(cd "$tmp" && find home job-tmp -mindepth 1)
  [ -z "$written" ] || fail "the run wrote outside its results: $written"
  [ "$(ls -A "$tmp/results")" = out ] || fail "a run left beside the results: $(ls -A "$tmp/results")"
  (cd "$out" && ls kelvane-output.wav second-instance-output.wav window.png levels.png >/dev/null) || fail "a file missing"
  for text in "1 channel, 44100 Hz" "mono at 44100 Hz" "bypass on from 0.0022 s to 0.0031 s" "bit for bit" \
    "| integrated loudness (EBU R 128) | none | none |"; do
    grep -qF "$text" "$out/report.md" || fail "the report does not say '$text'"
  done
  # The track is shorter than one window of the level analysis: that window is measured, at its middle.
  [ "$(cut -d, -f1 "$out/levels.csv")" = $'time_s\n0.0050' ] || fail "the levels: $(cat "$out/levels.csv")"
  [ "$(stat -c %a "$out")" = "$(printf %o $((0777 & ~0$(umask))))" ] \
    || fail "the results folder is not as readable as the umask makes folders: $(stat -c %a "$out")"
elif [ "$check" = folders ]; then
  # The rows share one parent folder, the job runs from it; every row leaves it as it was.
  wav short.wav 441 44100 1 && f=$tmp/f && mkdir -p "$f"/{mine,marked,legacy/chunks,empty}
  echo "the user's" >"$f/mine/notes.txt" && cp "$tmp/short.wav" "$f/mine/song.wav" && echo "a file" >"$f/a-file"
  echo report >"$f/marked/report.md" && (cd "$f/marked" && mark . report.md) && cp -a "$f/marked" "$f/marked-plus"
  touch "$f/marked-plus/report.md~" && ln -s mine "$f/link" && ln -s marked "$f/link-marked"
  # What the job wrote before it marked its results: exactly that set is taken for its own.
  (cd "$f/legacy" && touch kelvane-output.wav levels.csv levels.png levels.txt registered.txt render.txt report.md \
    second-instance-output.wav window.png window.txt chunks/{elck,juce,second-elck,second-juce}.chunk)
  cp -a "$f/legacy" "$f/legacy-plus" && touch "$f/legacy-plus/notes.txt" && mkdir "$f/a-report" && touch "$f/a-report/report.md"
  mkdir -p "$f"/b/build/{Host/app,Bundle/Kelvane.aaxplugin,tools/main-job}
  touch "$f"/b/build/{Host/app/kelvane_host,tools/main-job/kelvane_level_analysis,tools/main-job/kelvane_demo_programme}
  mkdir "$f/read-only" && chmod 555 "$f/read-only" && cd "$f" || exit 1
  # KELVANE_OUT | KELVANE_BUILD_DIR | track, if not ../short.wav | what the one line says, or "taken" for a run
  # that fails only at the display stand-in (after its renders), the folder as it was.
  rows=("mine|||holds 'notes.txt', which the main job did not write" "mine||mine/song.wav|is inside the results"
    "link||mine/song.wav|is inside the results folder '$f/mine'" "a-file|||it is a file" ".|||holds the current folder"
    "/|||holds the project" "$root|||holds the project" "$(dirname "$root")|||holds the project"
    "b|$f/b/build||holds the build" "marked-plus|||holds 'report.md~'" "legacy-plus|||holds 'notes.txt'"
    "a-report|||holds 'report.md'" "legacy/chunks|||holds 'elck.chunk'" "missing/out|||there is no folder '$f/missing'"
    "out|/nonexistent||KELVANE_BUILD_DIR '/nonexistent': no such folder"
    "out|mine||KELVANE_BUILD_DIR 'mine' is not a build of Kelvane"
    "marked|||taken" "link-marked|||taken" "legacy|||taken" "empty|||taken" "out|||taken")
  # Permissions do not hold for root.
  [ "$(id -u)" -eq 0 ] || rows+=("read-only/out|||'$f/read-only' is not writable")
  for row in "${rows[@]}"; do
    IFS='|' read -r results build_dir track expected <<<"$row"
    before=$(snapshot 0 "$f") before_contents=$(snapshot 1 "$f")
    PATH=$tmp/no-display:$PATH OUT=$results BUILD=$build_dir job "${track:-../short.wav}"
    if [ "$expected" = taken ]; then
      refused "the virtual display (Xvfb) did not start" && [ "$(snapshot 1 "$f")" = "$before_contents" ]
    else
      refused "$expected" && [ "$(snapshot 0 "$f")" = "$before" ] && ! grep -q "==" "$tmp/stdout"
    fi || fail "$row: status $status: $(cat "$tmp/stderr")"$'\n'"$(diff <(echo "$before") <(snapshot 0 "$f"))"
  done
  chmod 755 "$f/read-only"
elif [ "$check" = lock ]; then
  wav short.wav 441 44100 1 && exec 8<"$out" && flock -n 8 && start=$SECONDS && job "$tmp/short.wav"
  refused "another run is writing '$out'; try again when it has finished" && [ ! -s "$tmp/stdout" ] \
    && [ "$(snapshot)" = "$before" ] && [ $((SECONDS - start)) -le 5 ] \
    || fail "a run while the lock is held: status $status: $(cat "$tmp/stderr")"$'\n'"$(snapshot)"
elif [ "$check" = signals ]; then
  wav short.wav 441 44100 1
  # The job alone in its process group with the signals' default actions, as a terminal starts it.
  for row in INT:130 TERM:143 HUP:129; do
    rm -rf "$tmp/job-tmp" && mkdir "$tmp/job-tmp"
    setsid env --default-signal TMPDIR="$tmp/job-tmp" KELVANE_BUILD_DIR="$build" KELVANE_OUT="$out" \
      bash "$root/scripts/run.sh" "$tmp/short.wav" >/dev/null 2>&1 &
    group=$!
    for _ in $(seq 600); do
      window=$(pgrep -g $group -f "kelvane_host window") && break
      sleep 0.05
    done
    display=$(tr '\0' '\n' <"/proc/$window/environ" | sed -n 's/^DISPLAY=://p') xvfb=$(pgrep -P $group -x Xvfb)
    sleep 0.3 && kill -"${row%:*}" -- -$group && wait $group
    status=$?
    for _ in $(seq 50); do
      left=$(ps -e -o pgid=,stat=,args= | awk -v g=$group '$1 == g && $2 !~ /^Z/')
      [ -z "$left" ] && break
      sleep 0.1
    done
    [ "$status" = "${row#*:}" ] && [ -n "$window" ] && [ -z "$left" ] && [ -z "$(ls -A "$tmp/job-tmp")" ] \
      && [ -n "$xvfb" ] && ! kill -0 "$xvfb" 2>/dev/null && ! grep -qsw "$xvfb" "/tmp/.X$display-lock" \
      && [ "$(snapshot 1)" = "$before_out" ] \
      || fail "SIG$row: status $status, display :$display, left: $left $(ls -A "$tmp/job-tmp")"$'\n'"$(snapshot 1)"
  done
elif [ "$check" = warnings ]; then
  # The header promises twice the frames the file holds.
  wav cut-short.wav 882 44100 1 && truncate -s $((44 + 441 * 2)) "$tmp/cut-short.wav" && job "$tmp/cut-short.wav"
  warning="'$tmp/cut-short.wav' is cut short: its header promises 882 frames, it holds 441"
  [ $status -eq 0 ] && [ "$(grep -c "is cut short" "$tmp/stderr")" -eq 1 ] && grep -qF "$warning" "$tmp/stderr" \
    && grep -qF -x -- "- $warning; rendered those" "$out/report.md" && grep -q "^## Warnings" "$out/report.md" \
    || fail "a track cut short: status $status: $(cat "$tmp/stderr")"$'\n'"$(sed -n '1,/^## What/p' "$out/report.md")"
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
