"""Writes cairo surfaces as small 8-bit PNGs (RGB, or RGBA where transparency is wanted) and icons as ICO.

Our own encoder rather than cairo's: it drops the alpha channel of opaque images, picks a filter per row and
compresses at level 9, and it leaves out every time stamp, so the same picture always gives the same bytes.
"""

import struct
import zlib

import cairo


def _pixels(surface):
    """Straight (not premultiplied) R, G, B, A rows of an ARGB32 or RGB24 surface."""
    surface.flush()
    w, h, stride = surface.get_width(), surface.get_height(), surface.get_stride()
    data = bytes(surface.get_data())
    has_alpha = surface.get_format() == cairo.FORMAT_ARGB32
    rows = []
    for y in range(h):
        row = bytearray(w * 4)
        base = y * stride
        for x in range(w):
            b, g, r, a = data[base + 4 * x: base + 4 * x + 4]  # little-endian native word 0xAARRGGBB
            if not has_alpha:
                a = 255
            elif 0 < a < 255:
                r, g, b = ((c * 255 + a // 2) // a for c in (r, g, b))
            elif a == 0:
                r = g = b = 0
            row[4 * x: 4 * x + 4] = bytes((r, g, b, a))
        rows.append(row)
    return w, h, rows


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _filtered(raw, prev, bpp):
    """The five PNG filters of one row; the one with the smallest sum of signed magnitudes wins."""
    n = len(raw)
    best = None
    for kind in range(5):
        out = bytearray(n)
        for i in range(n):
            a = raw[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            pred = (0, a, b, (a + b) >> 1, _paeth(a, b, c))[kind]
            out[i] = (raw[i] - pred) & 0xFF
        cost = sum(v if v < 128 else 256 - v for v in out)
        if best is None or cost < best[0]:
            best = (cost, kind, out)
    return bytes((best[1],)) + bytes(best[2])


def _chunk(tag, body):
    return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF)


def encode(surface, alpha):
    w, h, rows = _pixels(surface)
    bpp = 4 if alpha else 3
    prev = bytes(w * bpp)
    stream = bytearray()
    for row in rows:
        raw = bytes(row) if alpha else bytes(b for i, b in enumerate(row) if i % 4 != 3)
        stream += _filtered(raw, prev, bpp)
        prev = raw
    header = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(bytes(stream), 9)) +
            _chunk(b"IEND", b""))


def write_png(path, surface, alpha):
    with open(path, "wb") as f:
        f.write(encode(surface, alpha))


def _dib(surface):
    """One icon image as a 32-bit DIB: BITMAPINFOHEADER of double height, bottom-up BGRA, then the AND mask."""
    w, h, rows = _pixels(surface)
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):
        for x in range(w):
            r, g, b, a = row[4 * x: 4 * x + 4]
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(w):
            if row[4 * x + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(xor) + bytes(mask)


def write_ico(path, surfaces):
    """An ICO of BMP entries, which every version of Windows and every resource compiler accepts."""
    images = [(s.get_width(), s.get_height(), _dib(s)) for s in surfaces]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for w, h, data in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(bytes(out))
