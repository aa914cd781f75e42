# Sourced by the demo scripts: starts fakeweb on the demo world on a free port,
# sets $proxy to it and stops fakeweb when the script exits. Needs $build and $here;
# $world, when set, is another world file (the demo world changed for one picture).
. "$here/../tools/fakeweb/run.sh"
port_file=$(mktemp)
fakeweb_pid=""
trap 'kill $fakeweb_pid 2>/dev/null || true; rm -f "$port_file"' EXIT
run_fakeweb "$build/tools/fakeweb/fakeweb" "${world:-$here/world.json}" "$port_file" || exit 1
