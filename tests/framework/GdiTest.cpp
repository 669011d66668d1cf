// GDI wrappers drawn into memory DCs: fills, gradients, shapes, object selection, regions,
// clipping, viewport origin and the off-screen buffer.
#include "Dc.h"
#include "Gdi.h"
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 128, 0);

// A memory DC with a white 32-bit canvas selected.
class Canvas {
public:
    Canvas(int width, int height)
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateDIBSection32(width, height);
        m_old = m_dc.SelectObject(&m_bitmap)->GetSafeHandle();
        m_dc.FillSolidRect(0, 0, width, height, kWhite);
    }
    ~Canvas() { m_dc.SelectObject(m_old); }
    CDC& dc() { return m_dc; }
    COLORREF At(int x, int y) { return m_dc.GetPixel(x, y); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
};

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

} // namespace

TEST(GdiFillTest, FillSolidRectFillsExactlyTheRectangleAndKeepsTheBackgroundColour)
{
    Canvas canvas(20, 20);
    canvas.dc().SetBkColor(kGreen);
    canvas.dc().FillSolidRect(CRect(5, 5, 10, 8), kRed);

    EXPECT_EQ(kRed, canvas.At(5, 5));
    EXPECT_EQ(kRed, canvas.At(9, 7));
    EXPECT_EQ(kWhite, canvas.At(10, 7));
    EXPECT_EQ(kWhite, canvas.At(9, 8));
    EXPECT_EQ(kWhite, canvas.At(4, 5));
    EXPECT_EQ(kGreen, canvas.dc().GetBkColor());
}

TEST(GdiFillTest, Draw3dRectPaintsTopLeftAndBottomRightEdgesInsideTheRectangle)
{
    Canvas canvas(20, 20);
    canvas.dc().Draw3dRect(CRect(2, 2, 12, 10), kRed, kBlue);

    struct Row { int x, y; COLORREF expected; const char* where; };
    const Row rows[] = {
        {2, 2, kRed, "top-left corner"},   {6, 2, kRed, "top edge"},
        {2, 6, kRed, "left edge"},         {11, 2, kBlue, "top-right corner"},
        {11, 6, kBlue, "right edge"},      {6, 9, kBlue, "bottom edge"},
        {2, 9, kBlue, "bottom-left corner"}, {6, 6, kWhite, "inside"},
        {12, 6, kWhite, "right of it"},    {6, 10, kWhite, "below it"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, canvas.At(row.x, row.y)) << row.where << " at " << row.x << "," << row.y;
}

TEST(GdiFillTest, VerticalGradientRunsFromTheFirstColourAtTheTopToTheSecondAtTheBottom)
{
    Canvas canvas(10, 101);
    ASSERT_TRUE(canvas.dc().FillGradientRect(CRect(0, 0, 10, 101), RGB(0, 0, 0), RGB(200, 100, 0), true));

    EXPECT_TRUE(Near(RGB(0, 0, 0), canvas.At(5, 0), 4)) << std::hex << canvas.At(5, 0);
    EXPECT_TRUE(Near(RGB(200, 100, 0), canvas.At(5, 100), 4)) << std::hex << canvas.At(5, 100);
    EXPECT_TRUE(Near(RGB(100, 50, 0), canvas.At(5, 50), 6)) << std::hex << canvas.At(5, 50);
    // Each row is one colour.
    EXPECT_EQ(canvas.At(0, 50), canvas.At(9, 50));
}

TEST(GdiFillTest, HorizontalGradientRunsFromLeftToRight)
{
    Canvas canvas(101, 10);
    ASSERT_TRUE(canvas.dc().FillGradientRect(CRect(0, 0, 101, 10), kBlue, kRed, false));

    EXPECT_TRUE(Near(kBlue, canvas.At(0, 5), 4)) << std::hex << canvas.At(0, 5);
    EXPECT_TRUE(Near(kRed, canvas.At(100, 5), 4)) << std::hex << canvas.At(100, 5);
    EXPECT_EQ(canvas.At(50, 0), canvas.At(50, 9));
}

TEST(GdiShapeTest, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    Canvas canvas(20, 20);
    CPen pen(PS_SOLID, 1, kRed);
    CBrush brush(kBlue);
    CPen* oldPen = canvas.dc().SelectObject(&pen);
    CBrush* oldBrush = canvas.dc().SelectObject(&brush);
    canvas.dc().Rectangle(2, 2, 10, 10);
    canvas.dc().SelectObject(oldPen);
    canvas.dc().SelectObject(oldBrush);

    EXPECT_EQ(kRed, canvas.At(2, 2));
    EXPECT_EQ(kRed, canvas.At(9, 5));
    EXPECT_EQ(kBlue, canvas.At(5, 5));
    EXPECT_EQ(kWhite, canvas.At(10, 5));
}

TEST(GdiShapeTest, LineToDrawsFromTheCurrentPositionAndMoveToReturnsThePreviousOne)
{
    Canvas canvas(20, 20);
    CPen pen(PS_SOLID, 1, kGreen);
    CPen* old = canvas.dc().SelectObject(&pen);
    canvas.dc().MoveTo(1, 4);
    canvas.dc().LineTo(15, 4);
    CPoint previous = canvas.dc().MoveTo(0, 0);
    canvas.dc().SelectObject(old);

    EXPECT_EQ(CPoint(15, 4), previous);
    EXPECT_EQ(kGreen, canvas.At(1, 4));
    EXPECT_EQ(kGreen, canvas.At(14, 4));
    EXPECT_EQ(kWhite, canvas.At(15, 4)); // the end point is not drawn
    EXPECT_EQ(kWhite, canvas.At(5, 5));
}

TEST(GdiSelectTest, SelectObjectReturnsThePreviousObjectAndSelectingItBackRestoresIt)
{
    Canvas canvas(4, 4);
    HGDIOBJ originalPen = ::GetCurrentObject(canvas.dc(), OBJ_PEN);
    HGDIOBJ originalFont = ::GetCurrentObject(canvas.dc(), OBJ_FONT);
    CPen pen(PS_SOLID, 3, kRed);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, L"Tahoma"));

    CPen* oldPen = canvas.dc().SelectObject(&pen);
    CFont* oldFont = canvas.dc().SelectObject(&font);
    ASSERT_NE(nullptr, oldPen);
    ASSERT_NE(nullptr, oldFont);
    EXPECT_EQ(originalPen, oldPen->GetSafeHandle());
    EXPECT_EQ(originalFont, oldFont->GetSafeHandle());
    EXPECT_EQ(pen.GetSafeHandle(), canvas.dc().GetCurrentPen()->GetSafeHandle());

    CPen* mine = canvas.dc().SelectObject(oldPen);
    CFont* myFont = canvas.dc().SelectObject(oldFont);
    EXPECT_EQ(pen.GetSafeHandle(), mine->GetSafeHandle());
    EXPECT_EQ(font.GetSafeHandle(), myFont->GetSafeHandle());
    EXPECT_EQ(originalPen, ::GetCurrentObject(canvas.dc(), OBJ_PEN));
    EXPECT_EQ(originalFont, ::GetCurrentObject(canvas.dc(), OBJ_FONT));
}

TEST(GdiSelectTest, SelectingANullWrapperChangesNothing)
{
    Canvas canvas(4, 4);
    HGDIOBJ originalBrush = ::GetCurrentObject(canvas.dc(), OBJ_BRUSH);
    CBrush* none = nullptr;
    EXPECT_EQ(nullptr, canvas.dc().SelectObject(none));
    EXPECT_EQ(originalBrush, ::GetCurrentObject(canvas.dc(), OBJ_BRUSH));
}

TEST(GdiSelectTest, SelectStockObjectReturnsTheReplacedObject)
{
    Canvas canvas(4, 4);
    CBrush brush(kRed);
    canvas.dc().SelectObject(&brush);
    CGdiObject* previous = canvas.dc().SelectStockObject(NULL_BRUSH);
    ASSERT_NE(nullptr, previous);
    EXPECT_EQ(brush.GetSafeHandle(), previous->GetSafeHandle());
    EXPECT_EQ(::GetStockObject(NULL_BRUSH), ::GetCurrentObject(canvas.dc(), OBJ_BRUSH));
}

TEST(GdiSelectTest, SaveDcAndRestoreDcBringBackColoursAndObjects)
{
    Canvas canvas(4, 4);
    canvas.dc().SetTextColor(kRed);
    HGDIOBJ originalPen = ::GetCurrentObject(canvas.dc(), OBJ_PEN);
    int saved = canvas.dc().SaveDC();
    CPen pen(PS_SOLID, 1, kBlue);
    canvas.dc().SelectObject(&pen);
    canvas.dc().SetTextColor(kBlue);
    ASSERT_TRUE(canvas.dc().RestoreDC(saved));

    EXPECT_EQ(kRed, canvas.dc().GetTextColor());
    EXPECT_EQ(originalPen, ::GetCurrentObject(canvas.dc(), OBJ_PEN));
}

TEST(GdiObjectTest, FromHandleGivesOneTemporaryPerHandleThatNeverDeletesIt)
{
    HBRUSH handle = ::CreateSolidBrush(kRed);
    CBrush* first = CBrush::FromHandle(handle);
    CBrush* second = CBrush::FromHandle(handle);
    EXPECT_EQ(first, second);
    EXPECT_EQ(handle, first->GetSafeHandle());
    EXPECT_EQ(nullptr, CBrush::FromHandle(nullptr));

    CGdiObject::DeleteTempMap();
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), ::GetObjectType(handle)) << "a temporary deleted the brush";
    ::DeleteObject(handle);
}

TEST(GdiObjectTest, DestructorDeletesTheObjectUnlessDetached)
{
    HGDIOBJ deleted;
    HGDIOBJ detached;
    {
        CPen pen(PS_SOLID, 1, kRed);
        deleted = pen.GetSafeHandle();
        CPen kept(PS_SOLID, 1, kBlue);
        detached = kept.Detach();
    }
    EXPECT_EQ(0u, ::GetObjectType(deleted));
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), ::GetObjectType(detached));
    ::DeleteObject(detached);
}

TEST(GdiObjectTest, AttachRefusesASecondObject)
{
    CBrush brush(kRed);
    HBRUSH other = ::CreateSolidBrush(kBlue);
    EXPECT_FALSE(brush.Attach(other));
    EXPECT_FALSE(brush.CreateSolidBrush(kGreen));
    EXPECT_NE(static_cast<HGDIOBJ>(other), brush.GetSafeHandle());
    ::DeleteObject(other);
}

TEST(GdiObjectTest, SystemColourBrushesAreNeverDeleted)
{
    HBRUSH system = ::GetSysColorBrush(COLOR_WINDOW);
    {
        CBrush brush;
        ASSERT_TRUE(brush.CreateSysColorBrush(COLOR_WINDOW));
        EXPECT_EQ(static_cast<HGDIOBJ>(system), brush.GetSafeHandle());
    }
    LOGBRUSH logBrush = {};
    ASSERT_NE(0, ::GetObjectW(system, sizeof(logBrush), &logBrush));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), logBrush.lbColor);
}

TEST(GdiObjectTest, CompatibleBitmapOfAFreshMemoryDcHasColour)
{
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&memory, 8, 8));
    BITMAP info = {};
    ASSERT_NE(0, bitmap.GetBitmap(&info));
    EXPECT_EQ(8, info.bmWidth);
    EXPECT_GT(info.bmBitsPixel, 1);
}

TEST(GdiObjectTest, PointFontHeightFollowsTheDeviceResolution)
{
    CClientDC screen(static_cast<HWND>(nullptr));
    const int dpi = screen.GetDeviceCaps(LOGPIXELSY);
    struct Row { int tenths; } rows[] = {{90}, {120}, {240}};
    for (const Row& row : rows) {
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(row.tenths, L"Tahoma"));
        LOGFONTW logFont = {};
        font.GetLogFont(&logFont);
        // Negative: the character height, not the cell height.
        EXPECT_EQ(-(dpi * row.tenths + 360) / 720, logFont.lfHeight) << row.tenths << " tenths at " << dpi << " dpi";
        EXPECT_STREQ(L"Tahoma", logFont.lfFaceName);
    }
}

TEST(GdiRegionTest, CombineRgnCreatesTheTargetAndCutsCornersWithDiff)
{
    CRgn whole;
    CRgn corner;
    ASSERT_TRUE(whole.CreateRectRgn(0, 0, 40, 30));
    ASSERT_TRUE(corner.CreateRectRgn(0, 0, 5, 5));
    CRgn result;
    EXPECT_EQ(COMPLEXREGION, result.CombineRgn(&whole, &corner, RGN_DIFF));

    EXPECT_FALSE(result.PtInRegion(0, 0));
    EXPECT_FALSE(result.PtInRegion(4, 4));
    EXPECT_TRUE(result.PtInRegion(5, 0));
    EXPECT_TRUE(result.PtInRegion(CPoint(39, 29)));
    EXPECT_FALSE(result.PtInRegion(40, 29));
    CRect box;
    EXPECT_EQ(COMPLEXREGION, result.GetRgnBox(&box));
    EXPECT_EQ(CRect(0, 0, 40, 30), box);
}

TEST(GdiRegionTest, CombineModesGiveTheExpectedMembership)
{
    struct Row { int mode; const char* name; bool inA, inB, inBoth; } rows[] = {
        {RGN_AND, "and", false, false, true},
        {RGN_OR, "or", true, true, true},
        {RGN_XOR, "xor", true, true, false},
        {RGN_DIFF, "diff", true, false, false},
    };
    for (const Row& row : rows) {
        CRgn a, b, result;
        a.CreateRectRgn(0, 0, 10, 10);
        b.CreateRectRgn(5, 0, 15, 10);
        ASSERT_NE(ERROR, result.CombineRgn(&a, &b, row.mode)) << row.name;
        EXPECT_EQ(row.inA, result.PtInRegion(2, 2) != FALSE) << row.name << ": point only in a";
        EXPECT_EQ(row.inB, result.PtInRegion(12, 2) != FALSE) << row.name << ": point only in b";
        EXPECT_EQ(row.inBoth, result.PtInRegion(7, 2) != FALSE) << row.name << ": point in both";
    }
}

TEST(GdiRegionTest, CombineRgnWithAMissingSourceFails)
{
    CRgn a, empty, result;
    a.CreateRectRgn(0, 0, 10, 10);
    EXPECT_EQ(ERROR, result.CombineRgn(&a, &empty, RGN_OR));
    EXPECT_EQ(ERROR, result.CombineRgn(nullptr, &a, RGN_OR));
}

TEST(GdiRegionTest, CopyOffsetAndSetRectRgnWorkOnIndependentRegions)
{
    CRgn source;
    source.CreateEllipticRgn(0, 0, 20, 20);
    CRgn copy;
    ASSERT_NE(ERROR, copy.CopyRgn(&source));
    copy.OffsetRgn(100, 0);

    EXPECT_TRUE(source.PtInRegion(10, 10));
    EXPECT_FALSE(copy.PtInRegion(10, 10));
    EXPECT_TRUE(copy.PtInRegion(110, 10));
    EXPECT_FALSE(copy.PtInRegion(100, 0)) << "the ellipse's corner is outside";

    CRgn rect;
    ASSERT_TRUE(rect.SetRectRgn(1, 1, 3, 3));
    ASSERT_TRUE(rect.SetRectRgn(CRect(10, 10, 12, 12)));
    EXPECT_TRUE(rect.PtInRegion(11, 11));
    EXPECT_FALSE(rect.PtInRegion(2, 2));
}

TEST(GdiRegionTest, RoundRectAndPolygonRegionsLeaveCornersOut)
{
    CRgn round;
    ASSERT_TRUE(round.CreateRoundRectRgn(0, 0, 30, 30, 11, 11));
    EXPECT_FALSE(round.PtInRegion(0, 0));
    EXPECT_TRUE(round.PtInRegion(15, 0));
    EXPECT_TRUE(round.PtInRegion(15, 15));

    const POINT triangle[] = {{0, 0}, {20, 0}, {0, 20}};
    CRgn polygon;
    ASSERT_TRUE(polygon.CreatePolygonRgn(triangle, 3, ALTERNATE));
    EXPECT_TRUE(polygon.PtInRegion(2, 2));
    EXPECT_FALSE(polygon.PtInRegion(18, 18));
}

TEST(GdiClipTest, ClippingLimitsFillsUntilItIsReset)
{
    Canvas canvas(20, 20);
    canvas.dc().IntersectClipRect(5, 5, 10, 10);
    canvas.dc().FillSolidRect(0, 0, 20, 20, kRed);
    CRect box;
    canvas.dc().GetClipBox(&box);

    EXPECT_EQ(CRect(5, 5, 10, 10), box);
    EXPECT_EQ(kRed, canvas.At(5, 5));
    EXPECT_EQ(kWhite, canvas.At(4, 5));
    EXPECT_EQ(kWhite, canvas.At(10, 9));

    canvas.dc().SelectClipRgn(nullptr);
    canvas.dc().FillSolidRect(0, 0, 20, 20, kBlue);
    EXPECT_EQ(kBlue, canvas.At(0, 0));
}

TEST(GdiClipTest, ExcludeClipRectAndRegionClipCombine)
{
    Canvas canvas(20, 20);
    CRgn region;
    region.CreateRectRgn(0, 0, 10, 20);
    canvas.dc().SelectClipRgn(&region);
    canvas.dc().ExcludeClipRect(0, 0, 10, 5);
    canvas.dc().FillSolidRect(0, 0, 20, 20, kRed);

    EXPECT_EQ(kWhite, canvas.At(2, 2)) << "excluded";
    EXPECT_EQ(kRed, canvas.At(2, 8));
    EXPECT_EQ(kWhite, canvas.At(15, 8)) << "outside the region";
}

TEST(GdiCoordinateTest, ViewportOriginMovesLogicalDrawing)
{
    Canvas canvas(20, 20);
    EXPECT_EQ(CPoint(0, 0), canvas.dc().SetViewportOrg(5, 6));
    EXPECT_EQ(CPoint(5, 6), canvas.dc().OffsetViewportOrg(1, 1));
    EXPECT_EQ(CPoint(6, 7), canvas.dc().GetViewportOrg());
    canvas.dc().SetPixel(0, 0, kRed);
    canvas.dc().SetViewportOrg(0, 0);

    EXPECT_EQ(kRed, canvas.At(6, 7));
    EXPECT_EQ(kWhite, canvas.At(0, 0));
}

TEST(GdiBlitTest, BitBltAndTransparentBltCopyPixels)
{
    Canvas source(10, 10);
    source.dc().FillSolidRect(0, 0, 10, 10, kGreen);
    source.dc().FillSolidRect(0, 0, 5, 10, kRed);
    Canvas target(10, 10);
    target.dc().FillSolidRect(0, 0, 10, 10, kBlue);

    ASSERT_TRUE(target.dc().TransparentBlt(0, 0, 10, 10, &source.dc(), 0, 0, 10, 10, kRed));
    EXPECT_EQ(kBlue, target.At(2, 2)) << "the transparent colour lets the target show";
    EXPECT_EQ(kGreen, target.At(7, 2));

    ASSERT_TRUE(target.dc().BitBlt(0, 0, 10, 10, &source.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(kRed, target.At(2, 2));
}

TEST(GdiBufferTest, BufferReachesTheTargetOnlyWhenFlushedOrDestroyed)
{
    Canvas target(30, 30);
    {
        CBufferDC buffer(&target.dc(), CRect(10, 10, 20, 20));
        ASSERT_TRUE(buffer.IsBuffered());
        // Target coordinates: (10, 10) is the buffer's first pixel.
        buffer.FillSolidRect(10, 10, 10, 10, kRed);
        buffer.SetPixel(19, 19, kBlue);
        EXPECT_EQ(kWhite, target.At(10, 10)) << "drawn before the flush";
        buffer.Flush();
        EXPECT_EQ(kRed, target.At(10, 10));
        buffer.SetPixel(10, 10, kGreen);
    }
    EXPECT_EQ(kGreen, target.At(10, 10));
    EXPECT_EQ(kBlue, target.At(19, 19));
    EXPECT_EQ(kWhite, target.At(20, 20));
    EXPECT_EQ(kWhite, target.At(9, 9));
}

TEST(GdiBufferTest, AnEmptyRectangleDrawsStraightToTheTarget)
{
    Canvas target(10, 10);
    {
        CBufferDC buffer(&target.dc(), CRect(0, 0, 0, 0));
        EXPECT_FALSE(buffer.IsBuffered());
        buffer.SetPixel(1, 1, kRed);
    }
    EXPECT_EQ(kRed, target.At(1, 1));
    EXPECT_NE(nullptr, target.dc().GetSafeHdc());
}

TEST(GdiTextTest, TextExtentGrowsWithTheTextAndDrawTextPaintsInsideItsRectangle)
{
    Canvas canvas(200, 40);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, L"Tahoma"));
    CFont* old = canvas.dc().SelectObject(&font);
    CSize one = canvas.dc().GetTextExtent(L"W", 1);
    CSize three = canvas.dc().GetTextExtent(CString(L"WWW"));
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(3 * one.cx, three.cx);
    EXPECT_EQ(one.cy, three.cy);
    EXPECT_EQ(three.cx, canvas.dc().GetTextExtent(L"WWW", -1).cx);

    canvas.dc().SetTextColor(kRed);
    canvas.dc().SetBkMode(TRANSPARENT);
    CRect rect(100, 0, 200, 40);
    canvas.dc().DrawText(CString(L"WWW"), rect, DT_SINGLELINE | DT_LEFT | DT_TOP);
    canvas.dc().SelectObject(old);

    int inked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (canvas.At(x, y) != kWhite) {
                ++inked;
                EXPECT_GE(x, 100);
            }
    EXPECT_GT(inked, 0);
}
