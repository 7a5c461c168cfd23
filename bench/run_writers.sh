#!/usr/bin/env bash
# Times the image writers over the photo corpus against the decode-and-encode floor and ImageMagick.
#   usage: bench/run_writers.sh            (corpus cached in ${FOTOLOOM_CORPUS:-~/.cache/fotoloom/corpus})
# Builds writers_bench in build/, makes the corpus with make_corpus.sh when it
# is missing (photos never go into the repository), then runs each
# configuration in its own process and prints seconds, peak memory and the
# ratios.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}
corpus=${FOTOLOOM_CORPUS:-$HOME/.cache/fotoloom/corpus}
make_corpus=${FOTOLOOM_MAKE_CORPUS:-$top/../shared/make_corpus.sh}

if ! ls "$corpus"/*.jpg >/dev/null 2>&1; then
  [ -x "$make_corpus" ] || { echo "no corpus in $corpus and no $make_corpus to make one (set FOTOLOOM_MAKE_CORPUS)" >&2; exit 2; }
  echo "building the corpus in $corpus"
  "$make_corpus" "$corpus"
fi
"$top/scripts/apt-install-missing.sh" imagemagick

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target writers_bench >/dev/null
bench=$build/bench/writers_bench
out=$(mktemp -d /tmp/writers_bench.XXXXXX)
trap 'rm -rf "$out"' EXIT

calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

# Every configuration runs once per round, one after the other, for $rounds
# rounds; each keeps its fastest run. Interleaving them means a change in the
# machine's load during the run falls on all of them alike, so the ratios
# between them stay fair.
rounds=${FOTOLOOM_BENCH_ROUNDS:-3}
configs=(floor f0-j1 f0-j2 f1-j1 f1-j2)
declare -A secs mems cpus
run_config() {  # prints "wall-seconds MiB cpu-seconds" of one run
  case $1 in
    floor) "$bench" floor "$corpus" ;;
    f*) local filter=${1:1:1} jobs=${1:4:1}
        "$bench" writers "$corpus" "$out/$1" "$filter" "$jobs" ;;
  esac | awk '{print $1, $5, $7}'
}

n=$(find "$corpus" -maxdepth 1 -name '*.jpg' | wc -l)
mp=$(identify -format '%[fx:w*h/1000000]\n' "$corpus"/*.jpg | awk '{s+=$1} END{printf "%.1f", s}')
echo "corpus: $n photos, $mp MP; $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "(fastest of $rounds interleaved rounds; wall and processor seconds, the processor ratios being the steadier ones on a busy machine)"
for ((round = 0; round < rounds; ++round)); do
  for c in "${configs[@]}"; do
    read -r s m p < <(run_config "$c")
    if [ -z "${secs[$c]:-}" ] || awk "BEGIN { exit !($s < ${secs[$c]}) }"; then
      secs[$c]=$s; mems[$c]=$m; cpus[$c]=$p
    fi
  done
done

floor=${secs[floor]}
floor_cpu=${cpus[floor]}
printf '%-38s %8.3f s %8.3f cpu-s %5.0f MiB\n' "floor (2 decodes + 2 encodes)" "$floor" "$floor_cpu" "${mems[floor]}"
for filter in 0 1; do
  for jobs in 1 2; do
    c=f$filter-j$jobs
    name="writers, filter $([ $filter = 1 ] && echo Lanczos3 || echo off), jobs $jobs"
    printf '%-38s %8.3f s %8.3f cpu-s %5.0f MiB   %.2f x floor (cpu %.2f x)\n' "$name" "${secs[$c]}" "${cpus[$c]}" \
      "${mems[$c]}" "$(calc "${secs[$c]} / $floor")" "$(calc "${cpus[$c]} / $floor_cpu")"
  done
done
for filter in 0 1; do
  printf 'jobs 2 against jobs 1, filter %s: %.2f x faster (wall)\n' "$filter" \
    "$(calc "${secs[f$filter-j1]} / ${secs[f$filter-j2]}")"
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
# im_time: prints "wall-seconds cpu-seconds" of one im_run.
im_time() {
  local TIMEFORMAT='%R %U %S'
  { time im_run; } 2>&1 | awk '{print $1, $2 + $3}'
}
read -r im1 im1_cpu < <(MAGICK_THREAD_LIMIT=1 im_time)
read -r im2 im2_cpu < <(im_time)
printf '%-38s %8.3f s %8.3f cpu-s         %.2f x floor; ours (Lanczos3, jobs 1) %.2f x faster (cpu %.2f x)\n' \
  "ImageMagick Lanczos, 1 thread" "$im1" "$im1_cpu" "$(calc "$im1 / $floor")" "$(calc "$im1 / ${secs[f1-j1]}")" \
  "$(calc "$im1_cpu / ${cpus[f1-j1]}")"
printf '%-38s %8.3f s %8.3f cpu-s         %.2f x floor; ours (Lanczos3, jobs 2) %.2f x faster (wall)\n' \
  "ImageMagick Lanczos, default threads" "$im2" "$im2_cpu" "$(calc "$im2 / $floor")" "$(calc "$im2 / ${secs[f1-j2]}")"
