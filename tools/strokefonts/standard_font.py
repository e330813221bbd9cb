"""The stroked "standard.chr": coordinates 0-6 across and 0-11 up, "u" between strokes.

Characters 33-126 come from the Hershey simplex Roman font (rowmans.jhf),
scaled onto the small grid: the base line at y = 2, the capital height at
y = 11, descenders down to y = 0, x -10..10 onto 0..6. A stroke that rounds
to a single point (the Hershey dots) becomes a one-unit upward tick. The
accented letters of 192-255 are the base letters with accents added here
(capitals squeezed to make room); the other glyphs (128, 161-191, 215, 247
and the ligatures and Icelandic letters), "!", "^" and "`" are drawn
here by hand.
"""

import math

from common import ALPHABET, BuiltFont

HERSHEY = "/usr/share/hershey-fonts/rowmans.jhf"
MAX_X, MAX_Y = 6, 11
BASE = 2


def _read_jhf(path):
    """Glyphs of a .jhf file in file order: lists of strokes of (x, y), y down."""
    text = open(path, encoding="latin-1").read().replace("\r", "")
    # Records may continue on the next line; a record is 5 digits, a 3-digit
    # vertex count and two characters per vertex (the first pair the margins).
    text = text.replace("\n", "")
    glyphs = []
    pos = 0
    while pos + 8 <= len(text):
        count = int(text[pos + 5:pos + 8])
        body = text[pos + 8:pos + 8 + 2 * count]
        pos += 8 + 2 * count
        strokes, current = [], []
        for k in range(2, len(body), 2):
            pair = body[k:k + 2]
            if pair == " R":
                if current:
                    strokes.append(current)
                current = []
            else:
                current.append((ord(pair[0]) - ord("R"), ord(pair[1]) - ord("R")))
        if current:
            strokes.append(current)
        glyphs.append(strokes)
    return glyphs


def _snap(strokes, fx, fy):
    """Maps strokes through (fx, fy), rounds, drops repeats, turns dots into ticks."""
    out = []
    for s in strokes:
        pts = []
        for p in s:
            x = min(MAX_X, max(0, math.floor(fx(p) + 0.5)))
            y = min(MAX_Y, max(0, math.floor(fy(p) + 0.5)))
            if not pts or pts[-1] != (x, y):
                pts.append((x, y))
        if len(pts) == 1:
            x, y = pts[0]
            pts = [(x, y), (x, y + 1)] if y < MAX_Y else [(x, y - 1), (x, y)]
        out.append(pts)
    return out


def _from_hershey(strokes):
    return _snap(strokes, lambda p: 3 + p[0] * 0.3, lambda p: BASE + (9 - p[1]) * 9 / 21)


def _map(strokes, fx, fy):
    return _snap(strokes, lambda p: fx(p[0]), lambda p: fy(p[1]))


def _squeeze_cap(strokes, top):
    """A capital squeezed from 2..11 into 2..TOP to make room for an accent."""
    return _map(strokes, lambda x: x, lambda y: BASE + (y - BASE) * (top - BASE) / (MAX_Y - BASE))


def _superscript(strokes):
    return _map(strokes, lambda x: 1.5 + x * 0.5, lambda y: 6.5 + (y - BASE) * 0.5)


def _accent(kind, low):
    """Accent strokes whose lowest row is LOW."""
    hi = low + 1
    return {
        "grave": [[(2, hi), (3, low)]],
        "acute": [[(3, low), (4, hi)]],
        "circ": [[(2, low), (3, hi), (4, low)]],
        "tilde": [[(1, low), (2, hi), (4, low), (5, hi)]],
        "diaer": [[(2, low), (2, hi)], [(4, low), (4, hi)]],
        "ring": [[(3, low - 1), (2, low), (3, hi), (4, low), (3, low - 1)]],
    }[kind]


CEDILLA = [[(3, 2), (3, 1), (2, 0)]]

# Hand-drawn glyphs, strokes of (x, y).
HAND = {
    33: [[(3, 2), (3, 3)], [(3, 6), (3, 11)]],  # !
    94: [[(1, 8), (3, 11), (5, 8)]],  # ^ (Hershey has an arrow here)
    96: [[(2, 11), (3, 9)]],  # ` (Hershey's rounds to an upright tick)
    128: [[(5, 10), (4, 11), (2, 11), (1, 9), (1, 4), (2, 2), (4, 2), (5, 3)],
          [(0, 7), (4, 7)], [(0, 5), (4, 5)]],  # euro
    161: [[(3, 10), (3, 11)], [(3, 2), (3, 7)]],
    162: [[(5, 7), (4, 8), (2, 8), (1, 7), (1, 4), (2, 3), (4, 3), (5, 4)], [(3, 1), (3, 10)]],
    163: [[(5, 10), (4, 11), (3, 11), (2, 10), (2, 3), (1, 2)], [(1, 2), (5, 2)],
          [(1, 6), (4, 6)]],
    164: [[(2, 4), (4, 4), (5, 5), (5, 7), (4, 8), (2, 8), (1, 7), (1, 5), (2, 4)],
          [(1, 5), (0, 4)], [(5, 5), (6, 4)], [(5, 7), (6, 8)], [(1, 7), (0, 8)]],
    165: [[(1, 11), (3, 7), (5, 11)], [(3, 7), (3, 2)], [(1, 6), (5, 6)], [(1, 4), (5, 4)]],
    166: [[(3, 2), (3, 5)], [(3, 8), (3, 11)]],
    167: [[(5, 10), (4, 11), (2, 11), (1, 10), (1, 9), (2, 8), (4, 7), (5, 6), (5, 5), (4, 4)],
          [(2, 8), (1, 7), (1, 6), (2, 5), (4, 4), (5, 3), (5, 2), (4, 1), (2, 1), (1, 2)]],
    168: [[(2, 10), (2, 11)], [(4, 10), (4, 11)]],
    169: [[(2, 3), (4, 3), (6, 5), (6, 8), (4, 10), (2, 10), (0, 8), (0, 5), (2, 3)],
          [(4, 7), (3, 8), (2, 7), (2, 6), (3, 5), (4, 6)]],
    170: [[(4, 10), (2, 10), (1, 9), (1, 8), (2, 7), (4, 7), (4, 10)], [(1, 5), (4, 5)]],
    171: [[(3, 8), (1, 6), (3, 4)], [(5, 8), (3, 6), (5, 4)]],
    172: [[(1, 7), (5, 7), (5, 5)]],
    173: [[(1, 6), (5, 6)]],
    174: [[(2, 3), (4, 3), (6, 5), (6, 8), (4, 10), (2, 10), (0, 8), (0, 5), (2, 3)],
          [(2, 5), (2, 8), (4, 8), (4, 7), (2, 6)], [(3, 6), (4, 5)]],
    175: [[(1, 11), (5, 11)]],
    176: [[(3, 8), (2, 9), (2, 10), (3, 11), (4, 10), (4, 9), (3, 8)]],
    177: [[(3, 5), (3, 10)], [(1, 8), (5, 8)], [(1, 3), (5, 3)]],
    180: [[(3, 10), (4, 11)]],
    181: [[(1, 0), (1, 8)], [(1, 4), (2, 2), (4, 2), (5, 4)], [(5, 8), (5, 2)]],
    182: [[(5, 11), (5, 1)], [(3, 11), (3, 1)], [(5, 11), (2, 11), (1, 10), (1, 8), (2, 7),
                                                 (3, 7)]],
    183: [[(3, 6), (3, 7)]],
    184: [[(3, 2), (3, 1), (2, 0)]],
    186: [[(2, 7), (1, 8), (1, 9), (2, 10), (3, 10), (4, 9), (4, 8), (3, 7), (2, 7)],
          [(1, 5), (4, 5)]],
    187: [[(1, 8), (3, 6), (1, 4)], [(3, 8), (5, 6), (3, 4)]],
    198: [[(0, 2), (3, 11), (6, 11)], [(3, 11), (3, 2), (6, 2)], [(1, 5), (3, 5)],
          [(3, 7), (5, 7)]],
    208: [[(1, 2), (1, 11), (3, 11), (5, 9), (5, 4), (3, 2), (1, 2)], [(0, 7), (3, 7)]],
    215: [[(1, 4), (5, 8)], [(1, 8), (5, 4)]],
    222: [[(1, 2), (1, 11)], [(1, 9), (4, 9), (5, 8), (5, 6), (4, 5), (1, 5)]],
    223: [[(1, 2), (1, 10), (2, 11), (4, 11), (5, 10), (5, 9), (3, 7), (5, 5), (5, 3), (4, 2),
           (3, 2)]],
    230: [[(0, 7), (2, 8), (3, 7), (3, 3), (2, 2), (1, 2), (0, 3), (0, 4), (1, 5), (3, 5)],
          [(3, 5), (6, 5), (6, 7), (5, 8), (4, 8), (3, 7)], [(3, 3), (4, 2), (6, 2)]],
    240: [[(2, 10), (4, 9), (5, 7), (5, 4), (4, 2), (2, 2), (1, 3), (1, 6), (2, 7), (4, 7),
           (5, 6)], [(2, 8), (4, 10)]],
    247: [[(1, 6), (5, 6)], [(3, 8), (3, 9)], [(3, 3), (3, 4)]],
    254: [[(1, 11), (1, 0)], [(1, 7), (2, 8), (4, 8), (5, 7), (5, 3), (4, 2), (2, 2), (1, 3)]],
}

DOTLESS_I = [[(3, 2), (3, 8)]]

# Accented letters: code -> (base letter, accent); capitals are squeezed.
ACCENTS = ["grave", "acute", "circ", "tilde", "diaer", "ring"]
COMPOSED = {}
for i, acc in enumerate(ACCENTS):
    COMPOSED[192 + i] = ("A", acc)
    COMPOSED[224 + i] = ("a", acc)
for i, acc in enumerate(["grave", "acute", "circ", "diaer"]):
    COMPOSED[200 + i] = ("E", acc)
    COMPOSED[232 + i] = ("e", acc)
    COMPOSED[204 + i] = ("I", acc)
    COMPOSED[236 + i] = ("dotless i", acc)
    COMPOSED[217 + i] = ("U", acc)
    COMPOSED[249 + i] = ("u", acc)
for i, acc in enumerate(["grave", "acute", "circ", "tilde", "diaer"]):
    COMPOSED[210 + i] = ("O", acc)
    COMPOSED[242 + i] = ("o", acc)
COMPOSED[209] = ("N", "tilde")
COMPOSED[241] = ("n", "tilde")
COMPOSED[221] = ("Y", "acute")
COMPOSED[253] = ("y", "acute")
COMPOSED[255] = ("y", "diaer")
COMPOSED[199] = ("C", "cedilla")
COMPOSED[231] = ("c", "cedilla")
COMPOSED[216] = ("O", "slash")
COMPOSED[248] = ("o", "slash")


def _encode(strokes):
    return "u".join("".join(ALPHABET[x] + ALPHABET[y] for x, y in s) for s in strokes)


def build_standard_font(name):
    hershey = _read_jhf(HERSHEY)
    assert len(hershey) >= 95
    ascii_glyphs = {32 + i: _from_hershey(hershey[i]) for i in range(95)}
    glyphs = {}
    for code in range(33, 127):
        glyphs[code] = HAND.get(code) or ascii_glyphs[code]
    glyphs[128] = HAND[128]

    def base(letter):
        return DOTLESS_I if letter == "dotless i" else glyphs[ord(letter)]

    for code in range(161, 256):
        if code in HAND:
            glyphs[code] = HAND[code]
            continue
        if code in (178, 179, 185):
            glyphs[code] = _superscript(glyphs[{178: 50, 179: 51, 185: 49}[code]])
            continue
        if code in (188, 189, 190):
            top = _superscript(glyphs[{188: 49, 189: 49, 190: 51}[code]])
            top = _map(top, lambda x: x - 1.5, lambda y: y)
            low = _map(glyphs[{188: 52, 189: 50, 190: 52}[code]], lambda x: 3 + x * 0.5,
                       lambda y: 2 + (y - 2) * 0.5)
            glyphs[code] = top + [[(0, 2), (6, 11)]] + low
            continue
        if code == 191:
            glyphs[code] = _map(glyphs[63], lambda x: 6 - x, lambda y: 13 - y)
            continue
        letter, acc = COMPOSED[code]
        strokes = base(letter)
        capital = letter.isupper() and len(letter) == 1
        if acc == "cedilla":
            glyphs[code] = strokes + CEDILLA
        elif acc == "slash":
            glyphs[code] = strokes + [[(1, 1), (5, 10 if capital else 8)]]
        elif capital:
            top = 8 if acc == "ring" else 9
            glyphs[code] = _squeeze_cap(strokes, top) + _accent(acc, 10)
        else:
            glyphs[code] = strokes + _accent(acc, 10 if acc == "ring" else 9)

    codes = [(c, None) for c in range(33, 127)] + [(128, None)] + \
            [(c, None) for c in range(161, 256)]
    streams = [_encode(glyphs[c]) for c, _ in codes]
    return BuiltFont.from_glyphs(name, codes, streams, "u")
