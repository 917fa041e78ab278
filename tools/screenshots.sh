#!/usr/bin/env bash
# Plays one game of the real program under Xvfb with xdotool and writes its
# screenshots into the build directory (screenshots/, or screenshots/LANG/ with
# --lang): the window at start, the first offer on screen, the first exchange
# offer when the banker makes one (it is drawn at random: not every game has
# one; an early one is answered "ДА" and the choice of the case to take is shot
# too, then the own case is kept), the end of the game, and the rules, the
# statistics, the game's summary and the credits opened over it (the whole
# screen). Takes about two minutes (the sounds play in real time). Needs: xvfb xdotool imagemagick.
# XVFB_SCREEN sets the screen's size (1280x900x24 by default; 1024x600x24 for a
# small laptop's): the window fills what the screen leaves it.
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
screen_shot() { import -window root "$shots/$1.png"; echo "$shots/$1.png"; }

# Opens the game window's menu and takes its entry $1 (counted from the top,
# separators not counted): the menu opens with no entry chosen, so the first
# Down chooses the first entry.
menu_entry() {
    local i
    xdotool windowfocus --sync "$GAME_WINDOW" key Menu
    sleep 0.5
    for i in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
}

offers_seen=0

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
            offers_seen=$((offers_seen + 1))
            if ! $exchange_shown && exchange_on_screen; then
                exchange_shown=true
                shot 3-exchange
                # Below 20 opened cases "ДА" asks for the case to take; the own
                # the case in the last cell is taken; the former own case stands there
                # then, and the script still opens every cell in turn.
                if [ "$offers_seen" -lt 5 ]; then
                    click_yes
                    sleep 1.5
                    shot 3-exchange-choice
                    click_case 20
                    sleep 1
                fi
            fi ;;
        end)
            shot 4-end
            xdotool windowfocus --sync "$GAME_WINDOW" key F1
            sleep 1.5
            screen_shot 5-rules
            xdotool key Escape
            sleep 0.5
            menu_entry 7
            sleep 1.5
            screen_shot 6-statistics
            xdotool key Escape
            sleep 0.5
            menu_entry 8
            sleep 1.5
            screen_shot 6-summary
            xdotool key Escape
            sleep 0.5
            menu_entry 10
            sleep 4
            screen_shot 7-credits
            cp "$work/log.txt" "$work/played.txt" # the next game empties the log
            xdotool key Escape
            sleep 0.5
            xdotool windowfocus --sync "$GAME_WINDOW" key Return
            sleep 1.5
            shot 8-new-game ;;
    esac
}

# Settings and statistics of the run's own, so that the window comes at its
# designed size and the player's files are left alone.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
game_start "$work"
play_whole_game take_shots
$exchange_shown || echo "the banker made no exchange offer in this game"
echo "log of the game:"
iconv -f WINDOWS-1251 -t UTF-8 "$work/played.txt" | tr -d '\r' | grep -v '^$' | tr '\n' '|'
echo
if $readme; then
    mkdir -p "$root/docs"
    convert "$shots/2-first-offer.png" -strip -dither Riemersma -colors 256 "PNG8:$root/docs/screenshot.png"
    echo "$root/docs/screenshot.png ($(stat -c %s "$root/docs/screenshot.png") bytes)"
fi
