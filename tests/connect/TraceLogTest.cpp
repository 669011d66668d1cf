// TraceLog: what the "Ferrow Log" viewer window receives, and that nothing happens without one.
#include <gtest/gtest.h>
#include "TraceLog.h"
#include <windows.h>
#include <cstdio>
#include <string>
#include <atomic>
#include <thread>
#include <vector>

namespace {

struct Record {
    ULONG_PTR level;
    DWORD bytes;
    std::wstring text;
};

std::vector<Record> g_records;



LRESULT CALLBACK ViewerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COPYDATA) {
        const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        g_records.push_back({data->dwData, data->cbData,
                             std::wstring(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t))});
        return TRUE;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::string Escaped(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        if (c == L'\r') out += "\\r";
        else if (c == L'\n') out += "\\n";
        else if (c < 0x80) out += static_cast<char>(c);
        else out += "?";
    }
    return out;
}

// A stand-in for the external viewer: a hidden top-level window with the viewer's title.
class TraceLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = ViewerProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"TraceLogTestViewer";
        RegisterClassW(&cls);
        m_viewer = CreateWindowExW(0, cls.lpszClassName, L"Ferrow Log", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                   nullptr, nullptr, cls.hInstance, nullptr);
        ASSERT_NE(nullptr, m_viewer);
        g_records.clear();
    }
    void TearDown() override
    {
        if (m_viewer)
            DestroyWindow(m_viewer);
    }
    HWND m_viewer = nullptr;
};

}

TEST_F(TraceLogTest, AppendsALineEndUnlessALineFeedIsAmongTheLastThreeCharacters)
{
    struct { const wchar_t* text; const wchar_t* sent; } cases[] = {
        {L"abc", L"abc\r\n"},
        {L"line\n", L"line\n"},
        {L"line\r\n", L"line\r\n"},
        {L"ab\nc", L"ab\nc"},        // second-last
        {L"a\nbc", L"a\nbc"},        // third-last
        {L"\nabc", L"\nabc\r\n"},    // fourth-last is too far
        {L"\n", L"\n"},
        {L"x", L"x\r\n"},
        {L"", L"\r\n"},
    };
    for (const auto& c : cases) {
        g_records.clear();
        EXPECT_EQ(0, TraceLog(1, L"%s", c.text));
        ASSERT_EQ(1u, g_records.size()) << "text \"" << Escaped(c.text) << "\"";
        EXPECT_EQ(Escaped(c.sent), Escaped(g_records[0].text)) << "text \"" << Escaped(c.text) << "\"";
    }
}

TEST_F(TraceLogTest, FormatsWithTheWindowsMeaningOfTheFormat)
{
    TraceLog(2, L"[%s] %d %S %ls %hs %I64d %%", L"CToviProto::Login", 42, "narrow", L"wide", "hs", 1LL << 40);
    ASSERT_EQ(1u, g_records.size());
    EXPECT_EQ(L"[CToviProto::Login] 42 narrow wide hs 1099511627776 %\r\n", g_records[0].text);
}

TEST_F(TraceLogTest, SendsTheLevelAsIsAndTwoBytesPerCharacter)
{
    for (int level : {1, 2, 1024, 2048, 0, 7}) {
        g_records.clear();
        TraceLog(level, L"level %d\n", level);
        ASSERT_EQ(1u, g_records.size()) << "level " << level;
        EXPECT_EQ(static_cast<ULONG_PTR>(level), g_records[0].level);
        EXPECT_EQ(g_records[0].text.size() * 2, g_records[0].bytes);
        EXPECT_EQ(L"level " + std::to_wstring(level) + L"\n", g_records[0].text);
    }
}

TEST_F(TraceLogTest, SendsALongTextWhole)
{
    std::wstring text(20000, L'x');
    text += L"\uD55C\uAE00";
    TraceLog(1024, L"%s", text.c_str());
    ASSERT_EQ(1u, g_records.size());
    EXPECT_EQ(text + L"\r\n", g_records[0].text);
    EXPECT_EQ((text.size() + 2) * 2, g_records[0].bytes);
}

TEST_F(TraceLogTest, SendsFromAnotherThreadOnceTheViewerTakesTheLine)
{
    std::atomic<bool> done(false);
    std::thread worker([&] {
        TraceLog(1, L"from a worker");
        done = true;
        PostMessageW(m_viewer, WM_NULL, 0, 0);  // wake the loop below
    });
    MSG msg;
    while (!done && GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    worker.join();
    ASSERT_EQ(1u, g_records.size());
    EXPECT_EQ(L"from a worker\r\n", g_records[0].text);
}

TEST_F(TraceLogTest, AViewerThatTakesNoLinesDoesNotHoldTheCallerForEver)
{
    // The viewer's thread never reads its messages, as a hung viewer would.
    std::atomic<bool> done(false);
    std::thread worker([&] {
        TraceLog(1, L"to a viewer that does not listen");
        done = true;
    });
    const DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < 30000)
        Sleep(50);
    EXPECT_TRUE(done.load()) << "the trace call was still waiting after 30 s";
    // Let a caller still blocked go, so that the test ends either way.
    MSG msg;
    while (!done) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    }
    worker.join();
}

TEST_F(TraceLogTest, SendsNothingForANullFormat)
{
    EXPECT_EQ(0, TraceLog(1, nullptr));
    EXPECT_TRUE(g_records.empty());
}

TEST_F(TraceLogTest, SendsNothingAndFormatsNothingWithoutAWindowOfThatTitle)
{
    SetWindowTextW(m_viewer, L"Ferrow Log (closed)");
    ASSERT_EQ(nullptr, FindWindowW(nullptr, L"Ferrow Log"));
    EXPECT_EQ(0, TraceLog(2048, L"nobody listens\n"));
    // Formatting this argument would fault: it must not be looked at.
    EXPECT_EQ(0, TraceLog(2048, L"%s", reinterpret_cast<const wchar_t*>(16)));
    EXPECT_TRUE(g_records.empty());
}
