// The web pop-up as its owners meet it: created from its template with a stand-in main window
// and a recording browser, driven by the page's requests and by the user's keys and closing.
#include "FakePopupHost.h"
#include "FileUtils.h"
#include "Framework.h"
#include "Library.h"
#include "PixelCapture.h"
#include "PopupDlg.h"
#include "PopupDlgRes.h"
#include "PopupView.h"
#include "SeamSwap.h"
#include "TestPaths.h"
#include "AutoAnswer.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <exdispid.h>
#include <memory>
#include <ole2.h>

using namespace popupfake;

namespace {

const wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded\r\n";

CString g_openedUrl;
int g_opened = 0;
void RecordOpen(const CString& url)
{
    g_openedUrl = url;
    ++g_opened;
}

class PopupDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        Log() = BrowserLog();
        Log().location = L"http://web.example/app/page.do";
        g_openedUrl.Empty();
        g_opened = 0;
        strcpy(host.proto.ServerAddress.szHost, "svc.example");
        host.proto.ServerAddress.WebServerAddress = L"http://web.example/";
        ui.SetPreTranslate(&AfxPreTranslateMessage);
        ui.Run([&] {
            ::OleInitialize(nullptr);
            CFileUtils::SetLocaleChange(0x09);
            owner = std::make_unique<RecorderWindow>(L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 1000, 700);
            splitter = std::make_unique<RecorderWindow>(L"splitter", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, owner->Hwnd());
            list = std::make_unique<RecorderWindow>(L"list", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, owner->Hwnd());
            host.splitter = splitter->Hwnd();
            host.listView = list->Hwnd();
        });
    }
    void TearDown() override
    {
        ui.Run([&] {
            if (popupHwnd && ::IsWindow(popupHwnd))
                ::DestroyWindow(popupHwnd);
            list.reset();
            splitter.reset();
            owner.reset();
            ::OleUninitialize();
        });
        ToviInterfaceTerm();
    }

    // A modeless pop-up as the main window's browser view makes it.
    CPopupDlg* Open(int kind, const wchar_t* param = L"link=a&uid=kim&sess=S1", const wchar_t* site = L"")
    {
        CPopupDlg* dlg = nullptr;
        ui.Run([&] {
            dlg = new CPopupDlg(CWnd::FromHandle(owner->Hwnd()));
            dlg->m_nPopupKind = kind;
            dlg->m_strUrl = L"http://web.example/app/open.do";
            dlg->m_strParam = param;
            dlg->m_strSiteCode = site;
            dlg->m_pHost = &host;
            if (!dlg->Create(CPopupDlg::IDD, CWnd::FromHandle(owner->Hwnd())))
                dlg = nullptr;
            else
                popupHwnd = dlg->m_hWnd;
        });
        return dlg;
    }
    // The page asks for a content size, as the browser reports it.
    void PageAsksFor(CPopupDlg* dlg, long cx, long cy)
    {
        ui.Run([&] {
            VARIANT size[2];
            size[1].vt = VT_BYREF | VT_I4;
            size[1].plVal = &cx;
            size[0].vt = VT_BYREF | VT_I4;
            size[0].plVal = &cy;
            DISPPARAMS p = { size, nullptr, 2, 0 };
            dlg->GetView()->GetEventSink()->Invoke(DISPID_CLIENTTOHOSTWINDOW, IID_NULL, 0, DISPATCH_METHOD, &p,
                                                   nullptr, nullptr, nullptr);
        });
        ui.Run([] {});   // the posted request is handled
    }
    CRect WindowRect(HWND hwnd)
    {
        CRect rc;
        ::GetWindowRect(hwnd, &rc);
        return rc;
    }

    testseam::Swap<CHtmlView::BrowserFactory> m_browser{CHtmlView::s_pfnBrowserFactory, &RecordingBrowser::Make};
    testseam::Swap<CPopupDlg::UrlOpener> m_openUrl{CPopupDlg::s_pfnOpenUrl, &RecordOpen};
    uitest::UiThread ui;
    FakePopupHost host;
    std::unique_ptr<RecorderWindow> owner, splitter, list;
    HWND popupHwnd = nullptr;
};

TEST_F(PopupDlgTest, APagesSizeRequestCentresThePopupOnItsOwnerAndPostsTheFormOnce)
{
    CPopupDlg* dlg = Open(10);
    ASSERT_NE(nullptr, dlg);
    EXPECT_TRUE(Log().navigations.empty()) << "nothing is posted before the page asks";
    PageAsksFor(dlg, 800, 600);
    EXPECT_EQ(CRect(196, 128, 196 + 808, 128 + 644), WindowRect(popupHwnd));
    EXPECT_TRUE(::IsWindowVisible(popupHwnd));
    ASSERT_EQ(1u, Log().navigations.size());
    EXPECT_EQ(L"http://web.example/app/open.do", Log().navigations[0].url);
    EXPECT_EQ(L"appWebLink", Log().navigations[0].target);
    EXPECT_EQ(kFormHeader, Log().navigations[0].headers);
    EXPECT_EQ("link=a&uid=kim&sess=S1", Log().navigations[0].body);
    EXPECT_EQ(1, Log().stops);
    // Later size requests move the window; the form is not sent again.
    PageAsksFor(dlg, 600, 400);
    EXPECT_EQ(1u, Log().navigations.size());
    EXPECT_EQ(CRect(296, 228, 296 + 608, 228 + 444), WindowRect(popupHwnd));
    std::wstring title = uitest::GetText(popupHwnd);
    EXPECT_EQ(std::wstring(CToviString::GetString(14243).GetString()), title);
}

TEST_F(PopupDlgTest, ResizeGeometryFollowsTheOwnerAndStaysOnTheScreen)
{
    struct Row {
        CRect parent;
        int w, h, kind;
        CRect expected;
    } rows[] = {
        { CRect(100, 100, 1100, 800), 800, 600, 10, CRect(196, 128, 1004, 772) },
        // The parent is narrower: the pop-up sticks out on both sides.
        { CRect(300, 300, 500, 500), 392, 156, 8, CRect(200, 300, 600, 500) },
        // Off the left and top edges: pinned to 0.
        { CRect(0, 0, 200, 200), 792, 556, 8, CRect(0, 0, 800, 600) },
        // Past the right and bottom edges: moved back onto the screen.
        { CRect(1100, 900, 1280, 1024), 392, 256, 8, CRect(880, 724, 1280, 1024) },
        // Kind 7 keeps three more rows for its page.
        { CRect(100, 100, 1100, 800), 800, 600, 7, CRect(196, 126, 1004, 773) },
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.expected, CPopupDlg::ResizeRect(r.parent, r.w, r.h, r.kind, CSize(1280, 1024)))
            << "kind " << r.kind << " page " << r.w << "x" << r.h;
}

TEST_F(PopupDlgTest, KindsWithoutATargetFrameOrAFormPostNothing)
{
    CPopupDlg* dlg = Open(7);
    ASSERT_NE(nullptr, dlg);
    PageAsksFor(dlg, 400, 300);
    ui.Run([&] { dlg->SetNavigateData(); });
    EXPECT_TRUE(Log().navigations.empty());
    ui.Run([&] { ::DestroyWindow(popupHwnd); });

    dlg = Open(8, L"");
    ASSERT_NE(nullptr, dlg);
    ui.Run([&] { dlg->SetNavigateData(); });
    PageAsksFor(dlg, 400, 300);
    EXPECT_TRUE(Log().navigations.empty()) << "no body, no post";
}

TEST_F(PopupDlgTest, TheDeletionApprovalListIsAlways428By420)
{
    CPopupDlg* dlg = Open(15);
    ASSERT_NE(nullptr, dlg);
    PageAsksFor(dlg, 800, 600);
    CRect rc = WindowRect(popupHwnd);
    EXPECT_EQ(428, rc.Width());
    EXPECT_EQ(420, rc.Height());
    ASSERT_EQ(1u, Log().navigations.size());
    EXPECT_EQ(L"appApprovalDelList", Log().navigations[0].target);
}

TEST_F(PopupDlgTest, ClosingTellsTheOwnerAndRefreshesTheListWhenApprovalsAreOn)
{
    strcpy(host.proto.OptionInfo.PrivacyModel, "Y");
    CPopupDlg* dlg = Open(6);
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ(std::wstring(CToviString::GetString(14254).GetString()), uitest::GetText(popupHwnd));
    ASSERT_TRUE(uitest::CloseWindow(popupHwnd));
    ASSERT_TRUE(uitest::WaitForWindowGone(popupHwnd));
    // The pop-up tells its owner after its window is gone.
    EXPECT_TRUE(uitest::WaitUntil([&] { return !owner->Of(WM_POPUP_CLOSED).empty(); }));
    auto closed = owner->Of(WM_POPUP_CLOSED);
    ASSERT_EQ(1u, closed.size());
    EXPECT_EQ(0u, closed[0].wParam);
    EXPECT_EQ(6, (int)closed[0].lParam);
    EXPECT_EQ(1u, list->Of(WM_APPROVAL_REFRESH).size());
}

TEST_F(PopupDlgTest, APopupThatOutlivesTheViewsAtShutDownSendsNothingToThem)
{
    strcpy(host.proto.OptionInfo.PrivacyModel, "Y");
    CPopupDlg* dlg = Open(6);
    ASSERT_NE(nullptr, dlg);
    ui.Run([&] {
        list.reset();       // the views went first
        splitter.reset();
        ::DestroyWindow(popupHwnd);
    });
    EXPECT_FALSE(::IsWindow(popupHwnd));
    EXPECT_TRUE(uitest::WaitUntil([&] { return !owner->Of(WM_POPUP_CLOSED).empty(); }));
    EXPECT_EQ(1u, owner->Of(WM_POPUP_CLOSED).size());
}

TEST_F(PopupDlgTest, TheApprovalListStaysOpenWhileItsApprovalIsUnfinished)
{
    CPopupDlg* dlg = Open(15);
    ASSERT_NE(nullptr, dlg);
    std::unique_ptr<RecorderWindow> approval;
    ui.Run([&] {
        approval = std::make_unique<RecorderWindow>(CToviString::GetString(14254).GetString(),
                                                    WS_OVERLAPPEDWINDOW, 0, 0, 300, 200);
    });
    {
        uitest::AutoAnswer answer(L"Corvane IXO MessageBox", IDOK);
        ASSERT_TRUE(uitest::CloseWindow(popupHwnd));
        ASSERT_TRUE(answer.WaitForCount(1, 10000));
        auto seen = answer.Seen();
        ASSERT_EQ(1u, seen.size());
        bool warned = false;
        for (const auto& t : seen[0].texts)
            warned = warned || t.find(L"결재 프로세스를 완료해 주십시오.") != std::wstring::npos;
        EXPECT_TRUE(warned);
        EXPECT_FALSE(uitest::WaitUntil([&] { return !::IsWindow(popupHwnd); }, 1500))
            << "the list must stay while the approval runs";
        EXPECT_TRUE(owner->Of(WM_POPUP_CLOSED).empty());
    }
    ui.Run([&] { approval.reset(); });
    ASSERT_TRUE(uitest::CloseWindow(popupHwnd));
    EXPECT_TRUE(uitest::WaitForWindowGone(popupHwnd));
}

TEST_F(PopupDlgTest, ApprovedFileIndexesGoToTheSplitter)
{
    CPopupDlg* dlg = Open(6);
    ASSERT_NE(nullptr, dlg);
    ui.Run([&] { dlg->GetView()->GetExternal()->CallByName(L"SetDelScheduleFiles", { L"3,4,9" }); });
    auto got = splitter->Of(WM_UPLOAD_APPROVAL);
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(L"3,4,9", got[0].text);
}

TEST_F(PopupDlgTest, DoNotShowAgainStoresTheTimeOfTheChoice)
{
    CPopupDlg* dlg = Open(6);
    ASSERT_NE(nullptr, dlg);
    ASSERT_TRUE(CToviRegistry::SetDelScheduleTime(L"none"));
    ui.Run([&] { dlg->GetView()->GetExternal()->CallByName(L"SetDoNotShowPopup", { L"N" }); });
    CString stored;
    ASSERT_TRUE(CToviRegistry::GetDelScheduleTime(stored));
    EXPECT_EQ(CString(L"none"), stored);
    SYSTEMTIME before;
    ::GetLocalTime(&before);
    ui.Run([&] { dlg->GetView()->GetExternal()->CallByName(L"SetDoNotShowPopup", { L"Y" }); });
    ASSERT_TRUE(CToviRegistry::GetDelScheduleTime(stored));
    // "yyyy/mm/dd/hh/mm/ss", local time.
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    ASSERT_EQ(6, swscanf(stored.GetString(), L"%4d/%2d/%2d/%2d/%2d/%2d", &y, &mo, &d, &h, &mi, &sec))
        << CStringA(stored).GetString();
    EXPECT_EQ(19, stored.GetLength());
    EXPECT_EQ((int)before.wYear, y);
    EXPECT_EQ((int)before.wMonth, mo);
}

TEST_F(PopupDlgTest, CtrlShiftHOpensTheLogPackageOnTheWebServer)
{
    CPopupDlg* dlg = Open(10);
    ASSERT_NE(nullptr, dlg);
    auto press = [&](bool ctrl, bool shift) {
        ui.Run([&] {
            BYTE keys[256] = {};
            ::GetKeyboardState(keys);
            keys[VK_CONTROL] = ctrl ? 0x80 : 0;
            keys[VK_SHIFT] = shift ? 0x80 : 0;
            ::SetKeyboardState(keys);
        });
        uitest::SendKey(popupHwnd, 'H');
        ui.Run([] {});
        ui.Run([] {});
    };
    press(true, false);
    EXPECT_EQ(0, g_opened);
    press(true, true);
    EXPECT_EQ(1, g_opened);
    EXPECT_EQ(CString(L"http://web.example/cab/Logger.zip.enc"), g_openedUrl);
    press(false, false);

    struct Row {
        const wchar_t* server;
        const wchar_t* url;
    } rows[] = {
        { L"http://web.example", L"http://web.example/cab/Logger.zip.enc" },
        { L"http://web.example/", L"http://web.example/cab/Logger.zip.enc" },
        { L"http://web.example:8080//", L"http://web.example:8080/cab/Logger.zip.enc" },
        { L"", L"" },
    };
    for (const Row& r : rows)
        EXPECT_EQ(CString(r.url), CPopupDlg::LogPackageUrl(r.server)) << CStringA(r.server).GetString();
}

TEST_F(PopupDlgTest, AModalPopupPostsItsOwnFormAndClosesWithItsCloseButton)
{
    INT_PTR result = 0;
    auto task = ui.Post([&] {
        CPopupDlg dlg(CWnd::FromHandle(owner->Hwnd()));
        dlg.m_nOpenMode = CPopupDlg::kModeModal;
        dlg.m_nPopupKind = 4;
        dlg.m_strUrl = L"http://web.example/usage.do";
        dlg.m_strParam = L"uid=kim&sess=S1";
        dlg.m_pHost = &host;
        result = dlg.DoModal();
    });
    HWND modal = uitest::WaitForDialog(CToviString::GetString(14062).GetString());
    ASSERT_NE(nullptr, modal);
    CRect rc = WindowRect(modal);
    EXPECT_EQ(808, rc.Width());
    EXPECT_EQ(644, rc.Height());
    ASSERT_EQ(1u, Log().navigations.size());
    EXPECT_EQ(L"http://web.example/usage.do", Log().navigations[0].url);
    EXPECT_EQ(L"", Log().navigations[0].target);
    EXPECT_EQ(kFormHeader, Log().navigations[0].headers);
    EXPECT_EQ("uid=kim&sess=S1", Log().navigations[0].body);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(modal, IDC_SYSBTN_MINIMIZE)));
    ASSERT_TRUE(uitest::ClickButton(modal, IDC_SYSBTN_CLOSE));
    ASSERT_TRUE(task->Wait());
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(owner->Of(WM_POPUP_CLOSED).empty()) << "a modal pop-up has no owner to tell";
}

TEST_F(PopupDlgTest, ScreenshotsOfTheFrame)
{
    static const std::wstring dir = testpaths::ScratchDir(L"PopupDlgUiTest");
    for (unsigned short language : { 0x12, 0x09 }) {
        ui.Run([&] { CFileUtils::SetLocaleChange(language); });
        CPopupDlg* dlg = Open(10);
        ASSERT_NE(nullptr, dlg);
        PageAsksFor(dlg, 480, 300);
        uitest::Pixels shot = uitest::CaptureWindow(popupHwnd, 1000);
        ASSERT_FALSE(shot.Empty());
        // The caption band and the body under the (empty) page area.
        const int f = ::GetSystemMetrics(SM_CXFRAME) + 1;
        COLORREF band = shot.At(f + 40, f + 12);
        EXPECT_GT(GetBValue(band), GetRValue(band)) << "blue caption band";
        // Down the client's left edge above the page: the caption band and its two lines, in the
        // palette of every skinned window; the frame's light top row above them.
        RECT window = {};
        POINT origin = {0, 0};
        ::GetWindowRect(popupHwnd, &window);
        ::ClientToScreen(popupHwnd, &origin);
        const int x = origin.x - window.left + 2, top = origin.y - window.top;
        EXPECT_EQ(RGB(0x7B, 0xA2, 0xD0), shot.At(x, top)) << "caption band's top row";
        EXPECT_EQ(RGB(0x38, 0x64, 0x9A), shot.At(x, top + 24)) << "first line under the band";
        EXPECT_EQ(RGB(0x2E, 0x51, 0x7C), shot.At(x, top + 25)) << "second line under the band";
        EXPECT_EQ(RGB(0xAC, 0xC5, 0xE1), shot.At(40, 1)) << "the frame's light top row";
        uitest::SavePng(shot, dir + (language == 0x12 ? L"\\popup-ko.png" : L"\\popup-en.png"));
        ui.Run([&] { ::DestroyWindow(popupHwnd); });
    }
}

}
