#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the sources of the
# core (src/model, src/fileio, src/evaluation, src/settings, src/platform) as
# the given build compiles them, two files at a time (REBOUND_TIDY_JOBS).
# Exits non-zero on any finding. The build folder must hold
# compile_commands.json, which every configure writes.
#
#   scripts/tidy.sh build/debug
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: scripts/tidy.sh BUILD_DIR}" && pwd)
tidy=${REBOUND_CLANG_TIDY:-clang-tidy}
jobs=${REBOUND_TIDY_JOBS:-2}
database=$build/compile_commands.json
[ -f "$database" ] || { echo "$database is missing: configure the build first" >&2; exit 1; }
command -v "$tidy" >/dev/null || { echo "$tidy is not installed (scripts/deps.sh installs it)" >&2; exit 1; }

# The core's sources as this build compiles them, so that a source the build
# leaves out on this system is left out here too.
mapfile -t sources < <(grep -o '"file": *"[^"]*"' "$database" | sed 's/^"file": *"//; s/"$//' |
  grep -E "^$root/src/(model|fileio|evaluation|settings|platform)/[^/]+\.cpp$" | sort -u)
if [ ${#sources[@]} -eq 0 ]; then
  echo "no source of the core in $database" >&2
  exit 1
fi

echo "clang-tidy: ${#sources[@]} sources of the core"
# xargs exits non-zero when any run does; each run's findings are errors.
# A GCC build's commands may hold warning options that only GCC knows: clang
# (under clang-tidy) passes over them instead of failing. The count of
# warnings clang-tidy suppressed (in Qt's and the system's headers) is left
# out of the output.
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$jobs" "$tidy" -p "$build" --quiet --warnings-as-errors='*' \
    --extra-arg=-Wno-unknown-warning-option \
    2> >(grep -vE '^[0-9]+ warnings? generated\.$' >&2)
echo "clang-tidy: no findings"
