#!/usr/bin/env bash
# Sets up and builds Fotoloom with warnings as errors (scripts/bootstrap.sh),
# checks the format of the tree, runs every test with CTest, then builds and
# runs the whole suite again under AddressSanitizer and UBSan (the "asan"
# preset, in build-asan/). FOTOLOOM_SANITIZERS=off leaves out that last step.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}
"$top/scripts/bootstrap.sh"
"$top/scripts/format-check.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600

if [ "${FOTOLOOM_SANITIZERS:-on}" != off ]; then
  echo "== the same suite under AddressSanitizer and UBSan (build-asan/)"
  cd "$top"
  cmake --preset asan >/dev/null
  cmake --build --preset asan
  ctest --preset asan -j "$(nproc)" --timeout 900
fi
