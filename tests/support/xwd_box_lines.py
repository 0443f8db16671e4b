# The lines of text of a message box on an X server's picture (xwd, 32 bits a pixel): the bands of rows holding dark
# ink right of the box's icon and above its buttons. xwd_box_lines.py PICTURE.xwd X Y W H (the box's window)
import struct, sys
data = open(sys.argv[1], 'rb').read()
hd = struct.unpack('>25I', data[:100])
size, order, bpl, ncolors = hd[0], hd[7], hd[12], hd[19]
base, end = size + ncolors * 12, '<' if order == 0 else '>'
x, y, w, h = map(int, sys.argv[2:6])
bands, inside = 0, False
for row in range(y, y + h - 45):  # above the buttons
    px = struct.unpack_from(end + '%dI' % (w - 60), data, base + row * bpl + (x + 50) * 4)  # right of the icon
    dark = any(max((p >> 16) & 255, (p >> 8) & 255, p & 255) < 96 for p in px)
    bands += dark and not inside
    inside = dark
print(bands)
