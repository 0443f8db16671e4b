# The rows and the columns of the region x0,y0,x1,y1 of an X server's picture (xwd, 32 bits a pixel) that hold dark
# ink (text); with a colour RRGGBB, only rows that also hold that colour count (the selected letters' height):
# xwd_ink.py PICTURE.xwd x0,y0,x1,y1 [RRGGBB]
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, order, bpl, ncolors = h[0], h[7], h[12], h[19]
base, end = size + ncolors * 12, '<' if order == 0 else '>'
x0, y0, x1, y1 = map(int, sys.argv[2].split(','))
on = int(sys.argv[3], 16) if len(sys.argv) > 3 else None
dark = lambda p: max((p >> 16) & 255, (p >> 8) & 255, p & 255) < 96
rows = [struct.unpack_from(end + '%dI' % (x1 - x0), data, base + y * bpl + x0 * 4) for y in range(y0, y1)]
if on is not None:
    rows = [row for row in rows if any((p & 0xFFFFFF) == on for p in row)]
ink = [[dark(p) for p in row] for row in rows]
print(sum(any(r) for r in ink), sum(any(r[i] for r in ink) for i in range(x1 - x0)))
