#!/usr/bin/env bash
# Installs the Debian packages of tools/packages.txt that are missing. When nothing is missing it
# touches neither apt nor the network, so a second run costs a fraction of a second.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

missing=()
while read -r pkg; do
    [ -z "$pkg" ] && continue
    if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]; then
        missing+=("$pkg")
    fi
done < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$here/packages.txt")

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing Debian packages: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then
        sudo=(sudo)
    else
        echo "error: not root and no sudo; install these packages first: ${missing[*]}" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
