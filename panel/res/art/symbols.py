"""What each button cap carries: a letter, a word or a small drawn symbol, centred on (cx, cy)."""

import math

import cairo

import style


def letters(s, size, condensed=False):
    """Words and capitals sit on their cap height, so a descending J does not lift JOG; lone small letters
    (m, e) are centred on their own ink."""
    def paint(ctx, cx, cy, colour):
        style.set_font(ctx, size, condensed=condensed)
        if s.islower():
            style.centred_glyphs(ctx, s, cx, cy, colour)
            return
        e = ctx.text_extents(s)
        cap = ctx.text_extents("H").height
        ctx.set_source_rgb(*colour)
        ctx.move_to(cx - e.x_bearing - e.width / 2, cy + cap / 2)
        ctx.show_text(s)
    return paint


def _fill(ctx, colour, points):
    ctx.move_to(*points[0])
    for p in points[1:]:
        ctx.line_to(*p)
    ctx.close_path()
    ctx.set_source_rgb(*colour)
    ctx.fill()


def _triangle(ctx, colour, x, cy, width, height, right):
    tip = x + width if right else x
    base = x if right else x + width
    _fill(ctx, colour, [(base, cy - height / 2), (base, cy + height / 2), (tip, cy)])


def play(ctx, cx, cy, colour):
    _triangle(ctx, colour, cx - 5, cy, 11, 13, True)


def stop(ctx, cx, cy, colour):
    ctx.rectangle(cx - 5.5, cy - 5.5, 11, 11)
    ctx.set_source_rgb(*colour)
    ctx.fill()


def record(ctx, cx, cy, colour):
    ctx.arc(cx, cy, 6.2, 0, 2 * math.pi)
    ctx.set_source_rgb(*colour)
    ctx.fill()


def rec_arm(ctx, cx, cy, colour):
    ctx.arc(cx, cy, 5.6, 0, 2 * math.pi)
    ctx.set_line_width(2.4)
    ctx.set_source_rgb(*colour)
    ctx.stroke()


def rewind(ctx, cx, cy, colour):
    _triangle(ctx, colour, cx - 8, cy, 8, 11, False)
    _triangle(ctx, colour, cx, cy, 8, 11, False)


def forward(ctx, cx, cy, colour):
    _triangle(ctx, colour, cx - 8, cy, 8, 11, True)
    _triangle(ctx, colour, cx, cy, 8, 11, True)


def to_start(ctx, cx, cy, colour):
    ctx.rectangle(cx - 7, cy - 5.5, 2.5, 11)
    ctx.set_source_rgb(*colour)
    ctx.fill()
    _triangle(ctx, colour, cx - 4, cy, 10, 11, False)


def to_end(ctx, cx, cy, colour):
    _triangle(ctx, colour, cx - 6, cy, 10, 11, True)
    ctx.rectangle(cx + 4.5, cy - 5.5, 2.5, 11)
    ctx.set_source_rgb(*colour)
    ctx.fill()


def _arrowhead(ctx, colour, x, y, angle, size=4.2):
    """A filled head whose tip is at (x, y), pointing along angle (radians, y downwards)."""
    back = angle + math.pi
    pts = [(x, y)]
    for side in (-0.55, 0.55):
        pts.append((x + size * math.cos(back + side), y + size * math.sin(back + side)))
    _fill(ctx, colour, pts)


def cycle(ctx, cx, cy, colour):
    """Two arcs chasing each other round a loop."""
    r = 6.2
    ctx.set_line_width(2)
    ctx.set_source_rgb(*colour)
    for start in (math.radians(200), math.radians(20)):
        end = start + math.radians(125)
        ctx.new_path()
        ctx.arc(cx, cy, r, start, end)
        ctx.stroke()
        tip_angle = end + math.radians(22)
        tip = (cx + r * math.cos(tip_angle), cy + r * math.sin(tip_angle))
        _arrowhead(ctx, colour, tip[0], tip[1], tip_angle + math.pi / 2, 5)
        ctx.set_source_rgb(*colour)


def _shaft_arrow(ctx, colour, cx, cy, angle, length=15):
    """A straight arrow through (cx, cy) pointing along angle."""
    dx, dy = math.cos(angle), math.sin(angle)
    tip = (cx + dx * length / 2, cy + dy * length / 2)
    ctx.set_line_width(2.2)
    ctx.set_source_rgb(*colour)
    ctx.move_to(cx - dx * length / 2, cy - dy * length / 2)
    ctx.line_to(tip[0] - dx * 3, tip[1] - dy * 3)
    ctx.stroke()
    _arrowhead(ctx, colour, tip[0], tip[1], angle, 6.5)


def channel_left(ctx, cx, cy, colour):
    _shaft_arrow(ctx, colour, cx, cy, math.pi)


def channel_right(ctx, cx, cy, colour):
    _shaft_arrow(ctx, colour, cx, cy, 0)


def down_arrow(ctx, cx, cy, colour):
    _shaft_arrow(ctx, colour, cx, cy, math.pi / 2, 17)


def speaker(ctx, cx, cy, colour):
    x = cx - 3
    _fill(ctx, colour, [(x - 6, cy - 2.8), (x - 2.5, cy - 2.8), (x + 2.5, cy - 7), (x + 2.5, cy + 7),
                        (x - 2.5, cy + 2.8), (x - 6, cy + 2.8)])
    ctx.set_line_width(1.6)
    ctx.set_source_rgb(*colour)
    for r in (3.8, 7.2):
        ctx.new_path()
        ctx.arc(x + 3, cy, r, -math.radians(48), math.radians(48))
        ctx.stroke()


def fx(ctx, cx, cy, colour):
    """An arrow into a rack of three insert slots."""
    ctx.set_line_width(1.8)
    ctx.set_source_rgb(*colour)
    ctx.move_to(cx - 10, cy)
    ctx.line_to(cx - 3.5, cy)
    ctx.stroke()
    _arrowhead(ctx, colour, cx - 0.5, cy, 0, 5)
    ctx.set_line_width(1.2)
    ctx.set_source_rgb(*colour)
    for i in (-1, 0, 1):
        ctx.rectangle(cx + 1.6, cy - 1.6 + i * 4.6, 8.4, 3.2)
        ctx.stroke()


def foot(ctx, cx, cy, colour):
    """A right footprint: ball, arch and heel, and five toes with the big one inside."""
    ctx.set_source_rgb(*colour)
    ctx.save()
    ctx.translate(cx - 0.5, cy + 1.6)
    ctx.scale(0.9, 0.9)
    ctx.rotate(math.radians(6))
    ctx.move_to(-0.5, -7)
    ctx.curve_to(3.5, -7, 4.6, -3, 3.6, 1)
    ctx.curve_to(3.1, 4, 2.9, 6, 2.6, 7.5)
    ctx.curve_to(1.9, 9.6, -2.3, 9.6, -2.8, 7.2)
    ctx.curve_to(-3.2, 5, -1.6, 2.5, -3.1, -0.5)
    ctx.curve_to(-4.3, -3, -3.9, -7, -0.5, -7)
    ctx.close_path()
    ctx.fill()
    for dx, dy, r in ((-2.5, -10.2, 1.75), (0.5, -10.9, 1.3), (2.6, -10.2, 1.1), (4.2, -8.9, 0.95),
                      (5.2, -7.2, 0.85)):
        ctx.arc(dx, dy, r, 0, 2 * math.pi)
        ctx.fill()
    ctx.restore()


def pin(ctx, cx, cy, colour):
    """A push pin, leaning right, holding something to the top."""
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(math.radians(40))
    ctx.set_source_rgb(*colour)
    style.rounded_rect(ctx, -4.5, -9, 9, 3, 1)  # head
    ctx.fill()
    _fill(ctx, colour, [(-2.6, -6), (2.6, -6), (3.2, 0), (-3.2, 0)])  # body
    ctx.rectangle(-5.5, 0, 11, 2)  # collar
    ctx.fill()
    ctx.set_line_width(1.4)
    ctx.move_to(0, 2)
    ctx.line_to(0, 9)
    ctx.stroke()
    ctx.restore()


def eq_curve(ctx, cx, cy, colour):
    """A bell filter's response over its axis."""
    ctx.set_source_rgb(*colour)
    ctx.set_line_width(1)
    ctx.move_to(cx - 10, cy + 5.5)
    ctx.line_to(cx + 10, cy + 5.5)
    ctx.stroke()
    ctx.set_line_width(2)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    for i in range(41):
        x = -10 + i * 0.5
        y = 2.5 - 9 * math.exp(-(x / 3.6) ** 2)
        (ctx.line_to if i else ctx.move_to)(cx + x, cy + y)
    ctx.stroke()


def bypass(ctx, cx, cy, colour):
    """The signal line jumping over a box: the effect is left out."""
    ctx.set_source_rgb(*colour)
    ctx.set_line_width(1.2)
    ctx.rectangle(cx - 4, cy + 0.5, 8, 6)
    ctx.stroke()
    ctx.set_line_width(2)
    ctx.move_to(cx - 11, cy + 3.5)
    ctx.line_to(cx - 7, cy + 3.5)
    ctx.curve_to(cx - 6, cy - 7, cx + 6, cy - 7, cx + 7, cy + 3.5)
    ctx.line_to(cx + 11, cy + 3.5)
    ctx.stroke()
