#!/usr/bin/env bash
# Drives the canvas of the real editor under X (Xvfb): the last game and zone reopen,
# the window shows the level's colour and the block, a click selects the block, a
# plain arrow moves the camera, Ctrl+Right moves the selection by 5 and Ctrl+S saves.
# Usage: canvas_program_test.sh ZORLED WINDOW_PIXELS WORK-FOLDER-FOR-THE-SCREENSHOT
set -u
ZORLED=$(realpath "$1")
PIXELS=$(realpath "$2")
SHOTS=$(realpath "$3")

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }

. "$(dirname "$0")/x_test_lib.sh"
x_begin_test
game=$work/canvas.zorlan
# Level colour 3060C0; a yellow 80 by 80 block centred on the camera, which the default
# entrance puts at (0, 0), 200 in front of the level.
cat > "$game" <<'XML'
<zorlan version="1">
<zone id="yard" name="Yard" xlim="-300,300" ylim="-100,300">
<levels><level z="0" color="3060C0"/></levels>
<entrance x="-10" y="-10" z="0"/>
<block oname="box" color="FFFF00" x="-40" y="-40" w="80" h="80" z="0"/>
</zone>
</zorlan>
XML
printf '; ZorlED 1.3\nLastFile = %s\nLastZone = yard\n' "$game" > "$XDG_CONFIG_HOME/ZorlED/zorled.ini"

"$ZORLED" --notemp &
pid=$!
win=$(x_wait_window "ZorlED - canvas.zorlan (Yard)" "$pid") || fail "no window for the reopened zone"

# The window's pixels down the canvas's middle column: find the yellow block there.
column() {
  local args=()
  for y in $(seq 0 $((HEIGHT - 1))); do args+=("$cx" "$y"); done
  "$PIXELS" "$win" "$1" "${args[@]}"
}
# The first paint may take a while on a busy machine.
painted() {
  # Read in the loop: the window may still be given its size.
  eval "$(xdotool getwindowgeometry --shell "$win")"
  cx=$(( (WIDTH - 265) / 2 ))
  mapfile -t before < <(column "$SHOTS/canvas_before.png")
  top=-1; bottom=-1; level=0
  for y in "${!before[@]}"; do
    [ "${before[$y]}" = FFFF00 ] && { [ "$top" -lt 0 ] && top=$y; bottom=$y; }
    [ "${before[$y]}" = 3060C0 ] && level=$((level + 1))
  done
  [ "$top" -ge 0 ] && [ "$level" -gt 100 ]
}
x_until "$X_TEST_WAIT" painted
[ "$top" -ge 0 ] || fail "no yellow block in the window"
[ "$level" -gt 100 ] || fail "the level's colour fills too little of the canvas ($level pixels)"
height=$((bottom - top + 1))
# 80 world units at 200 in front: 66 or 67 pixels.
[ "$height" -ge 64 ] && [ "$height" -le 69 ] || fail "the block is $height pixels high"
cy=$(( (top + bottom) / 2 ))
# The side column is as wide as its panels need at the desktop's font: the block's
# middle is found along its row.
args=()
for x in $(seq 0 $((WIDTH - 1))); do args+=("$x" "$cy"); done
mapfile -t across < <("$PIXELS" "$win" "$SHOTS/canvas_row.png" "${args[@]}")
left=-1; right=-1
for x in "${!across[@]}"; do
  [ "${across[$x]}" = FFFF00 ] && { [ "$left" -lt 0 ] && left=$x; right=$x; }
done
[ "$left" -ge 0 ] || fail "no yellow block along its row"
cx=$(( (left + right) / 2 ))

# Click the block right of the entrance in its middle, move the camera, move the block.
# The keys go to the window with the focus: the editor's, before the first one is sent.
x_focus "$win" || fail "the editor's window does not take the focus"
xdotool mousemove --window "$win" $((cx + 25)) "$cy" click 1
xdotool key Right
xdotool key ctrl+Right
xdotool key ctrl+s
x_wait_file "$game" 'x="-35"'
grep -q '<block oname="box" color="FFFF00" x="-35" y="-40" w="80" h="80" z="0"/>' "$game" ||
  fail "the saved block: $(grep '<block' "$game")"
"$PIXELS" "$win" "$SHOTS/canvas_after.png" > /dev/null || fail "no picture after the edit"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "PASS"
