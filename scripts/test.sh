#!/usr/bin/env bash
# Installs what is needed, builds every variant and runs every test: the normal build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build, the ThreadSanitizer build of the Qt-free
# thread tests, and a short run of every fuzz target. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_SECONDS=${FUZZ_SECONDS:-15}

bash scripts/install-deps.sh

echo "== layers: no Qt in the core, core areas in their order"
bash scripts/check-layers.sh

echo "== format: every C++ file as .clang-format has it"
bash scripts/check-format.sh

echo "== build and test (release with debug info)"
scripts/build.sh release -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build/release --output-on-failure -j"$(nproc)"

echo "== build and test (address and undefined-behaviour sanitizers)"
scripts/build.sh asan -DCMAKE_BUILD_TYPE=Debug -DZENTORAK_SANITIZE=ON -DZENTORAK_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
    ctest --test-dir build/asan --output-on-failure -j"$(nproc)"

echo "== build and test (thread sanitizer, Qt-free tests)"
scripts/build.sh tsan -DCMAKE_BUILD_TYPE=Debug -DZENTORAK_TSAN=ON -DZENTORAK_UI=OFF \
    -DZENTORAK_BENCH=OFF
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -L threads

echo "== fuzz targets, ${FUZZ_SECONDS} s each"
scripts/build.sh fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZENTORAK_FUZZ=ON -DZENTORAK_UI=OFF -DZENTORAK_TESTS=OFF -DZENTORAK_BENCH=OFF
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 bash fuzz/run.sh build/fuzz "$FUZZ_SECONDS"

echo "== benchmarks, smoke run on small data"
bash bench/smoke.sh build/release

echo "all test stages passed"
