#!/bin/sh
# Runs a command on an X display of its own. Xvfb picks a free display itself and tells
# which (-displayfd), so tests that run side by side never race for one.
set -u
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$dir"' EXIT
tries=0
while [ ! -s "$dir/display" ]; do
    if ! kill -0 $server 2>/dev/null || [ $tries -ge 100 ]; then
        echo "with_xvfb.sh: Xvfb did not start:" >&2
        cat "$dir/log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
done
DISPLAY=:$(cat "$dir/display") "$@"
