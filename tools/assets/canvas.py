"""Drawing helpers shared by the picture generators: cairo surfaces at any
scale, conversion to PIL images and deterministic PNG output."""

import io
import math

import cairo
import numpy as np
from PIL import Image, ImageFilter

FONT_SANS = "DejaVu Sans"


def hex_rgb(text, alpha=1.0):
    text = text.lstrip("#")
    return (int(text[0:2], 16) / 255.0, int(text[2:4], 16) / 255.0,
            int(text[4:6], 16) / 255.0, alpha)


def surface(width, height, scale):
    """A transparent surface of width x height design pixels drawn at scale."""
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, int(round(width * scale)),
                              int(round(height * scale)))
    ctx = cairo.Context(surf)
    ctx.scale(scale, scale)
    ctx.set_antialias(cairo.ANTIALIAS_BEST)
    return surf, ctx


def to_pil(surf):
    """Cairo's premultiplied BGRA to a straight RGBA PIL image."""
    surf.flush()
    w, h, stride = surf.get_width(), surf.get_height(), surf.get_stride()
    raw = np.frombuffer(surf.get_data(), dtype=np.uint8).reshape(h, stride)[:, :w * 4]
    bgra = raw.reshape(h, w, 4).astype(np.float64)
    alpha = bgra[..., 3:4]
    rgb = np.where(alpha > 0, bgra[..., 2::-1] * 255.0 / np.maximum(alpha, 1), 0)
    out = np.concatenate([np.clip(np.rint(rgb), 0, 255), alpha], axis=2)
    return Image.fromarray(out.astype(np.uint8), "RGBA")


def save_png(image, path, opaque=False):
    """Writes a PNG without any time or text chunks, so reruns give the same bytes."""
    if opaque:
        image = image.convert("RGB")
    buf = io.BytesIO()
    image.save(buf, format="PNG", optimize=True)
    with open(path, "wb") as f:
        f.write(buf.getvalue())


def blur(image, radius):
    return image.filter(ImageFilter.GaussianBlur(radius))


def tint(mask, rgba):
    """A flat colour image whose alpha is mask (L image) times rgba's alpha."""
    r, g, b, a = [int(round(c * 255)) for c in rgba]
    solid = Image.new("RGBA", mask.size, (r, g, b, 0))
    alpha = mask.point(lambda v: v * a // 255)
    solid.putalpha(alpha)
    return solid


def rounded_rect(ctx, x, y, w, h, r):
    r = min(r, w / 2.0, h / 2.0)
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def linear(x0, y0, x1, y1, stops):
    """A linear gradient from (offset, '#rrggbb', alpha) stops."""
    pat = cairo.LinearGradient(x0, y0, x1, y1)
    for stop in stops:
        off, col = stop[0], stop[1]
        alpha = stop[2] if len(stop) > 2 else 1.0
        pat.add_color_stop_rgba(off, *hex_rgb(col, alpha))
    return pat


def radial(cx, cy, r0, r1, stops, cx1=None, cy1=None):
    pat = cairo.RadialGradient(cx, cy, r0, cx if cx1 is None else cx1,
                               cy if cy1 is None else cy1, r1)
    for stop in stops:
        off, col = stop[0], stop[1]
        alpha = stop[2] if len(stop) > 2 else 1.0
        pat.add_color_stop_rgba(off, *hex_rgb(col, alpha))
    return pat


def text_path(ctx, text, size, cx, baseline, bold=True, stretch=1.0, family=FONT_SANS):
    """Adds the outline of text, centred on cx, to the current path.
    Returns the (width, height) of the ink in design pixels."""
    ctx.save()
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    ext = ctx.text_extents(text)
    ctx.translate(cx, baseline)
    ctx.scale(stretch, 1.0)
    ctx.move_to(-(ext.x_bearing + ext.width / 2.0), 0)
    ctx.text_path(text)
    ctx.restore()
    return ext.width * stretch, ext.height


def text_ink(ctx, text, size, bold=True, family=FONT_SANS):
    ctx.save()
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    ext = ctx.text_extents(text)
    ctx.restore()
    return ext
