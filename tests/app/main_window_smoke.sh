#!/usr/bin/env bash
# Starts the program and waits for its main window; without a display the
# program must say that it needs one and exit with an error.
set -u
program="$1"
shot="${2:-}"

output=$(env -u DISPLAY "$program" 2>&1)
status=$?
if [ $status -eq 0 ] || ! grep -q "needs a graphical display" <<<"$output"; then
  echo "without a display the program exited with $status and said: $output"
  exit 1
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "no display to start the window on"
  exit 77
fi

# Windows of tests running beside this one come and go on a shared display,
# which can make xdotool's search fail: the check gets an X server of its own.
if [ -z "${VX_SMOKE_DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  VX_SMOKE_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

# The program keeps settings for its user: here in a home of the test's own.
home=$(mktemp -d)
export HOME="$home"
unset XDG_CONFIG_HOME

"$program" &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$home"' EXIT

window=$(timeout 30 xdotool search --sync --name "^OSTRANE Quellion$" | head -n 1)
if [ -z "$window" ]; then
  echo "no window titled \"OSTRANE Quellion\" appeared"
  exit 1
fi

if ! kill -0 $pid 2>/dev/null; then
  echo "the program ended after showing its window"
  exit 1
fi

if [ -n "$shot" ] && command -v import >/dev/null; then
  sleep 1
  import -window root "$shot" || true
fi
echo "window $window is up"
