#!/usr/bin/env bash
# Times `fotoloom-cli run --albums` over a tree of albums against the same photos flat in one folder.
#   usage: bench/run_albums.sh         (corpus cached in ${FOTOLOOM_CORPUS:-~/.cache/fotoloom/corpus})
# Builds fotoloom-cli in build/, makes the corpus with make_corpus.sh when it
# is missing, and lays out the photos twice through hard links of the
# corpus: FOTOLOOM_BENCH_ALBUMS albums (default 100) of
# FOTOLOOM_BENCH_PER_ALBUM photos each (default 100) in a three-level tree
# (year/month/day, 4 x 5 x 5 leaves for 100 albums), and the same photos flat
# in one folder. Then, in interleaved rounds (FOTOLOOM_BENCH_ROUNDS, default
# 3) keeping each one's fastest run:
#   flat       a run of the flat folder into an empty folder
#   albums     a run of the tree with --albums into an empty folder
#   nothing    an --update of the tree's gallery with nothing changed
#   discovery  a dry run of the tree with --albums --elements 2: the walk,
#              the order and the checks, no photo read
# The targets: albums at most 1.05 x flat in time, its peak memory within
# 10 % of flat, nothing under 2 % of albums.
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"
"$top/scripts/apt-install-missing.sh" time

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target fotoloom-cli >/dev/null
cli=$build/cli/fotoloom-cli
work=$(mktemp -d /tmp/albums_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

albums=${FOTOLOOM_BENCH_ALBUMS:-100}
per_album=${FOTOLOOM_BENCH_PER_ALBUM:-100}
corpus_files=("$corpus"/*.jpg)
mkdir -p "$work/flat" "$work/tree"
i=0
for ((a = 0; a < albums; ++a)); do
  # Three levels: 4 years, 5 months each, then the days.
  folder=$(printf '%s/%d/%02d/%02d' "$work/tree" $((2020 + a % 4)) $((a / 4 % 5 + 1)) $((a / 20 + 1)))
  mkdir -p "$folder"
  for ((p = 0; p < per_album; ++p)); do
    f=${corpus_files[i % ${#corpus_files[@]}]}
    name=$(printf '%05d_%s' "$i" "$(basename "$f")")
    ln "$f" "$folder/$name"
    ln "$f" "$work/flat/$name"
    i=$((i + 1))
  done
done

# Both galleries in name order, which is the same photo order flat and in the
# tree. The hard links share their file's time, so an order by date would put
# the links of one corpus photo side by side in the flat folder only, and its
# run would gain from resizes of one geometry in a row that the tree's does not.
run() {  # input-folder output-folder [options]: prints "wall-seconds MiB cpu-seconds"
  local in=$1 out=$2
  shift 2
  /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$cli" run --input "$in" --output "$out" --yes --quiet \
    --set SortingMethodIndex=2 "$@" >/dev/null
  awk '{printf "%s %.1f %.3f\n", $1, $2 / 1024, $3 + $4}' "$work/time"
}

# The gallery the no-change update works on, made by a first update.
run "$work/tree" "$work/gallery" --albums --update >/dev/null
configs=(flat albums nothing discovery)
declare -A secs mems cpus
run_config() {
  case $1 in
    flat) rm -rf "$work/out-flat"; run "$work/flat" "$work/out-flat" ;;
    albums) rm -rf "$work/out-albums"; run "$work/tree" "$work/out-albums" --albums ;;
    nothing) run "$work/tree" "$work/gallery" --albums --update ;;
    discovery) run "$work/tree" "$work/out-discovery" --albums --dry-run --elements 2 ;;
  esac
}

made=$(find "$work/gallery" -name 'page1.htm' | wc -l)
[ "$made" -gt "$albums" ] || { echo "the tree's gallery has $made first pages for $albums albums" >&2; exit 1; }
echo "$i photos in $albums albums of $per_album ($(find "$corpus" -maxdepth 1 -name '*.jpg' | wc -l) of the corpus, repeated through hard links); $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg) before"
echo "(fastest of $rounds interleaved rounds; wall and processor seconds)"
run_rounds
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) after"
for c in "${configs[@]}"; do
  case $c in
    flat) name="flat, one folder" ;;
    albums) name="--albums, the tree" ;;
    nothing) name="--albums --update, nothing changed" ;;
    discovery) name="--albums, discovery alone" ;;
  esac
  printf '%-36s %8.3f s %8.3f cpu-s %6.0f MiB   %6.2f %% of the flat run (cpu %.2f %%)\n' "$name" "${secs[$c]}" \
    "${cpus[$c]}" "${mems[$c]}" "$(calc "100 * ${secs[$c]} / ${secs[flat]}")" "$(calc "100 * ${cpus[$c]} / ${cpus[flat]}")"
done
