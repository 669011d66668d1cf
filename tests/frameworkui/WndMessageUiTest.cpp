// CWnd message dispatch on real windows: cracked handler parameters, the base-class chain,
// commands and notifications from controls, reflection to the control, Default(),
// subclassing, temporary wrappers, self-deleting windows and exceptions in handlers.
#include "Framework.h"
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const UINT kMsgPlain = WM_APP + 1;
const UINT kMsgThrow = WM_APP + 2;
const UINT kMsgCount = WM_APP + 3;
const UINT kMsgRegistered = ::RegisterWindowMessageW(L"FwTest.Registered");
const int kIdChild = 1001;
const int kIdRangeFirst = 1100;
const int kIdRangeLast = 1109;

std::string Str(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// A top-level window whose handlers record what they were given.
class CRecordingWnd : public CWnd {
public:
    std::vector<std::string> calls;
    std::string Last() const { return calls.empty() ? "" : calls.back(); }

    BOOL CreateTop()
    {
        return CreateEx(0, nullptr, L"FwTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300, nullptr, nullptr);
    }

protected:
    int OnCreate(LPCREATESTRUCT cs) { calls.push_back(Str("create %ls", cs->lpszName)); return CWnd::OnCreate(cs); }
    void OnSize(UINT type, int cx, int cy) { calls.push_back(Str("size %u %d %d", type, cx, cy)); }
    void OnMove(int x, int y) { calls.push_back(Str("move %d %d", x, y)); }
    void OnLButtonDown(UINT flags, CPoint p) { calls.push_back(Str("lbuttondown %u %ld %ld", flags, p.x, p.y)); }
    void OnKeyDown(UINT c, UINT rep, UINT flags) { calls.push_back(Str("keydown %u %u %u", c, rep, flags)); }
    BOOL OnMouseWheel(UINT flags, short delta, CPoint p)
    {
        calls.push_back(Str("wheel %u %d %ld %ld", flags, delta, p.x, p.y));
        return TRUE;
    }
    BOOL OnSetCursor(CWnd* pWnd, UINT hit, UINT message)
    {
        calls.push_back(Str("setcursor %d %u %u", pWnd == this, hit, message));
        return TRUE;
    }
    void OnContextMenu(CWnd* pWnd, CPoint p) { calls.push_back(Str("contextmenu %d %ld %ld", pWnd == this, p.x, p.y)); }
    BOOL OnCopyData(CWnd*, COPYDATASTRUCT* cds)
    {
        calls.push_back(Str("copydata %lu %lu", (unsigned long)cds->dwData, cds->cbData));
        return TRUE;
    }
    LRESULT OnNcHitTest(CPoint p) { calls.push_back(Str("nchittest %ld %ld", p.x, p.y)); return HTCAPTION; }
    void OnTimer(UINT_PTR id) { calls.push_back(Str("timer %u", (unsigned)id)); }
    void OnSysCommand(UINT id, LPARAM l) { calls.push_back(Str("syscommand %u %ld", id, (long)l)); }
    LRESULT OnPlain(WPARAM w, LPARAM l) { calls.push_back(Str("plain %u %ld", (unsigned)w, (long)l)); return 42; }
    LRESULT OnRegistered(WPARAM w, LPARAM) { calls.push_back(Str("registered %u", (unsigned)w)); return 43; }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_MOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_MOUSEWHEEL()
    ON_WM_SETCURSOR()
    ON_WM_CONTEXTMENU()
    ON_WM_COPYDATA()
    ON_WM_NCHITTEST()
    ON_WM_TIMER()
    ON_WM_SYSCOMMAND()
    ON_MESSAGE(kMsgPlain, OnPlain)
    ON_REGISTERED_MESSAGE(kMsgRegistered, OnRegistered)
    ON_MESSAGE(kMsgThrow, OnThrow)
END_MESSAGE_MAP()

class WndMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wnd.CreateTop());
        wnd.calls.clear();
    }
    CRecordingWnd wnd;
};

TEST_F(WndMessages, CreationRunsTheCreateHandlerOnTheObject)
{
    CRecordingWnd other;
    ASSERT_TRUE(other.CreateTop());
    ASSERT_FALSE(other.calls.empty());
    EXPECT_EQ(other.calls.front(), "create FwTest");
    EXPECT_EQ(CWnd::FromHandlePermanent(other.m_hWnd), &other);
}

TEST_F(WndMessages, HandlersGetTheMessageParametersCracked)
{
    struct Row { UINT message; WPARAM wParam; LPARAM lParam; std::string expected; LRESULT result; };
    HWND self = wnd.m_hWnd;
    static COPYDATASTRUCT cds = { 7, 5, const_cast<char*>("hello") };
    const Row rows[] = {
        { WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80), "size 0 120 80", 0 },
        { WM_MOVE, 0, MAKELPARAM(-5 & 0xFFFF, 30), "move -5 30", 0 },
        { WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(11, 22), "lbuttondown 1 11 22", 0 },
        { WM_KEYDOWN, VK_F5, MAKELPARAM(3, 0x3F), "keydown 116 3 63", 0 },
        { WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, (WORD)-120), MAKELPARAM(300, 200), "wheel 4 -120 300 200", TRUE },
        { WM_SETCURSOR, (WPARAM)self, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), "setcursor 1 1 512", TRUE },
        { WM_CONTEXTMENU, (WPARAM)self, MAKELPARAM(-1 & 0xFFFF, -1 & 0xFFFF), "contextmenu 1 -1 -1", 0 },
        { WM_COPYDATA, (WPARAM)self, (LPARAM)&cds, "copydata 7 5", TRUE },
        { WM_NCHITTEST, 0, MAKELPARAM(40, 50), "nchittest 40 50", HTCAPTION },
        { WM_TIMER, 77, 0, "timer 77", 0 },
        { WM_SYSCOMMAND, SC_KEYMENU, 13, "syscommand 61696 13", 0 },
        { kMsgPlain, 5, -6, "plain 5 -6", 42 },
        { kMsgRegistered, 9, 0, "registered 9", 43 },
    };
    for (const Row& row : rows) {
        wnd.calls.clear();
        LRESULT result = wnd.SendMessage(row.message, row.wParam, row.lParam);
        EXPECT_EQ(wnd.Last(), row.expected) << "message 0x" << std::hex << row.message;
        EXPECT_EQ(result, row.result) << "message 0x" << std::hex << row.message;
    }
}

TEST_F(WndMessages, AnExceptionInAHandlerStaysInTheFramework)
{
    // Thrown on purpose: in test runs such an exception otherwise ends the program.
    bool before = FwExpectHandlerExceptions(true);
    EXPECT_EQ(wnd.SendMessage(kMsgThrow), 0);
    FwExpectHandlerExceptions(before);
    EXPECT_EQ(wnd.SendMessage(kMsgPlain, 1, 2), 42);   // the window still works
}

// ---- The base-class chain ----

class CBaseWnd : public CWnd {
public:
    std::vector<std::string> calls;

protected:
    void OnSize(UINT, int, int) { calls.push_back("base size"); }
    LRESULT OnPlain(WPARAM, LPARAM) { calls.push_back("base plain"); return 1; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_WM_SIZE()
    ON_MESSAGE(kMsgPlain, OnPlain)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
protected:
    LRESULT OnPlain(WPARAM w, LPARAM l)
    {
        calls.push_back("derived plain");
        return CBaseWnd::OnPlain(w, l) + 1;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(kMsgPlain, OnPlain)
END_MESSAGE_MAP()

TEST(WndChain, TheDerivedMapWinsAndTheBaseMapFillsIn)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"chain", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    wnd.calls.clear();
    EXPECT_EQ(wnd.SendMessage(kMsgPlain), 2);
    EXPECT_EQ(wnd.calls, (std::vector<std::string>{ "derived plain", "base plain" }));
    wnd.calls.clear();
    wnd.SendMessage(WM_SIZE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(wnd.calls, std::vector<std::string>{ "base size" });
}

// ---- Controls: commands, notifications and reflection ----

// A control that handles some of its notifications itself.
class CReflectingCtrl : public CWnd {
public:
    std::vector<std::string> calls;
    HBRUSH brush = nullptr;

protected:
    void OnClickReflect(NMHDR*, LRESULT* pResult) { calls.push_back("child click"); *pResult = 11; }
    BOOL OnDblClkReflect(NMHDR*, LRESULT*) { calls.push_back("child dblclk"); return FALSE; }
    void OnChangeReflect() { calls.push_back("child change"); }
    HBRUSH CtlColor(CDC*, UINT nCtlColor) { calls.push_back(Str("child ctlcolor %u", nCtlColor)); return brush; }
    void MeasureItem(LPMEASUREITEMSTRUCT mis) { calls.push_back("child measure"); mis->itemHeight = 33; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectingCtrl, CWnd)
    ON_NOTIFY_REFLECT(NM_CLICK, OnClickReflect)
    ON_NOTIFY_REFLECT_EX(NM_DBLCLK, OnDblClkReflect)
    ON_CONTROL_REFLECT(EN_CHANGE, OnChangeReflect)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

class CParentWnd : public CWnd {
public:
    std::vector<std::string> calls;
    UINT rangeId = 0;

protected:
    void OnChildClick(NMHDR*, LRESULT* pResult) { calls.push_back("parent click"); *pResult = 22; }
    void OnChildDblClk(NMHDR*, LRESULT*) { calls.push_back("parent dblclk"); }
    void OnChildRClick(NMHDR*, LRESULT* pResult) { calls.push_back("parent rclick"); *pResult = 33; }
    void OnChildChange() { calls.push_back("parent change"); }
    void OnChildUpdate() { calls.push_back("parent update"); }
    void OnButton() { calls.push_back("parent button"); }
    void OnRange(UINT id) { rangeId = id; calls.push_back("parent range"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_NOTIFY(NM_CLICK, kIdChild, OnChildClick)
    ON_NOTIFY(NM_DBLCLK, kIdChild, OnChildDblClk)
    ON_NOTIFY(NM_RCLICK, kIdChild, OnChildRClick)
    ON_EN_CHANGE(kIdChild, OnChildChange)
    ON_EN_UPDATE(kIdChild, OnChildUpdate)
    ON_BN_CLICKED(kIdChild + 1, OnButton)
    ON_COMMAND_RANGE(kIdRangeFirst, kIdRangeLast, OnRange)
END_MESSAGE_MAP()

class Reflection : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                    nullptr, nullptr));
        ASSERT_TRUE(child.Create(L"STATIC", L"child", WS_VISIBLE, CRect(10, 10, 100, 40), &parent, kIdChild));
    }
    LRESULT Notify(UINT code)
    {
        NMHDR header = { child.m_hWnd, (UINT_PTR)kIdChild, code };
        return parent.SendMessage(WM_NOTIFY, kIdChild, (LPARAM)&header);
    }
    std::vector<std::string> Calls()
    {
        std::vector<std::string> all = child.calls;
        all.insert(all.end(), parent.calls.begin(), parent.calls.end());
        child.calls.clear();
        parent.calls.clear();
        return all;
    }
    CParentWnd parent;
    CReflectingCtrl child;
};

TEST_F(Reflection, NotificationsGoToTheControlFirst)
{
    struct Row { UINT code; std::vector<std::string> calls; LRESULT result; };
    const Row rows[] = {
        { (UINT)NM_CLICK, { "child click" }, 11 },                      // reflected: the parent never sees it
        { (UINT)NM_DBLCLK, { "child dblclk", "parent dblclk" }, 0 },    // _EX declined: the parent too
        { (UINT)NM_RCLICK, { "parent rclick" }, 33 },                   // not reflected
        { (UINT)NM_RETURN, {}, 0 },                                     // nobody
    };
    for (const Row& row : rows) {
        LRESULT result = Notify(row.code);
        EXPECT_EQ(Calls(), row.calls) << "code " << (int)row.code;
        EXPECT_EQ(result, row.result) << "code " << (int)row.code;
    }
}

TEST_F(Reflection, ControlCommandsGoToTheControlFirst)
{
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kIdChild, EN_CHANGE), (LPARAM)child.m_hWnd);
    EXPECT_EQ(Calls(), std::vector<std::string>{ "child change" });
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kIdChild, EN_UPDATE), (LPARAM)child.m_hWnd);
    EXPECT_EQ(Calls(), std::vector<std::string>{ "parent update" });
}

TEST_F(Reflection, ControlColoursComeFromTheControlUnlessItDeclines)
{
    HDC dc = ::GetDC(child.m_hWnd);
    HBRUSH own = ::CreateSolidBrush(RGB(1, 2, 3));
    child.brush = own;
    EXPECT_EQ((HBRUSH)parent.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)child.m_hWnd), own);
    EXPECT_EQ(Calls(), std::vector<std::string>{ Str("child ctlcolor %u", CTLCOLOR_STATIC) });

    child.brush = nullptr;   // declines: the parent's default answers
    LRESULT fallback = parent.SendMessage(WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)child.m_hWnd);
    EXPECT_NE((HBRUSH)fallback, own);
    EXPECT_EQ(Calls(), std::vector<std::string>{ Str("child ctlcolor %u", CTLCOLOR_EDIT) });
    ::ReleaseDC(child.m_hWnd, dc);
    ::DeleteObject(own);
}

TEST_F(Reflection, MeasureItemReachesTheControlById)
{
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_LISTBOX;
    mis.CtlID = kIdChild;
    EXPECT_EQ(parent.SendMessage(WM_MEASUREITEM, kIdChild, (LPARAM)&mis), TRUE);
    EXPECT_EQ(mis.itemHeight, 33u);
    EXPECT_EQ(Calls(), std::vector<std::string>{ "child measure" });
}

TEST_F(Reflection, ButtonClicksAndCommandRangesReachTheParentMap)
{
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 50, 60, 20,
                                    parent.m_hWnd, (HMENU)(UINT_PTR)(kIdChild + 1), nullptr, nullptr);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Calls(), std::vector<std::string>{ "parent button" });
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kIdRangeFirst + 4, 0), 0);   // a menu command
    EXPECT_EQ(parent.rangeId, (UINT)(kIdRangeFirst + 4));
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kIdRangeLast + 1, 0), 0);
    EXPECT_EQ(parent.rangeId, (UINT)(kIdRangeFirst + 4));
}

// An owner-drawn button that draws itself through the reflected WM_DRAWITEM.
class COwnerDrawButton : public CWnd {
public:
    int draws = 0;
    UINT lastCtlType = 0;
    void DrawItem(LPDRAWITEMSTRUCT dis)
    {
        ++draws;
        lastCtlType = dis->CtlType;
        HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
        ::FillRect(dis->hDC, &dis->rcItem, red);
        ::DeleteObject(red);
    }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(COwnerDrawButton, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

// A parent that looks at WM_DRAWITEM itself and then lets the base reflect it.
class CDrawItemParent : public CWnd {
public:
    int seen = 0;

protected:
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis)
    {
        ++seen;
        CWnd::OnDrawItem(id, dis);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDrawItemParent, CWnd)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

TEST(ReflectionPaint, AnOwnerDrawnButtonPaintsThroughItsOwnDrawItem)
{
    CWnd plainParent;
    ASSERT_TRUE(plainParent.CreateEx(0, nullptr, L"owner draw", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                     nullptr, nullptr));
    COwnerDrawButton button;
    ASSERT_TRUE(button.Create(L"BUTTON", L"", WS_VISIBLE | BS_OWNERDRAW, CRect(5, 5, 55, 35), &plainParent, 7));
    button.UpdateWindow();
    button.RedrawWindow();
    EXPECT_GE(button.draws, 1);
    EXPECT_EQ(button.lastCtlType, (UINT)ODT_BUTTON);

    CDrawItemParent watchingParent;
    ASSERT_TRUE(watchingParent.CreateEx(0, nullptr, L"owner draw 2", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                        100, nullptr, nullptr));
    COwnerDrawButton second;
    ASSERT_TRUE(second.Create(L"BUTTON", L"", WS_VISIBLE | BS_OWNERDRAW, CRect(5, 5, 55, 35), &watchingParent, 8));
    second.draws = 0;
    second.RedrawWindow();
    EXPECT_GE(watchingParent.seen, 1);
    EXPECT_GE(second.draws, 1);
}

// ---- Subclassing, Default() and the handle map ----

class CSetTextWatcher : public CWnd {
public:
    std::vector<std::wstring> seen;

protected:
    LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        seen.push_back((LPCWSTR)lParam);
        return Default();   // the edit control stores the text
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CSetTextWatcher, CWnd)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

TEST(Subclassing, ASubclassedControlSeesItsMessagesFirstAndDefaultKeepsItsBehaviour)
{
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    LONG_PTR original = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        CSetTextWatcher watcher;
        ASSERT_TRUE(watcher.SubclassWindow(edit));
        EXPECT_EQ(CWnd::FromHandlePermanent(edit), &watcher);
        ::SetWindowTextW(edit, L"first");
        EXPECT_EQ(watcher.seen, std::vector<std::wstring>{ L"first" });
        CString text;
        watcher.GetWindowText(text);
        EXPECT_STREQ(text, L"first");

        EXPECT_EQ(watcher.UnsubclassWindow(), edit);
        EXPECT_EQ(::GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
        EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
        ::SetWindowTextW(edit, L"second");
        EXPECT_EQ(watcher.seen.size(), 1u);
    }
    EXPECT_TRUE(::IsWindow(edit));   // an unsubclassed window is not the object's to destroy
    ::DestroyWindow(edit);
}

TEST(HandleMap, OneWindowHasOnePermanentObject)
{
    CWnd first;
    ASSERT_TRUE(first.CreateEx(0, nullptr, L"map", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    CWnd second;
    EXPECT_FALSE(second.Attach(first.m_hWnd));
    EXPECT_FALSE(second.SubclassWindow(first.m_hWnd));
    EXPECT_EQ(second.m_hWnd, nullptr);
}

TEST(HandleMap, ForeignWindowsGetOneTemporaryObjectPerThreadThatLivesWithTheWindow)
{
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd* temp = CWnd::FromHandle(foreign);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), temp);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    CWnd::DeleteTempMap(false);   // idle: the window still exists, so the wrapper stays
    EXPECT_EQ(CWnd::FromHandle(foreign), temp);
    EXPECT_EQ(temp->m_hWnd, foreign);
    ::DestroyWindow(foreign);
    CWnd::DeleteTempMap(false);   // now it goes
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

TEST(HandleMap, AnotherThreadGetsItsOwnTemporary)
{
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd* mine = CWnd::FromHandle(foreign);
    CWnd* theirs = nullptr;
    std::pair<HWND, CWnd**> args(foreign, &theirs);
    CWinThread* worker = AfxBeginThread([](LPVOID p) -> UINT {
        auto* args = static_cast<std::pair<HWND, CWnd**>*>(p);
        *args->second = CWnd::FromHandle(args->first);
        return (*args->second)->m_hWnd == args->first ? 0 : 1;
    }, &args, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(worker, nullptr);
    worker->m_bAutoDelete = FALSE;
    worker->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(worker->m_hThread, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeThread(worker->m_hThread, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_NE(theirs, mine);   // freed with its thread; only compared, never used
    delete worker;
    ::DestroyWindow(foreign);
}

// ---- Lifetime ----

int g_selfDeletedCount = 0;
class CSelfDeletingWnd : public CWnd {
public:
    ~CSelfDeletingWnd() override { ++g_selfDeletedCount; }

protected:
    void PostNcDestroy() override { delete this; }
};

TEST(Lifetime, ASelfDeletingWindowIsDeletedOnceAfterItsWindowIsGone)
{
    g_selfDeletedCount = 0;
    auto* wnd = new CSelfDeletingWnd;
    ASSERT_TRUE(wnd->CreateEx(0, nullptr, L"self", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND hwnd = wnd->m_hWnd;
    wnd->DestroyWindow();
    EXPECT_EQ(g_selfDeletedCount, 1);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(Lifetime, DestroyingTheParentDeletesSelfDeletingChildren)
{
    g_selfDeletedCount = 0;
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    for (int i = 0; i < 3; ++i) {
        auto* child = new CSelfDeletingWnd;
        ASSERT_TRUE(child->Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 10 + i));
    }
    parent.DestroyWindow();
    EXPECT_EQ(g_selfDeletedCount, 3);
    EXPECT_EQ(parent.m_hWnd, nullptr);
}

class CFailingCreateWnd : public CWnd {
public:
    bool postNcDestroyCalled = false;

protected:
    int OnCreate(LPCREATESTRUCT) { throw std::runtime_error("no resources"); }
    void PostNcDestroy() override { postNcDestroyCalled = true; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFailingCreateWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(Lifetime, AnExceptionInOnCreateFailsTheCreation)
{
    CFailingCreateWnd wnd;
    bool before = FwExpectHandlerExceptions(true);
    EXPECT_FALSE(wnd.CreateEx(0, nullptr, L"fail", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    FwExpectHandlerExceptions(before);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_TRUE(wnd.postNcDestroyCalled);
}

TEST(Lifetime, AnObjectGoingOutOfScopeTakesItsWindowAlong)
{
    HWND hwnd = nullptr;
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"scoped", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        hwnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(Lifetime, DestroyingAThreadsMainWindowEndsItsLoop)
{
    class CQuitOnCloseThread : public CWinThread {
    public:
        BOOL InitInstance() override
        {
            auto* wnd = new CSelfDeletingWnd;
            if (!wnd->CreateEx(0, nullptr, L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr))
                return FALSE;
            m_pMainWnd = wnd;
            wnd->PostMessage(WM_CLOSE);   // DefWindowProc destroys it
            return TRUE;
        }
        int ExitInstance() override
        {
            ownWindowCleared = m_pMainWnd == nullptr;
            return 5;
        }
        bool ownWindowCleared = false;
    };
    auto* thread = new CQuitOnCloseThread;
    thread->m_bAutoDelete = FALSE;
    ASSERT_TRUE(thread->CreateThread());
    EXPECT_EQ(::WaitForSingleObject(thread->m_hThread, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, 5u);
    EXPECT_TRUE(thread->ownWindowCleared);
    delete thread;
}

// ---- Helpers over groups of windows ----

class CCountingWnd : public CWnd {
public:
    int count = 0;

protected:
    LRESULT OnCount(WPARAM, LPARAM) { ++count; return 0; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCountingWnd, CWnd)
    ON_MESSAGE(kMsgCount, OnCount)
END_MESSAGE_MAP()

TEST(Descendants, MessagesReachChildrenAndGrandchildrenWhenDeep)
{
    CWnd top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, L"top", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    CCountingWnd a, b, grandchild;
    ASSERT_TRUE(a.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 50, 50), &top, 1));
    ASSERT_TRUE(b.Create(nullptr, L"", WS_VISIBLE, CRect(50, 0, 100, 50), &top, 2));
    ASSERT_TRUE(grandchild.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 10, 10), &a, 3));
    top.SendMessageToDescendants(kMsgCount, 0, 0, TRUE);
    EXPECT_EQ(a.count + b.count + grandchild.count, 3);
    EXPECT_EQ(grandchild.count, 1);
    top.SendMessageToDescendants(kMsgCount, 0, 0, FALSE);
    EXPECT_EQ(grandchild.count, 1);
    EXPECT_EQ(a.count, 2);
}

class CPreTranslateWnd : public CWnd {
public:
    std::vector<std::string>* log = nullptr;
    std::string name;
    BOOL consume = FALSE;
    BOOL PreTranslateMessage(MSG*) override
    {
        log->push_back(name);
        return consume;
    }
};

TEST(PreTranslate, TheWalkGoesFromTheWindowUpToItsTopLevelWindow)
{
    std::vector<std::string> log;
    CPreTranslateWnd top, child, grandchild;
    top.log = child.log = grandchild.log = &log;
    top.name = "top";
    child.name = "child";
    grandchild.name = "grandchild";
    ASSERT_TRUE(top.CreateEx(0, nullptr, L"top", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    ASSERT_TRUE(child.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 50, 50), &top, 1));
    ASSERT_TRUE(grandchild.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 10, 10), &child, 2));
    MSG msg = {};
    msg.hwnd = grandchild.m_hWnd;
    msg.message = WM_KEYDOWN;
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(nullptr, &msg));
    EXPECT_EQ(log, (std::vector<std::string>{ "grandchild", "child", "top" }));

    log.clear();
    child.consume = TRUE;
    EXPECT_TRUE(AfxPreTranslateMessage(&msg));
    EXPECT_EQ(log, (std::vector<std::string>{ "grandchild", "child" }));
}

TEST(Geometry, ABatchMovesEveryWindowItWasGiven)
{
    CWnd top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, L"top", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr));
    CWnd a, b;
    ASSERT_TRUE(a.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 10, 10), &top, 1));
    ASSERT_TRUE(b.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 10, 10), &top, 2));
    {
        CWindowPosBatch batch(2);
        batch.Move(&a, CRect(5, 6, 55, 66));
        batch.Move(&b, CRect(100, 110, 120, 140));
    }
    CRect ra, rb;
    a.GetWindowRect(&ra);
    top.ScreenToClient(&ra);
    b.GetWindowRect(&rb);
    top.ScreenToClient(&rb);
    EXPECT_EQ(ra, CRect(5, 6, 55, 66));
    EXPECT_EQ(rb, CRect(100, 110, 120, 140));
}

TEST(Geometry, ModifyStyleReportsWhetherAnythingChanged)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"style", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(wnd.ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED));
    EXPECT_TRUE(wnd.GetStyle() & WS_BORDER);
    EXPECT_FALSE(wnd.ModifyStyle(0, WS_BORDER));
    EXPECT_TRUE(wnd.ModifyStyleEx(0, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(wnd.GetExStyle() & WS_EX_TOOLWINDOW);
}

TEST(Geometry, CenterWindowCentresAChildInItsParent)
{
    CWnd top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, L"top", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 100, 50), &top, 1));
    child.CenterWindow();
    CRect r;
    child.GetWindowRect(&r);
    top.ScreenToClient(&r);
    EXPECT_EQ(r, CRect(100, 75, 200, 125));
}

// ---- Tooltips ----

class CToolOwner : public CWnd {
public:
    std::vector<UINT> asked;

    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override
    {
        if (point.x >= 50)
            return -1;
        pTI->hwnd = m_hWnd;
        pTI->uId = 5;
        pTI->rect = CRect(0, 0, 50, 50);
        pTI->lpszText = LPSTR_TEXTCALLBACK;
        return 5;
    }

protected:
    BOOL OnToolTipText(UINT id, NMHDR* pNMHDR, LRESULT* pResult)
    {
        asked.push_back(id);
        static wchar_t text[] = L"tip five";
        reinterpret_cast<NMTTDISPINFOW*>(pNMHDR)->lpszText = text;
        *pResult = 0;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CToolOwner, CWnd)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

BOOL CALLBACK FindToolTip(HWND hwnd, LPARAM param)
{
    wchar_t name[64];
    ::GetClassNameW(hwnd, name, 64);
    if (::lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}

TEST(ToolTips, TheToolUnderTheMouseIsShownWithTheTextItsWindowGives)
{
    CToolOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"tools", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr));
    EXPECT_FALSE(owner.EnableToolTips(TRUE));
    MSG move = {};
    move.hwnd = owner.m_hWnd;
    move.message = WM_MOUSEMOVE;
    move.pt = { 120, 120 };
    move.lParam = MAKELPARAM(20, 20);
    AfxPreTranslateMessage(&move);

    HWND tip = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindToolTip, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    TOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ASSERT_TRUE(::SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(ti.hwnd, owner.m_hWnd);
    EXPECT_EQ(ti.uId, 5u);

    // Outside every tool: the tool goes.
    move.pt = { 200, 120 };
    move.lParam = MAKELPARAM(100, 20);
    AfxPreTranslateMessage(&move);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);

    // A window without tooltips enabled adds none.
    owner.EnableToolTips(FALSE);
    move.pt = { 120, 120 };
    move.lParam = MAKELPARAM(20, 20);
    AfxPreTranslateMessage(&move);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
}

TEST(ToolTips, TheTextComesFromTheOwnersNotifyHandler)
{
    CToolOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"tools", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr));
    NMTTDISPINFOW info = {};
    info.hdr.hwndFrom = nullptr;
    info.hdr.idFrom = 5;
    info.hdr.code = TTN_NEEDTEXTW;
    owner.SendMessage(WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(owner.asked, std::vector<UINT>{ 5 });
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, L"tip five");
}

}
