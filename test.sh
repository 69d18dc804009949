#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh --test
bash scripts/configure-tests.sh
cmake --build build-tests -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Full stacks, so that suppressions can name the system library that keeps an allocation.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Twice as many tests as cores: many wait on timers, media and child processes.
ctest --test-dir build-tests --output-on-failure -j"$(( $(nproc) * 2 ))" "$@"
