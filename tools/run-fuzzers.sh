#!/bin/sh
# Runs every fuzz target of a fuzz build for a number of seconds each.
# Ends with status 1 when a target crashed.
#
# What the fuzzers learn is kept between runs: each target's corpus lives in
# $CORVANE_FUZZ_CORPUS/<target> (default ~/.cache/corvane/fuzz-corpus),
# outside the clone.  A run reads that corpus and the committed seeds
# (tests/data/fuzz/<target>, examples/, data/), writes what it finds into a
# scratch folder of the build, and then merges into the kept corpus only
# the finds that reach new code (libFuzzer's -merge=1).  The committed seeds
# are never changed.
set -u
build="$1"
seconds="$2"
top="$(cd "$(dirname "$0")/.." && pwd)"
home="${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}"
kept="${CORVANE_FUZZ_CORPUS:-${XDG_CACHE_HOME:-$home/.cache}/corvane/fuzz-corpus}"
crashes="$build/crashes"
mkdir -p "$crashes"
status=0
for target in panel_file data_lines entry_number fittings cli backup_merge data_rewrite data_commands run_file; do
  corpus="$kept/$target"
  seeds="$build/seeds/$target"
  finds="$build/finds/$target"
  rm -rf "$seeds" "$finds"
  mkdir -p "$corpus" "$seeds" "$finds"
  cp "$top/tests/data/fuzz/$target/"* "$seeds/" 2>/dev/null
  case "$target" in
    panel_file|cli) cp "$top/examples/"*.PW? "$seeds/" ;;
    run_file) cp "$top/examples/"*.cvrun "$seeds/" ;;
    data_lines|data_rewrite) cp "$top/data/"*.dat "$seeds/" ;;
  esac
  before=$(ls "$corpus" | wc -l)
  echo "fuzzing $target for $seconds s, from a kept corpus of $before inputs"
  if ! "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
       -artifact_prefix="$crashes/$target-" "$finds" "$corpus" "$seeds" > "$build/fuzz-$target.log" 2>&1; then
    echo "fuzz_$target FAILED; see $build/fuzz-$target.log and $crashes/"
    tail -n 30 "$build/fuzz-$target.log"
    status=1
    continue
  fi
  grep -E "^Done" "$build/fuzz-$target.log"
  if ! "$build/fuzz/fuzz_$target" -merge=1 -max_len=8192 -timeout=10 "$corpus" "$finds" "$seeds" \
       > "$build/fuzz-$target-merge.log" 2>&1; then
    echo "merging the finds of fuzz_$target FAILED; see $build/fuzz-$target-merge.log"
    status=1
    continue
  fi
  echo "kept corpus of $target: $(ls "$corpus" | wc -l) inputs (was $before)"
done
exit $status
