#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz/ with clang in build-fuzz/ and
# runs each from its seed corpus for a few seconds. A crash, a broken check or
# an input that takes longer than the timeout fails the run (exit status not 0);
# what caused it is kept in build-fuzz/artifacts/.
#
#   scripts/fuzz.sh [--build-only] [--seconds N] [--seeds-only TARGET]... [--jobs N] [TARGET...]
#
# TARGET is a folder name under tests/fuzz/corpus/ (all of them by default);
# --seconds sets how long each runs (default 5, 0 runs the seeds only);
# --seeds-only runs that target on its seeds only, whatever --seconds says;
# --jobs runs that many fuzzing processes per target at once, for long runs;
# the targets themselves run side by side, as many as VX_JOBS holds.
# The build is the clang build of scripts/common.sh, which also holds the
# sanitized core tests (scripts/sanitized.sh); VX_JOBS sets its parallel jobs.
# Inputs found along the way are kept in build-fuzz/work/TARGET/ and used again
# by the next run; the seed corpus in the repository is only read.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build="$root/build-fuzz"
fuzz="$root/tests/fuzz"

seconds=5
jobs=1
build_only=0
targets=()
seeds_only=" "

while [ $# -gt 0 ]; do
  case "$1" in
    --build-only) build_only=1 ;;
    --seconds) seconds="${2-}"; shift ;;
    --jobs) jobs="${2-}"; shift ;;
    --seeds-only) seeds_only+="${2-} "; shift ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1") ;;
  esac
  shift || true
done
# A number given wrong would otherwise fail far into the run, or divide the
# jobs by nothing.
seconds="$(require_whole_number --seconds "$seconds" 0)"
jobs="$(require_whole_number --jobs "$jobs" 1)"

if [ ${#targets[@]} -eq 0 ]; then
  for corpus in "$fuzz"/corpus/*/; do
    targets+=("$(basename "$corpus")")
  done
fi

configure_clang_build
cmake --build "$build" -j "$vx_jobs" --target "${targets[@]}"

if [ "$build_only" -eq 1 ]; then
  exit 0
fi

# The targets write their inputs to files: memory is faster than the disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

# Runs one target; its exit status goes to logs/<target>.status.
run_target() {
  local target="$1"
  local work="$build/work/$target"
  local artifacts="$build/artifacts/$target"
  local log="$build/logs/$target.log"
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"

  local options=(-timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "-artifact_prefix=$artifacts/")

  if [ -f "$fuzz/dict/$target.dict" ]; then
    options+=("-dict=$fuzz/dict/$target.dict")
  fi

  if [ "$seconds" -eq 0 ] || [[ "$seeds_only" == *" $target "* ]]; then
    options+=(-runs=0)
  else
    options+=("-max_total_time=$seconds")
  fi

  if [ "$jobs" -gt 1 ]; then
    options+=("-fork=$jobs" -ignore_crashes=0)
  fi

  local result=0
  "$build/bin/$target" "${options[@]}" "$work" "$fuzz/corpus/$target" > "$log" 2>&1 || result=$?
  echo "$result" > "$build/logs/$target.status"
}

# The targets run side by side: as many at once as the jobs (VX_JOBS) hold
# their processes.
at_once=$((vx_jobs / jobs))
if [ "$at_once" -lt 1 ]; then
  at_once=1
fi
running=0
for target in "${targets[@]}"; do
  rm -f "$build/logs/$target.status"
  run_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$at_once" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

status=0

for target in "${targets[@]}"; do
  artifacts="$build/artifacts/$target"
  log="$build/logs/$target.log"

  if [ "$(cat "$build/logs/$target.status" 2>/dev/null)" = "0" ]; then
    # A forked run prints its count in another form, or none.
    runs="$( (grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" || grep -o '^#[0-9]*' "$log" || true) | grep -o '[0-9]*$' | tail -1 || true)"
    echo "fuzz: $target passed, ${runs:-?} runs"
  else
    echo "fuzz: $target FAILED; the input is kept in $artifacts" >&2
    tail -n 40 "$log" >&2
    status=1
  fi
done

exit "$status"
