// The backup worker against the test server, driven as the backup program drives it: a policy
// in the settings store, the worker created suspended and resumed, its messages received by a
// host window; results checked on the server, in the run logs (by the sqlite3 tool) and on disk.
#include "BackupThread.h"
#include "RoadServer.h"
#include "SQLiteDB.h"
#include "SqliteTool.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "Wnd.h"
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

using namespace road;

namespace {

std::wstring Wide(const std::string& utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &out[0], n);
    out.resize(n - 1);
    return out;
}

// What the host windows were told.
struct HostLog {
    std::mutex lock;
    std::vector<std::wstring> events;   // "START", "RESULT:<text>", "END:<key>"
    int64_t total = -1;
    uint64_t progress = 0;
    int paths = 0;
    bool ended = false;
    // When the first of these paths is announced, the others are deleted (a user deleting
    // files while the backup runs).
    std::vector<std::wstring> vanishing;
    std::wstring current;          // the path the worker announced last
    std::wstring cutFile;          // the stream of this file stops after its first frame
    bool cut = false;
};
HostLog* g_host = nullptr;
WNDPROC g_relayProc = nullptr;

// Stands between the connection library and the worker's own window: answers the first
// progress report of the chosen file's stream with "stop" while the worker's cancel flag stays
// clear, as a stream that ends early for any other reason would.
LRESULT CALLBACK CuttingRelayProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LRESULT answer = CallWindowProcW(g_relayProc, wnd, msg, wParam, lParam);
    if (msg == WM_UPLOAD_POLICY_PROGRESS && g_host) {
        std::lock_guard<std::mutex> hold(g_host->lock);
        if (!g_host->cut && !g_host->cutFile.empty() && g_host->current == g_host->cutFile) {
            g_host->cut = true;
            return UPLOAD_REPLY_CANCEL;
        }
    }
    return answer;
}

LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_host) {
        std::lock_guard<std::mutex> hold(g_host->lock);
        switch (msg) {
        case WM_BACKUP_START:
            g_host->events.push_back(L"START");
            if (!g_host->cutFile.empty()) {
                HWND relay = FindWindowExW(HWND_MESSAGE, nullptr, L"ToviBackupRelay", nullptr);
                if (relay)
                    g_relayProc = reinterpret_cast<WNDPROC>(
                        SetWindowLongPtrW(relay, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CuttingRelayProc)));
            }
            return 0;
        case WM_BACKUP_FOLDER_RESULT:
            g_host->events.push_back(std::wstring(L"RESULT:") +
                                     reinterpret_cast<const _BACKUP_RESULT_INFO*>(lParam)->Text);
            return 0;
        case WM_BACKUP_END: {
            CString* key = reinterpret_cast<CString*>(lParam);
            g_host->events.push_back(std::wstring(L"END:") + key->GetString());
            delete key;
            g_host->ended = true;
            return 0;
        }
        case WM_BACKUP_TOTAL_SIZE:
            g_host->total = reinterpret_cast<const _BACKUP_SIZE_INFO*>(lParam)->Bytes;
            return 0;
        case WM_BACKUP_FULL_PATH: {
            ++g_host->paths;
            const std::wstring path = reinterpret_cast<const _BACKUP_PATH_INFO*>(lParam)->Path;
            g_host->current = path;
            for (const std::wstring& v : g_host->vanishing) {
                if (v != path)
                    continue;
                for (const std::wstring& other : g_host->vanishing)
                    if (other != path)
                        DeleteFileW(other.c_str());
                g_host->vanishing.clear();
                break;
            }
            return 0;
        }
        case WM_UPLOAD_POLICY_PROGRESS:
            g_host->progress += reinterpret_cast<const _UPLOAD_POLICY_PROGRESS*>(lParam)->bytes;
            return 1;
        default:
            break;
        }
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

class BackupRunTest : public RoadTest {
protected:
    void SetUp() override
    {
        RoadTest::SetUp();
        if (HasFatalFailure())
            return;
        g_host = &m_host;
        m_ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = HostProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"BackupRunHost";
            RegisterClassW(&wc);
            m_hostWnd = CreateWindowExW(0, L"BackupRunHost", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        wc.hInstance, nullptr);
        });
        ASSERT_NE(nullptr, m_hostWnd);
        m_owner.Attach(m_hostWnd);
        m_docs = testpaths::ScratchDir(L"backup-run-docs");
        m_src = Scratch(L"src");
        CreateDirectoryW(m_src.c_str(), nullptr);
        ASSERT_EQ(0, LogIn(m_proto));
        m_myFiles = TopFolder(m_proto, L"My Files");
        ASSERT_FALSE(m_myFiles.empty());
    }
    void TearDown() override
    {
        m_owner.Detach();
        m_ui.Run([this] { DestroyWindow(m_hostWnd); });
        g_host = nullptr;
        CToviRegistry::RemoveBackupPolicy(L"BK1");
        RoadTest::TearDown();
    }

    void WritePolicy(int overwrite, const std::vector<std::wstring>& folders)
    {
        CFolderPathMap map;
        for (const std::wstring& f : folders) {
            _FOLDER_PATH_INFO info = {};
            wcsncpy(info.TreePath, f.c_str(), 1023);
            wcsncpy(info.FullPath, f.c_str(), 259);
            map[CString(f.c_str())] = info;
        }
        ASSERT_TRUE(CToviRegistry::SetBackupPolicy(L"BK1", L"PC백업", L"", L"2026-01-01 00:00:00", map, overwrite));
    }

    // Runs the worker to its end; the events the owner saw. Without a target the worker takes
    // the session's.
    std::vector<std::wstring> RunBackup(bool target = true)
    {
        {
            std::lock_guard<std::mutex> hold(m_host.lock);
            m_host.events.clear();
            m_host.ended = false;
            m_host.progress = 0;
        }
        CBackupThread* worker = static_cast<CBackupThread*>(
            AfxBeginThread(RUNTIME_CLASS(CBackupThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
        EXPECT_NE(nullptr, worker);
        if (!worker)
            return {};
        worker->m_bAutoDelete = FALSE;
        worker->SetBackupInfo(&m_owner, m_hostWnd, &m_proto, L"BK1");
        if (target)
            worker->SetBackupTarget(m_myFiles.c_str(), "1");
        worker->SetLogDocumentsFolder(CString(m_docs.c_str()));
        worker->ResumeThread();
        for (int i = 0; i < 6000; ++i) {
            {
                std::lock_guard<std::mutex> hold(m_host.lock);
                if (m_host.ended)
                    break;
            }
            Sleep(10);
        }
        worker->PostThreadMessage(WM_QUIT, 0, 0);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker->m_hThread, 20000));
        m_uploaded = worker->m_nUploaded;
        delete worker;
        std::lock_guard<std::mutex> hold(m_host.lock);
        EXPECT_TRUE(m_host.ended);
        return m_host.events;
    }

    std::wstring LogFolder() const { return m_docs + L"\\VariruDAD\\BackupLog\\BK1"; }
    std::wstring RunDb() const
    {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((LogFolder() + L"\\2*.db").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return L"";
        FindClose(h);
        return LogFolder() + L"\\" + fd.cFileName;
    }
    // The server's copy of a file, by its path under "My Files".
    std::string ServerBytes(const std::string& path)
    {
        const std::string reply = Control("ITEM user=road -- My Files/" + path);
        const std::string content = protoserver::Control::Value(reply, "path");
        // The server's state lives under the build root, which Wine shows as T:.
        const size_t at = content.find("/mainroad-server/");
        if (at == std::string::npos)
            return "<missing: " + reply + ">";
        std::wstring windows = L"T:" + Wide(content.substr(at));
        for (wchar_t& c : windows)
            if (c == L'/')
                c = L'\\';
        return ReadLocal(windows);
    }

    HostLog m_host;
    int m_uploaded = -1;
    HWND m_hostWnd = nullptr;
    CWnd m_owner;
    std::wstring m_docs, m_src;
    std::string m_myFiles;
};

::testing::AssertionResult SameBytes(const std::string& local, const std::string& server)
{
    if (local == server)
        return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < local.size() && at < server.size() && local[at] == server[at])
        ++at;
    return ::testing::AssertionFailure() << "local " << local.size() << " bytes, server "
                                         << (server.compare(0, 9, "<missing:") == 0 ? server : std::to_string(server.size()) + " bytes")
                                         << ", first difference at " << at;
}

std::string Utf8(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    return out;
}

TEST_F(BackupRunTest, APolicyIsBackedUpWholeAndEveryItemIsLogged)
{
    const std::wstring docs = m_src + L"\\문서";
    CreateDirectoryW(docs.c_str(), nullptr);
    CreateDirectoryW((docs + L"\\sub").c_str(), nullptr);
    WriteLocal(docs + L"\\a.txt", 1000, 1);
    WriteLocal(docs + L"\\sub\\b.bin", 300000, 2);
    WriteLocal(docs + L"\\empty.dat", 0, 3);
    WritePolicy(0, {docs});

    const std::vector<std::wstring> events = RunBackup();
    ASSERT_EQ(3u, events.size());
    EXPECT_EQ(L"START", events[0]);
    EXPECT_EQ(L"END:BK1", events[2]);
    EXPECT_EQ(0u, events[1].find(L"RESULT:")) << events[1];
    EXPECT_EQ(301000, m_host.total);
    EXPECT_EQ(301000u, m_host.progress);

    const std::string base = Utf8(L"PC백업/문서/");
    EXPECT_TRUE(SameBytes(ReadLocal(docs + L"\\a.txt"), ServerBytes(base + "a.txt")));
    EXPECT_TRUE(SameBytes(ReadLocal(docs + L"\\sub\\b.bin"), ServerBytes(base + "sub/b.bin")));
    EXPECT_EQ("0", protoserver::Control::Value(Control("ITEM user=road -- My Files/" + base + "empty.dat"), "size"));

    EXPECT_EQ("1|0|301000|COMPLETE|\n",
              sqlitetool::Query(LogFolder() + L"\\list.db", "SELECT idx, log_type, file_size, status, remarks FROM list;"));
    const std::string d = Utf8(docs);
    const std::string rows = sqlitetool::Query(RunDb(), "SELECT file_path, file_type, file_size, status, err_msg FROM backup ORDER BY file_path;");
    EXPECT_EQ(d + "|D|-1|COMPLETE|\n" + d + "\\a.txt|F|1000|COMPLETE|\n" + d + "\\empty.dat|F|0|COMPLETE|\n" + d +
                  "\\sub|D|-1|COMPLETE|\n" + d + "\\sub\\b.bin|F|300000|COMPLETE|\n",
              rows);

    // The policy's server folder and its top folder are remembered.
    _BACKUP_POLICY_INFO policy = {};
    CFolderPathMap folders;
    int overwrite = -1;
    ASSERT_TRUE(CToviRegistry::GetBackupPolicy(L"BK1", &policy, folders, &overwrite));
    EXPECT_NE('\0', policy.FolderIDX[0]);
    EXPECT_NE(L'\0', folders[CString(docs.c_str())].FolderIDX[0]);
}

// Files that differ from the server's copy, by the policy's overwrite mode.
TEST_F(BackupRunTest, TheOverwriteModeDecidesForChangedFiles)
{
    struct Case {
        int mode;
        const char* status;
        const char* remarks;
        bool replaced;
    } cases[] = {
        {0, "SKIP", "SKIP : 1", false},
        {1, "OVERWRITE", "OVERWRITE : 1", true},
    };
    const std::wstring dir = m_src + L"\\ow";
    CreateDirectoryW(dir.c_str(), nullptr);
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ++run;
        Control("RESET");
        Control(std::string("USER id=") + kUser + " password=" + kPassword);
        m_proto.CloseSocket();
        ASSERT_EQ(0, LogIn(m_proto));
        m_myFiles = TopFolder(m_proto, L"My Files");
        ASSERT_EQ("OK", Control("FILE user=road size=5000 -- My Files/PC" + Utf8(L"백업") + "/ow/f.bin").substr(0, 2));
        const std::string before = ServerBytes(Utf8(L"PC백업/ow/f.bin"));
        WriteLocal(dir + L"\\f.bin", 6000, 9);
        WritePolicy(c.mode, {dir});
        RunBackup();
        const std::string after = ServerBytes(Utf8(L"PC백업/ow/f.bin"));
        EXPECT_TRUE(SameBytes(c.replaced ? ReadLocal(dir + L"\\f.bin") : before, after));
        const std::string list = sqlitetool::Query(LogFolder() + L"\\list.db",
                                                   "SELECT status, remarks FROM list ORDER BY idx DESC LIMIT 1;");
        EXPECT_EQ(std::string("COMPLETE|") + c.remarks + "\n", list);
        EXPECT_EQ(std::string(c.status) + "\n",
                  sqlitetool::Query(RunDb(), "SELECT status FROM backup WHERE file_type='F';"));
        // One run database per run: move this one away for the next case.
        DeleteFileW(RunDb().c_str());
    }
}

// Under a bandwidth limit the stream pauses between frames; a worker whose window does not
// keep it going would end it early and still call the file complete.
TEST_F(BackupRunTest, UnderABandwidthLimitFilesArriveWholeAndOnlyThenComplete)
{
    ASSERT_EQ("OK", Control("SWITCH bandwidth=300").substr(0, 2));
    const std::wstring dir = m_src + L"\\slow";
    CreateDirectoryW(dir.c_str(), nullptr);
    WriteLocal(dir + L"\\big.bin", 700000, 5);
    WritePolicy(0, {dir});
    RunBackup();
    EXPECT_TRUE(SameBytes(ReadLocal(dir + L"\\big.bin"), ServerBytes(Utf8(L"PC백업/slow/big.bin"))));
    EXPECT_EQ("F|COMPLETE\n", sqlitetool::Query(RunDb(), "SELECT file_type, status FROM backup WHERE file_type='F';"));
}

// A policy folder deleted since the policy was written, and a file deleted while the run
// goes: each fails alone with the system's reason, and the rest is backed up.
TEST_F(BackupRunTest, AMissingFolderAndAVanishedFileFailAloneAndTheRunGoesOn)
{
    const std::wstring missing = m_src + L"\\a-missing";
    const std::wstring present = m_src + L"\\b-present";
    CreateDirectoryW(present.c_str(), nullptr);
    WriteLocal(present + L"\\one.bin", 2000, 1);
    WriteLocal(present + L"\\two.bin", 3000, 2);
    WriteLocal(present + L"\\sub.txt", 10, 3);
    WritePolicy(0, {missing, present});
    m_host.vanishing = {present + L"\\one.bin", present + L"\\two.bin"};

    const std::vector<std::wstring> events = RunBackup();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(L"END:BK1", events.back());
    EXPECT_EQ("FAIL|FAIL : 2\n", sqlitetool::Query(LogFolder() + L"\\list.db", "SELECT status, remarks FROM list;"));
    const std::string failed = sqlitetool::Query(RunDb(), "SELECT file_path, file_type FROM backup WHERE status='FAIL' "
                                                          "AND err_msg<>'' ORDER BY file_path;");
    const bool oneGone = GetFileAttributesW((present + L"\\one.bin").c_str()) == INVALID_FILE_ATTRIBUTES;
    const std::wstring gone = oneGone ? L"\\one.bin" : L"\\two.bin";
    const std::wstring kept = oneGone ? L"two.bin" : L"one.bin";
    EXPECT_EQ(Utf8(missing) + "|D\n" + Utf8(present + gone) + "|F\n", failed);
    EXPECT_TRUE(SameBytes(ReadLocal(present + L"\\" + kept), ServerBytes(Utf8(L"PC백업/b-present/" + kept))));
    EXPECT_TRUE(SameBytes(ReadLocal(present + L"\\sub.txt"), ServerBytes(Utf8(L"PC백업/b-present/sub.txt"))));
    EXPECT_EQ(std::string::npos, Control("LIST user=road -- My Files/" + Utf8(L"PC백업")).find("a-missing"));
}

// Two runs of one policy started together (often in the same second, which names both run
// databases alike): both end, each on its own list row, none left "PROGRESS".
TEST_F(BackupRunTest, TwoRunsStartedTogetherBothFinish)
{
    const std::wstring dir = m_src + L"\\twice";
    CreateDirectoryW(dir.c_str(), nullptr);
    WriteLocal(dir + L"\\x.bin", 50000, 5);
    WritePolicy(1, {dir});
    std::vector<CBackupThread*> workers;
    for (int i = 0; i < 2; ++i) {
        CBackupThread* worker = static_cast<CBackupThread*>(
            AfxBeginThread(RUNTIME_CLASS(CBackupThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
        ASSERT_NE(nullptr, worker);
        worker->m_bAutoDelete = FALSE;
        worker->SetBackupInfo(&m_owner, m_hostWnd, &m_proto, L"BK1");
        worker->SetBackupTarget(m_myFiles.c_str(), "1");
        worker->SetLogDocumentsFolder(CString(m_docs.c_str()));
        workers.push_back(worker);
    }
    for (CBackupThread* worker : workers)
        worker->ResumeThread();
    auto ends = [this] {
        std::lock_guard<std::mutex> hold(m_host.lock);
        int n = 0;
        for (const std::wstring& e : m_host.events)
            n += e == L"END:BK1";
        return n;
    };
    for (int i = 0; i < 3000 && ends() < 2; ++i)
        Sleep(10);
    EXPECT_EQ(2, ends());
    for (CBackupThread* worker : workers) {
        worker->PostThreadMessage(WM_QUIT, 0, 0);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker->m_hThread, 20000));
        delete worker;
    }
    const std::string rows = sqlitetool::Query(LogFolder() + L"\\list.db", "SELECT idx, status FROM list ORDER BY idx;");
    std::wstring seen;
    for (const std::wstring& e : m_host.events)
        seen += e + L"; ";
    SCOPED_TRACE(Utf8(seen));
    EXPECT_EQ(std::string::npos, rows.find("PROGRESS")) << rows;
    EXPECT_EQ(0u, rows.find("1|")) << rows;
    EXPECT_NE(std::string::npos, rows.find("\n2|")) << rows;
    EXPECT_TRUE(SameBytes(ReadLocal(dir + L"\\x.bin"), ServerBytes(Utf8(L"PC백업/twice/x.bin"))));
}

TEST_F(BackupRunTest, CancelEndsTheRunAsCancelled)
{
    const std::wstring dir = m_src + L"\\c";
    CreateDirectoryW(dir.c_str(), nullptr);
    WriteLocal(dir + L"\\x.bin", 1000, 5);
    WritePolicy(0, {dir});
    CBackupThread* worker = static_cast<CBackupThread*>(
        AfxBeginThread(RUNTIME_CLASS(CBackupThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(nullptr, worker);
    worker->m_bAutoDelete = FALSE;
    worker->SetBackupInfo(&m_owner, m_hostWnd, &m_proto, L"BK1");
    worker->SetBackupTarget(m_myFiles.c_str(), "1");
    worker->SetLogDocumentsFolder(CString(m_docs.c_str()));
    worker->m_bCancel = true;
    worker->ResumeThread();
    for (int i = 0; i < 3000 && !m_host.ended; ++i)
        Sleep(10);
    worker->PostThreadMessage(WM_QUIT, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker->m_hThread, 20000));
    delete worker;
    EXPECT_EQ("CANCEL|\n", sqlitetool::Query(LogFolder() + L"\\list.db", "SELECT status, remarks FROM list;"));
}

// A stream that stops before the file's end without the run being cancelled: the file fails
// with the bytes sent against its size, is not counted uploaded, and the next files still go.
TEST_F(BackupRunTest, AStreamThatEndsEarlyWithoutACancelFailsItsFileAndTheRunGoesOn)
{
    const std::wstring first = m_src + L"\\a-cut";
    const std::wstring second = m_src + L"\\b-after";
    CreateDirectoryW(first.c_str(), nullptr);
    CreateDirectoryW(second.c_str(), nullptr);
    WriteLocal(first + L"\\cut.bin", 300000, 4);
    WriteLocal(second + L"\\after.txt", 1500, 6);
    WritePolicy(0, {first, second});
    m_host.cutFile = first + L"\\cut.bin";

    RunBackup();
    EXPECT_TRUE(m_host.cut) << "the stream was never stopped";
    EXPECT_EQ(1, m_uploaded);
    // The server's own result for the short file may count it once more.
    EXPECT_EQ("FAIL\n", sqlitetool::Query(LogFolder() + L"\\list.db", "SELECT status FROM list;"));
    const std::string row = sqlitetool::Query(RunDb(), "SELECT status, err_msg FROM backup WHERE file_path LIKE '%cut.bin';");
    unsigned long long sent = 0, size = 0;
    ASSERT_EQ(2, sscanf(row.c_str(), "FAIL|%llu / %llu", &sent, &size)) << row;
    EXPECT_EQ(300000u, size);
    EXPECT_GT(sent, 0u);
    EXPECT_LT(sent, size);
    EXPECT_EQ("COMPLETE\n", sqlitetool::Query(RunDb(), "SELECT status FROM backup WHERE file_path LIKE '%after.txt';"));
    EXPECT_TRUE(SameBytes(ReadLocal(second + L"\\after.txt"), ServerBytes(Utf8(L"PC백업/b-after/after.txt"))));
}

// A server that answers "already there" for a folder an earlier run made: the files go into
// that folder, under its own keys, and an existing empty folder is no failure.
TEST_F(BackupRunTest, AFolderThatIsAlreadyThereTakesTheExistingFoldersKeys)
{
    const std::wstring docs = m_src + L"\\docs";
    CreateDirectoryW(docs.c_str(), nullptr);
    CreateDirectoryW((docs + L"\\empty").c_str(), nullptr);
    WriteLocal(docs + L"\\new.txt", 1200, 3);
    WritePolicy(0, {docs});
    for (const char* code : {"1310", "1328", "2300"}) {
        SCOPED_TRACE(code);
        Control("RESET");
        Control(std::string("USER id=") + kUser + " password=" + kPassword);
        m_proto.CloseSocket();
        ASSERT_EQ(0, LogIn(m_proto));
        m_myFiles = TopFolder(m_proto, L"My Files");
        const std::string base = "My Files/" + Utf8(L"PC백업") + "/docs";
        ASSERT_EQ("OK", Control("FOLDER user=road -- " + base + "/empty").substr(0, 2));
        ASSERT_EQ("OK", Control(std::string("SWITCH existingFolder=") + code).substr(0, 2));

        const std::vector<std::wstring> events = RunBackup();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ("COMPLETE|\n", sqlitetool::Query(LogFolder() + L"\\list.db",
                                                  "SELECT status, remarks FROM list ORDER BY idx DESC LIMIT 1;"));
        EXPECT_EQ("", sqlitetool::Query(RunDb(), "SELECT file_path, status, err_msg FROM backup WHERE status<>'COMPLETE';"));
        EXPECT_TRUE(SameBytes(ReadLocal(docs + L"\\new.txt"), ServerBytes(Utf8(L"PC백업/docs/new.txt"))));
        // No second folder of the same name beside the first.
        const std::string top = Control("LIST user=road -- My Files");
        EXPECT_EQ(top.find(Utf8(L"PC백업")), top.rfind(Utf8(L"PC백업"))) << top;
        DeleteFileW(RunDb().c_str());
    }
}

// The backup program hands over its logged-in session only: the target folder is the one the
// server names in the session's options (fields 15 and 16).
TEST_F(BackupRunTest, TheTargetFolderIsTheOneTheSessionsOptionsName)
{
    auto fixed = [](const std::string& value) {
        std::string out = value;
        for (size_t i = value.size(); i < 10; ++i)
            out += "%00";
        return out;
    };
    ASSERT_EQ("OK", Control("OPTION A1 15=" + fixed(m_myFiles) + " 16=" + fixed("1")).substr(0, 2));
    ASSERT_EQ(0, m_proto.GetOption());
    const std::wstring dir = m_src + L"\\t";
    CreateDirectoryW(dir.c_str(), nullptr);
    WriteLocal(dir + L"\\f.txt", 700, 2);
    WritePolicy(0, {dir});
    RunBackup(false);
    EXPECT_EQ("COMPLETE|\n", sqlitetool::Query(LogFolder() + L"\\list.db", "SELECT status, remarks FROM list;"));
    EXPECT_TRUE(SameBytes(ReadLocal(dir + L"\\f.txt"), ServerBytes(Utf8(L"PC백업/t/f.txt"))));
}

// The run database while a run goes and after its process was ended in the middle: the sqlite3
// program reads it live, and what it read stays, in a file that passes its integrity check.
TEST_F(BackupRunTest, AKilledRunLeavesEveryFinishedItemInADatabaseThatOpens)
{
    const std::wstring small = m_src + L"\\a-small";
    const std::wstring big = m_src + L"\\b-big";
    CreateDirectoryW(small.c_str(), nullptr);
    CreateDirectoryW(big.c_str(), nullptr);
    const int kSmall = 6;
    for (int i = 0; i < kSmall; ++i)
        WriteLocal(small + L"\\s" + std::to_wstring(i) + L".txt", 1000 + i, static_cast<unsigned>(i));
    WriteLocal(big + L"\\big.bin", 4000000, 8);
    WritePolicy(0, {small, big});
    // The large file takes a minute or more: the run is ended while it goes.
    ASSERT_EQ("OK", Control("SWITCH bandwidth=50").substr(0, 2));

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring child(self);
    child = child.substr(0, child.find_last_of(L'\\') + 1) + L"BackupRunChild.exe";
    std::wstring code;
    for (size_t i = 0; i < sizeof m_proto.ServerAddress.szCode; ++i) {
        wchar_t hex[3];
        swprintf(hex, 3, L"%02x", static_cast<unsigned char>(m_proto.ServerAddress.szCode[i]));
        code += hex;
    }
    std::wstring command = L"\"" + child + L"\" " + Wide(m_proto.LoginInfo.SessionId) + L" " +
                           Wide(m_proto.ServerAddress.szHost) + L" " + std::to_wstring(m_proto.ServerAddress.nPort) +
                           L" " + code + L" BK1 " + Wide(m_myFiles) + L" \"" + m_docs + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(child.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);

    // Read live by another program: the large file's row, written after every small one.
    std::string live;
    for (int i = 0; i < 600 && live != "WAIT\n"; ++i) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            break;
        if (!RunDb().empty())
            live = sqlitetool::Query(RunDb(), "SELECT status FROM backup WHERE file_path LIKE '%big.bin';");
        if (live != "WAIT\n")
            Sleep(200);
    }
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hProcess);
    ASSERT_EQ("WAIT\n", live) << "the sqlite3 program never read the large file's row while the run went";

    const std::wstring db = RunDb();
    EXPECT_EQ("ok\n", sqlitetool::Query(db, "PRAGMA integrity_check;"));
    std::string expected;
    for (int i = 0; i < kSmall; ++i)
        expected += Utf8(small + L"\\s" + std::to_wstring(i) + L".txt") + "|COMPLETE\n";
    expected += Utf8(big + L"\\big.bin") + "|WAIT\n";
    EXPECT_EQ(expected, sqlitetool::Query(db, "SELECT file_path, status FROM backup WHERE file_type='F' ORDER BY file_path;"));
    for (int i = 0; i < kSmall; ++i) {
        const std::wstring name = L"s" + std::to_wstring(i) + L".txt";
        EXPECT_TRUE(SameBytes(ReadLocal(small + L"\\" + name), ServerBytes(Utf8(L"PC백업/a-small/" + name))));
    }
    // Our own wrapper opens it too, and the run stays "PROGRESS" in the run list.
    CSQLiteDB reader;
    reader.open(db.c_str());
    CSQLiteQuery q = reader.execQuery(L"SELECT count(*) FROM backup WHERE status='COMPLETE' AND file_type='F'");
    EXPECT_EQ(kSmall, q.getIntField(0, -1));
    q.finalize();
    reader.close();
    EXPECT_EQ("PROGRESS\n", sqlitetool::Query(LogFolder() + L"\\list.db", "SELECT status FROM list;"));
}

} // namespace
