#!/usr/bin/env bash
# The full check that CI runs: installs what is missing, builds everything with
# tests (warnings as errors) and runs every test with ctest, the Debian package
# check included; then builds again with clang and the sanitizers, runs every
# test once more there and fuzzes every reader. Exits non-zero on any failure.
# CONTRIBUTING.md gives the quicker loop for development.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/deps.sh

build=${REBOUND_TEST_BUILD_DIR:-build/test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DREBOUND_BUILD_TESTS=ON -DREBOUND_BUILD_BENCH=ON -DREBOUND_WERROR=ON
cmake --build "$build" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
# Debian package (label "package"): built with CPack from the same build and
# checked as a user would meet it (contents, licence, dependencies, unpacked
# install, first start under Xvfb); the first-start screenshot is left in the
# package folder.
ctest --test-dir "$build" --output-on-failure -L package
# Everything else: core, window and report tests, and clang-tidy over the
# core (label "tidy").
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -LE package

# --- Sanitizers and fuzzing ---------------------------------------------------
# One clang build with the address and undefined-behaviour sanitizers serves
# both: the whole test suite runs once more in it (label "sanitize"), then
# every fuzz target runs for REBOUND_FUZZ_SECONDS seconds (60 by default; label
# "fuzz") and any finding fails the run. docs/reliability.md says how to fuzz
# for longer.
san=${REBOUND_SANITIZE_BUILD_DIR:-build/sanitize}
cmake -S . -B "$san" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DREBOUND_BUILD_TESTS=ON -DREBOUND_SANITIZE=ON -DREBOUND_BUILD_FUZZ=ON
cmake --build "$san" -j "$(nproc)"
ctest --test-dir "$san" --output-on-failure -j "$(nproc)" -LE fuzz
ctest --test-dir "$san" --output-on-failure -j "$(nproc)" -L fuzz
