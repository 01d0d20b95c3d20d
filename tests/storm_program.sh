#!/usr/bin/env bash
# Usage: tests/storm_program.sh PATH/TO/orlavane PATH/TO/libframe_probe.so [SECONDS] [SEED]
# Survival under a storm of input, on the display in DISPLAY: for SECONDS (20 by default) the real
# program gets random keys (space, backslash and keys that do nothing), mouse buttons pressed and
# released out of order, drags, and window sizes from 1 x 1 to 600 x 600. Afterwards it must be
# alive, still drawing new frames and a picture with the frustum in it, and end on Esc with
# status 0; and its memory must not have grown. A first storm of half the time warms Mesa up; over
# the second, heap in use may grow by at most 256 KiB and the resident size by at most 8 MiB (the
# allocator keeps some of what Mesa frees while the window size churns).
set -u
source "$(dirname "$0")/../tools/window-lib.sh"

program=$1
counter=$2
seconds=${3:-20}
seed=${4:-$$}
RANDOM=$seed
echo "seed $seed"
begin_session

keys=(space backslash space backslash a Z 1 Return Tab BackSpace F1 Left Up Delete Shift_L Control_L
      bracketright slash quotedbl 0x5c)

random_point() { echo "$((window_x + RANDOM % 300 - 20)) $((window_y + RANDOM % 300 - 20))"; }

storm_action() {
    case $((RANDOM % 6)) in
    0) key "${keys[RANDOM % ${#keys[@]}]}" ;;
    1) xdotool mousemove $(random_point) mousedown $((RANDOM % 5 + 1)) 2>/dev/null ;;
    2) xdotool mousemove $(random_point) mouseup $((RANDOM % 5 + 1)) 2>/dev/null ;;
    3) xdotool mousemove $(random_point) mousedown 1 mousemove $(random_point) mousemove $(random_point) \
           mouseup 1 2>/dev/null ;;
    4) xdotool windowsize "$window" $((RANDOM % 600 + 1)) $((RANDOM % 600 + 1)) 2>/dev/null ;;
    5) xdotool windowsize "$window" 1 1 2>/dev/null ;;
    esac
}

start_program "$shot_dir/stdout" "$shot_dir/stderr" \
    env LD_PRELOAD="$counter" ORLAVANE_FRAME_COUNT_FILE="$frame_file" "$program" || fail "no window appeared"
wait_for 60 frames_at_least 5000 || fail "fewer than 5,000 frames in a minute"
settle() {
    local frames
    frames=$(frames_drawn)
    wait_for 20 frames_at_least $((frames + 500)) || fail "the frames stopped coming"
}
# storm SECONDS: random input for that long, then buttons up and the window back to 256 x 256.
storm() {
    local end=$(($(date +%s) + $1)) actions=0
    while [ "$(date +%s)" -lt "$end" ]; do
        storm_action
        actions=$((actions + 1))
        program_running || fail "the program died during the storm, after $actions actions"
    done
    xdotool mouseup 1 mouseup 2 mouseup 3 2>/dev/null
    xdotool windowsize "$window" 256 256 2>/dev/null
    echo "storm: $actions actions in $1 s"
}

# A first storm lets Mesa make its buffers for the window sizes it will meet: that is first use,
# not growth, and the baseline is taken after it.
storm $((seconds / 2))
settle
before_kib=$(resident_kib)
before_heap=$(heap_kib)

storm "$seconds"
program_running || fail "the program died after the storm"
frames=$(frames_drawn)
wait_for 20 frames_at_least $((frames + 1000)) || fail "no new frames after the storm"
wait_for 20 has_green || fail "no frustum in the picture after the storm"
settle
after_kib=$(resident_kib)
after_heap=$(heap_kib)
echo "heap in use: ${before_heap} KiB before the storm, ${after_heap} KiB after"
echo "resident memory: ${before_kib} KiB before the storm, ${after_kib} KiB after"
[ $((after_heap - before_heap)) -le 256 ] || fail "heap in use grew by $((after_heap - before_heap)) KiB"
[ $((after_kib - before_kib)) -le 8192 ] || fail "resident memory grew by $((after_kib - before_kib)) KiB"

end_program
status=$?
[ "$status" -eq 0 ] || fail "exit status $status after Esc"
[ -s "$shot_dir/stdout" ] && fail "the program printed: $(head -c 300 "$shot_dir/stdout")"
[ -s "$shot_dir/stderr" ] && fail "the program printed on stderr: $(head -c 300 "$shot_dir/stderr")"
echo "PASS"
