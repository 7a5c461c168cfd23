# Shared by the corpus benchmarks: sourced, not run. Sets top, build and
# corpus, makes the corpus when it is missing, and runs configurations in
# interleaved rounds.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FOTOLOOM_BUILD_DIR:-$top/build}
corpus=${FOTOLOOM_CORPUS:-$HOME/.cache/fotoloom/corpus}
make_corpus=${FOTOLOOM_MAKE_CORPUS:-$top/../shared/make_corpus.sh}
rounds=${FOTOLOOM_BENCH_ROUNDS:-3}

if ! ls "$corpus"/*.jpg >/dev/null 2>&1; then
  [ -x "$make_corpus" ] || { echo "no corpus in $corpus and no $make_corpus to make one (set FOTOLOOM_MAKE_CORPUS)" >&2; exit 2; }
  echo "building the corpus in $corpus"
  "$make_corpus" "$corpus"
fi

# Builds fotoloom-cli (RelWithDebInfo) in $build and sets cli to it.
build_cli() {
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j2 --target fotoloom-cli >/dev/null
  cli=$build/cli/fotoloom-cli
}

calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

# Runs every configuration named in the array configs once per round, one
# after the other, for $rounds rounds, through run_config (which prints
# "wall-seconds MiB cpu-seconds"), and keeps each one's fastest run in the
# associative arrays secs, mems and cpus. Interleaving them means a change in
# the machine's load during the run falls on all of them alike, so the
# ratios between them stay fair.
run_rounds() {
  local round c s m p
  for ((round = 0; round < rounds; ++round)); do
    for c in "${configs[@]}"; do
      read -r s m p < <(run_config "$c") || true
      [ -n "${p:-}" ] || { echo "no figures from $c" >&2; exit 1; }
      if [ -z "${secs[$c]:-}" ] || awk "BEGIN { exit !($s < ${secs[$c]}) }"; then
        secs[$c]=$s; mems[$c]=$m; cpus[$c]=$p
      fi
    done
  done
}
