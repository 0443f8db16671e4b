// Beam element matrices, eccentricity transformation and fixed-end forces against textbook values,
// and whole-beam checks (deflections, buckling loads) assembled here from the element and solver routines.
#include <cmath>
#include <numbers>

#include "engine/element.h"
#include "engine/felinalg.h"
#include "engine/protocol.h"
#include "work_fixture.h"

using namespace engine;

namespace {

constexpr double kE = 3.0e7;    // kN/m2
constexpr double kA = 0.12;     // m2
constexpr double kIy = 9.0e-4;  // m4
constexpr double kIz = 1.6e-3;  // m4
constexpr double kIt = 1.8e-3;  // m4

// dof numbers (1-based) within an element
enum { U1 = 1, V1, W1, RX1, RY1, RZ1, WA1, U2, V2, W2, RX2, RY2, RZ2, WA2 };

class ElementTest : public WorkArrayTest {
protected:
    static constexpr int kInput = 1, kKe = 100, kKg = 400, kForces = 700, kT = 800;

    void SetInput(double L, double E, double A, double Iy, double Iz, double It)
    {
        FillD(kInput, 1, kElementInputSize, 0.0);
        WD(kInput + kElL) = L;
        WD(kInput + kElE) = E;
        WD(kInput + kElG) = 100.0 * E;
        WD(kInput + kElA) = A;
        WD(kInput + kElIy) = Iy;
        WD(kInput + kElIz) = Iz;
        WD(kInput + kElIt) = It;
    }
    // stored end forces of an element under axial force N (tension positive): start sign-changed
    void SetAxial(double N)
    {
        FillD(kForces, 1, 14, 0.0);
        WD(kForces) = N;
        WD(kForces + 7) = N;
    }
    static double Ke(int r, int c) { return WD2(kKe, 14, r, c); }
    static double Kg(int r, int c) { return WD2(kKg, 14, r, c); }
};

}  // namespace

TEST_F(ElementTest, StiffnessIsSymmetricAndRigidBodyModesGiveNoForces)
{
    const double L = 2.5;
    SetInput(L, kE, kA, kIy, kIz, kIt);
    SetAxial(0.0);
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, 0, 1), 0);
    for (int r = 1; r <= 14; ++r)
        for (int c = 1; c <= 14; ++c)
            EXPECT_DOUBLE_EQ(Ke(r, c), Ke(c, r));
    // rigid modes: translations, twist, rotation about y (w = -x theta), about z (v = x theta)
    std::vector<std::vector<double>> modes(6, std::vector<double>(14, 0.0));
    for (int k = 0; k < 3; ++k)
        modes[k][k] = modes[k][k + 7] = 1.0;
    modes[3][RX1 - 1] = modes[3][RX2 - 1] = 1.0;
    modes[4][RY1 - 1] = modes[4][RY2 - 1] = 1.0;
    modes[4][W2 - 1] = -L;
    modes[5][RZ1 - 1] = modes[5][RZ2 - 1] = 1.0;
    modes[5][V2 - 1] = L;
    for (std::size_t m = 0; m < modes.size(); ++m)
        for (int r = 1; r <= 14; ++r) {
            double f = 0.0;
            for (int c = 1; c <= 14; ++c)
                f += Ke(r, c) * modes[m][c - 1];
            EXPECT_NEAR(f, 0.0, 1e-6) << "mode " << m << " row " << r;  // stiffness ~1e7
        }
}

TEST_F(ElementTest, CantileverTipDeflectionsOfOneElement)
{
    // fixed at node i; loads at node j: PL/EA, PL^3/3EI, PL^2/2EI (ry = -dw/dx, so negative)
    const double L = 3.0, P = 10.0;
    SetInput(L, kE, kA, kIy, kIz, kIt);
    SetAxial(0.0);
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, 0, 1), 0);
    auto solve2 = [&](int d, int r, double load) {
        const double a = Ke(d, d), b = Ke(d, r), c = Ke(r, r);
        const double det = a * c - b * b;
        return std::pair{c * load / det, -b * load / det};
    };
    EXPECT_NEAR(P / Ke(U2, U2), P * L / (kE * kA), 1e-15);
    const auto [v, rz] = solve2(V2, RZ2, P);
    EXPECT_NEAR(v, P * L * L * L / (3 * kE * kIz), 1e-12);
    EXPECT_NEAR(rz, P * L * L / (2 * kE * kIz), 1e-12);
    const auto [w, ry] = solve2(W2, RY2, P);
    EXPECT_NEAR(w, P * L * L * L / (3 * kE * kIy), 1e-12);
    EXPECT_NEAR(ry, -P * L * L / (2 * kE * kIy), 1e-12);
}

TEST_F(ElementTest, GeometricMatrixTakesOnlyCompression)
{
    SetInput(2.0, kE, kA, kIy, kIz, kIt);
    SetAxial(50.0);  // tension
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, 0, 0), 0);
    for (int k = 0; k < 196; ++k)
        ASSERT_EQ(WD(kKg + k), 0.0);
    SetAxial(-50.0);  // compression: N = -50, 6N/5L on v and w
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, 0, 0), 0);
    EXPECT_DOUBLE_EQ(Kg(V1, V1), -50.0 * 6 / 10.0);
    EXPECT_DOUBLE_EQ(Kg(W1, W1), -50.0 * 6 / 10.0);
    EXPECT_DOUBLE_EQ(Kg(RZ1, RZ2), -50.0 * -2.0 / 30.0);
    EXPECT_DOUBLE_EQ(Kg(V1, RZ1), -Kg(W1, RY1));  // the planes' coupling signs are opposite
    for (int r = 1; r <= 14; ++r)                 // translations of a geometric matrix give no forces
        EXPECT_NEAR(Kg(r, V1) + Kg(r, V2), 0.0, 1e-12);
    // eigen sign flag: compression positive; tension still gives nothing
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, -1, 0), 0);
    EXPECT_DOUBLE_EQ(Kg(V1, V1), 50.0 * 6 / 10.0);
    SetAxial(50.0);
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, -1, 0), 0);
    EXPECT_EQ(Kg(V1, V1), 0.0);
    // with the add flag the geometric part is in the stiffness
    SetAxial(-50.0);
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, 0, 1), 0);
    EXPECT_NEAR(Ke(V1, V1), 12 * kE * kIz / 8.0 - 30.0, 1e-6);
}

TEST_F(ElementTest, EqualInertiasDifferSlightlyInEigenModeOnly)
{
    SetInput(2.0, kE, kA, kIy, kIy, kIt);
    SetAxial(0.0);
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, -1, 0), 0);
    EXPECT_NEAR(Ke(W1, W1) / Ke(V1, V1), 0.999999, 1e-12);
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, 0, 1), 0);
    EXPECT_DOUBLE_EQ(Ke(W1, W1), Ke(V1, V1));
}

TEST_F(ElementTest, RefusedInputsReturnOneAndAreLogged)
{
    DebugProtocol log;
    log.OpenInMemory();
    DebugProtocol* saved = g_errorLog;
    g_errorLog = &log;
    const struct {
        int field;
        const char* text;
    } cases[] = {{kElL, "FEHLER:  L <= 0.\n"},   {kElE, "FEHLER:  E <= 0.\n"},   {kElA, "FEHLER:  A <= 0.\n"},
                 {kElIy, "FEHLER:  Iy <= 0.\n"}, {kElIz, "FEHLER:  Iz <= 0.\n"}, {kElIt, "FEHLER:  It <= 0.\n"}};
    for (const auto& c : cases) {
        log.OpenInMemory();
        SetInput(2.0, kE, kA, kIy, kIz, kIt);
        WD(kInput + c.field) = 0.0;
        EXPECT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, 0, 1), 1) << c.text;
        EXPECT_EQ(log.Text(), c.text);
    }
    log.OpenInMemory();
    SetInput(-1.0, kE, -kA, kIy, kIz, kIt);  // every failing check is logged
    EXPECT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, 0, 1), 1);
    EXPECT_EQ(log.Text(), "FEHLER:  L <= 0.\nFEHLER:  A <= 0.\n");
    g_errorLog = saved;
}

TEST_F(ElementTest, ReleasedEndRotationGivesAPinnedEnd)
{
    // rotation z released at node j: the v-stiffness of a propped member, 3EI/L^3 at the free end
    const double L = 2.0;
    SetInput(L, kE, kA, kIy, kIz, kIt);
    WD(kInput + kElRelease + RZ2 - 1) = 1.0;
    SetAxial(0.0);
    ASSERT_EQ(ElementMatrices(kInput, kKe, kKg, kForces, 0, 1), 0);
    EXPECT_NEAR(Ke(V2, V2), 3 * kE * kIz / (L * L * L), 1e-6);
    EXPECT_NEAR(Ke(RZ1, RZ1), 3 * kE * kIz / L, 1e-6);
    for (int k = 1; k <= 14; ++k)
        EXPECT_EQ(Ke(RZ2, k), 0.0);
    EXPECT_NEAR(Ke(W2, W2), 12 * kE * kIy / (L * L * L), 1e-6);  // the other plane is untouched
}

TEST_F(ElementTest, EccentricityTransformation)
{
    WD(kT) = 42.0;
    EXPECT_EQ(ExzaMat(kT, 7, 0, 0, 1e-5, 0, -1e-5, 0), 0);
    EXPECT_EQ(WD(kT), 42.0);  // untouched
    ASSERT_EQ(ExzaMat(kT, 7, 0, 0, 0.05, 0, 0, 0), 1);
    // node i offset by c along z: u_end = u + c ry, v_end = v - c rx
    for (int r = 1; r <= 14; ++r)
        for (int c = 1; c <= 14; ++c) {
            double expected = r == c ? 1.0 : 0.0;
            if (r == U1 && c == RY1)
                expected = 0.05;
            if (r == V1 && c == RX1)
                expected = -0.05;
            EXPECT_EQ(WD2(kT, 14, r, c), expected) << r << "," << c;
        }
    // offsets along x and y at node j, as the rigid-link kinematics give them
    ASSERT_EQ(ExzaMat(kT, 7, 0, 0, 0, 0.2, 0.3, 0), 1);
    EXPECT_EQ(WD2(kT, 14, W2, RY2), -0.2);
    EXPECT_EQ(WD2(kT, 14, V2, RZ2), 0.2);
    EXPECT_EQ(WD2(kT, 14, W2, RX2), 0.3);
    EXPECT_EQ(WD2(kT, 14, U2, RZ2), -0.3);
}

namespace {

struct FixedEndCase {
    const char* name;
    double q8[8];         // qx, qy, qz, mx at start and end
    double expected[14];  // equivalent nodal forces
};

constexpr double L = 4.0, q = 3.0;
// uniform q: qL/2, qL^2/12; triangular 0 -> q: 3qL/20, 7qL/20, qL^2/30, qL^2/20; axial and torque
// linear: (2qs + qe)L/6. About z the start moment is positive; about y (ry = -dw/dx) negative.
const FixedEndCase kFixedEndCases[] = {
    {"UniformY",
     {0, 0, q, q, 0, 0, 0, 0},
     {0, q* L / 2, 0, 0, 0, q* L* L / 12, 0, 0, q* L / 2, 0, 0, 0, -q* L* L / 12, 0}},
    {"UniformZ",
     {0, 0, 0, 0, q, q, 0, 0},
     {0, 0, q* L / 2, 0, -q* L* L / 12, 0, 0, 0, 0, q* L / 2, 0, q* L* L / 12, 0, 0}},
    {"TriangleY",
     {0, 0, 0, q, 0, 0, 0, 0},
     {0, 3 * q* L / 20, 0, 0, 0, q* L* L / 30, 0, 0, 7 * q* L / 20, 0, 0, 0, -q* L* L / 20, 0}},
    {"TriangleZ",
     {0, 0, 0, 0, 0, q, 0, 0},
     {0, 0, 3 * q* L / 20, 0, -q* L* L / 30, 0, 0, 0, 0, 7 * q* L / 20, 0, q* L* L / 20, 0, 0}},
    {"AxialLinear", {2, 5, 0, 0, 0, 0, 0, 0}, {(4 + 5) * L / 6, 0, 0, 0, 0, 0, 0, (10 + 2) * L / 6, 0, 0, 0, 0, 0, 0}},
    {"TorqueUniform", {0, 0, 0, 0, 0, 0, 1.5, 1.5}, {0, 0, 0, 1.5 * L / 2, 0, 0, 0, 0, 0, 0, 1.5 * L / 2, 0, 0, 0}},
};

void PrintTo(const FixedEndCase& c, std::ostream* os)
{
    *os << c.name;
}

}  // namespace

class FixedEnd : public WorkArrayTest, public ::testing::WithParamInterface<FixedEndCase> {};

TEST_P(FixedEnd, MatchesTextbookValues)
{
    const FixedEndCase& c = GetParam();
    PutD(1, std::vector<double>(c.q8, c.q8 + 8));
    PutD(20, std::vector<double>(14, 1.0));  // load vector: the forces are added
    PutD(40, std::vector<double>(14, 0.0));
    FixedEndForces(1, 0, L, 20, 40);
    for (int k = 0; k < 14; ++k) {
        EXPECT_NEAR(WD(20 + k), 1.0 + c.expected[k], 1e-12) << k;
        EXPECT_NEAR(WD(40 + k), c.expected[k], 1e-12) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Loads, FixedEnd, ::testing::ValuesIn(kFixedEndCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------
// Whole beams assembled from the element routines, supported with SetzeLager and solved.

namespace {

class BeamTest : public WorkArrayTest {
protected:
    static constexpr int kElements = 10;
    static constexpr int kNodes = kElements + 1;
    static constexpr int kEq = 7 * kNodes;
    // int layout
    static constexpr int iNodes = 1, iLm = 10, iMht = 30, iMaxa = 120;
    // double layout
    static constexpr int dInput = 1, dKe = 50, dKg = 250, dForces = 450, dPacked = 500, dSprings = 700, dF = 800,
                         dU = 900, dK = 1000;
    int m_nwk = 0;
    int m_kg = 0, m_k0 = 0;

    void Skyline()
    {
        FillI(iMht, 1, kEq, 0);
        for (int e = 0; e < kElements; ++e) {
            WI(iNodes) = e;
            WI(iNodes + 1) = e + 1;
            LocationVector(iLm, iNodes);
            ColumnHeights(iMht, 14, iLm);
        }
        int mk = 0;
        m_nwk = ColumnAddresses(iMaxa, iMht, kEq, mk);
        m_kg = dK + m_nwk;
        m_k0 = m_kg + m_nwk;
    }

    // Assembles K (elastic, or plus geometric) and KG for uniform axial force N (tension positive).
    void Assemble(double length, double N, int signFlag, int addFlag)
    {
        FillD(dK, 1, 3 * m_nwk, 0.0);
        for (int e = 0; e < kElements; ++e) {
            FillD(dInput, 1, kElementInputSize, 0.0);
            WD(dInput + kElL) = length / kElements;
            WD(dInput + kElE) = kE;
            WD(dInput + kElG) = 100 * kE;
            WD(dInput + kElA) = kA;
            WD(dInput + kElIy) = kIy;
            WD(dInput + kElIz) = kIz;
            WD(dInput + kElIt) = kIt;
            FillD(dForces, 1, 14, 0.0);
            WD(dForces) = N;
            WD(dForces + 7) = N;
            ASSERT_EQ(ElementMatrices(dInput, dKe, dKg, dForces, signFlag, addFlag), 0);
            WI(iNodes) = e;
            WI(iNodes + 1) = e + 1;
            LocationVector(iLm, iNodes);
            PackUpper(dKe, dPacked, 14);
            AssembleSkyline(dK, iMaxa, dPacked, iLm, 14);
            PackUpper(dKg, dPacked, 14);
            AssembleSkyline(m_kg, iMaxa, dPacked, iLm, 14);
        }
    }

    // rigid components (0-based dof within the node) at a node
    void Fix(int node, std::initializer_list<int> dofs)
    {
        for (int d : dofs)
            WD(dSprings + 7 * node + d) = -1.0;
    }
};

}  // namespace

TEST_F(BeamTest, ProppedCantileverUnderUniformLoadInBothPlanes)
{
    // Fixed at x = 0, pinned at x = L: w(x) = q x^2 (3L^2 - 5Lx + 2x^2) / (48 EI), base moment qL^2/8.
    const double length = 5.0, q = 12.0, h = length / kElements;
    Skyline();
    Assemble(length, 0.0, 0, 1);
    h0811(dK, m_k0, m_nwk);
    FillD(dSprings, 1, kEq, 0.0);
    Fix(0, {0, 1, 2, 3, 4, 5, 6});
    Fix(kElements, {1, 2, 3, 6});
    SetzeLager(dK, dSprings, iMaxa, kEq);
    FillD(dF, 1, kEq, 0.0);
    const int q8 = 100000, fixed = 100020, elementLoad = 100040, reactions = 100100;
    PutD(q8, {0, 0, q, q, q, q, 0, 0});
    for (int e = 0; e < kElements; ++e) {
        FillD(elementLoad, 1, 14, 0.0);
        FixedEndForces(q8, e, h, elementLoad, fixed);
        for (int k = 0; k < 14; ++k)
            WD(dF + 7 * e + k) += WD(elementLoad + k);
    }
    h0811(dF, dU, kEq);
    ASSERT_EQ(h3660(dK, iMaxa, dU, kEq, 1), 0);
    for (int n = 0; n <= kElements; ++n) {
        const double x = n * h;
        const double shape = q * x * x * (3 * length * length - 5 * length * x + 2 * x * x) / 48.0;
        EXPECT_NEAR(WD(dU + 7 * n + 1), shape / (kE * kIz), 1e-12) << n;
        EXPECT_NEAR(WD(dU + 7 * n + 2), shape / (kE * kIy), 1e-12) << n;
    }
    // reactions r = K0 u - F at the base: moments qL^2/8 in both planes, forces 5qL/8
    MultiplyB(m_k0, dU, reactions, iMaxa, kEq, m_nwk);
    const double m = q * length * length / 8;
    EXPECT_NEAR(WD(reactions + 1) - WD(dF + 1), -5 * q * length / 8, 1e-8);
    EXPECT_NEAR(WD(reactions + 2) - WD(dF + 2), -5 * q * length / 8, 1e-8);
    EXPECT_NEAR(std::fabs(WD(reactions + 5) - WD(dF + 5)), m, 1e-8);
    EXPECT_NEAR(std::fabs(WD(reactions + 4) - WD(dF + 4)), m, 1e-8);
}

namespace {

struct EulerCase {
    const char* name;
    double lengthFactor;  // buckling length / length
    std::vector<int> baseFixed, topFixed;
};

const EulerCase kEulerCases[] = {
    {"Cantilever", 2.0, {0, 1, 2, 3, 4, 5, 6}, {}},
    {"PinnedPinned", 1.0, {0, 1, 2, 3, 6}, {1, 2}},
    {"FixedPinned", 0.699155659, {0, 1, 2, 3, 4, 5, 6}, {1, 2}},  // 20.1907 EI/L^2
    {"FixedFixed", 0.5, {0, 1, 2, 3, 4, 5, 6}, {1, 2, 4, 5}},
};

void PrintTo(const EulerCase& c, std::ostream* os)
{
    *os << c.name;
}

}  // namespace

class EulerBuckling : public BeamTest, public ::testing::WithParamInterface<EulerCase> {};

TEST_P(EulerBuckling, ElementAndSolverGiveEulerLoad)
{
    const EulerCase& c = GetParam();
    const double length = 6.0;
    Skyline();
    // unit compression, compression positive in the geometric matrix (eigen flags)
    Assemble(length, -1.0, -1, 0);
    FillD(dSprings, 1, kEq, 0.0);
    for (int d : c.baseFixed)
        Fix(0, {d});
    for (int d : c.topFixed)
        Fix(kElements, {d});
    SetzeLager(dK, dSprings, iMaxa, kEq);
    const int r = m_k0;
    ASSERT_EQ(h4809(dK, m_kg, iMaxa, r, kEq, m_nwk, 2, 4), 0);
    const double lk = c.lengthFactor * length;
    const double pWeak = std::numbers::pi * std::numbers::pi * kE * kIy / (lk * lk);
    const double pStrong = std::numbers::pi * std::numbers::pi * kE * kIz / (lk * lk);
    const int eigv = r + kEq * 4;
    EXPECT_NEAR(WD(eigv), pWeak, 0.005 * pWeak);
    EXPECT_NEAR(WD(eigv + 1), pStrong, 0.005 * pStrong);
    // the first mode deflects in w only (about the weak axis), the second in v only
    double maxV = 0, maxW = 0;
    for (int n = 0; n < kNodes; ++n) {
        maxV = std::max(maxV, std::fabs(WD2(r, kEq, 7 * n + 2, 1)));
        maxW = std::max(maxW, std::fabs(WD2(r, kEq, 7 * n + 3, 1)));
    }
    EXPECT_GT(maxW, 1e6 * maxV);
}

INSTANTIATE_TEST_SUITE_P(SupportCases, EulerBuckling, ::testing::ValuesIn(kEulerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BeamTest, NoCompressionGivesZeroEigenvaluesWithoutFailure)
{
    Skyline();
    Assemble(6.0, 10.0, -1, 0);  // tension: the geometric matrix is empty
    FillD(dSprings, 1, kEq, 0.0);
    Fix(0, {0, 1, 2, 3, 4, 5, 6});
    SetzeLager(dK, dSprings, iMaxa, kEq);
    const int r = m_k0;
    FillD(r, 1, EigenWorkSize(kEq, 4), 123.0);  // left-overs of an earlier run
    ASSERT_EQ(h4809(dK, m_kg, iMaxa, r, kEq, m_nwk, 2, 4), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(WD(r + kEq * 4 + i), 0.0);
}
