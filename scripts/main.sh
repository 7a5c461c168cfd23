#!/usr/bin/env bash
# Sets up and builds Fotoloom (scripts/bootstrap.sh), then runs the main job: the
# wizard when a display is present, otherwise a gallery of the sample
# photographs in samples/photos/, written to out/gallery/.
#   usage: scripts/main.sh        (gallery folder: out/gallery/, or $FOTOLOOM_GALLERY_DIR)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}
gallery=${FOTOLOOM_GALLERY_DIR:-$top/out/gallery}
# Only the two programs: the test command builds the tests.
"$top/scripts/bootstrap.sh" fotoloom fotoloom-cli

# With a display the wizard is the main job.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/app/fotoloom" ]; then
  exec "$build/app/fotoloom"
fi

mkdir -p "$(dirname "$gallery")"
"$build/cli/fotoloom-cli" run "$top/samples/sample-gallery.fl" \
  --input "$top/samples/photos" --output "$gallery" --yes
echo "$gallery/page1.htm"
