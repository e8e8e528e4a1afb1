#!/usr/bin/env bash
# Installs what the tests need, builds everything with warnings as errors,
# builds the Debian package and runs every test: unit, simulated-desktop,
# end-to-end on a real X server, and the check of the package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake -S . -B build -DMOUSE_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
cmake --build build --target package
cd build
ctest --output-on-failure -j"$(nproc)"
