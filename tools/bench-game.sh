#!/usr/bin/env bash
# Benchmarks of the real game under Xvfb: time from process start to the window
# shown, and processor use while the game waits for the player (before "Начать
# игру", waiting for a click, an offer standing with the banker's music looping).
# Needs: xvfb xdotool (apt-get install xvfb xdotool). Prints figures; asserts nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
extra_targets=bench_startup
# shellcheck source=tools/xvfb-session.sh
. "$root/tools/xvfb-session.sh"
run_under_xvfb "$0" "$@"
work=$(mktemp -d)
trap 'game_stop; rm -rf "$work"' EXIT

runs=${RUNS:-5}
echo "start-up, process start to window shown (ms), $runs runs:"
read -r min median max < <(game_startup_times "$work" "$runs")
echo "  min $min  median $median  max $max"

game_start "$work"
sleep 2
echo "CPU, idle before \"Начать игру\": $(game_cpu_percent 10) % of a core"
click_start
sleep 4
click_case 21
sleep 3
echo "CPU, waiting for a click after the own case: $(game_cpu_percent 10) % of a core"
for i in 0 1 2 3 4 5; do
    click_case "$i"
    sleep 5
done
sleep 3
echo "CPU, offer standing, banker's music looping: $(game_cpu_percent 10) % of a core"
