// Numerical kernel of the frame analysis: skyline (active-column) storage of the symmetric system
// matrix, LDL^T decomposition and solution, subspace iteration with generalized Jacobi for the lowest
// buckling eigenvalues, and small vector and matrix routines.
//
// Every array argument is an index into the global work arrays (engine/workarrays.h): doubles unless
// the name says int (heights, addresses, location vectors). Indices are 1-based, tables column-major.
// No routine allocates or checks the work-array size: the caller's partition provides the room.
//
// Packed storage of a symmetric n x n matrix (element matrices, projected matrices): the upper triangle
// row by row from the diagonal, i.e. entry (i, j), i <= j, at position PackedIndex(i, j, n).
#pragma once

// Position (1-based) of entry (i, j) of a symmetric n x n matrix in packed storage.
inline int PackedIndex(int i, int j, int n)
{
    if (i > j) {
        const int t = i;
        i = j;
        j = t;
    }
    return (i - 1) * n - (i - 1) * (i - 2) / 2 + (j - i) + 1;
}

namespace engine {

// lm(7(k-1)+j) = 7 node_k + j for j = 1..dofs; nodes: int index of the node numbers (0-based nodes).
void LocationVector(int lm, int nodeNumbers, int nodes = 2, int dofs = 7);
// Raises the column heights mht (int) by the element with location vector lm (int) of nd entries.
void ColumnHeights(int mht, int nd, int lm);
// Diagonal addresses maxa (int, nn + 1 entries) from the heights mht (int); heights 0 become 1.
// Returns the skyline length nwk; mk gets the largest height + 1.
int ColumnAddresses(int maxa, int mht, int nn, int& mk);
// Packs the upper triangle of the full nd x nd matrix at full into packed.
void PackUpper(int full, int packed, int nd);
// Adds the packed element matrix s into the skyline store a through the location vector lm (int).
void AssembleSkyline(int a, int maxa, int s, int lm, int nd);
// Forward reduction, then division by the diagonal and back-substitution of v (A decomposed).
void ReduceBackSubstitute(int a, int maxa, int v, int nn);
// y = B x; B in skyline form when nwm != nn, else diagonal (one value per equation).
void MultiplyB(int b, int x, int y, int maxa, int nn, int nwm);
// Fills n doubles (ints) from x with stride inc.
void FillD(int x, int inc, int n, double value);
void FillI(int x, int inc, int n, int value);
// n x n identity at x.
void Identity(int x, int n);
// R (m x k) = op(P) Q, op 0 set, 2 add, 4 subtract; P is m x n (transpose 0) or n x m (transpose 1);
// Q is n x k. R may be Q, or P when P is square-compatible and not transposed; the scratch (n doubles
// for R == Q, k for R == P) is then needed.
void MatProduct(int p, int q, int r, int m, int n, int k, int op, int transpose, int scratch = 0);
// Sum of x * y over n entries with strides.
double Dot(int x, int incx, int y, int incy, int n);
// Kind 0 largest |x|, 1 smallest |x|, 2 and 3 largest x, 4 smallest x; offset from the first entry.
double Extremum(int x, int inc, int n, int kind, int& offset);
int ISign(int i);
// |a| with the sign of b (b = 0 counts as positive).
double SignTransfer(double a, double b);
// Writes a matrix of the work arrays to the trace; kind 0 doubles, else ints.
void PrintMatrix(const char* name, int start, int rows, int cols, int kind);

}  // namespace engine

// Applies supports to the skyline matrix a: c(i) < 0 rigid (row and column cleared), c(i) > 0 spring
// added to the diagonal (only when nn >= 0).
void SetzeLager(int a, int c, int maxa, int nn);
// kkk >= 0 decomposes a (returns the decomposition error when positive or when kkk == 0);
// kkk != 0 then reduces and back-substitutes v. Returns 0 or the last equation with a non-positive pivot.
int h3660(int a, int maxa, int v, int nn, int kkk);
// LDL^T decomposition in place; isw 0 checks pivots; error gets the last non-positive equation.
void h3659(int a, int maxa, int nn, int isw, int& error);
// Lowest nroot eigenvalues of a x = lambda b x with q iteration vectors starting at r. The work area
// laid out from r: vectors (nn x q), eigenvalues (q), projected a and b (q(q+1)/2 each), projected
// eigenvectors (q x q), old eigenvalues (q), error bounds (q), scratch (nn and nn).
// Returns 0, 4801 (Jacobi failure) or the decomposition error.
int h4809(int a, int b, int maxa, int r, int nn, int nwm, int nroot, int q);
// Size of the eigen work area that h4809 lays out from r.
inline int EigenWorkSize(int nn, int q)
{
    return nn * q + q + q * (q + 1) + q * q + 3 * q + 2 * nn;
}
// Starting vectors; returns 1 when B has too few excited degrees of freedom.
int h4805(int a, int b, int maxa, int r, int w, int tt, int nn, int nwm, int q);
// Subspace iteration proper (A decomposed); returns 0 or 4801.
int h4801(int a, int b, int maxa, int r, int eigv, int ar, int br, int vec, int d, int rtolv, int tt, int w, int nn,
          int nwm, int nroot, int q, double rtol, int nitem);
// Generalized Jacobi for a x = lambda b x (packed, order n); returns 0, 1, 2 or 3.
int JacobiGen(int a, int b, int x, int eigv, int d, int n, double rtol, int nsmax);
// Vector operation on n entries with strides: op 0 y = s x; 1 y = s x and x = old y; 2 y += s x;
// 4 y -= s x; 8 y = s x - y; 16 y = s / x.
void h0810(int x, int incx, int y, int incy, int n, double s, int op);
// Copies n doubles from x to y.
void h0811(int x, int y, int n);
// x = s x over n doubles.
void h0812(int x, int n, double s);
