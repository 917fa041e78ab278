#!/usr/bin/env bash
# Sets up, builds and starts the game, or runs every test.
#   ./zorban.sh play [options]   install what is missing, build, start the game
#                                with those options (./zorban.sh play --lang en --mute)
#   ./zorban.sh test   install what is missing, build, run every test but the soaks
#   ./zorban.sh soak   install what is missing, build, run the soaks (minutes of
#                      the same thing again and again; CI runs them as a step)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${ZORBAN_BUILD_DIR:-$here/build}"

# Debian 12 packages the game needs to build, run and be tested.
packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev librlottie-dev libsdl2-dev libmpg123-dev libfontconfig-dev
    qt6-charts-dev libqt6opengl6-dev # the statistics chart; Qt Charts' CMake files need Qt6OpenGL's
    qt6-tools-dev qt6-l10n-tools # qt_add_translations, lupdate and lrelease
    fonts-dejavu-core fonts-dejavu-extra fonts-play fonts-paratype
    help2man file desktop-file-utils appstream lintian
    libxdamage-dev # the start-up benchmark's first-frame timer (tools/bench.sh)
    pulseaudio pulseaudio-utils # a sound server of the tests' own, killed and started again
    xvfb dbus-daemon at-spi2-core python3-pyatspi # the AT-SPI test plays under Xvfb on its own bus
    orca espeak-ng xdotool # the screen-reader test: Orca listens, espeak-ng checks how amounts sound
    clang libclang-rt-14-dev # the fuzz targets: clang with libFuzzer and AddressSanitizer (tools/fuzz.sh)
)

install_missing() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "zorban: installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Builds the given targets, or everything.
build() {
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)" ${1:+--target "$@"}
}

case "${1:-}" in
play)
    install_missing
    build zorban zorban_assets
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "zorban: no display found (DISPLAY is not set); start the game from a desktop session or under xvfb-run." >&2
        exit 1
    fi
    shift
    exec "$build/zorban" "$@"
    ;;
test)
    install_missing
    build
    cd "$build"
    ctest --output-on-failure -j"$(nproc)" -LE soak
    ;;
soak)
    install_missing
    build
    cd "$build"
    ctest --output-on-failure -j"$(nproc)" -L soak
    ;;
*)
    echo "usage: $0 play [game options] | $0 test | $0 soak" >&2
    exit 2
    ;;
esac
