// The upload tests' host.
#include <winsock2.h>
#include "UploadHost.h"
#include "Library.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <cstring>

namespace uploadtest {

namespace {

OwnerLog g_owner;
TaskbarLog g_taskbar;
std::mutex g_wakeLock;
std::vector<EXECUTION_STATE> g_wake;

LRESULT CALLBACK OwnerProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_UPLOAD_DONE:
        g_owner.lastDoneData = wParam;
        ++g_owner.done;
        return 0;
    case WM_UPLOAD_THREAD_EXIT:
        ++g_owner.exits;
        return 0;
    case WM_UPLOAD_APPROVAL: {
        std::lock_guard<std::mutex> lock(g_owner.lock);
        g_owner.approvals.push_back(reinterpret_cast<const wchar_t*>(wParam));
        return 0;
    }
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
    void Flash(HWND, bool start) override
    {
        if (start)
            ++g_taskbar.flashes;
    }
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

}

OwnerLog& Owner()
{
    return g_owner;
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

void UploadHost::SetUp()
{
    RoadTest::SetUp();
    ASSERT_TRUE(ToviInterfaceInit());
    g_owner.done = 0;
    g_owner.exits = 0;
    g_owner.lastDoneData = 0;
    g_owner.approvals.clear();
    g_taskbar.errors = 0;
    g_taskbar.flashes = 0;
    g_taskbar.lastValue = 0;
    {
        std::lock_guard<std::mutex> lock(g_wakeLock);
        g_wake.clear();
    }
    CTransferTaskbar::SetFactory(MakeRecordingTaskbar);
    CUploadDlg::SetExecutionStateHook(RecordWake);
    UseLanguage(9);
    ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
    ASSERT_EQ("OK", Control("OPTION A1 159=1").substr(0, 2));
    ASSERT_EQ(0, m_proto.GetOption());
    m_myFiles = TopFolder(m_proto, L"My Files");
    ASSERT_FALSE(m_myFiles.empty());
    std::strcpy(m_proto.RetryCount, "2");
    std::strcpy(m_proto.RetryTimeout, "1");
    m_ui.Run([this] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"UploadOwner";
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, L"UploadOwner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                  nullptr);
    });
    ASSERT_NE(nullptr, m_owner);
}

void UploadHost::TearDown()
{
    m_ui.Run([this] {
        if (IsWindow(m_owner))
            DestroyWindow(m_owner);
    });
    CTransferTaskbar::SetFactory(nullptr);
    CUploadDlg::SetExecutionStateHook(nullptr);
    ToviInterfaceTerm();
    RoadTest::TearDown();
}

void UploadHost::UseLanguage(unsigned short language)
{
    // The language lives in the product's key, which an installed product has.
    HKEY product = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varivivod\\VariruDAD", 0, nullptr, 0, KEY_WRITE, nullptr, &product,
                    nullptr);
    if (product)
        RegCloseKey(product);
    EXPECT_TRUE(CToviRegistry::SetLanguage(0, language));
    unsigned short stored = 0;
    EXPECT_TRUE(CToviRegistry::GetLanguage(0, &stored));
    EXPECT_EQ(language, stored);
}

_UPLOADINFO UploadHost::Item(const std::wstring& path, bool folder, DWORD_PTR data)
{
    _UPLOADINFO item = {};
    item.LocalPath = path.c_str();
    std::strncpy(item.FirstId, m_myFiles.c_str(), sizeof item.FirstId - 1);
    std::strcpy(item.SecondId, "1");
    item.ItemData = data;
    item.Attributes = folder ? UPLOADINFO_FOLDER : 0;
    return item;
}

CUploadThread* UploadHost::Start(std::vector<_UPLOADINFO> items)
{
    CUploadThread* thread = static_cast<CUploadThread*>(
        AfxBeginThread(RUNTIME_CLASS(CUploadThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!thread)
        return nullptr;
    _PROTO_FOLDER_INFO folder = {};
    std::strncpy(folder.IDX, m_myFiles.c_str(), sizeof folder.IDX - 1);
    thread->SetUploadInfo(m_owner, &folder, items, &m_proto);
    EXPECT_TRUE(items.empty()) << "the items are handed over";
    thread->ResumeThread();
    uitest::WaitUntil([&] { return thread->m_dlg.GetSafeHwnd() != nullptr; }, 10000);
    return thread;
}

std::wstring UploadHost::CancelText(CUploadThread* thread)
{
    HWND wnd = Window(thread);
    return wnd ? uitest::GetText(GetDlgItem(wnd, IDCANCEL)) : std::wstring();
}

bool UploadHost::WaitForRunEnd(CUploadThread* thread, DWORD timeoutMs)
{
    return uitest::WaitUntil([&] { return CancelText(thread) == L"Exit" || CancelText(thread) == L"종료"; },
                             timeoutMs);
}

void UploadHost::Finish(CUploadThread*& thread)
{
    if (!thread)
        return;
    // A run with failures shows its result list first; the user closes it.
    for (const wchar_t* title : {L"Upload Results", L"업로드 결과"}) {
        if (HWND list = uitest::FindTopWindow(L"#32770", title)) {
            uitest::ClickButton(list, IDOK);
            uitest::WaitForWindowGone(list);
        }
    }
    if (HWND wnd = Window(thread))
        uitest::ClickButton(wnd, IDCANCEL);
    WaitForExit(thread, 20000);
}

bool UploadHost::WaitForExit(CUploadThread*& thread, DWORD timeoutMs)
{
    if (!thread)
        return true;
    const bool ended = uitest::WaitUntil([&] { return WaitForSingleObject(thread->m_hThread, 0) == WAIT_OBJECT_0; },
                                         timeoutMs);
    EXPECT_TRUE(ended) << "the upload thread did not end";
    if (!ended)
        return false;
    delete thread;
    thread = nullptr;
    return true;
}

std::vector<Row> UploadHost::Rows(CUploadThread* thread, int listId)
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

std::string UploadHost::ServerItem(const std::string& path)
{
    return Control("ITEM user=road -- My Files/" + path);
}

std::vector<_PROTO_FOLDER_INFO> UploadHost::ListPath(const std::vector<std::wstring>& folders)
{
    std::string idx = m_myFiles;
    std::vector<_PROTO_FOLDER_INFO> items = ListAll(m_proto, idx, "1");
    for (const std::wstring& name : folders) {
        const _PROTO_FOLDER_INFO* folder = Find(items, name.c_str());
        if (!folder)
            return {};
        idx = folder->IDX;
        items = ListAll(m_proto, idx, "1");
    }
    return items;
}

::testing::AssertionResult UploadHost::ServerHoldsSame(const std::vector<_PROTO_FOLDER_INFO>& listing, const wchar_t* name,
                                 const std::wstring& local)
{
    const _PROTO_FOLDER_INFO* item = Find(listing, name);
    if (!item)
        return ::testing::AssertionFailure() << "the server lists no such file";
    const _PROTO_FOLDER_INFO copy = *item;
    const std::wstring back = Scratch((std::wstring(L"back-") + name).c_str());
    DeleteFileW(back.c_str());
    if (Download(m_proto, copy, back) != 0)
        return ::testing::AssertionFailure() << "the server's copy could not be downloaded";
    return road::SameFile(local, back);
}

bool UploadHost::Saw(const char* command)
{
    return Control(std::string("LAST cmd=") + command).compare(0, 2, "OK") == 0;
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
