#!/usr/bin/env bash
# Builds the game's Debian package and checks it:
#   - lintian reports no error and no warning;
#   - its files: the binary in /usr/games, every movie and sound, the desktop
#     entry, the icons, the AppStream metadata, the manual page, the copyright
#     and the changelog, and nothing else;
#   - its control fields, and that Depends names what the game needs at run time;
#   - the desktop entry and metadata pass desktop-file-validate and appstreamcli;
#     the desktop entry starts the game with --desktop;
#   - the binary unpacked with dpkg-deb -x, run from an unrelated directory,
#     finds every movie and sound in the unpacked share directory;
#   - when run as root (or with password-less sudo) and apt-get is there: the
#     package installs, /usr/games/zorban --media finds everything under
#     /usr/share/zorban, the desktop entry's command, run in a fresh home
#     directory on the offscreen platform, keeps the game running for 3 s and
#     writes its log in ~/.local/state/zorban, not in the home directory, and
#     the package is removed again. A machine that already has a zorban package
#     installed is left alone (that part is skipped).
#
# Usage: tools/check-package.sh [build-dir]    (default: build/)
# The build directory is configured and built when needed.
# Debian packages it needs: build-essential (dpkg-dev), cmake, file,
# desktop-file-utils, appstream, lintian, and help2man for the build.
#
# pass() never fails, so "test && pass || fail" is an if-else; cleanup runs from the trap.
# shellcheck disable=SC2015,SC2317
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
app_id=io.github.zorban.Zorban
icon_sizes=(16 32 48 64 128 256)
# What the game loads at run time (fonts, SDL2 for the sound output) and the
# libraries it links that dpkg-shlibdeps must have found.
runtime_depends=(fonts-dejavu-core fonts-dejavu-extra fonts-play fonts-paratype
    libqt6widgets6 libqt6charts6 librlottie0-1 libsdl2-2.0-0 libmpg123-0)

passed=0
failed=()
pass() { echo "PASS  $*"; passed=$((passed + 1)); }
fail() { echo "FAIL  $*"; failed+=("$*"); }
skip() { echo "SKIP  $*"; }

summary() {
    echo
    if [ ${#failed[@]} -eq 0 ]; then
        echo "check-package: PASS ($passed checks${deb:+, $deb})"
        exit 0
    fi
    echo "check-package: FAIL (${#failed[@]} of $((passed + ${#failed[@]})) checks failed)"
    printf '  - %s\n' "${failed[@]}"
    exit 1
}

need() { # command, Debian package
    command -v "$1" >/dev/null 2>&1 && return 0
    echo "check-package: $1 is missing (apt-get install $2)" >&2
    exit 2
}
need cmake cmake
need cpack cmake
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
need file file
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need lintian lintian

scratch=$(mktemp -d)
sudo_cmd=()
installed_here=false
game_pid=
cleanup() {
    if [ -n "$game_pid" ]; then
        kill "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
    fi
    if $installed_here; then
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq zorban >/dev/null 2>&1
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Prints "name<TAB>path" lines of "zorban --media"; fails unless the command
# exits 0 and every file is found under the given directory.
media_all_under() { # binary, directory the files must be under, output file
    local binary=$1 share=$2 out=$3 here status
    here=$(mktemp -d -p "$scratch")
    (cd "$here" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$binary" --media) >"$out" 2>"$out.err"
    status=$?
    if [ $status -ne 0 ]; then
        echo "      exit code $status:"; sed 's/^/      /' "$out" "$out.err"; return 1
    fi
    local count=0 bad=0 name path
    while IFS=$'\t' read -r name path; do
        count=$((count + 1))
        case "$path" in
        "$share"/*) [ -f "$path" ] || { echo "      $name: $path does not exist"; bad=1; } ;;
        *) echo "      $name: found at $path, not under $share"; bad=1 ;;
        esac
    done <"$out"
    echo "      $count files, run from $here"
    [ $count -gt 0 ] && [ $bad -eq 0 ]
}

# --- build ------------------------------------------------------------------
echo "check-package: build directory $build"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$scratch/configure.log" 2>&1 ||
        { cat "$scratch/configure.log"; fail "configure $build"; summary; }
fi
cmake --build "$build" -j"$(nproc)" >"$scratch/build.log" 2>&1 ||
    { tail -40 "$scratch/build.log"; fail "build $build"; summary; }
out_dir=$build/packages
rm -f "$out_dir"/zorban_*.deb
(cd "$build" && cpack -G DEB -B "$out_dir") >"$scratch/cpack.log" 2>&1 ||
    { tail -40 "$scratch/cpack.log"; fail "cpack -G DEB"; summary; }
debs=("$out_dir"/zorban_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "cpack made exactly one zorban_*.deb in $out_dir"
    summary
fi
deb_path=${debs[0]}
deb=$(basename "$deb_path")
pass "cpack -G DEB made $deb ($(du -k "$deb_path" | cut -f1) KiB)"

# --- control fields ---------------------------------------------------------
field() { dpkg-deb -f "$deb_path" "$1"; }
version=$(field Version)
arch=$(field Architecture)
[ "$(field Package)" = zorban ] && pass "Package: zorban" || fail "Package is '$(field Package)', not zorban"
[ "$deb" = "zorban_${version}_${arch}.deb" ] && pass "file name zorban_<version>_<arch>.deb" ||
    fail "file name $deb, expected zorban_${version}_${arch}.deb"
[ "$arch" = "$(dpkg --print-architecture)" ] && pass "Architecture: $arch" ||
    fail "Architecture '$arch', this machine is $(dpkg --print-architecture)"
[ "$(field Section)" = games ] && pass "Section: games" || fail "Section is '$(field Section)', not games"
[ -n "$(field Maintainer)" ] && pass "Maintainer: $(field Maintainer)" || fail "no Maintainer"
[ -n "$(field Description)" ] && pass "Description given" || fail "no Description"
depends=$(field Depends)
echo "      Depends: $depends"
for package in "${runtime_depends[@]}"; do
    if printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | grep -qx -- "$package"; then
        pass "Depends names $package"
    else
        fail "Depends does not name $package"
    fi
done

# --- lintian ----------------------------------------------------------------
# It says that running as root is not recommended on stderr; its findings are on stdout.
lintian --fail-on error,warning --no-tag-display-limit "$deb_path" >"$scratch/lintian" 2>"$scratch/lintian.err"
lintian_status=$?
if [ $lintian_status -eq 0 ] && ! grep -q '^[EW]: ' "$scratch/lintian"; then
    pass "lintian: no errors, no warnings"
else
    fail "lintian (exit code $lintian_status)"
    sed 's/^/      /' "$scratch/lintian" "$scratch/lintian.err"
fi

# --- files ------------------------------------------------------------------
dpkg-deb -c "$deb_path" >"$scratch/contents" || fail "dpkg-deb -c"
# The listing is tar's: mode, owner, size, date, time, then the name.
grep -v '^d' "$scratch/contents" | sed -E 's/^([^ ]+ +){5}//; s|^\./|/|' | LC_ALL=C sort >"$scratch/files"
{
    echo /usr/games/zorban
    echo /usr/lib/games/zorban/libzorban_chart.so
    echo /usr/share/man/man6/zorban.6.gz
    echo "/usr/share/applications/$app_id.desktop"
    echo "/usr/share/metainfo/$app_id.metainfo.xml"
    echo /usr/share/doc/zorban/copyright
    echo /usr/share/doc/zorban/changelog.gz
    (cd "$root/assets" && find flashes music -type f) | sed 's|^|/usr/share/zorban/|'
    (cd "$root/assets/icons" && find . -type f) | sed 's|^\./|/usr/share/icons/hicolor/|'
} | LC_ALL=C sort >"$scratch/expected"
missing=$(LC_ALL=C comm -23 "$scratch/expected" "$scratch/files")
extra=$(LC_ALL=C comm -13 "$scratch/expected" "$scratch/files")
[ -z "$missing" ] && pass "package holds all $(wc -l <"$scratch/expected") expected files" ||
    { fail "package lacks files"; printf '%s\n' "$missing" | sed 's/^/      missing: /'; }
[ -z "$extra" ] && pass "package holds nothing else (no tests, libraries or headers)" ||
    { fail "package holds unexpected files"; printf '%s\n' "$extra" | sed 's/^/      extra: /'; }
for size in "${icon_sizes[@]}"; do
    grep -qx "/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" "$scratch/files" &&
        pass "icon ${size}x${size}" || fail "no ${size}x${size} icon"
done

# --- unpacked ---------------------------------------------------------------
tree=$scratch/unpacked
mkdir -p "$tree"
dpkg-deb -x "$deb_path" "$tree" || fail "dpkg-deb -x"
desktop=$tree/usr/share/applications/$app_id.desktop
metainfo=$tree/usr/share/metainfo/$app_id.metainfo.xml
desktop-file-validate "$desktop" >"$scratch/dfv" 2>&1 && [ ! -s "$scratch/dfv" ] &&
    pass "desktop-file-validate" || { fail "desktop-file-validate"; sed 's/^/      /' "$scratch/dfv"; }
appstreamcli validate-tree --no-net "$tree" >"$scratch/asv" 2>&1 &&
    pass "appstreamcli validate-tree --no-net" ||
    { fail "appstreamcli validate-tree --no-net"; sed 's/^/      /' "$scratch/asv"; }
# The window's WM_CLASS is "zorban", "zorban" (the program's name): desktops
# match the running window to its entry by StartupWMClass.
grep -qx "Icon=$app_id" "$desktop" && grep -qx "Exec=zorban --desktop" "$desktop" &&
    grep -qx "StartupWMClass=zorban" "$desktop" &&
    pass "desktop entry: Icon=$app_id, Exec=zorban --desktop, StartupWMClass=zorban" ||
    fail "desktop entry Icon/Exec/StartupWMClass"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" &&
    pass "metainfo launches $app_id.desktop" || fail "metainfo launchable is not $app_id.desktop"
release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
[ "$release" = "$version" ] && pass "metainfo's latest release is $version" ||
    fail "metainfo's latest release is '$release', the package is $version"
changelog_version=$(zcat "$tree/usr/share/doc/zorban/changelog.gz" | head -1 | sed -n 's/^zorban (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$version" ] && pass "changelog's latest entry is $version" ||
    fail "changelog's latest entry is '$changelog_version', the package is $version"
reported=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tree/usr/games/zorban" --version 2>&1)
[ "$reported" = "zorban $version" ] && pass "zorban --version: $reported" ||
    fail "zorban --version says '$reported', the package is $version"
media_all_under "$tree/usr/games/zorban" "$tree/usr/share/zorban" "$scratch/media-unpacked" &&
    pass "unpacked zorban --media finds every file under the unpacked usr/share/zorban" ||
    fail "unpacked zorban --media"

# --- installed --------------------------------------------------------------
can_install=true
if ! command -v apt-get >/dev/null 2>&1; then
    skip "install: no apt-get"; can_install=false
elif [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then sudo_cmd=(sudo -n); else skip "install: not root and no password-less sudo"; can_install=false; fi
fi
if $can_install && dpkg-query -W -f='${Status}' zorban 2>/dev/null | grep -q "install ok installed"; then
    skip "install: a zorban package is already installed here; left alone"
    can_install=false
fi
if $can_install; then
    apt_install() {
        (cd "$out_dir" && DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "./$deb") \
            >"$scratch/apt.log" 2>&1
    }
    installed_here=true
    if apt_install || { "${sudo_cmd[@]}" apt-get update -qq >/dev/null 2>&1 && apt_install; }; then
        pass "apt-get install ./$deb"
        echo "      $(grep -c '^Setting up ' "$scratch/apt.log") packages set up"
        [ "$(dpkg-query -W -f='${Version}' zorban)" = "$version" ] && pass "dpkg knows zorban $version" ||
            fail "installed version is not $version"
        media_all_under /usr/games/zorban /usr/share/zorban "$scratch/media-installed" &&
            pass "installed zorban --media finds every file under /usr/share/zorban" ||
            fail "installed zorban --media"
        # Started as the desktop does: the entry's command, found on the PATH,
        # in the home directory.
        exec_line=$(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.desktop")
        home=$(mktemp -d -p "$scratch")
        read -ra game_command <<<"$exec_line"
        (cd "$home" && exec env -u XDG_STATE_HOME HOME="$home" PATH="/usr/games:$PATH" \
            QT_QPA_PLATFORM=offscreen "${game_command[@]}") >"$scratch/game.log" 2>&1 &
        game_pid=$!
        sleep 3
        if kill -0 "$game_pid" 2>/dev/null; then
            pass "installed game started by '$exec_line' still runs after 3 s (offscreen)"
        else
            wait "$game_pid"
            fail "installed game started by '$exec_line' ended within 3 s (exit code $?)"
            sed 's/^/      /' "$scratch/game.log"
        fi
        kill "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
        game_pid=
        [ -f "$home/.local/state/zorban/log.txt" ] && [ ! -e "$home/log.txt" ] &&
            pass "started from the desktop, the game writes ~/.local/state/zorban/log.txt, not ~/log.txt" ||
            { fail "log of the game started from the desktop"; (cd "$home" && find . | sed 's/^/      /'); }
    else
        fail "apt-get install ./$deb"
        tail -20 "$scratch/apt.log" | sed 's/^/      /'
    fi
    if DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -q zorban >"$scratch/remove.log" 2>&1 &&
        ! dpkg-query -W -f='${Status}' zorban 2>/dev/null | grep -q "install ok installed" &&
        [ ! -e /usr/games/zorban ] && [ ! -e /usr/share/zorban ]; then
        pass "apt-get remove zorban leaves no /usr/games/zorban, no /usr/share/zorban"
    else
        fail "apt-get remove zorban"
        tail -20 "$scratch/remove.log" | sed 's/^/      /'
    fi
    installed_here=false
fi

summary
