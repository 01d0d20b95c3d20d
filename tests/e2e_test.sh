#!/usr/bin/env bash
# Usage: tests/e2e_test.sh PATH/TO/orlavane
# Uses the program as a person would, on the display in DISPLAY (run it under tools/with-xvfb.sh):
# starts it, looks at the window, presses keys and drags the mouse with xdotool, compares
# screenshots, and ends it with Esc. Every wait is for a condition, with a deadline.
set -u
source "$(dirname "$0")/../tools/window-lib.sh"

program=$1
begin_session
step() { echo "-- $*"; }
# Width of the bounding box of one colour.
colour_width() { convert "$1" -fill black +opaque "$2" -format '%@' info: | cut -dx -f1; }

step "start"
start_program "$shot_dir/stdout" "$shot_dir/stderr" "$program" || fail "no window titled Orlavane appeared"

step "window: title, size and position"
[ "$(xdotool getwindowname "$window")" = "Orlavane" ] || fail "title is not Orlavane"
size=$(xwininfo -id "$window" | awk '/Width:/ {w = $NF} /Height:/ {h = $NF} END {print w "x" h}')
[ "$window_x,$window_y" = "180,100" ] || fail "window at $window_x,$window_y, not 180,100"
[ "$size" = "256x256" ] || fail "window is $size, not 256x256"

step "the picture moves by itself and shows red, green and blue"
wait_for 15 has_green || fail "nothing green was drawn"
first=$(shot)
wait_for 10 changes_from "$first" || fail "the picture did not change by itself"
now=$(shot)
for colour in '#ff0000' '#00ff00' '#0000ff'; do
    [ "$(count_colour "$now" "$colour")" -gt 20 ] || fail "hardly any $colour in the world view"
done

step "backslash freezes the picture"
key backslash
paused=$(wait_still) || fail "the picture did not stand still after backslash"
sleep 0.5
equals "$paused" || fail "the paused picture changed"

step "space shows the clip-space view, and space again the same world view"
world_green=$(colour_width "$paused" '#00ff00')
key space
wait_for 10 changes_from "$paused" || fail "space did not change the view"
clip=$(wait_still) || fail "the clip-space view did not stand still"
clip_green=$(colour_width "$clip" '#00ff00')
[ "$clip_green" -gt "$world_green" ] || fail "the cube ($clip_green px) is not wider than the frustum ($world_green px)"
key space
wait_for 10 equals "$paused" || fail "space again did not return to the identical world view"

step "other keys and right or middle drags change nothing"
key a Z q Q 1 Return Tab F1 Left
drag 3 60 40
drag 2 -50 30
sleep 0.5
equals "$paused" || fail "a key or a right or middle drag changed the picture"

step "a left drag turns the camera while paused"
drag 1 64 0
wait_for 10 changes_from "$paused" || fail "a left drag did not turn the view"
turned=$(wait_still) || fail "the turned view did not stand still"

step "backslash again resumes the motion"
key backslash
wait_for 10 changes_from "$turned" || fail "the picture did not move again after backslash"

step "Esc ends the program with status 0"
end_program
status=$?
[ "$status" -eq 124 ] && fail "the program did not end on Esc"
[ "$status" -eq 0 ] || fail "exit status $status, not 0"
[ -s "$shot_dir/stdout" ] && fail "the program printed: $(head -c 300 "$shot_dir/stdout")"
[ -s "$shot_dir/stderr" ] && fail "the program printed on stderr: $(head -c 300 "$shot_dir/stderr")"
echo "PASS"
