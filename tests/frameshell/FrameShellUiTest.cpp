// Frame windows as the main window uses them: dialog bars along the edges, a 2x2 splitter of
// views, split-bar drags with the mouse, the active pane, commands from bar buttons, idle and
// menu updates, and the order in which a closing frame lets its pop-ups and views go.
#include "FrameTestRes.h"
#include "Framework.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <atomic>
#include <memory>

namespace {

std::atomic<int> g_framesAlive{ 0 };

// ---- Document, views, bars, splitter and frame of the tests ----

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)
public:
    int m_docCommands = 0;

protected:
    void OnDocCommand() { ++m_docCommands; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_TEST_ENABLED, OnDocCommand)
END_MESSAGE_MAP()

class CTestView : public CView {
    DECLARE_DYNAMIC(CTestView)
public:
    std::atomic<int> m_initialUpdates{ 0 };
    std::atomic<int> m_draws{ 0 };
    std::atomic<int> m_viewCommands{ 0 };
    int m_activations = 0;
    int m_deactivations = 0;

    void OnInitialUpdate() override
    {
        ++m_initialUpdates;
        CView::OnInitialUpdate();
    }
    void OnDraw(CDC* pDC) override
    {
        ++m_draws;
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, Background());
        pDC->SetBkMode(TRANSPARENT);
        CString name(GetRuntimeClass()->m_lpszClassName);
        pDC->TextOut(8, 8, name, name.GetLength());
    }
    void OnActivateView(BOOL bActivate, CView*, CView*) override
    {
        if (bActivate)
            ++m_activations;
        else
            ++m_deactivations;
    }
    virtual COLORREF Background() const { return RGB(0xFA, 0xFA, 0xFA); }

protected:
    void OnViewCommand() { ++m_viewCommands; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNAMIC(CTestView, CView)
BEGIN_MESSAGE_MAP(CTestView, CView)
    ON_COMMAND(ID_TEST_VIEWCMD, OnViewCommand)
    ON_COMMAND(IDC_BAR_VIEW, OnViewCommand)
END_MESSAGE_MAP()

class CLeftView : public CTestView {
    DECLARE_DYNCREATE(CLeftView)
};
IMPLEMENT_DYNCREATE(CLeftView, CTestView)

class CRightView : public CTestView {
    DECLARE_DYNCREATE(CRightView)
public:
    COLORREF Background() const override { return RGB(0xFF, 0xFF, 0xFF); }
};
IMPLEMENT_DYNCREATE(CRightView, CTestView)

// A bar that handles some of its buttons itself.
class CTestBar : public CDialogBar {
public:
    std::atomic<int> m_ownClicks{ 0 };

protected:
    void OnOwn() { ++m_ownClicks; }
    void OnKept() {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestBar, CDialogBar)
    ON_BN_CLICKED(IDC_BAR_OWN, OnOwn)
    ON_BN_CLICKED(IDC_BAR_KEPT, OnKept)
END_MESSAGE_MAP()

// The metrics and hooks a product splitter sets: 5-pixel bars and gaps, no shared border,
// 2-pixel pane borders, its own bar colour and a record of activations.
const COLORREF kBarColour = RGB(0xD6, 0xB0, 0x98);

class CTestSplitter : public CSplitterWnd {
public:
    CTestSplitter()
    {
        m_cxSplitter = m_cySplitter = 5;
        m_cxSplitterGap = m_cySplitterGap = 5;
        m_cxBorderShare = m_cyBorderShare = 0;
        m_cxBorder = m_cyBorder = 2;
    }
    std::atomic<int> m_activations{ 0 };
    std::atomic<int> m_lastRow{ -1 };
    std::atomic<int> m_lastCol{ -1 };

    void SetActivePane(int row, int col, CWnd* pWnd = nullptr) override
    {
        m_lastRow = row;
        m_lastCol = col;
        ++m_activations;
        CSplitterWnd::SetActivePane(row, col, pWnd);
    }
    void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) override
    {
        if (pDC && (nType == splitBar || nType == splitIntersection))
            pDC->FillSolidRect(&rect, kBarColour);
        else
            CSplitterWnd::OnDrawSplitter(pDC, nType, rect);
    }
};

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)
public:
    CTestFrame() { ++g_framesAlive; }
    ~CTestFrame() override { --g_framesAlive; }

    CTestBar m_top;
    CTestBar m_tool;
    CDialogBar m_bottom;
    CTestSplitter m_splitter;
    CTestDoc m_doc;
    std::atomic<int> m_frameClicks{ 0 };
    std::atomic<bool> m_allowDownload{ true };
    bool m_checked = true;

    CTestView* View(int row, int col) { return DYNAMIC_DOWNCAST(CTestView, m_splitter.GetPane(row, col)); }

protected:
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext*) override
    {
        if (!m_top.Create(this, IDD_TEST_TOPBAR, CBRS_ALIGN_TOP | CBRS_TOOLTIPS, IDD_TEST_TOPBAR)
            || !m_tool.Create(this, IDD_TEST_TOOLBAR, CBRS_ALIGN_TOP | CBRS_TOOLTIPS, IDD_TEST_TOOLBAR)
            || !m_bottom.Create(this, IDD_TEST_BOTTOMBAR, CBRS_ALIGN_BOTTOM, IDD_TEST_BOTTOMBAR))
            return FALSE;
        // The bar's own decision; idle updates leave it alone.
        m_tool.GetDlgItem(IDC_BAR_KEPT)->EnableWindow(FALSE);
        CCreateContext context;
        context.m_pCurrentDoc = &m_doc;
        if (!m_splitter.CreateStatic(this, 2, 2))
            return FALSE;
        for (int row = 0; row < 2; ++row) {
            if (!m_splitter.CreateView(row, 0, RUNTIME_CLASS(CLeftView), CSize(200, 150), &context)
                || !m_splitter.CreateView(row, 1, RUNTIME_CLASS(CRightView), CSize(200, 150), &context))
                return FALSE;
        }
        return TRUE;
    }
    void OnFrameButton() { ++m_frameClicks; }
    void OnUpdateDownload(CCmdUI* pCmdUI) { pCmdUI->Enable(m_allowDownload); }
    void OnEnabled() {}
    void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_checked ? 1 : 0); }
    void OnUpdateRenamed(CCmdUI* pCmdUI) { pCmdUI->SetText(L"새 이름"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_BN_CLICKED(IDC_BAR_FRAME, OnFrameButton)
    ON_UPDATE_COMMAND_UI(IDC_BAR_UPDATE, OnUpdateDownload)
    ON_COMMAND(ID_TEST_ENABLED, OnEnabled)
    ON_UPDATE_COMMAND_UI(ID_TEST_CHECKED, OnUpdateChecked)
    ON_UPDATE_COMMAND_UI(ID_TEST_RENAMED, OnUpdateRenamed)
END_MESSAGE_MAP()

// A frame whose client windows cannot be made.
class CFailingFrame : public CFrameWnd {
public:
    CFailingFrame() { ++g_framesAlive; }
    ~CFailingFrame() override { --g_framesAlive; }

protected:
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext*) override
    {
        m_bar.Create(this, IDD_TEST_TOPBAR, CBRS_ALIGN_TOP, IDD_TEST_TOPBAR);
        return FALSE;
    }
    CDialogBar m_bar;
};

// A top-level window the frame does not own, such as a web pop-up, that uses a view.
class CPopupProbe : public CWnd {
public:
    HWND m_hWndView = nullptr;
    std::atomic<int> m_viewAliveAtDestroy{ -1 };

protected:
    void OnDestroy()
    {
        m_viewAliveAtDestroy = ::IsWindow(m_hWndView) ? 1 : 0;
        CWnd::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPopupProbe, CWnd)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

// ---- Helpers ----

// A child's rectangle in its parent's client coordinates.
CRect RectInParent(HWND hWnd)
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), (LPPOINT)&rect, 2);
    return rect;
}

void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

// Presses the left button at from (client point of hWnd), moves in steps to to, and releases,
// through the system's input queue.
void DragWithMouse(HWND hWnd, POINT from, POINT to)
{
    ::ClientToScreen(hWnd, &from);
    ::ClientToScreen(hWnd, &to);
    ::SetCursorPos(from.x, from.y);
    SendMouse(MOUSEEVENTF_MOVE);
    uitest::PumpMessages();
    ::Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ::Sleep(50);
    for (int step = 1; step <= 4; ++step) {
        ::SetCursorPos(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4);
        SendMouse(MOUSEEVENTF_MOVE);
        ::Sleep(30);
    }
    SendMouse(MOUSEEVENTF_LEFTUP);
    ::Sleep(50);
}

class FrameShell : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.Run([&] {
            frame = new CTestFrame;
            ASSERT_TRUE(frame->LoadFrame(IDR_TEST_FRAME, WS_OVERLAPPEDWINDOW));
            frame->SetWindowPos(nullptr, 20, 20, 860, 640, SWP_NOZORDER);
            frame->ShowWindow(SW_SHOW);
            frame->UpdateWindow();
            hFrame = frame->m_hWnd;
            hSplitter = frame->m_splitter.m_hWnd;
        });
        ASSERT_NE(hFrame, nullptr);
    }
    void TearDown() override
    {
        ui.Run([&] {
            if (::IsWindow(hFrame))
                ::DestroyWindow(hFrame);
            probe.reset();
        });
        EXPECT_EQ(g_framesAlive.load(), 0);
    }

    // Column 0 and row 0 of the splitter at known sizes.
    void SplitAt(int cx, int cy)
    {
        ui.Run([&] {
            frame->m_splitter.SetColumnInfo(0, cx, 10);
            frame->m_splitter.SetRowInfo(0, cy, 10);
            frame->m_splitter.RecalcLayout();
        });
    }
    int ColumnWidth(int col)
    {
        int cur = 0, min = 0;
        frame->m_splitter.GetColumnInfo(col, cur, min);
        return cur;
    }
    int RowHeight(int row)
    {
        int cur = 0, min = 0;
        frame->m_splitter.GetRowInfo(row, cur, min);
        return cur;
    }

    uitest::UiThread ui;
    CTestFrame* frame = nullptr;
    HWND hFrame = nullptr;
    HWND hSplitter = nullptr;
    std::unique_ptr<CPopupProbe> probe;
};

// ---- Creation ----

TEST_F(FrameShell, LoadFrameTakesTitleIconAndMenuFromTheResources)
{
    EXPECT_EQ(uitest::GetText(hFrame), L"Frame Test");
    EXPECT_NE(::GetClassLongPtr(hFrame, GCLP_HICON), 0);
    HMENU menu = ::GetMenu(hFrame);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(menu, 0)), 7);
    EXPECT_FALSE(::GetWindowLongPtr(hFrame, GWL_STYLE) & FWS_ADDTOTITLE);
}

TEST_F(FrameShell, ViewsAreCreatedByRunTimeClassWithTheirDocumentAndOneInitialUpdate)
{
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            SCOPED_TRACE(testing::Message() << "pane " << row << "," << col);
            CTestView* view = frame->View(row, col);
            ASSERT_NE(view, nullptr);
            EXPECT_TRUE(view->IsKindOf(col == 0 ? RUNTIME_CLASS(CLeftView) : RUNTIME_CLASS(CRightView)));
            EXPECT_EQ(view->GetDlgCtrlID(), AFX_IDW_PANE_FIRST + row * 16 + col);
            EXPECT_EQ(frame->m_splitter.IdFromRowCol(row, col), AFX_IDW_PANE_FIRST + row * 16 + col);
            EXPECT_EQ(view->GetDocument(), &frame->m_doc);
            EXPECT_EQ(view->GetParentFrame(), frame);
            EXPECT_EQ(view->m_initialUpdates.load(), 1);
            EXPECT_TRUE(uitest::WaitUntil([&] { return view->m_draws > 0; }));
        }
    }
    EXPECT_EQ(frame->m_doc.GetViewCount(), 4);
    EXPECT_EQ(frame->m_top.GetParentFrame(), frame);
    EXPECT_EQ(frame->m_splitter.GetDlgCtrlID(), AFX_IDW_PANE_FIRST);

    bool again = true, notAWindow = true;
    ui.Run([&] {
        again = frame->m_splitter.CreateView(0, 0, RUNTIME_CLASS(CLeftView), CSize(10, 10), nullptr);
        notAWindow = frame->m_splitter.CreateView(1, 1, RUNTIME_CLASS(CTestDoc), CSize(10, 10), nullptr);
    });
    EXPECT_FALSE(again) << "a pane is made once";
    EXPECT_FALSE(notAWindow);
    EXPECT_EQ(frame->m_doc.GetViewCount(), 4);
}

TEST_F(FrameShell, AFrameWhoseClientCannotBeMadeFailsAndDeletesItself)
{
    BOOL created = TRUE;
    ui.Run([&] {
        auto* failing = new CFailingFrame;
        created = failing->LoadFrame(IDR_BARE_FRAME, WS_OVERLAPPEDWINDOW);
    });
    EXPECT_FALSE(created);
    EXPECT_EQ(g_framesAlive.load(), 1) << "only the fixture's frame is left";
}

std::atomic<int> g_docsAlive{ 0 };

class CCountedDoc : public CDocument {
public:
    CCountedDoc() { ++g_docsAlive; }
    ~CCountedDoc() override { --g_docsAlive; }
};

TEST_F(FrameShell, ADocumentThatDeletesItselfGoesWithItsLastView)
{
    ui.Run([&] {
        auto* doc = new CCountedDoc;
        doc->m_bAutoDelete = TRUE;
        CCreateContext context;
        context.m_pCurrentDoc = doc;
        context.m_pNewViewClass = RUNTIME_CLASS(CLeftView);
        CWnd* first = frame->CreateView(&context, 0xE950);
        CWnd* second = frame->CreateView(&context, 0xE951);
        ASSERT_TRUE(first && second);
        EXPECT_EQ(doc->GetViewCount(), 2);
        EXPECT_EQ(static_cast<CTestView*>(first)->m_initialUpdates.load(), 1) << "a view made later is initialised at once";
        first->DestroyWindow();
        EXPECT_EQ(g_docsAlive.load(), 1);
        second->DestroyWindow();
    });
    EXPECT_EQ(g_docsAlive.load(), 0);
}

// ---- Layout ----

TEST_F(FrameShell, BarsStackAlongTheirEdgesInCreationOrderAndTheSplitterFillsTheRest)
{
    auto check = [&](bool toolVisible) {
        CRect client;
        ::GetClientRect(hFrame, &client);
        CRect top = RectInParent(frame->m_top.m_hWnd);
        CRect bottom = RectInParent(frame->m_bottom.m_hWnd);
        CRect split = RectInParent(hSplitter);
        EXPECT_EQ(top, CRect(0, 0, client.right, frame->m_top.m_sizeDefault.cy));
        int below = top.bottom;
        if (toolVisible) {
            CRect tool = RectInParent(frame->m_tool.m_hWnd);
            EXPECT_EQ(tool, CRect(0, top.bottom, client.right, top.bottom + frame->m_tool.m_sizeDefault.cy));
            below = tool.bottom;
        }
        EXPECT_EQ(bottom, CRect(0, client.bottom - frame->m_bottom.m_sizeDefault.cy, client.right, client.bottom));
        EXPECT_EQ(split, CRect(0, below, client.right, bottom.top));
    };
    // The bars are as tall as their templates.
    CRect units(0, 0, 400, 20);
    ::MapDialogRect(frame->m_top.m_hWnd, &units);
    EXPECT_EQ(frame->m_top.m_sizeDefault.cy, units.Height());
    {
        SCOPED_TRACE("created");
        check(true);
    }
    ui.Run([&] { frame->SetWindowPos(nullptr, 0, 0, 700, 500, SWP_NOZORDER | SWP_NOMOVE); });
    {
        SCOPED_TRACE("resized");
        check(true);
    }
    ui.Run([&] { frame->m_tool.ShowWindow(SW_HIDE); });
    {
        SCOPED_TRACE("tool bar hidden");
        check(false);
    }
    ui.Run([&] { frame->ShowControlBar(&frame->m_tool, TRUE); });
    {
        SCOPED_TRACE("tool bar shown again");
        check(true);
    }
}

TEST_F(FrameShell, ABarMadeFromAPopUpTemplateIsAPlainChildAndStacksAboveEarlierBottomBars)
{
    CDialogBar extra;
    ui.Run([&] { ASSERT_TRUE(extra.Create(frame, IDD_TEST_POPUPBAR, CBRS_ALIGN_BOTTOM, IDD_TEST_POPUPBAR)); });
    LONG_PTR style = ::GetWindowLongPtr(extra.m_hWnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & (WS_POPUP | WS_CAPTION));
    EXPECT_EQ(::GetParent(extra.m_hWnd), hFrame);
    EXPECT_EQ(extra.GetDlgCtrlID(), IDD_TEST_POPUPBAR);
    CRect bottom = RectInParent(frame->m_bottom.m_hWnd);
    CRect mine = RectInParent(extra.m_hWnd);
    EXPECT_EQ(mine.bottom, bottom.top);
    EXPECT_EQ(mine.Height(), extra.m_sizeDefault.cy);
    EXPECT_EQ(RectInParent(hSplitter).bottom, mine.top);

    ui.Run([&] { extra.DestroyWindow(); });
    EXPECT_EQ(frame->GetControlBarCount(), 3);
    EXPECT_EQ(RectInParent(hSplitter).bottom, bottom.top) << "the space goes back to the splitter";
}

TEST_F(FrameShell, TheSplitterPlacesPanesByColumnAndRowSizesWithBordersAndGaps)
{
    SplitAt(200, 150);
    CRect area;
    ::GetClientRect(hSplitter, &area);
    // 2-pixel borders around each pane, 5-pixel gaps between the bordered panes.
    EXPECT_EQ(RectInParent(frame->View(0, 0)->m_hWnd), CRect(2, 2, 202, 152));
    EXPECT_EQ(RectInParent(frame->View(0, 1)->m_hWnd), CRect(211, 2, area.right - 2, 152));
    EXPECT_EQ(RectInParent(frame->View(1, 0)->m_hWnd), CRect(2, 161, 202, area.bottom - 2));
    EXPECT_EQ(RectInParent(frame->View(1, 1)->m_hWnd), CRect(211, 161, area.right - 2, area.bottom - 2));
    EXPECT_EQ(ColumnWidth(0), 200);
    EXPECT_EQ(ColumnWidth(1), area.right - 213);
    EXPECT_EQ(RowHeight(1), area.bottom - 163);

    // An ideal size larger than the splitter leaves the last pane nothing, never a negative size.
    SplitAt(5000, 150);
    EXPECT_EQ(ColumnWidth(0), area.right - 4 - 4 - 5);
    EXPECT_EQ(ColumnWidth(1), 0);

    // The bars are painted by the subclass's OnDrawSplitter.
    SplitAt(200, 150);
    ui.Run([&] { frame->m_splitter.UpdateWindow(); });
    uitest::Pixels pixels = uitest::CaptureWindow(hSplitter, 300);
    ASSERT_FALSE(pixels.Empty());
    EXPECT_EQ(pixels.At(206, 60), kBarColour);
    EXPECT_EQ(pixels.At(60, 156), kBarColour);
    EXPECT_EQ(pixels.At(206, 156), kBarColour);
}

TEST_F(FrameShell, HitTestFindsTheBarsAndTheirCrossing)
{
    SplitAt(200, 150);
    struct Row {
        int x, y, expected;
    };
    const Row rows[] = {
        { 206, 60, CSplitterWnd::kHitVBar + 0 },      // in the vertical gap 204..208
        { 204, 60, CSplitterWnd::kHitVBar + 0 },
        { 208, 60, CSplitterWnd::kHitVBar + 0 },
        { 203, 60, CSplitterWnd::kHitNone },          // the left pane's border
        { 209, 60, CSplitterWnd::kHitNone },
        { 60, 156, CSplitterWnd::kHitHBar + 0 },      // in the horizontal gap 154..158
        { 206, 156, CSplitterWnd::kHitIntersection },
        { 60, 60, CSplitterWnd::kHitNone },           // inside a pane
        { -5, 60, CSplitterWnd::kHitNone },
    };
    for (const Row& row : rows)
        EXPECT_EQ(frame->m_splitter.HitTest(CPoint(row.x, row.y)), row.expected) << "at " << row.x << "," << row.y;
}

// ---- Dragging the split bars ----

TEST_F(FrameShell, DraggingTheVerticalBarMovesTheBoundaryBetweenTheColumns)
{
    SplitAt(200, 150);
    int total = ColumnWidth(0) + ColumnWidth(1);
    DragWithMouse(hSplitter, { 206, 60 }, { 246, 70 });
    ASSERT_TRUE(uitest::WaitUntil([&] { return !frame->m_splitter.IsTracking() && ColumnWidth(0) == 240; }))
        << "column 0 is " << ColumnWidth(0);
    EXPECT_EQ(ColumnWidth(1), total - 240);
    EXPECT_EQ(RowHeight(0), 150) << "a vertical bar leaves the rows alone";
    EXPECT_EQ(RectInParent(frame->View(0, 1)->m_hWnd).left, 251);
    EXPECT_EQ(RectInParent(frame->View(1, 1)->m_hWnd).left, 251);
}

TEST_F(FrameShell, DraggingPastTheEdgeStopsAtTheColumnMinimum)
{
    SplitAt(200, 150);
    ui.Run([&] { frame->m_splitter.SetColumnInfo(1, 0, 10); });
    int total = ColumnWidth(0) + ColumnWidth(1);
    DragWithMouse(hSplitter, { 206, 60 }, { 0, 60 });
    ASSERT_TRUE(uitest::WaitUntil([&] { return !frame->m_splitter.IsTracking() && ColumnWidth(0) == 10; }))
        << "column 0 is " << ColumnWidth(0);
    // The bar now lies at 14..18; pulled past the right edge it leaves column 1 its minimum.
    CRect area;
    ::GetClientRect(hSplitter, &area);
    DragWithMouse(hSplitter, { 16, 60 }, { area.right + 40, 60 });
    ASSERT_TRUE(uitest::WaitUntil([&] { return !frame->m_splitter.IsTracking() && ColumnWidth(1) == 10; }))
        << "column 1 is " << ColumnWidth(1);
    EXPECT_EQ(ColumnWidth(0), total - 10);
}

TEST_F(FrameShell, DraggingTheCrossingMovesBothBars)
{
    SplitAt(200, 150);
    DragWithMouse(hSplitter, { 206, 156 }, { 236, 136 });
    ASSERT_TRUE(uitest::WaitUntil([&] { return !frame->m_splitter.IsTracking() && ColumnWidth(0) == 230; }))
        << "column 0 is " << ColumnWidth(0);
    EXPECT_EQ(RowHeight(0), 130);
}

TEST_F(FrameShell, ADragThatLosesTheMouseGivesTheSizesBack)
{
    SplitAt(200, 150);
    POINT start = { 60, 156 };
    ::ClientToScreen(hSplitter, &start);
    ::SetCursorPos(start.x, start.y);
    SendMouse(MOUSEEVENTF_MOVE);
    ::Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ::SetCursorPos(start.x, start.y + 50);
    SendMouse(MOUSEEVENTF_MOVE);
    ASSERT_TRUE(uitest::WaitUntil([&] { return frame->m_splitter.IsTracking() && RowHeight(0) == 200; }))
        << "row 0 is " << RowHeight(0);
    // Something else takes the mouse (a message box, a menu).
    ::PostMessage(hSplitter, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !frame->m_splitter.IsTracking(); }));
    SendMouse(MOUSEEVENTF_LEFTUP);
    ::Sleep(50);
    EXPECT_EQ(RowHeight(0), 150);
    EXPECT_EQ(::GetCapture(), nullptr);
}

// ---- The active pane ----

TEST_F(FrameShell, ClickingIntoAViewActivatesItsPaneThroughTheSplitter)
{
    SplitAt(200, 150);
    CTestView* target = frame->View(1, 1);
    uitest::ClickWithMouse(target->m_hWnd, { 30, 30 });
    ASSERT_TRUE(uitest::WaitUntil([&] { return frame->m_splitter.m_activations > 0; }));
    EXPECT_EQ(frame->m_splitter.m_lastRow.load(), 1);
    EXPECT_EQ(frame->m_splitter.m_lastCol.load(), 1);
    int row = -1, col = -1;
    CWnd* active = nullptr;
    ui.Run([&] { active = frame->m_splitter.GetActivePane(&row, &col); });
    EXPECT_EQ(active, target);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(frame->GetActiveView(), target);
    EXPECT_EQ(target->m_activations, 1);

    ui.Run([&] {
        frame->m_splitter.SetActivePane(0, 0);
        active = frame->m_splitter.GetActivePane(&row, &col);
    });
    EXPECT_EQ(active, frame->View(0, 0));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(target->m_deactivations, 1);
    HWND focus = nullptr;
    ui.Run([&] { focus = ::GetFocus(); });
    EXPECT_EQ(focus, frame->View(0, 0)->m_hWnd);
}

TEST_F(FrameShell, AnActiveViewThatIsDestroyedIsNoLongerReported)
{
    ui.Run([&] { frame->m_splitter.SetActivePane(1, 0); });
    ASSERT_EQ(frame->GetActiveView(), frame->View(1, 0));
    CWnd* active = frame;
    int row = 0, col = 0;
    ui.Run([&] {
        frame->View(1, 0)->DestroyWindow();
        ::SetFocus(hFrame);
        active = frame->m_splitter.GetActivePane(&row, &col);
    });
    EXPECT_EQ(frame->GetActiveView(), nullptr);
    EXPECT_EQ(active, nullptr);
    EXPECT_EQ(row, -1);
    EXPECT_EQ(frame->m_doc.GetViewCount(), 3) << "the view left its document";
}

// ---- Commands and updates ----

TEST_F(FrameShell, BarButtonsReachTheBarTheFrameOrTheActiveView)
{
    ASSERT_TRUE(uitest::ClickButton(frame->m_top.m_hWnd, IDC_BAR_OWN));
    ASSERT_TRUE(uitest::WaitUntil([&] { return frame->m_top.m_ownClicks == 1; }));
    EXPECT_EQ(frame->m_frameClicks.load(), 0);

    ASSERT_TRUE(uitest::ClickButton(frame->m_top.m_hWnd, IDC_BAR_FRAME));
    ASSERT_TRUE(uitest::WaitUntil([&] { return frame->m_frameClicks == 1; }));
    EXPECT_EQ(frame->m_top.m_ownClicks.load(), 1);

    ui.Run([&] { frame->m_splitter.SetActivePane(0, 1); });
    ASSERT_TRUE(uitest::ClickButton(frame->m_top.m_hWnd, IDC_BAR_VIEW));
    ASSERT_TRUE(uitest::WaitUntil([&] { return frame->View(0, 1)->m_viewCommands == 1; }));
    EXPECT_EQ(frame->View(0, 0)->m_viewCommands.load(), 0);

    // Menu commands take the same road: view, then its document, then the frame.
    ::PostMessage(hFrame, WM_COMMAND, ID_TEST_ENABLED, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return frame->m_doc.m_docCommands == 1; }));
}

TEST_F(FrameShell, ABarGivesTooltipsFromTheStringsOfItsControls)
{
    auto tip = [&](HWND bar, int id) -> std::wstring {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = nullptr;
        info.hdr.idFrom = (UINT_PTR)::GetDlgItem(bar, id);
        info.hdr.code = TTN_NEEDTEXTW;
        info.uFlags = TTF_IDISHWND;
        ui.Run([&] { ::SendMessage(bar, WM_NOTIFY, id, (LPARAM)&info); });
        return info.lpszText ? std::wstring(info.lpszText) : std::wstring(L"(none)");
    };
    EXPECT_EQ(tip(frame->m_top.m_hWnd, IDC_BAR_OWN), L"Own button") << "the part after the line break";
    EXPECT_EQ(tip(frame->m_top.m_hWnd, IDC_BAR_FRAME), L"Frame command");
    EXPECT_EQ(tip(frame->m_top.m_hWnd, IDC_BAR_VIEW), L"(none)") << "no string, no tip";
    EXPECT_EQ(tip(frame->m_bottom.m_hWnd, IDC_BAR_STATUS), L"(none)") << "the bar has no CBRS_TOOLTIPS";
}

TEST_F(FrameShell, MenuItemsFollowTheUpdateHandlersWhenTheMenuOpens)
{
    HMENU edit = ::GetSubMenu(::GetMenu(hFrame), 0);
    auto open = [&] { ui.Run([&] { ::SendMessage(hFrame, WM_INITMENUPOPUP, (WPARAM)edit, MAKELPARAM(0, FALSE)); }); };
    auto grey = [&](int position) { return (::GetMenuState(edit, position, MF_BYPOSITION) & MF_GRAYED) != 0; };
    open();
    EXPECT_FALSE(grey(0)) << "a command handler enables";
    EXPECT_TRUE(grey(1)) << "no handler anywhere greys";
    EXPECT_TRUE(::GetMenuState(edit, 3, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(grey(4)) << "only views handle it, and none is active";
    wchar_t text[64] = {};
    ::GetMenuStringW(edit, 5, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"새 이름");

    ui.Run([&] {
        frame->m_splitter.SetActivePane(0, 0);
        frame->m_checked = false;
    });
    open();
    EXPECT_FALSE(grey(4)) << "the active view handles it now";
    EXPECT_FALSE(::GetMenuState(edit, 3, MF_BYPOSITION) & MF_CHECKED);

    ::EnableMenuItem(edit, 1, MF_BYPOSITION | MF_ENABLED);
    frame->m_bAutoMenuEnable = FALSE;
    open();
    EXPECT_FALSE(grey(1)) << "without automatic enabling the item is left as it is";
}

// ---- Shut-down ----

TEST_F(FrameShell, AClosingFrameDestroysItsPopUpsWhileTheViewsStillExist)
{
    ui.Run([&] {
        probe = std::make_unique<CPopupProbe>();
        probe->m_hWndView = frame->View(0, 1)->m_hWnd;
        ASSERT_TRUE(probe->CreateEx(0, nullptr, L"pop-up", WS_POPUP | WS_VISIBLE, 900, 20, 120, 80, nullptr, nullptr));
        frame->AddPopup(probe->m_hWnd);
    });
    HWND hPopup = probe->m_hWnd;
    ASSERT_TRUE(uitest::CloseWindow(hFrame));
    ASSERT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(hFrame); }));
    EXPECT_FALSE(::IsWindow(hPopup));
    EXPECT_EQ(probe->m_viewAliveAtDestroy.load(), 1);
    EXPECT_EQ(g_framesAlive.load(), 0) << "the frame deleted itself";
}

// ---- Idle updates on a framework UI thread ----

std::atomic<CTestFrame*> g_threadFrame{ nullptr };
std::atomic<HWND> g_threadFrameWnd{ nullptr };

class CFrameThread : public CWinThread {
    DECLARE_DYNCREATE(CFrameThread)
public:
    BOOL InitInstance() override
    {
        auto* pFrame = new CTestFrame;
        if (!pFrame->LoadFrame(IDR_TEST_FRAME, WS_OVERLAPPEDWINDOW))
            return FALSE;
        m_pMainWnd = pFrame;
        pFrame->SetWindowPos(nullptr, 30, 30, 800, 600, SWP_NOZORDER);
        pFrame->ShowWindow(SW_SHOW);
        g_threadFrame = pFrame;
        g_threadFrameWnd = pFrame->m_hWnd;
        return TRUE;
    }
};
IMPLEMENT_DYNCREATE(CFrameThread, CWinThread)

TEST(FrameIdleUpdate, VisibleBarsFollowTheUpdateHandlersWhenTheThreadIsIdleAndShowTips)
{
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CFrameThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_TRUE(uitest::WaitUntil([] { return g_threadFrameWnd.load() != nullptr; }));
    HWND hFrame = g_threadFrameWnd;
    CTestFrame* frame = g_threadFrame;
    HWND top = ::GetDlgItem(hFrame, IDD_TEST_TOPBAR);
    HWND tool = ::GetDlgItem(hFrame, IDD_TEST_TOOLBAR);
    auto enabled = [](HWND bar, int id) { return ::IsWindowEnabled(::GetDlgItem(bar, id)) != FALSE; };

    EXPECT_TRUE(uitest::WaitUntil([&] { return !enabled(tool, IDC_BAR_NONE); })) << "nobody handles it: grey";
    EXPECT_TRUE(enabled(tool, IDC_BAR_UPDATE)) << "the frame's update handler allows it";
    EXPECT_FALSE(enabled(tool, IDC_BAR_KEPT)) << "the bar handles it and disabled it itself";
    EXPECT_TRUE(enabled(top, IDC_BAR_OWN));
    EXPECT_TRUE(enabled(top, IDC_BAR_FRAME));
    EXPECT_FALSE(enabled(top, IDC_BAR_VIEW)) << "no active view handles it yet";
    EXPECT_TRUE(enabled(tool, IDC_BAR_SEARCH)) << "only buttons are greyed";

    frame->m_allowDownload = false;
    ::PostMessage(hFrame, WM_NULL, 0, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !enabled(tool, IDC_BAR_UPDATE); }));

    // A hidden bar is left alone until it shows again.
    ::ShowWindow(tool, SW_HIDE);
    frame->m_allowDownload = true;
    ::PostMessage(hFrame, WM_NULL, 0, 0);
    ::Sleep(300);
    EXPECT_FALSE(enabled(tool, IDC_BAR_UPDATE));
    ::ShowWindow(tool, SW_SHOW);
    ::PostMessage(hFrame, WM_NULL, 0, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return enabled(tool, IDC_BAR_UPDATE); }));

    // Resting the mouse on a bar button shows its tip from the string table.
    HWND button = ::GetDlgItem(top, IDC_BAR_OWN);
    CRect rect;
    ::GetWindowRect(button, &rect);
    for (int step = 0; step < 4; ++step) {
        ::SetCursorPos(rect.left + 5 + step * 3, rect.top + 6);
        SendMouse(MOUSEEVENTF_MOVE);
        ::Sleep(40);
    }
    HWND shown = nullptr;
    EXPECT_TRUE(uitest::WaitUntil([&] {
        shown = nullptr;
        for (HWND tip : uitest::FindTopWindows(TOOLTIPS_CLASSW, nullptr)) {
            if (uitest::GetText(tip) == L"Own button")
                shown = tip;
        }
        return shown != nullptr;
    })) << "no visible tip with the button's text";

    ::PostMessage(hFrame, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(thread->m_hThread, 10000), WAIT_OBJECT_0) << "closing the main frame ends the thread";
    delete thread;
    EXPECT_EQ(g_framesAlive.load(), 0);
}

// ---- A picture to look at ----

TEST_F(FrameShell, Screenshot)
{
    SplitAt(260, 200);
    ui.Run([&] { frame->m_splitter.SetActivePane(0, 0); frame->RedrawWindow(); });
    std::wstring dir = testpaths::ScratchDir(L"FrameShellUiTest");
    EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(hFrame, 500), dir + L"\\frame.png"));
}

}
