// Supports and their spring records.
#include "framework/support.h"

#include "tests/framework/pos_test_support.h"

namespace {

class SupportXml : public pos_test::PosTest {
 protected:
  int NewElement() {
    return VIDUV_AddChildElement(Root(NewDocument("s" + std::to_string(++count_) + ".tqx")), "support");
  }
  static bool Has(int element, const char* name) { return *VIDUV_GetString(element, name) != '\0'; }

 private:
  int count_ = 0;
};

CSpringData CustomSpring(double base) {
  CSpringData s;
  s.bDrehfeder = 0;
  s.oben = {base, 50.0, 2.5, 40.0, 25.0, 35.0, 2, 1, "HEB", "HEB 200", 5696.0};
  s.unten = {base + 1, 60.0, 3.5, 45.0, 20.0, 30.0, 1, 0, "IPE", "IPE 300", 8356.0};
  return s;
}

TEST(Support, Defaults) {
  CSupport support;
  EXPECT_EQ(support.node, -1);
  for (int i = 0; i < CSupport::kSpringCount; ++i) {
    CFormulaNumber value = 5.0;
    int type = 9;
    support.GetValueByIdx(i, value, type);
    EXPECT_DOUBLE_EQ(value.GetValue(), 0.0);
    EXPECT_EQ(type, 0);
  }
  CSpringData s = support.GetSpringDataByIdx(4);
  EXPECT_EQ(s.bDrehfeder, 1);
  EXPECT_EQ(s.bEnableOben, 1);
  EXPECT_EQ(s.bEnableUnten, 1);
  EXPECT_DOUBLE_EQ(s.oben.emod, 30000.0);
  EXPECT_DOUBLE_EQ(s.oben.grad, 100.0);
  EXPECT_DOUBLE_EQ(s.oben.h, 3.0);
  EXPECT_DOUBLE_EQ(s.oben.qkd, 30.0);
  EXPECT_DOUBLE_EQ(s.oben.qrb, 30.0);
  EXPECT_DOUBLE_EQ(s.unten.qrd, 20.0);
  EXPECT_EQ(s.unten.ProfFamily, "HEA");
  EXPECT_EQ(s.unten.Profile, "HEA 120");
  EXPECT_DOUBLE_EQ(s.unten.Iy, 0.0);
}

TEST_F(SupportXml, EveryFieldRoundTrips) {
  CSupport support;
  support.node = 3;
  support.cx = -1.0;
  support.cy = 1234.5;
  support.cz.m_bNumber = FALSE;
  support.cz.m_strText = "2*1000";
  support.cmx = 7.0;
  support.cmy = 8.0;
  support.cmz = 9.0;
  support.cwoelb = 11.0;
  support.posX = 1.5;
  support.length = 0.3;
  support.ey = 0.02;
  support.ez = -0.04;
  support.cxTyp = 2;
  support.cmyTyp = 2;
  support.czTyp = 1;
  support.SDcx = CustomSpring(100.0);
  support.SDcmy = CustomSpring(200.0);
  support.SDcmz = CustomSpring(300.0);  // type 0: not written

  int first = NewElement();
  support.WriteData(first);
  CSupport copy;
  copy.ReadData(first);
  int second = NewElement();
  copy.WriteData(second);
  EXPECT_EQ(Fingerprint(first), Fingerprint(second));

  EXPECT_EQ(copy.node, 3);
  EXPECT_DOUBLE_EQ(copy.cx.GetValue(), -1.0);
  EXPECT_DOUBLE_EQ(copy.cy.GetValue(), 1234.5);
  EXPECT_EQ(copy.cz.m_strText, "2*1000");
  EXPECT_DOUBLE_EQ(copy.cz.GetValue(), 2000.0);
  EXPECT_DOUBLE_EQ(copy.cwoelb.GetValue(), 11.0);
  EXPECT_DOUBLE_EQ(copy.posX.GetValue(), 1.5);
  EXPECT_DOUBLE_EQ(copy.ez.GetValue(), -0.04);
  EXPECT_EQ(copy.cxTyp, 2);
  EXPECT_EQ(copy.czTyp, 1);
  EXPECT_EQ(copy.cmyTyp, 2);
  EXPECT_EQ(copy.SDcx, support.SDcx);
  EXPECT_EQ(copy.SDcmy, support.SDcmy);
  EXPECT_EQ(copy.SDcmz, CSpringData{});
}

TEST_F(SupportXml, NoNodeWritesNoPosition) {
  CSupport support;
  support.posX = 4.0;
  int element = NewElement();
  support.WriteData(element);
  for (const char* name : {"node", "posX", "length", "ey", "ez"}) EXPECT_FALSE(Has(element, name)) << name;
  CSupport copy;
  copy.node = 5;
  copy.posX = 2.0;
  copy.ReadData(element);
  EXPECT_EQ(copy.node, -1);
  EXPECT_DOUBLE_EQ(copy.posX.GetValue(), 0.0);
}

TEST_F(SupportXml, SpringRecordOnlyForTypeTwo) {
  CSupport support;
  support.cyTyp = 2;
  support.SDcy = CustomSpring(1.0);
  int element = NewElement();
  support.WriteData(element);
  EXPECT_NE(VIDUV_FindFirstChild(element, "SDcy"), 0);
  EXPECT_EQ(VIDUV_FindFirstChild(element, "SDcx"), 0);

  VIDUV_SetInt(element, "cyTyp", 0);  // the record stays in the file but its type no longer asks for it
  CSupport copy;
  copy.ReadData(element);
  EXPECT_EQ(copy.SDcy, CSpringData{});

  support.cyTyp = 0;
  support.WriteData(element);  // written again onto the same element: the stale record goes
  EXPECT_EQ(VIDUV_FindFirstChild(element, "SDcy"), 0);
}

TEST_F(SupportXml, DisabledSideIsNeitherWrittenNorRead) {
  CSpringData spring = CustomSpring(5.0);
  spring.bEnableOben = 0;
  int element = NewElement();
  spring.WriteData(element);
  EXPECT_FALSE(Has(element, "oemod"));
  EXPECT_FALSE(Has(element, "oProfile"));
  EXPECT_TRUE(Has(element, "uemod"));

  CSpringData previous = CustomSpring(77.0);
  previous.ReadData(element);
  EXPECT_EQ(previous.bEnableOben, 0);
  EXPECT_DOUBLE_EQ(previous.oben.emod, 77.0);  // kept
  EXPECT_EQ(previous.oben.Profile, "HEB 200");
  EXPECT_DOUBLE_EQ(previous.unten.emod, 6.0);  // read
  EXPECT_EQ(previous.bDrehfeder, 0);
}

TEST(SupportIdx, SpringDataOfTranslationsHasNoRotationFlags) {
  CSupport support;
  support.SetSpringDataByIdx(1, CustomSpring(1.0));
  support.SDcy.bDrehfeder = 1;
  CSpringData got = support.GetSpringDataByIdx(1);
  EXPECT_EQ(got.bDrehfeder, 0);
  EXPECT_EQ(got.bEnableOben, 0);
  EXPECT_EQ(got.oben.Profile, "HEB 200");
  EXPECT_EQ(support.SDcy.bDrehfeder, 1);  // the stored record is unchanged
  support.SDcmx.bDrehfeder = 1;
  EXPECT_EQ(support.GetSpringDataByIdx(3).bDrehfeder, 1);
  EXPECT_EQ(support.GetSpringDataByIdx(3).bEnableOben, 1);
}

TEST(SupportIdx, WarpingAlwaysHasTypeZero) {
  win::msgbox::ClearLog();
  CSupport support;
  support.SetValueByIdx(6, CFormulaNumber(3.5), 2);
  EXPECT_EQ(support.cwTyp, 0);
  CFormulaNumber value;
  int type = 7;
  support.cwTyp = 1;
  support.GetValueByIdx(6, value, type);
  EXPECT_EQ(type, 0);
  EXPECT_DOUBLE_EQ(value.GetValue(), 3.5);
  support.SetValueByIdx(4, CFormulaNumber(2.0), 1);
  EXPECT_EQ(support.cmyTyp, 1);
  EXPECT_DOUBLE_EQ(support.cmy.GetValue(), 2.0);
  EXPECT_TRUE(win::msgbox::Log().empty());
}

TEST(SupportIdx, WrongIndexGivesAMessageAndChangesNothing) {
  win::msgbox::ClearLog();
  CSupport support;
  CFormulaNumber value = 42.0;
  int type = 42;
  support.GetValueByIdx(7, value, type);
  EXPECT_DOUBLE_EQ(value.GetValue(), 42.0);
  EXPECT_EQ(type, 42);
  support.SetValueByIdx(-1, CFormulaNumber(1.0), 1);
  CSpringData beyond = support.GetSpringDataByIdx(7);
  EXPECT_EQ(beyond.bDrehfeder, 1);
  CSpringData negative = support.GetSpringDataByIdx(-2);
  EXPECT_EQ(negative.bDrehfeder, 0);
  EXPECT_EQ(negative.bEnableOben, 0);
  support.SetSpringDataByIdx(9, CustomSpring(1));
  std::vector<std::string> texts;
  for (const auto& r : win::msgbox::Log()) texts.push_back(r.text);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "CSupport::GetValueByIdx: Wrong idx!", "CSupport::SetValueByIdx: Wrong idx!",
                       "CSupport::GetSpringDataByIdx: Wrong idx!", "CSupport::GetSpringDataByIdx: Wrong idx!",
                       "CSupport::SetSpringDataByIdx: Wrong idx!"}));
}

// p = 50 %, F = 2 (x, z) or 5 (y), K = 3, D = 4:
//   x, z: 50*2*3*0.03 / ((1 - 0.5)*4*100000) = 9 / 200000 = 4.5e-5
//   y:    50*5*3*0.03 / 200000 = 22.5 / 200000 = 1.125e-4
TEST_F(SupportXml, DegreeOfRestraintBecomesAStiffness) {
  CSupport support;
  support.cmx = 50.0;
  support.cmy = 50.0;
  support.cmz = 50.0;
  support.cmxTyp = support.cmyTyp = support.cmzTyp = 1;
  support.factorXZ = 2.0;
  support.factorY = 5.0;
  support.commonFactor = 3.0;
  support.divisor = 4.0;
  int element = NewElement();
  support.WriteData(element);
  EXPECT_NEAR(support.cmx.GetValue(), 4.5e-5, 1e-18);
  EXPECT_NEAR(support.cmy.GetValue(), 1.125e-4, 1e-18);
  EXPECT_NEAR(support.cmz.GetValue(), 4.5e-5, 1e-18);
  EXPECT_EQ(support.cmyTyp, 0);
  EXPECT_NEAR(VIDUV_GetDouble(element, "cmy"), 1.125e-4, 1e-18);
  EXPECT_EQ(VIDUV_GetInt(element, "cmxTyp"), 0);
}

TEST_F(SupportXml, NoDivisorNoConversion) {
  CSupport support;
  support.cmx = 50.0;
  support.cmxTyp = 1;
  support.WriteData(NewElement());
  EXPECT_DOUBLE_EQ(support.cmx.GetValue(), 50.0);
  EXPECT_EQ(support.cmxTyp, 1);
}

TEST_F(SupportXml, FullRestraintIsRefusedNotDivided) {
  CSupport support;
  support.cmx = 100.0;
  support.cmy = 30.0;
  support.cmxTyp = support.cmyTyp = 1;
  support.factorXZ = support.factorY = support.commonFactor = 1.0;
  support.divisor = 1.0;
  int element = NewElement();
  support.WriteData(element);
  EXPECT_EQ(support.cmxTyp, 1);
  EXPECT_DOUBLE_EQ(support.cmx.GetValue(), 100.0);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(element, "cmx"), 100.0);
  EXPECT_EQ(support.cmyTyp, 0);  // 30*0.03/(0.7*100000)
  EXPECT_NEAR(support.cmy.GetValue(), 0.9 / 70000.0, 1e-15);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("cmx"), std::string::npos);
}

TEST(Support, AssignmentCopiesAllButTheAuxiliaries) {
  CSupport source;
  source.node = 2;
  source.presetIdx = 4;
  source.cmz = 3.0;
  source.cmzTyp = 2;
  source.SDcmz = CustomSpring(9.0);
  source.divisor = 5.0;
  CSupport target;
  target = source;
  EXPECT_EQ(target.node, 2);
  EXPECT_EQ(target.presetIdx, 4);
  EXPECT_DOUBLE_EQ(target.cmz.GetValue(), 3.0);
  EXPECT_EQ(target.cmzTyp, 2);
  EXPECT_EQ(target.SDcmz, source.SDcmz);
  EXPECT_DOUBLE_EQ(target.divisor, 0.0);
}

}  // namespace
