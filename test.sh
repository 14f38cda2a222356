#!/usr/bin/env bash
# Installs what is missing, builds warning-free, runs every test, then the core tests once more
# under AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes the parsers for a few seconds.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
karune_install_deps "${KARUNE_PACKAGES[@]}" "${KARUNE_TEST_PACKAGES[@]}" "${KARUNE_WINDOWS_PACKAGES[@]}"

jobs=$(nproc)

# Runs one build tree's tests; the log feeds the summary at the end.
run_tests() {
    (cd "$1" && ctest --output-on-failure --no-tests=error -j "$jobs") | tee "$1/ctest.log"
}

cmake -S . -B build -G Ninja -DKARUNE_WERROR=ON
cmake --build build -j "$jobs"
run_tests build

# The Debian package, installed, used by a normal user and removed on this machine.
deb_started=$SECONDS
tests/packaging/deb-stage.sh build
echo "test.sh: the Debian package stage took $((SECONDS - deb_started)) s"

# The Windows build (no Qt for Windows here: the core, the headless program and --convert),
# its core tests, whole calls through COM1, the service and the installer under Wine.
windows_started=$SECONDS
cmake -S . -B build-windows -G Ninja -DKARUNE_WERROR=ON -DKARUNE_NO_QT=ON \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-windows -j "$jobs"
cmake --build build-windows --target installer
tests/windows/wine-stage.sh build build-windows
echo "test.sh: the Windows stage took $((SECONDS - windows_started)) s"

cmake -S . -B build-asan -G Ninja -DKARUNE_WERROR=ON -DKARUNE_CORE_ONLY=ON \
    -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake --build build-asan -j "$jobs"
run_tests build-asan

# A short fuzzing run of the parsers that face the line and the settings file.
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKARUNE_WERROR=ON -DKARUNE_CORE_ONLY=ON \
    -DKARUNE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
fuzzers=(fuzz_check_frame fuzz_cp932 fuzz_receive_line fuzz_settings_file)
cmake --build build-fuzz -j "$jobs" --target "${fuzzers[@]}"
for fuzzer in "${fuzzers[@]}"; do
    echo "fuzzing $fuzzer"
    build-fuzz/tests/fuzz/"$fuzzer" -max_total_time="${KARUNE_FUZZ_SECONDS:-10}" -print_final_stats=0 2>&1 | tail -n 1
done

# Reached only when every stage passed (set -e).
passed=$(grep -h -o 'tests failed out of [0-9]*' build/ctest.log build-windows/ctest.log \
    build-asan/ctest.log |
    awk '{ total += $5 } END { print total }')
echo "test.sh: ${passed} passed, 0 failed"
