#!/usr/bin/env bash
# Takes the screenshots of docs/user-guide.md from the real window: installs a
# build into a scratch prefix, starts it through rebound-launcher on a virtual
# 1280 x 800 screen (Xvfb with the openbox window manager, so that the window
# is maximised and has a frame), walks through an inspection with xdotool
# (import the three sample files, fill in the project header, save, open the
# File menu, preview and print the report to PDF, preview and print the test
# records to PDF, choose Chinese as the language and start again with the
# saved project) and writes docs/images/*.png.
#
# Usage: scripts/guide-screenshots.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
images=docs/images
scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch" /tmp/rebound-guide
}
trap cleanup EXIT

cmake --install "$build" --prefix "$scratch/usr" >/dev/null
# A short, readable home folder: its path shows in the file dialogs.
home=/tmp/rebound-guide/engineer
folder=$home/.local/share/rebound
rm -rf /tmp/rebound-guide
mkdir -p "$home"

exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
DISPLAY=:$(head -n 1 "$scratch/display")
export DISPLAY
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# Xvfb's root window does not always hold the contents of the newest windows,
# so a screenshot is the root window with every window of the application and
# every pop-up (menus) painted over it from the bottom up. Optional crop:
# WIDTHxHEIGHT+X+Y.
shot() {
  local out=$1 crop=${2:-} w info x y
  xwd -root -silent | xwdtopnm 2>/dev/null >"$scratch/root.pnm"
  paste_window() {
    info=$(xwininfo -id "$1" -stats) || return 0
    grep -q 'Map State: IsViewable' <<<"$info" || return 0
    x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] || return 0
    xwd -id "$1" -silent | xwdtopnm 2>/dev/null >"$scratch/window.pnm"
    if pnmpaste "$scratch/window.pnm" "$x" "$y" "$scratch/root.pnm" >"$scratch/next.pnm" 2>/dev/null; then
      mv "$scratch/next.pnm" "$scratch/root.pnm"
    fi
  }
  for w in $(xwininfo -root -tree | grep '("rebound"' | grep -v ' 1x1+' | awk '{print $1}' | tac); do
    paste_window "$w"
  done
  for w in $(xwininfo -root -children | awk '/^     0x/ {print $1}' | tac); do
    xwininfo -id "$w" -stats | grep -q 'Override Redirect State: yes' || continue
    paste_window "$w"
  done
  if [ -n "$crop" ]; then
    local W=${crop%%x*} rest=${crop#*x}
    local H=${rest%%+*}
    rest=${rest#*+}
    pamcut -left "${rest%%+*}" -top "${rest#*+}" -width "$W" -height "$H" "$scratch/root.pnm" >"$scratch/cut.pnm"
    mv "$scratch/cut.pnm" "$scratch/root.pnm"
  fi
  pnmtopng -compression 9 "$scratch/root.pnm" >"$images/$out" 2>/dev/null
  echo "wrote $images/$out"
}
# A single dialog, without the window behind it (pop-ups over it included).
shot_window() {
  local info
  info=$(xwininfo -id "$1")
  shot "$2" "$(awk '/  Width:/ {w = $2} /  Height:/ {h = $2} /Absolute upper-left X/ {x = $4}
                    /Absolute upper-left Y/ {y = $4} END {print w "x" h "+" x "+" y}' <<<"$info")"
}
# Waits for a window of the application with this exact title; prints its id.
wait_window() {
  local w
  for _ in $(seq 100); do
    w=$(xwininfo -root -tree | grep "\"$1\": (\"rebound\"" | awk '{print $1}' | head -n 1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  echo "guide-screenshots: no window \"$1\"" >&2
  return 1
}
type_text() { xdotool type --delay 15 "$1"; }
# Prints from a preview window to a PDF file: its print button at the right
# end of the toolbar, then the print dialog's file name. Optionally shoots the
# print dialog first.
print_to_pdf() {
  local print
  xdotool mousemove --window "$1" 671 19 click 1
  print=$(wait_window Print)
  sleep 1
  xdotool mousemove --window "$print" 190 117 click 1
  xdotool key ctrl+a
  type_text "$2"
  sleep 0.4
  [ -z "${3:-}" ] || shot_window "$print" "$3"
  xdotool key Return
  for _ in $(seq 50); do [ -s "$2" ] && break; sleep 0.2; done
}
# Replaces the text of the box under the given point of the main window.
fill() {
  xdotool mousemove "$1" "$2" click 1
  sleep 0.2
  xdotool key ctrl+a
  type_text "$3"
  sleep 0.2
}
import_file() {
  xdotool key alt+d
  sleep 0.8
  xdotool key Return
  local dialog
  dialog=$(wait_window Open)
  sleep 1
  xdotool key ctrl+a
  type_text "$1"
  sleep 0.4
  [ -z "${2:-}" ] || shot_window "$dialog" "$2"
  xdotool key Return
  sleep 1.5
}

(cd "$home" && exec env -u XDG_DATA_HOME HOME="$home" "$scratch/usr/bin/rebound-launcher") >/dev/null 2>&1 &
pids+=($!)
main=$(wait_window "Digital Concret Test Hammer Halvorn Instruments V1.2")
sleep 3
shot first-start.png

xdotool key alt+d
sleep 1
shot import-menu.png 660x260+0+0
xdotool key Escape
sleep 0.5
# The first dialog opens in the application folder.
import_file samples/KZ-1.cmp import-dialog.png
import_file "$folder/samples/LB-2.tmp"
import_file "$folder/samples/QL-3.CMP"

# The project panel, row by row, then the description of the second component.
fill 228 54 "Riverside Office Block"
fill 486 54 "R-2026-118"
fill 796 54 "M-0412"
fill 228 85 "City Housing Authority"
fill 486 85 "Northgate Supervision"
fill 796 85 "12 River Road"
fill 486 117 "Rebound method"
fill 796 117 "Ground floor columns"
fill 228 148 "Eastside Ready-Mix"
xdotool mousemove 100 248 click 1
sleep 0.5
fill 517 305 "Beam, 2nd bay, north face"
xdotool mousemove 100 248 click 1
sleep 1
shot main-window.png

xdotool key ctrl+s
save=$(wait_window "Save As")
sleep 1
xdotool key ctrl+a
type_text "$folder/riverside"
sleep 0.4
shot_window "$save" save-dialog.png
xdotool key Return
sleep 1.5
[ -f "$folder/riverside.prj" ] || { echo "guide-screenshots: the project was not saved" >&2; exit 1; }

xdotool key alt+f
sleep 1
shot file-menu.png 700x420+0+0
xdotool key v
preview=$(wait_window "回弹法检测混凝土抗压强度报告")
xdotool windowsize "$preview" 900 700
xdotool windowmove "$preview" 190 40
sleep 2
shot print-preview.png
print_to_pdf "$preview" "$home/riverside.pdf" print-dialog.png
pdftoppm -r 72 -png -f 1 -l 1 "$home/riverside.pdf" "$scratch/page"
pngtopnm "$scratch/page-1.png" | pamcut -left 0 -top 0 -width 595 -height 420 |
  pnmtopng -compression 9 >"$images/report-pdf.png" 2>/dev/null
echo "wrote $images/report-pdf.png"

# The test records: File > Test Records, the entry below Print Preview (three
# steps up from the menu's first entry, past Quit and Language), previews the
# record sheet; its print button prints it to a PDF file.
xdotool key --window "$main" alt+f
sleep 1
xdotool key Up Up Up Return
records=$(wait_window "回弹法检测混凝土抗压强度原始记录")
xdotool windowsize "$records" 1000 700
xdotool windowmove "$records" 140 40
sleep 2
shot test-records-preview.png
print_to_pdf "$records" "$home/riverside-records.pdf"
pdftoppm -r 100 -png -f 1 -l 1 "$home/riverside-records.pdf" "$scratch/records"
pngtopnm "$scratch/records-1.png" | pnmtopng -compression 9 >"$images/record-sheet-pdf.png" 2>/dev/null
echo "wrote $images/record-sheet-pdf.png"

# The language: File > Language (two steps up from the first entry, past
# Quit) > 简体中文, the third entry of the submenu. The window says when the
# choice takes effect.
xdotool key --window "$main" alt+f
sleep 1
xdotool key Up Up Right
sleep 0.5
xdotool key Down Down
sleep 0.3
shot language-menu.png 700x460+0+0
xdotool key Return
sleep 1
shot language-message.png
xdotool key Return
sleep 0.5

xdotool key --window "$main" alt+f
sleep 0.5
xdotool key x
for _ in $(seq 50); do
  xwininfo -root -tree | grep -q '"Digital Concret Test Hammer' || break
  sleep 0.2
done

# The next start is in Chinese: the saved project, named on the command line
# as a double-click in the file manager names it.
(cd "$home" && exec env -u XDG_DATA_HOME HOME="$home" "$scratch/usr/bin/rebound-launcher" "$folder/riverside.prj") \
  >/dev/null 2>&1 &
pids+=($!)
main=$(wait_window "Digital Concret Test Hammer Halvorn Instruments V1.2 - riverside.prj")
sleep 3
xdotool mousemove 100 248 click 1
sleep 1
shot main-window-zh.png
xdotool key --window "$main" alt+f
sleep 1
shot file-menu-zh.png 700x420+0+0
xdotool key Escape
