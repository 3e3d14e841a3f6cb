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

# Windows of tests running beside this one come and go on a shared display,
# which can make xdotool's search fail.
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
run_on_own_x_server "$@"

# The program keeps settings for its user: here in a home of the test's own.
make_work_home
"$program" &
pid=$!

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
