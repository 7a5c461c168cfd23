#!/usr/bin/env bash
# Times `fotoloom-cli run --update` against a full run over 240 photos: nothing changed, and one photo changed.
#   usage: bench/run_update.sh         (corpus cached in ${FOTOLOOM_CORPUS:-~/.cache/fotoloom/corpus})
# Builds fotoloom-cli in build/, makes the corpus with make_corpus.sh when it
# is missing, and lays out 240 photos from it: the corpus repeated through
# hard links (a link per photo and round of the corpus), but for one photo
# that is a copy of its own, the one that changes. Then, in interleaved
# rounds (FOTOLOOM_BENCH_ROUNDS, default 3) keeping each one's fastest run:
#   full     a run without --update into an empty folder
#   nothing  an update of a gallery with nothing changed since its last update
#   one      an update after the one photo's time changed (its two images are
#            made again; every other file stays)
# The targets: nothing at most 5 % of full, one at most 10 %.
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"
"$top/scripts/apt-install-missing.sh" time

build_cli
work=$(mktemp -d /tmp/update_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

photos=${FOTOLOOM_BENCH_PHOTOS:-240}
mkdir "$work/in"
i=0
while [ "$i" -lt "$photos" ]; do
  for f in "$corpus"/*.jpg; do
    [ "$i" -lt "$photos" ] || break
    name=$(printf '%03d_%s' "$i" "$(basename "$f")")
    if [ "$i" -eq 0 ]; then cp -p "$f" "$work/in/$name"; changing=$work/in/$name; else ln "$f" "$work/in/$name"; fi
    i=$((i + 1))
  done
done

run() {  # output-folder [--update]: prints "wall-seconds MiB cpu-seconds"
  local out=$1
  shift
  /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$cli" run --input "$work/in" --output "$out" --yes --quiet "$@"
  awk '{printf "%s %.1f %.3f\n", $1, $2 / 1024, $3 + $4}' "$work/time"
}

# The gallery the updates work on, made by a first update.
run "$work/gallery" --update >/dev/null
# run_config runs in a subshell, so the changing photo's next time lives in a file.
echo 1600000000 >"$work/stamp"
changed_image=$work/gallery/n_$(basename "$changing")
configs=(full nothing one)
declare -A secs mems cpus
run_config() {
  case $1 in
    full) rm -rf "$work/full"; run "$work/full" ;;
    nothing) run "$work/gallery" --update ;;
    one)
      local stamp before
      stamp=$(($(cat "$work/stamp") + 1))
      echo "$stamp" >"$work/stamp"
      touch -d "@$stamp" "$changing"
      before=$(stat -c '%i %Y.%y' "$changed_image")
      run "$work/gallery" --update
      # An update that did not make the photo's image again measured nothing.
      [ "$(stat -c '%i %Y.%y' "$changed_image")" != "$before" ] || { echo "the changed photo's image was not made again" >&2; exit 1; }
      ;;
  esac
}

n=$(find "$work/in" -maxdepth 1 -name '*.jpg' | wc -l)
echo "$n photos ($(find "$corpus" -maxdepth 1 -name '*.jpg' | wc -l) of the corpus, repeated through hard links); $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg) before"
echo "(fastest of $rounds interleaved rounds; wall and processor seconds)"
run_rounds
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) after"
for c in "${configs[@]}"; do
  case $c in
    full) name="full run into an empty folder" ;;
    nothing) name="--update, nothing changed" ;;
    one) name="--update, one photo changed" ;;
  esac
  printf '%-34s %8.3f s %8.3f cpu-s %6.0f MiB   %6.2f %% of the full run (cpu %.2f %%)\n' "$name" "${secs[$c]}" \
    "${cpus[$c]}" "${mems[$c]}" "$(calc "100 * ${secs[$c]} / ${secs[full]}")" "$(calc "100 * ${cpus[$c]} / ${cpus[full]}")"
done
