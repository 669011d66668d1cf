// CorvaneIXO.exe against the test server with the permissions the server gives by itself: a
// selected folder row offers sharing on the command bar, a file row does not (the server's share
// is a folder's, and a file would only answer "folder not found").
#include "AppRun.h"
#include "MenuBarRes.h"
#include "TestPaths.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <commctrl.h>

using namespace apprun;

namespace {

class AppRoadShareOffer : public AppRoadTest {
protected:
    void TearDown() override
    {
        AppRoadTest::TearDown();
        if (!m_local.empty())
            testpaths::RemoveTree(m_local);
    }
    std::wstring m_local;
};

}

TEST_F(AppRoadShareOffer, TheShareButtonIsOnForAFolderRowAndOffForAFileRow)
{
    const std::string folder = "My Files/Offer" + std::to_string(::GetTickCount64());
    ASSERT_EQ("OK", Control("FOLDER user=demo -- " + folder + "/Team").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo text=hello -- " + folder + "/Notes.txt").substr(0, 2));
    m_local = MakeDocumentsFolder(L"Share offer");
    ASSERT_FALSE(m_local.empty());
    HWND frame = LaunchShowing(LANG_ENGLISH, m_local);
    ASSERT_NE(nullptr, frame);
    const MainPanes panes = PanesOf(frame);
    ASSERT_TRUE(panes.All());
    HTREEITEM myFiles = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = RemoteTreeChild(panes.serverTree, nullptr, L"My Files")) != nullptr; },
                                  20000));
    ::SendMessageW(panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(myFiles));
    const std::wstring name = FromUtf8(folder.substr(std::string("My Files/").size()));
    HTREEITEM own = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (own = RemoteTreeChild(panes.serverTree, myFiles, name)) != nullptr; },
                                  20000));
    ::SendMessageW(panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(own));
    ASSERT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(panes.serverList, L"Notes.txt") >= 0; }, 20000));

    HWND share = ::GetDlgItem(panes.bar, IDC_MENU_SHARE);
    const struct {
        const wchar_t* row;
        bool offered;
    } rows[] = {{L"Team", true}, {L"Notes.txt", false}, {L"Team", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.row)));
        ASSERT_TRUE(ClickListRow(panes.serverList, row.row));
        EXPECT_TRUE(uitest::WaitUntil([&] { return (::IsWindowEnabled(share) != FALSE) == row.offered; }, 10000));
    }
    EXPECT_TRUE(ExitFromTray());
}
