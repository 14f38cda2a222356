#!/usr/bin/env bash
# Installs the Debian packages that are missing: by default those the build and the demo need;
# test.sh names the test-only and Windows ones too. Sourced by run.sh and test.sh.
set -euo pipefail

KARUNE_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-ipafont-gothic fonts-dejavu-core bc
    libsystemd-dev
)
KARUNE_TEST_PACKAGES=(
    libgtest-dev libgmock-dev
    clang libclang-rt-dev
    xvfb xauth
    file lintian strace
    dbus-daemon
    ser2net
)
# The Windows build, its event messages (windmc), its installer (makensis) and their tests under
# Wine.
KARUNE_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix googletest wine wine64 nsis
    binutils-mingw-w64-x86-64
)

# karune_install_deps [PACKAGE...]: the packages named, or KARUNE_PACKAGES.
karune_install_deps() {
    local missing=()
    local pkg
    local wanted=("$@")
    [ ${#wanted[@]} -eq 0 ] && wanted=("${KARUNE_PACKAGES[@]}")
    for pkg in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    elif command -v sudo >/dev/null 2>&1; then
        sudo apt-get update -qq
        sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "Missing packages. Install them with:" >&2
        echo "  sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
}
