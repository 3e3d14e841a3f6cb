#!/usr/bin/env bash
# Configures and builds the project in build/ (Debug, Ninja); extra arguments
# name the targets to build (all of them by default).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug > /dev/null
if [ $# -gt 0 ]; then
  cmake --build "$root/build" --target "$@"
else
  cmake --build "$root/build"
fi
