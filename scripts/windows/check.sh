#!/usr/bin/env bash
# The Windows counterpart of scripts/test.sh, run on Debian: cross-builds the
# programs and every test for 64-bit Windows with MinGW-w64 and a Qt built by
# scripts/windows/build-qt.sh (built first when missing, ~40 minutes once),
# runs the tests under Wine through ctest, writes a report PDF under Wine and
# reads its text back with pdftotext, starts the window under Wine and Xvfb
# and saves a screenshot, builds the installer and tries it (silent install,
# launcher, uninstall) under Wine. Exits non-zero on any failure.
#
#   REBOUND_WINDOWS_BUILD_DIR  build folder (build/windows)
#   REBOUND_CACHE              where the Windows Qt and the libraries built
#                              for Windows are kept (~/.cache/rebound)
#
# Results in the build folder: the test log (Testing/), report.pdf,
# window.png, installer/rebound-<version>-setup.exe.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

./scripts/windows/deps.sh
kit=$(./scripts/windows/build-qt.sh | tail -n 1)
cache=${REBOUND_CACHE:-$HOME/.cache/rebound}
build=${REBOUND_WINDOWS_BUILD_DIR:-build/windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)
toolchain=$root/cmake/mingw-w64-x86_64.cmake
triplet=x86_64-w64-mingw32

# Each step says how long the check has run so far (seconds).
step() { printf '\n=== %s (at %d s)\n' "$*" "$SECONDS"; }
fail() {
  echo "check.sh: $*" >&2
  exit 1
}

# --- Libraries for Windows ---------------------------------------------------
# Every library the programs link, besides Qt, is made once for MinGW into
# the cache, like Qt: one folder per library, named after it and its Debian
# version, complete only with its mark (a run broken off makes it again).
# A library is one function that fills an install prefix; windows_library
# runs it when the cache lacks the library and adds the prefix to the
# places the build looks in (find_root).
find_root=$kit
windows_library() {  # NAME DEBIAN-PACKAGE MAKE-FUNCTION
  local name=$1 package=$2 make=$3 version prefix
  version=$(dpkg-query -W -f='${Version}' "$package")
  prefix=$cache/$name-mingw-${version%%-*}
  if [ ! -f "$prefix/.rebound-complete" ]; then
    step "Making $name $version for Windows"
    rm -rf "$prefix" "$prefix.build"
    "$make" "$prefix" "$prefix.build"
    rm -rf "$prefix.build"
    touch "$prefix/.rebound-complete"
  fi
  find_root="$find_root;$prefix"
}

# GoogleTest, built from the sources that libgtest-dev ships.
make_googletest() {  # PREFIX WORK-FOLDER
  cmake -S /usr/src/googletest -B "$2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$1" -DBUILD_GMOCK=ON -DBUILD_SHARED_LIBS=OFF \
    >/dev/null
  nice -n 10 cmake --build "$2" -j 2 >/dev/null
  cmake --install "$2" >/dev/null
}

# Eigen, headers only: Debian's headers with its CMake package files, which
# find the headers relative to their own folder, so the copy stands alone
# and the build never looks into the Linux system's include folder.
make_eigen() {  # PREFIX WORK-FOLDER
  mkdir -p "$1/include" "$1/share/eigen3"
  cp -r /usr/include/eigen3 "$1/include/"
  cp -r /usr/share/eigen3/cmake "$1/share/eigen3/"
}

windows_library googletest libgtest-dev make_googletest
windows_library eigen3 libeigen3-dev make_eigen

# --- Wine ---------------------------------------------------------------------
# One Wine prefix per build folder, a Chinese Windows as far as the tests
# see it: the locale gives code page 936 and Chinese short dates. The
# Song-style face the report prints with is put into the prefix's Fonts
# folder, where a Windows system keeps its fonts. WINEPATH finds the Qt and
# MinGW runtime libraries; Qt finds its plugins next to Qt6Core.dll.
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine || true)
[ -n "$wine" ] || fail "Wine (wine64) is not installed"
gccdir=$(dirname "$($triplet-g++-posix -print-libgcc-file-name)")
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
runtime_dirs="$(winpath "$kit/bin");$(winpath "$gccdir");$(winpath "/usr/$triplet/lib")"

prefix=$build/wine-prefix
runner=$build/wine-run
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
cat >"$runner" <<EOF
#!/bin/sh
# Runs a Windows program of this build under Wine, in the build's own prefix,
# as on a Chinese Windows (code page 936). --wineserver ARGS runs the prefix's
# wineserver instead (-k ends every program of the prefix, -w waits for them).
# With REBOUND_WINE_BARE=1 the Qt and MinGW libraries are not on the path, as
# on a machine that has only the installed program.
export WINEPREFIX='$prefix'
export WINEARCH=win64
export WINEDEBUG=\${WINEDEBUG:--all}
export WINEDLLOVERRIDES='mscoree,mshtml,winemenubuilder.exe='
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# The offscreen platform of the tests finds fonts only in this folder.
export QT_QPA_FONTDIR='C:\\windows\\Fonts'
if [ -z "\${REBOUND_WINE_BARE:-}" ]; then export WINEPATH='$runtime_dirs'; else unset WINEPATH; fi
if [ "\${1:-}" = --wineserver ]; then shift; exec '$wineserver' "\$@"; fi
exec '$wine' "\$@"
EOF
chmod +x "$runner"

if [ ! -f "$prefix/system.reg" ]; then
  step "Preparing the Wine prefix $prefix"
  "$runner" wineboot --init >/dev/null 2>&1 || true
  "$runner" --wineserver -w || true
  [ -f "$prefix/system.reg" ] || fail "Wine could not create its prefix in $prefix"
fi
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
for f in /usr/share/fonts/truetype/arphic/uming.ttc; do
  [ -f "$f" ] && cp -u "$f" "$fonts/"
done

# --- Build ----------------------------------------------------------------------
step "Configuring the Windows build in $build"
# Build folders of earlier checks pointed Eigen at the Linux system's copy
# (Eigen3_DIR); the cached one is found through the root path instead.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -UEigen3_DIR -DCMAKE_FIND_ROOT_PATH="$find_root" -DQT_HOST_PATH=/usr \
  -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$runner" -DREBOUND_TEST_HOST_DRIVE=Z: \
  -DREBOUND_BUILD_TESTS=ON -DREBOUND_WERROR=ON "${launcher[@]}"

# Wine's server and its system programs (services.exe and the programs it
# starts) are started by the first Windows program of the prefix and keep
# that program's standard error open for as long as they live. ctest (and
# ninja, which lists each test program's tests under Wine) reads a test's
# output until every writer has closed it, so the test that happened to
# start them looked hung until they ended, long after it had passed: with
# tests running back to back that was the end of the run. Shown with no
# program of ours:
#   wine-run cmd /c echo first | cat &   # starts the server; then, at once,
#   sleep 40 | wine-run cmd              # keeps the server busy for 40 s
# and the first pipe closes only after 40 s. So the server is started here,
# to stay until the tests are done, and its system programs with it, their
# output going nowhere; it is ended after the tests (or when the check stops).
stop_wine() { "$runner" --wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT
"$runner" --wineserver -p </dev/null >/dev/null 2>&1
"$runner" cmd /c exit </dev/null >/dev/null 2>&1

step "Building"
cmake --build "$build" -j 2

# --- Tests ----------------------------------------------------------------------
# Wine needs an X display for the programs that use the native Windows
# platform (the command-line tool's reports, the window). A test still
# running after a minute is named as hung; none needs more under Wine. A
# test that fails or hangs is never run again.
step "Running the tests under Wine"
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
  ctest --test-dir "$build" --output-on-failure -j 2 --timeout 60
stop_wine
"$runner" --wineserver -w
trap - EXIT

# --- A report PDF written under Wine -------------------------------------------
# The sample project: the three shipped device files imported with the
# Windows command-line tool, the report written as PDF with the system's
# fonts, its text read back on Linux.
step "Writing a report PDF under Wine"
cli=$build/src/cli/rebound-cli.exe
work=$build/check
rm -rf "$work"
mkdir -p "$work"
cp -r data/. "$work/"
(
  cd "$work"
  "$runner" "$cli" import 报告样例.prj samples/KZ-1.cmp samples/LB-2.tmp samples/QL-3.CMP
  xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$runner" "$cli" report 报告样例.prj --pdf report.pdf
) || fail "the Windows command-line tool could not write the report"
cp "$work/report.pdf" "$build/report.pdf"
text=$(pdftotext -enc UTF-8 "$build/report.pdf" - | tr -d ' ')
for want in 回弹法检测混凝土抗压强度报告 工程名称 KZ-1 LB-2 QL-3; do
  case $text in
    *"$want"*) ;;
    *) fail "pdftotext does not find \"$want\" in $build/report.pdf" ;;
  esac
done
pdffonts "$build/report.pdf"
echo "report.pdf: the text reads back"

# --- The installer, tried under Wine --------------------------------------------
# Built from a fresh install tree, then installed silently for the current
# user and for all users in turn. Each time: the files, the Start-menu entry
# and the registered file type are checked, the installed command-line tool
# runs without the build's library path, and the uninstaller removes every
# trace but the user's own application folder. The first time, the window is
# started as the Start-menu entry starts it (through the launcher, here with
# the sample project as the file type would) and a screenshot is saved.
step "Building the installer"
cmake --build "$build" --target windows_installer
setup=$(ls "$build"/installer/rebound-*-setup.exe)
echo "$setup"

win_env() { "$runner" cmd /c echo "%$1%" | tr -d '\r'; }
unix_path() { "$runner" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
# The data of a registry value (the default value without a name). Wine
# prints the default value's name in the prefix's code page (GBK), which is
# no UTF-8: sed reads it as bytes.
reg_value() {
  if [ -n "${2:-}" ]; then
    "$runner" reg query "$1" /v "$2" 2>/dev/null
  else
    "$runner" reg query "$1" /ve 2>/dev/null
  fi | tr -d '\r' | LC_ALL=C sed -n 's/^ \{4\}.* \{4\}REG_[A-Z_]* \{4\}//p'
}

local_appdata=$(unix_path "$(win_env LOCALAPPDATA)")
[ -d "$local_appdata" ] || fail "cannot find %LOCALAPPDATA% in the Wine prefix"
user_folder=$local_appdata/rebound

for mode in CurrentUser AllUsers; do
  step "Installing for $mode under Wine"
  if [ $mode = CurrentUser ]; then
    hive=HKCU
    instdir=$local_appdata/Programs/rebound
    menu="$(unix_path "$(win_env APPDATA)")/Microsoft/Windows/Start Menu/Programs/Rebound.lnk"
  else
    hive=HKLM
    instdir=$(unix_path "$(win_env ProgramW6432)")/rebound
    menu="$(unix_path "$(win_env ProgramData)")/Microsoft/Windows/Start Menu/Programs/Rebound.lnk"
  fi
  "$runner" "$setup" /S /$mode
  "$runner" --wineserver -w
  for f in bin/rebound.exe bin/rebound-cli.exe bin/rebound-launcher.exe bin/Qt6Core.dll bin/Qt6Widgets.dll \
           bin/Qt6PrintSupport.dll bin/platforms/qwindows.dll \
           bin/libstdc++-6.dll curve/normal.cur report/rebound_report1.grf uninstall.exe; do
    [ -f "$instdir/$f" ] || fail "$mode install: $instdir/$f is missing"
  done
  [ -f "$menu" ] || fail "$mode install: no Start-menu entry $menu"
  command=$(reg_value "$hive\\Software\\Classes\\Rebound.Project\\shell\\open\\command")
  case $command in
    *rebound-launcher.exe*%1*) ;;
    *) fail "$mode install: .prj is not registered for Open (command: $command)" ;;
  esac
  [ "$(reg_value "$hive\\Software\\Classes\\.prj")" = Rebound.Project ] || fail "$mode install: .prj is not the program's"
  version=$(cd "$work" && REBOUND_WINE_BARE=1 "$runner" "$instdir/bin/rebound-cli.exe" --version | tr -d '\r')
  [ "$version" = "rebound-cli 1.2" ] || fail "$mode install: the installed rebound-cli.exe does not run ($version)"

  if [ $mode = CurrentUser ]; then
    step "Starting the installed window through the launcher, with the sample project"
    rm -rf "$user_folder"
    shot=$build/window.png
    rm -f "$shot"
    REBOUND_WINE_BARE=1 "$root/scripts/windows/screenshot.sh" "$runner" "$work" "$shot" \
      "$instdir/bin/rebound-launcher.exe" "$(printf 'Z:%s' "$work/报告样例.prj" | tr / '\\')"
    [ -s "$shot" ] || fail "no screenshot of the window"
    echo "$shot: $(pngtopnm "$shot" | pnmfile)"
    for f in curve/normal.cur report/rebound_report1.grf samples/KZ-1.cmp .shipped-files Setting/setting.ini; do
      [ -f "$user_folder/$f" ] || fail "the launcher did not prepare $user_folder/$f"
    done
  fi

  step "Uninstalling ($mode)"
  "$runner" "$instdir/uninstall.exe" /S /$mode
  "$runner" --wineserver -w
  [ ! -e "$instdir" ] || fail "$mode uninstall left $instdir: $(find "$instdir" | head)"
  [ ! -e "$menu" ] || fail "$mode uninstall left the Start-menu entry"
  [ -z "$(reg_value "$hive\\Software\\Classes\\Rebound.Project\\shell\\open\\command")" ] ||
    fail "$mode uninstall left the file type"
  [ -z "$(reg_value "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\rebound" DisplayName)" ] ||
    fail "$mode uninstall left the Apps and features entry"
done
[ -f "$user_folder/Setting/setting.ini" ] || fail "the uninstaller removed the user's own folder"

step "Windows check passed"
