// A column like the shipped example, calculated whole with the real verification: 4.5 m of 40 x 40 cm
// below 3.2 m of 35 x 35 cm, four bars of 3.14 cm2 at 4.5 cm, fixed at the foot and held sideways at the
// head; EC2 C30/37 (fcd = 20 N/mm2), B500 (fyd = 434.78 N/mm2). At the head G = 1100 kN and Q = 255 kN,
// wind 2.4 kN/m on the whole length with Q, own weight 25 kN/m3, inclination 1/200. One combination
// 1.35 G + 1.50 Q; the loads (not the own weight) scaled by a factor.
#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/nachweis.h"
#include "frame_fixture.h"

namespace frame_test {

class Saeule : public FrameTest {
protected:
    std::filesystem::path m_altDir;
    void SetUp() override
    {
        FrameTest::SetUp();
        // the engine writes its protocol into the current folder
        m_altDir = std::filesystem::current_path();
        std::filesystem::current_path(m_dir);
        SetzeNachweisFunktionen({StbNachweis_1, SchubNachweis});
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_altDir);
        FrameTest::TearDown();
    }

    // Fields from the foot (length m, square side cm), `staebe` members each; the calculation's number of
    // ultimate slots (1 when it calculated, 0 when it ended with a message).
    static int Berechne(const std::vector<double>& laengen, const std::vector<double>& seiten, int staebe,
                        double faktor)
    {
        CStuetzenRechner& r = g_rechner;
        r.nFelder = 0;
        r.nEinzellasten[0] = r.nLinienlasten[0] = 0;
        win::msgbox::ClearLog();
        double gesamt = 0.0;
        for (std::size_t f = 0; f < laengen.size(); ++f) {
            r.feldLaenge[r.nFelder] = laengen[f];
            r.feldStaebe[r.nFelder] = staebe;
            StabQuerschnitt& q = r.querEingabe.feld[r.nFelder];
            q = StabQuerschnitt{};
            q.d[0] = q.d[1] = seiten[f];
            q.bewehrung = 3.14;
            q.c1 = q.c2 = 4.5;
            gesamt += laengen[f];
            ++r.nFelder;
        }
        Lager(0, 0, 1, kEingespannt);
        Lager(0, r.nFelder, 2, kQuerGehalten);
        Einzellast(0, 0, 1, {-1100.0 * faktor, 0, 0, 0, 0});
        Einzellast(0, 0, 2, {-255.0 * faktor, 0, 0, 0, 0});
        Linienlast(0, 0.0, gesamt, 2.4 * faktor, 2, 2);
        r.gammaBeton = 25.0;
        r.eigengewichtLf[0] = 1;  // the own weight in load case 1, as in the example
        r.imperfektion[0].art = 0;
        r.imperfektion[0].neigung = 1.0 / 200.0;
        for (int& s : r.rechenSchalter)
            s = 1;
        return r.RechneStuetze(nullptr, 10, 1000, 0);
    }
    // A cantilever of one field, `laenge` m of 40 x 40 cm with four bars of 3.14 cm2 at 4 cm, `staebe`
    // members, fixed at the foot and free at its head, where N (kN, compression positive) acts centrically;
    // no own weight, the inclination `neigung` in each plane; one combination 1.00 * (1).
    int Kragstuetze(double laenge, double N, int staebe, double neigung)
    {
        Datei(kArtTr, 0, {{"Ed", "1.00*(1)+"}});
        CStuetzenRechner& r = g_rechner;
        r.nFelder = 1;
        r.nEinzellasten[0] = r.nLinienlasten[0] = 0;
        r.nLager = 0;
        for (int& n : r.lagerAnKnoten[0])
            n = 0;
        win::msgbox::ClearLog();
        r.feldLaenge[0] = laenge;
        r.feldStaebe[0] = staebe;
        StabQuerschnitt& q = r.querEingabe.feld[0];
        q = StabQuerschnitt{};
        q.d[0] = q.d[1] = 40.0;
        q.bewehrung = 3.14;
        q.c1 = q.c2 = 4.0;
        Lager(0, 0, 1, kEingespannt);
        Einzellast(0, 0, 1, {-N, 0, 0, 0, 0});
        r.gammaBeton = 0.0;
        r.imperfektion[0].art = 0;
        r.imperfektion[0].neigung = neigung;
        for (int& s : r.rechenSchalter)
            s = 1;
        return r.RechneStuetze(nullptr, 10, 1000, 0);
    }
    // the example's two fields
    int Beispiel(int proFeld, double faktor)
    {
        Datei(kArtTr, 0, {{"Ed", "1.35*(1)+1.50*(2)+"}});
        return Berechne({4.5, 3.2}, {40.0, 35.0}, proFeld, faktor);
    }
    static std::vector<std::string> Meldungen()
    {
        std::vector<std::string> texte;
        for (const win::msgbox::Record& m : win::msgbox::Log())
            texte.push_back(m.text);
        return texte;
    }
    static std::string ErsteMeldung()
    {
        const std::vector<std::string> m = Meldungen();
        return m.empty() ? std::string() : m.front();
    }
    // the largest second-order end moment of the members (kNm)
    static double GroesstesMoment()
    {
        double m = 0.0;
        for (int e = 0; e < g_rechner.nStaebe; ++e)
            for (int j : {4, 5, 11, 12})
                m = std::max(m, std::fabs(Stab(22, 0, e, j)));
        return m;
    }
    // the largest reinforcement of the sections after the calculation (cm2)
    static double GroessteBewehrung()
    {
        double a = 0.0;
        for (int i = 0; i < 2 * g_rechner.nStaebe; ++i)
            a = std::max(a, g_quer[i].m_bem.HoleAS());
        return a * 1e4;
    }
};

}  // namespace frame_test
