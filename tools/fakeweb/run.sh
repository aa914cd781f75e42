# Sourced by the scripts that need the test web (demo, tests, package checks).
# run_fakeweb FAKEWEB WORLD PORT_FILE [LOG_FILE]: starts fakeweb on WORLD on a
# free port in the background and waits until it listens; sets $fakeweb_pid
# and $proxy (http://127.0.0.1:PORT). The caller stops it (kill $fakeweb_pid).
run_fakeweb() {
  # A port file left by an earlier run would be read before this one empties it.
  rm -f "$3"
  "$1" "$2" --port 0 >"$3" 2>"${4:-/dev/null}" &
  fakeweb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$3" ] && break
    sleep 0.05
  done
  fakeweb_port=$(head -n 1 "$3")
  [ -n "$fakeweb_port" ] || { echo "fakeweb did not start" >&2; return 1; }
  proxy="http://127.0.0.1:$fakeweb_port"
}
