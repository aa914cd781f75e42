#!/usr/bin/env bash
# check_package.sh BUILD_DIR: checks the Debian package that `make package`
# built without installing it: unpacks it into a temporary folder, runs the
# unpacked program (--version, and a check of the demo world through fakeweb)
# and validates its desktop entry.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
deb=$(ls -t "$build"/friendlinks_*.deb | head -n 1)
echo "package: $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libqt6* ]] || { echo "Depends lacks the Qt libraries: $depends"; exit 1; }

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for f in usr/bin/friendlinks usr/share/applications/friendlinks.desktop usr/share/man/man1/friendlinks.1.gz \
         usr/share/icons/hicolor/16x16/apps/friendlinks.png usr/share/icons/hicolor/48x48/apps/friendlinks.png \
         usr/share/doc/friendlinks/copyright usr/share/doc/friendlinks/changelog.gz; do
  [ -e "$unpacked/$f" ] || { echo "missing from the package: /$f"; exit 1; }
done
desktop-file-validate "$unpacked/usr/share/applications/friendlinks.desktop"
[[ "$(dpkg-deb -f "$deb" Recommends)" == *fonts-arphic-uming* ]] || { echo "Recommends lacks a Song font"; exit 1; }
[ "$(zcat "$unpacked/usr/share/doc/friendlinks/changelog.gz" | sed -n '1s/^friendlinks (\([^)]*\)).*/\1/p')" = \
  "$(dpkg-deb -f "$deb" Version)" ] || { echo "the changelog's last entry is not the package's version"; exit 1; }
# Debian's own checks: warnings are shown, an error fails.
lintian --fail-on error --tag-display-limit 0 "$deb"
zcat "$unpacked/usr/share/man/man1/friendlinks.1.gz" | grep -q '^\.SH EXIT STATUS'

program="$unpacked/usr/bin/friendlinks"
[ "$("$program" --version)" = "friendlinks 8.0" ] || { echo "--version is not friendlinks 8.0"; exit 1; }

# The demo world through fakeweb, checked by the unpacked program.
here="$root/demo"
. "$here/fakeweb.sh"
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -f "$port_file"; rm -rf "$unpacked"' EXIT
out=$("$program" check www.demo-home.com --proxy "$proxy" --timeout-ms 2000 --format tsv --no-history)
printf '%s\n' "$out"
printf '%s\n' "$out" | grep -q $'^http://www.friend-linkback.com/\t' || { echo "the demo check lacks its rows"; exit 1; }
echo "package check: all good"
