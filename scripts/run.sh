#!/usr/bin/env bash
# Installs what the panel needs, builds it as build/mouse and starts it on the
# current X display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMOUSE_BUILD_TESTS=OFF >/dev/null
cmake --build build --target mouse -j"$(nproc)"
exec build/mouse
