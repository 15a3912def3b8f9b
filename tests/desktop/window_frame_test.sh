#!/usr/bin/env bash
# The game's window with the window manager's frame stays inside the desktop: on
# a display of its own (Xvfb at 1920x1080, with openbox drawing frames) the game
# is started with a 1920x1080 screen in its preferences, and the window plus its
# frame (_NET_FRAME_EXTENTS) must lie within the screen.
#   window_frame_test.sh <build folder>
set -euo pipefail
build=$1
for tool in Xvfb openbox xdotool xprop xwininfo; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.txt" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox >"$work/openbox.txt" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

# The program in a folder of its own, with its preferences beside it.
cp "$build/zorlan" "$work/zorlan"
mkdir -p "$work/zordata/saves"
printf '[Video]\nScreenWidth = 1920\nScreenHeight = 1080\n' >"$work/zordata/saves/pref-mac.ini"
SDL_AUDIODRIVER=dummy "$work/zorlan" -s -z first >"$work/game.txt" 2>&1 &
game=$!
pids+=($game)

inside=""
for _ in $(seq 150); do
  w=$(xdotool search --onlyvisible --pid "$game" 2>/dev/null | head -n1 || true)
  if [ -n "$w" ]; then
    info=$(xwininfo -id "$w" 2>/dev/null || true)
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    width=$(sed -n 's/^ *Width: *//p' <<<"$info")
    height=$(sed -n 's/^ *Height: *//p' <<<"$info")
    frame=$(xprop -id "$w" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
    if [ -n "$frame" ] && [ -n "$x" ]; then
      IFS=, read -r left right top bottom <<<"$frame"
      where="window ${width}x${height} at $x,$y, frame $left,$right,$top,$bottom"
      if [ $((x - left)) -ge 0 ] && [ $((y - top)) -ge 0 ] && [ $((x + width + right)) -le 1920 ] &&
        [ $((y + height + bottom)) -le 1080 ]; then
        inside=yes
        break
      fi
    fi
  fi
  sleep 0.1
done
kill -TERM "$game" 2>/dev/null || true
if [ -z "$inside" ]; then
  echo "FAIL: the window with its frame reaches past the 1920x1080 screen: ${where:-no framed window seen}"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "the framed window lies inside the screen: $where"
