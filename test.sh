#!/usr/bin/env bash
# Installs what is missing, builds warning-free, runs every test, then the core tests once more
# under AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes the parsers for a few seconds.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
karune_install_deps "${KARUNE_PACKAGES[@]}" "${KARUNE_TEST_PACKAGES[@]}" "${KARUNE_WINDOWS_PACKAGES[@]}"

jobs=$(nproc)

# Runs one build tree's tests, $2 at a time; the log feeds the summary at the end.
run_tests() {
    (cd "$1" && ctest --output-on-failure --no-tests=error -j "$2") | tee "$1/ctest.log"
}

cmake -S . -B build -G Ninja -DKARUNE_WERROR=ON
cmake --build build -j "$jobs"

# The other trees build at the lowest priority while the Linux tests, and then the Windows stage,
# run: those mostly wait on calls in real time and keep the processor whenever they need it.
build_windows() {
    # The Windows build, its installer and the window inspector.
    cmake -S . -B build-windows -G Ninja -DKARUNE_WERROR=ON -DKARUNE_NO_QT=ON \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
    cmake --build build-windows -j "$jobs"
    cmake --build build-windows --target installer
}
build_checkers() {
    # The Qt-free core under AddressSanitizer and UndefinedBehaviorSanitizer.
    cmake -S . -B build-asan -G Ninja -DKARUNE_WERROR=ON -DKARUNE_CORE_ONLY=ON \
        -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
    cmake --build build-asan -j "$jobs"
    # The parsers that face the line and the settings file, for a short fuzzing run.
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKARUNE_WERROR=ON -DKARUNE_CORE_ONLY=ON \
        -DKARUNE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
    cmake --build build-fuzz -j "$jobs" --target "${fuzzers[@]}"
}
fuzzers=(fuzz_check_frame fuzz_cp932 fuzz_receive_line fuzz_settings_file)
# $1 a build function, run at the lowest priority into build/$1.log; sets `building`.
build_behind() {
    (
        renice -n 19 -p "$BASHPID" >/dev/null
        "$1"
    ) >"build/$1.log" 2>&1 &
    building=$!
}
built() {  # $1 the build function that `building` runs
    if ! wait "$building"; then
        cat "build/$1.log"
        echo "test.sh: $1 failed" >&2
        exit 1
    fi
}

build_behind build_windows

# Twice as many as there are processors: the whole-program tests spend their time waiting on calls
# in real time.
run_tests build $((jobs * 2))

# The Debian package, installed, used by a normal user and removed on this machine.
deb_started=$SECONDS
tests/packaging/deb-stage.sh build
echo "test.sh: the Debian package stage took $((SECONDS - deb_started)) s"

built build_windows
build_behind build_checkers

# The Windows build's core tests, whole calls through COM1, the service, the installer and the
# window under Wine.
windows_started=$SECONDS
tests/windows/wine-stage.sh build build-windows
echo "test.sh: the Windows stage took $((SECONDS - windows_started)) s"

built build_checkers
run_tests build-asan "$jobs"

# The fuzzers run side by side, each for its own time: a finding ends its run with a failure.
fuzzing=()
for fuzzer in "${fuzzers[@]}"; do
    build-fuzz/tests/fuzz/"$fuzzer" -max_total_time="${KARUNE_FUZZ_SECONDS:-10}" -print_final_stats=0 \
        >"build-fuzz/$fuzzer.log" 2>&1 &
    fuzzing+=($!)
done
fuzz_failed=0
for pid in "${fuzzing[@]}"; do
    wait "$pid" || fuzz_failed=1
done
for fuzzer in "${fuzzers[@]}"; do
    echo "fuzzing $fuzzer: $(tail -n 1 "build-fuzz/$fuzzer.log")"
done
if [ "$fuzz_failed" -ne 0 ]; then
    cat build-fuzz/*.log
    echo "test.sh: a fuzzer found a fault" >&2
    exit 1
fi

# Reached only when every stage passed (set -e).
passed=$(grep -h -o 'tests failed out of [0-9]*' build/ctest.log build-windows/ctest.log \
    build-asan/ctest.log |
    awk '{ total += $5 } END { print total }')
echo "test.sh: ${passed} passed, 0 failed"
