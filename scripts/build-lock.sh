# Sourced by the scripts that build: one build at a time in a build folder. Two runs that configured or
# compiled one folder at once would break each other's files; the second waits, then finds the build done.
#   lock_build FOLDER WHO    takes the lock on FOLDER (made if missing), saying once that it waits
#   unlock_build             lets it go
lock_build() {
  mkdir -p "$1"
  exec {build_lock}<"$1"
  if ! flock -n "$build_lock"; then
    echo "$2: another build is running in '$1'; waiting for it to finish"
    flock "$build_lock"
  fi
}
unlock_build() {
  exec {build_lock}<&-
}
