// One beam element of the frame analysis: seven degrees of freedom per node (u, v, w, rotations about
// x, y, z, warping), node i first, node j second. Matrices are 14 x 14, column-major, in the double
// work array. Units: kN, m.
#pragma once

// Layout of an element's input block (doubles) in the work array.
enum ElementInput {
    kElL = 0,                  // length (m)
    kElE = 1,                  // modulus (kN/m2)
    kElG = 2,                  // shear modulus (kN/m2)
    kElA = 3,                  // area (m2)
    kElIy = 4,                 // second moment about y (m4)
    kElIz = 5,                 // second moment about z (m4)
    kElIt = 6,                 // torsion constant (m4)
    kElIw = 7,                 // warping constant (m6)
    kElRelease = 8,            // 14 member-end release flags, one per degree of freedom
    kElReleaseCompanion = 22,  // 14 companion values of the releases (kept, not used)
    kElementInputSize = 36
};

constexpr int kElementDofs = 14;

// Forms the elastic stiffness (ke) and the geometric matrix (kg) of an element. endForces is the index
// of the element's 14 stored end forces (start values sign-changed); signFlag 0 takes N = mean of the
// two axial entries (only compression enters), -1 takes compression positive for the eigen problem.
// addFlag 1 adds the geometric matrix to ke; 0 (eigen) returns both apart. Returns 1 when the input is
// refused (the reasons go to the error log), else 0.
int ElementMatrices(int input, int ke, int kg, int endForces, int signFlag, int addFlag);

// Rigid-link transformation for node offsets (m); returns 0 with t untouched when every offset is at
// most 1e-5 in magnitude, else 1 with t (n*2 x n*2, n = 7) filled.
int ExzaMat(int t, int n, double ai, double bi, double ci, double aj, double bj, double cj);

// Adds the equivalent nodal forces of linearly varying member loads (eight values at q8: start and end
// of qx, qy, qz (kN/m) and mx (kNm/m)) on an element of length L (m) to its load vector and to its
// stored fixed-end forces.
void FixedEndForces(int q8, int element, double L, int load, int fixed);
