#!/usr/bin/env bash
# The help pages in the real editor under X (Xvfb), run where the build put it: F1 in
# the script window and F1 in the main window each hand the desktop's handler the page
# that the build shipped beside the program. The handler is a stand-in that notes what
# it was asked to open.
# Usage: help_program_test.sh ZORLED HELP_SOURCE_FOLDER
set -u
ZORLED=$(realpath "$1")
SOURCE=$(realpath "$2")

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }

. "$(dirname "$0")/x_test_lib.sh"
x_begin_test

# The pages the build shipped, where the editor looks for them.
shipped=$(dirname "$ZORLED")/zordata/zorled
for page in index game zone scripts tools shortcuts; do
  cmp -s "$SOURCE/$page.htm" "$shipped/$page.htm" || fail "$page.htm is not shipped in $shipped"
done

mkdir -p "$work/bin" "$work/share"
cat > "$work/bin/xdg-open" <<EOF
#!/bin/sh
echo "\$*" >> "$work/opened"
EOF
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH
# No desktop database: the toolkit's own handler finds no program and leaves it to xdg-open.
export XDG_DATA_DIRS=$work/share XDG_DATA_HOME=$work/share

game=$work/help.zorlan
cat > "$game" <<'XML'
<zorlan version="1">
<zone id="first">
<levels><level z="0"/></levels>
<entrance x="0" y="0"/>
<block x="-50" y="-20" w="100" h="20" flg="solid"/>
</zone>
</zorlan>
XML
printf '; ZorlED 1.3\nLastFile = %s\nLastZone = first\n' "$game" > "$XDG_CONFIG_HOME/ZorlED/zorled.ini"

"$ZORLED" --notemp &
pid=$!
title='ZorlED - help.zorlan (first)'
win=$(x_wait_window "$title" "$pid") || fail "no window for the reopened zone"
x_focus "$win" || fail "the editor's window does not take the focus"
x_wait_idle "$pid"

# opened_is N PAGE: the handler's Nth request is the shipped PAGE, whole.
requests_at_least() { [ "$(wc -l < "$work/opened")" -ge "$1" ]; }
opened_is() {
  x_wait_file "$work/opened" || fail "nothing opened for $2"
  x_until "$X_TEST_WAIT" requests_at_least "$1" || fail "no request for $2: $(cat "$work/opened")"
  local got
  got=$(sed -n "${1}p" "$work/opened")
  [ "${got#file://}" = "$shipped/$2" ] || fail "asked for $2, opened: $got"
}

# S on the canvas with nothing selected: the zone's start script; F1 there.
xdotool key s
script=$(x_wait_window "Zone Start Script" "$pid") || fail "no script window"
x_focus "$script" || fail "the script window does not take the focus"
x_wait_idle "$pid"
xdotool key F1
opened_is 1 scripts.htm
xdotool key Escape
x_wait_window_gone "Zone Start Script" "$script" || fail "the script window stays"

# F1 in the main window: the index.
x_focus "$win" || fail "the editor's window does not take the focus back"
x_wait_idle "$pid"
xdotool key F1
opened_is 2 index.htm

x_wait_idle "$pid"
[ "$(wc -l < "$work/opened")" = 2 ] || fail "more pages opened than asked for: $(cat "$work/opened")"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "PASS"
