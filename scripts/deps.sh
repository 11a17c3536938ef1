#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the project.
# Non-interactive; works as root or, through sudo, as a normal user. Packages
# already present are not reinstalled, and apt is not touched when nothing is
# missing.
set -euo pipefail

want=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-tidy
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libgl-dev
  qt6-l10n-tools qt6-translations-l10n libeigen3-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-arphic-uming fonts-wqy-microhei
  xvfb xauth poppler-utils
  libfreexl-dev python3-xlrd
  file desktop-file-utils shared-mime-info man-db x11-apps netpbm
  xdotool openbox
  locales
)
# Locales the tests run the window, the report and the exports under: their
# decimal comma must never reach a figure.
want_locales=(de_DE.UTF-8 fr_FR.UTF-8)
if [ "${1:-}" = "--runtime" ]; then
  want_locales=()
  want=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqt6printsupport6 libgl-dev
    qt6-l10n-tools qt6-translations-l10n libeigen3-dev
    fonts-arphic-uming fonts-wqy-microhei
  )
fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# locale -a lists "de_DE.utf8" for "de_DE.UTF-8".
missing_locales=()
for l in "${want_locales[@]}"; do
  normalized="${l%%.*}.utf8"
  if ! locale -a 2>/dev/null | grep -qix "$normalized"; then
    missing_locales+=("$l")
  fi
done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_locales[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo -n); fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ ${#missing_locales[@]} -gt 0 ]; then
  echo "Generating locales: ${missing_locales[*]}"
  for l in "${missing_locales[@]}"; do
    # Enabled in /etc/locale.gen so that a later locale-gen keeps them.
    if grep -qE "^# *${l//./\\.} UTF-8" /etc/locale.gen 2>/dev/null; then
      "${sudo_cmd[@]}" sed -i -E "s/^# *(${l//./\\.} UTF-8)/\\1/" /etc/locale.gen
    elif ! grep -qE "^${l//./\\.} UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "$l UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    fi
  done
  # --keep-existing: locales made before (with localedef) stay available.
  "${sudo_cmd[@]}" locale-gen --keep-existing
fi
