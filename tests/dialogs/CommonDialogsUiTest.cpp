// The about, confirmation, disconnect and wait dialogs from their real templates, driven as a
// user drives them: texts per case, the typed-name confirmation, the answers, the button row
// that grows for long captions, and stopping the wait dialog after its owner is gone.
#include "AboutDlg.h"
#include "AutoAnswer.h"
#include "CommonDlgsRes.h"
#include "ConfirmDlg.h"
#include "DialogsTestSupport.h"
#include "DisconnectDlg.h"
#include "Framework.h"
#include "ProgressDlg.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>

namespace {

std::wstring Ui(unsigned id)
{
    return std::wstring(CToviString::GetString(id));
}

std::wstring Msg(unsigned id)
{
    return std::wstring(CToviMsg::GetString(id));
}

std::wstring g_opened;
void RecordLink(const wchar_t* address)
{
    g_opened = address;
}

class CommonDialogs : public dialogstest::DialogTest {
protected:
    // Runs a dialog of type D modally on the UI thread; returns its window once it is up.
    template <class D>
    HWND Open(const wchar_t* title, std::function<void(D&)> configure, D** object = nullptr)
    {
        m_result = -100;
        m_task = ui.Post([this, configure] {
            D dlg(nullptr);
            configure(dlg);
            m_result = (int)dlg.DoModal();
        });
        HWND hwnd = uitest::WaitForDialog(title);
        if (hwnd && object)
            ui.Run([&] { *object = dynamic_cast<D*>(CWnd::FromHandlePermanent(hwnd)); });
        return hwnd;
    }
    int Result()
    {
        EXPECT_TRUE(m_task && m_task->Wait(5000));
        return m_result;
    }
    std::wstring Text(HWND dlg, int id) { return uitest::GetText(::GetDlgItem(dlg, id)); }
    CRect ClientItemRect(HWND dlg, int id)
    {
        CRect rc;
        ::GetWindowRect(::GetDlgItem(dlg, id), &rc);
        ::MapWindowPoints(nullptr, dlg, (LPPOINT)&rc, 2);
        return rc;
    }

    volatile int m_result = -100;
    std::shared_ptr<uitest::UiTask> m_task;
};

TEST_F(CommonDialogs, ConfirmationTitlesAndTextsFollowTheCase)
{
    struct Row {
        const char* what;
        int mode, count;
        BYTE inTrash, otherPlace;
        bool notice;
        const char* type;
        std::wstring title, text;
    };
    auto kindTitle = [](unsigned kind, unsigned word) { return Ui(kind) + L" " + Ui(word); };
    auto kindText = [](unsigned kind, const wchar_t* name, unsigned message) {
        return Ui(kind) + L" '" + name + L"' " + Msg(message);
    };
    auto counted = [](unsigned message, int count) {
        CString text;
        text.Format(CToviMsg::GetString(message), count);
        return std::wstring(text);
    };
    CString typed;
    typed.Format(CToviString::GetString(12132), L"a.txt");
    const Row rows[] = {
        { "delete one file", 0, 1, 0, 0, false, "F", kindTitle(14069, 14049), kindText(14069, L"a.txt", 12011) },
        { "delete one folder from the bin", 0, 1, 1, 0, false, "D", kindTitle(14068, 14159),
          kindText(14068, L"a.txt", 12010) },
        { "delete three from the bin", 0, 3, 1, 0, false, "F", Ui(14160), counted(12012, 3) },
        { "delete three", 0, 3, 0, 0, false, "F", Ui(14067), counted(12013, 3) },
        { "delete nothing", 0, 0, 0, 0, false, "F", Ui(14061), L"" },
        { "other place notice", 0, 1, 0, 1, true, "F", Ui(14049), Msg(12062) },
        { "other place, one file", 0, 1, 1, 1, false, "F", kindTitle(14069, 14159), kindText(14069, L"a.txt", 12011) },
        { "other place, two", 0, 2, 0, 1, false, "F", Ui(14049), counted(12013, 2) },
        { "restore one", 1, 1, 0, 0, false, "F", kindTitle(14069, 14045), kindText(14069, L"a.txt", 12014) },
        { "restore five", 1, 5, 0, 0, false, "F", Ui(14070), counted(12015, 5) },
        { "restore none", 1, 0, 0, 0, false, "F", Ui(14070), counted(12015, 0) },
        { "typed name", 2, 1, 0, 0, false, "D", Ui(14263) + L" " + Ui(14159), std::wstring(typed) },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CConfirmDlg* dlg = nullptr;
        HWND hwnd = Open<CConfirmDlg>(L"Corvane IXO Confirm", [&row](CConfirmDlg& d) {
            d.m_nMode = row.mode;
            d.m_nCount = row.count;
            d.m_bInTrash = row.inTrash;
            d.m_bOtherPlace = row.otherPlace;
            d.m_bNotice = row.notice;
            d.m_szType[0] = row.type[0];
            wcscpy(d.m_szName, L"a.txt");
        }, &dlg);
        ASSERT_NE(hwnd, nullptr);
        ASSERT_NE(dlg, nullptr);
        CString title;
        dlg->GetTitleBar(title);
        EXPECT_EQ(std::wstring(title), row.title);
        EXPECT_EQ(Text(hwnd, IDC_CONFIRM_TEXT), row.text);
        const bool typedMode = row.mode == 2;
        EXPECT_EQ(Text(hwnd, IDOK), Ui(typedMode ? 14061 : 14078));
        EXPECT_EQ(Text(hwnd, IDCANCEL), Ui(typedMode ? 14064 : 14079));
        EXPECT_EQ(::IsWindowVisible(::GetDlgItem(hwnd, IDC_CONFIRM_NAME)) != FALSE, typedMode);
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hwnd, IDC_CONFIRM_FRAME)));
        uitest::ClickButton(hwnd, IDC_SYSBTN_CLOSE);
        EXPECT_EQ(Result(), IDCANCEL);
        EXPECT_TRUE(uitest::WaitForWindowGone(hwnd));
    }
}

TEST_F(CommonDialogs, ConfirmationOutsideTheTypedModeAcceptsAtOnce)
{
    HWND hwnd = Open<CConfirmDlg>(L"Corvane IXO Confirm", [](CConfirmDlg& d) { d.m_nCount = 2; });
    ASSERT_NE(hwnd, nullptr);
    uitest::ClickButton(hwnd, IDOK);
    EXPECT_EQ(Result(), IDOK);
}

TEST_F(CommonDialogs, TypedConfirmationWaitsForTheNameInAnyCase)
{
    CConfirmDlg* dlg = nullptr;
    HWND hwnd = Open<CConfirmDlg>(L"Corvane IXO Confirm", [](CConfirmDlg& d) {
        d.m_nMode = CConfirmDlg::kModeTypeName;
        d.m_nCount = 1;
        wcscpy(d.m_szName, L"Report");
    }, &dlg);
    ASSERT_NE(hwnd, nullptr);
    HWND edit = ::GetDlgItem(hwnd, IDC_CONFIRM_NAME);
    CRect client;
    ::GetClientRect(hwnd, &client);
    CRect label = ClientItemRect(hwnd, IDC_CONFIRM_NAME_LABEL), field = ClientItemRect(hwnd, IDC_CONFIRM_NAME);
    EXPECT_EQ(label.TopLeft(), CPoint(22, client.bottom - 70));
    EXPECT_EQ(label.Height(), 15);
    EXPECT_EQ(field.top, client.bottom - 73);
    EXPECT_EQ(field.Size(), CSize(120, 20));
    EXPECT_GE(field.left, 122);
    // The label's text is never hidden under the field.
    HWND labelWnd = ::GetDlgItem(hwnd, IDC_CONFIRM_NAME_LABEL);
    HDC dc = ::GetDC(labelWnd);
    HGDIOBJ old = ::SelectObject(dc, (HFONT)::SendMessageW(labelWnd, WM_GETFONT, 0, 0));
    std::wstring labelText = uitest::GetText(labelWnd);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, labelText.c_str(), (int)labelText.size(), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(labelWnd, dc);
    EXPECT_LE(label.left + size.cx, field.left);
    EXPECT_LE(label.right, field.left);
    EXPECT_EQ(Text(hwnd, IDC_CONFIRM_NAME_LABEL), Ui(14263) + L" " + Ui(14000) + L" : ");

    uitest::AutoAnswer answer(L"Corvane IXO MessageBox", IDOK);
    const struct { const wchar_t* typed; unsigned message; } refusals[] = { { L"", 12040 }, { L"Reports", 12134 } };
    int seen = 0;
    for (const auto& refusal : refusals) {
        uitest::SetText(edit, refusal.typed);
        uitest::ClickButton(hwnd, IDOK);
        ASSERT_TRUE(answer.WaitForCount(++seen));
        auto texts = answer.Seen().back().texts;
        EXPECT_NE(std::find(texts.begin(), texts.end(), Msg(refusal.message)), texts.end()) << refusal.message;
        ui.Run([] {});
        EXPECT_TRUE(::IsWindow(hwnd));
        EXPECT_FALSE(m_task->Done());
    }
    uitest::SetText(edit, L"rEPORT");
    uitest::ClickButton(hwnd, IDOK);
    EXPECT_EQ(Result(), IDOK);
    EXPECT_EQ(answer.Count(), seen);
}

TEST_F(CommonDialogs, DisconnectAnswersWithItsResult)
{
    const struct { int button; int result; int choice; } rows[] = {
        { IDC_DISCONNECT_DRIVE, IDOK, CDisconnectDlg::kResultDisconnect },
        { IDC_DISCONNECT_EXPLORER, IDOK, CDisconnectDlg::kResultExplorer },
        { IDCANCEL, IDCANCEL, CDisconnectDlg::kResultNone },
        { IDC_SYSBTN_CLOSE, IDCANCEL, CDisconnectDlg::kResultNone },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        auto choice = std::make_shared<int>(-1);
        m_result = -100;
        m_task = ui.Post([this, choice] {
            CDisconnectDlg dlg(nullptr);
            m_result = (int)dlg.DoModal();
            *choice = dlg.m_nResult;
        });
        HWND hwnd = uitest::WaitForDialog(L"Corvane Drive IXO Disconnect");
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(Text(hwnd, IDC_DISCONNECT_HEADING), Ui(14081));
        EXPECT_EQ(Text(hwnd, IDC_DISCONNECT_LINE1), Msg(12017));
        EXPECT_EQ(Text(hwnd, IDC_DISCONNECT_EXPLORER), Ui(14082));
        uitest::ClickButton(hwnd, row.button);
        EXPECT_EQ(Result(), row.result);
        EXPECT_EQ(*choice, row.choice);
    }
}

TEST_F(CommonDialogs, DisconnectButtonsShareTheRowWithoutOverlapping)
{
    HWND hwnd = Open<CDisconnectDlg>(L"Corvane Drive IXO Disconnect", [](CDisconnectDlg&) {});
    ASSERT_NE(hwnd, nullptr);
    CRect client;
    ::GetClientRect(hwnd, &client);
    CRect a = ClientItemRect(hwnd, IDC_DISCONNECT_DRIVE), b = ClientItemRect(hwnd, IDCANCEL),
          c = ClientItemRect(hwnd, IDC_DISCONNECT_EXPLORER);
    EXPECT_EQ(a.left, 10);
    EXPECT_EQ(b.left, a.right + 3);
    EXPECT_EQ(c.left, b.right + 3);
    EXPECT_LE(c.right, client.right - 10);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(b.top, c.top);
    // In the footer band below the texts.
    EXPECT_GE(a.top, client.bottom - 36);
    EXPECT_LE(a.bottom, client.bottom);
    uitest::SendKey(hwnd, VK_ESCAPE);
    EXPECT_EQ(Result(), IDCANCEL);
}

TEST(DisconnectRow, SpareNeverGoesNegativeAndTheDialogGrowsInstead)
{
    const struct { int client, w1, w2, w3, spare, grow; } rows[] = {
        { 400, 100, 100, 100, 24, 0 },
        { 362, 100, 100, 100, 12, 0 },
        { 361, 100, 100, 100, 12, 1 },
        { 300, 100, 100, 100, 12, 62 },
        { 100, 200, 150, 300, 12, 612 },
    };
    for (const auto& row : rows) {
        int grow = -1;
        EXPECT_EQ(CDisconnectDlg::ButtonSpare(row.client, row.w1, row.w2, row.w3, &grow), row.spare) << row.client;
        EXPECT_EQ(grow, row.grow) << row.client;
        // The row then fits: margins, gaps and every button's caption with its share.
        EXPECT_EQ(row.client + grow >= row.w1 + row.w2 + row.w3 + 26 + 3 * row.spare, true) << row.client;
    }
}

TEST_F(CommonDialogs, AboutShowsTheVersionsAndOpensTheHomePage)
{
    g_opened.clear();
    CAboutDlg::s_pfnOpenLink = RecordLink;
    HWND hwnd = Open<CAboutDlg>(L"Corvane IXO About", [](CAboutDlg& d) { strcpy(d.m_szServerVersion, "5.1.2"); });
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Text(hwnd, IDC_ABOUT_SERVER_VERSION), L"Corvane IXO Version 5.1.2");
    EXPECT_EQ(Text(hwnd, IDC_ABOUT_HOME_LABEL), Ui(14225));
    EXPECT_EQ(Text(hwnd, IDC_ABOUT_HOME_LINK), std::wstring(CAboutDlg::kHomePage));
    CRect label = ClientItemRect(hwnd, IDC_ABOUT_HOME_LABEL), link = ClientItemRect(hwnd, IDC_ABOUT_HOME_LINK);
    EXPECT_GT(link.left, label.right);
    EXPECT_LT(link.left, label.right + 12);
    HWND linkWnd = ::GetDlgItem(hwnd, IDC_ABOUT_HOME_LINK);
    ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_HOME_LINK, STN_CLICKED), (LPARAM)linkWnd);
    EXPECT_TRUE(uitest::WaitUntil([] { return !g_opened.empty(); }));
    EXPECT_EQ(g_opened, std::wstring(CAboutDlg::kHomePage));
    uitest::ClickButton(hwnd, IDOK);
    EXPECT_EQ(Result(), IDOK);
    CAboutDlg::s_pfnOpenLink = nullptr;
}

TEST(AboutLines, ServerVersionIsAppendedOnlyWhenKnown)
{
    EXPECT_STREQ(CAboutDlg::ServerVersionLine("7.0.3"), L"Corvane IXO Version 7.0.3");
    EXPECT_STREQ(CAboutDlg::ServerVersionLine(""), L"Corvane IXO Version ");
    EXPECT_STREQ(CAboutDlg::ServerVersionLine(nullptr), L"Corvane IXO Version ");
    EXPECT_STREQ(CAboutDlg::ClientVersionLine(L"C:\\no\\such\\file.exe"), L"");
}

TEST_F(CommonDialogs, TheWaitDialogShowsItsLineAndStopsEvenAfterItsOwnerIsGone)
{
    HWND owner = nullptr;
    CProgressDlg* progress = nullptr;
    HWND hwnd = nullptr;
    CWnd ownerWnd;
    ui.Run([&] {
        owner = ::CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr, nullptr,
                                  nullptr);
        ownerWnd.Attach(owner);
        progress = new CProgressDlg(&ownerWnd);
        ASSERT_TRUE(progress->Create());
        progress->ShowWindow(SW_SHOW);
        hwnd = progress->m_hWnd;
    });
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Text(hwnd, IDC_PROGRESS_TEXT), Msg(12057));
    EXPECT_TRUE(CProgressDlg::IsAlive(progress));
    ui.Run([&] { progress->StartProgress(L"Uploading report.docx"); });
    EXPECT_EQ(Text(hwnd, IDC_PROGRESS_TEXT), L"Uploading report.docx");

    // The owner goes first and takes the dialog with it; a late stop is harmless.
    ui.Run([&] {
        ownerWnd.Detach();
        ::DestroyWindow(owner);
    });
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(CProgressDlg::IsAlive(progress));
    bool stopped = true;
    ui.Run([&] { stopped = CProgressDlg::StopProgress(progress); });
    EXPECT_FALSE(stopped);

    // A live one stops and deletes itself.
    ui.Run([&] {
        progress = new CProgressDlg(nullptr);
        ASSERT_TRUE(progress->Create());
        hwnd = progress->m_hWnd;
        stopped = CProgressDlg::StopProgress(progress);
    });
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(CProgressDlg::IsAlive(progress));
}

}
