#!/usr/bin/env bash
# Times what reading the photos' metadata costs a run: full runs with UseExif and the "Exif comment" subtitle
# against full runs without, and a no-change update with both against the full run.
#   usage: bench/run_metadata.sh        (corpus cached in ${FOTOLOOM_CORPUS:-~/.cache/fotoloom/corpus})
# Builds fotoloom-cli in build/, makes the corpus with make_corpus.sh when it
# is missing, and lays out the corpus once (24 photos) and repeated through
# hard links to 2,400 photos (FOTOLOOM_BENCH_SIZES, default "24 2400"),
# every other photo with an XMP sidecar holding its caption. Then, for each
# size, in interleaved rounds (FOTOLOOM_BENCH_ROUNDS, default 3; 1 is plenty
# for 2,400 photos) keeping each one's fastest run:
#   plain     a full run into an empty folder, start-up order and subtitle
#   metadata  the same with UseExif=yes and SubtitleIndex=3: every photo's
#             metadata is read once before the order
#   nothing   --update with UseExif and SubtitleIndex 3 of a gallery nothing
#             changed in since its last update
# The targets: metadata at most 3 % above plain; nothing under 2 % of metadata.
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"
"$top/scripts/apt-install-missing.sh" time

build_cli
work=$(mktemp -d /tmp/metadata_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# lay_out count folder: the corpus repeated through hard links, sidecars on every other photo.
lay_out() {
  local count=$1 folder=$2 i=0 f name
  mkdir -p "$folder"
  while [ "$i" -lt "$count" ]; do
    for f in "$corpus"/*.jpg; do
      [ "$i" -lt "$count" ] || break
      name=$(printf '%04d_%s' "$i" "$(basename "$f")")
      ln "$f" "$folder/$name"
      if [ $((i % 2)) -eq 0 ]; then
        printf '<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"><rdf:Description rdf:about="" xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:description><rdf:Alt><rdf:li xml:lang="x-default">Photo %d of the benchmark</rdf:li></rdf:Alt></dc:description></rdf:Description></rdf:RDF></x:xmpmeta>\n' "$i" >"$folder/$name.xmp"
      fi
      i=$((i + 1))
    done
  done
}

run() {  # input output [options...]: prints "wall-seconds MiB cpu-seconds"
  local in=$1 out=$2
  shift 2
  /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$cli" run --input "$in" --output "$out" --yes --quiet "$@"
  awk '{printf "%s %.1f %.3f\n", $1, $2 / 1024, $3 + $4}' "$work/time"
}
metadata=(--set UseExif=yes --set SubtitleIndex=3)

echo "$(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg) before"
for size in ${FOTOLOOM_BENCH_SIZES:-24 2400}; do
  in=$work/in-$size
  lay_out "$size" "$in"
  run "$in" "$work/gallery-$size" --update "${metadata[@]}" >/dev/null
  configs=(plain metadata nothing)
  declare -A secs=() mems=() cpus=()
  run_config() {
    case $1 in
      plain) rm -rf "$work/full"; run "$in" "$work/full" ;;
      metadata) rm -rf "$work/full"; run "$in" "$work/full" "${metadata[@]}" ;;
      nothing) run "$in" "$work/gallery-$size" --update "${metadata[@]}" ;;
    esac
  }
  echo "== $size photos ($(find "$in" -name '*.xmp' | wc -l) with a sidecar); fastest of $rounds interleaved rounds"
  run_rounds
  for c in "${configs[@]}"; do
    case $c in
      plain) name="full run, no metadata read"; base=plain ;;
      metadata) name="full run, UseExif + Exif comment"; base=plain ;;
      nothing) name="--update, nothing changed"; base=metadata ;;
    esac
    printf '%-34s %9.3f s %9.3f cpu-s %6.0f MiB   %7.2f %% of %s (cpu %.2f %%)\n' "$name" "${secs[$c]}" "${cpus[$c]}" \
      "${mems[$c]}" "$(calc "100 * ${secs[$c]} / ${secs[$base]}")" "$base" "$(calc "100 * ${cpus[$c]} / ${cpus[$base]}")"
  done
  rm -rf "$in" "$work/gallery-$size" "$work/full"
done
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) after"
