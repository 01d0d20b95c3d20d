#!/usr/bin/env bash
# Usage: tools/web.sh [build]     builds the page into build-web/ and prints its path
#        tools/web.sh serve       builds it, then serves build-web/ on 127.0.0.1 (PORT, 8000)
# Installs what the browser build needs and is missing (Debian's emscripten, Node's acorn, and
# chromium for the page's tests), builds the unchanged sources with Emscripten into build-web/,
# and writes build-web/index.html: one self-contained page that works opened from disk or from any
# static web server. Extra arguments after the mode go to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-build}
[ $# -gt 0 ] && shift
case "$mode" in
    build | serve) ;;
    *) echo "usage: tools/web.sh [build|serve] [CMAKE ARGUMENTS...]" >&2; exit 2 ;;
esac

tools/install-packages.sh web
# Emscripten's JavaScript optimiser needs acorn, which Debian keeps among Node's system modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
log=$(mktemp)
if ! emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
fi
rm -f "$log"
cmake --build build-web -j "$(nproc)"
page=$(pwd)/build-web/index.html
echo "The page: $page"

if [ "$mode" = serve ]; then
    port=${PORT:-8000}
    echo "Serving build-web/ at http://127.0.0.1:$port/ (Ctrl+C stops it)"
    exec python3 -m http.server --bind 127.0.0.1 --directory build-web "$port"
fi
