"""Pixels of the screen as the X server shows them, and how far two colours stand apart."""

import xwindows


def grab(area):
    """The pixels of area (x, y, width, height) of the screen as drawn: rows of (r, g, b)."""
    reader = xwindows.ScreenReader()
    try:
        stride, data = reader.grab(area)
    finally:
        reader.close()
    width, height = area[2], area[3]
    # Each pixel is blue, green, red and an unused byte.
    return [[(data[row * stride + 4 * column + 2], data[row * stride + 4 * column + 1], data[row * stride + 4 * column])
             for column in range(width)] for row in range(height)]


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
