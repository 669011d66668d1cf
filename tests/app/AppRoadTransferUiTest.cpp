// CorvaneIXO.exe's splitter handing transfers to the interface library's threads, end to end
// against the test server. The jobs come in by the program's test hand-over (WM_COPYDATA, taken
// only with TOVI_TEST_HANDOVER=1; the panes' own routes are AppRoadLocalTransferTest's); from there on
// everything is the program's own: the splitter, the real upload and download threads and their
// windows, and the frame's log-out.
#include "AppRun.h"
#include "FileBytes.h"
#include "TestPaths.h"
#include "ToviSplitter.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>

using namespace apprun;

namespace {

const int kSplitterId = 0xE900;

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
        ::SetEnvironmentVariableW(L"TOVI_TEST_HANDOVER", L"1");
        m_scratch = testpaths::ScratchDir(L"AppRoadTransfer");
        // Keep-alive requests far away: what logs out here is the transfer alone.
        ASSERT_EQ("OK", Control("OPTION A1 172=900 224=900").substr(0, 2));
    }
    void TearDown() override
    {
        if (m_sender.joinable())
            m_sender.join();
        ::SetEnvironmentVariableW(L"TOVI_TEST_HANDOVER", nullptr);
        AppRoadTest::TearDown();
    }

    void Start()
    {
        StoreServer();
        StoreAutoLogin();
        ASSERT_TRUE(Launch());
        m_frame = WaitForMainWindow();
        ASSERT_NE(nullptr, m_frame);
        m_splitter = ::GetDlgItem(m_frame, kSplitterId);
        ASSERT_NE(nullptr, m_splitter);
    }

    // Hands a job to the splitter from a thread of its own: a refusal box of the program would
    // hold a plain send until it is answered.
    void HandOver(ULONG_PTR kind, const std::wstring& text)
    {
        if (m_sender.joinable())
            m_sender.join();
        HWND splitter = m_splitter;
        m_sent = false;
        m_sender = std::thread([this, splitter, kind, text] {
            COPYDATASTRUCT data = {kind, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                                   const_cast<wchar_t*>(text.data())};
            ::SendMessageW(splitter, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
            m_sent = true;
        });
    }
    bool HandedOver(DWORD timeoutMs = 20000)
    {
        if (!m_sender.joinable())
            return true;
        if (!uitest::WaitUntil([&] { return m_sent.load(); }, timeoutMs))
            return false;
        m_sender.join();
        return true;
    }

    void Upload(const std::vector<std::wstring>& paths)
    {
        std::wstring text = FromUtf8(m_myFiles) + L"\n1";
        for (const std::wstring& path : paths)
            text += L"\n" + path;
        HandOver(SPLITTER_TEST_UPLOAD, text);
    }

    void CloseTransferWindow(HWND window)
    {
        Click(window, IDCANCEL);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, 20000))
            << "the transfer window stayed";
    }

    std::wstring m_scratch;
    std::string m_myFiles;
    HWND m_frame = nullptr;
    HWND m_splitter = nullptr;
    std::thread m_sender;
    std::atomic<bool> m_sent{false};
};

}

TEST_F(AppRoadTransfer, UploadsArriveByteIdenticalAndASecondUploadJoinsTheRunningThread)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    m_myFiles = Idx("My Files");
    ASSERT_FALSE(m_myFiles.empty());
    const std::string first = SomeBytes(700000, 1), second = SomeBytes(150001, 2), inner = SomeBytes(4096, 3);
    WriteAll(m_scratch + L"\\first.bin", first);
    WriteAll(m_scratch + L"\\second.bin", second);
    ASSERT_TRUE(::CreateDirectoryW((m_scratch + L"\\폴더").c_str(), nullptr));
    WriteAll(m_scratch + L"\\폴더\\inner.bin", inner);

    Upload({m_scratch + L"\\first.bin", m_scratch + L"\\폴더"});
    ASSERT_TRUE(HandedOver());
    HWND window = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        const std::vector<HWND> windows = TransferWindows(true);
        window = windows.empty() ? nullptr : windows.front();
        return window != nullptr && TransferRunOver(window);
    }, 60000)) << "the upload did not run to its end";
    EXPECT_TRUE(filebytes::Same(first, ServerBytes("first.bin")));
    EXPECT_TRUE(filebytes::Same(inner, ServerBytes("폴더/inner.bin")));

    // The upload window is still up: its thread runs, and the next job joins it.
    Upload({m_scratch + L"\\second.bin"});
    ASSERT_TRUE(HandedOver());
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
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::wstring dest = m_scratch + L"\\받을 곳";
    ASSERT_TRUE(::CreateDirectoryW(dest.c_str(), nullptr));
    const std::wstring file = FromUtf8(Idx("My Files/down.bin"));
    const std::wstring folder = FromUtf8(Idx("My Files/Sub"));
    // An item whose name would have been cut to the field's 511 characters.
    const std::wstring longName = L"긴이름" + std::wstring(600, L'x') + L".bin";

    HandOver(SPLITTER_TEST_DOWNLOAD, dest + L"\nF\n" + file + L"\n1\ndown.bin\nMy Files\n300000" +  //
                                         L"\nF\n" + file + L"\n1\n" + longName + L"\nMy Files\n300000" +
                                         L"\nD\n" + folder + L"\n1\nSub\nMy Files\n0");
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the item that does not fit was not refused";
    EXPECT_NE(std::wstring::npos, BoxText(box).find(L"긴이름xxx")) << "the refusal does not name the item";
    AnswerBox(box);
    ASSERT_TRUE(HandedOver());

    HWND window = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        const std::vector<HWND> windows = TransferWindows(false);
        window = windows.empty() ? nullptr : windows.front();
        return window != nullptr && TransferRunOver(window);
    }, 60000)) << "the download did not run to its end";
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
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::wstring dest = m_scratch + L"\\refusal";
    ASSERT_TRUE(::CreateDirectoryW(dest.c_str(), nullptr));
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1320 count=1 cmd=H1 -- Not for you.").substr(0, 2));
    HandOver(SPLITTER_TEST_DOWNLOAD,
             dest + L"\nF\n" + FromUtf8(Idx("My Files/refused.bin")) + L"\n1\nrefused.bin\nMy Files\n5000" +
                 L"\nF\n" + FromUtf8(Idx("My Files/later.bin")) + L"\n1\nlater.bin\nMy Files\n6000");
    ASSERT_TRUE(HandedOver());
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the server's message was not shown";
    EXPECT_NE(std::wstring::npos, BoxText(box).find(L"Not for you.")) << Utf8Of(BoxText(box));
    AnswerBox(box);

    HWND window = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        const std::vector<HWND> windows = TransferWindows(false);
        window = windows.empty() ? nullptr : windows.front();
        return window != nullptr && TransferRunOver(window);
    }, 60000)) << "the download did not end";
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
        ASSERT_NO_FATAL_FAILURE(Start());
        m_myFiles = Idx("My Files");
        WriteAll(m_scratch + L"\\up.bin", SomeBytes(5000, 4));
        ASSERT_EQ("OK", Control(std::string("FAULT error code=1213 count=1 cmd=") + c.command +
                                " -- The session was closed by the server.")
                            .substr(0, 2));
        if (c.upload)
            Upload({m_scratch + L"\\up.bin"});
        else
            HandOver(SPLITTER_TEST_DOWNLOAD,
                     m_scratch + L"\nF\n" + FromUtf8(Idx("My Files/cut.bin")) + L"\n1\ncut.bin\nMy Files\n5000");
        ASSERT_TRUE(HandedOver());

        HWND box = WaitForBox(30000);
        ASSERT_NE(nullptr, box) << "no forced log-out";
        EXPECT_NE(std::wstring::npos, BoxText(box).find(L"The session was closed by the server."))
            << "the log-out lost the server's words: " << CStringA(BoxText(box).c_str()).GetString();
        AnswerBox(box);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(m_frame); }, 10000)) << "the window stayed up";
        EXPECT_TRUE(TransferWindows(c.upload).empty()) << "the transfer window stayed";
        EXPECT_EQ(nullptr, WaitForBox(4000)) << "a second log-out message appeared";
        EXPECT_TRUE(ExitFromTray());
        TearDown();
        SetUp();
    }
}
