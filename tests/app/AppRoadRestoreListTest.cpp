// The one backup window that CorvaneIXO.exe itself opens: the restore list after a restore from
// the bin, in an English session, for a file with a Korean name. Its caption, heading, hint and
// button read in English while the row keeps the file's own name; a screenshot goes to the
// scratch folder.
#include "AppRun.h"
#include "BackupRes.h"
#include "PixelCapture.h"
#include "ServerContextMenu.h"
#include "TestPaths.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <initializer_list>

using namespace apprun;

namespace {

bool HasHangul(const std::wstring& text)
{
    for (wchar_t c : text)
        if (c >= 0xAC00 && c <= 0xD7A3)
            return true;
    return false;
}

class AppRoadRestoreList : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        m_name = "RestoreList" + std::to_string(::GetTickCount64());
        m_folder = "My Files/" + m_name;
        ASSERT_EQ("OK", Control("FOLDER user=demo -- " + m_folder).substr(0, 2));
        m_local = MakeDocumentsFolder(L"Restore list " + FromUtf8(m_name));
        ASSERT_FALSE(m_local.empty());
        ASSERT_EQ("OK", Control("OPTION A1 172=900 224=900").substr(0, 2));
    }
    void TearDown() override
    {
        AppRoadTest::TearDown();
        testpaths::RemoveTree(m_local);
    }
    std::string m_name, m_folder;
    std::wstring m_local;
};

TEST_F(AppRoadRestoreList, TheRestoreListOfAnEnglishSessionReadsInEnglishAndShowsTheKoreanName)
{
    const std::wstring file = L"보고서.txt";
    const std::string utf8 = "\xEB\xB3\xB4\xEA\xB3\xA0\xEC\x84\x9C.txt";
    ASSERT_EQ("OK", Control("FILE user=demo size=64 -- " + m_folder + "/" + utf8).substr(0, 2));
    // Deleting alone: the row's menu starts with Delete, and in the bin with Restore.
    std::string only(31, '0');
    only[static_cast<size_t>(servermenu::DELETE_)] = '1';
    const std::string idx = Idx(m_folder + "/" + utf8);
    ASSERT_FALSE(idx.empty());
    ASSERT_EQ("OK", Control("PERM idx=" + idx + " value=" + only).substr(0, 2));

    HWND frame = LaunchShowing(LANG_ENGLISH, m_local);
    ASSERT_NE(nullptr, frame);
    const MainPanes panes = PanesOf(frame);
    ASSERT_TRUE(panes.All());
    HTREEITEM myFiles = nullptr, own = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = RemoteTreeChild(panes.serverTree, nullptr, L"My Files")) != nullptr; }, 20000));
    ::SendMessageW(panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(myFiles));
    ASSERT_TRUE(uitest::WaitUntil([&] { return (own = RemoteTreeChild(panes.serverTree, myFiles, FromUtf8(m_name))) != nullptr; }, 20000));
    ::SendMessageW(panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(own));

    ASSERT_TRUE(ClickListRow(panes.serverList, file));
    ASSERT_TRUE(ChooseFromListMenu(frame, panes.serverList, RemoteListRow(panes.serverList, file), 1));
    ASSERT_TRUE(MenuClosed());
    HWND confirm = WaitForDialogWith(IDOK);
    ASSERT_NE(nullptr, confirm);
    Click(confirm, IDOK);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Idx(m_folder + "/" + utf8).empty(); }, 15000));

    HTREEITEM bin = RemoteTreeChild(panes.serverTree, nullptr, L"Recycle Bin");
    ASSERT_NE(nullptr, bin);
    ::SendMessageW(panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(bin));
    ASSERT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(panes.serverList, file) >= 0; }, 15000));
    ASSERT_TRUE(ClickListRow(panes.serverList, file));
    ASSERT_TRUE(ChooseFromListMenu(frame, panes.serverList, RemoteListRow(panes.serverList, file), 1));
    ASSERT_TRUE(MenuClosed());
    confirm = WaitForDialogWith(IDOK);
    ASSERT_NE(nullptr, confirm) << "no confirmation of the restore";
    Click(confirm, IDOK);

    HWND restored = WaitForDialogWith(IDC_RESTORE_LIST);
    ASSERT_NE(nullptr, restored) << "no restore list";
    HWND entries = ::GetDlgItem(restored, IDC_RESTORE_LIST);
    ASSERT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(entries, file) >= 0; }, 5000))
        << "the restored file's own name is not listed";
    const std::wstring caption = TextOf(restored);
    EXPECT_FALSE(caption.empty());
    EXPECT_FALSE(HasHangul(caption)) << "caption";
    for (int id : {IDC_RESTORE_LIST_HEADING, IDC_RESTORE_LIST_HINT, IDOK}) {
        const std::wstring text = TextOf(::GetDlgItem(restored, id));
        EXPECT_FALSE(text.empty()) << id;
        EXPECT_FALSE(HasHangul(text)) << id;
    }
    const std::wstring shots = testpaths::ScratchDir(L"app-restore-list-shots");
    EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(restored, 500), shots + L"\\restore-list-app-en.png"));
    Click(restored, IDOK);
    EXPECT_TRUE(uitest::WaitForWindowGone(restored));
    EXPECT_TRUE(ExitFromTray());
}

} // namespace
