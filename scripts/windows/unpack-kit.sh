#!/usr/bin/env bash
# Unpacks a prebuilt Windows kit (the Qt and GoogleTest that
# scripts/windows/build-qt.sh and scripts/windows/check.sh make, packed on
# this machine type) into the cache, so that check.sh need not spend 40
# minutes building Qt. Only the parts the cache lacks are unpacked;
# check.sh's own completeness checks still decide whether a part is used as
# it is or built again.
#
#   scripts/windows/unpack-kit.sh [KIT]   (default ../shared/cache/windows-kit.tar.xz
#                                          beside the project)
set -euo pipefail
cd "$(dirname "$0")/../.."

kit=${1:-../shared/cache/windows-kit.tar.xz}
cache=${REBOUND_CACHE:-$HOME/.cache/rebound}
if [ ! -f "$kit" ]; then
  echo "No prebuilt Windows kit at $kit: scripts/windows/check.sh builds it"
  exit 0
fi
mkdir -p "$cache"
# One folder per part (qt6-mingw-<version>, googletest-mingw-<version>),
# each complete only with its mark.
for part in $(tar -tJf "$kit" | cut -d/ -f1 | sort -u); do
  if [ ! -f "$cache/$part/.rebound-complete" ]; then
    echo "Unpacking $part from $kit into $cache"
    rm -rf "${cache:?}/$part"
    tar -xJf "$kit" -C "$cache" "$part"
  fi
done
