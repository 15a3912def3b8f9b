#!/usr/bin/env bash
# The Game File Cleanup window in the real editor under X (Xvfb): Ctrl+U opens it over the
# reopened game with the open game chosen, Enter runs the checked passes (useless and
# redundant attributes) and marks the game modified, Esc closes it, and Ctrl+S saves the
# cleaned game.
# Usage: cleanup_program_test.sh ZORLED
set -u
ZORLED=$(realpath "$1")

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }

[ -n "${DISPLAY:-}" ] || { echo "no display: run under xvfb-run"; exit 77; }
command -v xdotool >/dev/null || { echo "xdotool missing"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
export ASAN_OPTIONS=detect_leaks=0
mkdir -p "$XDG_CONFIG_HOME/ZorlED"
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
title='^ZorlED - clutter.zorlan \(first\)'
win=""
for _ in $(seq 1 150); do
  win=$(xdotool search --onlyvisible --name "$title\$" 2>/dev/null | head -1)
  [ -n "$win" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the editor ended"
  sleep 0.1
done
[ -n "$win" ] || fail "no window for the reopened zone"
sleep 0.5
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
xdotool key ctrl+u
dialog=""
for _ in $(seq 1 100); do
  dialog=$(xdotool search --onlyvisible --name '^Game File Cleanup$' 2>/dev/null | head -1)
  [ -n "$dialog" ] && break
  sleep 0.1
done
[ -n "$dialog" ] || fail "no clean-up window"
sleep 0.3
xdotool key Return
for _ in $(seq 1 50); do
  xdotool search --name "$title\*\$" >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --name "$title\*\$" >/dev/null 2>&1 || fail "the game is not marked modified"
xdotool key Escape
for _ in $(seq 1 50); do
  xdotool search --onlyvisible --name '^Game File Cleanup$' >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name '^Game File Cleanup$' >/dev/null 2>&1 && fail "the clean-up window stays"
sleep 0.3
xdotool windowactivate --sync "$win" 2>/dev/null || true
xdotool key ctrl+s
for _ in $(seq 1 100); do
  grep -q 'xlim="5"' "$game" && break
  sleep 0.1
done
grep -q '<block color="FF0000" xlim="5" x="0" y="0" w="20" h="20"/>' "$game" ||
  fail "the saved block: $(grep '<block' "$game")"
grep -q '<zone id="first" xlim="-300,-300">' "$game" || fail "the zone's limits changed: $(grep '<zone' "$game")"
grep -q '<!-- kept' "$game" || fail "the comment went"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "PASS"
