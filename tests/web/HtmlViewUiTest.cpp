// The browser view: its calls reach the browser, the control's events reach the virtual
// handlers with the control's argument layout, answers travel back by reference, and a view
// whose browser cannot be made goes away. Script-callable objects by name.
#include "Framework.h"
#include "HtmlView.h"
#include "NamedDispatch.h"
#include "SeamSwap.h"
#include "FaultWatch.h"
#include "UiThread.h"
#include <gtest/gtest.h>
#include <exdispid.h>
#include <ole2.h>
#include <oleauto.h>
#include <string>
#include <vector>

namespace {

// Stands in for the browser control: records every call.
struct BrowserLog {
    struct Nav {
        std::wstring url, target, headers;
        std::string body;
        DWORD flags;
    };
    std::vector<Nav> navigations;
    int stops = 0;
    int registerAsBrowser = -1;
    std::wstring location = L"http://pages.example/start";
};
BrowserLog g_log;

class RecordingCalls : public CWebBrowserCalls {
public:
    HRESULT Navigate2(LPCTSTR url, DWORD flags, LPCTSTR target, LPCTSTR headers, const void* postData,
                      DWORD postLength) override
    {
        g_log.navigations.push_back({ url ? url : L"", target ? target : L"", headers ? headers : L"",
                                      std::string((const char*)postData, postData ? postLength : 0), flags });
        return S_OK;
    }
    HRESULT Stop() override
    {
        ++g_log.stops;
        return S_OK;
    }
    HRESULT GetLocationURL(CString& url) override
    {
        url = g_log.location.c_str();
        return S_OK;
    }
    HRESULT SetRegisterAsBrowser(BOOL b) override
    {
        g_log.registerAsBrowser = b ? 1 : 0;
        return S_OK;
    }
};

CWebBrowserCalls* MakeRecording(CHtmlView*) { return new RecordingCalls; }
CWebBrowserCalls* MakeNothing(CHtmlView*) { return nullptr; }

int g_viewsDeleted = 0;

class EventView : public CHtmlView {
public:
    ~EventView() override { ++g_viewsDeleted; }
    std::vector<std::string> events;
    std::wstring lastUrl;
    long answerCx = 0;
    bool cancelNavigation = false;
    IDispatch* newWindow = nullptr;

    void OnBeforeNavigate2(LPCTSTR url, DWORD, LPCTSTR target, const CString& posted, LPCTSTR headers,
                           BOOL* cancel) override
    {
        events.push_back("before " + std::string(CStringA(url).GetString()) + " " +
                         std::string(CStringA(target).GetString()) + " " + std::string(CStringA(posted).GetString()) +
                         " " + std::string(CStringA(headers).GetString()));
        *cancel = cancelNavigation;
    }
    void OnDocumentComplete(LPCTSTR url) override
    {
        events.push_back("complete");
        lastUrl = url;
    }
    void OnNewWindow2(LPDISPATCH* ppDisp, BOOL* cancel) override
    {
        events.push_back(std::string("new ") + (*cancel ? "cancelled" : "open"));
        if (newWindow) {
            newWindow->AddRef();
            *ppDisp = newWindow;
        }
    }
    void OnWindowClosing(BOOL child, BOOL* cancel) override
    {
        events.push_back(child ? "closing child" : "closing");
        *cancel = TRUE;
    }
    void OnClientToHostWindow(long* cx, long* cy) override
    {
        events.push_back("size " + std::to_string(*cx) + "x" + std::to_string(*cy));
        *cx = answerCx;
    }
};

class HtmlViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log = BrowserLog();
        g_viewsDeleted = 0;
        ui.Run([&] {
            ::OleInitialize(nullptr);
            parent.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500, 400, nullptr, nullptr);
        });
    }
    void TearDown() override
    {
        ui.Run([&] {
            if (parent.m_hWnd)
                parent.DestroyWindow();
            ::OleUninitialize();
        });
    }
    EventView* MakeView()
    {
        EventView* view = new EventView;
        if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), &parent, AFX_IDW_PANE_FIRST))
            return nullptr;
        return view;
    }
    testseam::Swap<CHtmlView::BrowserFactory> m_browser{CHtmlView::s_pfnBrowserFactory};
    uitest::UiThread ui;
    CWnd parent;
};

TEST_F(HtmlViewTest, NavigationCarriesTargetHeadersAndTheFormBody)
{
    ui.Run([&] {
        CHtmlView::s_pfnBrowserFactory = &MakeRecording;
        EventView* view = MakeView();
        ASSERT_NE(nullptr, view);
        const char body[] = "link=a%26b&uid=u1";
        EXPECT_TRUE(view->Navigate2(L"http://pages.example/post.do", 0, L"appWebLink",
                                    L"Content-Type: application/x-www-form-urlencoded\r\n", (LPVOID)body,
                                    (DWORD)strlen(body)));
        view->Stop();
        view->SetRegisterAsBrowser(TRUE);
        ASSERT_EQ(1u, g_log.navigations.size());
        EXPECT_EQ(L"http://pages.example/post.do", g_log.navigations[0].url);
        EXPECT_EQ(L"appWebLink", g_log.navigations[0].target);
        EXPECT_EQ(L"Content-Type: application/x-www-form-urlencoded\r\n", g_log.navigations[0].headers);
        EXPECT_EQ(std::string(body), g_log.navigations[0].body);
        EXPECT_EQ(1, g_log.stops);
        EXPECT_EQ(1, g_log.registerAsBrowser);
        EXPECT_EQ(CString(L"http://pages.example/start"), view->GetLocationURL());
        EXPECT_EQ(nullptr, view->GetHtmlDocument()) << "no page, no document";
        EXPECT_FALSE(view->CallScript(L"openHelp", { L"3" }));
        view->DestroyWindow();
    });
    EXPECT_EQ(1, g_viewsDeleted);
}

TEST_F(HtmlViewTest, AViewWithoutABrowserDestroysItselfAndFails)
{
    ui.Run([&] {
        CHtmlView::s_pfnBrowserFactory = &MakeNothing;
        EXPECT_EQ(nullptr, MakeView());
        EXPECT_EQ(nullptr, ::GetDlgItem(parent.m_hWnd, AFX_IDW_PANE_FIRST)) << "the view's window is gone";
    });
    EXPECT_EQ(1, g_viewsDeleted);
}

// The arguments of an event as the control passes them: last argument first.
struct EventArgs {
    std::vector<VARIANT> v;
    explicit EventArgs(size_t n) : v(n) { for (auto& a : v) ::VariantInit(&a); }
    VARIANT& Arg(size_t writtenIndex) { return v[v.size() - 1 - writtenIndex]; }
    DISPPARAMS Params() { return DISPPARAMS{ v.data(), nullptr, (UINT)v.size(), 0 }; }
};

HRESULT Fire(IDispatch* sink, DISPID id, EventArgs& args)
{
    DISPPARAMS p = args.Params();
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &p, nullptr, nullptr, nullptr);
}

TEST_F(HtmlViewTest, TheControlsEventsReachTheHandlersAndTheirAnswersGoBack)
{
    ui.Run([&] {
        CHtmlView::s_pfnBrowserFactory = &MakeRecording;
        EventView* view = MakeView();
        ASSERT_NE(nullptr, view);
        IDispatch* sink = view->GetEventSink();

        // NewWindow2(ppDisp in/out, Cancel in/out): the handler's window goes back.
        IDispatch* answered = nullptr;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        view->newWindow = sink;   // any automation object will do as "the new window"
        {
            EventArgs a(2);
            a.Arg(0).vt = VT_BYREF | VT_DISPATCH;
            a.Arg(0).ppdispVal = &answered;
            a.Arg(1).vt = VT_BYREF | VT_BOOL;
            a.Arg(1).pboolVal = &cancel;
            EXPECT_EQ(S_OK, Fire(sink, DISPID_NEWWINDOW2, a));
        }
        EXPECT_EQ(sink, answered);
        EXPECT_EQ(VARIANT_FALSE, cancel);

        // WindowClosing(IsChildWindow, Cancel in/out): the handler cancels.
        {
            EventArgs a(2);
            a.Arg(0).vt = VT_BOOL;
            a.Arg(0).boolVal = VARIANT_FALSE;
            a.Arg(1).vt = VT_BYREF | VT_BOOL;
            a.Arg(1).pboolVal = &cancel;
            EXPECT_EQ(S_OK, Fire(sink, DISPID_WINDOWCLOSING, a));
        }
        EXPECT_EQ(VARIANT_TRUE, cancel);

        // ClientToHostWindow(CX in/out, CY in/out).
        long cx = 800, cy = 600;
        view->answerCx = 640;
        {
            EventArgs a(2);
            a.Arg(0).vt = VT_BYREF | VT_I4;
            a.Arg(0).plVal = &cx;
            a.Arg(1).vt = VT_BYREF | VT_I4;
            a.Arg(1).plVal = &cy;
            EXPECT_EQ(S_OK, Fire(sink, DISPID_CLIENTTOHOSTWINDOW, a));
        }
        EXPECT_EQ(640, cx);
        EXPECT_EQ(600, cy);

        // DocumentComplete(pDisp, URL as a reference to a variant).
        VARIANT url;
        url.vt = VT_BSTR;
        url.bstrVal = ::SysAllocString(L"http://pages.example/done");
        {
            EventArgs a(2);
            a.Arg(0).vt = VT_DISPATCH;
            a.Arg(0).pdispVal = nullptr;
            a.Arg(1).vt = VT_BYREF | VT_VARIANT;
            a.Arg(1).pvarVal = &url;
            EXPECT_EQ(S_OK, Fire(sink, DISPID_DOCUMENTCOMPLETE, a));
        }
        ::VariantClear(&url);
        EXPECT_EQ(L"http://pages.example/done", view->lastUrl);

        // BeforeNavigate2(pDisp, URL, Flags, Target, PostData, Headers, Cancel).
        view->cancelNavigation = true;
        VARIANT target, headers, post, flags;
        url.vt = VT_BSTR;
        url.bstrVal = ::SysAllocString(L"http://pages.example/next");
        target.vt = VT_BSTR;
        target.bstrVal = ::SysAllocString(L"appDocView");
        headers.vt = VT_BSTR;
        headers.bstrVal = ::SysAllocString(L"X-A: 1");
        flags.vt = VT_I4;
        flags.lVal = 0;
        SAFEARRAY* sa = ::SafeArrayCreateVector(VT_UI1, 0, 3);
        void* bytes = nullptr;
        ::SafeArrayAccessData(sa, &bytes);
        memcpy(bytes, "a=1", 3);
        ::SafeArrayUnaccessData(sa);
        post.vt = VT_ARRAY | VT_UI1;
        post.parray = sa;
        cancel = VARIANT_FALSE;
        {
            EventArgs a(7);
            a.Arg(0).vt = VT_DISPATCH;
            a.Arg(0).pdispVal = nullptr;
            VARIANT* refs[] = { &url, &flags, &target, &post, &headers };
            for (int i = 0; i < 5; ++i) {
                a.Arg(1 + i).vt = VT_BYREF | VT_VARIANT;
                a.Arg(1 + i).pvarVal = refs[i];
            }
            a.Arg(6).vt = VT_BYREF | VT_BOOL;
            a.Arg(6).pboolVal = &cancel;
            EXPECT_EQ(S_OK, Fire(sink, DISPID_BEFORENAVIGATE2, a));
        }
        EXPECT_EQ(VARIANT_TRUE, cancel);
        for (VARIANT* v : { &url, &target, &headers, &post })
            ::VariantClear(v);

        EXPECT_EQ((std::vector<std::string>{ "new open", "closing", "size 800x600", "complete",
                                             "before http://pages.example/next appDocView a=1 X-A: 1" }),
                  view->events);
        view->DestroyWindow();
    });
}

// The control's active object as the frame hears of it: counts the keys it is offered.
class KeyTaker : public IOleInPlaceActiveObject {
public:
    int offered = 0;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleInPlaceActiveObject)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override
    {
        ++offered;
        return msg->wParam == VK_TAB ? S_OK : S_FALSE;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
};

TEST_F(HtmlViewTest, TheRealBrowserControlIsHostedOrTheViewGoesQuietly)
{
    // Without the factory the view hosts the system's control. Where the platform cannot make
    // it, the view must fail cleanly rather than half-exist.
    ui.Run([&] {
        EventView* view = MakeView();
        if (view == nullptr) {
            printf("the browser control cannot be made here\n");
            EXPECT_EQ(1, g_viewsDeleted);
            EXPECT_EQ(nullptr, ::GetDlgItem(parent.m_hWnd, AFX_IDW_PANE_FIRST));
            return;
        }
        ASSERT_NE(nullptr, view->GetBrowserSite());
        ASSERT_NE(nullptr, view->GetBrowserCalls()->GetBrowser());
        IOleInPlaceSite* site = nullptr;
        ASSERT_EQ(S_OK, view->GetBrowserSite()->QueryInterface(IID_IOleInPlaceSite, (void**)&site));
        HWND hwnd = nullptr;
        EXPECT_EQ(S_OK, site->GetWindow(&hwnd));
        EXPECT_EQ(view->m_hWnd, hwnd);
        site->Release();
        printf("the browser control is hosted\n");

        // Keys go to the control's active object first; what it takes goes no further.
        KeyTaker taker;
        IOleInPlaceFrame* frame = nullptr;
        ASSERT_EQ(S_OK, view->GetBrowserSite()->QueryInterface(IID_IOleInPlaceFrame, (void**)&frame));
        EXPECT_EQ(S_OK, frame->SetActiveObject(&taker, nullptr));
        MSG tab = { view->m_hWnd, WM_KEYDOWN, VK_TAB, 0 };
        MSG letter = { view->m_hWnd, WM_KEYDOWN, 'A', 0 };
        MSG mouse = { view->m_hWnd, WM_MOUSEMOVE, 0, 0 };
        EXPECT_TRUE(view->PreTranslateMessage(&tab));
        EXPECT_FALSE(view->PreTranslateMessage(&letter));
        EXPECT_FALSE(view->PreTranslateMessage(&mouse));
        EXPECT_EQ(2, taker.offered);
        frame->SetActiveObject(nullptr, nullptr);
        frame->Release();
        ::MoveWindow(parent.m_hWnd, 50, 50, 600, 500, TRUE);
        view->MoveWindow(0, 0, 320, 200);
        view->DestroyWindow();
        EXPECT_EQ(1, g_viewsDeleted);
    });
}

class CallLog : public CNamedDispatch::Handler {
public:
    std::vector<std::pair<DISPID, std::vector<std::wstring>>> calls;
    HRESULT OnNamedCall(DISPID id, DISPPARAMS* params, VARIANT* result) override
    {
        std::vector<std::wstring> args;
        for (UINT i = 0; i < params->cArgs; ++i) {
            std::wstring t;
            CNamedDispatch::ArgText(params, i, t);
            args.push_back(t);
        }
        calls.push_back({ id, args });
        if (result) {
            result->vt = VT_BSTR;
            result->bstrVal = ::SysAllocString(L"answer");
        }
        return S_OK;
    }
};

TEST(NamedDispatch, MethodsAreFoundByNameInAnyCaseWithArgumentsInWrittenOrder)
{
    CallLog log;
    const wchar_t* const names[] = { L"SetLanguage", L"SetMacAddress" };
    CNamedDispatch* d = new CNamedDispatch(&log, names, 2);
    EXPECT_EQ(1, d->IdOf(L"setlanguage"));
    EXPECT_EQ(2, d->IdOf(L"SETMACADDRESS"));
    EXPECT_EQ(DISPID_UNKNOWN, d->IdOf(L"Eval"));
    LPOLESTR unknown = const_cast<LPOLESTR>(L"Eval");
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, d->GetIDsOfNames(IID_NULL, &unknown, 1, 0, &id));

    std::wstring result;
    EXPECT_EQ(S_OK, d->CallByName(L"setLanguage", { L"en", L"second" }, &result));
    EXPECT_EQ(L"answer", result);
    ASSERT_EQ(1u, log.calls.size());
    EXPECT_EQ(1, log.calls[0].first);
    EXPECT_EQ((std::vector<std::wstring>{ L"en", L"second" }), log.calls[0].second);

    // A page that kept the object after its window went gets an error, not a dead owner.
    d->AddRef();
    d->Detach();
    d->Release();
    EXPECT_EQ(E_UNEXPECTED, d->CallByName(L"SetLanguage", { L"ko" }));
    EXPECT_EQ(1u, log.calls.size());
    d->Release();
}

}

TEST_F(HtmlViewTest, BrowserViewsGoWithTheirParentWindowWithoutAFault)
{
    // As the main window holds them: one view shown then hidden, one never shown and empty,
    // both destroyed only as children of their frame. The control is deactivated and let go
    // while its host window is going away; a site freed under it would fault here.
    ui.Run([&] {
        uitest::FaultWatch watch;
        for (int round = 0; round < 3; ++round) {
            CWnd host;
            ASSERT_TRUE(host.CreateEx(0, nullptr, L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 500, 400,
                                      nullptr, nullptr));
            EventView* shown = new EventView;
            EventView* hidden = new EventView;
            ASSERT_TRUE(shown->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), &host, 0xE914));
            ASSERT_TRUE(hidden->Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 0, 0), &host, 0xE91E));
            shown->ShowWindow(SW_HIDE);
            host.DestroyWindow();
        }
        EXPECT_EQ(6, g_viewsDeleted);
        EXPECT_EQ(0, watch.Faults());
    });
}
