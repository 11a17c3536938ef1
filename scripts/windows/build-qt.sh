#!/usr/bin/env bash
# Cross-builds Qt for 64-bit Windows (x86_64-w64-mingw32) from Debian's own
# Qt source package, with Debian's MinGW-w64 and the Linux Qt host tools of the
# same version, into a per-user cache:
#
#   ${REBOUND_CACHE:-~/.cache/rebound}/qt6-mingw-<version>
#
# Modules: Core, Gui, Widgets, PrintSupport, Xml, Test (and what they need:
# OpenGL, the windows platform plugin, the print support plugin). Does
# nothing when the cache is there and complete; prints the kit's folder last.
#
# About 40 minutes on two idle cores; the build runs at low priority
# (nice) so the machine stays usable. REBOUND_QT_JOBS sets the parallel jobs
# (2 by default). Non-interactive; packages come through scripts/windows/deps.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

"$here/deps.sh" --source

# The cross build must match the host tools (moc, rcc, uic) exactly.
debver=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
qtver=${debver%%[+-]*}
cache=${REBOUND_CACHE:-$HOME/.cache/rebound}
kit=$cache/qt6-mingw-$qtver
stamp=$kit/.rebound-complete
jobs=${REBOUND_QT_JOBS:-2}

complete() {
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$debver" ] || return 1
  local f
  for f in bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6PrintSupport.dll bin/Qt6Xml.dll \
           bin/Qt6Test.dll plugins/platforms/qwindows.dll lib/cmake/Qt6/Qt6Config.cmake; do
    [ -f "$kit/$f" ] || return 1
  done
}

# Qt's own catalogues are not part of the base module's sources; Debian's
# (qt6-translations-l10n, the same Qt version) are platform-independent and
# go into the kit, so that Qt's dialogs follow the window's language on
# Windows too.
add_translations() {
  mkdir -p "$kit/translations"
  cp -u /usr/share/qt6/translations/qtbase_*.qm "$kit/translations/"
}

if complete; then
  add_translations
  echo "$kit"
  exit 0
fi

# A build that was broken off (the machine stopped, the script ended) goes
# on where it stopped when its configuration is complete and of this version.
work=$cache/qt6-mingw-$qtver.build
configured=$work/.rebound-configured
rm -rf "$kit"
if [ -f "$configured" ] && [ "$(cat "$configured")" = "$debver" ] && [ -f "$work/build/build.ninja" ]; then
  echo "Resuming the Qt $qtver build in $work/build"
  cd "$work"
else
rm -rf "$work"
mkdir -p "$work"
cd "$work"
echo "Fetching Debian's Qt $debver sources"
apt-get source -q "qt6-base=$debver" >fetch.log 2>&1 || { cat fetch.log >&2; exit 1; }
src=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
[ -n "$src" ] || { echo "The Qt source package did not unpack." >&2; exit 1; }

# Accessibility, tablet events, SQL, D-Bus, network and concurrent are off:
# the program does not use them and Debian's source tarball lacks parts of
# them for Windows. OpenGL stays on (dynamic, chosen at run time): the
# Windows platform plugin needs it. Nothing is taken from the Linux host's
# libraries: pkg-config only sees the MinGW sysroot, and everything else
# (zlib, PCRE2, libpng, HarfBuzz, FreeType) is Qt's bundled copy.
echo "Configuring Qt $qtver for Windows in $work/build"
PKG_CONFIG_LIBDIR=/usr/x86_64-w64-mingw32/lib/pkgconfig PKG_CONFIG_PATH= \
cmake -S "$src" -B build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$kit" \
  -DQT_HOST_PATH=/usr \
  -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo \
  -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_accessibility=OFF -DFEATURE_tabletevent=OFF \
  -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_concurrent=OFF \
  -DFEATURE_opengl_dynamic=ON -DFEATURE_vulkan=OFF \
  -DFEATURE_icu=OFF -DFEATURE_glib=OFF \
  -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_printsupport=ON -DFEATURE_xml=ON -DFEATURE_testlib=ON \
  >configure.log 2>&1 || { tail -60 configure.log >&2; exit 1; }
printf '%s\n' "$debver" >"$configured"
fi

echo "Building Qt $qtver for Windows ($jobs jobs, low priority)"
nice -n 15 cmake --build build -j "$jobs" >>build.log 2>&1 || { tail -60 build.log >&2; exit 1; }
cmake --install build >install.log 2>&1 || { tail -60 install.log >&2; exit 1; }

add_translations
printf '%s\n' "$debver" >"$stamp"
complete || { echo "The Qt build finished but the kit in $kit is incomplete." >&2; exit 1; }
cd "$cache"
rm -rf "$work"
echo "$kit"
