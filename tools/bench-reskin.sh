#!/usr/bin/env bash
# Peak memory of the real game with an oversized re-skin in its start folder: a
# 60-minute MP3 as the banker's music and a 72 KB WAV at 1 Hz as an opened
# case's sting (made by bench_reskin). The game is started there under Xvfb and
# left until it has said what it makes of both files (at most 60 s); then its
# VmHWM is read. Prints "peak kB: N", "rss kB: N", "seconds: N" and the game's
# own lines about the two files. Run alone, or by tools/bench.sh for its table.
# Needs: xvfb xdotool.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
build_type=${build_type:-RelWithDebInfo}
extra_targets=bench_reskin
# shellcheck source=tools/xvfb-session.sh
. "$root/tools/xvfb-session.sh"
run_under_xvfb "$0" "$@"
reskin=$(mktemp -d)
trap 'game_stop; rm -rf "$reskin"' EXIT

# Within bench.sh the target is built with the others.
[ -x "$build/tools/bench_reskin" ] || cmake --build "$build" --target bench_reskin >/dev/null
mapfile -t files < <("$build/tools/bench_reskin" "$reskin")
started=$(date +%s%N)
game_start "$reskin"
said=0
for _ in $(seq 600); do
    said=0
    for file in "${files[@]}"; do
        grep -qF "$file" "$reskin/zorban.out" && said=$((said + 1))
    done
    [ "$said" -eq "${#files[@]}" ] && break
    sleep 0.1
done
seconds=$(awk -v ns=$(($(date +%s%N) - started)) 'BEGIN { printf "%.1f", ns / 1e9 }')
sleep 1
read -r rss hwm < <(game_memory_kb)
echo "peak kB: $hwm"
echo "rss kB: $rss"
echo "seconds: $seconds"
[ "$said" -eq "${#files[@]}" ] || echo "the game did not name every file within 60 s"
for file in "${files[@]}"; do
    grep -F "$file" "$reskin/zorban.out" | sed 's/^/game: /' || true
done
