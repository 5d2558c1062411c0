#!/usr/bin/env python3
"""Draws every bitmap and icon the Tarnwright wizard embeds as a resource.

    python3 tools/art/draw_art.py [OUTDIR]

OUTDIR defaults to wizard/res/art under the repository root. The output is
byte-for-byte the same on every run, so the generated files can be kept in
the repository and rebuilt only when the art changes.

Everything is drawn from vector shapes (signed distance functions) and
anti-aliased by supersampling the pixels that straddle an edge. No fonts and
no third-party packages are used.

To restyle the wizard for a PC maker, change the colours and shape constants
in the two blocks below and run the script again.
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Palette (R, G, B). One family of blues for the wizard chrome, plus the three
# result colours. BANNER and DIALOG must match what the wizard paints behind
# the bitmaps, because bitmaps are copied onto them opaque.
# ---------------------------------------------------------------------------
DIALOG = (255, 255, 255)            # dialog background behind the step boxes
BANNER = (179, 207, 232)            # banner strip behind the system buttons

ACCENT = (31, 90, 154)              # the wizard's main blue
ACCENT_DARK = (20, 62, 112)         # deeper shade of the main blue

# Step indicator: current step carries white bold text, other steps black text.
STEP_CUR_TOP = (36, 100, 168)
STEP_CUR_BOTTOM = (26, 80, 142)
STEP_OTH_TOP = (222, 232, 243)
STEP_OTH_BOTTOM = (204, 218, 233)

# System buttons on the banner.
BUTTON_FILL_TOP = (240, 246, 252)
BUTTON_FILL_BOTTOM = (220, 232, 245)
BUTTON_EDGE = (122, 156, 194)
BUTTON_GLYPH = ACCENT_DARK
BUTTON_FOCUS_RING = ACCENT
BUTTON_PRESSED_TOP = (44, 104, 170)
BUTTON_PRESSED_BOTTOM = (30, 84, 146)
BUTTON_PRESSED_EDGE = ACCENT_DARK
BUTTON_PRESSED_GLYPH = (255, 255, 255)
BUTTON_DISABLED_FILL = (196, 217, 237)
BUTTON_DISABLED_EDGE = (160, 186, 213)
BUTTON_DISABLED_GLYPH = (141, 166, 193)

# The close button turns red when focused or pressed.
CLOSE_FOCUS_RING = (196, 43, 43)
CLOSE_FOCUS_GLYPH = (178, 34, 34)
CLOSE_PRESSED_TOP = (214, 64, 56)
CLOSE_PRESSED_BOTTOM = (184, 38, 36)
CLOSE_PRESSED_EDGE = (140, 24, 24)

# Result icons on the finish page: (top, bottom, rim) of the round badge.
SUCCESS = ((84, 186, 98), (36, 138, 58), (26, 110, 44))
FAILURE = ((226, 82, 72), (180, 34, 34), (140, 22, 22))
ABORT = ((250, 186, 64), (224, 132, 18), (184, 104, 10))
RESULT_GLYPH = (255, 255, 255)

# Application icon: a disc with a round "write again" arrow badge.
DISC_LIGHT = (246, 249, 253)
DISC_DARK = (162, 182, 207)
DISC_SHEEN = (255, 255, 255)
SHEEN_ANGLE = 55                    # degrees: where the light falls on the disc
DISC_RIM = (98, 122, 152)
DISC_HUB = (214, 225, 238)
DISC_HUB_RIM = (126, 148, 176)
BADGE_TOP = (48, 114, 186)
BADGE_BOTTOM = ACCENT_DARK
BADGE_ARROW = (255, 255, 255)

# ---------------------------------------------------------------------------
# Shapes and sizes (pixels at 96 DPI unless noted).
# ---------------------------------------------------------------------------
STEP_HEIGHT = 34
STEP_CAP_WIDTH = 18
STEP_ARROW_DEPTH = 12       # how far the chevron point reaches past the body
STEP_LEFT_NOTCH = True      # True: left caps get a V notch matching the chevron
STEP_CORNER_RADIUS = 4.0    # rounding of flat box ends (last cap; left caps without notch)

BUTTON_SIZE = 38
BUTTON_INSET = 3.0          # banner colour left around the button body
BUTTON_RADIUS = 7.0
BUTTON_EDGE_WIDTH = 1.25
BUTTON_RING_WIDTH = 2.25    # focus ring, drawn just inside the body edge
GLYPH_STROKE = 2.75

APP_ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
# The app icon's round arrow; angles in degrees, clockwise from "right".
ARROW_START = 10            # where the arrow's tail sits
ARROW_SWEEP = 255           # how far the arrow turns before its head
ARROW_HEAD_WIDTH = 3.0      # head size, in ring widths
ARROW_HEAD_LENGTH = 1.9
PNG_ICON_MIN = 256          # icon images this large are stored PNG-compressed
RESULT_ICON_SIZE = 48

SUPERSAMPLE = 8             # samples per pixel side on anti-aliased edges


# ---------------------------------------------------------------------------
# Signed distance shapes. d(x, y) < 0 inside, in pixels. Distances are exact
# or err on the small side, so a pixel whose centre is farther than
# EDGE_REACH from the edge is entirely inside or outside and needs no
# supersampling.
# ---------------------------------------------------------------------------
EDGE_REACH = 0.75


class Shape:
    def __init__(self, fn, bbox):
        self.d = fn
        self.bbox = bbox        # (x0, y0, x1, y1) enclosing the inside

    def __or__(self, other):
        a, b = self.d, other.d
        return Shape(lambda x, y: min(a(x, y), b(x, y)),
                     _bbox_union(self.bbox, other.bbox))

    def __and__(self, other):
        a, b = self.d, other.d
        return Shape(lambda x, y: max(a(x, y), b(x, y)),
                     _bbox_meet(self.bbox, other.bbox))

    def __sub__(self, other):
        a, b = self.d, other.d
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.bbox)

    def grown(self, r):
        """Offsets the outline outwards by r (inwards for negative r)."""
        f = self.d
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: f(x, y) - r,
                     (x0 - r, y0 - r, x1 + r, y1 + r))

    def outline(self, width):
        """A band of the given width centred on the outline."""
        f = self.d
        h = width / 2.0
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: abs(f(x, y)) - h,
                     (x0 - h, y0 - h, x1 + h, y1 + h))

    def inner_band(self, width):
        """A band of the given width just inside the outline."""
        return self - self.grown(-width)


def _bbox_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def _bbox_meet(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r,
                 (cx - r, cy - r, cx + r, cy + r))


def rounded_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def d(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return Shape(d, (x0, y0, x1, y1))


def _seg_dist(x, y, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    wx, wy = x - ax, y - ay
    ll = vx * vx + vy * vy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, (wx * vx + wy * vy) / ll))
    return math.hypot(wx - t * vx, wy - t * vy)


def stroke(points, width):
    """A polyline drawn with a round pen of the given width."""
    h = width / 2.0
    segs = list(zip(points, points[1:])) or [(points[0], points[0])]

    def d(x, y):
        return min(_seg_dist(x, y, a[0], a[1], b[0], b[1]) for a, b in segs) - h
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(d, (min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h))


def arc(cx, cy, r, start_deg, sweep_deg, width):
    """A circular arc drawn with a round pen. Angles are clockwise on screen,
    0 degrees pointing right; the sweep may be negative."""
    h = width / 2.0
    a0 = math.radians(start_deg)
    sweep = math.radians(sweep_deg)
    if sweep < 0:
        a0, sweep = a0 + sweep, -sweep
    p0 = (cx + r * math.cos(a0), cy + r * math.sin(a0))
    p1 = (cx + r * math.cos(a0 + sweep), cy + r * math.sin(a0 + sweep))

    def d(x, y):
        a = (math.atan2(y - cy, x - cx) - a0) % (2 * math.pi)
        if a <= sweep:
            return abs(math.hypot(x - cx, y - cy) - r) - h
        return min(math.hypot(x - p0[0], y - p0[1]),
                   math.hypot(x - p1[0], y - p1[1])) - h
    return Shape(d, (cx - r - h, cy - r - h, cx + r + h, cy + r + h))


def polygon(points):
    """A filled polygon (non-self-intersecting)."""
    n = len(points)
    edges = [(points[i], points[(i + 1) % n]) for i in range(n)]

    def d(x, y):
        best = float("inf")
        inside = False
        for (ax, ay), (bx, by) in edges:
            best = min(best, _seg_dist(x, y, ax, ay, bx, by))
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * (bx - ax) / (by - ay):
                    inside = not inside
        return -best if inside else best
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(d, (min(xs), min(ys), max(xs), max(ys)))


# ---------------------------------------------------------------------------
# Paints: a plain colour or a function of the pixel centre.
# ---------------------------------------------------------------------------
def _mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def vertical(y0, y1, c0, c1):
    return lambda x, y: _mix(c0, c1, (y - y0) / float(y1 - y0))


def linear(p0, p1, c0, c1):
    vx, vy = p1[0] - p0[0], p1[1] - p0[1]
    ll = float(vx * vx + vy * vy)
    return lambda x, y: _mix(c0, c1, ((x - p0[0]) * vx + (y - p0[1]) * vy) / ll)


# ---------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats (0..255 colour, 0..1 alpha).
# ---------------------------------------------------------------------------
class Canvas:
    def __init__(self, w, h, background=None):
        self.w, self.h = w, h
        if background is None:
            self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]
        else:
            r, g, b = background
            self.px = [[float(r), float(g), float(b), 1.0] for _ in range(w * h)]

    def fill(self, shape, paint, opacity=1.0):
        x0, y0, x1, y1 = shape.bbox
        xa = max(0, int(math.floor(x0 - 1)))
        ya = max(0, int(math.floor(y0 - 1)))
        xb = min(self.w, int(math.ceil(x1 + 1)))
        yb = min(self.h, int(math.ceil(y1 + 1)))
        d = shape.d
        n = SUPERSAMPLE
        offsets = [(i + 0.5) / n for i in range(n)]
        for py in range(ya, yb):
            for px in range(xa, xb):
                cx, cy = px + 0.5, py + 0.5
                dc = d(cx, cy)
                if dc >= EDGE_REACH:
                    continue
                if dc <= -EDGE_REACH:
                    cover = 1.0
                else:
                    hits = 0
                    for oy in offsets:
                        for ox in offsets:
                            if d(px + ox, py + oy) < 0:
                                hits += 1
                    if hits == 0:
                        continue
                    cover = hits / float(n * n)
                colour = paint(cx, cy) if callable(paint) else paint
                a = cover * opacity
                if len(colour) == 4:
                    # The paint carries its own opacity (soft highlights).
                    a *= colour[3]
                p = self.px[py * self.w + px]
                k = 1.0 - a
                p[0] = colour[0] * a + p[0] * k
                p[1] = colour[1] * a + p[1] * k
                p[2] = colour[2] * a + p[2] * k
                p[3] = a + p[3] * k

    def clear(self, shape):
        """Makes the inside of the shape transparent again (for holes)."""
        x0, y0, x1, y1 = shape.bbox
        n = SUPERSAMPLE
        offsets = [(i + 0.5) / n for i in range(n)]
        for py in range(max(0, int(y0) - 1), min(self.h, int(math.ceil(y1)) + 1)):
            for px in range(max(0, int(x0) - 1), min(self.w, int(math.ceil(x1)) + 1)):
                dc = shape.d(px + 0.5, py + 0.5)
                if dc >= EDGE_REACH:
                    continue
                if dc <= -EDGE_REACH:
                    keep = 0.0
                else:
                    hits = sum(1 for oy in offsets for ox in offsets
                               if shape.d(px + ox, py + oy) < 0)
                    keep = 1.0 - hits / float(n * n)
                p = self.px[py * self.w + px]
                for i in range(4):
                    p[i] *= keep

    def rgb_rows(self):
        """Opaque pixels as rows of (r, g, b) bytes, top row first."""
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                row.append(tuple(_byte(c) for c in (r, g, b)))
            rows.append(row)
        return rows

    def rgba_rows(self):
        """Straight-alpha (r, g, b, a) bytes, top row first."""
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                alpha = _byte(a * 255.0)
                if alpha == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((_byte(r / a), _byte(g / a), _byte(b / a), alpha))
            rows.append(row)
        return rows


def _byte(v):
    return max(0, min(255, int(math.floor(v + 0.5))))


# ---------------------------------------------------------------------------
# File writers.
# ---------------------------------------------------------------------------
def bmp_bytes(rows):
    """24-bit uncompressed bottom-up BMP, rows padded to 4 bytes."""
    h = len(rows)
    w = len(rows[0])
    stride = (w * 3 + 3) & ~3
    pad = b"\0" * (stride - w * 3)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            pixels += bytes((b, g, r))
        pixels += pad
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def _ico_dib(rows):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA colour, 1-bit AND mask."""
    h = len(rows)
    w = len(rows[0])
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x >> 3] |= 0x80 >> (x & 7)
        mask += line
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                       len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def png_bytes(rows):
    """8-bit RGBA PNG, no filtering, fixed compression level."""
    h = len(rows)
    w = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + \
            struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def ico_bytes(images):
    """ICO container; images is a list of RGBA row lists, smallest first."""
    blobs = []
    for rows in images:
        size = len(rows)
        blobs.append(png_bytes(rows) if size >= PNG_ICON_MIN else _ico_dib(rows))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for rows, blob in zip(images, blobs):
        w, h = len(rows[0]), len(rows)
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


# ---------------------------------------------------------------------------
# Step indicator pieces. Each box is left cap + stretched middle + right cap
# (or the last cap on the final box). The fill is a vertical gradient that is
# a function of the row only, so the caps and the stretched middle line up.
# ---------------------------------------------------------------------------
def _step_paint(kind):
    if kind == "cur":
        return vertical(0, STEP_HEIGHT, STEP_CUR_TOP, STEP_CUR_BOTTOM)
    return vertical(0, STEP_HEIGHT, STEP_OTH_TOP, STEP_OTH_BOTTOM)


def step_piece(kind, piece):
    h = float(STEP_HEIGHT)
    cap = float(STEP_CAP_WIDTH)
    r = STEP_CORNER_RADIUS
    mid_y = h / 2.0
    width = 1 if piece == "mid" else STEP_CAP_WIDTH
    canvas = Canvas(width, STEP_HEIGHT, DIALOG)
    if piece == "mid":
        # One column of the plain fill.
        body = rounded_rect(-1, 0, 2, h, 0)
    elif piece == "left":
        if STEP_LEFT_NOTCH:
            # The notch is the neighbour's chevron, so its point sits as deep
            # as the chevron reaches.
            body = polygon([(0, 0), (cap + 2, 0), (cap + 2, h), (0, h),
                            (STEP_ARROW_DEPTH, mid_y)])
        else:
            # Round the left corners only; the right side runs into the middle.
            body = rounded_rect(0, 0, cap + 2 * r, h, r)
    elif piece == "right":
        # The body runs straight to the chevron's base, then narrows to a
        # point on the right edge of the cap.
        base = cap - STEP_ARROW_DEPTH
        body = polygon([(-2, 0), (base, 0), (cap, mid_y), (base, h), (-2, h)])
    elif piece == "last":
        body = rounded_rect(-2 * r, 0, cap, h, r)
    else:
        raise ValueError(piece)
    canvas.fill(body, _step_paint(kind))
    return canvas


# ---------------------------------------------------------------------------
# System buttons: a rounded square on the banner with a drawn glyph.
# ---------------------------------------------------------------------------
def glyph_help(c):
    """Question mark: hook, stem and dot, centred on c = (cx, cy)."""
    cx, cy = c
    w = GLYPH_STROKE
    r = 4.9
    hook_cy = cy - 4.6
    # Arc from the left, over the top, round to the lower right.
    hook = arc(cx, hook_cy, r, 180, 220, w)
    end_a = math.radians(40)
    ex, ey = cx + r * math.cos(end_a), hook_cy + r * math.sin(end_a)
    stem = stroke([(ex, ey), (cx + 0.4, cy + 1.4), (cx, cy + 2.8)], w)
    dot = circle(cx, cy + 7.3, w * 0.68)
    return hook | stem | dot


def glyph_min(c):
    """A low horizontal bar."""
    cx, cy = c
    half = 6.0
    y = cy + 5.5
    return rounded_rect(cx - half - 1, y - 1.5, cx + half + 1, y + 1.5, 1.0)


def glyph_close(c):
    """An X made of two strokes."""
    cx, cy = c
    s = 6.0
    w = GLYPH_STROKE + 0.15
    return (stroke([(cx - s, cy - s), (cx + s, cy + s)], w)
            | stroke([(cx - s, cy + s), (cx + s, cy - s)], w))


GLYPHS = {"help": glyph_help, "min": glyph_min, "close": glyph_close}


def system_button(which, state):
    size = float(BUTTON_SIZE)
    canvas = Canvas(BUTTON_SIZE, BUTTON_SIZE, BANNER)
    lo, hi = BUTTON_INSET, size - BUTTON_INSET
    body = rounded_rect(lo, lo, hi, hi, BUTTON_RADIUS)
    centre = (size / 2.0, size / 2.0)
    red = which == "close"

    if state == "disabled":
        fill, edge = BUTTON_DISABLED_FILL, BUTTON_DISABLED_EDGE
        ring, glyph = None, BUTTON_DISABLED_GLYPH
    elif state == "normal":
        fill = vertical(lo, hi, BUTTON_FILL_TOP, BUTTON_FILL_BOTTOM)
        edge, ring, glyph = BUTTON_EDGE, None, BUTTON_GLYPH
    elif state == "focused":
        fill = vertical(lo, hi, BUTTON_FILL_TOP, BUTTON_FILL_BOTTOM)
        edge = None
        ring = CLOSE_FOCUS_RING if red else BUTTON_FOCUS_RING
        glyph = CLOSE_FOCUS_GLYPH if red else BUTTON_GLYPH
    elif state == "pressed":
        if red:
            fill = vertical(lo, hi, CLOSE_PRESSED_TOP, CLOSE_PRESSED_BOTTOM)
            edge = CLOSE_PRESSED_EDGE
        else:
            fill = vertical(lo, hi, BUTTON_PRESSED_TOP, BUTTON_PRESSED_BOTTOM)
            edge = BUTTON_PRESSED_EDGE
        ring, glyph = None, BUTTON_PRESSED_GLYPH
        # The glyph moves down and right as if pushed in.
        centre = (centre[0] + 1, centre[1] + 1)
    else:
        raise ValueError(state)

    canvas.fill(body, fill)
    if edge is not None:
        canvas.fill(body.inner_band(BUTTON_EDGE_WIDTH), edge)
    if ring is not None:
        canvas.fill(body.inner_band(BUTTON_RING_WIDTH), ring)
    canvas.fill(GLYPHS[which](centre), glyph)
    return canvas


# ---------------------------------------------------------------------------
# Result icons: a round badge with a white mark.
# ---------------------------------------------------------------------------
def result_icon(kind):
    s = float(RESULT_ICON_SIZE)
    canvas = Canvas(RESULT_ICON_SIZE, RESULT_ICON_SIZE)
    k = s / 48.0        # marks are laid out on a 48-pixel grid
    cx = cy = s / 2.0
    r = s / 2.0 - 1.5 * k
    top, bottom, rim = {"success": SUCCESS, "failure": FAILURE, "abort": ABORT}[kind]
    badge = circle(cx, cy, r)
    canvas.fill(badge, rim)
    canvas.fill(badge.grown(-1.5 * k), vertical(cy - r, cy + r, top, bottom))
    # A soft highlight across the upper half gives the badge some depth.
    shine = circle(cx, cy - r * 0.9, r * 1.05) & badge.grown(-3.0 * k)
    canvas.fill(shine, (255, 255, 255), opacity=0.16)
    w = 5.0 * k
    if kind == "success":
        mark = stroke([(cx - 9.5 * k, cy + 0.5 * k), (cx - 3.0 * k, cy + 7.0 * k),
                       (cx + 10.0 * k, cy - 7.5 * k)], w)
    elif kind == "failure":
        a = 7.5 * k
        mark = (stroke([(cx - a, cy - a), (cx + a, cy + a)], w)
                | stroke([(cx - a, cy + a), (cx + a, cy - a)], w))
    else:
        # Exclamation mark: a bar narrowing towards the bottom, and a dot.
        mark = (polygon([(cx - 2.9 * k, cy - 12.0 * k), (cx + 2.9 * k, cy - 12.0 * k),
                         (cx + 1.9 * k, cy + 3.6 * k), (cx - 1.9 * k, cy + 3.6 * k)]).grown(0.4 * k)
                | circle(cx, cy + 9.6 * k, 3.0 * k))
    canvas.fill(mark, RESULT_GLYPH)
    return canvas


# ---------------------------------------------------------------------------
# Application icon: a disc seen face on, with a round arrow badge at the
# lower right. Each size is drawn on its own; small sizes drop the fine rings
# and use thicker lines so the disc and the arrow stay readable.
# ---------------------------------------------------------------------------
def app_icon(size):
    s = float(size)
    canvas = Canvas(size, size)
    small = size < 32                           # 16, 20 and 24 pixels
    tiny = size < 24                            # 16 and 20 pixels

    # Disc. On small sizes the rim is a full dark pixel so the round shape
    # holds against any background.
    dcx = dcy = s * 0.44
    dr = s * 0.43 if not tiny else s / 2.0 - 0.5
    if tiny:
        dcx = dcy = s / 2.0 - 0.5
    rim_w = 1.0 if small else max(1.0, s / 40.0)
    disc = circle(dcx, dcy, dr)
    canvas.fill(disc, DISC_RIM)
    face = disc.grown(-rim_w)
    canvas.fill(face, linear((dcx - dr, dcy - dr), (dcx + dr, dcy + dr),
                             DISC_LIGHT, DISC_DARK))
    # Light reflected in two opposite wedges, as on a real disc surface.
    if not tiny:
        def sheen(x, y):
            a = math.atan2(y - dcy, x - dcx)
            t = max(0.0, math.cos(2 * (a + math.radians(SHEEN_ANGLE))))
            return DISC_SHEEN + (0.6 * t ** 2,)
        canvas.fill(face, sheen)
    if not small:
        # Faint track rings.
        for frac in (0.62, 0.80):
            canvas.fill(circle(dcx, dcy, dr * frac).outline(max(0.6, s / 128.0)),
                        DISC_DARK, opacity=0.35)

    # Hub and centre hole. Small sizes show just a dark ring round the hole.
    if small:
        hub = circle(dcx, dcy, max(2.0, s * 0.11))
        canvas.fill(hub, DISC_HUB_RIM)
        canvas.clear(hub.grown(-1.0))
    else:
        hub = circle(dcx, dcy, dr * 0.30)
        hole = circle(dcx, dcy, dr * 0.11)
        canvas.fill(hub, DISC_HUB_RIM)
        canvas.fill(hub.grown(-s / 48.0), DISC_HUB)
        canvas.fill(hole.grown(max(0.9, s / 64.0)), DISC_HUB_RIM)
        canvas.clear(hole)

    # Arrow badge, overlapping the disc at the lower right; a gap in the
    # background colour separates it from the disc.
    br = s * (0.34 if tiny else 0.30 if small else 0.26)
    bcx = bcy = s - br - (0.0 if small else s * 0.015)
    badge = circle(bcx, bcy, br)
    gap = 1.0 if small else s / 28.0
    canvas.clear(badge.grown(gap))
    canvas.fill(badge, vertical(bcy - br, bcy + br, BADGE_TOP, BADGE_BOTTOM))

    # Round arrow: an open ring turning clockwise, with a head at its end
    # pointing along the direction of travel.
    ar = br * 0.52
    aw = br * (0.25 if small else 0.20)
    end = math.radians(ARROW_START + ARROW_SWEEP)
    ring = arc(bcx, bcy, ar, ARROW_START, ARROW_SWEEP, aw)
    ux, uy = math.cos(end), math.sin(end)        # outwards at the head
    tx, ty = -uy, ux                             # clockwise tangent
    bx, by = bcx + ar * ux, bcy + ar * uy        # middle of the head's base
    half = aw * ARROW_HEAD_WIDTH / 2.0
    length = aw * ARROW_HEAD_LENGTH
    head = polygon([
        (bx + half * ux, by + half * uy),
        (bx + length * tx, by + length * ty),
        (bx - half * ux, by - half * uy),
    ])
    canvas.fill(ring | head, BADGE_ARROW)
    return canvas


# ---------------------------------------------------------------------------
# Output.
# ---------------------------------------------------------------------------
STEP_FILES = [
    ("step_cur_left.bmp", "cur", "left"),
    ("step_cur_mid.bmp", "cur", "mid"),
    ("step_cur_right.bmp", "cur", "right"),
    ("step_cur_last.bmp", "cur", "last"),
    ("step_oth_left.bmp", "oth", "left"),
    ("step_oth_mid.bmp", "oth", "mid"),
    ("step_oth_right.bmp", "oth", "right"),
    ("step_oth_last.bmp", "oth", "last"),
]

BUTTON_STATES = ("disabled", "focused", "normal", "pressed")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) > 1:
        outdir = argv[1]
    else:
        root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
        outdir = os.path.join(root, "wizard", "res", "art")
    os.makedirs(outdir, exist_ok=True)

    for name, kind, piece in STEP_FILES:
        write(os.path.join(outdir, name), bmp_bytes(step_piece(kind, piece).rgb_rows()))

    for which in ("help", "min", "close"):
        for state in BUTTON_STATES:
            name = "%s_%s.bmp" % (which, state)
            write(os.path.join(outdir, name),
                  bmp_bytes(system_button(which, state).rgb_rows()))

    write(os.path.join(outdir, "app.ico"),
          ico_bytes([app_icon(n).rgba_rows() for n in APP_ICON_SIZES]))
    for kind in ("abort", "failure", "success"):
        write(os.path.join(outdir, "result_%s.ico" % kind),
              ico_bytes([result_icon(kind).rgba_rows()]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
