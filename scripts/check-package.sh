#!/usr/bin/env bash
# Checks a Debian package of rebound as a user would meet it:
#   - its control data: name, version, and dependencies on the Qt 6 runtime,
#     the Qt platform plugins and the Chinese fonts; Qt's own translations
#     recommended;
#   - its contents: executables, the shipped application folder (identical to
#     data/ in the source tree), the window's Chinese translation where the
#     window looks for it, desktop entry, icons, file types, man page;
#   - an unpacked install (dpkg -x into a scratch root): every shared library
#     resolves, the desktop entry and file types are valid, the launcher
#     prepares the per-user folder and never overwrites or restores what the
#     user changed or deleted there;
#   - the desktop entry hands files to the program (%F) and declares the
#     project and component file types, so that the file manager opens a
#     double-clicked .prj with it;
#   - the first start: the desktop entry's command, run under Xvfb with a
#     fresh HOME, prepares the folder and starts the window there, which stays
#     up. With --screenshot FILE a picture of that window is saved. Started
#     again with a project named relative to the folder it runs in, the window
#     opens that project although it runs in the per-user folder.
#
# Usage: scripts/check-package.sh [--screenshot FILE] PACKAGE.deb
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
shot=
if [ "${1:-}" = "--screenshot" ]; then
  shot=$2
  shift 2
fi
[ $# -eq 1 ] || { echo "usage: $0 [--screenshot FILE] PACKAGE.deb" >&2; exit 2; }
deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")

passed=0
failed=0
ok() { passed=$((passed + 1)); echo "ok   - $*"; }
bad() { failed=$((failed + 1)); echo "FAIL - $*"; }
check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then ok "$what"; else bad "$what"; fi
}

scratch=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# --- control data -------------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
check "package name is rebound" test "$(field Package)" = rebound
check "version is set" test -n "$(field Version)"
depends=$(field Depends)
echo "     Depends: $depends"
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins \
  fonts-arphic-uming fonts-wqy-microhei libc6 libstdc++6; do
  check "depends on $dep" grep -Fqx -- "$dep" <(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
done

check "recommends qt6-translations-l10n (Qt's dialogs in the window's language)" \
  grep -Fqx qt6-translations-l10n <(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$(field Recommends)")

# --- contents -----------------------------------------------------------------
dpkg-deb --contents "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$scratch/contents"
for path in /usr/bin/rebound /usr/bin/rebound-cli /usr/bin/rebound-launcher \
  /usr/share/applications/rebound.desktop /usr/share/mime/packages/rebound.xml \
  /usr/share/icons/hicolor/scalable/apps/rebound.svg /usr/share/man/man1/rebound-cli.1.gz \
  /usr/share/rebound/curve/normal.cur /usr/share/rebound/report/rebound_report1.grf \
  /usr/share/rebound/report/rebound_record1.grf /usr/share/rebound/report/curve_fit1.grf \
  /usr/share/rebound/report/rebound_batch1.grf \
  /usr/share/doc/rebound/user-guide.md /usr/share/doc/rebound/copyright \
  /usr/share/rebound/translations/rebound_zh_CN.qm; do
  check "contains $path" grep -qx -- "$path" "$scratch/contents"
done
for size in 16 24 32 48 64 128 256; do
  check "contains the ${size}px icon" grep -qx -- "/usr/share/icons/hicolor/${size}x${size}/apps/rebound.png" \
    "$scratch/contents"
done
check "installs nothing outside /usr" bash -c "! grep -v '^/usr/' '$scratch/contents' | grep -qvx '/'"

root=$scratch/root
dpkg -x "$deb" "$root"
usr=$root/usr

# The shipped application folder is the source tree's data/ folder, file for file.
for dir in curve report samples; do
  [ -d "$src/data/$dir" ] || continue
  while IFS= read -r -d '' file; do
    rel=${file#"$src/data/"}
    check "ships $rel unchanged" cmp -s "$file" "$usr/share/rebound/$rel"
  done < <(find "$src/data/$dir" -type f -print0)
done

# --- licence ------------------------------------------------------------------
# The copyright file in Debian's machine-readable format, carrying LICENSE.
copyright=$usr/share/doc/rebound/copyright
check "copyright file is in the machine-readable format" \
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright"
check "copyright file names The rebound authors" grep -qE '^Copyright: [0-9]{4} The rebound authors$' "$copyright"
check "licence is MIT (Expat)" grep -qx 'License: Expat' "$copyright"
check "licence text is that of LICENSE" cmp -s \
  <(sed '1,/^License: Expat$/d; s/^ //; s/^\.$//' "$copyright") \
  <(sed '1,/^Copyright (c) /d' "$src/LICENSE" | sed '1{/^$/d}')

# --- unpacked install ---------------------------------------------------------
for exe in rebound rebound-cli rebound-launcher; do
  check "bin/$exe is executable" test -x "$usr/bin/$exe"
done
for exe in rebound rebound-cli; do
  check "every library of $exe resolves" bash -c "ldd '$usr/bin/$exe' | { ! grep -q 'not found'; }"
done
check "rebound-cli runs from the unpacked install" "$usr/bin/rebound-cli" --version
check "desktop entry is valid" desktop-file-validate "$usr/share/applications/rebound.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$usr/share/applications/rebound.desktop")
check "desktop entry starts an installed program" test -x "$usr/bin/${exec_line%% *}"
check "desktop entry passes the chosen files (%F)" test "${exec_line##* }" = "%F"
mime_types=$(sed -n 's/^MimeType=//p' "$usr/share/applications/rebound.desktop" | tr ';' ' ')
for type in application/x-rebound-project application/x-rebound-device-component; do
  check "desktop entry opens $type" grep -qw -- "$type" <<<"$mime_types"
done
for type in $mime_types; do
  check "file type $type is defined by the package" \
    grep -Fq "type=\"$type\"" "$usr/share/mime/packages/rebound.xml"
done
icon=$(sed -n 's/^Icon=//p' "$usr/share/applications/rebound.desktop")
check "desktop entry names the installed icon" test -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg"
for size in 16 48 256; do
  check "${size}px icon is ${size} x ${size}" \
    bash -c "file '$usr/share/icons/hicolor/${size}x${size}/apps/rebound.png' | grep -q '$size x $size'"
done
MANWIDTH=200 man -l "$usr/share/man/man1/rebound-cli.1.gz" >"$scratch/man.txt" 2>/dev/null || true
check "man page reads" test -s "$scratch/man.txt"
# Every command that rebound-cli offers is described in its man page.
commands=$("$usr/bin/rebound-cli" --help | awk '/^Commands:/ {f = 1; next} /^Options:/ {f = 0} f && /^  [a-z]/ {print $1}')
check "rebound-cli --help lists its commands" test -n "$commands"
for command in $commands; do
  check "man page describes rebound-cli $command" grep -q "rebound-cli $command" "$scratch/man.txt"
done

mkdir -p "$scratch/mime/packages"
cp "$usr/share/mime/packages/rebound.xml" "$scratch/mime/packages/"
check "file types compile" bash -c "update-mime-database '$scratch/mime' >/dev/null 2>&1"
for ext in prj cmp CMP tmp xcmp; do
  check "*.$ext has a file type" grep -q ":\*\.$ext:cs" "$scratch/mime/globs2"
done

# --- the launcher -------------------------------------------------------------
launcher=$usr/bin/rebound-launcher
home=$scratch/home
mkdir -p "$home"
data_home=$scratch/data
folder=$(HOME=$home XDG_DATA_HOME=$data_home "$launcher" --folder)
check "per-user folder is \$XDG_DATA_HOME/rebound" test "$folder" = "$data_home/rebound"
check "curve is copied" cmp -s "$folder/curve/normal.cur" "$usr/share/rebound/curve/normal.cur"
check "report template is copied" \
  cmp -s "$folder/report/rebound_report1.grf" "$usr/share/rebound/report/rebound_report1.grf"
check "record sheet template is copied" \
  cmp -s "$folder/report/rebound_record1.grf" "$usr/share/rebound/report/rebound_record1.grf"
check "fit report template is copied" \
  cmp -s "$folder/report/curve_fit1.grf" "$usr/share/rebound/report/curve_fit1.grf"
if [ -d "$usr/share/rebound/samples" ]; then
  check "samples are copied" diff -r "$usr/share/rebound/samples" "$folder/samples"
fi
check "the translations stay in the shipped folder" test ! -e "$folder/translations"

# A changed file stays as the user left it; a deleted one is not brought back;
# a file the user added is left alone.
printf 'changed by the user' >"$folder/report/rebound_report1.grf"
rm "$folder/curve/normal.cur"
printf 'own curve' >"$folder/curve/own.cur"
HOME=$home XDG_DATA_HOME=$data_home "$launcher" --folder >/dev/null
check "a changed file is not overwritten" \
  test "$(cat "$folder/report/rebound_report1.grf")" = 'changed by the user'
check "a deleted file is not restored" test ! -e "$folder/curve/normal.cur"
check "the user's own file stays" test "$(cat "$folder/curve/own.cur")" = 'own curve'

# A file that a newer package adds arrives in an existing folder.
mkdir -p "$usr/share/rebound/curve"
printf 'new curve' >"$usr/share/rebound/curve/added.cur"
HOME=$home XDG_DATA_HOME=$data_home "$launcher" --folder >/dev/null
check "a newly shipped file is added" test "$(cat "$folder/curve/added.cur" 2>/dev/null)" = 'new curve'
rm "$usr/share/rebound/curve/added.cur"

check "without XDG_DATA_HOME the folder is ~/.local/share/rebound" \
  test "$(env -u XDG_DATA_HOME HOME="$home" "$launcher" --folder)" = "$home/.local/share/rebound"
check "a relative XDG_DATA_HOME is ignored" \
  test "$(HOME=$home XDG_DATA_HOME=relative "$launcher" --folder)" = "$home/.local/share/rebound"

# --- first start from the desktop entry, under Xvfb ---------------------------
first_home=$scratch/first-home
mkdir -p "$first_home"
exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
display=:$(head -n 1 "$scratch/display")

# The Exec line is split into words on purpose, as the desktop does; with no
# file chosen, %F stands for nothing.
# shellcheck disable=SC2086
(
  cd "$first_home"
  exec env -u XDG_DATA_HOME HOME="$first_home" PATH="$usr/bin:$PATH" DISPLAY="$display" \
    QT_QPA_PLATFORM=xcb ${exec_line//%F/} >"$scratch/window.log" 2>&1
) &
app_pid=$!
first_folder=$first_home/.local/share/rebound
for _ in $(seq 100); do [ -f "$first_folder/Setting/setting.ini" ] && break; sleep 0.1; done
sleep 4
if kill -0 "$app_pid" 2>/dev/null; then
  ok "the window starts from the desktop entry's command and stays up"
else
  bad "the window starts from the desktop entry's command and stays up"
  sed 's/^/     /' "$scratch/window.log"
fi
check "first start prepared the per-user folder" test -f "$first_folder/curve/normal.cur"
check "the window runs in the per-user folder (it wrote Setting/setting.ini there)" \
  test -f "$first_folder/Setting/setting.ini"
if [ -n "$shot" ]; then
  if command -v xwd >/dev/null && command -v xwdtopnm >/dev/null; then
    xwd -root -silent -display "$display" | xwdtopnm 2>/dev/null | pnmtopng >"$shot" 2>/dev/null
    check "screenshot saved to $shot" test -s "$shot"
  else
    echo "     (no screenshot: xwd or netpbm missing)"
  fi
fi
# The subshell became the launcher, and the launcher became the window.
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=

# A project double-clicked in the file manager: the desktop puts its name in
# place of %F. Here the name is relative to the folder the command starts in,
# which is not the per-user folder the window runs in.
mkdir -p "$first_home/site"
"$usr/bin/rebound-cli" import "$first_home/site/bridge.prj" "$usr/share/rebound/samples/KZ-1.cmp"
# shellcheck disable=SC2086
(
  cd "$first_home"
  exec env -u XDG_DATA_HOME HOME="$first_home" PATH="$usr/bin:$PATH" DISPLAY="$display" \
    QT_QPA_PLATFORM=xcb ${exec_line//%F/site/bridge.prj} >"$scratch/window2.log" 2>&1
) &
app_pid=$!
opened=
for _ in $(seq 100); do
  if DISPLAY=$display xdotool search --name ' - bridge\.prj$' >/dev/null 2>&1; then opened=yes; break; fi
  sleep 0.1
done
if [ -n "$opened" ]; then
  ok "the window opens a project named relative to the start folder"
else
  bad "the window opens a project named relative to the start folder"
  sed 's/^/     /' "$scratch/window2.log"
fi
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
