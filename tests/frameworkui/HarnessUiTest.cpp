// The window-test harness itself: the UI thread, the "Ferrow Log" capture with the trace
// sender, auto-answered message boxes, window lookup time-outs, pixels and PNG files.
#include "AutoAnswer.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "TraceCapture.h"
#include "TraceLog.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <fstream>

namespace {

TEST(Harness, WorkRunsOnTheUiThread)
{
    uitest::UiThread ui;
    DWORD seen = 0;
    ASSERT_TRUE(ui.Run([&] { seen = ::GetCurrentThreadId(); }));
    EXPECT_EQ(seen, ui.Id());
    EXPECT_NE(seen, ::GetCurrentThreadId());
}

TEST(Harness, TheCaptureWindowCollectsTraceRecords)
{
    uitest::TraceCapture capture;
    ASSERT_EQ(::FindWindowW(nullptr, L"Ferrow Log"), capture.Window());
    TraceLog(2048, L"upload failed: %d", 17);
    TraceLog(1, L"ready\n");
    std::vector<uitest::TraceCapture::Record> records = capture.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, 2048u);
    EXPECT_EQ(records[0].text, L"upload failed: 17\r\n");
    EXPECT_EQ(records[0].bytes, 2 * records[0].text.size());
    EXPECT_EQ(records[1].text, L"ready\n");
    EXPECT_TRUE(capture.WaitForText(L"failed: 17", 0));
    capture.Clear();
    EXPECT_TRUE(capture.Records().empty());
}

TEST(Harness, MessageBoxesAreAnsweredWithTheirTextReported)
{
    uitest::UiThread ui;
    uitest::AutoAnswer answer(L"Question", IDYES);
    int pressed = 0;
    auto task = ui.Post([&] { pressed = ::MessageBoxW(nullptr, L"Replace the file?", L"Question", MB_YESNO); });
    ASSERT_TRUE(task->Wait(5000));
    EXPECT_EQ(pressed, IDYES);
    ASSERT_EQ(answer.Count(), 1);
    EXPECT_EQ(answer.Seen()[0].title, L"Question");
}

TEST(Harness, WaitingForAWindowThatNeverComesEndsEmptyHanded)
{
    EXPECT_EQ(uitest::WaitForWindow(nullptr, L"No such window", 100), nullptr);
    EXPECT_FALSE(uitest::WaitUntil([] { return false; }, 50));
}

TEST(Harness, PaintersRenderIntoReadablePixels)
{
    uitest::Pixels pixels = uitest::RenderPainter(40, 30, [](HDC dc) {
        RECT red = { 10, 5, 20, 15 };
        HBRUSH brush = ::CreateSolidBrush(RGB(255, 0, 0));
        ::FillRect(dc, &red, brush);
        ::DeleteObject(brush);
    });
    ASSERT_EQ(pixels.width, 40);
    EXPECT_EQ(pixels.At(10, 5), RGB(255, 0, 0));
    EXPECT_EQ(pixels.At(19, 14), RGB(255, 0, 0));
    EXPECT_EQ(pixels.At(20, 15), RGB(255, 255, 255));
    EXPECT_EQ(pixels.Count(RGB(255, 0, 0), RECT{ 0, 0, 40, 30 }), 100);
    EXPECT_EQ(pixels.At(40, 0), CLR_INVALID);
}

LRESULT CALLBACK GreenProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PRINTCLIENT) {
        RECT client;
        ::GetClientRect(hwnd, &client);
        HBRUSH brush = ::CreateSolidBrush(RGB(0, 200, 0));
        ::FillRect((HDC)wParam, &client, brush);
        ::DeleteObject(brush);
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT client;
        ::GetClientRect(hwnd, &client);
        HBRUSH brush = ::CreateSolidBrush(RGB(0, 200, 0));
        ::FillRect(dc, &client, brush);
        ::DeleteObject(brush);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(Harness, AWindowOnScreenCanBeCapturedAndSavedAsPng)
{
    uitest::UiThread ui;
    HWND hwnd = nullptr;
    ui.Run([&] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &GreenProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HarnessGreen";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(WS_EX_TOPMOST, L"HarnessGreen", L"green", WS_POPUP | WS_VISIBLE, 50, 60, 80, 40,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    });
    ASSERT_NE(hwnd, nullptr);
    uitest::Pixels pixels = uitest::CaptureWindow(hwnd);
    ASSERT_EQ(pixels.width, 80);
    ASSERT_EQ(pixels.height, 40);
    EXPECT_EQ(pixels.At(40, 20), RGB(0, 200, 0));

    std::wstring dir = testpaths::ScratchDir(L"HarnessUiTest");
    std::wstring path = dir + L"\\green.png";
    ASSERT_TRUE(uitest::SavePng(pixels, path));
    std::ifstream file(path.c_str(), std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    EXPECT_TRUE(uitest::SaveScreenPng(dir + L"\\screen.png"));
    ui.Run([&] { ::DestroyWindow(hwnd); });
}

TEST(Harness, AWindowThatPrintsItselfRendersIntoMemoryEvenWhenHidden)
{
    uitest::UiThread ui;
    HWND hwnd = nullptr;
    ui.Run([&] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &GreenProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HarnessGreen";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, L"HarnessGreen", L"hidden", WS_POPUP, 0, 0, 30, 20, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    });
    ASSERT_NE(hwnd, nullptr);
    uitest::Pixels pixels = uitest::PrintWindowPixels(hwnd);
    ASSERT_EQ(pixels.width, 30);
    EXPECT_EQ(pixels.Count(RGB(0, 200, 0), RECT{ 0, 0, 30, 20 }), 600);
    ui.Run([&] { ::DestroyWindow(hwnd); });
}

}
