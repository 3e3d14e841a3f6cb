#!/usr/bin/env bash
# Configures and builds the project in build/ (Debug, Ninja); extra arguments
# name the targets to build (all of them by default). VX_JOBS sets the number
# of parallel jobs (scripts/common.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug > /dev/null
if [ $# -gt 0 ]; then
  cmake --build "$root/build" -j "$vx_jobs" --target "$@"
else
  cmake --build "$root/build" -j "$vx_jobs"
fi
