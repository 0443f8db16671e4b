# The X server's picture (xwd, 32 bits a pixel) as a PNG of the region x0,y0,x1,y1, the counts of dark pixels (text)
# and of the result diagram's red in it, the count of the loads' red (the report pictures' load arrows) and the
# leftmost column and topmost row holding it (-1 without), and with a colour r,g,b the count of pixels near it
# after them: xwd_region.py PICTURE.xwd OUT.png x0,y0,x1,y1 [r,g,b]
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, width, height, order, bpp, bpl, ncolors = h[0], h[4], h[5], h[7], h[11], h[12], h[19]
if bpp != 32:
    sys.exit('xwd picture of %d bits a pixel' % bpp)
x0, y0, x1, y1 = map(int, sys.argv[3].split(','))
base, end = size + ncolors * 12, '<' if order == 0 else '>'
rows, dark, red, loads, left, top, near = [], 0, 0, 0, -1, -1, 0
colour = tuple(map(int, sys.argv[4].split(','))) if len(sys.argv) > 4 else None
for y in range(y0, y1):
    px = struct.unpack_from(end + '%dI' % (x1 - x0), data, base + y * bpl + x0 * 4)
    row = bytearray(b'\0')
    for x, p in enumerate(px):
        r, g, b = (p >> 16) & 255, (p >> 8) & 255, p & 255
        dark += max(r, g, b) < 96
        red += (r, g, b) == (255, 90, 90)
        if r >= 150 and r - max(g, b) >= 90 and (r, g, b) != (255, 90, 90):
            loads += 1
            left = x0 + x if left < 0 else min(left, x0 + x)
            top = y if top < 0 else top
        if colour:
            near += abs(r - colour[0]) + abs(g - colour[1]) + abs(b - colour[2]) <= 90
        row += bytes((r, g, b))
    rows.append(bytes(row))
def chunk(t, d):
    return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
open(sys.argv[2], 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', x1 - x0, y1 - y0, 8, 2, 0, 0, 0))
                              + chunk(b'IDAT', zlib.compress(b''.join(rows), 6)) + chunk(b'IEND', b''))
print(dark, red, loads, left, top, *([near] if colour else []))
