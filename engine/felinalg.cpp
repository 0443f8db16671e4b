#include "engine/felinalg.h"

#include <cassert>
#include <cmath>
#include <numbers>

#include "engine/protocol.h"
#include "engine/workarrays.h"

namespace engine {

void LocationVector(int lm, int nodeNumbers, int nodes, int dofs)
{
    for (int k = 1; k <= nodes; ++k) {
        const int node = WI(nodeNumbers + k - 1);
        for (int j = 1; j <= dofs; ++j)
            WI(lm + dofs * (k - 1) + j - 1) = dofs * node + j;
    }
}

void ColumnHeights(int mht, int nd, int lm)
{
    int ls = 0;
    bool first = true;
    for (int i = 0; i < nd; ++i) {
        const int eq = WI(lm + i);
        if (eq > 0 && (first || eq < ls)) {
            ls = eq;
            first = false;
        }
    }
    for (int i = 0; i < nd; ++i) {
        const int ii = WI(lm + i);
        if (ii <= 0)
            continue;
        const int me = ii - ls;
        if (me > WI(mht + ii - 1))
            WI(mht + ii - 1) = me;
    }
}

int ColumnAddresses(int maxa, int mht, int nn, int& mk)
{
    for (int i = 1; i <= nn; ++i)
        if (WI(mht + i - 1) == 0)
            WI(mht + i - 1) = 1;
    WI(maxa) = 1;
    WI(maxa + 1) = 2;
    mk = 0;
    for (int i = 2; i <= nn; ++i) {
        const int h = WI(mht + i - 1);
        if (h > mk)
            mk = h;
        WI(maxa + i) = WI(maxa + i - 1) + h + 1;
    }
    mk += 1;
    return WI(maxa + nn) - WI(maxa);
}

void PackUpper(int full, int packed, int nd)
{
    int k = packed;
    for (int i = 1; i <= nd; ++i)
        for (int j = i; j <= nd; ++j)
            WD(k++) = WD2(full, nd, i, j);
}

void AssembleSkyline(int a, int maxa, int s, int lm, int nd)
{
    for (int i = 1; i <= nd; ++i) {
        const int ii = WI(lm + i - 1);
        if (ii <= 0)
            continue;
        const int mi = WI(maxa + ii - 1);
        for (int j = 1; j <= nd; ++j) {
            const int jj = WI(lm + j - 1);
            if (jj <= 0 || ii < jj)
                continue;
            WD(a + mi + ii - jj - 1) += WD(s + PackedIndex(i, j, nd) - 1);
        }
    }
}

void ReduceBackSubstitute(int a, int maxa, int v, int nn)
{
    auto A = [a](int k) -> double& { return WD(a + k - 1); };
    auto V = [v](int k) -> double& { return WD(v + k - 1); };
    auto MAXA = [maxa](int k) { return WI(maxa + k - 1); };
    for (int n = 1; n <= nn; ++n) {
        const int kl = MAXA(n) + 1;
        const int ku = MAXA(n + 1) - 1;
        if (ku < kl)
            continue;
        int k = n;
        double c = 0.0;
        for (int kk = kl; kk <= ku; ++kk) {
            --k;
            c += A(kk) * V(k);
        }
        V(n) -= c;
    }
    for (int n = 1; n <= nn; ++n) {
        const double diag = A(MAXA(n));
        if (diag > 0.0)
            V(n) /= diag;
        else
            V(n) = diag * V(n);
    }
    for (int n = nn; n >= 2; --n) {
        const int kl = MAXA(n) + 1;
        const int ku = MAXA(n + 1) - 1;
        int k = n;
        for (int kk = kl; kk <= ku; ++kk) {
            --k;
            V(k) -= A(kk) * V(n);
        }
    }
}

void MultiplyB(int b, int x, int y, int maxa, int nn, int nwm)
{
    if (nwm == nn) {
        for (int i = 0; i < nn; ++i)
            WD(y + i) = WD(b + i) * WD(x + i);
        return;
    }
    for (int i = 0; i < nn; ++i)
        WD(y + i) = 0.0;
    for (int i = 1; i <= nn; ++i) {
        const int kl = WI(maxa + i - 1);
        const int ku = WI(maxa + i) - 1;
        int ii = i + 1;
        const double cc = WD(x + i - 1);
        for (int kk = kl; kk <= ku; ++kk) {
            --ii;
            WD(y + ii - 1) += WD(b + kk - 1) * cc;
        }
        if (ku - kl <= 0)
            continue;
        ii = i;
        double aa = 0.0;
        for (int kk = kl + 1; kk <= ku; ++kk) {
            --ii;
            aa += WD(b + kk - 1) * WD(x + ii - 1);
        }
        WD(y + i - 1) += aa;
    }
}

void FillD(int x, int inc, int n, double value)
{
    for (int i = 0; i < n; ++i)
        WD(x + i * inc) = value;
}

void FillI(int x, int inc, int n, int value)
{
    for (int i = 0; i < n; ++i)
        WI(x + i * inc) = value;
}

void Identity(int x, int n)
{
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i)
            WD2(x, n, i, j) = i == j ? 1.0 : 0.0;
}

void MatProduct(int p, int q, int r, int m, int n, int k, int op, int transpose, int scratch)
{
    // op(P)(i, l) for the m x n operand
    auto P = [=](int i, int l) { return transpose ? WD2(p, n, l, i) : WD2(p, m, i, l); };
    auto store = [=](int i, int j, double value) {
        double& target = WD2(r, m, i, j);
        if (op == 2)
            target += value;
        else if (op == 4)
            target -= value;
        else
            target = value;
    };
    if (r == q && r != p) {
        // R overwrites Q column by column: keep the column of Q in the scratch first.
        for (int j = 1; j <= k; ++j) {
            for (int l = 1; l <= n; ++l)
                WD(scratch + l - 1) = WD2(q, n, l, j);
            for (int i = 1; i <= m; ++i) {
                double sum = 0.0;
                for (int l = 1; l <= n; ++l)
                    sum += P(i, l) * WD(scratch + l - 1);
                store(i, j, sum);
            }
        }
        return;
    }
    if (r == p && r != q) {
        // R overwrites P (transpose 0, m x n with n == k): row by row through the scratch.
        assert(transpose == 0 && n == k);
        for (int i = 1; i <= m; ++i) {
            for (int j = 1; j <= k; ++j) {
                double sum = 0.0;
                for (int l = 1; l <= n; ++l)
                    sum += P(i, l) * WD2(q, n, l, j);
                WD(scratch + j - 1) = sum;
            }
            for (int j = 1; j <= k; ++j)
                store(i, j, WD(scratch + j - 1));
        }
        return;
    }
    for (int j = 1; j <= k; ++j)
        for (int i = 1; i <= m; ++i) {
            double sum = 0.0;
            for (int l = 1; l <= n; ++l)
                sum += P(i, l) * WD2(q, n, l, j);
            store(i, j, sum);
        }
}

double Dot(int x, int incx, int y, int incy, int n)
{
    int ix = incx < 0 ? x + (n - 1) * (-incx) : x;
    int iy = incy < 0 ? y + (n - 1) * (-incy) : y;
    double sum = 0.0;
    for (int i = 0; i < n; ++i, ix += incx, iy += incy)
        sum += WD(ix) * WD(iy);
    return sum;
}

double Extremum(int x, int inc, int n, int kind, int& offset)
{
    offset = 0;
    if (n <= 0)
        return 0.0;
    auto key = [kind](double v) { return kind <= 1 ? std::fabs(v) : v; };
    double best = key(WD(x));
    double bestValue = WD(x);
    for (int i = 1; i < n; ++i) {
        const double v = WD(x + i * inc);
        const double k = key(v);
        // ties: the first largest, the last smallest
        const bool better = (kind == 1 || kind == 4) ? k <= best : k > best;
        if (better) {
            best = k;
            bestValue = v;
            offset = i * inc;
        }
    }
    return bestValue;
}

int ISign(int i)
{
    return i > 0 ? 1 : (i < 0 ? -1 : 0);
}

double SignTransfer(double a, double b)
{
    return b >= 0.0 ? std::fabs(a) : -std::fabs(a);
}

void PrintMatrix(const char* name, int start, int rows, int cols, int kind)
{
    if (!g_trace.IsOpen())
        return;
    g_trace.Printf(" MATRIX ->%s<- ia = %d ma = %d na = %d\n", name, start, rows, cols);
    for (int i = 1; i <= rows; ++i) {
        for (int j = 1; j <= cols; ++j) {
            if (kind == 0)
                g_trace.Printf("  %.2e", WD2(start, rows, i, j));
            else
                g_trace.Printf("  %d", WI2(start, rows, i, j));
        }
        g_trace.Printf("\n");
    }
}

}  // namespace engine

using namespace engine;

void SetzeLager(int a, int c, int maxa, int nn)
{
    const int n = nn < 0 ? -nn : nn;
    for (int i = 1; i <= n; ++i) {
        const double ci = WD(c + i - 1);
        if (ci < 0.0) {
            for (int k = WI(maxa + i - 1); k < WI(maxa + i); ++k)
                WD(a + k - 1) = 0.0;
            for (int j = i + 1; j <= n; ++j) {
                const int height = WI(maxa + j) - WI(maxa + j - 1) - 1;
                if (j - i <= height)
                    WD(a + WI(maxa + j - 1) + j - i - 1) = 0.0;
            }
        } else if (ci > 0.0 && nn >= 0) {
            WD(a + WI(maxa + i - 1) - 1) += ci;
        }
    }
}

void h3659(int a, int maxa, int nn, int isw, int& error)
{
    auto A = [a](int k) -> double& { return WD(a + k - 1); };
    auto MAXA = [maxa](int k) { return WI(maxa + k - 1); };
    error = 0;
    for (int n = 1; n <= nn; ++n) {
        const int kn = MAXA(n);
        if (A(kn) == 0.0)
            continue;
        const int kl = kn + 1;
        const int ku = MAXA(n + 1) - 1;
        const int kh = ku - kl;
        if (kh > 0) {
            int k = n - kh;
            int ic = 0;
            int klt = ku;
            for (int j = 1; j <= kh; ++j) {
                ++ic;
                --klt;
                const int ki = MAXA(k);
                const int nd = MAXA(k + 1) - ki - 1;
                if (nd > 0) {
                    const int kk = ic < nd ? ic : nd;
                    double c = 0.0;
                    for (int l = 1; l <= kk; ++l)
                        c += A(ki + l) * A(klt + l);
                    A(klt) -= c;
                }
                ++k;
            }
        }
        if (kh >= 0) {
            int k = n;
            double d = 0.0;
            for (int kk = kl; kk <= ku; ++kk) {
                --k;
                const double pivot = A(MAXA(k));
                if (pivot != 0.0) {
                    const double c = A(kk) / pivot;
                    d += c * A(kk);
                    A(kk) = c;
                } else {
                    A(kk) = 0.0;
                }
            }
            A(kn) -= d;
        }
        if (A(kn) - 1e-15 <= 0.0 && isw == 0) {
            error = n;
            g_trace.Printf(" negativ def bei n = %d w = %f\n", n, A(kn));
        }
    }
}

int h3660(int a, int maxa, int v, int nn, int kkk)
{
    int error = 0;
    if (kkk >= 0) {
        h3659(a, maxa, nn, 0, error);
        if (error > 0 || kkk == 0)
            return error;
    }
    ReduceBackSubstitute(a, maxa, v, nn);
    return error;
}

int h4805(int a, int b, int maxa, int r, int w, int tt, int nn, int nwm, int q)
{
    auto R = [r, nn](int i, int j) -> double& { return WD2(r, nn, i, j); };
    auto W = [w](int i) -> double& { return WD(w + i - 1); };
    auto ADIAG = [a, maxa](int i) { return WD(a + WI(maxa + i - 1) - 1); };
    const int nd = nn / q;
    if (nwm > nn) {
        for (int i = 1; i <= nn; ++i) {
            const double bii = WD(b + WI(maxa + i - 1) - 1);
            R(i, 1) = bii;
            W(i) = ADIAG(i) != 0.0 ? std::fabs(bii / ADIAG(i)) : 0.0;
        }
    } else {
        int excited = 0;
        for (int i = 1; i <= nn; ++i) {
            const double bi = WD(b + i - 1);
            R(i, 1) = bi;
            if (bi > 0.0)
                ++excited;
            W(i) = ADIAG(i) != 0.0 ? bi / ADIAG(i) : 0.0;
        }
        if (q > excited) {
            g_trace.Printf("nicht genügend angeregte freiheitsgrade\n");
            return 1;
        }
    }
    for (int j = 2; j <= q; ++j)
        for (int i = 1; i <= nn; ++i)
            R(i, j) = 0.0;
    int l = nn - nd;
    for (int j = 2; j <= q; ++j) {
        double rt = 0.0;
        int ij = 1;
        for (int i = 1; i <= l; ++i) {
            if (W(i) >= rt) {
                rt = W(i);
                ij = i;
            }
        }
        for (int i = l < 1 ? 1 : l; i <= nn; ++i) {
            if (W(i) > rt) {
                rt = W(i);
                ij = i;
            }
        }
        WD(tt + j - 1) = ij;
        W(ij) = 0.0;
        l -= nd;
        R(ij, j) = 1.0;
    }
    return 0;
}

int JacobiGen(int a, int b, int x, int eigv, int d, int n, double rtol, int nsmax)
{
    auto A = [a, n](int i, int j) -> double& { return WD(a + PackedIndex(i, j, n) - 1); };
    auto B = [b, n](int i, int j) -> double& { return WD(b + PackedIndex(i, j, n) - 1); };
    auto X = [x, n](int i, int j) -> double& { return WD2(x, n, i, j); };
    auto EIGV = [eigv](int i) -> double& { return WD(eigv + i - 1); };
    auto D = [d](int i) -> double& { return WD(d + i - 1); };

    for (int i = 1; i <= n; ++i) {
        if (A(i, i) <= 0.0 || B(i, i) <= 0.0)
            return 1;
        EIGV(i) = A(i, i) / B(i, i);
        D(i) = EIGV(i);
    }
    Identity(x, n);
    if (n == 1)
        return 0;

    for (int nsweep = 1;; ++nsweep) {
        const double eps = std::pow(std::pow(0.01, nsweep), 2);
        for (int j = 1; j <= n - 1; ++j) {
            for (int k = j + 1; k <= n; ++k) {
                const double epsa = A(j, k) * A(j, k) / (A(j, j) * A(k, k));
                const double epsb = B(j, k) * B(j, k) / (B(j, j) * B(k, k));
                if (epsa < eps && epsb < eps)
                    continue;
                const double akk = A(k, k) * B(j, k) - B(k, k) * A(j, k);
                const double ajj = A(j, j) * B(j, k) - B(j, j) * A(j, k);
                const double ab = A(j, j) * B(k, k) - A(k, k) * B(j, j);
                const double check = (ab * ab + 4.0 * akk * ajj) / 4.0;
                if (check < 0.0)
                    return 2;
                const double sqch = std::sqrt(check);
                const double d1 = ab / 2.0 + sqch;
                const double d2 = ab / 2.0 - sqch;
                const double den = std::fabs(d2) > std::fabs(d1) ? d2 : d1;
                double ca = 0.0;
                double cg = 0.0;
                if (den == 0.0) {
                    cg = -A(j, k) / A(k, k);
                } else {
                    ca = akk / den;
                    cg = -ajj / den;
                }
                for (int i = 1; i <= n; ++i) {
                    if (i == j || i == k)
                        continue;
                    const double aj = A(i, j);
                    const double bj = B(i, j);
                    const double ak = A(i, k);
                    const double bk = B(i, k);
                    A(i, j) = aj + cg * ak;
                    B(i, j) = bj + cg * bk;
                    A(i, k) = ak + ca * aj;
                    B(i, k) = bk + ca * bj;
                }
                const double ak = A(k, k);
                const double bk = B(k, k);
                A(k, k) = ak + 2.0 * ca * A(j, k) + ca * ca * A(j, j);
                B(k, k) = bk + 2.0 * ca * B(j, k) + ca * ca * B(j, j);
                A(j, j) = A(j, j) + 2.0 * cg * A(j, k) + cg * cg * ak;
                B(j, j) = B(j, j) + 2.0 * cg * B(j, k) + cg * cg * bk;
                A(j, k) = 0.0;
                B(j, k) = 0.0;
                for (int i = 1; i <= n; ++i) {
                    const double xj = X(i, j);
                    const double xk = X(i, k);
                    X(i, j) = xj + cg * xk;
                    X(i, k) = xk + ca * xj;
                }
            }
        }
        for (int i = 1; i <= n; ++i) {
            if (A(i, i) <= 0.0 || B(i, i) <= 0.0)
                return 3;
            EIGV(i) = A(i, i) / B(i, i);
        }
        bool converged = true;
        for (int i = 1; i <= n && converged; ++i)
            if (std::fabs(EIGV(i) - D(i)) > rtol * D(i))
                converged = false;
        const double eps2 = rtol * rtol;
        for (int j = 1; j <= n - 1 && converged; ++j)
            for (int k = j + 1; k <= n && converged; ++k) {
                const double epsa = A(j, k) * A(j, k) / (A(j, j) * A(k, k));
                const double epsb = B(j, k) * B(j, k) / (B(j, j) * B(k, k));
                if (!(epsa < eps2 && epsb < eps2))
                    converged = false;
            }
        if (converged || nsweep >= nsmax)
            break;
        for (int i = 1; i <= n; ++i)
            D(i) = EIGV(i);
    }
    for (int j = 1; j <= n; ++j) {
        const double bb = std::sqrt(B(j, j));
        for (int i = 1; i <= n; ++i)
            X(i, j) /= bb;
    }
    return 0;
}

int h4801(int a, int b, int maxa, int r, int eigv, int ar, int br, int vec, int d, int rtolv, int tt, int w, int nn,
          int nwm, int nroot, int q, double rtol, int nitem)
{
    auto R = [r, nn](int j) { return r + (j - 1) * nn; };  // first entry of vector j
    auto EIGV = [eigv](int i) -> double& { return WD(eigv + i - 1); };
    auto D = [d](int i) -> double& { return WD(d + i - 1); };
    auto RTOLV = [rtolv](int i) -> double& { return WD(rtolv + i - 1); };
    (void)tt;
    FillD(d, 1, q, 0.0);
    bool converged = false;
    for (int nite = 1;; ++nite) {
        g_trace.Printf("************** nite = %d\n", nite);
        for (int j = 1; j <= q; ++j) {
            MultiplyB(b, R(j), w, maxa, nn, nwm);
            h0811(w, R(j), nn);
        }
        for (int j = 1; j <= q; ++j) {
            h0811(R(j), w, nn);
            ReduceBackSubstitute(a, maxa, w, nn);
            for (int i = j; i <= q; ++i)
                WD(ar + PackedIndex(j, i, q) - 1) = Dot(R(i), 1, w, 1, nn);
            h0811(w, R(j), nn);
        }
        for (int j = 1; j <= q; ++j) {
            MultiplyB(b, R(j), w, maxa, nn, nwm);
            for (int i = j; i <= q; ++i)
                WD(br + PackedIndex(j, i, q) - 1) = Dot(R(i), 1, w, 1, nn);
        }
        const int rt = JacobiGen(ar, br, vec, eigv, rtolv, q, 1e-6, 12);
        if (rt == 1) {
            // B has no positive part (no member in compression): no buckling, eigenvalues 0
            FillD(eigv, 1, q, 0.0);
            FillD(r, 1, nn * q, 0.0);
            return 0;
        }
        if (rt > 0) {
            g_trace.Printf(" RT(4801) = %d\n", rt);
            return 4801;
        }
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (int i = 1; i < q; ++i) {
                if (EIGV(i + 1) < EIGV(i)) {
                    std::swap(EIGV(i), EIGV(i + 1));
                    for (int l = 1; l <= q; ++l)
                        std::swap(WD2(vec, q, l, i), WD2(vec, q, l, i + 1));
                    swapped = true;
                }
            }
        }
        MatProduct(r, vec, r, nn, q, q, 0, 0, w);
        if (converged)
            return 0;
        for (int i = 1; i <= q; ++i)
            RTOLV(i) = EIGV(i) != 0.0 ? std::fabs((EIGV(i) - D(i)) / EIGV(i)) : 0.0;
        bool all = true;
        for (int i = 1; i <= nroot; ++i)
            if (RTOLV(i) > rtol)
                all = false;
        if (all || nite >= nitem) {
            converged = true;  // one more iteration
            continue;
        }
        for (int i = 1; i <= q; ++i)
            D(i) = EIGV(i);
    }
}

int h4809(int a, int b, int maxa, int r, int nn, int nwm, int nroot, int q)
{
    const int eigv = r + nn * q;
    const int ar = eigv + q;
    const int br = ar + q * (q + 1) / 2;
    const int vec = br + q * (q + 1) / 2;
    const int d = vec + q * q;
    const int rtolv = d + q;
    const int tt = rtolv + q;
    const int w = tt + q;
    const int scratch = w + nn;
    (void)scratch;
    h4805(a, b, maxa, r, w, tt, nn, nwm, q);
    int error = 0;
    h3659(a, maxa, nn, 0, error);
    if (error > 0)
        return error;
    return h4801(a, b, maxa, r, eigv, ar, br, vec, d, rtolv, tt, w, nn, nwm, nroot, q, 1e-8, 40);
}

void h0810(int x, int incx, int y, int incy, int n, double s, int op)
{
    int ix = incx < 0 ? x + (n - 1) * (-incx) : x;
    int iy = incy < 0 ? y + (n - 1) * (-incy) : y;
    for (int i = 0; i < n; ++i, ix += incx, iy += incy) {
        double& xv = WD(ix);
        double& yv = WD(iy);
        switch (op) {
        case 0: yv = s * xv; break;
        case 1: {
            const double old = yv;
            yv = s * xv;
            xv = old;
            break;
        }
        case 2: yv += s * xv; break;
        case 4: yv -= s * xv; break;
        case 8: yv = s * xv - yv; break;
        case 16: yv = s / xv; break;
        default: break;
        }
    }
}

void h0811(int x, int y, int n)
{
    if (x == y)
        return;
    for (int i = 0; i < n; ++i)
        WD(y + i) = WD(x + i);
}

void h0812(int x, int n, double s)
{
    for (int i = 0; i < n; ++i)
        WD(x + i) *= s;
}
