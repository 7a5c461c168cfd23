#!/usr/bin/env bash
# Times the image writers over the photo corpus against the decode-and-encode floor and ImageMagick.
#   usage: bench/run_writers.sh            (corpus cached in ${FOTOLOOM_CORPUS:-~/.cache/fotoloom/corpus})
# Builds writers_bench in build/, makes the corpus with make_corpus.sh when it
# is missing (photos never go into the repository), then runs each
# configuration in its own process and prints seconds, peak memory and the
# ratios. Every configuration runs twice and keeps the faster time.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}
corpus=${FOTOLOOM_CORPUS:-$HOME/.cache/fotoloom/corpus}
make_corpus=${FOTOLOOM_MAKE_CORPUS:-$top/../shared/make_corpus.sh}
[ -x "$make_corpus" ] || make_corpus=/work/shared/make_corpus.sh

if ! ls "$corpus"/*.jpg >/dev/null 2>&1; then
  echo "building the corpus in $corpus"
  "$make_corpus" "$corpus"
fi
sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
if [ ! -x /usr/bin/convert ]; then
  $sudo apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
fi

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target writers_bench >/dev/null
bench=$build/bench/writers_bench
out=$(mktemp -d /tmp/writers_bench.XXXXXX)
trap 'rm -rf "$out"' EXIT

calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

# best_of CMD...: runs CMD twice, prints "seconds MiB" of the faster run.
best_of() {
  local a b
  a=$("$@"); b=$("$@")
  printf '%s\n%s\n' "$a" "$b" | sort -n | head -1 | awk '{print $1, $5}'
}

n=$(ls "$corpus"/*.jpg | wc -l)
mp=$(identify -format '%[fx:w*h/1000000]\n' "$corpus"/*.jpg | awk '{s+=$1} END{printf "%.1f", s}')
echo "corpus: $n photos, $mp MP; $(nproc) cores"
read -r floor floor_mem < <(best_of "$bench" floor "$corpus")
printf '%-34s %8.3f s %6.0f MiB\n' "floor (2 decodes + 2 encodes)" "$floor" "$floor_mem"

declare -A secs
for filter in 0 1; do
  for jobs in 1 2; do
    read -r s m < <(best_of "$bench" writers "$corpus" "$out/f$filter-j$jobs" "$filter" "$jobs")
    secs[$filter-$jobs]=$s
    name="writers, filter $([ $filter = 1 ] && echo Lanczos3 || echo off), jobs $jobs"
    printf '%-34s %8.3f s %6.0f MiB  %.2f x floor\n' "$name" "$s" "$m" "$(calc "$s / $floor")"
  done
done
for filter in 0 1; do
  printf 'jobs 2 speed-up, filter %s: %.2f x\n' "$filter" "$(calc "${secs[$filter-1]} / ${secs[$filter-2]}")"
done

# ImageMagick, the same two sizes (taken from our outputs) at quality 90 from
# one decode per photo, once limited to one thread and once with its default.
im_run() {
  local f base s t
  for f in "$corpus"/*.jpg; do
    base=$(basename "$f")
    s=$(identify -format '%wx%h' "$out/f1-j1/n_$base")
    t=$(identify -format '%wx%h' "$out/f1-j1/t_$base")
    /usr/bin/convert "$f" -filter Lanczos \( +clone -resize "$s!" -quality 90 -write "$out/im_n_$base" +delete \) \
      -resize "$t!" -quality 90 "$out/im_t_$base"
  done
}
im_time() {
  local start end
  start=$(date +%s.%N); im_run; end=$(date +%s.%N)
  calc "$end - $start"
}
im1=$(MAGICK_THREAD_LIMIT=1 im_time)
im2=$(im_time)
printf '%-34s %8.3f s  %.2f x floor, ours (jobs 1) %.2f x faster\n' "ImageMagick Lanczos, 1 thread" "$im1" \
  "$(calc "$im1 / $floor")" "$(calc "$im1 / ${secs[1-1]}")"
printf '%-34s %8.3f s  %.2f x floor, ours (jobs 2) %.2f x faster\n' "ImageMagick Lanczos, default threads" "$im2" \
  "$(calc "$im2 / $floor")" "$(calc "$im2 / ${secs[1-2]}")"
