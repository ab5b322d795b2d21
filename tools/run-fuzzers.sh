#!/bin/sh
# Runs every fuzz target of a fuzz build for a number of seconds each, on a
# fresh copy of its seeds.  Ends with status 1 when a target crashed.
set -u
build="$1"
seconds="$2"
top="$(cd "$(dirname "$0")/.." && pwd)"
work="$build/corpus"
crashes="$build/crashes"
mkdir -p "$crashes"
status=0
for target in panel_file data_lines entry_number fittings cli; do
  corpus="$work/$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp "$top/tests/data/fuzz/$target/"* "$corpus/" 2>/dev/null
  case "$target" in
    panel_file|cli) cp "$top/examples/"* "$corpus/" ;;
    data_lines) cp "$top/data/"*.dat "$corpus/" ;;
  esac
  echo "fuzzing $target for $seconds s"
  if ! "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
       -artifact_prefix="$crashes/$target-" "$corpus" > "$build/fuzz-$target.log" 2>&1; then
    echo "fuzz_$target FAILED; see $build/fuzz-$target.log and $crashes/"
    tail -n 30 "$build/fuzz-$target.log"
    status=1
  else
    grep -E "^Done" "$build/fuzz-$target.log"
  fi
done
exit $status
