// Drawing primitives rendered into a memory device context and read back pixel by pixel.
#include <gtest/gtest.h>

#include "engine/utilities.h"
#include "engine/zeichnen.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;

class Zeichnen : public ::testing::Test {
protected:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(m_dc.CreateCompatibleDC(nullptr));
        ASSERT_TRUE(m_bitmap.CreateBitmap(60, 60, 1, 32, nullptr));
        m_oldBitmap = m_dc.SelectObject(&m_bitmap);
        m_dc.PatBlt(0, 0, 60, 60, WHITENESS);
    }
    void TearDown() override { m_dc.SelectObject(m_oldBitmap); }
    COLORREF Pixel(int x, int y) const { return m_dc.GetPixel(x, y) & 0xFFFFFF; }
};

}  // namespace

TEST_F(Zeichnen, LineHasItsColourAndRestoresThePen)
{
    HGDIOBJ pen = GetCurrentObject(m_dc, OBJ_PEN);
    ZeichneLinie(&m_dc, 5, 10, 30, 10, kRed, 0);
    EXPECT_EQ(Pixel(5, 10), kRed);
    EXPECT_EQ(Pixel(29, 10), kRed);
    EXPECT_EQ(Pixel(5, 12), kWhite);
    EXPECT_EQ(GetCurrentObject(m_dc, OBJ_PEN), pen);
}

TEST_F(Zeichnen, CircleAndPolygonAreFilled)
{
    ZeichneKreis(&m_dc, 20, 20, 6, kRed);
    EXPECT_EQ(Pixel(20, 20), kRed);
    EXPECT_EQ(Pixel(20, 30), kWhite);
    const POINT square[] = {{40, 40}, {55, 40}, {55, 55}, {40, 55}};
    ZeichnePolygon(&m_dc, square, 4, 0x00FF00);
    EXPECT_EQ(Pixel(47, 47), 0x00FF00u);
}

TEST_F(Zeichnen, PolylineClosesOnlyWithNegativeCount)
{
    const POINT points[] = {{5, 50}, {25, 50}, {25, 30}};
    ZeichnePolylinie(&m_dc, points, 3, kRed, 0);
    EXPECT_EQ(Pixel(15, 50), kRed);
    EXPECT_EQ(Pixel(15, 40), kWhite);  // the closing diagonal is missing
    ZeichnePolylinie(&m_dc, points, -3, kRed, 0);
    EXPECT_EQ(Pixel(15, 40), kRed);
}

TEST_F(Zeichnen, EndMarksCanBeSwitchedOff)
{
    g_keineEndpunkte = 1;
    ZeichneEndpunkte(&m_dc, 10, 10, 20, 10);
    EXPECT_EQ(Pixel(10, 10), kWhite);
    g_keineEndpunkte = 0;
    ZeichneEndpunkte(&m_dc, 10, 10, 20, 10);
    EXPECT_NE(Pixel(10, 10), kWhite);
    EXPECT_NE(Pixel(19, 10), kWhite);
    EXPECT_EQ(Pixel(15, 10), kWhite);
}

TEST_F(Zeichnen, TextStandsAboveItsPointAndRestoresAlignment)
{
    m_dc.SetTextAlign(TA_LEFT);
    ZeichneText(&m_dc, 5, 40, "ENDE", 16, 0.0f, TA_LEFT, kRed);
    int inked = 0;
    for (int y = 20; y < 40; ++y)
        for (int x = 5; x < 50; ++x)
            inked += Pixel(x, y) != kWhite;
    EXPECT_GT(inked, 10);
    for (int x = 0; x < 60; ++x)
        EXPECT_EQ(Pixel(x, 45), kWhite);  // nothing below the bottom line
    EXPECT_EQ(m_dc.GetTextAlign(), static_cast<UINT>(TA_LEFT));
}
