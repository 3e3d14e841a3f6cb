#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments are
# passed to the program (a project file to open).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" OstraneQuellion
exec "$root/build/bin/OstraneQuellion" "$@"
