#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once normally (model tests,
# end-to-end tests in the offscreen front end), once with AddressSanitizer and UBSan.
# Tests that act as other accounts need root: for anyone else they are skipped, and the
# end says how many. With ZENTRAFO_EVERY_TEST=1 (CI) a skipped test fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# A run under sudo leaves the build folders to the checkout's owner, whose next run
# without sudo must still be able to build there.
if [ "$(id -u)" -eq 0 ]; then
  trap 'chown -R --reference=. build build-asan 2>/dev/null || true' EXIT
fi

# ctest's own report, kept in the build folder: the skipped tests are counted from it.
run_tests() { (cd "$1" && ctest --output-on-failure -j"$jobs" | tee ctest.log); }
skipped_in() { grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$1/ctest.log" || true; }
# ctest shows no test's own output: the names are all that tells which ones did not run.
skipped_names() { sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]*).* \(Skipped\)$/  \1/p' "$1/ctest.log"; }
total_in() { sed -nE 's/.* tests failed out of ([0-9]+)$/\1/p' "$1/ctest.log"; }

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
run_tests build

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZENTRAFO_SANITIZE=ON -DZENTRAFO_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=0
run_tests build-asan

skipped=$(skipped_in build) skipped_asan=$(skipped_in build-asan)
if [ "$skipped" -eq 0 ] && [ "$skipped_asan" -eq 0 ]; then
  echo "Every test ran."
  exit 0
fi
echo "Skipped, each because it needs root:"
{ skipped_names build; skipped_names build-asan; } | sort -u
echo "Skipped: $skipped of $(total_in build) tests, and $skipped_asan of $(total_in build-asan) under the sanitizers."
if [ "$(id -u)" -ne 0 ]; then
  echo "They act as other accounts, which needs root. To run them all: sudo bash scripts/test.sh"
fi
[ "${ZENTRAFO_EVERY_TEST:-}" != 1 ] || { echo "Every test must run here." >&2; exit 1; }
