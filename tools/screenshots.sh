#!/usr/bin/env bash
# Plays one game of the real program under Xvfb with xdotool and writes three
# screenshots into the build directory: the window at start, the first offer on
# screen, and the end of the game. Takes about two minutes (the sounds play in
# real time). Needs: xvfb xdotool imagemagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
# shellcheck source=tools/xvfb-session.sh
. "$root/tools/xvfb-session.sh"
run_under_xvfb "$0" "$@"
work=$(mktemp -d)
trap 'game_stop; rm -rf "$work"' EXIT
shots="$build/screenshots"
mkdir -p "$shots"

shot() { import -window "$GAME_WINDOW" "$shots/$1.png"; echo "$shots/$1.png"; }

game_start "$work"
sleep 1
shot 1-start
click_start
sleep 3.5
click_case 21
sleep 2
open_case() { click_case "$1"; sleep 4.5; }
for i in 0 1 2 3 4 5; do open_case "$i"; done
sleep 1
shot 2-first-offer
click_no; sleep 1.5
for i in 6 7 8; do open_case "$i"; done; sleep 1; click_no; sleep 1.5
for i in 9 10 11; do open_case "$i"; done; sleep 1; click_no; sleep 1.5
for i in 12 13 14; do open_case "$i"; done; sleep 1; click_no; sleep 1.5
for i in 15 16 17; do open_case "$i"; done; sleep 1; click_no; sleep 1.5
for i in 18 19; do open_case "$i"; done; sleep 1; click_no; sleep 1.5
open_case 20
sleep 7
shot 3-end
echo "log of the game:"
iconv -f WINDOWS-1251 -t UTF-8 "$work/log.txt" | tr -d '\r' | grep -v '^$' | tr '\n' '|'
echo
