#!/usr/bin/env bash
# Installs what is missing, builds the program optimised (Release, in
# build-release/, apart from the tests' Debug build in build/) and starts it.
# Arguments are passed to the program (a project file to open). VX_JOBS sets
# the number of parallel jobs of the build (scripts/common.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build="$root/build-release"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVX_BUILD_TESTS=OFF -DVX_BUILD_BENCHMARKS=OFF > /dev/null
cmake --build "$build" -j "$vx_jobs" --target OstraneQuellion
exec "$build/bin/OstraneQuellion" "$@"
