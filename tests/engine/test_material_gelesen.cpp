// A grade is read from the catalogue once per installation; a new catalogue and the user tables are
// always seen at once.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/material.h"
#include "engine/rechner.h"

namespace {

// One EC2 grade whose strength the test sets; counts the value reads.
class ZaehlKatalog : public MaterialKatalog {
public:
    explicit ZaehlKatalog(const char* fck) : m_fck(fck) {}
    void Sorten(const char*, const char* kat, const char*, std::vector<std::string>& names) override
    {
        names.clear();
        if (std::string(kat) == "Beton")
            names = {"C"};
    }
    bool Werte(const char*, const char*, const char*, const std::string&,
               std::map<std::string, std::string>& out) override
    {
        ++lesungen;
        out = {{"fck", m_fck}, {"gamma_cg", "1.5"}};
        return true;
    }
    int lesungen = 0;

private:
    std::string m_fck;
};

// fck of EC2 grade `grade` in kN/m2 (the catalogue gives N/mm2).
double Fck(int grade = 0)
{
    double fck = 0, fcd = 0, e1 = 0, e2 = 0, ecm = 0, form = 0;
    HoleBetonRechenwerte(2, 0, 0, 0, grade, fck, fcd, e1, e2, ecm, form, 1.0, 0);
    return fck;
}

class Gelesen : public ::testing::Test {
protected:
    void SetUp() override { m_user = g_rechner.userMaterial; g_rechner.userMaterial = 0; }
    void TearDown() override { g_rechner.userMaterial = m_user; }

private:
    int m_user = 0;
};

}  // namespace

TEST_F(Gelesen, OneReadPerGradeAndInstallation)
{
    ZaehlKatalog a("30"), b("45");
    MaterialKatalog* alt = SetzeMaterialKatalog(&a);
    const double fckA = Fck();
    for (int k = 0; k < 50; ++k)
        EXPECT_EQ(Fck(), fckA);
    EXPECT_EQ(a.lesungen, 1);
    EXPECT_NEAR(fckA, 30000.0, 1e-9);  // 30 N/mm2 in kN/m2

    // the next calculation installs its catalogue: its values, not the kept ones
    SetzeMaterialKatalog(&b);
    EXPECT_NEAR(Fck(), 45000.0, 1e-9);
    EXPECT_EQ(b.lesungen, 1);
    SetzeMaterialKatalog(&a);
    EXPECT_NEAR(Fck(), 30000.0, 1e-9);
    EXPECT_EQ(a.lesungen, 2);
    SetzeMaterialKatalog(alt);
}

TEST_F(Gelesen, UserTablesAreReadEveryTime)
{
    ZaehlKatalog a("30");
    MaterialKatalog* alt = SetzeMaterialKatalog(&a);
    const int altUser = g_rechner.userMaterial;
    const double altFck = g_rechner.userBeton[3];
    g_rechner.userMaterial = 1;
    g_rechner.userBeton[3] = 25.0;  // fck
    const double f1 = Fck();
    g_rechner.userBeton[3] = 35.0;
    const double f2 = Fck();
    EXPECT_NEAR(f2 - f1, 10000.0, 1e-9);
    EXPECT_EQ(a.lesungen, 0);
    g_rechner.userMaterial = altUser;
    g_rechner.userBeton[3] = altFck;
    SetzeMaterialKatalog(alt);
}
