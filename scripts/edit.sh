#!/usr/bin/env bash
# Installs what is missing, builds the editor (and the game it test-runs) and
# starts ZorlED, on FILE when one is given. Runs from the caller's folder, so
# that a relative FILE names what the caller means.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOR_BUILD_TESTS=OFF -DZOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build/release" --target zorlan zorled
exec "$root/build/release/zorled" "$@"
