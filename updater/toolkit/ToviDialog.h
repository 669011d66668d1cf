// CToviDialog: the update program's skinned dialog base: a blue caption band with the window
// title, a light body, a grey bottom band, a thin dark frame, rounded corners, dragging by the
// caption band and the dialog font of the product's language.
//
// Templates are captionless popups; the caption close button is control 10133. Runs on the
// thread that shows the dialog.
//
// Not the client's CVantelDialog of ToviInterface.dll: the update program links none of the
// client's libraries, so its toolkit is its own and may differ from the client's.
#pragma once
#include "Dialog.h"
#include "Gdi.h"

class CToviDialog : public CDialog {
public:
    CToviDialog(UINT nIDTemplate, CWnd* pParent);
    ~CToviDialog() override;

    // Chooses the dialog font face (set before the dialog runs).
    int m_nProductIndex = 0;

    // Paints the whole skinned background (bands, frame and title) of a client rectangle.
    BOOL DrawBkgnd(HDC dc, const RECT& client);

    static const int kCaptionHeight = 24;
    static const int kBottomBand = 36;
    static const COLORREF kBodyColor = RGB(0xF8, 0xF8, 0xF8);

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // Rounded outline of the window at that size.
    void SetVantelRgn(int cx, int cy);
    // The caption close button at the top right.
    void SetSysButtonPos();
    HFONT DialogFont() const { return static_cast<HFONT>(m_font.GetSafeHandle()); }
    DECLARE_MESSAGE_MAP()

private:
    void DrawBorders(HDC dc, const RECT& client);

    CFont m_font;
    CFont m_titleFont;
    HBRUSH m_bodyBrush = nullptr;
    COLORREF m_clrFrame = RGB(0xC0, 0xC0, 0xC0);
};
