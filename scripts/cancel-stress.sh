#!/usr/bin/env bash
# Opt-in stress test: interrupts 200-image runs of fotoloom-cli (built with
# ASan+UBSan, the "asan" preset) with SIGINT at random moments and checks each
# time that the runner neither crashed nor reported a sanitizer finding or a
# leak, and that no file under a final name is half written: every page ends
# with "</html>", every JPEG decodes without a warning, no temporary is left.
# Then cancels and closes the wizard (offscreen) as often at spread moments.
#   usage: scripts/cancel-stress.sh [rounds, default 100] [images, default 200]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FOTOLOOM_ASAN_DIR:-$top/build-asan}
rounds=${1:-100}
images=${2:-200}

command -v cjpeg >/dev/null && command -v djpeg >/dev/null || { echo "needs cjpeg and djpeg (libjpeg-turbo-progs)" >&2; exit 2; }
cmake --preset asan -S "$top" >/dev/null
cmake --build "$build" -j 2 --target fotoloom-cli >/dev/null
cli=$(find "$build" -name fotoloom-cli -type f -perm -u+x | head -n 1)
[ -n "$cli" ] || { echo "fotoloom-cli was not built" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in"
# One noisy 400 x 300 photo, copied under 200 names (the work is per name).
{ printf 'P6\n400 300\n255\n'; head -c $((400 * 300 * 3)) /dev/urandom; } >"$work/noise.ppm"
cjpeg -quality 85 "$work/noise.ppm" >"$work/photo.jpg"
for i in $(seq -w 1 "$images"); do cp "$work/photo.jpg" "$work/in/IMG_$i.jpg"; done

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run() { "$cli" run --input "$work/in" --output "$work/out" --yes --quiet; }

# How long a whole run takes sets the range of the random moments.
start=$(date +%s%N); run; whole_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "a whole run takes ${whole_ms} ms; interrupting ${rounds} runs at random moments"

failures=0
fail() { echo "round $1: $2" >&2; failures=$((failures + 1)); }
for round in $(seq 1 "$rounds"); do
  rm -rf "$work/out"
  run 2>"$work/stderr" &
  pid=$!
  sleep "$(awk -v ms=$((RANDOM % (whole_ms + 1))) 'BEGIN { printf "%.3f", ms / 1000 }')"
  kill -INT "$pid" 2>/dev/null || true
  status=0; wait "$pid" || status=$?
  [ "$status" -eq 0 ] || [ "$status" -eq 130 ] || fail "$round" "exit status $status"
  grep -q 'Sanitizer\|runtime error' "$work/stderr" && fail "$round" "$(grep -m1 'Sanitizer\|runtime error' "$work/stderr")"
  [ -d "$work/out" ] || continue
  leftovers=$(find "$work/out" -name '*.tmp' | wc -l)
  [ "$leftovers" -eq 0 ] || fail "$round" "$leftovers temporary files left"
  for page in "$work/out"/*.htm; do
    [ -e "$page" ] || continue
    tail -c 16 "$page" | grep -q '</html>' || fail "$round" "half-written page $(basename "$page")"
  done
  for jpeg in "$work/out"/[tnb]_*; do
    [ -e "$jpeg" ] || continue
    djpeg "$jpeg" 2>"$work/djpeg" >/dev/null && [ ! -s "$work/djpeg" ] || fail "$round" "damaged image $(basename "$jpeg")"
  done
done
echo "fotoloom-cli: $rounds rounds, $failures failures"

# The wizard on the offscreen platform: cancel and close, rounds times each.
gui_status=0
if cmake --build "$build" -j 2 --target app_Un_Utama_load_test >/dev/null 2>&1; then
  QT_QPA_PLATFORM=offscreen FOTOLOOM_STRESS_ROUNDS=$rounds "$build/tests/app/app_Un_Utama_load_test" \
    >"$work/gui.log" 2>&1 || gui_status=$?
  grep -E '^(PASS|FAIL|Totals)|Sanitizer' "$work/gui.log" || true
else
  echo "wizard: not built here (no Qt 6), skipped"
fi
[ "$failures" -eq 0 ] && [ "$gui_status" -eq 0 ]
