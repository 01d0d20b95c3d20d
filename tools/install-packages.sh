#!/usr/bin/env bash
# Usage: tools/install-packages.sh [--list] GROUP...
# Installs the packages of tools/packages.txt in the given groups (run, headless, test, bench,
# web) that are missing, with each name as this release calls it (from /etc/os-release). When
# nothing is missing it touches neither apt nor the network. With --list it only prints the names.
#   - A failed install (an unknown name, no network) stops with one message that names the
#     packages and the command to install them by hand; apt's own output goes to a log file.
#   - Without apt (macOS, Fedora, Arch...) it names the packages to install with that system's
#     manager and returns 0, so that the build goes on and finds them if they are there.
# For tests: PACKAGES_FILE and OS_RELEASE_FILE replace tools/packages.txt and /etc/os-release.
set -euo pipefail
here=$(cd "${BASH_SOURCE[0]%/*}" && pwd)
packages_file=${PACKAGES_FILE:-$here/packages.txt}
os_release_file=${OS_RELEASE_FILE:-/etc/os-release}

list_only=0
if [ "${1:-}" = --list ]; then
    list_only=1
    shift
fi
[ $# -gt 0 ] || { echo "usage: tools/install-packages.sh [--list] GROUP..." >&2; exit 2; }
wanted=" $* "

# ID:VERSION_ID of this release, read without running the file.
id=unknown version=
if [ -r "$os_release_file" ]; then
    while IFS='=' read -r key value; do
        value=${value%\"}
        value=${value#\"}
        case "$key" in ID) id=$value ;; VERSION_ID) version=$value ;; esac
    done <"$os_release_file"
fi
release=$id:$version

# The names of the wanted packages, as this release calls them, each once.
names=()
while read -r groups name overrides; do
    case "$groups" in '' | '#'*) continue ;; esac
    in_group=0
    for group in ${groups//,/ }; do
        [[ $wanted == *" $group "* ]] && in_group=1
    done
    [ "$in_group" -eq 1 ] || continue
    for override in $overrides; do
        [ "${override%%=*}" = "$release" ] && name=${override#*=}
    done
    [[ " ${names[*]} " == *" $name "* ]] || names+=("$name")
done <"$packages_file"

if [ "$list_only" -eq 1 ]; then
    echo "${names[*]}"
    exit 0
fi

if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
    echo "This system has no apt, so nothing is installed automatically. The build needs these"
    echo "packages, named here as Debian names them (README.md, \"Other systems\", gives the names"
    echo "for Homebrew, dnf and pacman):"
    echo "    ${names[*]}"
    echo "Going on with the build; it stops with CMake's message if one of them is missing."
    exit 0
fi

missing=()
for name in "${names[@]}"; do
    if [ "$(dpkg-query -W -f='${Status}' "$name" 2>/dev/null)" != "install ok installed" ]; then
        missing+=("$name")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo=(sudo)
    else
        echo "error: these packages are missing, and installing them needs root (there is no sudo):" >&2
        echo "    ${missing[*]}" >&2
        echo "As root, run: apt-get install ${missing[*]}" >&2
        exit 1
    fi
fi
log=$(mktemp "${TMPDIR:-/tmp}/orlavane-apt-XXXXXX.log")
export DEBIAN_FRONTEND=noninteractive
if ! { "${sudo[@]}" apt-get update -q && "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    echo "error: could not install these packages: ${missing[*]}" >&2
    reason=$(grep -E '^(E|Err):' "$log" | head -n 3 || true)
    [ -n "$reason" ] && echo "apt said: ${reason//$'\n'/; }" >&2
    echo "Install them by hand with: sudo apt-get update && sudo apt-get install ${missing[*]}" >&2
    echo "(apt's whole output is in $log)" >&2
    exit 1
fi
rm -f "$log"
