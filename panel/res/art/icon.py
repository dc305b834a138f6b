"""The program icon: a small controller body with a fader and a knob, drawn for each size on its own grid."""

import math

import cairo

import style


def icon(size):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    ctx = style.context(surface)
    s = size / 32.0
    ctx.scale(s, s)
    # Body.
    style.rounded_rect(ctx, 1, 1, 30, 30, 5)
    ctx.set_source(style.vgradient(1, 31, (0.33, 0.345, 0.37), (0.13, 0.135, 0.15)))
    ctx.fill_preserve()
    ctx.set_line_width(1.0 if size >= 32 else 1.6)
    ctx.set_source_rgba(0, 0, 0, 0.8)
    ctx.stroke()
    # Fader slot and cap.
    ctx.rectangle(9, 5, 3, 22)
    ctx.set_source_rgb(0.03, 0.03, 0.035)
    ctx.fill()
    style.rounded_rect(ctx, 5, 15, 11, 7, 1.5)
    ctx.set_source(style.vgradient(15, 22, (0.95, 0.95, 0.96), (0.62, 0.63, 0.66)))
    ctx.fill()
    ctx.rectangle(5, 18, 11, 1.2)
    ctx.set_source_rgb(0.1, 0.1, 0.1)
    ctx.fill()
    # Knob with pointer.
    ctx.arc(23, 11, 5.6, 0, 2 * math.pi)
    ctx.set_source(style.vgradient(5, 17, (0.75, 0.76, 0.78), (0.35, 0.36, 0.38)))
    ctx.fill()
    ctx.set_line_width(1.6)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_source_rgb(0.05, 0.05, 0.06)
    ctx.move_to(23, 11)
    ctx.line_to(23 + 4.2 * math.sin(0.7), 11 - 4.2 * math.cos(0.7))
    ctx.stroke()
    # Lamp.
    ctx.arc(23, 24, 3, 0, 2 * math.pi)
    ctx.set_source_rgb(*style.GREEN)
    ctx.fill()
    return surface
