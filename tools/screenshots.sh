#!/usr/bin/env bash
# Builds the screenshot renderer and renders every window into docs/screenshots/ on a virtual X
# server, so the pictures show the real platform style and fonts.
#   tools/screenshots.sh [build folder]     (default: build-screenshots)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-screenshots}"

cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target karune-screenshots
mkdir -p "$root/docs/screenshots"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    "$build/tools/screenshots/karune-screenshots" "$root/docs/screenshots"
