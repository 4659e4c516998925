#!/usr/bin/env bash
# The main job's own checks, each without the demo programme:  main_job_checks.sh SOURCE_DIR BUILD_DIR CHECK
#   tracks    a track the host cannot take is refused with one line and status 1, the previous results untouched
#   swap      the results replace the previous ones only when complete, here on a 10 ms track; nothing else is
#             written, not in HOME nor in the temporary folder
#   folders   a results folder the job did not make, or a folder that is no build, is refused before anything
#             is touched; one it made, an empty one or none is taken, and a failed run leaves it as it was
#   lock      a second run on a results folder being written is refused at once
#   signals   a stop signal to the job's process group during the window step leaves nothing running or behind
#   kill      kill -9 of the job's group leaves no display running nor holding its output; the next run names
#             the dead run's work folder, with what the user put in it, and leaves it, and never names a live one's
#   killswap  kill -9 inside the swap leaves a complete result in place, or, where the disk cannot exchange two
#             folders at once, the previous results aside, which the next run puts back
#   keeper    the job's shell killed alone after the exchange: the keeper says the results are in place, and
#             nothing false; the keeper killed during a step: the job stops at once, in one line of its own
#   lookalikes  folders beside the results that look like a run's but are the user's stay untouched
#   during    a file added to the results folder, or a new folder put in its place, during a run is kept
#   exfat     the results folder on a disk without FIFOs or an exchange of folders (exFAT through FUSE), and
#             previous results a killed swap left aside put back after a remount
#   gap       runs started while a run swaps its results in (the gap widened) say that they wait, then find the
#             folder taken
#   builds    two runs that build at once build one after the other
#   disk      a full disk in the last step, results too big for the disk, and a mount point as the results
#             folder, are said in one line
#   warnings  a warning about the track is said once and goes into the report
#   setup     scripts/setup.sh waits, bounded, while another package manager holds apt's lock, and says that a user
#             without root or sudo cannot install
set -uo pipefail
root=$1 build=$2 check=$3
[[ $check =~ ^(tracks|swap|folders|lock|signals|kill|killswap|keeper|lookalikes|during|exfat|gap|builds|disk|warnings|setup)$ ]] || exit 2
# The checks run the same whatever the caller's shell exports for the job.
unset $(compgen -e | grep '^KELVANE_')
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The runs' private folders in a temporary folder of this check's own, so that checks side by side do not see
# each other's.
export TMPDIR=$tmp/tmpdir
mkdir "$TMPDIR"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
wav() { /usr/bin/python3 "$(dirname "$0")/make_wav.py" "$tmp/$1" "${@:2}"; }
# A previous run's results, with the mark that tells the job they are its own.
mark() { printf '%s\n' "the main job's results" .kelvane-results "${@:2}" >"$1/.kelvane-results"; }
# A run's claim on a folder it made: its kind and the folder's name.
claim() { printf 'h\n\tclaim\t%s\t%s\n' "$2" "$(basename "$1")" >"$1/.kelvane-results"; }
out=$tmp/results/out
mkdir -p "$out" && echo "the previous run's report" >"$out/report.md" && (cd "$out" && mark . report.md)
# Everything in a folder (the results' parent) with its time of change, and each file's checksum; "snapshot 1"
# leaves out the folder's own.
snapshot() {
  (cd "${2:-$tmp/results}" && find . -mindepth "${1:-0}" -exec ls -ld --time-style=+%s.%N {} + | sort \
    && find . -mindepth 1 -type f -exec sha256sum {} + | sort)
}
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
  # The results keep the mode and group of the folder they replace (shared with a group no other user is in).
  chmod 2770 "$out" && chgrp 4242 "$out"
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
  [ "$(stat -c %a:%g "$out")" = 2770:4242 ] || fail "the results folder's mode and group: $(stat -c %a:%g "$out")"
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
  mkdir "$f/holder" && cp -a "$f/marked" "$f/holder/"
  mkdir "$f/read-only" && chmod 555 "$f/read-only" && cd "$f" || exit 1
  results_of_a_run() { mkdir "$1" && echo report >"$1/report.md" && echo 28 >"$1/render.txt" \
    && /usr/bin/python3 "$root/scripts/results_folder.py" mark "$1"; }
  results_of_a_run changed && echo "a note of mine" >>changed/report.md
  # A mark that is a link to the user's notes, one emptied, one damaged; an edit that keeps size and time.
  echo "my notes" >notes.txt && results_of_a_run linked && ln -sf ../notes.txt linked/.kelvane-results
  results_of_a_run emptied && : >emptied/.kelvane-results
  results_of_a_run damaged && sed -i 's/^render.txt\t3/render.txt\t3x4/' damaged/.kelvane-results
  results_of_a_run edited && cp -p edited/report.md report-time && echo REPORT >edited/report.md && touch -r report-time edited/report.md
  # Results the user asked for under a name like the job's hidden work folders.
  results_of_a_run .out.new-30777391
  # KELVANE_OUT | KELVANE_BUILD_DIR | track, if not ../short.wav | what the one line says, or "taken" for a run
  # that fails only at the display stand-in (after its renders), the folder as it was.
  rows=("mine|||holds 'notes.txt', which the main job did not write" "mine||mine/song.wav|is inside the results"
    "link||mine/song.wav|is inside the results folder '$f/mine'" "a-file|||it is a file" ".|||holds the current folder"
    "/|||holds the project" "$root|||holds the project" "$(dirname "$root")|||holds the project"
    "b|$f/b/build||holds the build" "marked-plus|||holds 'report.md~'" "legacy-plus|||holds 'notes.txt'"
    "a-report|||holds an incomplete earlier result of the main job"
    "legacy/chunks|||'$f/legacy/chunks' is inside '$f/legacy', the main job's earlier results"
    "marked/sub|||'$f/marked/sub' is inside '$f/marked', the main job's earlier results"
    "holder|||'$f/holder' holds 'marked', the main job's earlier results"
    "changed|||holds 'report.md', which changed since the main job wrote it" "/proc|||it is a mount point" "missing/out|||there is no folder '$f/missing'"
    "linked|||'$f/linked/.kelvane-results' is a symbolic link, not the main job's mark; move the folder away"
    "emptied|||'$f/emptied/.kelvane-results' is empty, not the main job's mark"
    "damaged|||'$f/damaged/.kelvane-results' is damaged at line 3 ('render.txt.t3x4"
    "edited|||'$f/edited' holds 'report.md', which changed since the main job wrote it"
    ".out.new-30777391|||'$f/.out.new-30777391' is named as the main job names its hidden work folders"
    ".out.new-30777391/sub|||'$f/.out.new-30777391/sub' is inside '$f/.out.new-30777391'"
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
  # Entered through a link, the results folder is still the folder the user is in.
  cd "$f/link-marked" && before=$(snapshot 0 "$f") && OUT=$f/marked job "$tmp/short.wav"
  refused "holds the current folder" && [ "$(snapshot 0 "$f")" = "$before" ] || fail "from inside: $(cat "$tmp/stderr")"
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
elif [ "$check" = kill ]; then
  wav short.wav 441 44100 1 && parent=$(dirname "$out") before_results=$(snapshot 0 "$out")
  # A run's work folder that a live run holds (the test, here) is never taken for a dead one's.
  mkdir "$parent/.out.new-live01" && claim "$parent/.out.new-live01" work && exec 5<"$parent/.out.new-live01" && flock 5
  # The job in a session of its own, its output read through a pipe, as a CI step or Python reads it.
  { setsid env KELVANE_BUILD_DIR="$build" KELVANE_OUT="$out" bash "$root/scripts/run.sh" "$tmp/short.wav" 2>&1 &
    echo $! >"$tmp/group"; wait; } | cat >"$tmp/piped" &
  reader=$!
  for _ in $(seq 600); do
    group=$(cat "$tmp/group" 2>/dev/null) && [ -n "$group" ] && window=$(pgrep -g "$group" -f "kelvane_host window") && break
    sleep 0.05
  done
  xvfb=$(pgrep -P "$group" -x Xvfb) display=$(tr '\0' '\n' <"/proc/$window/environ" | sed -n 's/^DISPLAY=://p')
  sleep 0.3 && kill -KILL -- -"$group"
  for _ in $(seq 100); do kill -0 $reader 2>/dev/null || break; sleep 0.05; done
  reading=$(kill -0 $reader 2>/dev/null && echo "the reader of the job's output still waits")
  kill $reader 2>/dev/null
  for _ in $(seq 50); do [ -n "$xvfb" ] && ! ps -o stat= -p "$xvfb" | grep -qv Z && break; sleep 0.1; done
  [ -n "$window" ] && [ -z "$reading" ] && [ -n "$xvfb" ] && ! ps -o stat= -p "$xvfb" | grep -qv Z \
    && ! grep -qsw "$xvfb" "/tmp/.X$display-lock" && [ "$(snapshot 0 "$out")" = "$before_results" ] \
    || fail "kill -9: window $window, display :$display ($xvfb: $(ps -o stat=,args= -p "$xvfb")) $reading"
  left=$(cd "$parent" && ls -d .out.new-* | grep -vx .out.new-live01)
  [ -n "$left" ] || fail "a killed run left no work folder to name (the check is void)"
  # What the user puts in a dead run's folder stays with it: the next run names the user's file, never the folder
  # as a leftover, and leaves it whole.
  echo "the user's" >"$parent/$left/mine.txt" && dead=$(snapshot 0 "$parent/$left")
  job "$tmp/short.wav"
  # Its private folder, with the display's log, is named too.
  [ $status -eq 0 ] && [ "$(grep -c "^run: " "$tmp/stdout")" -eq 2 ] \
    && grep -qxF "run: folders that stopped runs of the main job left beside '$out' also hold what those runs did not write, so they stay as they are: '$parent/$left/mine.txt'" "$tmp/stdout" \
    && grep -q "^run: '$TMPDIR/kelvane-job-[^']*' was left by a run of the main job that was stopped (display logs and caches); remove them if nothing in them is yours: rm -rf -- $TMPDIR/kelvane-job-" "$tmp/stdout" \
    && [ -e "$(ls -d "$TMPDIR"/kelvane-job-*)/xvfb.log" ] \
    && [ "$(snapshot 0 "$parent/$left")" = "$dead" ] \
    && [ "$(cd "$parent" && ls -A)" = "$(printf '%s\n' .out.new-live01 "$left" out | sort)" ] \
    || fail "the next run: status $status: $(grep ^run: "$tmp/stdout") $(cat "$tmp/stderr")"$'\n'"$(ls -A "$parent")"
elif [ "$check" = killswap ]; then
  wav short.wav 441 44100 1 && parent=$(dirname "$out")
  # The job in a session of its own, killed by force while its swap sleeps (KELVANE_TEST_SWAP_GAP) at the
  # moment UNTIL names: after the exchange of the two folders, or between the two renames.
  killed_in_swap() {
    local until=$1 group=""
    shift
    setsid env "$@" KELVANE_TEST_SWAP_GAP=5 KELVANE_BUILD_DIR="$build" KELVANE_OUT="$out" \
      bash "$root/scripts/run.sh" "$tmp/short.wav" >/dev/null 2>&1 &
    group=$!
    for _ in $(seq 600); do eval "$until" && break; sleep 0.05; done
    kill -KILL -- -"$group"
    wait "$group" 2>/dev/null
  }
  killed_in_swap '! grep -q "previous run" "$out/report.md"'
  /usr/bin/python3 "$root/scripts/results_folder.py" check "$out" && [ -s "$out/kelvane-output.wav" ] \
    || fail "kill -9 after the exchange: $(ls -A "$out" "$parent")"
  # The previous results, now in the dead run's work folder, are named and left.
  old=$(cd "$parent" && ls -d .out.new-*) && before_old=$(snapshot 1 "$parent/$old")
  job "$tmp/short.wav"
  [ $status -eq 0 ] && grep -qxF "run: '$parent/$old' holds results that a run of the main job stopped by force left beside '$out'; remove it once you have kept what you want of it: rm -rf -- $parent/$old" "$tmp/stdout" \
    && [ "$(snapshot 1 "$parent/$old")" = "$before_old" ] && grep -q "previous run" "$parent/$old/report.md" \
    && [ "$(ls -A "$parent")" = "$(printf '%s\n' "$old" out)" ] \
    || fail "the run after: status $status: $(grep ^run: "$tmp/stdout") $(cat "$tmp/stderr")"$'\n'"$(ls -A "$parent")"
  rm -rf "${parent:?}/$old"
  # On a disk without the exchange the path names nothing between the renames: the next run puts the previous
  # results back before anything else (and fails here at the display, after its renders, leaving them). Their
  # mark names where the swap put them aside; the rest is as it was.
  results() { snapshot 1 "$out" | grep -v kelvane-results; }
  before_out=$(results)
  killed_in_swap '[ ! -e "$out" ]' KELVANE_TEST_SWAP_FALLBACK=1
  aside=$(cd "$parent" && ls -d .out.old-* 2>/dev/null)
  [ ! -e "$out" ] && [ -n "$aside" ] || fail "kill -9 between the renames: $(ls -A "$parent")"
  PATH=$tmp/no-display:$PATH job "$tmp/short.wav"
  grep -qxF "run: put back the previous results in '$out', which a run stopped by force while it swapped them had left aside in '$parent/$aside'" \
    "$tmp/stdout" && [ "$(results)" = "$before_out" ] && [ "$(ls -A "$parent")" = "$(cd "$parent" && ls -d .out.new-*; echo out)" ] \
    || fail "the run after: $(head -n 5 "$tmp/stdout") $(cat "$tmp/stderr")"$'\n'"$(ls -A "$parent")"
elif [ "$check" = keeper ]; then
  wav short.wav 441 44100 1 && parent=$(dirname "$out") && keeper="results_folder.py serve $out"
  # The job's shell alone killed by force while the keeper sleeps after the exchange: the keeper finishes the
  # swap and says what it did, nothing else.
  KELVANE_TEST_SWAP_GAP=2 KELVANE_BUILD_DIR=$build KELVANE_OUT=$out bash "$root/scripts/run.sh" "$tmp/short.wav" \
    >"$tmp/stdout" 2>"$tmp/stderr" &
  shell=$!
  for _ in $(seq 600); do grep -q "previous run" "$out/report.md" || break; sleep 0.05; done
  kill -KILL $shell && wait $shell 2>/dev/null
  for _ in $(seq 100); do pgrep -f "$keeper" >/dev/null || break; sleep 0.1; done
  [ "$(cat "$tmp/stderr")" = "run: the new results are in '$out'" ] && [ "$(ls -A "$parent")" = out ] \
    && /usr/bin/python3 "$root/scripts/results_folder.py" check "$out" && [ -s "$out/kelvane-output.wav" ] \
    || fail "the shell killed after the exchange: $(cat "$tmp/stderr")"$'\n'"$(ls -A "$parent")"
  # The keeper killed while the window plays its three seconds: the job stops that step and says so at once.
  before_out=$(snapshot 1 "$out")
  (job "$tmp/short.wav"; echo $status >"$tmp/status") &
  for _ in $(seq 600); do pgrep -f "kelvane_host window.*$tmp/short.wav" >/dev/null && break; sleep 0.05; done
  start=$SECONDS && pkill -KILL -f "$keeper" && wait
  [ "$(cat "$tmp/status")" = 1 ] && [ $((SECONDS - start)) -le 2 ] \
    && [ "$(cat "$tmp/stderr")" = "run: the keeper of the results folder ended unexpectedly, so the run stops here; '$out' is as it was" ] \
    && ! pgrep -f "kelvane_host window.*$tmp/short.wav" >/dev/null && ! grep -q "== \[9/9\]" "$tmp/stdout" \
    && [ "$(snapshot 1 "$out")" = "$before_out" ] \
    || fail "the keeper killed: status $(cat "$tmp/status") after $((SECONDS - start)) s: $(cat "$tmp/stderr")"
elif [ "$check" = lookalikes ]; then
  wav short.wav 441 44100 1 && parent=$(dirname "$out") && job "$tmp/short.wav"
  # Folders beside the results named as a run's, each with the user's content: a copy of real results with
  # notes added, the user's own, another run's live one, one a process works in with a file open.
  cp -a "$out" "$parent/.out.old-backup" && echo "my notes" >"$parent/.out.old-backup/my-notes.txt"
  mkdir "$parent"/{.out.old-20251206,.out.new-my_pic,.out.new-photos,.out.new-inuse1}
  echo diary >"$parent/.out.old-20251206/diary.txt" && echo jpg >"$parent/.out.old-20251206/img1.jpg"
  echo jpg >"$parent/.out.new-my_pic/img.jpg" && echo jpg >"$parent/.out.new-photos/photo.jpg"
  claim "$parent/.out.new-photos" work && exec 5<"$parent/.out.new-photos" && flock 5
  echo open >"$parent/.out.new-inuse1/open.txt"
  (cd "$parent/.out.new-inuse1" && exec sleep 120 3<open.txt) &
  user=$!
  lookalikes=(.out.old-backup .out.old-20251206 .out.new-my_pic .out.new-photos .out.new-inuse1)
  before=$(for folder in "${lookalikes[@]}"; do snapshot 0 "$parent/$folder"; done)
  # A run that fails after its renders, a run that succeeds.
  for row in "$tmp/no-display:1" ":0"; do
    PATH=${row%:*}:$PATH job "$tmp/short.wav"
    [ $status -eq "${row#*:}" ] && [ "$(for folder in "${lookalikes[@]}"; do snapshot 0 "$parent/$folder"; done)" = "$before" ] \
      && ! grep -q "left by\|stopped\|removed" "$tmp/stdout" && [ "$(ls -A "$parent" | wc -l)" -eq 6 ] \
      || fail "status $status: $(cat "$tmp/stderr")"$'\n'"$(diff <(echo "$before") <(for folder in "${lookalikes[@]}"; do snapshot 0 "$parent/$folder"; done))"
  done
  kill $user
elif [ "$check" = during ]; then
  wav short.wav 441 44100 1 && parent=$(dirname "$out")
  # The job holds its swap back while the pause file is there, and says when it does (pause.held); the user
  # changes the results folder then, or as soon as the run has made its work folder, before the room check.
  # When | what the user did | what the one line says.
  rows=("held|echo mine >'$out/my-notes.txt' && mkdir '$out/chunks' && echo jpg >'$out/chunks/img2.jpg'|as '$out' holds 'chunks', which the main job did not write"
    "held|mv '$out' '$tmp/moved' && mkdir '$out' && echo years >'$out/thesis.txt'|as '$out' is no longer the folder this run started with"
    "work|rm -rf '$tmp/moved' && mv '$out' '$tmp/moved' && mkdir '$out' && echo years >'$out/thesis.txt'|as '$out' is no longer the folder this run started with")
  for row in "${rows[@]}"; do
    rm -rf "$out" "$tmp/pause.held" && mkdir "$out" && echo "the previous run's report" >"$out/report.md" && (cd "$out" && mark . report.md)
    touch "$tmp/pause"
    (KELVANE_TEST_SWAP_PAUSE=$tmp/pause job "$tmp/short.wav"; echo $status >"$tmp/status") &
    if [ "${row%%|*}" = held ]; then
      for _ in $(seq 600); do [ -e "$tmp/pause.held" ] && break; sleep 0.05; done
      [ -e "$tmp/pause.held" ] || fail "the swap never said that it was held"
    else
      for _ in $(seq 600); do grep -qs claim "$parent"/.out.new-*/.kelvane-results && break; sleep 0.01; done
    fi
    row=${row#*|}
    eval "${row%%|*}" && user=$(snapshot 0 "$out") && rm "$tmp/pause" && wait && status=$(cat "$tmp/status")
    kept=$(sed -n "s/.*the new results are in '\(.*\)'$/\1/p" "$tmp/stderr")
    refused "the results were not put in place, ${row#*|}; it stays as it is; the new results are in '$parent/out.kelvane-" \
      && [ "$(snapshot 0 "$out")" = "$user" ] && /usr/bin/python3 "$root/scripts/results_folder.py" check "$kept" \
      && [ -s "$kept/kelvane-output.wav" ] && [ "$(ls -A "$parent" | wc -l)" -eq 2 ] \
      || fail "${row#*|}: status $status: $(cat "$tmp/stderr")"$'\n'"$(ls -A "$parent")"
    rm -rf "$kept"
  done
  [ "$(cat "$tmp/moved/report.md")" = "the previous run's report" ] || fail "the folder moved away: $(ls -A "$tmp/moved")"
elif [ "$check" = exfat ]; then
  # An exFAT disk through FUSE (a loop device; FUSE takes no plain file): no FIFOs, no exchange of folders. Its
  # default mode lets every user write everywhere on it, which the job refuses; a umask makes it the runner's.
  wav short.wav 441 44100 1 && mkdir "$tmp/mnt" && truncate -s 64M "$tmp/exfat.img" && mkfs.exfat "$tmp/exfat.img" >/dev/null 2>&1 \
    && loop=$(losetup -f --show "$tmp/exfat.img" 2>/dev/null) || { echo "skipped: cannot make a loop device here"; exit 0; }
  trap 'umount "$tmp/mnt" 2>/dev/null; losetup -d "$loop"; rm -rf "$tmp"' EXIT
  mount.exfat-fuse -o umask=0022 "$loop" "$tmp/mnt" >/dev/null 2>&1 || { echo "skipped: cannot mount exFAT through FUSE here"; exit 0; }
  # The first run makes the results folder, the second replaces it.
  for run in 1 2; do
    OUT=$tmp/mnt/out job "$tmp/short.wav"
    [ $status -eq 0 ] && /usr/bin/python3 "$root/scripts/results_folder.py" check "$tmp/mnt/out" \
      && [ -s "$tmp/mnt/out/window.png" ] && [ "$(ls -A "$tmp/mnt")" = out ] \
      || fail "run $run on exFAT: status $status: $(tail -n 3 "$tmp/stderr")"$'\n'"$(ls -A "$tmp/mnt")"
  done
  # Killed between the swap's two renames (exFAT has no exchange), then unmounted and mounted again: inode
  # numbers change, names and checksums do not, so the next run puts the previous results back (and fails
  # here at the display, after its renders, leaving them).
  previous() { snapshot 1 "$tmp/mnt/out" | grep -v kelvane-results; }
  before=$(previous)
  setsid env KELVANE_TEST_SWAP_GAP=5 KELVANE_BUILD_DIR="$build" KELVANE_OUT="$tmp/mnt/out" \
    bash "$root/scripts/run.sh" "$tmp/short.wav" >/dev/null 2>&1 &
  group=$!
  for _ in $(seq 600); do [ -e "$tmp/mnt/out" ] || break; sleep 0.05; done
  kill -KILL -- -$group && wait $group 2>/dev/null
  aside=$(cd "$tmp/mnt" && ls -d .out.old-*) && inode=$(stat -c %i "$tmp/mnt/$aside")
  for _ in $(seq 50); do umount "$tmp/mnt" 2>/dev/null && break; sleep 0.1; done
  mount.exfat-fuse -o umask=0022 "$loop" "$tmp/mnt" >/dev/null 2>&1 || fail "the exFAT disk did not mount again"
  [ "$(stat -c %i "$tmp/mnt/$aside")" != "$inode" ] || echo "note: the remount kept the inode numbers"
  PATH=$tmp/no-display:$PATH OUT=$tmp/mnt/out job "$tmp/short.wav"
  grep -qxF "run: put back the previous results in '$tmp/mnt/out', which a run stopped by force while it swapped them had left aside in '$tmp/mnt/$aside'" \
    "$tmp/stdout" && [ "$(previous)" = "$before" ] && [ ! -e "$tmp/mnt/$aside" ] \
    || fail "after a remount: $(grep ^run: "$tmp/stdout") $(cat "$tmp/stderr")"$'\n'"$(ls -A "$tmp/mnt")"
elif [ "$check" = gap ]; then
  # The swap's two renames (as on a disk without an exchange of folders) widened to 3 s: the path names
  # nothing meanwhile.
  wav short.wav 441 44100 1 && parent=$(dirname "$out")
  (KELVANE_TEST_SWAP_FALLBACK=1 KELVANE_TEST_SWAP_GAP=3 job "$tmp/short.wav" && echo "A $status" >>"$tmp/statuses") &
  first=$!
  for _ in $(seq 3000); do [ -e "$out" ] || break; sleep 0.02; done
  [ ! -e "$out" ] || fail "the first run never reached its swap"
  for run in B C; do
    (KELVANE_BUILD_DIR=$build KELVANE_OUT=$out bash "$root/scripts/run.sh" "$tmp/short.wav" >"$tmp/$run.out" 2>"$tmp/$run.err"
      echo "$run $?" >>"$tmp/statuses") &
  done
  appeared=""
  for _ in $(seq 20); do [ -e "$out" ] && appeared="a folder appeared in the gap" && break; sleep 0.1; done
  wait
  for run in B C; do
    # Each says once that it waits, as it starts waiting.
    [ "$(grep -c "^run: another run is putting its results in place in '$parent'; waiting for it$" "$tmp/$run.out")" -eq 1 ] \
      || fail "run $run did not say once that it waits: $(grep ^run: "$tmp/$run.out")"
    grep -q "^$run 0$" "$tmp/statuses" || { grep -q "^$run 1$" "$tmp/statuses" \
      && [ "$(cat "$tmp/$run.err")" = "run: another run is writing '$out'; try again when it has finished" ]; } \
      || fail "run $run: $(grep "^$run" "$tmp/statuses") $(cat "$tmp/$run.err")"
  done
  [ -z "$appeared" ] && grep -q "^A 0$" "$tmp/statuses" && [ "$(ls -A "$parent")" = out ] \
    && /usr/bin/python3 "$root/scripts/results_folder.py" check "$out" \
    || fail "$appeared: $(cat "$tmp/statuses") $(ls -A "$parent")"
elif [ "$check" = builds ]; then
  # The job's own build folder is the one it locks; another build of the project is not this check's.
  [ "$(realpath "$build")" = "$(realpath "$root/build/release")" ] || { echo "skipped: not the project's build"; exit 0; }
  # cmake is played by a stand-in that notes when each call starts and ends.
  wav short.wav 441 44100 1 && mkdir "$tmp/bin"
  printf '#!/bin/sh\necho "start $KELVANE_RUN" >>"$CMAKE_LOG"\nsleep 0.5\necho "end $KELVANE_RUN" >>"$CMAKE_LOG"\n' \
    >"$tmp/bin/cmake" && chmod +x "$tmp/bin/cmake"
  for run in 1 2; do
    env PATH="$tmp/bin:$PATH" CMAKE_LOG="$tmp/cmake.log" KELVANE_RUN=$run bash "$root/scripts/run.sh" --check-only \
      "$tmp/short.wav" >"$tmp/stdout$run" 2>&1 &
    sleep 0.3
  done
  wait
  # Configure and build of one run, then of the other: never interleaved.
  order=$(cut -d' ' -f2 "$tmp/cmake.log" | tr -d '\n')
  [[ $order =~ ^(11112222|22221111)$ ]] \
    && [ "$(cat "$tmp/stdout1" "$tmp/stdout2" | grep -c "another build is running in '$root/build/release'; waiting")" -eq 1 ] \
    && grep -q "can take" "$tmp/stdout1" && grep -q "can take" "$tmp/stdout2" \
    || fail "builds at once: $(cat "$tmp/cmake.log")"$'\n'"$(cat "$tmp/stdout1" "$tmp/stdout2")"
elif [ "$check" = disk ]; then
  errors=$("$build/tools/main-job/kelvane_demo_programme" /dev/full 2>&1)
  status=$?
  [ $status -eq 1 ] && [ "$errors" = "kelvane_demo_programme: cannot write '/dev/full': no space left on device" ] \
    || fail "the demo programme on a full disk: status $status: $errors"
  mkdir "$tmp/small" && mount -t tmpfs -o size=4m tmpfs "$tmp/small" 2>/dev/null \
    || { echo "skipped: cannot mount a file system here"; exit 0; }
  trap 'umount -l "$tmp/small"; rm -rf "$tmp"' EXIT
  wav short.wav 441 44100 1
  OUT=$tmp/small job "$tmp/short.wav"
  refused "'$tmp/small' cannot be the results folder: it is a mount point, which a run cannot replace; name a folder inside it" \
    || fail "a mount point: status $status: $(cat "$tmp/stderr")"
  # The disk fills while the window is open: what fails after says so in one line, the previous results stay.
  mkdir "$tmp/small/out" && echo "the previous run's report" >"$tmp/small/out/report.md" && (cd "$tmp/small/out" && mark . report.md)
  before_small=$(snapshot 1 "$tmp/small/out")
  (OUT=$tmp/small/out job "$tmp/short.wav"; exit $status) &
  runner=$!
  for _ in $(seq 600); do pgrep -f "kelvane_host window.*$tmp/short.wav" >/dev/null && break; sleep 0.05; done
  # After the window's picture is written, before the plot.
  while pgrep -f "kelvane_host window.*$tmp/short.wav" >/dev/null; do sleep 0.01; done
  dd if=/dev/zero of="$tmp/small/filler" bs=64k 2>/dev/null
  wait $runner
  status=$? errors=$(cat "$tmp/stderr")
  [ $status -eq 1 ] \
    && [ "$errors" = "run: the disk of '$tmp/small/out' is full (no space left on device); the previous results are as they were" ] \
    && [ "$(snapshot 1 "$tmp/small/out")" = "$before_small" ] && [ "$(ls -A "$tmp/small")" = "$(printf 'filler\nout')" ] \
    || fail "a full disk: status $status: $errors"$'\n'"$(ls -A "$tmp/small")"
  # Results that cannot fit are refused before the renders: ten minutes of a track that takes no room (a
  # sparse file). The level analysis says the output's size; a stand-in adds it where this build's does not.
  rm "$tmp/small/filler" && mkdir -p "$tmp/stand-in/tools/main-job" "$tmp/stand-in/Host" "$tmp/stand-in/Bundle"
  ln -s "$build/Host/app" "$tmp/stand-in/Host/" && ln -s "$build/Bundle/Kelvane.aaxplugin" "$tmp/stand-in/Bundle/"
  ln -s "$build/tools/main-job/kelvane_demo_programme" "$tmp/stand-in/tools/main-job/"
  cat >"$tmp/stand-in/tools/main-job/kelvane_level_analysis" <<STANDIN
#!/bin/sh
[ "\$1" = --check ] || exec "$build/tools/main-job/kelvane_level_analysis" "\$@"
track=\$("$build/tools/main-job/kelvane_level_analysis" "\$@") || exit 1
echo "\$track"
case \$track in *output_bytes=*) ;; *) echo "\$track" | awk -F= '{ v[\$1] = \$2 } END { printf "output_container=WAV\noutput_bytes=%d\n", 44 + v["frames"] * v["channels"] * 4 }' ;; esac
STANDIN
  chmod +x "$tmp/stand-in/tools/main-job/kelvane_level_analysis"
  frames=$((600 * 48000)) && wav long.wav 1 48000 2 && truncate -s $((44 + frames * 4)) "$tmp/long.wav"
  /usr/bin/python3 -c "import struct, sys; f = open(sys.argv[1], 'r+b'); f.seek(4); f.write(struct.pack('<I', 36 + $frames * 4)); f.seek(40); f.write(struct.pack('<I', $frames * 4))" "$tmp/long.wav"
  BUILD=$tmp/stand-in OUT=$tmp/small/out job "$tmp/long.wav"
  refused "the results need about 441.9 MiB and the disk of '$tmp/small/out' has [0-9.]* MiB free; free some room or name another results folder in KELVANE_OUT" \
    && grep -qx "stereo at 48000 Hz, 600 s (28800000 frames)" "$tmp/stdout" \
    && grep -qx "the output will be a WAV file of 219.7 MiB" "$tmp/stdout" && ! grep -q "== \[4/9\]" "$tmp/stdout" \
    && [ "$(snapshot 1 "$tmp/small/out")" = "$before_small" ] && [ "$(ls -A "$tmp/small")" = out ] \
    || fail "results too big for the disk: status $status: $(cat "$tmp/stderr")"$'\n'"$(ls -A "$tmp/small")"
elif [ "$check" = warnings ]; then
  # The header promises twice the frames the file holds.
  wav cut-short.wav 882 44100 1 && truncate -s $((44 + 441 * 2)) "$tmp/cut-short.wav" && job "$tmp/cut-short.wav"
  warning="'$tmp/cut-short.wav' is cut short: its header promises 882 frames, it holds 441"
  [ $status -eq 0 ] && [ "$(grep -c "is cut short" "$tmp/stderr")" -eq 1 ] && grep -qF "$warning" "$tmp/stderr" \
    && grep -qF -x -- "- $warning; rendered those" "$out/report.md" && grep -q "^## Warnings" "$out/report.md" \
    || fail "a track cut short: status $status: $(cat "$tmp/stderr")"$'\n'"$(sed -n '1,/^## What/p' "$out/report.md")"
  # A WAV header that wrapped round (4 GiB of sparse hole after the audio): the level analysis says it at step
  # 3 and every render again, the job once, on a line of its own; step 3 says the track in words.
  wav wrapped.wav 4410 44100 2 && truncate -s +4G "$tmp/wrapped.wav" && job "$tmp/wrapped.wav"
  [ $status -eq 0 ] && [ "$(grep -c "holds more audio than its WAV header says" "$tmp/stderr")" -eq 1 ] \
    && grep -q "^kelvane_level_analysis: warning: '$tmp/wrapped.wav' holds more audio" "$tmp/stderr" \
    && grep -qx "stereo at 44100 Hz, 0.1 s (4410 frames)" "$tmp/stdout" && ! grep -q "^[a-z_][a-z_]*=" <(sed -n '/\[3\/9\]/,/\[4\/9\]/p' "$tmp/stdout") \
    && grep -q "^- '$tmp/wrapped.wav' holds more audio" "$out/report.md" \
    || fail "a wrapped header: status $status: $(cat "$tmp/stderr")"$'\n'"$(sed -n '/\[3\/9\]/,/\[4\/9\]/p' "$tmp/stdout")"
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
    status=$? updates=$(grep -cs ' update' "$tmp/apt.log")
  }
  setup FAILS=1 KELVANE_APT_LOCK_WAIT=60
  [ $status -eq 0 ] && [ "$updates" -eq 2 ] && grep -q ' install ' "$tmp/apt.log" && grep -q 'waiting up to 60' "$tmp/output" \
    || fail "a lock released after one try: status $status, $updates updates: $(cat "$tmp/output")"
  setup FAILS=1000 KELVANE_APT_LOCK_WAIT=1
  [ $status -eq 1 ] && [ $((SECONDS - start)) -le 10 ] || fail "a lock never released: status $status, $((SECONDS - start)) s"
  setup FAILS=1000 KELVANE_APT_LOCK_WAIT=3 APT_ERROR="E: The repository does not have a Release file."
  [ $status -eq 1 ] && [ "$updates" -eq 1 ] || fail "a broken archive: status $status after $updates tries"
  # A user who is not root, on a machine without sudo: only what setup needs is on PATH, and id says 1000.
  mkdir "$tmp/user-bin" && printf '#!/bin/sh\necho 1000\n' >"$tmp/user-bin/id" && chmod +x "$tmp/user-bin/id"
  for tool in bash dirname grep awk; do ln -s "$(command -v $tool)" "$tmp/user-bin/"; done
  ln -s /bin/true "$tmp/user-bin/dpkg-query" && ln -s "$tmp/bin/apt-get" "$tmp/user-bin/apt-get"
  setup PATH="$tmp/user-bin" FAILS=0
  [ $status -eq 1 ] && [ ! -s "$tmp/apt.log" ] && [ "$(cat "$tmp/output")" = "setup: installing the missing packages \
needs root or sudo, and there is no sudo here; as root: apt-get install some-missing-package" ] \
    || fail "a user without root or sudo: status $status: $(cat "$tmp/output")"
fi
exit $((failures > 0))
