#!/usr/bin/env bash
# Draws the README's pictures again into docs/images/: the window in the host and the plot of levels from the
# main job on the demo programme (bash scripts/run.sh, which also leaves its results in out/), and the window
# with the update badge and the dialogs in each language from kelvane_render_window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

KELVANE_OUT="$root/out" bash scripts/run.sh
out="$root/out"
build=${KELVANE_BUILD_DIR:-$root/build/release}
cmake --build "$build" -j"$(nproc)" --target kelvane_render_window

pictures=$(mktemp -d)
trap 'rm -rf "$pictures"' EXIT
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/render-window/kelvane_render_window" "$pictures"

images=docs/images
cp "$out/window.png" "$images/kelvane-window.png"
cp "$out/levels.png" "$images/kelvane-levels.png"
cp "$pictures/kelvane-window-update-badge.png" "$images/"
for language in en ja zh; do
  cp "$pictures/kelvane-update-notice-$language.png" "$pictures/kelvane-about-$language.png" "$images/"
done
echo
echo "update-readme-images: docs/images/ drawn again; git status shows which pictures changed"
git status --short -- "$images"
