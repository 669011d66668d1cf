// The command bar of CorvaneIXO.exe after a log-in against the test server: the buttons the
// server's options allow, laid out in the user's language. (MenuBarUiTest drives the bar's
// commands in-process; AppRoadServerCmdsTest the states the server list gives the bar.)
#include "AppRun.h"
#include "MenuBarRes.h"
#include "ToviRegistry.h"
#include <gtest/gtest.h>

using namespace apprun;

namespace {

const int kMenuBar = 132;

struct BarView {
    HWND bar = nullptr;
    RECT Rect(int id) const
    {
        RECT rect = {};
        ::GetWindowRect(::GetDlgItem(bar, id), &rect);
        ::MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    bool Visible(int id) const { return (::GetWindowLongW(::GetDlgItem(bar, id), GWL_STYLE) & WS_VISIBLE) != 0; }
    std::wstring Text(int id) const { return TextOf(::GetDlgItem(bar, id)); }
};

}

class AppRoadMenuBar : public AppRoadTest {
protected:
    BarView LogIn(unsigned short language)
    {
        StoreServer();
        StoreAutoLogin();
        EXPECT_TRUE(CToviRegistry::SetLanguage(0, language));
        BarView view;
        if (!Launch())
            return view;
        HWND frame = WaitForMainWindow();
        if (frame == nullptr)
            return view;
        view.bar = ::GetDlgItem(frame, kMenuBar);
        return view;
    }
};

TEST_F(AppRoadMenuBar, WithoutTheOptionsTheRowHasNoApprovalRequestAndDirectEditKeepsAnEmptyPlace)
{
    const BarView view = LogIn(0x09);
    ASSERT_NE(nullptr, view.bar) << "no command bar";
    EXPECT_TRUE(::IsWindowVisible(view.bar));
    EXPECT_EQ(L"New Folder", view.Text(IDC_MENU_NEW_FOLDER));
    EXPECT_EQ(L"Upload", view.Text(IDC_MENU_UPLOAD));
    EXPECT_FALSE(view.Visible(IDC_MENU_APPROVAL));
    EXPECT_EQ(view.Rect(IDC_MENU_NEW_FOLDER).right - 1, view.Rect(IDC_MENU_UPLOAD).left);
    EXPECT_FALSE(view.Visible(IDC_MENU_DIRECT_EDIT));
    EXPECT_EQ(view.Rect(IDC_MENU_LINK).right - 1, view.Rect(IDC_MENU_DIRECT_EDIT).left);
    EXPECT_TRUE(view.Visible(IDC_MENU_SEARCH));
    EXPECT_TRUE(view.Visible(IDC_MENU_LIST_VIEW));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadMenuBar, TheServersOptionsBringTheApprovalRequestWithItsCaptionInTheUsersLanguage)
{
    // The approval request's captions travel as "Korean$English$third language".
    ASSERT_EQ("OK", Control("OPTION A1 49=Y 95=Y 140=%EA%B2%B0%EC%9E%AC%EC%9A%94%EC%B2%AD$Approval$Shonin#a$b$c")
                        .substr(0, 2));
    const BarView view = LogIn(0x12);
    ASSERT_NE(nullptr, view.bar) << "no command bar";
    EXPECT_EQ(L"새 폴더", view.Text(IDC_MENU_NEW_FOLDER));
    EXPECT_TRUE(view.Visible(IDC_MENU_APPROVAL)) << "the approval request waited below the bar";
    EXPECT_EQ(L"결재요청", view.Text(IDC_MENU_APPROVAL));
    const RECT approval = view.Rect(IDC_MENU_APPROVAL);
    EXPECT_EQ(0, approval.top);
    EXPECT_EQ(view.Rect(IDC_MENU_NEW_FOLDER).right - 1, approval.left);
    EXPECT_EQ(approval.right - 1, view.Rect(IDC_MENU_UPLOAD).left);
    EXPECT_TRUE(view.Visible(IDC_MENU_DIRECT_EDIT));
    EXPECT_TRUE(ExitFromTray());
}
