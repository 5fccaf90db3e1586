"""Pixels of the screen as the X server shows them, and how far two colours stand apart."""

import subprocess


def grab(env, area):
    """The pixels of area (x, y, width, height) of the root window: rows of (r, g, b)."""
    x, y, width, height = area
    ppm = subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "-depth", "8", "ppm:-"],
                         env=env, check=True, capture_output=True).stdout
    # P6, width, height and the largest value, each followed by one white space, then the bytes.
    fields, rest = [], ppm
    while len(fields) < 4:
        rest = rest.lstrip()
        end = next(i for i, byte in enumerate(rest) if chr(byte).isspace())
        fields.append(rest[:end])
        rest = rest[end:]
    data = rest[1:]
    columns, rows = int(fields[1]), int(fields[2])
    return [[tuple(data[(row * columns + column) * 3:(row * columns + column) * 3 + 3]) for column in range(columns)]
            for row in range(rows)]


def edge_colour(pixels):
    """The middle value, channel by channel, of the pixels along the area's edge."""
    edge = pixels[0] + pixels[-1] + [row[0] for row in pixels[1:-1]] + [row[-1] for row in pixels[1:-1]]
    return tuple(sorted(pixel[channel] for pixel in edge)[len(edge) // 2] for channel in range(3))


def relative_luminance(colour):
    def linear(value):
        value /= 255
        return value / 12.92 if value <= 0.04045 else ((value + 0.055) / 1.055) ** 2.4

    red, green, blue = (linear(value) for value in colour)
    return 0.2126 * red + 0.7152 * green + 0.0722 * blue


def contrast(first, second):
    """The contrast ratio of two colours, from 1 (the same) to 21 (black and white)."""
    lighter, darker = sorted((relative_luminance(first), relative_luminance(second)), reverse=True)
    return (lighter + 0.05) / (darker + 0.05)
