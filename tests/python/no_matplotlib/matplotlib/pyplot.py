"""subplots() of the stand-in: Axes that accept and forget what is drawn."""
import struct
import zlib


class Figure:
    def savefig(self, path, **kwargs):
        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
        header = struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                    chunk(b"IDAT", zlib.compress(b"\x00\x00")) + chunk(b"IEND", b""))


class Axes:
    def __init__(self, figure):
        self.figure = figure

    def __getattr__(self, name):
        return lambda *args, **kwargs: None


def subplots(rows=1, cols=1, **kwargs):
    figure = Figure()
    return figure, [[Axes(figure) for _ in range(cols)] for _ in range(rows)]
