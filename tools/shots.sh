#!/usr/bin/env bash
# Usage: tools/shots.sh PATH/TO/orlavane DIR
# On the display in DISPLAY: runs the program about two seconds, saves DIR/world.png, presses
# space, saves DIR/clip-space.png, ends the program with Esc and prints the two paths. Exits with
# the program's status.
set -u
source "$(dirname "$0")/window-lib.sh"

[ $# -eq 2 ] || { echo "usage: $0 PATH/TO/orlavane DIR" >&2; exit 2; }
program=$1
out=$2
mkdir -p "$out"
begin_session

start_program /dev/stdout /dev/stderr "$program" || die "the program's window did not appear"
wait_for 15 has_green || die "the program drew nothing"
sleep 2
shot_to "$out/world.png" || die "could not save $out/world.png"
before=$(shot)
key space
wait_for 10 changes_from "$before" || die "space did not switch to the clip-space view"
shot_to "$out/clip-space.png" || die "could not save $out/clip-space.png"
end_program
status=$?
echo "$out/world.png"
echo "$out/clip-space.png"
exit "$status"
