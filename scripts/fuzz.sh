#!/usr/bin/env bash
# Opt-in fuzzing: installs clang and libFuzzer when missing, builds the fuzz
# targets with ASan+UBSan (build-fuzz/) and runs each for a while.
#   usage: scripts/fuzz.sh [seconds per target, default 60] [target ...]
# Each target starts from tests/data/fuzz/<name>/ and keeps its growing corpus
# in build-fuzz/corpus/<name>/. A finding stops the script with a non-zero
# status; the input is left in build-fuzz/findings/. Copy it into
# tests/data/fuzz/<name>/ so the default test suite replays it for good.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_FUZZ_DIR:-$top/build-fuzz}
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings_file template jpeg_decode update_state photo_metadata png_decode webp_decode heif_decode)

"$top/scripts/apt-install-missing.sh" clang-14 libclang-rt-14-dev

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 \
  -DFOTOLOOM_FUZZ=ON -DFOTOLOOM_SANITIZE=ON -DBUILD_TESTING=OFF \
  -DFOTOLOOM_BUILD_GUI=OFF -DFOTOLOOM_BUILD_BENCH=OFF >/dev/null

mkdir -p "$build/findings"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
# Leaks inside the decoding libraries themselves are not findings of ours.
export LSAN_OPTIONS=suppressions=$top/tests/lsan-suppressions.txt
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for t in "${targets[@]}"; do
  exe=${t}_fuzzer
  if ! cmake --build "$build" -j 2 --target "$exe" >/dev/null 2>"$build/$exe.build.log"; then
    if grep -q "No rule to make target" "$build/$exe.build.log"; then
      echo "== $t: no such fuzz target in this tree, skipped"; continue
    fi
    cat "$build/$exe.build.log" >&2; exit 1
  fi
  mkdir -p "$build/corpus/$t"
  echo "== $t: ${seconds}s"
  status=0
  "$build/fuzz/$exe" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/findings/$t-" -print_final_stats=1 \
    "$build/corpus/$t" "$top/tests/data/fuzz/$t" >"$build/$exe.log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|Test unit written)' "$build/$exe.log" || true
  if [ "$status" -ne 0 ]; then echo "== $t: FINDING (log $build/$exe.log, input in $build/findings/)" >&2; exit 1; fi
done
echo "== no findings"
