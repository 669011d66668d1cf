// CToviSearchEdit: the search box: a painted rounded frame with a magnifier on the left and a
// search button on the right, grey text when idle, and WM_DO_SEARCH to its owner (or parent)
// on Enter or a click on the search button. The receiver reads the text itself.
//
// The owner subclasses an edit control, then calls SetWidnowArea. Runs on the thread that
// owns the window.
#pragma once
#include "Edit.h"
#include "Gdi.h"
#include "ToviInterfaceApi.h"

#define WM_DO_SEARCH (WM_USER + 24)

class TOVIINTERFACE_API CToviSearchEdit : public CEdit {
    DECLARE_DYNAMIC(CToviSearchEdit)
public:
    CToviSearchEdit();
    ~CToviSearchEdit() override;

    // The window becomes (0, 0, width, height) of its parent; the text sits between the two
    // icons, vertically centred.
    void SetWidnowArea(int width, int height);

    bool IsFocused() const { return m_bFocus; }
    bool IsHover() const { return m_bHover; }
    CRect GetTextRect() const { return m_rectText; }
    CRect GetSearchIconRect() const { return m_rectSearch; }
    // Text colour of the current state: black focused, 0x787878 hovered, else 0xA0A0A0.
    COLORREF GetStateTextColor() const;

protected:
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DoSearch();
    void ResizeWindow();

    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    UINT OnGetDlgCode();
    DECLARE_MESSAGE_MAP()

private:
    void Repaint();

    bool m_bFocus = false;
    bool m_bHover = false;
    bool m_bHoverTracking = false;
    CRect m_rectArea;
    CRect m_rectText;
    CRect m_rectSearch;
    CBrush m_brushBack;
    HICON m_hIconFocus = nullptr;   // the three loaded icons are shared: never destroyed
    HICON m_hIconIdle = nullptr;
    HICON m_hIconSearch = nullptr;
    HICON m_hIconSearchGray = nullptr;
};
