# Sourced by the demo scripts: starts fakeweb on the demo world on a free port,
# sets $proxy to it and stops fakeweb when the script exits. Needs $build and $here.
port_file=$(mktemp)
"$build/tools/fakeweb/fakeweb" "$here/world.json" --port 0 >"$port_file" 2>/dev/null &
fakeweb_pid=$!
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -f "$port_file"' EXIT
for _ in $(seq 1 100); do
  [ -s "$port_file" ] && break
  sleep 0.05
done
port=$(head -n 1 "$port_file")
[ -n "$port" ] || { echo "fakeweb did not start" >&2; exit 1; }
proxy="http://127.0.0.1:$port"
