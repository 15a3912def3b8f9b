#!/usr/bin/env bash
# Installs the build under a fresh prefix and checks what a desktop sees of it:
# the command, the game's data beside the program, the launcher entry (checked
# by desktop-file-validate), whose Exec line starts the installed game with the
# opened files, and the MIME types of game files and run files (well-formed for
# xmllint, accepted by update-mime-database, with the extensions and the magic
# the game itself goes by); and that the installed game, though its prefix is
# writable, keeps its files in the per-user data folder.
#   install_test.sh <build folder> <source folder>
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null 2>&1 || { echo "FAIL: cmake --install"; exit 1; }

# The command and the data beside the program.
[ -L "$prefix/bin/zorlan" ] || fail "bin/zorlan is not a link"
[ -x "$prefix/bin/zorlan" ] || fail "bin/zorlan does not lead to a program"
program=$(readlink -f "$prefix/bin/zorlan")
[ "$program" = "$(readlink -f "$prefix/lib/zorlan/zorlan")" ] || fail "bin/zorlan leads to $program"
for f in sounds/jump.wav sounds/check.wav music/pause.ogg music/first.ogg music/second.ogg; do
  [ -s "$prefix/lib/zorlan/zordata/$f" ] || fail "zordata/$f is not installed beside the program"
done
[ -s "$prefix/share/icons/hicolor/64x64/apps/zorlan.png" ] || fail "no icon"
# The editor, when it was built: beside the game, its help pages in the data folder.
if [ -x "$build/zorled" ]; then
  [ -x "$prefix/lib/zorlan/zorled" ] || fail "the editor is not installed beside the game"
  for page in index game zone scripts tools shortcuts; do
    cmp -s "$source/editor/help/$page.htm" "$prefix/lib/zorlan/zordata/zorled/$page.htm" ||
      fail "the help page $page.htm is not installed"
  done
fi

# The launcher entry.
entry="$prefix/share/applications/zorlan.desktop"
[ -f "$entry" ] || { echo "FAIL: no desktop entry"; exit 1; }
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate warns: $out"
else
  echo "desktop-file-validate is not installed: entry not validated"
fi
exec_line=$(grep '^Exec=' "$entry")
[ "$exec_line" = "Exec=$prefix/bin/zorlan %F" ] || fail "Exec line is '$exec_line'"
grep -qx 'Type=Application' "$entry" || fail "entry is not an application"
grep -qx 'Icon=zorlan' "$entry" || fail "entry names another icon"

# The MIME types: the entry takes every type the package defines, and only those.
mime="$prefix/share/mime/packages/zorlan.xml"
[ -f "$mime" ] || { echo "FAIL: no MIME package"; exit 1; }
if command -v xmllint >/dev/null; then
  xmllint --noout "$mime" || fail "MIME package is not well-formed"
else
  echo "xmllint is not installed: MIME package not checked"
fi
types=$(grep -o 'mime-type type="[^"]*"' "$mime" | sed 's/.*type="\(.*\)"/\1/' | sort | tr '\n' ';')
listed=$(grep '^MimeType=' "$entry" | sed 's/^MimeType=//' | tr ';' '\n' | grep -v '^$' | sort | tr '\n' ';')
[ "$types" = "$listed" ] || fail "entry lists '$listed', the package defines '$types'"
grep -q 'pattern="\*.zorlan"' "$mime" || fail "no glob for game files"
grep -q 'pattern="\*.zorrun"' "$mime" || fail "no glob for run files"
# The run file's magic is the first line every run file starts with.
head -c 10 "$source/tests/data/runs/whole_game.zorrun" | cmp -s - <(printf 'ZORLANRUN\n') ||
  fail "run files do not start with the magic the MIME type looks for"
if command -v update-mime-database >/dev/null; then
  db=$(mktemp -d)
  mkdir -p "$db/packages"
  cp "$mime" "$db/packages/"
  out=$(update-mime-database "$db" 2>&1) || fail "update-mime-database: $out"
  grep -q 'application/x-zorlan-game:\*\.zorlan' "$db/globs2" || fail "game files not in the MIME database"
  grep -q 'application/x-zorlan-run:\*\.zorrun' "$db/globs2" || fail "run files not in the MIME database"
  rm -rf "$db"
fi

# An installed game keeps what it writes in the per-user folder, even under a
# prefix it can write to (like ~/.local): it starts, plays a moment and quits on
# SIGTERM through its normal quit path, which writes the save and preference files.
user=$(mktemp -d)
trap 'rm -rf "$prefix" "$user"' EXIT
game_folder="$prefix/lib/zorlan"
[ -w "$game_folder" ] || fail "the test's prefix is not writable"
(cd "$user" && HOME="$user/home" XDG_DATA_HOME="$user/data" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  exec "$prefix/bin/zorlan" -s >"$user/out.txt" 2>&1) &
pid=$!
# Wait until the program catches SIGTERM (its quit path is in place), then a little more.
for _ in $(seq 600); do
  mask=$(sed -n 's/^SigCgt:\s*//p' "/proc/$pid/status" 2>/dev/null || true)
  [ "$(readlink -f "/proc/$pid/exe" 2>/dev/null || true)" = "$program" ] && [ -n "$mask" ] && [ $(( (16#$mask >> 14) & 1 )) -eq 1 ] && break
  sleep 0.1
done
sleep 1
kill -TERM "$pid" 2>/dev/null || true
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the installed game ended with status $status: $(cat "$user/out.txt")"
for f in saves/save.ini saves/pref-mac.ini; do
  [ -s "$user/data/Zorlan/zordata/$f" ] || fail "the installed game did not write $f in the per-user folder"
done
for d in saves runs screens test.tmp; do
  [ ! -e "$game_folder/zordata/$d" ] || fail "the installed game made zordata/$d beside itself"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failed, 0 passed"
  exit 1
fi
echo "desktop install checks passed"
