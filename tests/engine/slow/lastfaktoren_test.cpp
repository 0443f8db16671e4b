// A wide sweep of load factors over the example-like column in three meshes: every load ends either
// calculated, within the code's reinforcement limit, or at that limit with its message; never at the
// iteration limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../saeule_fixture.h"

using namespace frame_test;

TEST_F(Saeule, WideSweepOfLoadFactorsNeverEndsAtTheIterationLimit)
{
    // N = 1867.5 f on the upper 35 x 35 field, which carries at most 6711 kN at the 8 % of EC2
    // (0.1225 * 20000 + 0.0098 * 434783): from f = 3.6 on the ratio limit, up to 3.0 a calculated column
    // (see ColumnCalculatesUnderEveryLoadItCanCarry), between the two either.
    const std::string kGrenze = "Achtung! Bewehrungsgrad > 8%. Bitte Stützenabmessung bzw Betondeckung ändern.";
    for (int proFeld : {3, 6, 25}) {
        bool grenzeErreicht = false;
        for (int k = 1; k <= 45; ++k) {
            const double f = k <= 10 ? 0.01 * k : 0.1 * (k - 9);  // 0.01 .. 0.10, then 0.2 .. 3.6
            SCOPED_TRACE(testing::Message() << f << " x loads, " << 2 * proFeld << " members");
            const int slots = Beispiel(proFeld, f);
            if (slots == 1) {
                EXPECT_TRUE(Meldungen().empty()) << ErsteMeldung();
                EXPECT_LT(GroessteBewehrung(), 0.08 * 35.0 * 35.0);
                EXPECT_FALSE(grenzeErreicht) << "a larger load calculated after a smaller one reached the limit";
                EXPECT_LT(f, 3.55);
            } else {
                EXPECT_EQ(Meldungen(), std::vector<std::string>{kGrenze});
                EXPECT_GT(f, 3.05);
                grenzeErreicht = true;
            }
        }
    }
}
