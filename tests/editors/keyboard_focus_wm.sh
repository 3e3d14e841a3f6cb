#!/usr/bin/env bash
# Runs the keyboard tests of the window tests on an X server of their own
# with a window manager (openbox), which gives a new window the keyboard
# focus only once it has mapped it. Arguments: the window tests' program.
set -u
program="$1"

if ! command -v xvfb-run >/dev/null || ! command -v openbox >/dev/null || ! command -v xdotool >/dev/null; then
  echo "xvfb-run, openbox and xdotool are needed"
  exit 77
fi

exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  openbox >/dev/null 2>&1 &
  manager=$!
  # The window manager owns the screen before the first window comes.
  sleep 1
  VX_OWN_DISPLAY=1 "$0" --gtest_filter="KeyboardFocus.*"
  status=$?
  kill "$manager"
  exit $status
' "$program"
