#!/usr/bin/env bash
# Installs what is missing, builds the program optimised (Release, in
# build-release/, apart from the tests' Debug build in build/) and starts it.
# Arguments are passed to the program (a project file to open).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-release"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVX_BUILD_TESTS=OFF -DVX_BUILD_BENCHMARKS=OFF > /dev/null
cmake --build "$build" --target OstraneQuellion
exec "$build/bin/OstraneQuellion" "$@"
