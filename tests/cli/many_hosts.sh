#!/bin/sh
# many_hosts.sh FRIENDLINKS FAKEWEB: with only 256 open files allowed, a check
# of 1,000 friends on 1,000 hosts, and a batch of 400 sites, give every row
# right: connections to hosts no request needs any more are closed. fakeweb
# runs outside the limit, so only the checker's descriptors are counted.
set -eu
friendlinks=$1 fakeweb=$2
tmp=$(mktemp -d)
# Checks are recorded into a history of this run, never the user's own.
FRIENDLINKS_HISTORY=$tmp/history.sqlite; export FRIENDLINKS_HISTORY
awk 'BEGIN {
  printf "{\n"
  home = ""
  for (i = 0; i < 1000; i++) {
    printf "\"http://www.h%d.com/\": \"<a href=\\\"http://www.hub.com/\\\">hub</a>\",\n", i
    home = home sprintf("<a href=\\\"http://www.h%d.com/\\\">f</a>", i)
  }
  printf "\"http://www.hub.com/\": \"%s\"\n}\n", home
}' >"$tmp/world.json"
. "$(dirname "$0")/../../tools/fakeweb/run.sh"
fakeweb_pid=""
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -rf "$tmp"' EXIT
run_fakeweb "$fakeweb" "$tmp/world.json" "$tmp/port"

ulimit -n 256
"$friendlinks" check www.hub.com --proxy "$proxy" --format tsv >"$tmp/one.tsv"
rows=$(awk -F '\t' 'NR > 1 && $3 == "hub"' "$tmp/one.tsv" | wc -l)
echo "one site: $rows of 1000 rows found the link back"
[ "$rows" -eq 1000 ]

seq 0 399 | sed 's/^/www.h/; s/$/.com/' >"$tmp/sites"
"$friendlinks" check --sites "$tmp/sites" --proxy "$proxy" --format tsv >"$tmp/batch.tsv"
rows=$(awk -F '\t' 'NR > 1 && $2 == "http://www.hub.com/" && $4 == "f"' "$tmp/batch.tsv" | wc -l)
echo "batch: $rows of 400 sites read their friend's page"
[ "$rows" -eq 400 ]
