#!/usr/bin/env bash
# Installs the Debian packages that are missing, builds into build/ and runs the whole suite with
# CTest. Extra arguments go to CMake, e.g. ./test.sh -DORLAVANE_WERROR=ON.
# Exits with the suite's status.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-packages.sh
cmake -S . -B build "$@"
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure
