#!/usr/bin/python3
"""Composes the committed pictures into whole-panel previews, as the program would show them.

    /usr/bin/python3 panel/res/art/preview.py OUT_DIR
writes idle.png (every button idle, light dark), lit.png (every lit frame, light on), pressed.png (pressed
and lit-pressed frames) and 2x enlargements of each.
"""

import os
import sys

import cairo

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import table  # noqa: E402


def _load(image):
    return cairo.ImageSurface.create_from_png(os.path.join(table.RES_DIR, image.file))


def compose(images, widgets, button_frame, light_frame, fader_value):
    face_image = next(i for i in images.values() if i.kind == "face")
    cap_image = next(i for i in images.values() if i.kind == "fader_cap")
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, face_image.frame_width, face_image.frame_height)
    ctx = cairo.Context(surface)
    ctx.set_source_surface(_load(face_image), 0, 0)
    ctx.paint()
    for w in widgets:
        image = images[w.image]
        frame = {"button": button_frame, "light": light_frame}.get(w.kind, 0)
        if w.kind == "button" and callable(button_frame):
            frame = button_frame(w)
        ctx.save()
        ctx.rectangle(w.x, w.y, w.width, w.height)
        ctx.clip()
        ctx.set_source_surface(_load(image), w.x - frame * w.width, w.y)
        ctx.paint()
        if w.kind == "fader":
            top = int((image.frame_height - cap_image.frame_height) * (1 - fader_value))
            ctx.set_source_surface(_load(cap_image), w.x, w.y + top)
            ctx.paint()
        ctx.restore()
    return surface


def _twice(surface):
    big = cairo.ImageSurface(cairo.FORMAT_RGB24, surface.get_width() * 2, surface.get_height() * 2)
    ctx = cairo.Context(big)
    ctx.scale(2, 2)
    ctx.set_source_surface(surface, 0, 0)
    ctx.get_source().set_filter(cairo.FILTER_NEAREST)
    ctx.paint()
    return big


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "out/art-preview"
    os.makedirs(out, exist_ok=True)
    images, widgets, _ = table.load()
    views = {
        "idle": compose(images, widgets, 0, 0, 0.5),
        "lit": compose(images, widgets, 2, 1, 0.83),
        "pressed": compose(images, widgets, lambda w: 1 if (w.x // 10 + w.y // 10) % 2 else 3, 1, 1.0),
    }
    for name, surface in views.items():
        surface.write_to_png(os.path.join(out, f"{name}.png"))
        _twice(surface).write_to_png(os.path.join(out, f"{name}_2x.png"))
    print(f"previews in {out}")


if __name__ == "__main__":
    main()
