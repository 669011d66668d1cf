// CVantelStatic: colours, repainting through the parent and the hyperlink.
#include "VantelStatic.h"
#include "Dc.h"
#include "VantelColors.h"
#include <exdisp.h>
#include <ole2.h>

IMPLEMENT_DYNAMIC(CVantelStatic, CStatic)

BEGIN_MESSAGE_MAP(CVantelStatic, CStatic)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_WM_CTLCOLOR_REFLECT()
    ON_CONTROL_REFLECT(0x400, OnUpdate)
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

namespace {
// The browser application object, started as a local server.
const CLSID kBrowserApplication = { 0x0002DF01, 0x0000, 0x0000, { 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 } };
const IID kWebBrowser2 = { 0xD30C1661, 0xCDAF, 0x11D0, { 0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E } };

void OpenInSystemBrowser(const wchar_t* url)
{
    if (FAILED(::OleInitialize(nullptr)))
        return;
    IWebBrowser2* browser = nullptr;
    if (SUCCEEDED(::CoCreateInstance(kBrowserApplication, nullptr, CLSCTX_LOCAL_SERVER, kWebBrowser2,
                                     (void**)&browser)) && browser) {
        browser->put_Visible(VARIANT_TRUE);
        VARIANT address, flags, target, postData, headers;
        ::VariantInit(&address);
        ::VariantInit(&flags);
        ::VariantInit(&target);
        ::VariantInit(&postData);
        ::VariantInit(&headers);
        address.vt = VT_BSTR;
        address.bstrVal = ::SysAllocString(url);
        flags.vt = VT_I4;
        flags.lVal = 0;
        target.vt = VT_BSTR;
        target.bstrVal = ::SysAllocString(L"_top");
        headers.vt = VT_BSTR;
        headers.bstrVal = ::SysAllocString(L"Content-Type: application/x-www-form-urlencoded\r\n");
        if (address.bstrVal && target.bstrVal && headers.bstrVal &&
            SUCCEEDED(browser->Navigate2(&address, &flags, &target, &postData, &headers))) {
            SHANDLE_PTR window = 0;
            if (SUCCEEDED(browser->get_HWND(&window)) && window)
                ::SetForegroundWindow((HWND)window);
        }
        ::VariantClear(&address);
        ::VariantClear(&target);
        ::VariantClear(&headers);
        browser->Release();
    }
    ::OleUninitialize();
}

}

void (*CVantelStatic::s_pfnOpenLink)(const wchar_t* url) = OpenInSystemBrowser;

CVantelStatic::CVantelStatic() = default;

CVantelStatic::~CVantelStatic()
{
    m_brushBack.DeleteObject();
}

void CVantelStatic::SetTextColor(COLORREF color)
{
    m_clrText = color;
    UpdateCtrl();
}

void CVantelStatic::SetBackColor(COLORREF color)
{
    m_clrBack = color;
    UpdateCtrl();
}

CVantelStatic& CVantelStatic::SetLink(bool link)
{
    m_bLink = link;
    if (m_hWnd)
        ModifyStyle(link ? 0 : SS_NOTIFY, link ? SS_NOTIFY : 0);
    return *this;
}

CVantelStatic& CVantelStatic::SetLinkCursor(HICON cursor)
{
    m_hLinkCursor = cursor;
    return *this;
}

void CVantelStatic::UpdateCtrl()
{
    vantel::RepaintUnder(m_hWnd, 0, true);
}

void CVantelStatic::OnUpdate()
{
    UpdateCtrl();
}

LRESULT CVantelStatic::OnSetText(WPARAM, LPARAM)
{
    LRESULT result = Default();
    UpdateCtrl();
    return result;
}

HBRUSH CVantelStatic::CtlColor(CDC* pDC, UINT)
{
    return vantel::ControlColors(pDC, m_brushBack, m_clrBack, m_clrText);
}

void CVantelStatic::OnLButtonUp(UINT, CPoint)
{
    if (m_bLink) {
        CString text;
        GetWindowText(text);
        if (!text.IsEmpty())
            s_pfnOpenLink(text.GetString());
    }
    Default();
}

BOOL CVantelStatic::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_hLinkCursor) {
        ::SetCursor(m_hLinkCursor);
        return TRUE;
    }
    return (BOOL)Default();
}
