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

MainLog g_main;

LRESULT CALLBACK MainProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DOWNLOAD_THREAD_EXIT) {
        ++g_main.exits;
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
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

void DownloadHost::SetUp()
{
    TransferHost::SetUp();
    if (HasFatalFailure())
        return;
    g_main.exits = 0;
    ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
    std::strcpy(m_proto.RetryCount, "2");
    std::strcpy(m_proto.RetryTimeout, "1");
    m_dest = Scratch(L"dest");
    CreateDirectoryW(m_dest.c_str(), nullptr);
    CreateOwner(MainProc, L"DownloadMain");
}

void DownloadHost::TearDown()
{
    TransferHost::TearDown();
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
    thread->SetDownloadInfo(this, m_owner, items, &m_proto);
    EXPECT_TRUE(items.empty()) << "the items are handed over";
    thread->ResumeThread();
    uitest::WaitUntil([&] { return thread->m_dlg.GetSafeHwnd() != nullptr; }, 10000);
    return thread;
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

}
