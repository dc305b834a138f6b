"""Endless encoders (knurled knobs with a pointer) and the Listener Ready light."""

import math

import cairo

import style


def _prepared(under):
    w, h = under.get_width(), under.get_height()
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    ctx = style.context(surface)
    ctx.set_source_surface(under, 0, 0)
    ctx.paint()
    return surface, ctx


def encoder(under, radius, accent=None, dimple=False):
    """A knob pivoting on the pixel that the turn indicator uses, ((w - 2) / 2, (h - 2) / 2)."""
    surface, ctx = _prepared(under)
    w, h = under.get_width(), under.get_height()
    cx, cy = (w - 2) // 2 + 0.5, (h - 2) // 2 + 0.5

    style.soft_shadow(ctx, lambda c: c.arc(cx, cy + 2, radius - 1, 0, 2 * math.pi), 3, 0.12)
    # Knurled skirt: alternating ridges round the rim.
    ctx.arc(cx, cy, radius, 0, 2 * math.pi)
    ctx.set_source_rgb(0.10, 0.105, 0.115)
    ctx.fill()
    ridges = int(2 * math.pi * radius / 2.6)
    inner = radius * 0.80
    for i in range(ridges):
        a0 = 2 * math.pi * i / ridges
        a1 = a0 + math.pi / ridges
        light = 0.5 + 0.5 * math.cos(a0 + math.pi / 4)  # lit from the upper left
        ctx.move_to(cx + inner * math.cos(a0), cy + inner * math.sin(a0))
        ctx.arc(cx, cy, radius - 0.4, a0, a1)
        ctx.line_to(cx + inner * math.cos(a1), cy + inner * math.sin(a1))
        ctx.close_path()
        ctx.set_source_rgb(*style.mix((0.17, 0.175, 0.19), (0.44, 0.45, 0.47), light))
        ctx.fill()
    # Cap: a shallow dome lit from above.
    top = radius * 0.74
    ctx.arc(cx, cy, top + 0.8, 0, 2 * math.pi)
    ctx.set_source_rgb(0.06, 0.062, 0.068)
    ctx.fill()
    g = cairo.RadialGradient(cx - top * 0.35, cy - top * 0.45, top * 0.1, cx, cy, top * 1.05)
    g.add_color_stop_rgb(0, 0.40, 0.41, 0.43)
    g.add_color_stop_rgb(1, 0.16, 0.165, 0.178)
    ctx.arc(cx, cy, top, 0, 2 * math.pi)
    ctx.set_source(g)
    ctx.fill()
    if dimple:
        # The finger rest of the large knob, off centre towards the pointer.
        dr = top * 0.26
        dx, dy = cx, cy - top * 0.52
        g = cairo.LinearGradient(0, dy - dr, 0, dy + dr)
        g.add_color_stop_rgb(0, 0.10, 0.105, 0.115)
        g.add_color_stop_rgb(1, 0.34, 0.35, 0.37)
        ctx.arc(dx, dy, dr, 0, 2 * math.pi)
        ctx.set_source(g)
        ctx.fill()
    if accent:
        ctx.set_line_width(1.2)
        ctx.arc(cx, cy, top - 1.6, 0, 2 * math.pi)
        ctx.set_source_rgba(*accent, 0.55)
        ctx.stroke()
    # Pointer line at twelve o'clock.
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(2.2 if radius > 20 else 1.8)
    ctx.set_source_rgb(0.95, 0.955, 0.965)
    ctx.move_to(cx, cy - (top * 0.15 if not dimple else top * 0.05))
    ctx.line_to(cx, cy - radius + 1.5)
    if dimple:
        ctx.move_to(cx, cy + top * 0.35)
        ctx.line_to(cx, cy - top * 0.05)
        ctx.new_path()
        ctx.move_to(cx, cy - top - 1)
        ctx.line_to(cx, cy - radius + 1.5)
    ctx.stroke()
    return surface


def light(under, lit):
    """A round LED lens in a bezel: dark green when off, bright green with a halo when on."""
    surface, ctx = _prepared(under)
    cx, cy = under.get_width() / 2, under.get_height() / 2
    ctx.arc(cx, cy, 7.5, 0, 2 * math.pi)
    ctx.set_source(style.vgradient(cy - 7.5, cy + 7.5, (0.02, 0.02, 0.025), style.SEAM_LIGHT))
    ctx.fill()
    if lit:
        halo = cairo.RadialGradient(cx, cy, 2, cx, cy, 10)
        halo.add_color_stop_rgba(0, 0.45, 1.0, 0.45, 0.55)
        halo.add_color_stop_rgba(1, 0.45, 1.0, 0.45, 0.0)
        ctx.arc(cx, cy, 9.9, 0, 2 * math.pi)
        ctx.set_source(halo)
        ctx.fill()
        g = cairo.RadialGradient(cx - 1.5, cy - 2, 0.5, cx, cy, 6.5)
        g.add_color_stop_rgb(0, 0.90, 1.0, 0.88)
        g.add_color_stop_rgb(0.35, 0.35, 1.0, 0.38)
        g.add_color_stop_rgb(1, 0.10, 0.72, 0.18)
    else:
        g = cairo.RadialGradient(cx - 1.5, cy - 2, 0.5, cx, cy, 6.5)
        g.add_color_stop_rgb(0, 0.20, 0.30, 0.21)
        g.add_color_stop_rgb(1, 0.05, 0.10, 0.06)
    ctx.arc(cx, cy, 6.2, 0, 2 * math.pi)
    ctx.set_source(g)
    ctx.fill()
    # Glint on the lens.
    ctx.arc(cx - 2, cy - 2.4, 1.4, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 1, 0.55 if lit else 0.25)
    ctx.fill()
    return surface
