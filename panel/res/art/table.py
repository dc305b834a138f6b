"""Reads the image and widget tables of ../skins.h, the one place where sizes and positions live."""

import os
import re
from dataclasses import dataclass

RES_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HEADER = os.path.join(RES_DIR, "skins.h")


@dataclass(frozen=True)
class Image:
    id: int
    kind: str
    frame_width: int
    frame_height: int
    frames: int
    alpha: bool
    lamp: bool
    file: str


@dataclass(frozen=True)
class Widget:
    kind: str
    control_id: int
    x: int
    y: int
    width: int
    height: int
    image: int


_IMAGE = re.compile(
    r'\{\s*(\d+),\s*image_kind::(\w+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(true|false),\s*(true|false),\s*"([^"]+)"\s*\}')
_WIDGET = re.compile(
    r"\{\s*widget_kind::(\w+),\s*(0x[0-9A-Fa-f]+|\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)\s*\}")
_CONST = re.compile(r"inline constexpr int (\w+) = (\d+);")


def load():
    with open(HEADER, encoding="utf-8") as f:
        text = f.read()
    images = [Image(int(m[1]), m[2], int(m[3]), int(m[4]), int(m[5]), m[6] == "true", m[7] == "true", m[8])
              for m in _IMAGE.finditer(text)]
    widgets = [Widget(m[1], int(m[2], 0), int(m[3]), int(m[4]), int(m[5]), int(m[6]), int(m[7]))
               for m in _WIDGET.finditer(text)]
    consts = {m[1]: int(m[2]) for m in _CONST.finditer(text)}
    # A row the patterns missed would silently lose a picture; the counts are those of the arrays.
    if len(images) != 43 or len(widgets) != 52:
        raise SystemExit(f"skins.h: read {len(images)} images and {len(widgets)} widgets, expected 43 and 52")
    return {i.id: i for i in images}, widgets, consts
