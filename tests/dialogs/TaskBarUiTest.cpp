// The task-bar pop-up from its real template and skin: the edge it slides from for each task-bar
// position, the slide-in, wait and slide-out driven tick by tick through its window's timer
// messages, a new alert while it slides out, the click report, and a missing skin.
#include "CommonDlgsRes.h"
#include "DialogsTestSupport.h"
#include "Framework.h"
#include "PixelCapture.h"
#include "TaskBarDlg.h"
#include "ToviTextLanguage.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <string>

namespace {

// The screen the test chooses, and timers the test ticks itself.
class FakeHost : public CTaskBarDlg::Host {
public:
    RECT work = { 0, 0, 1280, 994 };
    SIZE screen = { 1280, 1024 };
    std::map<UINT_PTR, UINT> running;   // id -> period
    std::map<UINT_PTR, int> starts;

    void GetScreen(RECT* workArea, SIZE* size) override
    {
        *workArea = work;
        *size = screen;
    }
    void StartTimer(HWND, UINT_PTR id, UINT elapse) override
    {
        running[id] = elapse;
        ++starts[id];
    }
    void StopTimer(HWND, UINT_PTR id) override { running.erase(id); }
};

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
int g_clicks = 0;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TASKBAR_CLICK)
        ++g_clicks;
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

class TaskBarTest : public dialogstest::DialogTest {
protected:
    void SetUp() override
    {
        dialogstest::DialogTest::SetUp();
        g_clicks = 0;
        ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = ParentProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TaskBarTestMain";
            ::RegisterClassW(&wc);
            HWND main = ::CreateWindowExW(0, L"TaskBarTestMain", L"Main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                          nullptr, wc.hInstance, nullptr);
            m_main.Attach(main);
            m_dlg = new CTaskBarDlg(&m_main);
            m_dlg->SetHost(&m_host);
            m_dlg->m_nAppearTime = 4;
            m_dlg->m_nWaitTime = 3000;
            m_dlg->m_nDisappearTime = 4;
            m_created = m_dlg->Create() != FALSE;
            if (m_created)
                m_hwnd = m_dlg->m_hWnd;
        });
        ASSERT_TRUE(m_created);
    }
    void TearDown() override
    {
        ui.Run([this] {
            if (::IsWindow(m_hwnd))
                ::DestroyWindow(m_hwnd);   // the object deletes itself
            HWND main = m_main.Detach();
            ::DestroyWindow(main);
        });
        dialogstest::DialogTest::TearDown();
    }
    bool Skin()
    {
        bool ok = false;
        ui.Run([&] { ok = m_dlg->SetSkin(IDB_TASKBAR_SKIN); });
        return ok;
    }
    void Show(const wchar_t* text)
    {
        ui.Run([&] { m_dlg->Show(text); });
    }
    // One tick of a running timer, as the system delivers it.
    void Tick(UINT_PTR id)
    {
        ::SendMessageW(m_hwnd, WM_TIMER, id, 0);
    }
    int TickWhile(UINT_PTR id, int limit = 1000)
    {
        int ticks = 0;
        while (m_host.running.count(id) && ticks < limit) {
            Tick(id);
            ++ticks;
        }
        return ticks;
    }
    CRect WindowRect()
    {
        CRect rc;
        ::GetWindowRect(m_hwnd, &rc);
        return rc;
    }

    FakeHost m_host;
    CWnd m_main;
    CTaskBarDlg* m_dlg = nullptr;
    HWND m_hwnd = nullptr;
    bool m_created = false;
};

TEST_F(TaskBarTest, ABottomTaskBarSlidesItUpWaitsAndSlidesItBack)
{
    ASSERT_TRUE(Skin());
    ASSERT_EQ(m_dlg->GetSkinSize(), CSize(250, 100));
    Show(L"3 new alerts");
    EXPECT_EQ(m_dlg->GetEdge(), CTaskBarDlg::kEdgeBottom);
    EXPECT_EQ(m_dlg->GetTarget(), CPoint(1280 - 250, 994));
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kAppearing);
    EXPECT_TRUE(::IsWindowVisible(m_hwnd));
    // 4 ms over 50 steps of 2 pixels: the system's shortest period.
    ASSERT_EQ(m_host.running.count(CTaskBarDlg::kTimerAppear), 1u);
    EXPECT_EQ(m_host.running[CTaskBarDlg::kTimerAppear], 0u);

    Tick(CTaskBarDlg::kTimerAppear);
    EXPECT_EQ(WindowRect(), CRect(1030, 992, 1280, 994));
    for (int i = 1; i < 50; ++i)
        Tick(CTaskBarDlg::kTimerAppear);
    EXPECT_EQ(WindowRect(), CRect(1030, 894, 1280, 994));
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kAppearing);
    Tick(CTaskBarDlg::kTimerAppear);   // fully out: now it waits
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kWaiting);
    EXPECT_EQ(m_host.running.count(CTaskBarDlg::kTimerAppear), 0u);
    ASSERT_EQ(m_host.running.count(CTaskBarDlg::kTimerWait), 1u);
    EXPECT_EQ(m_host.running[CTaskBarDlg::kTimerWait], 3000u);
    EXPECT_EQ(WindowRect(), CRect(1030, 894, 1280, 994));

    Tick(CTaskBarDlg::kTimerWait);
    EXPECT_EQ(m_host.running.count(CTaskBarDlg::kTimerWait), 0u);
    ASSERT_EQ(m_host.running.count(CTaskBarDlg::kTimerDisappear), 1u);
    Tick(CTaskBarDlg::kTimerDisappear);
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kDisappearing);
    EXPECT_EQ(WindowRect(), CRect(1030, 896, 1280, 994));
    EXPECT_EQ(TickWhile(CTaskBarDlg::kTimerDisappear), 50);
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kHidden);
    EXPECT_FALSE(::IsWindowVisible(m_hwnd));
    EXPECT_TRUE(m_host.running.empty());
}

TEST_F(TaskBarTest, EachTaskBarPositionGivesItsEdgeAndSlidingDirection)
{
    ASSERT_TRUE(Skin());
    const struct {
        const char* where;
        RECT work;
        int edge;
        POINT target;
        RECT firstTick;   // window after one slide-in tick
        RECT fullyOut;
        int ticks;
    } rows[] = {
        { "bottom", { 0, 0, 1280, 994 }, CTaskBarDlg::kEdgeBottom, { 1030, 994 }, { 1030, 992, 1280, 994 },
          { 1030, 894, 1280, 994 }, 50 },
        { "right", { 0, 0, 1240, 1024 }, CTaskBarDlg::kEdgeRight, { 1240, 924 }, { 1238, 924, 1240, 1024 },
          { 990, 924, 1240, 1024 }, 125 },
        { "left", { 40, 0, 1280, 1024 }, CTaskBarDlg::kEdgeLeft, { 1280, 924 }, { 1278, 924, 1280, 1024 },
          { 1030, 924, 1280, 1024 }, 125 },
        { "top", { 0, 30, 1280, 1024 }, CTaskBarDlg::kEdgeTop, { 1030, 1024 }, { 1030, 1022, 1280, 1024 },
          { 1030, 924, 1280, 1024 }, 50 },
        { "none (Xvfb)", { 0, 0, 1280, 1024 }, CTaskBarDlg::kEdgeBottom, { 1030, 1024 }, { 1030, 1022, 1280, 1024 },
          { 1030, 924, 1280, 1024 }, 50 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        ui.Run([&] { m_dlg->Hide(); });
        m_host.work = row.work;
        Show(L"alert");
        EXPECT_EQ(m_dlg->GetEdge(), row.edge);
        EXPECT_EQ(m_dlg->GetTarget(), CPoint(row.target));
        Tick(CTaskBarDlg::kTimerAppear);
        EXPECT_EQ(WindowRect(), CRect(row.firstTick));
        EXPECT_EQ(TickWhile(CTaskBarDlg::kTimerAppear), row.ticks);   // the last one only switches to waiting
        EXPECT_EQ(WindowRect(), CRect(row.fullyOut));
        EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kWaiting);
    }
}

TEST_F(TaskBarTest, ANewAlertWhileSlidingOutBringsItBackAndWaitsAgain)
{
    ASSERT_TRUE(Skin());
    Show(L"first");
    TickWhile(CTaskBarDlg::kTimerAppear);
    Tick(CTaskBarDlg::kTimerWait);
    for (int i = 0; i < 10; ++i)
        Tick(CTaskBarDlg::kTimerDisappear);
    EXPECT_EQ(WindowRect(), CRect(1030, 914, 1280, 994));
    const int waits = m_host.starts[CTaskBarDlg::kTimerWait];
    Show(L"second");
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kWaiting);
    EXPECT_EQ(WindowRect(), CRect(1030, 894, 1280, 994));
    EXPECT_EQ(m_host.running.count(CTaskBarDlg::kTimerDisappear), 0u);
    EXPECT_EQ(m_host.starts[CTaskBarDlg::kTimerWait], waits + 1);
    EXPECT_STREQ(m_dlg->GetText(), L"second");
    // The next slide-out starts from full view.
    Tick(CTaskBarDlg::kTimerWait);
    Tick(CTaskBarDlg::kTimerDisappear);
    EXPECT_EQ(WindowRect(), CRect(1030, 896, 1280, 994));
}

TEST_F(TaskBarTest, ANewAlertWhileWaitingRestartsTheWaitAndWhileAppearingOnlyTheText)
{
    ASSERT_TRUE(Skin());
    Show(L"first");
    Tick(CTaskBarDlg::kTimerAppear);
    Show(L"second");
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kAppearing);
    EXPECT_EQ(m_host.starts[CTaskBarDlg::kTimerAppear], 1);
    EXPECT_EQ(WindowRect(), CRect(1030, 992, 1280, 994));
    EXPECT_STREQ(m_dlg->GetText(), L"second");
    TickWhile(CTaskBarDlg::kTimerAppear);
    EXPECT_EQ(m_host.starts[CTaskBarDlg::kTimerWait], 1);
    Show(L"third");
    EXPECT_EQ(m_host.starts[CTaskBarDlg::kTimerWait], 2);
    EXPECT_EQ(m_host.running.count(CTaskBarDlg::kTimerWait), 1u);
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kWaiting);
}

TEST_F(TaskBarTest, AClickIsReportedToTheMainWindowAndTheAlertStays)
{
    ASSERT_TRUE(Skin());
    Show(L"alert");
    TickWhile(CTaskBarDlg::kTimerAppear);
    ::PostMessageW(m_hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 40));
    ::PostMessageW(m_hwnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 40));
    EXPECT_TRUE(uitest::WaitUntil([] { return g_clicks == 1; }));
    ui.Run([] {});
    EXPECT_EQ(g_clicks, 1);
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kWaiting);
    EXPECT_TRUE(::IsWindowVisible(m_hwnd));
}

TEST_F(TaskBarTest, WithoutASkinNothingShows)
{
    bool ok = true;
    ui.Run([&] { ok = m_dlg->SetSkin(4242); });
    EXPECT_FALSE(ok);
    Show(L"alert");
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kHidden);
    EXPECT_FALSE(::IsWindowVisible(m_hwnd));
    EXPECT_TRUE(m_host.running.empty());
}

TEST_F(TaskBarTest, HideStopsEveryTimerFromAnyState)
{
    ASSERT_TRUE(Skin());
    Show(L"alert");
    Tick(CTaskBarDlg::kTimerAppear);
    ui.Run([&] { m_dlg->Hide(); });
    EXPECT_EQ(m_dlg->GetState(), CTaskBarDlg::kHidden);
    EXPECT_TRUE(m_host.running.empty());
    EXPECT_FALSE(::IsWindowVisible(m_hwnd));
    EXPECT_EQ(WindowRect().Width(), 0);
}

TEST(TaskBarArithmetic, IntervalsNeverDivideByZeroAndRegionsNeedASize)
{
    EXPECT_EQ(CTaskBarDlg::IntervalFor(4, 100, 2), 0u);
    EXPECT_EQ(CTaskBarDlg::IntervalFor(400, 100, 2), 8u);
    EXPECT_EQ(CTaskBarDlg::IntervalFor(400, 250, 2), 3u);
    EXPECT_EQ(CTaskBarDlg::IntervalFor(400, 1, 2), 400u);
    EXPECT_EQ(CTaskBarDlg::IntervalFor(400, 0, 2), 400u);
    CTaskBarDlg dlg;
    EXPECT_EQ(dlg.SetVantelRgn(0, 10), -1);
    EXPECT_EQ(dlg.SetVantelRgn(10, -1), -1);
    EXPECT_EQ(dlg.SetVantelRgn(10, 10), 0);
}

TEST_F(TaskBarTest, TheRegionRoundsOnlyTheTopCorners)
{
    ASSERT_TRUE(Skin());
    Show(L"alert");
    TickWhile(CTaskBarDlg::kTimerAppear);
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(m_hwnd, rgn), ERROR);
    const struct { int x, y; bool inside; } rows[] = {
        { 0, 0, false }, { 249, 0, false }, { 0, 99, true }, { 249, 99, true }, { 125, 0, true }, { 5, 0, true },
    };
    for (const auto& row : rows)
        EXPECT_EQ(::PtInRegion(rgn, row.x, row.y) != FALSE, row.inside) << row.x << "," << row.y;
    ::DeleteObject(rgn);
}

TEST_F(TaskBarTest, ScreenshotsInKoreanAndEnglish)
{
    ASSERT_TRUE(Skin());
    static const std::wstring dir = dialogstest::ShotDir(L"TaskBarUiTest");
    const struct { LANGID language; const wchar_t* text; const wchar_t* name; } rows[] = {
        { LANG_KOREAN, L"\xC0C8 \xC54C\xB9BC\xC774 3\xAC74 \xC788\xC2B5\xB2C8\xB2E4.", L"taskbar_ko.png" },
        { LANG_ENGLISH, L"You have 3 new alerts.", L"taskbar_en.png" },
    };
    for (const auto& row : rows) {
        UseLanguage(row.language);
        ui.Run([&] {
            m_dlg->Hide();
            m_dlg->ResetLocale();
        });
        Show(row.text);
        TickWhile(CTaskBarDlg::kTimerAppear);
        uitest::Pixels pixels = uitest::CaptureWindow(m_hwnd, 500);
        ASSERT_FALSE(pixels.Empty());
        EXPECT_EQ(pixels.width, 250);
        // The title band is painted from the skin, with the title in white over it.
        EXPECT_GT(pixels.Count(RGB(255, 255, 255), CRect(8, 2, 242, 22)), 10);
        EXPECT_TRUE(uitest::SavePng(pixels, dir + L"\\" + row.name));
    }
}

}
