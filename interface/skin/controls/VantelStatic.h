// CVantelStatic: a static text with its own text and background colours (or a transparent
// background) that can act as a hyperlink: a click opens its own text in a new browser window.
// Runs on the thread of the window.
#pragma once
#include "Gdi.h"
#include "Static.h"
#include "ToviInterfaceApi.h"
#include "VantelColors.h"

class CDC;

class TOVIINTERFACE_API CVantelStatic : public CStatic {
    DECLARE_DYNAMIC(CVantelStatic)
public:
    enum : COLORREF { kTransparent = vantel::kTransparentBack };

    CVantelStatic();
    ~CVantelStatic() override;

    void SetTextColor(COLORREF color);
    // kTransparent lets the parent show through.
    void SetBackColor(COLORREF color);
    // A link takes clicks (SS_NOTIFY) and opens its text.
    CVantelStatic& SetLink(bool link);
    // Shown over the control while set; the caller keeps owning it.
    CVantelStatic& SetLinkCursor(HICON cursor);
    // Repaints the control's area of the parent, erasing it first.
    void UpdateCtrl();

    // Opens a link's address in a new browser window; failures end silently. By default the
    // system's browser, driven through its automation interface.
    static void (*s_pfnOpenLink)(const wchar_t* url);

    COLORREF m_clrText = 0;
    COLORREF m_clrBack = kTransparent;
    CBrush m_brushBack;
    bool m_bLink = false;
    HICON m_hLinkCursor = nullptr;

protected:
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    void OnUpdate();
    void OnLButtonUp(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};
