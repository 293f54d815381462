#!/usr/bin/env bash
# Builds the show into build/ (or the folder given) and generates its content
# into show/. Extra arguments go to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j2
