#!/usr/bin/env bash
# Measures the bytes the WebP copies save against their JPEG files over the
# corpus: one run with WebP=yes and Thumbnails2x=yes at the start-up
# qualities (90), then the sum of the JPEG and of the WebP files of each kind
# ("n_", "t_", "t2_") and the share saved; also the ZIP's size against the
# originals' (its overhead).
#   usage: bench/webp_sizes.sh        (corpus cached in ${FOTOLOOM_CORPUS:-~/.cache/fotoloom/corpus})
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"
build_cli
out=$(mktemp -d /tmp/fotoloom-webp.XXXXXX)
trap 'rm -rf "$out"' EXIT
"$cli" run --quiet --yes --input "$corpus" --output "$out" --set AutoBrowserStart=no \
  --set WebP=yes --set Thumbnails2x=yes --set Zip=yes
for prefix in n_ t_ t2_; do
  jpeg=$(find "$out" -maxdepth 1 -name "${prefix}*" ! -name '*.webp' -printf '%s\n' | awk '{ s += $1 } END { print s }')
  webp=$(find "$out" -maxdepth 1 -name "${prefix}*.webp" -printf '%s\n' | awk '{ s += $1 } END { print s }')
  echo "$prefix JPEG $jpeg bytes, WebP $webp bytes, saved $(calc "100 * ($jpeg - $webp) / $jpeg") %"
done
originals=$(find "$corpus" -maxdepth 1 -name '*.jpg' -printf '%s\n' | awk '{ s += $1 } END { print s }')
echo "photos.zip $(stat -c %s "$out/photos.zip") bytes for $originals bytes of originals"
