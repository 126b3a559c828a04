#!/usr/bin/env bash
# Builds the program and opens it on the demo heart and its segmentation.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vantrel
exec build/src/app/vantrel --heart data/demo-heart.obj --segmentation data/demo-heart.kxseg "$@"
