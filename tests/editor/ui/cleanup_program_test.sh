#!/usr/bin/env bash
# The Game File Cleanup window in the real editor under X (Xvfb): Ctrl+U opens it over the
# reopened game with the open game chosen, Enter runs the checked passes (useless and
# redundant attributes) and marks the game modified, Esc closes it, and Ctrl+S saves the
# cleaned game.
# Usage: cleanup_program_test.sh ZORLED
set -u
ZORLED=$(realpath "$1")

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }

. "$(dirname "$0")/x_test_lib.sh"
x_begin_test
game=$work/clutter.zorlan
cat > "$game" <<'XML'
<zorlan version="1">
<!-- kept: comments are not removed unless asked -->
<zone id="first" xlim="-300,-300">
<levels><level z="0"/></levels>
<entrance x="0" y="0" z="0"/>
<block oname="" color="FF0000,FF0000" xlim="5,5" x="0" y="0" w="20" h="20"/>
</zone>
</zorlan>
XML
printf '; ZorlED 1.3\nLastFile = %s\nLastZone = first\n' "$game" > "$XDG_CONFIG_HOME/ZorlED/zorled.ini"

"$ZORLED" --notemp &
pid=$!
title='ZorlED - clutter.zorlan (first)'
win=$(x_wait_window "$title" "$pid") || fail "no window for the reopened zone"
x_focus "$win" || fail "the editor's window does not take the focus"
xdotool key ctrl+u
dialog=$(x_wait_window "Game File Cleanup" "$pid") || fail "no clean-up window"
# The focus stays with the main window: the toolkit hands its keys to the modal window.
xdotool key Return
modified() { [ -n "$(x_visible_windows "$title*")" ]; }
x_until "$X_TEST_WAIT" modified || fail "the game is not marked modified"
xdotool key Escape
x_wait_window_gone "Game File Cleanup" "$dialog" || fail "the clean-up window stays"
x_focus "$win" || fail "the editor's window does not take the focus back"
xdotool key ctrl+s
x_wait_file "$game" 'xlim="5"'
grep -q '<block color="FF0000" xlim="5" x="0" y="0" w="20" h="20"/>' "$game" ||
  fail "the saved block: $(grep '<block' "$game")"
grep -q '<zone id="first" xlim="-300,-300">' "$game" || fail "the zone's limits changed: $(grep '<zone' "$game")"
grep -q '<!-- kept' "$game" || fail "the comment went"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "PASS"
