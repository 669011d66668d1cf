// The download tests' host.
#include <winsock2.h>
#include "DownloadHost.h"
#include "Library.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace downloadtest {

namespace {

const wchar_t kProductKey[] = L"Software\\Varivivod\\VariruDAD";
// What the windows' language and face are chosen by; other test programs find them as they were.
const wchar_t* const kSavedValues[] = {L"Language", L"DialogFont"};

MainLog g_main;
TaskbarLog g_taskbar;
std::mutex g_wakeLock;
std::vector<EXECUTION_STATE> g_wake;

LRESULT CALLBACK MainProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DOWNLOAD_THREAD_EXIT) {
        ++g_main.exits;
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

class RecordingTaskbar : public CTransferTaskbar {
public:
    void SetProgressState(HWND, State state) override
    {
        if (state == kError)
            ++g_taskbar.errors;
    }
    void SetProgressValue(HWND, ULONGLONG done, ULONGLONG) override { g_taskbar.lastValue = done; }
    void SetOverlayIcon(HWND, HICON, const wchar_t*) override {}
    void SetThumbnailTooltip(HWND, const wchar_t*) override {}
    void Flash(HWND, bool) override {}
};

CTransferTaskbar* MakeRecordingTaskbar()
{
    return new RecordingTaskbar();
}

EXECUTION_STATE WINAPI RecordWake(EXECUTION_STATE state)
{
    std::lock_guard<std::mutex> lock(g_wakeLock);
    g_wake.push_back(state);
    return ES_CONTINUOUS;
}

std::string Value(const std::string& line, const std::string& key)
{
    const size_t at = line.find(" " + key + "=");
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + key.size() + 2;
    const size_t end = line.find(' ', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string Escape(const std::string& path)
{
    return path;
}

}

MainLog& Main()
{
    return g_main;
}

TaskbarLog& Taskbar()
{
    return g_taskbar;
}

std::vector<EXECUTION_STATE> WakeCalls()
{
    std::lock_guard<std::mutex> lock(g_wakeLock);
    return g_wake;
}

std::string Utf8(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], n);
    return out;
}

void DownloadHost::SetUp()
{
    RoadTest::SetUp();
    ASSERT_TRUE(ToviInterfaceInit());
    g_main.exits = 0;
    g_taskbar.errors = 0;
    g_taskbar.lastValue = 0;
    {
        std::lock_guard<std::mutex> lock(g_wakeLock);
        g_wake.clear();
    }
    CTransferTaskbar::SetFactory(MakeRecordingTaskbar);
    CDownloadDlg::SetExecutionStateHook(RecordWake);
    HKEY product = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr, &product, nullptr);
    if (product)
        RegCloseKey(product);
    for (const wchar_t* name : kSavedValues) {
        wchar_t text[256] = {};
        DWORD size = sizeof text;
        if (RegGetValueW(HKEY_CURRENT_USER, kProductKey, name, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS)
            m_savedValues[name] = text;
    }
    ASSERT_TRUE(CToviRegistry::SetLanguage(0, 9));
    ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
    std::strcpy(m_proto.RetryCount, "2");
    std::strcpy(m_proto.RetryTimeout, "1");
    m_dest = Scratch(L"dest");
    CreateDirectoryW(m_dest.c_str(), nullptr);
    m_ui.Run([this] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DownloadMain";
        RegisterClassW(&wc);
        m_main = CreateWindowExW(0, L"DownloadMain", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                 nullptr);
    });
    ASSERT_NE(nullptr, m_main);
}

void DownloadHost::TearDown()
{
    m_ui.Run([this] {
        if (IsWindow(m_main))
            DestroyWindow(m_main);
    });
    CTransferTaskbar::SetFactory(nullptr);
    CDownloadDlg::SetExecutionStateHook(nullptr);
    CDownloadDlg::SetPasswordPrompt(nullptr);
    for (const wchar_t* name : kSavedValues) {
        const auto saved = m_savedValues.find(name);
        if (saved == m_savedValues.end())
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kProductKey, name);
        else
            RegSetKeyValueW(HKEY_CURRENT_USER, kProductKey, name, REG_SZ, saved->second.c_str(),
                            static_cast<DWORD>((saved->second.size() + 1) * sizeof(wchar_t)));
    }
    ToviInterfaceTerm();
    RoadTest::TearDown();
}

std::string DownloadHost::PutFile(const std::string& path, size_t size, const std::string& bytes)
{
    std::string line = "FILE user=road ";
    if (!bytes.empty()) {
        static const char kHex[] = "0123456789abcdef";
        std::string hex;
        for (unsigned char c : bytes) {
            hex += kHex[c >> 4];
            hex += kHex[c & 15];
        }
        line += "hex=" + hex;
    } else {
        line += "size=" + std::to_string(size);
    }
    const std::string reply = Control(line + " -- My Files/" + Escape(path));
    EXPECT_EQ("OK", reply.substr(0, 2)) << reply;
    return Value(reply, "idx");
}

std::string DownloadHost::PutFolder(const std::string& path)
{
    const std::string reply = Control("FOLDER user=road -- My Files/" + Escape(path));
    EXPECT_EQ("OK", reply.substr(0, 2)) << reply;
    return Value(reply, "idx");
}

bool FirstBoxSaid(const uitest::AutoAnswer& boxes, const std::wstring& words)
{
    // A copy: what Seen() returns lives only as long as the expression that asked.
    const std::vector<uitest::AutoAnswer::Answered> seen = boxes.Seen();
    if (seen.empty())
        return false;
    for (const std::wstring& text : seen[0].texts)
        if (text.find(words) != std::wstring::npos)
            return true;
    return false;
}

long DownloadHost::RequestCount(const std::string& command)
{
    const std::string reply = Control("COUNT cmd=" + command);
    const size_t at = reply.find("requests=");
    return at == std::string::npos ? -1 : std::atol(reply.c_str() + at + 9);
}

std::string DownloadHost::ServerField(const std::string& path, const char* field)
{
    return Value(Control("ITEM user=road -- My Files/" + Escape(path)), field);
}

namespace {

void Fill(_DOWNLOADINFO& item, const std::string& idx, const std::string& path, const std::wstring& dest)
{
    std::strncpy(item.ItemId, idx.c_str(), sizeof item.ItemId - 1);
    std::strcpy(item.FolderId, "1");
    std::strcpy(item.Version, "0");
    const size_t slash = path.find_last_of('/');
    const std::wstring name = Wide(slash == std::string::npos ? path : path.substr(slash + 1));
    const std::wstring parent = L"/My Files" + (slash == std::string::npos ? std::wstring()
                                                                           : L"/" + Wide(path.substr(0, slash)));
    wcsncpy(item.Name, name.c_str(), 511);
    wcsncpy(item.ServerPath, parent.c_str(), 511);
    item.DestRoot = dest.c_str();
    item.DestFolder = dest.c_str();
}

}

_DOWNLOADINFO DownloadHost::FileItem(const std::string& path, const std::wstring& dest)
{
    _DOWNLOADINFO item = {};
    std::strcpy(item.Type, "F");
    Fill(item, ServerField(path, "idx"), path, dest);
    std::strncpy(item.Size, ServerField(path, "size").c_str(), sizeof item.Size - 1);
    return item;
}

_DOWNLOADINFO DownloadHost::FolderItem(const std::string& path, const std::wstring& dest)
{
    _DOWNLOADINFO item = {};
    std::strcpy(item.Type, "D");
    std::strcpy(item.FolderKind, "1");
    Fill(item, ServerField(path, "idx"), path, dest);
    return item;
}

CDownloadThread* DownloadHost::Start(std::vector<_DOWNLOADINFO> items)
{
    CDownloadThread* thread = static_cast<CDownloadThread*>(
        AfxBeginThread(RUNTIME_CLASS(CDownloadThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!thread)
        return nullptr;
    thread->SetDownloadInfo(this, m_main, items, &m_proto);
    EXPECT_TRUE(items.empty()) << "the items are handed over";
    thread->ResumeThread();
    uitest::WaitUntil([&] { return thread->m_dlg.GetSafeHwnd() != nullptr; }, 10000);
    return thread;
}

std::wstring DownloadHost::CancelText(CDownloadThread* thread)
{
    HWND wnd = Window(thread);
    return wnd ? uitest::GetText(GetDlgItem(wnd, IDCANCEL)) : std::wstring();
}

bool DownloadHost::WaitForRunEnd(CDownloadThread* thread, DWORD timeoutMs)
{
    return uitest::WaitUntil([&] { return thread->m_dlg.IsRunOver(); }, timeoutMs);
}

void DownloadHost::Finish(CDownloadThread*& thread)
{
    if (!thread)
        return;
    if (HWND wnd = Window(thread))
        uitest::ClickButton(wnd, IDCANCEL);
    WaitForExit(thread, 20000);
}

bool DownloadHost::WaitForExit(CDownloadThread*& thread, DWORD timeoutMs)
{
    if (!thread)
        return true;
    const bool ended = uitest::WaitUntil([&] { return WaitForSingleObject(thread->m_hThread, 0) == WAIT_OBJECT_0; },
                                         timeoutMs);
    EXPECT_TRUE(ended) << "the download thread did not end";
    if (!ended)
        return false;
    delete thread;
    thread = nullptr;
    return true;
}

std::vector<Row> DownloadHost::Rows(CDownloadThread* thread, int listId)
{
    std::vector<Row> rows;
    HWND list = GetDlgItem(Window(thread), listId);
    if (!list)
        return rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        Row row;
        for (int column : {0, 2}) {
            wchar_t text[512] = {};
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 512;
            SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            (column == 0 ? row.name : row.status) = text;
        }
        rows.push_back(row);
    }
    return rows;
}

PromptAnswerer::PromptAnswerer(int buttonId, bool applyAll) : m_button(buttonId), m_applyAll(applyAll)
{
    m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

PromptAnswerer::~PromptAnswerer()
{
    m_stop = true;
    WaitForSingleObject(m_thread, 5000);
    CloseHandle(m_thread);
}

DWORD WINAPI PromptAnswerer::Run(LPVOID param)
{
    PromptAnswerer* self = static_cast<PromptAnswerer*>(param);
    while (!self->m_stop) {
        HWND prompt = FindWindowW(L"#32770", L"Corvane IXO FileDuplicateDlg");
        if (prompt && IsWindowVisible(prompt)) {
            Sleep(50);
            if (self->m_applyAll)
                SendMessageW(GetDlgItem(prompt, 10019), BM_SETCHECK, BST_CHECKED, 0);
            uitest::ClickButton(prompt, self->m_button);
            ++self->m_count;
            uitest::WaitForWindowGone(prompt, 3000);
        }
        Sleep(20);
    }
    return 0;
}

}
