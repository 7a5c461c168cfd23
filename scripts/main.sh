#!/usr/bin/env bash
# Sets up and builds Fotoloom (scripts/bootstrap.sh), then runs the main job: the wizard, when a display is present.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}
"$top/scripts/bootstrap.sh"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/app/fotoloom" ]; then
  exec "$build/app/fotoloom"
fi
echo "Fotoloom is built in $build. No display found: start the wizard with $build/app/fotoloom on a desktop."
