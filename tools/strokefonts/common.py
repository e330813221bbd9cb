"""Limits of the stroke-font format and the assembly of a font's tables."""

ALPHABET = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst"
MAX_POINTS = 100      # points of one stroke in the built-in fonts
STREAM_LIMIT = 17000  # characters of one stream


class BuiltFont:
    def __init__(self, name, stream, lower, upper):
        self.name, self.stream, self.lower, self.upper = name, stream, lower, upper

    @staticmethod
    def from_glyphs(name, glyph_codes, glyphs, separator):
        """glyph_codes: (character code, source) in stream order, lower codes
        (33-126, then 128 when present) before upper codes (161-255)."""
        stream = ""
        lower, upper = [], []
        for (code, _), glyph in zip(glyph_codes, glyphs):
            (upper if code >= 161 else lower).append(len(stream) + 1)
            stream += glyph
        lower.append(len(stream) + 1 - sum(len(g) for (c, _), g in zip(glyph_codes, glyphs)
                                          if c >= 161))
        upper.append(len(stream) + 1)
        assert len(stream) <= STREAM_LIMIT, (name, len(stream))
        for (code, _), glyph in zip(glyph_codes, glyphs):
            assert glyph, (name, code)
            for stroke in glyph.split(separator):
                assert 4 <= len(stroke) <= 2 * MAX_POINTS and len(stroke) % 2 == 0, (name, code)
                assert all(c in ALPHABET for c in stroke), (name, code)
        return BuiltFont(name, stream, lower, upper)
