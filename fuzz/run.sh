#!/usr/bin/env bash
# Runs every libFuzzer target (or the ones named) for a bounded time, one after the other, one job.
#   fuzz/run.sh <fuzz build folder> <seconds per target> [target...]
# Each target starts from its seeds in fuzz/corpus/<target>/ (copied, so the repository's seeds stay
# small). A finding stops the target; its reproducer is saved as fuzz/findings/<target>/crash-*
# (or leak-*, timeout-*, oom-*), and the script ends with status 1 after the remaining targets ran.
# Rerun one reproducer with: <fuzz build folder>/fuzz/<target> fuzz/findings/<target>/<file>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: fuzz/run.sh <fuzz build folder> <seconds> [target...]}
seconds=${2:?usage: fuzz/run.sh <fuzz build folder> <seconds> [target...]}
shift 2
if [ $# -eq 0 ]; then
  set -- $(cd "$here" && ls fuzz_*.cpp | sed 's/\.cpp$//')
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=()
printf '%-24s %12s %8s  %s\n' target executions seconds result
for target in "$@"; do
  binary=$build/fuzz/$target
  if [ ! -x "$binary" ]; then
    echo "$target: not built ($binary)" >&2
    failed+=("$target")
    continue
  fi
  findings=$here/findings/$target
  mkdir -p "$findings" "$work/$target"
  [ -d "$here/corpus/$target" ] && cp -r "$here/corpus/$target/." "$work/$target/"
  max_len=4096
  [ "$target" = fuzz_symbol ] && max_len=12000
  log=$work/$target.log
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
    "$binary" "$work/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=30 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  status=$?
  runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)
  secs=$(grep -oE 'Done [0-9]+ runs in [0-9]+ second' "$log" | grep -oE 'in [0-9]+' | grep -oE '[0-9]+')
  if [ $status -eq 0 ]; then
    printf '%-24s %12s %8s  %s\n' "$target" "${runs:-?}" "${secs:-$seconds}" ok
    rmdir "$findings" 2>/dev/null
  else
    printf '%-24s %12s %8s  %s\n' "$target" "${runs:-?}" "-" "FINDING (status $status)"
    grep -E 'ERROR|runtime error|property failed|SUMMARY|Test unit written' "$log" | head -8 | sed 's/^/    /'
    cp "$log" "$findings/log.txt"
    failed+=("$target")
  fi
done
passed=$(( $# - ${#failed[@]} ))
echo "fuzz: $passed passed, ${#failed[@]} failed"
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (reproducers under fuzz/findings/)" >&2
  exit 1
fi
