# shellcheck shell=bash disable=SC2154 # $root and $build come from the sourcing script
# Helpers for driving the real game under Xvfb with xdotool. Sourced by the
# benchmark and screenshot scripts after they set $root and $build; needs xvfb,
# xdotool and imagemagick.

# Builds the game and its media into $build and runs the calling script ("$0" "$@") again
# under its own Xvfb (a 1280 x 900 screen, or $XVFB_SCREEN, such as 1024x600x24);
# inside it, returns at once. Sets ZORBAN_BIN. Optional, set by the caller: $build_type (the build type to configure $build with) and
# $extra_targets (more targets to build, separated by spaces).
run_under_xvfb() {
    export ZORBAN_BIN="$build/zorban"
    [ -n "${INSIDE_XVFB:-}" ] && return 0
    cmake -S "$root" -B "$build" ${build_type:+"-DCMAKE_BUILD_TYPE=$build_type"} >/dev/null
    # shellcheck disable=SC2086 # the targets are words
    cmake --build "$build" -j2 --target zorban zorban_assets ${extra_targets:-} >/dev/null
    # The game runs in an empty directory: its movies and sounds must be found next to it.
    local empty
    empty=$(mktemp -d)
    if ! (cd "$empty" && "$ZORBAN_BIN" --media >/dev/null); then
        rmdir "$empty"
        echo "the game's movies and sounds are missing from $build" >&2
        return 1
    fi
    rmdir "$empty"
    exec env INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 ${XVFB_SCREEN:-1280x900x24}" "$@"
}

# Starts the game in the background in directory $1 on the current DISPLAY and
# waits for its window; GAME_ARGS (an array, optional) are its arguments. Sets GAME_DIR, GAME_PID, GAME_WINDOW, GAME_X, GAME_Y and
# GAME_SHOWN_MS (milliseconds from the start of the process to the mapped window).
game_start() {
    local dir=$1
    local started
    GAME_DIR=$dir
    started=$(date +%s%N)
    (cd "$dir" && exec "$ZORBAN_BIN" "${GAME_ARGS[@]}" >"$dir/zorban.out" 2>&1) &
    GAME_PID=$!
    GAME_WINDOW=""
    # Polled every 10 ms: xdotool's own --sync waits in steps of half a second.
    # xdotool matches no Cyrillic title (the Russian "? ЗОРБАН !"): the first
    # window is found by its class, which the credits window (opened later)
    # shares.
    while [ -z "$GAME_WINDOW" ]; do
        GAME_WINDOW=$(xdotool search --onlyvisible --classname '^zorban$' 2>/dev/null | head -n 1) || true
        if [ -z "$GAME_WINDOW" ]; then
            kill -0 "$GAME_PID" 2>/dev/null || { echo "the game did not start: $(cat "$dir/zorban.out")" >&2; return 1; }
            sleep 0.01
        fi
    done
    GAME_SHOWN_MS=$((($(date +%s%N) - started) / 1000000))
    game_measure_window
}

# Reads where the game window is and how large: GAME_X, GAME_Y and the scale and
# origin at which the 1058 x 758 design is drawn in it (GAME_SCALE, GAME_OX, GAME_OY).
game_measure_window() {
    eval "$(xdotool getwindowgeometry --shell "$GAME_WINDOW")"
    GAME_X=$X
    GAME_Y=$Y
    read -r GAME_SCALE GAME_OX GAME_OY < <(awk -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN {
        s = w / 1058 < h / 758 ? w / 1058 : h / 758
        printf "%f %d %d\n", s, (w - 1058 * s) / 2 + 0.5, (h - 758 * s) / 2 + 0.5 }')
}

game_stop() {
    [ -n "${GAME_PID:-}" ] || return 0
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
    GAME_PID=""
}

# Prints the milliseconds from starting the program $2 (with arguments $3...) in
# directory $1 to its first window mapped on the X server and to the first
# drawing into it, "mapped first-frame", then ends the program. Timed by
# bench_startup from the X server's map and damage events.
startup_ms() {
    local dir=$1
    shift
    (cd "$dir" && exec "$build/tools/bench_startup" "$@" 2>/dev/null)
}

# Starts and stops the game $2 times in directory $1 and prints the times from
# process start to window shown in milliseconds: "min median max".
game_startup_times() {
    local dir=$1 runs=$2 times=()
    for _ in $(seq "$runs"); do
        times+=("$(startup_ms "$dir" "$ZORBAN_BIN" | cut -d' ' -f1)") || return 1
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[1], a[int((NR + 1) / 2)], a[NR] }'
}

# Clicks at a point of the 1058 x 758 design, wherever and however large the
# window draws it.
game_click() {
    local x y
    read -r x y < <(awk -v x="$1" -v y="$2" -v s="${GAME_SCALE:-1}" 'BEGIN { printf "%d %d\n", x * s + 0.5, y * s + 0.5 }')
    xdotool mousemove $((GAME_X + ${GAME_OX:-0} + x)) $((GAME_Y + ${GAME_OY:-0} + y)) click 1
}

# The centre of case i's plate in the pyramid.
case_x() {
    local i=$1
    if [ "$i" -lt 7 ]; then echo $((32 + 88 * i + 40));
    elif [ "$i" -lt 13 ]; then echo $((80 + 88 * (i - 7) + 40));
    elif [ "$i" -lt 18 ]; then echo $((120 + 88 * (i - 13) + 40));
    else echo $((168 + 88 * (i - 18) + 40)); fi
}
case_y() {
    local i=$1
    if [ "$i" -lt 7 ]; then echo 59; elif [ "$i" -lt 13 ]; then echo 131;
    elif [ "$i" -lt 18 ]; then echo 203; else echo 275; fi
}
click_case() { game_click "$(case_x "$1")" "$(case_y "$1")"; }

click_start() { game_click 336 344; }  # "Начать игру" / "Новая игра"
click_no() { game_click 304 388; }
click_yes() { game_click 304 348; }

# Processor time (user + system) of the game so far, in clock ticks.
game_cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"
}

# Percent of one core the game used over the next $1 seconds.
game_cpu_percent() {
    local seconds=$1 before after hz
    hz=$(getconf CLK_TCK)
    before=$(game_cpu_ticks)
    sleep "$seconds"
    after=$(game_cpu_ticks)
    awk -v a="$before" -v b="$after" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", (b - a) * 100 / hz / s }'
}

# Resident memory of the game now and its peak so far, in kB: "VmRSS VmHWM".
game_memory_kb() {
    awk '/^VmRSS:/ { rss = $2 } /^VmHWM:/ { hwm = $2 } END { print rss, hwm }' "/proc/$GAME_PID/status"
}

# Whether the game has written the last record of a game (its own case, "<...>")
# to its log.
game_log_ended() {
    [ -f "$GAME_DIR/log.txt" ] && LC_ALL=C grep -q '^<' "$GAME_DIR/log.txt"
}

# Opens case $1 and waits for its sounds to end.
open_case_and_wait() {
    click_case "$1"
    sleep 4.5
}

# Plays one whole game in the started window with real clicks and the real
# sounds (about two minutes): "Начать игру", case 21 as the own case, then the
# other cases in order, answering "НЕТ" to every offer, to the end screen. Calls
# the command in $1 (if given) with one argument at these moments:
#   start       the window waits for "Начать игру"
#   own-case    the own case is chosen; the game waits for a click
#   first-offer the first offer is on screen with the board
#   offer       a later offer is on screen (the log's last record is the offer)
#   end         the end screen: the own case opened, the winnings shown
# Returns 1 if the end screen does not come.
play_whole_game() {
    local hook=${1:-:} i
    "$hook" start
    click_start
    sleep 3.5
    click_case 21
    sleep 2
    "$hook" own-case
    for i in 0 1 2 3 4 5; do open_case_and_wait "$i"; done
    sleep 1
    "$hook" first-offer
    click_no; sleep 1.5
    for i in 6 7 8; do open_case_and_wait "$i"; done; sleep 1; "$hook" offer; click_no; sleep 1.5
    for i in 9 10 11; do open_case_and_wait "$i"; done; sleep 1; "$hook" offer; click_no; sleep 1.5
    for i in 12 13 14; do open_case_and_wait "$i"; done; sleep 1; "$hook" offer; click_no; sleep 1.5
    for i in 15 16 17; do open_case_and_wait "$i"; done; sleep 1; "$hook" offer; click_no; sleep 1.5
    for i in 18 19; do open_case_and_wait "$i"; done; sleep 1; "$hook" offer; click_no; sleep 1.5
    click_case 20
    # The own case opens after the last sounds; the winnings follow a second later.
    local waited=0
    until game_log_ended; do
        [ "$waited" -lt 300 ] || { echo "the game did not reach its end screen" >&2; return 1; }
        sleep 0.1
        waited=$((waited + 1))
    done
    sleep 2
    "$hook" end
}
