#!/usr/bin/env bash
# Installs what the tests need, builds everything with warnings as errors,
# builds the Debian package and runs every test: unit, simulated-desktop,
# end-to-end on a real X server, and the check of the package; then builds
# and runs them all again with the sanitizers, and fuzzes the parsers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake -S . -B build -DMOUSE_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
cmake --build build --target package
(cd build && ctest --output-on-failure -j"$(nproc)")

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# built by clang, which also builds the fuzz targets and runs each of them
# briefly (tests labelled "fuzz"). A finding fails the test it shows in; the
# build sets the sanitizers' options for ctest (see MOUSE_SANITIZE).
cmake -S . -B build-asan -DMOUSE_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-asan -j"$(nproc)"
cmake --build build-asan --target package
(cd build-asan && ctest --output-on-failure -j"$(nproc)")
