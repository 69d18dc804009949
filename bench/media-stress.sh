#!/usr/bin/env bash
# The long media stress run, for before a change to the media code: 300
# selections of sounds and videos with pictures and texts between them, in
# the sanitizer build, repeated (default 3 times; give another count). The
# test command runs the same test with 60 selections.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-3}"
bash scripts/deps.sh --test
bash scripts/configure-tests.sh
cmake --build build-tests -j"$(nproc)" --target browse_tst_mediastress
export QT_QPA_PLATFORM=offscreen QUILLORY_MEDIA_SELECTIONS=300 QTEST_FUNCTION_TIMEOUT=900000
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
for i in $(seq "$runs"); do
  echo "== run $i of $runs"
  build-tests/tests/browse_tst_mediastress
done
