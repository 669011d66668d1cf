// CToviHeaderCtrl: the skinned look of a report list's header: white cells with a soft lower
// gradient, hover and pressed tints, a sort triangle, an optional check box in the first column
// and a fixed height of 23 pixels.
//
// The owner sets m_bCheckColumn when it wants the check box, then calls Init with the list's
// header; the list must be a framework window (it reflects the header's drawing to us). Runs on
// the thread of the window.
#pragma once
#include "HeaderCtrl.h"
#include "ImageList.h"
#include "ToviInterfaceApi.h"

class TOVIINTERFACE_API CToviHeaderCtrl : public CHeaderCtrl {
    DECLARE_DYNAMIC(CToviHeaderCtrl)
public:
    CToviHeaderCtrl();
    ~CToviHeaderCtrl() override;

    // Subclasses the header window and makes every column owner-drawn; FALSE when the header
    // cannot be subclassed.
    BOOL Init(CHeaderCtrl* header);
    // Makes every column owner-drawn again (after columns were added).
    void ResetColumn(int unused = 0);
    // Shows the triangle on column (order 0 ascending, 1 descending); negative values are ignored.
    void SetOrder(int order, int column);
    // The column's text; its width through width when that is not null.
    CString GetItemInfo(int column, int* width);
    bool IsColumnTracking() const { return m_bColumnTracking; }

    bool m_bHoverTracking = false;
    bool m_bColumnTracking = false;
    int m_nHoverColumn = -1;
    int m_nLastHoverColumn = -1;
    int m_nHeight = 23;
    int m_nSortColumn = -1;
    int m_nSortOrder = -1;
    CImageList m_imageList;
    int m_nWindowsType = 0;
    bool m_bCheckColumn = false;
    CRect m_rcCheck;
    int m_nCheckState = 0;

protected:
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    BOOL OnEraseBkgnd(CDC* pDC);
    void OnNMCustomdraw(NMHDR* pNMHDR, LRESULT* pResult);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseLeave();
    LRESULT OnLayout(WPARAM wParam, LPARAM lParam);
    BOOL OnHdnBegintrack(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnHdnEndtrack(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    void DrawGround(HDC dc, const CRect& rc);
    void DrawTail(HDC dc);
};
