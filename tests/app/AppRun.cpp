// The end-to-end tests' side of the program.
#include "AppRun.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <shlobj.h>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <sstream>

namespace apprun {

const char kUser[] = "demo";
const char kPassword[] = "demo1234";

namespace {

const wchar_t kAppKey[] = L"Software\\로컬 응용 프로그램 마법사에서 생성된 응용 프로그램\\CorvaneIXO";
const wchar_t kProductRoot[] = L"Software\\Varivivod";

bool ReadAppPorts(protoserver::Ports& ports)
{
    FILE* file = _wfopen(L"T:\\app-server\\ports", L"r");
    if (!file)
        return false;
    const int n = fscanf(file, "%d %d", &ports.port, &ports.control);
    fclose(file);
    return n == 2;
}

std::wstring ProgramPath()
{
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path(own);
    const size_t slash = path.find_last_of(L"\\/");
    return path.substr(0, slash + 1) + L"CorvaneIXO.exe";
}

struct Search {
    const wchar_t* className;
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND wnd, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    wchar_t name[256] = {};
    if (!::IsWindowVisible(wnd) || !::GetClassNameW(wnd, name, 256))
        return TRUE;
    if (search->className && ::lstrcmpiW(name, search->className) != 0)
        return TRUE;
    if (search->title && TextOf(wnd) != search->title)
        return TRUE;
    search->found.push_back(wnd);
    return TRUE;
}

BOOL CALLBACK CollectText(HWND wnd, LPARAM param)
{
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(TextOf(wnd));
    return TRUE;
}

}

std::vector<HWND> FindWindows(const wchar_t* className, const wchar_t* title)
{
    Search search = {className, title, {}};
    ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TextOf(HWND wnd)
{
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
    return text;
}

std::vector<std::wstring> ChildTexts(HWND wnd)
{
    std::vector<std::wstring> texts;
    ::EnumChildWindows(wnd, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

HWND FindDescendant(HWND parent, int id)
{
    struct Find {
        int id;
        HWND found;
        static BOOL CALLBACK Each(HWND wnd, LPARAM param)
        {
            Find* self = reinterpret_cast<Find*>(param);
            if (::GetDlgCtrlID(wnd) == self->id) {
                self->found = wnd;
                return FALSE;
            }
            return TRUE;
        }
    } find = {id, nullptr};
    ::EnumChildWindows(parent, Find::Each, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND WaitForDialogWith(int childId, DWORD timeoutMs)
{
    HWND found = nullptr;
    uitest::WaitUntil([&] {
        for (HWND dialog : FindWindows(L"#32770", nullptr)) {
            if (::GetDlgItem(dialog, childId) != nullptr) {
                found = dialog;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return found;
}

bool SetControlText(HWND dialog, int id, const wchar_t* text)
{
    HWND control = ::GetDlgItem(dialog, id);
    DWORD_PTR result = 0;
    return control != nullptr &&
           ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                                 &result) != 0;
}

void Click(HWND dialog, int id)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

LRESULT RemoteSend(HWND wnd, UINT message, WPARAM wParam, std::vector<BYTE>& buffer,
                   const std::function<void(BYTE* remote, std::vector<BYTE>& buffer)>& place)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return 0;
    LRESULT result = 0;
    auto* remote = static_cast<BYTE*>(::VirtualAllocEx(process, nullptr, buffer.size(), MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        if (place)
            place(remote, buffer);
        ::WriteProcessMemory(process, remote, buffer.data(), buffer.size(), nullptr);
        DWORD_PTR answer = 0;
        if (::SendMessageTimeoutW(wnd, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 10000,
                                  &answer))
            result = static_cast<LRESULT>(answer);
        ::ReadProcessMemory(process, remote, buffer.data(), buffer.size(), nullptr);
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return result;
}

namespace {

constexpr size_t kTextChars = 260;

// A text request: the item structure, then room for the text that its pointer names.
template <typename Item>
std::wstring RemoteText(HWND wnd, UINT message, WPARAM wParam, Item item, LPWSTR Item::*text, int Item::*room)
{
    std::vector<BYTE> buffer(sizeof(Item) + kTextChars * sizeof(wchar_t), 0);
    item.*room = static_cast<int>(kTextChars);
    const LRESULT ok = RemoteSend(wnd, message, wParam, buffer, [&](BYTE* remote, std::vector<BYTE>& b) {
        item.*text = reinterpret_cast<wchar_t*>(remote + sizeof(Item));
        std::memcpy(b.data(), &item, sizeof item);
    });
    if (!ok)
        return std::wstring();
    const auto* chars = reinterpret_cast<const wchar_t*>(buffer.data() + sizeof(Item));
    return std::wstring(chars, wcsnlen(chars, kTextChars));
}

}

std::wstring RemoteListText(HWND list, int row, int column)
{
    LVITEMW item = {};
    item.iSubItem = column;
    // LVM_GETITEMTEXTW answers the length, which is 0 for an empty cell: read the text itself.
    std::vector<BYTE> buffer(sizeof(LVITEMW) + kTextChars * sizeof(wchar_t), 0);
    item.cchTextMax = static_cast<int>(kTextChars);
    RemoteSend(list, LVM_GETITEMTEXTW, row, buffer, [&](BYTE* remote, std::vector<BYTE>& b) {
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        std::memcpy(b.data(), &item, sizeof item);
    });
    const auto* chars = reinterpret_cast<const wchar_t*>(buffer.data() + sizeof(LVITEMW));
    return std::wstring(chars, wcsnlen(chars, kTextChars));
}

std::wstring RemoteColumnText(HWND list, int column)
{
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT;
    return RemoteText(list, LVM_GETCOLUMNW, column, info, &LVCOLUMNW::pszText, &LVCOLUMNW::cchTextMax);
}

std::wstring RemoteTreeText(HWND tree, HTREEITEM handle)
{
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = handle;
    return RemoteText(tree, TVM_GETITEMW, 0, item, &TVITEMW::pszText, &TVITEMW::cchTextMax);
}

HTREEITEM RemoteTreeChild(HWND tree, HTREEITEM parent, const std::wstring& name)
{
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
        if (RemoteTreeText(tree, item) == name)
            return item;
    return nullptr;
}

RECT RemoteListRowRect(HWND list, int row)
{
    RECT rect = {LVIR_BOUNDS, 0, 0, 0};
    std::vector<BYTE> buffer(sizeof rect);
    std::memcpy(buffer.data(), &rect, sizeof rect);
    if (!RemoteSend(list, LVM_GETITEMRECT, row, buffer))
        return RECT{};
    std::memcpy(&rect, buffer.data(), sizeof rect);
    return rect;
}

int RemoteListRow(HWND list, const std::wstring& name)
{
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        if (RemoteListText(list, row, 0) == name)
            return row;
    return -1;
}

bool ChooseFromMenuAt(HWND frame, HWND control, POINT at, int position, const std::wstring& shot)
{
    POINT screen = at;
    ::ClientToScreen(control, &screen);
    ::SetForegroundWindow(frame);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    ::PostMessageW(control, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    HWND menu = nullptr;
    if (!uitest::WaitUntil([&] {
            menu = ::FindWindowW(L"#32768", nullptr);
            return menu && ::IsWindowVisible(menu);
        }, 10000))
        return false;
    if (!shot.empty()) {
        ::Sleep(400);   // let the menu paint
        uitest::SaveScreenPng(shot);
    }
    // Another process's menu cannot be read here: the keys walk it as a user would.
    for (int i = 0; i < position; ++i)
        ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, position > 0 ? VK_RETURN : VK_ESCAPE, 0);
    return true;
}

RECT RemoteTreeItemRect(HWND tree, HTREEITEM item)
{
    ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RECT rect = {};
    *reinterpret_cast<HTREEITEM*>(&rect) = item;
    std::vector<BYTE> buffer(sizeof rect);
    std::memcpy(buffer.data(), &rect, sizeof rect);
    if (!RemoteSend(tree, TVM_GETITEMRECT, TRUE, buffer))
        return RECT{};
    std::memcpy(&rect, buffer.data(), sizeof rect);
    return rect;
}

bool ChooseFromTreeMenu(HWND frame, HWND tree, HTREEITEM item, int position)
{
    const RECT rect = RemoteTreeItemRect(tree, item);
    if (::IsRectEmpty(&rect))
        return false;
    return ChooseFromMenuAt(frame, tree, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, position);
}

void ClickTreeItem(HWND tree, HTREEITEM item)
{
    const RECT rect = RemoteTreeItemRect(tree, item);
    ::SetForegroundWindow(::GetAncestor(tree, GA_ROOT));
    uitest::ClickWithMouse(tree, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    ::Sleep(300);
}

void TypeKeys(std::initializer_list<WORD> held, WORD key)
{
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD vk : held)
        add(vk, false);
    add(key, false);
    add(key, true);
    for (auto vk = std::rbegin(held); vk != std::rend(held); ++vk)
        add(*vk, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ::Sleep(300);
}

void MouseAt(POINT at, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    ::SendInput(1, &input, sizeof input);
}

POINT ScreenPoint(HWND wnd, const RECT& client)
{
    POINT at = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(wnd, &at);
    return at;
}

void DragWithMouse(POINT from, POINT to)
{
    MouseAt(from, 0);
    ::Sleep(100);
    MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    ::Sleep(200);
    const int dx = to.x > from.x ? 1 : -1, dy = to.y > from.y ? 1 : -1;
    for (int step = 1; step <= 4; ++step) {
        MouseAt({from.x + dx * 3 * step, from.y + dy * 3 * step}, 0);
        ::Sleep(60);
    }
    for (int step = 1; step <= 10; ++step) {
        MouseAt({from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10}, 0);
        ::Sleep(80);
    }
    ::Sleep(600);
    MouseAt(to, MOUSEEVENTF_LEFTUP);
    ::Sleep(300);
}

bool ChooseFromListMenu(HWND frame, HWND list, int row, int position, const std::wstring& shot)
{
    POINT at = {60, 0};
    if (row < 0) {
        RECT client = {};
        ::GetClientRect(list, &client);
        at.y = client.bottom - 8;
    } else {
        RECT rect = {LVIR_LABEL, 0, 0, 0};
        std::vector<BYTE> buffer(sizeof rect);
        std::memcpy(buffer.data(), &rect, sizeof rect);
        if (!RemoteSend(list, LVM_GETITEMRECT, row, buffer))
            return false;
        std::memcpy(&rect, buffer.data(), sizeof rect);
        at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    return ChooseFromMenuAt(frame, list, at, position, shot);
}

bool ClickListRow(HWND list, const std::wstring& name, DWORD timeoutMs)
{
    POINT at = {60, 0};
    if (name.empty()) {
        RECT client = {};
        ::GetClientRect(list, &client);
        at.y = client.bottom - 8;
    } else {
        int row = -1;
        if (!uitest::WaitUntil([&] { return (row = RemoteListRow(list, name)) >= 0; }, timeoutMs))
            return false;
        const RECT rect = RemoteListRowRect(list, row);
        at = {rect.left + 20, (rect.top + rect.bottom) / 2};
    }
    uitest::ClickWithMouse(list, at);
    ::Sleep(300);
    return true;
}

void DoubleClickRow(HWND list, int row)
{
    RECT rect = {LVIR_LABEL, 0, 0, 0};
    std::vector<BYTE> buffer(sizeof rect);
    std::memcpy(buffer.data(), &rect, sizeof rect);
    RemoteSend(list, LVM_GETITEMRECT, row, buffer);
    std::memcpy(&rect, buffer.data(), sizeof rect);
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(list, WM_LBUTTONUP, 0, at);
    ::PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageW(list, WM_LBUTTONUP, 0, at);
}

bool PutFilesOnClipboard(const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const std::wstring& path : paths)
        names += path + L'\0';
    names += L'\0';
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    if (!block)
        return false;
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(block);
    if (!::OpenClipboard(nullptr)) {
        ::GlobalFree(block);
        return false;
    }
    ::EmptyClipboard();
    const bool put = ::SetClipboardData(CF_HDROP, block) != nullptr;
    ::CloseClipboard();
    if (!put)
        ::GlobalFree(block);
    return put;
}

bool MenuClosed(DWORD timeoutMs)
{
    return uitest::WaitUntil([] {
        HWND menu = ::FindWindowW(L"#32768", nullptr);
        return menu == nullptr || !::IsWindowVisible(menu);
    }, timeoutMs);
}

std::wstring FromUtf8(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                        static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n : 0);
    return wide;
}

std::string SomeBytes(size_t count, unsigned seed)
{
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(seed >> 16);
    }
    return bytes;
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<HWND> TransferWindows(bool upload)
{
    std::vector<HWND> all;
    for (const wchar_t* title : upload ? std::vector<const wchar_t*>{L"Upload", L"업로드"}
                                       : std::vector<const wchar_t*>{L"Download", L"다운로드"}) {
        const std::vector<HWND> found = FindWindows(L"#32770", title);
        all.insert(all.end(), found.begin(), found.end());
    }
    return all;
}

bool TransferRunOver(HWND window)
{
    const std::wstring text = TextOf(::GetDlgItem(window, IDCANCEL));
    return text == L"Exit" || text == L"종료";
}

std::string AppRoadTest::ServerBytes(const std::string& path)
{
    const std::string reply = Control("ITEM user=demo -- My Files/" + path);
    // The content's path ends the reply and may hold spaces.
    const size_t tag = reply.rfind(" path=");
    const std::string content = tag == std::string::npos ? std::string() : reply.substr(tag + 6);
    const size_t at = content.find("/app-server/");
    if (at == std::string::npos)
        return "<missing: " + reply + ">";
    std::wstring windows = L"T:" + FromUtf8(content.substr(at));
    for (wchar_t& c : windows)
        if (c == L'/')
            c = L'\\';
    return ReadWholeFile(windows);
}

std::string AppRoadTest::Idx(const std::string& path)
{
    return protoserver::Control::Value(Control("ITEM user=demo -- " + path), "idx");
}

std::wstring AppRoadTest::BoxText(HWND box)
{
    std::wstring all;
    for (const std::wstring& text : ChildTexts(box))
        all += text + L"\n";
    return all;
}

void AppRoadTest::SetUp()
{
    ASSERT_TRUE(ReadAppPorts(m_ports)) << "no test server ports under T:\\app-server";
    ASSERT_TRUE(m_control.Connect(m_ports.control));
    ASSERT_EQ("OK", Control("RESET").substr(0, 2));
    ASSERT_EQ("OK", Control(std::string("USER id=") + kUser + " password=" + kPassword + " name=Demo%20User")
                        .substr(0, 2));
    Control("EXPIRE user=demo");
    // A program left over from elsewhere would hold the single-instance lock and take every
    // launch here for a second one.
    if (HWND leftover = ::FindWindowW(L"CorvaneIXO", nullptr)) {
        ::PostMessageW(leftover, WM_COMMAND, 1004, 0);
        ASSERT_TRUE(uitest::WaitUntil([] { return ::FindWindowW(L"CorvaneIXO", nullptr) == nullptr; }, 20000))
            << "a CorvaneIXO of an earlier run is still running";
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProductRoot);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
}

void AppRoadTest::EndProcess()
{
    if (m_process.hProcess) {
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.hProcess, 9);
            ::WaitForSingleObject(m_process.hProcess, 5000);
        }
        ::CloseHandle(m_process.hProcess);
        ::CloseHandle(m_process.hThread);
        m_process = {};
    }
}

void AppRoadTest::TearDown()
{
    EndProcess();
    Control("RESET");
    Control("EXPIRE user=demo");
}

void AppRoadTest::StoreServer()
{
    ASSERT_TRUE(CToviRegistry::SetServerAddress(0, L"127.0.0.1", m_ports.port, L""));
}

void AppRoadTest::StoreAutoLogin()
{
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 1, 1, CString(kUser), CString(kPassword), L""));
}

bool AppRoadTest::Launch(const wchar_t* arguments)
{
    std::wstring line = L"\"" + ProgramPath() + L"\" " + arguments;
    STARTUPINFOW startup = {sizeof(startup)};
    return ::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_process) != FALSE;
}

int AppRoadTest::LaunchAndWait(const wchar_t* arguments, DWORD timeoutMs)
{
    std::wstring line = L"\"" + ProgramPath() + L"\" " + arguments;
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION other = {};
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &other))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(other.hProcess, timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(other.hProcess, &code);
    else
        ::TerminateProcess(other.hProcess, 9);
    ::CloseHandle(other.hProcess);
    ::CloseHandle(other.hThread);
    return static_cast<int>(code);
}

_PROTO_FOLDER_INFO ServerItem(const char* type, const std::string& idx, const std::wstring& name, const char* size)
{
    _PROTO_FOLDER_INFO record = {};
    std::strcpy(record.ItemType, type);
    std::strncpy(record.IDX, idx.c_str(), sizeof record.IDX - 1);
    std::strcpy(record.DIDX, "1");
    std::strcpy(record.Attr192, size);
    std::strcpy(record.Attr231, "000000000000");
    std::strcpy(record.Attr189, "1111111111110010000000000000000");
    wcsncpy(record.Name, name.c_str(), _countof(record.Name) - 1);
    return record;
}

std::string PermissionsAllowing(std::initializer_list<int> allowed)
{
    std::string text(31, '0');
    for (int flag : allowed)
        text[static_cast<size_t>(flag)] = '1';
    return text;
}

int ListRowCount(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring MakeDocumentsFolder(const std::wstring& name)
{
    wchar_t documents[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents)))
        return std::wstring();
    const std::wstring path = std::wstring(documents) + L"\\" + name;
    return ::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS ? path : std::wstring();
}

MainPanes PanesOf(HWND frame)
{
    constexpr int kMenuBar = 132, kSplitter = 0xE900;
    constexpr int kServerTreePane = 0xE900, kServerListPane = 0xE901, kLocalTreePane = 0xE910, kLocalListPane = 0xE911;
    constexpr int kLocalTreeId = 28001, kLocalListId = 28002;
    MainPanes panes;
    HWND splitter = frame ? ::GetDlgItem(frame, kSplitter) : nullptr;
    if (!splitter)
        return panes;
    panes.bar = ::GetDlgItem(frame, kMenuBar);
    panes.serverTree = ::FindWindowExW(::GetDlgItem(splitter, kServerTreePane), nullptr, WC_TREEVIEWW, nullptr);
    panes.serverList = ::FindWindowExW(::GetDlgItem(splitter, kServerListPane), nullptr, WC_LISTVIEWW, nullptr);
    panes.localTree = ::GetDlgItem(::GetDlgItem(splitter, kLocalTreePane), kLocalTreeId);
    panes.localList = ::GetDlgItem(::GetDlgItem(splitter, kLocalListPane), kLocalListId);
    return panes;
}

HWND AppRoadTest::LaunchShowing(unsigned short language, const std::wstring& localPath)
{
    StoreServer();
    StoreAutoLogin();
    CString server, local = localPath.c_str();
    if (!CToviRegistry::SetLanguage(0, language) || !CToviRegistry::SetLastFullPath(server, local)) {
        ADD_FAILURE() << "the language or the last paths could not be stored";
        return nullptr;
    }
    if (!Launch()) {
        ADD_FAILURE() << "the program did not start";
        return nullptr;
    }
    return WaitForMainWindow();
}

HWND AppRoadTest::WaitForMainWindow(DWORD timeoutMs)
{
    HWND found = nullptr;
    uitest::WaitUntil([&] {
        std::vector<HWND> windows = FindWindows(L"CorvaneIXO", nullptr);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr && !::IsIconic(found);
    }, timeoutMs);
    if (found == nullptr) {
        // What was on the screen instead.
        for (HWND wnd : FindWindows(nullptr, nullptr)) {
            wchar_t name[128] = {};
            ::GetClassNameW(wnd, name, 128);
            ADD_FAILURE() << "visible: [" << CStringA(name).GetString() << "] ["
                          << CStringA(TextOf(wnd).c_str()).GetString() << "]";
        }
    }
    return found;
}

HWND AppRoadTest::WaitForBox(DWORD timeoutMs)
{
    HWND found = nullptr;
    uitest::WaitUntil([&] {
        std::vector<HWND> boxes = FindWindows(L"#32770", L"Corvane IXO MessageBox");
        found = boxes.empty() ? nullptr : boxes.front();
        return found != nullptr;
    }, timeoutMs);
    return found;
}

void AppRoadTest::AnswerBox(HWND box)
{
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    uitest::WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 5000);
}

bool AppRoadTest::ExitFromTray(DWORD timeoutMs)
{
    std::vector<HWND> frames = FindWindows(L"CorvaneIXO", nullptr);
    HWND frame = frames.empty() ? ::FindWindowW(L"CorvaneIXO", nullptr) : frames.front();
    if (frame == nullptr) {
        ADD_FAILURE() << "no main window to exit from; the program has "
                      << (WaitForExit(0) ? "ended already" : "no frame but still runs");
        return false;
    }
    ::PostMessageW(frame, WM_COMMAND, 1004, 0);
    if (WaitForExit(timeoutMs))
        return true;
    ADD_FAILURE() << "the program did not end within " << timeoutMs << " ms of the tray's exit"
                  << (::IsWindow(frame) ? "; its main window is still there" : "; its main window is gone");
    // What kept the program: the windows it still shows.
    for (HWND wnd : FindWindows(nullptr, nullptr)) {
        wchar_t name[128] = {};
        ::GetClassNameW(wnd, name, 128);
        ADD_FAILURE() << "still shown: [" << CStringA(name).GetString() << "] ["
                      << CStringA(TextOf(wnd).c_str()).GetString() << "]";
    }
    return false;
}

bool AppRoadTest::WaitForExit(DWORD timeoutMs)
{
    return m_process.hProcess && ::WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

int AppRoadTest::RequestCount(const char* command)
{
    if (command)
        return std::atoi(protoserver::Control::Value(Control(std::string("COUNT cmd=") + command), "requests").c_str());
    return std::atoi(protoserver::Control::Value(Control("COUNT"), "exchanges").c_str());
}

bool AppRoadTest::WaitForQuietServer(const char* command, DWORD quietMs, DWORD timeoutMs)
{
    return uitest::WaitUntilSteady([&] { return std::to_string(RequestCount(command)); }, quietMs, timeoutMs);
}

bool AppRoadTest::WaitForIdleWindow(HWND window, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    // Twice: what the first round's handlers posted is handled by the second.
    for (int round = 0; round < 2; ++round) {
        if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result))
            return false;
    }
    return true;
}

int AppRoadTest::LastConnection(const char* command)
{
    const std::string reply = Control(std::string("LAST cmd=") + command);
    if (reply.compare(0, 2, "OK") != 0)
        return -1;
    return std::atoi(protoserver::Control::Value(reply, "conn").c_str());
}

bool AppRoadTest::SideLogin(protoserver::TestProto& proto)
{
    proto.Aim(m_ports.port);
    if (proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, proto.ServerAddress.nPort, proto.ServerAddress.szCode,
                            PROT_CMD('B', '0')) != 0) {
        ADD_FAILURE() << "no connection for a side session";
        return false;
    }
    if (proto.GetLoginInfo(L"1", CString(kUser), CString(kPassword), const_cast<char*>("ko"), const_cast<char*>("N"),
                           const_cast<char*>("2"), false, CString(), nullptr) != 0) {
        ADD_FAILURE() << "side log-in refused: " << CStringA(proto.Message().c_str()).GetString();
        return false;
    }
    return true;
}

std::vector<std::string> AppRoadTest::Sessions()
{
    std::istringstream words(Control(std::string("SESSIONS user=") + kUser));
    std::vector<std::string> sessions;
    std::string word;
    words >> word;   // OK
    while (words >> word)
        sessions.push_back(word);
    return sessions;
}


void UpdateSiteTest::SetUp()
{
    AppRoadTest::SetUp();
    ASSERT_NE(0, testpaths::FixturePort()) << "the HTTP fixture is not running";
    m_name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::wstring wide(m_name.begin(), m_name.end());
    m_www = testpaths::FixtureDir() + L"\\www\\" + wide;
    std::wstring dir = m_www;
    for (const wchar_t* part : {L"", L"\\control", L"\\app"}) {
        dir += part;
        ::CreateDirectoryW(dir.c_str(), nullptr);
    }
    m_install = testpaths::ScratchDir(wide.c_str());
}

void UpdateSiteTest::TearDown()
{
    Control("OPTION A2 236=-");
    ::DeleteFileW((m_www + L"\\control\\app\\Update.ini").c_str());
    AppRoadTest::TearDown();
}

void UpdateSiteTest::ServeUpdates()
{
    ASSERT_EQ("OK", Control("OPTION A2 236=http://127.0.0.1:" + std::to_string(testpaths::FixturePort()) + "/" +
                            m_name).substr(0, 2));
}

void UpdateSiteTest::WriteDescription(const std::string& ini)
{
    std::ofstream((m_www + L"\\control\\app\\Update.ini").c_str(), std::ios::binary | std::ios::trunc) << ini;
}

bool UpdateSiteTest::StoreInstallDir(const std::wstring& folder)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varivivod\\VariruDAD", 0, nullptr, 0, KEY_WRITE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG written = ::RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                          static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

}
