#!/usr/bin/env bash
# Builds the Debian package fotoloom_<version>_<arch>.deb from a clean build and
# checks it (packaging/check-package.sh): a new build folder (build-package/, or
# $FOTOLOOM_PACKAGE_BUILD_DIR, removed first), configured from scratch with the
# build type the tests use (RelWithDebInfo; CPack strips the programs) but
# without tests and benchmarks, builds the two programs and the files installed
# beside them; CPack then packs what "cmake --install" puts under /usr. The
# package is copied into the top folder, whose path is printed.
#   usage: scripts/package.sh
#   install: sudo apt install ./fotoloom_<version>_<arch>.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_PACKAGE_BUILD_DIR:-$top/build-package}

mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$top/scripts/apt-packages.txt")
"$top/scripts/apt-install-missing.sh" "${wanted[@]}"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
rm -rf "$build"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DFOTOLOOM_BUILD_BENCH=OFF \
  -DFOTOLOOM_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB --config CPackConfig.cmake >/dev/null)
deb=$(find "$build" -maxdepth 1 -name 'fotoloom_*.deb' | head -n 1)
[ -n "$deb" ] || { echo "package.sh: CPack made no package" >&2; exit 1; }
"$top/packaging/check-package.sh" "$deb" "$top/samples/photos"
cp "$deb" "$top/"
echo "$top/$(basename "$deb")"
