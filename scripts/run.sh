#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program from its build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zentrafo
exec ./build/zentrafo "$@"
