#!/usr/bin/env bash
# Usage: tests/install_packages_test.sh
# The install step of ./run.sh, ./test.sh and tools/web.sh (tools/install-packages.sh):
#   - each release gets its own names for the packages that differ, read from a stand-in for
#     /etc/os-release;
#   - a package that does not exist stops it with one message that names it and the command to
#     install it by hand, not apt's own output (needs root, to reach apt; skipped otherwise);
#   - on a system without apt it names the packages and lets the build go on.
set -u
here=$(cd "$(dirname "$0")" && pwd)
install=$here/../tools/install-packages.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

release() { printf 'PRETTY_NAME="%s"\nID=%s\nVERSION_ID="%s"\n' "$1 $2" "$1" "$2" >"$scratch/os-release-$1-$2"; }
names_for() { OS_RELEASE_FILE="$scratch/os-release-$1-$2" "$install" --list "${@:3}"; }
has() { [[ " $1 " == *" $2 "* ]]; }

echo "-- names per release"
# release, version, a name it must get, a name it must not get
while read -r id version want unwanted; do
    release "$id" "$version"
    names=$(names_for "$id" "$version" run headless test bench web)
    has "$names" "$want" || fail "$id $version: $want is not among: $names"
    has "$names" "$unwanted" && fail "$id $version: $unwanted is among: $names"
done <<'TABLE'
debian 12 libglut-dev freeglut3-dev
debian 13 libglut-dev freeglut3-dev
ubuntu 24.04 libglut-dev freeglut3-dev
ubuntu 22.04 freeglut3-dev libglut-dev
debian 12 libclang-rt-dev libclang-rt-14-dev
ubuntu 22.04 libclang-rt-14-dev libclang-rt-dev
debian 12 chromium chromium-browser
debian 13 chromium chromium-browser
ubuntu 22.04 chromium-browser chromium
ubuntu 24.04 chromium-browser chromium
TABLE

echo "-- each command gets its own groups"
release debian 12
run_names=$(names_for debian 12 run)
for tool in libgtest-dev valgrind libclang-rt-dev libbenchmark-dev emscripten chromium xvfb; do
    has "$run_names" "$tool" && fail "./run.sh would install $tool: $run_names"
done
has "$run_names" libglut-dev || fail "./run.sh would not install GLUT: $run_names"
has "$(names_for debian 12 web)" emscripten || fail "the web build would not install emscripten"

echo "-- a package that does not exist"
printf 'run  orlavane-no-such-package\n' >"$scratch/packages.txt"
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: not root, so apt cannot be tried"
    exit 77
fi
status=0
TMPDIR=$scratch PACKAGES_FILE="$scratch/packages.txt" "$install" run >"$scratch/out" 2>"$scratch/err" || status=$?
cat "$scratch/out" "$scratch/err"
[ "$status" -ne 0 ] || fail "the install step succeeded"
grep -q "could not install these packages: orlavane-no-such-package" "$scratch/err" ||
    fail "the message does not name the package"
grep -q "sudo apt-get install orlavane-no-such-package" "$scratch/err" ||
    fail "the message does not give the command to install it by hand"
[ "$(cat "$scratch/out" "$scratch/err" | wc -l)" -le 6 ] || fail "more than a short message was printed"

echo "-- a system without apt"
mkdir "$scratch/bin"
for tool in bash env id mktemp; do ln -s "$(command -v "$tool")" "$scratch/bin/$tool"; done
status=0
PATH="$scratch/bin" OS_RELEASE_FILE=/nonexistent "$install" run >"$scratch/out" 2>&1 || status=$?
cat "$scratch/out"
[ "$status" -eq 0 ] || fail "without apt it stopped the build (status $status)"
grep -q "no apt" "$scratch/out" || fail "it does not say that there is no apt"
grep -q "libglut-dev" "$scratch/out" || fail "it does not name the packages"
echo "PASS"
