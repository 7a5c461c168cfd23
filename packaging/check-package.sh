#!/usr/bin/env bash
# Checks a Fotoloom Debian package as a user meets it: the desktop entry and the
# AppStream metadata validate, lintian reports no error, the dependencies are
# there, and the programs unpacked from it (dpkg -x into a temporary folder) run:
# fotoloom-cli --version, fotoloom-cli run over the sample photos, and the wizard
# starting offscreen (it writes its colour preview into the per-user data folder,
# never beside itself) and quitting when asked to.
#   usage: packaging/check-package.sh FOTOLOOM.deb PHOTO_FOLDER
set -euo pipefail
deb=$1
photos=$2
work=$(mktemp -d)
wizard=
cleanup() {
  [ -z "$wizard" ] || kill "$wizard" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package check: $*" >&2; exit 1; }

echo "== contents"
dpkg-deb --contents "$deb" | awk '{print $NF}'
root=$work/root
dpkg -x "$deb" "$root"
for f in usr/bin/fotoloom usr/bin/fotoloom-cli usr/share/fotoloom/manual.html \
         usr/share/applications/org.fotoloom.Fotoloom.desktop \
         usr/share/metainfo/org.fotoloom.Fotoloom.metainfo.xml \
         usr/share/icons/hicolor/48x48/apps/fotoloom.png usr/share/icons/hicolor/64x64/apps/fotoloom.png \
         usr/share/icons/hicolor/128x128/apps/fotoloom.png usr/share/icons/hicolor/256x256/apps/fotoloom.png \
         usr/share/icons/hicolor/scalable/apps/fotoloom.svg \
         usr/share/man/man1/fotoloom.1.gz usr/share/man/man1/fotoloom-cli.1.gz \
         usr/share/bash-completion/completions/fotoloom-cli \
         usr/share/doc/fotoloom/copyright usr/share/doc/fotoloom/changelog.gz \
         usr/share/fotoloom/screenshots/step1.png usr/share/fotoloom/screenshots/step6.png; do
  [ -s "$root/$f" ] || fail "missing /$f"
done
zcat "$root/usr/share/man/man1/fotoloom-cli.1.gz" | grep -q 'elements' || fail "the man page of fotoloom-cli lacks its options"
# Every synopsis of --help is one synopsis of the man page, and each group of --set keys one line.
synopses=$(zcat "$root/usr/share/man/man1/fotoloom-cli.1.gz" | sed -n '/^\.SH SYNOPSIS/,/^\.SH /p' | grep -c '^\.B fotoloom-cli$')
[ "$synopses" -eq "$("$root/usr/bin/fotoloom-cli" --help | grep -c '^  fotoloom-cli ')" ] ||
  fail "the man page of fotoloom-cli breaks its synopses ($synopses)"
zcat "$root/usr/share/man/man1/fotoloom-cli.1.gz" | grep -q '^InputPath OutputPath .* Title$' ||
  fail "the man page of fotoloom-cli breaks the list of text keys"
grep -qx 'StartupWMClass=Fotoloom' "$root/usr/share/applications/org.fotoloom.Fotoloom.desktop" ||
  fail "the desktop entry does not name the window's class"

echo "== dependencies"
depends=$(dpkg-deb --field "$deb" Depends)
echo "$depends"
for d in fonts-liberation xdg-utils libc6 libqt6widgets6 libqt6network6 libjpeg62-turbo libexiv2-27 liblcms2-2 libheif1 libpng16-16 libwebp7 libwebpdemux2 libzip4; do
  grep -Eq "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d"
done
[ "$(dpkg-deb --field "$deb" Recommends)" = "bash-completion" ] || fail "Recommends is not bash-completion"

echo "== desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/org.fotoloom.Fotoloom.desktop"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.fotoloom.Fotoloom.metainfo.xml"
echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb"

echo "== the programs unpacked from the package"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
"$root/usr/bin/fotoloom-cli" --version | grep -Eq '^fotoloom-cli [0-9]' || fail "fotoloom-cli --version"
"$root/usr/bin/fotoloom-cli" run --input "$photos" --output "$work/gallery" --yes --quiet
[ -s "$work/gallery/page1.htm" ] || fail "fotoloom-cli run wrote no first page"
[ "$(find "$work/gallery" -name 't_*.jpg' | wc -l)" -eq "$(find "$photos" -maxdepth 1 -iname '*.jp*g' | wc -l)" ] ||
  fail "fotoloom-cli run did not write a thumbnail of every photo"

QT_QPA_PLATFORM=offscreen "$root/usr/bin/fotoloom" &
wizard=$!
preview=$XDG_DATA_HOME/Fotoloom/preview.html
for _ in $(seq 300); do
  [ -s "$preview" ] && break
  kill -0 "$wizard" 2>/dev/null || fail "the wizard ended before it showed its window"
  sleep 0.1
done
[ -s "$preview" ] || fail "the wizard did not show its window within 30 s"
kill -TERM "$wizard"
status=0
wait "$wizard" || status=$?
wizard=
[ "$status" -eq 0 ] || [ "$status" -eq 143 ] || fail "the wizard did not quit on SIGTERM (status $status)"
[ ! -e "$root/usr/bin/preview.html" ] || fail "the wizard wrote beside itself"
echo "package check: all passed"
