// CToviHtmlView: the frame's browser view. The frame holds two: one shown in place of the
// explorer panes, one kept hidden for calling page scripts. A page's new-window request
// becomes the frame's modeless pop-up of the kind the caller set; the browser's own shortcut
// keys for new windows, opening and printing are swallowed.
#pragma once
#include "HtmlView.h"
#include <vector>

class CToviHtmlView : public CHtmlView {
    DECLARE_DYNCREATE(CToviHtmlView)
public:
    CToviHtmlView();

    // The kind (6-15) of the pop-up that the next new-window request becomes, and what it is
    // handed.
    int m_nPopupKind = 0;
    CString m_strPopupUrl;
    CString m_strPopupParam;

    // Calls a script function of the loaded page; false without a document or function.
    bool CallJScript(const CString& function, const std::vector<CString>& args);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnNewWindow2(LPDISPATCH* ppDisp, BOOL* pbCancel) override;
    void OnDocumentComplete(LPCTSTR lpszURL) override;

    // The key filter: true when a key press with the left Ctrl key down must be swallowed.
    static bool IsFilteredKey(WPARAM key, bool leftControlDown);

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
