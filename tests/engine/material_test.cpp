// Material values by design code, from user tables typed in from the codes' tables and from a small
// catalogue that stands in for the material database.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "engine/material.h"
#include "engine/rechner.h"

namespace {

// EN 1992-1-1 Table 3.1 / DIN 1045-1 Table 9, C30/37: fck 30, fctm 2.9, eps_c1 -2.2 (EC2), eps_cu1 -3.5,
// eps_c2 -2.0, eps_cu2 -3.5, Ecm 33000 (EC2); partial factors 1.5 and 1.2 (accidental), precast 1.35.
void SetzeBetonC30(double fck = 30.0)
{
    const double werte[22] = {33000, 34600, 13750, fck, 1.64, 2.9,  -3.5, -2.2, -3.5, -2.0, 2.2,
                              3.0,   1.5,   1.2,   1.5, 1.2,  1.35, 1.2,  25,   24,   0.2,  1e-5};
    std::memcpy(g_rechner.userBeton, werte, sizeof werte);
}

// B500B: E 200000, fyk 500, ftk 540, gamma_s 1.15 / 1.0, eps_yd 2.17, eps_ud 25, duk 50.
void SetzeStahlB500()
{
    const double werte[10] = {200000, 78.5, 500, 540, 1.15, 1.0, 1e-5, 2.17, 25, 50};
    std::memcpy(g_rechner.userStahl, werte, sizeof werte);
}

class MaterialTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_altUser = g_rechner.userMaterial;
        g_rechner.userMaterial = 1;
        SetzeBetonC30();
        SetzeStahlB500();
    }
    void TearDown() override { g_rechner.userMaterial = m_altUser; }

    struct Beton {
        double fck = -7, fcd = -7, e1 = -7, e2 = -7, ecm = -7, form = -7;
    };
    static Beton Rechen(int code, int mode, double factor = 1.0, int acc = 0, int shape = 0)
    {
        Beton b;
        HoleBetonRechenwerte(code, 0, shape, mode, 0, b.fck, b.fcd, b.e1, b.e2, b.ecm, b.form, factor, acc);
        return b;
    }
    static Beton Kenn(int code, int mode, int acc = 0)
    {
        Beton b;
        HoleBetonKennwerte(code, 0, 0, mode, 0, b.fck, b.fcd, b.e1, b.e2, b.ecm, b.form, 1.0, acc);
        return b;
    }

private:
    int m_altUser = 0;
};

TEST_F(MaterialTest, ConcreteDesignStrengthByCode)
{
    struct Fall {
        int code;
        double fcd;  // kN/m2
    };
    // EC2 and the French annex: fck/gamma_c = 30/1.5 = 20 N/mm2; DIN 1045-1 and the German annex:
    // 0.85 * 30/1.5 = 17; UK annex with alpha_cc = 0.85 for bending and axial force: 17;
    // SIA 262: eta_fc = (30/30)^(1/3) = 1 -> 20.
    const Fall faelle[] = {{1, 17000}, {2, 20000}, {3, 20000}, {11, 17000}, {12, 20000}, {13, 17000}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.code);
        const Beton b = Rechen(f.code, 0);
        EXPECT_NEAR(b.fcd, f.fcd, 1e-6);
        EXPECT_DOUBLE_EQ(b.fck, 30000.0);
        EXPECT_DOUBLE_EQ(b.e1, -2.0);
        EXPECT_DOUBLE_EQ(b.e2, -3.5);
        EXPECT_DOUBLE_EQ(b.form, 2.0);
        EXPECT_DOUBLE_EQ(b.ecm, 33000.0);
        EXPECT_NEAR(Kenn(f.code, 0).fcd, f.fcd, 1e-6);
    }
}

TEST_F(MaterialTest, FrameAnalysisLawOfDin10451)
{
    // mode 2: eps_c1 and eps_c1u, fcd = fcm / gamma_c = (30 + 8)/1.5 = 25.33 N/mm2
    const Beton b = Rechen(1, 2);
    EXPECT_DOUBLE_EQ(b.e1, -2.2);
    EXPECT_DOUBLE_EQ(b.e2, -3.5);
    EXPECT_NEAR(b.fcd, 38000.0 / 1.5, 1e-6);
    // the report values keep 0.85 fck / gamma_c in every mode
    EXPECT_NEAR(Kenn(1, 2).fcd, 17000.0, 1e-6);
}

TEST_F(MaterialTest, AccidentalSituation)
{
    // DIN 1045-1: gamma_c = 1.3 -> 0.85 * 30/1.3; EC2 design values keep gamma_c, report values take
    // gamma_ca = 1.2 -> 25 N/mm2.
    EXPECT_NEAR(Rechen(1, 0, 1.0, 1).fcd, 0.85 * 30000.0 / 1.3, 1e-6);
    EXPECT_NEAR(Rechen(2, 0, 1.0, 1).fcd, 20000.0, 1e-6);
    EXPECT_NEAR(Kenn(2, 0, 1).fcd, 25000.0, 1e-6);
    EXPECT_NEAR(Kenn(1, 0, 1).fcd, 0.85 * 30000.0 / 1.2, 1e-6);
}

TEST_F(MaterialTest, ShapeClassAndFactor)
{
    EXPECT_NEAR(Rechen(11, 0, 1.0, 0, 2).fcd, 0.8 * 30000.0 / 1.5, 1e-6);
    EXPECT_NEAR(Rechen(2, 0, 0.05).fcd, 20000.0, 1e-6);  // a factor below 0.1 means 1
    EXPECT_NEAR(Rechen(2, 0, 2.0).fcd, 10000.0, 1e-6);
}

TEST_F(MaterialTest, SiaHighStrengthCarriesEtaFc)
{
    // SIA 262 (2): fcd = eta_fc fck / gamma_c, eta_fc = (30/50)^(1/3) = 0.84343
    SetzeBetonC30(50.0);
    EXPECT_NEAR(Rechen(3, 0).fcd, 0.843432665 * 50000.0 / 1.5, 1e-2);
    EXPECT_NEAR(HoleBetonBemessungswerte(3, 0, 1, 3, 0, 1.0, 0), 0.843432665 * 50.0 / 1.5, 1e-5);
    // EC2 has no such factor
    EXPECT_NEAR(Rechen(2, 0).fcd, 50000.0 / 1.5, 1e-6);
}

TEST_F(MaterialTest, SteelByCode)
{
    struct Fall {
        int code, acc;
        double fyd, epsy;
    };
    // fyd = 500/1.15 = 434.78 N/mm2, eps_yd = fyd/E = 2.1739; SIA takes eps_yd of the table (2.17);
    // DIN 1045-1 in the accidental situation gamma_s = 1.0.
    const Fall faelle[] = {{1, 0, 434782.6087, -2.173913},  {1, 1, 500000.0, -2.5},
                           {2, 1, 434782.6087, -2.173913},  {3, 0, 434782.6087, -2.17},
                           {11, 0, 434782.6087, -2.173913}, {13, 0, 434782.6087, -2.173913}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(testing::Message() << f.code << "/" << f.acc);
        double fyd = 0, epsy = 0, epsu = 0, e = 0, fyk = 0;
        HoleStahlRechenwerte(f.code, 0, fyd, epsy, epsu, e, fyk, 1.0, f.acc);
        EXPECT_NEAR(fyd, f.fyd, 1e-3);
        EXPECT_NEAR(epsy, f.epsy, 1e-6);
        EXPECT_DOUBLE_EQ(epsu, 25.0);
        EXPECT_DOUBLE_EQ(e, 200000.0);
        EXPECT_DOUBLE_EQ(fyk, 500000.0);
    }
    double fyd = 0, epsy = 0, epsu = 0, e = 0, fyk = 0;
    HoleStahlKennwerte(2, 0, fyd, epsy, epsu, e, fyk, 1.0, 1);  // gamma_sa = 1.0
    EXPECT_NEAR(fyd, 500000.0, 1e-6);
    EXPECT_NEAR(HoleStahlBemessungswerte(2, 0, 0, 0), 434.7826087, 1e-6);
    EXPECT_NEAR(HoleStahlBemessungswerte(2, 0, 0, 1), 500.0, 1e-9);
    EXPECT_NEAR(HoleStahlBemessungswerte(2, 0, 1, 0), 500.0, 1e-9);
    EXPECT_EQ(HoleStahlBemessungswerte(2, 0, 2, 0), 0.0);
}

TEST_F(MaterialTest, UnknownCodeLeavesOutputs)
{
    const Beton b = Rechen(7, 0);
    EXPECT_EQ(b.fcd, -7.0);
    EXPECT_EQ(b.e1, -7.0);
    double fyd = -7, epsy = -7, epsu = -7, e = -7, fyk = -7;
    EXPECT_EQ(HoleStahlRechenwerte(7, 0, fyd, epsy, epsu, e, fyk, 1.0, 0), 0);
    EXPECT_EQ(fyd, -7.0);
}

TEST_F(MaterialTest, ShearValuesOfDin10451)
{
    // DIN 1045-1 Table 9, C30/37: Ec0m = 9500 (fck + 8)^(1/3) = 31900, Ecm = (0.8 + 0.2 fcm/88) Ec0m = 28300
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 3, 0, 0, 1.0, 0), 28300.0, 0.002 * 28300.0);
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 10, 0, 0, 1.0, 0), 31900.0, 0.002 * 31900.0);
    EXPECT_NEAR(HoleBetonBemessungswerte(2, 0, 3, 0, 0, 1.0, 0), 33000.0, 1e-9);  // others: Ecm of the table
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 1, 0, 0, 1.0, 0), 17.0, 1e-9);
    EXPECT_NEAR(HoleBetonBemessungswerte(11, 0, 1, 0, 0, 1.0, 0), 0.8 * 20.0, 1e-9);
    EXPECT_NEAR(HoleBetonBemessungswerte(13, 0, 1, 0, 0, 1.0, 0), 20.0, 1e-9);  // shear: alpha_cc 1.0
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 0, 0, 0, 1.0, 0), 30.0, 1e-9);
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 2, 0, 0, 1.0, 0), 38.0, 1e-9);
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 4, 0, 0, 1.0, 0), 2.9, 1e-9);
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 5, 0, 0, 1.0, 0), 2.03, 1e-9);
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 6, 0, 0, 1.0, 0), 3.77, 1e-9);
    EXPECT_EQ(HoleBetonBemessungswerte(1, 0, 7, 0, 0, 1.0, 0), 0.0);
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 9, 0, 0, 1.0, 0), 1.5, 1e-12);
    EXPECT_NEAR(HoleBetonBemessungswerte(1, 0, 9, 0, 0, 1.0, 1), 1.2, 1e-12);
}

TEST_F(MaterialTest, UserListsAreSingleNames)
{
    char beton[16 * 30 + 1] = {}, stahl[16 * 20 + 1] = {};
    int nb = 0, ns = 0;
    HoleMaterialListen(2, beton, stahl, nb, ns);
    EXPECT_EQ(nb, 1);
    EXPECT_EQ(ns, 1);
    EXPECT_STREQ(beton, "concrete");
    EXPECT_STREQ(stahl, "steel");
}

// ---- catalogue ----------------------------------------------------------------------------------------

class KleinKatalog : public MaterialKatalog {
public:
    void Sorten(const char* norm, const char* kat, const char*, std::vector<std::string>& names) override
    {
        const std::string n = norm, k = kat;
        names.clear();
        if (k == "Beton" && n == "EC2 NA (DE)")
            names = {"C20/25", "C30/37"};
        else if (k == "Beton" && n == "DIN 1045-I")
            names = {"C12/15"};
        else if (k == "Beton" && n == "DIN 1045")
            names = {"B 25"};
        else if (k == "Stahl" && n == "DIN 1045")
            names = {"BSt 420 S"};
        else if (k == "Beton" && n == "EC2")
            for (int i = 0; i < 35; ++i)
                names.push_back("Sorte_mit_langem_Namen_" + std::to_string(i));
        anfragen += n + "|";
    }
    bool Werte(const char* norm, const char*, const char*, const std::string& name,
               std::map<std::string, std::string>& out) override
    {
        out.clear();
        if (name == "C20/25")
            out = {{"fck", "20"}, {"gamma_cg", "1.5"}};
        else if (name == "C30/37")
            out = {{"fck", "30"}, {"gamma_cg", "1.5"}};
        else if (name == "C12/15")
            out = {{"fck", "12"}, {"gamma_cg", "1.5"}};
        else if (name == "B 25")  // DIN 1045 (1988): beta_R = 17.5 N/mm2, E = 30000, eps 2 / 3.5 per mille
            out = {{"beta_r", "17.5"}, {"E", "30000"}, {"epsilon_d", "-2"}, {"epsilon_u", "-3.5"}};
        else if (name == "BSt 420 S")
            out = {{"beta_s", "420"}, {"E", "210000"}, {"epsilon_szul", "5"}};
        else
            return false;
        return true;
    }
    std::string anfragen;
};

class KatalogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_alt = SetzeMaterialKatalog(&m_katalog);
        m_altUser = g_rechner.userMaterial;
        g_rechner.userMaterial = 0;
    }
    void TearDown() override
    {
        SetzeMaterialKatalog(m_alt);
        g_rechner.userMaterial = m_altUser;
    }
    KleinKatalog m_katalog;

private:
    MaterialKatalog* m_alt = nullptr;
    int m_altUser = 0;
};

double Fcd(int code, int grade)
{
    double fck = 0, fcd = 0, e1 = 0, e2 = 0, ecm = 0, form = 0;
    HoleBetonRechenwerte(code, 0, 0, 0, grade, fck, fcd, e1, e2, ecm, form, 1.0, 0);
    return fcd;
}

TEST_F(KatalogTest, AnnexesFAndGbReadTheGermanAnnexGrades)
{
    EXPECT_NEAR(Fcd(12, 1), 20000.0, 1e-6);  // C30/37 of "EC2 NA (DE)", fck/gamma
    EXPECT_NEAR(Fcd(13, 0), 0.85 * 20000.0 / 1.5, 1e-6);
    EXPECT_NEAR(Fcd(12, 2), 20000.0, 1e-6);  // a grade index beyond the list takes the last grade
    EXPECT_NE(m_katalog.anfragen.find("EC2 NA (DE)"), std::string::npos);
    EXPECT_NEAR(Fcd(1, 0), 0.85 * 12000.0 / 1.5, 1e-6);
    EXPECT_NE(m_katalog.anfragen.find("DIN 1045-I"), std::string::npos);
}

TEST_F(KatalogTest, Din1045Values)
{
    double fck = 0, fcd = 0, e1 = 0, e2 = 0, ecm = 0, form = 0;
    HoleBetonRechenwerte(0, 0, 0, 0, 0, fck, fcd, e1, e2, ecm, form, 1.0, 0);
    EXPECT_DOUBLE_EQ(fck, 17500.0);
    EXPECT_DOUBLE_EQ(fcd, 17500.0);  // no partial factor
    EXPECT_DOUBLE_EQ(e1, -2.0);
    EXPECT_DOUBLE_EQ(e2, -3.5);
    EXPECT_DOUBLE_EQ(form, 2.0);
    HoleBetonRechenwerte(0, 0, 0, 2, 0, fck, fcd, e1, e2, ecm, form, 1.0, 0);
    EXPECT_DOUBLE_EQ(e1, -1.35);
    EXPECT_DOUBLE_EQ(form, 1.0);
    HoleBetonRechenwerte(0, 0, 0, 1, 0, fck, fcd, e1, e2, ecm, form, 1.0, 0);
    EXPECT_NEAR(e1, -17500.0 / 30000.0, 1e-12);
    EXPECT_DOUBLE_EQ(form, 1.0);
    double fyd = 0, epsy = 0, epsu = 0, e = 0, fyk = 0;
    HoleStahlRechenwerte(0, 0, fyd, epsy, epsu, e, fyk, 1.0, 0);
    EXPECT_DOUBLE_EQ(fyd, 420000.0);
    EXPECT_NEAR(epsy, -2.0, 1e-12);
    EXPECT_DOUBLE_EQ(epsu, 5.0);
}

TEST_F(KatalogTest, ListsAreCutToTheirSlots)
{
    char beton[15 * 30 + 1] = {}, stahl[15 * 20 + 1] = {};
    int nb = 0, ns = 0;
    HoleMaterialListen(2, beton, stahl, nb, ns);
    EXPECT_EQ(nb, 30);  // at most 30 of the 35 names
    EXPECT_EQ(ns, 0);
    EXPECT_EQ(std::string(beton, 15), "Sorte_mit_lange");
    EXPECT_EQ(std::string(beton + 15 * 29, 15), "Sorte_mit_lange");
    EXPECT_EQ(beton[15 * 30], '\0');
}

}  // namespace
