#!/usr/bin/env bash
# Copy in one running editor and paste in a second one through the desktop's
# clipboard (under Xvfb): the first editor selects its block and copies it, the
# second pastes, places the block with a click and saves. The X clipboard is
# served by its owner, so the first editor stays alive until the paste is saved.
# Usage: clipboard_program_test.sh ZORLED
set -u
ZORLED=$(realpath "$1")

pids=()
fail() { echo "FAIL: $*"; for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done; exit 1; }

[ -n "${DISPLAY:-}" ] || { echo "no display: run under xvfb-run"; exit 77; }
command -v xdotool >/dev/null || { echo "xdotool missing"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=0
export GSETTINGS_BACKEND=memory

# The first game: one yellow block named box and nothing else, so Ctrl+A selects just it.
cat > "$work/from.zorlan" <<'XML'
<zorlan version="1">
<zone id="yard" name="Yard" xlim="-300,300" ylim="-100,300">
<levels><level z="0" color="3060C0"/></levels>
<block oname="box" color="FFFF00" x="-40" y="-40" w="80" h="80" z="0"><standon><sound name="ding"/></standon></block>
</zone>
</zorlan>
XML
# The second game: a block of its own named box already, and an entrance.
cat > "$work/to.zorlan" <<'XML'
<zorlan version="1">
<zone id="field" name="Field" xlim="-300,300" ylim="-100,300">
<levels><level z="0" color="30C060"/></levels>
<entrance x="-10" y="-10" z="0"/>
<block oname="box" color="0000FF" x="100" y="100" w="20" h="20" z="0"/>
</zone>
</zorlan>
XML

# Each editor has its own preference folder, which reopens its game and zone.
start() {  # name game zone
  local config=$work/config-$1
  mkdir -p "$config/ZorlED"
  printf '; ZorlED 1.3\nLastFile = %s\nLastZone = %s\n' "$2" "$3" > "$config/ZorlED/zorled.ini"
  XDG_CONFIG_HOME=$config "$ZORLED" --notemp &
  pids+=($!)
}
window() {  # title pattern -> window id
  local id
  for _ in $(seq 1 150); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# A click on the canvas's left part (away from the objects) gives it the keyboard.
focus_canvas() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --window "$1" 20 $((HEIGHT / 2)) click 1
  sleep 0.5
}

start from "$work/from.zorlan" yard
from=$(window '^ZorlED - from.zorlan \(Yard\)$') || fail "no window for the first editor"
sleep 1
focus_canvas "$from"
xdotool key ctrl+a
sleep 0.3
xdotool key ctrl+c
sleep 0.5

start to "$work/to.zorlan" field
to=$(window '^ZorlED - to.zorlan \(Field\)$') || fail "no window for the second editor"
sleep 1
kill -0 "${pids[0]}" 2>/dev/null || fail "the first editor ended"
focus_canvas "$to"
xdotool key ctrl+v
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$to")"
xdotool mousemove --window "$to" 150 $((HEIGHT / 2)) sleep 0.3 mousemove --window "$to" 160 $((HEIGHT / 2))
sleep 0.3
xdotool click 1
sleep 0.3
xdotool key ctrl+s
for _ in $(seq 1 100); do
  grep -q 'FFFF00' "$work/to.zorlan" && break
  sleep 0.1
done
saved=$(tr -d '\n' < "$work/to.zorlan")
echo "$saved" | grep -q '<block oname="box" color="0000FF" x="100" y="100" w="20" h="20" z="0"/>' ||
  fail "the second game's own block changed: $saved"
# The pasted block keeps its contents and size and takes a free name.
echo "$saved" | grep -Eq '<block oname="box2" color="FFFF00" x="-?[0-9.]+" y="-?[0-9.]+" w="80" h="80" z="0"><standon><sound name="ding"/></standon></block>' ||
  fail "no pasted block in the saved file: $saved"
grep -q 'FFFF00' "$work/from.zorlan" || fail "the first game lost its block"

for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
echo "PASS"
