#!/usr/bin/env bash
# Plays one game of the real program under Xvfb with xdotool and writes three
# screenshots into the build directory: the window at start, the first offer on
# screen, and the end of the game. Takes about two minutes (the sounds play in
# real time). Needs: xvfb xdotool imagemagick.
#
#   tools/screenshots.sh [--readme]
#
# --readme: also writes the first offer, the most telling picture, to
# docs/screenshot.png for the README (metadata stripped, 256 dithered colours).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
readme=false
for argument in "$@"; do
    case $argument in
        --readme) readme=true ;;
        *) echo "usage: $0 [--readme]" >&2; exit 2 ;;
    esac
done
# shellcheck source=tools/xvfb-session.sh
. "$root/tools/xvfb-session.sh"
run_under_xvfb "$0" "$@"
work=$(mktemp -d)
trap 'game_stop; rm -rf "$work"' EXIT
shots="$build/screenshots"
mkdir -p "$shots"

shot() { import -window "$GAME_WINDOW" "$shots/$1.png"; echo "$shots/$1.png"; }

take_shots() {
    case $1 in
        start) sleep 1; shot 1-start ;;
        first-offer) shot 2-first-offer ;;
        end) shot 3-end ;;
    esac
}

game_start "$work"
play_whole_game take_shots
echo "log of the game:"
iconv -f WINDOWS-1251 -t UTF-8 "$work/log.txt" | tr -d '\r' | grep -v '^$' | tr '\n' '|'
echo
if $readme; then
    mkdir -p "$root/docs"
    convert "$shots/2-first-offer.png" -strip -dither Riemersma -colors 256 "PNG8:$root/docs/screenshot.png"
    echo "$root/docs/screenshot.png ($(stat -c %s "$root/docs/screenshot.png") bytes)"
fi
