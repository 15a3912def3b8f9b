#!/usr/bin/env bash
# The Chooser window of the real editor under X (Xvfb), driven by real keys: Return
# in "Open Zone" opens the zone and ends the chooser once; Reorder Speedruns takes
# one Return per window, and "Move Speedrun", which preselects nothing, opens with
# no row selected though the window showed a selection before.
# Usage: chooser_program_test.sh ZORLED WINDOW_PIXELS
set -u
ZORLED=$(realpath "$1")
PIXELS=$(realpath "$2")

fail() {
  echo "FAIL: $*"
  [ -s "${work:-}/err" ] && { echo "the editor said:"; cat "$work/err"; }
  [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null
  exit 1
}

. "$(dirname "$0")/x_test_lib.sh"
x_begin_test
export GSETTINGS_BACKEND=memory
game=$work/runs.zorlan
cat > "$game" <<'XML'
<zorlan version="1" gtitle="Runs">
<speedrun name="Alpha" zone="a"/>
<speedrun name="Beta" zone="a"/>
<speedrun name="Gamma" zone="a"/>
<zone id="a"><levels><level z="0"/></levels><entrance x="0" y="0" z="0"/></zone>
<zone id="b"><levels><level z="0"/></levels><entrance x="0" y="0" z="0"/></zone>
</zorlan>
XML

# Waits for the editor's window whose whole title is $1; prints its id.
window() { x_wait_window "$1" "$pid"; }
# The chooser's rows as shown: the colour right of the text in each of its first three rows.
rows() { "$PIXELS" "$1" "$work/chooser.png" 200 38 200 60 200 83 | tr '\n' ' '; }
# Every message about the program's own checks (wxWidgets' assertions among them).
no_assertion() { ! grep -qi 'assert' "$work/err"; }

"$ZORLED" --notemp "$game" 2> "$work/err" &
pid=$!
main=$(window "ZorlED - Runs") || fail "no main window"
x_focus "$main" || fail "the main window does not take the focus"

# 1. A click on the canvas without a zone: the zone chooser, its first zone preselected.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" 100 $((HEIGHT / 2)) click 1
chooser=$(window "Open Zone") || fail "no zone chooser"
x_focus "$chooser" || fail "the zone chooser does not take the focus"
xdotool key Return
window "ZorlED - Runs (a)" > /dev/null || fail "Return in the zone chooser opened no zone"
x_wait_idle "$pid"
no_assertion || fail "Return in the zone chooser"

# 2. Game > Speedruns > Reorder..., by the keyboard once the menu bar is open.
x_focus "$main" || fail "the main window does not take the focus again"
xdotool mousemove --window "$main" 15 12 click 1
x_wait_idle "$pid"
xdotool key --delay 100 Right Right Down Down Down Down Down Right Down Down Return
chooser=$(window "Reorder Speedruns") || fail "no Reorder Speedruns chooser"
x_focus "$chooser" || fail "the chooser does not take the focus"
xdotool key Down  # from no row to the first: alpha
x_wait_idle "$pid"
xdotool key Return
# One Return answers this chooser only: the next one waits for its own answer.
x_wait_idle "$pid"
[ -z "$(x_visible_windows "ZorlED")" ] || fail "Return in the first chooser answered the second one too"
move=$(window "Move Speedrun") || fail "no Move Speedrun chooser"
x_focus "$move" || fail "the second chooser does not take the focus"
x_wait_idle "$pid"
shown=$(rows "$move")
[ "$shown" = "FFFFFF FFFFFF FFFFFF " ] || fail "Move Speedrun opened with a row selected: $shown"
# Return without a row chosen answers nothing.
xdotool key Return
x_wait_idle "$pid"
[ -n "$(x_visible_windows "Move Speedrun")" ] || fail "Return without a row ended the chooser"
[ "$(rows "$move")" = "FFFFFF FFFFFF FFFFFF " ] || fail "Return without a row chose one: $(rows "$move")"
# Before: beta, Before: gamma, After: gamma.
xdotool key --delay 100 Down Down Down
x_wait_idle "$pid"
xdotool key Return
box=$(window "ZorlED") || fail "no report after moving"
x_focus "$box" || fail "the report does not take the focus"
xdotool key Return
x_wait_window_gone "ZorlED" "$box" || fail "the report stays"
x_focus "$main" || fail "the main window does not take the focus at the end"
xdotool key ctrl+s
order() { [ "$(grep -o 'speedrun name="[A-Za-z]*"' "$game" | tr '\n' ' ')" = \
  'speedrun name="Beta" speedrun name="Gamma" speedrun name="Alpha" ' ]; }
x_until "$X_TEST_WAIT" order || fail "the saved order: $(grep -o 'speedrun name="[A-Za-z]*"' "$game" | tr '\n' ' ')"
no_assertion || fail "reordering"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "PASS"
