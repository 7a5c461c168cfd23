#!/usr/bin/env bash
# Times whole `fotoloom-cli run` calls over the photo corpus against the one- and two-decode floors.
#   usage: bench/run_cli.sh            (corpus cached in ${FOTOLOOM_CORPUS:-~/.cache/fotoloom/corpus})
# Builds fotoloom-cli and writers_bench in build/, makes the corpus with
# make_corpus.sh when it is missing, then runs every configuration once per
# round, one after the other, for FOTOLOOM_BENCH_ROUNDS rounds (default 3),
# keeping each one's fastest run. Each `run` writes the whole gallery (pages
# included) with the default settings into an empty folder. Set
# FOTOLOOM_BENCH_OTHER_CLI to another build's fotoloom-cli to time it beside
# this one (its lines are marked "other").
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"
other=${FOTOLOOM_BENCH_OTHER_CLI:-}
"$top/scripts/apt-install-missing.sh" time

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target writers_bench fotoloom-cli >/dev/null
bench=$build/bench/writers_bench
cli=$build/cli/fotoloom-cli
out=$(mktemp -d /tmp/cli_bench.XXXXXX)
trap 'rm -rf "$out"' EXIT

# The default settings, with the filter off and on.
"$cli" defaults "$out/filter0.fl"
sed 's/^Usefilter=0/Usefilter=1/' "$out/filter0.fl" >"$out/filter1.fl"
grep -q '^Usefilter=1' "$out/filter1.fl" || { echo "cannot switch the filter on in $out/filter1.fl" >&2; exit 1; }

configs=(floor2 floor1 f0-j1 f0-j2 f1-j1 f1-j2)
[ -n "$other" ] && configs+=(o0-j1 o0-j2 o1-j1 o1-j2)
declare -A secs mems cpus
run_config() {  # prints "wall-seconds MiB cpu-seconds" of one run
  case $1 in
    floor2) "$bench" floor "$corpus" | awk '{print $1, $5, $7}' ;;
    floor1) "$bench" floor1 "$corpus" | awk '{print $1, $5, $7}' ;;
    *) local program=$cli filter=${1:1:1} jobs=${1:4:1}
       [ "${1:0:1}" = o ] && program=$other
       rm -rf "$out/gallery"
       /usr/bin/time -f '%e %M %U %S' -o "$out/time" "$program" run "$out/filter$filter.fl" --input "$corpus" \
         --output "$out/gallery" --jobs "$jobs" --yes --quiet
       awk '{printf "%s %.1f %.3f\n", $1, $2 / 1024, $3 + $4}' "$out/time" ;;
  esac
}

n=$(find "$corpus" -maxdepth 1 -name '*.jpg' | wc -l)
echo "corpus: $n photos; $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg) before"
echo "(fastest of $rounds interleaved rounds; wall and processor seconds)"
run_rounds
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) after"

floor=${secs[floor2]}
floor_cpu=${cpus[floor2]}
line() {  # name config
  printf '%-50s %8.3f s %8.3f cpu-s %6.0f MiB   %.2f x floor (cpu %.2f x)\n' "$1" "${secs[$2]}" "${cpus[$2]}" \
    "${mems[$2]}" "$(calc "${secs[$2]} / $floor")" "$(calc "${cpus[$2]} / $floor_cpu")"
}
line "floor, 2 decodes + 2 encodes per photo" floor2
line "floor, 1 decode + 2 encodes per photo" floor1
prefixes=(f)
[ -n "$other" ] && prefixes+=(o)
for p in "${prefixes[@]}"; do
  for filter in 0 1; do
    for jobs in 1 2; do
      name="$([ "$p" = o ] && echo "other " || echo "")fotoloom-cli run, filter $([ $filter = 1 ] && echo Lanczos3 || echo off), jobs $jobs"
      line "$name" "$p$filter-j$jobs"
    done
  done
done
for p in "${prefixes[@]}"; do
  for filter in 0 1; do
    printf '%sjobs 2 against jobs 1, filter %s: %.2f x faster (wall)\n' "$([ "$p" = o ] && echo "other: " || echo "")" \
      "$([ $filter = 1 ] && echo Lanczos3 || echo off)" "$(calc "${secs[$p$filter-j1]} / ${secs[$p$filter-j2]}")"
  done
done
