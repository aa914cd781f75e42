#!/usr/bin/env bash
# Opens the window under Xvfb on the demo world (through fakeweb), runs the
# check of the demo site and saves the finished window as docs/screenshot.png.
#   demo/screenshot.sh BUILD_DIR [OUT.png]
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
out=${2:-$here/../docs/screenshot.png}
mkdir -p "$(dirname "$out")"

port_file=$(mktemp)
"$build/tests/fakeweb/fakeweb" "$here/world.json" --port 0 >"$port_file" 2>/dev/null &
fakeweb_pid=$!
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -f "$port_file"' EXIT
for _ in $(seq 1 100); do
  [ -s "$port_file" ] && break
  sleep 0.05
done
port=$(head -n 1 "$port_file")
[ -n "$port" ] || { echo "fakeweb did not start" >&2; exit 1; }

# The engine's finished signal triggers the picture; the window then quits.
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  FRIENDLINKS_AUTOCHECK=www.demo-home.com FRIENDLINKS_SCREENSHOT="$out" \
  xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
  "$build/friendlinks" --proxy "http://127.0.0.1:$port"
echo "wrote $out"
