#!/usr/bin/env python3
"""Writes a data file of one of the benchmarks' collections.
Kinds:
  text10        10 short text items
  text100k      100 000 text items of about 300 bytes in 8 categories (~34 MB file)
  text100k50    the same items in 50 categories, a few words of them accented (the search benchmark)
  pictures2000  2 000 image items, each a 200x150 screenshot-like BMP side file
Usage: bench/make_collection.py KIND PATH
"""
import random, struct, sys
kind, path = sys.argv[1], sys.argv[2]
random.seed(7)
stamp = "Thu, Dec 10, 2026, 08:15 PM"
words = ("alpha beta gamma delta order invoice street meeting project report client address "
         "phone number please thanks regards review draft schedule update notes").split()
if kind == "text100k50":
    # Words a search must find by their letters without accents.
    words += ["résumé", "café", "naïve", "Zürich"]

def category(name, items):
    out = ["031", name, "0", "0", str(len(items))]
    for alias, lines, flags in items:
        out += [alias, stamp, str(len(lines))] + lines + [flags]
    return out

def text_item(n, size):
    lines, total = [], 0
    while total < size:
        line = " ".join(random.choice(words) for _ in range(random.randint(4, 12)))
        lines.append(line)
        total += len(line) + 2
    return (lines[0][:40] + " " + str(n), lines, "0001")

def bmp(width, height, seed):
    # A window-like picture: title bar, flat panels, rows of "text" strokes.
    rnd = random.Random(seed)
    rows = []
    stride = (width * 3 + 3) & ~3
    ink = [(rnd.randrange(256), rnd.randrange(256), rnd.randrange(256)) for _ in range(4)]
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            if y < 18:
                c = (40, 80, 160)
            elif x < 50:
                c = (230, 230, 230)
            elif y % 12 < 7 and (x * 7 + y * 3 + seed) % 11 < 6:
                c = ink[(x // 13 + y // 12) % 4]
            else:
                c = (255, 255, 255)
            row += bytes((c[2], c[1], c[0]))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels

lines = []
if kind == "text10":
    lines += category("Category1", [text_item(n, 60) for n in range(10)])
elif kind == "text100k":
    for c in range(8):
        lines += category("Category%d" % (c + 1), [text_item(n, 245) for n in range(12500)])
elif kind == "text100k50":
    for c in range(50):
        lines += category("Category%d" % (c + 1), [text_item(n, 245) for n in range(2000)])
elif kind == "pictures2000":
    items = []
    for n in range(2000):
        side = "%s.b%d" % (path, n)
        with open(side, "wb") as f:
            f.write(bmp(200, 150, n))
        items.append(("Image: 200 x 150", [side], "0011"))
    for c in range(4):
        lines += category("Pictures%d" % (c + 1), items[c * 500:(c + 1) * 500])
else:
    sys.exit("unknown kind: " + kind)
lines.append("SK: 2.3")
with open(path, "wb") as f:
    f.write(("\r\n".join(lines) + "\r\n").encode())
