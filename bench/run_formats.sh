#!/usr/bin/env bash
# Times fotoloom-cli runs over HEIC, PNG and wide-gamut photos against the decoders' own floor.
#   usage: bench/run_formats.sh        (corpus cached in ${FOTOLOOM_CORPUS:-~/.cache/fotoloom/corpus})
# From the JPEG corpus it makes, once, beside it: the same photos as HEIC
# (heif-enc, quality 50), as PNG (the HEIC files decoded by heif-convert, so
# both hold the same pixels), and as JPEG with a Display P3 profile added
# (jpegtran -icc, the image data unchanged) beside the same jpegtran pass
# without it (jpegtran writes sequential files, so a progressive photo of the
# corpus would otherwise be set against a sequential one). Then, in
# interleaved rounds, with the default settings at one job: every HEIC
# decoded once by libheif alone (the floor) against a whole run over them;
# the same for PNG with libpng; the P3 JPEGs against their twins without the
# profile. Peak memory of each is set against the run over the JPEG corpus,
# which has the same pixels.
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"
"$top/scripts/apt-install-missing.sh" time libheif-examples libjpeg-turbo-progs

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target decode_floor fotoloom-cli >/dev/null
floor=$build/bench/decode_floor
cli=$build/cli/fotoloom-cli
heic=${corpus}-heic
png=${corpus}-png
p3=${corpus}-p3
untagged=${corpus}-p3-twin
mkdir -p "$heic" "$png" "$p3" "$untagged"
"$floor" p3-profile "$p3/display-p3.icc"
for f in "$corpus"/*.jpg; do
  b=$(basename "$f" .jpg)
  [ -s "$heic/$b.heic" ] || heif-enc -q 50 "$f" -o "$heic/$b.heic" >/dev/null
  [ -s "$png/$b.png" ] || heif-convert "$heic/$b.heic" "$png/$b.png" >/dev/null
  [ -s "$p3/$b.jpg" ] || jpegtran -copy all -icc "$p3/display-p3.icc" -outfile "$p3/$b.jpg" "$f"
  [ -s "$untagged/$b.jpg" ] || jpegtran -copy all -outfile "$untagged/$b.jpg" "$f"
done

out=$(mktemp -d /tmp/formats_bench.XXXXXX)
trap 'rm -rf "$out"' EXIT
"$cli" defaults "$out/settings.fl"

configs=(heif-floor heic-run png-floor png-run jpeg-run untagged-run p3-run)
declare -A secs mems cpus
run_config() {  # prints "wall-seconds MiB cpu-seconds" of one run
  case $1 in
    heif-floor) "$floor" heif "$heic" | awk '{print $1, $5, $7}' ;;
    png-floor) "$floor" png "$png" | awk '{print $1, $5, $7}' ;;
    *) local input
       case $1 in heic-run) input=$heic ;; png-run) input=$png ;; jpeg-run) input=$corpus ;; untagged-run) input=$untagged ;; p3-run) input=$p3 ;; esac
       rm -rf "$out/gallery"
       /usr/bin/time -f '%e %M %U %S' -o "$out/time" "$cli" run "$out/settings.fl" --set OtherFormats=yes \
         --input "$input" --output "$out/gallery" --jobs 1 --yes --quiet || { echo "the run over $input failed" >&2; return 1; }
       awk '{printf "%s %.1f %.3f\n", $1, $2 / 1024, $3 + $4}' "$out/time" ;;
  esac
}

n=$(find "$corpus" -maxdepth 1 -name '*.jpg' | wc -l)
echo "corpus: $n photos; $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg) before"
echo "(fastest of $rounds interleaved rounds; wall and processor seconds; one job)"
run_rounds
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) after"

line() {  # name config base-config what
  printf '%-44s %8.3f s %8.3f cpu-s %6.0f MiB   %.2f x %s (cpu %.2f x)\n' "$1" "${secs[$2]}" "${cpus[$2]}" \
    "${mems[$2]}" "$(calc "${secs[$2]} / ${secs[$3]}")" "$4" "$(calc "${cpus[$2]} / ${cpus[$3]}")"
}
line "libheif decode of every HEIC (floor)" heif-floor heif-floor "floor"
line "fotoloom-cli run over the HEIC photos" heic-run heif-floor "HEIC floor (target 1.3)"
line "libpng decode of every PNG (floor)" png-floor png-floor "floor"
line "fotoloom-cli run over the PNG photos" png-run png-floor "PNG floor (target 1.5)"
line "fotoloom-cli run over the JPEG photos" jpeg-run jpeg-run "itself"
line "the same after jpegtran (sequential)" untagged-run untagged-run "itself"
line "fotoloom-cli run over those with a P3 profile" p3-run untagged-run "without (target 1.05)"
for c in heic-run png-run p3-run; do
  printf 'peak memory of %s: %+.0f MiB against the JPEG run (target within 64)\n' "$c" \
    "$(calc "${mems[$c]} - ${mems[jpeg-run]}")"
done
