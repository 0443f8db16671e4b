// Sektabel: the profile-table program, a library of its own ("libsektabel.so") that the profile catalogue
// loads when it shows a profile's values. It reads the profile-data element "sektabel" under
// root > "input" > "profile" of the given document and writes the table of section values as double
// attributes of the root's child "result": A, Iy, Iz, Wy, Wz, It (cm units), h, bo, bu, to, tu, s (mm),
// the plastic values Mply, Mplz (kNm), Npl, Qply, Qplz (kN) for steel S 235 (fy = 235 N/mm², no partial
// factor), and the plastic moduli Wply, Wplz (cm^3).
#pragma once

#if defined(__GNUC__)
#define SEKTABEL_API __attribute__((visibility("default")))
#else
#define SEKTABEL_API
#endif

extern "C" {

// 1 when the table was written; 0 when the document holds no usable profile-data element (a "result"
// element is then not written). The flag is reserved (0).
SEKTABEL_API int Sektabel(int document, int flag);
}
