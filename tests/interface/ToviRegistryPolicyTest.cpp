// Backup policies in the Wine registry: names, folders, schedules and the next run.
#include "RegistryFixture.h"
#include "SystemFacts.h"
#include "ToviRegistry.h"
#include <gtest/gtest.h>
#include <cwchar>
#include <string>

using namespace regtest;

namespace {

std::wstring PolicyKey(const wchar_t* id) { return std::wstring(kPolicyRoot) + L"\\" + id; }

_FOLDER_PATH_INFO Folder(const std::wstring& tree, const std::wstring& full, const wchar_t* index = L"")
{
    _FOLDER_PATH_INFO f = {};
    wcsncpy(f.TreePath, tree.c_str(), 1023);
    wcsncpy(f.FullPath, full.c_str(), 259);
    wcsncpy(f.FolderIDX, index, 9);
    return f;
}

CFolderPathMap Folders(std::initializer_list<std::wstring> paths)
{
    CFolderPathMap map;
    for (const std::wstring& p : paths)
        map[p.c_str()] = Folder(L"PC\\" + p, p);
    return map;
}

// Fails the registry change numbered failAt (counting from 1) and lets every other one through,
// so that a save meets one failure at that point and its repair none.
class FailingWrites : public CSystemFacts {
public:
    explicit FailingWrites(int failAt) : m_failAt(failAt) { m_previous = Install(this); }
    ~FailingWrites() override { Install(m_previous); }

    LONG CreateRegistryKey(HKEY parent, const wchar_t* path, HKEY* key) override
    {
        return Next() ? CSystemFacts::CreateRegistryKey(parent, path, key) : ERROR_ACCESS_DENIED;
    }
    LONG SetRegistryValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD bytes) override
    {
        return Next() ? CSystemFacts::SetRegistryValue(key, name, type, data, bytes) : ERROR_ACCESS_DENIED;
    }

private:
    bool Next() { return ++m_count != m_failAt; }

    int m_failAt;
    int m_count = 0;
    CSystemFacts* m_previous = nullptr;
};

// Every value and subkey below the key as text, for before-and-after comparisons.
std::wstring Dump(HKEY parent, const std::wstring& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"(none)";
    std::wstring text;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameChars = 256, type = 0;
        BYTE data[2048];
        DWORD bytes = sizeof(data);
        if (::RegEnumValueW(key, i, name, &nameChars, nullptr, &type, data, &bytes) != ERROR_SUCCESS)
            break;
        text += path + L":" + name + L"=" + std::to_wstring(type) + L":";
        for (DWORD b = 0; b < bytes; ++b)
            text += std::to_wstring(data[b]) + L",";
        text += L"\n";
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameChars = 256;
        if (::RegEnumKeyExW(key, i, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        text += Dump(key, name);
    }
    ::RegCloseKey(key);
    return text;
}

}

class PolicyTest : public RegistryTest {};

TEST_F(PolicyTest, NamesAreComparedExactly)
{
    CFolderPathMap none;
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"Daily Docs", L"d", L"2016-12-01", none, 0));
    EXPECT_FALSE(CToviRegistry::IsEnableBackupPolicyName(L"Daily Docs"));
    EXPECT_TRUE(CToviRegistry::IsEnableBackupPolicyName(L"daily docs"));
    EXPECT_TRUE(CToviRegistry::IsEnableBackupPolicyName(L"Photos"));
    CreateKey(PolicyKey(L"P2"));
    EXPECT_FALSE(CToviRegistry::IsEnableBackupPolicyName(L"Photos")) << "a policy without a name";
}

TEST_F(PolicyTest, NoPolicyKeyMeansNoAnswer)
{
    EXPECT_FALSE(CToviRegistry::IsEnableBackupPolicyName(L"x"));
    std::vector<_BACKUP_POLICY_INFO> list;
    EXPECT_FALSE(CToviRegistry::GetBackupPolicyList(list));
}

TEST_F(PolicyTest, SavingRewritesTheFolderSubkeysInMapOrder)
{
    CFolderPathMap five = Folders({ L"C:\\a", L"C:\\b", L"C:\\c", L"C:\\d", L"C:\\e" });
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", five, 1));
    EXPECT_EQ(5, SubKeyCount(PolicyKey(L"P1")));
    CFolderPathMap three = Folders({ L"D:\\z", L"D:\\x", L"D:\\y" });
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", three, 2));
    EXPECT_EQ(3, SubKeyCount(PolicyKey(L"P1")));
    const wchar_t* expected[] = { L"D:\\x", L"D:\\y", L"D:\\z" };
    for (int k = 0; k < 3; ++k) {
        wchar_t name[16];
        swprintf(name, 16, L"\\Path[%02d]", k);
        std::wstring full;
        ASSERT_TRUE(GetText(PolicyKey(L"P1") + name, L"FullPath", full)) << k;
        EXPECT_EQ(expected[k], full);
    }
    CFolderPathMap empty;
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", empty, 2));
    EXPECT_EQ(0, SubKeyCount(PolicyKey(L"P1")));
}

TEST_F(PolicyTest, APolicyReadsBackWithItsFoldersAndOverwriteCode)
{
    CFolderPathMap folders = Folders({ L"C:\\Docs", L"C:\\Photos" });
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P20161201", L"Docs", L"my documents", L"2016-12-01 09:00:00", folders, 3));
    ASSERT_TRUE(CToviRegistry::SetBackupPolicyID(0, L"P20161201", L"", L"4411"));
    ASSERT_TRUE(CToviRegistry::UpdateBackupInfo(L"P20161201", L"2016-12-02 10:00:00", L"1024", L"COMPLETE"));
    _BACKUP_POLICY_INFO info = {};
    CFolderPathMap back;
    int overwrite = -1;
    ASSERT_TRUE(CToviRegistry::GetBackupPolicy(L"P20161201", &info, back, &overwrite));
    EXPECT_STREQ(L"P20161201", info.PolicyID);
    EXPECT_STREQ(L"Docs", info.PolicyName);
    EXPECT_STREQ(L"my documents", info.PolicyDesc);
    EXPECT_STREQ(L"2016-12-01 09:00:00", info.CreateTime);
    EXPECT_STREQ(L"2016-12-02 10:00:00", info.StartTime);
    EXPECT_STREQ(L"1024", info.TotalSize);
    EXPECT_STREQ(L"COMPLETE", info.BackupResult);
    EXPECT_STREQ("4411", info.FolderIDX);
    EXPECT_EQ(3, overwrite);
    ASSERT_EQ(2u, back.size());
    EXPECT_STREQ(L"PC\\C:\\Docs", back[L"C:\\Docs"].TreePath);
}

// Saving a policy used to drop every folder's FolderIDX.
TEST_F(PolicyTest, SavingKeepsEachFoldersServerIndex)
{
    CFolderPathMap folders = Folders({ L"C:\\Docs", L"C:\\Photos" });
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", folders, 0));
    ASSERT_TRUE(CToviRegistry::SetBackupPolicyID(1, L"P1", L"C:\\Photos", L"77"));
    folders[L"C:\\Music"] = Folder(L"PC\\Music", L"C:\\Music", L"88");
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", folders, 0));
    _BACKUP_POLICY_INFO info = {};
    CFolderPathMap back;
    int overwrite = 0;
    ASSERT_TRUE(CToviRegistry::GetBackupPolicy(L"P1", &info, back, &overwrite));
    EXPECT_STREQ(L"77", back[L"C:\\Photos"].FolderIDX);
    EXPECT_STREQ(L"88", back[L"C:\\Music"].FolderIDX);
    EXPECT_STREQ(L"", back[L"C:\\Docs"].FolderIDX);
}

// A folder that could never be read back used to be written after the old list was gone.
TEST_F(PolicyTest, AFailedSaveKeepsTheOldFolderList)
{
    CFolderPathMap folders = Folders({ L"C:\\Docs", L"C:\\Photos" });
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", folders, 0));
    ASSERT_TRUE(CToviRegistry::SetBackupPolicyID(1, L"P1", L"C:\\Docs", L"12"));
    CFolderPathMap bad = Folders({ L"C:\\A", L"C:\\B" });
    bad[L"C:\\C"] = Folder(std::wstring(600, L't'), L"C:\\C");
    EXPECT_FALSE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", bad, 0));
    _BACKUP_POLICY_INFO info = {};
    CFolderPathMap back;
    int overwrite = 0;
    ASSERT_TRUE(CToviRegistry::GetBackupPolicy(L"P1", &info, back, &overwrite));
    ASSERT_EQ(2u, back.size());
    EXPECT_STREQ(L"12", back[L"C:\\Docs"].FolderIDX);
    EXPECT_EQ(1u, back.count(L"C:\\Photos"));
}

TEST_F(PolicyTest, ASaveThatFailsAtAnyWriteLeavesThePolicyAsItWas)
{
    int failAt = 1;
    for (;; ++failAt) {
        RemoveAll();
        CFolderPathMap old = Folders({ L"C:\\Docs", L"C:\\Photos" });
        ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"old", L"old text", L"2016-01-01", old, 1));
        ASSERT_TRUE(CToviRegistry::SetBackupPolicyID(1, L"P1", L"C:\\Docs", L"12"));
        const std::wstring before = Dump(HKEY_CURRENT_USER, PolicyKey(L"P1"));

        CFolderPathMap fresh = Folders({ L"D:\\a", L"D:\\b", L"D:\\c" });
        bool saved;
        {
            FailingWrites faults(failAt);
            saved = CToviRegistry::SetBackupPolicy(L"P1", L"new", L"new text", L"2017-02-02", fresh, 2);
        }
        if (saved)
            break;
        EXPECT_EQ(before, Dump(HKEY_CURRENT_USER, PolicyKey(L"P1"))) << "write " << failAt << " failed";
        if (failAt > 100)
            FAIL() << "the save never got through";
    }
    EXPECT_GT(failAt, 10) << "every folder value and the policy values are written";
}

TEST_F(PolicyTest, ANewPolicyWhoseSaveFailsIsNotLeftBehind)
{
    CFolderPathMap folders = Folders({ L"C:\\Docs", L"C:\\Photos" });
    for (int failAt = 1; failAt <= 100; ++failAt) {
        bool saved;
        {
            FailingWrites faults(failAt);
            saved = CToviRegistry::SetBackupPolicy(L"P9", L"n", L"d", L"t", folders, 0);
        }
        if (saved)
            return;
        EXPECT_FALSE(HasKey(PolicyKey(L"P9"))) << "write " << failAt << " failed";
    }
    FAIL() << "the save never got through";
}

TEST_F(PolicyTest, PolicyIdsThatNameAnotherKeyAreRefused)
{
    CFolderPathMap none;
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", none, 0));
    EXPECT_FALSE(CToviRegistry::RemoveBackupPolicy(L""));
    EXPECT_FALSE(CToviRegistry::SetBackupPolicy(L"P1\\sub", L"n", L"d", L"t", none, 0));
    EXPECT_TRUE(HasKey(PolicyKey(L"P1")));
}

TEST_F(PolicyTest, RemovingAPolicyRemovesItsFolders)
{
    CFolderPathMap folders = Folders({ L"C:\\Docs" });
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", folders, 0));
    EXPECT_TRUE(CToviRegistry::RemoveBackupPolicy(L"P1"));
    EXPECT_FALSE(HasKey(PolicyKey(L"P1")));
    EXPECT_FALSE(CToviRegistry::RemoveBackupPolicy(L"P1"));
}

// RemoveBackupFolders used to answer true whatever happened.
TEST_F(PolicyTest, RemovingFoldersReportsAFailure)
{
    EXPECT_FALSE(CToviRegistry::RemoveBackupFolders(nullptr));
    CFolderPathMap folders = Folders({ L"C:\\Docs", L"C:\\Photos" });
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", folders, 0));
    HKEY readOnly = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, PolicyKey(L"P1").c_str(), 0, KEY_READ, &readOnly));
    bool removed = CToviRegistry::RemoveBackupFolders(readOnly);
    RegCloseKey(readOnly);
    EXPECT_EQ(SubKeyCount(PolicyKey(L"P1")) == 0, removed);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, PolicyKey(L"P1").c_str(), 0, KEY_ALL_ACCESS, &key));
    EXPECT_TRUE(CToviRegistry::RemoveBackupFolders(key));
    RegCloseKey(key);
    EXPECT_EQ(0, SubKeyCount(PolicyKey(L"P1")));
}

TEST_F(PolicyTest, TheListReportsEveryPolicyWithItsScheduleKind)
{
    CFolderPathMap none;
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"one", L"", L"t1", none, 0));
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P2", L"two", L"", L"t2", none, 0));
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P1", 0, 1, L"", -1, L"10:00", L""));
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P2", 1, 2, L"", 3, L"10:00", L""));
    std::vector<_BACKUP_POLICY_INFO> list;
    ASSERT_TRUE(CToviRegistry::GetBackupPolicyList(list));
    ASSERT_EQ(2u, list.size());
    EXPECT_STREQ(L"P1", list[0].PolicyID);
    EXPECT_EQ(-1, list[0].BackupCycle);
    EXPECT_STREQ(L"two", list[1].PolicyName);
    EXPECT_EQ(2, list[1].BackupCycle);
}

TEST_F(PolicyTest, AListEntryWithoutReservationFailsKeepingEarlierOnes)
{
    CFolderPathMap none;
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"one", L"", L"t1", none, 0));
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P1", 0, 0, L"", -1, L"", L""));
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P2", L"two", L"", L"t2", none, 0));
    std::vector<_BACKUP_POLICY_INFO> list;
    EXPECT_FALSE(CToviRegistry::GetBackupPolicyList(list));
    EXPECT_EQ(1u, list.size());
}

class CycleTest : public RegistryTest {};

TEST_F(CycleTest, NoReservationDeletesTheScheduleButKeepsTheNextRun)
{
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P1", 1, 3, L"15", 2, L"10:30", L"2017-01-15 10:30"));
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P1", 0, 3, L"15", 2, L"10:30", L""));
    for (const wchar_t* name : { L"BackupCycle", L"BackupDate", L"BackupDayOfTheWeek", L"BackupTime" })
        EXPECT_FALSE(HasValue(PolicyKey(L"P1"), name)) << testing::PrintToString(std::wstring(name));
    std::wstring next;
    EXPECT_TRUE(GetText(PolicyKey(L"P1"), L"NextBackupTime", next));
    EXPECT_EQ(L"2017-01-15 10:30", next);
    int reservation = -1, kind = -1, weekday = -1;
    CString date, time;
    ASSERT_TRUE(CToviRegistry::GetBackupCycle(L"P1", &reservation, &kind, date, &weekday, time));
    EXPECT_EQ(0, reservation);
}

TEST_F(CycleTest, ADailyScheduleStoresOnlyWhatItUses)
{
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P1", 1, 1, L"", -1, L"23:00", L"2016-12-21 23:00"));
    EXPECT_FALSE(HasValue(PolicyKey(L"P1"), L"BackupDate"));
    EXPECT_FALSE(HasValue(PolicyKey(L"P1"), L"BackupDayOfTheWeek"));
    int reservation = 0, kind = 0, weekday = -5;
    CString date = L"kept", time;
    ASSERT_TRUE(CToviRegistry::GetBackupCycle(L"P1", &reservation, &kind, date, &weekday, time));
    EXPECT_EQ(1, reservation);
    EXPECT_EQ(1, kind);
    EXPECT_STREQ(L"kept", date.GetString());
    EXPECT_EQ(-5, weekday);
    EXPECT_STREQ(L"23:00", time.GetString());
}

TEST_F(CycleTest, AMonthlyScheduleNeedsItsDate)
{
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P1", 1, 3, L"", -1, L"10:00", L""));
    int reservation = 0, kind = 0, weekday = 0;
    CString date, time;
    EXPECT_FALSE(CToviRegistry::GetBackupCycle(L"P1", &reservation, &kind, date, &weekday, time));
}

TEST_F(CycleTest, RunInfoTextsAreWrittenKeptOrDeleted)
{
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P1", 0, 0, L"", -1, L"", L""));
    ASSERT_TRUE(CToviRegistry::UpdateBackupInfo(L"P1", L"s", L"100", L"FAIL"));
    ASSERT_TRUE(CToviRegistry::UpdateBackupInfo(L"P1", L"", L"200", L"Delete"));
    std::wstring start, size;
    EXPECT_TRUE(GetText(PolicyKey(L"P1"), L"StartTime", start));
    EXPECT_EQ(L"s", start);
    EXPECT_TRUE(GetText(PolicyKey(L"P1"), L"TotalSize", size));
    EXPECT_EQ(L"200", size);
    EXPECT_FALSE(HasValue(PolicyKey(L"P1"), L"BackupResult"));
}

struct NextRunRow {
    int kind;
    const wchar_t* date;
    int weekday;
    const wchar_t* lastRun;
    const wchar_t* expected;   // null: nothing is written
};

class NextRunTest : public RegistryTest, public ::testing::WithParamInterface<NextRunRow> {};

TEST_P(NextRunTest, StoresTheRunAfterTheLastOne)
{
    const NextRunRow& row = GetParam();
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P1", 1, row.kind, row.date, row.weekday, L"10:30", L""));
    ASSERT_TRUE(CToviRegistry::SetNextBackupTime(L"P1", row.lastRun));
    std::wstring next;
    bool written = GetText(PolicyKey(L"P1"), L"NextBackupTime", next);
    if (row.expected == nullptr) {
        EXPECT_FALSE(written) << "kind " << row.kind << " wrote " << testing::PrintToString(next);
    } else {
        ASSERT_TRUE(written) << "kind " << row.kind;
        EXPECT_EQ(row.expected, next) << "kind " << row.kind << " last run " << testing::PrintToString(std::wstring(row.lastRun));
    }
}

INSTANTIATE_TEST_SUITE_P(Schedules, NextRunTest, ::testing::Values(
    NextRunRow{ 1, L"", -1, L"2016-12-31 10:30", L"2017-01-01 10:30" },
    NextRunRow{ 2, L"", 3, L"2016-12-28 10:30", L"2017-01-04 10:30" },
    NextRunRow{ 3, L"15", -1, L"2016-12-20 10:30", L"2017-01-15 10:30" },
    NextRunRow{ 3, L"15", -1, L"2016-12-20", L"2017-01-15 10:30" },
    NextRunRow{ 3, L"15", -1, L"2016-12-20 10:30:15", L"2017-01-15 10:30" },
    // A day the next month lacks falls on its last day.
    NextRunRow{ 3, L"31", -1, L"2017-01-31 10:30", L"2017-02-28 10:30" },
    NextRunRow{ 3, L"30", -1, L"2016-01-30 10:30", L"2016-02-29 10:30" },
    NextRunRow{ 3, L"31", -1, L"2017-03-31 10:30", L"2017-04-30 10:30" },
    NextRunRow{ 3, L"31", -1, L"2017-04-30 10:30", L"2017-05-31 10:30" },
    NextRunRow{ 0, L"2017-01-01", -1, L"2016-12-20 10:30", nullptr }));

// The next run was parsed in the user's locale although it is written as YYYY-MM-DD: the
// written form must read back whatever the locale.
TEST(NextBackupDateTest, TheWrittenFormReadsBackAndGarbageIsRefused)
{
    CString next;
    ASSERT_TRUE(CToviRegistry::ComputeNextBackupDate(1, 0, L"2016-02-28 23:59", next));
    EXPECT_STREQ(L"2016-02-29", next.GetString());
    EXPECT_FALSE(CToviRegistry::ComputeNextBackupDate(1, 0, L"2016-13-45 10:00", next));
    EXPECT_FALSE(CToviRegistry::ComputeNextBackupDate(1, 0, L"not a date", next));
    EXPECT_FALSE(CToviRegistry::ComputeNextBackupDate(0, 0, L"2016-02-28 10:00", next));
    EXPECT_FALSE(CToviRegistry::ComputeNextBackupDate(3, 0, L"2016-02-28 10:00", next));
}

TEST_F(CycleTest, NextRunFailsOnAnUnreadableLastRunAndSkipsUnscheduledPolicies)
{
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P1", 1, 1, L"", -1, L"10:30", L""));
    EXPECT_FALSE(CToviRegistry::SetNextBackupTime(L"P1", L"yesterday-ish"));
    EXPECT_FALSE(HasValue(PolicyKey(L"P1"), L"NextBackupTime"));
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(L"P2", 0, 1, L"", -1, L"10:30", L""));
    EXPECT_TRUE(CToviRegistry::SetNextBackupTime(L"P2", L"2016-12-20 10:30"));
    EXPECT_FALSE(HasValue(PolicyKey(L"P2"), L"NextBackupTime"));
    EXPECT_FALSE(CToviRegistry::SetNextBackupTime(L"P9", L"2016-12-20 10:30"));
}

TEST_F(CycleTest, FolderIndexGoesToThePolicyOrTheMatchingFolder)
{
    CFolderPathMap folders = Folders({ L"C:\\Docs" });
    ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"P1", L"n", L"d", L"t", folders, 0));
    EXPECT_TRUE(CToviRegistry::SetBackupPolicyID(1, L"P1", L"C:\\Nowhere", L"5"));
    EXPECT_TRUE(CToviRegistry::SetBackupPolicyID(7, L"P1", L"C:\\Docs", L"5"));
    EXPECT_FALSE(HasValue(PolicyKey(L"P1") + L"\\Path[00]", L"FolderIDX"));
    EXPECT_TRUE(CToviRegistry::SetBackupPolicyID(1, L"P1", L"C:\\Docs", L"5"));
    std::wstring index;
    EXPECT_TRUE(GetText(PolicyKey(L"P1") + L"\\Path[00]", L"FolderIDX", index));
    EXPECT_EQ(L"5", index);
}
