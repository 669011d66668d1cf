// The web view of the pop-up and the log-in windows: window.external as a page calls it, the
// browser's size and close requests, and the host site's answers to the browser. The view
// lives in a window that records what the view reports; the browser is a recorder.
#include "CustomControlSite.h"
#include "CustomOccManager.h"
#include "FakePopupHost.h"
#include "FileUtils.h"
#include "Framework.h"
#include "Library.h"
#include "PopupView.h"
#include "SeamSwap.h"
#include "TraceCapture.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <memory>
#include <ole2.h>

using namespace popupfake;

namespace {

class PopupViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        Log() = BrowserLog();
        Log().location = L"http://svc.example:8080/web/login.do";
        ui.Run([&] {
            ::OleInitialize(nullptr);
            parent = std::make_unique<RecorderWindow>(L"login", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 500, 400);
            view = new CPopupView;
            view->AddTrustedHost(L"SVC.example");
            ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 480, 360),
                                     CWnd::FromHandle(parent->Hwnd()), AFX_IDW_PANE_FIRST));
        });
    }
    void TearDown() override
    {
        ui.Run([&] {
            parent.reset();   // destroys the view, which deletes itself
            ::OleUninitialize();
        });
        ToviInterfaceTerm();
    }
    // A page's call of window.external.<name>(args...); the result's text.
    std::wstring Call(const wchar_t* name, std::vector<std::wstring> args = {}, HRESULT* hr = nullptr)
    {
        std::wstring result;
        HRESULT r = E_FAIL;
        ui.Run([&] { r = view->GetExternal()->CallByName(name, args, &result); });
        if (hr)
            *hr = r;
        return result;
    }
    // The parent's messages once the posted ones arrived.
    std::vector<Received> Settled()
    {
        ui.Run([] {});
        ui.Run([] {});
        return parent->Messages();
    }
    testseam::Swap<CHtmlView::BrowserFactory> m_browser{CHtmlView::s_pfnBrowserFactory, &RecordingBrowser::Make};
    uitest::UiThread ui;
    std::unique_ptr<RecorderWindow> parent;
    CPopupView* view = nullptr;
};

TEST_F(PopupViewTest, SetLanguageTakesOnlyTwoLetterCodes)
{
    Call(L"SetLanguage", { L"eng" });
    EXPECT_TRUE(Settled().empty());
    EXPECT_EQ(CString(L"ko"), view->m_strLanguage);
    Call(L"SetLanguage", { L"en" });
    auto got = Settled();
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ((UINT)WM_SET_LANGUAGE, got[0].message);
    EXPECT_EQ(CString(L"en"), view->m_strLanguage);
}

TEST_F(PopupViewTest, LoginResultsBecomeASessionOrAnSmsLogin)
{
    struct Row {
        const wchar_t* text;
        UINT message;              // 0: nothing reaches the parent
        const wchar_t* session;    // the view's session id afterwards
        const wchar_t* user;       // the user id handed over with WM_LOGIN_SMS
    } rows[] = {
        { L"A1B2C3", WM_SET_LOGIN_RESULT, L"A1B2C3", L"" },
        { L"SMS|sess42|kim", WM_LOGIN_SMS, L"sess42", L"kim" },
        { L"sms|s|u", WM_LOGIN_SMS, L"s", L"u" },
        { L"SMS|a|b|lee", WM_LOGIN_SMS, L"a|b", L"lee" },
        // Malformed SMS results are refused: no second separator, or an empty part.
        { L"SMS|onlyone", 0, L"", L"" },
        { L"SMS||kim", 0, L"", L"" },
        { L"SMS|sess|", 0, L"", L"" },
        { L"SMS|", 0, L"", L"" },
    };
    for (const Row& row : rows) {
        parent->Clear();
        view->m_strSessionId.Empty();
        Call(L"SetLoginResult", { row.text });
        auto got = Settled();
        if (row.message == 0) {
            EXPECT_TRUE(got.empty()) << "input " << CStringA(row.text).GetString();
        } else {
            ASSERT_EQ(1u, got.size()) << "input " << CStringA(row.text).GetString();
            EXPECT_EQ(row.message, got[0].message) << "input " << CStringA(row.text).GetString();
            EXPECT_EQ(std::wstring(row.user), got[0].text) << "input " << CStringA(row.text).GetString();
        }
        EXPECT_EQ(CString(row.session), view->m_strSessionId) << "input " << CStringA(row.text).GetString();
    }
}

TEST_F(PopupViewTest, YesAnswersReachTheParentInAnyCase)
{
    struct Row {
        const wchar_t* method;
        const wchar_t* text;
        UINT message;
    } rows[] = {
        { L"SetSmsResult", L"y", WM_SET_SMS_RESULT },
        { L"SetSmsResult", L"Y", WM_SET_SMS_RESULT },
        { L"SetSmsResult", L"N", 0 },
        { L"SetSmsResult", L"Yes", 0 },
        { L"SetDoNotShowPopup", L"y", WM_SET_DO_NOT_SHOW_POPUP },
        { L"SetDoNotShowPopup", L"N", 0 },
    };
    for (const Row& row : rows) {
        parent->Clear();
        Call(row.method, { row.text });
        auto got = Settled();
        if (row.message == 0) {
            EXPECT_TRUE(got.empty()) << CStringA(row.method).GetString() << " " << CStringA(row.text).GetString();
        } else {
            ASSERT_EQ(1u, got.size()) << CStringA(row.method).GetString() << " " << CStringA(row.text).GetString();
            EXPECT_EQ(row.message, got[0].message);
        }
    }
}

TEST_F(PopupViewTest, FileIndexesAndTheMacListGoWhereTheyBelong)
{
    Call(L"SetDelScheduleFiles", { L"12,15,18" });
    auto got = Settled();
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ((UINT)WM_SET_DEL_SCHEDULE_FILES, got[0].message);
    EXPECT_EQ(L"12,15,18", got[0].text);
    EXPECT_EQ(std::wstring(CFileUtils::GetMacList().GetString()), Call(L"SetMacAddress"));
}

TEST_F(PopupViewTest, PagesOfOtherHostsCannotUseTheExternalMethods)
{
    uitest::TraceCapture trace;
    const wchar_t* untrusted[] = {
        L"http://evil.example/steal.html",
        L"http://svc.example.evil.example/x",      // looks alike, is not the service
        L"https://evil.example/?u=http://svc.example/",
        L"file:///C:/page.html",
        L"about:blank",
        L"",
    };
    for (const wchar_t* url : untrusted) {
        Log().location = url;
        parent->Clear();
        Call(L"SetLanguage", { L"en" });
        Call(L"SetLoginResult", { L"SMS|sess|kim" });
        Call(L"SetSmsResult", { L"Y" });
        Call(L"SetDelScheduleFiles", { L"1" });
        EXPECT_EQ(L"", Call(L"SetMacAddress")) << CStringA(url).GetString();
        EXPECT_TRUE(Settled().empty()) << CStringA(url).GetString();
        EXPECT_EQ(CString(L"ko"), view->m_strLanguage);
        EXPECT_TRUE(view->m_strSessionId.IsEmpty());
    }
    EXPECT_TRUE(trace.WaitForText(L"untrusted page ignored"));
    // The service's own pages, however they spell its address.
    for (const wchar_t* url : { L"http://SVC.EXAMPLE/a", L"https://user@svc.example:8443/b", L"http://svc.example" }) {
        Log().location = url;
        parent->Clear();
        Call(L"SetLanguage", { L"ja" });
        EXPECT_EQ(1u, Settled().size()) << CStringA(url).GetString();
    }
}

TEST_F(PopupViewTest, HostsAreReadFromAddresses)
{
    struct Row {
        const wchar_t* url;
        const wchar_t* host;
    } rows[] = {
        { L"http://Svc.Example:8080/a/b", L"svc.example" },
        { L"https://u:p@svc.example/x", L"svc.example" },
        { L"http://svc.example?x=http://a", L"svc.example" },
        { L"http://[::1]:80/", L"[::1]" },
        { L"ftp://svc.example/", L"" },
        { L"svc.example", L"" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(CString(row.host), CPopupView::HostOfUrl(row.url)) << CStringA(row.url).GetString();
}

HRESULT Fire(IDispatch* sink, DISPID id, VARIANT* args, UINT count)
{
    DISPPARAMS p = { args, nullptr, count, 0 };
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &p, nullptr, nullptr, nullptr);
}

TEST_F(PopupViewTest, ThePagesSizeAndCloseRequestsGoToTheParent)
{
    long cx = 800, cy = 600;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    ui.Run([&] {
        VARIANT size[2];
        size[1].vt = VT_BYREF | VT_I4;   // CX, the first argument, goes last
        size[1].plVal = &cx;
        size[0].vt = VT_BYREF | VT_I4;
        size[0].plVal = &cy;
        EXPECT_EQ(S_OK, Fire(view->GetEventSink(), DISPID_CLIENTTOHOSTWINDOW, size, 2));
        VARIANT closing[2];
        closing[1].vt = VT_BOOL;
        closing[1].boolVal = VARIANT_FALSE;
        closing[0].vt = VT_BYREF | VT_BOOL;
        closing[0].pboolVal = &cancel;
        EXPECT_EQ(S_OK, Fire(view->GetEventSink(), DISPID_WINDOWCLOSING, closing, 2));
    });
    EXPECT_EQ(800, view->m_nRequestWidth);
    EXPECT_EQ(600, view->m_nRequestHeight);
    EXPECT_EQ(VARIANT_TRUE, cancel) << "the browser must not close the window itself";
    auto got = Settled();
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ((UINT)WM_RESIZE_DIALOG, got[0].message);
    EXPECT_EQ((UINT)WM_CLOSE, got[1].message);
}

TEST_F(PopupViewTest, TheHostSiteAnswersTheBrowsersQuestions)
{
    ui.Run([&] {
        COleControlContainer container(view);
        container.SetExternal(view->GetExternal());
        CCustomOccManager manager;
        COleControlSite* site = manager.CreateSite(&container);
        container.AddSite(site);
        IDocHostUIHandler* handler = nullptr;
        ASSERT_EQ(S_OK, site->QueryInterface(IID_IDocHostUIHandler, (void**)&handler));

        DOCHOSTUIINFO info = { sizeof(info) };
        EXPECT_EQ(S_OK, handler->GetHostInfo(&info));
        EXPECT_EQ(12u, (unsigned)info.dwFlags);
        EXPECT_EQ(0u, (unsigned)info.dwDoubleClick);
        POINT pt = { 1, 1 };
        EXPECT_EQ(S_OK, handler->ShowContextMenu(0, &pt, nullptr, nullptr));
        EXPECT_EQ(S_OK, handler->ShowUI(0, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(S_OK, handler->HideUI());
        EXPECT_EQ(S_OK, handler->UpdateUI());
        MSG msg = {};
        EXPECT_EQ(S_FALSE, handler->TranslateAccelerator(&msg, nullptr, 0));
        EXPECT_EQ(E_NOTIMPL, handler->EnableModeless(TRUE));
        EXPECT_EQ(E_NOTIMPL, handler->OnDocWindowActivate(TRUE));
        EXPECT_EQ(E_NOTIMPL, handler->OnFrameWindowActivate(TRUE));
        EXPECT_EQ(E_NOTIMPL, handler->ResizeBorder(nullptr, nullptr, TRUE));
        LPOLESTR key = nullptr;
        EXPECT_EQ(E_NOTIMPL, handler->GetOptionKeyPath(&key, 0));
        IDropTarget* dt = nullptr;
        EXPECT_EQ(E_NOTIMPL, handler->GetDropTarget(nullptr, &dt));
        LPWSTR out = nullptr;
        EXPECT_EQ(E_NOTIMPL, handler->TranslateUrl(0, const_cast<LPWSTR>(L"http://a"), &out));
        IDataObject* dobj = nullptr;
        EXPECT_EQ(E_NOTIMPL, handler->FilterDataObject(nullptr, &dobj));

        IDispatch* external = nullptr;
        EXPECT_EQ(S_OK, handler->GetExternal(&external));
        EXPECT_EQ(static_cast<IDispatch*>(view->GetExternal()), external);
        if (external)
            external->Release();

        // The site's interfaces share one count: the handler keeps the site alive.
        IOleClientSite* client = nullptr;
        ASSERT_EQ(S_OK, handler->QueryInterface(IID_IOleClientSite, (void**)&client));
        container.RemoveSite(site);
        EXPECT_EQ(S_OK, handler->GetHostInfo(&info));
        external = reinterpret_cast<IDispatch*>(1);
        EXPECT_EQ(S_OK, handler->GetExternal(&external));
        EXPECT_EQ(nullptr, external) << "a site that left its container offers no external";
        client->Release();
        handler->Release();
    });
}

}
