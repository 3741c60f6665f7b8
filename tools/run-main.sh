#!/usr/bin/env bash
# The main job: sets up, builds, installs the bundle into ~/.vst3 (where hosts
# look for it) and renders the demo through the installed bundle into
# ./calvorin-demo (or the folder given as the first argument).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" release
cmake --build "$root/build/release" --target install_vst3
"$root/build/release/tools/calvorin/calvorin" demo "${1:-calvorin-demo}" --bundle "$HOME/.vst3/Calvorin.vst3"
