#!/usr/bin/env python3
"""Writes the movies made to exhaust rlottie that the movie fuzzer starts from:
precompositions nested by reference (91 layers in the file, 10^9 drawn) and an
embedded 16384 x 16384 PNG (1 bit deep, so that the file stays small; rlottie
decodes it to 1 GiB all the same). Usage: make_hostile_movies.py DIRECTORY"""
import base64, json, struct, sys, zlib

SIDE = 16384


def square_layer(index):
    return {"ddd": 0, "ind": index, "ty": 4, "ip": 0, "op": 10, "st": 0, "sr": 1,
            "ks": {"o": {"a": 0, "k": 100}, "p": {"a": 0, "k": [5, 5, 0]},
                   "a": {"a": 0, "k": [0, 0, 0]}, "s": {"a": 0, "k": [100, 100, 100]},
                   "r": {"a": 0, "k": 0}},
            "shapes": [{"ty": "rc", "d": 1, "s": {"a": 0, "k": [4, 4]},
                        "p": {"a": 0, "k": [0, 0]}, "r": {"a": 0, "k": 0}},
                       {"ty": "fl", "o": {"a": 0, "k": 100}, "c": {"a": 0, "k": [1, 0, 0, 1]}}]}


def precomp_layer(index, ref):
    return {"ddd": 0, "ind": index, "ty": 0, "refId": ref, "ip": 0, "op": 10, "st": 0,
            "sr": 1, "w": 10, "h": 10,
            "ks": {"o": {"a": 0, "k": 100}, "p": {"a": 0, "k": [0, 0, 0]},
                   "a": {"a": 0, "k": [0, 0, 0]}, "s": {"a": 0, "k": [100, 100, 100]},
                   "r": {"a": 0, "k": 0}}}


def movie(assets, layers):
    return {"v": "5.5.2", "fr": 25, "ip": 0, "op": 10, "w": 10, "h": 10, "ddd": 0,
            "assets": assets, "layers": layers}


def nested():
    assets = []
    for level in range(9):
        if level < 8:
            layers = [precomp_layer(i + 1, "a%d" % (level + 1)) for i in range(10)]
        else:
            layers = [square_layer(i + 1) for i in range(10)]
        assets.append({"id": "a%d" % level, "layers": layers})
    return movie(assets, [precomp_layer(1, "a0")])


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def huge_png():
    header = struct.pack(">IIBBBBB", SIDE, SIDE, 1, 0, 0, 0, 0)  # 1-bit grey
    packer = zlib.compressobj(9)
    row = b"\0" * (1 + SIDE // 8)
    data = b"".join(packer.compress(row) for _ in range(SIDE)) + packer.flush()
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", data)
            + png_chunk(b"IEND", b""))


def huge_image():
    uri = "data:image/png;base64," + base64.b64encode(huge_png()).decode()
    layer = dict(square_layer(1), ty=2, refId="image")
    del layer["shapes"]
    return movie([{"id": "image", "w": SIDE, "h": SIDE, "u": "", "p": uri, "e": 1}], [layer])


out = sys.argv[1]
for name, content in (("precompositions-drawn-a-billion-times.json", nested()),
                      ("embedded-image-16384-square.json", huge_image())):
    with open("%s/%s" % (out, name), "w") as f:
        json.dump(content, f, separators=(",", ":"))
