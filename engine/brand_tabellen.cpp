// The fire tables and their interpolation by load level and column length.
#include <algorithm>

#include "engine/brand.h"

namespace brand_tabellen {

// "DIN 4102 Tabelle 31E:2007". Rows mu_fi 0.2, 0.5, 0.7 for columns up to l1, then the same from l2 on.
const double kDinBEinseitig[30] = {
    120, 120, 190, 200, 220, 120, 120, 190, 200, 220, 120, 120, 190, 200, 220,
    120, 120, 190, 200, 220, 120, 120, 190, 200, 220, 120, 120, 190, 200, 220,
};
const double kDinAEinseitig[30] = {
    34, 34, 34, 34, 37, 34, 34, 34, 34, 37, 34, 34, 34, 34, 37,
    34, 34, 34, 34, 37, 34, 34, 34, 34, 37, 34, 34, 34, 34, 37,
};
const double kDinBMehrseitig[30] = {
    120, 120, 150, 180, 240, 120, 160, 200, 260, 350, 120, 190, 250, 320, 440,
    120, 120, 180, 240, 290, 120, 180, 270, 300, 400, 120, 250, 320, 360, 490,
};
const double kDinAMehrseitig[30] = {
    34, 34, 34, 37, 34, 34, 34, 34, 46, 40, 34, 34, 37, 40, 46,
    34, 34, 37, 34, 40, 34, 37, 34, 40, 46, 34, 37, 40, 46, 46,
};

// "DIN EN 1992-1-2:2010-12 Tabelle 5.2a". Rows mu_fi 0.2, 0.5, 0.7; one side exposed the same in every
// row, and both options alike. One side at R 180 is 230/55 (70 mm belongs to R 240, which is not offered).
const double kEc2B1Einseitig[15] = {
    155, 155, 155, 175, 230, 155, 155, 155, 175, 230, 155, 155, 155, 175, 230,
};
const double kEc2A1Einseitig[15] = {
    25, 25, 25, 35, 55, 25, 25, 25, 35, 55, 25, 25, 25, 35, 55,
};
const double kEc2B1Mehrseitig[15] = {
    200, 200, 200, 250, 350, 200, 200, 300, 350, 350, 200, 250, 350, 350, 450,
};
const double kEc2A1Mehrseitig[15] = {
    25, 25, 31, 40, 45, 25, 36, 45, 45, 63, 32, 46, 53, 57, 70,
};
const double kEc2B2Mehrseitig[15] = {
    200, 200, 300, 350, 350, 200, 300, 400, 450, 350, 300, 350, 450, 450, 450,
};
const double kEc2A2Mehrseitig[15] = {
    25, 25, 25, 35, 45, 25, 31, 38, 40, 63, 27, 40, 40, 51, 70,
};

}  // namespace brand_tabellen

double InterpoliereBrandtabelleMue(const double* tabelle, double mue, int klasse)
{
    const int c = std::clamp(klasse, 0, 4);
    const double v02 = tabelle[c], v05 = tabelle[5 + c], v07 = tabelle[10 + c];
    double v = 0.0;
    if (mue < 0.2)
        v = v02;
    else if (mue > 0.699)
        v = v07;
    else if (mue > 0.5)
        v = v05 + (v07 - v05) * (mue - 0.5) * 5.000000000000001;
    else
        v = v02 + (v05 - v02) * (mue - 0.2) * 3.3333333333333335;
    return v * 0.1;
}

double InterpoliereLaenge(double wertL1, double wertL2, int art, double laenge)
{
    const double l1 = art == 0 ? 2.0 : 1.7;
    const double l2 = art == 0 ? 6.0 : 5.0;
    if (laenge <= l1)
        return wertL1;
    if (laenge >= l2)
        return wertL2;
    return wertL1 + (wertL2 - wertL1) * (laenge - l1) / (l2 - l1);
}

double InterpoliereBrandtabelle(const double* tabelle, double mue, int klasse, int art, double laenge)
{
    return InterpoliereLaenge(InterpoliereBrandtabelleMue(tabelle, mue, klasse),
                              InterpoliereBrandtabelleMue(tabelle + 15, mue, klasse), art, laenge);
}
