#!/usr/bin/env bash
# Runs window tests on an X server of their own with a window manager
# (openbox), which maps, focuses and stacks the windows as a desktop does;
# the tests may move the pointer and type, so no other window may stand in
# their way. Arguments: the window tests' program, the variable that lets
# the tests run (set to 1), and the tests' filter.
set -u
program="$1"
variable="$2"
filter="$3"

if ! command -v Xvfb >/dev/null || ! command -v openbox >/dev/null || ! command -v xdotool >/dev/null ||
   ! command -v xprop >/dev/null; then
  echo "Xvfb, openbox, xdotool and xprop are needed"
  exit 77
fi

exec bash "$(dirname "${BASH_SOURCE[0]}")/own_x_server.sh" bash -c '
  openbox >/dev/null 2>&1 &
  manager=$!
  # The window manager owns the screen before the first window comes: once
  # it manages the screen it names its check window on the root window. A
  # busy machine may take longer than any fixed pause.
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.05
  done
  env "$1=1" "$0" --gtest_filter="$2"
  status=$?
  kill "$manager"
  exit $status
' "$program" "$variable" "$filter"
