#!/usr/bin/env bash
# Installs what building, running and testing the panel needs, from Debian's
# packages. Usage: scripts/install-deps.sh [run|test|bench]
set -euo pipefail
mode=${1:-test}

run_pkgs=(build-essential cmake pkg-config
  libx11-dev libxext-dev libxtst-dev libcairo2-dev libpango1.0-dev libfontconfig-dev
  fonts-liberation fonts-tlwg-loma-otf
  librsvg2-bin dpkg-dev file)
test_pkgs=(libgtest-dev xvfb openbox xdotool wmctrl x11-utils desktop-file-utils
  clang libclang-rt-14-dev llvm)  # the sanitizer build, libFuzzer, readable reports

# bench/run_bench.sh: the probe's X extensions and its desktop.
bench_pkgs=(libxi-dev libxdamage-dev xvfb openbox wmctrl)

pkgs=("${run_pkgs[@]}")
[ "$mode" = test ] && pkgs+=("${test_pkgs[@]}")
[ "$mode" = bench ] && pkgs+=("${bench_pkgs[@]}")

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
$sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
