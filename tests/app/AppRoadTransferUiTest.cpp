// CorvaneIXO.exe's splitter handing transfers to the interface library's threads, end to end
// against the test server. The jobs come in as a user gives them: files of another program pasted
// onto the server list, server items pasted into the local list. From there on everything is the
// program's own: the splitter, the real upload and download threads and their windows, the
// refusals, and the frame's log-out.
#include "AppRun.h"
#include "DragDrop.h"
#include "FileBytes.h"
#include "MenuBarRes.h"
#include "ServerClipboard.h"
#include "TestPaths.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>

using namespace apprun;

namespace {

std::string Utf8Of(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

void WriteAll(const std::wstring& path, const std::string& bytes)
{
    filebytes::WriteFile(path, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

class AppRoadTransfer : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        m_folder = MakeDocumentsFolder(L"Road hand-over " + std::to_wstring(::GetCurrentProcessId()));
        ASSERT_FALSE(m_folder.empty());
        // Keep-alive requests far away: what logs out here is the transfer alone.
        ASSERT_EQ("OK", Control("OPTION A1 172=900 224=900").substr(0, 2));
    }
    void TearDown() override
    {
        AppRoadTest::TearDown();
        testpaths::RemoveTree(m_folder);
    }

    // Logs in with the local panes in localFolder (which holds a file, so that its list shows
    // a row) and the server's "My Files" shown in the server list.
    void Start(const std::wstring& localFolder)
    {
        ASSERT_EQ("OK", Control("FILE user=demo size=10 -- My Files/seed.bin").substr(0, 2));
        WriteAll(localFolder + L"\\here.txt", "x");
        m_frame = LaunchShowing(LANG_ENGLISH, localFolder);
        ASSERT_NE(nullptr, m_frame);
        const MainPanes panes = PanesOf(m_frame);
        ASSERT_TRUE(panes.All());
        m_bar = panes.bar;
        m_serverTree = panes.serverTree;
        m_serverList = panes.serverList;
        m_localList = panes.localList;
        ASSERT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(m_localList, L"here.txt") >= 0; }, 20000))
            << "the local list did not show the folder";
        HTREEITEM myFiles = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = RemoteTreeChild(m_serverTree, nullptr, L"My Files")) != nullptr; },
                                      20000));
        ::SendMessageW(m_serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(myFiles));
        ASSERT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(m_serverList, L"seed.bin") >= 0; }, 20000))
            << "the server list did not show My Files";
    }

    // The bar's paste on a list's empty space below its rows: into the folder the list shows.
    void PasteInto(HWND list)
    {
        ASSERT_TRUE(ClickListRow(list, L""));
        ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(m_bar, IDC_MENU_PASTE)) != FALSE; }, 10000))
            << "paste stayed off";
        Click(m_bar, IDC_MENU_PASTE);
    }
    // Files of another program pasted onto the server list: an upload into "My Files".
    void Upload(const std::vector<std::wstring>& paths)
    {
        ASSERT_TRUE(PutFilesOnClipboard(paths));
        PasteInto(m_serverList);
    }
    // Server items copied from "My Files" as the server list writes them, pasted into the local
    // list: a download into the local folder shown.
    void Download(const std::vector<_PROTO_FOLDER_INFO>& records)
    {
        const UINT format = ::RegisterClipboardFormatW(kServerItemsFormat);
        ASSERT_EQ(1, CopyFolderInfoListClipboard(&format, records, L"SR", L"My Files", false));
        PasteInto(m_localList);
    }

    // The one transfer window once its run is over (null when none ended in time).
    HWND WaitForRunOver(bool upload)
    {
        HWND window = nullptr;
        uitest::WaitUntil([&] {
            const std::vector<HWND> windows = TransferWindows(upload);
            window = windows.empty() ? nullptr : windows.front();
            return window != nullptr && TransferRunOver(window);
        }, 60000);
        return window != nullptr && TransferRunOver(window) ? window : nullptr;
    }
    void CloseTransferWindow(HWND window)
    {
        Click(window, IDCANCEL);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, 20000))
            << "the transfer window stayed";
    }

    std::wstring m_folder;
    HWND m_frame = nullptr, m_bar = nullptr, m_serverTree = nullptr, m_serverList = nullptr, m_localList = nullptr;
};

}

TEST_F(AppRoadTransfer, UploadsArriveByteIdenticalAndASecondUploadJoinsTheRunningThread)
{
    const std::string first = SomeBytes(700000, 1), second = SomeBytes(150001, 2), inner = SomeBytes(4096, 3);
    const std::wstring from = m_folder + L"\\from";
    ASSERT_TRUE(::CreateDirectoryW(from.c_str(), nullptr));
    WriteAll(from + L"\\first.bin", first);
    WriteAll(from + L"\\second.bin", second);
    ASSERT_TRUE(::CreateDirectoryW((from + L"\\폴더").c_str(), nullptr));
    WriteAll(from + L"\\폴더\\inner.bin", inner);
    ASSERT_NO_FATAL_FAILURE(Start(m_folder));

    ASSERT_NO_FATAL_FAILURE(Upload({from + L"\\first.bin", from + L"\\폴더"}));
    HWND window = WaitForRunOver(true);
    ASSERT_NE(nullptr, window) << "the upload did not run to its end";
    EXPECT_TRUE(filebytes::Same(first, ServerBytes("first.bin")));
    EXPECT_TRUE(filebytes::Same(inner, ServerBytes("폴더/inner.bin")));

    // The upload window is still up: its thread runs, and the next job joins it.
    ASSERT_NO_FATAL_FAILURE(Upload({from + L"\\second.bin"}));
    EXPECT_TRUE(uitest::WaitUntil([&] { return ServerBytes("second.bin") == second; }, 60000))
        << "the joined item did not arrive";
    EXPECT_EQ(1u, TransferWindows(true).size()) << "a second upload thread was started";
    EXPECT_TRUE(uitest::WaitUntil([&] { return TransferRunOver(window); }, 30000));

    CloseTransferWindow(window);
    // The thread's end is no forced log-out: the window and the session stay.
    EXPECT_EQ(nullptr, WaitForBox(3000));
    EXPECT_TRUE(::IsWindowVisible(m_frame));
    EXPECT_EQ(1u, Sessions().size());
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadTransfer, DownloadsComeIntoTheChosenFolderByteIdenticalAndANameThatDoesNotFitIsRefused)
{
    ASSERT_EQ("OK", Control("FILE user=demo size=300000 -- My Files/down.bin").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo size=70001 -- My Files/Sub/inner.bin").substr(0, 2));
    const std::wstring dest = m_folder + L"\\받을 곳";
    ASSERT_TRUE(::CreateDirectoryW(dest.c_str(), nullptr));
    ASSERT_NO_FATAL_FAILURE(Start(dest));
    const std::string file = Idx("My Files/down.bin");
    // An item whose name would have been cut to the download job's 511 characters.
    const std::wstring longName = L"긴이름" + std::wstring(600, L'x') + L".bin";

    ASSERT_NO_FATAL_FAILURE(Download({ServerItem("F", file, L"down.bin", "300000"),
                                      ServerItem("F", file, longName, "300000"),
                                      ServerItem("D", Idx("My Files/Sub"), L"Sub", "0")}));
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the item that does not fit was not refused";
    EXPECT_NE(std::wstring::npos, BoxText(box).find(L"긴이름xxx")) << "the refusal does not name the item";
    AnswerBox(box);

    HWND window = WaitForRunOver(false);
    ASSERT_NE(nullptr, window) << "the download did not run to its end";
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 300000), ReadWholeFile(dest + L"\\down.bin")));
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 70001), ReadWholeFile(dest + L"\\Sub\\inner.bin")));
    // Nothing was written under a cut name.
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((dest + L"\\긴이름*").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search);
    if (search != INVALID_HANDLE_VALUE)
        ::FindClose(search);

    CloseTransferWindow(window);
    EXPECT_EQ(nullptr, WaitForBox(3000));
    EXPECT_TRUE(::IsWindowVisible(m_frame));
    EXPECT_TRUE(ExitFromTray());
}

// The server refuses a file with a code of its own: the program shows the server's message,
// stops the run there and ends it with the plain end text, not as a failed download.
TEST_F(AppRoadTransfer, AFileTheServerRefusesStopsTheDownloadWithItsMessageAndNoFailure)
{
    ASSERT_EQ("OK", Control("FILE user=demo size=5000 -- My Files/refused.bin").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo size=6000 -- My Files/later.bin").substr(0, 2));
    const std::wstring dest = m_folder + L"\\refusal";
    ASSERT_TRUE(::CreateDirectoryW(dest.c_str(), nullptr));
    ASSERT_NO_FATAL_FAILURE(Start(dest));
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1320 count=1 cmd=H1 -- Not for you.").substr(0, 2));
    ASSERT_NO_FATAL_FAILURE(Download({ServerItem("F", Idx("My Files/refused.bin"), L"refused.bin", "5000"),
                                      ServerItem("F", Idx("My Files/later.bin"), L"later.bin", "6000")}));
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the server's message was not shown";
    EXPECT_NE(std::wstring::npos, BoxText(box).find(L"Not for you.")) << Utf8Of(BoxText(box));
    AnswerBox(box);

    HWND window = WaitForRunOver(false);
    ASSERT_NE(nullptr, window) << "the download did not end";
    const std::wstring endText = TextOf(FindDescendant(window, 10025));
    EXPECT_TRUE(endText == L"Download finished." || endText == L"다운로드를 마쳤습니다.") << Utf8Of(endText);
    const std::wstring status = RemoteListText(FindDescendant(window, 10021), 0, 2);
    EXPECT_TRUE(status == L"Stop" || status == L"중지") << Utf8Of(status);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((dest + L"\\later.bin").c_str())) << "the run stopped";
    CloseTransferWindow(window);
    EXPECT_TRUE(ExitFromTray());
}

// The server closes the session in the middle of a transfer: the transfer's window stops by
// itself, and the splitter, told by the thread's end, logs out exactly once.
TEST_F(AppRoadTransfer, ATransferEndedByTheServerClosingTheSessionLogsOutOnce)
{
    struct Case {
        const char* what;
        const char* command;
        bool upload;
    } cases[] = {
        {"upload", "H0", true},
        {"download", "H1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ("OK", Control("FILE user=demo size=5000 -- My Files/cut.bin").substr(0, 2));
        const std::wstring from = m_folder + L"\\from";
        ASSERT_TRUE(::CreateDirectoryW(from.c_str(), nullptr));
        WriteAll(from + L"\\up.bin", SomeBytes(5000, 4));
        ASSERT_NO_FATAL_FAILURE(Start(m_folder));
        ASSERT_EQ("OK", Control(std::string("FAULT error code=1213 count=1 cmd=") + c.command +
                                " -- The session was closed by the server.")
                            .substr(0, 2));
        if (c.upload)
            ASSERT_NO_FATAL_FAILURE(Upload({from + L"\\up.bin"}));
        else
            ASSERT_NO_FATAL_FAILURE(Download({ServerItem("F", Idx("My Files/cut.bin"), L"cut.bin", "5000")}));

        HWND box = WaitForBox(30000);
        ASSERT_NE(nullptr, box) << "no forced log-out";
        EXPECT_NE(std::wstring::npos, BoxText(box).find(L"The session was closed by the server."))
            << "the log-out lost the server's words: " << Utf8Of(BoxText(box));
        AnswerBox(box);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(m_frame); }, 10000)) << "the window stayed up";
        EXPECT_TRUE(TransferWindows(c.upload).empty()) << "the transfer window stayed";
        EXPECT_EQ(nullptr, WaitForBox(4000)) << "a second log-out message appeared";
        EXPECT_TRUE(ExitFromTray());
        TearDown();
        SetUp();
    }
}
