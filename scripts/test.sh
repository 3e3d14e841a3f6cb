#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through
# CTest, under a virtual X display so that window tests run anywhere. Exits
# non-zero when a test fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

cd "$root/build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)"
