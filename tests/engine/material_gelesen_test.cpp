// A grade is read from the catalogue once per installation; a new catalogue and the user tables are seen
// at once.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/material.h"
#include "engine/rechner.h"

namespace {

// One grade of the strength given; counts the value reads.
class ZaehlKatalog : public MaterialKatalog {
public:
    explicit ZaehlKatalog(const char* fck) : m_fck(fck) {}
    void Sorten(const char*, const char*, const char*, std::vector<std::string>& names) override { names = {"C"}; }
    bool Werte(const char*, const char*, const char*, const std::string&,
               std::map<std::string, std::string>& out) override
    {
        ++lesungen;
        out = {{"fck", m_fck}, {"gamma_cg", "1.5"}};
        return true;
    }
    int lesungen = 0;
    std::string m_fck;
};

// fck of the EC2 grade in kN/m2 (the catalogue gives N/mm2)
double Fck()
{
    double fck = 0, fcd = 0, e1 = 0, e2 = 0, ecm = 0, form = 0;
    HoleBetonRechenwerte(2, 0, 0, 0, 0, fck, fcd, e1, e2, ecm, form, 1.0, 0);
    return fck;
}

}  // namespace

TEST(MaterialGelesen, OncePerInstalledCatalogueAndUserTablesEveryTime)
{
    const int altUser = g_rechner.userMaterial;
    const double altFck = g_rechner.userBeton[3];
    g_rechner.userMaterial = 0;
    ZaehlKatalog a("30"), b("45");
    MaterialKatalog* alt = SetzeMaterialKatalog(&a);
    for (int k = 0; k < 20; ++k)
        EXPECT_NEAR(Fck(), 30000.0, 1e-9);
    EXPECT_EQ(a.lesungen, 1);
    SetzeMaterialKatalog(&b);  // the next calculation's catalogue: its values, not the kept ones
    EXPECT_NEAR(Fck(), 45000.0, 1e-9);
    SetzeMaterialKatalog(&a);
    EXPECT_NEAR(Fck(), 30000.0, 1e-9);
    EXPECT_EQ(a.lesungen, 2);

    g_rechner.userMaterial = 1;  // fck is entry 3 of the user's concrete table
    g_rechner.userBeton[3] = 25.0;
    const double f1 = Fck();
    g_rechner.userBeton[3] = 35.0;
    EXPECT_NEAR(Fck() - f1, 10000.0, 1e-9);
    EXPECT_EQ(a.lesungen, 2);

    g_rechner.userMaterial = altUser;
    g_rechner.userBeton[3] = altFck;
    SetzeMaterialKatalog(alt);
}

// The values are read from the catalogue's texts as the catalogue always was: leading blanks skipped, a unit
// after the number ignored, a text that is no number 0; the user's values go through six decimals.
TEST(MaterialGelesen, TextsReadAsBefore)
{
    const int altUser = g_rechner.userMaterial;
    const double altFck = g_rechner.userBeton[3];
    g_rechner.userMaterial = 0;
    const struct {
        const char* text;
        double fck;  // kN/m2
    } faelle[] = {{"30", 30000.0}, {" 40", 40000.0}, {"2.5e1", 25000.0}, {"35 N/mm2", 35000.0}, {"keine", 0.0}};
    MaterialKatalog* alt = SetzeMaterialKatalog(nullptr);
    for (const auto& f : faelle) {
        ZaehlKatalog k(f.text);
        SetzeMaterialKatalog(&k);
        EXPECT_NEAR(Fck(), f.fck, 1e-9) << f.text;
        SetzeMaterialKatalog(nullptr);
    }
    g_rechner.userMaterial = 1;
    g_rechner.userBeton[3] = 30.1234567;  // "%lf": 30.123457 N/mm2
    EXPECT_NEAR(Fck(), 30123.457, 1e-7);

    g_rechner.userMaterial = altUser;
    g_rechner.userBeton[3] = altFck;
    SetzeMaterialKatalog(alt);
}
