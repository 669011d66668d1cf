// CSplitterWnd: the pane grid's layout, painting, split-bar dragging and the active pane.
#include "SplitterWnd.h"
#include "ControlBarRoute.h"
#include "Dc.h"
#include "FrameWnd.h"
#include "Trace.h"
#include "View.h"
#include "WindowPosBatch.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_CAPTURECHANGED()
    ON_WM_CANCELMODE()
END_MESSAGE_MAP()

namespace {

const int kMaxPanes = 16;

// Every entry but the last gets its ideal size (at least its minimum, at most what is left);
// the last takes the rest.
template <class Info>
void LayoutAxis(std::vector<Info>& infos, int total, int border, int gap)
{
    int n = (int)infos.size();
    if (n == 0)
        return;
    int avail = std::max(0, total - n * 2 * border - (n - 1) * gap);
    for (int i = 0; i < n - 1; ++i) {
        int want = std::max(0, std::max(infos[i].nIdealSize, infos[i].nMinSize));
        infos[i].nCurSize = std::min(want, avail);
        avail -= infos[i].nCurSize;
    }
    infos[n - 1].nCurSize = avail;
}

}

CSplitterWnd::CSplitterWnd() = default;
CSplitterWnd::~CSplitterWnd() = default;

BOOL CSplitterWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = RegisterClassFor(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
        if (cs.lpszClass == nullptr)
            return FALSE;
    }
    cs.style |= WS_CLIPCHILDREN;
    return CWnd::PreCreateWindow(cs);
}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (m_hWnd != nullptr || pParentWnd == nullptr || nRows < 1 || nCols < 1 || nRows > kMaxPanes
        || nCols > kMaxPanes) {
        FwTrace("CSplitterWnd::CreateStatic", "bad grid or parent, or the splitter exists already");
        return FALSE;
    }
    m_rows.assign(nRows, CRowColInfo());
    m_cols.assign(nCols, CRowColInfo());
    if (!CreateEx(0, nullptr, nullptr, dwStyle | WS_CHILD, CRect(0, 0, 0, 0), pParentWnd, nID)) {
        m_rows.clear();
        m_cols.clear();
        return FALSE;
    }
    if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pParentWnd))
        pFrame->RecalcLayout();
    return TRUE;
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (m_hWnd == nullptr || row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount()) {
        FwTrace("CSplitterWnd::CreateView", "no such pane");
        return FALSE;
    }
    int id = IdFromRowCol(row, col);
    if (::GetDlgItem(m_hWnd, id) != nullptr) {
        FwTrace("CSplitterWnd::CreateView", "the pane exists already");
        return FALSE;
    }
    CObject* pObject = pViewClass ? pViewClass->CreateObject() : nullptr;
    CWnd* pWnd = DYNAMIC_DOWNCAST(CWnd, pObject);
    if (pWnd == nullptr) {
        FwTrace("CSplitterWnd::CreateView", "the class cannot be created as a window");
        delete pObject;
        return FALSE;
    }
    CCreateContext context;
    if (pContext)
        context = *pContext;
    context.m_pNewViewClass = pViewClass;
    CFrameWnd* pFrame = GetParentFrame();
    context.m_pCurrentFrame = pFrame;
    // A view deletes itself when its creation fails; any other window is ours to delete.
    bool selfDeleting = pWnd->IsKindOf(RUNTIME_CLASS(CView));
    if (!pWnd->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, sizeInit.cx, sizeInit.cy), this,
                      (UINT)id, &context)) {
        FwTrace("CSplitterWnd::CreateView", "the pane window could not be created");
        if (!selfDeleting)
            delete pWnd;
        return FALSE;
    }
    m_cols[col].nIdealSize = sizeInit.cx;
    m_rows[row].nIdealSize = sizeInit.cy;
    if (pFrame && pFrame->IsFrameCreated())
        pWnd->SendMessage(WM_INITIALUPDATE);
    return TRUE;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    if (m_hWnd == nullptr || row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount())
        return nullptr;
    HWND hPane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col));
    return hPane ? FromHandle(hPane) : nullptr;
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol) const
{
    HWND hWnd = pWnd->GetSafeHwnd();
    if (hWnd == nullptr || m_hWnd == nullptr || ::GetParent(hWnd) != m_hWnd)
        return FALSE;
    int offset = ::GetDlgCtrlID(hWnd) - AFX_IDW_PANE_FIRST;
    int row = offset / 16, col = offset % 16;
    if (offset < 0 || row >= GetRowCount() || col >= GetColumnCount())
        return FALSE;
    if (pRow)
        *pRow = row;
    if (pCol)
        *pCol = col;
    return TRUE;
}

// ---- Sizes and layout ----

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col < 0 || col >= GetColumnCount())
        return;
    m_cols[col].nIdealSize = cxIdeal;
    m_cols[col].nMinSize = cxMin;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    cxCur = cxMin = 0;
    if (col < 0 || col >= GetColumnCount())
        return;
    cxCur = m_cols[col].nCurSize;
    cxMin = m_cols[col].nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row < 0 || row >= GetRowCount())
        return;
    m_rows[row].nIdealSize = cyIdeal;
    m_rows[row].nMinSize = cyMin;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    cyCur = cyMin = 0;
    if (row < 0 || row >= GetRowCount())
        return;
    cyCur = m_rows[row].nCurSize;
    cyMin = m_rows[row].nMinSize;
}

int CSplitterWnd::CellStart(const std::vector<CRowColInfo>& infos, int index, int border, int gap) const
{
    int start = 0;
    for (int i = 0; i < index && i < (int)infos.size(); ++i)
        start += infos[i].nCurSize + 2 * border + gap;
    return start;
}

void CSplitterWnd::RecalcLayout()
{
    if (m_hWnd == nullptr || m_rows.empty() || m_cols.empty())
        return;
    CRect client;
    GetClientRect(&client);
    LayoutAxis(m_cols, client.Width(), m_cxBorder, m_cxSplitterGap);
    LayoutAxis(m_rows, client.Height(), m_cyBorder, m_cySplitterGap);
    CWindowPosBatch batch(GetRowCount() * GetColumnCount());
    for (int row = 0; row < GetRowCount(); ++row) {
        for (int col = 0; col < GetColumnCount(); ++col) {
            HWND hPane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col));
            if (hPane == nullptr)
                continue;
            int x = client.left + CellStart(m_cols, col, m_cxBorder, m_cxSplitterGap) + m_cxBorder;
            int y = client.top + CellStart(m_rows, row, m_cyBorder, m_cySplitterGap) + m_cyBorder;
            batch.Move(hPane, nullptr, x, y, m_cols[col].nCurSize, m_rows[row].nCurSize,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    batch.End();
    Invalidate(TRUE);
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

// ---- Painting ----

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillRect(&client, ::GetSysColorBrush(COLOR_BTNFACE));
    int rows = GetRowCount(), cols = GetColumnCount();
    if (m_cxBorder > 0 || m_cyBorder > 0) {
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < cols; ++col) {
                int x = CellStart(m_cols, col, m_cxBorder, m_cxSplitterGap);
                int y = CellStart(m_rows, row, m_cyBorder, m_cySplitterGap);
                CRect cell(x, y, x + m_cols[col].nCurSize + 2 * m_cxBorder, y + m_rows[row].nCurSize + 2 * m_cyBorder);
                OnDrawSplitter(&dc, splitBorder, cell);
            }
        }
    }
    for (int col = 0; col + 1 < cols; ++col) {
        int x = CellStart(m_cols, col + 1, m_cxBorder, m_cxSplitterGap) - m_cxSplitterGap;
        OnDrawSplitter(&dc, splitBar, CRect(x, client.top, x + m_cxSplitterGap, client.bottom));
    }
    for (int row = 0; row + 1 < rows; ++row) {
        int y = CellStart(m_rows, row + 1, m_cyBorder, m_cySplitterGap) - m_cySplitterGap;
        OnDrawSplitter(&dc, splitBar, CRect(client.left, y, client.right, y + m_cySplitterGap));
    }
    for (int row = 0; row + 1 < rows; ++row) {
        int y = CellStart(m_rows, row + 1, m_cyBorder, m_cySplitterGap) - m_cySplitterGap;
        for (int col = 0; col + 1 < cols; ++col) {
            int x = CellStart(m_cols, col + 1, m_cxBorder, m_cxSplitterGap) - m_cxSplitterGap;
            OnDrawSplitter(&dc, splitIntersection, CRect(x, y, x + m_cxSplitterGap, y + m_cySplitterGap));
        }
    }
}

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect)
{
    if (pDC == nullptr) {
        InvalidateRect(&rect);
        return;
    }
    CRect area = rect;
    if (nType == splitBorder) {
        if (m_cxBorder >= 2 && m_cyBorder >= 2)
            pDC->DrawEdge(&area, EDGE_SUNKEN, BF_RECT);
        else
            pDC->FrameRect(&area, ::GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    pDC->FillRect(&area, ::GetSysColorBrush(COLOR_BTNFACE));
}

// ---- Split bars under the mouse ----

int CSplitterWnd::HitTest(CPoint point) const
{
    if (m_hWnd == nullptr)
        return kHitNone;
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point))
        return kHitNone;
    auto barUnder = [this](const std::vector<CRowColInfo>& infos, int pos, int border, int gap, int bar,
                           int share) {
        int extra = std::max(0, bar - gap);
        for (int k = 0; k + 1 < (int)infos.size(); ++k) {
            int gapEnd = CellStart(infos, k + 1, border, gap);
            int gapStart = gapEnd - gap;
            int lo = gapStart - extra / 2 - share;
            int hi = gapEnd + (extra - extra / 2) + share;
            if (pos >= lo && pos < hi)
                return k;
        }
        return -1;
    };
    int col = barUnder(m_cols, point.x - client.left, m_cxBorder, m_cxSplitterGap, m_cxSplitter, m_cxBorderShare);
    int row = barUnder(m_rows, point.y - client.top, m_cyBorder, m_cySplitterGap, m_cySplitter, m_cyBorderShare);
    if (col >= 0 && row >= 0)
        return kHitIntersection + row * 16 + col;
    if (col >= 0)
        return kHitVBar + col;
    if (row >= 0)
        return kHitHBar + row;
    return kHitNone;
}

HCURSOR CSplitterWnd::CursorFor(int ht) const
{
    if (ht >= kHitIntersection)
        return ::LoadCursor(nullptr, IDC_SIZEALL);
    if (ht >= kHitHBar)
        return ::LoadCursor(nullptr, IDC_SIZENS);
    if (ht >= kHitVBar)
        return ::LoadCursor(nullptr, IDC_SIZEWE);
    return ::LoadCursor(nullptr, IDC_ARROW);
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT && pWnd && pWnd->m_hWnd == m_hWnd) {
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        int ht = m_bTracking ? m_htTrack : HitTest(point);
        if (ht != kHitNone) {
            ::SetCursor(CursorFor(ht));
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// ---- Dragging ----

void CSplitterWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    int ht = HitTest(point);
    if (ht == kHitNone) {
        CWnd::OnLButtonDown(nFlags, point);
        return;
    }
    StartTracking(ht, point);
}

void CSplitterWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bTracking)
        TrackTo(point);
    else
        CWnd::OnMouseMove(nFlags, point);
}

void CSplitterWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (!m_bTracking) {
        CWnd::OnLButtonUp(nFlags, point);
        return;
    }
    TrackTo(point);
    StopTracking(TRUE);
}

void CSplitterWnd::OnCaptureChanged(CWnd* pWnd)
{
    // Someone else took the mouse (a message box, a menu): the drag is off.
    if (m_bTracking && pWnd != this && (pWnd == nullptr || pWnd->m_hWnd != m_hWnd))
        StopTracking(FALSE);
    CWnd::OnCaptureChanged(pWnd);
}

void CSplitterWnd::OnCancelMode()
{
    StopTracking(FALSE);
    CWnd::OnCancelMode();
}

void CSplitterWnd::StartTracking(int ht, CPoint point)
{
    if (ht == kHitNone || m_bTracking)
        return;
    m_rowsBeforeTrack = m_rows;
    m_colsBeforeTrack = m_cols;
    // Drag from what the user sees, not from ideals the layout could not honour.
    for (auto& info : m_rows)
        info.nIdealSize = info.nCurSize;
    for (auto& info : m_cols)
        info.nIdealSize = info.nCurSize;
    m_htTrack = ht;
    m_ptTrackStart = point;
    m_bTracking = true;
    SetCapture();
    ::SetCursor(CursorFor(ht));
}

void CSplitterWnd::TrackTo(CPoint point)
{
    // Moves the boundary after entry k by delta, within both neighbours' minimums.
    auto move = [](std::vector<CRowColInfo>& infos, const std::vector<CRowColInfo>& before, int k, int delta) {
        if (k < 0 || k + 1 >= (int)infos.size())
            return;
        int a = before[k].nCurSize, sum = a + before[k + 1].nCurSize;
        int lo = before[k].nMinSize, hi = sum - before[k + 1].nMinSize;
        if (hi < lo) {
            lo = 0;
            hi = sum;
        }
        int size = std::min(std::max(a + delta, lo), hi);
        infos[k].nIdealSize = size;
        if (k + 1 < (int)infos.size() - 1)
            infos[k + 1].nIdealSize = sum - size;
    };
    int ht = m_htTrack;
    if (ht >= kHitIntersection) {
        move(m_rows, m_rowsBeforeTrack, (ht - kHitIntersection) / 16, point.y - m_ptTrackStart.y);
        move(m_cols, m_colsBeforeTrack, (ht - kHitIntersection) % 16, point.x - m_ptTrackStart.x);
    } else if (ht >= kHitHBar) {
        move(m_rows, m_rowsBeforeTrack, ht - kHitHBar, point.y - m_ptTrackStart.y);
    } else if (ht >= kHitVBar) {
        move(m_cols, m_colsBeforeTrack, ht - kHitVBar, point.x - m_ptTrackStart.x);
    }
    RecalcLayout();
}

void CSplitterWnd::StopTracking(BOOL bAccept)
{
    if (!m_bTracking)
        return;
    m_bTracking = false;
    m_htTrack = kHitNone;
    if (!bAccept) {
        m_rows = m_rowsBeforeTrack;
        m_cols = m_colsBeforeTrack;
        RecalcLayout();
    }
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

// ---- The active pane ----

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol)
{
    int row = -1, col = -1;
    CWnd* pPane = nullptr;
    if (CFrameWnd* pFrame = GetParentFrame()) {
        CView* pView = pFrame->GetActiveView();
        if (pView && IsChildPane(pView, &row, &col))
            pPane = pView;
    }
    if (pPane == nullptr && m_hWndActivePane && ::IsWindow(m_hWndActivePane)) {
        CWnd* pWnd = FromHandle(m_hWndActivePane);
        if (IsChildPane(pWnd, &row, &col))
            pPane = pWnd;
    }
    if (pPane == nullptr) {
        for (HWND hWnd = ::GetFocus(); hWnd != nullptr && hWnd != m_hWnd; hWnd = ::GetParent(hWnd)) {
            if (::GetParent(hWnd) == m_hWnd) {
                CWnd* pWnd = FromHandle(hWnd);
                if (IsChildPane(pWnd, &row, &col))
                    pPane = pWnd;
                break;
            }
        }
    }
    if (pPane == nullptr)
        row = col = -1;
    if (pRow)
        *pRow = row;
    if (pCol)
        *pCol = col;
    return pPane;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pPane = pWnd ? pWnd : GetPane(row, col);
    if (pPane == nullptr || pPane->m_hWnd == nullptr)
        return;
    m_hWndActivePane = pPane->m_hWnd;
    CFrameWnd* pFrame = GetParentFrame();
    auto* pView = DYNAMIC_DOWNCAST(CView, pPane);
    if (pFrame && pView) {
        pFrame->SetActiveView(pView);
        return;
    }
    HWND focus = ::GetFocus();
    if (focus != pPane->m_hWnd && !::IsChild(pPane->m_hWnd, focus))
        pPane->SetFocus();
}

// ---- Commands from the panes ----

BOOL CSplitterWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    return FwRouteCommandToFrame(GetParentFrame(), wParam, lParam);
}

BOOL CSplitterWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CWnd::OnNotify(wParam, lParam, pResult))
        return TRUE;
    return FwRouteNotifyToFrame(GetParentFrame(), (NMHDR*)lParam, pResult);
}
