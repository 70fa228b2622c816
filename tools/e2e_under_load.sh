#!/usr/bin/env bash
# Runs the end-to-end tests RUNS times in a row while a parallel build of the
# game keeps every core busy, and counts how often each test failed: a test
# that fails by chance under load blocks good work from landing.
#
#   tools/e2e_under_load.sh [BUILD_FOLDER] [RUNS] [TEST_REGEX]
#       (defaults: build, 30, ^E2E)
#
# Run it after `make build`. The load is a clean build of the game and its
# tests in a scratch folder, with ccache bypassed, over and over. Each run's
# CTest output is kept in the scratch folder, whose name is printed.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-30}
pattern=${3:-^E2E}
[[ $build = /* ]] || build=$PWD/$build
[[ -x $build/vorlax ]] || { echo "error: no game at $build/vorlax; run make build" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vorlax-e2e-load-XXXXXX")
echo "output in $work"
cmake -S "$root" -B "$work/load" -DVORLAX_BENCH=OFF -DCMAKE_CXX_COMPILER_LAUNCHER= >/dev/null
# The load runs in a process group of its own, so that it ends with this script.
set -m
(
    while :; do
        CCACHE_DISABLE=1 cmake --build "$work/load" --clean-first -j"$(nproc)" >/dev/null 2>&1
    done
) &
load=$!
set +m
trap 'kill -- -$load 2>/dev/null' EXIT

for ((i = 1; i <= runs; i++)); do
    (cd "$build" && ctest -j2 -R "$pattern" --output-on-failure) >"$work/run$i.txt" 2>&1
    failed=$(grep -c '\*\*\*\(Failed\|Timeout\|Exception\|Not Run\)' "$work/run$i.txt")
    echo "run $i: $failed failed, load average $(cut -d' ' -f1 /proc/loadavg)"
done

echo "failures per test over $runs runs:"
cat "$work"/run*.txt |
    sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*\(Failed\|Timeout\|Exception\|Not Run\).*/\1/p' |
    sort | uniq -c
echo "runs with every test passed: $(grep -l '^100% tests passed' "$work"/run*.txt | wc -l) of $runs"
