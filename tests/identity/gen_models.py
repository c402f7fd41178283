#!/usr/bin/env python3
"""Writes the models of the byte-identity test: a fixed, seeded set of model line files.

    gen_models.py OUT_DIR        writes the files into OUT_DIR and prints how many

The set is the same on every machine and every Python 3 version: the random numbers come from
our own splitmix64 generator (not the `random` module, whose algorithms may change), every
number is written from integers (no float formatting), and nothing depends on the time, the
environment or the file system. Changing anything here changes the models, and then
expected.txt must be regenerated (identity_test.sh checks a digest of the whole set first).

What is written (names sort in the order the test runs them):

  mNNNN.txt   MODEL_COUNT model line files, one model line a line, as `import` and `results`
              take them: clean beams in every unit system, beams with warnings, format errors,
              data errors, unstable beams (mechanisms, vanishing or huge stiffness, huge loads,
              results beyond the range of a double), empty and degenerate files, whitespace
              oddities, and a few beams of 100 to 300 spans.
  oNNN.spn    files in the older plain-text format with fixed columns (for `convert`).
  bNN.spn     hand-made files in the current binary format: every length-prefix form, 2-byte
              strings, damaged and truncated files.
"""
import os
import struct
import sys

SEED = 0x5EED_2024_0611
MODEL_COUNT = 1000
OLD_COUNT = 40

MASK = (1 << 64) - 1


class Rng:
    """splitmix64: small, fast and fully specified, so the models never change by accident."""

    def __init__(self, seed):
        self.state = seed & MASK

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
        return z ^ (z >> 31)

    def below(self, n):
        return self.next() % n

    def int(self, lo, hi):
        return lo + self.below(hi - lo + 1)

    def pct(self, p):
        return self.below(100) < p

    def pick(self, seq):
        return seq[self.below(len(seq))]

    def shuffle(self, items):
        for i in range(len(items) - 1, 0, -1):
            j = self.below(i + 1)
            items[i], items[j] = items[j], items[i]

    def weighted(self, pairs):
        total = sum(w for _, w in pairs)
        x = self.below(total)
        for value, w in pairs:
            if x < w:
                return value
            x -= w
        raise AssertionError


# ---------------------------------------------------------------------------------------------
# Numbers as text. A value is an integer m and a count of decimals d: m * 10**-d.

def plain(m, d):
    """The shortest plain decimal text of m * 10**-d."""
    s = str(abs(m))
    if d > 0:
        s = s.rjust(d + 1, "0")
        whole, frac = s[:-d], s[-d:].rstrip("0")
        s = whole + ("." + frac if frac else "")
    return ("-" if m < 0 else "") + s


def exponent_text(r, e):
    return r.pick([str(e), "%+d" % e, "%+03d" % e, "%03d" % e if e >= 0 else str(e)])


# Zero is valid only when the text starts with the digit 0.
ZERO_FORMS = ["0", "0.0", "0e3", "0.000", "00", "0E-2", "0.", "0e0", "000.0", "0e+00"]


def number(r, m, d, odd):
    """m * 10**-d in one of the textual forms the number syntax accepts; `odd` is the percent
    chance of a form other than the plain one. Every form reads back as the same double."""
    if m == 0:
        return r.pick(ZERO_FORMS) if r.pct(odd) else "0"
    text = plain(m, d)
    if not r.pct(odd):
        return text
    neg = m < 0
    mag = text.lstrip("-")
    kind = r.below(8)
    if kind == 0:  # trailing zeros: 12.500
        mag = mag + ("" if "." in mag else ".") + "0" * r.int(1, 4)
    elif kind in (1, 2):  # scientific: 1.25e1, 125E-1
        digits, e = str(abs(m)), -d
        while len(digits) > 1 and digits.endswith("0"):
            digits, e = digits[:-1], e + 1
        if kind == 1:
            mantissa = digits[0] + ("." + digits[1:] if len(digits) > 1 else "")
            mag = mantissa + r.pick("eE") + exponent_text(r, e + len(digits) - 1)
        else:
            mag = digits + r.pick("eE") + exponent_text(r, e)
    elif kind == 3:  # explicit plus sign
        if not neg:
            return "+" + mag
        mag = mag + ("" if "." in mag else ".")
    elif kind == 4:  # leading zeros
        mag = "0" * r.int(1, 3) + mag
    elif kind == 5:  # .5 or 12.
        if mag.startswith("0."):
            mag = mag[1:]
        elif "." not in mag:
            mag = mag + "."
        else:
            mag = mag + "0"
    elif kind == 6:  # blanks and tabs around the number (SplitLine trims them)
        return r.pick([" ", "\t", "  ", " \t"]) + text + r.pick(["", " ", "\t", "  "])
    else:  # a zero exponent
        mag = mag + r.pick(["e0", "E+00", "e-0", "E0"])
    return ("-" if neg else "") + mag


# Texts that are not valid numbers, for the value errors F11 to F23.
INVALID_NUMBERS = [
    "-0", "+0", ".0", "", "-0.0", "0x10", "1,5", "12 kips", "5 ft", "abc", "1e999", "-1e400",
    "1e-400", "inf", "nan", "Infinity", "5e", "1.2.3", "--5", "1 2", "+-3", "1e", "e5", ".",
    "-", "+", "0.5.", "1_000", "\xc2\xbd", "12;", "2*3", "(4)", "0b101", "1e+", "1d3",
]

# Valid but extreme numbers.
EXTREME_NUMBERS = [
    "4.9e-324", "2.2250738585072014e-308", "1e-300", "1e300", "1.7976931348623157e308",
    "1e-12", "1e15", "123456789012345678901234567890", "0.000000000000000000001",
    "3.141592653589793238462643383279", "1e308", "-1e308", "9.999999999999999e22",
]


# ---------------------------------------------------------------------------------------------
# Units profiles: ranges as integers with a count of decimals.

class Profile:
    def __init__(self, name, pos_d, span, step, E, I, P, M, W, V, R, disp, rot):
        self.name, self.pos_d, self.span, self.step = name, pos_d, span, step
        self.E, self.I, self.P, self.M, self.W = E, I, P, M, W
        self.V, self.R, self.disp, self.rot = V, R, disp, rot


# (lo, hi, decimals) triples; E is a list of (m, d) choices.
PROFILES = {
    "English": Profile("English", 2, (600, 4000), 50,
                       [(29000, 0), (1800, 0), (1600, 0), (3600, 0), (4000, 0), (10000, 0)],
                       (10, 3000, 0), (5, 400, 1), (10, 1200, 1), (5, 300, 2), (1, 500, 0),
                       (100, 1000000, 0), (1, 100, 2), (1, 100, 4)),
    "Metric": Profile("Metric", 3, (1000, 15000), 100,
                      [(210000, 0), (200000, 0), (11000, 0), (30000, 0), (70000, 0), (12000, 0)],
                      (50, 200000, 0), (5, 2000, 1), (10, 3000, 1), (5, 500, 1), (1, 2000, 1),
                      (1000, 100000000, 0), (1, 500, 1), (1, 100, 4)),
    "ConsistentNmm": Profile("Consistent", 0, (1000, 12000), 250,
                             [(210000, 0), (70000, 0), (30000, 0)],
                             (1000000, 800000000, 0), (100, 100000, 0), (10000, 100000000, 0),
                             (1, 1000, 1), (10, 100000, 0), (1000000, 1000000000000, 0),
                             (1, 500, 1), (1, 100, 4)),
    "ConsistentKipIn": Profile("Consistent", 1, (720, 4800), 30, [(29000, 0), (10000, 0)],
                               (50, 3000, 0), (5, 500, 1), (10, 1000, 0), (1, 300, 3),
                               (1, 500, 0), (1000, 10000000, 0), (1, 100, 2), (1, 100, 4)),
}


def ranged(r, triple, sign=1):
    lo, hi, d = triple
    return sign * r.int(lo, hi), d


# ---------------------------------------------------------------------------------------------
# Model lines. A data line is kept as a section, a list of [key, value text] and a comment
# until it is written, so that the error injections can change one part of it.

class Line:
    def __init__(self, section, fields, comment=None, x=None):
        self.section = section
        self.fields = [list(f) for f in fields]
        self.comment = comment
        self.x = x  # position in grid units, for ordering


COMMENTS = [
    "left wall", "pinned splice", "expected settlement", "W16x36", "IPE 200", "drifted snow",
    "dead + live", "elastomeric bearing", "edge load", "parapet", "glulam 140x400",
    "comment with ; and = signs", "x = 5; y = 6;", "", " ", "\tta\tbs",
    "Tr\xc3\xa4ger \xc3\xbcber St\xc3\xbctze", "caf\xe9 latin-1", "/double slash",
    "a very long comment " + "that goes on " * 12, "trailing blanks   ", "equipment",
    "heavy machine 12 t",
]

DESCRIPTIONS = [
    "Two-span floor beam", "Balcony cantilever", "Continuous purlin over four supports",
    "Crane runway girder", "Timber joist with a notch", "Bridge deck strip", "",
    "Test beam \xc3\xa9\xc3\xa8\xc3\xa0 \xe2\x82\xac", "Latin-1 bytes: \xe9\xe8\xff\xfe",
    "\ttabbed description", "Description with = and ; and : signs: X = 5;",
    "Long description " + "words " * 30, "    indented", "Roof beam, gable end",
    "Generated model for the byte-identity test",
]


def section_style(r):
    return r.weighted([("std", 70), ("tabs", 6), ("wide", 6), ("tight", 6), ("trail", 6),
                       ("mixed", 6)])


def render_field(r, style, key, value):
    if style == "mixed":
        style = r.pick(["std", "tabs", "wide", "tight"])
    if style == "tabs":
        return "\t%s\t=\t%s;" % (key, value)
    if style == "wide":
        return "  %s  =  %s ;" % (key, value)
    if style == "tight":
        return "%s =%s;" % (key, value)
    return " %s = %s;" % (key, value)


def render(r, line, style):
    if isinstance(line, str):
        return line
    text = line.section + ":"
    for key, value in line.fields:
        if key is None:  # a raw field text (error injections)
            text += value
        else:
            text += render_field(r, style, key, value)
    if line.comment is not None:
        text += " /" + line.comment
    if style == "trail" and r.pct(50):
        text += r.pick([" ", "\t", "   ", " \t "])
    return text


# ---------------------------------------------------------------------------------------------
# A beam: spans, supports, springs, properties, hinges and loads on an integer grid.

class Beam:
    def __init__(self, r, profile, odd):
        self.r = r
        self.p = profile
        self.odd = odd
        self.lines = []

    def pos(self, x):
        return number(self.r, x, self.p.pos_d, self.odd)

    def val(self, triple, sign=1):
        m, d = ranged(self.r, triple, sign)
        return number(self.r, m, d, self.odd)

    def comment(self):
        return self.r.pick(COMMENTS) if self.r.pct(12) else None

    def prop(self, x, stiff=None):
        E = stiff[0] if stiff else number(self.r, *self.r.pick(self.p.E), self.odd)
        I = stiff[1] if stiff else self.val(self.p.I)
        return Line("Member Property", [("X", self.pos(x)), ("E", E), ("I", I)], self.comment(), x)

    def support(self, x, disp="0", rot=None, rot_first=False):
        fields = [("X", self.pos(x))]
        if rot_first:
            fields.append(("Rotation", rot))
            if disp is not None:
                fields.append(("Disp", disp))  # not read: "Disp" counts in field 2 only
        else:
            if disp is not None:
                fields.append(("Disp", disp))
            if rot is not None:
                fields.append(("Rotation", rot))
        return Line("Support", fields, self.comment(), x)

    def spring(self, x, v=None, rs=None, r_first=False):
        fields = [("X", self.pos(x))]
        pair = [("VSpring", v)] if v is not None else []
        if rs is not None:
            pair = ([("RSpring", rs)] + pair) if r_first else (pair + [("RSpring", rs)])
        return Line("Spring", fields + pair, self.comment(), x)

    def point(self, x, p=None, m=None, m_first=False):
        fields = [("X", self.pos(x))]
        pair = [("PLoad", p)] if p is not None else []
        if m is not None:
            pair = ([("Moment", m)] + pair) if m_first else (pair + [("Moment", m)])
        return Line("Point Load", fields + pair, self.comment(), x)

    def uniform(self, a, b, ua, ub):
        return Line("Uniform Load", [("XStart", self.pos(a)), ("XEnd", self.pos(b)),
                                     ("UStart", ua), ("UEnd", ub)], self.comment(), min(a, b))

    def release(self, x):
        return Line("Moment Release", [("X", self.pos(x))], self.comment(), x)


def signed(r, beam, triple, down_pct=80):
    return beam.val(triple, -1 if r.pct(down_pct) else 1)


def units_lines(r, mode, profile):
    """The Units line(s) for a model, as (lines before the data, lines to mix into the data)."""
    form = r.pick(["Units:%s;", "Units:%s;", "Units: %s;", "Units:%s; /system", "Units:\t%s\t;"])
    if mode in ("English", "Metric"):
        return [form % mode], []
    if mode == "Consistent":
        return [form % "Consistent"], []
    if mode == "none":
        return [], []
    if mode == "UserDefined":
        return [form % "User Defined"], []
    # Several Units lines: the last one before a data line is the one that counts for it.
    first = r.pick(["Consistent", "Metric", "English"])
    return ["Units:%s;" % first], ["Units:%s;" % profile.name]


def build_beam(r, profile, odd, nspans, want_stable=True, loads=True):
    """A continuous beam over nspans spans with its properties, supports, springs, hinges and
    loads. Returns the Beam (lines in section order) and its length in grid units."""
    b = Beam(r, profile, odd)
    lo, hi = profile.span
    step = profile.step
    spans = [r.int(lo // step, hi // step) * step for _ in range(nspans)]
    left = r.int(1, lo // step) * step if r.pct(12) else 0
    right = r.int(1, lo // step) * step if r.pct(18) else 0
    supports_x = [left]
    for s in spans:
        supports_x.append(supports_x[-1] + s)
    length = supports_x[-1] + right
    if nspans == 1 and r.pct(30):  # a cantilever
        supports_x = [0]
        length = spans[0]
    props, sups, springs, rels, points, uniforms = [], [], [], [], [], []

    # Member properties: one at 0 and some more, with contrasting stiffness.
    props.append(b.prop(0))
    for _ in range(r.weighted([(0, 50), (1, 25), (2, 15), (3, 7), (5, 3)])):
        x = r.int(1, max(1, length - 1))
        if r.pct(30):
            x = r.pick(supports_x)
        if x == 0:
            continue
        if r.pct(25):  # a strong contrast: 1/1000 to 1000 times
            m, d = ranged(r, profile.I)
            factor = r.pick([1000, 100, 10])
            I = number(r, m * factor, d, odd) if r.pct(50) else number(r, max(1, m), d + 3, odd)
            props.append(b.prop(x, (number(r, *r.pick(profile.E), odd), I)))
        else:
            props.append(b.prop(x))
    seen = set()
    props = [p for p in props if not (p.x in seen or seen.add(p.x))]

    # Supports and springs.
    restraints_v, restraints_r = 0, 0
    for i, x in enumerate(supports_x):
        end = i == 0 or i == len(supports_x) - 1
        kind = r.weighted([("pin", 58), ("fixed", 14 if end else 3), ("spring", 8),
                           ("settle", 8), ("rotimp", 4), ("both", 4), ("springrot", 3)])
        if len(supports_x) == 1:
            kind = "fixed"
        if kind == "pin":
            sups.append(b.support(x))
            restraints_v += 1
        elif kind == "fixed":
            sups.append(b.support(x, "0", number(r, 0, 0, odd)))
            restraints_v += 1
            restraints_r += 1
        elif kind == "spring":
            sups_or = b.spring(x, b.val(profile.V), b.val(profile.R) if r.pct(30) else None,
                               r.pct(20))
            springs.append(sups_or)
            restraints_v += 1
        elif kind == "settle":
            sups.append(b.support(x, signed(r, b, profile.disp)))
            restraints_v += 1
        elif kind == "rotimp":
            sups.append(b.support(x, "0", signed(r, b, profile.rot, 50)))
            restraints_v += 1
            restraints_r += 1
        elif kind == "both":
            sups.append(b.support(x, signed(r, b, profile.disp), signed(r, b, profile.rot, 50)))
            restraints_v += 1
            restraints_r += 1
        else:
            sups.append(b.support(x))
            springs.append(b.spring(x, None, b.val(profile.R)))
            restraints_v += 1
            restraints_r += 1
    if r.pct(6) and len(supports_x) >= 2:  # a guided support: rotation only
        x = r.int(1, max(1, length - 1))
        if x not in supports_x:
            # "Disp" after "Rotation" is not read: the support still restrains only the rotation.
            sups.append(b.support(x, "0" if r.pct(50) else None, "0", rot_first=True))
            supports_x.append(x)
            restraints_r += 1
    if r.pct(15):  # an extra elastic bearing between supports
        x = r.int(1, max(1, length - 1))
        if x not in [s.x for s in springs]:
            kind = r.pick(["v", "r", "vr", "rv", "zero", "neg"])
            if kind == "v":
                springs.append(b.spring(x, b.val(profile.V)))
            elif kind == "r":
                springs.append(b.spring(x, None, b.val(profile.R)))
            elif kind in ("vr", "rv"):
                springs.append(b.spring(x, b.val(profile.V), b.val(profile.R), kind == "rv"))
            elif kind == "zero":
                springs.append(b.spring(x, number(r, 0, 0, odd), number(r, 0, 0, odd)))
            else:
                springs.append(b.spring(x, b.val(profile.V, -1)))

    # Hinges, inside spans, no more than the beam can take (mostly).
    redundancy = restraints_v + restraints_r - 2
    nrel = min(redundancy, r.weighted([(0, 60), (1, 28), (2, 12)]))
    if not want_stable:
        nrel = r.int(1, 2)
    span_ids = list(range(len(supports_x) - 1))
    r.shuffle(span_ids)
    for k in span_ids[:max(0, nrel)]:
        a, c = sorted(supports_x)[k], sorted(supports_x)[k + 1]
        if c - a >= 2:
            x = r.int(a + 1, c - 1)
            if r.pct(10):
                x = a if a > 0 else c  # over a support
            if 0 < x < length:
                rels.append(b.release(x))

    # Loads.
    if loads:
        for _ in range(r.weighted([(0, 12), (1, 28), (2, 25), (3, 18), (5, 12), (8, 5)])):
            x = r.int(0, length)
            if r.pct(20):
                x = r.pick(supports_x + [0, length] + [rl.x for rl in rels])
            kind = r.weighted([("p", 58), ("m", 14), ("pm", 14), ("mp", 5), ("p0", 4),
                               ("m0", 3), ("up", 2)])
            if kind == "p":
                points.append(b.point(x, signed(r, b, profile.P)))
            elif kind == "m":
                points.append(b.point(x, None, signed(r, b, profile.M, 50)))
            elif kind == "pm":
                points.append(b.point(x, signed(r, b, profile.P), signed(r, b, profile.M, 50)))
            elif kind == "mp":  # PLoad after Moment is not read
                points.append(b.point(x, signed(r, b, profile.P), signed(r, b, profile.M, 50),
                                      True))
            elif kind == "p0":
                points.append(b.point(x, number(r, 0, 0, odd)))
            elif kind == "m0":
                points.append(b.point(x, number(r, 0, 0, odd), number(r, 0, 0, odd)))
            else:
                points.append(b.point(x, b.val(profile.P)))
        for _ in range(r.weighted([(0, 25), (1, 40), (2, 22), (3, 10), (5, 3)])):
            kind = r.weighted([("full", 35), ("span", 20), ("part", 18), ("rev", 10),
                               ("zero", 5), ("tri", 8), ("beyond", 4)])
            w1 = signed(r, b, profile.W)
            w2 = w1 if r.pct(60) else signed(r, b, profile.W)
            if kind == "full":
                uniforms.append(b.uniform(0, length, w1, w1))
            elif kind == "span" and len(supports_x) >= 2:
                k = r.below(len(supports_x) - 1)
                xs = sorted(supports_x)
                uniforms.append(b.uniform(xs[k], xs[k + 1], w1, w2))
            elif kind == "rev":
                a, c = sorted([r.int(0, length), r.int(0, length)])
                uniforms.append(b.uniform(c, a, w1, w2))
            elif kind == "zero":
                a = r.int(0, length)
                uniforms.append(b.uniform(a, a, w1, w2))
            elif kind == "tri":
                a, c = sorted([r.int(0, length), r.int(0, length)])
                if r.pct(50):
                    uniforms.append(b.uniform(a, c, number(r, 0, 0, odd), w1))
                else:
                    uniforms.append(b.uniform(a, c, w1, number(r, 0, 0, odd)))
            elif kind == "beyond":  # a load beyond the last item lengthens the beam
                a = r.int(0, length)
                extra = r.int(1, max(1, lo // step)) * step
                uniforms.append(b.uniform(a, length + extra, w1, w2))
                length = length + extra
            else:
                a, c = sorted([r.int(0, length), r.int(0, length)])
                uniforms.append(b.uniform(a, c, w1, w2))

    b.lines = props + rels + sups + springs + points + uniforms
    b.sections = dict(props=props, rels=rels, sups=sups, springs=springs, points=points,
                      uniforms=uniforms)
    b.length = length
    b.supports_x = supports_x
    return b


def descriptions(r):
    out = []
    for _ in range(r.weighted([(0, 20), (1, 50), (2, 20), (3, 10)])):
        out.append("/" + r.pick(DESCRIPTIONS))
    return out


def pick_profile(r, mode):
    if mode in ("English", "Metric"):
        return PROFILES[mode]
    if mode == "multi":
        return PROFILES[r.pick(["English", "Metric"])]
    return PROFILES[r.pick(["ConsistentNmm", "ConsistentKipIn"])]


def assemble(r, beam_lines, units_mode, profile, style, shuffle=None):
    """The model's text lines: format line, descriptions, units, data lines."""
    before, mixed = units_lines(r, units_mode, profile)
    data = list(beam_lines)
    if shuffle is None:
        shuffle = r.pct(25)
    if shuffle:
        r.shuffle(data)
    if mixed:
        # The profile's Units line placed somewhere among the data lines: the lines before it
        # are read with the first system's factors.
        data.insert(r.int(0, min(2, len(data))), mixed[0])
    if r.pct(5) and data:  # a description line among the data lines
        data.insert(r.below(len(data) + 1), "/" + r.pick(DESCRIPTIONS))
    lines = ["File Format:3.0"] + descriptions(r) + before
    return lines + [render(r, ln, style) for ln in data]


def to_bytes(r, lines, ending=None):
    """Joins lines with LF (mostly) or CRLF; sometimes the last line has no line feed."""
    if ending is None:
        ending = r.weighted([("lf", 82), ("crlf", 12), ("nofinal", 4), ("crlf-nofinal", 2)])
    eol = "\r\n" if ending.startswith("crlf") else "\n"
    text = eol.join(lines)
    if not ending.endswith("nofinal"):
        text += eol
    return text.encode("latin-1")


# ---------------------------------------------------------------------------------------------
# Model kinds.

UNITS_MODES = [("English", 34), ("Metric", 30), ("Consistent", 14), ("none", 10),
               ("multi", 8), ("UserDefined", 4)]


def odd_level(r):
    return r.weighted([(0, 40), (10, 30), (35, 20), (80, 10)])


def kind_clean(r):
    mode = r.weighted(UNITS_MODES)
    profile = pick_profile(r, mode)
    odd = odd_level(r)
    nspans = r.weighted([(1, 22), (2, 28), (3, 22), (4, 12), (5, 8), (7, 5), (10, 3)])
    beam = build_beam(r, profile, odd, nspans)
    return to_bytes(r, assemble(r, beam.lines, mode, profile, section_style(r)))


def kind_warnings(r):
    mode = r.weighted(UNITS_MODES[:4])
    profile = pick_profile(r, mode)
    odd = odd_level(r)
    beam = build_beam(r, profile, odd, r.int(1, 4))
    extra = []
    for _ in range(r.int(1, 3)):
        what = r.pick(["W1", "W1", "W1x3", "W2", "W2rev", "W2same"])
        if what.startswith("W1"):
            x = r.int(0, beam.length)
            for _ in range(3 if what == "W1x3" else 2):
                # Different texts of the same number are the same position.
                extra.append(Line("Point Load", [("X", number(r, x, profile.pos_d, 60)),
                                                 ("PLoad", signed(r, beam, profile.P))]))
        else:
            a, c = sorted([r.int(0, beam.length), r.int(0, beam.length)])
            w = signed(r, beam, profile.W)
            extra.append(beam.uniform(a, c, w, w))
            if what == "W2rev":
                extra.append(beam.uniform(c, a, w, signed(r, beam, profile.W)))
            elif what == "W2same":
                extra.append(Line("Uniform Load", [("XStart", number(r, a, profile.pos_d, 90)),
                                                   ("XEnd", number(r, c, profile.pos_d, 90)),
                                                   ("UStart", w), ("UEnd", w)]))
            else:
                extra.append(beam.uniform(a, c, signed(r, beam, profile.W), w))
    return to_bytes(r, assemble(r, beam.lines + extra, mode, profile, section_style(r)))


WRONG_KEYS = ["x", "XS", "Disp.", "EI", "Rot", "K", "P", "M", "Load", "Xstart", "xend", "U",
              "X1", "DISP", "rotation", "Vspring", "Pload", "moment", "E ", "I I"]
BAD_SECTIONS = ["", "Supports: X = 1; Disp = 0;", "support: X = 1; Disp = 0;",
                " Support: X = 1; Disp = 0;", "Support : X = 1; Disp = 0;",
                "Point load: X = 1; PLoad = 5;", "Beam: L = 10;", "Support X = 0; Disp = 0;",
                "   ", "\t", ";;;;", "Member Properties: X = 0; E = 1; I = 1;", "Units English;",
                "Hinge: X = 3;", "UNIFORM LOAD: XStart = 0; XEnd = 1; UStart = 1; UEnd = 1;",
                ":", "File Format:3.0", "\x00\x01\x02", "Moment release: X = 2;",
                "Spring:X = 1;VSpring = 5;", "=", "Member Property X = 0; E = 1; I = 1;"]
BAD_FIRST = ["File Format: 3.0", "File Format:3.00", "file format:3.0", "File Format:3.0 ", "",
             "File Format:2.0", "FILE FORMAT:3.0", " File Format:3.0", "File Format:3.0;",
             "File Format:3.0\r", "Spanlab File Version = 3.0", "/File Format:3.0"]
BAD_UNITS = ["Units:english;", "Units:User Defined;", "Units:Metric", "Units:SI;", "Units:;",
             "Units: English", "Units:Imperial;", "Units:metric;", "Units:", "Units:Eng lish;",
             "Units: Metric, English;", "Units:CONSISTENT;"]


def inject_format_error(r, beam):
    """Changes the model so that the format check reports one or more errors."""
    data = [ln for ln in beam.lines if isinstance(ln, Line)]
    what = r.weighted([("first", 10), ("section", 16), ("units", 8), ("key", 22),
                       ("value", 30), ("nosemi", 6), ("comment-cut", 4), ("blank", 4)])
    if what == "first":
        if r.pct(25):
            return "drop-first"
        return ("first", r.pick(BAD_FIRST))
    if what == "section":
        return ("insert", r.pick(BAD_SECTIONS))
    if what == "units":
        return ("insert", r.pick(BAD_UNITS))
    if what == "blank":
        return ("insert", r.pick(["", " ", "\t", "\r"]))
    if not data:
        return ("insert", r.pick(BAD_SECTIONS))
    ln = r.pick(data)
    if what == "key":
        i = r.below(len(ln.fields))
        how = r.pick(["wrong", "wrong", "nospace", "drop", "empty", "colon"])
        key, value = ln.fields[i]
        if how == "wrong":
            ln.fields[i] = [r.pick(WRONG_KEYS), value]
        elif how == "nospace":  # X=5: the character before "=" is dropped with the blank
            ln.fields[i] = [None, " %s=%s;" % (key, value)]
        elif how == "drop":  # a required field missing
            del ln.fields[i]
        elif how == "empty":
            ln.fields[i] = [None, " ;"]
        else:
            ln.fields[i] = [None, " %s : %s;" % (key, value)]
    elif what == "value":
        i = r.below(len(ln.fields))
        ln.fields[i] = [ln.fields[i][0], r.pick(INVALID_NUMBERS)]
    elif what == "nosemi":  # the last field loses its ";" and with it the field
        key, value = ln.fields[-1]
        ln.fields[-1] = [None, " %s = %s" % (key, value)]
    else:  # a "/" inside the line cuts off the fields after it
        i = r.below(len(ln.fields))
        ln.fields.insert(i, [None, " /cut"])
    return None


def kind_format_errors(r):
    mode = r.weighted(UNITS_MODES)
    profile = pick_profile(r, mode)
    odd = odd_level(r)
    beam = build_beam(r, profile, odd, r.int(1, 4))
    count = r.weighted([(1, 60), (2, 25), (3, 10), (6, 5)])
    actions = [inject_format_error(r, beam) for _ in range(count)]
    lines = assemble(r, beam.lines, mode, profile, section_style(r))
    for act in actions:
        if act == "drop-first":
            lines = lines[1:]
        elif act and act[0] == "first":
            lines[0] = act[1]
        elif act and act[0] == "insert":
            lines.insert(r.int(1, len(lines)), act[1])
    if r.pct(6):
        lines.append("")  # an empty last line: F3 with nothing after the colon
    return to_bytes(r, lines)


def kind_data_errors(r):
    mode = r.weighted(UNITS_MODES[:5])
    profile = pick_profile(r, mode)
    odd = odd_level(r)
    beam = build_beam(r, profile, odd, r.int(1, 4))
    s = beam.sections
    L = beam.length
    pos = beam.pos
    extra = []
    for _ in range(r.weighted([(1, 55), (2, 25), (3, 15), (5, 5)])):
        what = r.pick(["D1", "D2", "D3", "D4", "D5", "D6", "D6x3", "D7", "D8", "D9", "D9neg",
                       "D10a", "D10b", "D11", "D12", "D13", "D14", "D15", "D16", "D16b"])
        if what == "D1":  # everything at 0
            beam.lines = [beam.prop(0), beam.support(0), beam.point(0, signed(r, beam, profile.P))]
            s = dict(props=[beam.lines[0]], rels=[], sups=[beam.lines[1]], springs=[],
                     points=[beam.lines[2]], uniforms=[])
            extra = []
        elif what == "D2":
            for p in s["props"]:
                if p.x == 0:
                    p.fields[0][1] = pos(r.int(1, max(1, L)))
        elif what == "D3":
            extra.append(beam.prop(-r.int(1, max(1, L // 3))))
        elif what == "D4":
            x = r.pick([p.x for p in s["props"]])
            extra.append(Line("Member Property", [("X", number(r, x, profile.pos_d, 70)),
                                                  ("E", "1"), ("I", "1")]))
        elif what in ("D5", "D9neg"):
            extra.append(beam.support(-r.int(1, max(1, L // 3))))
            if what == "D9neg":
                for sp in s["sups"] + s["springs"]:
                    if sp in beam.lines:
                        beam.lines.remove(sp)
        elif what in ("D6", "D6x3"):
            if s["sups"]:
                x = r.pick(s["sups"]).x
                for _ in range(2 if what == "D6x3" else 1):
                    extra.append(Line("Support", [("X", number(r, x, profile.pos_d, 70)),
                                                  ("Disp", "0")]))
        elif what == "D7":
            extra.append(beam.spring(-r.int(1, max(1, L // 3)), beam.val(profile.V)))
        elif what == "D8":
            x = r.int(0, L)
            extra.append(beam.spring(x, beam.val(profile.V)))
            extra.append(Line("Spring", [("X", number(r, x, profile.pos_d, 70)),
                                         ("RSpring", beam.val(profile.R))]))
        elif what == "D9":
            for sp in s["sups"] + s["springs"]:
                if sp in beam.lines:
                    beam.lines.remove(sp)
        elif what == "D10a":
            extra.append(beam.release(0))
        elif what == "D10b":
            extra.append(beam.release(L))
        elif what == "D11":
            extra.append(beam.release(-r.int(1, max(1, L // 3))))
        elif what == "D12":
            x = r.int(1, max(1, L - 1))
            extra.append(beam.release(x))
            extra.append(Line("Moment Release", [("X", number(r, x, profile.pos_d, 80))]))
        elif what == "D13":
            extra.append(beam.point(-r.int(1, max(1, L // 3)), signed(r, beam, profile.P)))
        elif what == "D14":
            extra.append(beam.uniform(-r.int(1, max(1, L // 3)), L, "-1", "-1"))
        elif what == "D15":
            extra.append(beam.uniform(0, -r.int(1, max(1, L // 3)), "-1", "-2"))
        elif what == "D16":  # too large once converted to the internal units
            extra.append(Line("Support", [("X", r.pick(["1.5e307", "1.7e308", "1e308"])),
                                          ("Disp", "0")]))
        else:
            extra.append(Line("Point Load", [("X", pos(r.int(0, L))),
                                             ("Moment", r.pick(["1.7e308", "-1.5e307"]))]))
    return to_bytes(r, assemble(r, beam.lines + extra, mode, profile, section_style(r)))


def loads_of_size(r, beam, profile, size):
    """Point loads that are tiny, ordinary or huge."""
    out = []
    for _ in range(r.int(1, 3)):
        x = r.int(0, beam.length)
        if size == "small":
            p = r.pick(["-1e-6", "-0.001", "1e-9", "-4.9e-324"])
        elif size == "large":
            p = r.pick(["-1e9", "-5e12", "1e15", "-1e100", "-1.5e300"])
        else:
            p = signed(r, beam, profile.P)
        out.append(beam.point(x, p))
    return out


def kind_unstable(r):
    mode = r.weighted(UNITS_MODES[:4])
    profile = pick_profile(r, mode)
    odd = odd_level(r)
    size = r.pick(["small", "normal", "normal", "large"])
    what = r.pick(["hinge-simple", "single-pin", "hinge-cantilever", "restrained-at-end",
                   "rotation-only", "soft-springs", "zero-stiffness", "negative-e",
                   "huge-loads", "two-hinges", "rspring-only", "overflow", "near-duplicate",
                   "hinge-over-support", "no-loads"])
    b = Beam(r, profile, odd)
    lo, hi = profile.span
    step = profile.step
    L = r.int(lo // step, hi // step) * step
    lines = [b.prop(0)]
    loads = True
    if what == "hinge-simple":  # a hinge between two pin supports
        lines += [b.support(0), b.support(L), b.release(r.int(1, L - 1))]
    elif what == "single-pin":
        lines += [b.support(r.pick([0, L // 2, L]))]
        lines += [b.support(L // 3, None, "0", True)] if r.pct(20) else []
        lines.append(b.point(L if r.pct(50) else 0, signed(r, b, profile.P)))
    elif what == "hinge-cantilever":  # a free hinge beyond a fixed end
        lines += [b.support(0, "0", "0"), b.release(r.int(1, L - 1))]
        lines.append(b.point(L, signed(r, b, profile.P)))
    elif what == "restrained-at-end":
        lines += [b.support(L, "0", "0"), b.release(L // 2)]
        lines.append(b.point(0, signed(r, b, profile.P)))
    elif what == "rotation-only":
        lines += [b.support(0, None, "0", True), b.support(L, None, "0", True)]
    elif what == "soft-springs":
        v = r.pick(["1e-9", "1e-6", "0.001", "4.9e-324", "1e-15"])
        lines += [b.spring(0, v), b.spring(L, v, r.pick(["1e-9", "0"]) if r.pct(40) else None)]
    elif what == "zero-stiffness":
        x = r.int(1, L - 1)
        lines += [b.support(0), b.support(L)]
        lines.append(b.prop(x, (r.pick(["0", "1e-300", "4.9e-324"]), b.val(profile.I))))
        if r.pct(50):
            lines.append(b.prop(min(L, x + r.int(1, L // 4 + 1)), None))
        else:
            lines.append(b.support(L // 2))
    elif what == "negative-e":
        lines = [b.prop(0, ("-" + r.pick(["29000", "210000", "1"]), b.val(profile.I)))]
        lines += [b.support(0), b.support(L)]
    elif what == "huge-loads":
        lines += [b.support(0), b.support(L)]
        size = "large"
    elif what == "two-hinges":
        xs = sorted([r.int(1, L // 2 - 1), r.int(L // 2 + 1, L - 1)])
        lines += [b.support(0, "0", "0"), b.support(L, "0", "0"), b.release(xs[0]),
                  b.release(xs[1])]
        if r.pct(50):
            lines.append(b.support(L // 2))
    elif what == "rspring-only":
        lines += [b.spring(0, None, b.val(profile.R)), b.spring(L, None, b.val(profile.R))]
    elif what == "overflow":  # results beyond the range of a double
        lines = [Line("Member Property", [("X", "0"), ("E", "1"), ("I", "1")]),
                 Line("Support", [("X", "0"), ("Disp", "0"),
                                  ("Rotation", r.pick(["1e308", "1e300", "-1e307"]))]),
                 Line("Support", [("X", plain(L, profile.pos_d)), ("Disp", "0")])]
        loads = r.pct(50)
    elif what == "near-duplicate":  # positions one binary digit apart are not equal
        lines += [Line("Support", [("X", "0.3"), ("Disp", "0")]),
                  Line("Support", [("X", "0.30000000000000004"), ("Disp", "0")]),
                  Line("Support", [("X", plain(L, profile.pos_d)), ("Disp", "0")])]
    elif what == "hinge-over-support":
        lines += [b.support(0), b.support(L // 2), b.support(L), b.release(L // 2)]
    else:
        lines += [b.support(0), b.support(L)]
        loads = False
    if loads:
        b.length = L
        lines += loads_of_size(r, b, profile, size)
    return to_bytes(r, assemble(r, lines, mode, profile, section_style(r)))




def kind_extreme(r):
    """Valid models with extreme numbers: subnormal, huge, long and tiny beams."""
    mode = r.weighted(UNITS_MODES[:4])
    profile = pick_profile(r, mode)
    beam = build_beam(r, profile, odd_level(r), r.int(1, 3))
    for ln in beam.lines:
        if r.pct(25):
            i = r.int(1, len(ln.fields) - 1) if len(ln.fields) > 1 else 0
            if ln.fields[i][0] not in ("X", "XStart", "XEnd"):
                ln.fields[i][1] = r.pick(EXTREME_NUMBERS)
    if r.pct(40):  # a very long or very short beam: every position scaled
        scale = r.pick(["e6", "e-6", "e12", "e-9"])
        for ln in beam.lines:
            for f in ln.fields:
                if (f[0] in ("X", "XStart", "XEnd") and f[1] and f[1][-1].isdigit()
                        and "e" not in f[1].lower()):
                    f[1] = f[1].strip() + scale
    return to_bytes(r, assemble(r, beam.lines, mode, profile, section_style(r)))


def kind_whitespace(r):
    """Valid models written with unusual but accepted spacing, and some that are not."""
    mode = r.weighted(UNITS_MODES[:3])
    profile = pick_profile(r, mode)
    beam = build_beam(r, profile, odd_level(r), r.int(1, 4))
    style = r.pick(["tabs", "wide", "tight", "trail", "mixed"])
    lines = assemble(r, beam.lines, mode, profile, style)
    out = []
    for i, ln in enumerate(lines):
        how = r.weighted([("keep", 70), ("trailing", 8), ("cr", 4), ("fifth", 5),
                          ("lead", 3), ("inner", 5), ("nul", 2), ("long", 3)])
        if how == "trailing" and i > 0:
            ln = ln + r.pick([" ", "\t", "  \t  "])
        elif how == "cr" and i > 0:
            ln = ln + "\r"  # a carriage return inside the line, not before its line feed
        elif how == "fifth" and ln.count(";") >= 1 and not ln.startswith("/"):
            ln = ln.split("/")[0] + " Extra = 5; more text after the fields"
        elif how == "lead" and i > 0:
            ln = r.pick([" ", "\t"]) + ln  # a blank before the section name: F3
        elif how == "inner" and ":" in ln and i > 0:
            ln = ln.replace(":", ":" + r.pick(["", "\t\t", "    "]), 1)
        elif how == "nul" and i > 0:
            ln = ln + " /nul\x00byte"
        elif how == "long" and i > 0:
            ln = ln + " /" + "z" * r.pick([81, 200, 3000])
        out.append(ln)
    return to_bytes(r, out)


def kind_large(r, index):
    mode = r.pick(["English", "Metric", "Consistent"])
    profile = pick_profile(r, mode)
    nspans = [100, 300, 150, 240, 200, 120, 280, 180, 250, 110, 160, 220][index % 12]
    beam = build_beam(r, profile, r.pick([0, 10]), nspans)
    extra = []
    # More loads along the beam; on some beams so many that there are over 999 nodes.
    for _ in range(nspans * r.pick([1, 1, 1, 8]) // 2):
        x = r.int(0, beam.length)
        extra.append(beam.point(x, signed(r, beam, profile.P)))
    xs = sorted(beam.supports_x)
    for k in range(0, len(xs) - 1, r.pick([1, 2, 3])):
        w = signed(r, beam, profile.W)
        extra.append(beam.uniform(xs[k], xs[k + 1], w, w))
    return to_bytes(r, assemble(r, beam.lines + extra, mode, profile, "std", shuffle=r.pct(30)))


DEGENERATE = [
    b"", b"\n", b"\r\n", b"File Format:3.0", b"File Format:3.0\n", b"File Format:3.0\r\n",
    b"File Format:3.0\nUnits:English;\n", b"File Format:3.0\n/just a description\n",
    b"File Format:3.0\n\n\n", b"   \n", b"/\n", b"/only a description\n/and another\n",
    b"File Format:3.0\nUnits:Metric;\nMember Property: X = 0; E = 210000; I = 1000;\n",
    b"File Format:3.0\nSupport: X = 0; Disp = 0;\n",
    b"File Format:3.0\nPoint Load: X = 5; PLoad = -1;\n",
    b"File Format:3.0\nMember Property: X = 0; E = 1; I = 1;\nSupport: X = 0; Disp = 0;\n",
    b"File Format:3.0\n/" + b"d" * 5000 + b"\n", b"\x00\x01\x02\x03\n", b"File Format:3.0\x00\n",
    b"File Format:3.0\nUnits:Consistent;\nMember Property: X = 0; E = 1; I = 1;\n"
    b"Support: X = 0; Disp = 0; Rotation = 0;\nPoint Load: X = 1; PLoad = -1;\n",
]


def generate_model(index):
    """The bytes of model number `index` and its kind."""
    r = Rng(SEED * 1000003 + index)
    kind = KINDS[index]
    if kind == "clean":
        return kind_clean(r)
    if kind == "warnings":
        return kind_warnings(r)
    if kind == "format":
        return kind_format_errors(r)
    if kind == "data":
        return kind_data_errors(r)
    if kind == "unstable":
        return kind_unstable(r)
    if kind == "extreme":
        return kind_extreme(r)
    if kind == "whitespace":
        return kind_whitespace(r)
    if kind == "large":
        return kind_large(r, index)
    return DEGENERATE[int(kind[len("degenerate"):])]


def model_kinds():
    counts = [("clean", 470), ("warnings", 60), ("format", 120), ("data", 120),
              ("unstable", 110), ("extreme", 50), ("whitespace", 38), ("large", 12)]
    kinds = [k for k, n in counts for _ in range(n)]
    kinds += ["degenerate%d" % i for i in range(len(DEGENERATE))]
    assert len(kinds) == MODEL_COUNT, len(kinds)
    Rng(SEED).shuffle(kinds)
    return kinds


KINDS = model_kinds()


# ---------------------------------------------------------------------------------------------
# Older-version files: plain text with fixed columns.

def old_row(r, cols, first=" "):
    how = r.weighted([("right", 80), ("left", 10), ("short", 10)])
    if how == "left":
        body = "".join(c.ljust(10) for c in cols)
    else:
        body = "".join(c.rjust(10) for c in cols)
    row = (first if r.pct(85) else r.pick(["*", "1", "A", "\t"])) + body
    if how == "short":
        row = row.rstrip()
    elif len(cols) < 6:
        row = row.ljust(61)
    return row


def generate_old(index):
    r = Rng(SEED * 7919 + index)
    lines = []
    for _ in range(r.int(0, 3)):
        lines.append("/" + r.pick(DESCRIPTIONS)[:70])
    if r.pct(10):
        lines.append("")
    units = r.pick(["UNITS: ENGLISH", "UNITS: METRIC", "Units: metric", "UNITS:ENGLISH / feet",
                    "UNITS: SI", None, "UNITS: ENGLISH", "UNITS: METRIC"])
    if units:
        lines.append(units)
    long_lines = r.pct(15)
    nspans = r.int(1, 5)
    xs = [0]
    for _ in range(nspans):
        xs.append(xs[-1] + r.int(4, 40))
    L = xs[-1] + (r.int(1, 10) if r.pct(30) else 0)
    sections = {}
    ei = str(r.pick([4060000, 1250000, 29000, 2500, 812000]))
    rows = []
    for i, x in enumerate(xs):
        disp = r.pick(["0", "0", "0", "-0.5", ""])
        rot = r.pick(["", "", "", "0"]) if 0 < i < len(xs) - 1 else r.pick(["", "0"])
        v = r.pick(["", "", "", "50"])
        rs = r.pick(["", "", "", "", "2000"])
        e = ei if i == 0 else r.pick([ei, "", "", str(r.pick([4060000, 900000]))])
        rows.append(old_row(r, [str(x), e, disp, rot, v, rs]))
    if r.pct(40):  # a hinge: EI 0
        rows.insert(1, old_row(r, [str(r.int(1, max(1, xs[1] - 1))), "0", "", "", "", ""]))
    if r.pct(30):
        rows.append(old_row(r, [str(L), "", "", "", "", ""]))
    sections["MEMBER PROPERTIES"] = rows
    rows = []
    for _ in range(r.int(0, 4)):
        rows.append(old_row(r, [str(r.int(0, L)), r.pick(["-12", "-3", "5.5", "0", ""]),
                                r.pick(["", "", "10", "0"])]))
    sections["POINT LOADS"] = rows
    rows = []
    for _ in range(r.int(0, 3)):
        a, c = sorted([r.int(0, L), r.int(0, L)])
        rows.append(old_row(r, [str(a), str(c), r.pick(["-1.1", "-0.5", "0"]),
                                r.pick(["-1.1", "-2", "0"])]))
    sections["UNIFORM LOADS"] = rows
    order = ["MEMBER PROPERTIES", "POINT LOADS", "UNIFORM LOADS"]
    r.shuffle(order)
    for name in order:
        if not sections[name] and r.pct(50):
            continue
        lines.append(name if r.pct(85) else name.title())
        lines.extend(sections[name])
        if r.pct(10):
            lines.append("Message: " + "m" * r.pick([10, 120]))
    if long_lines:
        k = r.int(0, len(lines) - 1)
        lines[k] = lines[k] + " " * 3 + "/" + "w" * r.pick([30, 90])
    if r.pct(8):
        lines.append("a trailing line that is not a row " + "x" * 20)
    return to_bytes(r, lines)


# ---------------------------------------------------------------------------------------------
# Hand-made files in the current binary format.

HEADER = b"Spanlab File Version = 3.0\n"


def prefix(n):
    if n <= 254:
        return bytes([n])
    if n <= 0xFFFD:
        return b"\xff" + struct.pack("<H", n)
    return b"\xff\xff\xff" + struct.pack("<I", n)


def strings(lines):
    return b"".join(prefix(len(s)) + s for s in lines)


def count(n):
    return struct.pack("<H", n) if n < 0xFFFF else b"\xff\xff" + struct.pack("<I", n)


def wide(text):
    data = text.encode("utf-16-le")
    return b"\xff\xfe\xff" + prefix(len(text)) + data


SMALL_MODEL = [b"File Format:3.0", b"/hand-made model file", b"Units:Metric;",
               b"Member Property: X = 0; E = 210000; I = 1943;",
               b"Support: X = 0; Disp = 0; Rotation = 0;",
               b"Point Load: X = 2.4; PLoad = -3;"]


def binary_files():
    long_desc = [b"/" + b"L" * (n - 1) for n in (254, 255, 256, 0xFFFD, 0xFFFE, 70000)]
    files = [
        HEADER + count(len(SMALL_MODEL)) + strings(SMALL_MODEL),
        HEADER + count(len(SMALL_MODEL) + 6)
        + strings(SMALL_MODEL[:2] + long_desc + SMALL_MODEL[2:]),
        HEADER + count(4) + strings(SMALL_MODEL[:1]) + wide("/wide caf\u00e9 \u20ac \u0416")
        + strings(SMALL_MODEL[2:4]),
        HEADER + count(len(SMALL_MODEL)) + strings(SMALL_MODEL[:3]),        # truncated list
        HEADER,                                                              # no count
        HEADER + count(0),                                                   # no lines: F2
        HEADER + b"\xff\xff" + struct.pack("<I", 6) + strings(SMALL_MODEL),  # 32-bit count
        b"Spanlab File Version = 3.0\r\n" + count(len(SMALL_MODEL)) + strings(SMALL_MODEL),
        b"Spanlab File Version = 3.0",                                       # no line feed
        HEADER + count(len(SMALL_MODEL)) + strings(SMALL_MODEL) + b"trailing bytes",
        b"Message: skipped\n" + HEADER + count(len(SMALL_MODEL)) + strings(SMALL_MODEL),
        HEADER + count(3) + strings([b"File Format:3.0", b"", b"Units:English;"]),
        HEADER + count(2) + strings([b"File Format:3.0"]) + b"\xff\x10",     # short prefix
        HEADER + count(0xFFFF) + b"\x00" * 8,                                # count, no data
    ]
    return files


def generate_all():
    """(file name, bytes) of every file of the set, in the order of their names."""
    out = [("m%04d.txt" % i, generate_model(i)) for i in range(MODEL_COUNT)]
    out += [("o%03d.spn" % i, generate_old(i)) for i in range(OLD_COUNT)]
    out += [("b%02d.spn" % i, data) for i, data in enumerate(binary_files())]
    return out


def write_all(directory):
    os.makedirs(directory, exist_ok=True)
    files = generate_all()
    for name, data in files:
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
    return files


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: gen_models.py OUT_DIR")
    print("%d files written to %s" % (len(write_all(sys.argv[1])), sys.argv[1]))
