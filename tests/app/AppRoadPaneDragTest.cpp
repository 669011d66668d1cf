// CorvaneIXO.exe end to end under Wine: drags that start in one of the program's panes and end on
// another of its panes, carried by the pointer alone. A server row or tree folder dragged onto the
// local list is downloaded into the folder that list shows; a local row or tree folder dragged onto
// the server list is uploaded into the server folder shown.
#include "AppRun.h"
#include "FileBytes.h"
#include "TestPaths.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

using namespace apprun;

namespace {

class AppRoadPaneDrag : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        m_folder = MakeDocumentsFolder(L"Pane drag " + std::to_wstring(::GetCurrentProcessId()));
        // Keep-alive requests far away: nothing but the transfers talks to the server.
        ASSERT_EQ("OK", Control("OPTION A1 172=900 224=900").substr(0, 2));
    }
    void TearDown() override
    {
        AppRoadTest::TearDown();
        testpaths::RemoveTree(m_folder);
    }

    // Logs in showing the scratch folder with rows rows in the local panes and "My Files" in
    // the server panes.
    void Start(unsigned short language, int rows)
    {
        m_frame = LaunchShowing(language, m_folder);
        ASSERT_NE(nullptr, m_frame);
        m_panes = PanesOf(m_frame);
        ASSERT_TRUE(m_panes.All());
        ASSERT_TRUE(uitest::WaitUntil(
            [&] { return ::SendMessageW(m_panes.localList, LVM_GETITEMCOUNT, 0, 0) >= rows; }, 20000))
            << "the local list did not show the folder";
        HTREEITEM top = nullptr;
        ASSERT_TRUE(uitest::WaitUntil(
            [&] { return (top = RemoteTreeChild(m_panes.serverTree, nullptr, L"My Files")) != nullptr; }, 20000))
            << "no server folder \"My Files\"";
        ::SendMessageW(m_panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(top));
        m_myFiles = top;
        ::Sleep(500);   // the selection lists the folder
        ::SetForegroundWindow(m_frame);
    }

    // The screen point of a list's named row (on its label's start, where a user takes it).
    POINT RowPoint(HWND list, const std::wstring& name)
    {
        int row = -1;
        EXPECT_TRUE(uitest::WaitUntil([&] { return (row = RemoteListRow(list, name)) >= 0; }, 20000))
            << "no row " << std::string(name.begin(), name.end());
        const RECT rect = RemoteListRowRect(list, row);
        POINT at = {rect.left + 20, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(list, &at);
        return at;
    }
    // The child of a tree's item whose label reads name, opening the item until it shows; its
    // screen point (the label's centre, where a user takes it), or {} with a failure.
    POINT TreeChildPoint(HWND tree, HTREEITEM parent, const std::wstring& name)
    {
        HTREEITEM child = nullptr;
        EXPECT_TRUE(uitest::WaitUntil([&] {
            ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
            return (child = RemoteTreeChild(tree, parent, name)) != nullptr;
        }, 20000)) << "no tree item " << std::string(CStringA(name.c_str()).GetString());
        if (!child)
            return POINT{};
        const RECT rect = RemoteTreeItemRect(tree, child);
        EXPECT_FALSE(::IsRectEmpty(&rect)) << "the tree item does not show";
        return ScreenPoint(tree, rect);
    }
    // A screen point of a list's empty space below its rows.
    static POINT BelowRows(HWND list)
    {
        RECT client = {};
        ::GetClientRect(list, &client);
        POINT at = {client.right / 2, client.bottom - 8};
        ::ClientToScreen(list, &at);
        return at;
    }

    // The transfer the drop started ran to its end; its window is closed.
    void FinishTransfer(bool upload)
    {
        HWND window = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] {
            const std::vector<HWND> windows = TransferWindows(upload);
            window = windows.empty() ? nullptr : windows.front();
            return window != nullptr;
        }, 30000)) << "the drop started no " << (upload ? "upload" : "download");
        EXPECT_TRUE(uitest::WaitUntil([&] { return TransferRunOver(window); }, 60000)) << "the transfer did not end";
        Click(window, IDCANCEL);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, 20000));
    }

    std::wstring m_folder;
    HWND m_frame = nullptr;
    MainPanes m_panes;
    HTREEITEM m_myFiles = nullptr;
};

}

TEST_F(AppRoadPaneDrag, AServerRowDraggedOntoTheLocalListIsDownloadedIntoTheFolderShown)
{
    ASSERT_EQ("OK", Control("FILE user=demo size=3000001 -- My Files/끌어받기.bin").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo size=5000 -- My Files/stays.bin").substr(0, 2));
    filebytes::WriteFile(m_folder + L"\\here.txt", std::vector<unsigned char>{'x'});
    ASSERT_NO_FATAL_FAILURE(Start(LANG_KOREAN, 1));

    DragWithMouse(RowPoint(m_panes.serverList, L"끌어받기.bin"), BelowRows(m_panes.localList));
    ASSERT_NO_FATAL_FAILURE(FinishTransfer(false));
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 3000001), ReadWholeFile(m_folder + L"\\끌어받기.bin")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_folder + L"\\stays.bin").c_str()))
        << "a row that was not dragged was downloaded";
    EXPECT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(m_panes.localList, L"끌어받기.bin") >= 0; }, 10000))
        << "the local list does not show the downloaded file";
    EXPECT_FALSE(Idx("My Files/끌어받기.bin").empty()) << "a download removed the server's copy";
    EXPECT_EQ(nullptr, WaitForBox(2000)) << BoxText(WaitForBox(1));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadPaneDrag, ALocalRowDraggedOntoTheServerListIsUploadedIntoTheFolderShown)
{
    const std::string bytes = SomeBytes(2 * 1048576 + 3, 41);
    filebytes::WriteFile(m_folder + L"\\끌어올리기.bin", std::vector<unsigned char>(bytes.begin(), bytes.end()));
    filebytes::WriteFile(m_folder + L"\\stays.txt", std::vector<unsigned char>{'x'});
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, 2));

    DragWithMouse(RowPoint(m_panes.localList, L"끌어올리기.bin"), BelowRows(m_panes.serverList));
    ASSERT_NO_FATAL_FAILURE(FinishTransfer(true));
    EXPECT_TRUE(filebytes::Same(bytes, ServerBytes("끌어올리기.bin")));
    EXPECT_EQ(0u, ServerBytes("stays.txt").rfind("<missing", 0)) << "a row that was not dragged was uploaded";
    EXPECT_TRUE(filebytes::Same(bytes, ReadWholeFile(m_folder + L"\\끌어올리기.bin"))) << "the upload moved the file";
    EXPECT_EQ(nullptr, WaitForBox(2000)) << BoxText(WaitForBox(1));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadPaneDrag, AServerTreeFolderDraggedOntoTheLocalListIsDownloadedWithItsFiles)
{
    ASSERT_EQ("OK", Control("FOLDER user=demo -- My Files/끌어받을 폴더").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo size=1500007 -- My Files/끌어받을 폴더/안에.bin").substr(0, 2));
    filebytes::WriteFile(m_folder + L"\\here.txt", std::vector<unsigned char>{'x'});
    ASSERT_NO_FATAL_FAILURE(Start(LANG_KOREAN, 1));

    const POINT from = TreeChildPoint(m_panes.serverTree, m_myFiles, L"끌어받을 폴더");
    ASSERT_FALSE(HasFailure());
    DragWithMouse(from, BelowRows(m_panes.localList));
    ASSERT_NO_FATAL_FAILURE(FinishTransfer(false));
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 1500007),
                                ReadWholeFile(m_folder + L"\\끌어받을 폴더\\안에.bin")));
    EXPECT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(m_panes.localList, L"끌어받을 폴더") >= 0; }, 10000))
        << "the local list does not show the downloaded folder";
    EXPECT_FALSE(Idx("My Files/끌어받을 폴더/안에.bin").empty()) << "a download removed the server's copy";
    EXPECT_EQ(nullptr, WaitForBox(2000)) << BoxText(WaitForBox(1));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadPaneDrag, ALocalTreeFolderDraggedOntoTheServerListIsUploadedWithItsFiles)
{
    const std::string bytes = SomeBytes(1048576 + 5, 43);
    ASSERT_TRUE(::CreateDirectoryW((m_folder + L"\\끌어올릴 폴더").c_str(), nullptr));
    filebytes::WriteFile(m_folder + L"\\끌어올릴 폴더\\안에.bin", std::vector<unsigned char>(bytes.begin(), bytes.end()));
    filebytes::WriteFile(m_folder + L"\\stays.txt", std::vector<unsigned char>{'x'});
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, 2));

    // The local tree has the folder shown as its selection; the dragged folder is below it.
    HTREEITEM shown = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        return (shown = reinterpret_cast<HTREEITEM>(
                    ::SendMessageW(m_panes.localTree, TVM_GETNEXTITEM, TVGN_CARET, 0))) != nullptr;
    }, 10000));
    const POINT from = TreeChildPoint(m_panes.localTree, shown, L"끌어올릴 폴더");
    ASSERT_FALSE(HasFailure());
    DragWithMouse(from, BelowRows(m_panes.serverList));
    ASSERT_NO_FATAL_FAILURE(FinishTransfer(true));
    EXPECT_TRUE(filebytes::Same(bytes, ServerBytes("끌어올릴 폴더/안에.bin")));
    EXPECT_EQ(0u, ServerBytes("stays.txt").rfind("<missing", 0)) << "a row that was not dragged was uploaded";
    EXPECT_TRUE(filebytes::Same(bytes, ReadWholeFile(m_folder + L"\\끌어올릴 폴더\\안에.bin")))
        << "the upload moved the folder";
    EXPECT_EQ(nullptr, WaitForBox(2000)) << BoxText(WaitForBox(1));
    EXPECT_TRUE(ExitFromTray());
}
