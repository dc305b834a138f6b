"""Button strips: idle, pressed, lit, lit and pressed, side by side.

Each cap sits in the well that the face prints around it; pressing pushes it 1 px down and darkens it; a lamp
fills the cap with its colour. A button without a lamp repeats its idle and pressed frames as its lit ones.
"""

import cairo

import style
import symbols as sym
from style import rounded_rect

# Per image id: the cap's symbol and the lamp colour (None: no lamp).
BUTTONS = {
    103: (sym.letters("1", 15), style.AMBER),
    104: (sym.to_end, None),
    105: (sym.letters("ON", 12), style.BLUE),
    106: (sym.rec_arm, style.RED),
    107: (sym.letters("2", 15), style.AMBER),
    109: (sym.letters("ON", 12), style.BLUE),
    110: (sym.rewind, None),
    111: (sym.letters("3", 15), style.AMBER),
    112: (sym.eq_curve, style.BLUE),
    113: (sym.speaker, style.AMBER),
    114: (sym.letters("MIDI", 10.5, condensed=True), style.WHITE),
    115: (sym.letters("4", 15), style.AMBER),
    117: (sym.letters("m", 17), style.ORANGE),
    118: (sym.letters("S", 15), style.YELLOW),
    119: (sym.letters("?", 16), style.WHITE),
    121: (sym.channel_right, None),
    122: (sym.to_start, None),
    124: (sym.foot, None),
    126: (sym.stop, None),
    127: (sym.bypass, style.AMBER),
    128: (sym.forward, None),
    129: (sym.play, style.GREEN),
    131: (sym.pin, style.WHITE),
    132: (sym.letters("ON", 12), style.BLUE),
    133: (sym.channel_left, None),
    134: (sym.fx, style.WHITE),
    135: (sym.letters("ON", 12), style.BLUE),
    136: (sym.letters("R", 15), style.GREEN),
    137: (sym.letters("W", 15), style.RED),
    138: (sym.cycle, style.CYAN),
    139: (sym.letters("JOG", 12), style.AMBER),
    141: (sym.letters("e", 17), style.WHITE),
    142: (sym.letters("LOCK", 11), style.AMBER),
    143: (sym.record, style.RED),
    144: (sym.down_arrow, None),
}
RECORD_RED = (0.86, 0.24, 0.20)
INK = (0.06, 0.06, 0.065)


def _contrast(a, b):
    la, lb = style.luminance(a) + 0.05, style.luminance(b) + 0.05
    return max(la, lb) / min(la, lb)


def _ink_on(lamp):
    """Dark ink on bright lamps, white on deep ones: whichever reads better."""
    return INK if _contrast(INK, lamp) >= _contrast(style.WHITE, lamp) else (1, 1, 1)


def _cap(ctx, w, h, pressed, lamp, paint, idle_symbol):
    inset = 3
    x, y, cw, ch = inset, inset + (1 if pressed else 0), w - 2 * inset, h - 2 * inset
    r = 6 if w > 50 else 5

    def shape(c):
        rounded_rect(c, x, y, cw, ch, r)

    if lamp:
        # Light spilling from under the cap into the well.
        ctx.save()
        shape(ctx)
        ctx.set_source_rgba(*lamp, 0.22 if not pressed else 0.16)
        ctx.set_line_width(4)
        ctx.stroke()
        ctx.restore()
    if not pressed:
        rounded_rect(ctx, x, y + 1.5, cw, ch, r)
        ctx.set_source_rgba(0, 0, 0, 0.75)
        ctx.fill()

    shape(ctx)
    if lamp:
        dim = 0.80 if pressed else 1.0
        bright = tuple(c * dim for c in style.mix(lamp, (1, 1, 1), 0.28))
        deep = tuple(c * dim * 0.74 for c in lamp)
        g = cairo.RadialGradient(x + cw / 2, y + ch * 0.42, 2, x + cw / 2, y + ch / 2, max(cw, ch) * 0.62)
        g.add_color_stop_rgb(0, *bright)
        g.add_color_stop_rgb(1, *deep)
        ctx.set_source(g)
    elif pressed:
        ctx.set_source(style.vgradient(y, y + ch, style.CAP_PRESSED_TOP, style.CAP_PRESSED_BOTTOM))
    else:
        ctx.set_source(style.vgradient(y, y + ch, style.CAP_TOP, style.CAP_BOTTOM))
    ctx.fill()

    # Edge and light: a crisp dark rim, a highlight along the top unless pushed in, a shade inside if so.
    shape(ctx)
    ctx.set_line_width(1)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.stroke()
    ctx.set_line_width(1)
    if pressed:
        ctx.set_source_rgba(0, 0, 0, 0.45)
        ctx.move_to(x + r, y + 1.5)
        ctx.line_to(x + cw - r, y + 1.5)
        ctx.stroke()
    else:
        ctx.set_source_rgba(1, 1, 1, 0.30 if lamp else 0.16)
        ctx.move_to(x + r, y + 1.5)
        ctx.line_to(x + cw - r, y + 1.5)
        ctx.stroke()

    if lamp:
        colour = _ink_on(lamp)
    else:
        colour = idle_symbol if not pressed else style.mix(idle_symbol, (0, 0, 0), 0.2)
    paint(ctx, x + cw / 2, y + ch / 2, colour)


def strip(image_id, under):
    """The four frames of button image_id, each drawn over `under`, the face beneath the button."""
    paint, lamp = BUTTONS[image_id]
    w, h = under.get_width(), under.get_height()
    idle_symbol = RECORD_RED if image_id == 143 else style.SYMBOL
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, 4 * w, h)
    for frame, (pressed, lit) in enumerate(((False, False), (True, False), (False, True), (True, True))):
        ctx = style.context(surface)
        ctx.translate(frame * w, 0)
        ctx.rectangle(0, 0, w, h)
        ctx.clip()
        ctx.set_source_surface(under, 0, 0)
        ctx.paint()
        _cap(ctx, w, h, pressed, lamp if lit else None, paint, idle_symbol)
    return surface
