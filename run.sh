#!/usr/bin/env bash
# Installs what is missing, builds and starts the program. With --demo it runs a whole simulated
# call instead.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
karune_install_deps

cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"

if [ "${1:-}" = "--demo" ]; then
    exec scripts/demo.sh
fi
exec build/karune-modem "$@"
