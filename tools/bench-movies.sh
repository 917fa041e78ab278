#!/bin/sh
# Builds and runs the movie benchmark: processor time of many movie widgets
# playing at once. Arguments go to bench_movies: [movie.json] [widgets] [seconds].
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target bench_movies >/dev/null
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/tools/bench_movies" "$@"
