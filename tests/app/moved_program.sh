#!/usr/bin/env bash
# The program's folder works wherever it is copied: a copy of bin/ started
# from another folder loads its own libraries, "Halvix.dll" and "Modules.def"
# and none of the build folder's. A program started alone in a folder, with
# the libraries found elsewhere, still takes "Halvix.dll" and "Modules.def"
# from beside itself. Between the two starts Ctrl+Q ends the program, and the
# window's place is kept for the next start.
# Arguments: the program in the build's bin/ folder.
set -u
program="$1"
bin="$(cd "$(dirname "$program")" && pwd)"
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

run_on_own_x_server "$@"
make_work_home
mkdir -p "$work/elsewhere" "$work/moved/bin" "$work/solo"
ours=(libjuce_base.so libjuce_gui.so libvarentix_core.so libvarentix_ui.so Halvix.dll)

# Starts a program from the folder "elsewhere" and waits for its window,
# which must stand alone: no box says a library or "Modules.def" is missing.
start() {
  (cd "$work/elsewhere" && exec "$@") >"$work/output.txt" 2>&1 &
  pid=$!
  window=$(timeout 30 xdotool search --sync --name "^OSTRANE Quellion$" | head -n 1)
  sleep 1.5
  count=$(xdotool search --name "^OSTRANE Quellion$" | wc -l)
  if [ -z "$window" ] || [ "$count" -ne 1 ]; then
    echo "expected the main window alone, found $count windows titled \"OSTRANE Quellion\""
    cat "$work/output.txt"
    exit 1
  fi
}

# Each of our libraries named is mapped into the program from the folder given.
expect_loaded_from() {
  local folder="$1"; shift
  for lib in "$@"; do
    local path
    path=$(grep -o "/[^ ]*/$lib\$" "/proc/$pid/maps" | sort -u)
    if [ "$path" != "$folder/$lib" ]; then
      echo "$lib was loaded from \"${path:-nowhere}\", not from $folder"
      exit 1
    fi
  done
}

# Under load a key can reach the window before it has the focus: the key is
# sent again, a few times, until the program has gone.
quit() {
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null || true
    sleep 0.3
    xdotool key --clearmodifiers ctrl+q
    for _ in $(seq 1 50); do
      kill -0 "$pid" 2>/dev/null || break 2
      sleep 0.1
    done
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "Ctrl+Q did not end the program"
    exit 1
  fi
  wait "$pid"
  pid=""
}

# The whole folder, copied.
cp "$program" "$work/moved/bin/"
for f in "${ours[@]}" Modules.def; do cp "$bin/$f" "$work/moved/bin/"; done
start "$work/moved/bin/$(basename "$program")"
expect_loaded_from "$work/moved/bin" "${ours[@]}"

xdotool windowmove "$window" 40 50
sleep 0.5
quit
if ! grep -q 'WindowState' "$HOME/.config/Ostrane/OstraneQuellion.cfg" 2>/dev/null; then
  echo "Ctrl+Q did not keep the window's place"
  exit 1
fi

# The program alone, its libraries found through the loader's search path.
cp "$program" "$bin/Halvix.dll" "$bin/Modules.def" "$work/solo/"
LD_LIBRARY_PATH="$bin" start "$work/solo/$(basename "$program")"
expect_loaded_from "$work/solo" Halvix.dll
expect_loaded_from "$bin" libvarentix_ui.so

eval "$(xdotool getwindowgeometry --shell "$window")"
if [ "$X" -ne 40 ] || [ "$Y" -ne 50 ]; then
  echo "the window stands at $X,$Y, not at 40,50 where it was left"
  exit 1
fi
quit

echo "the copied folder and the lone program each took their files from beside themselves"
