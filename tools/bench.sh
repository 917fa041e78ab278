#!/usr/bin/env bash
# Runs every benchmark of the game on this machine and prints one Markdown table
# of the figures against their goals, ready for the README (progress goes to
# stderr). Builds what it needs (RelWithDebInfo) into $BUILD_DIR (default
# build/), then under its own Xvfb: start-up time, resident memory after start
# and after one whole game played with real clicks and sounds, processor use
# while the game waits, the step after a sound clip ends, and the frame time of
# the main window with every board plate and case lid playing at once.
# Takes about five minutes. Needs: xvfb xauth xdotool.
#
# Environment: RUNS (start-ups, 5), CLIP_STEPS (clips, 100), FRAME_SECONDS (10).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
build_type=RelWithDebInfo
extra_targets="bench_clip_steps bench_frames"
# shellcheck source=tools/xvfb-session.sh
. "$root/tools/xvfb-session.sh"
run_under_xvfb "$0" "$@"
work=$(mktemp -d)
trap 'game_stop; rm -rf "$work"' EXIT

runs=${RUNS:-5}
clip_steps=${CLIP_STEPS:-100}
frame_seconds=${FRAME_SECONDS:-10}
note() { echo "bench: $*" >&2; }

# "met" when $1 < $2 (numbers), else "not met".
verdict() { awk -v a="$1" -v b="$2" 'BEGIN { print (a + 0 < b + 0) ? "met" : "not met" }'; }
# kB (as /proc reports them, KiB) to MB.
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k * 1024 / 1e6 }'; }

# 1. Start-up.
note "start-up, $runs runs"
read -r start_min start_median start_max < <(game_startup_times "$work" "$runs")
percent() { awk -v p="$1" 'BEGIN { printf "%.1f", p }'; }
seconds() { awk -v ms="$1" 'BEGIN { printf "%.2f", ms / 1000 }'; }

# 2 and 3. Memory and processor use in one whole game.
game_ended=false
cpu_idle=""
cpu_waiting=""
on_moment() {
    case $1 in
        start)
            note "idle before \"Начать игру\", 10 s"
            cpu_idle=$(game_cpu_percent 10)
            ;;
        own-case)
            sleep 1
            note "waiting for a click after the own case, 10 s"
            cpu_waiting=$(game_cpu_percent 10)
            note "playing the rest of the game"
            ;;
        end)
            read -r end_rss end_hwm < <(game_memory_kb)
            game_ended=true
            ;;
    esac
}
note "one whole game (about two and a half minutes)"
game_start "$work"
sleep 2
read -r start_rss start_hwm < <(game_memory_kb)
play_whole_game on_moment || true
game_stop

# 4. Step after a clip's end.
note "clip steps, $clip_steps clips"
clip_output=$("$build/tools/bench_clip_steps" "$root/tests/data/click-700ms.mp3" "$clip_steps" 2>/dev/null)
read -r clip_median clip_max < <(echo "$clip_output" | awk '/^end of clip reported/ { print $(NF - 4), $(NF - 1) }')
read -r clip_late_median clip_late_max < <(echo "$clip_output" | awk '/^next step after clip start/ { print $(NF - 4), $(NF - 1) }')

# 5. Frames with every plate and lid playing.
note "frames, $frame_seconds s"
frame_output=$(cd "$work" && "$build/tools/bench_frames" "$frame_seconds" 2>/dev/null)
platform=$(echo "$frame_output" | awk '/^platform:/ { print $2 }')
read -r frame_median frame_p99 frame_max < <(echo "$frame_output" | awk '/^frame time ms/ { print $(NF - 4), $(NF - 2), $NF }')
read -r displayed held longest < <(echo "$frame_output" | awk -F'[:,]' '/^displayed frames:/ { print $2 + 0, $6 + 0, $8 + 0 }')
read -r dropped frames_with_drop < <(echo "$frame_output" | awk -F'[:,]' '/^movie frames shown:/ { print $4 + 0, $6 + 0 }')
missed=$(echo "$frame_output" | awk -F: '/^displayed frames late or skipping/ { print $2 + 0 }')

# 6. The same frames full screen on a 1920 x 1080 screen, the design drawn scaled.
note "frames full screen at 1920 x 1080, $frame_seconds s"
full_output=$(cd "$work" && xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tools/bench_frames" "$frame_seconds" --full-screen 2>/dev/null)
full_window=$(echo "$full_output" | awk '/^window:/ { print $2, $3, $4 }')
read -r full_median full_p99 full_max < <(echo "$full_output" | awk '/^frame time ms/ { print $(NF - 4), $(NF - 2), $NF }')
full_missed=$(echo "$full_output" | awk -F: '/^displayed frames late or skipping/ { print $2 + 0 }')
full_displayed=$(echo "$full_output" | awk -F'[:,]' '/^displayed frames:/ { print $2 + 0 }')

if $game_ended; then
    end_figure="$(mb "$end_rss") MB (peak $(mb "$end_hwm") MB)"
    end_verdict=$(verdict "$(mb "$end_rss")" 120)
    [ "$end_verdict" = met ] && end_verdict=$(verdict "$(mb "$end_hwm")" 120)
else
    end_figure="not measured: the game did not reach its end screen"
    end_verdict="not met"
fi
start_verdict=$(verdict "$(mb "$start_rss")" 120)
[ "$start_verdict" = met ] && start_verdict=$(verdict "$(mb "$start_hwm")" 120)
[ "$platform" = xcb ] || note "the frame benchmark ran on \"$platform\", not xcb"
cpu_model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)

cat <<EOF
| Measure | Measured | Goal | Result |
|---|---|---|---|
| Start to window shown¹ | $(seconds "$start_median") s median (min $(seconds "$start_min"), max $(seconds "$start_max")) | under 0.5 s | $(verdict "$start_median" 500) |
| Resident memory after start² | $(mb "$start_rss") MB (peak $(mb "$start_hwm") MB) | under 120 MB | $start_verdict |
| Resident memory after a whole game² | $end_figure | under 120 MB | $end_verdict |
| Processor, idle before "Начать игру"³ | $(percent "$cpu_idle") % of a core | under 1 % | $(verdict "$cpu_idle" 1) |
| Processor, waiting for a click³ | $(percent "$cpu_waiting") % of a core | under 1 % | $(verdict "$cpu_waiting" 1) |
| Clip's end to the game's next step⁴ | $clip_median ms median, $clip_max ms max | median under 16 ms | $(verdict "$clip_median" 16) |
| Frame time, 22 plates and 22 lids playing⁵ | $frame_median ms median, $frame_p99 ms p99, $frame_max ms max | under 8 ms | $(verdict "$frame_max" 8) |
| Frame time, same scene full screen at 1920 × 1080⁷ | $full_median ms median, $full_p99 ms p99, $full_max ms max (window $full_window; $full_missed of $full_displayed displayed frames dropped) | under 8 ms | $(verdict "$full_max" 8) |
| Dropped frames, same scene⁶ | $missed of $displayed displayed frames ($held after a gap over 50 ms, $frames_with_drop skipping movie frames: $dropped in all) | 0 | $( [ "$missed" -eq 0 ] && echo met || echo "not met") |

Measured by \`tools/bench.sh\` on $(date +%Y-%m-%d): $cpu_model, $(nproc) cores, Xvfb (1280 × 900, 24 bits), RelWithDebInfo build, no sound card (GStreamer plays into a silent sink in real time).

1. From starting the process to its window mapped on the X server (polled every 10 ms); $runs runs.
2. VmRSS of the process, peak VmHWM in brackets; after start: the window shown and 2 s settled; after a whole game: $( $game_ended && echo "the end screen with the winnings, after" || echo "after") a game played with xdotool clicks and real sounds (\`play_whole_game\` in \`tools/xvfb-session.sh\`), every offer declined. MB = 10⁶ bytes.
3. User and system time of the process over 10 s, before the first click and once the own case is chosen; the kernel counts it in 10 ms ticks, so the resolution is 0.1 %.
4. The real sound player playing a 700 ms MP3 $clip_steps times: from the player's end-of-clip report to the window's clip-waiting timer taking the next step. From the clip's start plus its length to the next step, which adds the sound backend's own start-up and end detection: $clip_late_median ms median, $clip_late_max ms max.
5. The real main window (\`tools/bench_frames.cpp\`, $platform platform) with all 22 board plates and 22 case lids looping at once for $frame_seconds s. Frame time: the GUI thread's wall time from the start of a movie clock tick that moves movies on to the end of the update that paints them into the window and flushes it to the X server. The goal applies to the maximum.
6. Movies play at 30 fps, so a 60 Hz screen shows each movie frame for two refreshes. A displayed frame counts as dropped when it came more than 50 ms after the one before (a movie frame held at least a refresh too long; longest gap $longest ms) or when a movie in it jumped more than one frame ahead (a frame that was due never shown; counted from each movie's frame number at each of its paints).
7. As 5, on its own Xvfb of 1920 × 1080 with the window full screen (\`bench_frames --full-screen\`): the 1058 × 758 design drawn 1.42 times as large, centred, with the pictures and movies at the drawn size.
EOF
