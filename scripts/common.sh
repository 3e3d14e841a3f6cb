# Sourced by the scripts of this folder: the repository's root, how many jobs
# a build or a test run takes at once, and the configuration of the clang
# build.
#
# VX_JOBS sets the number of jobs (a small or shared machine may want fewer
# than its cores); without it every core is used.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Prints a setting as a whole number (leading zeros dropped), or fails (2)
# with a message unless it is one of at least the least given, which ends a
# script run with "set -e". Arguments: the setting's name, its value, the least.
require_whole_number() {
  if ! [[ "$2" =~ ^[0-9]+$ ]] || [ "$((10#$2))" -lt "$3" ]; then
    echo "$1 must be a whole number ($3 or more), not \"$2\"" >&2
    exit 2
  fi
  echo "$((10#$2))"
}

vx_jobs="$(require_whole_number VX_JOBS "${VX_JOBS:-$(nproc)}" 1)"

# The clang build in build-fuzz/: the core library compiled once with the
# address and undefined-behaviour sanitizers and the fuzzer's coverage, its
# tests against that copy, and the fuzz targets. Line tables are enough for the
# sanitizers' stack traces and keep the objects small.
configure_clang_build() {
  cmake -S "$root" -B "$root/build-fuzz" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS_DEBUG=-gline-tables-only -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only \
    -DVX_SANITIZER_TESTS=ON -DVX_FUZZ_TARGETS=ON -DVX_BUILD_TESTS=OFF -DVX_BUILD_BENCHMARKS=OFF > /dev/null
}
