#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the project.
# Non-interactive; works as root or, through sudo, as a normal user. Packages
# already present are not reinstalled, and apt is not touched when nothing is
# missing.
set -euo pipefail

want=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libgl-dev
  qt6-translations-l10n
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-arphic-uming fonts-wqy-microhei
  xvfb xauth poppler-utils
  libfreexl-dev python3-xlrd
  file desktop-file-utils shared-mime-info man-db x11-apps netpbm
  xdotool openbox
)
if [ "${1:-}" = "--runtime" ]; then
  want=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqt6printsupport6 libgl-dev
    fonts-arphic-uming fonts-wqy-microhei
  )
fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo -n); fi
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
