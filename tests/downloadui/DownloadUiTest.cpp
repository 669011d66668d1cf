// The download window against the test server, started as the main program starts it: trees
// arrive byte-identical, partial files resume, identical ones are skipped, differing ones ask,
// broken streams are tried again, and nothing lands outside the chosen folder.
#include <winsock2.h>
#include "DownloadHost.h"
#include "AutoAnswer.h"
#include "FileUtils.h"
#include "SHA1.h"
#include "SHA256.h"
#include "WindowDriver.h"
#include <algorithm>
#include <cstring>

using namespace downloadtest;
using road::ReadLocal;

namespace {

class DownloadRun : public DownloadHost {
protected:
    std::wstring Local(const wchar_t* name) { return m_dest + L"\\" + name; }

    static void WriteBytes(const std::wstring& path, const std::string& bytes)
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    // Runs one download of the items to its end and returns the rows.
    std::vector<Row> RunToEnd(std::vector<_DOWNLOADINFO> items, CDownloadThread** keep = nullptr)
    {
        CDownloadThread* thread = Start(std::move(items));
        EXPECT_NE(nullptr, thread);
        if (!thread)
            return {};
        EXPECT_TRUE(WaitForRunEnd(thread));
        std::vector<Row> rows = Rows(thread);

        if (keep)
            *keep = thread;
        else
            Finish(thread);
        return rows;
    }

    // The H1 requests' records since the last RESET, newest last, as the LAST line shows them.
    std::map<int, std::string> LastH1() {
        const std::vector<std::map<int, std::string>> records = road::LastRecords(Control("LAST cmd=H1"));
        return records.empty() ? std::map<int, std::string>() : records.front();
    }
};

bool AllRows(const std::vector<Row>& rows, const wchar_t* status)
{
    return !rows.empty() && std::all_of(rows.begin(), rows.end(), [&](const Row& r) { return r.status == status; });
}

std::string Pattern(size_t size)
{
    return protoserver::Pattern(0, size);
}

}

TEST_F(DownloadRun, AServerTreeArrivesByteIdenticalAndTheMainWindowHearsTheEnd)
{
    PutFolder("tree/빈 폴더/안쪽");
    PutFile("tree/big.bin", 3 * 130000 + 17);
    PutFile("tree/empty.bin", 0);
    PutFile("tree/한글 이름.txt", 4000);
    PutFile("tree/sub/inner.bin", 0, "inner bytes\r\n\x01\x02");

    CDownloadThread* thread = Start({FolderItem("tree", m_dest)});
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(WaitForRunEnd(thread));
    const std::vector<Row> rows = Rows(thread);
    EXPECT_EQ(8u, rows.size());
    EXPECT_TRUE(AllRows(rows, L"Completed"));
    EXPECT_EQ(0, thread->m_dlg.GetErrorCount());
    EXPECT_EQ(L"Exit", CancelText(thread));
    EXPECT_EQ(100u, Taskbar().lastValue.load());
    Finish(thread);
    EXPECT_TRUE(uitest::WaitUntil([] { return Main().exits.load() == 1; }));

    EXPECT_EQ(Pattern(3 * 130000 + 17), ReadLocal(Local(L"tree\\big.bin")));
    EXPECT_EQ(std::string(), ReadLocal(Local(L"tree\\empty.bin")));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Local(L"tree\\empty.bin").c_str()));
    EXPECT_EQ(Pattern(4000), ReadLocal(Local(L"tree\\한글 이름.txt")));
    EXPECT_EQ(std::string("inner bytes\r\n\x01\x02"), ReadLocal(Local(L"tree\\sub\\inner.bin")));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Local(L"tree\\빈 폴더\\안쪽").c_str()));

    const std::vector<EXECUTION_STATE> wake = WakeCalls();
    ASSERT_GE(wake.size(), 2u);
    EXPECT_EQ(static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED), wake.front());
    EXPECT_EQ(static_cast<EXECUTION_STATE>(ES_CONTINUOUS), wake.back());
}

TEST_F(DownloadRun, APartialLocalFileResumesFromWhereItStopped)
{
    PutFile("part.bin", 300000);
    WriteBytes(Local(L"part.bin"), Pattern(100000));
    const std::vector<Row> rows = RunToEnd({FileItem("part.bin", m_dest)});
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Completed", rows[0].status);
    EXPECT_EQ(Pattern(300000), ReadLocal(Local(L"part.bin")));
    std::map<int, std::string> last = LastH1();
    EXPECT_EQ("3", last[34]) << "the data resumed";
    EXPECT_EQ("100000", last[204]);
}

TEST_F(DownloadRun, AnIdenticalLocalFileIsSkippedAndCounted)
{
    PutFile("same.bin", 200000);
    WriteBytes(Local(L"same.bin"), Pattern(200000));
    CDownloadThread* thread = nullptr;
    const std::vector<Row> rows = RunToEnd({FileItem("same.bin", m_dest)}, &thread);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Completed", rows[0].status);
    EXPECT_EQ(1, thread->m_dlg.GetSkippedCount());
    EXPECT_EQ(100u, Taskbar().lastValue.load()) << "its bytes count as received";
    // The item the worker was on is shown by the end of the run (location 10052, file 10055).
    EXPECT_EQ(L"/My Files", uitest::GetText(GetDlgItem(Window(thread), 10052)));
    EXPECT_EQ(L"same.bin", uitest::GetText(GetDlgItem(Window(thread), 10055)));
    Finish(thread);
    EXPECT_EQ("2", LastH1()[34]);
    EXPECT_EQ(Pattern(200000), ReadLocal(Local(L"same.bin")));
}

TEST_F(DownloadRun, ALargerLocalFileAsksAndOverwriteLeavesExactlyTheServersBytes)
{
    PutFile("grown.bin", 150000);
    WriteBytes(Local(L"grown.bin"), Pattern(150000) + std::string(70000, 'x'));
    PromptAnswerer answer(10017, false);
    const std::vector<Row> rows = RunToEnd({FileItem("grown.bin", m_dest)});
    EXPECT_EQ(1, answer.Count());
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Completed", rows[0].status);
    EXPECT_EQ(Pattern(150000), ReadLocal(Local(L"grown.bin")));
}

TEST_F(DownloadRun, ADifferingLocalFileOverwrittenGetsTheServersBytesFromTheStart)
{
    PutFile("other.bin", 150000);
    WriteBytes(Local(L"other.bin"), std::string(60000, 'q'));
    PromptAnswerer answer(10017, false);
    const std::vector<Row> rows = RunToEnd({FileItem("other.bin", m_dest)});
    EXPECT_EQ(1, answer.Count());
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Completed", rows[0].status);
    EXPECT_EQ(Pattern(150000), ReadLocal(Local(L"other.bin")));
    std::map<int, std::string> last = LastH1();
    EXPECT_EQ("0", last[192]) << "announced again from position 0";
    EXPECT_EQ(0u, last.count(205));
}

TEST_F(DownloadRun, SkipInThePromptLeavesTheLocalFileAndMarksTheRow)
{
    PutFile("keep.bin", 50000);
    const std::string mine(80000, 'k');
    WriteBytes(Local(L"keep.bin"), mine);
    PromptAnswerer answer(10018, false);
    const std::vector<Row> rows = RunToEnd({FileItem("keep.bin", m_dest)});
    EXPECT_EQ(1, answer.Count());
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Cancel", rows[0].status);
    EXPECT_EQ(mine, ReadLocal(Local(L"keep.bin")));
}

TEST_F(DownloadRun, ACutStreamIsTriedAgainAndCompletes)
{
    PutFile("cut.bin", 400000);
    ASSERT_EQ("OK", Control("FAULT cut-stream bytes=150000 cmd=H1").substr(0, 2));
    CDownloadThread* thread = nullptr;
    const std::vector<Row> rows = RunToEnd({FileItem("cut.bin", m_dest)}, &thread);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Completed", rows[0].status);
    EXPECT_EQ(Pattern(400000), ReadLocal(Local(L"cut.bin")));
    Finish(thread);
}

TEST_F(DownloadRun, AStreamThatEndsShortOrRunsLongIsNeverCompleted)
{
    struct Case {
        const char* fault;
        const wchar_t* name;
    } cases[] = {{"FAULT short-stream bytes=100000 cmd=H1", L"short.bin"},
                 {"FAULT long-stream bytes=5000 cmd=H1", L"long.bin"}};
    for (const Case& c : cases) {
        const std::string name = Utf8(c.name);
        PutFile(name, 300000);
        ASSERT_EQ("OK", Control(c.fault).substr(0, 2));
        const std::vector<Row> rows = RunToEnd({FileItem(name, m_dest)});
        ASSERT_EQ(1u, rows.size()) << name;
        EXPECT_EQ(L"Completed", rows[0].status) << name << ": the next attempt completes";
        EXPECT_EQ(Pattern(300000), ReadLocal(Local(c.name))) << name;
    }
    // A server that always ends short: the file fails, never "Completed".
    PutFile("never.bin", 300000);
    ASSERT_EQ("OK", Control("FAULT short-stream bytes=1000 count=* cmd=H1").substr(0, 2));
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    CDownloadThread* thread = nullptr;
    const std::vector<Row> rows = RunToEnd({FileItem("never.bin", m_dest)}, &thread);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Failed", rows[0].status);
    EXPECT_GE(thread->m_dlg.GetErrorCount(), 1);
    EXPECT_EQ(0, thread->m_dlg.GetDoneCount());
    Finish(thread);
    Control("RESET");
}

TEST_F(DownloadRun, AHostileServerNameIsRefusedAndNothingLandsOutsideTheFolder)
{
    PutFile("evil.bin", 3000);
    const std::wstring inner = m_dest + L"\\inner";
    CreateDirectoryW(inner.c_str(), nullptr);
    std::vector<_DOWNLOADINFO> items;
    for (const wchar_t* name : {L"..\\escaped.bin", L"../escaped2.bin", L"C:escaped3.bin", L"..", L"."}) {
        _DOWNLOADINFO item = FileItem("evil.bin", inner);
        wcsncpy(item.Name, name, 511);
        // Distinct ids: the window drops repeated items.
        std::snprintf(item.FolderId, sizeof item.FolderId, "%d", static_cast<int>(items.size()) + 1);
        items.push_back(item);
    }
    _DOWNLOADINFO folder = FolderItem("tree", inner);
    PutFolder("tree");
    folder = FolderItem("tree", inner);
    wcsncpy(folder.Name, L"..\\up", 511);
    items.push_back(folder);
    _DOWNLOADINFO fine = FileItem("evil.bin", inner);
    std::strcpy(fine.FolderId, "9");
    items.push_back(fine);

    CDownloadThread* thread = nullptr;
    const std::vector<Row> rows = RunToEnd(items, &thread);
    ASSERT_EQ(7u, rows.size());
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(L"Failed", rows[i].status) << i;
    EXPECT_EQ(L"Completed", rows[6].status) << "the other items go on";
    EXPECT_EQ(6, thread->m_dlg.GetErrorCount());
    EXPECT_GE(SendMessageW(GetDlgItem(Window(thread), 10094), LVM_GETITEMCOUNT, 0, 0), 6);
    Finish(thread);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((m_dest + L"\\escaped.bin").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((m_dest + L"\\escaped2.bin").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((m_dest + L"\\up").c_str()));
    EXPECT_EQ(Pattern(3000), ReadLocal(inner + L"\\evil.bin"));
}

namespace {

std::string g_typedPassword;

// Plays the password prompt: "types" g_typedPassword and accepts it when its digest matches.
int TypePassword(HWND, const CString&, const char* digest)
{
    CSHA1 sha1;
    sha1.Update(reinterpret_cast<const unsigned char*>(g_typedPassword.data()),
                static_cast<unsigned int>(g_typedPassword.size()));
    sha1.Final();
    wchar_t hex[41] = {};
    sha1.ReportHashW(hex, 41, CSHA1::REPORT_HEX_LOWER);
    wchar_t out[65] = {};
    CSHA256::GetSAH256Data(hex, out, 65);
    return Utf8(out) == digest ? IDOK : IDCANCEL;
}

std::string DigestOf(const std::string& password)
{
    const std::string saved = g_typedPassword;
    g_typedPassword = password;
    CSHA1 sha1;
    sha1.Update(reinterpret_cast<const unsigned char*>(password.data()), static_cast<unsigned int>(password.size()));
    sha1.Final();
    wchar_t hex[41] = {};
    sha1.ReportHashW(hex, 41, CSHA1::REPORT_HEX_LOWER);
    wchar_t out[65] = {};
    CSHA256::GetSAH256Data(hex, out, 65);
    g_typedPassword = saved;
    return Utf8(out);
}

}

TEST_F(DownloadRun, AProtectedFileNeedsTheRightPassword)
{
    PutFile("secret.bin", 5000);
    testseam::Swap<CDownloadDlg::PasswordPromptFn> prompt(CDownloadDlg::s_pfnPasswordPrompt, TypePassword);
    _DOWNLOADINFO item = FileItem("secret.bin", m_dest);
    std::strcpy(item.PasswordDigest, DigestOf("open sesame").c_str());

    g_typedPassword = "Open Sesame";
    std::vector<Row> rows = RunToEnd({item});
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Failed", rows[0].status);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Local(L"secret.bin").c_str()));

    g_typedPassword = "open sesame";
    rows = RunToEnd({item});
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Completed", rows[0].status);
    EXPECT_EQ(Pattern(5000), ReadLocal(Local(L"secret.bin")));
}

namespace {

const int kPasswordEdit = 10078;

// The control line of a file of 3000 pattern bytes that the server marks with the password's digest.
std::string ProtectedFileLine(const std::string& path, const std::string& password)
{
    return "FILE user=road size=3000 digest=" + DigestOf(password) + " -- My Files/" + path;
}

// Types into the password window the download opens for the file and presses a button.
void AnswerPasswordWindow(HWND window, const wchar_t* password, int button)
{
    ASSERT_TRUE(uitest::SetText(::GetDlgItem(window, kPasswordEdit), password));
    ASSERT_TRUE(uitest::ClickButton(window, button));
}

}

TEST_F(DownloadRun, AProtectedFileOfAFolderIsAskedForInThePasswordWindowUntilTheRightOneIsTyped)
{
    PutFolder("vault");
    ASSERT_EQ("OK", Control(ProtectedFileLine("vault/secret.bin", "open sesame")).substr(0, 2));
    CDownloadThread* thread = Start({FolderItem("vault", m_dest)});
    ASSERT_NE(nullptr, thread);
    HWND prompt = uitest::WaitForDialog(L"secret.bin", 20000);
    ASSERT_NE(nullptr, prompt) << "no password window titled with the file's name";
    AnswerPasswordWindow(prompt, L"Open Sesame", IDOK);
    HWND box = uitest::WaitForDialog(L"Corvane IXO MessageBox", 10000);
    ASSERT_NE(nullptr, box) << "a wrong password was not refused";
    uitest::ClickButton(box, IDOK);
    ASSERT_TRUE(uitest::WaitForWindowGone(box));
    ASSERT_TRUE(::IsWindow(prompt)) << "the password window closed on a wrong password";
    EXPECT_EQ(L"", uitest::GetText(::GetDlgItem(prompt, kPasswordEdit))) << "the wrong entry was left";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Local(L"vault\\secret.bin").c_str()));
    AnswerPasswordWindow(prompt, L"open sesame", IDOK);
    ASSERT_TRUE(WaitForRunEnd(thread));
    const std::vector<Row> rows = Rows(thread);
    Finish(thread);
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(AllRows(rows, L"Completed"));
    EXPECT_EQ(Pattern(3000), ReadLocal(Local(L"vault\\secret.bin")));
}

TEST_F(DownloadRun, CancellingThePasswordWindowFailsTheFileAndWritesNothing)
{
    PutFolder("vault");
    ASSERT_EQ("OK", Control(ProtectedFileLine("vault/secret.bin", "open sesame")).substr(0, 2));
    PutFile("vault/open.bin", 100);
    CDownloadThread* thread = Start({FolderItem("vault", m_dest)});
    ASSERT_NE(nullptr, thread);
    HWND prompt = uitest::WaitForDialog(L"secret.bin", 20000);
    ASSERT_NE(nullptr, prompt) << "no password window titled with the file's name";
    AnswerPasswordWindow(prompt, L"", IDCANCEL);
    ASSERT_TRUE(WaitForRunEnd(thread));
    const std::vector<Row> rows = Rows(thread);
    Finish(thread);
    auto status = [&](const wchar_t* name) {
        for (const Row& row : rows)
            if (row.name == name)
                return row.status;
        return std::wstring(L"(no row)");
    };
    EXPECT_EQ(L"Failed", status(L"secret.bin"));
    EXPECT_EQ(L"Completed", status(L"open.bin"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Local(L"vault\\secret.bin").c_str()));
}

TEST_F(DownloadRun, AnOldVersionWaitsWhileTheServerPreparesIt)
{
    PutFile("doc.bin", 0, "first version of the document");
    PutFile("doc.bin", 0, "second, longer version of the same document");
    ASSERT_EQ("1", ServerField("doc.bin", "versions"));
    ASSERT_EQ("OK", Control("SWITCH prepareRounds=3").substr(0, 2));
    _DOWNLOADINFO item = FileItem("doc.bin", m_dest);
    std::strcpy(item.Version, "1");
    std::strcpy(item.Size, std::to_string(std::strlen("first version of the document")).c_str());
    const std::vector<Row> rows = RunToEnd({item});
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Completed", rows[0].status);
    EXPECT_EQ("first version of the document", ReadLocal(Local(L"doc.bin")));
    std::map<int, std::string> last = LastH1();
    EXPECT_EQ("N", last[44]) << "the wait ends with N";
    Control("SWITCH prepareRounds=0");
}

TEST_F(DownloadRun, CancelDuringTheVersionWaitClosesTheFileSoItCanBeDeletedAtOnce)
{
    PutFile("wait.bin", 0, "old");
    PutFile("wait.bin", 0, "new");
    ASSERT_EQ("OK", Control("SWITCH prepareRounds=1000000").substr(0, 2));
    _DOWNLOADINFO item = FileItem("wait.bin", m_dest);
    std::strcpy(item.Version, "1");
    CDownloadThread* thread = Start({item});
    ASSERT_NE(nullptr, thread);
    // The file exists from the announcement on; the wait is running once the server saw a "Y".
    ASSERT_TRUE(uitest::WaitUntil([&] {
        std::map<int, std::string> last = LastH1();
        return last.count(44) && last[44] == "Y" && last.count(173) == 0;
    }, 10000));
    Finish(thread);
    EXPECT_TRUE(DeleteFileW(Local(L"wait.bin").c_str())) << GetLastError();
    EXPECT_EQ("N", LastH1()[44]) << "the stopped wait tells the server";
    Control("SWITCH prepareRounds=0");
}

TEST_F(DownloadRun, AddedItemsJoinTheRunningDownloadOnceAndStartTheInterruptedFileAgain)
{
    PutFile("a.bin", 600000);
    PutFile("b.bin", 20000);
    ASSERT_EQ("OK", Control("FAULT slow-stream ms=150 cmd=H1").substr(0, 2));
    CDownloadThread* thread = Start({FileItem("a.bin", m_dest)});
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Rows(thread).empty() && Rows(thread)[0].status == L"In progress"; },
                                  10000));
    std::vector<_DOWNLOADINFO> more = {FileItem("a.bin", m_dest), FileItem("b.bin", m_dest)};
    thread->AddDownloadInfo(more);
    EXPECT_TRUE(more.empty());
    ASSERT_TRUE(WaitForRunEnd(thread));
    const std::vector<Row> rows = Rows(thread);
    ASSERT_EQ(2u, rows.size()) << "a.bin is listed once";
    EXPECT_TRUE(AllRows(rows, L"Completed"));
    Finish(thread);
    EXPECT_EQ(Pattern(600000), ReadLocal(Local(L"a.bin")));
    EXPECT_EQ(Pattern(20000), ReadLocal(Local(L"b.bin")));
}

// An empty file that is already there is the user's file like any other: it is announced with
// position 0 and its checksum, and a server that answers "N" has the user asked before
// anything is written over it.
TEST_F(DownloadRun, AnEmptyLocalFileThatDiffersAsksBeforeItIsFilled)
{
    struct Case {
        const wchar_t* name;
        int answer;
        std::string expected;
    } cases[] = {{L"empty-skip.bin", 10018, std::string()}, {L"empty-over.bin", 10017, Pattern(90000)}};
    for (const Case& c : cases) {
        const std::string name = Utf8(c.name);
        PutFile(name, 90000);
        WriteBytes(Local(c.name), std::string());
        // The announce's answer: the files differ.
        ASSERT_EQ("OK", Control("FAULT payload count=1 cmd=H1 hex=284E").substr(0, 2));
        PromptAnswerer answer(c.answer, false);
        const std::vector<Row> rows = RunToEnd({FileItem(name, m_dest)});
        EXPECT_EQ(1, answer.Count()) << name << ": the user is asked";
        ASSERT_EQ(1u, rows.size()) << name;
        EXPECT_TRUE(c.expected == ReadLocal(Local(c.name))) << name;
    }
}

// The server refusing a file with an E0 code of its own range stops the run with its message;
// that is no failure of the download, and the run ends with the plain end text.
TEST_F(DownloadRun, AServerRefusalStopsTheRunWithoutCountingAnError)
{
    PutFile("refused.bin", 5000);
    PutFile("after.bin", 5000);
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1320 count=1 cmd=H1 -- No permission.").substr(0, 2));
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    CDownloadThread* thread = nullptr;
    const std::vector<Row> rows =
        RunToEnd({FileItem("refused.bin", m_dest), FileItem("after.bin", m_dest)}, &thread);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(L"Stop", rows[0].status);
    EXPECT_EQ(0, thread->m_dlg.GetErrorCount());
    EXPECT_TRUE(FirstBoxSaid(boxes, L"No permission.")) << "the server's message is shown";
    wchar_t text[256] = {};
    GetWindowTextW(GetDlgItem(Window(thread), 10025), text, 256);
    EXPECT_STREQ(L"Download finished.", text);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Local(L"after.bin").c_str())) << "the run stopped";
    Finish(thread);
}
