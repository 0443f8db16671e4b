// The wrappers: created by class id or by run-time class name, each call reaching the control with its types.
#include <gtest/gtest.h>

#include "framework_ui/plotwerk.h"
#include "platform/plotwerk/controls.h"
#include "platform/richedit/richtext.h"
#include "platform/win/dialogs/wintest.h"

namespace pw = plotwerk;

class PlotwerkWrapperTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 640, 480), nullptr, 0);
  }
  void TearDown() override {
    parent_.DestroyWindow();
    WindowTest::TearDown();
  }
  CWnd parent_;
};

TEST_F(PlotwerkWrapperTest, TwoDCallsBuildTheDisplayList) {
  CPlotwerk2D plot;
  ASSERT_TRUE(plot.Create("", WS_VISIBLE, CRect(0, 0, 300, 200), &parent_, 11010));
  auto& scene = pw::Control2D::FromHandle(plot.m_hWnd)->Scene();
  plot.Clear();
  plot.Invoke39(0, 0, -1, 0, 0, -1);
  plot.Invoke54(1, 1, "Y", 0, "Z");
  plot.SetObjectId(5, 3);
  plot.SetStyle(0, 0, 3, 0);
  plot.Invoke45(0.15, 3.2, -0.1, 0, -1, 0, 0, 1);
  plot.SetObjectId(0, 0);
  plot.Invoke55();
  plot.Invoke12(0, 0, 0, 3.2, 0.45, 0, 15, 0.05, "", 2, 0, 0);
  plot.AddPointLoad(-0.2f, 1.0f, 0.1f, 0.0f, 0.6f, "12.00");
  plot.AddTriangle(1, 1, 2, 1, 2, 1);
  plot.Invoke08(0.5, 2.0, 180.0, 15, "A");
  plot.Invoke30("My\nMax=3.5", 9, 15);
  plot.Invoke17(1);
  plot.Refresh();
  EXPECT_EQ(plot.GetLastDispatchResult(), pw::S_DISP_OK);

  ASSERT_EQ(scene.Items().size(), 5u);
  EXPECT_EQ(scene.ItemCount(pw::Kind2D::Node), 1);
  const auto& node = scene.Items()[0];
  EXPECT_EQ(node.id, 5);
  EXPECT_EQ(node.v, (std::vector<double>{0.15, 3.2, -0.1, 0, -1, 0, 0}));
  const auto& dim = scene.Items()[1];
  EXPECT_EQ(dim.kind, pw::Kind2D::Dimension);
  EXPECT_DOUBLE_EQ(dim.v[4], 0.45);
  EXPECT_DOUBLE_EQ(dim.v[6], 15);
  EXPECT_EQ(dim.id, 0);
  EXPECT_EQ(scene.Items()[2].text, "12.00");
  EXPECT_FLOAT_EQ(float(scene.Items()[2].v[4]), 0.6f);
  EXPECT_EQ(scene.Items()[4].kind, pw::Kind2D::TextPt);
  EXPECT_EQ(scene.header, "My\nMax=3.5");
  EXPECT_EQ(scene.axisX, "Y");
  EXPECT_EQ(scene.axisY, "Z");
  EXPECT_TRUE(scene.showAxes);
  EXPECT_TRUE(scene.showHeader);
  plot.Invoke17(0);
  EXPECT_FALSE(scene.showHeader) << "the cross-section view ends with the header switched off";
  EXPECT_EQ(scene.Items().size(), 5u) << "the switch hides no item";
}

TEST_F(PlotwerkWrapperTest, SetExtentPlacesTheControl) {
  CPlotwerk3D view;
  ASSERT_TRUE(view.Create("", WS_VISIBLE, CRect(0, 0, 10, 10), &parent_, 11011));
  view.SetExtent(20, 30, 200, 150);
  CRect r;
  view.GetWindowRect(&r);
  parent_.ScreenToClient(&r);
  EXPECT_EQ(r, CRect(20, 30, 220, 180));
}

TEST_F(PlotwerkWrapperTest, ThreeDCallsPassTheirArrays) {
  CPlotwerk3D view;
  ASSERT_TRUE(view.Create("", WS_VISIBLE, CRect(0, 0, 300, 500), &parent_, 11011));
  auto& scene = pw::Control3D::FromHandle(view.m_hWnd)->Scene();
  view.SetBackColor(0xFFFFFF);
  view.SetStyle(0x808080, 1, "Arial", 15, 0.1f);
  view.SetTitle(2, "Stahlbetonstütze H = 3.50 m");
  const float p[3] = {0.1f, -0.2f, 1.5f}, dir[3] = {1, 0, 0}, sizes[3] = {0, 0.3f, 0};
  view.AddPointLoad(p, dir, 0.07f, 0.5f, "12.0");
  view.Invoke21(p, sizes, 0.07f, "", "3.0", "");
  const float a[3] = {0, 0, 0}, b[3] = {0, 0, 3.5f}, c[3] = {0.6f, 0, 1.75f}, n[3] = {0, 0, 1};
  view.AddQuad(a, b, c, n, "");
  const float springs[3] = {-1, 500, -1}, rot[3] = {0, 0, 0};
  view.AddSupport(b, springs, rot, 0.8f, 1);
  EXPECT_EQ(view.GetLastDispatchResult(), pw::S_DISP_OK);

  EXPECT_EQ(scene.background, COLORREF(0xFFFFFF));
  EXPECT_EQ(scene.title, "Stahlbetonstütze H = 3.50 m");
  EXPECT_FLOAT_EQ(float(scene.titleHeight), 0.1f);
  EXPECT_EQ(scene.titlePosition, 2);
  ASSERT_EQ(scene.Items().size(), 4u);
  const auto& load = scene.Items()[0];
  EXPECT_EQ(load.kind, pw::Kind3D::PointLoad);
  EXPECT_FLOAT_EQ(float(load.p[0][1]), -0.2f);
  EXPECT_FLOAT_EQ(float(load.v[1]), 0.5f);
  EXPECT_EQ(scene.Items()[1].texts[1], "3.0");
  EXPECT_FLOAT_EQ(float(scene.Items()[1].p[1][1]), 0.3f);
  EXPECT_FLOAT_EQ(float(scene.Items()[2].p[2][0]), 0.6f);
  EXPECT_FLOAT_EQ(float(scene.Items()[3].p[1][1]), 500.0f);
}

TEST_F(PlotwerkWrapperTest, WrappersAreMadeByRunTimeClassName) {
  for (const char* name : {"CPlotwerk2D", "CPlotwerk3D", "CRichText"}) {
    std::unique_ptr<CObject> object(CRuntimeClass::CreateObject(name));
    ASSERT_NE(object, nullptr) << name;
    EXPECT_STREQ(object->GetRuntimeClass()->m_lpszClassName, name);
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CWnd)));
  }
}

TEST_F(PlotwerkWrapperTest, AWrapperOverAnotherWindowReportsTheMissingControl) {
  HWND other = ::CreateWindowEx(0, "Static", "", WS_CHILD, 0, 0, 10, 10, parent_.m_hWnd, nullptr, nullptr, nullptr);
  CPlotwerk2D plot;
  ASSERT_TRUE(plot.Attach(other));
  plot.AddLine(0, 0, 1, 1);
  EXPECT_EQ(plot.GetLastDispatchResult(), pw::DISP_E_NOCONTROL);
  plot.Detach();
}

TEST_F(PlotwerkWrapperTest, RichTextBoxHasItsOwnWindow) {
  CRichText box;
  EXPECT_EQ(box.GetHwnd(), 0);
  ASSERT_TRUE(box.Create("", WS_VISIBLE, CRect(0, 0, 100, 50), &parent_, 10002));
  EXPECT_EQ(box.GetHwnd(), long(reinterpret_cast<std::intptr_t>(box.m_hWnd)));
  EXPECT_EQ(box.GetDlgCtrlID(), 10002);
  box.SetText("Moment bitte...");
  EXPECT_EQ(box.GetText(), "Moment bitte...");
  box.ShowWindow(SW_HIDE);
  EXPECT_FALSE(box.IsWindowVisible());
}
