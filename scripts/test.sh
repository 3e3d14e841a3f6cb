#!/usr/bin/env bash
# Installs what is missing, builds everything, builds the fuzz targets with
# clang and runs each from its seed corpus for a few seconds (scripts/fuzz.sh),
# then runs every test through CTest, under a virtual X display so that window
# tests run anywhere. Exits non-zero when a test or a fuzz run fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

# A failed fuzz run is reported at the end, after the tests have run too.
fuzz_status=0
"$root/scripts/fuzz.sh" || fuzz_status=$?

cd "$root/build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)"

if [ "$fuzz_status" -ne 0 ]; then
  echo "A fuzz run failed (see above); its input is kept in build-fuzz/artifacts/." >&2
fi
exit "$fuzz_status"
