"""Draws the game's pictures: the title logo, the 22 numbered case plates, the
open briefcase, the window background and the frame of the offer history, each
at 1x and 2x.

Usage: pictures.py OUTPUT_DIR
"""

import math
import os
import random
import sys

import cairo
import numpy as np
from PIL import Image

import canvas as cv
from palette import (GOLD_DEEP, GOLD_LIGHT, GOLD_MID, GOLD_PALE, GOLD_SHADOW, NIGHT, NIGHT_DEEP,
                     NIGHT_VIOLET, SILVER_DARK, SILVER_LIGHT, SILVER_MID)

SCALES = ((1, ""), (2, "@2x"))


def font_options(ctx):
    opts = cairo.FontOptions()
    opts.set_hint_style(cairo.HINT_STYLE_NONE)
    opts.set_hint_metrics(cairo.HINT_METRICS_OFF)
    opts.set_antialias(cairo.ANTIALIAS_GRAY)
    ctx.set_font_options(opts)


def gold_fill(y_top, y_bottom):
    """The gold of lettering and trims: bright top, dark waist, warm bounce below."""
    return cv.linear(0, y_top, 0, y_bottom, [
        (0.0, GOLD_PALE), (0.30, GOLD_LIGHT), (0.52, GOLD_MID), (0.56, GOLD_DEEP),
        (0.80, GOLD_MID), (1.0, GOLD_LIGHT)])


def layer(width, height, scale, draw):
    surf, ctx = cv.surface(width, height, scale)
    font_options(ctx)
    draw(ctx)
    return cv.to_pil(surf)


def glow_of(image, radius, rgba, strength=1.0):
    """A coloured halo around the opaque parts of image."""
    mask = cv.blur(image.getchannel("A"), radius)
    if strength != 1.0:
        mask = mask.point(lambda v: min(255, int(v * strength)))
    return cv.tint(mask, rgba)


def stack(*layers):
    out = layers[0]
    for lay in layers[1:]:
        out = Image.alpha_composite(out, lay)
    return out


# --- logo -----------------------------------------------------------------

LOGO_W, LOGO_H = 304, 41
LOGO_TEXT = "? ЗОРБАН !"


def logo(scale):
    w, h = LOGO_W, LOGO_H

    def plaque(ctx):
        cv.rounded_rect(ctx, 0.5, 0.5, w - 1, h - 1, 8)
        ctx.set_source(cv.linear(0, 0, 0, h, [(0, "#2a1d63"), (0.5, "#150f3a"), (1, "#07051a")]))
        ctx.fill_preserve()
        ctx.save()
        ctx.clip()
        ctx.set_source(cv.radial(w / 2, h * 0.55, 0, w * 0.55, [
            (0, "#6b46d0", 0.55), (0.5, "#3a2590", 0.25), (1, "#000000", 0)]))
        ctx.paint()
        # fan of faint rays behind the title
        for i in range(-9, 10):
            ang = math.radians(90 + i * 9)
            ctx.move_to(w / 2, h * 0.6)
            for d in (-1.6, 1.6):
                a = ang + math.radians(d)
                ctx.line_to(w / 2 + math.cos(a) * 400, h * 0.6 - math.sin(a) * 400)
            ctx.close_path()
        ctx.set_source(cv.radial(w / 2, h * 0.6, 0, w * 0.5, [
            (0, GOLD_LIGHT, 0.16), (1, GOLD_LIGHT, 0)]))
        ctx.fill()
        ctx.restore()
        # double rim: bright gold outside, a dark groove and a fine line inside
        cv.rounded_rect(ctx, 1.0, 1.0, w - 2, h - 2, 7.5)
        ctx.set_line_width(1.8)
        ctx.set_source(gold_fill(0, h))
        ctx.stroke()
        cv.rounded_rect(ctx, 3.2, 3.2, w - 6.4, h - 6.4, 5.5)
        ctx.set_line_width(0.7)
        ctx.set_source_rgba(*cv.hex_rgb(GOLD_LIGHT, 0.45))
        ctx.stroke()

    size, stretch = 33.0, 1.0
    probe_surf, probe = cv.surface(10, 10, 1)
    font_options(probe)
    ext = cv.text_ink(probe, LOGO_TEXT, size)
    stretch = 262.0 / ext.width
    cap = ext.height
    baseline = h / 2 + cap / 2 - 0.5

    def title_path(ctx, dy=0.0):
        cv.text_path(ctx, LOGO_TEXT, size, w / 2, baseline + dy, stretch=stretch)

    def title_fill(ctx):
        title_path(ctx)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.set_line_width(2.6)
        ctx.set_source_rgba(*cv.hex_rgb("#1a0c00", 0.95))
        ctx.stroke_preserve()
        ctx.set_source(gold_fill(baseline - cap, baseline))
        ctx.fill()
        # bevel: light on the upper edges, shade on the lower ones, kept inside the letters
        ctx.save()
        title_path(ctx)
        ctx.clip()
        title_path(ctx, dy=1.1)
        ctx.set_line_width(1.0)
        ctx.set_source_rgba(*cv.hex_rgb("#fffdf0", 0.55))
        ctx.stroke()
        title_path(ctx, dy=-1.1)
        ctx.set_line_width(1.0)
        ctx.set_source_rgba(*cv.hex_rgb(GOLD_SHADOW, 0.55))
        ctx.stroke()
        ctx.restore()

    def title_mask(ctx):
        title_path(ctx)
        ctx.set_source_rgba(1, 1, 1, 1)
        ctx.fill()

    base = layer(w, h, scale, plaque)
    mask = layer(w, h, scale, title_mask)
    halo = glow_of(mask, 3.2 * scale, cv.hex_rgb("#ffb52e", 0.85), strength=1.6)
    title = layer(w, h, scale, title_fill)
    out = stack(base, halo, title)
    # keep the plaque's rounded corners clean of glow
    out.putalpha(Image.composite(out.getchannel("A"), base.getchannel("A"), base.getchannel("A")))
    return out


# --- case plates ----------------------------------------------------------

PLATE_W, PLATE_H = 80, 55


def metal_lid(ctx, x, y, w, h, seed):
    """The front of a brushed aluminium lid with gold corner guards."""
    cv.rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, 5)
    ctx.set_source(cv.linear(0, y, 0, y + h, [
        (0.0, "#fbfcff"), (0.10, SILVER_LIGHT), (0.48, SILVER_MID), (0.50, "#9aa2b2"),
        (0.53, "#c3cad6"), (0.90, SILVER_MID), (1.0, SILVER_DARK)]))
    ctx.fill_preserve()
    ctx.save()
    ctx.clip()
    rnd = random.Random(seed)
    yy = y + 1.0
    while yy < y + h:
        ctx.move_to(x, yy)
        ctx.line_to(x + w, yy)
        shade = rnd.choice(((1, 1, 1), (0.25, 0.28, 0.35)))
        ctx.set_source_rgba(*shade, rnd.uniform(0.04, 0.14))
        ctx.set_line_width(rnd.uniform(0.3, 0.7))
        ctx.stroke()
        yy += rnd.uniform(0.6, 1.6)
    # soft sheen across the upper left
    ctx.set_source(cv.radial(x + w * 0.3, y + h * 0.15, 0, w * 0.7, [
        (0, "#ffffff", 0.35), (1, "#ffffff", 0)]))
    ctx.paint()
    ctx.restore()
    # ribs pressed into the lid near top and bottom
    for ry in (y + 7.5, y + h - 7.5):
        ctx.move_to(x + 6, ry)
        ctx.line_to(x + w - 6, ry)
        ctx.set_line_width(0.9)
        ctx.set_source_rgba(0.2, 0.23, 0.3, 0.45)
        ctx.stroke()
        ctx.move_to(x + 6, ry + 1)
        ctx.line_to(x + w - 6, ry + 1)
        ctx.set_source_rgba(1, 1, 1, 0.8)
        ctx.stroke()
    # outline
    cv.rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, 5)
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(*cv.hex_rgb("#3a3f52", 1))
    ctx.stroke()
    # gold corner guards
    g = 8.5
    for cx, cy, sx, sy in ((x, y, 1, 1), (x + w, y, -1, 1), (x, y + h, 1, -1),
                           (x + w, y + h, -1, -1)):
        ctx.save()
        ctx.translate(cx, cy)
        ctx.scale(sx, sy)
        ctx.move_to(0.5, 5.5)
        ctx.arc(5.5, 5.5, 5.0, math.pi, 1.5 * math.pi)
        ctx.line_to(g + 2, 0.5)
        ctx.line_to(g + 2, 2.6)
        ctx.line_to(4.5, 2.6)
        ctx.arc_negative(4.5, 4.5, 2.0, 1.5 * math.pi, math.pi)
        ctx.line_to(2.6, g + 2)
        ctx.line_to(0.5, g + 2)
        ctx.close_path()
        ctx.restore()
    ctx.set_source(gold_fill(y, y + h))
    ctx.fill_preserve()
    ctx.set_line_width(0.5)
    ctx.set_source_rgba(*cv.hex_rgb(GOLD_SHADOW, 0.9))
    ctx.stroke()


def plate(number, scale):
    w, h = PLATE_W, PLATE_H
    text = str(number)
    bw, bh = 54.0, 35.0
    bx, by = (w - bw) / 2, (h - bh) / 2

    def draw(ctx):
        metal_lid(ctx, 0, 0, w, h, seed=1000 + number)
        # recessed badge: dark enamel in a gold bezel
        cv.rounded_rect(ctx, bx - 1.5, by - 1.5, bw + 3, bh + 3, 10)
        ctx.set_source(gold_fill(by - 1.5, by + bh + 1.5))
        ctx.fill()
        cv.rounded_rect(ctx, bx - 1.5, by - 1.5, bw + 3, bh + 3, 10)
        ctx.set_line_width(0.6)
        ctx.set_source_rgba(*cv.hex_rgb(GOLD_SHADOW, 1))
        ctx.stroke()
        cv.rounded_rect(ctx, bx + 0.6, by + 0.6, bw - 1.2, bh - 1.2, 8)
        ctx.set_source(cv.linear(0, by, 0, by + bh, [(0, "#05041a"), (0.5, NIGHT), (1, "#2b2370")]))
        ctx.fill_preserve()
        ctx.set_line_width(0.8)
        ctx.set_source_rgba(0, 0, 0, 0.7)
        ctx.stroke()
        # glass highlight on the upper half of the badge
        ctx.save()
        cv.rounded_rect(ctx, bx + 1.5, by + 1.5, bw - 3, bh * 0.45, 7)
        ctx.set_source(cv.linear(0, by, 0, by + bh * 0.5, [(0, "#ffffff", 0.22), (1, "#ffffff", 0.02)]))
        ctx.fill()
        ctx.restore()

    def digits(ctx, mode):
        size = 29.0 if len(text) == 1 else 27.0
        ext = cv.text_ink(ctx, text, size)
        stretch = min(1.0, 44.0 / ext.width)
        baseline = h / 2 + ext.height / 2
        cv.text_path(ctx, text, size, w / 2 + 0.3, baseline, stretch=stretch)
        if mode == "mask":
            ctx.set_source_rgba(1, 1, 1, 1)
            ctx.fill()
            return
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.set_line_width(1.6)
        ctx.set_source_rgba(0.05, 0.02, 0.0, 0.9)
        ctx.stroke_preserve()
        ctx.set_source(cv.linear(0, baseline - ext.height, 0, baseline, [
            (0, "#fffbe6"), (0.35, GOLD_LIGHT), (0.6, GOLD_MID), (1, "#ffd86a")]))
        ctx.fill()

    base = layer(w, h, scale, draw)
    mask = layer(w, h, scale, lambda c: digits(c, "mask"))
    halo = glow_of(mask, 2.0 * scale, cv.hex_rgb("#ffb52e", 0.55), strength=1.3)
    # the halo stays on the badge
    badge = layer(w, h, scale, lambda c: (cv.rounded_rect(c, bx, by, bw, bh, 9),
                                          c.set_source_rgba(1, 1, 1, 1), c.fill()))
    halo.putalpha(Image.composite(halo.getchannel("A"), Image.new("L", halo.size, 0),
                                  badge.getchannel("A")))
    num = layer(w, h, scale, lambda c: digits(c, "ink"))
    return stack(base, halo, num)


# --- open briefcase -------------------------------------------------------

CASE_W, CASE_H = 80, 65
BAND_TOP, BAND_BOTTOM = 32, 49


def briefcase(scale):
    w, h = CASE_W, CASE_H

    def draw(ctx):
        # raised lid seen from the front: its lining faces us, narrower at the top
        top, bottom = 0.5, 30.0
        ctx.move_to(6, top + 3)
        ctx.curve_to(6, top, 7, top, 10, top)
        ctx.line_to(w - 10, top)
        ctx.curve_to(w - 7, top, w - 6, top, w - 6, top + 3)
        ctx.line_to(w - 1, bottom)
        ctx.line_to(1, bottom)
        ctx.close_path()
        ctx.set_source(cv.linear(0, top, 0, bottom, [(0, "#dfe3ea"), (0.5, "#aeb5c3"), (1, "#7c8496")]))
        ctx.fill_preserve()
        ctx.set_line_width(0.8)
        ctx.set_source_rgba(*cv.hex_rgb("#3a3f52", 1))
        ctx.stroke()
        # lining
        ctx.move_to(9.5, 3.5)
        ctx.line_to(w - 9.5, 3.5)
        ctx.line_to(w - 5, bottom - 1)
        ctx.line_to(5, bottom - 1)
        ctx.close_path()
        ctx.set_source(cv.linear(0, 3, 0, bottom, [(0, "#120d3a"), (0.6, "#2a1f6e"), (1, "#3b2d8a")]))
        ctx.fill_preserve()
        ctx.save()
        ctx.clip()
        ctx.set_source(cv.radial(w / 2, bottom, 0, 38, [(0, "#8f74ff", 0.45), (1, "#8f74ff", 0)]))
        ctx.paint()
        # a pocket seam and its stitches
        ctx.set_source_rgba(*cv.hex_rgb(GOLD_LIGHT, 0.55))
        ctx.set_line_width(0.5)
        ctx.set_dash([1.2, 1.0])
        ctx.move_to(8, 17)
        ctx.line_to(w - 8, 17)
        ctx.stroke()
        ctx.set_dash([])
        ctx.restore()
        # the base's back rim and the shadow the lid throws into the case
        ctx.rectangle(1, bottom - 1, w - 2, 3)
        ctx.set_source(cv.linear(0, bottom - 1, 0, bottom + 2, [(0, "#e6eaf0"), (1, "#8a92a3")]))
        ctx.fill()
        # inside of the base, where the card lies
        ctx.rectangle(1.5, bottom + 2, w - 3, 52 - bottom - 2)
        ctx.set_source_rgba(*cv.hex_rgb("#0c0a24", 1))
        ctx.fill()
        # the card with the amount: a light band with a gold edge
        cv.rounded_rect(ctx, 3.5, BAND_TOP - 0.5, w - 7, BAND_BOTTOM - BAND_TOP + 1, 2.5)
        ctx.set_source(gold_fill(BAND_TOP - 0.5, BAND_BOTTOM + 0.5))
        ctx.fill()
        cv.rounded_rect(ctx, 4.7, BAND_TOP + 0.7, w - 9.4, BAND_BOTTOM - BAND_TOP - 1.4, 1.8)
        ctx.set_source(cv.linear(0, BAND_TOP, 0, BAND_BOTTOM, [
            (0, "#fffdf4"), (0.45, "#fbf1d4"), (1, "#eedcaa")]))
        ctx.fill()
        # front wall of the case body
        ctx.move_to(0.5, 51.0)
        ctx.line_to(w - 0.5, 51.0)
        ctx.line_to(w - 0.5, h - 4)
        ctx.curve_to(w - 0.5, h - 1.5, w - 2, h - 0.5, w - 4.5, h - 0.5)
        ctx.line_to(4.5, h - 0.5)
        ctx.curve_to(2, h - 0.5, 0.5, h - 1.5, 0.5, h - 4)
        ctx.close_path()
        ctx.set_source(cv.linear(0, 51, 0, h, [(0, "#ffffff"), (0.25, SILVER_LIGHT), (0.7, SILVER_MID),
                                               (1, SILVER_DARK)]))
        ctx.fill_preserve()
        ctx.set_line_width(0.8)
        ctx.set_source_rgba(*cv.hex_rgb("#3a3f52", 1))
        ctx.stroke()
        # latches
        for lx in (14, w - 24):
            cv.rounded_rect(ctx, lx, 52.5, 10, 6.5, 1.5)
            ctx.set_source(gold_fill(52.5, 59))
            ctx.fill_preserve()
            ctx.set_line_width(0.5)
            ctx.set_source_rgba(*cv.hex_rgb(GOLD_SHADOW, 1))
            ctx.stroke()
        # side walls framing the card
        for sx in (0.5, w - 3.0):
            ctx.rectangle(sx, bottom + 1, 2.5, 51 - bottom - 1)
            ctx.set_source(cv.linear(sx, 0, sx + 2.5, 0, [(0, SILVER_MID), (1, SILVER_DARK)]))
            ctx.fill()

    return layer(w, h, scale, draw)


# --- frames ---------------------------------------------------------------


def framed(ctx, x, y, pw, ph, r, fill_a, line_a):
    """A dark glass panel in a thin gold frame."""
    cv.rounded_rect(ctx, x, y, pw, ph, r)
    ctx.set_source(cv.linear(0, y, 0, y + ph, [(0, "#05040f", fill_a), (1, "#0b0826", fill_a)]))
    ctx.fill()
    cv.rounded_rect(ctx, x + 0.5, y + 0.5, pw - 1, ph - 1, r)
    ctx.set_line_width(1.6)
    ctx.set_source(cv.linear(0, y, 0, y + ph, [(0, GOLD_LIGHT, line_a), (0.5, GOLD_DEEP, line_a),
                                               (1, GOLD_LIGHT, line_a)]))
    ctx.stroke()
    cv.rounded_rect(ctx, x + 4, y + 4, pw - 8, ph - 8, max(1, r - 3))
    ctx.set_line_width(0.6)
    ctx.set_source_rgba(*cv.hex_rgb(GOLD_LIGHT, line_a * 0.35))
    ctx.stroke()


# The frame of the offer history (kHistoryFrame in src/layout/layout.h): around
# its title, its five rows and the cover that hides them. The game shows it with
# the history only, so that nothing else (the winnings panel at the end) crosses
# an empty frame.
HISTORY_FRAME_W, HISTORY_FRAME_H = 198, 246


def history_frame(scale):
    return layer(HISTORY_FRAME_W, HISTORY_FRAME_H, scale,
                 lambda ctx: framed(ctx, 0, 0, HISTORY_FRAME_W, HISTORY_FRAME_H, 10, 0.50, 0.55))


# --- background -----------------------------------------------------------

BG_W, BG_H = 1058, 758


def background(scale):
    """The set is composed in floating point and dithered once at the end, so
    that its long dark gradients show no bands."""
    w, h = BG_W, BG_H
    pw, ph = int(round(w * scale)), int(round(h * scale))
    ys, xs = np.mgrid[0:ph, 0:pw].astype(np.float64) / scale

    def rgb(col):
        return np.array(cv.hex_rgb(col)[:3])

    def blend(img, colour, alpha):
        return img * (1 - alpha[..., None]) + colour * alpha[..., None]

    # night-blue backdrop, lighter at the top
    v = ys / h
    img = np.where((v < 0.45)[..., None],
                   rgb("#1b1150") + (rgb(NIGHT) - rgb("#1b1150")) * (v / 0.45)[..., None],
                   rgb(NIGHT) + (rgb(NIGHT_DEEP) - rgb(NIGHT)) * ((v - 0.45) / 0.55)[..., None])
    # coloured washes of the set lighting
    for cx, cy, r, col, a in ((300, 150, 520, NIGHT_VIOLET, 0.55), (820, 240, 420, "#1f3c9a", 0.35),
                              (120, 560, 360, "#3a1666", 0.35), (820, 700, 300, "#4a2a10", 0.30)):
        d = np.hypot(xs - cx, ys - cy)
        img = blend(img, rgb(col), a * np.clip(1 - d / r, 0, 1))

    def over(img, layer_image):
        arr = np.asarray(layer_image, dtype=np.float64) / 255.0
        return blend(img, arr[..., :3], arr[..., 3])

    def beams(ctx):
        # soft spotlight cones from the lighting rig above the window
        for x0, x1, spread, a in ((210, 120, 150, 0.16), (470, 560, 170, 0.13), (740, 700, 130, 0.10),
                                  (1000, 1030, 150, 0.12), (40, -60, 120, 0.10)):
            ctx.move_to(x0 - 10, -10)
            ctx.line_to(x0 + 10, -10)
            ctx.line_to(x1 + spread, h * 0.95)
            ctx.line_to(x1 - spread, h * 0.95)
            ctx.close_path()
            ctx.set_source(cv.linear(0, 0, 0, h * 0.95, [(0, "#c9b8ff", a), (0.55, "#8f7cff", a * 0.35),
                                                       (1, "#8f7cff", 0)]))
            ctx.fill()

    def stage(ctx):
        # the floor the case pyramid stands on
        ctx.save()
        ctx.translate(300, 318)
        ctx.scale(300, 26)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        ctx.set_source(cv.radial(300, 318, 0, 300, [(0, "#7e66ff", 0.22), (1, "#7e66ff", 0)]))
        ctx.fill()
        ctx.move_to(20, 318.5)
        ctx.line_to(590, 318.5)
        ctx.set_line_width(1.0)
        ctx.set_source(cv.linear(20, 0, 590, 0, [(0, GOLD_LIGHT, 0), (0.5, GOLD_LIGHT, 0.45),
                                                 (1, GOLD_LIGHT, 0)]))
        ctx.stroke()
        # a perspective floor grid under the lower part of the window
        horizon, vx = 470, 529
        for i in range(-14, 15):
            ctx.move_to(vx + i * 18, horizon)
            ctx.line_to(vx + i * 150, h + 40)
        ctx.set_line_width(0.6)
        ctx.set_source(cv.linear(0, horizon, 0, h, [(0, "#9c87ff", 0), (1, "#9c87ff", 0.10)]))
        ctx.stroke()
        y, step = horizon + 8, 6.0
        while y < h:
            ctx.move_to(0, y)
            ctx.line_to(w, y)
            y += step
            step *= 1.35
        ctx.stroke()

    def panels(ctx):
        # the amount board: a dark glass screen in a gold frame
        framed(ctx, 646, 20, 342, 458, 12, 0.62, 0.85)
        ctx.move_to(816.5, 34)
        ctx.line_to(816.5, 466)
        ctx.set_line_width(0.8)
        ctx.set_source(cv.linear(0, 34, 0, 466, [(0, GOLD_LIGHT, 0), (0.5, GOLD_LIGHT, 0.35),
                                                 (1, GOLD_LIGHT, 0)]))
        ctx.stroke()
        # a niche for the title logo
        framed(ctx, 656, 656, 320, 57, 12, 0.55, 0.55)

    img = over(img, cv.blur(layer(w, h, scale, beams), 14 * scale))
    img = over(img, layer(w, h, scale, stage))
    d = np.hypot(xs - w / 2, ys - h * 0.45)
    img = blend(img, np.zeros(3), 0.55 * np.clip((d - h * 0.45) / (w * 0.72 - h * 0.45), 0, 1))
    img = over(img, layer(w, h, scale, panels))
    return dither(img)


def dither(img):
    """Float RGB in 0..1 to 8 bits with a 4 x 4 ordered dither."""
    bayer = np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]], dtype=np.float64)
    hgt, wid = img.shape[:2]
    tile = np.tile((bayer + 0.5) / 16.0, (hgt // 4 + 1, wid // 4 + 1))[:hgt, :wid]
    out = np.floor(img * 255.0 + tile[..., None])
    return Image.fromarray(np.clip(out, 0, 255).astype(np.uint8), "RGB")


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for scale, suffix in SCALES:
        cv.save_png(logo(scale), os.path.join(out_dir, f"logo{suffix}.png"))
        cv.save_png(briefcase(scale), os.path.join(out_dir, f"briefcase{suffix}.png"))
        cv.save_png(background(scale), os.path.join(out_dir, f"background{suffix}.png"), opaque=True)
        cv.save_png(history_frame(scale), os.path.join(out_dir, f"history-frame{suffix}.png"))
        for n in range(1, 23):
            cv.save_png(plate(n, scale), os.path.join(out_dir, f"plate{n:02d}{suffix}.png"))


if __name__ == "__main__":
    main(sys.argv[1])
