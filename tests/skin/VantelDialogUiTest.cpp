// The skinned dialog base under Xvfb: region, system buttons, caption drag, title, the
// painted background and frame, and control colours (also with a theme, without leaks).
#include "Framework.h"
#include "Library.h"
#include "PixelCapture.h"
#include "SkinRes.h"
#include "SkinTestDialog.h"
#include "SkinTestRes.h"
#include "ThemeLibrary.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

class SkinnedDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        ui.SetPreTranslate(&AfxPreTranslateMessage);
    }
    void TearDown() override
    {
        ui.Run([this] {
            if (dlg && dlg->m_hWnd)
                dlg->DestroyWindow();
            dlg.reset();
        });
        ToviInterfaceTerm();
    }
    HWND Open(UINT templateId, int uiType, int productType = 0)
    {
        ui.Run([&] {
            dlg = std::make_unique<CSkinTestDialog>(templateId, uiType, productType);
            dlg->Create(templateId);
            dlg->SetSysButtonPos();
            dlg->ShowWindow(SW_SHOW);
            dlg->UpdateWindow();
        });
        return dlg ? dlg->m_hWnd : nullptr;
    }
    CRect ClientRect() const
    {
        CRect rc;
        ::GetClientRect(dlg->m_hWnd, &rc);
        return rc;
    }
    // The control's rectangle in the dialog's client coordinates.
    CRect ItemRect(int id) const
    {
        CRect rc;
        ::GetWindowRect(::GetDlgItem(dlg->m_hWnd, id), &rc);
        ::MapWindowPoints(nullptr, dlg->m_hWnd, (LPPOINT)&rc, 2);
        return rc;
    }
    // A press and release of the left button at pt (client coordinates of target), with the
    // cursor there too.
    void Click(HWND target, POINT pt)
    {
        PlaceCursor(target, pt);
        ::PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        ::PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        ui.Run([] {});   // both handled
    }
    uitest::Pixels RenderBackground(int uiType, bool active, int width, int height)
    {
        uitest::Pixels pixels;
        ui.Run([&] {
            dlg->m_nUIType = uiType;
            dlg->SetActiveLook(active);
            pixels = uitest::RenderPainter(width, height, [&](HDC hdc) {
                dlg->DrawBkgnd(CDC::FromHandle(hdc), CRect(0, 0, width, height));
            });
        });
        return pixels;
    }

    uitest::UiThread ui;
    std::unique_ptr<CSkinTestDialog> dlg;
};

TEST_F(SkinnedDialog, RegionCutsTheFourCornersAndKeepsTheEdges)
{
    HWND hwnd = Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeDefault);
    ASSERT_NE(hwnd, nullptr);
    CRect window;
    ::GetWindowRect(hwnd, &window);
    const int w = window.Width(), h = window.Height();
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(hwnd, rgn), ERROR);
    RECT box;
    ::GetRgnBox(rgn, &box);
    EXPECT_EQ(CRect(box), CRect(0, 0, w + 1, h + 1));
    const struct { int x, y; bool inside; } rows[] = {
        { 0, 0, false }, { w - 1, 0, false }, { 0, h - 1, false }, { w - 1, h - 1, false },
        { 1, 1, false }, { w - 2, h - 2, false },
        { 5, 0, true }, { 0, 5, true }, { w - 6, 0, true }, { w - 1, 5, true },
        { w / 2, 0, true }, { w / 2, h - 1, true }, { 4, 4, true }, { w / 2, h / 2, true },
    };
    for (const auto& row : rows)
        EXPECT_EQ(::PtInRegion(rgn, row.x, row.y) != FALSE, row.inside) << "at (" << row.x << ", " << row.y << ")";
    ::DeleteObject(rgn);
}

TEST_F(SkinnedDialog, MinimizableTypePlacesTheThreeSystemButtonsAsARightAlignedBlock)
{
    HWND hwnd = Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeMinimizable);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(::GetWindowLongW(hwnd, GWL_STYLE) & WS_MINIMIZEBOX);
    const int right = ClientRect().right;
    const int w = ItemRect(IDC_SYSBTN_MINIMIZE).Width();
    EXPECT_EQ(w, 24);
    const struct { int id, x; } rows[] = {
        { IDC_SYSBTN_MINIMIZE, right - 72 }, { IDC_SYSBTN_MIDDLE, right - 72 + w }, { IDC_SYSBTN_CLOSE, right - 72 + 2 * w },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ItemRect(row.id).left, row.x) << "button " << row.id;
        EXPECT_EQ(ItemRect(row.id).top, 2) << "button " << row.id;
    }
}

TEST_F(SkinnedDialog, DefaultTypeWithoutMinimizeBoxPlacesOnlyTheCloseButton)
{
    HWND hwnd = Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeDefault);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(::GetWindowLongW(hwnd, GWL_STYLE) & WS_MINIMIZEBOX);
    const int right = ClientRect().right;
    CRect close = ItemRect(IDC_SYSBTN_CLOSE);
    EXPECT_EQ(close.left, right - 72 + 2 * close.Width());
    EXPECT_EQ(close.top, 2);
    // The others stay where the template put them.
    RECT templ = { 200, 1, 0, 0 };
    ::MapDialogRect(hwnd, &templ);
    EXPECT_EQ(ItemRect(IDC_SYSBTN_MINIMIZE).left, templ.left);
}

TEST_F(SkinnedDialog, PressesInTheCaptionBandDragButNotBelowItNorOnItsButtons)
{
    HWND hwnd = Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeDefault);
    ASSERT_NE(hwnd, nullptr);
    const int mid = ClientRect().right / 3;
    HWND captionStatic = ::GetDlgItem(hwnd, IDC_SKIN_CAPTION_STATIC);
    HWND close = ::GetDlgItem(hwnd, IDC_SYSBTN_CLOSE);
    CRect closeRect;
    ::GetClientRect(close, &closeRect);
    const struct { const char* what; HWND target; POINT pt; int drags; int closeClicks; } rows[] = {
        { "band top", hwnd, { mid, 1 }, 1, 0 },
        { "band last row", hwnd, { mid, 30 }, 1, 0 },
        { "below the band", hwnd, { mid, 31 }, 0, 0 },
        { "caption static", captionStatic, { 2, 2 }, 1, 0 },
        { "close button", close, closeRect.CenterPoint(), 0, 1 },
    };
    for (const auto& row : rows) {
        ui.Run([&] { dlg->m_nCaptionDrags = 0; dlg->m_nSysClicks[2] = 0; });
        Click(row.target, row.pt);
        EXPECT_TRUE(uitest::WaitUntil([&] { return dlg->m_nSysClicks[2] == row.closeClicks; }, 2000)) << row.what;
        ui.Run([] {});
        EXPECT_EQ(dlg->m_nCaptionDrags, row.drags) << row.what;
        EXPECT_EQ(dlg->m_nSysClicks[2], row.closeClicks) << row.what;
    }
}

TEST_F(SkinnedDialog, LoginTypesNeverDragFromTheMiddleButton)
{
    for (int type : { CVantelDialog::kUITypeLogin, CVantelDialog::kUITypeLoginBlue, CVantelDialog::kUITypeLoginGold }) {
        HWND hwnd = Open(IDD_SKIN_SAMPLE, type);
        ASSERT_NE(hwnd, nullptr);
        CRect middle;
        ::GetWindowRect(::GetDlgItem(hwnd, IDC_SYSBTN_MIDDLE), &middle);
        POINT centre = middle.CenterPoint();
        bool drags = true;
        ui.Run([&] { drags = dlg->IsCaptionDrag(hwnd, centre); });
        EXPECT_FALSE(drags) << "type " << type;
        ui.Run([&] { dlg->DestroyWindow(); });
    }
}

TEST_F(SkinnedDialog, CaptionShowsTheWindowTextUntilATitleIsSetAndShortensLongTitles)
{
    ASSERT_NE(Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeDefault), nullptr);
    RenderBackground(CVantelDialog::kUITypeDefault, true, 300, 120);
    EXPECT_STREQ(dlg->GetShownTitle(), L"Upload files");

    ui.Run([&] { dlg->SetTitleBar(L"Shares"); });
    RenderBackground(CVantelDialog::kUITypeDefault, true, 300, 120);
    EXPECT_STREQ(dlg->GetShownTitle(), L"Shares");
    CString title;
    dlg->GetTitleBar(title);
    EXPECT_STREQ(title, L"Shares");

    ui.Run([&] { dlg->SetTitleBar(CString(L"A very long title for a narrow dialog that goes on and on")); });
    RenderBackground(CVantelDialog::kUITypeDefault, true, 120, 60);
    CString shown = dlg->GetShownTitle();
    EXPECT_EQ(shown.Right(3), CString(L"...")) << (const wchar_t*)shown;
}

TEST_F(SkinnedDialog, TitleBandCentresTheTextInTwentyTwoOrTwentyPixels)
{
    const struct { int uiType, product, cy, top, bottom; } rows[] = {
        { 0, 0, 14, 5, 19 }, { 0, 2, 14, 4, 18 }, { 1, 0, 14, 4, 18 }, { 7, 2, 13, 3, 16 },
    };
    for (const auto& row : rows) {
        CRect rc = CVantelDialog::TitleRect(row.uiType, row.product, 300, CSize(100, row.cy));
        EXPECT_EQ(rc, CRect(6, row.top, 272, row.bottom)) << "type " << row.uiType << " product " << row.product;
    }
}

struct BandRow {
    int uiType;
    bool active;
    int row;   // negative: from the bottom
    COLORREF expected;
    int tolerance;   // gradient ends that GDI interpolates
};

TEST_F(SkinnedDialog, BackgroundPaintsTheBandsOfEachLook)
{
    ASSERT_NE(Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeDefault), nullptr);
    const int w = 300, h = 200;
    const BandRow rows[] = {
        { 0, true, 0, 0xD0A27B, 0 }, { 0, true, 22, 0xB67641, 6 }, { 0, true, 23, 0x9A6438, 0 },
        { 0, true, 24, 0x7C512E, 0 }, { 0, true, 25, 0x7C512E, 0 }, { 0, true, 26, 0xF8F8F8, 0 },
        { 0, true, -37, 0xF8F8F8, 0 }, { 0, true, -36, 0xDDDDDD, 0 }, { 0, true, -35, RGB(0xEE, 0xEE, 0xEE), 0 },
        { 0, true, -1, RGB(0xE3, 0xE3, 0xE5), 2 },
        { 0, false, 0, 0xE2C7AF, 0 }, { 0, false, 23, 0xC99569, 0 }, { 0, false, 24, 0xC58C5F, 0 },
        { 8, true, -9, 0xF8F8F8, 0 }, { 8, true, -8, 0xDDDDDD, 0 },
        { 9, true, 23, 0x749FD0, 0 }, { 9, true, 24, 0x1B8DD3, 0 },
        { 10, true, 23, 0xBFA94A, 0 }, { 10, true, 25, 0xBFA94A, 0 },
        { 1, true, 0, RGB(0x6F, 0x6F, 0x6F), 0 }, { 1, true, 21, RGB(0x32, 0x32, 0x32), 6 },
        { 1, true, 22, 0x171717, 0 }, { 1, true, 23, 0xF0A854, 0 }, { 1, true, 24, 0xF1902F, 0 },
        { 1, true, 26, 0xFFFFFF, 0 }, { 1, true, -15, RGB(0xE6, 0xE7, 0xEB), 0 }, { 1, true, -1, RGB(0xCE, 0xD1, 0xD8), 3 },
        { 2, true, 23, 0x749FD0, 0 }, { 2, true, 25, 0x1B8DD3, 0 },
        { 3, true, 23, 0xBFA94A, 0 }, { 3, true, 24, 0xBFA94A, 0 },
        { 7, true, 23, 0xF0A854, 0 },
    };
    for (const BandRow& row : rows) {
        uitest::Pixels pixels = RenderBackground(row.uiType, row.active, w, h);
        const int y = row.row < 0 ? h + row.row : row.row;
        for (int x : { 2, w - 2 }) {
            COLORREF actual = pixels.At(x, y);
            EXPECT_TRUE(Near(actual, row.expected, row.tolerance))
                << "type " << row.uiType << (row.active ? "" : " inactive") << " row " << y << " x " << x << ": expected "
                << std::hex << row.expected << ", got " << actual;
        }
    }
}

struct FrameRow {
    int uiType;
    int x, y;   // negative: from the right or bottom edge
    COLORREF expected;
};

TEST_F(SkinnedDialog, FramePaintsItsLinesAndContinuesTheBandsAtTheSides)
{
    const FrameRow rows[] = {
        { 0, 60, 0, 0x171717 }, { 0, 60, 1, 0xE1C5AC }, { 0, 60, 2, 0xD0A27B }, { 0, 60, 3, 0xD0A27B },
        { 0, 0, 40, 0x171717 }, { 0, -1, 40, 0x171717 }, { 0, 1, 4, 0xD0A27B }, { 0, 1, 27, 0x9A6438 },
        { 0, 1, 28, 0x7C512E }, { 0, 1, 30, 0xF8F8F8 }, { 0, -2, 30, 0xF8F8F8 },
        { 0, 60, -1, 0x171717 }, { 0, 60, -2, 0xE5E3E3 }, { 0, 60, -4, 0xE5E3E3 },
        { 0, 4, -2, 0xC0C0C0 },
        { 1, 60, 0, 0x171717 }, { 1, 60, 1, 0x6F6F6F }, { 1, 0, 40, 0x171717 }, { 1, 1, 4, RGB(0x6F, 0x6F, 0x6F) },
        { 1, 1, 26, 0x171717 }, { 1, 1, 27, 0xF0A854 }, { 1, 1, 30, RGB(0xFF, 0xFF, 0xFF) },
        { 1, 60, -1, 0x171717 }, { 1, 60, -2, 0xDBD2CE },
    };
    int openType = -1;
    uitest::Pixels pixels;
    for (const FrameRow& row : rows) {
        if (row.uiType != openType) {
            if (dlg)
                ui.Run([&] { dlg->DestroyWindow(); });
            HWND hwnd = Open(IDD_SKIN_SAMPLE, row.uiType);
            ASSERT_NE(hwnd, nullptr);
            pixels = uitest::CaptureWindow(hwnd, 500);
            openType = row.uiType;
        }
        CRect window;
        ::GetWindowRect(dlg->m_hWnd, &window);
        // The side bands start where the client area starts.
        CRect client;
        ::GetClientRect(dlg->m_hWnd, &client);
        ::MapWindowPoints(dlg->m_hWnd, nullptr, (LPPOINT)&client, 2);
        ASSERT_EQ(client.left - window.left, 4);
        ASSERT_EQ(client.top - window.top, 4);
        int x = row.x < 0 ? pixels.width + row.x : row.x;
        int y = row.y < 0 ? pixels.height + row.y : row.y;
        COLORREF actual = pixels.At(x, y);
        EXPECT_EQ(actual, row.expected) << "type " << row.uiType << " at (" << x << ", " << y << "): expected " << std::hex
                                        << row.expected << ", got " << actual;
    }
}

TEST_F(SkinnedDialog, MinimizingKeepsTheRegionAndRestoringRebuildsIt)
{
    HWND hwnd = Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeMinimizable);
    ASSERT_NE(hwnd, nullptr);
    CRect window;
    ::GetWindowRect(hwnd, &window);
    ui.Run([&] {
        ::SetWindowRgn(hwnd, ::CreateRectRgn(0, 0, 10, 10), TRUE);
        ::ShowWindow(hwnd, SW_MINIMIZE);
    });
    RECT box = {};
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_TRUE(::IsIconic(hwnd));
    ::GetWindowRgn(hwnd, rgn);
    ::GetRgnBox(rgn, &box);
    EXPECT_EQ(CRect(box), CRect(0, 0, 10, 10));
    ui.Run([&] { ::ShowWindow(hwnd, SW_RESTORE); });
    ::GetWindowRgn(hwnd, rgn);
    ::GetRgnBox(rgn, &box);
    EXPECT_EQ(CRect(box), CRect(0, 0, window.Width() + 1, window.Height() + 1));
    ::DeleteObject(rgn);
}

// WM_CTLCOLORSTATIC as a control asks for it, on the dialog's thread.
HBRUSH AskColors(uitest::UiThread& ui, HWND dialog, HWND control, int* bkMode)
{
    HBRUSH brush = nullptr;
    ui.Run([&] {
        HDC dc = ::GetDC(control);
        ::SetBkMode(dc, OPAQUE);
        brush = (HBRUSH)::SendMessageW(dialog, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)control);
        if (bkMode)
            *bkMode = ::GetBkMode(dc);
        ::ReleaseDC(control, dc);
    });
    return brush;
}

TEST_F(SkinnedDialog, UnthemedLabelsAndCheckBoxesGetTheNullBrushAndTransparentText)
{
    HWND hwnd = Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeDefault);
    ASSERT_NE(hwnd, nullptr);
    ThemeLibraryLoad(L"no-such-theme-library.dll");
    ASSERT_FALSE(ThemeIsAppThemed());
    for (int id : { IDC_SKIN_LABEL, IDC_SKIN_CAPTION_STATIC }) {
        int mode = 0;
        EXPECT_EQ(AskColors(ui, hwnd, ::GetDlgItem(hwnd, id), &mode), (HBRUSH)::GetStockObject(NULL_BRUSH)) << id;
        EXPECT_EQ(mode, TRANSPARENT) << id;
    }
    ThemeLibraryLoad(L"uxtheme.dll");
}

TEST_F(SkinnedDialog, ThemedControlColoursKeepOnlyTheNewestBrushAndNoBitmap)
{
    HWND hwnd = Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeDefault);
    ASSERT_NE(hwnd, nullptr);
    ThemeLibraryLoad(L"FakeUxTheme.dll");
    ASSERT_NE(ThemeLibraryModule(), nullptr);
    auto lastBitmap = (HBITMAP(WINAPI*)())::GetProcAddress(ThemeLibraryModule(), "FakeThemeLastBitmap");
    ASSERT_NE(lastBitmap, nullptr);
    HWND label = ::GetDlgItem(hwnd, IDC_SKIN_LABEL);

    HBRUSH previous = nullptr;
    for (int i = 0; i < 50; ++i) {
        HBRUSH brush = AskColors(ui, hwnd, label, nullptr);
        ASSERT_NE(brush, nullptr);
        ASSERT_NE(brush, (HBRUSH)::GetStockObject(NULL_BRUSH));
        EXPECT_EQ(::GetObjectType(brush), (DWORD)OBJ_BRUSH) << "call " << i;
        EXPECT_EQ(::GetObjectType(lastBitmap()), 0u) << "the bitmap of call " << i << " is still alive";
        if (previous) {
            EXPECT_EQ(::GetObjectType(previous), 0u) << "the brush before call " << i << " is still alive";
        }
        previous = brush;
    }
    // The brush carries the parent's background.
    uitest::Pixels pixels = uitest::RenderPainter(8, 8, [&](HDC hdc) {
        RECT r = { 0, 0, 8, 8 };
        ::FillRect(hdc, &r, previous);
    });
    EXPECT_EQ(pixels.At(3, 3), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(dlg->CurrentCtlBrush(), previous);

    ui.Run([&] {
        dlg->DestroyWindow();
        dlg.reset();
    });
    EXPECT_EQ(::GetObjectType(previous), 0u);
    ThemeLibraryLoad(L"uxtheme.dll");
}

TEST_F(SkinnedDialog, ActivateWindowBringsTheDialogToTheForeground)
{
    HWND hwnd = Open(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeDefault);
    ASSERT_NE(hwnd, nullptr);
    HWND other = nullptr;
    ui.Run([&] {
        other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(other);
    });
    ui.Run([&] { dlg->ActivateWindow(nullptr); });
    EXPECT_EQ(::GetForegroundWindow(), hwnd);
    ui.Run([&] { ::DestroyWindow(other); });
}

}
