#!/usr/bin/env bash
# Installs the Debian 12 packages that the Windows cross build and its checks
# need: MinGW-w64 (posix threads), the Linux Qt host tools (moc, uic, rcc for
# the cross build), Wine to run the results, NSIS for the installer, and the
# tools that look at what the programs write. Non-interactive; works as root
# or, through sudo, as a normal user. Nothing is touched when all is present.
#
# With --source it also makes sure APT knows Debian's source packages
# (deb-src), which the Qt build fetches from.
set -euo pipefail

want=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgtest-dev libeigen3-dev
  wine64 nsis
  xvfb xauth x11-apps netpbm poppler-utils fonts-arphic-uming locales
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo -n); fi
export DEBIAN_FRONTEND=noninteractive
updated=no

apt_update() {
  if [ "$updated" = no ]; then
    "${sudo_cmd[@]}" apt-get update -q
    updated=yes
  fi
}

# Debian's own archives get a deb-src twin, written next to the existing
# sources (third-party archives are left alone: they may not serve sources).
enable_deb_src() {
  if grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  local stanzas='' lines=''
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    stanzas+=$(awk 'BEGIN { RS = ""; ORS = "\n\n" }
                    /debian\.org/ && /Types:[^\n]*deb/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f")
  done
  if [ -f /etc/apt/sources.list ]; then
    lines=$(sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\(\[[^]]*\][[:space:]]\+\)\?[^[:space:]]*debian\.org.*\)/deb-src \1/p' \
              /etc/apt/sources.list)
  fi
  if [ -z "$stanzas" ] && [ -z "$lines" ]; then
    echo "No Debian archive found in the APT sources to take source packages from." >&2
    exit 1
  fi
  echo "Enabling Debian source packages (deb-src) for APT"
  [ -n "$stanzas" ] && printf '%s\n' "$stanzas" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/rebound-deb-src.sources >/dev/null
  [ -n "$lines" ] && printf '%s\n' "$lines" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/rebound-deb-src.list >/dev/null
  updated=no
}

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt_update
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes the ANSI code page from the Unix locale: the tests run in
# zh_CN.UTF-8, which gives code page 936 as on a Chinese Windows.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  echo "Generating the zh_CN.UTF-8 locale"
  "${sudo_cmd[@]}" localedef -i zh_CN -c -f UTF-8 -A /usr/share/locale/locale.alias zh_CN.UTF-8
fi

if [ "${1:-}" = "--source" ]; then
  enable_deb_src
  apt_update_needed=$(apt-cache showsrc qt6-base 2>/dev/null | head -1 || true)
  if [ -z "$apt_update_needed" ]; then
    updated=no
    apt_update
  fi
fi
