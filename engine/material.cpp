#include "engine/material.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>

#include "designcode/designcode.h"
#include "engine/rechner.h"

namespace {

MaterialKatalog* g_katalog = nullptr;

const char* const kBetonKeys[22] = {"Ecm",         "Ec0m",       "G",           "fck",        "tau_cm",    "fctm",
                                    "epsilon_c1u", "epsilon_c1", "epsilon_c2u", "epsilon_c2", "phi",       "fbd",
                                    "gamma_cg",    "gamma_ca",   "gamma_cgu",   "gamma_cau",  "gamma_cgf", "gamma_caf",
                                    "gamma",       "gamma_u",    "mue",         "alpha_t"};
const char* const kStahlKeys[10] = {"E",        "gamma",   "fyk",        "ftk",          "gamma_sg",
                                    "gamma_sa", "alpha_t", "epsilon_yd", "epsilon_szul", "duk"};

// Code 0 is the older DIN 1045, which no input names and the design-code table does not hold.
bool IstBekannt(int code)
{
    return code == 0 || designcode::ByEngine(code) != nullptr;
}

// The catalogue name under which a code's grades are listed (DIN 1045-1's differs from its catalogue name).
const char* SortenNorm(int code)
{
    if (code == 0)
        return "DIN 1045";
    const designcode::DesignCode* c = designcode::ByEngine(code);
    return c ? c->gradeList : "";
}

// Key -> value of one grade; a missing key reads as 0. The catalogue's texts are read as numbers once, when the
// grade is loaded: a calculation asks for the same values thousands of times.
class Werte {
public:
    double operator()(const char* key) const
    {
        auto it = m_zahlen.find(key);
        return it == m_zahlen.end() ? 0.0 : it->second;
    }
    void Setze(const std::map<std::string, std::string>& texte)
    {
        m_zahlen.clear();
        for (const auto& [key, text] : texte)
            m_zahlen.emplace(key, std::atof(text.c_str()));
    }

private:
    std::map<std::string, double, std::less<>> m_zahlen;
};

// Grade names of a code from the catalogue.
std::vector<std::string> Sorten(int code, bool beton)
{
    std::vector<std::string> names;
    if (!g_katalog)
        return names;
    const char* norm = SortenNorm(code);
    g_katalog->Sorten(norm, beton ? "Beton" : "Stahl", beton ? "Normalbeton" : "Betonstahl", names);
    return names;
}

// The grades read from the installed catalogue, each once: a calculation asks for the same few grades
// thousands of times. Emptied whenever a catalogue is installed or removed (once per calculation).
struct Gelesen {
    int code, grade;
    bool beton;
    Werte w;
};
std::deque<Gelesen> g_gelesen;  // references to entries stay valid while it grows

Werte LadeNeu(int code, int grade, bool beton);

const Werte& Lade(int code, int grade, bool beton)
{
    if (g_rechner.userMaterial == 1) {  // the user tables may change between two calls
        // Static, not thread_local: the module runs on the host's UI thread alone, and the thread storage of a
        // library that is unloaded again leaves a stale entry that the leak checker trips over at exit.
        static Werte w;
        w = LadeNeu(code, grade, beton);
        return w;
    }
    for (const Gelesen& g : g_gelesen)
        if (g.code == code && g.grade == grade && g.beton == beton)
            return g.w;
    g_gelesen.push_back({code, grade, beton, LadeNeu(code, grade, beton)});
    return g_gelesen.back().w;
}

Werte LadeNeu(int code, int grade, bool beton)
{
    Werte w;
    std::map<std::string, std::string> texte;
    if (g_rechner.userMaterial == 1) {
        // the user's values take the way through six decimals that the catalogue's texts take
        const int n = beton ? 22 : 10;
        for (int k = 0; k < n; ++k) {
            char text[64];
            std::snprintf(text, sizeof text, "%lf", beton ? g_rechner.userBeton[k] : g_rechner.userStahl[k]);
            texte[beton ? kBetonKeys[k] : kStahlKeys[k]] = text;
        }
        w.Setze(texte);
        return w;
    }
    const std::vector<std::string> names = Sorten(code, beton);
    if (names.empty())
        return w;
    const std::size_t idx = grade < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(grade), names.size() - 1);
    const char* norm = SortenNorm(code);
    g_katalog->Werte(norm, beton ? "Beton" : "Stahl", beton ? "Normalbeton" : "Betonstahl", names[idx], texte);
    w.Setze(texte);
    return w;
}

// SIA 262: the design strength carries eta_fc = (30/fck)^(1/3) <= 1 (fck in N/mm2).
double EtaFc(double fckKn)
{
    if (fckKn <= 0.0)
        return 1.0;
    return std::min(1.0, std::cbrt(30000.0 / fckKn));
}

struct BetonArt {
    bool kennwerte;  // report / preparation variant
};

int HoleBeton(const BetonArt& art, int code, int fireSwitch, int shapeClass, int mode, int grade, double& fck,
              double& fcd, double& eps1, double& eps2, double& Ecm, double& form, double factor, int accidental)
{
    if (!IstBekannt(code))
        return 0;
    if (factor < 0.1)
        factor = 1.0;
    const Werte& w = Lade(code, grade, true);
    double gamma = w(fireSwitch ? "gamma_cgf" : "gamma_cg");
    if (art.kennwerte && accidental)
        gamma = w(fireSwitch ? "gamma_caf" : "gamma_ca");
    if (gamma <= 0.0)
        gamma = 1.0;  // a grade without partial factor must not divide by zero
    form = 2.0;
    if (code == 0) {
        eps1 = w("epsilon_d");
        eps2 = w("epsilon_u");
        fck = w("beta_r") * 1000.0;
        Ecm = w("E");
        fcd = fck;
        if (mode == 2) {
            eps1 = -1.35;
            form = 1.0;
        } else if (mode == 1) {
            eps1 = Ecm != 0.0 ? -fck / Ecm : 0.0;
            form = 1.0;
        }
        return 0;
    }
    eps1 = w(mode == 2 ? "epsilon_c1" : "epsilon_c2");
    eps2 = w(mode == 2 ? "epsilon_c1u" : "epsilon_c2u");
    fck = w("fck") * 1000.0;
    Ecm = w("Ecm");
    const double alphaDe = shapeClass > 1 ? 0.8 : 0.85;
    switch (code) {
    case 1: {
        double g = (!art.kennwerte && accidental) ? 1.3 : gamma;
        g *= factor;
        fcd = alphaDe * fck / g;
        if (!art.kennwerte && mode == 2)
            fcd = (fck + 8000.0) / g;
        break;
    }
    case 2:
    case 12: fcd = fck / (gamma * factor); break;
    case 3: fcd = EtaFc(fck) * fck / (gamma * factor); break;
    case 11: fcd = alphaDe * fck / (gamma * factor); break;
    case 13: {
        // alpha_cc of the UK annex for bending and axial force
        const double a = art.kennwerte ? 0.85 : (shapeClass > 1 ? 0.8 : 0.85);
        fcd = a * fck / (gamma * factor);
        break;
    }
    default: break;
    }
    return 0;
}

int HoleStahl(bool kennwerte, int code, int grade, double& fyd, double& epsy, double& epsu, double& E, double& fyk,
              double factor, int accidental)
{
    if (!IstBekannt(code))
        return 0;
    if (factor < 0.1)
        factor = 1.0;
    const Werte& w = Lade(code, grade, false);
    E = w("E");
    epsu = w("epsilon_szul");
    if (code == 0) {
        fyd = w("beta_s") * 1000.0;
        fyk = fyd;
        epsy = E != 0.0 ? -fyd / E : 0.0;
        return 0;
    }
    double gs = w("gamma_sg") * factor;
    if (kennwerte && accidental)
        gs = w("gamma_sa") * factor;
    else if (!kennwerte && accidental && code == 1)
        gs = 1.0;
    if (gs <= 0.0)
        gs = 1.0;
    fyk = w("fyk") * 1000.0;
    fyd = fyk / gs;
    epsy = code == 3 ? -w("epsilon_yd") : (E != 0.0 ? -fyd / E : 0.0);
    return 0;
}

}  // namespace

MaterialKatalog* SetzeMaterialKatalog(MaterialKatalog* katalog)
{
    MaterialKatalog* prev = g_katalog;
    g_katalog = katalog;
    g_gelesen.clear();
    return prev;
}

const char* KatalogNorm(int code)
{
    if (code == 0)
        return "DIN 1045";
    const designcode::DesignCode* c = designcode::ByEngine(code);
    return c ? c->catalogue : "";
}

int HoleBetonRechenwerte(int code, int fireSwitch, int shapeClass, int mode, int grade, double& fck, double& fcd,
                         double& eps1, double& eps2, double& Ecm, double& form, double factor, int accidental)
{
    return HoleBeton(BetonArt{false}, code, fireSwitch, shapeClass, mode, grade, fck, fcd, eps1, eps2, Ecm, form,
                     factor, accidental);
}

int HoleBetonKennwerte(int code, int fireSwitch, int shapeClass, int mode, int grade, double& fck, double& fcd,
                       double& eps1, double& eps2, double& Ecm, double& form, double factor, int accidental)
{
    return HoleBeton(BetonArt{true}, code, fireSwitch, shapeClass, mode, grade, fck, fcd, eps1, eps2, Ecm, form, factor,
                     accidental);
}

int HoleStahlRechenwerte(int code, int grade, double& fyd, double& epsy, double& epsu, double& E, double& fyk,
                         double factor, int accidental)
{
    return HoleStahl(false, code, grade, fyd, epsy, epsu, E, fyk, factor, accidental);
}

int HoleStahlKennwerte(int code, int grade, double& fyd, double& epsy, double& epsu, double& E, double& fyk,
                       double factor, int accidental)
{
    return HoleStahl(true, code, grade, fyd, epsy, epsu, E, fyk, factor, accidental);
}

void BetonGesetzBruch(int code, int shapeClass, int grade, int accidental, double gesetz[7])
{
    double fck = 0, fcd = 0, e1 = 0, e2 = 0, ecm = 0, form = 0;
    HoleBetonRechenwerte(code, 0, shapeClass, 0, grade, fck, fcd, e1, e2, ecm, form, 1.0, accidental);
    const double g[7] = {fcd, e1, e2, 0.0, 0.0, 1.0, ecm};
    std::copy(g, g + 7, gesetz);
}

void StahlGesetz(int code, int grade, int brand, double gesetz[7])
{
    double fyd = 0, epsy = 0, epsu = 0, es = 0, fyk = 0;
    if (brand)
        HoleStahlRechenwerte(code, grade, fyd, epsy, epsu, es, fyk, 1.0, 1);
    else
        HoleStahlKennwerte(code, grade, fyd, epsy, epsu, es, fyk, 1.0, 0);
    const double g[7] = {fyd, epsy, epsu, 0.0, -epsy, 1.0, 0.0};
    std::copy(g, g + 7, gesetz);
}

double HoleBetonBemessungswerte(int code, int grade, int what, int ecmMode, int fireSwitch, double factor,
                                int accidental)
{
    if (!IstBekannt(code))
        return 0.0;
    if (factor < 0.1)
        factor = 1.0;
    const Werte& w = Lade(code, grade, true);
    if (code == 0) {
        if (what == 0)
            return w("beta_r");
        if (what == 3)
            return w("E");
        return 0.0;
    }
    double gamma = w(accidental ? (fireSwitch ? "gamma_caf" : "gamma_ca") : (fireSwitch ? "gamma_cgf" : "gamma_cg"));
    gamma *= factor;
    if (gamma <= 0.0)
        gamma = 1.0;
    const double fck = w("fck") * 1000.0;
    const double fcm = fck + 8000.0;
    double fcd = fck / gamma;
    if (code == 1)
        fcd = 0.85 * fck / gamma;
    else if (code == 11)
        fcd = 0.8 * fck / gamma;
    else if (code == 3)
        fcd = EtaFc(fck) * fck / gamma;
    double modul = w("Ecm");
    if (code == 1 && ecmMode >= 0 && ecmMode <= 2)
        modul = 9500.0 * std::pow(fcm / 1000.0, 0.3333) * (0.8 + fcm * 2.2727272727272728e-6);
    const double fctm = w("fctm") * 1000.0;
    double v = 0.0;
    switch (what) {
    case 0: v = fck; break;
    case 1: v = fcd; break;
    case 2: v = fcm; break;
    case 3: v = modul * 1000.0; break;
    case 4: v = fctm; break;
    case 5: v = 0.7 * fctm; break;
    case 6: v = 1.3 * fctm; break;
    case 8: v = code == 3 ? w("tau_cd") * 1000.0 : 0.0; break;
    case 9: v = gamma * 1000.0; break;
    case 10: v = 9.5e6 * std::pow(fcm / 1000.0, 0.3333); break;
    default: v = 0.0; break;
    }
    return v / 1000.0;
}

double HoleStahlBemessungswerte(int code, int grade, int what, int accidental)
{
    if (!IstBekannt(code))
        return 0.0;
    const Werte& w = Lade(code, grade, false);
    const double fyk = code == 0 ? w("beta_s") : w("fyk");
    double gs = w(accidental ? "gamma_sa" : "gamma_sg");
    if (gs <= 0.0)
        gs = 1.0;
    if (what == 0)
        return code == 0 ? fyk : fyk / gs;
    if (what == 1)
        return fyk;
    return 0.0;
}

int HoleMaterialListen(int code, char* betonNamen, char* stahlNamen, int& nBeton, int& nStahl)
{
    auto schreibe = [](char* buffer, const std::vector<std::string>& names, int maxCount) {
        int n = 0;
        for (const std::string& name : names) {
            if (n >= maxCount)
                break;
            // a 15-character name's terminator falls into the next slot, as the callers expect
            std::snprintf(buffer + 15 * n, 16, "%.15s", name.c_str());
            ++n;
        }
        return n;
    };
    if (g_rechner.userMaterial == 1) {
        nBeton = schreibe(betonNamen, {"concrete"}, 30);
        nStahl = schreibe(stahlNamen, {"steel"}, 20);
        return 0;
    }
    nBeton = schreibe(betonNamen, Sorten(code, true), 30);
    nStahl = schreibe(stahlNamen, Sorten(code, false), 20);
    return 0;
}
