#!/usr/bin/env bash
# Opens the Windows build's window under Wine and Xvfb on the demo world
# (through the Linux fakeweb), runs the check of the demo site and saves the
# finished window as a picture; like demo/screenshot.sh on Linux.
#   screenshot.sh OUT.png      (BUILD: the Linux build, WIN_BUILD: the Windows one)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(realpath -m "$1")
cd "$root"
. packaging/windows/env.sh
build=$(cd "${BUILD:-build}" && pwd)
win=$(cd "${WIN_BUILD:-build-win}" && pwd)
program=$win/friendlinks.exe
[ -f "$win/package/friendlinks/friendlinks.exe" ] && program=$win/package/friendlinks/friendlinks.exe
find_win_prefix >/dev/null
setup_wine
mkdir -p "$(dirname "$out")"
rm -f "$out"

here=$root/demo
. "$here/fakeweb.sh"
# A first start: no settings the prefix's earlier runs left (the window's size,
# sort, filter ...) and a history of its own, so no 变化 column from them.
history=$(mktemp -d)
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -f "$port_file"; rm -rf "$history"; "$wineserver" -k 2>/dev/null || true' EXIT
find "$WINEPREFIX/drive_c/users" -path '*/friendlinks/friendlinks.ini' -delete 2>/dev/null || true

# Wine takes its Windows locale (and so the clock's form) from LANG when its
# server starts: a server left from offscreen runs goes first.
"$wineserver" -k 2>/dev/null || true
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_TIME LANG=zh_CN.UTF-8 \
  WINEPATH="$(winpath "$win_prefix/bin");$(winpath "$win_prefix/runtime")" \
  FRIENDLINKS_HISTORY="$(winpath "$history/history.sqlite")" \
  FRIENDLINKS_AUTOCHECK=www.demo-home.com FRIENDLINKS_SCREENSHOT="$(winpath "$out")" \
  timeout 180 xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
  "$wine" "$program" --proxy "$proxy"
[ -s "$out" ] || { echo "the window wrote no picture" >&2; exit 1; }
echo "wrote $out"
