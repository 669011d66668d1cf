// The framed edit and the coloured static with its link, on a real dialog.
#include "ListTestDialog.h"
#include "PixelCapture.h"
#include "SeamSwap.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The addresses the links opened, in order.
struct RecordingBrowser {
    std::vector<std::wstring> opened;
} browser;

void RecordOpen(const wchar_t* url)
{
    browser.opened.push_back(url);
}

class VantelControls : public ListDialogTest {
protected:
    void SetUp() override
    {
        browser.opened.clear();
        Open(0, -1);
    }
    void ClickLink()
    {
        ::PostMessageW(dlg->m_link.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ::PostMessageW(dlg->m_link.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        ui.Run([] {});
    }
    testseam::Swap<void (*)(const wchar_t*)> m_browser{CVantelStatic::s_pfnOpenLink, RecordOpen};
};

TEST_F(VantelControls, TheEditTakesItsGreyOnlyOnceItsEnabledStateChanged)
{
    ASSERT_FALSE(HasFatalFailure());
    HWND edit = dlg->m_edit.m_hWnd;
    CRect rc;
    ::GetClientRect(edit, &rc);
    const POINT inside = { rc.right - 4, rc.CenterPoint().y };
    // The template's enabled edit keeps the parent's colours until its state changes.
    ui.Run([&] { ::RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); });
    EXPECT_FALSE(dlg->m_edit.m_bColored);
    const COLORREF before = uitest::CaptureWindow(edit, 300).At(inside.x, inside.y);
    EXPECT_NE(before, RGB(0xE1, 0xE1, 0xE1));

    ui.Run([&] { dlg->m_edit.EnableWindow(FALSE); });
    EXPECT_TRUE(dlg->m_edit.m_bColored);
    EXPECT_EQ(dlg->m_edit.m_clrBack, 0xE1E1E1u);
    ui.Run([&] { ::RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); });
    EXPECT_EQ(uitest::CaptureWindow(edit, 300).At(inside.x, inside.y), RGB(0xE1, 0xE1, 0xE1));

    ui.Run([&] { dlg->m_edit.EnableWindow(TRUE); });
    EXPECT_EQ(dlg->m_edit.m_clrBack, 0xFFFFFFu);
    ui.Run([&] { ::RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); });
    EXPECT_EQ(uitest::CaptureWindow(edit, 300).At(inside.x, inside.y), RGB(0xFF, 0xFF, 0xFF));
}

TEST_F(VantelControls, TheStaticPaintsItsOwnBackground)
{
    ASSERT_FALSE(HasFatalFailure());
    ui.Run([&] {
        dlg->m_link.SetBackColor(RGB(0x20, 0xC0, 0x40));
        dlg->m_link.SetTextColor(0xFF0000);
    });
    HWND link = dlg->m_link.m_hWnd;
    CRect rc;
    ::GetClientRect(link, &rc);
    const uitest::Pixels pixels = uitest::CaptureWindow(link, 300);
    EXPECT_GT(pixels.Count(RGB(0x20, 0xC0, 0x40), rc), rc.Width() * rc.Height() / 2);
}

TEST_F(VantelControls, ALinkOpensItsTextAndNothingElseDoes)
{
    ASSERT_FALSE(HasFatalFailure());
    HWND link = dlg->m_link.m_hWnd;
    ClickLink();
    EXPECT_TRUE(browser.opened.empty()) << "not a link yet";

    ui.Run([&] { dlg->m_link.SetLink(true).SetLinkCursor(::LoadCursor(nullptr, IDC_HAND)); });
    EXPECT_NE(::GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY, 0);
    ClickLink();
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], L"http://example.com/guide");

    LRESULT handled = 0;
    HCURSOR cursor = nullptr;
    ui.Run([&] {
        handled = ::SendMessageW(link, WM_SETCURSOR, (WPARAM)link, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        cursor = ::GetCursor();
    });
    EXPECT_EQ(handled, TRUE);
    EXPECT_EQ(cursor, ::LoadCursor(nullptr, IDC_HAND));

    uitest::SetText(link, L"");
    ClickLink();
    EXPECT_EQ(browser.opened.size(), 1u) << "an empty link does nothing";

    uitest::SetText(link, L"http://example.com/other");
    ui.Run([&] { dlg->m_link.SetLink(false); });
    EXPECT_EQ(::GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY, 0);
    ClickLink();
    EXPECT_EQ(browser.opened.size(), 1u);
}

}
