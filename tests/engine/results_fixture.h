// A whole calculation with the real verification whose section results the records carry: 4 m of the frame
// tests' 30 x 50 cm section in two fields of two members, fixed at the foot, two stages, every kind of
// combination file (ultimate, accidental, fire, serviceability), creep and imperfections.
#pragma once

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "engine/nachweis.h"
#include "engine/results.h"
#include "frame_fixture.h"

namespace results_test {

// The record of a kind for (Typ, LK, System); nullptr when there is none.
template <class R>
const R* Find(const std::vector<std::unique_ptr<R>>& list, int typ, int lk, int system)
{
    for (const auto& r : list)
        if (r->Typ == typ && r->LK == lk && r->System == system)
            return r.get();
    return nullptr;
}
// What a column of a record sums to in absolute value: a row that moves moves it.
inline double AbsSum(const std::vector<double>& column)
{
    double s = 0.0;
    for (double v : column)
        s += std::fabs(v);
    return s;
}

class RecordsRun : public frame_test::FrameTest {
protected:
    std::filesystem::path m_alt;

    void SetUp() override
    {
        FrameTest::SetUp();
        m_alt = std::filesystem::current_path();
        std::filesystem::current_path(m_dir);
        SetzeNachweisFunktionen({StbNachweis_1, SchubNachweis});
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_alt);
        g_ergebnisse.Brandschnittgroessen.clear();
        FrameTest::TearDown();
    }

    // The full run under engine design code `norm`; returns the first serviceability slot.
    int Run(int norm)
    {
        NORM = norm;
        Stuetze({2.0, 2.0}, 2);
        g_rechner.stufeAktiv[1] = 1;
        for (int s : {0, 1}) {
            Lager(s, 0, 1, frame_test::kEingespannt);
            Einzellast(s, 0, 1, {-300.0, 0, 0, 0, 0});
            Einzellast(s, 0, 2, {0, 5.0, 8.0, 0, 0});
        }
        g_rechner.imperfektion[0].art = 0;
        g_rechner.imperfektion[0].neigung = 1.0 / 200.0;
        g_rechner.imperfektion[1].art = 0;
        g_rechner.imperfektion[1].neigung = 1.0 / 200.0;
        g_rechner.kriechSchalter = 0;
        g_rechner.kriechZahl = 1.5;
        g_rechner.nKriech = 1;
        g_rechner.kriechLf[0] = 1;
        g_rechner.kriechFakt[0] = 0.5;
        for (int& s : g_rechner.rechenSchalter)
            s = 1;
        Datei(kArtTr, 0, {{"Ed", "1.35*(1)+1.50*(2)+"}, {"Ed", "1.00*(1)+1.50*(2)+"}});
        Datei(kArtTr, 1, {{"Ed", "1.35*(1)+1.50*(2)+"}});
        Datei(kArtEdA, 1, {{"Ed,A", "1.00*(1)+1.00*(2)+"}});
        Datei(kArtEdB, 0, {{"Ed", "1.00*(1)+0.50*(2)+"}});
        Datei(kArtGb, 0, {{"Ed,quasi_ständig", "1.00*(1)+0.30*(2)+"}});
        Datei(kArtGb, 1, {{"Ed,häufig", "1.00*(1)+0.50*(2)+"}});
        return g_rechner.RechneStuetze(nullptr, 10, 1000, 0);
    }
};

}  // namespace results_test
