// CSplitterWnd: a static grid of panes (up to 16 x 16) separated by split bars that the user
// drags with the mouse; the panes follow the bar while it moves.
//
// Geometry, all in pixels of the splitter's client area: every pane has a border of
// m_cxBorder / m_cyBorder around it (drawn by OnDrawSplitter as splitBorder); neighbouring
// panes' borders are m_cxSplitterGap / m_cySplitterGap apart, and that gap is the split bar
// (drawn as splitBar, splitIntersection where two bars cross). The bar reacts to the mouse
// over max(gap, m_cxSplitter) pixels centred on the gap, widened by m_cxBorderShare into the
// borders on either side. A column's size (GetColumnInfo) is its pane's width without border.
// Subclasses change these members in their constructor or PreCreateWindow.
//
// UI thread only. The splitter is usually a member of its frame; it does not delete itself.
#pragma once
#include "Wnd.h"
#include "CreateContext.h"
#include <vector>

class CView;

class FW_API CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd();
    ~CSplitterWnd() override;

    // The grid (1..16 rows and columns) as a child of pParentWnd; the panes come from CreateView.
    BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                      UINT nID = AFX_IDW_PANE_FIRST);
    // Creates the pane (row, col) as an object of pViewClass with the context's document; sizeInit
    // becomes the ideal width of the column and height of the row. FALSE on failure.
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);

    int GetRowCount() const { return (int)m_rows.size(); }
    int GetColumnCount() const { return (int)m_cols.size(); }
    // The pane window at (row, col), or null.
    CWnd* GetPane(int row, int col) const;
    int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }
    // TRUE when pWnd is one of the panes; its position is returned.
    BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol) const;

    // Ideal and minimum sizes; RecalcLayout applies them. The current size is what the last
    // layout gave the pane.
    void SetColumnInfo(int col, int cxIdeal, int cxMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;

    // Every column but the last gets its ideal width (at least its minimum, at most what is
    // left); the last column gets the rest. Rows alike. Then the panes move and the bars repaint.
    virtual void RecalcLayout();

    // The active pane: the frame's active view when it is one of the panes, else the pane last
    // activated here or the one holding the focus; null (and -1, -1) when none.
    virtual CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);
    // Activates pWnd (or the pane at row, col): it becomes the frame's active view and gets the
    // focus. Views call it when the user clicks into them.
    virtual void SetActivePane(int row, int col, CWnd* pWnd = nullptr);

    enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };
    // Draws one part of the splitter into pDC.
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);

    // What lies under a point of the client area: kHitNone, kHitVBar + k (the bar right of
    // column k), kHitHBar + k (below row k) or kHitIntersection + k * 16 + j (both).
    enum { kHitNone = 0, kHitVBar = 100, kHitHBar = 200, kHitIntersection = 300 };
    int HitTest(CPoint point) const;
    BOOL IsTracking() const { return m_bTracking; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Commands and notifications its panes send up go on to the frame.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    int m_cxSplitter = 6, m_cySplitter = 6;
    int m_cxBorderShare = 1, m_cyBorderShare = 1;
    int m_cxSplitterGap = 6, m_cySplitterGap = 6;
    int m_cxBorder = 1, m_cyBorder = 1;

    struct CRowColInfo {
        int nMinSize = 0;
        int nIdealSize = 0;
        int nCurSize = 0;
    };
    std::vector<CRowColInfo> m_rows;
    std::vector<CRowColInfo> m_cols;

    // Starts or ends dragging the bar ht; ending without bAccept puts the sizes back.
    virtual void StartTracking(int ht, CPoint point);
    virtual void StopTracking(BOOL bAccept);

    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnCaptureChanged(CWnd* pWnd);
    void OnCancelMode();

    DECLARE_MESSAGE_MAP()

private:
    // Start of cell i (its border included) along one axis.
    int CellStart(const std::vector<CRowColInfo>& infos, int index, int border, int gap) const;
    void TrackTo(CPoint point);
    HCURSOR CursorFor(int ht) const;

    HWND m_hWndActivePane = nullptr;
    bool m_bTracking = false;
    int m_htTrack = kHitNone;
    CPoint m_ptTrackStart;
    std::vector<CRowColInfo> m_rowsBeforeTrack, m_colsBeforeTrack;
};
