// The upload tests' host.
#include <winsock2.h>
#include "UploadHost.h"
#include "Library.h"
#include "ToviRegistry.h"
#include "TransferRes.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <cstring>
#include <cwchar>

namespace uploadtest {

namespace {

OwnerLog g_owner;

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

}

OwnerLog& Owner()
{
    return g_owner;
}

void UploadHost::SetUp()
{
    TransferHost::SetUp();
    if (HasFatalFailure())
        return;
    g_owner.done = 0;
    g_owner.exits = 0;
    g_owner.lastDoneData = 0;
    g_owner.approvals.clear();
    ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
    ASSERT_EQ("OK", Control("OPTION A1 159=1").substr(0, 2));
    ASSERT_EQ(0, m_proto.GetOption());
    m_myFiles = TopFolder(m_proto, L"My Files");
    ASSERT_FALSE(m_myFiles.empty());
    std::strcpy(m_proto.RetryCount, "2");
    std::strcpy(m_proto.RetryTimeout, "1");
    CreateOwner(OwnerProc, L"UploadOwner");
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

::testing::AssertionResult UploadHost::MidFile(HWND window, const wchar_t* name, DWORD timeoutMs)
{
    HWND bar = GetDlgItem(window, IDC_UPLOAD_PROGRESS_FILE);
    wchar_t text[512] = L"";
    LRESULT percent = 0;
    const bool seen = uitest::WaitUntil(
        [&] {
            GetWindowTextW(bar, text, 512);
            percent = SendMessageW(bar, PBM_GETPOS, 0, 0);
            return std::wcsstr(text, name) != nullptr && percent > 0 && percent < 100;
        },
        timeoutMs);
    if (seen)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the file bar last read \"" << Utf8(text) << "\" at " << percent << "%";
}

}
