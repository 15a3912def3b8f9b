#!/usr/bin/env bash
# A test run from the real editor under X (Xvfb): F5 on a reopened zone starts the real
# game on a temporary copy of the game at that zone and the entrance nearest the camera;
# the editor hides while the game runs, and once the game has quit, its save file shows
# the zone and entrance, the temporary file is gone and the editor is back.
# Usage: test_run_program_test.sh ZORLED ZORLAN ZORDATA-FOLDER
set -u
ZORLED=$(realpath "$1")
ZORLAN=$(realpath "$2")
ZORDATA=$(realpath "$3")

fail() {
  echo "FAIL: $*"
  [ -n "${game:-}" ] && kill -9 "$game" 2>/dev/null
  [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null
  exit 1
}

. "$(dirname "$0")/x_test_lib.sh"
x_begin_test
export XDG_DATA_HOME=$work/data
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
mkdir -p "$work/bin" "$work/games"
# The game in a folder of its own, so that its save files are this test's.
cp "$ZORLAN" "$work/bin/zorlan"
cp -r "$ZORDATA" "$work/bin/zordata"

game=""
gamefile=$work/games/yard.zorlan
# The zone opens with the camera 200 in front of the default entrance; the gate is nearer.
cat > "$gamefile" <<'XML'
<zorlan version="1">
<zone id="first"><levels><level z="0"/></levels><entrance x="0" y="0" z="0"/></zone>
<zone id="Yard" name="Yard" xlim="-300,300" ylim="-100,300">
<levels><level z="0" color="3060C0"/></levels>
<entrance x="-10" y="-10" z="0"/>
<entrance_gate x="50" y="0" z="-100"/>
<block oname="box" color="FFFF00" x="-40" y="-40" w="80" h="80" z="0"/>
</zone>
<zorled nearest="1" gflags="checked" setflags="2,5"/>
</zorlan>
XML
printf '; ZorlED 1.3\nLastFile = %s\nLastZone = yard\nExecutable = %s\n' "$gamefile" "$work/bin/zorlan" \
  > "$XDG_CONFIG_HOME/ZorlED/zorled.ini"
# A game of the user's that carries the temporary file's name.
echo "mine" > "$work/games/zorled.xml"

"$ZORLED" --notemp &
pid=$!
win=$(x_wait_window "ZorlED - yard.zorlan (Yard)" "$pid") || fail "no window for the reopened zone"
x_focus "$win" || fail "the editor's window does not take the focus"
xdotool key F5

# The game starts as the editor's child, and runs our program once it has been exec'd.
started() {
  kill -0 "$pid" 2>/dev/null || fail "the editor ended"
  game=$(pgrep -P "$pid" | head -1)
  [ -n "$game" ] && [ "$(readlink "/proc/$game/exe")" = "$work/bin/zorlan" ]
}
x_until "$X_TEST_WAIT" started
[ -n "$game" ] || fail "no game started"
[ "$(readlink "/proc/$game/exe")" = "$work/bin/zorlan" ] || fail "started $(readlink "/proc/$game/exe")"
mapfile -d '' -t argv < "/proc/$game/cmdline"
temp=$work/games/zorled-2.xml
expected=("$work/bin/zorlan" -g "$temp" -z "Yard:gate" -f "2,5")
[ "${argv[*]}" = "${expected[*]}" ] || fail "the game's arguments: ${argv[*]}"
grep -q '<entrance_gate' "$temp" || fail "no temporary game file"
[ "$(cat "$work/games/zorled.xml")" = mine ] || fail "the user's zorled.xml changed"
hidden() { ! xdotool search --onlyvisible --name '^ZorlED' >/dev/null 2>&1; }
x_until "$X_TEST_WAIT" hidden || fail "the editor stays shown during the run"

# Let the game play until it handles its quit signal, then end it as a player would.
catches_term() {
  local mask
  mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$game/status" 2>/dev/null)
  [ -n "$mask" ] && (( (16#$mask >> 14) & 1 ))
}
x_until "$X_TEST_WAIT" catches_term
sleep 1
kill -TERM "$game" 2>/dev/null
game_ended() { ! kill -0 "$game" 2>/dev/null; }
x_until "$X_TEST_WAIT" game_ended || fail "the game did not quit"
game=""

save=$work/bin/zordata/saves/save-zorled-2.xml.ini
x_wait_file "$save"
[ -f "$save" ] || fail "no save file: $(ls "$work/bin/zordata/saves" "$XDG_DATA_HOME" 2>&1)"
grep -Eq '^LevelID *= *[Yy]ard$' "$save" || fail "the save file's zone: $(grep LevelID "$save")"
grep -Eq '^Entrance *= *gate$' "$save" || fail "the save file's entrance: $(grep Entrance "$save")"

# The editor is back, and the temporary file gone; the user's file is still there.
win=$(x_wait_window "ZorlED - yard.zorlan (Yard)" "$pid") || fail "the editor did not come back"
temp_gone() { [ ! -e "$temp" ]; }
x_until "$X_TEST_WAIT" temp_gone || fail "the temporary game file stayed"
[ "$(cat "$work/games/zorled.xml")" = mine ] || fail "the user's zorled.xml changed"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "PASS"
