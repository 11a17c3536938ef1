#!/usr/bin/env bash
# Starts a Windows program under Wine on a fresh Xvfb screen (1280 x 800,
# with the openbox window manager), waits until its main window is shown,
# saves a screenshot as PNG and ends every program of the Wine prefix.
#
#   screenshot.sh RUNNER FOLDER OUT.png PROGRAM.exe [ARGUMENT...]
#
# RUNNER runs a Windows program under Wine in its own prefix (check.sh
# writes one per build); the program is started in FOLDER. A program that
# starts the window and ends (a launcher) is fine when it ends with status 0.
set -euo pipefail
[ $# -ge 4 ] || { echo "usage: $0 RUNNER FOLDER OUT.png PROGRAM.exe [ARGUMENT...]" >&2; exit 2; }
runner=$1 folder=$2 out=$3 program=$4
shift 4

scratch=$(mktemp -d)
pids=()
cleanup() {
  local p
  "$runner" --wineserver -k >/dev/null 2>&1 || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { cat "$scratch/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$scratch/display")
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

(cd "$folder" && exec "$runner" "$program" "$@") >"$scratch/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
ended=

# The main window is up when a viewable top-level window of at least
# 600 x 400 exists (Wine's own helper windows are tiny or unmapped).
shown=
for _ in $(seq 120); do
  if [ -z "$ended" ] && ! kill -0 "$program_pid" 2>/dev/null; then
    ended=yes
    if ! wait "$program_pid"; then
      cat "$scratch/program.log" >&2
      echo "$(basename "$program") failed before it showed a window" >&2
      exit 1
    fi
  fi
  while read -r id; do
    info=$(xwininfo -id "$id" -stats 2>/dev/null) || continue
    grep -q 'Map State: IsViewable' <<<"$info" || continue
    w=$(awk '/^  Width:/ {print $2}' <<<"$info")
    h=$(awk '/^  Height:/ {print $2}' <<<"$info")
    if [ "${w:-0}" -ge 600 ] && [ "${h:-0}" -ge 400 ]; then shown=$id; break; fi
  done < <(xwininfo -root -children 2>/dev/null | awk '/^     0x/ {print $1}')
  [ -n "$shown" ] && break
  sleep 0.5
done
[ -n "$shown" ] || { cat "$scratch/program.log" >&2; echo "no window of $(basename "$program") appeared" >&2; exit 1; }

# Give the window time to lay out and paint its contents.
sleep 4
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out"
