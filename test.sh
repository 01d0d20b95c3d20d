#!/usr/bin/env bash
# Installs the Debian packages that are missing, builds into build/ and runs the whole suite with
# CTest; tests that need OpenGL run on private virtual displays (Xvfb). Extra arguments go to
# CMake, e.g. ./test.sh -DORLAVANE_WERROR=ON. Exits with the suite's status.
set -euo pipefail
cd "$(dirname "$0")"

tools/build.sh "$@"
ctest --test-dir build --output-on-failure
