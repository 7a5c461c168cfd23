#!/usr/bin/env bash
# Sets up and builds Fotoloom (scripts/bootstrap.sh), then runs every test with CTest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}
"$top/scripts/bootstrap.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600
