"""Writes the game's vector animations as plain Lottie JSON.

Usage: flashes.py OUTPUT_DIR

- "open plast.json": the gold plate behind an amount of the board or of the offer
  history; it unfolds from its middle and a gleam runs over it. Shown stretched.
- "крышка open.json": the lid of a case, closed on its first frame, swinging up
  and away so that the amount below shows; the last frame is empty.
- "bank open.json": the banker's panel sliding in from the left edge and opening
  its frame around the offer on the right half.
- "bank close.json": the same panel folding and sliding out; the last frame is empty.
"""

import os
import sys

import lottie as lt
from palette import (GOLD_DEEP, GOLD_LIGHT, GOLD_MID, GOLD_PALE, GOLD_SHADOW, NIGHT, SILVER_DARK,
                     SILVER_LIGHT, SILVER_MID)

FPS = 30


def gold_gradient(y0, y1):
    return lt.gradient_fill((0, y0), (0, y1), [
        (0.0, GOLD_PALE), (0.3, GOLD_LIGHT), (0.52, GOLD_MID), (0.58, GOLD_DEEP),
        (0.85, GOLD_MID), (1.0, GOLD_LIGHT)])


def face_gradient(y0, y1):
    """The light field that carries the dark text."""
    return lt.gradient_fill((0, y0), (0, y1), [
        (0.0, "#fffbea"), (0.45, "#fbecbc"), (1.0, "#efcf7c")])


def gleam(x0, height, top, frames, start, end, width=14, slant=8, peak=70):
    """A slanted streak of light that crosses from x0 to x0 + travel."""
    streak = lt.group("streak", [
        lt.path([(0, top), (width, top), (width - slant, top + height), (-slant, top + height)]),
        lt.gradient_fill((-slant, 0), (width, 0), [(0, "#ffffff", 0.0), (0.5, "#ffffff", 1.0),
                                                  (1, "#ffffff", 0.0)]),
    ])
    mid = (start + end) // 2
    return lt.shape_layer(0, "gleam", [streak], frames,
                          position=[(start, [x0[0], 0], lt.EASE_IN_OUT), (end, [x0[1], 0], lt.LINEAR)],
                          opacity=[(0, 0, lt.LINEAR), (start, 0, lt.LINEAR), (mid, peak, lt.LINEAR),
                                   (end, 0, lt.LINEAR)])


def open_plate():
    w, h, frames = 153, 33, 15
    plate = [
        lt.group("highlight", [lt.rect(7, 5, w - 14, 9, 5), lt.fill(lt.color("#ffffff"), 40)]),
        lt.group("face", [lt.rect(4, 4, w - 8, h - 8, 7), face_gradient(4, h - 4)]),
        lt.group("rim", [lt.rect(1, 1, w - 2, h - 2, 10), lt.stroke(lt.color(GOLD_SHADOW), 1.0),
                         gold_gradient(1, h - 1)]),
    ]
    layers = [
        gleam((-16, w + 24), 25, 4, frames, 7, 14, width=12, slant=6, peak=75),
        lt.shape_layer(0, "plate", plate, frames,
                       anchor=(w / 2, h / 2), position=(w / 2, h / 2),
                       scale=[(0, [0, 100], lt.EASE_OUT), (7, [104, 100], lt.EASE_IN_OUT),
                              (10, [100, 100], lt.LINEAR)],
                       opacity=[(0, 0, lt.LINEAR), (3, 100, lt.LINEAR)]),
    ]
    return lt.animation("open plast", w, h, FPS, frames, layers)


def lid():
    """The case's closed lid in the 81 x 73 box of the lid movie; the numbered
    plate (80 x 55) lies over it at y 8 until the case is opened."""
    w, h, frames = 81, 73, 18
    top = 8
    corner = []
    for cx, cy, sx, sy in ((0, top, 1, 1), (80, top, -1, 1), (0, top + 55, 1, -1), (80, top + 55, -1, -1)):
        pts = [(0.5, 10.5), (0.5, 5.5), (5.5, 0.5), (10.5, 0.5), (10.5, 2.6), (4.5, 2.6), (2.6, 4.5),
               (2.6, 10.5)]
        corner.append(lt.path([(cx + sx * px, cy + sy * py) for px, py in pts], name="guard"))
    shapes = [
        lt.group("shade", [lt.rect(0.5, 0.5, 80, 64.5, 5),
                           lt.fill(lt.color("#05041a"), [(0, 0, lt.LINEAR), (4, 0, lt.EASE_IN),
                                                         (13, 70, lt.LINEAR)])]),
        lt.group("badge", [lt.rect(14.5, top + 11.5, 51, 32, 8),
                           lt.gradient_fill((0, top + 10), (0, top + 45),
                                            [(0, "#05041a"), (0.5, NIGHT), (1, "#2b2370")]),
                           ]),
        lt.group("bezel", [lt.rect(11.5, top + 8.5, 57, 38, 10), gold_gradient(top + 8, top + 47)]),
        lt.group("guards", corner + [gold_gradient(top, top + 55)]),
        lt.group("ribs", [lt.path([(6, top + 7.5), (74, top + 7.5)], closed=False),
                          lt.path([(6, top + 47.5), (74, top + 47.5)], closed=False),
                          lt.stroke(lt.color("#6b7386"), 0.9)]),
        lt.group("lid", [lt.rect(0.5, top + 0.5, 79, 54, 5), lt.stroke(lt.color("#3a3f52"), 1.0),
                         lt.gradient_fill((0, top), (0, top + 55), [
                             (0.0, "#fbfcff"), (0.1, SILVER_LIGHT), (0.48, SILVER_MID), (0.5, "#9aa2b2"),
                             (0.53, "#c3cad6"), (0.9, SILVER_MID), (1.0, SILVER_DARK)])]),
        lt.group("handle", [lt.rect(25.5, 1.0, 30, 6.0, 3), lt.stroke(lt.color(GOLD_SHADOW), 0.8),
                            gold_gradient(1, 7)]),
        lt.group("body", [lt.rect(1, 4.5, 79, 60.5, 4), lt.stroke(lt.color("#3a3f52"), 1.0),
                          lt.gradient_fill((0, 4), (0, 65), [(0, SILVER_LIGHT), (0.5, SILVER_MID),
                                                            (1, SILVER_DARK)])]),
    ]
    layers = [
        lt.shape_layer(0, "lid", shapes, frames, anchor=(40.5, 1), position=(40.5, 1),
                       scale=[(0, [100, 100], lt.LINEAR), (2, [100, 100], lt.EASE_OUT),
                              (4, [101, 103], lt.EASE_IN), (13, [94, 4], lt.LINEAR)],
                       opacity=[(0, 100, lt.LINEAR), (10, 100, lt.EASE_IN), (14, 0, lt.LINEAR)]),
    ]
    return lt.animation("крышка open", w, h, FPS, frames, layers)


BANK_W, BANK_H = 529, 65
FRAME_X0, FRAME_X1 = 266, 526


def bank_panel_shapes(frame_scale):
    cy = BANK_H / 2
    frame = lt.group("frame", [
        lt.group("highlight", [lt.rect(FRAME_X0 + 10, 8, FRAME_X1 - FRAME_X0 - 20, 16, 8),
                               lt.fill(lt.color("#ffffff"), 35)]),
        lt.group("face", [lt.rect(FRAME_X0 + 6, 6, FRAME_X1 - FRAME_X0 - 12, BANK_H - 12, 10),
                          face_gradient(6, BANK_H - 6)]),
        lt.group("rim", [lt.rect(FRAME_X0, 1.5, FRAME_X1 - FRAME_X0, BANK_H - 3, 15),
                         lt.stroke(lt.color(GOLD_SHADOW), 1.4), gold_gradient(1, BANK_H - 1)]),
    ], anchor=((FRAME_X0 + FRAME_X1) / 2, cy), position=((FRAME_X0 + FRAME_X1) / 2, cy), scale=frame_scale)
    lights = [lt.group(f"bulb{i}", [
        {"ty": "el", "nm": "Ellipse", "d": 1, "p": lt.static([x, cy]), "s": lt.static([5, 5])},
        lt.fill(lt.color("#fff8dc"))]) for i, x in enumerate(range(30, 250, 24))]
    arm = lt.group("arm", lights + [
        lt.group("bar", [lt.rect(-30, cy - 11, FRAME_X0 + 45, 22, 10), lt.stroke(lt.color(GOLD_SHADOW), 1.2),
                         gold_gradient(cy - 11, cy + 11)])])
    return [frame, arm]


def bank_open():
    frames = 18
    layers = [
        gleam((FRAME_X0 - 10, FRAME_X1 + 20), BANK_H - 14, 7, frames, 11, 17, width=22, slant=12, peak=65),
        lt.shape_layer(0, "panel",
                       bank_panel_shapes([(0, [100, 15], lt.LINEAR), (6, [100, 15], lt.EASE_OUT),
                                          (11, [100, 106], lt.EASE_IN_OUT), (13, [100, 100], lt.LINEAR)]),
                       frames,
                       position=[(0, [-BANK_W * 0.6, 0], lt.EASE_OUT), (8, [6, 0], lt.EASE_IN_OUT),
                                 (11, [0, 0], lt.LINEAR)],
                       opacity=[(0, 0, lt.LINEAR), (3, 100, lt.LINEAR)]),
    ]
    return lt.animation("bank open", BANK_W, BANK_H, FPS, frames, layers)


def bank_close():
    frames = 15
    layers = [
        lt.shape_layer(0, "panel",
                       bank_panel_shapes([(0, [100, 100], lt.EASE_IN), (6, [100, 10], lt.LINEAR)]),
                       frames,
                       position=[(0, [0, 0], lt.LINEAR), (4, [0, 0], lt.EASE_IN),
                                 (12, [-BANK_W * 0.6, 0], lt.LINEAR)],
                       opacity=[(0, 100, lt.LINEAR), (8, 100, lt.EASE_IN), (12, 0, lt.LINEAR)]),
    ]
    return lt.animation("bank close", BANK_W, BANK_H, FPS, frames, layers)


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name, anim in (("open plast", open_plate()), ("крышка open", lid()),
                       ("bank open", bank_open()), ("bank close", bank_close())):
        with open(os.path.join(out_dir, name + ".json"), "w", encoding="utf-8") as f:
            f.write(lt.dumps(anim))


if __name__ == "__main__":
    main(sys.argv[1])
