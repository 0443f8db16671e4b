// A column of the frame-analysis tests: one or more fields of a 30 x 50 cm rectangle with EC2 C30/37
// user materials, supports, loads and combination files written by hand, and an elastic verification
// that leaves the bending stiffnesses as they are.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/nachweis_seam.h"
#include "engine/quer.h"
#include "engine/rechner.h"
#include "engine/schub.h"
#include "engine/workarrays.h"
#include "platform/win/dialogs/msgbox.h"

namespace frame_test {

// E = Ecm = 33000 N/mm2 = 33e6 kN/m2; b = 0.30 m (along y), h = 0.50 m (along z).
constexpr double kE = 33.0e6;
constexpr double kB = 0.30, kH = 0.50;
constexpr double kA = kB * kH;
constexpr double kIy = kB * kH * kH * kH / 12.0;  // bending in the x-z plane (w)
constexpr double kIz = kH * kB * kB * kB / 12.0;  // bending in the x-y plane (v)
// The columns' bars: four of 3 cm2 at 5 cm from the edges (y = +-0.10 m, z = +-0.20 m), Es = 200000 N/mm2. The
// second-order run starts from E Ic + Es Is: Es Is = 2e8 x 12e-4 x 0.20^2 = 9600 kNm2 about y and 2e8 x 12e-4 x
// 0.10^2 = 2400 kNm2 about z (kNm2).
constexpr double kEsIsy = 9600.0, kEsIsz = 2400.0;
constexpr double kStartEIy = kE * kIy + kEsIsy, kStartEIz = kE * kIz + kEsIsz;

// Supports: fixed; pinned (translations held, bending rotations free); held sideways only.
constexpr std::array<double, 7> kEingespannt = {-1, -1, -1, -1, -1, -1, -1};
constexpr std::array<double, 7> kGelenkig = {-1, -1, -1, -1, 0, 0, -1};
constexpr std::array<double, 7> kQuerGehalten = {0, -1, -1, -1, 0, 0, -1};

// What the elastic verification saw.
struct NachweisAufrufe {
    std::vector<int> modes;  // verification modes in call order
    std::vector<double> gammas;
    std::vector<double> axialStart;  // N of the first element's start section at each call
    double weicher = 1.0;            // factor applied to every stiffness on a strain-state call
};
inline NachweisAufrufe g_aufrufe;

// Keeps the stiffnesses (unless told to soften them) and passes every section; no plane has a slope of its own
// without curvature (what an earlier calculation left there is not this column's).
inline int ElastischerNachweis(const NachweisAufruf& a)
{
    for (int i = 0; i < 2 * a.nel; ++i)
        g_quer[i].m_bem.m_ByGerade = g_quer[i].m_bem.m_BzGerade = 0.0;
    g_aufrufe.modes.push_back(a.mode);
    g_aufrufe.gammas.push_back(a.gamma);
    g_aufrufe.axialStart.push_back(a.forces[0]);
    if (a.mode == 2 && g_aufrufe.weicher != 1.0)
        for (int i = 0; i < 2 * a.nel; ++i) {
            a.By[i] *= g_aufrufe.weicher;
            a.Bz[i] *= g_aufrufe.weicher;
        }
    return 0;
}

class FrameTest : public ::testing::Test {
protected:
    std::unique_ptr<WorkArrays> m_arrays = std::make_unique<WorkArrays>(400000, 20000);
    std::filesystem::path m_dir;
    NachweisFunktionen m_alt;
    int m_norm = 0;

    void SetUp() override
    {
        m_norm = NORM;
        NORM = 2;
        g_rechner.Init();
        // no strut angle of an earlier test's column: the shear check then takes its own
        std::fill(std::begin(g_cotThetaFeld), std::end(g_cotThetaFeld), 0.0);
        // a design factor is left in the sections by a calculation before (the set-up keeps it)
        for (cQuer& q : g_quer)
            q.m_bem.bwfakt = 1.0;
        g_aufrufe = NachweisAufrufe{};
        // EC2 C30/37 and B500B as in the codes' tables
        const double beton[22] = {33000, 34600, 13750, 30,  1.64, 2.9,  -3.5, -2.2, -3.5, -2.0, 2.2,
                                  3.0,   1.5,   1.2,   1.5, 1.2,  1.35, 1.2,  25,   24,   0.2,  1e-5};
        const double stahl[10] = {200000, 78.5, 500, 540, 1.15, 1.0, 1e-5, 2.17, 25, 50};
        g_rechner.userMaterial = 1;
        std::memcpy(g_rechner.userBeton, beton, sizeof beton);
        std::memcpy(g_rechner.userStahl, stahl, sizeof stahl);
        m_dir =
            std::filesystem::temp_directory_path() / ("engine_frame_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
        g_rechner.basisPfad = (m_dir / "pos").string();
        g_rechner.INDEX[0] = g_rechner.INDEX[1] = 1000;
        m_alt = SetzeNachweisFunktionen({&ElastischerNachweis, nullptr});
        win::msgbox::ClearLog();
    }
    void TearDown() override
    {
        SetzeNachweisFunktionen(m_alt);
        g_rechner.Init();
        NORM = m_norm;
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // Fields of the given lengths (m), each of `members` members, all of the same section.
    static void Stuetze(std::initializer_list<double> lengths, int members)
    {
        CStuetzenRechner& r = g_rechner;
        r.nFelder = 0;
        for (double length : lengths) {
            r.feldLaenge[r.nFelder] = length;
            r.feldStaebe[r.nFelder] = members;
            StabQuerschnitt& q = r.querEingabe.feld[r.nFelder];
            q = StabQuerschnitt{};
            q.typ = 0;
            q.d[0] = kB * 100.0;
            q.d[1] = kH * 100.0;
            q.bewehrung = 3.0;
            q.c1 = q.c2 = 5.0;
            ++r.nFelder;
        }
    }
    // Support number `nummer` with seven values (negative rigid, positive spring, 0 free) at field end
    // `ende` (0 the foot) of a stage.
    static void Lager(int stage, int ende, int nummer, const std::array<double, 7>& werte)
    {
        g_rechner.lagerAnKnoten[stage][ende] = nummer;
        for (int j = 0; j < 7; ++j)
            g_rechner.lagerWerte[nummer - 1][j] = werte[j];
        g_rechner.nLager = std::max(g_rechner.nLager, nummer);
    }
    // A point load of load case lc at position (0 the top, 1 the foot): u, v, w, rotation y, rotation z.
    static void Einzellast(int stage, int position, int lc, std::array<double, 5> werte)
    {
        EinzellastEingabe& p = g_rechner.einzellast[stage][g_rechner.nEinzellasten[stage]++];
        p.position = position;
        p.lastfall = lc;
        for (int k = 0; k < 5; ++k)
            p.werte[k] = werte[k];
    }
    static void Linienlast(int stage, double xa, double laenge, double q, int lc, int richtung)
    {
        g_rechner.linienlast[stage][g_rechner.nLinienlasten[stage]++] = {xa, laenge, q, q, lc, richtung};
    }

    // A combination file of naming code 1 for a stage: two load cases, the given (title, formula) pairs.
    void Datei(int kind, int stage, const std::vector<std::pair<std::string, std::string>>& kombis) const
    {
        std::string text = " 1\n";
        for (int b = 0; b < 4; ++b) {
            if (b != stage || kombis.empty()) {
                text += " 0 0 0\n";
                continue;
            }
            text += " 2 2 1\n 1 2\n 0 1\n 0 1\n 0 2\n 1 0 0 0 0 0 0 0\n";
            text += " 1.000000 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000\n";
            text += " 0.000000 0.000000 1.500000 0.700000 0.500000 0.300000 1.000000\n";
            text += " " + std::to_string(kombis.size()) + "\n";
            for (const auto& [titel, formel] : kombis)
                text += " " + titel + " " + formel + "\n";
        }
        std::ofstream(g_rechner.KombiDateiName(kind, stage)) << text;
    }

    // Model set-up and sections; the analysis of combination lf of the stage's "Tr" file.
    static void Baue()
    {
        ASSERT_EQ(g_rechner.BaueModell(), kSetupOk);
        ASSERT_EQ(SetzeQuerUm(), 0);
    }
    static int Rechne(int mode, int lf = 0, int base = 0, int stage = 0)
    {
        std::string path;
        g_rechner.OeffneKombiDatei(path, kArtTr, stage, 1);
        g_rechner.Waehle(0, 0, stage);
        g_rechner.aktSystem = stage;
        return g_rechner.RechneDltr3DUndMelde(nullptr, mode, lf, base);
    }

    // Component j (0 u .. 6 warping) of node n in the 7-per-node area `slot` of combination c.
    static double Knoten(int slot, int c, int n, int j)
    {
        return WD(g_rechner.Slot(slot, c, 7 * g_rechner.nKnoten) + 7 * n + j);
    }
    // End force j (0..13) of member e in the 14-per-member area `slot` of combination c.
    static double Stab(int slot, int c, int e, int j)
    {
        return WD(g_rechner.Slot(slot, c, 14 * g_rechner.nStaebe) + 14 * e + j);
    }
    static int Oben() { return g_rechner.nKnoten - 1; }
};

}  // namespace frame_test
