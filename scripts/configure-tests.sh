#!/usr/bin/env bash
# Configures build-tests, the sanitizer build that the test command and the
# long media stress run share: Ninja, and line tables only for debug
# information (all the sanitizers' stack traces need), which together build
# the tree in little more than half the time of Make with full debug
# information.
set -euo pipefail
cd "$(dirname "$0")/.."
# A tree configured for another generator cannot be reused.
if [ -f build-tests/CMakeCache.txt ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' build-tests/CMakeCache.txt; then
  rm -rf build-tests
fi
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DQUILLORY_SANITIZE=ON >/dev/null
