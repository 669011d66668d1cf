// The backup log viewer over run logs written by the run-log writer: the runs above, the
// items of the selected run below; screenshots in Korean and English in the scratch folder.
#include "BackupLog.h"
#include "BackupLogDlg.h"
#include "Library.h"
#include "PixelCapture.h"
#include "SQLiteDB.h"
#include "TestPaths.h"
#include "ToviTextLanguage.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include "WinThread.h"
#include <commctrl.h>
#include "../backup/BackupTitles.h"
#include <gtest/gtest.h>

namespace {

std::wstring ItemText(HWND list, int row, int column)
{
    wchar_t text[512] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

class BackupLogViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        ui.SetPreTranslate(&AfxPreTranslateMessage);
        docs = testpaths::ScratchDir(L"backup-log-viewer");
        CBackupLog first;
        first.SetDocumentsFolder(CString(docs.c_str()));
        ASSERT_TRUE(first.Create(L"P9", COleDateTime(2026, 2, 1, 9, 0, 0), 3000));
        ASSERT_TRUE(first.Insert(L"C:\\Data", L"D", -1, L"WAIT"));
        ASSERT_TRUE(first.Update(L"C:\\Data", L"COMPLETE", L""));
        ASSERT_TRUE(first.Insert(L"C:\\Data\\a.txt", L"F", 1000, L"WAIT"));
        ASSERT_TRUE(first.Update(L"C:\\Data\\a.txt", L"COMPLETE", L""));
        ASSERT_TRUE(first.Insert(L"C:\\Data\\b.txt", L"F", 2000, L"WAIT"));
        ASSERT_TRUE(first.Update(L"C:\\Data\\b.txt", L"FAIL", L"Force close network"));
        ASSERT_TRUE(first.End(L"FAIL", L"FAIL : 1"));
        CBackupLog second;
        second.SetDocumentsFolder(CString(docs.c_str()));
        ASSERT_TRUE(second.Create(L"P9", COleDateTime(2026, 2, 2, 9, 0, 0), 0));
        ASSERT_TRUE(second.End(L"COMPLETE", L""));
    }
    void TearDown() override { ToviInterfaceTerm(); }

    std::shared_ptr<uitest::UiTask> Open(unsigned short language)
    {
        return ui.Post([this, language] {
            CToviTextLanguage::SetThreadLanguage(language);
            CBackupLogDlg dlg;
            dlg.m_strPolicyKey = L"P9";
            dlg.m_strTitle = L"내 문서";
            dlg.m_strDocuments = docs.c_str();
            dlg.DoModal();
        });
    }
    void Select(HWND runs, int row)
    {
        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(runs, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    uitest::UiThread ui;
    std::wstring docs;
};

TEST_F(BackupLogViewerTest, ListsRunsAndTheItemsOfTheSelectedRun)
{
    auto task = Open(LANG_ENGLISH);
    HWND dlg = uitest::WaitForDialog(L"Backup Log");
    ASSERT_NE(nullptr, dlg);
    HWND runs = GetDlgItem(dlg, 10223);
    HWND items = GetDlgItem(dlg, 10224);
    ASSERT_EQ(2, ListView_GetItemCount(runs));
    EXPECT_EQ(L"2026-02-01 09:00:00", ItemText(runs, 0, 0));
    EXPECT_EQ(L"2026-02-02 09:00:00", ItemText(runs, 1, 0));
    EXPECT_FALSE(ItemText(runs, 0, 2).empty());
    EXPECT_NE(ItemText(runs, 0, 2), ItemText(runs, 1, 2));   // failed and complete differ
    EXPECT_EQ(0, ListView_GetItemCount(items));

    Select(runs, 0);
    // The rows are listed before their last column is filled: wait for the last row's remark.
    ASSERT_TRUE(uitest::WaitUntil([items] { return ListView_GetItemCount(items) == 3 && !ItemText(items, 2, 3).empty(); }));
    EXPECT_EQ(L"C:\\Data", ItemText(items, 0, 0));
    EXPECT_EQ(L"", ItemText(items, 0, 1));                   // folders show no size
    EXPECT_FALSE(ItemText(items, 1, 1).empty());
    EXPECT_EQ(L"Force close network", ItemText(items, 2, 3));
    EXPECT_EQ(ItemText(runs, 1, 2), ItemText(items, 1, 2));   // "complete" in the dialog's language

    // Another run replaces the items.
    Select(runs, 1);
    ASSERT_TRUE(uitest::WaitUntil([items] { return ListView_GetItemCount(items) == 0; }));
    ASSERT_TRUE(uitest::ClickButton(dlg, IDOK));
    EXPECT_TRUE(task->Wait());
}

TEST_F(BackupLogViewerTest, Screenshots)
{
    const std::wstring dir = testpaths::ScratchDir(L"backup-log-shots");
    const struct {
        unsigned short language;
        const wchar_t* tag;
    } looks[] = {{LANG_KOREAN, L"ko"}, {LANG_ENGLISH, L"en"}};
    for (const auto& look : looks) {
        auto task = Open(look.language);
        HWND dlg = uitest::WaitForDialog(look.language == LANG_KOREAN ? L"백업 로그" : L"Backup Log");
        ASSERT_NE(nullptr, dlg);
        Select(GetDlgItem(dlg, 10223), 0);
        HWND items = GetDlgItem(dlg, 10224);
        ASSERT_TRUE(uitest::WaitUntil([items] { return ListView_GetItemCount(items) == 3; }));
        EXPECT_TRUE(FontHasHangul(dlg));
        if (look.language == LANG_ENGLISH) {
            // The title static holds the policy's own (Korean) name.
            const std::vector<std::wstring> korean = HangulLabels(dlg);
            EXPECT_TRUE(korean.empty() || (korean.size() == 1 && korean[0] == L"내 문서")) << korean.size();
        }
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(dlg, 800), dir + L"\\log-" + look.tag + L".png"));
        ASSERT_TRUE(uitest::ClickButton(dlg, IDOK));
        EXPECT_TRUE(task->Wait());
    }
}

// A run that is still going: the viewer lists it and its items as far as they are written,
// while the run keeps its database open and goes on writing afterwards.
TEST_F(BackupLogViewerTest, ShowsTheItemsOfARunInProgress)
{
    CBackupLog live;
    live.SetDocumentsFolder(CString(docs.c_str()));
    ASSERT_TRUE(live.Create(L"P9", COleDateTime(2026, 2, 3, 9, 0, 0), 500));
    ASSERT_TRUE(live.Insert(L"C:\\Live", L"D", -1, L"WAIT"));
    ASSERT_TRUE(live.Update(L"C:\\Live", L"COMPLETE", L""));
    ASSERT_TRUE(live.Insert(L"C:\\Live\\now.bin", L"F", 500, L"WAIT"));
    // The run commits its rows in batches: the viewer opens once they are there for any reader.
    const std::wstring run = live.RunPath().GetString();
    ASSERT_TRUE(uitest::WaitUntil([&] {
        CSQLiteDB reader;
        int rows = -1;
        try {
            reader.open(run.c_str());
            rows = reader.execQuery(L"SELECT count(*) FROM backup").getIntField(0, -1);
        } catch (CSQLiteException&) {
        }
        reader.close();
        return rows == 2;
    })) << "the run's rows were never committed";

    auto task = Open(LANG_ENGLISH);
    HWND dlg = uitest::WaitForDialog(L"Backup Log");
    ASSERT_NE(nullptr, dlg);
    HWND runs = GetDlgItem(dlg, 10223);
    HWND items = GetDlgItem(dlg, 10224);
    ASSERT_EQ(3, ListView_GetItemCount(runs));
    int row = -1;
    for (int i = 0; i < 3; ++i)
        if (ItemText(runs, i, 0) == L"2026-02-03 09:00:00")
            row = i;
    ASSERT_GE(row, 0);
    Select(runs, row);
    ASSERT_TRUE(uitest::WaitUntil([items] { return ListView_GetItemCount(items) == 2; }))
        << "the viewer did not read the run in progress";
    EXPECT_EQ(L"C:\\Live", ItemText(items, 0, 0));
    EXPECT_EQ(L"C:\\Live\\now.bin", ItemText(items, 1, 0));
    ASSERT_TRUE(uitest::ClickButton(dlg, IDOK));
    EXPECT_TRUE(task->Wait());

    ASSERT_TRUE(live.Update(L"C:\\Live\\now.bin", L"COMPLETE", L""));
    EXPECT_TRUE(live.End(L"COMPLETE", L""));
}

} // namespace
