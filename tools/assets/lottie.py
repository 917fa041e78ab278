"""A small writer of plain Lottie (Bodymovin 5) JSON: shape layers with
rectangles, paths, solid and gradient fills, strokes and keyframed transforms.
No expressions, effects or images, so rlottie and any Lottie player can show it."""

import json

from canvas import hex_rgb

EASE_OUT = ((0.25, 1.0), (0.33, 0.0))     # (in handle, out handle) of a keyframe
EASE_IN_OUT = ((0.6, 1.0), (0.4, 0.0))
EASE_IN = ((0.7, 1.0), (0.6, 0.0))
LINEAR = ((1.0, 1.0), (0.0, 0.0))


def color(text, alpha=1.0):
    r, g, b, a = hex_rgb(text, alpha)
    return [round(r, 4), round(g, 4), round(b, 4), a]


def static(value):
    return {"a": 0, "k": value}


def animated(keys, dims):
    """keys: list of (frame, value, ease); value a number or list. The ease of a
    key shapes the move from it to the next key. Written in the explicit
    start/end form that every Bodymovin reader accepts."""
    frames = []
    for n, (t, value, ease) in enumerate(keys):
        val = value if isinstance(value, list) else [value]
        key = {"t": t, "s": val}
        if n + 1 < len(keys):
            nxt = keys[n + 1][1]
            key["e"] = nxt if isinstance(nxt, list) else [nxt]
            (ix, iy), (ox, oy) = ease
            key["i"] = {"x": [ix] * dims, "y": [iy] * dims}
            key["o"] = {"x": [ox] * dims, "y": [oy] * dims}
        frames.append(key)
    return {"a": 1, "k": frames}


def prop(value, dims=1):
    """A static value, or keyframes when given a list of (frame, value, ease)."""
    if isinstance(value, list) and value and isinstance(value[0], tuple):
        return animated(value, dims)
    return static(value)


def transform(anchor=(0, 0), position=(0, 0), scale=(100, 100), rotation=0, opacity=100):
    def vec(v, d):
        if isinstance(v, list):
            return [(t, list(val) + [0] * (3 - len(val)) if d == 3 else list(val), e) for t, val, e in v]
        return list(v) + [0] * (3 - len(v)) if d == 3 else list(v)

    return {
        "a": prop(vec(anchor, 3), 3),
        "p": prop(vec(position, 3), 3),
        "s": prop(vec(scale, 3), 3),
        "r": prop(rotation),
        "o": prop(opacity),
    }


def group_transform(anchor=(0, 0), position=(0, 0), scale=(100, 100), rotation=0, opacity=100):
    tr = {"ty": "tr", "nm": "Transform"}
    tr.update({
        "a": prop(list(anchor) if not isinstance(anchor, list) else anchor, 2),
        "p": prop(list(position) if not isinstance(position, list) else position, 2),
        "s": prop(list(scale) if not isinstance(scale, list) else scale, 2),
        "r": prop(rotation),
        "o": prop(opacity),
        "sk": static(0),
        "sa": static(0),
    })
    return tr


def rect(x, y, w, h, radius=0, name="Rectangle"):
    return {"ty": "rc", "nm": name, "d": 1, "p": static([x + w / 2.0, y + h / 2.0]),
            "s": static([w, h]), "r": static(radius)}


def path(points, closed=True, name="Path", tangents=None):
    """A path through points; tangents, if given, are (in, out) offsets per point."""
    ins = [list(t[0]) for t in tangents] if tangents else [[0, 0]] * len(points)
    outs = [list(t[1]) for t in tangents] if tangents else [[0, 0]] * len(points)
    return {"ty": "sh", "nm": name, "d": 1,
            "ks": static({"i": ins, "o": outs, "v": [list(p) for p in points], "c": closed})}


def fill(col, opacity=100, name="Fill"):
    return {"ty": "fl", "nm": name, "c": static(col), "o": prop(opacity), "r": 1}


def gradient_fill(start, end, stops, opacity=100, name="Gradient"):
    """Linear gradient; stops are (offset, '#rrggbb') or (offset, '#rrggbb', alpha)."""
    flat = []
    for s in stops:
        flat += [s[0]] + color(s[1])[:3]
    with_alpha = any(len(s) > 2 for s in stops)
    if with_alpha:
        for s in stops:
            flat += [s[0], s[2] if len(s) > 2 else 1.0]
    return {"ty": "gf", "nm": name, "o": prop(opacity), "r": 1, "t": 1,
            "s": static(list(start)), "e": static(list(end)),
            "g": {"p": len(stops), "k": static([round(v, 4) for v in flat])}}


def stroke(col, width, opacity=100, name="Stroke"):
    return {"ty": "st", "nm": name, "c": static(col), "o": prop(opacity), "w": prop(width),
            "lc": 2, "lj": 2, "ml": 4}


def group(name, items, **tr):
    return {"ty": "gr", "nm": name, "it": list(items) + [group_transform(**tr)]}


def shape_layer(index, name, shapes, frames, **tr):
    return {"ddd": 0, "ind": index, "ty": 4, "nm": name, "sr": 1, "ks": transform(**tr),
            "ao": 0, "shapes": shapes, "ip": 0, "op": frames, "st": 0, "bm": 0}


def animation(name, width, height, fps, frames, layers):
    """layers: topmost first, as Lottie stacks them."""
    for n, lay in enumerate(layers, start=1):
        lay["ind"] = n
    return {"v": "5.5.2", "nm": name, "fr": fps, "ip": 0, "op": frames, "w": width, "h": height,
            "ddd": 0, "assets": [], "layers": layers, "markers": []}


def dumps(anim):
    return json.dumps(anim, ensure_ascii=False, separators=(",", ":"), sort_keys=False) + "\n"
