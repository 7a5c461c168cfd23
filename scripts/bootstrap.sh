#!/usr/bin/env bash
# Installs the missing Debian packages, then configures and builds Fotoloom:
# everything, or only the given CMake targets.
#   usage: scripts/bootstrap.sh [TARGET...]   (build folder: build/, or $FOTOLOOM_BUILD_DIR)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}

mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$top/scripts/apt-packages.txt")
"$top/scripts/apt-install-missing.sh" "${wanted[@]}"

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOTOLOOM_WERROR=ON >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
