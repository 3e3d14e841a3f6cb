#!/usr/bin/env bash
# Installs what is missing, builds everything (build/), builds the core
# library's sanitized copy with its tests and the fuzz targets with clang
# (build-fuzz/), runs each fuzz target from its seed corpus for a few seconds
# (scripts/fuzz.sh), then runs every test of both builds through CTest, under
# a virtual X display so that window tests run anywhere. Exits non-zero when a
# test or a fuzz run fails. VX_JOBS sets the number of parallel jobs of the
# builds and the test runs (scripts/common.sh); every core by default.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
configure_clang_build
cmake --build "$root/build-fuzz" -j "$vx_jobs" --target core_tests_sanitized fuzz_targets

# A failed fuzz run is reported at the end, after the tests have run too.
fuzz_status=0
"$root/scripts/fuzz.sh" || fuzz_status=$?

# As many busy tests at once as jobs, and beside them up to four sessions on X
# servers of their own, which mostly wait (tests/CMakeLists.txt).
resources="$root/build/ctest-resources.json"
printf '{ "version": { "major": 1, "minor": 0 }, "local": [ { "cpus": [ { "id": "0", "slots": %d } ] } ] }\n' \
  "$vx_jobs" > "$resources"

test_status=0
rm -f "$root"/build{,-fuzz}/Testing/Temporary/LastTestsFailed.log
cd "$root/build"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --output-on-failure -j "$((vx_jobs + 4))" --resource-spec-file "$resources" || test_status=$?
cd "$root/build-fuzz"
ctest --output-on-failure -j "$vx_jobs" || test_status=$?

# The failures of both runs once more at the end, where a log's tail shows them.
for dir in build build-fuzz; do
  failed="$root/$dir/Testing/Temporary/LastTestsFailed.log"
  if [ -s "$failed" ]; then
    echo "Failed in $dir/: $(cut -d: -f2 "$failed" | paste -sd ' ')" >&2
  fi
done
if [ "$fuzz_status" -ne 0 ]; then
  echo "A fuzz run failed (see above); its input is kept in build-fuzz/artifacts/." >&2
fi
if [ "$test_status" -ne 0 ]; then
  exit "$test_status"
fi
exit "$fuzz_status"
