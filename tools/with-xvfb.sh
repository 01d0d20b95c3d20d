#!/usr/bin/env bash
# Usage: tools/with-xvfb.sh COMMAND [ARG...]
# Runs COMMAND on a private virtual X display (Xvfb, 1024x768, 24-bit) that exists only for it,
# and exits with COMMAND's status. The display number is the first free one, so several of these
# can run side by side; nothing appears on the user's own desktop.
set -u

fdfile=$(mktemp)
trap 'rm -f "$fdfile"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" 2>/dev/null &
xvfb=$!

for _ in $(seq 200); do
    [ -s "$fdfile" ] && break
    if ! kill -0 "$xvfb" 2>/dev/null; then
        echo "error: Xvfb did not start" >&2
        exit 1
    fi
    sleep 0.05
done
if [ ! -s "$fdfile" ]; then
    echo "error: Xvfb gave no display number" >&2
    kill "$xvfb" 2>/dev/null
    exit 1
fi

DISPLAY=":$(head -n 1 "$fdfile")" "$@"
status=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
