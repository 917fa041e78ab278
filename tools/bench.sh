#!/usr/bin/env bash
# Runs every benchmark of the game on this machine and prints one Markdown table
# of the figures against their goals, ready for the README (progress goes to
# stderr). Builds what it needs (RelWithDebInfo) into $BUILD_DIR (default
# build/), then under its own Xvfb, side by side with two Qt windows of the
# game's size measured in the same run (a plain one, and one that draws the
# game's backdrop and its "Начать игру" button): start-up time to the window
# mapped and to its first frame, resident memory after
# start and after one whole game played with real clicks and sounds; then the
# memory growth over many whole games in one process with the real sound engine,
# the longest call of the window's thread into the sound engine, processor use
# while the game waits, and the frame time of the main window with every board
# plate and case lid playing at once; with the sound soak built, how late the
# clips' ends come and its own longest call into the engine; and the peak
# memory with an oversized re-skin (tools/bench-reskin.sh). Without a sound
# card the engine opens no device: its clips are decoded and timed as with
# one, silently.
# Takes about seven minutes, five more when the sound soak has been built.
# Needs: xvfb xauth xdotool x11-utils libxdamage-dev.
#
#   tools/bench.sh             every row
#   tools/bench.sh --startup   the start-up rows only (seconds, once built)
#   tools/bench.sh --frames    the frame rows only (about a minute)
#
# The frames are measured twice: on a quiet machine, and with one core kept
# busy by a loop of the bench's own (a shell loop, bounded in time, started
# for each measurement and ended with it).
#
# Environment: RUNS (start-ups of each window, 11), GAMES (games in one process,
# 200), FRAME_SECONDS (10), SOAK_CHANGES (clip changes of the sound soak, its
# own 10000).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
build_type=RelWithDebInfo
extra_targets="bench_minimal_window bench_picture_window bench_startup bench_games bench_frames bench_reskin bench_pad"
# shellcheck source=tools/xvfb-session.sh
. "$root/tools/xvfb-session.sh"
run_under_xvfb "$0" "$@"
work=$(mktemp -d)
# The X server resets whenever its last client leaves, and a window that starts
# during the reset cannot connect: an idle client stays connected throughout.
xprop -root -spy >/dev/null 2>&1 &
x_keeper=$!
trap 'game_stop; minimal_stop; busy_stop; kill "$x_keeper"; rm -rf "$work"' EXIT

startup_only=false
frames_only=false
[ "${1:-}" = --startup ] && startup_only=true
[ "${1:-}" = --frames ] && frames_only=true
runs=${RUNS:-11}
games=${GAMES:-200}
frame_seconds=${FRAME_SECONDS:-10}
minimal_bin="$build/tools/bench_minimal_window"
picture_bin="$build/tools/bench_picture_window"
sound_soak_bin="$build/tests/test_sound_soak"
note() { echo "bench: $*" >&2; }

# "met" when $1 < $2 (numbers), else "not met".
verdict() { awk -v a="$1" -v b="$2" 'BEGIN { print (a + 0 < b + 0) ? "met" : "not met" }'; }
# "met" when $1 <= $2 (numbers), else "not met".
verdict_at_most() { awk -v a="$1" -v b="$2" 'BEGIN { print (a + 0 <= b + 0) ? "met" : "not met" }'; }

# Keeps one core busy for $1 seconds at most: a shell loop in the background,
# bounded in time. Sets BUSY_PID; busy_stop ends it sooner.
busy_start() {
    (
        end=$((SECONDS + $1))
        while ((SECONDS < end)); do :; done
    ) &
    BUSY_PID=$!
}
busy_stop() {
    [ -n "${BUSY_PID:-}" ] || return 0
    kill "$BUSY_PID" 2>/dev/null || true
    wait "$BUSY_PID" 2>/dev/null || true
    BUSY_PID=""
}

# Resident kB of process $1 by mapping, largest first: "kB name", the name a
# file's path or the kind of anonymous memory ([heap], [stack], [anonymous]).
rss_by_mapping() {
    awk '/^[0-9a-f]+-[0-9a-f]+ / { name = ($6 == "") ? "[anonymous]" : $6; for (i = 7; i <= NF; i++) name = name " " $i; next }
         /^Rss:/ { rss[name] += $2 }
         END { for (n in rss) if (rss[n] > 0) print rss[n], n }' "/proc/$1/smaps" | sort -rn
}
# What the mappings in file $1 hold over those in file $2 (both of
# rss_by_mapping), the $3 largest differences: "name +MB, ...".
mapping_differences() {
    awk 'NR == FNR { base[$2] = $1; next }
        { d[$2] = $1 - base[$2] }
        END { for (n in d) if (d[n] >= 100) print d[n], n }' "$2" "$1" | sort -rn | head -n "$3" |
        awk '{ name = $2; sub(".*/", "", name); printf "%s%s +%.1f", (NR > 1 ? ", " : ""), name, $1 * 1024 / 1e6 }'
}
# kB (as /proc reports them, KiB) to MB.
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k * 1024 / 1e6 }'; }
percent() { awk -v p="$1" 'BEGIN { printf "%.1f", p }'; }
seconds() { awk -v ms="$1" 'BEGIN { printf "%.2f", ms / 1000 }'; }
times() { awk -v a="$1" -v f="$2" 'BEGIN { printf "%.1f", a * f }'; }
# Numbers on standard input: "min median max".
spread() { sort -n | awk '{ a[NR] = $1 } END { print a[1], a[int((NR + 1) / 2)], a[NR] }'; }

# Starts the minimal window as game_start starts the game and waits for it. Sets
# MINIMAL_PID and MINIMAL_SHOWN_MS.
minimal_start() {
    local started window=""
    started=$(date +%s%N)
    (cd "$work" && exec "$minimal_bin" >/dev/null 2>&1) &
    MINIMAL_PID=$!
    while [ -z "$window" ]; do
        window=$(xdotool search --onlyvisible --name '^minimal$' 2>/dev/null | head -n 1) || true
        if [ -z "$window" ]; then
            kill -0 "$MINIMAL_PID" 2>/dev/null || { echo "the minimal window did not start" >&2; return 1; }
            sleep 0.01
        fi
    done
    MINIMAL_SHOWN_MS=$((($(date +%s%N) - started) / 1000000))
}

minimal_stop() {
    [ -n "${MINIMAL_PID:-}" ] || return 0
    kill "$MINIMAL_PID" 2>/dev/null || true
    wait "$MINIMAL_PID" 2>/dev/null || true
    MINIMAL_PID=""
}

# Frames with every plate and lid playing, in the window and full screen on a
# 1920 x 1080 screen (the design drawn scaled), each on a quiet machine and
# with one core busy. Sets the figures median_*, p99_*, max_* ... with the
# suffix _w (window), _f (full screen), _wb and _fb (the same, one core busy).
frames_of() { # output of bench_frames, suffix of the variables to set
    local output=$1 suffix=$2 figures
    figures=$(echo "$output" | awk -F'[:,]' '
        /^frame time ms/ { n = split($0, w, " "); median = w[n - 4]; p99 = w[n - 2]; max = w[n] }
        /^displayed frames:/ { displayed = $2 + 0; held = $6 + 0; longest = $8 + 0 }
        /^movie frames shown:/ { dropped = $4 + 0; withDrop = $6 + 0 }
        /^displayed frames late or skipping/ { missed = $2 + 0 }
        /^window:/ { sub(/^window: */, ""); window = $0; gsub(/ /, "_", window) }
        END { print median, p99, max, displayed, held, longest, dropped, withDrop, missed, window }')
    read -r "median$suffix" "p99$suffix" "max$suffix" "displayed$suffix" "held$suffix" \
        "longest$suffix" "dropped$suffix" "with_drop$suffix" "missed$suffix" "window$suffix" <<<"$figures"
}
frames_window() { (cd "$work" && "$build/tools/bench_frames" "$frame_seconds" 2>/dev/null); }
frames_full_screen() {
    (cd "$work" && xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tools/bench_frames" "$frame_seconds" --full-screen 2>/dev/null)
}
measure_frames() {
    local output
    note "frames, $frame_seconds s"
    output=$(frames_window)
    platform=$(echo "$output" | awk '/^platform:/ { print $2 }')
    frames_of "$output" _w
    note "frames full screen at 1920 x 1080, $frame_seconds s"
    frames_of "$(frames_full_screen)" _f
    note "frames with one core busy, $frame_seconds s"
    busy_start $((frame_seconds + 20))
    frames_of "$(frames_window)" _wb
    busy_stop
    note "frames full screen with one core busy, $frame_seconds s"
    busy_start $((frame_seconds + 20))
    frames_of "$(frames_full_screen)" _fb
    busy_stop
}
frame_rows() {
    local busiest
    busiest=$(printf '%s\n' "$max_w" "$max_f" "$max_wb" "$max_fb" | sort -n | tail -n 1)
    cat <<ROWS
| Frame time, 22 plates and 22 lids playing⁷ | $median_w ms median, $p99_w ms p99, $max_w ms max | — | under 8 ms | $(verdict "$max_w" 8) |
| Dropped frames, same scene⁸ | $missed_w of $displayed_w displayed frames ($held_w after a gap over 50 ms, $with_drop_w skipping movie frames: $dropped_w in all) | — | 0 | $( [ "${missed_w:-1}" -eq 0 ] && echo met || echo "not met") |
| Frame time, same scene full screen at 1920 × 1080⁹ | $median_f ms median, $p99_f ms p99, $max_f ms max (window ${window_f//_/ }; $missed_f of $displayed_f displayed frames dropped) | — | under 8 ms | $(verdict "$max_f" 8) |
| Frame time, both scenes with the other core busy⁹ᵃ | window: $median_wb ms median, $p99_wb ms p99, $max_wb ms max ($missed_wb of $displayed_wb dropped); full screen: $median_fb ms median, $p99_fb ms p99, $max_fb ms max ($missed_fb of $displayed_fb dropped) | — | every frame of the four runs under 8 ms | $(verdict "$busiest" 8) (busiest $busiest ms) |
ROWS
}
frame_notes() {
    cat <<NOTES
7. The real main window (\`tools/bench_frames.cpp\`, $platform platform) with all 22 board plates and 22 case lids looping at once for $frame_seconds s. Frame time: the GUI thread's wall time from the start of a movie clock tick that moves movies on to the end of the update that paints them into the window and flushes it to the X server. The goal applies to the maximum.
8. Movies play at 30 fps, so a 60 Hz screen shows each movie frame for two refreshes. A displayed frame counts as dropped when it came more than 50 ms after the one before (a movie frame held at least a refresh too long; longest gap $longest_w ms) or when a movie in it jumped more than one frame ahead (a frame that was due never shown; counted from each movie's frame number at each of its paints).
9. As 7, on an Xvfb of its own of 1920 × 1080 with the window full screen (\`bench_frames --full-screen\`): the 1058 × 758 design drawn 1.42 times as large, centred, with the pictures and movies at the drawn size.
9a. As 7 and 9, run again while a shell loop of the bench's own (\`busy_start\` in \`tools/bench.sh\`, bounded to $((frame_seconds + 20)) s and ended with the run) keeps one of the $(nproc) cores busy.
NOTES
}
if $frames_only; then
    measure_frames
    echo "| Measure | Zorban | Qt windows, same run¹ | Goal | Result |"
    echo "|---|---|---|---|---|"
    frame_rows
    echo
    echo "Measured by \`tools/bench.sh --frames\` on $(date +%Y-%m-%d): $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), $(nproc) cores, Xvfb, RelWithDebInfo build."
    echo
    frame_notes
    exit 0
fi

# 1. Start-up, the game and the two reference windows in turns.
note "start-up, $runs runs of each window"
game_times=()
minimal_times=()
picture_times=()
for _ in $(seq "$runs"); do
    game_times+=("$(startup_ms "$work" "$ZORBAN_BIN")")
    minimal_times+=("$(startup_ms "$work" "$minimal_bin")")
    picture_times+=("$(startup_ms "$work" "$picture_bin")")
done
# Field $1 of the lines in the array named $2: "min median max".
field_spread() {
    local -n lines=$2
    printf '%s\n' "${lines[@]}" | cut -d' ' -f"$1" | spread
}
read -r start_min start_median start_max < <(field_spread 1 game_times)
read -r minimal_start_min minimal_start_median minimal_start_max < <(field_spread 1 minimal_times)
read -r frame1_min frame1_median frame1_max < <(field_spread 2 game_times)
read -r minimal_frame1_min minimal_frame1_median minimal_frame1_max < <(field_spread 2 minimal_times)
read -r picture_start_min picture_start_median picture_start_max < <(field_spread 1 picture_times)
read -r picture_frame1_min picture_frame1_median picture_frame1_max < <(field_spread 2 picture_times)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f ×", a / b }'; }
frame1_goal_ms=$(times "$picture_frame1_median" 1.05)
# Where the game's start-up goes: the moments it marks (ZORBAN_STARTUP_TIMELINE),
# each the median over its runs, with the X server's map and first damage.
timeline_runs=${TIMELINE_RUNS:-5}
note "start-up timeline, $timeline_runs runs"
timeline_lines=()
for _ in $(seq "$timeline_runs"); do
    while IFS= read -r line; do timeline_lines+=("$line"); done < <(startup_ms "$work" --timeline "$ZORBAN_BIN")
done
startup_timeline=$(printf '%s\n' "${timeline_lines[@]}" | awk '
    function add(stage, value) {
        if (!(stage in count)) order[++stages] = stage
        ms[stage, ++count[stage]] = value
    }
    /^timeline / { stage = $3; for (i = 4; i <= NF; i++) stage = stage " " $i; add(stage, $2); next }
    NF == 2 { add("window mapped (X server)", $1); add("first frame (X server)", $2) }
    END {
        for (s = 1; s <= stages; s++) {
            n = count[order[s]]
            for (i = 1; i <= n; i++) v[i] = ms[order[s], i]
            for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
            printf "%.1f %s\n", v[int((n + 1) / 2)], order[s]
        }
    }' | sort -n | awk '{ ms = $1; $1 = ""; printf "%s%s %s", (NR > 1 ? " · " : ""), substr($0, 2), ms }')
startup_rows() {
    cat <<EOF
| Start to window shown² | $start_median ms median (min $start_min, max $start_max) | plain: $minimal_start_median ms median (min $minimal_start_min, max $minimal_start_max); picture: $picture_start_median ms median (min $picture_start_min, max $picture_start_max) | — | $(ratio "$start_median" "$minimal_start_median") the plain window's, $(ratio "$start_median" "$picture_start_median") the picture window's |
| Start to the window's first frame² | $frame1_median ms median (min $frame1_min, max $frame1_max) | plain: $minimal_frame1_median ms median (min $minimal_frame1_min, max $minimal_frame1_max); picture: $picture_frame1_median ms median (min $picture_frame1_min, max $picture_frame1_max) | median at most 1.05 × the picture window's ($frame1_goal_ms ms) | $(verdict_at_most "$frame1_median" "$frame1_goal_ms") ($(ratio "$frame1_median" "$picture_frame1_median")) |
EOF
}
startup_notes() {
    cat <<EOF
1. Two Qt windows of the game window's size (1058 × 758), started and measured the same way as the game. Plain: \`tools/bench_minimal_window.cpp\`, a \`QApplication\` showing a plain \`QWidget\`. Picture: \`tools/bench_picture_window.cpp\`, one that decodes the game's backdrop from the same PNG at the same resource path, draws it scaled to the window as the game does, and shows one "Начать игру" button at the game's place and in its style.
2. From starting the process to its first window mapped on the X server, and to the first drawing into that window (its first frame: each of these windows draws all of it at once), timed by \`tools/bench_startup.cpp\` from the server's map and damage events; $runs runs of each, the game and the two windows in turns. The map comes before anything is drawn and is shown for information; the first frame is what the player waits for. Where the game's start goes (\`bench_startup --timeline\`: the median of $timeline_runs more runs for each moment the game marks, in ms from the start of the process): $startup_timeline.
EOF
}
if $startup_only; then
    echo "| Measure | Zorban | Qt windows, same run¹ | Goal | Result |"
    echo "|---|---|---|---|---|"
    startup_rows
    echo
    echo "Measured by \`tools/bench.sh --startup\` on $(date +%Y-%m-%d): $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), $(nproc) cores, Xvfb (1280 × 900, 24 bits), RelWithDebInfo build."
    echo
    startup_notes
    exit 0
fi

# 2. The minimal window's memory.
note "minimal window's memory"
minimal_start
sleep 2
read -r minimal_rss minimal_hwm < <(awk '/^VmRSS:/ { rss = $2 } /^VmHWM:/ { hwm = $2 } END { print rss, hwm }' "/proc/$MINIMAL_PID/status")
rss_by_mapping "$MINIMAL_PID" >"$work/minimal.maps"
minimal_stop

# 3 and 4. Memory and processor use in one whole game.
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
            rss_by_mapping "$GAME_PID" >"$work/game.maps"
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

# 5. Many whole games in one process.
note "$games whole games in one process (a few minutes)"
games_status=0
games_output=$(cd "$work" && "$build/tools/bench_games" "$games" 2>"$work/bench_games.err") || games_status=$?
# The first match of the sed expression $1 in bench_games's output.
games_figure() { echo "$games_output" | sed -n "$1" | head -n 1; }
games_platform=$(games_figure 's/^platform: //p')
games_speed_up=$(games_figure 's/^timers: \([0-9]*\) times faster/\1/p')
games_start_rss=$(games_figure 's/^rss kB after start: //p')
games_first_rss=$(games_figure 's/^rss kB after game 1: //p')
games_tenth_rss=$(games_figure 's/^rss kB after game 10: //p')
games_last_rss=$(games_figure "s/^rss kB after game $games: //p")
games_first_heap=$(games_figure 's/^heap kB in use after game 1: //p')
games_last_heap=$(games_figure "s/^heap kB in use after game $games: //p")
read -r timed_calls timed_over_1ms timed_longest timed_processor timed_waits timed_preemptions < <(games_figure 's/^calls into the sound engine timed from the window: \([0-9]*\), over 1 ms: \([0-9]*\), longest \([0-9.]*\) ms (\([0-9.]*\) ms .* waited \([0-9]*\) times and was preempted \([0-9]*\) times)/\1 \2 \3 \4 \5 \6/p') || true
read -r game_ms_median game_ms_max < <(games_figure 's/^games: .*median \([0-9]*\), max \([0-9]*\),.*/\1 \2/p') || true
engine_call_games=$(games_figure 's/^longest call into the sound engine: \([0-9.]*\) ms/\1/p')
read -r movie_frames movie_animations movie_cache_kb < <(games_figure 's/^movie frames held.*: \([0-9]*\) frames of \([0-9]*\) animations, \([0-9]*\) kB.*/\1 \2 \3/p') || true
read -r sound_files sound_seconds sound_kb credits_kb < <(games_figure 's/^decoded game sounds: \([0-9]*\) files, \([0-9.]*\) s, \([0-9]*\) kB; .* \([0-9]*\) kB more/\1 \2 \3 \4/p') || true
stuck=$(games_figure '/^game [0-9]* stuck /p')
[ "$games_status" -eq 0 ] || note "bench_games ended with $games_status: ${stuck:-$(tail -n 3 "$work/bench_games.err")}"

# 6. The sound soak, when it has been built: how late the clips' ends come, and
# its own longest call into the engine.
engine_call_soak=""
soak_status=""
soak_lateness=""
soak_summary=""
if [ -x "$sound_soak_bin" ]; then
    note "sound soak (about five minutes)"
    soak_status=0
    ZORBAN_SOUND_SOAK_CHANGES=${SOAK_CHANGES:-} QT_QPA_PLATFORM=offscreen "$sound_soak_bin" >"$work/sound_soak.out" 2>&1 || soak_status=$?
    engine_call_soak=$(sed -n 's/.*longest call into the sound engine: \([0-9.]*\) ms.*/\1/p' "$work/sound_soak.out" | tail -n 1)
    soak_lateness=$(sed -n 's/.*clip ends after their due time: \(.*\)$/\1/p' "$work/sound_soak.out" | tail -n 1)
    soak_summary=$(sed -n 's/.* \([0-9][0-9]* clip changes in [0-9.]* s; [0-9]* clips ended\)$/\1/p' "$work/sound_soak.out" | tail -n 1)
    [ -n "$engine_call_soak" ] || note "the sound soak ended with $soak_status and no longest call: $(grep -m 1 '^FAIL' "$work/sound_soak.out" || tail -n 1 "$work/sound_soak.out")"
fi

# 7 and 8. Frames with every plate and lid playing.
measure_frames

# 9. An oversized re-skin: the game's peak memory.
note "a re-skin with a 60-minute MP3 and a WAV at 1 Hz"
reskin_output=$("$root/tools/bench-reskin.sh" 2>/dev/null) || true
reskin_peak=$(echo "$reskin_output" | sed -n 's/^peak kB: //p')
reskin_rss=$(echo "$reskin_output" | sed -n 's/^rss kB: //p')
reskin_seconds=$(echo "$reskin_output" | sed -n 's/^seconds: //p')
if [ -n "$reskin_peak" ]; then
    reskin_figure="$(mb "$reskin_peak") MB peak ($(mb "$reskin_rss") MB resident once both files were named, ${reskin_seconds} s after start)"
    reskin_verdict=$(verdict "$reskin_peak" 195313) # 200 MB in kB
else
    reskin_figure="not measured: $(echo "$reskin_output" | tail -n 1)"
    reskin_verdict="not met"
fi

# 10. Game pads and the quick pace (tools/bench_pad.cpp), in a home of their own.
note "game pads: processor, 30 s"
pad_home="$work/pad-home"
mkdir -p "$pad_home"
pad_output=$(cd "$work" && HOME="$pad_home" XDG_CONFIG_HOME="$pad_home/.config" XDG_DATA_HOME="$pad_home/.local/share" "$build/tools/bench_pad" cpu 2>/dev/null) || true
cpu_pads_none=$(echo "$pad_output" | sed -n 's/.*pads watched, none plugged in: \([0-9.]*\) %.*/\1/p')
cpu_pads_one=$(echo "$pad_output" | sed -n 's/.*a pad plugged in: \([0-9.]*\) %.*/\1/p')
pace_games=${PACE_GAMES:-2}
note "whole games at the designed and the quick pace, $pace_games of each (about $((pace_games * 80)) s)"
pace_output=$(cd "$work" && HOME="$pad_home" XDG_CONFIG_HOME="$pad_home/.config" XDG_DATA_HOME="$pad_home/.local/share" "$build/tools/bench_pad" pace "$pace_games" 2>/dev/null) || true
pace_designed=$(echo "$pace_output" | sed -n 's/^designed pace: median \([0-9.]*\) s.*/\1/p')
pace_quick=$(echo "$pace_output" | sed -n 's/^quick pace: median \([0-9.]*\) s.*/\1/p')
if [ -n "$pace_designed" ] && [ -n "$pace_quick" ]; then
    pace_figure="$pace_quick s median, designed pace $pace_designed s ($(awk -v q="$pace_quick" -v d="$pace_designed" 'BEGIN { printf "%.2f", q / d }') ×)"
    pace_verdict=$(verdict "$pace_quick" "$(awk -v d="$pace_designed" 'BEGIN { print d / 3 }')")
else
    pace_figure="not measured: $(echo "$pace_output" | tail -n 1)"
    pace_verdict="not met"
fi

rss_goal_kb=$(times "$minimal_rss" 1.6)
if $game_ended; then
    end_figure="$(mb "$end_rss") MB (peak $(mb "$end_hwm") MB)"
    end_verdict=$(verdict_at_most "$end_rss" "$rss_goal_kb")
else
    end_figure="not measured: the game did not reach its end screen"
    end_verdict="not met"
fi
if [ "$games_status" -eq 0 ] && [ -n "$games_last_rss" ]; then
    growth_kb=$((games_last_rss - games_first_rss))
    growth_figure="$(mb "$growth_kb") MB (after game 1: $(mb "$games_first_rss") MB, after game $games: $(mb "$games_last_rss") MB)"
    growth_verdict=$(verdict $((growth_kb * 1024)) 1000000)
else
    growth_figure="not measured: ${stuck:-bench_games failed (exit $games_status)}"
    growth_verdict="not met"
fi
engine_call=$(awk -v a="${engine_call_games:-0}" -v b="${engine_call_soak:-0}" 'BEGIN { printf "%.3f", (a + 0 > b + 0 ? a : b) }')
if [ -n "$engine_call_soak" ]; then
    engine_call_figure="$engine_call ms (whole games $engine_call_games ms, sound soak $engine_call_soak ms)"
else
    engine_call_figure="$engine_call ms (whole games)"
fi
if [ -n "$engine_call_games" ]; then
    engine_call_verdict=$(verdict "$engine_call" 1)
else
    engine_call_figure="not measured: bench_games failed (exit $games_status)"
    engine_call_verdict="not met"
fi
[ "$platform" = xcb ] || note "the frame benchmark ran on \"$platform\", not xcb"
cpu_model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
decoded_mb=$(mb "${sound_kb:-0}")

cat <<EOF
| Measure | Zorban | Qt windows, same run¹ | Goal | Result |
|---|---|---|---|---|
$(startup_rows)
| Resident memory after start³ | $(mb "$start_rss") MB (peak $(mb "$start_hwm") MB) | plain: $(mb "$minimal_rss") MB (peak $(mb "$minimal_hwm") MB) | — | — |
| Resident memory after a whole game³ | $end_figure | plain: $(mb "$minimal_rss") MB after start | at most 1.6 × the plain window's ($(mb "$rss_goal_kb") MB) | $end_verdict |
| Memory growth over $games whole games in one process⁴ | $growth_figure | — | under 1 MB | $growth_verdict |
| Longest call of the window's thread into the sound engine⁵ | $engine_call_figure | — | under 1 ms | $engine_call_verdict |
| How late a clip's end comes⁵ | ${soak_lateness:-not measured: the sound soak is not built or did not finish} | — | — | — |
| Processor, idle before "Начать игру"⁶ | $(percent "$cpu_idle") % of a core | — | under 1 % | $(verdict "$cpu_idle" 1) |
| Processor, waiting for a click⁶ | $(percent "$cpu_waiting") % of a core | — | under 1 % | $(verdict "$cpu_waiting" 1) |
$(frame_rows)
| Peak memory, re-skin with a 60-minute MP3 and a 1 Hz WAV¹⁰ | $reskin_figure | — | under 200 MB | $reskin_verdict |
| Processor, waiting for a click, game pads watched¹¹ | none plugged in: ${cpu_pads_none:-?} % of a core; one plugged in: ${cpu_pads_one:-?} % | — | under 1 % | $(verdict "${cpu_pads_none:-9}" 1) / $(verdict "${cpu_pads_one:-9}" 1) |
| Whole game at the quick pace¹² | $pace_figure | — | under a third of the designed pace's | $pace_verdict |

Measured by \`tools/bench.sh\` on $(date +%Y-%m-%d): $cpu_model, $(nproc) cores, Xvfb (1280 × 900, 24 bits), RelWithDebInfo build, no sound card (the sound engine decodes and times its clips as with one, silently, with no device open).

$(startup_notes)
3. VmRSS of the process, peak VmHWM in brackets, MB = 10⁶ bytes. After start: the window shown and 2 s settled. After a whole game: $( $game_ended && echo "the end screen with the winnings, after" || echo "after") a game played with xdotool clicks and the real sounds (\`play_whole_game\` in \`tools/xvfb-session.sh\`), every offer declined. Of that, the game's sounds, decoded by the engine from the start, take $decoded_mb MB (${sound_files:-?} files, ${sound_seconds:-?} s of 44.1 kHz 16-bit mono; the credits' music, decoded only when the credits open, would add $(mb "${credits_kb:-0}") MB), and the frames the movies keep once none plays (the frames on screen) $(mb "${movie_cache_kb:-0}") MB (${movie_frames:-?} frames of ${movie_animations:-?} animations; both measured by \`bench_games\`). What the game holds over the plain window after the whole game, by mapping (\`/proc/PID/smaps\`, the ten largest differences in MB): $( [ -s "$work/game.maps" ] && mapping_differences "$work/game.maps" "$work/minimal.maps" 10 || echo "not measured").
4. \`tools/bench_games.cpp\` ($games_platform platform): $games whole games in one process through "Новая игра", all in the same window, with the real sound engine and movies; every sound is a 40 ms clip that the engine plays and ends by itself, and the window's timers run $games_speed_up times faster, so a game takes $(seconds "$game_ms_median") s (median; longest $(seconds "$game_ms_max") s). A scripted player chooses a case once the board is revealed, opens the others at random and answers the offers with a seeded mix of "ДА" and "НЕТ". Growth: VmRSS after game $games minus VmRSS after game 1, each taken with the next game shown and 1 s settled; after start $(mb "$games_start_rss") MB, after game 10 $(mb "$games_tenth_rss") MB. The heap that malloc reports in use (\`mallinfo2\`) went from $(mb "${games_first_heap:-0}") MB after game 1 to $(mb "${games_last_heap:-0}") MB after game $games.
5. The engine's own record (\`SoundEngine::longestCall()\`) of its longest call from the window's thread, as wall time: over the $games games of note 4$( [ -n "$engine_call_soak" ] && echo ", and over the sound soak (\`tests/test_sound_soak.cpp\`: five minutes of clip changes at random moments); the larger counts")$( [ -n "$soak_status" ] && [ -z "$engine_call_soak" ] && echo " (the sound soak ran but ended with status $soak_status before printing its figure)"). How late a clip's end comes: in the sound soak$( [ -n "$soak_summary" ] && echo " ($soak_summary)"), from each ended clip's due end (its length after its start, or the end of its last pass for a loop told to play once more) to its end reported on the window's thread. Timed from outside in the same games, ${timed_calls:-?} calls of the window into its sound players, ${timed_over_1ms:-?} of them over 1 ms; the longest took ${timed_longest:-?} ms, ${timed_processor:-?} ms of it on the processor, and meanwhile the thread waited ${timed_waits:-?} times and was preempted ${timed_preemptions:-?} times.
6. User and system time of the process over 10 s, before the first click and once the own case is chosen; the kernel counts it in 10 ms ticks, so the resolution is 0.1 %.
$(frame_notes)
10. \`tools/bench-reskin.sh\`: the game started in a folder whose \`music/\` holds a 60-minute MP3 as the banker's music (the game's own banker music, its MPEG frames repeated) and a 72 KB WAV at 1 Hz as an opened case's sting, both made by \`bench_reskin\`; VmHWM once the game has said on stderr what it makes of both (each refused in one line: too long to keep, and a sample rate out of range).
11. \`tools/bench_pad.cpp cpu\`: the real application waiting for a click after the own case, 10 s each, from \`getrusage\`: once the pads' thread watches (SDL asked once a second) with no pad, then with an SDL virtual game controller plugged in (asked every 16 ms)$( [ -n "$pad_output" ] && echo "; before the pads were watched: $(echo "$pad_output" | sed -n 's/.*pads not watched: \([0-9.]*\) %.*/\1/p') %").
12. \`tools/bench_pad.cpp pace\`: $pace_games whole games at each pace with the real sounds timed in real time, a scripted player pressing a case, "НЕТ" or "Новая игра" as soon as the press does something; from "Начать игру" to the winnings shown.
EOF
