#!/usr/bin/env bash
# Sets up a Debian machine, builds Kelvane and runs its main job: the plug-in bundle loaded by the AAX host
# stand-in, which lists what the plug-in describes and renders a demo input through it (with a level
# automation, a bypassed stretch and the saved settings written out), and the plug-in's window rendered to
# PNG files. To render your own file, see README.md, "Rendering audio through the bundle".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$(nproc)"

host=build/release/Host/app/kelvane_host
bundle=build/release/Bundle/Kelvane.aaxplugin
render="$root/out/render"
mkdir -p "$render"
"$host" list "$bundle" > "$render/description.txt"
python3 scripts/demo-input.py "$render/demo-input.wav"
"$host" render "$bundle" "$render/demo-input.wav" "$render/demo-output.wav" \
  --block 512 --automate dbMain=0:0.5,4:0.8,8:0.4 --bypass 6-7 \
  --save-chunk "elck=$render/settings.elck" --save-chunk "juce=$render/settings.juce"

window="$root/out/window"
mkdir -p "$window"
build/release/tools/render-window/kelvane_render_window "$window"

cat <<EOT

Built in build/release:
  Bundle/Kelvane.aaxplugin/Contents/$(uname -m)-linux/Kelvane.so
                                        the plug-in bundle: JUCE's AAX client, the AAX library, the engine,
                                        the window; it exports only the seven ACF entry points
  Host/app/kelvane_host                 the AAX host stand-in: lists a bundle, renders audio files through it
  Source/libkelvane_engine.a            the audio engine: processor, signal chain, meter steps, saved state
  Source/libkelvane_editor.a            the window: face, fader, switches, meters, update check, dialogs
  Libs/AAXLibrary/libkelvane_aax.a      the AAX interface library
  benchmarks/engine_benchmark, benchmarks/bundle_benchmark
  tools/render-window/kelvane_render_window, tools/artwork/kelvane_artwork
In $render: what the bundle describes (description.txt), the demo input and its rendering through the
bundle (level automated from 0.5 to 0.8 to 0.4, bypassed from 6 s to 7 s), and the saved settings
('elck' and 'juce' chunks). In $window: the window, rendered in several states.
Your own file: $host render $bundle INPUT.wav OUTPUT.wav [--set dbMain=0.7 ...]
EOT
