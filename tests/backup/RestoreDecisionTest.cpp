// What the restore does with a local file that is already there, and the remarks of a run.
#include "BackupLog.h"
#include "RestoreDlg.h"
#include <gtest/gtest.h>

namespace {

SYSTEMTIME Day(int year, int month, int day)
{
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    return t;
}

const char* Name(CRestoreDlg::Step step)
{
    switch (step) {
    case CRestoreDlg::Step::Resume:
        return "resume";
    case CRestoreDlg::Step::Complete:
        return "complete";
    case CRestoreDlg::Step::Skip:
        return "skip";
    case CRestoreDlg::Step::Overwrite:
        return "overwrite";
    case CRestoreDlg::Step::FromStart:
        return "from start";
    }
    return "?";
}

TEST(RestoreDecisionTest, TheServersAnswerSizesAndOptionDecide)
{
    const wchar_t* serverTime = L"2026-01-02 13:04:05";
    const SYSTEMTIME older = Day(2026, 1, 1), newer = Day(2026, 1, 3), none = {};
    SYSTEMTIME same = Day(2026, 1, 2);
    same.wHour = 13;
    same.wMinute = 4;
    same.wSecond = 5;
    const struct {
        const char* answer;
        __int64 server, local;
        int option;
        const wchar_t* time;
        SYSTEMTIME localWrite;
        const char* expected;
    } rows[] = {
        {"Y", 100, 40, 0, serverTime, older, "resume"},
        {"Y", 100, 40, 1, serverTime, older, "resume"},
        {"Y", 100, 100, 0, serverTime, older, "complete"},
        {"Y", 100, 100, 1, serverTime, older, "complete"},
        {"Y", 100, 100, 2, serverTime, older, "complete"},
        {"Y", 40, 100, 0, serverTime, older, "skip"},
        {"Y", 40, 100, 1, serverTime, newer, "overwrite"},
        {"Y", 40, 100, 2, serverTime, older, "overwrite"},
        {"N", 100, 100, 0, serverTime, older, "skip"},
        {"N", 100, 100, 1, serverTime, older, "overwrite"},
        {"N", 100, 100, 2, serverTime, older, "overwrite"},
        {"N", 100, 100, 2, serverTime, newer, "skip"},
        {"N", 100, 100, 2, serverTime, same, "skip"},
        {"N", 100, 100, 2, L"not a date", older, "skip"},
        {"N", 100, 100, 2, L"", older, "skip"},
        {"N", 100, 100, 2, serverTime, none, "skip"},
        {"", 100, 100, 0, serverTime, older, "from start"},
        {"X", 100, 40, 1, serverTime, older, "from start"},
    };
    for (const auto& r : rows) {
        const char* got = Name(CRestoreDlg::DecideExisting(r.answer, r.server, r.local, r.option, r.time, r.localWrite));
        EXPECT_STREQ(r.expected, got) << "answer \"" << r.answer << "\" server " << r.server << " local " << r.local
                                      << " option " << r.option;
    }
}

TEST(RestoreDecisionTest, RemarksNameFailuresThenSkipsThenOverwrites)
{
    const struct {
        int failed, skipped, overwritten;
        const wchar_t* expected;
    } rows[] = {
        {0, 0, 0, L""},
        {0, 2, 1, L"SKIP : 2, OVERWRITE : 1"},
        {1, 0, 0, L"FAIL : 1"},
        {3, 1, 2, L"FAIL : 3, SKIP : 1, OVERWRITE : 2"},
    };
    for (const auto& r : rows)
        EXPECT_STREQ(r.expected, CBackupLog::RemarksText(r.failed, r.skipped, r.overwritten).GetString())
            << r.failed << " " << r.skipped << " " << r.overwritten;
}

}
