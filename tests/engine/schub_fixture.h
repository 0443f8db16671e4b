// Material values and sections for the shear, fire and verification tests. One grade of each kind for
// every code, typed in from the codes' tables: concrete C30/37 (fck 30, fctm 2.9 N/mm2, gamma_c 1.5,
// accidental 1.2 (1.0 in fire); SIA 262 tau_cd = 1.1 N/mm2; eps_c1 -2.2, eps_cu1 -3.5, eps_c2 -2.0,
// eps_cu2 -3.5 per mille, Ecm 33000), reinforcing steel B500 (fyk 500, gamma_s 1.15 / 1.0, E 200000,
// eps_ud 25 per mille).
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/material.h"
#include "engine/quer.h"
#include "engine/rechner.h"
#include "engine/schub.h"
#include "platform/win/dialogs/msgbox.h"

namespace schub_test {

class C30Katalog : public MaterialKatalog {
public:
    void Sorten(const char*, const char* kat, const char*, std::vector<std::string>& names) override
    {
        names = {std::string(kat) == "Beton" ? "C30/37" : "B500"};
    }
    bool Werte(const char*, const char*, const char*, const std::string& name,
               std::map<std::string, std::string>& out) override
    {
        if (name == "C30/37")
            out = {{"fck", "30"},          {"fctm", "2.9"},         {"Ecm", "33000"},       {"gamma_cg", "1.5"},
                   {"gamma_ca", "1.2"},    {"gamma_cgf", "1.0"},    {"gamma_caf", "1.0"},   {"tau_cd", "1.1"},
                   {"epsilon_c1", "-2.2"}, {"epsilon_c1u", "-3.5"}, {"epsilon_c2", "-2.0"}, {"epsilon_c2u", "-3.5"}};
        else if (name == "B500")
            out = {{"fyk", "500"},  {"gamma_sg", "1.15"},   {"gamma_sa", "1.0"},
                   {"E", "200000"}, {"epsilon_szul", "25"}, {"epsilon_yd", "2.17"}};
        else
            return false;
        return true;
    }
};

// Installs the catalogue for a test and restores the engine state it touches.
class SchubUmgebung : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_altKatalog = SetzeMaterialKatalog(&m_katalog);
        m_altUser = g_rechner.userMaterial;
        g_rechner.userMaterial = 0;
        m_altAcc = g_rechner.aussergewoehnlich;
        g_rechner.aussergewoehnlich = 0;
        win::msgbox::ClearLog();
    }
    void TearDown() override
    {
        SetzeMaterialKatalog(m_altKatalog);
        g_rechner.userMaterial = m_altUser;
        g_rechner.aussergewoehnlich = m_altAcc;
        win::msgbox::ClearLog();
    }

    // A rectangular section b x h (cm) of code `code` prepared into g_quer[iq]: four corner bars at edge
    // distance c (cm), each of r/2 cm2 (2 r cm2 in all); D3 and D4 as given.
    static cQuer& Rechteck(int iq, int code, double b, double h, double r, double c, double d3 = 0.0, double d4 = 0.0)
    {
        cQuer& q = g_quer[iq];
        const double d[4] = {b, h, d3, d4};
        q.SetzeEingabe(1, 4, 0, 0, d, 1, 0, 1, 0.0);
        q.Torsionskern();
        q.Bereite(code, 1, 4, 0, 0, d, 1, 0, r, r, c, c);
        return q;
    }

private:
    C30Katalog m_katalog;
    MaterialKatalog* m_altKatalog = nullptr;
    int m_altUser = 0;
    int m_altAcc = 0;
};

// One element of the engine (its start and end section), the code number restored after the test.
class EinElement : public SchubUmgebung {
protected:
    void SetUp() override
    {
        SchubUmgebung::SetUp();
        m_norm = NORM;
        g_rechner.nStaebe = 1;
        g_rechner.stabFeld[0] = 0;
    }
    void TearDown() override
    {
        NORM = m_norm;
        g_rechner.nStaebe = 0;
        g_rechner.querEingabe.feld[0] = StabQuerschnitt{};
        SchubUmgebung::TearDown();
    }

private:
    int m_norm = 0;
};

}  // namespace schub_test
