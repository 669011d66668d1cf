// CShellBar: what the main window's bars have in common: a dialog bar of a fixed height that
// the frame gives it, painted with a vertical gradient and, with the use-frame setting, a
// bottom line. The command, information and status bars are this much until their own
// controls arrive.
#pragma once
#include "DialogBar.h"

class CShellBar : public CDialogBar {
    DECLARE_DYNAMIC(CShellBar)
public:
    CShellBar(int height, COLORREF top, COLORREF bottom);

    void SetBarHeight(int height) { m_nHeight = height; }
    int GetBarHeight() const { return m_nHeight; }
    // The frame copies its use-frame setting here before the bar is created.
    BOOL m_bBottomLine = TRUE;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // A bar that keeps its buttons' states itself is passed over by the frame's idle update.
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    // Draws the background into a memory DC the size of the client area.
    virtual void PaintBackground(CDC* pDC, const CRect& rect);
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    int m_nHeight;
    COLORREF m_clrTop;
    COLORREF m_clrBottom;
    bool m_bOwnButtonStates = false;
};

// Fills rect with a vertical gradient from top to bottom.
void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);
