#!/usr/bin/env bash
# Runs one fuzz target for a given time and prints one line about it:
# executions, executions per second, coverage (libFuzzer's cov and ft), the
# size of its working corpus, and any crash with the path of its reproducer.
#
#   run.sh TARGET SECONDS WORKDIR [fresh]
#
# The target's seed corpus (fuzz/corpus/<name>, read only) and dictionary
# (fuzz/dict/<name>.dict) come from this folder; what the fuzzer finds goes
# to WORKDIR/corpus, crashes to WORKDIR/artifacts, its output to
# WORKDIR/fuzz.log. "fresh" empties WORKDIR first. Exits 1 on a crash.
# TW_FUZZ_RUNS=N also stops the target after N executions.
set -uo pipefail

bin=${1:?usage: run.sh TARGET SECONDS WORKDIR [fresh]}
seconds=${2:?seconds}
work=${3:?workdir}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
name=$(basename "$bin")
name=${name%_fuzz}

[ "${4:-}" = fresh ] && rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
      -artifact_prefix="$work/artifacts/")
[ -n "${TW_FUZZ_RUNS:-}" ] && args+=(-runs="$TW_FUZZ_RUNS")
[ -f "$here/dict/$name.dict" ] && args+=(-dict="$here/dict/$name.dict")
seeds=()
[ -d "$here/corpus/$name" ] && seeds=("$here/corpus/$name")

start=$(date +%s)
"$bin" "${args[@]}" "$work/corpus" "${seeds[@]}" >"$work/fuzz.log" 2>&1
status=$?
elapsed=$(( $(date +%s) - start ))

stat() { sed -n "s/^stat::$1: *\([0-9]*\).*/\1/p" "$work/fuzz.log" | tail -1; }
last=$(grep -E '^#[0-9]+' "$work/fuzz.log" | grep 'cov:' | tail -1)
cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
execs=$(stat number_of_executed_units)
rate=$(stat average_exec_per_sec)
corpus=$(find "$work/corpus" -type f | wc -l)

printf 'fuzz %-17s %12s runs %8s exec/s  cov %5s  ft %6s  corpus %5s  %5ss' \
  "$name" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$corpus" "$elapsed"
if [ "$status" = 0 ]; then
  echo "  ok"
  exit 0
fi
crash=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$work/fuzz.log" | tail -1)
echo "  FAILED (exit $status) reproducer: ${crash:-none written} log: $work/fuzz.log"
grep -m3 -E 'ERROR|property failed|runtime error' "$work/fuzz.log" | sed 's/^/    /'
exit 1
