#!/usr/bin/env bash
# Scores galleries of the corpus with Lighthouse (mobile) in Debian's Chromium, served by a static server on 127.0.0.1.
#   usage: bench/lighthouse.sh        (corpus cached in ${FOTOLOOM_CORPUS:-~/.cache/fotoloom/corpus})
# Builds fotoloom-cli in build/ (or takes FOTOLOOM_CLI), makes the corpus with
# make_corpus.sh when it is missing, installs the Lighthouse pinned by
# bench/package.json and package-lock.json (npm ci) when it is missing, and
# makes two galleries of the corpus: the responsive template set with every
# option of the screens this fotoloom-cli knows switched on (sharp
# thumbnails, WebP copies, the ZIP), and the classic set with the start-up
# settings. For each it scores the first thumbnail page and the middle image
# page, and for the responsive set also the first page of an album (the
# corpus laid out as a tree of albums: a third of the photos on top, a third
# in "2024", the rest in "2024/Rome"; the page of "2024" shows the path up,
# the table of its sub-album and its own photos), mobile,
# ${FOTOLOOM_LIGHTHOUSE_RUNS:-3} times each, and prints the four scores
# (performance, accessibility, best practices, SEO) and every audit that
# does not pass of the run with the median performance score: on
# a loaded machine the performance score moves by several points from run to
# run (the other three do not). FOTOLOOM_LIGHTHOUSE_SCREENS=off
# makes the responsive gallery without those options. The reports go to
# ${FOTOLOOM_LIGHTHOUSE_OUT:-build/lighthouse}/*.json, outside git.
# The targets for the responsive set: performance at least 98, the other
# three 100, on each page. The classic set has none.
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"

# Node and npm run Lighthouse; like the benchmark's other tools they are
# installed here (Debian's nodejs and npm) when missing, not by the test
# command. A node that brings its own npm is used as it is.
command -v node >/dev/null || "$top/scripts/apt-install-missing.sh" nodejs
command -v npm >/dev/null || "$top/scripts/apt-install-missing.sh" npm
[ -x "${FOTOLOOM_CHROMIUM:-/usr/bin/chromium}" ] || "$top/scripts/apt-install-missing.sh" chromium
chromium=${FOTOLOOM_CHROMIUM:-/usr/bin/chromium}
[ -x "$chromium" ] || { echo "no Chromium at $chromium (set FOTOLOOM_CHROMIUM)" >&2; exit 2; }
lighthouse=$top/bench/node_modules/.bin/lighthouse
if [ ! -x "$lighthouse" ]; then
  (cd "$top/bench" && npm ci --no-audit --no-fund >/dev/null)
fi
if [ -n "${FOTOLOOM_CLI:-}" ]; then cli=$FOTOLOOM_CLI; else build_cli; fi
out=${FOTOLOOM_LIGHTHOUSE_OUT:-$build/lighthouse}
mkdir -p "$out"

work=$(mktemp -d /tmp/lighthouse_bench.XXXXXX)
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The options of the screens, each only when this fotoloom-cli knows its key
# (FOTOLOOM_LIGHTHOUSE_SCREENS=off leaves them all off).
screen_options=()
for key in Thumbnails2x WebP Zip; do
  [ "${FOTOLOOM_LIGHTHOUSE_SCREENS:-on}" != off ] || break
  if "$cli" --help | grep -q "\b$key\b"; then screen_options+=(--set "$key=yes"); fi
done

mkdir -p "$work/site"
"$cli" defaults --templates responsive "$work/responsive.fl" >/dev/null
"$cli" defaults "$work/classic.fl" >/dev/null
"$cli" run "$work/responsive.fl" --input "$corpus" --output "$work/site/responsive" --yes --quiet \
  "${screen_options[@]}" >/dev/null
"$cli" run "$work/classic.fl" --input "$corpus" --output "$work/site/classic" --yes --quiet >/dev/null

# The album tree, of hard links where the file system allows them.
photos=("$corpus"/*.jpg)
third=$(((${#photos[@]} + 2) / 3))
mkdir -p "$work/albums/2024/Rome"
for i in "${!photos[@]}"; do
  if ((i < third)); then dir=$work/albums; elif ((i < 2 * third)); then dir=$work/albums/2024; else dir=$work/albums/2024/Rome; fi
  ln "${photos[$i]}" "$dir/" 2>/dev/null || cp "${photos[$i]}" "$dir/"
done
"$cli" run "$work/responsive.fl" --input "$work/albums" --output "$work/site/albums" --yes --quiet --albums \
  "${screen_options[@]}" >/dev/null

# The static server, on a port the system picks.
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/site" >"$work/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/server.log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the static server did not start" >&2; exit 1; }

count=$(ls "$work/site/classic"/image*.htm | wc -l)
middle=$(((count + 1) / 2))

runs=${FOTOLOOM_LIGHTHOUSE_RUNS:-3}

# score name url: $runs Lighthouse runs, each in a fresh profile; the report
# of the median one by performance is kept as name.json and summed up.
score() {
  local name=$1 url=$2 profile run
  for ((run = 1; run <= runs; ++run)); do
    profile=$(mktemp -d "$work/profile.XXXXXX")
    CHROME_PATH=$chromium "$lighthouse" "$url" --quiet --output=json --output-path="$work/$name.$run.json" \
      --only-categories=performance,accessibility,best-practices,seo --form-factor=mobile \
      --chrome-flags="--headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
--disable-background-networking --disable-component-update --disable-sync --user-data-dir=$profile" >/dev/null
  done
  node -e '
    const fs = require("fs");
    const reports = process.argv.slice(2, -1).map((f) => [f, JSON.parse(fs.readFileSync(f))]);
    reports.sort((a, b) => a[1].categories.performance.score - b[1].categories.performance.score);
    fs.copyFileSync(reports[(reports.length - 1) >> 1][0], process.argv[process.argv.length - 1]);
  ' "$work/$name".*.json "$out/$name.json"
  node -e '
    const r = require(process.argv[1]);
    const c = r.categories;
    const pct = (k) => Math.round(c[k].score * 100);
    console.log(`${process.argv[2].padEnd(22)} performance ${pct("performance")}  accessibility ${pct("accessibility")}  best practices ${pct("best-practices")}  SEO ${pct("seo")}`);
    const counted = new Set();
    for (const k of Object.keys(c)) for (const ref of c[k].auditRefs) counted.add(ref.id);
    for (const id of counted) {
      const a = r.audits[id];
      if (!a || a.score === null || a.score >= 1) continue;
      if (["notApplicable", "informative", "manual"].includes(a.scoreDisplayMode)) continue;
      console.log(`    fails ${id}: ${a.title}${a.displayValue ? " (" + a.displayValue + ")" : ""}`);
    }' "$out/$name.json" "$name"
}

echo "Lighthouse $("$lighthouse" --version), $("$chromium" --version 2>/dev/null), $count photos, mobile, median of $runs runs"
echo "responsive set${screen_options[*]:+ with ${screen_options[*]}}:"
score responsive-thumbs "http://127.0.0.1:$port/responsive/page1.htm"
score responsive-image "http://127.0.0.1:$port/responsive/image$middle.htm"
score responsive-album "http://127.0.0.1:$port/albums/2024/page1.htm"
echo "classic set:"
score classic-thumbs "http://127.0.0.1:$port/classic/page1.htm"
score classic-image "http://127.0.0.1:$port/classic/image$middle.htm"
