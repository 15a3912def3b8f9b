#!/usr/bin/env bash
# A game made from nothing in the real editor under X (Xvfb): New Game with a
# title, New Zone "first" with a name, Save As; the file holds the game and its
# playable zone, and the game program loads it and plays that zone.
# Usage: new_game_program_test.sh ZORLED ZORLAN
set -u
ZORLED=$(realpath "$1")
ZORLAN=$(realpath "$2")

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }

. "$(dirname "$0")/x_test_lib.sh"
x_begin_test
game=$work/tiny.zorlan
# The save requester starts in the work folder.
printf '; ZorlED 1.3\nLastPath = %s/\n' "$work" > "$XDG_CONFIG_HOME/ZorlED/zorled.ini"

# Waits for a window whose whole title is $1 and prints its id.
window() {
  local found=""
  for _ in $(seq 1 150); do
    found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$found" ] && { echo "$found"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

"$ZORLED" --notemp &
pid=$!
main=$(window 'ZorlED') || fail "no main window"
sleep 0.5

xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
xdotool key ctrl+shift+n
dialog=$(window 'New Game') || fail "no New Game dialog"
xdotool type --delay 20 'Tiny Test'
xdotool key Tab
xdotool type --delay 20 'Somebody'
xdotool key Return
window 'ZorlED - Tiny Test' > /dev/null || fail "the new game is not in the title"

xdotool key ctrl+n
dialog=$(window 'New Zone') || fail "no New Zone dialog"
# Zone ID proposes "first"; the name follows it.
xdotool key Tab
xdotool type --delay 20 'Start'
xdotool key Return
window 'ZorlED - Tiny Test \(Start\)\*' > /dev/null || fail "the new zone is not open"

xdotool key ctrl+shift+s
dialog=$(window 'Save Game') || fail "no save requester"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 30 "tiny"
sleep 0.3
xdotool key Return
for _ in $(seq 1 100); do
  [ -f "$game" ] && break
  sleep 0.1
done
[ -f "$game" ] || fail "nothing saved"
expected='<zorlan gtitle="Tiny Test" gauthor="Somebody" version="1"><zone id="first" name="Start" track=""><levels><level z="0" color="FFFFFF" unlocked="1"/></levels><entrance x="0" y="50" z="0"/><block x="-20" y="-30" z="0" w="60" h="30" color="C0C0C0" flg="solid"/></zone></zorlan>'
[ "$(cat "$game")" = "$expected" ] || fail "the saved game: $(cat "$game")"
PANEL_Y=${PANEL_Y:-97}

# The level panel shows the new zone's level: its colour field writes the level's colour.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool mousemove --window "$main" $((WIDTH - 175)) "$PANEL_Y" click --repeat 3 1
sleep 0.3
xdotool type --delay 30 '3060c0'
sleep 0.3
xdotool key ctrl+s
for _ in $(seq 1 100); do
  grep -q '3060C0' "$game" && break
  sleep 0.1
done
grep -q '<level z="0" color="3060C0" unlocked="1"/>' "$game" || fail "the level panel's colour: $(cat "$game")"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=""

# The game, from a folder of its own (its saves go beside it), plays the zone.
home=$work/home
mkdir -p "$home"
cp "$ZORLAN" "$home/zorlan"
cd "$work" || fail "no work folder"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$home/zorlan" -g "$game" -z first 2> "$work/game.err" &
pid=$!
caught=""
for _ in $(seq 1 600); do
  kill -0 "$pid" 2>/dev/null || fail "the game ended: $(cat "$work/game.err")"
  mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
  if [ -n "$mask" ] && [ "$(readlink "/proc/$pid/exe")" = "$home/zorlan" ] && (( (0x$mask >> 14) & 1 )); then
    caught=1
    break
  fi
  sleep 0.1
done
[ -n "$caught" ] || fail "the game never got going"
sleep 1
kill -TERM "$pid"
wait "$pid"
status=$?
pid=""
[ "$status" -eq 0 ] || fail "the game ended with $status: $(cat "$work/game.err")"
save=$home/zordata/saves/save-tiny.zorlan.ini
grep -q '^LevelID = first$' "$save" || fail "the game did not play the zone: $(cat "$save" 2>/dev/null) $(cat "$work/game.err")"
echo "PASS"
