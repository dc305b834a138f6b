"""The face: the printed body of the controller (background) and, on top, the placeholders of the widgets.

Every widget picture is cut from the background at the widget's place before its own art is drawn, so a
widget blends into the face without a visible edge.
"""

import math

import cairo

import fader
import style
from style import rounded_rect

W, H = 750, 480
CENTRE_PLATE = (226, 8, 290, 428)  # x, y, w, h: EQ and transport
HINT_TOP = 440
AI_CENTRE = (628.5, 297.5)  # the pixel that the knob's turn indicator pivots on, (34, 34) of its frame
HINT = ("To simulate simultaneous button presses arm one or more buttons with the right mouse button "
        "and fire the action with the left button.")
EQ_COLUMNS = (273, 340, 407, 474)  # centres of the four band columns
WELL_MARGIN = 2

# Buttons that touch their neighbours share one well.
WELL_GROUPS = ((103, 107, 111, 115), (114, 119))


def _seam(ctx, x0, y0, x1, y1):
    """A shallow groove between two parts of the body: a dark line and a lit one below or right of it."""
    ctx.set_line_width(1)
    ctx.set_source_rgb(*style.SEAM_DARK)
    ctx.move_to(x0 + 0.5, y0 + 0.5)
    ctx.line_to(x1 + 0.5, y1 + 0.5)
    ctx.stroke()
    dx, dy = (1, 0) if x0 == x1 else (0, 1)
    ctx.set_source_rgba(*style.SEAM_LIGHT, 0.8)
    ctx.move_to(x0 + 0.5 + dx, y0 + 0.5 + dy)
    ctx.line_to(x1 + 0.5 + dx, y1 + 0.5 + dy)
    ctx.stroke()


def _body(ctx):
    ctx.set_source(style.vgradient(0, H, style.BODY_TOP, style.BODY_BOTTOM))
    ctx.paint()
    # Bevel of the outer edge: light from above.
    ctx.set_line_width(1)
    ctx.set_source_rgba(1, 1, 1, 0.10)
    ctx.move_to(0, 0.5)
    ctx.line_to(W, 0.5)
    ctx.stroke()
    ctx.set_source_rgba(0, 0, 0, 0.35)
    ctx.move_to(0, H - 0.5)
    ctx.line_to(W, H - 0.5)
    ctx.stroke()
    # Centre plate with its own frame.
    x, y, w, h = CENTRE_PLATE
    ctx.set_source_rgb(*style.PLATE)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    _seam(ctx, x - 1, y - 1, x + w, y - 1)
    _seam(ctx, x - 1, y - 1, x - 1, y + h)
    _seam(ctx, x + w, y - 1, x + w, y + h)
    _seam(ctx, x - 1, y + h, x + w, y + h)
    # The strip that carries the hint.
    ctx.set_source(style.vgradient(HINT_TOP, H, style.HINT_STRIP, style.mix(style.HINT_STRIP, (0, 0, 0), 0.3)))
    ctx.rectangle(0, HINT_TOP, W, H - HINT_TOP)
    ctx.fill()
    _seam(ctx, 0, HINT_TOP - 1, W - 1, HINT_TOP - 1)


def _well(ctx, x, y, w, h):
    """The dark rounded recess a button sits in, with a lit lower lip."""
    m = WELL_MARGIN
    rounded_rect(ctx, x - m - 1, y - m - 1, w + 2 * m + 2, h + 2 * m + 2, 6)
    ctx.set_source(style.vgradient(y - m, y + h + m, (0.03, 0.03, 0.035), style.mix(style.SEAM_LIGHT, (1, 1, 1), 0.1)))
    ctx.fill()
    rounded_rect(ctx, x - m, y - m, w + 2 * m, h + 2 * m, 5)
    ctx.set_source_rgb(*style.RECESS)
    ctx.fill()


def _wells(ctx, widgets):
    grouped = {i for group in WELL_GROUPS for i in group}
    buttons = {w.image: w for w in widgets if w.kind == "button"}
    for w in buttons.values():
        if w.image not in grouped:
            _well(ctx, w.x, w.y, w.width, w.height)
    for group in WELL_GROUPS:
        members = [buttons[i] for i in group]
        x0, y0 = min(b.x for b in members), min(b.y for b in members)
        x1 = max(b.x + b.width for b in members)
        y1 = max(b.y + b.height for b in members)
        _well(ctx, x0, y0, x1 - x0, y1 - y0)


def _ai_ring(ctx):
    """The printed ring around the AI knob: a band with a tick every 15 degrees."""
    cx, cy = AI_CENTRE
    ctx.set_line_width(5)
    ctx.set_source_rgb(*style.mix(style.BODY_BOTTOM, (0, 0, 0), 0.45))
    ctx.arc(cx, cy, 42.5, 0, 2 * math.pi)
    ctx.stroke()
    ctx.set_line_width(1)
    ctx.set_source_rgba(*style.SEAM_LIGHT, 0.9)
    ctx.arc(cx, cy, 45.5, 0, 2 * math.pi)
    ctx.stroke()
    ctx.set_line_width(1.2)
    for i in range(24):
        a = i * math.pi / 12
        major = i % 6 == 0
        r0, r1 = (40.5, 44.8) if major else (41.6, 43.6)
        ctx.set_source_rgba(*style.LABEL_DIM, 0.95 if major else 0.6)
        ctx.move_to(cx + r0 * math.sin(a), cy - r0 * math.cos(a))
        ctx.line_to(cx + r1 * math.sin(a), cy - r1 * math.cos(a))
        ctx.stroke()


def _bracket(ctx, x0, x1, y, gap_left, gap_right):
    """A thin rule with a tick down at each end, broken where the heading sits."""
    ctx.set_line_width(1)
    ctx.set_source_rgba(*style.LABEL_DIM, 0.7)
    ctx.move_to(x0 + 0.5, y + 4)
    ctx.line_to(x0 + 0.5, y + 0.5)
    ctx.line_to(gap_left, y + 0.5)
    ctx.move_to(gap_right, y + 0.5)
    ctx.line_to(x1 - 0.5, y + 0.5)
    ctx.line_to(x1 - 0.5, y + 4)
    ctx.stroke()


def _heading(ctx, s, x0, x1, baseline, size=8.5):
    style.set_font(ctx, size)
    left, right = style.text(ctx, s, (x0 + x1) / 2, baseline)
    _bracket(ctx, x0, x1, baseline - 4, left - 4, right + 4)


def _labels(ctx):
    style.set_font(ctx, 13.5, condensed=False)
    style.text(ctx, "kestro", 14, 30, "left", style.LABEL)
    style.set_font(ctx, 6.5, bold=False)
    style.text(ctx, "CONTROL PANEL", 15, 40, "left", style.LABEL_DIM)

    style.set_font(ctx, 8.5)
    style.text(ctx, "FOOTSWITCH", 136, 39)
    style.text(ctx, "PAN", 136, 102)
    _heading(ctx, "CHANNEL SELECT", 112, 218, 381)

    # EQ: the section title, the Q/F/G rows and the band columns.
    _heading(ctx, "EQ", 252, 495, 30, size=11)
    style.set_font(ctx, 12)
    for letter, row_y in (("Q", 43), ("F", 108), ("G", 173)):
        style.centred_glyphs(ctx, letter, 238, row_y + 21, style.LABEL)
    style.set_font(ctx, 8)
    for name, cx in zip(("LOW", "LOW MID", "HIGH MID", "HIGH"), EQ_COLUMNS):
        style.text(ctx, name, cx, 226)
    style.set_font(ctx, 8.5)
    style.text(ctx, "EQ TYPE", 273, 331)
    style.text(ctx, "ALL BYPASS", 474, 331)

    # Right section.
    style.text(ctx, "VALUE", 553, 37)
    style.text(ctx, "ENCODER BUTTON", 625, 39)
    style.set_font(ctx, 8)
    style.text(ctx, "LISTENER", 689, 61, "left")
    style.text(ctx, "READY", 689, 71, "left")
    _heading(ctx, "FUNCTION", 529, 721, 103)
    style.set_font(ctx, 8)
    style.text(ctx, "ALWAYS ON TOP", 553, 381)
    style.set_font(ctx, 8.5)
    style.text(ctx, "SETUP", 649, 381)
    style.text(ctx, "ABOUT", 697, 381)

    style.set_font(ctx, 10, bold=False)
    style.text(ctx, HINT, W / 2, 464, "centre", style.LABEL_DIM)


def background(widgets):
    """The printed body without placeholders: what lies around and under every widget."""
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, W, H)
    ctx = style.context(surface)
    _body(ctx)
    _ai_ring(ctx)
    _wells(ctx, widgets)
    fader.print_scale(ctx, next(w for w in widgets if w.kind == "fader"))
    _labels(ctx)
    return surface


def _placeholder(ctx, w):
    """A darker recess where a widget will sit; only seen if its picture is missing."""
    if w.kind == "button":
        rounded_rect(ctx, w.x + 3, w.y + 3, w.width - 6, w.height - 6, 4)
    elif w.kind == "fader":
        rounded_rect(ctx, w.x + 4, w.y + 4, w.width - 8, w.height - 8, 6)
    else:
        r = min(w.width, w.height) / 2 - 2
        ctx.arc(w.x + w.width / 2, w.y + w.height / 2, r, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.35)
    ctx.fill()


def face(background_surface, widgets):
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, W, H)
    ctx = style.context(surface)
    ctx.set_source_surface(background_surface, 0, 0)
    ctx.paint()
    for w in widgets:
        _placeholder(ctx, w)
    return surface
