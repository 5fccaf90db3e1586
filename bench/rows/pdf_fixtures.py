#!/usr/bin/env python3
"""Writes the PDF inputs of the PDF benchmark rows into the folder given:
doc01.pdf .. doc20.pdf (8 pages each) for merging and large.pdf (1100 pages,
about 215 MB, its images noise that does not compress) for locking and unlocking. Every page has text, vector shapes and an image
of its own."""
import math
import random
import sys
import zlib
from pathlib import Path

LOREM = ("Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
         "incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud").split()


def image_bytes(seed, size=256):
    rows = bytearray()
    for y in range(size):
        for x in range(size):
            rows += bytes(((x * 3 + seed * 17) & 255,
                           (y * 2 + seed * 29) & 255,
                           int(127 + 127 * math.sin((x + y + seed) / 9.0))))
    return zlib.compress(bytes(rows), 6), size


def noise_image_bytes(seed, size=256):
    random.seed(seed)
    return zlib.compress(random.randbytes(size * size * 3), 0), size


def page_content(seed):
    lines = ["0.2 0.4 0.8 rg 40 640 200 100 re f", "0.9 0.3 0.1 RG 3 w 260 640 m 560 740 l S",
             "q 200 0 0 200 350 380 cm /Im0 Do Q", "BT /F1 11 Tf 14 TL 40 600 Td"]
    for line in range(36):
        words = [LOREM[(seed * 7 + line * 3 + i) % len(LOREM)] for i in range(11)]
        lines.append("(" + " ".join(words) + ") '")
    lines.append("ET")
    return "\n".join(lines).encode()


def write_pdf(path, first_seed, pages, make_image=image_bytes):
    objects = {}  # number -> bytes
    objects[1] = b"<< /Type /Catalog /Pages 2 0 R >>"
    objects[3] = b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"
    kids = []
    number = 4
    for index in range(pages):
        seed = first_seed + index
        data, size = make_image(seed)
        image, content, page = number, number + 1, number + 2
        number += 3
        objects[image] = (b"<< /Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /DeviceRGB "
                          b"/BitsPerComponent 8 /Filter /FlateDecode /Length %d >>\nstream\n" % (size, size, len(data))
                          + data + b"\nendstream")
        body = zlib.compress(page_content(seed))
        objects[content] = (b"<< /Filter /FlateDecode /Length %d >>\nstream\n" % len(body) + body + b"\nendstream")
        objects[page] = (b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents %d 0 R "
                         b"/Resources << /Font << /F1 3 0 R >> /XObject << /Im0 %d 0 R >> >> >>" % (content, image))
        kids.append(page)
    objects[2] = (b"<< /Type /Pages /Count %d /Kids [%s] >>"
                  % (pages, b" ".join(b"%d 0 R" % k for k in kids)))
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = {}
    for n in sorted(objects):
        offsets[n] = len(out)
        out += b"%d 0 obj\n" % n + objects[n] + b"\nendobj\n"
    xref = len(out)
    count = max(objects) + 1
    out += b"xref\n0 %d\n0000000000 65535 f \n" % count
    for n in range(1, count):
        out += b"%010d 00000 n \n" % offsets[n]
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (count, xref)
    Path(path).write_bytes(out)


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for doc in range(1, 21):
        write_pdf(folder / ("doc%02d.pdf" % doc), doc * 100, 8)
    write_pdf(folder / "large.pdf", 1, 1100, noise_image_bytes)


if __name__ == "__main__":
    main()
