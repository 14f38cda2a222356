#!/usr/bin/env bash
# Installs what is missing, builds and starts the program. With --demo it runs a whole simulated
# call instead.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
karune_install_deps

cmake -S . -B build -G Ninja >/dev/null
if [ "${1:-}" = "--demo" ]; then
    cmake --build build -j "$(nproc)" --target karune-modem karune-sim
    exec scripts/demo.sh
fi
cmake --build build -j "$(nproc)" --target karune-modem
exec build/karune-modem "$@"
