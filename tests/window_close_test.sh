#!/usr/bin/env bash
# The real window on a virtual screen with a window manager: started with a
# project named relative to the folder the command runs in, it shows the
# file in its caption; after an edit, closing it with Alt+F4 or Quit brings
# the question and the process stays; Cancel keeps it, No ends it.
#
# Usage: window_close_test.sh REBOUND REBOUND_CLI DEVICE_FILE
set -euo pipefail
rebound=$(realpath "$1")
cli=$(realpath "$2")
device=$(realpath "$3")

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAIL - $*"
  [ -f "$scratch/window.log" ] && sed 's/^/     /' "$scratch/window.log"
  exit 1
}

exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$scratch/display")
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# Waits until a window whose title matches the pattern exists; prints its id.
wait_window() {
  local id
  for _ in $(seq 150); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
gone() { ! xdotool search --name "$1" >/dev/null 2>&1; }

mkdir -p "$scratch/start/site"
"$cli" import "$scratch/start/site/bridge.prj" "$device"
cp "$scratch/start/site/bridge.prj" "$scratch/before.prj"
# Its own application folder and settings, so nothing of the user's is read
# or written.
cd "$scratch/start"
env HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb "$rebound" site/bridge.prj \
  >"$scratch/window.log" 2>&1 &
app=$!
pids+=($app)

main=$(wait_window ' - bridge\.prj$') || fail "the window does not show the project named on the command line"
echo "ok   - the window opened site/bridge.prj given relative to the start folder"
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
sleep 0.5

# An edit of the project name (the first box of the project panel): the
# caption gains the unsaved mark.
xdotool mousemove 228 54 click 1
sleep 0.3
xdotool type --delay 20 "x"
if ! wait_window ' - bridge\.prj\*$' >/dev/null; then
  [ -z "${REBOUND_SHOT:-}" ] || xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$REBOUND_SHOT" 2>/dev/null
  fail "typing into the window left no unsaved mark in the caption"
fi
echo "ok   - an edit marks the caption"

# Alt+F4 through the window manager: the question, and the process stays.
xdotool key alt+F4
wait_window '^Message$' >/dev/null || fail "closing with unsaved changes asked nothing"
sleep 1
kill -0 "$app" 2>/dev/null || fail "the process ended although the question was open"
echo "ok   - Alt+F4 asks \"Save changes to current project?\" and the process stays"

# Cancel (Escape closes the box): the window stays.
xdotool key Escape
for _ in $(seq 50); do gone '^Message$' && break; sleep 0.1; done
sleep 0.5
kill -0 "$app" 2>/dev/null || fail "Cancel ended the process"
wait_window ' - bridge\.prj\*$' >/dev/null || fail "Cancel did not keep the window with its changes"
echo "ok   - Cancel keeps the window and its changes"

# Quit (Ctrl+Q) asks again; No ends the program without saving.
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
xdotool key ctrl+q
wait_window '^Message$' >/dev/null || fail "Quit with unsaved changes asked nothing"
xdotool key alt+n
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "No did not end the program"
echo "ok   - No ends the program"
cmp -s "$scratch/before.prj" "$scratch/start/site/bridge.prj" || fail "No changed the project file"
echo "window close: 5 passed, 0 failed"
