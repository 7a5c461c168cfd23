#!/usr/bin/env bash
# Renews the pictures of the manual's walk through a first gallery (docs/screenshots/): builds and runs the
# screenshot test, which makes them with the wizard's light theme into build/screenshots/manual/, and the
# browser test of the responsive set, which makes the pictures of a gallery on a phone and on a laptop
# (build/screenshots/responsive_*.png), and copies them over. Run it after a change to what the wizard's steps show; the screenshot test fails while a picture
# of the manual is missing or no longer has the window's size.
#   usage: scripts/update-manual-screenshots.sh        (build folder: build/, or $FOTOLOOM_BUILD_DIR)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}
cmake --build "$build" -j2 --target app_Screenshots_test cli_tests
# The test compares with the copies it finds, so a first run may fail; the pictures are made either way.
QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR=/usr/share/fonts \
  "$build/tests/app/app_Screenshots_test" first_gallery_for_the_manual >/dev/null 2>&1 || true
"$build/tests/cli/cli_tests" --gtest_filter='ResponsiveGalleryInBrowser.*' >/dev/null 2>&1 || true
shots=("$build"/screenshots/manual/step*.png)
for picture in responsive_phone responsive_desktop; do
  [ -e "$build/screenshots/$picture.png" ] && shots+=("$build/screenshots/$picture.png")
done
[ -e "${shots[0]}" ] || { echo "update-manual-screenshots: no pictures made" >&2; exit 1; }
mkdir -p "$top/docs/screenshots"
rm -f "$top"/docs/screenshots/step*.png
cp "${shots[@]}" "$top/docs/screenshots/"
echo "copied ${#shots[@]} pictures into docs/screenshots/"
