#!/usr/bin/env bash
# Opt-in: installs Chromium when missing, builds the tests and runs the
# galleries-in-a-real-browser checks (skipped by the default suite when no
# Chromium is installed).
#   usage: scripts/browser-check.sh            (build folder: build/, or $FOTOLOOM_BUILD_DIR)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}
if ! dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q 'install ok installed'; then
  echo "Installing chromium"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends chromium >/dev/null
fi
"$top/scripts/bootstrap.sh"
ctest --test-dir "$build" --output-on-failure -R 'GalleryInBrowser' --timeout 600
