"""Filled stroke fonts from outline fonts (TrueType, read with fontTools).

Every glyph is flattened to polygons, scaled into the 0-55 glyph box with its
advance centred on x = 27.5, simplified until each stroke has at most 100
points and the whole stream fits, and written with "v" between strokes.
A filled stroke is filled alone with even-odd pairing, so each outer contour
is joined with the holes it contains into one stroke: the outer ring, back to
its first point, then each hole ring and back again (the bridges run twice
and cancel).
"""

from fontTools.pens.basePen import BasePen
from fontTools.ttLib import TTFont

from common import ALPHABET, MAX_POINTS, STREAM_LIMIT, BuiltFont

BOX = 55
FLATTEN_STEPS = 6


class _FlatPen(BasePen):
    """Records contours as lists of (x, y), curves cut into short lines."""

    def __init__(self, glyph_set):
        super().__init__(glyph_set)
        self.contours = []
        self._current = []

    def _moveTo(self, pt):
        self._current = [pt]

    def _lineTo(self, pt):
        self._current.append(pt)

    def _curveToOne(self, p1, p2, p3):
        p0 = self._current[-1]
        for i in range(1, FLATTEN_STEPS + 1):
            t = i / FLATTEN_STEPS
            u = 1 - t
            self._current.append((
                u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
                u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]))

    def _qCurveToOne(self, p1, p2):
        p0 = self._current[-1]
        for i in range(1, FLATTEN_STEPS + 1):
            t = i / FLATTEN_STEPS
            u = 1 - t
            self._current.append((u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
                                  u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1]))

    def _closePath(self):
        pts = self._current
        if len(pts) > 1 and pts[0] == pts[-1]:
            pts = pts[:-1]
        if len(pts) >= 3:
            self.contours.append(pts)
        self._current = []

    _endPath = _closePath


def _area(poly):
    s = 0.0
    for i, (x0, y0) in enumerate(poly):
        x1, y1 = poly[(i + 1) % len(poly)]
        s += x0 * y1 - x1 * y0
    return s / 2


def _inside(pt, poly):
    x, y = pt
    hit = False
    n = len(poly)
    for i in range(n):
        x0, y0 = poly[i]
        x1, y1 = poly[(i + 1) % n]
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            hit = not hit
    return hit


def _seg_distance(p, a, b):
    (px, py), (ax, ay), (bx, by) = p, a, b
    dx, dy = bx - ax, by - ay
    d2 = dx * dx + dy * dy
    if d2 == 0:
        return ((px - ax) ** 2 + (py - ay) ** 2) ** 0.5
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / d2))
    return ((px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2) ** 0.5


def _douglas_peucker(pts, tol):
    if len(pts) < 3:
        return list(pts)
    keep = [False] * len(pts)
    keep[0] = keep[-1] = True
    stack = [(0, len(pts) - 1)]
    while stack:
        i, j = stack.pop()
        best, at = -1.0, -1
        for k in range(i + 1, j):
            d = _seg_distance(pts[k], pts[i], pts[j])
            if d > best:
                best, at = d, k
        if at >= 0 and best > tol:
            keep[at] = True
            stack.append((i, at))
            stack.append((at, j))
    return [p for p, k in zip(pts, keep) if k]


def _simplify_ring(ring, tol):
    """Simplifies a closed ring and snaps it to the integer grid."""
    far = max(range(len(ring)), key=lambda k: (ring[k][0] - ring[0][0]) ** 2 +
              (ring[k][1] - ring[0][1]) ** 2)
    first = _douglas_peucker(ring[:far + 1], tol)
    second = _douglas_peucker(ring[far:] + [ring[0]], tol)
    pts = first[:-1] + second[:-1]
    out = []
    for x, y in pts:
        q = (min(BOX, max(0, round(x))), min(BOX, max(0, round(y))))
        if not out or out[-1] != q:
            out.append(q)
    while len(out) > 1 and out[0] == out[-1]:
        out.pop()
    if len(out) < 3 or abs(_area(out)) < 0.5:
        return None
    return out


def _join(outer, holes):
    """One even-odd stroke from an outer ring and the holes inside it."""
    if not holes:
        return list(outer)
    hx, hy = holes[0][0]
    start = min(range(len(outer)), key=lambda k: (outer[k][0] - hx) ** 2 + (outer[k][1] - hy) ** 2)
    ring = outer[start:] + outer[:start]
    stroke = ring + [ring[0]]
    for k, hole in enumerate(holes):
        stroke += hole + [hole[0]]
        if k + 1 < len(holes):
            stroke.append(ring[0])
    return stroke


class OutlineSource:
    def __init__(self, path):
        self.font = TTFont(path)
        self.glyph_set = self.font.getGlyphSet()
        self.cmap = self.font.getBestCmap()
        self.upem = self.font["head"].unitsPerEm

    def has(self, codepoint):
        return codepoint in self.cmap

    def outline(self, codepoint):
        """(advance, contours) in font units."""
        name = self.cmap[codepoint]
        glyph = self.glyph_set[name]
        pen = _FlatPen(self.glyph_set)
        glyph.draw(pen)
        return glyph.width, pen.contours


def _grid_glyph(contours, advance, scale, base, tol):
    """Strokes of one glyph in grid units, or [] when nothing survives."""
    placed = [[(BOX / 2 + (x - advance / 2) * scale, base + y * scale) for x, y in c]
              for c in contours]
    depth = []
    for i, c in enumerate(placed):
        depth.append(sum(1 for j, d in enumerate(placed) if j != i and _inside(c[0], d)))
    strokes = []
    for i, c in enumerate(placed):
        if depth[i] % 2:
            continue
        outer = _simplify_ring(c, tol)
        if outer is None:
            continue
        holes = []
        for j, h in enumerate(placed):
            if depth[j] == depth[i] + 1 and _inside(h[0], c):
                parents = [k for k, d in enumerate(placed)
                           if depth[k] == depth[i] and k != j and _inside(h[0], d)]
                if min(parents, key=lambda k: abs(_area(placed[k]))) != i:
                    continue
                ring = _simplify_ring(h, tol)
                if ring is not None:
                    holes.append(ring)
        strokes.append(_join(outer, holes))
    return strokes


def _encode(strokes):
    return "v".join("".join(ALPHABET[x] + ALPHABET[y] for x, y in s) for s in strokes)


def build_outline_font(source, glyph_codes, name, fallback=None, scale_exclude=()):
    """glyph_codes: list of (character code, unicode code point or None) in stream order.

    Returns a BuiltFont whose stream fits the limits; glyphs missing from the
    source take FALLBACK's code point. Codes in SCALE_EXCLUDE do not count
    for the font's scale and are clipped to the box.
    """
    outlines = []
    for _, cp in glyph_codes:
        if cp is None or not source.has(cp) or not source.outline(cp)[1]:
            cp = fallback
        outlines.append(source.outline(cp))
    # One scale for the whole font: every glyph inside the box vertically,
    # the widest advance inside it horizontally.
    scaled = [o for (code, _), o in zip(glyph_codes, outlines) if code not in scale_exclude]
    ymin = min(y for _, cs in scaled for c in cs for _, y in c)
    ymax = max(y for _, cs in scaled for c in cs for _, y in c)
    xspan = max(max(abs(x - adv / 2) for c in cs for x, _ in c) * 2
                for adv, cs in scaled if cs)
    scale = min((BOX - 0.5) / (ymax - ymin), (BOX - 0.5) / xspan)
    base = -ymin * scale + 0.25

    tol = 0.3
    while True:
        glyphs = []
        for adv, cs in outlines:
            t = tol
            while True:
                strokes = _grid_glyph(cs, adv, scale, base, t)
                if all(len(s) <= MAX_POINTS for s in strokes):
                    break
                t += 0.1
            glyphs.append(_encode(strokes))
        if sum(len(g) for g in glyphs) <= STREAM_LIMIT - 1000:
            break
        tol += 0.05
    return BuiltFont.from_glyphs(name, glyph_codes, glyphs, "v")
