#!/usr/bin/env bash
# Enter and F1 in the real editor under X (Xvfb). With three blocks selected, Enter in
# the block panel's name field warns and names none of them; Enter in the W field
# writes W into all three as one undo step (Ctrl+Z on the canvas takes it back). F1 in
# the Game Properties window opens that window's help page with the desktop's handler.
# Usage: panel_keys_program_test.sh ZORLED
set -u
ZORLED=$(realpath "$1")

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }

. "$(dirname "$0")/x_test_lib.sh"
x_begin_test

# The help pages are looked for in the folder zorled/ beside the program (which then also
# holds the preferences), so the program runs from a copy; the desktop's handler is a
# stand-in that notes what it was asked to open.
mkdir -p "$work/program/zorled" "$work/bin" "$work/share"
cp "$ZORLED" "$work/program/editor"
for page in index game zone; do echo "<html>$page</html>" > "$work/program/zorled/$page.htm"; done
cat > "$work/bin/xdg-open" <<EOF
#!/bin/sh
echo "\$1" >> "$work/opened"
EOF
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH
# No desktop database: the toolkit's own handler finds no program and leaves it to xdg-open.
export XDG_DATA_DIRS=$work/share XDG_DATA_HOME=$work/share

game=$work/three.zorlan
cat > "$game" <<'XML'
<zorlan version="1">
<zone id="first" xlim="-300,300" ylim="-100,300">
<levels><level z="0"/></levels>
<block oname="a" x="-60" y="0" w="10" h="10" z="0"/>
<block oname="b" x="0" y="0" w="20" h="20" z="0"/>
<block x="60" y="0" w="40" h="40" z="0"/>
</zone>
</zorlan>
XML
printf '; ZorlED 1.3\nLastFile = %s\nLastZone = first\n' "$game" > "$work/program/zorled/zorled.ini"

"$work/program/editor" --notemp &
pid=$!
title='ZorlED - three.zorlan (first)'
win=$(x_wait_window "$title" "$pid") || fail "no window for the reopened zone"
x_focus "$win" || fail "the editor's window does not take the focus"
x_wait_idle "$pid"
xdotool key ctrl+a
xdotool key ctrl+t  # the first field of the block panel: Oname
x_wait_idle "$pid"
xdotool type same
xdotool key Return
box=$(x_wait_window "ZorlED" "$pid") || fail "no warning for one name on several blocks"
xdotool key Return
x_wait_window_gone "ZorlED" "$box" || fail "the warning stays"
x_focus "$win" || fail "the editor's window does not take the focus back"
x_wait_idle "$pid"
[ -z "$(x_visible_windows "$title*")" ] || fail "the refused name marked the game modified"

# Oname, X, Y, W.
xdotool key ctrl+t Tab Tab Tab
x_wait_idle "$pid"
xdotool type 30
xdotool key Return
modified() { [ -n "$(x_visible_windows "$title*")" ]; }
x_until "$X_TEST_WAIT" modified || fail "Enter in W did not mark the game modified"
xdotool key ctrl+s
x_wait_file "$game" 'w="30"' || fail "nothing saved"
x_until "$X_TEST_WAIT" test "$(grep -c 'w="30"' "$game")" = 3 || fail "W is not in all three: $(grep '<block' "$game")"
grep -q same "$game" && fail "a block took the refused name"
grep -q '<block oname="a" x="-60" y="0" w="30" h="10" z="0"/>' "$game" || fail "block a: $(grep '<block' "$game")"

# Esc gives the canvas the keys; Ctrl+Z there undoes the one step of all three.
xdotool key Escape
x_wait_idle "$pid"
xdotool key ctrl+z
x_until "$X_TEST_WAIT" modified || fail "the undo did not mark the game modified"
xdotool key ctrl+s
x_wait_file "$game" 'w="40"' || fail "nothing saved after the undo"
x_until "$X_TEST_WAIT" test "$(grep -c 'w="30"' "$game")" = 0 || fail "the undo left W: $(grep '<block' "$game")"
grep -q '<block oname="b" x="0" y="0" w="20" h="20" z="0"/>' "$game" || fail "block b: $(grep '<block' "$game")"

# F1 in Game Properties: game.htm, not the main window's index.htm.
xdotool key ctrl+g
dialog=$(x_wait_window "Game Properties" "$pid") || fail "no Game Properties window"
xdotool key F1
x_wait_file "$work/opened" || fail "F1 opened nothing"
grep -Eqx "(file://)?$work/program/zorled/game.htm" "$work/opened" || fail "F1 opened: $(cat "$work/opened")"
xdotool key Escape
x_wait_window_gone "Game Properties" "$dialog" || fail "the Game Properties window stays"
[ "$(wc -l < "$work/opened")" = 1 ] || fail "more than the one page opened: $(cat "$work/opened")"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "PASS"
