#!/usr/bin/env python3
"""Writes profil.qzw, the standard profile register database, from the dimensions of the rolled I-sections.

The dimensions (h, b, tw, tf, r in mm) are those of the European profile tables (EN 10365, formerly
Euronorm 53-62 for HE and DIN 1025-5 for IPE). The section values are worked out from them in the way the
tables do: flanges and web as rectangles plus the four root fillets (each (1 - pi/4) r^2), the torsion
constant by the rolled-section formula with the inscribed circle D at the web-flange junction, the warping
constant as tf b^3 (h - tf)^2 / 24. They are rounded to four significant digits as printed in the tables.

Run:  python3 make_profiles.py > ../profil.qzw
"""
import math

HEA = [
    (100, 96, 100, 5, 8, 12), (120, 114, 120, 5, 8, 12), (140, 133, 140, 5.5, 8.5, 12),
    (160, 152, 160, 6, 9, 15), (180, 171, 180, 6, 9.5, 15), (200, 190, 200, 6.5, 10, 18),
    (220, 210, 220, 7, 11, 18), (240, 230, 240, 7.5, 12, 21), (260, 250, 260, 7.5, 12.5, 24),
    (280, 270, 280, 8, 13, 24), (300, 290, 300, 8.5, 14, 27), (320, 310, 300, 9, 15.5, 27),
    (340, 330, 300, 9.5, 16.5, 27), (360, 350, 300, 10, 17.5, 27), (400, 390, 300, 11, 19, 27),
    (450, 440, 300, 11.5, 21, 27), (500, 490, 300, 12, 23, 27), (550, 540, 300, 12.5, 24, 27),
    (600, 590, 300, 13, 25, 27), (650, 640, 300, 13.5, 26, 27), (700, 690, 300, 14.5, 27, 27),
    (800, 790, 300, 15, 28, 30), (900, 890, 300, 16, 30, 30), (1000, 990, 300, 16.5, 31, 30),
]
HEB = [
    (100, 100, 100, 6, 10, 12), (120, 120, 120, 6.5, 11, 12), (140, 140, 140, 7, 12, 12),
    (160, 160, 160, 8, 13, 15), (180, 180, 180, 8.5, 14, 15), (200, 200, 200, 9, 15, 18),
    (220, 220, 220, 9.5, 16, 18), (240, 240, 240, 10, 17, 21), (260, 260, 260, 10, 17.5, 24),
    (280, 280, 280, 10.5, 18, 24), (300, 300, 300, 11, 19, 27), (320, 320, 300, 11.5, 20.5, 27),
    (340, 340, 300, 12, 21.5, 27), (360, 360, 300, 12.5, 22.5, 27), (400, 400, 300, 13.5, 24, 27),
    (450, 450, 300, 14, 26, 27), (500, 500, 300, 14.5, 28, 27), (550, 550, 300, 15, 29, 27),
    (600, 600, 300, 15.5, 30, 27), (650, 650, 300, 16, 31, 27), (700, 700, 300, 17, 32, 27),
    (800, 800, 300, 17.5, 33, 30), (900, 900, 300, 18.5, 35, 30), (1000, 1000, 300, 19, 36, 30),
]
HEM = [
    (100, 120, 106, 12, 20, 12), (120, 140, 126, 12.5, 21, 12), (140, 160, 146, 13, 22, 12),
    (160, 180, 166, 14, 23, 15), (180, 200, 186, 14.5, 24, 15), (200, 220, 206, 15, 25, 18),
    (220, 240, 226, 15.5, 26, 18), (240, 270, 248, 18, 32, 21), (260, 290, 268, 18, 32.5, 24),
    (280, 310, 288, 18.5, 33, 24), (300, 340, 310, 21, 39, 27), (320, 359, 309, 21, 40, 27),
    (340, 377, 309, 21, 40, 27), (360, 395, 308, 21, 40, 27), (400, 432, 307, 21, 40, 27),
    (450, 478, 307, 21, 40, 27), (500, 524, 306, 21, 40, 27), (550, 572, 306, 21, 40, 27),
    (600, 620, 305, 21, 40, 27), (650, 668, 305, 21, 40, 27), (700, 716, 304, 21, 40, 27),
    (800, 814, 303, 21, 40, 30), (900, 910, 302, 21, 40, 30), (1000, 1008, 302, 21, 40, 30),
]
IPE = [
    (80, 80, 46, 3.8, 5.2, 5), (100, 100, 55, 4.1, 5.7, 7), (120, 120, 64, 4.4, 6.3, 7),
    (140, 140, 73, 4.7, 6.9, 7), (160, 160, 82, 5, 7.4, 9), (180, 180, 91, 5.3, 8, 9),
    (200, 200, 100, 5.6, 8.5, 12), (220, 220, 110, 5.9, 9.2, 12), (240, 240, 120, 6.2, 9.8, 15),
    (270, 270, 135, 6.6, 10.2, 15), (300, 300, 150, 7.1, 10.7, 15), (330, 330, 160, 7.5, 11.5, 18),
    (360, 360, 170, 8, 12.7, 18), (400, 400, 180, 8.6, 13.5, 21), (450, 450, 190, 9.4, 14.6, 21),
    (500, 500, 200, 10.2, 16, 21), (550, 550, 210, 11.1, 17.2, 24), (600, 600, 220, 12, 19, 24),
]


def values(h, b, tw, tf, r):
    """Section values in cm units from dimensions in mm."""
    h, b, tw, tf, r = h / 10, b / 10, tw / 10, tf / 10, r / 10
    hw = h - 2 * tf
    af = (1 - math.pi / 4) * r * r          # one root fillet
    sf = (5 / 6 - math.pi / 4) * r ** 3     # its first moment about the flange (or web) face
    jf = (1 - 5 * math.pi / 16) * r ** 4    # its second moment about that face
    c = h / 2 - tf
    area = 2 * b * tf + hw * tw + 4 * af
    iy = (b * h ** 3 - (b - tw) * hw ** 3) / 12 + 4 * (c * c * af - 2 * c * sf + jf)
    iz = (2 * tf * b ** 3 + hw * tw ** 3) / 12 + 4 * ((tw / 2) ** 2 * af + tw * sf + jf)
    wply = b * tf * (h - tf) + tw * hw * hw / 4 + 4 * (af * c - sf)
    wplz = tf * b * b / 2 + hw * tw * tw / 4 + 4 * (af * tw / 2 + sf)
    d = ((tw / 4 + r) * tw + (tf + r) ** 2) / (2 * r + tf)
    alpha = (0.145 + 0.1 * r / tf) * tw / tf
    it = 2 * (alpha * d ** 4 + (1 - 0.63 * tf / b) * b * tf ** 3 / 3) + (h - 2 * tf) * tw ** 3 / 3
    iw = tf * b ** 3 * (h - tf) ** 2 / 24
    return dict(A=area, Iy=iy, Iz=iz, Wy=2 * iy / h, Wz=2 * iz / b, Wply=wply, Wplz=wplz, It=it, Iw=iw)


def sig4(x):
    return float(f"{x:.4g}")


def fmt(x):
    return f"{x:g}"


def main():
    print("# Standard profile register database: rolled I-sections (EN 10365).")
    print("# Format: see README.md. Dimensions in mm, section values in cm units.")
    print("ZVKREG 1")
    for series, rows in (("HEA", HEA), ("HEB", HEB), ("HEM", HEM), ("IPE", IPE)):
        print()
        print(f"[\\{series}]")
        for size, h, b, tw, tf, r in rows:
            v = values(h, b, tw, tf, r)
            dims = f"h={fmt(h)} b={fmt(b)} tw={fmt(tw)} tf={fmt(tf)} r={fmt(r)}"
            vals = " ".join(f"{k}={fmt(sig4(x))}" for k, x in v.items())
            print(f"{series} {size} | I | {dims} | {vals}")


if __name__ == "__main__":
    main()
