#!/usr/bin/env bash
# The main job: installs what is missing, builds the Linux face and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh native
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCH=OFF >/dev/null
cmake --build build/demo -j2 --target vantrel >/dev/null
exec build/demo/apps/vantrel/vantrel demo "$@"
