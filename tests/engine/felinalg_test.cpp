// Skyline storage, decomposition, solution and the subspace eigen solver against dense reference
// computations written here and closed-form eigenvalues.
#include <cmath>
#include <numbers>
#include <random>

#include "engine/felinalg.h"
#include "engine/protocol.h"
#include "engine/utilities.h"
#include "work_fixture.h"

using namespace engine;

namespace {

using Dense = std::vector<std::vector<double>>;

// Gaussian elimination with partial pivoting: the independent reference solver.
std::vector<double> DenseSolve(Dense a, std::vector<double> b)
{
    const std::size_t n = b.size();
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c]))
                p = r;
        std::swap(a[c], a[p]);
        std::swap(b[c], b[p]);
        for (std::size_t r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (std::size_t k = c; k < n; ++k)
                a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    std::vector<double> x(n);
    for (std::size_t r = n; r-- > 0;) {
        double s = b[r];
        for (std::size_t k = r + 1; k < n; ++k)
            s -= a[r][k] * x[k];
        x[r] = s / a[r][r];
    }
    return x;
}

// Layout of one skyline system inside the work arrays of a test.
struct Skyline {
    int n = 0;
    int mht = 1;   // int
    int maxa = 0;  // int
    int a = 1;     // double
    int nwk = 0;
};

// Stores the dense symmetric matrix m in skyline form (heights from its profile).
Skyline StoreSkyline(const Dense& m)
{
    Skyline s;
    s.n = static_cast<int>(m.size());
    s.maxa = s.mht + s.n + 1;
    for (int j = 1; j <= s.n; ++j) {
        int h = 0;
        for (int i = 1; i < j; ++i)
            if (m[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] != 0.0) {
                h = j - i;
                break;
            }
        WI(s.mht + j - 1) = h;
    }
    int mk = 0;
    s.nwk = ColumnAddresses(s.maxa, s.mht, s.n, mk);
    for (int k = 0; k < s.nwk; ++k)
        WD(s.a + k) = 0.0;
    for (int j = 1; j <= s.n; ++j) {
        const int height = WI(s.maxa + j) - WI(s.maxa + j - 1) - 1;
        for (int i = j - height; i <= j; ++i)
            WD(s.a + WI(s.maxa + j - 1) + j - i - 1) =
                m[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    }
    return s;
}

Dense RandomBandedSpd(int n, int halfBand, std::mt19937& rng)
{
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::uniform_int_distribution<int> height(0, halfBand);
    Dense m(static_cast<std::size_t>(n), std::vector<double>(static_cast<std::size_t>(n), 0.0));
    for (int j = 0; j < n; ++j) {
        const int h = std::min(j, height(rng));  // a skyline of varying height
        for (int i = j - h; i < j; ++i) {
            const double v = value(rng);
            m[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = v;
            m[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] = v;
        }
    }
    for (int i = 0; i < n; ++i) {
        double row = 0.0;
        for (int j = 0; j < n; ++j)
            row += std::fabs(m[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]);
        m[static_cast<std::size_t>(i)][static_cast<std::size_t>(i)] = row + 0.5 + value(rng) * 0.25;
    }
    return m;
}

}  // namespace

using FeLinalg = WorkArrayTest;

TEST_F(FeLinalg, SkylineSolveMatchesDenseSolveOnRandomBandedSystems)
{
    std::mt19937 rng(4711);
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    const struct {
        int n, halfBand;
    } cases[] = {{1, 0}, {5, 1}, {12, 3}, {40, 7}, {90, 14}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        const Dense m = RandomBandedSpd(c.n, c.halfBand, rng);
        std::vector<double> rhs(static_cast<std::size_t>(c.n));
        for (double& r : rhs)
            r = value(rng);
        const Skyline s = StoreSkyline(m);
        const int v = s.a + s.nwk + 10;
        PutD(v, rhs);
        ASSERT_EQ(h3660(s.a, s.maxa, v, s.n, 1), 0);
        const std::vector<double> expected = DenseSolve(m, rhs);
        for (int i = 0; i < c.n; ++i)
            EXPECT_NEAR(WD(v + i), expected[static_cast<std::size_t>(i)],
                        1e-10 * (1 + std::fabs(expected[static_cast<std::size_t>(i)])));
    }
}

TEST_F(FeLinalg, DecomposeOnceThenSolveSeveralRightHandSides)
{
    std::mt19937 rng(99);
    const Dense m = RandomBandedSpd(20, 4, rng);
    const Skyline s = StoreSkyline(m);
    const int v = s.a + s.nwk + 10;
    ASSERT_EQ(h3660(s.a, s.maxa, v, s.n, 0), 0);  // decompose only
    for (int rhsNo = 0; rhsNo < 3; ++rhsNo) {
        std::vector<double> rhs(20, 0.0);
        rhs[static_cast<std::size_t>(rhsNo * 7)] = 1.0;
        PutD(v, rhs);
        h3660(s.a, s.maxa, v, s.n, -1);  // solve only
        const auto expected = DenseSolve(m, rhs);
        for (int i = 0; i < 20; ++i)
            EXPECT_NEAR(WD(v + i), expected[static_cast<std::size_t>(i)], 1e-12);
    }
}

TEST_F(FeLinalg, ColumnOfHeightZeroIsStoredWithHeightOne)
{
    // heights 0, 0, 2: the second column gets one zero above its diagonal
    const int mht = 1, maxa = 10;
    WI(mht) = 0;
    WI(mht + 1) = 0;
    WI(mht + 2) = 2;
    int mk = 0;
    const int nwk = ColumnAddresses(maxa, mht, 3, mk);
    EXPECT_EQ(WI(maxa), 1);
    EXPECT_EQ(WI(maxa + 1), 2);
    EXPECT_EQ(WI(maxa + 2), 4);  // 2 + height 1 + 1
    EXPECT_EQ(WI(maxa + 3), 7);
    EXPECT_EQ(nwk, 6);
    EXPECT_EQ(mk, 3);
}

TEST_F(FeLinalg, ColumnHeightsAndAssemblyThroughLocationVectors)
{
    // Two 2-node elements of 7 dofs on nodes (0,1) and (1,2); dense assembly done here by hand.
    const int nodes = 1;  // int: node numbers
    const int lm = 10;    // int: 14 entries
    const int mht = 40;   // int: 21 heights
    const int maxa = 70;  // int
    const int nn = 21;
    const int a = 1, s = 2000, full = 3000;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    Dense dense(nn, std::vector<double>(nn, 0.0));
    std::vector<Dense> elems;
    for (int e = 0; e < 2; ++e) {
        Dense k(14, std::vector<double>(14, 0.0));
        for (int i = 0; i < 14; ++i)
            for (int j = i; j < 14; ++j)
                k[i][j] = k[j][i] = value(rng);
        elems.push_back(k);
        for (int i = 0; i < 14; ++i)
            for (int j = 0; j < 14; ++j)
                dense[7 * e + i][7 * e + j] += k[i][j];
    }
    for (int e = 0; e < 2; ++e) {
        WI(nodes) = e;
        WI(nodes + 1) = e + 1;
        LocationVector(lm, nodes);
        EXPECT_EQ(WI(lm), 7 * e + 1);
        EXPECT_EQ(WI(lm + 13), 7 * e + 14);
        ColumnHeights(mht, 14, lm);
    }
    int mk = 0;
    const int nwk = ColumnAddresses(maxa, mht, nn, mk);
    EXPECT_EQ(mk, 14);
    for (int k = 0; k < nwk; ++k)
        WD(a + k) = 0.0;
    for (int e = 0; e < 2; ++e) {
        WI(nodes) = e;
        WI(nodes + 1) = e + 1;
        LocationVector(lm, nodes);
        for (int i = 0; i < 14; ++i)
            for (int j = 0; j < 14; ++j)
                WD2(full, 14, i + 1, j + 1) = elems[e][i][j];
        PackUpper(full, s, 14);
        AssembleSkyline(a, maxa, s, lm, 14);
    }
    for (int j = 1; j <= nn; ++j) {
        const int height = WI(maxa + j) - WI(maxa + j - 1) - 1;
        for (int i = 1; i <= j; ++i) {
            const double stored = (j - i <= height) ? WD(a + WI(maxa + j - 1) + j - i - 1) : 0.0;
            EXPECT_DOUBLE_EQ(stored, dense[i - 1][j - 1]) << i << "," << j;
        }
    }
    // an all-zero location vector adds nothing
    const std::vector<double> before = GetD(a, nwk);
    for (int i = 0; i < 14; ++i)
        WI(lm + i) = 0;
    AssembleSkyline(a, maxa, s, lm, 14);
    EXPECT_EQ(GetD(a, nwk), before);
}

TEST_F(FeLinalg, RigidEquationGivesExactlyZeroAndSpringsAddToTheDiagonal)
{
    // K = tridiag(-1, 2, -1) of order 4; equation 2 rigid, a spring of 3 on equation 4.
    Dense m = {{2, -1, 0, 0}, {-1, 2, -1, 0}, {0, -1, 2, -1}, {0, 0, -1, 2}};
    const Skyline s = StoreSkyline(m);
    const int c = 500, v = 600;
    PutD(c, {0.0, -1.0, 0.0, 3.0});
    SetzeLager(s.a, c, s.maxa, 4);
    PutD(v, {1.0, 5.0, 2.0, 4.0});
    ASSERT_EQ(h3660(s.a, s.maxa, v, 4, 1), 0);
    // Reference: equation 2 removed, spring added: [[2]] for eq 1; [[2,-1],[-1,5]] for eqs 3, 4.
    EXPECT_EQ(WD(v + 1), 0.0);
    EXPECT_NEAR(WD(v), 0.5, 1e-14);
    const auto x34 = DenseSolve({{2, -1}, {-1, 5}}, {2.0, 4.0});
    EXPECT_NEAR(WD(v + 2), x34[0], 1e-14);
    EXPECT_NEAR(WD(v + 3), x34[1], 1e-14);
}

TEST_F(FeLinalg, TinyPivotIsReportedAsNonPositive)
{
    // [[1, 1], [1, 1 + 1e-16]]: the second pivot is 1e-16 (below the threshold 1e-15).
    const Skyline s = StoreSkyline({{1.0, 1.0}, {1.0, 1.0 + 1e-16}});
    int error = 0;
    h3659(s.a, s.maxa, 2, 0, error);
    EXPECT_EQ(error, 2);
    const Skyline t = StoreSkyline({{4.0, 0.0, 0.0}, {0.0, -1.0, 0.0}, {0.0, 0.0, -2.0}});
    h3659(t.a, t.maxa, 3, 0, error);
    EXPECT_EQ(error, 3);  // the last bad equation is named
}

TEST_F(FeLinalg, SkylineMultiplicationMatchesDenseProduct)
{
    std::mt19937 rng(17);
    const Dense m = RandomBandedSpd(15, 4, rng);
    const Skyline s = StoreSkyline(m);
    const int x = 5000, y = 6000;
    std::vector<double> xv(15);
    for (int i = 0; i < 15; ++i)
        xv[i] = std::sin(i + 1.0);
    PutD(x, xv);
    MultiplyB(s.a, x, y, s.maxa, 15, s.nwk);
    for (int i = 0; i < 15; ++i) {
        double ref = 0.0;
        for (int j = 0; j < 15; ++j)
            ref += m[i][j] * xv[j];
        EXPECT_NEAR(WD(y + i), ref, 1e-12);
    }
    // diagonal form
    PutD(7000, {2.0, 3.0});
    PutD(x, {5.0, 7.0});
    MultiplyB(7000, x, y, s.maxa, 2, 2);
    EXPECT_EQ(GetD(y, 2), (std::vector<double>{10.0, 21.0}));
}

TEST_F(FeLinalg, GeneralizedJacobiSolvesSmallPencil)
{
    // K = tridiag(-1, 2, -1), M = I, order 3: eigenvalues 2 - sqrt 2, 2, 2 + sqrt 2.
    const int a = 1, b = 20, x = 40, eigv = 60, d = 70;
    PutD(a, {2, -1, 0, 2, -1, 2});  // packed upper rows
    PutD(b, {1, 0, 0, 1, 0, 1});
    ASSERT_EQ(JacobiGen(a, b, x, eigv, d, 3, 1e-12, 15), 0);
    std::vector<double> lambda = GetD(eigv, 3);
    std::sort(lambda.begin(), lambda.end());
    EXPECT_NEAR(lambda[0], 2.0 - std::sqrt(2.0), 1e-10);
    EXPECT_NEAR(lambda[1], 2.0, 1e-10);
    EXPECT_NEAR(lambda[2], 2.0 + std::sqrt(2.0), 1e-10);
    // K x = lambda M x and x^T x = 1 for each vector
    const Dense k = {{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}};
    for (int j = 1; j <= 3; ++j) {
        double norm = 0.0;
        for (int i = 1; i <= 3; ++i) {
            double kx = 0.0;
            for (int l = 1; l <= 3; ++l)
                kx += k[i - 1][l - 1] * WD2(x, 3, l, j);
            EXPECT_NEAR(kx, WD(eigv + j - 1) * WD2(x, 3, i, j), 1e-9);
            norm += WD2(x, 3, i, j) * WD2(x, 3, i, j);
        }
        EXPECT_NEAR(norm, 1.0, 1e-10);
    }
    // a non-positive diagonal is refused
    PutD(a, {0, -1, 0, 2, -1, 2});
    EXPECT_EQ(JacobiGen(a, b, x, eigv, d, 3, 1e-12, 15), 1);
}

namespace {

// Lowest eigenvalues of the fixed-fixed chain K = tridiag(-1, 2, -1) with mass M: K x = lambda M x.
struct PencilCase {
    const char* name;
    bool consistentMass;  // M = tridiag(1, 4, 1) / 6, else M = I
    bool diagonalForm;    // B passed as a diagonal (nwm == nn)
};

void PrintTo(const PencilCase& c, std::ostream* os)
{
    *os << c.name;
}

}  // namespace

class SubspacePencil : public WorkArrayTest, public ::testing::WithParamInterface<PencilCase> {};

TEST_P(SubspacePencil, FindsLowestEigenvaluesOfChainPencil)
{
    const PencilCase c = GetParam();
    const int n = 30;
    Dense kd(n, std::vector<double>(n, 0.0)), md(n, std::vector<double>(n, 0.0));
    for (int i = 0; i < n; ++i) {
        kd[i][i] = 2.0;
        md[i][i] = c.consistentMass ? 4.0 / 6.0 : 1.0;
        if (i > 0) {
            kd[i][i - 1] = kd[i - 1][i] = -1.0;
            if (c.consistentMass)
                md[i][i - 1] = md[i - 1][i] = 1.0 / 6.0;
        }
    }
    const Skyline ks = StoreSkyline(kd);
    // B in the same skyline (same addresses) after K
    const int b = ks.a + ks.nwk + 5;
    for (int j = 1; j <= n; ++j) {
        const int height = WI(ks.maxa + j) - WI(ks.maxa + j - 1) - 1;
        for (int i = j - height; i <= j; ++i)
            WD(b + WI(ks.maxa + j - 1) + j - i - 1) = md[i - 1][j - 1];
    }
    int nwm = ks.nwk;
    if (c.diagonalForm) {
        for (int i = 0; i < n; ++i)
            WD(b + i) = md[i][i];
        nwm = n;
    }
    const int q = 4, r = b + ks.nwk + 5;
    ASSERT_EQ(h4809(ks.a, b, ks.maxa, r, n, nwm, 2, q), 0);
    const int eigv = r + n * q;
    for (int k = 1; k <= 2; ++k) {
        const double theta = k * std::numbers::pi / (n + 1);
        const double expected =
            c.consistentMass ? 6.0 * (1 - std::cos(theta)) / (2 + std::cos(theta)) : 2.0 - 2.0 * std::cos(theta);
        EXPECT_NEAR(WD(eigv + k - 1), expected, 1e-7 * expected) << k;
        // the vector is the sine mode: ratio to sin(k pi i/(n+1)) is constant
        const double ratio = WD2(r, n, 1, k) / std::sin(theta);
        for (int i = 1; i <= n; ++i)
            EXPECT_NEAR(WD2(r, n, i, k), ratio * std::sin(i * theta), 1e-5 * std::fabs(ratio));
    }
}

INSTANTIATE_TEST_SUITE_P(Pencils, SubspacePencil,
                         ::testing::Values(PencilCase{"IdentitySkyline", false, false},
                                           PencilCase{"IdentityDiagonal", false, true},
                                           PencilCase{"ConsistentMass", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FeLinalg, VectorOperations)
{
    const struct {
        int op;
        double s;
        std::vector<double> y, x;  // expected y and x after the operation
    } cases[] = {
        {0, 2.0, {2, 4, 6}, {1, 2, 3}},   {1, 2.0, {2, 4, 6}, {10, 20, 30}},   {2, 2.0, {12, 24, 36}, {1, 2, 3}},
        {4, 2.0, {8, 16, 24}, {1, 2, 3}}, {8, 2.0, {-8, -16, -24}, {1, 2, 3}}, {16, 6.0, {6, 3, 2}, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        PutD(1, {1, 2, 3});
        PutD(10, {10, 20, 30});
        h0810(1, 1, 10, 1, 3, c.s, c.op);
        EXPECT_EQ(GetD(10, 3), c.y);
        EXPECT_EQ(GetD(1, 3), c.x);
    }
    // a negative stride walks backwards: y = reversed x
    PutD(1, {1, 2, 3});
    h0810(1, -1, 10, 1, 3, 1.0, 0);
    EXPECT_EQ(GetD(10, 3), (std::vector<double>{3, 2, 1}));
    h0811(1, 20, 3);
    EXPECT_EQ(GetD(20, 3), (std::vector<double>{1, 2, 3}));
    h0812(20, 3, -2.0);
    EXPECT_EQ(GetD(20, 3), (std::vector<double>{-2, -4, -6}));
    EXPECT_DOUBLE_EQ(Dot(1, 1, 20, 1, 3), -28.0);
    FillD(30, 2, 3, 7.0);
    EXPECT_EQ(GetD(30, 5), (std::vector<double>{7, 0, 7, 0, 7}));
}

TEST_F(FeLinalg, MatrixProductPlainTransposedAndInPlace)
{
    // P = [[1,2],[3,4]] (column-major 1,3,2,4), Q = [[5,6],[7,8]]
    PutD(1, {1, 3, 2, 4});
    PutD(10, {5, 7, 6, 8});
    MatProduct(1, 10, 20, 2, 2, 2, 0, 0);
    EXPECT_EQ(GetD(20, 4), (std::vector<double>{19, 43, 22, 50}));
    MatProduct(1, 10, 20, 2, 2, 2, 2, 1);  // += P^T Q = [[26,30],[38,44]]
    EXPECT_EQ(GetD(20, 4), (std::vector<double>{45, 81, 52, 94}));
    MatProduct(1, 10, 1, 2, 2, 2, 0, 0, 100);  // in place: P = P Q
    EXPECT_EQ(GetD(1, 4), (std::vector<double>{19, 43, 22, 50}));
    PutD(1, {1, 3, 2, 4});
    MatProduct(1, 10, 10, 2, 2, 2, 0, 0, 100);  // in place: Q = P Q
    EXPECT_EQ(GetD(10, 4), (std::vector<double>{19, 43, 22, 50}));
    Identity(40, 2);
    EXPECT_EQ(GetD(40, 4), (std::vector<double>{1, 0, 0, 1}));
}

TEST_F(FeLinalg, ExtremumSignsAndAngle)
{
    PutD(1, {-3, 1, 3, -1, 2});
    int offset = -1;
    EXPECT_EQ(Extremum(1, 1, 5, 0, offset), -3.0);  // first largest |x|
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(Extremum(1, 1, 5, 1, offset), -1.0);  // last smallest |x|
    EXPECT_EQ(offset, 3);
    EXPECT_EQ(Extremum(1, 1, 5, 2, offset), 3.0);
    EXPECT_EQ(offset, 2);
    EXPECT_EQ(Extremum(1, 1, 5, 4, offset), -3.0);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(ISign(-5), -1);
    EXPECT_EQ(ISign(0), 0);
    EXPECT_EQ(ISign(9), 1);
    EXPECT_EQ(SignTransfer(3.0, 0.0), 3.0);
    EXPECT_EQ(SignTransfer(3.0, -2.0), -3.0);
    EXPECT_EQ(SignTransfer(-3.0, 1.0), 3.0);
    EXPECT_DOUBLE_EQ(Angle(0.0, 0.0), std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(Angle(1.0, -1.0), 3 * std::numbers::pi / 4);
}

TEST_F(FeLinalg, MatrixPrintGoesToTheTraceOnlyWhenItIsOpen)
{
    PutD(1, {1.5, -2.0, 0.0, 1e3});
    WI(1) = 7;
    WI(2) = -1;
    g_trace.OpenInMemory();  // starts an empty text
    g_trace.Close();
    PrintMatrix("K", 1, 2, 2, 0);
    EXPECT_TRUE(g_trace.Text().empty());
    g_trace.OpenInMemory();
    PrintMatrix("K", 1, 2, 2, 0);
    PrintMatrix("lm", 1, 1, 2, 1);
    EXPECT_EQ(g_trace.Text(),
              " MATRIX ->K<- ia = 1 ma = 2 na = 2\n  1.50e+00  0.00e+00\n  -2.00e+00  1.00e+03\n"
              " MATRIX ->lm<- ia = 1 ma = 1 na = 2\n  7  -1\n");
    g_trace.Close();
}
