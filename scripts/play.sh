#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it: on its built-in game,
# or on the game file or run file given, with any of the game's options
#   ./scripts/play.sh [my.zorlan | my.zorrun] [-z zone:entrance] ...
# File names are taken from the folder the script was started in.
set -euo pipefail
start=$PWD
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOR_BUILD_TESTS=OFF -DZOR_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target zorlan
cd "$start"
exec "$root/build/release/zorlan" "$@"
