"""The fader: its slot (track) with the scale, the cap with transparency, and the dB figures on the face."""

import cairo

import style
from style import rounded_rect

TRAVEL = 360 - 95  # cap positions 0..265
CAP_CENTRE = 47  # the row of the cap's index line
# Scale marks: figure and fader place, 1 at the top.
MARKS = (("+6", 1.0), ("0", 0.83), ("-6", 0.68), ("-12", 0.54), ("-18", 0.42), ("-24", 0.32), ("-36", 0.19),
         ("-48", 0.09), ("-\u221e", 0.0))


def mark_row(place):
    """The track row that the cap's index line covers at `place`."""
    return CAP_CENTRE + round(TRAVEL * (1 - place))


def print_scale(ctx, widget):
    """The dB figures beside the slot, each level with its tick."""
    style.set_font(ctx, 8)
    for figure, place in MARKS:
        row = widget.y + mark_row(place)
        colour = style.LABEL if figure == "0" else style.LABEL_DIM
        style.text(ctx, figure, widget.x - 3, row + 4, "right", colour)


def _ticks(ctx, w):
    ctx.set_line_width(1)
    places = [p for _, p in MARKS]
    minors = [(a + b) / 2 for a, b in zip(places, places[1:])]
    for place, major in [(p, True) for p in places] + [(p, False) for p in minors]:
        y = mark_row(place) + 0.5
        zero = major and place == 0.83
        ctx.set_source_rgba(*(style.LABEL if zero else style.LABEL_DIM), 0.9 if major else 0.5)
        length = 11 if major else 6
        ctx.move_to(4, y)
        ctx.line_to(4 + length, y)
        ctx.move_to(w - 4 - length, y)
        ctx.line_to(w - 4, y)
        ctx.stroke()


def track(under):
    """The slot drawn over the face as it lies under the fader."""
    w, h = under.get_width(), under.get_height()
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    ctx = style.context(surface)
    ctx.set_source_surface(under, 0, 0)
    ctx.paint()
    _ticks(ctx, w)
    # The groove: a dark slot with a lit lower lip and an inner shadow at the top.
    x0, y0, gw, gh = w // 2 - 4, CAP_CENTRE - 20, 8, TRAVEL + 40
    rounded_rect(ctx, x0 - 1, y0 - 1, gw + 2, gh + 2, 4)
    ctx.set_source(style.vgradient(y0, y0 + gh, (0.02, 0.02, 0.025), style.SEAM_LIGHT))
    ctx.fill()
    rounded_rect(ctx, x0, y0, gw, gh, 3.5)
    ctx.set_source_rgb(0.025, 0.026, 0.030)
    ctx.fill()
    g = cairo.LinearGradient(x0, 0, x0 + gw, 0)
    g.add_color_stop_rgba(0, 0, 0, 0, 0.0)
    g.add_color_stop_rgba(0.5, 1, 1, 1, 0.05)
    g.add_color_stop_rgba(1, 0, 0, 0, 0.0)
    rounded_rect(ctx, x0 + 2, y0 + 3, gw - 4, gh - 6, 2)
    ctx.set_source(g)
    ctx.fill()
    return surface


def cap(w=59, h=95):
    """The knob of the fader: a solid cap with a soft, partly transparent shadow; clear everywhere else."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    ctx = style.context(surface)
    bw, bh = 41, 62
    bx, by = (w - bw) / 2, CAP_CENTRE + 0.5 - bh / 2

    def body(c, dx=0.0, dy=0.0):
        rounded_rect(c, bx + dx, by + dy, bw, bh, 4)

    style.soft_shadow(ctx, lambda c: body(c, 0, 3.5), 6, 0.075)
    # Skirt, then the top face, lit from above.
    body(ctx)
    ctx.set_source(style.vgradient(by, by + bh, (0.36, 0.37, 0.39), (0.08, 0.085, 0.09)))
    ctx.fill()
    rounded_rect(ctx, bx + 2, by + 1.5, bw - 4, bh - 5, 3)
    g = cairo.LinearGradient(0, by, 0, by + bh)
    g.add_color_stop_rgb(0.00, 0.30, 0.31, 0.33)
    g.add_color_stop_rgb(0.45, 0.15, 0.155, 0.165)
    g.add_color_stop_rgb(0.55, 0.15, 0.155, 0.165)
    g.add_color_stop_rgb(1.00, 0.23, 0.24, 0.255)
    ctx.set_source(g)
    ctx.fill()
    # Grip ridges above and below the index line.
    ctx.set_line_width(1)
    for row in list(range(int(by) + 6, CAP_CENTRE - 5, 4)) + list(range(CAP_CENTRE + 7, int(by + bh) - 6, 4)):
        ctx.set_source_rgba(1, 1, 1, 0.10)
        ctx.move_to(bx + 5, row + 0.5)
        ctx.line_to(bx + bw - 5, row + 0.5)
        ctx.stroke()
        ctx.set_source_rgba(0, 0, 0, 0.35)
        ctx.move_to(bx + 5, row + 1.5)
        ctx.line_to(bx + bw - 5, row + 1.5)
        ctx.stroke()
    # Index line, exactly on the row that the scale is drawn for.
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.rectangle(bx + 2, CAP_CENTRE - 1, bw - 4, 3)
    ctx.fill()
    ctx.set_source_rgb(0.96, 0.96, 0.97)
    ctx.rectangle(bx + 2, CAP_CENTRE, bw - 4, 1)
    ctx.fill()
    # Rim highlight along the top edge.
    ctx.set_source_rgba(1, 1, 1, 0.22)
    ctx.move_to(bx + 4, by + 0.5)
    ctx.line_to(bx + bw - 4, by + 0.5)
    ctx.stroke()
    return surface
