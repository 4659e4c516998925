#!/usr/bin/env bash
# Sets up a Debian machine, builds Kelvane and runs its main job.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$(nproc)"
echo
echo "Built in build/release:"
echo "  Source/libkelvane_engine.a   the audio engine (processor, signal chain, saved state)"
echo "The AAX host stand-in that loads the plug-in and renders audio through it is not built yet."
