// The restore window against the test server, driven as the backup program and its user drive
// it: a policy in the settings store whose backed-up tree lies under the server's backup root,
// the thread created suspended and resumed, the options set and "Restore" pressed in the
// window; results checked on disk, in the run logs (by the sqlite3 tool) and in the requests
// the server saw.
#include "BackupLogDlg.h"
#include "Library.h"
#include "PixelCapture.h"
#include "RecordCodec.h"
#include "RestoreThread.h"
#include "RoadServer.h"
#include "SeamSwap.h"
#include "SqliteTool.h"
#include "TestPaths.h"
#include "ToviMessages.h"
#include "ToviMsg.h"
#include "ToviRegistry.h"
#include "ToviTextLanguage.h"
#include "TransferTaskbar.h"
#include "WindowDriver.h"
#include "AutoAnswer.h"
#include <commctrl.h>
#include <shellapi.h>
#include "BackupTitles.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

using namespace road;

namespace {

const wchar_t kKey[] = L"RS1";
const int kRestoreButton = 10229;
const int kOptionCombo = 10212;
const int kFormerPlace = 10231;
const int kFolderButton = 10232;

std::mutex g_exitLock;
std::vector<std::wstring> g_exits;

LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_RESTORE_THREAD_EXIT) {
        CString* key = reinterpret_cast<CString*>(lParam);
        std::lock_guard<std::mutex> hold(g_exitLock);
        g_exits.push_back(key->GetString());
        delete key;
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

std::string Utf8(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    return out;
}

// The lines of a query's output, sorted: the order rows were written in is not the point.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

void RemoveTree(const std::wstring& path)
{
    std::wstring from = path + L'\0';
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What the window told its task-bar button.
struct TaskbarLog {
    std::mutex lock;
    HICON overlay = nullptr;
    int errors = 0;
    ULONGLONG lastValue = 0;
    int flashes = 0;
};
TaskbarLog g_taskbar;

class RecordingTaskbar : public CTransferTaskbar {
public:
    void SetProgressState(HWND, State state) override
    {
        std::lock_guard<std::mutex> hold(g_taskbar.lock);
        g_taskbar.errors += state == kError;
    }
    void SetProgressValue(HWND, ULONGLONG done, ULONGLONG) override
    {
        std::lock_guard<std::mutex> hold(g_taskbar.lock);
        g_taskbar.lastValue = done;
    }
    void SetOverlayIcon(HWND, HICON icon, const wchar_t*) override
    {
        std::lock_guard<std::mutex> hold(g_taskbar.lock);
        g_taskbar.overlay = icon;
    }
    void SetThumbnailTooltip(HWND, const wchar_t*) override {}
    void Flash(HWND, bool start) override
    {
        std::lock_guard<std::mutex> hold(g_taskbar.lock);
        g_taskbar.flashes += start;
    }
};

CTransferTaskbar* MakeRecordingTaskbar()
{
    return new RecordingTaskbar();
}

// The overlay the run's end put on the button: "info", "warning", "error" or "none".
std::string EndOverlay()
{
    std::lock_guard<std::mutex> hold(g_taskbar.lock);
    if (!g_taskbar.overlay)
        return "none";
    if (g_taskbar.overlay == LoadIconW(nullptr, IDI_INFORMATION))
        return "info";
    if (g_taskbar.overlay == LoadIconW(nullptr, IDI_WARNING))
        return "warning";
    return g_taskbar.overlay == LoadIconW(nullptr, IDI_ERROR) ? "error" : "other";
}

std::wstring g_pickedFolder;
bool PickFolder(HWND, CString& folder)
{
    folder = g_pickedFolder.c_str();
    return true;
}

class RestoreRunTest : public RoadTest {
protected:
    void SetUp() override
    {
        RoadTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(ToviInterfaceInit());
        // A fresh profile has no product key yet: the language is written under it.
        HKEY product = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varivivod\\VariruDAD", 0, nullptr, 0, KEY_WRITE, nullptr,
                        &product, nullptr);
        if (product)
            RegCloseKey(product);
        ASSERT_TRUE(CToviRegistry::SetLanguage(0, 9));
        CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
        {
            std::lock_guard<std::mutex> hold(g_exitLock);
            g_exits.clear();
        }
        {
            std::lock_guard<std::mutex> hold(g_taskbar.lock);
            g_taskbar.overlay = nullptr;
            g_taskbar.errors = g_taskbar.flashes = 0;
            g_taskbar.lastValue = 0;
        }
        CTransferTaskbar::s_pfnCreate = MakeRecordingTaskbar;
        m_ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = HostProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"RestoreRunHost";
            RegisterClassW(&wc);
            m_host = CreateWindowExW(0, L"RestoreRunHost", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                     nullptr);
        });
        ASSERT_NE(nullptr, m_host);
        m_docs = testpaths::ScratchDir(L"restore-run-docs");
        m_src = Scratch(L"restore-src");
        CreateDirectoryW(m_src.c_str(), nullptr);
        m_local = m_src + L"\\문서";
        ASSERT_EQ(0, LogIn(m_proto));
        m_policyIdx = Made("FOLDER user=road -- Backup/PC1");
        m_docsIdx = Made("FOLDER user=road -- Backup/PC1/" + Utf8(L"문서"));
        ASSERT_FALSE(m_policyIdx.empty());
        ASSERT_FALSE(m_docsIdx.empty());
    }
    void TearDown() override
    {
        m_ui.Run([this] { DestroyWindow(m_host); });
        CToviRegistry::RemoveBackupPolicy(kKey);
        // The language is the profile's: later tests (the connection's date texts) read it.
        CToviRegistry::SetLanguage(0, LANG_KOREAN);
        ToviInterfaceTerm();
        RoadTest::TearDown();
    }

    std::string Made(const std::string& line)
    {
        const std::string reply = Control(line);
        EXPECT_EQ("OK", reply.substr(0, 2)) << line << " -> " << reply;
        return protoserver::Control::Value(reply, "idx");
    }
    // A file of the server's test pattern under the backed-up folder "문서".
    std::string PutFile(const std::wstring& path, size_t size, const char* mtime = nullptr)
    {
        std::string line = "FILE user=road size=" + std::to_string(size);
        if (mtime)
            line += std::string(" mtime=") + mtime;
        return Made(line + " -- Backup/PC1/" + Utf8(L"문서/" + path));
    }

    // The policy: its server folder, and the backed-up local folder with its server folder.
    void WritePolicy(const std::string& policyIdx, const std::string& folderIdx)
    {
        CFolderPathMap map;
        _FOLDER_PATH_INFO info = {};
        wcsncpy(info.TreePath, m_local.c_str(), 1023);
        wcsncpy(info.FullPath, m_local.c_str(), 259);
        MultiByteToWideChar(CP_ACP, 0, folderIdx.c_str(), -1, info.FolderIDX, 10);
        map[CString(m_local.c_str())] = info;
        ASSERT_TRUE(CToviRegistry::SetBackupPolicy(kKey, L"PC백업", L"", L"2026-01-01 00:00:00", map, 0));
        ASSERT_TRUE(CToviRegistry::SetBackupPolicyID(0, kKey, L"", CString(policyIdx.c_str())));
    }

    // The backup program's steps: the thread made suspended, handed the session, resumed.
    CRestoreThread* Open(HWND& dlg)
    {
        CRestoreThread* thread = static_cast<CRestoreThread*>(
            AfxBeginThread(RUNTIME_CLASS(CRestoreThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
        EXPECT_NE(nullptr, thread);
        if (!thread)
            return nullptr;
        thread->m_bAutoDelete = FALSE;
        EXPECT_EQ(0, thread->SetRestoreInfo(m_host, &m_proto, kKey));
        thread->m_dlg.SetLogDocumentsFolder(CString(m_docs.c_str()));
        thread->ResumeThread();
        dlg = WaitForBackupDialog(L"복원", L"Restore", 10000);
        EXPECT_NE(nullptr, dlg);
        return thread;
    }
    void Start(HWND dlg, int option)
    {
        SendMessageW(GetDlgItem(dlg, kOptionCombo), CB_SETCURSEL, option, 0);
        ASSERT_TRUE(uitest::ClickButton(dlg, kRestoreButton));
    }
    // The run is over when the Cancel button offers to exit.
    bool WaitForEnd(HWND dlg, DWORD timeoutMs = 60000)
    {
        return uitest::WaitUntil([dlg] { return uitest::GetText(GetDlgItem(dlg, IDCANCEL)) == L"Exit"; }, timeoutMs);
    }
    // Closes the window as the user does; the owner hears of it with the policy key.
    void Close(CRestoreThread*& thread, HWND dlg)
    {
        ASSERT_TRUE(uitest::ClickButton(dlg, IDCANCEL));
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 30000));
        delete thread;
        thread = nullptr;
        EXPECT_TRUE(uitest::WaitUntil([] {
            std::lock_guard<std::mutex> hold(g_exitLock);
            return !g_exits.empty();
        }));
        std::lock_guard<std::mutex> hold(g_exitLock);
        EXPECT_EQ(std::vector<std::wstring>{kKey}, g_exits);
        g_exits.clear();
    }
    // One whole restore with an option; false when the run did not end.
    bool Restore(int option)
    {
        HWND dlg = nullptr;
        CRestoreThread* thread = Open(dlg);
        if (!thread || !dlg)
            return false;
        Start(dlg, option);
        const bool ended = WaitForEnd(dlg);
        EXPECT_TRUE(ended);
        Close(thread, dlg);
        return ended;
    }

    std::wstring LogFolder() const { return m_docs + L"\\VariruDAD\\BackupLog\\" + kKey; }
    std::wstring RunDb() const
    {
        std::wstring newest;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((LogFolder() + L"\\2*.db").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return L"";
        do {
            if (newest < fd.cFileName)
                newest = fd.cFileName;
        } while (FindNextFileW(h, &fd));
        FindClose(h);
        return LogFolder() + L"\\" + newest;
    }
    // The newest run's list row: log type, size, status, remarks.
    std::string ListRow()
    {
        return sqlitetool::Query(LogFolder() + L"\\list.db",
                                 "SELECT log_type, file_size, status, remarks FROM list ORDER BY idx DESC LIMIT 1;");
    }
    std::vector<std::string> Rows(const char* columns = "file_path, file_type, file_size, status, err_msg")
    {
        return Lines(sqlitetool::Query(RunDb(), std::string("SELECT ") + columns + " FROM backup;"));
    }
    // Runs of one test must not share a second: the run database is named after it.
    void ForgetRuns()
    {
        for (std::wstring db = RunDb(); !db.empty() && db != LogFolder() + L"\\"; db = RunDb())
            if (!DeleteFileW(db.c_str()))
                break;
    }
    // A local path under the restored folder, as the run log holds it.
    std::string Path(const std::wstring& below = std::wstring()) const { return Utf8(m_local + below); }

    HWND m_host = nullptr;
    std::wstring m_docs, m_src, m_local;
    std::string m_policyIdx, m_docsIdx;
    testseam::Swap<CTransferTaskbar::Factory> m_taskbar{CTransferTaskbar::s_pfnCreate};
};

std::string Pattern(size_t size)
{
    return protoserver::Pattern(0, size);
}

// ---- Whole restores -------------------------------------------------------------------------

TEST_F(RestoreRunTest, ARestoreIntoAnEmptiedFolderIsByteIdenticalWithEveryOption)
{
    Made("FOLDER user=road -- Backup/PC1/" + Utf8(L"문서/sub"));
    PutFile(L"a.txt", 1000);
    PutFile(L"empty.dat", 0);
    PutFile(L"한글 이름.txt", 4000);
    PutFile(L"sub/big.bin", 3 * 130000 + 17);
    WritePolicy(m_policyIdx, m_docsIdx);

    for (int option : {0, 1, 2}) {
        SCOPED_TRACE(option);
        RemoveTree(m_local);
        ASSERT_FALSE(Exists(m_local));
        ForgetRuns();
        ASSERT_TRUE(Restore(option));
        EXPECT_TRUE(filebytes::Same(Pattern(1000), ReadLocal(m_local + L"\\a.txt")));
        EXPECT_TRUE(filebytes::Same(std::string(), ReadLocal(m_local + L"\\empty.dat")));
        EXPECT_TRUE(Exists(m_local + L"\\empty.dat"));
        EXPECT_TRUE(filebytes::Same(Pattern(4000), ReadLocal(m_local + L"\\한글 이름.txt")));
        EXPECT_TRUE(filebytes::Same(Pattern(3 * 130000 + 17), ReadLocal(m_local + L"\\sub\\big.bin")));

        EXPECT_EQ("1|395017|COMPLETE|\n", ListRow());
        EXPECT_EQ("info", EndOverlay());
        EXPECT_EQ(100u, g_taskbar.lastValue);
        const std::vector<std::string> expected = Lines(
            Path() + "|D|0|COMPLETE|\n" + Path(L"\\a.txt") + "|F|1000|COMPLETE|\n" + Path(L"\\empty.dat") + "|F|0|COMPLETE|\n" +
            Path(L"\\한글 이름.txt") + "|F|4000|COMPLETE|\n" + Path(L"\\sub") + "|D|0|COMPLETE|\n" + Path(L"\\sub\\big.bin") +
            "|F|390017|COMPLETE|\n");
        EXPECT_EQ(expected, Rows());
    }
}

// Local files already there, by the option chosen in the window.
TEST_F(RestoreRunTest, ExistingFilesAreResumedKeptOrReplacedAsTheOptionSays)
{
    PutFile(L"same.bin", 5000);
    PutFile(L"part.bin", 9000);
    PutFile(L"diff.bin", 5000, "20000101000000");
    PutFile(L"long.bin", 3000, "20000101000000");
    PutFile(L"newer.bin", 6000, "20990101000000");
    PutFile(L"emptied.bin", 0, "20000101000000");
    WritePolicy(m_policyIdx, m_docsIdx);
    // emptied.bin goes as diff.bin does: an older, different server copy (an empty one).
    const struct {
        int option;
        const char* diff;
        const char* longer;
        const char* newer;
        const char* remarks;
    } cases[] = {
        {0, "SKIP", "SKIP", "SKIP", "SKIP : 4"},
        {1, "OVERWRITE", "OVERWRITE", "OVERWRITE", "OVERWRITE : 4"},
        {2, "SKIP", "SKIP", "OVERWRITE", "SKIP : 3, OVERWRITE : 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        RemoveTree(m_local);
        CreateDirectoryW(m_local.c_str(), nullptr);
        const std::string same = Pattern(5000), part = Pattern(2000);
        filebytes::WriteFile(m_local + L"\\same.bin", std::vector<unsigned char>(same.begin(), same.end()));
        filebytes::WriteFile(m_local + L"\\part.bin", std::vector<unsigned char>(part.begin(), part.end()));
        WriteLocal(m_local + L"\\diff.bin", 5000, 3);
        WriteLocal(m_local + L"\\long.bin", 8000, 4);
        WriteLocal(m_local + L"\\newer.bin", 6000, 5);
        WriteLocal(m_local + L"\\emptied.bin", 100, 6);
        const std::string emptiedBefore = ReadLocal(m_local + L"\\emptied.bin");
        const std::string diffBefore = ReadLocal(m_local + L"\\diff.bin");
        const std::string longBefore = ReadLocal(m_local + L"\\long.bin");
        const std::string newerBefore = ReadLocal(m_local + L"\\newer.bin");
        ForgetRuns();
        ASSERT_TRUE(Restore(c.option));

        EXPECT_TRUE(filebytes::Same(Pattern(5000), ReadLocal(m_local + L"\\same.bin")));
        EXPECT_TRUE(filebytes::Same(Pattern(9000), ReadLocal(m_local + L"\\part.bin")));
        auto expect = [this](const wchar_t* name, const char* status, const std::string& before, size_t size) {
            SCOPED_TRACE(Utf8(name));
            const std::string now = ReadLocal(m_local + L"\\" + name);
            EXPECT_TRUE(filebytes::Same(std::string(status) == "OVERWRITE" ? Pattern(size) : before, now));
        };
        expect(L"diff.bin", c.diff, diffBefore, 5000);
        expect(L"long.bin", c.longer, longBefore, 3000);
        expect(L"newer.bin", c.newer, newerBefore, 6000);
        expect(L"emptied.bin", c.diff, emptiedBefore, 0);

        EXPECT_EQ(std::string("1|28000|COMPLETE|") + c.remarks + "\n", ListRow());
        EXPECT_EQ("warning", EndOverlay());
        const std::vector<std::string> expected = Lines(
            Path() + "|D|COMPLETE\n" + Path(L"\\same.bin") + "|F|COMPLETE\n" + Path(L"\\part.bin") + "|F|COMPLETE\n" +
            Path(L"\\diff.bin") + "|F|" + c.diff + "\n" + Path(L"\\long.bin") + "|F|" + c.longer + "\n" + Path(L"\\newer.bin") +
            "|F|" + c.newer + "\n" + Path(L"\\emptied.bin") + "|F|" + c.diff + "\n");
        EXPECT_EQ(expected, Rows("file_path, file_type, status"));
    }
}

// A replaced file is asked for again from its first byte: announcing the local size again would
// let a server send the file from there while the bytes land from the file's start.
TEST_F(RestoreRunTest, OverwriteAnnouncesTheFileAgainFromItsFirstByte)
{
    PutFile(L"long.bin", 3000);
    WritePolicy(m_policyIdx, m_docsIdx);
    CreateDirectoryW(m_local.c_str(), nullptr);
    WriteLocal(m_local + L"\\long.bin", 8000, 4);
    ASSERT_TRUE(Restore(1));
    EXPECT_TRUE(filebytes::Same(Pattern(3000), ReadLocal(m_local + L"\\long.bin")));
    const std::vector<std::map<int, std::string>> announce = LastRecords(Control("LAST cmd=H1"));
    ASSERT_EQ(1u, announce.size());
    EXPECT_EQ("0", announce[0].count(192) ? announce[0].at(192) : "<none>");
    EXPECT_EQ(0u, announce[0].count(205));
    EXPECT_EQ("1|3000|COMPLETE|OVERWRITE : 1\n", ListRow());
}

// ---- Mends ----------------------------------------------------------------------------------

// A remark the server sends with a file is what the file's row reports, and the run counts it.
TEST_F(RestoreRunTest, AServerRemarkOnAFileIsLoggedAndCounted)
{
    PutFile(L"noted.txt", 2500);
    WritePolicy(m_policyIdx, m_docsIdx);
    ProtRecord header;
    header[228] = "Scanned: kept for audit";
    ASSERT_EQ("OK", Control("FAULT payload cmd=H1 hex=" + RecordHex({header})).substr(0, 2));
    ASSERT_TRUE(Restore(0));
    EXPECT_TRUE(filebytes::Same(Pattern(2500), ReadLocal(m_local + L"\\noted.txt")));
    EXPECT_EQ("1|2500|FAIL|FAIL : 1\n", ListRow());
    EXPECT_EQ("error", EndOverlay());
    EXPECT_EQ(Lines(Path() + "|D|COMPLETE|\n" + Path(L"\\noted.txt") + "|F|FAIL|Scanned: kept for audit\n"),
              Rows("file_path, file_type, status, err_msg"));

    // The restore log viewer shows the run and, for its file, the remark.
    auto viewer = m_ui.Post([this] {
        CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
        CBackupLogDlg dlg;
        dlg.m_nLogType = 1;
        dlg.m_strPolicyKey = kKey;
        dlg.m_strDocuments = m_docs.c_str();
        dlg.DoModal();
    });
    HWND dlg = WaitForBackupDialog(L"복원 로그", L"Restore Log");
    ASSERT_NE(nullptr, dlg);
    HWND runs = GetDlgItem(dlg, 10223), items = GetDlgItem(dlg, 10224);
    ASSERT_EQ(1, ListView_GetItemCount(runs));
    ListView_SetItemState(runs, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    // The items fill in on a thread of the viewer's own.
    std::wstring remark;
    EXPECT_TRUE(uitest::WaitUntil([items, &remark] {
        wchar_t text[128] = {};
        ListView_GetItemText(items, 1, 3, text, 128);
        remark = text;
        return ListView_GetItemCount(items) == 2 && !remark.empty();
    }));
    EXPECT_EQ(L"Scanned: kept for audit", remark);
    ASSERT_TRUE(uitest::ClickButton(dlg, IDOK));
    EXPECT_TRUE(viewer->Wait());
}

// A listing may name items "..", "x\y" or "c:z": none of them may become a path outside the
// folder being restored; each fails alone and the rest is restored.
TEST_F(RestoreRunTest, ServerNamesThatWouldLeaveTheFolderAreRefused)
{
    // Outside the scratch folder, which the fixture empties: a failed earlier run may have left
    // it, and it must not keep this case red.
    DeleteFileW(L"C:\\evil2.txt");
    const std::string a = PutFile(L"a.txt", 1000);
    WritePolicy(m_policyIdx, m_docsIdx);
    // The first three listings (top level, backup root, policy folder) are held back a moment,
    // so that the hostile listing is set for the fourth: the backed-up folder's contents.
    ASSERT_EQ("OK", Control("FAULT delay ms=1200 count=3 cmd=D0").substr(0, 2));
    auto file = [&a](const char* name) {
        ProtRecord r;
        r[25] = "F";
        r[173] = a;
        r[177] = "1";
        r[181] = name;
        r[192] = "1000";
        return r;
    };
    ProtRecord up;
    up[25] = "D";
    up[173] = m_policyIdx;
    up[177] = "1";
    up[181] = "..";
    ProtRecord last;
    last[44] = "N";
    const std::string hostile = RecordHex({file("..\\evil.txt"), file("c:evil2.txt"), file("sub/evil3.txt"), up,
                                           file("a.txt"), last});

    HWND dlg = nullptr;
    CRestoreThread* thread = Open(dlg);
    ASSERT_NE(nullptr, thread);
    Start(dlg, 0);
    ASSERT_TRUE(uitest::WaitUntil([this] {
        const auto r = LastRecords(Control("LAST cmd=D0"));
        return !r.empty() && r[0].count(173) && r[0].at(173) == m_policyIdx;
    }, 20000));
    ASSERT_EQ("OK", Control("FAULT payload cmd=D0 hex=" + hostile).substr(0, 2));
    EXPECT_TRUE(WaitForEnd(dlg));
    Close(thread, dlg);

    EXPECT_FALSE(Exists(m_src + L"\\evil.txt"));
    EXPECT_FALSE(Exists(L"C:\\evil2.txt"));
    EXPECT_FALSE(Exists(m_local + L"\\sub\\evil3.txt"));
    EXPECT_TRUE(filebytes::Same(Pattern(1000), ReadLocal(m_local + L"\\a.txt")));
    const std::string refused = Utf8(CToviMsg::GetString(12077).GetString());
    EXPECT_EQ(Lines(Path() + "|COMPLETE|\n" + Path(L"\\..\\evil.txt") + "|FAIL|" + refused + "\n" + Path(L"\\c:evil2.txt") +
                    "|FAIL|" + refused + "\n" + Path(L"\\sub/evil3.txt") + "|FAIL|" + refused + "\n" + Path(L"\\..") +
                    "|FAIL|" + refused + "\n" + Path(L"\\a.txt") + "|COMPLETE|\n"),
              Rows("file_path, status, err_msg"));
    EXPECT_EQ("1|4000|FAIL|FAIL : 4\n", ListRow());
}

// A stream that ends before the file's end leaves no file reported as restored: the protocol
// library fails the download with its stream-size code (21) on the download command (H1).
TEST_F(RestoreRunTest, AFileWhoseStreamEndedShortFails)
{
    PutFile(L"cut.bin", 300000);
    WritePolicy(m_policyIdx, m_docsIdx);
    ASSERT_EQ("OK", Control("FAULT short-stream bytes=130000 count=1 cmd=H1").substr(0, 2));
    ASSERT_TRUE(Restore(0));
    EXPECT_EQ(Lines(Path() + "|COMPLETE|\n" + Path(L"\\cut.bin") + "|FAIL|" + Utf8(CToviMsg::GetString(12123).GetString()) +
                    "[21][4831]\n"),
              Rows("file_path, status, err_msg"));
    EXPECT_EQ("1|300000|FAIL|FAIL : 1\n", ListRow());
}

// ---- Failures and edge cases ----------------------------------------------------------------

TEST_F(RestoreRunTest, NothingToRestoreIsSaidAndNoRunIsLogged)
{
    PutFile(L"a.txt", 10);
    const struct {
        const char* what;
        std::string policyIdx;
        std::string folderIdx;
    } cases[] = {
        {"a policy folder the backup root does not hold", "99999", m_docsIdx},
        {"a backed-up folder the policy's folders do not name", m_policyIdx, "88888"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WritePolicy(c.policyIdx, c.folderIdx);
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        HWND dlg = nullptr;
        CRestoreThread* thread = Open(dlg);
        ASSERT_NE(nullptr, thread);
        Start(dlg, 0);
        EXPECT_TRUE(box.WaitForCount(1, 20000));
        EXPECT_TRUE(WaitForEnd(dlg));
        Close(thread, dlg);
        const auto seen = box.Seen();
        ASSERT_EQ(1u, seen.size());
        EXPECT_NE(seen[0].texts.end(),
                  std::find(seen[0].texts.begin(), seen[0].texts.end(), L"복원할 폴더(파일)들이 없습니다."));
        EXPECT_FALSE(Exists(LogFolder() + L"\\list.db"));
        EXPECT_FALSE(Exists(m_local));
    }
}

TEST_F(RestoreRunTest, WithoutARunLogNothingIsRestored)
{
    PutFile(L"a.txt", 10);
    WritePolicy(m_policyIdx, m_docsIdx);
    // A file where the policy's log folder belongs.
    CreateDirectoryW((m_docs + L"\\VariruDAD").c_str(), nullptr);
    CreateDirectoryW((m_docs + L"\\VariruDAD\\BackupLog").c_str(), nullptr);
    WriteLocal(LogFolder(), 10, 1);
    ASSERT_TRUE(Restore(0));
    EXPECT_FALSE(Exists(m_local));
    EXPECT_FALSE(Exists(LogFolder() + L"\\list.db"));
}

TEST_F(RestoreRunTest, AFileHeldByAnotherProgramStopsTheRestore)
{
    PutFile(L"a.bin", 100);
    PutFile(L"b.bin", 200);
    WritePolicy(m_policyIdx, m_docsIdx);
    CreateDirectoryW(m_local.c_str(), nullptr);
    WriteLocal(m_local + L"\\a.bin", 50, 1);
    HANDLE held = CreateFileW((m_local + L"\\a.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(Restore(1));
    CloseHandle(held);
    EXPECT_EQ(Lines(Path() + "|COMPLETE|\n" + Path(L"\\a.bin") + "|FAIL|" +
                    Utf8(CToviMsg::GetString(12023).GetString()) + "\n"),
              Rows("file_path, status, err_msg"));
    EXPECT_FALSE(Exists(m_local + L"\\b.bin"));
    EXPECT_EQ("1|300|FAIL|FAIL : 1\n", ListRow());
}

// A file request that fails: a lost connection or the server's end of the session stops the
// restore; any other refusal fails that file alone (no empty file is left) and the rest goes on.
TEST_F(RestoreRunTest, AFailedFileRequestStopsOrSkipsAsItsCauseSays)
{
    PutFile(L"a.bin", 100);
    PutFile(L"b.bin", 200);
    WritePolicy(m_policyIdx, m_docsIdx);
    const struct {
        const char* fault;
        bool goesOn;
        bool forceClosed;
    } cases[] = {
        {"FAULT close count=1 cmd=H1", false, false},
        {"FAULT error reply=E0 code=1213 count=1 cmd=H1 -- Session ended", false, true},
        {"FAULT error reply=E0 code=1301 count=1 cmd=H1 -- File not found", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        RemoveTree(m_local);
        ForgetRuns();
        ASSERT_EQ("OK", Control(c.fault).substr(0, 2));
        HWND dlg = nullptr;
        CRestoreThread* thread = Open(dlg);
        ASSERT_NE(nullptr, thread);
        Start(dlg, 0);
        ASSERT_TRUE(WaitForEnd(dlg));
        EXPECT_EQ(c.forceClosed, thread->m_dlg.IsForceClosed());
        Close(thread, dlg);
        const std::vector<std::string> rows = Rows("file_path, status");
        auto logged = [&rows](const std::string& row) { return std::find(rows.begin(), rows.end(), row) != rows.end(); };
        EXPECT_TRUE(logged(Path(L"\\a.bin") + "|FAIL")) << ::testing::PrintToString(rows);
        EXPECT_EQ(c.goesOn, logged(Path(L"\\b.bin") + "|COMPLETE")) << ::testing::PrintToString(rows);
        EXPECT_EQ(c.goesOn, ReadLocal(m_local + L"\\b.bin") == Pattern(200));
        if (c.goesOn) {
            EXPECT_FALSE(Exists(m_local + L"\\a.bin"));   // the file it made for the refused copy
        }
        EXPECT_EQ("1|300|FAIL|FAIL : 1\n", ListRow());
        EXPECT_EQ("error", EndOverlay());
    }
}

TEST_F(RestoreRunTest, ASessionThatCannotBeOpenedIsSaidAndNothingRuns)
{
    PutFile(L"a.bin", 100);
    WritePolicy(m_policyIdx, m_docsIdx);
    const int port = m_proto.ServerAddress.nPort;
    m_proto.ServerAddress.nPort = 1;
    uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
    HWND dlg = nullptr;
    CRestoreThread* thread = Open(dlg);
    m_proto.ServerAddress.nPort = port;
    ASSERT_NE(nullptr, thread);
    Start(dlg, 0);
    EXPECT_TRUE(box.WaitForCount(1, 20000));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, kRestoreButton)));
    EXPECT_EQ(L"Cancel", uitest::GetText(GetDlgItem(dlg, IDCANCEL)));
    Close(thread, dlg);
    EXPECT_FALSE(Exists(LogFolder() + L"\\list.db"));
    EXPECT_FALSE(Exists(m_local));
}

TEST_F(RestoreRunTest, CancelDuringATransferEndsTheFileAndTheRunAsCancelled)
{
    PutFile(L"slow.bin", 8 * 130000);
    WritePolicy(m_policyIdx, m_docsIdx);
    ASSERT_EQ("OK", Control("FAULT slow-stream ms=500 count=1 cmd=H1").substr(0, 2));
    HWND dlg = nullptr;
    CRestoreThread* thread = Open(dlg);
    ASSERT_NE(nullptr, thread);
    Start(dlg, 0);
    ASSERT_TRUE(uitest::WaitUntil([this] {
        WIN32_FILE_ATTRIBUTE_DATA d;
        return GetFileAttributesExW((m_local + L"\\slow.bin").c_str(), GetFileExInfoStandard, &d) && d.nFileSizeLow > 0;
    }, 20000));
    Close(thread, dlg);
    EXPECT_EQ("1|1040000|CANCEL|\n", ListRow());
    EXPECT_EQ(Lines(Path() + "|COMPLETE\n" + Path(L"\\slow.bin") + "|CANCEL\n"), Rows("file_path, status"));
}

TEST_F(RestoreRunTest, EverythingGoesUnderAChosenFolderWhenOneIsSet)
{
    PutFile(L"a.txt", 700);
    WritePolicy(m_policyIdx, m_docsIdx);
    g_pickedFolder = Scratch(L"restore-elsewhere");
    RemoveTree(g_pickedFolder);
    CreateDirectoryW(g_pickedFolder.c_str(), nullptr);
    testseam::Swap<CRestoreDlg::FolderPickerFn> picker(CRestoreDlg::s_pfnPickFolder, PickFolder);
    HWND dlg = nullptr;
    CRestoreThread* thread = Open(dlg);
    ASSERT_NE(nullptr, thread);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, kFolderButton)));
    ASSERT_TRUE(uitest::ClickButton(dlg, kFormerPlace));
    ASSERT_TRUE(uitest::WaitUntil([dlg] { return IsWindowEnabled(GetDlgItem(dlg, kFolderButton)) != FALSE; }));
    ASSERT_TRUE(uitest::ClickButton(dlg, kFolderButton));
    Start(dlg, 0);
    EXPECT_TRUE(WaitForEnd(dlg));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, kRestoreButton)));
    Close(thread, dlg);
    EXPECT_TRUE(filebytes::Same(Pattern(700), ReadLocal(g_pickedFolder + L"\\문서\\a.txt")));
    EXPECT_FALSE(Exists(m_local));
}

TEST_F(RestoreRunTest, Screenshots)
{
    PutFile(L"a.txt", 700);
    WritePolicy(m_policyIdx, m_docsIdx);
    const std::wstring dir = testpaths::ScratchDir(L"restore-shots");
    for (unsigned short language : {18, 9}) {
        ASSERT_TRUE(CToviRegistry::SetLanguage(0, language));
        HWND dlg = nullptr;
        CRestoreThread* thread = Open(dlg);
        ASSERT_NE(nullptr, thread);
        const std::wstring tag = language == 18 ? L"ko" : L"en";
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(dlg, 500), dir + L"\\restore-" + tag + L".png"));
        Start(dlg, 0);
        EXPECT_TRUE(uitest::WaitUntil([dlg] {
            const std::wstring text = uitest::GetText(GetDlgItem(dlg, IDCANCEL));
            return text == L"Exit" || text == L"종료";
        }, 60000));
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(dlg, 500), dir + L"\\restore-" + tag + L"-done.png"));
        Close(thread, dlg);
        ForgetRuns();
    }
}

}
