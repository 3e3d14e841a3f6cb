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

  if [ -z "${VX_OWN_X_SERVER:-}" ] && command -v xvfb-run >/dev/null; then
    VX_OWN_X_SERVER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
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
