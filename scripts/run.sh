#!/usr/bin/env bash
# Sets up a Debian machine, builds Kelvane and runs its main job: until the plug-in bundle and the AAX host
# stand-in that loads it exist, that is building everything and rendering the plug-in's window to PNG files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$(nproc)"

out="$root/out/window"
mkdir -p "$out"
build/release/tools/render-window/kelvane_render_window "$out"

cat <<EOT

Built in build/release:
  Source/libkelvane_engine.a            the audio engine: processor, signal chain, meter steps, saved state
  Source/libkelvane_editor.a            the window: face, fader, switches, meters, update check, dialogs
  Libs/AAXLibrary/libkelvane_aax.a      the AAX interface library (foundation and registration so far)
  Host/                                 the AAX host stand-in (component factory, host services, description side)
  Bundle/                               JUCE's AAX client compiled against our AAX headers (compile check)
  benchmarks/engine_benchmark           block-processing benchmark
  tools/render-window/kelvane_render_window, tools/artwork/kelvane_artwork
The window, rendered in several states, is in $out.
Not built yet: the plug-in's shared object and the host run that loads it and processes audio.
EOT
