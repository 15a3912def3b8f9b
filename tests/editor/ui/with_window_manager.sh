#!/usr/bin/env bash
# Runs a test program on the X display ($DISPLAY) with a window manager (openbox,
# when installed): windows then get frames and are placed and focused as on a
# desktop. ZORLED_TEST_WM=1 tells the program that one runs.
# Usage: with_window_manager.sh PROGRAM [ARGS]...
set -u
[ -n "${DISPLAY:-}" ] || { echo "no display: run under xvfb-run"; exit 77; }
wm=
if command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  # The manager is running once it has set its check window on the root window.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  export ZORLED_TEST_WM=1
fi
"$@"
rc=$?
[ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
exit $rc
