#!/usr/bin/env bash
# Installs the Debian packages that are missing, builds the program into build/ and the web page
# into build-web/, and runs the whole suite with CTest in both: the native tests (those that need
# OpenGL on private virtual displays, Xvfb), the page in headless Chromium, and the tests of the
# geometry, the clipper and the scene compiled to WebAssembly under Node.js. Extra arguments go to
# CMake, e.g. ./test.sh -DORLAVANE_WERROR=ON. Exits with the suite's status.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-packages.sh run headless test
tools/build.sh "$@"
tools/web.sh build "$@"
status=0
ctest --test-dir build --output-on-failure || status=$?
ctest --test-dir build-web --output-on-failure || status=$?
exit "$status"
