#!/usr/bin/env bash
# The arrows between the folders point one way: model <- generator <- editors
# <- app, with the MIDI-control library's interface (hvif/) beneath them all.
# Fails, naming the lines, when a file includes from a folder above its own.
set -euo pipefail
root="$1"
status=0

check() {
  local folder="$1" forbidden="$2"
  local hits
  hits=$(grep -rnE "#include \"($forbidden)/" "$root/$folder" --include='*.h' --include='*.cpp' || true)
  if [ -n "$hits" ]; then
    echo "$folder/ includes from above itself:"
    echo "$hits"
    status=1
  fi
}

check hvif 'model|generator|editors|app|halvix'
check model 'generator|editors|app|halvix'
check generator 'editors|app|halvix'
check editors 'app|halvix'
check halvix 'model|generator|editors|app'
exit $status
