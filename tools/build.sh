#!/usr/bin/env bash
# Installs the Debian packages that are missing and builds the project into build/.
# Arguments go to CMake's configure step. Shared by ./test.sh and ./run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-packages.sh
cmake -S . -B build "$@"
cmake --build build -j "$(nproc)"
