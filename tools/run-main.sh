#!/usr/bin/env bash
# The main job: installs only what building and running need, builds the
# bundles and calvorin, installs the bundles into ~/.vst3 and ~/.lv2 (where
# hosts look for them) and renders the demo through the installed VST 3 bundle
# into ./calvorin-demo (or the folder given as the first argument).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" --main
# Only the bundles, calvorin and what they link: no tests, no benchmarks.
"$root/tools/build.sh" release --without-tests calvorin install_vst3 install_lv2
"$root/build/release/tools/calvorin/calvorin" demo "${1:-calvorin-demo}" --bundle "$HOME/.vst3/Calvorin.vst3"
