#!/usr/bin/env bash
# Installs what building and running the program need and is missing, and builds the project into
# build/ (with its tests when GoogleTest is there). Arguments go to CMake's configure step.
# Shared by ./test.sh and ./run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-packages.sh run
cmake -S . -B build "$@"
cmake --build build -j "$(nproc)"
