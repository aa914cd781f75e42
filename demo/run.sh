#!/usr/bin/env bash
# Starts fakeweb on the demo world, runs friendlinks through it, stops fakeweb.
#   demo/run.sh BUILD_DIR cli|gui
set -euo pipefail
build=${1:-build}
mode=${2:-cli}
here=$(cd "$(dirname "$0")" && pwd)

port_file=$(mktemp)
"$build/tests/fakeweb/fakeweb" "$here/world.json" --port 0 >"$port_file" &
fakeweb_pid=$!
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -f "$port_file"' EXIT
for _ in $(seq 1 100); do
  [ -s "$port_file" ] && break
  sleep 0.05
done
port=$(head -n 1 "$port_file")
[ -n "$port" ] || { echo "fakeweb did not start" >&2; exit 1; }

proxy="http://127.0.0.1:$port"
if [ "$mode" = gui ]; then
  "$build/friendlinks" --proxy "$proxy"
else
  echo "friendlinks check www.demo-home.com --proxy $proxy --timeout-ms 2000"
  "$build/friendlinks" check www.demo-home.com --proxy "$proxy" --timeout-ms 2000 "${@:3}"
fi
