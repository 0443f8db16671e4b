# Pixels of 8-bit RGB PNG pictures without interlace (xwd_region.py's, the programs' own and screen_compare's):
#   png_pixels.py differ A.png B.png   the count of pixels in which A and B differ (all of the larger one's beyond)
#   png_pixels.py ink PICTURE.png TOP... per row band of 14 pixels from TOP + 3: the first and last column with a
#                                      dark (text) pixel and the widest run of columns without one between them,
#                                      "first,last,gap" ("0,0,0" without any), separated by blanks
#   png_pixels.py where A.png B.png    the box of the pixels in which A and B (of one size) differ: "left top right
#                                      bottom", right and bottom beyond it ("-1 -1 -1 -1" without any)
#   png_pixels.py solid PICTURE.png    the box of the solid grey faces of a 3D view (grey pixels from 120 to 200
#                                      whose eight neighbours are such too; a line or a letter has none): as where
import struct, sys, zlib


def read(path):
    data, i, idat = open(path, 'rb').read(), 8, b''
    width = height = 0
    while i < len(data):
        n = int.from_bytes(data[i:i + 4], 'big')
        kind = data[i + 4:i + 8]
        if kind == b'IHDR':
            width, height = struct.unpack('>II', data[i + 8:i + 16])
        elif kind == b'IDAT':
            idat += data[i + 8:i + 8 + n]
        i += 12 + n
    raw, stride = zlib.decompress(idat), 1 + 3 * width
    rows, above = [], bytes(3 * width)
    for y in range(height):
        kind, line = raw[y * stride], bytearray(raw[y * stride + 1:(y + 1) * stride])
        # the row filters a writer may choose: none, sub, up, average, Paeth
        for x in range(len(line)):
            left = line[x - 3] if x >= 3 else 0
            up, corner = above[x], above[x - 3] if x >= 3 else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(line))
        above = line
    return width, height, rows


def differ(a, b):
    (_, _, ra), (_, _, rb) = read(a), read(b)
    count = sum(1 for x, y in zip(b''.join(ra), b''.join(rb)) if x != y)
    return count + abs(sum(map(len, ra)) - sum(map(len, rb)))


def ink(path, tops):
    width, height, rows = read(path)
    out = []
    for top in tops:
        band = rows[top + 3:min(top + 17, height)]
        cols = [x for x in range(width) if any(max(r[3 * x:3 * x + 3]) < 96 for r in band)]
        gaps = [b - a - 1 for a, b in zip(cols, cols[1:])]
        out.append('%d,%d,%d' % (cols[0], cols[-1], max(gaps, default=0)) if cols else '0,0,0')
    return ' '.join(out)


def box(points):
    if not points:
        return '-1 -1 -1 -1'
    xs, ys = [x for x, _ in points], [y for _, y in points]
    return '%d %d %d %d' % (min(xs), min(ys), max(xs) + 1, max(ys) + 1)


def where(a, b):
    (width, _, ra), (_, _, rb) = read(a), read(b)
    return box([(x, y) for y, (p, q) in enumerate(zip(ra, rb)) for x in range(width)
                if p[3 * x:3 * x + 3] != q[3 * x:3 * x + 3]])


def solid(path):
    width, height, rows = read(path)
    grey = [[r[3 * x] == r[3 * x + 1] == r[3 * x + 2] and 120 <= r[3 * x] <= 200 for x in range(width)] for r in rows]
    return box([(x, y) for y in range(1, height - 1) for x in range(1, width - 1)
                if all(grey[y + dy][x + dx] for dy in (-1, 0, 1) for dx in (-1, 0, 1))])


if __name__ == '__main__':
    if sys.argv[1] == 'differ':
        print(differ(sys.argv[2], sys.argv[3]))
    elif sys.argv[1] == 'where':
        print(where(sys.argv[2], sys.argv[3]))
    elif sys.argv[1] == 'solid':
        print(solid(sys.argv[2]))
    else:
        print(ink(sys.argv[2], [int(t) for t in sys.argv[3:]]))
