#!/usr/bin/env bash
# The side panel of the real editor under X (Xvfb): after a pan ended by Esc the panel
# takes clicks again; "+ Insert" opens the insert menu
# (Level first on the level panel) and its Area item floats an area that a click
# places; typing in a block's Class field ticks and clears the Class box; a refused
# entrance name goes back in the field to the name the entrance keeps.
# Usage: side_panel_program_test.sh ZORLED WINDOW_PIXELS
set -u
ZORLED=$(realpath "$1")
PIXELS=$(realpath "$2")

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }

. "$(dirname "$0")/x_test_lib.sh"
x_begin_test
game=$work/panel.zorlan
# The default entrance puts the camera 200 in front of (0, 0), where the yellow block is
# centred; the door entrance lies up and right of it.
cat > "$game" <<'XML'
<zorlan version="1">
<zone id="yard" name="Yard" xlim="-300,300" ylim="-100,300">
<levels><level z="0" color="3060C0"/></levels>
<entrance x="-10" y="-10" z="0"/>
<entrance_door x="100" y="100" z="0"/>
<block oname="box" color="FFFF00" x="-40" y="-40" w="80" h="80" z="0" class="c"/>
</zone>
</zorlan>
XML
printf '; ZorlED 1.3\nLastFile = %s\nLastZone = yard\n' "$game" > "$XDG_CONFIG_HOME/ZorlED/zorled.ini"

"$ZORLED" --notemp &
pid=$!
title="ZorlED - panel.zorlan (Yard)"
win=$(x_wait_window "$title" "$pid") || fail "no window for the reopened zone"

# Where the canvas begins under the menu bar (its first row of the level's colour) and
# where the block's middle is (the canvas's middle).
painted() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  local x=$(( (WIDTH - 265) / 2 )) args=() y
  for y in $(seq 0 $((HEIGHT - 1))); do args+=("$x" "$y"); done
  mapfile -t column < <("$PIXELS" "$win" "$work/shot.png" "${args[@]}")
  top=-1; yellowTop=-1; yellowBottom=-1
  for y in "${!column[@]}"; do
    [ "${column[$y]}" = 3060C0 ] && [ "$top" -lt 0 ] && top=$y
    [ "${column[$y]}" = FFFF00 ] && { [ "$yellowTop" -lt 0 ] && yellowTop=$y; yellowBottom=$y; }
  done
  [ "$top" -ge 0 ] && [ "$yellowTop" -ge 0 ] || return 1
  cy=$(( (yellowTop + yellowBottom) / 2 ))
  # Along the block's row: the block's middle, and the canvas's right edge (its last
  # pixel of the level's colour), where the side column begins.
  args=()
  for x in $(seq 0 $((WIDTH - 1))); do args+=("$x" "$cy"); done
  mapfile -t row < <("$PIXELS" "$win" "$work/row.png" "${args[@]}")
  local left=-1 right=-1
  canvasRight=-1
  for x in "${!row[@]}"; do
    [ "${row[$x]}" = FFFF00 ] && { [ "$left" -lt 0 ] && left=$x; right=$x; }
    [ "${row[$x]}" = 3060C0 ] && canvasRight=$x
  done
  cx=$(( (left + right) / 2 ))
  [ "$canvasRight" -gt "$right" ]
}
x_until "$X_TEST_WAIT" painted || fail "the zone is not drawn"
x_focus "$win" || fail "the editor's window does not take the focus"
x_wait_idle "$pid"
# The panels' controls stand where the layout puts them at the desktop's font, from
# the side column's left edge and the canvas's top.
panelX=$canvasRight
panelY=$top

# A Shift pan ended by Esc while the button is still down gives the pointer back: the
# panel's button below takes the next click.
xdotool mousemove --window "$win" 60 $((cy + 100))
xdotool keydown shift mousedown 1
x_wait_idle "$pid"
xdotool keyup shift mousemove --window "$win" 80 $((cy + 110))
x_wait_idle "$pid"
xdotool mousemove --window "$win" 60 $((cy + 100))  # the camera back where it was
x_wait_idle "$pid"
xdotool key Escape
x_wait_idle "$pid"
xdotool mousemove --window "$win" $((panelX + 115)) $((panelY + 128)) mouseup 1
x_wait_idle "$pid"

# "+ Insert" of the level panel (nothing selected): Level, a rule, Block, Area, Entrance.
xdotool mousemove --window "$win" $((panelX + 115)) $((panelY + 128)) click 1
x_wait_idle "$pid"
xdotool key Down Down Down Return  # Level, Block, Area
x_wait_idle "$pid"
xdotool mousemove --window "$win" 60 $((cy + 150)) click 1  # placed
x_wait_idle "$pid"
xdotool key Escape ctrl+s
x_wait_file "$game" '<area ' || fail "no insert menu, or its Area placed no area: $(cat "$game")"

# The block's Class box, ticked by its class; emptying the Class field clears it, typing
# a class ticks it again.
classBox() {
  local args=() x y
  for y in $(seq $((panelY + 404)) $((panelY + 424))); do
    for x in $(seq $((panelX + 150)) $((panelX + 170))); do args+=("$x" "$y"); done
  done
  "$PIXELS" "$win" "$work/box.png" "${args[@]}" | md5sum
}
xdotool mousemove --window "$win" "$cx" "$cy" click 1
x_wait_idle "$pid"
ticked=$(classBox)
xdotool mousemove --window "$win" $((panelX + 173)) $((panelY + 209)) click 1
x_wait_idle "$pid"
xdotool key End BackSpace
x_wait_idle "$pid"
cleared=$(classBox)
xdotool type c
x_wait_idle "$pid"
again=$(classBox)
[ "$cleared" != "$ticked" ] || fail "emptying the Class field left the Class box as it was"
[ "$again" = "$ticked" ] || fail "typing a class did not tick the Class box"
xdotool key Escape

# The door entrance (20 units at 200 in front: about 17 pixels, its middle 92 pixels up
# and right of the block's): a refused name warns and the field shows the name kept.
xdotool mousemove --window "$win" $((cx + 92)) $((cy - 92)) click 1
x_wait_idle "$pid"
xdotool key ctrl+t  # the Name field, its text selected
x_wait_idle "$pid"
xdotool type g
x_wait_idle "$pid"
xdotool type :
box=$(x_wait_window "ZorlED" "$pid") || fail "no warning for a refused entrance name"
xdotool key Return
x_wait_window_gone "ZorlED" "$box" || fail "the warning stays"
x_focus "$win" || fail "the editor's window does not take the focus back"
x_wait_idle "$pid"
xdotool key ctrl+t End
xdotool type h
x_wait_idle "$pid"
[ -z "$(x_visible_windows "ZorlED")" ] || fail "the field kept the refused name: a second warning"
xdotool key Escape

xdotool key ctrl+s
x_wait_file "$game" 'entrance_gh' || fail "the entrance is not named gh: $(grep entrance "$game")"
grep -q '<block oname="box" color="FFFF00" x="-40" y="-40" w="80" h="80" z="0" class="c"/>' "$game" ||
  fail "the block: $(grep '<block' "$game")"
[ "$(grep -c '<level ' "$game")" = 1 ] || fail "a level was inserted: $(grep '<level' "$game")"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "PASS"
