#!/usr/bin/env bash
# Sets up, builds and runs the main job.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" release
"$root/build/release/tools/calvorin-params"
