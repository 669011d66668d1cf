// CToviHtmlView: the frame's browser view.
#include "ToviHtmlView.h"
#include "MainFrame.h"
#include "MainFrameRules.h"
#include "PopupDlg.h"
#include "PopupView.h"
#include "ToviProto.h"
#include "TraceLog.h"
#include <mshtml.h>

IMPLEMENT_DYNCREATE(CToviHtmlView, CHtmlView)

BEGIN_MESSAGE_MAP(CToviHtmlView, CHtmlView)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CToviHtmlView::CToviHtmlView() {}

BOOL CToviHtmlView::PreCreateWindow(CREATESTRUCT& cs)
{
    // The view never paints a background of its own (see OnEraseBkgnd): the page does.
    return CHtmlView::PreCreateWindow(cs);
}

BOOL CToviHtmlView::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

bool CToviHtmlView::IsFilteredKey(WPARAM key, bool leftControlDown)
{
    if (!leftControlDown)
        return false;
    switch (key) {
    case 0x4C: case 0x4E: case 0x4F: case 0x50:
    case 0x6C: case 0x6E: case 0x6F: case 0x70:
        return true;
    default:
        return false;
    }
}

BOOL CToviHtmlView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && IsFilteredKey(pMsg->wParam, (::GetKeyState(VK_LCONTROL) & 0x8000) != 0))
        return TRUE;
    return CHtmlView::PreTranslateMessage(pMsg);
}

bool CToviHtmlView::CallJScript(const CString& function, const std::vector<CString>& args)
{
    return CallScript(function, args) != FALSE;
}

void CToviHtmlView::OnNewWindow2(LPDISPATCH* ppDisp, BOOL* pbCancel)
{
    const int slot = mainframe::PopupSlot(m_nPopupKind);
    if (slot < 0) {
        // A kind the frame keeps no pop-up for would index past its slots: refuse the window.
        TraceLog(2048, L"[ CToviHtmlView::OnNewWindow2 ] no pop-up of kind %d\n", m_nPopupKind);
        if (pbCancel)
            *pbCancel = TRUE;
        return;
    }
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParentFrame());
    if (frame == nullptr || frame->m_popups[slot] != nullptr) {
        CHtmlView::OnNewWindow2(ppDisp, pbCancel);
        return;
    }
    CPopupDlg* popup = new CPopupDlg(frame);
    // The page's approval and refresh calls go to this frame's splitter and list, whichever
    // window the thread calls its main one.
    popup->m_pHost = frame;
    if (m_nPopupKind != 14 && m_nPopupKind != 15)
        popup->m_nOpenMode = CPopupDlg::kModeModeless;
    popup->m_nPopupKind = m_nPopupKind;
    if (m_nPopupKind != 7) {
        popup->m_strUrl = m_strPopupUrl;
        popup->m_strParam = m_strPopupParam;
    }
    if ((m_nPopupKind == 8 || m_nPopupKind == 12) && frame->m_pProto && !frame->m_pProto->CustomerCode.IsEmpty())
        popup->m_strSiteCode = frame->m_pProto->CustomerCode;
    if (!popup->Create(CPopupDlg::IDD, frame))
        return;     // it deleted itself
    frame->m_popups[slot] = popup;
    if (CPopupView* view = popup->GetView()) {
        view->SetRegisterAsBrowser(TRUE);
        if (ppDisp)
            *ppDisp = view->GetApplication();
    }
    CHtmlView::OnNewWindow2(ppDisp, pbCancel);
}

void CToviHtmlView::OnDocumentComplete(LPCTSTR lpszURL)
{
    IDispatch* document = GetHtmlDocument();
    if (document != nullptr) {
        IHTMLDocument2* html = nullptr;
        if (SUCCEEDED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&html))) && html) {
            IHTMLElement* body = nullptr;
            if (SUCCEEDED(html->get_body(&body)) && body) {
                IHTMLBodyElement* bodyElement = nullptr;
                if (SUCCEEDED(body->QueryInterface(IID_IHTMLBodyElement, reinterpret_cast<void**>(&bodyElement))) &&
                    bodyElement) {
                    BSTR value = ::SysAllocString(L"auto");
                    bodyElement->put_scroll(value);
                    ::SysFreeString(value);
                    bodyElement->Release();
                }
                body->Release();
            }
            html->Release();
        }
        document->Release();
    }
    CHtmlView::OnDocumentComplete(lpszURL);
}
