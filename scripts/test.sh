#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once normally (model tests,
# end-to-end tests in the offscreen front end), once with AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZENTRAFO_SANITIZE=ON -DZENTRAFO_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=0
(cd build-asan && ctest --output-on-failure -j"$jobs")
