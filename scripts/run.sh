#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the application in a
# ready application folder (a copy of data/ below build/release/app).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/deps.sh --runtime

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREBOUND_BUILD_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

app="$build/app"
mkdir -p "$app"
# Copy the shipped folder without overwriting what the user changed there.
cp -rn data/. "$app"/
cd "$app"
if [ -x ../src/app/rebound ]; then
  exec ../src/app/rebound "$@"
fi
exec ../src/cli/rebound-cli --help
