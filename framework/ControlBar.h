// CControlBar: a window along one edge of its frame (CBRS_ALIGN_xxx), laid out by the frame's
// RecalcLayout from its CalcFixedLayout size, with tooltips for its controls (CBRS_TOOLTIPS:
// the text is the string resource with the control's id, after its first '\n' when it has
// one) and commands that its own message map handles before its frame sees them.
//
// A bar registers with its frame when its window is created and leaves when it is destroyed;
// the frame re-lays itself out whenever the bar is shown or hidden. UI thread only.
#pragma once
#include "Wnd.h"
#include "CreateContext.h"

class CFrameWnd;

class FW_API CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    ~CControlBar() override;

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    BOOL IsVisible() const { return m_hWnd != nullptr && (GetStyle() & WS_VISIBLE) != 0; }
    // Top or bottom (or not aligned at all).
    BOOL IsHorz() const { return (m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) == 0; }
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }

    // The size the bar wants: with bStretch the full length of its edge (32767, the frame
    // clips it) and its default thickness; otherwise its default size.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // Brings the bar's controls up to date from the update handlers of the bar and of pTarget's
    // command route. The frame calls it when its thread is idle, for visible bars only.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
    // The frame the bar is laid out in.
    CFrameWnd* GetDockingFrame() const;

    // The bar's own map first; what it leaves goes to the frame's command route.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    CSize m_sizeDefault;
    CFrameWnd* m_pDockSite = nullptr;

protected:
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    // Fills a tooltip's text from the string resource of the control's id; FALSE when there is none.
    BOOL ToolTipTextFromResource(NMHDR* pNMHDR);

    DECLARE_MESSAGE_MAP()

private:
    CString m_strTipText;
};
