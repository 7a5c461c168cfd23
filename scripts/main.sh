#!/usr/bin/env bash
# Sets up and builds Fotoloom (scripts/bootstrap.sh), then runs the main job.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/bootstrap.sh"
echo "Fotoloom is built in ${FOTOLOOM_BUILD_DIR:-$top/build}. The gallery run is not wired up yet."
