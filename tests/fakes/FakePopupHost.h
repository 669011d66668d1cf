// A stand-in for the main window as the web pop-up sees it, a stand-in browser that records
// what the view asks of it, and windows that record the messages they get. For tests of the
// web pop-up and its view; everything runs on the test's UI thread unless noted.
#pragma once
#include "HtmlView.h"
#include "PopupHost.h"
#include "ToviProto.h"
#include <windows.h>
#include <mutex>
#include <string>
#include <vector>

namespace popupfake {

// What the browser was asked to do, and what it answers.
struct BrowserLog {
    struct Nav {
        std::wstring url, target, headers;
        std::string body;
    };
    std::vector<Nav> navigations;
    int stops = 0;
    int registerAsBrowser = -1;
    std::wstring location;   // the page the browser shows
};
inline BrowserLog& Log()
{
    static BrowserLog log;
    return log;
}

class RecordingBrowser : public CWebBrowserCalls {
public:
    HRESULT Navigate2(LPCTSTR url, DWORD, LPCTSTR target, LPCTSTR headers, const void* postData,
                      DWORD postLength) override
    {
        Log().navigations.push_back({ url ? url : L"", target ? target : L"", headers ? headers : L"",
                                      std::string((const char*)postData, postData ? postLength : 0) });
        return S_OK;
    }
    HRESULT Stop() override
    {
        ++Log().stops;
        return S_OK;
    }
    HRESULT GetLocationURL(CString& url) override
    {
        url = Log().location.c_str();
        return S_OK;
    }
    HRESULT SetRegisterAsBrowser(BOOL b) override
    {
        Log().registerAsBrowser = b ? 1 : 0;
        return S_OK;
    }
    static CWebBrowserCalls* Make(CHtmlView*) { return new RecordingBrowser; }
};

// A top-level or child window that records the messages of the web pop-up's family. Texts
// that a message points at are copied while the message is handled; heap strings handed over
// are deleted as their receiver must.
struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::wstring text;
};

class RecorderWindow {
public:
    RecorderWindow(const wchar_t* title, DWORD style, int x, int y, int w, int h, HWND parent = nullptr)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PopupRecorder";
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(0, L"PopupRecorder", title, style, x, y, w, h, parent, nullptr,
                                   wc.hInstance, this);
    }
    ~RecorderWindow()
    {
        if (::IsWindow(m_hwnd))
            ::DestroyWindow(m_hwnd);
    }
    HWND Hwnd() const { return m_hwnd; }
    std::vector<Received> Messages() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_received;
    }
    std::vector<Received> Of(UINT message) const
    {
        std::vector<Received> out;
        for (const Received& r : Messages())
            if (r.message == message)
                out.push_back(r);
        return out;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_received.clear();
    }

private:
    static bool Watched(UINT m)
    {
        return m == WM_CLOSE || (m >= WM_USER && m < WM_USER + 0x100);
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_NCCREATE)
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lp)->lpCreateParams);
        auto* self = (RecorderWindow*)::GetWindowLongPtrW(hwnd, GWLP_USERDATA);
        if (self && Watched(m)) {
            Received r = { m, wp, lp, L"" };
            if (m == WM_UPLOAD_APPROVAL && wp)
                r.text = (const wchar_t*)wp;
            else if (m == WM_SET_DEL_SCHEDULE_FILES && wp)
                r.text = ((const CString*)wp)->GetString();
            else if (m == WM_LOGIN_SMS && wp) {
                CString* user = (CString*)wp;
                r.text = user->GetString();
                delete user;
            }
            std::lock_guard<std::mutex> lock(self->m_lock);
            self->m_received.push_back(r);
            if (m == WM_CLOSE)
                return 0;
        }
        return ::DefWindowProcW(hwnd, m, wp, lp);
    }
    HWND m_hwnd = nullptr;
    mutable std::mutex m_lock;
    std::vector<Received> m_received;
};

// The main window as the pop-up sees it.
class FakePopupHost : public IPopupHost {
public:
    CToviProto proto;
    HWND splitter = nullptr;
    HWND listView = nullptr;
    bool noSession = false;
    CToviProto* GetPopupSession() override { return noSession ? nullptr : &proto; }
    HWND GetApprovalSplitter() override { return splitter; }
    HWND GetApprovalListView() override { return listView; }
};

}
