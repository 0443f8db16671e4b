// Imperfections of a combination (pre-deformation per node, pre-rotation per member) from the stage's
// input, the first-order and creep deformations and the two lowest buckling modes; the partial factors
// of the codes and the self-weight factor of a combination.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/protocol.h"
#include "engine/rechner.h"
#include "engine/utilities.h"
#include "engine/workarrays.h"

namespace {

constexpr double kGrad = 180.0 / std::numbers::pi;
constexpr double kKlein = 1e-8;

// Direction of (v, w) to the y axis in degrees; 0 for the zero vector.
double Richtung(double w, double v)
{
    return (v == 0.0 && w == 0.0) ? 0.0 : engine::Angle(w, v) * kGrad;
}

}  // namespace

void CStuetzenRechner::PSIFAKT(double fakteig, double alfa0, double alfaE, double& fy, double& fz, double& f1,
                               double& f2)
{
    f1 = 1.0;
    f2 = 1.0;
    double beta = 0.0;
    if (fakteig >= 3.0) {
        beta = alfaE - alfa0;
    } else {
        const double d = alfaE - alfa0;
        const bool nahe90 = std::fabs(alfaE - 90.0) < 1.0;
        if (std::fabs(d) >= 1.0)
            beta = d * fakteig * 0.5 + alfa0;
        else if (std::fabs(alfaE) <= 89.0 || nahe90)
            beta = 90.0 - 45.0 * fakteig;  // near +90 turned below: 45 fakteig, as towards -90
        else
            beta = 45.0 * fakteig;
        if (nahe90)
            beta = 90.0 - beta;
    }
    fy = std::cos(beta / kGrad);
    fz = std::sin(beta / kGrad);
    g_protokoll.Printf(" ******** Ergebnisse aus PSIFAKT *****************\n");
    g_protokoll.Printf(" fakteig = %.3f\n", fakteig);
    g_protokoll.Printf(" alfa0   = %.3f   alfaE   = %.3f\n", alfa0, alfaE);
    g_protokoll.Printf(" res. Winkel = %.3f\n", beta);
    g_protokoll.Printf(" Anteil fy   = %.3f fz   = %.3f\n", fy, fz);
    g_protokoll.Printf(" Anteil f1   = %.3f f2   = %.3f\n", f1, f2);
}

void CStuetzenRechner::SetzeGamma(double& g1, double& g2, double& g3, double& g4)
{
    g_protokoll.Printf("SetzeGamma: NORM = %d\n", NORM);
    switch (NORM) {
    case 0:
        g1 = 0.0;
        g2 = 1.0;
        g3 = 1.75;
        g4 = 1.0;
        break;
    case 1:
    case 2:
    case 3:
    case 11:
    case 12:
    case 13: g1 = g2 = g3 = g4 = 1.0; break;
    default: break;
    }
}

double CStuetzenRechner::LastFaktor(int norm, int mode, int k) const
{
    if (norm == 0)
        return mode == 2 ? 1.75 : 1.0;
    if (k < 0 || k >= kombi.nAusgewaehlt || kombi.PaarAnzahl(k) <= 0)
        return 1.0;  // no combination in hand: the load as it is
    return static_cast<double>(kombi.KolFakt[kombi.start[k]]);
}

namespace {

// Where one imperfection reads and writes: the first-order node deformations (7 per node), the creep deformations
// (7 per node; none for the creep load itself), the eigenvalue block (12 values), the four buckling modes (7 per
// node each) and the result, 4 per node.
struct Bereiche {
    const double* verformung = nullptr;
    const double* kriech = nullptr;
    const double* eigen = nullptr;
    const double* formen = nullptr;
    double* vor = nullptr;
};

// The imperfection of one combination (or of the creep load) from its largest first-order deformation, the creep
// deformation and the two lowest buckling modes.
class Vorverformung {
public:
    Vorverformung(const CStuetzenRechner& r, int s, const Bereiche& b)
        : r(r), in(r.imperfektion[s]), K(r.nKnoten), K7(7 * r.nKnoten), detail(r.protokollDetail != 0), b(b)
    {
        const double phi = r.kriechZahl;
        if (b.kriech && in.art > 1 && phi + 1.0 != 0.0)
            kriechAnteil = phi / (phi + 1.0);
        // The creep deformation comes from one creep run, whose imperfection had to take a side; a combination
        // deflecting to the other side in a plane takes it mirrored there: creep never relieves a combination.
        double sv = 0.0, sw = 0.0;
        for (int n = 0; n < K && kriechAnteil != 0.0; ++n) {
            sv += b.kriech[7 * n + 1] * b.verformung[7 * n + 1];
            sw += b.kriech[7 * n + 2] * b.verformung[7 * n + 2];
        }
        kriechV = sv < 0.0 ? -kriechAnteil : kriechAnteil;
        kriechW = sw < 0.0 ? -kriechAnteil : kriechAnteil;
    }

    int Rechne();

private:
    void SucheGroessteVerformung();
    bool HatEigenwert();
    void RichtungenDerFormen();
    int AusEigenformen();
    void AusSchiefstellung();
    void Stabverdrehungen();
    void DruckeKnoten();
    double vkr(int n) const { return kriechV != 0.0 ? b.kriech[7 * n + 1] * kriechV : 0.0; }
    double wkr(int n) const { return kriechW != 0.0 ? b.kriech[7 * n + 2] * kriechW : 0.0; }
    double& v0(int n) const { return b.vor[4 * n]; }
    double& w0(int n) const { return b.vor[4 * n + 1]; }
    double Form(int mode, int n, int j) const { return b.formen[mode * K7 + 7 * n + j]; }
    // whether the largest deformation is large enough to give a direction
    bool HatRichtung() const { return std::fabs(v00) >= 1e-5 || std::fabs(w00) >= 1e-5; }
    int BezugsKnoten() const;
    int FaktorenAmBezugsKnoten(double& fakt1, double& fakt2) const;

    const CStuetzenRechner& r;
    const ImperfektionsEingabe& in;
    const int K, K7;
    const bool detail;
    const Bereiche b;
    double kriechAnteil = 0.0;
    double kriechV = 0.0, kriechW = 0.0;  // the creep share with its side in each plane
    double v00 = 0.0, w00 = 0.0, r00 = 0.0, alfa0 = 0.0;
    double r1 = 0.0, r2 = 0.0;
    // shares of the two modes
    double fy = 0.0, fz = 0.0, f1 = 1.0, f2 = 1.0;
};

int Vorverformung::Rechne()
{
    SucheGroessteVerformung();
    if (!HatEigenwert())
        return 0;
    RichtungenDerFormen();
    int code = 0;
    switch (in.art) {
    case 1:
    case 3: code = AusEigenformen(); break;
    case 0:
    case 2: AusSchiefstellung(); break;
    default: return 0;  // no imperfection of its own: the values stay
    }
    DruckeKnoten();
    Stabverdrehungen();
    return code;
}

// the node of the largest first-order (plus creep) deformation and its direction
void Vorverformung::SucheGroessteVerformung()
{
    r00 = -1.0;
    int nMax = 0;
    for (int n = 0; n < K; ++n) {
        const double v = b.verformung[7 * n + 1] + vkr(n);
        const double w = b.verformung[7 * n + 2] + wkr(n);
        const double rr = std::sqrt(v * v + w * w);
        if (detail) {
            g_protokoll.Printf(" vkr = %f wkr = %f\n", vkr(n), wkr(n));
            g_protokoll.Printf(" v0 = %f w0 = %f r0 = %f\n", v, w, rr);
        }
        if (rr > r00) {
            v00 = v;
            w00 = w;
            r00 = rr;
            nMax = n;
        }
    }
    alfa0 = HatRichtung() ? engine::Angle(w00, v00) * kGrad : 0.0;
    if (detail) {
        g_protokoll.Printf(" max am Knoten %d: v00 = %f w00 = %f r00 = %f\n", nMax, v00, w00, r00);
        g_protokoll.Printf(" Winkel zur y-Achse alfa0 = %.2f\n", alfa0);
    }
}

// Without a lowest eigenvalue (no member in compression) there is no imperfection: the values are cleared.
bool Vorverformung::HatEigenwert()
{
    if (!(std::fabs(b.eigen[0]) < kKlein))
        return true;
    for (int i = 0; i < 4 * K; ++i)
        b.vor[i] = 0.0;
    return false;
}

// directions of the two modes and their shares
void Vorverformung::RichtungenDerFormen()
{
    const double fakteig = b.eigen[1] / b.eigen[0];
    if (detail)
        g_protokoll.Printf(" fakteig = %f\n", fakteig);
    const double v1 = b.eigen[4], w1 = b.eigen[5];
    const double v2 = b.eigen[6], w2 = b.eigen[7];
    r1 = std::sqrt(v1 * v1 + w1 * w1);
    r2 = std::sqrt(v2 * v2 + w2 * w2);
    const double alfa1 = Richtung(w1, v1);
    const double alfa2 = Richtung(w2, v2);
    if (detail) {
        g_protokoll.Printf(" v1 = %f w1 = %f ----> alfa1 = %.3f\n", v1, w1, alfa1);
        g_protokoll.Printf(" v2 = %f w2 = %f ----> alfa2 = %.3f\n", v2, w2, alfa2);
    }
    CStuetzenRechner::PSIFAKT(fakteig, alfa0, alfa1, fy, fz, f1, f2);
}

// The model node at the reference field end, -1 when there is none.
int Vorverformung::BezugsKnoten() const
{
    int j = -1;
    if (in.Kriech_Bzkn >= 0 && in.Kriech_Bzkn <= r.nFelder)
        for (int n = 0; n < K && j < 0; ++n)
            if (std::fabs(r.x[n] - r.koor[in.Kriech_Bzkn]) < 0.001)
                j = n;
    if (detail)
        g_protokoll.Printf("Kriech_Bzkn = %d -> i = %d\n", in.Kriech_Bzkn, j);
    return j;
}

// The mode factors that give the eccentricity at the reference node; kVorverformungOhneBezug when the first
// mode does not move that node (the eccentricity then adds nothing).
int Vorverformung::FaktorenAmBezugsKnoten(double& fakt1, double& fakt2) const
{
    const int j = BezugsKnoten();
    double vi = 0.0, wi = 0.0, vi2 = 0.0, wi2 = 0.0;
    if (j >= 0) {
        vi = Form(0, j, 1);
        wi = Form(0, j, 2);
        vi2 = Form(1, j, 1);
        wi2 = Form(1, j, 2);
    }
    double ri = std::sqrt(vi * vi + wi * wi);
    double ri2 = std::sqrt(vi2 * vi2 + wi2 * wi2);
    if (detail) {
        g_protokoll.Printf(" 1) vi = %f wi = %f ri = %.3f\n", vi, wi, ri);
        g_protokoll.Printf(" 2) vi = %f wi = %f ri = %.3f\n", vi2, wi2, ri2);
    }
    int code = 0;
    if (ri < kKlein) {
        code = kVorverformungOhneBezug;
        ri = 1e10;
    }
    if (ri2 < kKlein)
        ri2 = 1e10;
    fakt1 = fy * in.ausmitte * f1 / ri * 0.01;
    fakt2 = fz * in.ausmitte * f2 / ri2 * 0.01;
    return code;
}

// Node pre-deformations affine to the two modes, plus the creep share.
int Vorverformung::AusEigenformen()
{
    double fakt1 = 0.0, fakt2 = 0.0;
    int code = 0;
    if (in.Kriech_CKAusm != 0) {
        if (detail)
            g_protokoll.Printf("Kriech_CKAusm != 0\n");
        // a vanishing mode or divisor contributes nothing
        if (in.teiler != 0.0 && r1 >= kKlein)
            fakt1 = fy * r.L * f1 / in.teiler / r1;
        if (in.teiler != 0.0 && r2 >= kKlein)
            fakt2 = fz * r.L * f2 / in.teiler / r2;
    } else {
        if (detail)
            g_protokoll.Printf("Kriech_CKAusm == 0\n");
        code = FaktorenAmBezugsKnoten(fakt1, fakt2);
    }
    if (detail)
        g_protokoll.Printf(" fakt1 = %f fakt2 = %f\n", fakt1, fakt2);
    const double s1 = v00 >= 0.0 ? 1.0 : -1.0;
    const double s2 = w00 >= 0.0 ? 1.0 : -1.0;
    for (int n = 0; n < K; ++n) {
        const double m1v = Form(0, n, 1), m1w = Form(0, n, 2);
        const double m2v = Form(1, n, 1), m2w = Form(1, n, 2);
        v0(n) = (std::fabs(fakt2 * m2v) + std::fabs(fakt1 * m1v)) * s1 + vkr(n);
        w0(n) = (std::fabs(fakt2 * m2w) + std::fabs(fakt1 * m1w)) * s2 + wkr(n);
        if (detail) {
            g_protokoll.Printf(" vz1 = %f wz1 = %f\n", fakt1 * m1v, fakt1 * m1w);
            g_protokoll.Printf(" v1 = %f v2 = %f\n", fakt1 * m1v, fakt2 * m2v);
            g_protokoll.Printf(" w1 = %f w2 = %f\n", fakt1 * m1w, fakt2 * m2w);
        }
    }
    return code;
}

// Node pre-deformations of an inclination (plus the creep share). Given as a magnitude, the inclination leans the
// way the column deflects most (first order plus creep); only a column that does not deflect leans as the modes
// share it.
void Vorverformung::AusSchiefstellung()
{
    double cv = 0.0, cw = 0.0;
    if (in.komponenten) {
        cv = in.neigungV;
        cw = -in.neigungW;
    } else if (HatRichtung()) {
        cv = in.neigung * v00 / r00;
        cw = in.neigung * w00 / r00;
    } else {
        cv = fy * in.neigung;
        cw = fz * in.neigung;
    }
    for (int n = 0; n < K; ++n) {
        v0(n) = cv * r.x[n] + vkr(n);
        w0(n) = cw * r.x[n] + wkr(n);
    }
}

void Vorverformung::DruckeKnoten()
{
    if (detail)
        for (int n = 0; n < K; ++n)
            g_protokoll.Printf(" Knoten %d: v0 = %f w0 = %f\n", n, v0(n), w0(n));
}

// member pre-rotations
void Vorverformung::Stabverdrehungen()
{
    for (int m = 0; m + 1 < K; ++m) {
        const double dx = r.x[m + 1] - r.x[m];
        const double psiy = dx != 0.0 ? -(w0(m + 1) - w0(m)) / dx : 0.0;
        const double psiz = dx != 0.0 ? (v0(m + 1) - v0(m)) / dx : 0.0;
        b.vor[4 * m + 2] = psiy;
        b.vor[4 * m + 3] = psiz;
        if (detail)
            g_protokoll.Printf(" STAB %d: psiy = %f psiz = %f\n", m, psiy, psiz);
    }
}

}  // namespace

int CStuetzenRechner::RechneVorverformungen(int comb, int s)
{
    if (comb < 0 || comb >= nErgebnisPlaetze || s < 0 || s >= kStufen || nKnoten < 2)
        return 0;
    const int K7 = 7 * nKnoten;
    Bereiche b;
    b.verformung = &WD(Slot(11, comb, K7));
    b.kriech = &WD(Slot(16, 0, K7));
    b.eigen = &WD(Slot(19, comb, 12));
    b.formen = &WD(Slot(18, comb, 4 * K7));
    b.vor = &WD(Slot(70, comb, 4 * nKnoten));
    return Vorverformung(*this, s, b).Rechne();
}

int CStuetzenRechner::RechneKriechVorverformung()
{
    const std::size_t K = std::size_t(std::max(nKnoten, 0));
    kriechVorverformung.assign(4 * K, 0.0);
    if (K < 2 || kriechVerformung.size() < 7 * K || kriechEigen.size() < 12 || kriechFormen.size() < 28 * K)
        return 0;
    Bereiche b;
    b.verformung = kriechVerformung.data();
    b.eigen = kriechEigen.data();
    b.formen = kriechFormen.data();
    b.vor = kriechVorverformung.data();
    return Vorverformung(*this, 0, b).Rechne();
}
