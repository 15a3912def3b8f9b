# Shared by the tests that drive real programs under X (Xvfb): waits for the
# condition a step needs instead of sleeping a fixed time. A busy machine or a
# sanitizer build can make any step slow, so every wait has a generous deadline
# (X_TEST_WAIT seconds, 90 by default) and ends as soon as the condition holds.
# Source it: . "$(dirname "$0")/x_test_lib.sh"

X_TEST_WAIT=${X_TEST_WAIT:-90}

# An X server without -noreset (xvfb-run's default) resets whenever its last client
# leaves, and refuses the programs that connect meanwhile ("Unable to initialize
# GTK+"). Every xdotool call is a client of its own: a test holds the display with
# one client that stays from start to end. Call x_release_display on exit.
x_hold_display() {
  local end=$((SECONDS + X_TEST_WAIT)) out
  out=$(mktemp)
  while :; do
    # It prints the root window's properties once it is connected, then waits.
    xprop -root -spy > "$out" 2>/dev/null &
    X_HOLDER=$!
    while kill -0 "$X_HOLDER" 2>/dev/null && [ ! -s "$out" ]; do sleep 0.05; done
    if kill -0 "$X_HOLDER" 2>/dev/null; then rm -f "$out"; return 0; fi
    wait "$X_HOLDER" 2>/dev/null
    X_HOLDER=
    [ "$SECONDS" -ge "$end" ] && { rm -f "$out"; return 1; }
    sleep 0.1
  done
}
x_release_display() {
  [ -n "${X_HOLDER:-}" ] && kill "$X_HOLDER" 2>/dev/null
  X_HOLDER=
}

# The start of every editor program test: skips (77) without a display or xdotool,
# makes the scratch folder $work (removed at exit), holds the display and keeps the
# editor's preferences in $work/config.
x_begin_test() {
  [ -n "${DISPLAY:-}" ] || { echo "no display: run under xvfb-run"; exit 77; }
  command -v xdotool >/dev/null || { echo "xdotool missing"; exit 77; }
  work=$(mktemp -d)
  trap 'x_release_display; rm -rf "$work"' EXIT
  x_hold_display || { echo "the X display takes no clients"; exit 1; }
  export XDG_CONFIG_HOME=$work/config
  export ASAN_OPTIONS=detect_leaks=0
  mkdir -p "$XDG_CONFIG_HOME/ZorlED"
}

# x_until SECONDS COMMAND...: runs COMMAND until it succeeds; fails after SECONDS.
x_until() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  while :; do
    "$@" && return 0
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}

# x_visible_windows TITLE: the ids of the shown (mapped) windows whose whole title
# is TITLE. xdotool's search takes a pattern and ignores letter case: the title is
# compared exactly here.
x_visible_windows() {
  local id pattern
  pattern=$(printf '%s' "$1" | sed 's/[][\\.^$*+?(){}|]/\\&/g')
  for id in $(xdotool search --onlyvisible --name "^$pattern\$" 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id"
  done
}

# x_wait_window TITLE [PID]: waits until a window titled TITLE is shown; prints its
# id. Gives up early when the process PID has ended.
x_wait_window() {
  local end=$((SECONDS + X_TEST_WAIT)) id
  while :; do
    id=$(x_visible_windows "$1" | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    [ -n "${2:-}" ] && ! kill -0 "$2" 2>/dev/null && return 1
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}

# x_wait_window_gone TITLE ID: waits until the window ID titled TITLE is no longer shown.
x_wait_window_gone() {
  local end=$((SECONDS + X_TEST_WAIT))
  while x_visible_windows "$1" | grep -qx "$2"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
  return 0
}

# x_focus ID: gives the keyboard focus to window ID and waits until it has it.
x_focus() {
  local end=$((SECONDS + X_TEST_WAIT))
  while :; do
    xdotool windowfocus "$1" 2>/dev/null
    sleep 0.1
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    [ "$SECONDS" -ge "$end" ] && return 1
  done
}

# x_wait_ended PID: waits for the process PID (a child of this shell) to end;
# returns its exit code, 124 when it is still running at the deadline.
x_wait_ended() {
  local end=$((SECONDS + X_TEST_WAIT))
  while kill -0 "$1" 2>/dev/null; do
    [ "$SECONDS" -ge "$end" ] && return 124
    sleep 0.1
  done
  wait "$1"
}

# x_wait_file PATH [GREP-PATTERN]: waits until PATH exists, is not empty and, when
# a pattern is given, has a line matching it (grep's basic expressions).
x_wait_file() {
  local end=$((SECONDS + X_TEST_WAIT))
  while :; do
    if [ -s "$1" ] && { [ $# -lt 2 ] || grep -q -- "$2" "$1" 2>/dev/null; }; then return 0; fi
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}

# x_cpu_ticks PID: the processor time the process has used so far (all its
# threads), and "run" while its main thread is running or waiting for a processor.
x_cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  # The fields after the command name, which may hold spaces: the state is the
  # first, utime and stime are 12 and 13.
  set -- ${stat##*) }
  echo "$((${12} + ${13}))$([ "$1" = R ] && echo ' run')"
}

# x_wait_idle PID: waits until the process has handled what it was sent: it uses no
# processor time for a whole second. Use it before a step that must come after
# every earlier event, where nothing visible tells that they were handled.
x_wait_idle() {
  local end=$((SECONDS + X_TEST_WAIT)) last now still=0
  last=$(x_cpu_ticks "$1") || return 1
  while [ "$still" -lt 10 ]; do
    sleep 0.1
    now=$(x_cpu_ticks "$1") || return 1
    if [ "$now" = "$last" ] && [ "${now% run}" = "$now" ]; then still=$((still + 1)); else still=0; last=$now; fi
    [ "$SECONDS" -ge "$end" ] && return 1
  done
  return 0
}
