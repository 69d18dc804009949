#!/usr/bin/env bash
# Installs what is missing, builds The Quillory and starts it.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target quillory -j"$(nproc)"
exec ./build/quillory
