#!/usr/bin/env bash
# The sandbox runner and the run command seen from outside: they refuse to run
# unprotected without being told to, no process of a run outlives it, and what a
# run leaves in a kept sandbox cannot turn the next run against the machine.
#
# usage: runner_tests.sh CASE BUILD_DIR ARCH
#   refused        without root, or as root without the right to make namespaces:
#                  wine-run stops and says why, before it makes anything
#   linux-program  a Linux process started from Windows ends with the run, whether
#                  the program ends or the runner is ended (TERM)
#   screenshot     tools/run --screenshot saves the window and leaves nothing running
#   ctrl-c         Ctrl+C on tools/run leaves nothing running
#   kept-sandbox   links that a run plants in its kept sandbox, to files and folders
#                  outside it, leave those as they were on the next run: the links
#                  that stand for a missing prefix's parts, and the refused ones
#   kept-demo      the same for the demo sandbox and tools/run's preparation of it
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

# Canaries outside every sandbox: root's files and folders of known content and
# mode, in this test's own folder. A planted link points at each.
host="$tmp/host"
canary_folders=(dosdevices work documents home run paint browser installer prefix drive_c)
canary_files=(sandbox-root.txt user.reg.new user.reg ns-pid display wine-version)
make_canaries() {
  local name
  mkdir -m 755 "$host"
  for name in "${canary_folders[@]}"; do
    mkdir -m 755 "$host/$name"
    printf 'canary folder %s\n' "$name" >"$host/$name/inside.txt"
  done
  # The prefix and its C: drive look the part, with the folders a runner writes.
  mkdir -m 755 "$host/prefix/dosdevices" "$host/prefix/drive_c" "$host/drive_c/work" "$host/drive_c/users"
  printf 'canary z:\n' >"$host/prefix/dosdevices/z:"
  for name in "${canary_files[@]}"; do printf 'canary file %s\n' "$name" >"$host/$name"; done
  chmod -R u=rwX,go=rX "$host"
}
# Everything about the canaries that a run could change: names, kinds, modes,
# owners, sizes, times and content.
canaries() {
  find "$host" -printf '%P %y %m %u:%g %s %T@ %l\n' | sort
  find "$host" -type f -exec sha256sum {} + | sort
}
expect_canaries_kept() { # $1 = what ran
  local now
  now="$(canaries)"
  [ "$now" = "$canaries_before" ] || fail "$1 changed the canaries:"$'\n'"$(diff <(echo "$canaries_before") <(echo "$now"))"
}
# From inside a run of the kept sandbox, as its programs could: a Linux shell
# started from Windows code moves aside what lies at each place and puts a link
# there (no link for an empty target), then ends the prefix's server. With
# --freeze-prefix it first makes the prefix read-only, so that the server
# cannot save the registry over a link planted in place of it.
#   plant [--freeze-prefix] SANDBOX PLACE=TARGET...   (PLACE relative to the sandbox)
plant() {
  local freeze=0 sb pair place server
  [ "$1" != --freeze-prefix ] || { freeze=1; shift; }
  sb="$1"
  shift
  # The server is known by the prefix folder it started in, wherever that went.
  server="$sb/prefix"
  for pair in "$@"; do [ "${pair%%=*}" != prefix ] || server="$sb/prefix.away"; done
  mkdir -p "$tmp/bin"
  # Waits for the end without starting anything (the drives may be gone).
  printf 'start /unix /bin/sh %s\r\n:wait\r\ngoto wait\r\n' "$tmp/bin/plant.sh" >"$tmp/bin/plant.bat"
  {
    echo 'set -e'
    for pair in "$@"; do
      place="$sb/${pair%%=*}"
      printf 'rm -rf %q\n' "$place.away"
      printf 'if [ -e %q ] || [ -L %q ]; then mv -T %q %q; fi\n' "$place" "$place" "$place" "$place.away"
      [ -z "${pair#*=}" ] || printf 'ln -s %q %q\n' "${pair#*=}" "$place"
    done
    [ $freeze -eq 0 ] || printf 'chmod a-w %q\n' "$server"
    printf 'WINEPREFIX=%q wineserver -k\n' "$server"
  } >"$tmp/bin/plant.sh"
  watched+=("$sb")
  "$wine_run" --build "$build" --arch "$arch" --sandbox "$sb" --bin "$tmp/bin" --timeout 120 cmd /c 'D:\plant.bat' \
    >"$tmp/plant.out" 2>&1 || true
  for pair in "$@"; do
    place="$sb/${pair%%=*}"
    if [ -n "${pair#*=}" ]; then
      [ "$(readlink "$place")" = "${pair#*=}" ] || fail "no link planted at $place: $(tail -3 "$tmp/plant.out")"
    else
      [ ! -e "$place" ] || fail "$place not moved aside"
    fi
  done
}

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

kept-sandbox)
  make_canaries
  canaries_before="$(canaries)"
  # Without a prefix the next run copies the template's: links where its other
  # folders and files go are replaced, not written through.
  sb="$tmp/kept-copy"
  plant "$sb" prefix= "home=$host/home" "run=$host/run" ".wine-version=$host/wine-version"
  rc=0
  "$wine_run" --build "$build" --arch "$arch" --sandbox "$sb" cmd /c exit 7 >"$tmp/out" 2>&1 || rc=$?
  [ $rc -eq 7 ] || fail "the run over a missing prefix ended with $rc: $(tail -3 "$tmp/out")"
  [ -d "$sb/prefix/drive_c/work" ] && [ -d "$sb/home" ] && [ ! -L "$sb/home" ] && [ -d "$sb/run" ] && [ ! -L "$sb/run" ] ||
    fail "the sandbox was not made whole again"
  expect_canaries_kept "the run over a missing prefix"
  rm -rf "$sb"
  # What holds the sandbox's Windows state is refused where a link stands in for it.
  for pair in "prefix=$host/prefix" "prefix/drive_c=$host/drive_c" "prefix/user.reg=$host/user.reg"; do
    place="${pair%%=*}"
    sb="$tmp/kept-refused"
    plant --freeze-prefix "$sb" "$pair"
    rc=0
    "$wine_run" --build "$build" --arch "$arch" --sandbox "$sb" cmd /c exit 0 >"$tmp/out" 2>&1 || rc=$?
    [ $rc -eq 125 ] || fail "$place: a link there gave exit code $rc, not 125"
    grep -qF "$sb/$place is a link" "$tmp/out" || fail "$place: the refusal does not say where and why: $(cat "$tmp/out")"
    expect_canaries_kept "the run with a link at $place"
    rm -rf "$sb"
  done
  ;;

kept-demo)
  make_canaries
  canaries_before="$(canaries)"
  demo="$build/sandbox/demo"
  watched+=("$demo")
  # Links at every place the runner prepares and tools/run seeds, each replaced
  # by what belongs there, and links where the run's hand-outs once lay.
  plant "$demo" "prefix/dosdevices=$host/dosdevices" "prefix/drive_c/work=$host/work" \
    "prefix/drive_c/users/Public/Documents=$host/documents" "home=$host/home" "run=$host/run" \
    "prefix/drive_c/sandbox-root.txt=$host/sandbox-root.txt" "prefix/user.reg.new=$host/user.reg.new" \
    "ns-pid=$host/ns-pid" "display=$host/display"
  rc=0
  "$root/tools/run" --screenshot "$tmp/shot.png" >"$tmp/out" 2>&1 || rc=$?
  [ $rc -eq 0 ] || fail "tools/run over the links ended with $rc: $(tail -5 "$tmp/out")"
  expect_canaries_kept "tools/run over the links the runner replaces"
  # Links where tools/run places the demo's programs: it stops and says where.
  plant "$demo" "prefix/drive_c/Program Files/Demo Paint=$host/paint" \
    "prefix/drive_c/Program Files/Demo Browser=$host/browser" "prefix/drive_c/windows/Installer=$host/installer"
  rc=0
  "$root/tools/run" --screenshot "$tmp/shot.png" >"$tmp/out" 2>&1 || rc=$?
  [ $rc -ne 0 ] || fail "tools/run placed its programs through links"
  grep -qF 'Demo Paint\uninst.exe' "$tmp/out" && grep -qF "remove that folder" "$tmp/out" ||
    fail "tools/run does not say what it could not place: $(tail -5 "$tmp/out")"
  expect_canaries_kept "tools/run over the links where it places programs"
  expect_nothing_left "$demo" "tools/run over the links"
  # The demo as the other cases expect it: the links and what they moved aside
  # gone (rm removes a link, never what it points to).
  for place in ns-pid display prefix/user.reg.new "prefix/drive_c/Program Files/Demo Paint" \
    "prefix/drive_c/Program Files/Demo Browser" prefix/drive_c/windows/Installer; do
    if [ -L "$demo/$place" ]; then rm -f "$demo/$place"; fi
  done
  find "$demo" -name '*.away' -prune -exec rm -rf {} +
  ;;

*) echo "unknown case $case_name" >&2; exit 2 ;;
esac

[ $failures -eq 0 ] || exit 1
echo "ok: $case_name"
