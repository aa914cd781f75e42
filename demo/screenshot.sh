#!/usr/bin/env bash
# Opens the window under Xvfb on the demo world (through fakeweb), runs the
# check of the demo site and saves the finished window as docs/screenshot.png.
#   demo/screenshot.sh BUILD_DIR [OUT.png [WIDTHxHEIGHT [facts|sites|settings]]]   (a size resizes
#   the window, never below its designed size; "facts" shows the fact columns, "sites" pictures the
#   view of 检查多个网站… on four sites of the demo world, "settings" the 设置… dialog); SITE=… checks
#   another site of the demo world, and FRIENDLINKS_STOP_AFTER=K / FRIENDLINKS_PROBLEMS_ONLY=1 picture
#   a stopped check / the problem filter; BAIDU_BLOCK_FROM=N has Baidu answer its security check
#   from its Nth query on
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
out=${2:-$here/../docs/screenshot.png}
size=${3:-}
view=${4:-}
facts=""; sites=""; settings=""
case "$view" in
  facts) facts=1 ;;
  sites) sites="www.demo-home.com www.friend-linkback.com www.friend-image.net www.nonexist.com" ;;
  settings) settings=1 ;;
esac
mkdir -p "$(dirname "$out")"

world=""
if [ -n "${BAIDU_BLOCK_FROM:-}" ]; then
  world=$(mktemp --suffix=.json)
  python3 - "$here/world.json" "$world" "$BAIDU_BLOCK_FROM" <<'PY'
import json, sys
world = json.load(open(sys.argv[1], encoding="utf-8"))
world["host:www.baidu.com"] = {"from": int(sys.argv[3]),
                               "body": "<html><head><title>百度安全验证</title></head><body>请完成验证</body></html>"}
json.dump(world, open(sys.argv[2], "w", encoding="utf-8"), ensure_ascii=False)
PY
fi

. "$here/fakeweb.sh"

# A clean settings folder and history: the window draws as on a first start,
# never with the settings (such as modern mode) or the recorded checks (the
# 变化 column) of whoever runs this, and records nothing into theirs.
config=$(mktemp -d)
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -f "$port_file" ${world:+"$world"}; rm -rf "$config"' EXIT

# The engine's finished signal triggers the picture; the window then quits.
# The clock takes its form from a Chinese desktop's locale (Qt reads it from
# LANG even where the C library has not generated that locale).
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_TIME LANG=zh_CN.UTF-8 XDG_CONFIG_HOME="$config" \
  FRIENDLINKS_HISTORY="$config/history.sqlite" FRIENDLINKS_AUTOCHECK="${SITE:-www.demo-home.com}" FRIENDLINKS_SCREENSHOT="$out" FRIENDLINKS_WINDOW_SIZE="$size" \
  ${facts:+FRIENDLINKS_FACT_COLUMNS=1} ${settings:+FRIENDLINKS_SHOW_SETTINGS=1} \
  ${sites:+FRIENDLINKS_AUTOCHECK_SITES="$sites"} \
  xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
  "$build/friendlinks" --proxy "$proxy"
echo "wrote $out"
