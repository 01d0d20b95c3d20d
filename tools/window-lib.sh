# Shell functions for driving the program's window on an X display, sourced by the end-to-end
# test and the screenshot scripts. Each wait is for a condition, with a deadline in seconds.
# Needs DISPLAY, xdotool, xwininfo and ImageMagick. Sets: program_pid, window, window_x, window_y.

# begin_session: a scratch folder $shot_dir, with $frame_file named in it, removed when the script
# exits, when the program started by start_program is also ended if it is still running.
begin_session() {
    shot_dir=$(mktemp -d)
    frame_file="$shot_dir/frames"
    program_pid=
    trap '[ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null; rm -rf "$shot_dir"' EXIT
}

# For tests: report a failure and stop. For tools: report an error on stderr and stop.
fail() {
    echo "FAIL: $*"
    exit 1
}
die() {
    echo "error: $*" >&2
    exit 1
}

# Runs a command until it succeeds; fails once the deadline passes.
wait_for() {
    local deadline=$(($(date +%s) + $1))
    shift
    until "$@"; do
        [ "$(date +%s)" -ge "$deadline" ] && return 1
        sleep 0.05
    done
}

find_program_window() {
    window=$(xdotool search --name '^Orlavane$' 2>/dev/null | head -n 1)
    [ -n "$window" ]
}

# start_program STDOUT STDERR COMMAND [ARG...]: starts the command in the background, its output
# going to the two files, and waits for the program's window.
start_program() {
    local out=$1 err=$2
    shift 2
    "$@" >"$out" 2>"$err" &
    program_pid=$!
    wait_for 15 find_program_window || return 1
    local info
    info=$(xwininfo -id "$window")
    window_x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
    window_y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
}

program_running() { kill -0 "$program_pid" 2>/dev/null; }
program_ended() { ! program_running; }

# end_program [SECONDS]: presses Esc, waits (10 s by default) for the process to end and returns
# its exit status, or 124 if it is still running.
end_program() {
    key Escape
    wait_for "${1:-10}" program_ended || return 124
    local status=0
    wait "$program_pid" || status=$?
    program_pid=
    return "$status"
}

# shot_to FILE: saves a screenshot of the window as FILE.
shot_to() { import -window "$window" "$1" 2>/dev/null; }

# shot: saves a screenshot in $shot_dir under a new name and prints the path.
shot() {
    local file
    file=$(mktemp "$shot_dir/shot-XXXXXX.png")
    shot_to "$file" && echo "$file"
}

pixels() { convert "$1" rgb:- | md5sum | cut -d' ' -f1; }
same_picture() { [ "$(pixels "$1")" = "$(pixels "$2")" ]; }
changes_from() { local now; now=$(shot) && ! same_picture "$1" "$now"; }
equals() { local now; now=$(shot) && same_picture "$1" "$now"; }

# count_colour FILE #rrggbb: the number of pixels of exactly that colour.
count_colour() {
    convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:
}

has_green() { local s; s=$(shot) && [ "$(count_colour "$s" '#00ff00')" -gt 50 ]; }

# wait_still: waits until two screenshots a moment apart are identical and prints the last one.
wait_still() {
    local deadline=$(($(date +%s) + 10)) a b
    a=$(shot) || return 1
    while :; do
        sleep 0.2
        b=$(shot) || return 1
        same_picture "$a" "$b" && { echo "$b"; return 0; }
        [ "$(date +%s)" -ge "$deadline" ] && return 1
        a=$b
    done
}

key() { xdotool key --window "$window" "$@" 2>/dev/null; }

# drag BUTTON DX DY: presses in the middle of the window, moves by (DX, DY) in steps, releases.
drag() {
    local x=$((window_x + 128)) y=$((window_y + 128)) i
    xdotool mousemove "$x" "$y" mousedown "$1" 2>/dev/null
    for i in 1 2 3 4; do
        xdotool mousemove "$((x + $2 * i / 4))" "$((y + $3 * i / 4))" 2>/dev/null
        sleep 0.05
    done
    xdotool mouseup "$1" 2>/dev/null
}

# Frames the program has drawn, and the bytes of heap it has in use, as written by the preloaded
# frame probe (tests/frame_probe.cpp) to the file $frame_file; 0 before the first count.
frames_drawn() { local n; read -r n _ 2>/dev/null <"$frame_file" && echo "$n" || echo 0; }
heap_kib() { local _n bytes; read -r _n bytes 2>/dev/null <"$frame_file" && echo $((bytes / 1024)) || echo 0; }
frames_at_least() { [ "$(frames_drawn)" -ge "$1" ]; }

# Resident memory of the program in KiB.
resident_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$program_pid/status"; }
