#!/usr/bin/env bash
# Runs a command on a virtual X server of its own (1280x1024, 24 bits) and
# exits with the command's status. xvfb-run -a looks for a free display by
# the lock files of /tmp, so two sessions started at the same moment can both
# take one number and end up on the same server, moving each other's pointer;
# here the server itself takes the first display it can bind (-displayfd) and
# tells which. Exits 77 (skipped) when Xvfb is not there.
set -u

if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is needed"
  exit 77
fi

state=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display" 2>"$state/server.log" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$state"' EXIT

# The server writes its display number, and a newline after it, once it
# listens: a number without its newline may be cut short.
display_given() {
  [ "$(tail -c 1 "$state/display" 2>/dev/null | od -An -c | tr -d ' ')" = '\n' ]
}

for _ in $(seq 200); do
  if display_given; then
    break
  fi
  if ! kill -0 "$server" 2>/dev/null; then
    echo "the X server did not start:" >&2
    cat "$state/server.log" >&2
    exit 1
  fi
  sleep 0.05
done

if ! display_given; then
  echo "the X server gave no display number within 10 s" >&2
  exit 1
fi

DISPLAY=":$(head -n 1 "$state/display")" "$@"
