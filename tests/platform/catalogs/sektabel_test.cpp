// The profile-table program's table of section values.
#include "platform/catalogs/sektabel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/viduv/viduv.h"

namespace {

// A document as the profile catalogue hands it over, for HEB 200 (cm units, values relative to the centroid).
int Heb200Document() {
  int doc = VIDUV_CreateDoc("sektabel.tqx");
  int root = VIDUV_GetRootElement(doc);
  int e = VIDUV_AddChildElement(VIDUV_AddChildElement(VIDUV_AddChildElement(root, "input"), "profile"), "sektabel");
  VIDUV_SetString(e, "profName", "HEB 200");
  VIDUV_SetDouble(e, "A", 78.08);
  VIDUV_SetDouble(e, "Ito", 59.28);
  VIDUV_SetDouble(e, "Ayy", 2003.4);
  VIDUV_SetDouble(e, "Azz", 5696.0);
  VIDUV_SetDouble(e, "hs", 20);
  VIDUV_SetDouble(e, "ts", 0.9);
  VIDUV_SetDouble(e, "bo", 20);
  VIDUV_SetDouble(e, "to", 1.5);
  VIDUV_SetDouble(e, "bu", 20);
  VIDUV_SetDouble(e, "tu", 1.5);
  for (int i = 0; i < 3; ++i) {
    int plate = VIDUV_AddChildElement(e, "blech");
    VIDUV_SetDouble(plate, "r0", 1.8);
    VIDUV_SetDouble(plate, "r1", i == 1 ? 1.8 : 0.0);
  }
  return doc;
}

TEST(Sektabel, TableOfHeb200) {
  int doc = Heb200Document();
  ASSERT_EQ(Sektabel(doc, 0), 1);
  int result = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "result");
  ASSERT_NE(result, 0);
  auto v = [&](const char* name) { return VIDUV_GetDouble(result, name); };
  // EN 10365: Wy 569.6, Wz 200.3 cm³; S 235: Npl = 78.08 * 23.5, Mpl,y = 642.5 * 0.235 kNm,
  // Vpl,z = 24.83 * 23.5 / sqrt(3) kN.
  EXPECT_NEAR(v("A"), 78.08, 1e-12);
  EXPECT_NEAR(v("Iy"), 5696.0, 1e-12);
  EXPECT_NEAR(v("Iz"), 2003.4, 1e-12);
  EXPECT_NEAR(v("Wy"), 569.6, 0.05);
  EXPECT_NEAR(v("Wz"), 200.3, 0.05);
  EXPECT_NEAR(v("It"), 59.28, 1e-12);
  EXPECT_NEAR(v("h"), 200, 1e-9);
  EXPECT_NEAR(v("bo"), 200, 1e-9);
  EXPECT_NEAR(v("tu"), 15, 1e-9);
  EXPECT_NEAR(v("s"), 9, 1e-9);
  EXPECT_NEAR(v("Npl"), 1834.9, 0.2);
  EXPECT_NEAR(v("Mply"), 151.0, 0.1);
  EXPECT_NEAR(v("Mplz"), 71.86, 0.05);
  EXPECT_NEAR(v("Qplz"), 24.83 * 23.5 / std::sqrt(3.0), 0.2);
  EXPECT_NEAR(v("Qply"), 60 * 23.5 / std::sqrt(3.0), 0.01);
  VIDUV_CloseDoc(doc);
}

TEST(Sektabel, DocumentWithoutProfileDataWritesNothing) {
  int doc = VIDUV_CreateDoc("sektabel.tqx");
  EXPECT_EQ(Sektabel(doc, 0), 0);
  EXPECT_EQ(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "result"), 0);
  VIDUV_CloseDoc(doc);
  EXPECT_EQ(Sektabel(0, 0), 0);
}

TEST(Sektabel, ImpossibleDimensionsWriteNothing) {
  int doc = Heb200Document();
  int e = VIDUV_FindFirstChild(
      VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"), "profile"), "sektabel");
  VIDUV_SetDouble(e, "to", 15);  // flanges overlap
  EXPECT_EQ(Sektabel(doc, 0), 0);
  EXPECT_EQ(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "result"), 0);
  VIDUV_CloseDoc(doc);
}

}  // namespace
