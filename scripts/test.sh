#!/usr/bin/env bash
# Installs what the tests need, builds everything with warnings as errors and
# runs every test: unit, simulated-desktop and end-to-end on a real X server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake -S . -B build -DMOUSE_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j"$(nproc)"
