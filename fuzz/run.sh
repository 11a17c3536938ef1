#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for a bounded time and fails on
# the first finding.
#
#   fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]
#
# BUILD_DIR is a build configured with REBOUND_BUILD_FUZZ=ON; SECONDS is the
# time per target: REBOUND_FUZZ_SECONDS, or 60, when it is left out or given
# as "default" (as the ctest tests labelled "fuzz" give it). New inputs are kept in BUILD_DIR/fuzz-corpus/
# (the committed seeds in fuzz/corpus/ stay untouched) and a failing input is
# saved as BUILD_DIR/fuzz-findings/<target>-crash-... . Extra libFuzzer options
# may be given in REBOUND_FUZZ_OPTIONS, e.g. "-runs=10000000".
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]}
seconds=${2:-default}
[ "$seconds" = default ] && seconds=${REBOUND_FUZZ_SECONDS:-60}
shift $(( $# >= 2 ? 2 : 1 ))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for d in "$here"/corpus/*/; do targets+=("$(basename "$d")"); done
fi

mkdir -p "$build/fuzz-findings"
for t in "${targets[@]}"; do
  exe="$build/fuzz/fuzz_$t"
  [ -x "$exe" ] || { echo "fuzz/run.sh: $exe is not built" >&2; exit 1; }
  mkdir -p "$build/fuzz-corpus/$t"
  dict=()
  [ -f "$here/$t.dict" ] && dict=(-dict="$here/$t.dict")
  echo "== fuzz_$t for ${seconds}s"
  # An allocation above 256 MB is a finding; -rss_limit_mb leaves room for
  # the sanitizers' own memory.
  # shellcheck disable=SC2086
  if ! "$exe" "$build/fuzz-corpus/$t" "$here/corpus/$t" \
      -max_total_time="$seconds" -malloc_limit_mb=256 -rss_limit_mb=2048 -timeout=25 \
      -artifact_prefix="$build/fuzz-findings/$t-" -print_final_stats=1 "${dict[@]}" ${REBOUND_FUZZ_OPTIONS:-} \
      > "$build/fuzz-findings/$t.log" 2>&1; then
    tail -n 60 "$build/fuzz-findings/$t.log" >&2
    echo "fuzz/run.sh: fuzz_$t found a fault; input saved under $build/fuzz-findings/" >&2
    exit 1
  fi
  grep -E '^stat::number_of_executed_units' "$build/fuzz-findings/$t.log" || true
done
