#!/usr/bin/env bash
# Builds the Debian package from a finished build with CPack and checks it as
# a user would meet it (scripts/check-package.sh); the first-start screenshot
# is left beside the package. This is the ctest test labelled "package".
#
# Usage: scripts/package-test.sh BUILD_DIR
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: scripts/package-test.sh BUILD_DIR}" && pwd)

rm -rf "$build/package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$build/package"
debs=("$build"/package/rebound_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package-test.sh: expected one package in $build/package" >&2; exit 1; }
"$src/scripts/check-package.sh" --screenshot "$build/package/first-start.png" "${debs[0]}"
