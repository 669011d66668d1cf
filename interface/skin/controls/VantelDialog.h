// CVantelDialog: the base of every skinned dialog: rounded window region, self-painted frame,
// caption band with gradient and title, three system buttons and dragging by the caption band.
//
// A derived dialog sets m_nUIType (and m_nProductType) in its constructor, carries the system
// buttons IDC_SYSBTN_MINIMIZE/MIDDLE/CLOSE in its template (the close button at least),
// handles their clicks itself, and calls DrawBkgnd from its own WM_ERASEBKGND handler. All
// members run on the thread that shows the dialog.
#pragma once
#include "Dc.h"
#include "Dialog.h"
#include "Gdi.h"
#include "ToviInterfaceApi.h"

class TOVIINTERFACE_API CVantelDialog : public CDialog {
    DECLARE_DYNAMIC(CVantelDialog)
public:
    // UI types: 0 default look; 1, 2, 3, 7 login look; 4, 5 default look that can minimise;
    // 8 progress dialog (shorter footer); 9, 10 default look with other accent rows.
    enum {
        kUITypeDefault = 0,
        kUITypeLogin = 1,
        kUITypeLoginBlue = 2,
        kUITypeLoginGold = 3,
        kUITypeMinimizable = 4,
        kUITypeMinimizable2 = 5,
        kUITypeLoginCorners = 7,
        kUITypeProgress = 8,
        kUITypeBlueAccent = 9,
        kUITypeGoldAccent = 10,
    };
    // Height of the band at the top of the client area that drags the dialog.
    enum : int {
        kDragBandHeight = 31,
    };

    CVantelDialog(UINT nIDTemplate, CWnd* pParent = nullptr);
    ~CVantelDialog() override;

    // Paints the client background and the caption band over rect; always TRUE.
    BOOL DrawBkgnd(CDC* pDC, CRect rect);
    // Right-aligns the system buttons as a block at the top of the client area.
    void SetSysButtonPos();
    void SetTitleBar(CString text);
    void GetTitleBar(CString& text);
    void SetTitleBarColor(COLORREF color);
    // Brings wnd (this dialog when null) to the foreground, also from a background process.
    void ActivateWindow(HWND wnd);

    // The caption text as last drawn (ellipsis included); empty before the first paint.
    CString GetShownTitle() const { return m_strShownTitle; }

    // Whether a left-button press at pt (screen coordinates) on the window target starts
    // moving the dialog: only presses in the caption band on the dialog itself or on a static
    // control do, so the buttons in the band keep their clicks.
    bool IsCaptionDrag(HWND target, POINT pt) const;

    // True for the login look (UI types 1, 2, 3, 7).
    static bool IsLoginLook(int uiType);
    // True for the UI types whose frame gets WS_MINIMIZEBOX (1 to 5).
    static bool IsMinimizable(int uiType);
    // Text band of the caption: H is 20 for the backup edition (2), else 22.
    static CRect TitleRect(int uiType, int productType, int right, CSize text);
    // The shape of our windows: the rectangle plus one pixel, each corner rounded with radius
    // 5 (its 5 x 5 square less an 11 x 11 ellipse cut away). The caller owns the region.
    static HRGN CreateRoundedRegion(int width, int height);

    int m_nUIType = 0;
    int m_nProductType = 0;

protected:
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;

    BOOL OnNcActivate(BOOL bActive);
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnSize(UINT nType, int cx, int cy);
    void OnEnterSizeMove();
    void OnExitSizeMove();
    void OnNcPaint();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    CRgn m_rgnWnd;
    CBrush m_brushCtl;
    bool m_bNcTracking = false;
    bool m_bActive = true;
    int m_nBorder;
    COLORREF m_clrFrame = 0xC0C0C0;
    COLORREF m_clrTitle1 = 0xF0A854;
    COLORREF m_clrTitle2 = 0xF1902F;
    CString m_strTitle;
    CFont m_fontDlg;
    CFont m_fontTitle;

private:
    void SetVantelRgn(int width, int height);
    void DrawBorders();
    void DrawLoginUI(CDC* pDC, CRect rect);
    void DrawDefaultUI(CDC* pDC, CRect rect);
    void DrawCornerArcs(HDC hdc, const CRect& rect);
    void DrawTitle(CDC* pDC, const CRect& rect);
    void AccentColors(COLORREF* accent1, COLORREF* accent2) const;
    HBRUSH ThemedCtlBrush(CWnd* pWnd);

    CString m_strShownTitle;
};
