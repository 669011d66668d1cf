// The version list against the test server: rows come from the server's versions, a row's
// download button hands the version to the owner (which downloads it through the download
// window), and its delete button deletes that version and the older rows.
#include <winsock2.h>
#include "DownloadHost.h"
#include "AutoAnswer.h"
#include "VersionManagementDlg.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <cstring>

using namespace downloadtest;

namespace {

struct Handed {
    int count = 0;
    std::string version;
    std::wstring folder;
    std::wstring name;
    std::string idx;
};
Handed g_handed;

LRESULT CALLBACK VersionOwnerProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_VERSION_DOWNLOAD) {
        const _VERSION_ITEM* item = reinterpret_cast<const _VERSION_ITEM*>(wParam);
        ++g_handed.count;
        g_handed.version = item->Version.Attr209;
        g_handed.idx = item->Version.IDX;
        g_handed.name = item->FileName;
        g_handed.folder = reinterpret_cast<const wchar_t*>(lParam);
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

class VersionList : public DownloadHost {
protected:
    void SetUp() override
    {
        DownloadHost::SetUp();
        g_handed = Handed();
        m_ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = VersionOwnerProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"VersionOwner";
            RegisterClassW(&wc);
            m_versionOwner = CreateWindowExW(0, L"VersionOwner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                             wc.hInstance, nullptr);
        });
    }
    void TearDown() override
    {
        m_ui.Run([this] { DestroyWindow(m_versionOwner); });
        DownloadHost::TearDown();
    }

    // Opens the dialog for the file as a server pane does; the dialog's window once it is up.
    HWND Open(const std::string& idx, const wchar_t* name)
    {
        m_task = m_ui.Post([this, idx, name] {
            CVersionManagementDlg dlg;
            dlg.m_pProto = &m_proto;
            std::strncpy(dlg.m_szFileId, idx.c_str(), 9);
            std::strcpy(dlg.m_szFolderId, "1");
            std::strcpy(dlg.m_szRequestId, "1");
            wcsncpy(dlg.m_wszFileName, name, 511);
            dlg.m_hOwner = m_versionOwner;
            dlg.m_nKeptVersions = 5;
            wcsncpy(dlg.m_wszPresetFolder, m_dest.c_str(), 259);
            dlg.m_nPresetFlag = 1;
            dlg.m_strServerPath = L"/My Files";
            dlg.DoModal();
        });
        HWND wnd = nullptr;
        uitest::WaitUntil([&] { return (wnd = uitest::FindTopWindow(L"#32770", L"Versions")) != nullptr; }, 10000);
        return wnd;
    }

    void Close(HWND wnd)
    {
        uitest::ClickButton(wnd, IDCANCEL);
        EXPECT_TRUE(m_task->Wait(10000));
    }

    static int RowCount(HWND wnd) { return static_cast<int>(SendMessageW(GetDlgItem(wnd, 10159), LVM_GETITEMCOUNT, 0, 0)); }
    static void Press(HWND wnd, int row, int which)
    {
        HWND list = GetDlgItem(wnd, 10159);
        // A row's buttons are the list's children: their clicks reach the list first.
        uitest::ClickButton(list, static_cast<int>(CToviListCtrl::ButtonId(row, which)));
    }

    HWND m_versionOwner = nullptr;
    std::shared_ptr<uitest::UiTask> m_task;
};

}

TEST_F(VersionList, DownloadHandsTheVersionToTheOwnerAndTheDownloadFetchesItsBytes)
{
    const std::string idx = PutFile("v.txt", 0, "version one");
    PutFile("v.txt", 0, "version two!");
    PutFile("v.txt", 0, "the current text");
    HWND wnd = Open(idx, L"v.txt");
    ASSERT_NE(nullptr, wnd);
    ASSERT_EQ(2, RowCount(wnd));
    Press(wnd, 1, 0);
    ASSERT_TRUE(uitest::WaitUntil([] { return g_handed.count == 1; }));
    EXPECT_EQ(m_dest, g_handed.folder);
    EXPECT_EQ(L"v.txt", g_handed.name);
    Close(wnd);

    // The owner turns the version into a download item, as the main program does.
    _DOWNLOADINFO item = FileItem("v.txt", g_handed.folder);
    std::strncpy(item.Version, g_handed.version.c_str(), sizeof item.Version - 1);
    std::strcpy(item.Size, "11");
    CDownloadThread* thread = Start({item});
    ASSERT_TRUE(WaitForRunEnd(thread));
    Finish(thread);
    EXPECT_EQ("version one", road::ReadLocal(m_dest + L"\\v.txt"));
}

TEST_F(VersionList, DeleteSendsTheVersionAndRemovesItsRowAndTheOlderOnes)
{
    const std::string idx = PutFile("d.txt", 0, "one");
    PutFile("d.txt", 0, "two");
    PutFile("d.txt", 0, "three");
    PutFile("d.txt", 0, "four");
    ASSERT_EQ("3", ServerField("d.txt", "versions"));
    HWND wnd = Open(idx, L"d.txt");
    ASSERT_NE(nullptr, wnd);
    ASSERT_EQ(3, RowCount(wnd));
    uitest::AutoAnswer yes(L"Corvane IXO MessageBox", IDOK); // the skinned box asks with OK and Cancel
    Press(wnd, 1, 1);
    ASSERT_TRUE(uitest::WaitUntil([&] { return RowCount(wnd) == 1; }));
    const std::vector<std::map<int, std::string>> sent = road::LastRecords(Control("LAST cmd=F2"));
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ("2", sent[0].at(209)) << "the second newest of versions 3, 2, 1";
    EXPECT_EQ("2", ServerField("d.txt", "versions"));
    Close(wnd);
}

TEST_F(VersionList, AFailedVersionRequestLeavesAnEmptyListAndOneMessage)
{
    uitest::AutoAnswer ok(L"Corvane IXO MessageBox", IDOK);
    HWND wnd = Open("987654", L"missing.txt");
    ASSERT_NE(nullptr, wnd);
    EXPECT_TRUE(ok.WaitForCount(1));
    EXPECT_EQ(0, RowCount(wnd));
    Close(wnd);
    EXPECT_EQ(1, ok.Count());
}

TEST_F(VersionList, AVersionTheServerNeverFinishesPreparingIsGivenUpAtTheWaitsBound)
{
    PutFile("unready-version.bin", 0, "old");
    PutFile("unready-version.bin", 0, "new");
    // Every answer of the wait repeats the first one: "not ready yet".
    ASSERT_EQ("OK", Control("SWITCH prepareRounds=1").substr(0, 2));
    ASSERT_EQ("OK", Control("FAULT no-last-page count=* cmd=H1").substr(0, 2));
    _DOWNLOADINFO item = FileItem("unready-version.bin", m_dest);
    std::strcpy(item.Version, "1");
    std::strcpy(item.Size, "3");
    CDownloadThread* thread = Start({item});
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(WaitForRunEnd(thread, 180000)) << "the wait must end by itself";
    const std::vector<Row> rows = Rows(thread);
    ASSERT_EQ(1u, rows.size());
    EXPECT_NE(L"Completed", rows[0].status);
    Finish(thread);
    const long asked = RequestCount("H1");
    EXPECT_GE(asked, 10000) << "the wait's rounds";
    EXPECT_LE(asked, 10010);
    const std::vector<std::map<int, std::string>> last = road::LastRecords(Control("LAST cmd=H1"));
    ASSERT_FALSE(last.empty());
    EXPECT_EQ("N", last[0].count(44) ? last[0].at(44) : "") << "the server is told to stop";
    Control("SWITCH prepareRounds=0");
}

TEST_F(VersionList, CancellingTheWaitForAVersionTellsTheServerAtOnce)
{
    PutFile("waited-version.bin", 0, "old");
    PutFile("waited-version.bin", 0, "new");
    ASSERT_EQ("OK", Control("SWITCH prepareRounds=1").substr(0, 2));
    ASSERT_EQ("OK", Control("FAULT no-last-page count=* cmd=H1").substr(0, 2));
    ASSERT_EQ("OK", Control("FAULT delay ms=100 count=* cmd=H1").substr(0, 2));
    _DOWNLOADINFO item = FileItem("waited-version.bin", m_dest);
    std::strcpy(item.Version, "1");
    std::strcpy(item.Size, "3");
    CDownloadThread* thread = Start({item});
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(uitest::WaitUntil([this] { return RequestCount("H1") >= 4; }, 10000)) << "the wait runs";
    const long atCancel = RequestCount("H1");
    Finish(thread);
    EXPECT_LE(RequestCount("H1"), atCancel + 2) << "the answer under way, then the N";
    const std::vector<std::map<int, std::string>> last = road::LastRecords(Control("LAST cmd=H1"));
    ASSERT_FALSE(last.empty());
    EXPECT_EQ("N", last[0].count(44) ? last[0].at(44) : "");
    Control("SWITCH prepareRounds=0");
}
