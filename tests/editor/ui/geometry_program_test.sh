#!/usr/bin/env bash
# The main window's saved place and size survive starts and quits unchanged: what
# the editor records at quit is what it restores at the next start.
# Usage: geometry_program_test.sh ZORLED CLOSE_WINDOW
set -u
ZORLED=$(realpath "$1")
CLOSE_WINDOW=$(realpath "$2")

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }

. "$(dirname "$0")/x_test_lib.sh"
x_begin_test
export GSETTINGS_BACKEND=memory
ini=$XDG_CONFIG_HOME/ZorlED/zorled.ini

geometry() { grep -E '^Win(X|Y|W|H|Max) ' "$ini" | tr '\n' ' '; }

# The first start has no preferences (the window is centred); each later one
# restores what the one before wrote.
previous=
for round in 1 2 3 4; do
  "$ZORLED" --notemp &
  pid=$!
  win=$(x_wait_window "ZorlED" "$pid") || fail "no main window in round $round"
  x_wait_idle "$pid"
  "$CLOSE_WINDOW" "$win"
  x_wait_ended "$pid"; rc=$?
  [ "$rc" = 0 ] || fail "exit code $rc in round $round"
  now=$(geometry)
  echo "round $round: $now"
  grep -q '^WinH = 660$' "$ini" || [ "$round" -gt 1 ] || fail "the default height is not kept: $now"
  if [ -n "$previous" ] && [ "$now" != "$previous" ]; then
    fail "the saved geometry changed from '$previous' to '$now'"
  fi
  previous=$now
done
echo "PASS"
