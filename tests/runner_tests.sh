#!/usr/bin/env bash
# The sandbox runner and the run command seen from outside: they refuse to run
# unprotected without being told to, and no process of a run outlives it.
#
# usage: runner_tests.sh CASE BUILD_DIR ARCH
#   refused        without root, or as root without the right to make namespaces:
#                  wine-run stops and says why, before it makes anything
#   linux-program  a Linux process started from Windows ends with the run, whether
#                  the program ends or the runner is ended (TERM)
#   screenshot     tools/run --screenshot saves the window and leaves nothing running
#   ctrl-c         Ctrl+C on tools/run leaves nothing running
set -euo pipefail
case_name="$1"
build="$(cd "$2" && pwd)"
arch="$3"
root="$(cd "$(dirname "$0")/.." && pwd)"
wine_run="$root/tools/wine-run"
tmp="$(mktemp -d)"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Processes of a run: the runner and everything inside carry the sandbox's path
# on their command line or in their environment.
processes_of() { # $1 = sandbox folder
  local file pid
  { grep -lsxzF "SWEEPORA_SANDBOX=$1" /proc/[0-9]*/environ; grep -lsaF "$1" /proc/[0-9]*/cmdline; } |
    while read -r file; do
      pid="${file#/proc/}"; pid="${pid%%/*}"
      [ "$pid" != "$$" ] && [ "$pid" != "$BASHPID" ] || continue
      echo "$pid $( { tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null || true)"
    done | sort -un || true
}
# Whether a process of the run has the pattern on its command line.
running() { # $1 = sandbox folder, $2 = pattern
  local list
  list="$(processes_of "$1")"
  grep -q "$2" <<<"$list"
}
# Polls until the command succeeds; false after about a minute.
wait_for() {
  local _
  for _ in $(seq 1 600); do "$@" && return 0; sleep 0.1; done
  return 1
}
expect_nothing_left() { # $1 = sandbox folder, $2 = what ended
  local left
  left="$(processes_of "$1")"
  [ -z "$left" ] || fail "$2: processes left running:"$'\n'"$left"
}
watched=() # sandboxes of this case's runs
cleanup() {
  # A failed case may have left its run behind: end it by its process ids.
  local pid place
  for place in "${watched[@]}"; do
    for pid in $(processes_of "$place" | awk '{print $1}'); do kill -KILL "$pid" 2>/dev/null || true; done
  done
  rm -rf "$tmp"
}
trap cleanup EXIT

case "$case_name" in
refused)
  # As an ordinary user, and as root without the capabilities that make
  # namespaces (what a kernel or container that refuses them looks like).
  for who in "--reuid=nobody --regid=nogroup --clear-groups" "--inh-caps=-all --bounding-set=-all"; do
    rc=0
    # shellcheck disable=SC2086
    env -u SWEEPORA_UNPROTECTED setpriv $who --no-new-privs "$wine_run" --build "$tmp/build" "$build/bin/sandbox_tests.exe" \
      >"$tmp/out" 2>&1 || rc=$?
    [ $rc -eq 125 ] || fail "$who: exit code $rc, not 125"
    grep -q "cannot isolate the run in Linux namespaces" "$tmp/out" || fail "$who: no reason given: $(cat "$tmp/out")"
    grep -q -- "--unprotected" "$tmp/out" || fail "$who: the way to run anyway is not named"
    [ ! -e "$tmp/build" ] || fail "$who: a sandbox was made"
  done
  ;;

linux-program)
  # The program starts a Linux process that would run for a day, then waits in
  # a Windows helper until one of the two endings comes.
  mkdir -p "$tmp/bin"
  cp "$build/bin/longrun.exe" "$tmp/bin/"
  printf 'start /unix /bin/sleep 86399.25\r\nD:\\longrun.exe\r\n' >"$tmp/bin/leave.bat"
  for ending in program runner; do
    sb="$tmp/sandbox-$ending"
    watched+=("$sb")
    "$wine_run" --build "$build" --arch "$arch" --sandbox "$sb" --bin "$tmp/bin" cmd /c 'D:\leave.bat' \
      >"$tmp/out" 2>&1 &
    runner=$!
    wait_for running "$sb" "sleep 86399.25" || fail "$ending: the Linux process never started"
    wait_for running "$sb" 'longrun\.exe' || fail "$ending: the helper never started"
    if [ $ending = program ]; then
      kill -KILL "$(processes_of "$sb" | awk '/longrun\.exe/ {print $1}')"
    else
      kill -TERM "$runner"
    fi
    rc=0
    wait "$runner" || rc=$?
    [ $ending = program ] || [ $rc -eq 130 ] || fail "runner: exit code $rc, not 130"
    expect_nothing_left "$sb" "the $ending ended"
  done
  ;;

screenshot)
  watched+=("$build/sandbox/demo")
  rc=0
  "$root/tools/run" --screenshot "$tmp/shot.png" >"$tmp/out" 2>&1 || rc=$?
  [ $rc -eq 0 ] || fail "tools/run ended with $rc: $(tail -5 "$tmp/out")"
  [ "$(head -c 8 "$tmp/shot.png" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "no PNG saved"
  expect_nothing_left "$build/sandbox/demo" "the screenshot was saved"
  ;;

ctrl-c)
  # Ctrl+C reaches every process of the terminal's foreground group: here the
  # group that tools/run leads (job control gives it its own, with Ctrl+C not
  # ignored as it would be for a background command).
  watched+=("$build/sandbox/demo")
  set -m
  env -u DISPLAY "$root/tools/run" >"$tmp/out" 2>&1 &
  leader=$!
  set +m
  wait_for running "$build/sandbox/demo" 'Sweepora[0-9XP]*\.exe' || fail "the program never started: $(tail -5 "$tmp/out")"
  kill -INT -- "-$leader"
  rc=0
  wait "$leader" || rc=$?
  [ $rc -ne 0 ] || fail "tools/run reported success after Ctrl+C"
  expect_nothing_left "$build/sandbox/demo" "Ctrl+C"
  ;;

*) echo "unknown case $case_name" >&2; exit 2 ;;
esac

[ $failures -eq 0 ] || exit 1
echo "ok: $case_name"
