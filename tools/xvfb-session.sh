# Helpers for driving the real game under Xvfb with xdotool. Sourced by the
# benchmark and screenshot scripts after they set $root and $build; needs xvfb,
# xdotool and imagemagick.

# Builds the game into $build and runs the calling script ("$0" "$@") again
# under its own Xvfb; inside it, returns at once. Sets ZORBAN_BIN.
run_under_xvfb() {
    export ZORBAN_BIN="$build/zorban"
    [ -n "${INSIDE_XVFB:-}" ] && return 0
    cmake -S "$root" -B "$build" >/dev/null
    cmake --build "$build" -j2 --target zorban >/dev/null
    exec env INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1280x900x24" "$@"
}

# Starts the game in the background in directory $1 on the current DISPLAY and
# waits for its window. Sets GAME_PID, GAME_WINDOW, GAME_X, GAME_Y and
# GAME_SHOWN_MS (milliseconds from the start of the process to the mapped window).
game_start() {
    local dir=$1
    local started
    started=$(date +%s%N)
    (cd "$dir" && exec "$ZORBAN_BIN" >"$dir/zorban.out" 2>&1) &
    GAME_PID=$!
    GAME_WINDOW=""
    # Polled every 10 ms: xdotool's own --sync waits in steps of half a second.
    while [ -z "$GAME_WINDOW" ]; do
        GAME_WINDOW=$(xdotool search --onlyvisible --name 'ЗОРБАН' 2>/dev/null | head -n 1) || true
        if [ -z "$GAME_WINDOW" ]; then
            kill -0 "$GAME_PID" 2>/dev/null || { echo "the game did not start: $(cat "$dir/zorban.out")" >&2; return 1; }
            sleep 0.01
        fi
    done
    GAME_SHOWN_MS=$((($(date +%s%N) - started) / 1000000))
    eval "$(xdotool getwindowgeometry --shell "$GAME_WINDOW")"
    GAME_X=$X
    GAME_Y=$Y
}

game_stop() {
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
}

# Clicks at window coordinates (pixels of the 1058 x 758 design).
game_click() {
    xdotool mousemove $((GAME_X + $1)) $((GAME_Y + $2)) click 1
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
