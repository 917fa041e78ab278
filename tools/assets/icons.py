"""Draws the game's application icon: a silver briefcase with a gold question
mark on a night-blue tile, for the hicolor icon theme.

Usage: icons.py OUTPUT_DIR

Writes OUTPUT_DIR/<n>x<n>/apps/<id>.png for every size in SIZES and
OUTPUT_DIR/scalable/apps/<id>.svg. The smallest sizes leave out the fine
lines and the question mark, which would only blur at a few pixels.
"""

import io
import math
import os
import sys

import cairo

import canvas as cv
from palette import (GOLD_DEEP, GOLD_LIGHT, GOLD_MID, GOLD_PALE, GOLD_SHADOW, NIGHT, NIGHT_DEEP,
                     NIGHT_VIOLET, SILVER_DARK, SILVER_LIGHT, SILVER_MID)

APP_ID = "io.github.zorban.Zorban"
SIZES = (16, 24, 32, 48, 64, 128, 256)
# Below this many pixels the icon is drawn in its plain form.
DETAILED_FROM = 32
GRID = 64.0  # the icon is designed on a 64 x 64 grid


def gold(y_top, y_bottom):
    return cv.linear(0, y_top, 0, y_bottom, [
        (0.0, GOLD_PALE), (0.35, GOLD_LIGHT), (0.55, GOLD_MID), (0.62, GOLD_DEEP),
        (0.85, GOLD_MID), (1.0, GOLD_LIGHT)])


def tile(ctx, detailed):
    cv.rounded_rect(ctx, 2, 2, 60, 60, 12)
    ctx.set_source(cv.linear(0, 2, 0, 62, [(0, "#2a1d63"), (0.5, NIGHT), (1, NIGHT_DEEP)]))
    ctx.fill_preserve()
    ctx.save()
    ctx.clip()
    ctx.set_source(cv.radial(32, 36, 0, 30, [(0, NIGHT_VIOLET, 0.9), (1, NIGHT_VIOLET, 0)]))
    ctx.paint()
    ctx.restore()
    rim = 1.6 if detailed else 3.0
    cv.rounded_rect(ctx, 2 + rim / 2, 2 + rim / 2, 60 - rim, 60 - rim, 12 - rim / 2)
    ctx.set_line_width(rim)
    ctx.set_source(gold(2, 62))
    ctx.stroke()


def briefcase(ctx, detailed):
    x, y, w, h = 8, 22, 48, 32
    # handle: a gold loop standing on two studs
    ctx.move_to(24, y + 1)
    ctx.line_to(24, 16)
    ctx.arc(27, 16, 3, math.pi, 1.5 * math.pi)
    ctx.line_to(37, 13)
    ctx.arc(37, 16, 3, 1.5 * math.pi, 2 * math.pi)
    ctx.line_to(40, y + 1)
    ctx.set_line_width(3.2 if detailed else 4.0)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_source(gold(12, y))
    ctx.stroke()
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)
    # body: brushed aluminium, lighter at the top
    cv.rounded_rect(ctx, x, y, w, h, 5)
    ctx.set_source(cv.linear(0, y, 0, y + h, [
        (0.0, "#fbfcff"), (0.12, SILVER_LIGHT), (0.48, SILVER_MID), (0.5, "#9aa2b2"),
        (0.54, "#c3cad6"), (0.9, SILVER_MID), (1.0, SILVER_DARK)]))
    ctx.fill_preserve()
    ctx.set_line_width(1.0 if detailed else 1.6)
    ctx.set_source_rgba(*cv.hex_rgb("#2a2e3d"))
    ctx.stroke()
    if detailed:
        # ribs pressed into the front and a sheen over the upper left
        for ry in (y + 5.5, y + h - 5.5):
            ctx.move_to(x + 4, ry)
            ctx.line_to(x + w - 4, ry)
            ctx.set_line_width(0.8)
            ctx.set_source_rgba(0.2, 0.23, 0.3, 0.5)
            ctx.stroke()
            ctx.move_to(x + 4, ry + 0.8)
            ctx.line_to(x + w - 4, ry + 0.8)
            ctx.set_source_rgba(1, 1, 1, 0.8)
            ctx.stroke()
        # gold corner guards
        g = 7.0
        for cx, cy, sx, sy in ((x, y, 1, 1), (x + w, y, -1, 1), (x, y + h, 1, -1),
                               (x + w, y + h, -1, -1)):
            ctx.save()
            ctx.translate(cx, cy)
            ctx.scale(sx, sy)
            ctx.move_to(0, 5)
            ctx.arc(5, 5, 5, math.pi, 1.5 * math.pi)
            ctx.line_to(g + 2, 0)
            ctx.line_to(g + 2, 2.4)
            ctx.line_to(4.6, 2.4)
            ctx.arc_negative(4.6, 4.6, 2.2, 1.5 * math.pi, math.pi)
            ctx.line_to(2.4, g + 2)
            ctx.line_to(0, g + 2)
            ctx.close_path()
            ctx.restore()
        ctx.set_source(gold(y, y + h))
        ctx.fill()
    # the badge in the middle: dark enamel in a gold bezel
    bx, by = 32, y + h / 2
    radius = 10.0 if detailed else 7.0
    ctx.arc(bx, by, radius + 1.6, 0, 2 * math.pi)
    ctx.set_source(gold(by - radius, by + radius))
    ctx.fill()
    ctx.arc(bx, by, radius, 0, 2 * math.pi)
    ctx.set_source(cv.linear(0, by - radius, 0, by + radius, [(0, "#05041a"), (0.5, NIGHT),
                                                              (1, "#2b2370")]))
    ctx.fill()
    if detailed:
        ext = cv.text_ink(ctx, "?", 17)
        cv.text_path(ctx, "?", 17, bx + 0.2, by + ext.height / 2)
        ctx.set_source(cv.linear(0, by - ext.height / 2, 0, by + ext.height / 2, [
            (0, "#fffbe6"), (0.4, GOLD_LIGHT), (0.7, GOLD_MID), (1, "#ffd86a")]))
        ctx.fill_preserve()
        ctx.set_line_width(0.5)
        ctx.set_source_rgba(*cv.hex_rgb(GOLD_SHADOW, 0.9))
        ctx.stroke()
    else:
        ctx.arc(bx, by, radius * 0.45, 0, 2 * math.pi)
        ctx.set_source(gold(by - radius, by + radius))
        ctx.fill()


def draw(ctx, detailed):
    tile(ctx, detailed)
    briefcase(ctx, detailed)


def png(size):
    surf, ctx = cv.surface(GRID, GRID, size / GRID)
    draw(ctx, size >= DETAILED_FROM)
    return cv.to_pil(surf)


def svg():
    """The icon as SVG; cairo names its patterns and glyphs by counters, so the
    text is the same on every run."""
    buf = io.BytesIO()
    surf = cairo.SVGSurface(buf, GRID, GRID)
    surf.set_document_unit(cairo.SVGUnit.PX)
    surf.restrict_to_version(cairo.SVGVersion.VERSION_1_1)
    ctx = cairo.Context(surf)
    draw(ctx, True)
    surf.finish()
    return buf.getvalue().decode("utf-8")


def main(out_dir):
    for size in SIZES:
        folder = os.path.join(out_dir, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        cv.save_png(png(size), os.path.join(folder, f"{APP_ID}.png"))
    folder = os.path.join(out_dir, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, f"{APP_ID}.svg"), "w", encoding="utf-8") as f:
        f.write(svg())


if __name__ == "__main__":
    main(sys.argv[1])
