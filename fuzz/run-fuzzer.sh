#!/usr/bin/env bash
# Runs one fuzz target for SECONDS on the working corpus WORK, after copying in the seeds it lacks;
# the saved regressions are replayed at the start, and dictionaries/<target>.dict beside this script
# is used when there is one. A crashing input is written under FINDINGS.
# With --fresh, WORK is emptied first, so a short run always starts from the seeds alone.
# Prints the number of runs and what was found; exits nonzero on a finding.
# Usage: run-fuzzer.sh [--fresh] BINARY SECONDS WORK SEEDS REGRESSIONS FINDINGS
set -euo pipefail

fresh=0
if [ "${1:-}" = "--fresh" ]; then
    fresh=1
    shift
fi
[ $# -eq 6 ] || { echo "usage: $0 [--fresh] BINARY SECONDS WORK SEEDS REGRESSIONS FINDINGS" >&2; exit 2; }
binary=$1 seconds=$2 work=$3 seeds=$4 regressions=$5 findings=$6
name=$(basename "$binary")

[ $fresh -eq 1 ] && rm -rf "$work"
mkdir -p "$work" "$findings"
cp -n "$seeds"/* "$work"/ 2>/dev/null || true
options=()
dictionary=$(dirname "$0")/dictionaries/${name#fuzz_}.dict
[ -f "$dictionary" ] && options+=(-dict="$dictionary")
corpora=("$work")
[ -d "$regressions" ] && corpora+=("$regressions")

# The targets' files (a hive, a token database, a script) in memory: syncing them to disk would
# make the runs several times slower.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1} \
    "$binary" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$findings/" "${options[@]}" "${corpora[@]}" >"$log" 2>&1 || status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
if [ $status -eq 0 ]; then
    echo "$name: ${runs:-?} runs in ${seconds} s, nothing found"
    exit 0
fi
tail -n 60 "$log"
input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
echo "$name: FOUND a failure after ${runs:-?} runs (exit status $status); input: ${input:-none written}"
exit 1
