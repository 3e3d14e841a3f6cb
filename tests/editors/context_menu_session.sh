#!/usr/bin/env bash
# Runs the context menu session of the window tests on an X server of its own:
# it moves the pointer and types, so no other window may stand in its way.
# Arguments: the window tests' program.
set -u
program="$1"

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "xvfb-run and xdotool are needed"
  exit 77
fi

VX_CONTEXT_MENU_SESSION=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program" --gtest_filter='ContextMenuSession.*'
