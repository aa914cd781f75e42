#!/bin/sh
# sites_from_pipe.sh FRIENDLINKS FAKEWEB WORLD: sites piped into `check --sites -`
# are all checked, one JSON line each, and fakeweb's log never shows more than
# two Baidu queries open at once across the sites.
set -eu
friendlinks=$1 fakeweb=$2 world=$3
tmp=$(mktemp -d)
# Checks are recorded into a history of this run, never the user's own.
FRIENDLINKS_HISTORY=$tmp/history.sqlite; export FRIENDLINKS_HISTORY
. "$(dirname "$0")/../../tools/fakeweb/run.sh"
fakeweb_pid=""
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -rf "$tmp"' EXIT
run_fakeweb "$fakeweb" "$world" "$tmp/port" "$tmp/log"
printf '# my sites\nwww.s0.com\n\n  www.s1.com\nwww.s2.com\n' |
  "$friendlinks" check --sites - --proxy "$proxy" --format jsonl >"$tmp/out"
cat "$tmp/out"
[ "$(wc -l <"$tmp/out")" -eq 3 ] || { echo "expected 3 lines"; exit 1; }
for site in www.s0.com www.s1.com www.s2.com; do
  grep -q "^{\"site\": \"$site\", \"mode\": \"classic\", \"rows\": \[" "$tmp/out" || { echo "no line for $site"; exit 1; }
done
most=$(awk '/^fakeweb: http:\/\/www\.baidu\.com\// { open++; if (open > most) most = open }
            /^fakeweb: answered http:\/\/www\.baidu\.com\// { open-- }
            END { print most + 0 }' "$tmp/log")
queries=$(grep -c '^fakeweb: http://www\.baidu\.com/' "$tmp/log")
echo "Baidu queries: $queries, most at once: $most"
[ "$queries" -eq 9 ] && [ "$most" -eq 2 ]
