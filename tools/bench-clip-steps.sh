#!/bin/sh
# Builds and runs the clip benchmark: time from the end of a sound clip to the
# game's next step, with the real sound player. Arguments: [clip.mp3] [steps].
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target bench_clip_steps >/dev/null
"$build/tools/bench_clip_steps" "$@"
