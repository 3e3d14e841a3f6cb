#!/usr/bin/env bash
# Runs the windows session of the window tests on an X server of its own
# with a window manager (openbox), which stacks the windows as a desktop
# does: it moves the pointer and clicks, so no other window may stand in
# its way. Arguments: the window tests' program.
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
  VX_WINDOWS_SESSION=1 "$0" --gtest_filter="WindowsSession.*"
  status=$?
  kill "$manager"
  exit $status
' "$program"
