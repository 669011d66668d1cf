// The busy spinner: its geometry, its turning, its placement over the owner, and that it keeps
// turning and painting while the owner's thread is blocked as in a server request.
#include "CircularProgressThread.h"
#include "CircularProgressWnd.h"
#include "Framework.h"
#include "Library.h"
#include "PixelCapture.h"
#include "SkinTestDialog.h"
#include "SkinTestRes.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

TEST(CircularProgressGeometry, SpokesScaleWithTheSpinnerAndKeepTheirMinimums)
{
    const struct { int w, h, pen, inner, outer, cx, cy; } rows[] = {
        { 50, 50, 3, 8, 15, 25, 25 },
        { 20, 20, 2, 4, 8, 10, 10 },
        { 100, 100, 6, 17, 31, 50, 50 },
        { 60, 40, 2, 7, 12, 30, 20 },   // the smaller side counts; 40 x 0.175 is 7 on every processor
    };
    for (const auto& row : rows) {
        CCircularProgressWnd::Geometry g = CCircularProgressWnd::GeometryFor(row.w, row.h);
        EXPECT_EQ(g.penWidth, row.pen) << row.w << "x" << row.h;
        EXPECT_EQ(g.innerRadius, row.inner) << row.w << "x" << row.h;
        EXPECT_EQ(g.outerRadius, row.outer) << row.w << "x" << row.h;
        EXPECT_EQ(g.centreX, row.cx) << row.w << "x" << row.h;
        EXPECT_EQ(g.centreY, row.cy) << row.w << "x" << row.h;
    }
    EXPECT_DOUBLE_EQ(CCircularProgressWnd::ConvertDegreesToRadians(180), 3.141592653589793);
}

class Spinner : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        ui.Run([&] {
            owner = std::make_unique<CSkinTestDialog>(IDD_SKIN_CLOSE_ONLY, CVantelDialog::kUITypeDefault);
            owner->Create(IDD_SKIN_CLOSE_ONLY);
            owner->ShowWindow(SW_SHOW);
            owner->UpdateWindow();
            thread = CCircularProgressThread::Start(owner.get(), 50, 0x9E6723);
        });
        ASSERT_NE(thread, nullptr);
        ASSERT_TRUE(thread->WaitUntilReady(5000));
        ASSERT_NE(thread->GetSpinner(), nullptr);
        spinner = thread->GetSpinner()->m_hWnd;
    }
    void TearDown() override
    {
        ui.Run([&] {
            CCircularProgressThread::Stop(thread);
            if (owner)
                owner->DestroyWindow();
            owner.reset();
        });
        ToviInterfaceTerm();
    }
    CRect SpinnerRectInOwner() const
    {
        CRect rc;
        ::GetWindowRect(spinner, &rc);
        ::MapWindowPoints(nullptr, owner->m_hWnd, (LPPOINT)&rc, 2);
        return rc;
    }

    uitest::UiThread ui;
    std::unique_ptr<CSkinTestDialog> owner;
    CCircularProgressThread* thread = nullptr;
    HWND spinner = nullptr;
};

TEST_F(Spinner, StartsHiddenOnItsOwnThreadAsAChildOfTheOwner)
{
    EXPECT_FALSE(::IsWindowVisible(spinner));
    EXPECT_EQ(::GetParent(spinner), owner->m_hWnd);
    EXPECT_EQ(::GetWindowThreadProcessId(spinner, nullptr), ::GetThreadId(thread->m_hThread));
    EXPECT_EQ(uitest::GetText(spinner), L"CPBar");
}

TEST_F(Spinner, ShowingCentresItOverTheOwnerAndHidingHidesIt)
{
    ui.Run([&] { thread->SetShow(true); });
    EXPECT_TRUE(::IsWindowVisible(spinner));
    CRect window;
    ::GetWindowRect(owner->m_hWnd, &window);
    ::MapWindowPoints(nullptr, owner->m_hWnd, (LPPOINT)&window, 2);
    CRect rc = SpinnerRectInOwner();
    EXPECT_EQ(rc.Width(), 50);
    EXPECT_EQ(rc.Height(), 50);
    EXPECT_EQ(rc.left, (window.right - 50 - window.left) / 2);
    EXPECT_EQ(rc.top, (window.bottom - 50 - window.top) / 2);
    ui.Run([&] { thread->SetShow(false); });
    EXPECT_FALSE(::IsWindowVisible(spinner));
}

TEST_F(Spinner, ShowingAVisibleSpinnerAgainLeavesItWhereItIs)
{
    ui.Run([&] { thread->SetShow(true); });
    ::SetWindowPos(spinner, nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ui.Run([&] { thread->SetShow(true); });
    EXPECT_EQ(SpinnerRectInOwner().TopLeft(), CPoint(3, 4));
}

TEST_F(Spinner, TwelveTicksTurnItOnceAround)
{
    // A spinner of the test's own, whose timer is stopped so that only the ticks sent count.
    std::vector<int> angles;
    ui.Run([&] {
        auto* wnd = new CCircularProgressWnd;
        wnd->SetWidth(40);
        ASSERT_TRUE(wnd->CreateEx(WS_EX_NOPARENTNOTIFY, nullptr, L"CPBar", WS_CHILD, CRect(0, 0, 0, 0), owner.get(), 0));
        ::KillTimer(wnd->m_hWnd, CCircularProgressWnd::kTimer);
        for (int i = 0; i < 12; ++i) {
            ::SendMessageW(wnd->m_hWnd, WM_TIMER, CCircularProgressWnd::kTimer, 0);
            angles.push_back(wnd->GetAngle());
        }
        wnd->DestroyWindow();   // deletes itself
    });
    ASSERT_EQ(angles.size(), 12u);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(angles[i], 30 * (i + 1)) << "tick " << i + 1;
    EXPECT_EQ(angles[11], 0);
}

TEST_F(Spinner, KeepsTurningAndPaintingWhileTheOwnerWaitsOnTheServer)
{
    ui.Run([&] { thread->SetShow(true); });
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const long before = thread->GetSpinner()->GetPaintCount();
    // The owner's thread blocks as in a synchronous request: no messages are handled.
    auto blocked = ui.Post([&] { ::WaitForSingleObject(release, 20000); });
    EXPECT_TRUE(uitest::WaitUntil([&] { return thread->GetSpinner()->GetPaintCount() >= before + 4; }, 8000))
        << "paints while blocked: " << thread->GetSpinner()->GetPaintCount() - before;
    // Its corners show the owner's background, which it did not have to ask the owner for.
    CRect rc;
    ::GetWindowRect(spinner, &rc);
    uitest::Pixels pixels = uitest::CaptureScreen(rc);
    EXPECT_EQ(pixels.At(1, 1), (COLORREF)0xF8F8F8);
    EXPECT_EQ(pixels.At(48, 48), (COLORREF)0xF8F8F8);
    EXPECT_FALSE(blocked->Done());
    ::SetEvent(release);
    EXPECT_TRUE(blocked->Wait(5000));
    ::CloseHandle(release);
}

}
