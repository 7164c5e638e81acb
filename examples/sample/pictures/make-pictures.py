#!/usr/bin/env python3
"""Draws the sample pictures (product icons and staff seals) as small PNG files.
Run from this folder: python3 make-pictures.py"""
import math, struct, zlib

def png(path, w, h, pixel):
    rows = b''.join(b'\0' + b''.join(bytes(pixel(x, y)) for x in range(w)) for y in range(h))
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)
    data = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(data)

WHITE = (255, 255, 255)

def icon(path, color, shape):
    def pixel(x, y):
        cx, cy = x - 15.5, y - 15.5
        if shape == 'circle': inside = cx * cx + cy * cy < 13 * 13
        elif shape == 'bar': inside = abs(cy) < 4 and abs(cx) < 14
        elif shape == 'tall': inside = abs(cx) < 5 and abs(cy) < 14
        elif shape == 'diamond': inside = abs(cx) + abs(cy) < 14
        elif shape == 'ring': inside = 8 * 8 < cx * cx + cy * cy < 14 * 14
        elif shape == 'triangle': inside = cy > -12 and cy < 12 and abs(cx) < (cy + 12) / 1.6
        else: inside = abs(cx) < 12 and abs(cy) < 12
        return color if inside else WHITE
    png(path, 32, 32, pixel)

def seal(path, strokes):
    red = (200, 30, 30)
    def pixel(x, y):
        cx, cy = x - 23.5, y - 23.5
        r = math.hypot(cx, cy)
        if 19 < r < 22.5: return red
        for (x0, y0, x1, y1) in strokes:
            if x0 <= x <= x1 and y0 <= y <= y1: return red
        return WHITE
    png(path, 48, 48, pixel)

icons = {
    'pen': ((20, 20, 20), 'tall'), 'marker': ((210, 40, 40), 'tall'), 'stapler': ((90, 90, 110), 'bar'),
    'paper': ((240, 240, 225), 'square'), 'paper-a3': ((225, 225, 205), 'square'),
    'envelope': ((200, 160, 90), 'square'), 'cable': ((40, 110, 200), 'ring'),
    'mouse': ((70, 70, 70), 'circle'), 'stand': ((150, 150, 160), 'triangle'),
    'toner': ((30, 30, 30), 'bar'), 'room': ((60, 150, 90), 'diamond'), 'service': ((230, 140, 20), 'circle'),
}
for name, (color, shape) in icons.items():
    icon(f'{name}.png', color, shape)
seal('stamp-sato.png', [(14, 22, 33, 25), (22, 12, 25, 35)])
seal('stamp-suzuki.png', [(14, 14, 33, 17), (14, 30, 33, 33), (22, 14, 25, 33)])
seal('stamp-takahashi.png', [(14, 12, 17, 35), (30, 12, 33, 35), (14, 22, 33, 25)])
