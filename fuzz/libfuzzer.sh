#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (coverage-guided, with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs one of them; an
# input that takes more than two seconds is a finding.
#   fuzz/libfuzzer.sh wmf 600     # fuzz the WMF reader for ten minutes
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?which target: $(ls fuzz/fuzz_*.cpp | sed 's|fuzz/fuzz_||; s|\.cpp||' | tr '\n' ' ')}
seconds=${2:-60}
bash scripts/deps.sh
command -v clang++ >/dev/null || { sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo; $sudo apt-get install -y clang libclang-rt-dev; }
cmake -S . -B build-libfuzzer -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLORY_TESTS=OFF -DQUILLORY_LIBFUZZER=ON >/dev/null
cmake --build build-libfuzzer --target "fuzz_$target" -j"$(nproc)"
mkdir -p "build-libfuzzer/corpus-$target"
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
# Undefined behaviour is a finding too: stop at the first report.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# A crash, leak or slow input is saved beside the build, not in the sources.
exec "build-libfuzzer/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=2 \
  -artifact_prefix="build-libfuzzer/$target-" \
  "build-libfuzzer/corpus-$target" "fuzz/corpus/$target"
