#!/usr/bin/env bash
# Installs what building and running the program need and is missing (not the test tools), builds
# as ./test.sh does, and shows the program:
#   - with a display (DISPLAY set): runs build/orlavane in a window;
#   - without one: runs it for about two seconds on a private virtual display, saves
#     shots/world.png and, after pressing space, shots/clip-space.png, ends it with Esc, prints
#     the two paths and exits with the program's status.
set -euo pipefail
cd "$(dirname "$0")"

tools/build.sh
if [ -n "${DISPLAY:-}" ]; then
    exec build/orlavane
fi
echo "No display: running on a private virtual one and saving screenshots."
tools/install-packages.sh headless
exec tools/with-xvfb.sh tools/shots.sh build/orlavane shots
