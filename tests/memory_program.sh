#!/usr/bin/env bash
# Usage: tests/memory_program.sh PATH/TO/orlavane PATH/TO/libframe_probe.so [FRAMES]
# Runs the real program on the display in DISPLAY with the frame probe preloaded, switching
# views every 2,500 frames, and shows that its memory stays flat over FRAMES frames (20,000 by
# default) after a warm-up of 20,000:
#   - heap in use, which holds every array the program makes, may grow by at most 64 KiB; leaking
#     just one of the three arrays of each frame would add about 1.5 MiB;
#   - the resident size may grow by at most 2 MiB. Mesa's llvmpipe maps memory for its compiled
#     pipelines in steps of 512 KiB as the square passes through poses it has not drawn before,
#     outside the heap: here 1.6 MiB in the first 15,000 frames, and now and then a step or two
#     later.
set -u
source "$(dirname "$0")/../tools/window-lib.sh"

program=$1
counter=$2
frames=${3:-20000}
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
start_frames=$(frames_drawn)
start_kib=$(resident_kib)
start_heap=$(heap_kib)
run_frames "$frames"
end_frames=$(frames_drawn)
end_kib=$(resident_kib)
end_heap=$(heap_kib)
end_program
status=$?

growth=$((end_kib - start_kib))
echo "resident memory: ${start_kib} KiB after ${start_frames} frames, ${end_kib} KiB after ${end_frames} frames (growth ${growth} KiB over $((end_frames - start_frames)) frames)"
echo "heap in use: ${start_heap} KiB after ${start_frames} frames, ${end_heap} KiB after ${end_frames} frames"
[ "$status" -eq 0 ] || fail "exit status $status"
[ "$growth" -le 2048 ] || fail "resident memory grew by ${growth} KiB"
[ $((end_heap - start_heap)) -le 64 ] || fail "heap in use grew by $((end_heap - start_heap)) KiB"
echo "PASS"
