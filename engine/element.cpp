#include "engine/element.h"

#include <cmath>

#include "engine/protocol.h"
#include "engine/workarrays.h"

namespace {

// Degrees of freedom within a node (1-based).
constexpr int U = 1, V = 2, W = 3, RX = 4, RY = 5, RZ = 6, WARP = 7;

// Sets the symmetric pair (r, c) and (c, r) of a 14 x 14 matrix.
void SetSym(int m, int r, int c, double value)
{
    WD2(m, kElementDofs, r, c) = value;
    WD2(m, kElementDofs, c, r) = value;
}

// The 4 x 4 bending pattern of one plane on the dofs (d1, r1, d2, r2) of nodes i and j: translation
// terms k1, coupling k2 (sign s), rotation terms k3 (same node) and k4 (other node).
void SetBendingBlock(int m, int d1, int r1, int d2, int r2, double k1, double k2, double k3, double k4, double s)
{
    SetSym(m, d1, d1, k1);
    SetSym(m, d1, r1, s * k2);
    SetSym(m, d1, d2, -k1);
    SetSym(m, d1, r2, s * k2);
    SetSym(m, r1, r1, k3);
    SetSym(m, r1, d2, -s * k2);
    SetSym(m, r1, r2, k4);
    SetSym(m, d2, d2, k1);
    SetSym(m, d2, r2, -s * k2);
    SetSym(m, r2, r2, k3);
}

void Clear14(int m)
{
    for (int k = 0; k < kElementDofs * kElementDofs; ++k)
        WD(m + k) = 0.0;
}

}  // namespace

int ElementMatrices(int input, int ke, int kg, int endForces, int signFlag, int addFlag)
{
    auto in = [input](int k) { return WD(input + k); };
    const double L = in(kElL);
    const double E = in(kElE);
    const double G = in(kElG);
    const double A = in(kElA);
    double Iy = in(kElIy);
    const double Iz = in(kElIz);
    const double It = in(kElIt);
    const double Iw = in(kElIw);

    int refused = 0;
    if (L <= 0.0)
        FehlerLog(g_errorLog, 1, "L <= 0."), refused = 1;
    if (E <= 0.0)
        FehlerLog(g_errorLog, 1, "E <= 0."), refused = 1;
    if (A <= 0.0)
        FehlerLog(g_errorLog, 1, "A <= 0."), refused = 1;
    if (Iy <= 0.0)
        FehlerLog(g_errorLog, 1, "Iy <= 0."), refused = 1;
    if (Iz <= 0.0)
        FehlerLog(g_errorLog, 1, "Iz <= 0."), refused = 1;
    if (It <= 0.0) {
        FehlerLog(g_errorLog, 1, "It <= 0.");
        return 1;
    }
    if (refused)
        return 1;

    // two equal bending stiffnesses would give a double eigenvalue
    if (addFlag == 0 && std::fabs(Iy - Iz) < 0.0001)
        Iy *= 0.999999;

    Clear14(ke);
    Clear14(kg);
    const int i = 0, j = 7;  // node offsets in the element's dof numbering

    const double ea = E * A / L;
    SetSym(ke, i + U, i + U, ea);
    SetSym(ke, i + U, j + U, -ea);
    SetSym(ke, j + U, j + U, ea);

    const double eiz = E * Iz;
    SetBendingBlock(ke, i + V, i + RZ, j + V, j + RZ, 12 * eiz / (L * L * L), 6 * eiz / (L * L), 4 * eiz / L,
                    2 * eiz / L, 1.0);
    const double eiy = E * Iy;
    SetBendingBlock(ke, i + W, i + RY, j + W, j + RY, 12 * eiy / (L * L * L), 6 * eiy / (L * L), 4 * eiy / L,
                    2 * eiy / L, -1.0);
    const double eiw = E * Iw;
    const double git = G * It;
    SetBendingBlock(ke, i + RX, i + WARP, j + RX, j + WARP, 12 * eiw / (L * L * L) + 1.2 * git / L,
                    6 * eiw / (L * L) + 0.1 * git, 4 * eiw / L + 2.0 / 15.0 * git * L, 2 * eiw / L - git * L / 30.0,
                    1.0);

    // axial force: only compression enters the geometric matrix
    const double fStart = WD(endForces + U - 1);
    const double fEnd = WD(endForces + j + U - 1);
    double N = 0.0;
    if (signFlag == -1) {
        N = -(fStart + fEnd) / 2.0;
        if (N < 0.0)
            N = 0.0;
    } else {
        N = (fStart + fEnd) / 2.0;
        if (N > 0.0)
            N = 0.0;
    }

    // consistent geometric stiffness; torsion of Wagner type with the polar radius of gyration
    const double g1 = 6.0 / (5.0 * L), g2 = 0.1, g3 = 2.0 * L / 15.0, g4 = -L / 30.0;
    SetBendingBlock(kg, i + V, i + RZ, j + V, j + RZ, N * g1, N * g2, N * g3, N * g4, 1.0);
    SetBendingBlock(kg, i + W, i + RY, j + W, j + RY, N * g1, N * g2, N * g3, N * g4, -1.0);
    const double r02 = (Iy + Iz) / A;
    SetBendingBlock(kg, i + RX, i + WARP, j + RX, j + WARP, N * r02 * g1, N * r02 * g2, N * r02 * g3, N * r02 * g4,
                    1.0);

    // member-end releases: static condensation of the released degrees of freedom
    for (int r = 1; r <= kElementDofs; ++r) {
        if (in(kElRelease + r - 1) == 0.0)
            continue;
        const double krr = WD2(ke, kElementDofs, r, r);
        for (int a = 1; a <= kElementDofs; ++a)
            for (int b = 1; b <= kElementDofs; ++b)
                if (a != r && b != r && krr != 0.0)
                    WD2(ke, kElementDofs, a, b) -= WD2(ke, kElementDofs, a, r) * WD2(ke, kElementDofs, r, b) / krr;
        for (int a = 1; a <= kElementDofs; ++a) {
            WD2(ke, kElementDofs, a, r) = WD2(ke, kElementDofs, r, a) = 0.0;
            WD2(kg, kElementDofs, a, r) = WD2(kg, kElementDofs, r, a) = 0.0;
        }
    }

    if (addFlag == 1)
        for (int k = 0; k < kElementDofs * kElementDofs; ++k)
            WD(ke + k) += WD(kg + k);
    return 0;
}

int ExzaMat(int t, int n, double ai, double bi, double ci, double aj, double bj, double cj)
{
    constexpr double kTiny = 1e-5;
    if (std::fabs(ai) <= kTiny && std::fabs(bi) <= kTiny && std::fabs(ci) <= kTiny && std::fabs(aj) <= kTiny &&
        std::fabs(bj) <= kTiny && std::fabs(cj) <= kTiny)
        return 0;
    const int size = 2 * n;
    for (int c = 1; c <= size; ++c)
        for (int r = 1; r <= size; ++r)
            WD2(t, size, r, c) = r == c ? 1.0 : 0.0;
    auto node = [&](int o, double a, double b, double c) {
        if (std::fabs(a) > kTiny) {
            WD2(t, size, o + W, o + RY) = -a;
            WD2(t, size, o + V, o + RZ) = a;
        }
        if (std::fabs(b) > kTiny) {
            WD2(t, size, o + W, o + RX) = b;
            WD2(t, size, o + U, o + RZ) = -b;
        }
        if (std::fabs(c) > kTiny) {
            WD2(t, size, o + V, o + RX) = -c;
            WD2(t, size, o + U, o + RY) = c;
        }
    };
    node(0, ai, bi, ci);
    node(n, aj, bj, cj);
    return 1;
}

void FixedEndForces(int q8, int element, double L, int load, int fixed)
{
    (void)element;
    const double qxs = WD(q8), qxe = WD(q8 + 1);
    const double qys = WD(q8 + 2), qye = WD(q8 + 3);
    const double qzs = WD(q8 + 4), qze = WD(q8 + 5);
    const double mxs = WD(q8 + 6), mxe = WD(q8 + 7);
    const double L2 = L * L;
    double f[kElementDofs] = {};
    f[0] = (2 * qxs + qxe) * L / 6;
    f[7] = (2 * qxe + qxs) * L / 6;
    f[1] = (7 * qys + 3 * qye) * L / 20;
    f[8] = (7 * qye + 3 * qys) * L / 20;
    f[2] = (7 * qzs + 3 * qze) * L / 20;
    f[9] = (7 * qze + 3 * qzs) * L / 20;
    f[3] = (2 * mxs + mxe) * L / 6;
    f[10] = (2 * mxe + mxs) * L / 6;
    // rotation about y turns the other way round than about z (ry = -dw/dx)
    f[4] = -(3 * qzs + 2 * qze) * L2 / 60;
    f[11] = (2 * qzs + 3 * qze) * L2 / 60;
    f[5] = (3 * qys + 2 * qye) * L2 / 60;
    f[12] = -(2 * qys + 3 * qye) * L2 / 60;
    for (int k = 0; k < kElementDofs; ++k) {
        WD(load + k) += f[k];
        WD(fixed + k) += f[k];
    }
}
