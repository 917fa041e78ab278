#!/bin/sh
# Builds and runs the contrast check: whole seeded games played in the real game
# window (offscreen, silent); at every step the contrast of every text the window
# shows against what lies behind it, with the movies that start there stepped
# through every frame. Prints a Markdown table (the worst case of each control
# at each moment) and exits 1 when any text is under 4.5:1 (WCAG 2 AA) or does
# not fit its place. Runs in Russian, then in English.
#
#   tools/contrast.sh [--shots DIR] [--all]
#
# --shots DIR: a PNG of the window at each moment (and at the frame of its worst
# contrast); --all: the game and movie frame of each row's worst case.
# BUILD_DIR: the build directory (build/ by default).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target contrast_check >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# The shots of each language go to a directory of their own under DIR.
shots=""
all=""
while [ $# -gt 0 ]; do
    case $1 in
        --shots) [ $# -ge 2 ] || { echo "usage: $0 [--shots DIR] [--all]" >&2; exit 2; }
                 shots=$2; shift ;;
        --all) all=--all ;;
        *) echo "usage: $0 [--shots DIR] [--all]" >&2; exit 2 ;;
    esac
    shift
done
status=0
for lang in ru en; do
    echo "## $lang"
    echo
    set -- --lang "$lang"
    [ -n "$shots" ] && set -- "$@" --shots "$shots/$lang"
    [ -n "$all" ] && set -- "$@" "$all"
    "$build/tools/contrast_check" "$@" || status=$?
    echo
done
exit $status
