#!/usr/bin/env bash
# Starts the program as a user would, with a project file on its command line,
# in a home of its own: its window comes up named after the project with the
# three tabs, each tab shows its own page, a changed rate is saved with Ctrl+S
# into the project file, and Ctrl+Q ends the program at once (a saved design
# asks nothing) with its settings written.
# A second session shows that a changed design is not dropped silently.
# Arguments: the program, and a folder for the screenshots of the tabs.
set -u
program="$1"
shots="${2:-}"
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

# The session clicks and takes screenshots.
run_on_own_x_server "$@"

# The number of pixels of about that colour in an area (WxH+X+Y) of a picture.
count_colour() {
  convert "$1" -crop "$2" +repage -fuzz 12% -fill black +opaque "$3" -fill white -opaque "$3" \
    -format "%[fx:round(mean*w*h)]" info:
}

make_work_home
shotdir="${shots:-$work/shots}"
mkdir -p "$shotdir"

project="$work/demo design.zqp"
# One DSP with its module and nothing in it (also the design session's start).
cp "$(dirname "${BASH_SOURCE[0]}")/oneDsp.zqp" "$project" || exit 1

"$program" "$project" >"$work/output.txt" 2>&1 &
pid=$!

# The start file opens: the window takes the project's name.
window=$(timeout 30 xdotool search --sync --name "^demo design - OSTRANE Quellion$" | head -n 1)
if [ -z "$window" ]; then
  echo "no window titled \"demo design - OSTRANE Quellion\" appeared"
  xdotool search --name "OSTRANE Quellion" getwindowname %@ 2>/dev/null
  cat "$work/output.txt"
  exit 1
fi
sleep 1

# One window only: no message box (a missing library, a missing module
# library, a project that does not open) stands beside it.
count=$(xdotool search --name "OSTRANE Quellion$" | wc -l)
others=$(xdotool search --name "^Open project$" | wc -l)
if [ "$count" -ne 1 ] || [ "$others" -ne 0 ]; then
  echo "expected the main window alone, found $count windows titled \"... OSTRANE Quellion\" and $others others"
  exit 1
fi

# The tabs sit along the top of the window container, under the title bar
# and the container's strip; a click in each shows its page.
eval "$(xdotool getwindowgeometry --shell "$window")"
tab_y=$((Y + 26 + 40 + 14))
tab_x=("$((X + 60))" "$((X + 155))" "$((X + 230))")
names=(project-settings bus-editor dsp-editor)

for i in 0 1 2; do
  xdotool mousemove "${tab_x[$i]}" "$tab_y" click 1
  sleep 0.7
  import -window root "$shotdir/tab-${names[$i]}.png"
done

for pair in "0 1" "0 2" "1 2"; do
  set -- $pair
  diff=$(compare -metric AE "$shotdir/tab-${names[$1]}.png" "$shotdir/tab-${names[$2]}.png" null: 2>&1 | cut -d' ' -f1)
  if [ "${diff%.*}" -lt 100 ] 2>/dev/null; then
    echo "the tabs ${names[$1]} and ${names[$2]} show the same picture ($diff pixels differ)"
    exit 1
  fi
done

# The project settings page differs from the empty editor pages by far.
diff=$(compare -metric AE "$shotdir/tab-${names[0]}.png" "$shotdir/tab-${names[1]}.png" null: 2>&1 | cut -d' ' -f1)
if [ "${diff%.*}" -lt 5000 ]; then
  echo "the project settings page does not show its widgets ($diff pixels differ from the bus editor page)"
  exit 1
fi

# The strip above the tabs: the container stands 4 pixels in and 30 down
# from the window's corner. Its dark ground, the grey "Project" button, and
# the File menu that button opens (a window of its own over the page).
strip_x=$((X + 4))
strip_y=$((Y + 30))
import -window root "$shotdir/strip.png"
if [ "$(count_colour "$shotdir/strip.png" "100x16+$((strip_x + 20))+$((strip_y + 15))" "#484848")" -lt 800 ] ||
   [ "$(count_colour "$shotdir/strip.png" "150x8+$((strip_x + 300))+$((strip_y + 2))" "#282828")" -lt 1000 ]; then
  echo "the strip with its \"Project\" button is not drawn"
  exit 1
fi

xdotool mousemove $((strip_x + 69)) $((strip_y + 23)) click 1
sleep 0.8
import -window root "$shotdir/file-menu.png"
diff=$(compare -metric AE -crop "220x200+$((strip_x + 13))+$((strip_y + 40))" "$shotdir/strip.png" "$shotdir/file-menu.png" null: 2>&1 | cut -d' ' -f1)
xdotool key Escape
sleep 0.5
if [ "${diff%.*}" -lt 5000 ] 2>/dev/null; then
  echo "the \"Project\" button did not open the File menu ($diff pixels changed under it)"
  exit 1
fi

# Back on the settings page: the next sampling rate, then Ctrl+S writes the
# project file in place, asking nothing.
xdotool mousemove "${tab_x[0]}" "$tab_y" click 1
sleep 0.5
xdotool mousemove $((X + 230)) $((Y + 26 + 40 + 30 + 76)) click 1
sleep 0.7
xdotool key Down Return
sleep 0.5
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.3
xdotool key --clearmodifiers ctrl+s
for _ in $(seq 1 30); do
  grep -q 'Sampling="2"' "$project" && break
  sleep 0.1
done
if ! grep -q 'Sampling="2"' "$project" || ! grep -q 'Index="1"' "$project"; then
  echo "Ctrl+S did not write the changed rate into the project file"
  cat "$project"
  exit 1
fi

# The status label says so in orange beside the "Project" button, for two seconds.
label_area="200x20+$((strip_x + 130))+$((strip_y + 13))"
import -window root "$shotdir/saved.png"
if [ "$(count_colour "$shotdir/saved.png" "$label_area" "#ff8c00")" -lt 60 ]; then
  echo "no \"Project successfully saved!\" after Ctrl+S"
  exit 1
fi
sleep 2.6
import -window root "$shotdir/saved-later.png"
if [ "$(count_colour "$shotdir/saved-later.png" "$label_area" "#ff8c00")" -gt 5 ]; then
  echo "the status label still shows after two seconds"
  exit 1
fi

xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.3
xdotool key --clearmodifiers ctrl+q

if ! wait_for_program_end; then
  echo "Ctrl+Q did not end the program (a question may be waiting)"
  xdotool search --name "OSTRANE Quellion" getwindowname %@ 2>/dev/null
  exit 1
fi

wait "$pid"
status=$?
pid=""
if [ $status -ne 0 ]; then
  echo "the program ended with status $status"
  cat "$work/output.txt"
  exit 1
fi

settings="$HOME/.config/Ostrane/OstraneQuellion.cfg"
if ! grep -q 'RecentFileList' "$settings" 2>/dev/null || ! grep -q 'checkForUpdate' "$settings"; then
  echo "the settings were not written to $settings"
  exit 1
fi

# A second session: once a setting is changed, Ctrl+Q asks "Do you want to
# save?"; Cancel keeps the program, No ends it.
"$program" >"$work/output2.txt" 2>&1 &
pid=$!
window=$(timeout 30 xdotool search --sync --name "^OSTRANE Quellion$" | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"

# The sampling-rate choice of the project settings page: open it, take the next rate.
xdotool mousemove $((X + 230)) $((Y + 26 + 40 + 30 + 76)) click 1
sleep 0.7
xdotool key Down Return
sleep 0.5

find_question() {
  for _ in $(seq 1 30); do
    for w in $(xdotool search --name "^OSTRANE Quellion$"); do
      if [ "$w" != "$window" ]; then echo "$w"; return; fi
    done
    sleep 0.1
  done
}

xdotool windowfocus "$window"
sleep 0.2
xdotool key --clearmodifiers ctrl+q
question=$(find_question)
if [ -z "$question" ]; then
  echo "Ctrl+Q on a changed design did not ask to save"
  exit 1
fi
xdotool key Escape
sleep 0.5
if ! kill -0 "$pid" 2>/dev/null; then
  echo "Cancel ended the program"
  exit 1
fi

xdotool windowfocus "$window"
sleep 0.2
xdotool key --clearmodifiers ctrl+q
question=$(find_question)
if [ -z "$question" ]; then
  echo "the second Ctrl+Q did not ask to save"
  exit 1
fi
# "No" is the middle one of the question's three buttons, which stand on a
# line 95 % down the box, 28 pixels high.
eval "$(xdotool getwindowgeometry --shell "$question")"
xdotool mousemove $((X + WIDTH / 2 - 12)) $((Y + HEIGHT * 95 / 100 - 14)) click 1

if ! wait_for_program_end; then
  import -window root "$shotdir/quit-no-failed.png"
  echo "\"No\" did not end the program"
  exit 1
fi
wait "$pid"
status=$?
pid=""
if [ $status -ne 0 ]; then
  echo "the program ended with status $status after \"No\""
  exit 1
fi

echo "window showed its three tabs, quit cleanly, and asked to save a changed design"
