#!/usr/bin/env python3
"""Writes the small seed files of the fuzz targets into fuzz/corpus/<target>/.

The seeds are the smallest files that reach each reader's branches; the examples, the data
files in resources/ and the test inputs are added by `make fuzz` as further seed folders.
Run from anywhere: python3 fuzz/make_seeds.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

MODEL = [
    "File Format:3.0",
    "/Seed: three spans, every kind of item",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 800;",
    "Member Property: X = 40; E = 29000; I = 510;",
    "Moment Release: X = 32;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Support: X = 20; Disp = 0;",
    "Spring: X = 40; VSpring = 25; RSpring = 1000;",
    "Support: X = 60; Disp = -0.25;",
    "Point Load: X = 10; PLoad = -12;",
    "Point Load: X = 50; PLoad = -8; Moment = 15;",
    "Uniform Load: XStart = 0; XEnd = 60; UStart = -0.8; UEnd = -0.8;",
    "Uniform Load: XStart = 40; XEnd = 60; UStart = 0; UEnd = -1.5;",
]
METRIC = [
    "File Format:3.0",
    "Units:Metric;",
    "Member Property: X = 0; E = 210000; I = 1943;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Point Load: X = 4; PLoad = -5; Moment = 3;",
    "Uniform Load: XStart = 0; XEnd = 4; UStart = -2; UEnd = -2;",
]
OLD = (
    "/Older-version model\n"
    "UNITS: ENGLISH\n"
    "MEMBER PROPERTIES\n"
    "          0   4060000         0\n"
    "         20   4060000         0\n"
    "POINT LOADS\n"
    "         10       -12\n"
    "UNIFORM LOADS\n"
    "          0        20      -1.1      -1.1\n"
)


def length_prefix(n):
    if n < 0xFF:
        return bytes([n])
    if n < 0xFFFE:
        return b"\xff" + struct.pack("<H", n)
    return b"\xff\xff\xff" + struct.pack("<I", n)


def line_count(n):
    return struct.pack("<H", n) if n < 0xFFFF else b"\xff\xff" + struct.pack("<I", n)


def model_file(lines, wide=()):
    out = b"Spanlab File Version = 3.0\n" + line_count(len(lines))
    for i, line in enumerate(lines):
        data = line.encode("latin-1")
        if i in wide:  # 2-byte characters: FF FE FF, the length in characters, UTF-16LE
            out += b"\xff\xfe\xff" + length_prefix(len(data)) + line.encode("utf-16-le")
        else:
            out += length_prefix(len(data)) + data
    return out


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


def main():
    write("model_file", "current", model_file(MODEL))
    write("model_file", "wide-lines", model_file(METRIC, wide={1, 3}))
    write("model_file", "old-format", OLD)
    write("model_file", "old-long-line", OLD.replace("/Older", "/" + "x" * 90 + " Older"))
    write("model_file", "message-lines", "Message: skipped\r\n" + OLD)
    # Large counts: the 4-byte count and length forms, and lists of very short lines.
    write("model_file", "many-empty-lines", model_file(MODEL[:4] + [""] * 100000))
    write("model_file", "many-short-lines", model_file(MODEL + ["/"] * 50000))
    write("model_file", "long-line", model_file(MODEL[:3] + ["/" + "c" * 70000] + MODEL[3:]))
    write("model_file", "count-beyond-the-limit",
          b"Spanlab File Version = 3.0\n" + line_count(4000001) + b"\x00" * 4000)
    write("model_file", "many-old-lines", OLD + "\n" * 100000)

    write("lines", "all-items", "\n".join(MODEL) + "\n")
    write("lines", "metric", "\n".join(METRIC))
    write("lines", "format-errors",
          "File Format:3.0\nSupport: X = ;\nPoint Load: PLoad = 1e999;\nUnits:Furlongs;\n")
    write("lines", "data-errors",
          "File Format:3.0\nMember Property: X = 5; E = 0; I = -1;\n"
          "Support: X = 5; Disp = 0;\nUniform Load: XStart = 9; XEnd = 2; UStart = 1; UEnd = 1;\n")

    # Models that once broke the drawing (see tests/fuzz_regressions_test.cpp).
    write("lines", "nan-results",
          "File Format:3.0\nMember Property: X = 0; E = 1; I = 1;\n"
          "Support: X = 0; Disp = 0; Rotation = 1e308;\nSupport: X = 10; Disp = 0;\n")
    write("lines", "infinite-positions",
          "File Format:3.0\nUnits:English;\nMember Property: X = 0; E = 1; I = 1;\n"
          "Support: X = 1e308; Disp = 0;\nSupport: X = 0; Disp = 0;\n")
    write("model_file", "subnormal-load",
          "/Older-version -12\nUNIFORM LOADS\n 4440000000000000000000000000000"
          "04.9e-324612885206812")

    write("database", "materials",
          "/ comment\n0 English\n1 Steel\n2 Structural steel   E = 29000\n"
          "0 Metric\n1 Steel\n2 Structural steel   E = 200000\n2 no value\n")
    write("database", "sections",
          "0 English\r\n1 W Shapes\r\n2 W44x230\r\n3 Ix = 20800\r\n3 Iy = 796\r\n"
          "1 Pipes\r\n3 Ix = orphan\r\n0 Metric\r\n1 IPE\r\n2 IPE 200\r\n3 Ix = 1943\r\n")
    write("database", "long-line", "0 English\n1 " + "c" * 120 + "\n2 " + "e" * 98 + "=7\n")

    tips = "; comment\n\nFirst tip.\r\n Indented, skipped.\nSecond tip.\n" + "L" * 1200 + "\n"
    write("tips", "from-top", struct.pack("<i", 0) + b"\x00" + tips.encode())
    write("tips", "stored-position", struct.pack("<i", 12) + b"\x01" + tips.encode())
    write("tips", "past-the-end", struct.pack("<i", 5000) + b"\x03" + tips.encode())
    write("tips", "no-tips", struct.pack("<i", -1) + b"\x01" + b"; only\n\n \n")

    with open(os.path.join(HERE, "..", "resources", "splx.wmf"), "rb") as f:
        logo = f.read()
    write("metafile", "logo", logo)
    write("metafile", "plain", logo[22:])  # without the placeable header


if __name__ == "__main__":
    main()
