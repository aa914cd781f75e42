#!/usr/bin/env bash
# Starts fakeweb on the demo world, runs friendlinks through it, stops fakeweb.
#   demo/run.sh BUILD_DIR cli|gui
set -euo pipefail
build=${1:-build}
mode=${2:-cli}
here=$(cd "$(dirname "$0")" && pwd)

. "$here/fakeweb.sh"

if [ "$mode" = gui ]; then
  # The demo site in the box (press 查询); its checks go to a history of their own, not the user's.
  history=$(mktemp -d)
  trap 'kill $fakeweb_pid 2>/dev/null || true; rm -f "$port_file"; rm -rf "$history"' EXIT
  echo "friendlinks www.demo-home.com --proxy $proxy"
  FRIENDLINKS_HISTORY="$history/history.sqlite" "$build/friendlinks" www.demo-home.com --proxy "$proxy" "${@:3}"
else
  # The demo world is no site of the user's: its check is not recorded.
  echo "friendlinks check www.demo-home.com --proxy $proxy --timeout-ms 2000 --no-history"
  "$build/friendlinks" check www.demo-home.com --proxy "$proxy" --timeout-ms 2000 --no-history "${@:3}"
fi
