#!/bin/sh
# Makes every picture, movie and sound of the game from the scripts in
# tools/assets/, into assets/pictures, assets/flashes, assets/music, the
# application icon in assets/icons (hicolor theme layout) and the test clips
# tests/data/click-700ms.mp3 and blip-40ms.mp3. The output depends only on
# the scripts and the packages below: running it again gives byte-identical files.
#
# Debian packages it needs:
#   python3 python3-numpy python3-pil python3-cairo lame fonts-dejavu-core
#
# Usage:
#   tools/make-assets.sh           write the assets into the work tree
#   tools/make-assets.sh --check   make them in a scratch folder and compare
#                                  with the files in the work tree (exit 1 if
#                                  any differs)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
# Debian's interpreter, whatever else is first on PATH: it has numpy, PIL, cairo.
python=${PYTHON:-/usr/bin/python3}
scripts=$root/tools/assets
export PYTHONDONTWRITEBYTECODE=1

for tool in "$python" lame; do
    command -v "$tool" >/dev/null 2>&1 || { echo "make-assets: $tool is missing" >&2; exit 2; }
done
"$python" -c 'import numpy, PIL, cairo' 2>/dev/null ||
    { echo "make-assets: install python3-numpy python3-pil python3-cairo" >&2; exit 2; }

make_all() { # $1: folder that plays the role of the repository root
    mkdir -p "$1/assets/pictures" "$1/assets/flashes" "$1/assets/music" "$1/assets/icons" "$1/tests/data"
    "$python" "$scripts/pictures.py" "$1/assets/pictures"
    "$python" "$scripts/icons.py" "$1/assets/icons"
    "$python" "$scripts/flashes.py" "$1/assets/flashes"
    "$python" "$scripts/sounds.py" "$1/assets/music" "$1/tests/data/click-700ms.mp3"
}

if [ "${1:-}" = "--check" ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    make_all "$scratch" >/dev/null
    differ=$(cd "$scratch" && find assets tests -type f | LC_ALL=C sort | while IFS= read -r f; do
        cmp -s "$scratch/$f" "$root/$f" || echo "differs: $f"
    done)
    if [ -n "$differ" ]; then
        echo "$differ"
        exit 1
    fi
    echo "make-assets: every asset matches its generator"
    exit 0
fi

make_all "$root"
(cd "$root" && find assets/pictures assets/icons assets/flashes assets/music tests/data/click-700ms.mp3 tests/data/blip-40ms.mp3 -type f |
    LC_ALL=C sort | xargs -d '\n' sha256sum) > "${TMPDIR:-/tmp}/zorban-assets.sha256"
echo "make-assets: done; checksums in ${TMPDIR:-/tmp}/zorban-assets.sha256"
