#!/usr/bin/env bash
# Usage: tests/memory_program.sh PATH/TO/orlavane PATH/TO/libframe_probe.so [FRAMES] [WINDOWS]
# Runs the real program on the display in DISPLAY with the frame probe preloaded, switching views
# every 2,500 frames, and shows that it does not leak: after a warm-up of 20,000 frames it reads
# the heap in use and the resident size at the ends of WINDOWS (9) windows of FRAMES (5,000)
# frames each, and looks at the median of the windows' growth.
#   - A leak grows in every window: losing even 16 bytes a frame (a 32-byte block) adds 156 KiB
#     per window, and one of the frame's three arrays about 400 KiB. The test fails when the median
#     window's heap in use grew by more than 32 KiB.
#   - Mesa's llvmpipe grows its heap now and then in a one-off step of up to 1 MiB (and sometimes
#     gives some back), and maps memory for new pipelines in steps of 512 KiB as the square passes
#     poses it has not drawn before, with nothing leaking. A step lands in one window; it would
#     take steps in five of the nine windows to move the median.
#   - The resident size fails the same way, when the median window grew by more than 256 KiB.
set -u
source "$(dirname "$0")/../tools/window-lib.sh"

program=$1
counter=$2
frames=${3:-5000}
windows=${4:-9}
begin_session

start_program /dev/null /dev/null env LD_PRELOAD="$counter" ORLAVANE_FRAME_COUNT_FILE="$frame_file" \
    "$program" || fail "no window appeared"
# run_frames N: waits for N more frames, pressing space every 2,500.
run_frames() {
    local target=$(($(frames_drawn) + $1)) next
    while [ "$(frames_drawn)" -lt "$target" ]; do
        next=$(($(frames_drawn) + 2500))
        wait_for 120 frames_at_least "$next" || fail "the frames stopped coming"
        key space
    done
}

run_frames 20000
heap_growths=()
resident_growths=()
last_heap=$(heap_kib)
last_kib=$(resident_kib)
echo "after $(frames_drawn) frames: heap in use ${last_heap} KiB, resident ${last_kib} KiB"
for _ in $(seq "$windows"); do
    run_frames "$frames"
    heap=$(heap_kib)
    kib=$(resident_kib)
    heap_growths+=($((heap - last_heap)))
    resident_growths+=($((kib - last_kib)))
    echo "after $(frames_drawn) frames: heap in use ${heap} KiB (${heap_growths[-1]}), resident ${kib} KiB (${resident_growths[-1]})"
    last_heap=$heap
    last_kib=$kib
done
end_program
status=$?

median() { printf '%s\n' "$@" | sort -n | sed -n "$(($# / 2 + 1))p"; }
heap_median=$(median "${heap_growths[@]}")
resident_median=$(median "${resident_growths[@]}")
echo "median growth per window of $frames frames: heap in use ${heap_median} KiB, resident ${resident_median} KiB"
[ "$status" -eq 0 ] || fail "exit status $status"
[ "$heap_median" -le 32 ] || fail "heap in use grew by ${heap_median} KiB in the median window: a leak"
[ "$resident_median" -le 256 ] || fail "resident memory grew by ${resident_median} KiB in the median window: a leak"
echo "PASS"
