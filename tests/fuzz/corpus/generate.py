#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into the corpus folders beside this script.

The shipped maps (eqmaps/*.eqmap) and the PNG files copied from libpng's sources sit in the corpus folders
as they are; README.md says where they come from. Run again after changing a seed; the output is
deterministic. Targets that read their input through libFuzzer's FuzzedDataProvider (integers from the end,
bytes from the front) get a few fixed pseudo-random blobs: the fuzzer finds its way from there.
"""

import random
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent


def write(target, name, data):
    folder = HERE / target
    folder.mkdir(exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode("latin-1"))


def config_strings():
    defaults = "0 31 0 0 0 0 10 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013"
    long_text = "_" + "X" * 254
    seeds = {
        "short.txt": "0 31 0 0 0 0 10",
        "defaults.txt": defaults,
        "named_actions.txt": "1 40 2 3 1 1 15 11 _SWS_ABOUT 0 - 16 _RS1234567890abc 5 40364 3 a b 1 x 4 1013",
        "declared_too_long.txt": "0 31 0 0 0 0 10 50 cut short",
        "extremes.txt": "-2147483648 2147483647 99999999999 -0 +5 x 7 -3 abc 2147483648 y",
        "spaces.txt": "   0    31 0 0 0 0 10   3   a b   ",
        "longest.txt": " ".join(["0 31 0 0 0 0 10"] + ["255 " + long_text] * 7),
        "empty.txt": "",
        # After the zero byte: the buffer sizes to format into, as big-endian pairs.
        "with_sizes.bin": defaults + "\0" + "\x00\x10\x00\x11\x00\x3f\x00\x40\x04\x00",
    }
    for name, text in seeds.items():
        write("fuzz_config_string", name, text)


def eq_maps():
    write("fuzz_eq_map", "every_key.eqmap",
          "ID=Every Key EQ\n" + "".join(f"{k}{b}={i * 4 + b}\n" for i, k in enumerate("QFGTB") for b in range(1, 5))
          + "BP=20\nMX=21\nQS=100\nFS=-3\nGS=0\nTS=2.5\n")
    write("fuzz_eq_map", "crlf.eqmap", "ID=CR LF EQ\r\nG1 = 3\r\nF1==4\r\n# comment\r\nBP\r\n")
    write("fuzz_eq_map", "odd_lines.eqmap",
          "  ID  = \xe9\xe8 name with high bytes\x01tail\nQ5=1\nQ0=2\nQ1 junk = -7x\nG1=99999999999\n\nID\nQS\n")
    write("fuzz_eq_map", "zero_byte.eqmap", "ID=Zero\0Byte\nQ1=1\0 2\n")


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def tiny_png(width, height, colour_type, rows, bit_depth=8, interlace=0, extra=b""):
    header = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, interlace)
    raw = b"".join(b"\0" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + extra + png_chunk(b"IDAT", zlib.compress(raw))
            + png_chunk(b"IEND", b""))


def pngs():
    write("fuzz_png", "rgba_2x2.png", tiny_png(2, 2, 6, [b"\xff\0\0\xff\0\xff\0\x80", b"\0\0\xff\0\xff\xff\xff\x10"]))
    write("fuzz_png", "grey_trns_3x1.png", tiny_png(3, 1, 0, [b"\x00\x80\xff"], extra=png_chunk(b"tRNS", b"\0\x80")))
    # Blit choices after IEND: the destination size and the blit's offsets.
    write("fuzz_png", "rgb_with_blit_choices.png",
          tiny_png(4, 3, 2, [bytes(range(i, i + 12)) for i in range(3)]) + bytes([7, 5, 200, 3, 60, 70, 80, 90, 9, 9]))


def blobs(target, count, sizes, seed):
    rng = random.Random(seed)
    for i in range(count):
        write(target, f"random_{i}.bin", bytes(rng.randrange(256) for _ in range(rng.choice(sizes))))


def surface_streams():
    blobs("fuzz_surface_midi", 6, [64, 256, 1024], 121)


def panel_engine():
    blobs("fuzz_panel_engine", 6, [32, 128, 512], 3944)
    ready = bytes([0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7])
    # Op bytes are taken from the end: a stream of host-ready messages and lamp messages.
    write("fuzz_panel_engine", "ready_and_lamps.bin", (ready + bytes([0x90, 0x10, 0x7F, 0x90, 0x10, 0x00])) * 8
          + bytes([2, 0, 1, 0, 2, 0, 1, 0, 7, 0, 0, 0, 0, 0, 5]))


def panel_settings():
    blobs("fuzz_panel_settings", 6, [16, 64, 256], 4080)
    write("fuzz_panel_settings", "texts.bin", "120\\x-5\\xLoop 1 0\\xLoop 1 1\\x1\\x0\\x75\\x" + "\x07" * 16)


if __name__ == "__main__":
    config_strings()
    eq_maps()
    pngs()
    surface_streams()
    panel_engine()
    panel_settings()
