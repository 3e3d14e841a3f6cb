#!/usr/bin/env bash
# Runs window tests on an X server of their own: they move the pointer and
# type, so no other window may stand in their way. Arguments: the window
# tests' program, the variable that lets the tests run (set to 1), and the
# tests' filter.
set -u
program="$1"
variable="$2"
filter="$3"

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "Xvfb and xdotool are needed"
  exit 77
fi

exec bash "$(dirname "${BASH_SOURCE[0]}")/own_x_server.sh" env "$variable=1" "$program" --gtest_filter="$filter"
