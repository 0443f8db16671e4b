# The middle of the longest run of a scroll bar's track (grey 200) along the row y (or the column x) from a to b of an
# xwd picture, where a click pages the bar on: xwd_track.py PICTURE.xwd row|column AT A B
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, order, bpl, ncolors = h[0], h[7], h[12], h[19]
base, end = size + ncolors * 12, '<' if order == 0 else '>'
along, at, a, b = sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
best, run, start = (0, -1), 0, a
for i in range(a, b):
    x, y = (i, at) if along == 'row' else (at, i)
    p = struct.unpack_from(end + 'I', data, base + y * bpl + x * 4)[0] & 0xFFFFFF
    if p == 0xC8C8C8:
        if run == 0: start = i
        run += 1
        best = max(best, (run, start + run // 2))
    else:
        run = 0
print(best[1])
