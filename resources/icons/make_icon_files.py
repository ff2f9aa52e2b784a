#!/usr/bin/env python3
"""Writes the Windows icon and cursor files from the game's PNG pictures: the
icon's three 32x32 images (true colour, 16 colours, black and white) and the
bat zone's cursor, 32x32 and transparent all over. Run once; the files are
kept in the repository."""
import os
import struct
import zlib

here = os.path.dirname(os.path.abspath(__file__))


def read_png(path):
    """Rows of (r, g, b) pixels of an 8-bit RGB, 8-bit palette or 1-bit grey PNG."""
    data = open(path, 'rb').read()
    pos, idat, palette = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
        elif kind == b'PLTE':
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    channels = {0: 1, 2: 3, 3: 1}[colour]
    bits = depth * channels
    stride = (width * bits + 7) // 8
    step = max(1, bits // 8)
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b = previous[i]
            c = previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        previous = line
        row = []
        for x in range(width):
            if colour == 2:
                row.append(tuple(line[3 * x:3 * x + 3]))
            elif colour == 3:
                row.append(palette[line[x]])
            else:
                v = 255 if (line[x // 8] >> (7 - x % 8)) & 1 else 0
                row.append((v, v, v))
        rows.append(row)
    return rows


def dib(rows, palette, depth, mask_bits):
    """A 32x32 icon or cursor image: header, palette, colour bits and mask, bottom row first."""
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, depth, 0, 0, 0, 0, len(palette), 0)
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    pixels = b''
    for row in reversed(rows):
        if depth == 24:
            line = b''.join(struct.pack('<BBB', b, g, r) for r, g, b in row)
        else:
            value = 0
            for p in row:
                value = value << depth | palette.index(p)
            line = value.to_bytes(32 * depth // 8, 'big')
        pixels += line
    mask = bytes([mask_bits]) * (4 * 32)
    return header + colours + pixels + mask


def directory(kind, images, hotspot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) file holding the images."""
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for colours, planes_or_x, bits_or_y, image in images:
        out += struct.pack('<BBBBHHII', 32, 32, colours, 0, planes_or_x, bits_or_y, len(image), offset)
        offset += len(image)
    return out + b''.join(image for *_, image in images)


true_colour = read_png(os.path.join(here, 'vantrel.png'))
sixteen = read_png(os.path.join(here, 'vantrel-16colours.png'))
mono = read_png(os.path.join(here, 'vantrel-mono.png'))
palette16 = sorted(set(p for row in sixteen for p in row))
palette16 += [(0, 0, 0)] * (16 - len(palette16))
icon = directory(1, [
    (0, 1, 24, dib(true_colour, [], 24, 0)),
    (16, 1, 4, dib(sixteen, palette16, 4, 0)),
    (2, 1, 1, dib(mono, [(0, 0, 0), (255, 255, 255)], 1, 0)),
])
open(os.path.join(here, 'vantrel.ico'), 'wb').write(icon)

# All mask bits set and no colour: every pixel shows what lies beneath.
blank = [[(0, 0, 0)] * 32 for _ in range(32)]
cursor = directory(2, [(2, 0, 0, dib(blank, [(0, 0, 0), (255, 255, 255)], 1, 0xFF))])
open(os.path.join(here, '..', 'cursors', 'blank.cur'), 'wb').write(cursor)
