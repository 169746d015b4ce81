#!/usr/bin/env bash
# Makes docs/zelm-window.png, the README's picture of the main window: a
# real Japanese page opened and indented, the coloured Result in front,
# drawn by a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target zelm-screenshot
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp tests/data/pages/namazu-tutorial.eucjp.html "$work/"
mkdir -p docs
# The window as it starts without settings, not with the author's own.
XDG_CONFIG_HOME="$work" xvfb-run -a -s "-screen 0 1400x1000x24" \
  build/tests/app/gui/zelm-screenshot "$work/namazu-tutorial.eucjp.html" docs/zelm-window.png
echo "docs/zelm-window.png"
