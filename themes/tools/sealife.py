"""Procedural sea creatures and scenery, drawn frame by frame on artkit canvases."""

import math
import random

from artkit import (Canvas, capsule, circle, ellipse, intersect, mix, polygon, polyline, rect,
                    shade, smoothstep, subtract, union)

TAU = 2 * math.pi
OUTLINE = (22, 28, 44)

BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def rot(pts, ox, oy, a):
    ca, sa = math.cos(a), math.sin(a)
    return [(ox + (x - ox) * ca - (y - oy) * sa, oy + (x - ox) * sa + (y - oy) * ca) for x, y in pts]


def grow(pts, d):
    """Pushes a polygon's points d pixels away from its centroid (for outlines)."""
    cx = sum(p[0] for p in pts) / len(pts)
    cy = sum(p[1] for p in pts) / len(pts)
    out = []
    for x, y in pts:
        dx, dy = x - cx, y - cy
        ln = math.hypot(dx, dy) or 1
        out.append((x + dx / ln * d, y + dy / ln * d))
    return out


def eye(c, x, y, r, iris=(20, 20, 30)):
    c.fill(circle(x, y, r + 0.8), OUTLINE)
    c.fill(circle(x, y, r), (245, 245, 240))
    c.fill(circle(x + r * 0.15, y, r * 0.62), iris)
    c.fill(circle(x - r * 0.2, y - r * 0.3, max(0.6, r * 0.28)), (255, 255, 255))


# ---------------------------------------------------------------- fish


def fish(w, h, phase, body, belly, fin, stripes=(), stripe_col=(250, 250, 250), tall=False,
         face_left=False, eye_scale=1.0, spots=None, tail_col=None):
    """A fish facing right with a wagging tail; mirrored when face_left."""
    c = Canvas(w, h)
    cy = h / 2
    tail_len = w * 0.24
    bx0 = tail_len * 0.8  # tail base
    bx1 = w - 2
    blen = bx1 - bx0
    cx = bx0 + blen * 0.55
    rx = blen * 0.5
    ry = h * (0.40 if tall else 0.30)
    wag = math.sin(phase) * 0.38
    flap = math.sin(phase * 2) * 0.5
    tail_col = tail_col or fin

    # Tail: a forked fin rotating about the tail base.
    px, py = bx0 + blen * 0.06, cy
    tail = [(px, py - 2), (px - tail_len, py - ry * 1.15), (px - tail_len * 0.62, py),
            (px - tail_len, py + ry * 1.15), (px, py + 2)]
    tail = rot(tail, px + 4, py, wag)
    c.fill(polygon(grow(tail, 1.2)), OUTLINE)
    c.fill(polygon(tail), lambda x, y: mix(tail_col, shade(tail_col, 0.7), abs(y - cy) / (ry * 1.2)))

    # Dorsal and anal fins.
    top = cy - ry
    dorsal = [(cx - rx * 0.55, top + 3), (cx - rx * 0.15, top - ry * (0.9 if tall else 0.45)),
              (cx + rx * 0.25, top - ry * (0.5 if tall else 0.25)), (cx + rx * 0.35, top + 3)]
    dorsal = rot(dorsal, cx, top, wag * 0.15)
    c.fill(polygon(grow(dorsal, 1.0)), OUTLINE)
    c.fill(polygon(dorsal), fin)
    bot = cy + ry
    anal = [(cx - rx * 0.45, bot - 3), (cx - rx * 0.25, bot + ry * (0.8 if tall else 0.3)),
            (cx + rx * 0.05, bot - 2)]
    c.fill(polygon(grow(anal, 1.0)), OUTLINE)
    c.fill(polygon(anal), fin)

    # Body with counter-shading, stripes and a soft highlight.
    body_shape = union(ellipse(cx, cy, rx, ry), capsule(bx0 + blen * 0.08, cy, cx, cy, ry * 0.28, ry * 0.8))
    c.fill(union(ellipse(cx, cy, rx + 1.1, ry + 1.1),
                 capsule(bx0 + blen * 0.08, cy, cx, cy, ry * 0.28 + 1.1, ry * 0.8 + 1.1)), OUTLINE)

    def body_col(x, y):
        t = (y - (cy - ry)) / (2 * ry)
        col = mix(shade(body, 0.72), body, smoothstep(0.0, 0.45, t))
        col = mix(col, belly, smoothstep(0.55, 1.0, t))
        for sx, sw in stripes:
            d = abs(x - (bx0 + blen * sx))
            if d < sw:
                col = stripe_col
            elif d < sw + 1.3:
                col = OUTLINE
        if spots:
            for (sx, sy, sr) in spots:
                if (x - sx) ** 2 + (y - sy) ** 2 < sr * sr:
                    col = shade(col, 0.6)
        hl = math.hypot((x - (cx + rx * 0.25)) / rx, (y - (cy - ry * 0.45)) / ry)
        if hl < 0.35:
            col = mix(col, (255, 255, 255), 0.35 * (1 - hl / 0.35))
        return col

    c.fill(body_shape, body_col)

    # Gill line, pectoral fin, eye, mouth.
    gx = cx + rx * 0.45
    c.fill(intersect(subtract(ellipse(gx + 6, cy, 8, ry * 0.75), ellipse(gx + 7, cy, 7, ry * 0.72)),
                     body_shape), shade(body, 0.5))
    pfx, pfy = cx + rx * 0.25, cy + ry * 0.25
    pec = [(pfx, pfy - 1.5), (pfx - rx * 0.32, pfy + flap * 3), (pfx - rx * 0.22, pfy + 3 + flap * 2), (pfx, pfy + 1.5)]
    c.fill(polygon(pec), mix(fin, (255, 255, 255), 0.3), alpha=0.55)
    er = max(1.6, h * 0.075 * eye_scale)
    eye(c, cx + rx * 0.62, cy - ry * 0.22, er)
    c.fill(capsule(bx1 - 1.5, cy + ry * 0.2, bx1 - 4, cy + ry * 0.28, 0.6), shade(body, 0.4))
    return c.mirrored() if face_left else c


# ---------------------------------------------------------------- jellyfish


def jellyfish(w, h, phase, bell_col, rim_col, arm_col, glow=None, seed=3):
    c = Canvas(w, h)
    s = max(0.0, math.sin(phase))
    cx = w / 2
    bell_top = 3 + s * 2
    rx = w * 0.36 - s * w * 0.07
    ry = h * 0.22 + s * h * 0.03
    cy = bell_top + ry
    if glow:
        c.glow(cx, cy, w * 0.5, glow, density=0.45 + 0.15 * math.sin(phase), seed=seed)
    # Tentacles: thin wavy lines whose wave runs downwards.
    n_t = 7
    for i in range(n_t):
        bxp = cx - rx * 0.85 + i * (2 * rx * 0.85) / (n_t - 1)
        pts = []
        length = h - cy - 3
        for k in range(13):
            t = k / 12
            y = cy + 1 + t * length * (0.85 + 0.15 * ((i * 37) % 5) / 4)
            x = bxp + math.sin(phase * 1.0 - t * 5 + i) * (1 + t * 3.5) - (bxp - cx) * t * 0.2
            pts.append((x, y))
        c.fill(polyline(pts, 0.75, 0.5), rim_col)
    # Oral arms: frilly, thicker, shorter.
    for i, off in enumerate((-0.25, 0.08, 0.3)):
        pts = []
        for k in range(11):
            t = k / 10
            y = cy + t * (h - cy) * 0.62
            x = cx + rx * off + math.sin(phase * 1.0 - t * 4 + i * 2) * (1.2 + t * 2.2)
            pts.append((x, y))
        c.fill(polyline(pts, 2.1, 1.0), arm_col)
        c.fill(polyline(pts, 1.1, 0.5), mix(arm_col, (255, 255, 255), 0.3))
    # Bell: upper half of an ellipse with a scalloped rim.
    bell = union(intersect(ellipse(cx, cy, rx, ry), rect(0, 0, w, cy + 0.5)),
                 *[circle(cx - rx + (k + 0.5) * (2 * rx / 8), cy, rx / 8 + 0.4) for k in range(8)])
    c.fill(union(intersect(ellipse(cx, cy, rx + 1, ry + 1), rect(0, 0, w, cy + 1)),
                 *[circle(cx - rx + (k + 0.5) * (2 * rx / 8), cy, rx / 8 + 1.2) for k in range(8)]),
           shade(rim_col, 0.75))

    def bell_colour(x, y):
        t = (y - bell_top) / (cy - bell_top + 1)
        col = mix(mix(bell_col, (255, 255, 255), 0.55), bell_col, smoothstep(0.0, 0.9, t))
        d = math.hypot((x - (cx - rx * 0.35)) / rx, (y - (bell_top + ry * 0.35)) / ry)
        if d < 0.3:
            col = mix(col, (255, 255, 255), 0.6 * (1 - d / 0.3))
        return col

    c.fill(bell, bell_colour)
    for k in range(4):  # inner gonad loops
        gx = cx - rx * 0.45 + k * rx * 0.3
        c.fill(subtract(ellipse(gx, cy - ry * 0.3, rx * 0.13, ry * 0.22), ellipse(gx, cy - ry * 0.3, rx * 0.07, ry * 0.13)),
               mix(rim_col, bell_col, 0.3))
    c.fill(intersect(ellipse(cx, cy, rx, 2.2), rect(0, cy - 2.5, w, cy + 2.5)), rim_col)
    return c


# ---------------------------------------------------------------- bubbles


def bubble_at(c, x, y, r, phase=0.0):
    """A bubble: a bright rim, a sparse film inside and a highlight."""
    wob = 1 + 0.08 * math.sin(phase)
    rx, ry = r * wob, r / wob
    ring = subtract(ellipse(x, y, rx + 0.6, ry + 0.6), ellipse(x, y, rx - 0.9, ry - 0.9))
    c.fill(ring, lambda px, py: mix((230, 248, 255), (110, 175, 220), (py - (y - ry)) / (2 * ry)))
    if r >= 3:
        c.fill(circle(x - rx * 0.38, y - ry * 0.38, max(0.9, r * 0.25)), (255, 255, 255))


def bubble_column(w, h, phase, seed=5):
    c = Canvas(w, h)
    rnd = random.Random(seed)
    items = []
    y = h - 4
    while y > 4:
        r = rnd.uniform(2.5, 6.0) * (0.6 + 0.4 * y / h)
        items.append((w / 2 + rnd.uniform(-w * 0.22, w * 0.22), y, r, rnd.uniform(0, TAU)))
        y -= r * 2 + rnd.uniform(2, 8)
    for (x, y, r, p) in items:
        bubble_at(c, x + math.sin(phase + p) * 1.6, y, r, phase * 2 + p)
    return c


# ---------------------------------------------------------------- crab


def crab(w, h, i, n, walk_px):
    """Front view of a crab walking sideways to the left: it slides walk_px pixels across
    the frame during the cycle, and the movement adds the same jump at the cycle's end."""
    c = Canvas(w, h)
    phase = TAU * i / n
    ox = walk_px * (1 - i / n)
    cw = w - walk_px
    cx = ox + cw / 2
    cy = h * 0.52 + abs(math.sin(phase)) * 0.8
    shell = (214, 78, 48)
    dark = shade(shell, 0.6)
    # Legs: three each side, alternating.
    for side in (-1, 1):
        for k in range(3):
            lp = phase + k * 2.1 + (0 if side < 0 else math.pi)
            lift = max(0.0, math.sin(lp)) * 3
            sweep = math.cos(lp) * 2.5
            hx = cx + side * cw * 0.22
            hy = cy + 2 + k * 2.2
            kx = cx + side * (cw * 0.36 + k * 1.5) + sweep
            ky = cy - 3 + k * 2 - lift
            fx = cx + side * (cw * 0.46 + k * 1.2) + sweep * 1.3
            fy = h - 2 - lift
            c.fill(polyline([(hx, hy), (kx, ky), (fx, fy)], 2.2, 1.4), OUTLINE)
            c.fill(polyline([(hx, hy), (kx, ky), (fx, fy)], 1.4, 0.7), dark)
    # Claws.
    for side in (-1, 1):
        cp = math.sin(phase * 2 + (0 if side < 0 else 1.5))
        ax, ay = cx + side * cw * 0.26, cy - 2
        ex, ey = cx + side * cw * 0.37, cy - h * 0.28
        c.fill(polyline([(ax, ay), (ex, ey)], 2.6, 2.2), OUTLINE)
        c.fill(polyline([(ax, ay), (ex, ey)], 1.8, 1.5), shell)
        c.fill(ellipse(ex, ey - 3, 4.6, 3.8, side * 0.5), OUTLINE)
        c.fill(ellipse(ex, ey - 3, 3.8, 3.0, side * 0.5), lambda x, y: mix((250, 130, 90), shell, (y - ey + 6) / 7))
        gap = 0.35 + 0.25 * cp
        tip = [(ex, ey - 4), (ex + side * 2, ey - 10), (ex + side * 4.5, ey - 8)]
        c.fill(polygon(rot(tip, ex, ey - 4, -side * gap)), shell)
    # Eyes on stalks.
    for side in (-1, 1):
        sx = cx + side * 4
        c.fill(capsule(sx, cy - 5, sx + side * 1.5, cy - 11, 1.1), dark)
        c.fill(circle(sx + side * 1.5, cy - 12, 2.0), OUTLINE)
        c.fill(circle(sx + side * 1.2, cy - 12.5, 0.7), (255, 255, 255))
    # Shell.
    c.fill(ellipse(cx, cy, cw * 0.27 + 1, h * 0.2 + 1), OUTLINE)
    c.fill(ellipse(cx, cy, cw * 0.27, h * 0.2),
           lambda x, y: mix(mix((255, 150, 100), shell, (y - cy + h * 0.2) / (h * 0.3)), dark,
                            smoothstep(0.5, 1.0, (y - cy) / (h * 0.2))))
    for sx, sy in ((-5, -2), (3, -3), (7, 1), (-1, 2)):
        c.fill(circle(cx + sx, cy + sy, 1.0), (255, 190, 150))
    c.fill(capsule(cx - 3, cy + 4, cx + 3, cy + 4, 0.6), OUTLINE)
    return c


# ---------------------------------------------------------------- plants and corals


def seaweed(w, h, phase, strands=3, colours=((60, 160, 70), (40, 130, 60), (90, 180, 80)), leafy=True, seed=7):
    c = Canvas(w, h)
    rnd = random.Random(seed)
    for sidx in range(strands):
        base = w * (0.25 + 0.5 * sidx / max(1, strands - 1)) + rnd.uniform(-3, 3)
        top = h * rnd.uniform(0.05, 0.3)
        col = colours[sidx % len(colours)]
        amp = w * 0.24
        pts = []
        for k in range(17):
            t = k / 16
            y = h - 1 - t * (h - 1 - top)
            x = base + amp * t ** 1.5 * math.sin(phase + t * 2.2 + sidx * 1.3)
            pts.append((x, y))
        c.fill(polyline(pts, 3.6, 1.8), shade(col, 0.55))
        c.fill(polyline(pts, 2.6, 1.0), lambda x, y, col=col: mix(shade(col, 0.8), mix(col, (220, 255, 170), 0.3), 1 - y / h))
        if leafy:
            for k in range(3, 16, 2):
                x, y = pts[k]
                side = 1 if k % 4 == 1 else -1
                a = side * (0.9 + 0.2 * math.sin(phase + k))
                lx, ly = x + side * 5, y - 3
                c.fill(ellipse(lx, ly, 5.5, 2.0, a), shade(col, 0.6))
                c.fill(ellipse(lx, ly, 4.5, 1.2, a), mix(col, (200, 255, 150), 0.25))
    return c


def kelp(w, h, phase, seed=11):
    """Giant kelp: tall stipes with floating golden blades that sway with the swell."""
    c = Canvas(w, h)
    rnd = random.Random(seed)
    stipe = (110, 92, 36)
    blade = (160, 135, 50)
    for sidx, (base, top) in enumerate(((w * 0.36, 4), (w * 0.56, h * 0.16), (w * 0.7, h * 0.42))):
        pts = []
        for k in range(21):
            t = k / 20
            y = h - 1 - t * (h - 1 - top)
            x = base + w * 0.12 * t ** 1.3 * math.sin(phase + t * 2.5 + sidx * 2.0)
            pts.append((x, y))
        c.fill(polyline(pts, 2.0, 1.2), shade(stipe, 0.7))
        k = 1.5
        side = 1 if sidx else -1
        while k < 20:
            i = int(k)
            x, y = pts[i]
            ln = rnd.uniform(17, 27) * (0.7 + 0.3 * k / 20)
            a = -math.pi / 2 + side * rnd.uniform(0.5, 0.85) + 0.25 * math.sin(phase + k * 0.35 + sidx)
            mx, my = x + math.cos(a) * ln / 2, y + math.sin(a) * ln / 2
            c.fill(ellipse(mx, my, ln / 2 + 0.9, 3.6, a), shade(blade, 0.5))
            c.fill(ellipse(mx, my, ln / 2, 2.8, a),
                   lambda px, py, mx=mx, my=my, ln=ln: mix(mix(blade, (225, 200, 100), 0.55), shade(blade, 0.8),
                                                           math.hypot(px - mx, py - my) / (ln / 2)))
            c.fill(circle(x + math.cos(a) * 1.5, y + math.sin(a) * 1.5, 1.9), (200, 170, 70))
            side = -side
            k += rnd.uniform(1.0, 1.6)
    return c


def branch_coral(w, h, col, tip, seed=13):
    c = Canvas(w, h)
    rnd = random.Random(seed)
    segs = []

    def grow_branch(x, y, a, ln, r, depth):
        ex, ey = x + math.cos(a) * ln, y + math.sin(a) * ln
        segs.append((x, y, ex, ey, r, max(1.2, r * 0.75), depth))
        if depth < 4:
            for da in (-rnd.uniform(0.3, 0.6), rnd.uniform(0.3, 0.6)):
                grow_branch(ex, ey, a + da, ln * rnd.uniform(0.62, 0.8), max(1.3, r * 0.72), depth + 1)

    for bx, a in ((w * 0.5, -math.pi / 2), (w * 0.35, -math.pi / 2 - 0.5), (w * 0.65, -math.pi / 2 + 0.5)):
        grow_branch(bx, h - 1, a, h * 0.3, 4.2, 0)
    for x0, y0, x1, y1, r0, r1, d in segs:
        c.fill(capsule(x0, y0, x1, y1, r0 + 1, r1 + 1), shade(col, 0.5))
    for x0, y0, x1, y1, r0, r1, d in segs:
        c.fill(capsule(x0, y0, x1, y1, r0, r1), lambda x, y, d=d: mix(col, tip, d / 5 + (1 - y / h) * 0.2))
        if d == 4:
            c.fill(circle(x1, y1, r1 + 0.6), tip)
    return c


def fan_coral(w, h, col, seed=17):
    c = Canvas(w, h)
    rnd = random.Random(seed)
    bx, by = w / 2, h - 1
    tips = []
    for k in range(15):
        a = -math.pi / 2 + (k - 7) * 0.1
        tips.append((bx + math.cos(a) * h * 0.95 * rnd.uniform(0.85, 1.0), by + math.sin(a) * h * 0.95 * rnd.uniform(0.85, 1.0)))
    for tx, ty in tips:
        mxp = (bx + tx) / 2 + rnd.uniform(-4, 4)
        myp = (by + ty) / 2
        c.fill(polyline([(bx, by), (mxp, myp), (tx, ty)], 2.0, 0.9), shade(col, 0.7))
    for ring in range(4, 21):
        t = ring / 21
        pts = [(bx + (tx - bx) * t, by + (ty - by) * t) for tx, ty in tips]
        c.fill(polyline(pts, 0.55), mix(col, (255, 200, 255), 0.15 + 0.3 * t))
    return c


def brain_coral(w, h, col):
    c = Canvas(w, h)
    cx, cy = w / 2, h - 1
    c.fill(intersect(ellipse(cx, cy, w / 2 - 1, h - 2), rect(0, 0, w, h)), shade(col, 0.55))

    def colour(x, y):
        v = math.sin(x * 0.55 + math.sin(y * 0.35) * 2.0) * math.cos(y * 0.6 + math.sin(x * 0.2) * 1.5)
        base = mix(mix(col, (255, 240, 200), 0.3), shade(col, 0.75), (y - (cy - h)) / h)
        return shade(base, 0.7) if abs(v) < 0.18 else base

    c.fill(intersect(ellipse(cx, cy, w / 2 - 2, h - 3), rect(0, 0, w, h)), colour)
    return c


def anemone(w, h, phase, col=(170, 80, 200), tip=(255, 190, 240)):
    c = Canvas(w, h)
    cx = w / 2
    base_y = h - 10
    n = 13
    for k in range(n):
        a = math.pi + (k + 0.5) * math.pi / n
        ln = h * 0.55 * (0.8 + 0.2 * math.sin(k * 1.7))
        pts = []
        for j in range(9):
            t = j / 8
            x = cx + math.cos(a) * ln * t * 1.1 + math.sin(phase + k * 0.6 + t * 2) * 3 * t
            y = base_y + math.sin(a) * ln * t
            pts.append((x, y))
        c.fill(polyline(pts, 2.4, 1.6), shade(col, 0.6))
        c.fill(polyline(pts, 1.7, 1.0), lambda x, y: mix(col, tip, 1 - (y - (base_y - ln)) / ln))
        c.fill(circle(pts[-1][0], pts[-1][1], 1.6), tip)
    c.fill(ellipse(cx, base_y + 5, w * 0.3, 7), (120, 60, 90))
    c.fill(ellipse(cx, base_y + 4, w * 0.28, 5.5), lambda x, y: mix((200, 110, 120), (130, 60, 90), (y - base_y) / 8))
    return c


def rock(w, h, seed=19):
    c = Canvas(w, h)
    rnd = random.Random(seed)
    blobs = [(w * 0.5, h * 0.75, w * 0.45, h * 0.55), (w * 0.3, h * 0.8, w * 0.28, h * 0.45),
             (w * 0.72, h * 0.85, w * 0.26, h * 0.35)]
    for bx, by, rx, ry in blobs:
        c.fill(intersect(ellipse(bx, by, rx + 1, ry + 1), rect(0, 0, w, h)), (40, 42, 50))

    def colour(x, y):
        n = (math.sin(x * 0.9 + y * 0.4) + math.sin(x * 0.3 - y * 1.1) + math.sin((x + y) * 0.17)) / 3
        base = mix((150, 140, 120), (70, 70, 80), y / h)
        return shade(base, 0.85 + 0.15 * n)

    for bx, by, rx, ry in blobs:
        c.fill(intersect(ellipse(bx, by, rx, ry), rect(0, 0, w, h)), colour)
    for _ in range(18):  # algae specks
        x, y = rnd.uniform(4, w - 4), rnd.uniform(h * 0.3, h - 2)
        if c.px[int(y) * w + int(x)] is not None:
            c.fill(circle(x, y, rnd.uniform(0.8, 1.8)), (70, 120, 60))
    return c


def starfish(w, h, col=(235, 110, 60)):
    c = Canvas(w, h)
    cx, cy = w / 2, h / 2 + 1
    pts = []
    for k in range(10):
        a = -math.pi / 2 + k * math.pi / 5
        r = (w / 2 - 2) if k % 2 == 0 else w * 0.2
        pts.append((cx + math.cos(a) * r, cy + math.sin(a) * r))
    c.fill(polygon(grow(pts, 1.2)), shade(col, 0.45))
    c.fill(polygon(pts), lambda x, y: mix(mix(col, (255, 200, 140), 0.4), col, math.hypot(x - cx, y - cy) / (w / 2)))
    for k in range(5):
        a = -math.pi / 2 + k * 2 * math.pi / 5
        for j in (0.3, 0.5, 0.7):
            r = (w / 2 - 2) * j
            c.fill(circle(cx + math.cos(a) * r, cy + math.sin(a) * r, 1.0), (255, 220, 180))
    return c


# ---------------------------------------------------------------- treasure


def chest(w, h, opening, sparkle, seed=23):
    """A treasure chest seen from the front; opening runs from 0 (shut) to 1 (lid thrown back)."""
    c = Canvas(w, h)
    wood, dark, band = (140, 85, 40), (80, 45, 20), (210, 170, 60)
    x0, x1 = 8, w - 8
    xm = (x0 + x1) / 2
    top = h * 0.55
    bottom = h - 3
    lid_h = 14.0
    # Past half way the lid stands behind the box and we see its inside face.
    if opening >= 0.5:
        k = (opening - 0.5) / 0.5
        back_h = lid_h + 8 * k
        pts = [(x0 + 2, top - 2), (x1 - 2, top - 2), (x1 - 4 + 2 * k, top - 2 - back_h), (x0 + 4 - 2 * k, top - 2 - back_h)]
        c.fill(polygon(grow(pts, 1.2)), OUTLINE)
        c.fill(polygon(pts), lambda x, y: mix((95, 55, 25), (60, 32, 15), (top - y) / back_h))
    # Gold inside, seen as the lid lifts.
    if opening > 0:
        gold_h = 4 + opening * 8
        c.fill(intersect(ellipse(xm, top + 1, (x1 - x0) / 2 - 2, gold_h), rect(0, 0, w, top + 1)),
               lambda x, y: mix((255, 240, 130), (205, 150, 30), (y - (top - gold_h)) / (gold_h + 1)))
        rnd = random.Random(seed)
        for _ in range(int(12 * opening)):
            gx, gy = rnd.uniform(x0 + 8, x1 - 8), rnd.uniform(top - gold_h * 0.8, top - 1)
            c.fill(circle(gx, gy, 1.5), (255, 252, 200))
    # Box.
    c.fill(rect(x0 - 1, top - 1, x1 + 1, bottom + 1), OUTLINE)
    c.fill(rect(x0, top, x1, bottom),
           lambda x, y: shade(wood, 0.82 + 0.18 * math.sin(x * 0.35 + y * 0.05)) if int(y - top) % 7 else dark)
    for bx in (x0 + 6, xm - 2, x1 - 10):
        c.fill(rect(bx, top, bx + 4, bottom), lambda x, y: mix(band, (255, 230, 140), 0.5 - (x % 4) / 8))
    c.fill(rect(xm - 5, top + 2, xm + 5, top + 12), (230, 200, 80))
    c.fill(circle(xm, top + 6, 1.6), OUTLINE)
    # Lid while it is still in front: a rounded top that rises and foreshortens.
    if opening < 0.5:
        k = opening / 0.5
        lh = lid_h * (1 - 0.7 * k)
        ly1 = top - k * 6
        ly0 = ly1 - lh
        lid = union(rect(x0, ly0 + lh * 0.45, x1, ly1),
                    intersect(ellipse(xm, ly0 + lh * 0.55, (x1 - x0) / 2, lh * 0.6), rect(0, 0, w, ly1)))
        lid_out = union(rect(x0 - 1, ly0 + lh * 0.45 - 1, x1 + 1, ly1 + 1),
                        intersect(ellipse(xm, ly0 + lh * 0.55, (x1 - x0) / 2 + 1, lh * 0.6 + 1), rect(0, 0, w, ly1 + 1)))
        c.fill(lid_out, OUTLINE)
        c.fill(lid, lambda x, y: mix(mix(wood, (190, 120, 60), 0.4), dark, (y - ly0) / (lh + 1)))
        for bx in (x0 + 6, xm - 2, x1 - 10):
            c.fill(intersect(lid, rect(bx, 0, bx + 4, h)), band)
    # Sparkles once open.
    if sparkle > 0:
        rnd = random.Random(seed + int(sparkle * 10))
        for _ in range(6):
            sx, sy = rnd.uniform(x0 + 4, x1 - 4), rnd.uniform(3, top - 6)
            r = rnd.uniform(2.5, 5) * sparkle
            c.fill(polygon([(sx - r, sy), (sx, sy - 0.7), (sx + r, sy), (sx, sy + 0.7)]), (255, 255, 220))
            c.fill(polygon([(sx, sy - r), (sx + 0.7, sy), (sx, sy + r), (sx - 0.7, sy)]), (255, 255, 220))
            c.fill(circle(sx, sy, 0.9), (255, 255, 255))
    return c


def coin(w, h, phase):
    c = Canvas(w, h)
    cx, cy = w / 2, h / 2
    sx = abs(math.cos(phase))
    rx = max(1.2, (w / 2 - 1) * sx)
    c.fill(ellipse(cx, cy, rx + 0.8, h / 2 - 0.2), (120, 80, 10))
    c.fill(ellipse(cx, cy, rx, h / 2 - 1), lambda x, y: mix((255, 240, 150), (220, 160, 30), (y - cy + 4) / 8))
    if rx > 3:
        c.fill(ellipse(cx, cy, rx * 0.55, h / 2 - 3.2), (240, 190, 60))
    if math.cos(phase) > 0.8:
        c.fill(circle(cx - 2, cy - 2, 1.1), (255, 255, 240))
    return c


# ---------------------------------------------------------------- diver, turtle, whale


def diver(w, h, phase):
    """A scuba diver swimming to the left."""
    c = Canvas(w, h)
    suit, trim, skin = (34, 38, 52), (40, 110, 190), (220, 170, 130)
    kick = math.sin(phase)
    hip = (w * 0.62, h * 0.5)
    # Far leg behind.
    for sgn, col in ((-1, shade(suit, 0.75)), (1, suit)):
        a = 0.28 * kick * sgn
        knee = (hip[0] + 17 * math.cos(a), hip[1] + 17 * math.sin(a) + 2)
        a2 = a * 1.6
        ankle = (knee[0] + 15 * math.cos(a2), knee[1] + 15 * math.sin(a2))
        c.fill(polyline([hip, knee, ankle], 4.6, 3.4), OUTLINE)
        c.fill(polyline([hip, knee, ankle], 3.8, 2.6), col)
        a3 = a2 * 1.4
        fin = [(ankle[0] - 1, ankle[1] - 3), (ankle[0] + 20 * math.cos(a3) + 2 * math.sin(a3), ankle[1] + 20 * math.sin(a3) - 5),
               (ankle[0] + 21 * math.cos(a3), ankle[1] + 21 * math.sin(a3) + 3), (ankle[0] - 1, ankle[1] + 3)]
        c.fill(polygon(grow(fin, 1.0)), OUTLINE)
        c.fill(polygon(fin), (250, 205, 40) if sgn > 0 else (200, 160, 30))
    # Tank.
    c.fill(capsule(w * 0.28, h * 0.3, w * 0.58, h * 0.3, 6.2), OUTLINE)
    c.fill(capsule(w * 0.28, h * 0.3, w * 0.58, h * 0.3, 5.2), lambda x, y: mix((255, 220, 60), (200, 140, 20), (y - h * 0.3 + 5) / 10))
    c.fill(capsule(w * 0.24, h * 0.3, w * 0.27, h * 0.3, 2.0), (150, 150, 160))
    # Torso.
    c.fill(capsule(w * 0.2, h * 0.5, hip[0], hip[1], 8.2, 6.6), OUTLINE)
    c.fill(capsule(w * 0.2, h * 0.5, hip[0], hip[1], 7.4, 5.8), lambda x, y: mix(shade(suit, 1.4), suit, (y - h * 0.4) / 12))
    c.fill(capsule(w * 0.22, h * 0.5 - 2, hip[0] - 4, hip[1] - 3, 1.2), trim)
    # Arm stretched forward.
    arm = [(w * 0.24, h * 0.55), (w * 0.14, h * 0.68 + kick), (w * 0.05, h * 0.62 + kick)]
    c.fill(polyline(arm, 3.4, 2.8), OUTLINE)
    c.fill(polyline(arm, 2.6, 2.0), shade(suit, 1.3))
    c.fill(circle(arm[-1][0], arm[-1][1], 2.4), (60, 60, 70))
    # Head with hood, mask and regulator.
    hx, hy = w * 0.12, h * 0.43
    c.fill(circle(hx, hy, 7.6), OUTLINE)
    c.fill(circle(hx, hy, 6.8), suit)
    c.fill(ellipse(hx - 3.5, hy - 0.5, 3.2, 3.6), skin)
    c.fill(ellipse(hx - 4.5, hy - 1.5, 3.6, 3.2), OUTLINE)
    c.fill(ellipse(hx - 4.8, hy - 1.6, 2.7, 2.3), lambda x, y: mix((200, 240, 255), (90, 170, 220), (y - hy + 4) / 5))
    c.fill(circle(hx - 4.5, hy + 4, 1.8), (90, 90, 100))
    c.fill(polyline([(hx - 4, hy + 5), (hx + 2, hy + 9), (w * 0.26, h * 0.36)], 0.9), (60, 60, 70))
    return c


def turtle(w, h, phase):
    """A sea turtle swimming to the right."""
    c = Canvas(w, h)
    shell, skin, dark = (110, 125, 60), (150, 160, 100), (60, 70, 35)
    cx, cy = w * 0.47, h * 0.42
    sh = 21.6  # shell half-height
    stroke = math.sin(phase)

    def flipper(px, py, ln, wd, a, col):
        ex, ey = px + math.cos(a) * ln * 0.5, py + math.sin(a) * ln * 0.5
        c.fill(ellipse(ex, ey, ln / 2 + 1, wd / 2 + 1, a), OUTLINE)
        c.fill(ellipse(ex, ey, ln / 2, wd / 2, a), lambda x, y: mix(col, shade(col, 0.7), (y - ey + wd) / (2 * wd)))

    # Far flippers.
    flipper(cx + w * 0.18, cy - 2, w * 0.3, 9, -0.2 + 0.8 * stroke + math.pi * 0.75, shade(skin, 0.7))
    flipper(cx - w * 0.28, cy - 2, w * 0.12, 6, math.pi + 0.5 + 0.3 * stroke, shade(skin, 0.7))
    # Head.
    c.fill(ellipse(w * 0.85, cy - 1, 11, 7.5, -0.1), OUTLINE)
    c.fill(ellipse(w * 0.85, cy - 1, 10, 6.5, -0.1), lambda x, y: mix(skin, dark, (y - cy + 6) / 16))
    for sx, sy in ((w * 0.83, cy - 4), (w * 0.87, cy + 1), (w * 0.8, cy + 1)):
        c.fill(circle(sx, sy, 1.2), dark)
    eye(c, w * 0.9, cy - 3, 1.6, (30, 20, 10))
    # Shell.
    c.fill(ellipse(cx, cy, w * 0.33 + 1.2, sh + 1.2), OUTLINE)

    scutes = [(cx + dx * w * 0.33, cy + dy * sh) for dx, dy in
              ((-0.6, 0), (-0.2, 0), (0.2, 0), (0.6, 0), (-0.75, -0.55), (-0.3, -0.62), (0.15, -0.62), (0.55, -0.5),
               (-0.75, 0.55), (-0.3, 0.62), (0.15, 0.62), (0.55, 0.5), (0.9, 0))]

    def shell_col(x, y):
        base = mix(mix(shell, (190, 170, 90), 0.45), shade(shell, 0.7), (y - cy + sh) / ((2 * sh)))
        d = sorted((x - sx) ** 2 + (y - sy) ** 2 for sx, sy in scutes)
        gap = math.sqrt(d[1]) - math.sqrt(d[0])
        if gap < 1.3:
            return shade(base, 0.55)
        return mix(base, (205, 185, 105), 0.35 * max(0.0, 1 - math.sqrt(d[0]) / 12))

    c.fill(ellipse(cx, cy, w * 0.33, sh), shell_col)
    c.fill(subtract(ellipse(cx, cy + 1, w * 0.33, sh), ellipse(cx, cy - 1, w * 0.33, sh)), (200, 190, 130))
    # Near flippers.
    flipper(cx + w * 0.16, cy + 3, w * 0.28, 10, 0.8 + 0.45 * stroke, skin)
    flipper(cx - w * 0.26, cy + 6, w * 0.13, 6, math.pi - 0.6 - 0.3 * stroke, skin)
    return c


def whale(w, h, phase, body=(58, 78, 108), belly=(160, 172, 186)):
    """A humpback whale swimming to the left."""
    c = Canvas(w, h)
    cy = h * 0.45
    beat = math.sin(phase)
    tail_y = cy + beat * 5
    head_x = 4
    body_shape = union(ellipse(w * 0.36, cy, w * 0.34, h * 0.27),
                       polyline([(w * 0.45, cy - 1), (w * 0.7, cy + beat * 1.5), (w * 0.88, tail_y)], h * 0.22, h * 0.06))
    fl = [(w * 0.87, tail_y), (w - 2, tail_y - 9 - beat * 4), (w * 0.95, tail_y), (w - 2, tail_y + 9 - beat * 4)]
    c.fill(polygon(grow(fl, 1.0)), OUTLINE)
    c.fill(polygon(fl), shade(body, 0.9))
    c.fill(union(ellipse(w * 0.36, cy, w * 0.34 + 1, h * 0.27 + 1),
                 polyline([(w * 0.45, cy - 1), (w * 0.7, cy + beat * 1.5), (w * 0.88, tail_y)], h * 0.22 + 1, h * 0.06 + 1)),
           OUTLINE)

    def col(x, y):
        t = (y - (cy - h * 0.27)) / (h * 0.54)
        base = mix(mix(body, (100, 125, 160), 0.4), body, smoothstep(0.0, 0.4, t))
        if t > 0.62 and x < w * 0.5:
            base = mix(base, belly, smoothstep(0.62, 0.8, t))
            if int(y) % 3 == 0:
                base = shade(base, 0.8)
        return base

    c.fill(body_shape, col)
    for bx, by in ((head_x + 14, cy - 6), (head_x + 22, cy - 8), (head_x + 10, cy - 2), (head_x + 30, cy - 9)):
        c.fill(circle(bx, by, 1.2), shade(body, 0.7))
    eye(c, w * 0.2, cy + 2, 1.5, (15, 15, 20))
    c.fill(capsule(head_x + 2, cy + 4, w * 0.2, cy + 6, 0.7), shade(body, 0.55))
    fa = 0.75 - beat * 0.08
    fx, fy = w * 0.27 + math.cos(fa) * h * 0.2, cy + h * 0.1 + math.sin(fa) * h * 0.2
    c.fill(ellipse(fx, fy, h * 0.22 + 1, 3.2, fa), OUTLINE)
    c.fill(ellipse(fx, fy, h * 0.22, 2.3, fa), lambda x, y: mix(belly, body, 0.45))
    return c


# ---------------------------------------------------------------- deep sea


def angler(w, h, phase):
    """An anglerfish swimming to the left with a glowing lure."""
    c = Canvas(w, h)
    body = (70, 48, 62)
    cx, cy = w * 0.58, h * 0.6
    pulse = 0.5 + 0.5 * math.sin(phase)
    lx, ly = w * 0.1 + math.sin(phase) * 1.5, h * 0.16
    c.glow(lx, ly, 12 + 3 * pulse, (120, 230, 255), density=0.55, seed=int(phase * 10) + 1)
    wag = math.sin(phase * 2) * 0.3
    tail = rot([(w - 16, cy), (w - 2, cy - 12), (w - 5, cy), (w - 2, cy + 12)], w - 16, cy, wag)
    c.fill(polygon(grow(tail, 1)), OUTLINE)
    c.fill(polygon(tail), shade(body, 1.2))
    c.fill(ellipse(cx, cy, w * 0.36 + 1, h * 0.34 + 1), OUTLINE)

    def col(x, y):
        n = math.sin(x * 0.7) * math.sin(y * 0.8)
        return shade(mix(mix(body, (120, 90, 110), 0.5), shade(body, 0.7), (y - cy + h * 0.34) / (h * 0.68)), 0.9 + 0.1 * n)

    c.fill(ellipse(cx, cy, w * 0.36, h * 0.34), col)
    # Mouth with needle teeth.
    mouth = intersect(ellipse(w * 0.3, cy + 6, 13, 8), rect(0, cy + 1, w * 0.45, h))
    c.fill(mouth, (40, 10, 20))
    for k in range(6):
        tx = w * 0.3 - 10 + k * 4
        c.fill(polygon([(tx, cy + 1), (tx + 1.6, cy + 1), (tx + 0.8, cy + 6 - (k % 2) * 2)]), (235, 235, 220))
        c.fill(polygon([(tx + 2, cy + 14), (tx + 3.4, cy + 14), (tx + 2.7, cy + 9 + (k % 2) * 2)]), (235, 235, 220))
    eye(c, w * 0.42, cy - 8, 2.2, (10, 30, 40))
    # Lure on its stalk.
    c.fill(polyline([(w * 0.4, cy - h * 0.3), (w * 0.25, h * 0.08), (lx + 1, ly + 2)], 1.2, 0.8), shade(body, 1.3))
    c.fill(circle(lx, ly, 3.2 + pulse), (170, 250, 255))
    c.fill(circle(lx - 0.8, ly - 0.8, 1.4), (255, 255, 255))
    fin = [(cx + 4, cy + 4), (cx + 14, cy + 10 + wag * 10), (cx + 8, cy + 14)]
    c.fill(polygon(fin), shade(body, 1.4))
    return c


def sparkle(w, h, phase, col=(150, 255, 220)):
    c = Canvas(w, h)
    cx, cy = w / 2, h / 2
    b = 0.5 + 0.5 * math.sin(phase)
    r = (w / 2 - 1) * (0.45 + 0.55 * b)
    c.glow(cx, cy, w / 2, mix(col, (0, 40, 60), 0.4), density=0.5 * b + 0.1, seed=int(phase * 7) + 3)
    c.fill(polygon([(cx - r, cy), (cx, cy - 0.8), (cx + r, cy), (cx, cy + 0.8)]), col)
    c.fill(polygon([(cx, cy - r), (cx + 0.8, cy), (cx, cy + r), (cx - 0.8, cy)]), col)
    c.fill(circle(cx, cy, 1.2 + b), mix(col, (255, 255, 255), 0.6))
    return c


def marine_snow(w, h, seed=29):
    c = Canvas(w, h)
    rnd = random.Random(seed)
    for _ in range(14):
        x, y = rnd.uniform(2, w - 2), rnd.uniform(2, h - 2)
        r = rnd.choice((0.6, 0.8, 1.0, 1.4))
        c.fill(circle(x, y, r + 0.3), mix((200, 210, 220), (90, 110, 130), rnd.random()))
    return c


def seahorse(w, h, phase, col=(240, 170, 60)):
    """A seahorse facing right."""
    c = Canvas(w, h)
    dark = shade(col, 0.55)
    bob = math.sin(phase) * 0.8
    spine = [(w * 0.42, h * 0.2 + bob), (w * 0.34, h * 0.35 + bob), (w * 0.36, h * 0.52 + bob), (w * 0.48, h * 0.66 + bob),
             (w * 0.5, h * 0.8), (w * 0.4, h * 0.9), (w * 0.3, h * 0.86), (w * 0.34, h * 0.79), (w * 0.4, h * 0.82)]
    radii = [5.2, 6.4, 7.0, 5.6, 3.6, 2.6, 2.0, 1.6, 1.2]
    for i in range(len(spine) - 1):
        c.fill(capsule(*spine[i], *spine[i + 1], radii[i] + 1, radii[i + 1] + 1), OUTLINE)
    # Dorsal fin flutter.
    fx, fy = w * 0.27, h * 0.48 + bob
    for k in range(5):
        a = math.pi + 0.3 * (k - 2) + math.sin(phase * 3 + k) * 0.2
        c.fill(capsule(fx + 2, fy, fx + math.cos(a) * 7, fy + math.sin(a) * 5, 0.8), mix(col, (255, 240, 200), 0.4))
    for i in range(len(spine) - 1):
        c.fill(capsule(*spine[i], *spine[i + 1], radii[i], radii[i + 1]),
               lambda x, y: mix(mix(col, (255, 220, 140), 0.3), col, (x - w * 0.3) / (w * 0.3)))
    for k in range(1, 7):  # body rings
        t = k / 7
        i = int(t * 4)
        x = spine[i][0] + (spine[i + 1][0] - spine[i][0]) * (t * 4 - i)
        y = spine[i][1] + (spine[i + 1][1] - spine[i][1]) * (t * 4 - i)
        c.fill(capsule(x - 4, y, x + 4, y + 1, 0.5), dark)
    # Head and snout.
    hx, hy = w * 0.5, h * 0.14 + bob
    c.fill(ellipse(hx, hy, 6.2, 5.0, 0.3), OUTLINE)
    c.fill(ellipse(hx, hy, 5.4, 4.2, 0.3), col)
    c.fill(capsule(hx + 3, hy + 1, w * 0.9, hy + 4, 2.4, 1.8), OUTLINE)
    c.fill(capsule(hx + 3, hy + 1, w * 0.9, hy + 4, 1.7, 1.1), col)
    c.fill(polygon([(hx - 4, hy - 3), (hx - 2, hy - 9), (hx + 1, hy - 4)]), dark)
    eye(c, hx + 1, hy - 0.5, 1.5)
    return c


def puffer(w, h, phase):
    c = Canvas(w, h)
    cx, cy = w * 0.52, h * 0.52
    body, belly = (225, 195, 90), (250, 240, 210)
    flap = math.sin(phase * 2)
    wag = math.sin(phase) * 0.4
    tail = rot([(cx - 14, cy), (cx - 24, cy - 7), (cx - 22, cy), (cx - 24, cy + 7)], cx - 15, cy, wag)
    c.fill(polygon(grow(tail, 1)), OUTLINE)
    c.fill(polygon(tail), (220, 170, 70))
    rx, ry = w * 0.33, h * 0.36
    for k in range(14):  # spines
        a = k * math.tau / 14
        c.fill(capsule(cx + math.cos(a) * rx * 0.9, cy + math.sin(a) * ry * 0.9,
                       cx + math.cos(a) * (rx + 3), cy + math.sin(a) * (ry + 3), 0.7), (150, 120, 60))
    c.fill(ellipse(cx, cy, rx + 1, ry + 1), OUTLINE)

    def col(x, y):
        t = (y - cy + ry) / (2 * ry)
        base = mix(body, belly, smoothstep(0.5, 0.85, t))
        if t < 0.6 and (math.sin(x * 1.1) * math.sin(y * 1.3)) > 0.75:
            base = (130, 100, 50)
        return base

    c.fill(ellipse(cx, cy, rx, ry), col)
    eye(c, cx + rx * 0.35, cy - ry * 0.3, 3.6, (20, 40, 20))
    eye(c, cx + rx * 0.78, cy - ry * 0.28, 3.0, (20, 40, 20))
    c.fill(ellipse(cx + rx * 0.95, cy + ry * 0.25, 2.0, 1.4), (160, 90, 60))
    fin = [(cx + 1, cy + 1), (cx - 5, cy - 2 + flap * 3), (cx - 5, cy + 4 + flap * 2)]
    c.fill(polygon(fin), (250, 220, 140), alpha=0.6)
    return c


# ---------------------------------------------------------------- light and water


def light_rays(w, h, phase, col=(205, 238, 255), seed=31):
    c = Canvas(w, h)
    rnd = random.Random(seed)
    beams = []
    skew = w * 0.3
    for k in range(4):
        x = w * (0.1 + 0.17 * k) + rnd.uniform(-4, 4)
        beams.append((x, rnd.uniform(5, 10), rnd.uniform(12, 20), rnd.uniform(0.25, 0.45), k))
    for x, w0, w1, strength, k in beams:
        flick = 0.75 + 0.25 * math.sin(phase + k * 1.9)
        pts = [(x - w0, 0), (x + w0, 0), (x + skew + w1, h), (x + skew - w1, h)]
        shape = polygon(pts)
        inside = shape[0]
        for py in range(h):
            fade = (1 - py / h) ** 1.2 * strength * flick
            for px in range(w):
                if not inside(px + 0.5, py + 0.5):
                    continue
                # Softer towards the beam's edges.
                cxp = x + skew * py / h
                half = w0 + (w1 - w0) * py / h
                edge = 1 - abs(px + 0.5 - cxp) / half
                # Fade out towards the sides of the picture so that no edge of it shows.
                side = smoothstep(0.0, 1.0, min(px + 0.5, w - px - 0.5) / (w * 0.18))
                level = fade * smoothstep(0.0, 0.5, edge) * side
                if BAYER4[py & 3][px & 3] + 1 <= level * 16:
                    c.px[py * w + px] = col
    return c


def water_tile(size, deep, light, caustic=True, seed=37):
    """A seamless square of water with a moving-light network."""
    c = Canvas(size, size)
    rnd = random.Random(seed)
    waves = [(rnd.choice((1, 2, 3)) * rnd.choice((-1, 1)), rnd.choice((1, 2, 3)), rnd.uniform(0, TAU)) for _ in range(5)]
    k = TAU / size
    for y in range(size):
        for x in range(size):
            wx = x + 6 * math.sin(k * (2 * y) + 1.3) + 4 * math.sin(k * (x + y) * 1 + 0.4)
            wy = y + 6 * math.sin(k * (2 * x) + 0.7) + 4 * math.sin(k * (x - y) + 2.1)
            v = 0.0
            for (a, b, p) in waves:
                v += math.sin(k * (a * wx + b * wy) * 1.0 + p)
            v /= len(waves)
            if caustic:
                net = (1 - abs(math.sin(k * 3 * wx + v * 2.2) * math.sin(k * 3 * wy - v * 2.0))) ** 6
                t = 0.25 + 0.25 * v + 0.55 * net
            else:
                t = 0.5 + 0.5 * v
            c.px[y * size + x] = mix(deep, light, t)
    return c


def mound(w, h, light, dark, pebbles=((150, 140, 120), (110, 100, 90)), seed=43):
    """A low mound of sand or silt with a few pebbles, for the sea floor."""
    c = Canvas(w, h)
    rnd = random.Random(seed)
    k1, k2 = rnd.uniform(0, TAU), rnd.uniform(0, TAU)

    def top(x):
        t = x / w
        return h - (h - 3) * math.sin(math.pi * t) ** 0.7 * (0.85 + 0.15 * math.sin(t * 9 + k1) * math.sin(t * 4 + k2))

    shape = (lambda x, y: y >= top(x), (0, 0, w, h))
    rip = rnd.uniform(0, TAU)

    def colour(x, y):
        d = (y - top(x)) / h
        base = mix(light, dark, min(1.0, d * 1.6))
        r = math.sin(x * 0.45 + y * 0.9 + rip + math.sin(x * 0.07) * 3)
        return shade(base, 0.92 + 0.08 * r)

    c.fill(shape, colour)
    for _ in range(int(w / 18)):
        x = rnd.uniform(8, w - 8)
        y = rnd.uniform(top(x) + 3, h - 1)
        r = rnd.uniform(1.2, 2.6)
        col = pebbles[rnd.randrange(len(pebbles))]
        c.fill(ellipse(x, y, r + 0.6, r * 0.7 + 0.6), shade(col, 0.6))
        c.fill(ellipse(x, y, r, r * 0.7), lambda px, py, col=col, y=y: mix(mix(col, (255, 255, 255), 0.3), col, (py - y + 2) / 4))
    return c
