#!/usr/bin/env bash
# Builds the show into build/ (or the folder given) and generates its content
# into show/. Extra arguments go to CMake's configure step; BUILD_TARGETS
# names the targets to build when not all of them are wanted.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j2 ${BUILD_TARGETS:+--target $BUILD_TARGETS}
