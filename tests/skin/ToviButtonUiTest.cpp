// The skinned button under Xvfb: style set-up, regions, the press and check state machines,
// group selection, width, skins from a mask, and the flat painter's colours.
#include "Framework.h"
#include "Library.h"
#include "PixelCapture.h"
#include "SkinRes.h"
#include "SkinTestDialog.h"
#include "SkinTestRes.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

class SkinButtons : public SkinSampleTest {
protected:
    CPoint Centre(HWND button) const
    {
        CRect rc;
        ::GetClientRect(button, &rc);
        return rc.CenterPoint();
    }
    // Mouse messages as the system would post them, with the cursor at the same place.
    void Mouse(HWND button, UINT msg, CPoint pt)
    {
        PlaceCursor(button, pt);
        ui.Run([] {});
        ::PostMessageW(button, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        ui.Run([] {});
    }
    void Click(HWND button)
    {
        Mouse(button, WM_LBUTTONDOWN, Centre(button));
        Mouse(button, WM_LBUTTONUP, Centre(button));
    }
    bool Pushed(HWND button) { return (::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }
    bool Checked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // The button painted by its own DrawItem into a memory DC, in the given state.
    uitest::Pixels Render(CToviButton& button, UINT itemState)
    {
        CRect rc;
        ::GetClientRect(button.m_hWnd, &rc);
        uitest::Pixels pixels;
        ui.Run([&] {
            pixels = uitest::RenderPainter(rc.Width(), rc.Height(), [&](HDC hdc) {
                ::SelectObject(hdc, (HFONT)::SendMessageW(button.m_hWnd, WM_GETFONT, 0, 0));
                DRAWITEMSTRUCT dis = { ODT_BUTTON, (UINT)button.GetDlgCtrlID(), 0, ODA_DRAWENTIRE, itemState,
                                       button.m_hWnd, hdc, rc, 0 };
                ::SendMessageW(dlg->m_hWnd, WM_DRAWITEM, dis.CtlID, (LPARAM)&dis);
            });
        });
        return pixels;
    }
};

TEST_F(SkinButtons, StylesSizeTheButtonsAndSubclassingMakesThemOwnerDrawn)
{
    const struct { CToviButton* button; int w, h; } rows[] = {
        { &dlg->m_btnClose, 24, 20 }, { &dlg->m_btnMinimize, 24, 20 }, { &dlg->m_btnMiddle, 24, 20 },
        { &dlg->m_btnMenu[0], 90, 33 },
    };
    for (const auto& row : rows) {
        CRect rc;
        ::GetWindowRect(row.button->m_hWnd, &rc);
        EXPECT_EQ(rc.Width(), row.w) << row.button->GetDlgCtrlID();
        EXPECT_EQ(rc.Height(), row.h) << row.button->GetDlgCtrlID();
        EXPECT_EQ(::GetWindowLongW(row.button->m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    }
    EXPECT_EQ(dlg->m_btnCheck.GetCheckKind(), CToviButton::kCheckBox);
    EXPECT_EQ(dlg->m_btnRadioA.GetCheckKind(), CToviButton::kRadioButton);
    EXPECT_EQ(dlg->m_btnOk.GetCheckKind(), CToviButton::kPushButton);
}

TEST_F(SkinButtons, FlatStylesGetRoundedRegionsButStyleTenStaysRectangularUntilGivenARadius)
{
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(dlg->m_btnCheck.m_hWnd, rgn), ERROR);
    EXPECT_EQ(dlg->m_btnCheck.GetRoundRadius(), 0);
    EXPECT_EQ(dlg->m_btnCheck.SetButtonRgn(40, 20), -1);
    EXPECT_NE(::GetWindowRgn(dlg->m_btnCancel.m_hWnd, rgn), ERROR);
    EXPECT_EQ(dlg->m_btnCancel.GetRoundRadius(), 2);
    CRect rc;
    ::GetWindowRect(dlg->m_btnCancel.m_hWnd, &rc);
    RECT box;
    ::GetRgnBox(rgn, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_GE(box.right, rc.Width());
    EXPECT_GE(box.bottom, rc.Height());
    EXPECT_TRUE(::PtInRegion(rgn, rc.Width() / 2, rc.Height() / 2));
    EXPECT_EQ(dlg->m_btnCancel.SetButtonRgn(0, 20), -1);
    ::DeleteObject(rgn);
}

TEST_F(SkinButtons, PressingAMainMenuButtonSelectsItAndDeselectsTheOthersOfItsGroup)
{
    HWND a = dlg->m_btnMenu[0].m_hWnd, b = dlg->m_btnMenu[1].m_hWnd;
    Click(a);
    EXPECT_TRUE(dlg->m_btnMenu[0].GetStatus());
    EXPECT_FALSE(dlg->m_btnMenu[1].GetStatus());
    Click(b);
    EXPECT_FALSE(dlg->m_btnMenu[0].GetStatus());
    EXPECT_TRUE(dlg->m_btnMenu[1].GetStatus());
    EXPECT_FALSE(dlg->m_btnMenu[2].GetStatus());
    Click(b);   // already selected: nothing changes
    EXPECT_TRUE(dlg->m_btnMenu[1].GetStatus());
    EXPECT_FALSE(dlg->m_btnMenu[0].GetStatus());
}

TEST_F(SkinButtons, DraggingThePressedCursorOffReleasesTheLookAndReleasingOutsideDoesNotToggle)
{
    HWND check = dlg->m_btnCheck.m_hWnd;
    CRect rc;
    ::GetClientRect(check, &rc);
    const CPoint inside = rc.CenterPoint();
    const CPoint outside(rc.right + 40, rc.bottom + 40);
    Mouse(check, WM_LBUTTONDOWN, inside);
    EXPECT_TRUE(dlg->m_btnCheck.IsLButtonDown());
    EXPECT_TRUE(Pushed(check));
    Mouse(check, WM_MOUSEMOVE, outside);
    EXPECT_FALSE(Pushed(check));
    Mouse(check, WM_MOUSEMOVE, inside);
    EXPECT_TRUE(Pushed(check));
    Mouse(check, WM_MOUSEMOVE, outside);
    Mouse(check, WM_LBUTTONUP, outside);
    EXPECT_FALSE(dlg->m_btnCheck.IsLButtonDown());
    EXPECT_FALSE(Checked(check));
}

TEST_F(SkinButtons, AClickTogglesACheckBoxAndADoubleClickTogglesItTwice)
{
    HWND check = dlg->m_btnCheck.m_hWnd;
    const CPoint c = Centre(check);
    Click(check);
    EXPECT_TRUE(Checked(check));
    Click(check);
    EXPECT_FALSE(Checked(check));
    Mouse(check, WM_LBUTTONDOWN, c);
    Mouse(check, WM_LBUTTONUP, c);
    EXPECT_TRUE(Checked(check));
    Mouse(check, WM_LBUTTONDBLCLK, c);
    Mouse(check, WM_LBUTTONUP, c);
    EXPECT_FALSE(Checked(check));
}

TEST_F(SkinButtons, SpaceTogglesACheckBoxAndCheckingARadioButtonClearsTheOtherOfItsGroup)
{
    HWND check = dlg->m_btnCheck.m_hWnd;
    ::PostMessageW(check, WM_KEYDOWN, VK_SPACE, 0);
    ui.Run([] {});
    EXPECT_TRUE(Checked(check));

    Click(dlg->m_btnRadioA.m_hWnd);
    EXPECT_TRUE(Checked(dlg->m_btnRadioA.m_hWnd));
    Click(dlg->m_btnRadioB.m_hWnd);
    EXPECT_TRUE(Checked(dlg->m_btnRadioB.m_hWnd));
    EXPECT_FALSE(Checked(dlg->m_btnRadioA.m_hWnd));
}

TEST_F(SkinButtons, WidthCountsTheMarginTheCaptionAndTheIcon)
{
    ui.Run([&] {
        dlg->m_btnFlat.SetWindowText(L"");
        dlg->m_btnFlat.SetIcon(IDI_PERSON);
    });
    EXPECT_EQ(dlg->m_btnFlat.GetButtonWidth(10), 30);
    EXPECT_EQ(dlg->m_btnOk.GetButtonWidth(10) > 10, true);
    int withoutIcon = dlg->m_btnOk.GetButtonWidth(0);
    ui.Run([&] { dlg->m_btnOk.SetIcon(IDI_PERSON); });
    EXPECT_EQ(dlg->m_btnOk.GetButtonWidth(0), withoutIcon + 20);
}

TEST_F(SkinButtons, MaskBitmapShapesTheRegionAndSizesTheButtonInCopyMode)
{
    HBITMAP mask = (HBITMAP)::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SKIN_MASK), IMAGE_BITMAP, 0, 0,
                                         LR_CREATEDIBSECTION);
    ASSERT_NE(mask, nullptr);
    HRGN rgn = CToviButton::CreateRgnFromBitmap(mask, 0xFFFFFF);
    ASSERT_NE(rgn, nullptr);
    RECT box;
    ::GetRgnBox(rgn, &box);
    EXPECT_EQ(CRect(box), CRect(4, 2, 36, 22));
    EXPECT_EQ(CToviButton::CreateRgnFromBitmap(nullptr, 0xFFFFFF), nullptr);
    ::DeleteObject(rgn);
    ::DeleteObject(mask);

    ui.Run([&] { dlg->m_btnCheck.SetSkin(IDB_SKIN_FACE, 0, 0, 0, 0, IDB_SKIN_MASK, 0); });
    CRect rc;
    ::GetWindowRect(dlg->m_btnCheck.m_hWnd, &rc);
    EXPECT_EQ(rc.Width(), 40);
    EXPECT_EQ(rc.Height(), 24);
    EXPECT_EQ(dlg->m_btnCheck.GetSkinMode(), 0);
    HRGN installed = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(dlg->m_btnCheck.m_hWnd, installed), ERROR);
    EXPECT_FALSE(::PtInRegion(installed, 1, 1));
    EXPECT_TRUE(::PtInRegion(installed, 10, 10));
    ::DeleteObject(installed);
    ui.Run([&] { dlg->m_btnFlat.SetSkin(IDB_SKIN_FACE, 0, 0, 0, 0, 0, 5); });
    EXPECT_EQ(dlg->m_btnFlat.GetSkinMode(), 2);
    ui.Run([&] { dlg->m_btnFlat.SetSkin(IDB_SKIN_FACE, 0, 0, 0, 0, 0, -1); });
    EXPECT_EQ(dlg->m_btnFlat.GetSkinMode(), 0);
}

TEST_F(SkinButtons, FlatPainterDrawsTheOutlineAndTheStateGradients)
{
    CToviButton& cancel = dlg->m_btnCancel;   // style 9
    const struct { UINT state; COLORREF top, bottom; const char* what; } rows[] = {
        { 0, 0xFDFDFD, 0xEFEFEF, "normal" },
        { ODS_SELECTED, 0xD2D2D2, 0xD2D2D2, "pressed" },
        { ODS_DISABLED, 0xF8F8F8, 0xEEEEEE, "disabled" },
    };
    for (const auto& row : rows) {
        uitest::Pixels p = Render(cancel, row.state);
        ASSERT_FALSE(p.Empty());
        const int x = 3;   // left of the caption
        EXPECT_EQ(p.At(p.width / 2, 0), (COLORREF)0xA7A7A7) << row.what << " top outline";
        EXPECT_EQ(p.At(p.width / 2, p.height - 1), (COLORREF)0xA7A7A7) << row.what << " bottom outline";
        EXPECT_TRUE(Near(p.At(x, 2), row.top, 3)) << row.what << " face top " << std::hex << p.At(x, 2);
        EXPECT_TRUE(Near(p.At(x, p.height - 3), row.bottom, 3)) << row.what << " face bottom " << std::hex
                                                                 << p.At(x, p.height - 3);
    }
}

TEST_F(SkinButtons, MainMenuButtonShowsTheSelectedGradient)
{
    ui.Run([&] { dlg->m_btnMenu[2].SetStatus(true); });
    uitest::Pixels selected = Render(dlg->m_btnMenu[2], 0);
    uitest::Pixels plain = Render(dlg->m_btnMenu[0], 0);
    // Below the gloss, beside the caption: the face gradient's last rows.
    const int y = selected.height - 2;
    EXPECT_TRUE(Near(selected.At(3, y), RGB(0x21, 0x65, 0x9C), 8)) << std::hex << selected.At(3, y);
    EXPECT_TRUE(Near(plain.At(3, y), RGB(0x3C, 0x3C, 0x3C), 8)) << std::hex << plain.At(3, y);
}

// The caption's glyphs may reach past its advance width (the bar of a closing "t"); the text
// rectangle places the caption, it must not cut it.
TEST_F(SkinButtons, TheLastLetterOfACaptionIsDrawnWhole)
{
    CToviButton& button = dlg->m_btnOk;
    const wchar_t caption[] = L"Disconnect";
    ui.Run([&] { button.SetWindowText(caption); });
    // How far the caption's ink reaches past its advance width, in the caption font.
    LOGFONTW lf = {};
    ::GetObjectW((HFONT)::SendMessageW(button.m_hWnd, WM_GETFONT, 0, 0), sizeof(lf), &lf);
    lf.lfQuality = CLEARTYPE_QUALITY;
    HFONT font = ::CreateFontIndirectW(&lf);
    SIZE extent = {};
    uitest::Pixels reference = uitest::RenderPainter(300, 40, [&](HDC hdc) {
        ::SelectObject(hdc, font);
        ::GetTextExtentPoint32W(hdc, caption, lstrlenW(caption), &extent);
        RECT at = { 10, 5, 290, 35 };
        ::SetBkMode(hdc, TRANSPARENT);
        ::DrawTextW(hdc, caption, -1, &at, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    });
    ::DeleteObject(font);
    int inkRight = -1;
    for (int x = 0; x < reference.width; ++x)
        for (int y = 0; y < reference.height; ++y)
            if (reference.At(x, y) != RGB(255, 255, 255))
                inkRight = x;
    const int overhang = inkRight + 1 - (10 + extent.cx);
    if (overhang <= 0)
        GTEST_SKIP() << "this font's last glyph stays within its advance width";

    uitest::Pixels pixels = Render(button, 0);
    const CRect text = button.GetTextRect();
    ASSERT_GT(text.left, 3);
    ASSERT_LE(text.right + overhang, pixels.width - 2);
    int inked = 0;
    for (int y = text.top; y < text.bottom; ++y) {
        const COLORREF background = pixels.At(text.left - 3, y);
        for (int x = text.right; x < text.right + overhang; ++x) {
            const COLORREF c = pixels.At(x, y);
            if (abs(GetRValue(c) - GetRValue(background)) + abs(GetGValue(c) - GetGValue(background)) +
                    abs(GetBValue(c) - GetBValue(background)) > 60)
                ++inked;
        }
    }
    EXPECT_GT(inked, 0) << "the caption's last " << overhang << " column(s) of ink were cut off";
}

}
