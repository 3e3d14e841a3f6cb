#!/usr/bin/env bash
# Builds the core library's tests against its sanitized copy with clang in
# build-fuzz/ (scripts/common.sh) and runs them through CTest; extra arguments
# go to CTest (-R <regex>, say). VX_JOBS sets the number of parallel jobs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

configure_clang_build
cmake --build "$root/build-fuzz" -j "$vx_jobs" --target core_tests_sanitized
cd "$root/build-fuzz"
ctest --output-on-failure -j "$vx_jobs" "$@"
