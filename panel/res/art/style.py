"""Colours, type and the small drawing helpers that every part of the skin shares."""

import math

import cairo

FONT = "DejaVu Sans"
FONT_CONDENSED = "DejaVu Sans Condensed"

# Body of the unit: anthracite, lighter at the top edge where the light falls.
BODY_TOP = (0.215, 0.225, 0.240)
BODY_BOTTOM = (0.150, 0.155, 0.168)
# The centre plate of EQ and transport; flat, because the twelve EQ knobs share one picture.
PLATE = (0.180, 0.188, 0.202)
SEAM_DARK = (0.070, 0.072, 0.078)
SEAM_LIGHT = (0.290, 0.300, 0.318)
RECESS = (0.072, 0.075, 0.082)  # wells the buttons sit in
HINT_STRIP = (0.095, 0.098, 0.106)

LABEL = (0.905, 0.915, 0.930)
LABEL_DIM = (0.690, 0.705, 0.725)

CAP_TOP = (0.300, 0.312, 0.332)
CAP_BOTTOM = (0.205, 0.213, 0.228)
CAP_PRESSED_TOP = (0.185, 0.192, 0.205)
CAP_PRESSED_BOTTOM = (0.215, 0.222, 0.236)
SYMBOL = (0.880, 0.892, 0.910)
SYMBOL_PRESSED = (0.700, 0.712, 0.730)

# Lamp colours, chosen so that a glance tells them apart.
RED = (1.000, 0.180, 0.130)
ORANGE = (1.000, 0.520, 0.080)
YELLOW = (1.000, 0.840, 0.120)
AMBER = (1.000, 0.690, 0.160)
GREEN = (0.220, 0.900, 0.330)
BLUE = (0.200, 0.580, 1.000)
CYAN = (0.150, 0.820, 0.960)
WHITE = (0.930, 0.950, 1.000)


def font_options():
    # Fixed options, so that the machine's font configuration cannot change a single pixel.
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    options.set_hint_metrics(cairo.HINT_METRICS_ON)
    return options


def context(surface):
    ctx = cairo.Context(surface)
    ctx.set_font_options(font_options())
    return ctx


def set_font(ctx, size, bold=True, condensed=True):
    ctx.select_font_face(FONT_CONDENSED if condensed else FONT, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)


def text_width(ctx, text):
    return ctx.text_extents(text).x_advance


def text(ctx, s, x, baseline, align="centre", colour=LABEL):
    """Draws s with its baseline on `baseline`; x is the left edge, the centre or the right edge."""
    w = text_width(ctx, s)
    left = {"left": x, "centre": x - w / 2, "right": x - w}[align]
    ctx.set_source_rgb(*colour)
    ctx.move_to(round(left), baseline)
    ctx.show_text(s)
    return left, left + w


def centred_glyphs(ctx, s, cx, cy, colour):
    """Draws s centred on its ink, not its advance, so single letters sit in the middle of a cap."""
    e = ctx.text_extents(s)
    ctx.set_source_rgb(*colour)
    ctx.move_to(cx - e.x_bearing - e.width / 2, cy - e.y_bearing - e.height / 2)
    ctx.show_text(s)


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def vgradient(y0, y1, top, bottom):
    g = cairo.LinearGradient(0, y0, 0, y1)
    g.add_color_stop_rgb(0, *top)
    g.add_color_stop_rgb(1, *bottom)
    return g


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def luminance(c):
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]


def soft_shadow(ctx, shape, steps, alpha):
    """A blur without a blur filter: the shape stroked ever wider at a faint alpha, widest first."""
    for i in range(steps, 0, -1):
        ctx.save()
        shape(ctx)
        ctx.set_source_rgba(0, 0, 0, alpha)
        ctx.set_line_width(2 * i)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.stroke_preserve()
        ctx.fill()
        ctx.restore()


def crop(source, x, y, w, h):
    """A w x h copy of the region (x, y) of source: the face as it lies under a widget."""
    out = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    ctx = cairo.Context(out)
    ctx.set_source_surface(source, -x, -y)
    ctx.paint()
    return out
