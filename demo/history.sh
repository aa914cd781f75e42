#!/usr/bin/env bash
# Records ten days of checks of the demo site into a history of its own (each
# day's world from demo/history_days.py), then, under Xvfb, pictures the
# window's check of today (its 变化 column and the notes line) and the history
# view (历史…) of one of its rows.
#   demo/history.sh BUILD_DIR [WINDOW.png [HISTORY.png [ROW]]]
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
window_out=${2:-$here/../docs/screenshot-changes.png}
view_out=${3:-$here/../docs/screenshot-history.png}
row=${4:-0}
days=10
mkdir -p "$(dirname "$window_out")" "$(dirname "$view_out")"

. "$here/../tools/fakeweb/run.sh"
work=$(mktemp -d)
fakeweb_pid=""
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
history=$work/history.sqlite

python3 "$here/history_days.py" "$here/world.json" "$work" "$days"
for day in $(seq 0 $((days - 1))); do
  run_fakeweb "$build/tools/fakeweb/fakeweb" "$work/day$day.json" "$work/port"
  # A check with red cells exits 1; only a history that could not record (4) stops us.
  status=0
  "$build/friendlinks" check www.demo-home.com --proxy "$proxy" --timeout-ms 2000 --history "$history" >/dev/null || status=$?
  kill $fakeweb_pid; wait $fakeweb_pid 2>/dev/null || true
  [ $status -le 1 ] || { echo "day $day: friendlinks check exited $status" >&2; exit 1; }
done
# Each day's check back to its day: the n-th of ten ran 10 - n days ago.
python3 - "$history" "$days" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
ids = [r[0] for r in db.execute("SELECT id FROM check_run ORDER BY started_ms")]
for n, check in enumerate(ids):
    back = (int(sys.argv[2]) - n) * 86400000
    db.execute("UPDATE check_run SET started_ms = started_ms - ?, finished_ms = finished_ms - ? WHERE id = ?",
               (back, back, check))
db.commit()
PY

run_fakeweb "$build/tools/fakeweb/fakeweb" "$here/world.json" "$work/port"
config=$(mktemp -d -p "$work")
shoot() { # OUT HISTORY_COPY [ROW]
  cp "$history" "$2"
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_TIME LANG=zh_CN.UTF-8 XDG_CONFIG_HOME="$config" \
    FRIENDLINKS_HISTORY="$2" FRIENDLINKS_AUTOCHECK=www.demo-home.com FRIENDLINKS_SCREENSHOT="$1" \
    FRIENDLINKS_WINDOW_SIZE=1010x400 ${3:+FRIENDLINKS_HISTORY_ROW=$3} \
    xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    "$build/friendlinks" --proxy "$proxy"
}
shoot "$window_out" "$work/window.sqlite"
shoot "$view_out" "$work/view.sqlite" "$row"
echo "wrote $window_out and $view_out"
