// The owner-painted progress bar (range, clamps, wrap, marquee per bar, painting) and the
// search box (layout, Enter and the search button) on the sample skinned dialog.
#include "Framework.h"
#include "Library.h"
#include "PixelCapture.h"
#include "SkinTestDialog.h"
#include "SkinTestRes.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(ProgressPositions, SetPosClampsToTheRangeAndMarqueeRunsPastTheEndByItsBlock)
{
    const struct { int pos, lower, upper; bool marquee; int block, expected; } rows[] = {
        { 50, 0, 100, false, 10, 50 }, { 150, 0, 100, false, 10, 100 }, { -5, 0, 100, false, 10, 0 },
        { 150, 0, 100, true, 10, 110 }, { 105, 0, 100, true, 10, 105 }, { 150, 0, 200, true, 25, 150 },
        { 300, 0, 200, true, 25, 250 }, { 3, 10, 20, true, 10, 10 },
    };
    for (const auto& row : rows)
        EXPECT_EQ(CToviProgressCtrl::ClampPosition(row.pos, row.lower, row.upper, row.marquee, row.block), row.expected)
            << "pos " << row.pos << " in [" << row.lower << ", " << row.upper << "] marquee " << row.marquee;
}

TEST(ProgressPositions, StepItWrapsPastEitherEndByTheOvershoot)
{
    const struct { int pos, step, lower, upper, expected; } rows[] = {
        { 10, 10, 0, 100, 20 }, { 90, 10, 0, 100, 100 }, { 95, 10, 0, 100, 5 }, { 90, 30, 0, 100, 20 },
        { 5, -10, 0, 100, 95 }, { 12, -5, 10, 50, 47 },
    };
    for (const auto& row : rows)
        EXPECT_EQ(CToviProgressCtrl::StepPosition(row.pos, row.step, row.lower, row.upper), row.expected)
            << "pos " << row.pos << " step " << row.step << " in [" << row.lower << ", " << row.upper << "]";
}

TEST(ProgressPositions, BarGrowsFromTheStartAndTheMarqueeBlockIsCutAtTheEnd)
{
    const CRect track(1, 1, 201, 11);
    EXPECT_EQ(CToviProgressCtrl::BarRect(track, 50, 0, 100, false, false, 10), CRect(1, 1, 101, 11));
    EXPECT_EQ(CToviProgressCtrl::BarRect(track, 25, 0, 100, true, false, 10), CRect(1, 9, 201, 11));
    EXPECT_EQ(CToviProgressCtrl::BarRect(track, 50, 0, 100, false, true, 10), CRect(101, 1, 121, 11));
    EXPECT_EQ(CToviProgressCtrl::BarRect(track, 95, 0, 100, false, true, 10), CRect(191, 1, 201, 11));
    EXPECT_TRUE(CToviProgressCtrl::BarRect(track, 5, 5, 5, false, false, 10).IsRectEmpty());
}

class SkinControls : public SkinSampleTest {
protected:
    void SetUp() override
    {
        SkinSampleTest::SetUp();
        if (HasFatalFailure())
            return;
        bar = dlg->m_progress.m_hWnd;
        bar2 = dlg->m_progress2.m_hWnd;
        search = dlg->m_search.m_hWnd;
    }
    LRESULT Send(HWND hwnd, UINT msg, WPARAM w = 0, LPARAM l = 0)
    {
        return ::SendMessageW(hwnd, msg, w, l);
    }

    HWND bar = nullptr;
    HWND bar2 = nullptr;
    HWND search = nullptr;
};

TEST_F(SkinControls, ProgressBarAnswersTheRangeAndPositionMessagesItself)
{
    EXPECT_EQ(Send(bar, PBM_SETRANGE32, 0, 200), (LRESULT)((100 << 16) | 0));
    EXPECT_EQ(Send(bar, PBM_SETRANGE, 0, MAKELPARAM(10, 50)), (LRESULT)((200 << 16) | 0));
    PBRANGE range = {};
    EXPECT_EQ(Send(bar, PBM_GETRANGE, TRUE, (LPARAM)&range), 10);
    EXPECT_EQ(Send(bar, PBM_GETRANGE, FALSE, 0), 50);
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 50);

    Send(bar, PBM_SETPOS, 20);
    EXPECT_EQ(Send(bar, PBM_SETPOS, 80), 20);   // the previous position
    EXPECT_EQ(Send(bar, PBM_GETPOS), 50);
    Send(bar, PBM_SETPOS, (WPARAM)-3);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 10);
    Send(bar, PBM_DELTAPOS, 15);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 25);

    EXPECT_EQ(Send(bar, PBM_SETSTEP, 20), 0);
    EXPECT_EQ(Send(bar, PBM_SETSTEP, 20), 20);
    Send(bar, PBM_STEPIT);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 45);
    Send(bar, PBM_STEPIT);   // 65 is 15 past the end
    EXPECT_EQ(Send(bar, PBM_GETPOS), 25);
}

TEST_F(SkinControls, ProgressBarWithAnEmptyRangePaintsNothing)
{
    Send(bar, PBM_SETRANGE32, 5, 5);
    CRect rc;
    ::GetClientRect(bar, &rc);
    const COLORREF magenta = RGB(255, 0, 255);
    uitest::Pixels pixels;
    ui.Run([&] {
        pixels = uitest::RenderPainter(rc.Width(), rc.Height(), [&](HDC hdc) {
            ::SendMessageW(bar, WM_PRINTCLIENT, (WPARAM)hdc, PRF_CLIENT);
        }, magenta);
    });
    EXPECT_EQ(pixels.Count(magenta, rc), rc.Width() * rc.Height());

    Send(bar, PBM_SETRANGE32, 0, 100);
    ui.Run([&] {
        pixels = uitest::RenderPainter(rc.Width(), rc.Height(), [&](HDC hdc) {
            ::SendMessageW(bar, WM_PRINTCLIENT, (WPARAM)hdc, PRF_CLIENT);
        }, magenta);
    });
    EXPECT_EQ(pixels.Count(magenta, rc), 0);
}

TEST_F(SkinControls, ProgressBarDrawsTheBarBorderAndTheTrackBorderStraightLines)
{
    Send(bar, PBM_SETRANGE32, 0, 100);
    Send(bar, PBM_SETPOS, 50);
    CRect rc;
    ::GetClientRect(bar, &rc);
    uitest::Pixels pixels;
    ui.Run([&] {
        pixels = uitest::RenderPainter(rc.Width(), rc.Height(), [&](HDC hdc) {
            ::SendMessageW(bar, WM_PRINTCLIENT, (WPARAM)hdc, PRF_CLIENT);
        });
    });
    const int h = rc.Height();
    EXPECT_EQ(pixels.At(rc.Width() / 4, h - 2), RGB(0x99, 0xB4, 0xD1));   // the bar's bottom edge
    EXPECT_EQ(pixels.At(rc.Width() * 3 / 4, h - 1), RGB(0xA0, 0xA0, 0xA0));   // the track's bottom edge
    EXPECT_EQ(pixels.At(rc.Width() * 3 / 4, 0), RGB(0xA0, 0xA0, 0xA0));
}

TEST_F(SkinControls, EachMarqueeBarSweepsInItsOwnDirection)
{
    ui.Run([&] {
        // Intervals long enough that only the ticks sent here move the blocks.
        dlg->m_progress.SetMarquee(true, 10, 600000);
        dlg->m_progress2.SetMarquee(true, 10, 600000);
    });
    EXPECT_TRUE(::GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 0);
    Send(bar, PBM_SETPOS, 200);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 110);   // the end plus the block
    Send(bar2, PBM_SETPOS, 50);

    Send(bar, WM_TIMER, CToviProgressCtrl::kMarqueeTimer);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 109);   // turned back at the end
    Send(bar2, WM_TIMER, CToviProgressCtrl::kMarqueeTimer);
    EXPECT_EQ(Send(bar2, PBM_GETPOS), 51);   // still going forth
    Send(bar, WM_TIMER, CToviProgressCtrl::kMarqueeTimer);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 108);
    EXPECT_EQ(dlg->m_progress.GetMarqueeDirection(), -1);
    EXPECT_EQ(dlg->m_progress2.GetMarqueeDirection(), 1);

    Send(bar, PBM_SETPOS, 0);
    Send(bar, WM_TIMER, CToviProgressCtrl::kMarqueeTimer);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 1);   // turned again at the start

    ui.Run([&] { dlg->m_progress.SetMarquee(false, 10, 10); });
    EXPECT_FALSE(::GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE);
    EXPECT_FALSE(dlg->m_progress.IsMarquee());
}

TEST_F(SkinControls, SearchBoxLaysOutTheTextBetweenItsIcons)
{
    ui.Run([&] { dlg->m_search.SetWidnowArea(200, 24); });
    CRect window;
    ::GetWindowRect(search, &window);
    EXPECT_EQ(window.Width(), 200);
    EXPECT_EQ(window.Height(), 24);
    EXPECT_EQ(dlg->m_search.GetSearchIconRect(), CRect(178, 4, 194, 20));
    CRect text = dlg->m_search.GetTextRect();
    EXPECT_EQ(text.left, 26);
    EXPECT_EQ(text.right, 177);
    EXPECT_EQ(text.top, 24 - text.bottom);   // centred
    RECT applied = {};
    Send(search, EM_GETRECT, 0, (LPARAM)&applied);
    // The edit keeps its own margin inside the rectangle; how wide depends on the face.
    const int margin = LOWORD(Send(search, EM_GETMARGINS));
    EXPECT_GE(applied.left, 26);
    EXPECT_LE(applied.left, 26 + margin);
}

TEST_F(SkinControls, EnterSearchesOnlyWhenTheBoxHoldsText)
{
    uitest::SendKey(search, VK_RETURN);
    ui.Run([] {});
    EXPECT_EQ(dlg->m_nSearches, 0);
    EXPECT_TRUE(::IsWindow(dlg->m_hWnd));   // Enter did not end the dialog either

    uitest::SetText(search, L"report");
    uitest::SendKey(search, VK_RETURN);
    EXPECT_TRUE(uitest::WaitUntil([&] { return dlg->m_nSearches == 1; }));
}

TEST_F(SkinControls, AClickOnTheSearchButtonSearchesAndAClickOnTheTextDoesNot)
{
    uitest::SetText(search, L"report");
    CRect icon = dlg->m_search.GetSearchIconRect();
    CRect text = dlg->m_search.GetTextRect();
    ::PostMessageW(search, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(text.left + 5, text.CenterPoint().y));
    ::PostMessageW(search, WM_LBUTTONUP, 0, MAKELPARAM(text.left + 5, text.CenterPoint().y));
    ui.Run([] {});
    EXPECT_EQ(dlg->m_nSearches, 0);
    ::PostMessageW(search, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon.CenterPoint().x, icon.CenterPoint().y));
    ::PostMessageW(search, WM_LBUTTONUP, 0, MAKELPARAM(icon.CenterPoint().x, icon.CenterPoint().y));
    EXPECT_TRUE(uitest::WaitUntil([&] { return dlg->m_nSearches == 1; }));
}

TEST_F(SkinControls, SearchTextIsBlackWhenFocusedAndGreyWhenIdle)
{
    EXPECT_EQ(dlg->m_search.GetStateTextColor(), (COLORREF)0xA0A0A0);
    ui.Run([&] { ::SetFocus(search); });
    EXPECT_TRUE(dlg->m_search.IsFocused());
    EXPECT_EQ(dlg->m_search.GetStateTextColor(), (COLORREF)0x000000);
    COLORREF textColor = 0;
    HBRUSH brush = nullptr;
    ui.Run([&] {
        HDC dc = ::GetDC(search);
        brush = (HBRUSH)::SendMessageW(dlg->m_hWnd, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)search);
        textColor = ::GetTextColor(dc);
        ::ReleaseDC(search, dc);
    });
    EXPECT_EQ(brush, (HBRUSH)::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(textColor, (COLORREF)0x000000);
    ui.Run([&] { ::SetFocus(dlg->m_btnOk.m_hWnd); });
    EXPECT_FALSE(dlg->m_search.IsFocused());
}

}
