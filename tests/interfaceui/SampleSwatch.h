// CSampleSwatch: a static control that paints itself in one colour through the reflected
// WM_CTLCOLORSTATIC (the sample dialog's colour band).
#pragma once
#include "Wnd.h"

class CSampleSwatch : public CWnd {
    DECLARE_DYNAMIC(CSampleSwatch)
public:
    CSampleSwatch() = default;
    ~CSampleSwatch() override;

    void SetColor(COLORREF color);
    COLORREF GetColor() const { return m_color; }
    int GetColorRequests() const { return m_nColorRequests; }

protected:
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    COLORREF m_color = RGB(0, 120, 215);
    HBRUSH m_hBrush = nullptr;
    int m_nColorRequests = 0;
};
