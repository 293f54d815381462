#!/usr/bin/env bash
# Installs what is missing, builds, generates the content and starts the show.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh
bash tools/build.sh build
cd show
exec ../build/demo
