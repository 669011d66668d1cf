// The web pop-up's browser view: window.external, the browser's size and close requests, and
// the page body's scroll bars.
#include "PopupView.h"
#include "CustomOccManager.h"
#include "FileUtils.h"
#include "PopupHost.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include <mshtml.h>
#include <oleauto.h>

IMPLEMENT_DYNCREATE(CPopupView, CHtmlView)

namespace {
const wchar_t* const kExternalNames[] = {
    L"SetLanguage", L"SetLoginResult", L"SetSmsResult", L"SetDelScheduleFiles", L"SetDoNotShowPopup",
    L"SetMacAddress",
};

const IID kIidHtmlDocument2 =
    { 0x332C4425, 0x26CB, 0x11D0, { 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19 } };
const IID kIidHtmlBodyElement =
    { 0x3050F1D8, 0x98B5, 0x11CF, { 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B } };
}

BEGIN_MESSAGE_MAP(CPopupView, CHtmlView)
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CPopupView::CPopupView() : m_strLanguage(L"ko")
{
    m_pExternal = new CNamedDispatch(this, kExternalNames, (int)(sizeof(kExternalNames) / sizeof(kExternalNames[0])));
}

CPopupView::~CPopupView()
{
    // A page may still hold window.external: it stays alive but no longer reaches us.
    m_pExternal->Detach();
    m_pExternal->Release();
    delete m_pOccManagerOwned;
}

BOOL CPopupView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    if (m_pOccManagerOwned == nullptr)
        m_pOccManagerOwned = new CCustomOccManager;
    EnableControlContainer(m_pOccManagerOwned);
    return CHtmlView::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CPopupView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CHtmlView::PreCreateWindow(cs))
        return FALSE;
    cs.style &= ~WS_BORDER;
    cs.lpszClass = CWnd::RegisterClassFor(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

int CPopupView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    // The view's own activation would steal the focus from the page: take the default path.
    return CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
}

HWND CPopupView::ParentHwnd() const
{
    return m_hWnd ? ::GetParent(m_hWnd) : nullptr;
}

// ---- Trusted pages ----

CString CPopupView::HostOfUrl(const CString& url)
{
    CString lower = url;
    lower.MakeLower();
    int start;
    if (lower.Left(7) == L"http://")
        start = 7;
    else if (lower.Left(8) == L"https://")
        start = 8;
    else
        return CString();
    CString rest = lower.Mid(start);
    int end = rest.GetLength();
    for (int i = 0; i < rest.GetLength(); ++i) {
        wchar_t c = rest.GetAt(i);
        if (c == L'/' || c == L'?' || c == L'#' || c == L'\\') {
            end = i;
            break;
        }
    }
    CString authority = rest.Left(end);
    // user:password@host: the host is what follows the last '@'.
    int at = authority.ReverseFind(L'@');
    if (at >= 0)
        authority = authority.Mid(at + 1);
    if (!authority.IsEmpty() && authority.GetAt(0) == L'[') {
        int close = authority.Find(L']');
        return close > 0 ? authority.Left(close + 1) : CString();
    }
    int colon = authority.Find(L':');
    if (colon >= 0)
        authority = authority.Left(colon);
    return authority;
}

void CPopupView::AddTrustedHost(const CString& host)
{
    CString h = host;
    h.Trim();
    // Accept a bare host as well as an address.
    CString fromUrl = HostOfUrl(h);
    if (!fromUrl.IsEmpty())
        h = fromUrl;
    else {
        int colon = h.Find(L':');
        if (colon >= 0)
            h = h.Left(colon);
    }
    h.MakeLower();
    if (!h.IsEmpty())
        m_trustedHosts.push_back(h);
}

bool CPopupView::IsTrustedPage(const CString& url) const
{
    CString host = HostOfUrl(url);
    if (host.IsEmpty())
        return false;
    for (const CString& h : m_trustedHosts)
        if (h == host)
            return true;
    // The servers the client is configured for.
    for (int index = 0; index <= 2; ++index) {
        char server[257] = {};
        char level[257] = {};
        wchar_t update[129] = {};
        int port = 0;
        CToviRegistry::GetServerAddress(index, server, &port, level, update);
        CString configured(server);
        configured.Trim();
        configured.MakeLower();
        if (!configured.IsEmpty() && configured == host)
            return true;
    }
    return false;
}

// ---- window.external ----

HRESULT CPopupView::OnNamedCall(DISPID id, DISPPARAMS* params, VARIANT* result)
{
    CString url = GetLocationURL();
    if (!IsTrustedPage(url)) {
        TraceLog(1, L"[ CPopupView ] window.external call %d from an untrusted page ignored: %s\n", (int)id,
                 url.GetString());
        return S_OK;
    }
    std::wstring arg;
    CNamedDispatch::ArgText(params, 0, arg);
    CString text(arg.c_str(), (int)arg.size());
    switch (id) {
    case kSetLanguage:
        ExternalSetLanguage(text);
        return S_OK;
    case kSetLoginResult:
        ExternalSetLoginResult(text);
        return S_OK;
    case kSetSmsResult:
        ExternalSetSmsResult(text);
        return S_OK;
    case kSetDelScheduleFiles:
        ExternalSetDelScheduleFiles(text);
        return S_OK;
    case kSetDoNotShowPopup:
        ExternalSetDoNotShowPopup(text);
        return S_OK;
    case kSetMacAddress: {
        TraceLog(1, L"[ CPopupView::SetMacAddress ]\n");
        CString macs = CFileUtils::GetMacList();
        if (result) {
            result->vt = VT_BSTR;
            result->bstrVal = ::SysAllocString(macs.GetString());
        }
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

void CPopupView::ExternalSetLanguage(const CString& text)
{
    if (text.GetLength() != 2)
        return;
    m_strLanguage = text;
    ::PostMessage(ParentHwnd(), WM_SET_LANGUAGE, 0, 0);
}

bool CPopupView::ParseSmsLogin(const CString& text, CString& sessionId, CString& userId)
{
    sessionId.Empty();
    userId.Empty();
    if (text.GetLength() < 4 || text.Left(4).CompareNoCase(L"SMS|") != 0)
        return false;
    int last = text.ReverseFind(L'|');
    if (last <= 3)
        return false;   // only the one separator after "SMS"
    CString session = text.Mid(4, last - 4);
    CString user = text.Mid(last + 1);
    if (session.IsEmpty() || user.IsEmpty())
        return false;
    sessionId = session;
    userId = user;
    return true;
}

void CPopupView::ExternalSetLoginResult(const CString& text)
{
    TraceLog(1, L"[ CPopupView::SetLoginResult ] PARAMETER = %s\n", text.GetString());
    if (text.GetLength() < 4 || text.Left(4).CompareNoCase(L"SMS|") != 0) {
        m_strSessionId = text;
        TraceLog(1, L"[ CPopupView::SetLoginResult ] Session ID = %s\n", m_strSessionId.GetString());
        ::PostMessage(ParentHwnd(), WM_SET_LOGIN_RESULT, 0, 0);
        return;
    }
    CString session, user;
    if (!ParseSmsLogin(text, session, user)) {
        TraceLog(1, L"[ CPopupView::SetLoginResult ] malformed SMS result ignored\n");
        return;
    }
    m_strSessionId = session;
    TraceLog(1, L"[ CPopupView::SetLoginResult ] USER ID = %s\t Session ID = %s\n", user.GetString(),
             session.GetString());
    CString* posted = new CString(user);
    if (!::PostMessage(ParentHwnd(), WM_LOGIN_SMS, (WPARAM)posted, 0))
        delete posted;   // nobody will receive it
}

void CPopupView::ExternalSetSmsResult(const CString& text)
{
    TraceLog(1, L"[ CPopupView::SetSmsResult ] RESULT = %s\n", text.GetString());
    if (text.CompareNoCase(L"Y") == 0)
        ::SendMessage(ParentHwnd(), WM_SET_SMS_RESULT, 0, 0);
}

void CPopupView::ExternalSetDelScheduleFiles(const CString& text)
{
    TraceLog(1, L"[ CPopupView::SetDelScheduleFiles ] FILE-IDX = %s\n", text.GetString());
    CString files = text;
    ::SendMessage(ParentHwnd(), WM_SET_DEL_SCHEDULE_FILES, (WPARAM)&files, 0);
}

void CPopupView::ExternalSetDoNotShowPopup(const CString& text)
{
    TraceLog(1, L"[ SetDoNotShowPopup ] CHECKED [ %s ]", text.GetString());
    if (text.CompareNoCase(L"Y") == 0)
        ::SendMessage(ParentHwnd(), WM_SET_DO_NOT_SHOW_POPUP, 0, 0);
}

// ---- Browser events ----

void CPopupView::OnClientToHostWindow(long* pcx, long* pcy)
{
    m_nRequestWidth = pcx ? (int)*pcx : 0;
    m_nRequestHeight = pcy ? (int)*pcy : 0;
    ::PostMessage(ParentHwnd(), WM_RESIZE_DIALOG, 0, 0);
}

void CPopupView::OnWindowClosing(BOOL, BOOL* pbCancel)
{
    // The pop-up closes itself, with its own checks; the browser must not.
    if (pbCancel)
        *pbCancel = TRUE;
    ::PostMessage(ParentHwnd(), WM_CLOSE, 0, 0);
}

void CPopupView::OnDocumentComplete(LPCTSTR lpszURL)
{
    IDispatch* docDisp = GetHtmlDocument();
    if (docDisp) {
        IHTMLDocument2* doc = nullptr;
        if (SUCCEEDED(docDisp->QueryInterface(kIidHtmlDocument2, (void**)&doc)) && doc) {
            IHTMLElement* body = nullptr;
            if (SUCCEEDED(doc->get_body(&body)) && body) {
                IHTMLBodyElement* bodyElement = nullptr;
                if (SUCCEEDED(body->QueryInterface(kIidHtmlBodyElement, (void**)&bodyElement)) && bodyElement) {
                    // Scroll bars only when the page needs them.
                    BSTR value = ::SysAllocString(L"auto");
                    bodyElement->put_scroll(value);
                    ::SysFreeString(value);
                    bodyElement->Release();
                }
                body->Release();
            }
            doc->Release();
        }
        docDisp->Release();
    }
    CHtmlView::OnDocumentComplete(lpszURL);
}
