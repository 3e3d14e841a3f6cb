# Sourced by the scripts that start the program and look at its window
# through an X server.

# Skips the test (77) without a display; otherwise runs the calling script
# again, once, on an X server of its own, where the windows of tests running
# beside it cannot stand in its way. Takes the script's own arguments.
run_on_own_x_server() {
  if [ -z "${DISPLAY:-}" ]; then
    echo "no display to start the window on"
    exit 77
  fi

  if [ -z "${VX_OWN_X_SERVER:-}" ] && command -v Xvfb >/dev/null; then
    VX_OWN_X_SERVER=1 exec bash "$(dirname "${BASH_SOURCE[0]}")/../support/own_x_server.sh" bash "$0" "$@"
  fi
}

# Makes the work folder $work with a home in it, where the program keeps its
# settings. At exit the program last started ($pid, when set) is ended and
# the folder removed.
make_work_home() {
  work=$(mktemp -d)
  pid=""
  trap remove_work_home EXIT
  export HOME="$work/home"
  unset XDG_CONFIG_HOME
  mkdir -p "$HOME"
}

remove_work_home() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  rm -rf "$work"
}

# Waits up to ten seconds for the program last started ($pid) to end; false
# when it has not. Each second the pointer moves a pixel and back, which wakes
# the program's event loop: an X event that came in while it waited for a
# reply of its own stays unread until the next one (tests/support/XSession.h).
wait_for_program_end() {
  local tick
  for tick in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    if [ $((tick % 10)) -eq 0 ]; then
      xdotool mousemove_relative 1 0 mousemove_relative -- -1 0
    fi
    sleep 0.1
  done
  ! kill -0 "$pid" 2>/dev/null
}
