"""Small drawing, GIF and WAV kit for building theme media (Python 3 standard library only).

Images are drawn on a Canvas of RGB pixels (None = transparent) with supersampled
shapes, reduced to one 256-colour table per file and written as GIF89a with the block
layout the engine reads: header, one global 256-entry colour table, an optional
looping application extension directly after that table, then per frame a graphic
control extension and an image descriptor without local colour table or interlacing.

Sounds are 8-bit unsigned mono PCM at 22 050 Hz with the plain 44-byte header.
"""

import math
import random
import struct

RATE = 22050

# ---------------------------------------------------------------- colours


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return (c1[0] + (c2[0] - c1[0]) * t, c1[1] + (c2[1] - c1[1]) * t, c1[2] + (c2[2] - c1[2]) * t)


def shade(c, f):
    return (c[0] * f, c[1] * f, c[2] * f)


def clamp8(v):
    v = int(round(v))
    return 0 if v < 0 else 255 if v > 255 else v


def smoothstep(e0, e1, x):
    t = (x - e0) / (e1 - e0)
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return t * t * (3 - 2 * t)


# ---------------------------------------------------------------- shapes
# A shape is (inside(x, y) -> bool, (x0, y0, x1, y1) bounding box).


def ellipse(cx, cy, rx, ry, angle=0.0):
    ca, sa = math.cos(angle), math.sin(angle)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u = dx * ca + dy * sa
        v = -dx * sa + dy * ca
        return (u * u) / (rx * rx) + (v * v) / (ry * ry) <= 1.0

    r = max(rx, ry)
    return inside, (cx - r, cy - r, cx + r, cy + r)


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def rect(x0, y0, x1, y1):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1), (x0, y0, x1, y1)


def polygon(pts):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    n = len(pts)

    def inside(x, y):
        c = False
        j = n - 1
        for i in range(n):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                c = not c
            j = i
        return c

    return inside, (min(xs), min(ys), max(xs), max(ys))


def capsule(x0, y0, x1, y1, r0, r1=None):
    if r1 is None:
        r1 = r0
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / ll
        t = 0.0 if t < 0 else 1.0 if t > 1 else t
        px, py = x0 + dx * t, y0 + dy * t
        r = r0 + (r1 - r0) * t
        return (x - px) ** 2 + (y - py) ** 2 <= r * r

    r = max(r0, r1)
    return inside, (min(x0, x1) - r, min(y0, y1) - r, max(x0, x1) + r, max(y0, y1) + r)


def union(*shapes):
    fs = [s[0] for s in shapes]
    bx = (min(s[1][0] for s in shapes), min(s[1][1] for s in shapes),
          max(s[1][2] for s in shapes), max(s[1][3] for s in shapes))
    return (lambda x, y: any(f(x, y) for f in fs)), bx


def intersect(a, b):
    fa, fb = a[0], b[0]
    bx = (max(a[1][0], b[1][0]), max(a[1][1], b[1][1]), min(a[1][2], b[1][2]), min(a[1][3], b[1][3]))
    return (lambda x, y: fa(x, y) and fb(x, y)), bx


def subtract(a, b):
    fa, fb = a[0], b[0]
    return (lambda x, y: fa(x, y) and not fb(x, y)), a[1]


def polyline(pts, r0, r1=None):
    """A thick line through the points, its radius running from r0 to r1."""
    if r1 is None:
        r1 = r0
    n = len(pts) - 1
    parts = []
    for i in range(n):
        ra = lerp(r0, r1, i / n)
        rb = lerp(r0, r1, (i + 1) / n)
        parts.append(capsule(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1], ra, rb))
    return union(*parts)


# ---------------------------------------------------------------- canvas


class Canvas:
    SS = 3  # supersampling per axis

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [None] * (w * h)

    def fill(self, shape, color, alpha=1.0, dither=None):
        """Paints the shape. color is an RGB triple or a function (x, y) -> RGB.

        Over transparent pixels a pixel is painted when at least half of it is covered;
        over painted pixels the colour is blended by coverage (soft inner edges).
        dither(x, y) -> bool may hold pixels back (for see-through light and glow).
        """
        inside, (x0, y0, x1, y1) = shape
        ss = self.SS
        n = ss * ss
        offs = [(i + 0.5) / ss for i in range(ss)]
        cf = color if callable(color) else None
        for py in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)) + 1)):
            for px in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)) + 1)):
                if dither is not None and not dither(px, py):
                    continue
                cov = 0
                for oy in offs:
                    for ox in offs:
                        if inside(px + ox, py + oy):
                            cov += 1
                if cov == 0:
                    continue
                c = cf(px + 0.5, py + 0.5) if cf else color
                k = py * self.w + px
                old = self.px[k]
                a = alpha * cov / n
                if old is None:
                    if cov * 2 >= n:
                        self.px[k] = c if alpha >= 1.0 else c
                else:
                    self.px[k] = mix(old, c, a)

    def glow(self, cx, cy, r, color, density=0.5, seed=1):
        """A soft halo: pixels painted sparsely, denser towards the centre."""
        rnd = random.Random(seed)
        for py in range(max(0, int(cy - r)), min(self.h, int(cy + r) + 1)):
            for px in range(max(0, int(cx - r)), min(self.w, int(cx + r) + 1)):
                d = math.hypot(px + 0.5 - cx, py + 0.5 - cy) / r
                if d >= 1:
                    continue
                p = density * (1 - d) ** 1.5
                if rnd.random() < p:
                    k = py * self.w + px
                    old = self.px[k]
                    self.px[k] = color if old is None else mix(old, color, 0.5)

    def mirrored(self):
        c = Canvas(self.w, self.h)
        for y in range(self.h):
            row = self.px[y * self.w:(y + 1) * self.w]
            c.px[y * self.w:(y + 1) * self.w] = row[::-1]
        return c

    def shifted(self, dx, dy):
        c = Canvas(self.w, self.h)
        for y in range(self.h):
            for x in range(self.w):
                sx, sy = x - dx, y - dy
                if 0 <= sx < self.w and 0 <= sy < self.h:
                    c.px[y * self.w + x] = self.px[sy * self.w + sx]
        return c


# ---------------------------------------------------------------- quantising


def _quant_key(c):
    return (clamp8(c[0]) & 0xFC, clamp8(c[1]) & 0xFC, clamp8(c[2]) & 0xFC)


def median_cut(hist, n):
    """Reduces a {rgb: count} histogram to at most n colours."""
    items = list(hist.items())
    if len(items) <= n:
        return [c for c, _ in items]
    boxes = [items]

    def spread(box):
        rs = [c[0] for c, _ in box]
        gs = [c[1] for c, _ in box]
        bs = [c[2] for c, _ in box]
        sp = [max(rs) - min(rs), max(gs) - min(gs), max(bs) - min(bs)]
        ch = sp.index(max(sp))
        weight = sum(k for _, k in box)
        return sp[ch] * math.sqrt(weight), ch

    while len(boxes) < n:
        best, bi, bch = -1, -1, 0
        for i, b in enumerate(boxes):
            if len(b) < 2:
                continue
            s, ch = spread(b)
            if s > best:
                best, bi, bch = s, i, ch
        if bi < 0 or best <= 0:
            break
        box = sorted(boxes[bi], key=lambda it: it[0][bch])
        total = sum(k for _, k in box)
        acc, cut = 0, 1
        for j, (_, k) in enumerate(box):
            acc += k
            if acc * 2 >= total:
                cut = max(1, min(len(box) - 1, j + 1))
                break
        boxes[bi:bi + 1] = [box[:cut], box[cut:]]
    pal = []
    for b in boxes:
        w = sum(k for _, k in b)
        pal.append(tuple(clamp8(sum(c[i] * k for c, k in b) / w) for i in range(3)))
    return pal


def quantize(frames, transparent_rgb=(0, 0, 0), reserve=None):
    """Returns (palette of 256 RGB, list of index lists); index 0 is transparent.

    reserve: colours that must be in the table exactly (e.g. a key colour).
    """
    hist = {}
    for fr in frames:
        for c in fr.px:
            if c is not None:
                k = _quant_key(c)
                hist[k] = hist.get(k, 0) + 1
    reserve = list(reserve or [])
    pal = reserve + median_cut(hist, 255 - len(reserve))
    cache = {}

    def nearest(c):
        k = _quant_key(c)
        r = cache.get(k)
        if r is None:
            best, bi = 1 << 30, 1
            for i, p in enumerate(pal):
                d = (2 * (p[0] - k[0]) ** 2 + 4 * (p[1] - k[1]) ** 2 + 3 * (p[2] - k[2]) ** 2)
                if d < best:
                    best, bi = d, i
            r = bi + 1
            cache[k] = r
        return r

    out = []
    for fr in frames:
        out.append([0 if c is None else nearest(c) for c in fr.px])
    full = [transparent_rgb] + pal
    while len(full) < 256:
        full.append((0, 0, 0))
    return full, out


# ---------------------------------------------------------------- GIF writing


def lzw_encode(indices, min_size=8):
    """GIF LZW with a clear code first and whenever the table fills."""
    clear = 1 << min_size
    eoi = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    size = min_size + 1
    next_code = eoi + 1
    table = {}
    emit(clear, size)
    if not indices:
        emit(eoi, size)
    else:
        prefix = indices[0]
        for b in indices[1:]:
            key = (prefix << 8) | b
            c = table.get(key)
            if c is not None:
                prefix = c
                continue
            emit(prefix, size)
            if next_code < 4096:
                table[key] = next_code
                next_code += 1
                if next_code > (1 << size) and size < 12:
                    size += 1
            else:
                emit(clear, size)
                table = {}
                size = min_size + 1
                next_code = eoi + 1
            prefix = b
        emit(prefix, size)
        emit(eoi, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def write_gif(path, w, h, palette, frames, delays_cs, loop=True, transparent=True):
    """frames: lists of w*h colour indices (rows top to bottom); delays in 1/100 s."""
    b = bytearray()
    b += b"GIF89a"
    b += struct.pack("<HHBBB", w, h, 0xF7, 0, 0)  # global table, 8 bits, 256 entries
    assert len(palette) == 256
    for r, g, bl in palette:
        b += bytes((r, g, bl))
    if loop:
        # Application extension directly after the colour table: 17 bytes after the label.
        b += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", 0) + b"\x00"
    for idx, delay in zip(frames, delays_cs):
        packed = (2 << 2) | (1 if transparent else 0)  # dispose to background; transparency
        b += b"\x21\xF9\x04" + struct.pack("<BHB", packed, delay, 0) + b"\x00"
        b += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)  # no local table, not interlaced
        b += bytes((8,))
        data = lzw_encode(idx, 8)
        for i in range(0, len(data), 255):
            chunk = data[i:i + 255]
            b += bytes((len(chunk),)) + chunk
        b += b"\x00"
    b += b"\x3B"
    with open(path, "wb") as f:
        f.write(b)
    return len(b)


def save_sprite(path, frames, delays_cs, loop=True, transparent=True, reserve=None):
    """Quantises canvases to one table and writes the GIF; returns (palette, indices)."""
    if isinstance(delays_cs, int):
        delays_cs = [delays_cs] * len(frames)
    pal, idx = quantize(frames, reserve=reserve)
    write_gif(path, frames[0].w, frames[0].h, pal, idx, delays_cs, loop=loop, transparent=transparent)
    return pal, idx


# ---------------------------------------------------------------- palette files


def palette_from_images(images):
    """Picks 256 colours the way the engine's palettizing run does: counts every pixel
    under a 5-6-5 key, takes the most frequent keys, sorts them by key and fills with 0."""
    counts = {}
    for pal, frames in images:
        for fr in frames:
            for i in fr:
                r, g, b = pal[i]
                key = ((b >> 3) << 11) | ((g >> 2) << 5) | (r >> 3)
                counts[key] = counts.get(key, 0) + 1
    picked = sorted(counts.items(), key=lambda kv: (-kv[1], kv[0]))[:256]
    keys = sorted(k for k, _ in picked)
    keys += [0] * (256 - len(keys))
    out = bytearray(struct.pack("<HH", 0x0300, 256))
    for key in keys:
        out += bytes((((key & 31) << 3), (((key >> 5) & 63) << 2), ((key >> 11) << 3), 0))
    return bytes(out)


# ---------------------------------------------------------------- sound


def write_wav(path, samples):
    """samples: floats in -1..1; written as 8-bit unsigned mono 22 050 Hz PCM.

    An odd count gets one more silent sample, so that the data chunk needs no pad byte."""
    data = bytes(max(0, min(255, int(round(128 + 127 * s)))) for s in samples)
    if len(data) % 2:
        data += b"\x80"
    hdr = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    hdr += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8)
    hdr += b"data" + struct.pack("<I", len(data))
    with open(path, "wb") as f:
        f.write(hdr + data)
    return len(data)


class OnePole:
    """A one-pole low-pass filter."""

    def __init__(self, cutoff):
        self.a = math.exp(-2 * math.pi * cutoff / RATE)
        self.y = 0.0

    def __call__(self, x):
        self.y = (1 - self.a) * x + self.a * self.y
        return self.y


def normalize(s, peak):
    m = max(1e-9, max(abs(v) for v in s))
    return [v * peak / m for v in s]


def fade_edges(s, attack, release):
    n = len(s)
    a = max(1, int(attack * RATE))
    r = max(1, int(release * RATE))
    out = list(s)
    for i in range(min(a, n)):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / a)
    for i in range(min(r, n)):
        out[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / r)
    return out
