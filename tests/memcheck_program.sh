#!/usr/bin/env bash
# Usage: tests/memcheck_program.sh PATH/TO/orlavane
# Runs the program under valgrind's memcheck on the display in DISPLAY (run it under
# tools/with-xvfb.sh): a few seconds of the world view, a few of the clip-space view, then Esc.
# Fails on any invalid read or write, any use of uninitialised memory, and any block lost by the
# program's own code. Known reports from the loader and Mesa are suppressed in tools/valgrind.supp;
# Mesa's own leaks at exit are not the program's and are not counted.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tools/window-lib.sh"

program=$1
begin_session
log="$shot_dir/memcheck.log"

fail() {
    echo "FAIL: $*"
    [ -f "$log" ] && grep -v '^==[0-9]*== *$' "$log" | head -150
    exit 1
}

start_program /dev/null /dev/null \
    valgrind --tool=memcheck --error-exitcode=99 --track-origins=yes --num-callers=40 \
    --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=none \
    --suppressions="$here/../tools/valgrind.supp" --log-file="$log" "$program" ||
    fail "no window appeared under valgrind"
wait_for 180 has_green || fail "nothing was drawn under valgrind"
sleep 4
world=$(shot)
key space
wait_for 60 changes_from "$world" || fail "space did not switch views under valgrind"
sleep 4
end_program 120
status=$?

grep -E 'ERROR SUMMARY|definitely lost:|indirectly lost:' "$log" | sed 's/^==[0-9]*== */memcheck: /'
[ "$status" -eq 124 ] && fail "the program did not end on Esc"
[ "$status" -eq 99 ] && fail "memcheck reported errors"
[ "$status" -eq 0 ] || fail "exit status $status"
# A lost block that the program's own code allocated (the caller of the allocator is one of the
# program's sources) is the program's leak; blocks Mesa allocates while drawing are Mesa's.
own=$(awk '/are definitely lost/ {block = 1; text = ""; first = ""}
           block {text = text $0 "\n"}
           block && first == "" && / by 0x/ {first = $0}
           block && /^==[0-9]+== *$/ {
               if (first ~ /\((main|frame|input|draw|clip|scene|geometry)\.cpp:/) print text
               block = 0
           }' "$log")
[ -n "$own" ] && fail "blocks lost by the program's code:
$own"
echo "PASS"
