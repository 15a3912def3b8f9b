#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it on its built-in game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOR_BUILD_TESTS=OFF -DZOR_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target zorlan
exec ./build/release/zorlan "$@"
