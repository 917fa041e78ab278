#!/usr/bin/env bash
# Plays one game of the real program under Xvfb with xdotool and writes its
# screenshots into the build directory (screenshots/, or screenshots/LANG/ with
# --lang): the window at start, the first offer on screen, the first exchange
# offer when the banker makes one (it is drawn at random: not every game has
# one), and the end of the game. Takes about two minutes (the sounds play in
# real time). Needs: xvfb xdotool imagemagick.
#
#   tools/screenshots.sh [--lang ru|en] [--readme]
#
# --lang: the language the game speaks (passed on to it).
# --readme: also writes the first offer, the most telling picture, to
# docs/screenshot.png for the README (metadata stripped, 256 dithered colours).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
readme=false
GAME_ARGS=()
lang=""
arguments=("$@")
while [ $# -gt 0 ]; do
    case $1 in
        --readme) readme=true ;;
        --lang) [ $# -ge 2 ] || { echo "usage: $0 [--lang ru|en] [--readme]" >&2; exit 2; }
                lang=$2; GAME_ARGS=(--lang "$2"); shift ;;
        *) echo "usage: $0 [--lang ru|en] [--readme]" >&2; exit 2 ;;
    esac
    shift
done
set -- "${arguments[@]}"
# shellcheck source=tools/xvfb-session.sh
. "$root/tools/xvfb-session.sh"
run_under_xvfb "$0" "$@"
work=$(mktemp -d)
trap 'game_stop; rm -rf "$work"' EXIT
shots="$build/screenshots${lang:+/$lang}"
mkdir -p "$shots"

shot() { import -window "$GAME_WINDOW" "$shots/$1.png"; echo "$shots/$1.png"; }

exchange_shown=false
# Whether the offer on screen is an exchange: the log's last record, in Russian.
exchange_on_screen() {
    iconv -f WINDOWS-1251 -t UTF-8 "$work/log.txt" | tr -d '\r' | grep -v '^$' | tail -n 1 |
        grep -q 'ОБМЕН'
}

take_shots() {
    case $1 in
        start) sleep 1; shot 1-start ;;
        first-offer) shot 2-first-offer ;;
        offer)
            if ! $exchange_shown && exchange_on_screen; then
                exchange_shown=true
                shot 3-exchange
            fi ;;
        end) shot 4-end ;;
    esac
}

game_start "$work"
play_whole_game take_shots
$exchange_shown || echo "the banker made no exchange offer in this game"
echo "log of the game:"
iconv -f WINDOWS-1251 -t UTF-8 "$work/log.txt" | tr -d '\r' | grep -v '^$' | tr '\n' '|'
echo
if $readme; then
    mkdir -p "$root/docs"
    convert "$shots/2-first-offer.png" -strip -dither Riemersma -colors 256 "PNG8:$root/docs/screenshot.png"
    echo "$root/docs/screenshot.png ($(stat -c %s "$root/docs/screenshot.png") bytes)"
fi
