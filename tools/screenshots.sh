#!/usr/bin/env bash
# Makes the README's pictures from the real program, on a private virtual display:
#   docs/tumble.gif      frames 150, 153, ..., 507 of the world view: one full turn of the spin;
#   docs/world.png       frame 333 of the world view;
#   docs/clip-space.png  frame 333 of the clip-space view.
# The camera is first turned by a drag of (40, 30) pixels, so that the frustum shows its depth.
# Frames are read from the program's back buffer by the preloaded frame probe
# (tests/frame_probe.cpp), which also slows the program to about 50 frames a second so that the
# drag and the space key land long before frame 150: the pictures are the same on every run.
# Installs what it needs and builds first, as ./test.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${ORLAVANE_ON_PRIVATE_DISPLAY:-}" ]; then
    tools/install-packages.sh run headless test
    tools/build.sh >/dev/null
    ORLAVANE_ON_PRIVATE_DISPLAY=1 exec tools/with-xvfb.sh "$0" "$@"
fi

source tools/window-lib.sh
begin_session

# record DIR FRAMES [KEY...]: runs the program, turns the camera, presses the keys, and saves
# the frames named by FRAMES ("FIRST COUNT STEP") in DIR.
record() {
    local dir=$1 frames=$2 last
    shift 2
    mkdir -p "$dir"
    frame_file="$dir/count"
    start_program /dev/null /dev/null env LD_PRELOAD="$PWD/build/tests/libframe_probe.so" \
        ORLAVANE_FRAME_DELAY_US=20000 ORLAVANE_FRAME_COUNT_FILE="$frame_file" \
        ORLAVANE_DUMP_DIR="$dir" ORLAVANE_DUMP_FRAMES="$frames" build/orlavane ||
        die "the program's window did not appear"
    # One press, one move, one release: a single motion event, so the angles are the same each run.
    xdotool mousemove $((window_x + 100)) $((window_y + 100)) mousedown 1 \
        mousemove $((window_x + 140)) $((window_y + 130)) mouseup 1 2>/dev/null
    [ $# -gt 0 ] && key "$@"
    frames_at_least 150 && die "the drag came too late"
    read -r first count step <<<"$frames"
    last=$((first + (count - 1) * step))
    wait_for 120 frames_at_least $((last + 250)) || die "the program stopped drawing"
    end_program || die "the program did not end cleanly on Esc"
}

record "$shot_dir/world" "150 120 3"
record "$shot_dir/clip" "333 1 1" space

mkdir -p docs
# Without dates in them, the files are the same byte for byte on every run.
convert "$shot_dir/world/frame-00333.ppm" -strip -define png:exclude-chunk=date,time docs/world.png
convert "$shot_dir/clip/frame-00333.ppm" -strip -define png:exclude-chunk=date,time docs/clip-space.png
convert -delay 4 -loop 0 "$shot_dir/world"/frame-*.ppm -layers Optimize docs/tumble.gif
chmod 644 docs/world.png docs/clip-space.png docs/tumble.gif
ls -l docs/world.png docs/clip-space.png docs/tumble.gif
