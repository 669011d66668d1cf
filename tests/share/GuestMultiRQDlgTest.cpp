// The date a new guest of the dated multi-guest dialog starts with.
#include "GuestMultiRQDlg.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>

namespace {

TEST(GuestMultiRQDefaultDate, TheServersDateWhenItIsOneElseToday)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    wchar_t today[11];
    swprintf(today, 11, L"%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    const struct { const char* server; const wchar_t* expected; } rows[] = {
        { "2031-05-20", L"2031-05-20" },
        { "", today },
        { nullptr, today },
        { "2031-5-20", today },       // not the wire form
        { "2031-13-01", today },      // no such month
        { "tomorrow", today },
    };
    for (const auto& row : rows)
        EXPECT_EQ(std::wstring(row.expected), std::wstring(CGuestMultiRQDlg::DefaultDate(row.server).GetString()))
            << "server date " << (row.server ? row.server : "(none)");
}

}
