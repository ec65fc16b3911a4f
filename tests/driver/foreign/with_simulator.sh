#!/bin/sh
# Runs a command against qdkm-sim on com5, in a ports folder of its own:
#   with_simulator.sh QDKM_SIM COMMAND [ARG...]
set -eu
sim=$1
shift
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
pid=
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$XDG_CONFIG_HOME"
}
trap cleanup EXIT

"$sim" --port com5 >"$XDG_CONFIG_HOME/sim.log" 2>&1 &
pid=$!
link="$XDG_CONFIG_HOME/baslink/ports/com5"
tries=0
until [ -e "$link" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$pid" 2>/dev/null; then
        echo "qdkm-sim did not start:" >&2
        cat "$XDG_CONFIG_HOME/sim.log" >&2
        exit 1
    fi
    sleep 0.05
done
"$@"
