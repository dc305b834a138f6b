#!/usr/bin/python3
"""Draws every skin picture of the panel into panel/res: the PNG resources, kestro.ico and skins.rc.

Run with Debian's python3 (python3-cairo, fonts-dejavu-core, fonts-dejavu-extra):
    /usr/bin/python3 panel/res/art/generate.py
The output is committed, so building the panel needs none of this. Same input, same bytes.
"""

import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import buttons  # noqa: E402
import face  # noqa: E402
import fader  # noqa: E402
import icon  # noqa: E402
import knobs  # noqa: E402
import pngfile  # noqa: E402
import style  # noqa: E402
import table  # noqa: E402

ICON_FILE = "kestro.ico"
RC_FILE = "skins.rc"


def _under(bg, w):
    return style.crop(bg, w.x, w.y, w.width, w.height)


def _same_pixels(a, b):
    a.flush()
    b.flush()
    return bytes(a.get_data()) == bytes(b.get_data())


def render(images, widgets):
    """Every picture by image id, as (surface, has alpha)."""
    bg = face.background(widgets)
    out = {table_face_id(images): (face.face(bg, widgets), False)}
    by_image = {}
    for w in widgets:
        by_image.setdefault(w.image, []).append(w)
    for image_id, users in sorted(by_image.items()):
        first = users[0]
        under = _under(bg, first)
        # A picture shared by several widgets is right only where the face under them is the same.
        for other in users[1:]:
            if not _same_pixels(under, _under(bg, other)):
                raise SystemExit(f"image {image_id}: the face differs under the widget at ({other.x}, {other.y})")
        kind = images[image_id].kind
        if kind == "button":
            out[image_id] = (buttons.strip(image_id, under), False)
        elif kind == "encoder":
            large = first.width >= 60
            accent = {125: style.LABEL_DIM, 130: style.AMBER}.get(image_id)
            out[image_id] = (knobs.encoder(under, 28.5 if large else 17.5, accent, dimple=large), False)
        elif kind == "light":
            dark, lit = knobs.light(under, False), knobs.light(under, True)
            out[image_id] = (_side_by_side([dark, lit]), False)
        elif kind == "fader_track":
            out[image_id] = (fader.track(under), False)
    out[fader_cap_id(images)] = (fader.cap(), True)
    return out


def table_face_id(images):
    return next(i.id for i in images.values() if i.kind == "face")


def fader_cap_id(images):
    return next(i.id for i in images.values() if i.kind == "fader_cap")


def _side_by_side(frames):
    import cairo
    w, h = frames[0].get_width(), frames[0].get_height()
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, w * len(frames), h)
    ctx = cairo.Context(surface)
    for i, f in enumerate(frames):
        ctx.set_source_surface(f, i * w, 0)
        ctx.paint()
    return surface


def _check(images, pictures):
    for image in images.values():
        surface, alpha = pictures[image.id]
        size = (surface.get_width(), surface.get_height())
        want = (image.frame_width * image.frames, image.frame_height)
        if size != want or alpha != image.alpha:
            raise SystemExit(f"image {image.id}: drew {size} alpha={alpha}, the table wants {want} alpha={image.alpha}")


def _write_rc(images, consts):
    lines = ["// Written by art/generate.py from skins.h: the panel's icon and skin pictures.",
             f'{consts["icon_id"]} ICON "{ICON_FILE}"']
    lines += [f'{i.id} PNG "{i.file}"' for i in sorted(images.values(), key=lambda i: i.id)]
    with open(os.path.join(table.RES_DIR, RC_FILE), "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    images, widgets, consts = table.load()
    pictures = render(images, widgets)
    _check(images, pictures)
    for image in images.values():
        surface, alpha = pictures[image.id]
        pngfile.write_png(os.path.join(table.RES_DIR, image.file), surface, alpha)
    pngfile.write_ico(os.path.join(table.RES_DIR, ICON_FILE), [icon.icon(s) for s in (16, 32, 48)])
    _write_rc(images, consts)
    print(f"wrote {len(images)} pictures, {ICON_FILE} and {RC_FILE} to {table.RES_DIR}")


if __name__ == "__main__":
    main()
