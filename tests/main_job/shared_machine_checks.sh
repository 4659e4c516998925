#!/usr/bin/env bash
# The main job, run by root, on a machine it shares with another user (nobody), in a sticky folder open to all:
#   shared_machine_checks.sh SOURCE_DIR BUILD_DIR CHECK
#   refused     a results folder or a parent of nobody's, a parent others can write, a parent nobody holds locked
#               (by a program whose arguments hold a line of their own too), a results folder named with a newline:
#               refused at once in one line, nothing touched
#   planted     what nobody leaves where a run looks (results aside that he claims, a FIFO or a name holding a
#               line of its own among the runs' private folders, a mark in the parent) is neither taken, waited
#               on nor echoed, and stays as he left it
#   workfolder  nobody's links put into the work folder while the run writes it fail; root's files stay
#   heldswap    nobody holding the parent's lock through the swap: the run gives up and says where its results are
# Each row also leaves root's own files outside the results as they were.
set -uo pipefail
root=$1 build=$2 check=$3
[[ $check =~ ^(refused|planted|workfolder|heldswap)$ ]] || exit 2
[ "$(id -u)" -eq 0 ] || { echo "skipped: playing another user needs root"; exit 0; }
for tool in setpriv flock timeout; do command -v $tool >/dev/null || { echo "skipped: no $tool here"; exit 0; }; done
tmp=$(mktemp -d) started=""
trap 'for group in $started; do pkill -KILL -g "$group" -u 65534; done; rm -rf "$tmp"' EXIT
# nobody reaches $tmp but cannot write it; he shares $S and the runs' temporary folder $T with root; the check's
# own records are in $c, which he can read.
S=$tmp/shared T=$tmp/tmpdir c=$tmp/check Q=$'kelvane-job-q\nrun: fake line rm -rf -- ~ #'
chmod 0755 "$tmp" && mkdir -m 1777 "$S" "$T" && mkdir -m 0755 "$c" "$tmp/canary-dir" && cd "$tmp" || exit 1
echo "root's own" >"$tmp/canary" && echo "root's own too" >"$tmp/canary-dir/kept.txt" && chmod 0644 "$tmp/canary"
nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups env S="$S" T="$T" C="$c" R="$root" Q="$Q" tmp="$tmp")
"${nobody[@]}" test -w "$S" 2>/dev/null || { echo "skipped: nobody cannot act in '$S' here"; exit 0; }
/usr/bin/python3 "$root/tests/main_job/make_wav.py" "$tmp/short.wav" 441 44100 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Everything below a folder but NAME, with owners, modes and times, and each file's checksum.
snapshot() {
  local skip=./${2:-..}
  (cd "$1" && find . -mindepth 1 ! -path "$skip" ! -path "$skip/*" -exec ls -ld --time-style=+%s.%N {} + | sort \
    && find . -mindepth 1 ! -path "$skip/*" -type f -exec sha256sum {} + | sort)
}
canaries() { ls -ld --time-style=+%s.%N "$tmp/canary" "$tmp/canary-dir" && sha256sum "$tmp/canary" && snapshot "$tmp/canary-dir"; }
intact() { [ "$(canaries)" = "$canaries" ]; }
# The job as root, its whole process group killed after LIMIT seconds (status 137).
job() {
  local limit=$1 start=$SECONDS
  shift
  (umask "${UMASK:-022}" && exec timeout -s KILL "$limit" env TMPDIR="$T" KELVANE_BUILD_DIR="$build" \
    KELVANE_OUT="${OUT:-$S/out}" bash "$root/scripts/run.sh" "$@") >"$c/stdout" 2>"$c/stderr"
  status=$? elapsed=$((SECONDS - start))
}
refused() {
  [ $status -eq 1 ] && [ "$(wc -l <"$c/stderr")" -eq 1 ] && grep -q "^run: " "$c/stderr" && grep -qF -- "$1" "$c/stderr"
}
said() {
  echo "status $status after $elapsed s, last step '$(grep "^== " "$c/stdout" | tail -n 1)': $(grep "^run: " "$c/stdout" | head -n 3)
$(tail -n 3 "$c/stderr")"
}
# As nobody, in a session of his own that the check ends by its ID; disowned, so that bash does not tell of the
# kill that ends it.
as_nobody() { "${nobody[@]}" setsid "$@" >"$c/nobody" 2>&1 & started+=" $!" && disown $!; }
# Only nobody's processes: once his are gone, the group's number may be another program's (another job's display).
stop_nobody() {
  for group in $started; do
    pkill -KILL -g "$group" -u 65534
    while pgrep -g "$group" -u 65534 >/dev/null; do sleep 0.05; done
  done
  started=""
}
# nobody's lock on the parent, held before the run by COMMAND: root's own try fails while he holds it.
hold() {
  [ $# -gt 0 ] || set -- sleep 100
  as_nobody flock "$S" "$@"
  for _ in $(seq 100); do flock -n "$S" true || return 0; sleep 0.05; done
  return 1
}

if [ "$check" = refused ]; then
  # What is in place before the run | KELVANE_OUT below $tmp (printf %b) | what the one line says, two parts.
  rows=('"${nobody[@]}" mkdir "$S/out" && "${nobody[@]}" chmod 0777 "$S/out"|shared/out|belongs to another user (nobody)|'
    'hold|shared/out|not a run of the main job|nobody'
    'hold bash -c "sleep 100" "$Q"|shared/out|not a run of the main job|nobody'
    'mkdir "$tmp/nobodys" && chown nobody "$tmp/nobodys" && chmod 0755 "$tmp/nobodys"|nobodys/out|nobody|'
    'mkdir -m 0777 "$tmp/open"|open/out|can be written by other users|'
    ':|shared/a\nb||')
  for row in "${rows[@]}"; do
    IFS='|' read -r setup results text also <<<"$row"
    printf -v OUT '%b' "$tmp/$results"
    eval "$setup" || fail "'$setup' did not take (the check is void)"
    before=$(snapshot "$tmp" check) canaries=$(canaries)
    job 20 "$tmp/short.wav"
    refused "$text" && grep -qF -- "$also" "$c/stderr" && [ $elapsed -le 10 ] && ! grep -q "^== " "$c/stdout" \
      && [ "$(snapshot "$tmp" check)" = "$before" ] && intact \
      || fail "$setup ($results): $(said)"$'\n'"$(diff <(echo "$before") <(snapshot "$tmp" check))"
    stop_nobody && find "$S" -mindepth 1 -delete
  done
elif [ "$check" = planted ]; then
  # What nobody leaves before the run | how (his shell). Each must be in place, his, and stay as he left it.
  rows=('results aside that he claims|mkdir "$S/.out.old-abcdef12" && echo "my notes" >"$S/.out.old-abcdef12/report.md" \
&& /usr/bin/python3 -B "$R/scripts/results_folder.py" mark "$S/.out.old-abcdef12"'
    'a FIFO in place of the claim of a dead run folder|mkdir "$T/kelvane-job-x" && mkfifo "$T/kelvane-job-x/.kelvane-scratch"'
    'a dead run folder by its claim, named with a line of its own|mkdir "$T/$Q" && stat -c %i "$T/$Q" >"$T/$Q/.kelvane-scratch"'
    'a mark in the parent|echo mine >"$S/.kelvane-results"')
  for row in "${rows[@]}"; do
    "${nobody[@]}" bash -c "${row#*|}" && [ -n "$(find "$S" "$T" -mindepth 1 -user nobody)" ] \
      || fail "${row%%|*}: nobody could not leave it (the check is void)"
    before=$(snapshot "$S" out; snapshot "$T") canaries=$(canaries)
    # Within 60 s; status 0 shows the run got past the start and step 8, where these are looked at.
    job 60 "$tmp/short.wav"
    [ $status -eq 0 ] && ! grep -q "put back" "$c/stdout" "$c/stderr" && ! grep -q "^run: fake line" "$c/stdout" "$c/stderr" \
      && [ "$(snapshot "$S" out; snapshot "$T")" = "$before" ] && [ "$(stat -c %U "$S/out")" = root ] \
      && /usr/bin/python3 "$root/scripts/results_folder.py" check "$S/out" && [ -s "$S/out/kelvane-output.wav" ] && intact \
      || fail "${row%%|*}: $(said)"$'\n'"$(diff <(echo "$before") <(snapshot "$S" out; snapshot "$T"))"
    find "$S" "$T" -mindepth 1 -delete
  done
elif [ "$check" = workfolder ]; then
  # nobody watches for the work folder and, until step 5 begins, keeps trying to put in it links to root's file
  # and folder; he says what he saw and what worked.
  attack='while [ $SECONDS -lt 60 ]; do
    for w in "$S"/.out.new-*; do
      [ -d "$w" ] || continue
      [ "$w" = "${seen:-}" ] || { seen=$w; grep -qs "^== \[5/9\]" "$C/stdout" || echo "saw ${w##*/} (mode $(stat -c %a "$w")) before step 5"; }
      ln -sT "$tmp/canary" "$w/render.txt" 2>/dev/null && echo "linked render.txt"
      mv -T "$w/chunks" "$w/chunks.x" 2>/dev/null && ln -sT "$tmp/canary-dir" "$w/chunks" && echo "linked chunks"
      tries=$((${tries:-0} + 1))
    done
    grep -qs "^== \[5/9\]" "$C/stdout" && break
  done
  echo "tried ${tries:-0} times"'
  # The results folder before the run | the run's umask: none, with a umask that opens what root makes to all;
  # root's own, as most are.
  for row in "missing 000" "root's, mode 0755 022"; do
    [ "${row%% *}" = missing ] || mkdir -m 0755 "$S/out"
    rm -f "$c/stdout" && canaries=$(canaries) && as_nobody bash -c "$attack"
    UMASK=${row##* } job 60 "$tmp/short.wav"
    stop_nobody
    echo "out $row: nobody $(tr '\n' ';' <"$c/nobody")"
    grep -q "before step 5$" "$c/nobody" && ! grep -q "^linked" "$c/nobody" && [ $status -eq 0 ] \
      && [ -z "$(find "$S/out" -type l)" ] && [ "$(stat -c %U "$S/out")" = root ] && [ "$(stat -c %a "$S/out")" != 777 ] \
      && intact || fail "out $row: $(said); out is $(stat -c %U:%a "$S/out"), links in it: $(find "$S/out" -type l)"$'\n'"$(diff \
        <(echo "$canaries") <(canaries))"
    find "$S" -mindepth 1 -delete
  done
else
  # Previous results of root's; nobody takes the parent's lock once the work folder is there and holds it.
  mkdir "$S/out" && echo "the previous report" >"$S/out/report.md" \
    && /usr/bin/python3 "$root/scripts/results_folder.py" mark "$S/out" && before=$(snapshot "$S/out") canaries=$(canaries)
  as_nobody bash -c 'until compgen -G "$S/.out.new-*" >/dev/null; do sleep 0.01; done
    exec flock "$S" bash -c "[ -e \"\$S/out/kelvane-output.wav\" ] || echo held before the swap; exec sleep 100"'
  job 100 "$tmp/short.wav"
  stop_nobody
  kept=$(sed -n "s/.*the new results are in '\([^']*\)'.*/\1/p" "$c/stderr")
  grep -q "^held before the swap$" "$c/nobody" && [ $status -eq 1 ] && [ "$(snapshot "$S/out")" = "$before" ] \
    && { { [[ $kept == "$S/out.kelvane-"* ]] && [ -s "$kept/kelvane-output.wav" ]; } || grep -q discarded "$c/stderr"; } \
    && intact || fail "nobody holding the parent through the swap: $(said); nobody: $(cat "$c/nobody"); beside: $(ls -A "$S")"
fi
exit $((failures > 0))
