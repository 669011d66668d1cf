// The local folder tree and file list in a host window over the prefix's own disk: the tree's
// show rules, the list's rows with size and date texts, sorting, the shell's copy, move, delete
// and rename through the panes' keys, the clipboard as other programs write and read it, and the
// drop targets with real data objects.
#include "ClientLeftView.h"
#include "ClientRightView.h"
#include "FileUtils.h"
#include "LocalShell.h"
#include "OleDataObject.h"
#include "OleDataSource.h"
#include "ServerClipboard.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "WindowDriver.h"
#include "Wnd.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <shlobj.h>
#include <string>
#include <vector>

namespace {

_PROTO_FOLDER_INFO UploadFolder()
{
    _PROTO_FOLDER_INFO folder = {};
    strcpy(folder.ItemType, "D");
    strcpy(folder.IDX, "4711");
    strcpy(folder.DIDX, "12");
    memset(folder.Attr189, '1', 31);
    return folder;
}

class FakeHost : public ILocalFrameHost {
public:
    void SetMenuButtonState(const ServerMenuState& s) override { menu = s; ++menuUpdates; }
    bool IsUploadAllowed() override { return uploadAllowed; }
    void SetDownloadTarget(bool t) override { downloadTarget = t; }
    bool IsLabelEditing() override { return editing; }
    void SetLabelEditing(bool e) override { editing = e; }
    void SetActivePane(int, int) override {}
    void ClearCutMarks() override { ++cutClears; }
    void SetDragSource(const CString& t) override { dragSource = t; }
    CString GetDragSource() override { return dragSource; }
    _PROTO_FOLDER_INFO* ServerTarget(HTREEITEM* item) override
    {
        *item = reinterpret_cast<HTREEITEM>(0x5150);
        return uploadAllowed ? &serverFolder : nullptr;
    }
    void Upload(_PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items) override
    {
        EXPECT_EQ(&serverFolder, folder);
        uploads.insert(uploads.end(), items.begin(), items.end());
    }
    void Download(std::vector<_DOWNLOADINFO>& items, HTREEITEM localItem) override
    {
        downloads.insert(downloads.end(), items.begin(), items.end());
        downloadItem = localItem;
    }

    // The server side: a folder that takes uploads, once uploadAllowed is set.
    bool uploadAllowed = false;
    _PROTO_FOLDER_INFO serverFolder = UploadFolder();
    std::vector<_UPLOADINFO> uploads;
    std::vector<_DOWNLOADINFO> downloads;
    HTREEITEM downloadItem = nullptr;
    ServerMenuState menu;
    int menuUpdates = 0, cutClears = 0;
    bool downloadTarget = false, editing = false;
    CString dragSource;
};

class CHostWnd : public CWnd {};

std::vector<FILEOP_FLAGS> g_flags;
// The shell's own operation, but without its confirmation dialogs (nobody answers them here).
int QuietOperation(SHFILEOPSTRUCTW* op)
{
    g_flags.push_back(op->fFlags);
    op->fFlags |= FOF_NOCONFIRMATION | FOF_SILENT;
    return ::SHFileOperationW(op);
}

std::wstring Documents()
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path);
    return path;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::wstring& path, size_t size)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << "cannot write the fixture";
    std::string bytes(size, 'x');
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    SYSTEMTIME local = {2016, 7, 0, 3, 9, 5, 0, 0};
    FILETIME localTime, utc;
    ::SystemTimeToFileTime(&local, &localTime);
    ::LocalFileTimeToFileTime(&localTime, &utc);
    ::SetFileTime(file, nullptr, nullptr, &utc);
    ::CloseHandle(file);
}

// The shell's folder target as Windows answers it: a file-system folder takes the proposed effect.
// (Wine's own targets refuse plain file lists.)
DWORD FolderAcceptsFiles(LPCITEMIDLIST absolute, IDataObject*, DWORD, DWORD proposed)
{
    return ShellItemPath(absolute).IsEmpty() ? DROPEFFECT_NONE : proposed;
}

void UseLanguage(unsigned short language)
{
    // The language lives in the product's key, which an installed product has.
    HKEY product = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varivivod\\VariruDAD", 0, nullptr, 0, KEY_WRITE, nullptr, &product,
                      nullptr);
    if (product)
        ::RegCloseKey(product);
    EXPECT_TRUE(CToviRegistry::SetLanguage(0, language));
    CToviTextLanguage::SetThreadLanguage(language);
}

// A key as the user presses it: the thread's key state says which modifiers are down.
void Press(HWND wnd, UINT vk, std::initializer_list<int> held = {})
{
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    for (int key : held)
        state[key] = state[key == VK_LCONTROL ? VK_CONTROL : (key == VK_LSHIFT ? VK_SHIFT : key)] = 0x80;
    ::SetKeyboardState(state);
    ::SendMessageW(wnd, WM_KEYDOWN, vk, 1);
    ::SendMessageW(wnd, WM_KEYUP, vk, 0xC0000001);
    BYTE clear[256] = {};
    ::SetKeyboardState(clear);
}

// The clipboard as another program writes it: CF_HDROP and, for a cut, the move effect.
void PutFilesOnClipboard(const std::vector<std::wstring>& paths, DWORD effect)
{
    std::wstring names;
    for (const auto& p : paths) {
        names += p;
        names.push_back(L'\0');
    }
    names.push_back(L'\0');
    HGLOBAL drop = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(::GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(drop);
    HGLOBAL effectBlock = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    *static_cast<DWORD*>(::GlobalLock(effectBlock)) = effect;
    ::GlobalUnlock(effectBlock);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::SetClipboardData(CF_HDROP, drop);
    ::SetClipboardData(::RegisterClipboardFormatW(L"Preferred DropEffect"), effectBlock);
    ::CloseClipboard();
}

// The clipboard as another program reads it: the paths and the preferred effect (0: none given).
std::vector<std::wstring> FilesOnClipboard(DWORD& effect)
{
    std::vector<std::wstring> paths;
    effect = 0;
    if (!::OpenClipboard(nullptr))
        return paths;
    if (HDROP drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP))) {
        const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t name[MAX_PATH] = {};
            ::DragQueryFileW(drop, i, name, MAX_PATH);
            paths.push_back(name);
        }
    }
    if (HGLOBAL block = ::GetClipboardData(::RegisterClipboardFormatW(L"Preferred DropEffect"))) {
        if (auto* value = static_cast<DWORD*>(::GlobalLock(block))) {
            effect = *value;
            ::GlobalUnlock(block);
        }
    }
    ::CloseClipboard();
    return paths;
}

class LocalPanes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        UseLanguage(LANG_KOREAN);
        g_pShellFileOperation = &QuietOperation;
        g_pShellDropEffect = &FolderAcceptsFiles;
        g_flags.clear();
        m_root = Documents() + L"\\LocalPanes" + std::to_wstring(::GetCurrentProcessId());
        testpaths::RemoveTree(m_root);
        ASSERT_TRUE(::CreateDirectoryW(m_root.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW((m_root + L"\\Sub").c_str(), nullptr));
        WriteFile(m_root + L"\\a.txt", 1536);
        WriteFile(m_root + L"\\b10.txt", 20);
        WriteFile(m_root + L"\\b2.txt", 3000000);
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, L"Local panes", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                    1000, 560, nullptr, nullptr));
        m_left = new CClientLeftView();
        m_right = new CClientRightView();
        ASSERT_TRUE(m_left->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 320, 520), &m_host, 1));
        ASSERT_TRUE(m_right->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(322, 0, 980, 520), &m_host, 2));
        m_left->ShowLocalRoot(m_right, m_root.c_str(), &m_fake);
        m_tree = m_left->GetTree();
        m_list = m_right->GetList();
        uitest::PumpMessages();
    }
    void TearDown() override
    {
        m_host.DestroyWindow();
        uitest::PumpMessages();
        testpaths::RemoveTree(m_root);
        UseLanguage(LANG_KOREAN);
        ::OleUninitialize();
    }

    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < m_list->GetItemCount(); ++i)
            names.push_back(m_list->GetItemText(i, 0).GetString());
        return names;
    }
    int RowOf(const wchar_t* name) const
    {
        for (int i = 0; i < m_list->GetItemCount(); ++i)
            if (m_list->GetItemText(i, 0) == name)
                return i;
        return -1;
    }
    void SelectRows(std::initializer_list<const wchar_t*> names)
    {
        m_list->SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (const wchar_t* name : names) {
            const int row = RowOf(name);
            ASSERT_GE(row, 0) << "no row " << std::wstring(name).c_str();
            m_list->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
    HTREEITEM TreeChild(HTREEITEM parent, const std::wstring& name) const
    {
        for (HTREEITEM i = m_tree->GetChildItem(parent); i; i = m_tree->GetNextSiblingItem(i))
            if (std::wstring(m_tree->GetItemText(i).GetString()) == name)
                return i;
        return nullptr;
    }
    std::wstring ColumnText(int index) const
    {
        LVCOLUMNW column = {};
        wchar_t text[64] = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 64;
        m_list->GetColumn(index, &column);
        return text;
    }
    void ClickHeader(int column)
    {
        HWND header = reinterpret_cast<HWND>(::SendMessageW(m_list->m_hWnd, LVM_GETHEADER, 0, 0));
        RECT cell = {};
        ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&cell));
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(header, WM_LBUTTONUP, 0, at);
        uitest::PumpMessages();
    }

    std::wstring m_root;
    CHostWnd m_host;
    CClientLeftView* m_left = nullptr;
    CClientRightView* m_right = nullptr;
    CClientTreeCtrl* m_tree = nullptr;
    CClientListCtrl* m_list = nullptr;
    FakeHost m_fake;
};

LPITEMIDLIST Parse(const wchar_t* name)
{
    IShellFolder* desktop = nullptr;
    ::SHGetDesktopFolder(&desktop);
    LPITEMIDLIST pidl = nullptr;
    if (desktop) {
        desktop->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(name), nullptr, &pidl, nullptr);
        desktop->Release();
    }
    return pidl;
}

}

TEST_F(LocalPanes, TheTreeShowsTheNamespaceByItsShowRulesAndSelectsTheLastPath)
{
    HTREEITEM root = m_tree->GetRootItem();
    ASSERT_NE(nullptr, root);
    std::vector<LPITEMIDLIST> hidden;
    for (int csidl : {CSIDL_CONTROLS, CSIDL_NETWORK}) {
        LPITEMIDLIST pidl = nullptr;
        if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) && pidl)
            hidden.push_back(pidl);
    }
    for (const wchar_t* name : {L"::{26EE0668-A00A-44D7-9371-BEB064C98683}", L"::{031E4825-7B94-4dc3-B131-E946B44C8DD5}"})
        if (LPITEMIDLIST pidl = Parse(name))
            hidden.push_back(pidl);
    ASSERT_FALSE(hidden.empty()) << "the shell knows none of the hidden folders";
    int myComputers = 0, recycleBins = 0;
    std::vector<std::wstring> desktopNames;
    for (HTREEITEM child = m_tree->GetChildItem(root); child; child = m_tree->GetNextSiblingItem(child)) {
        _LOCAL_TREE_ITEM* record = m_tree->GetRecord(child);
        ASSERT_NE(nullptr, record);
        desktopNames.push_back(record->name);
        for (LPITEMIDLIST pidl : hidden)
            EXPECT_FALSE(SameShellItem(pidl, record->absolute)) << "shown: " << CString(record->name).GetString();
        myComputers += record->myComputer;
        recycleBins += record->recycleBin;
    }
    for (LPITEMIDLIST pidl : hidden)
        ::CoTaskMemFree(pidl);
    EXPECT_EQ(1, myComputers);
    // Wine's desktop also holds its own "/" folder; its Trash folder is the Recycle Bin.
    EXPECT_EQ(1, recycleBins);

    HTREEITEM computer = m_tree->FindMyComputer();
    ASSERT_NE(nullptr, computer);
    int drives = 0;
    for (HTREEITEM drive = m_tree->GetChildItem(computer); drive; drive = m_tree->GetNextSiblingItem(drive)) {
        const CString path = m_tree->GetItemPath(drive);
        ASSERT_FALSE(path.IsEmpty()) << "a child of My Computer without a path";
        const UINT type = ::GetDriveTypeW(path);
        EXPECT_NE(static_cast<UINT>(DRIVE_UNKNOWN), type) << path.GetString();
        EXPECT_NE(static_cast<UINT>(DRIVE_NO_ROOT_DIR), type) << path.GetString();
        ++drives;
    }
    EXPECT_GE(drives, 1);
    EXPECT_EQ(0, CString(m_root.c_str()).CompareNoCase(m_left->SelectedPath())) << m_left->SelectedPath().GetString();
    // Only folders are tree items; the scratch folder's one folder is its only child.
    HTREEITEM shown = m_tree->GetSelectedItem();
    m_tree->Expand(shown, TVE_EXPAND);
    EXPECT_NE(nullptr, TreeChild(shown, L"Sub"));
    EXPECT_EQ(nullptr, TreeChild(shown, L"a.txt"));
}

TEST_F(LocalPanes, TheListShowsTheFolderWithSizeAndDateTextsInKoreanAndEnglish)
{
    ASSERT_EQ((std::vector<std::wstring>{L"Sub", L"a.txt", L"b2.txt", L"b10.txt"}), Names());
    const int a = RowOf(L"a.txt");
    EXPECT_EQ(std::wstring(CFileUtils::ConvertFileSize(1536).GetString()), m_list->GetItemText(a, 1).GetString());
    EXPECT_EQ(std::wstring(L"2016-07-03 오전 09:05"), m_list->GetItemText(a, 3).GetString());
    EXPECT_EQ(std::wstring(L""), m_list->GetItemText(RowOf(L"Sub"), 1).GetString()) << "folders have no size";
    EXPECT_EQ(std::wstring(L"크기"), ColumnText(1));

    UseLanguage(LANG_ENGLISH);
    Press(m_list->m_hWnd, VK_F5);
    EXPECT_EQ(std::wstring(L"03/07/2016 AM 09:05"), m_list->GetItemText(RowOf(L"a.txt"), 3).GetString());
    m_right->ResetColumnText();
    EXPECT_EQ(std::wstring(L"Size"), ColumnText(1));
}

TEST_F(LocalPanes, HeaderClicksSortWithFoldersFirstAndASecondClickTurnsTheOrder)
{
    ClickHeader(1);
    EXPECT_EQ((std::vector<std::wstring>{L"Sub", L"b10.txt", L"a.txt", L"b2.txt"}), Names());
    EXPECT_EQ(1, m_right->SortColumn());
    ClickHeader(1);
    EXPECT_EQ((std::vector<std::wstring>{L"Sub", L"b2.txt", L"a.txt", L"b10.txt"}), Names());
    EXPECT_EQ(1, m_right->SortDirection());
    ClickHeader(0);
    EXPECT_EQ((std::vector<std::wstring>{L"Sub", L"a.txt", L"b2.txt", L"b10.txt"}), Names());
    EXPECT_EQ(0, m_right->SortDirection());
}

TEST_F(LocalPanes, CopyAndCutReachTheClipboardAsOtherProgramsReadIt)
{
    SelectRows({L"a.txt", L"b2.txt"});
    Press(m_list->m_hWnd, 'C', {VK_LCONTROL});
    DWORD effect = 0;
    std::vector<std::wstring> paths = FilesOnClipboard(effect);
    EXPECT_EQ((std::vector<std::wstring>{m_root + L"\\a.txt", m_root + L"\\b2.txt"}), paths);
    EXPECT_EQ(0u, effect & DROPEFFECT_MOVE) << "a copy offers no move";

    SelectRows({L"b10.txt"});
    Press(m_list->m_hWnd, 'X', {VK_LCONTROL});
    paths = FilesOnClipboard(effect);
    EXPECT_EQ((std::vector<std::wstring>{m_root + L"\\b10.txt"}), paths);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), effect);
    EXPECT_TRUE(m_list->GetItemState(RowOf(L"b10.txt"), LVIS_CUT) & LVIS_CUT);
    EXPECT_FALSE(m_list->GetItemState(RowOf(L"a.txt"), LVIS_CUT) & LVIS_CUT);

    Press(m_list->m_hWnd, VK_ESCAPE);
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_HDROP)) << "Esc empties the clipboard";
}

TEST_F(LocalPanes, PastingAnotherProgramsCutMovesTheFilesAndEmptiesTheClipboard)
{
    const std::wstring outside = m_root + L"\\Sub\\moved.txt";
    WriteFile(outside, 10);
    PutFilesOnClipboard({outside}, DROPEFFECT_MOVE);
    Press(m_list->m_hWnd, 'V', {VK_LCONTROL});
    EXPECT_TRUE(Exists(m_root + L"\\moved.txt"));
    EXPECT_FALSE(Exists(outside));
    EXPECT_GE(RowOf(L"moved.txt"), 0) << "the list was not refreshed";
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_HDROP)) << "a pasted cut empties the clipboard";
    ASSERT_FALSE(g_flags.empty());
    EXPECT_EQ(static_cast<FILEOP_FLAGS>(FOF_ALLOWUNDO), g_flags.back());
}

TEST_F(LocalPanes, PastingACopyKeepsTheClipboardForAnotherPaste)
{
    const std::wstring outside = m_root + L"\\Sub\\copied.txt";
    WriteFile(outside, 10);
    PutFilesOnClipboard({outside}, DROPEFFECT_COPY);
    Press(m_list->m_hWnd, 'V', {VK_LCONTROL});
    EXPECT_TRUE(Exists(m_root + L"\\copied.txt"));
    EXPECT_TRUE(Exists(outside));
    EXPECT_GE(RowOf(L"copied.txt"), 0);
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_HDROP));
    ASSERT_FALSE(g_flags.empty());
    EXPECT_EQ(static_cast<FILEOP_FLAGS>(FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION), g_flags.back());
}

TEST_F(LocalPanes, DeleteGoesToTheRecycleBinAndShiftDeleteIsForGood)
{
    SelectRows({L"a.txt"});
    Press(m_list->m_hWnd, VK_DELETE);
    EXPECT_FALSE(Exists(m_root + L"\\a.txt"));
    EXPECT_EQ(-1, RowOf(L"a.txt"));
    ASSERT_EQ(1u, g_flags.size());
    EXPECT_EQ(static_cast<FILEOP_FLAGS>(FOF_ALLOWUNDO), g_flags[0]);
    SelectRows({L"b2.txt"});
    Press(m_list->m_hWnd, VK_DELETE, {VK_LSHIFT});
    EXPECT_FALSE(Exists(m_root + L"\\b2.txt"));
    ASSERT_EQ(2u, g_flags.size());
    EXPECT_EQ(0, g_flags[1]);
}

TEST_F(LocalPanes, ANewFolderIsNamedInPlaceAndARenameTrimsBlanksAndDots)
{
    m_right->OnNewFolder();
    const std::wstring made = m_root + L"\\" + CToviString::GetString(14004).GetString();
    ASSERT_TRUE(Exists(made));
    HWND edit = reinterpret_cast<HWND>(::SendMessageW(m_list->m_hWnd, LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, edit) << "naming did not start";
    ::SetWindowTextW(edit, L"  Named folder..  ");
    ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    uitest::PumpMessages();
    EXPECT_TRUE(Exists(m_root + L"\\Named folder"));
    EXPECT_FALSE(Exists(made));
    EXPECT_GE(RowOf(L"Named folder"), 0);
    EXPECT_FALSE(m_fake.editing);

    SelectRows({L"b10.txt"});
    Press(m_list->m_hWnd, VK_F2);
    edit = reinterpret_cast<HWND>(::SendMessageW(m_list->m_hWnd, LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, edit) << "rename did not start";
    ::SetWindowTextW(edit, L"renamed.txt");
    ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    uitest::PumpMessages();
    EXPECT_TRUE(Exists(m_root + L"\\renamed.txt"));
    EXPECT_FALSE(Exists(m_root + L"\\b10.txt"));
    const int row = RowOf(L"renamed.txt");
    ASSERT_GE(row, 0);
    EXPECT_TRUE(m_list->GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED);
}

TEST_F(LocalPanes, TheTreePastesAndDeletesFoldersThroughTheShell)
{
    HTREEITEM shown = m_tree->GetSelectedItem();
    m_tree->Expand(shown, TVE_EXPAND);
    HTREEITEM sub = TreeChild(shown, L"Sub");
    ASSERT_NE(nullptr, sub);
    PutFilesOnClipboard({m_root + L"\\a.txt"}, DROPEFFECT_COPY);
    m_tree->SelectItem(sub);
    Press(m_tree->m_hWnd, 'V', {VK_LCONTROL});
    EXPECT_TRUE(Exists(m_root + L"\\Sub\\a.txt"));
    EXPECT_EQ((std::vector<std::wstring>{L"a.txt"}), Names()) << "the selected target was not refreshed";

    Press(m_tree->m_hWnd, VK_DELETE);
    EXPECT_FALSE(Exists(m_root + L"\\Sub"));
    EXPECT_EQ(nullptr, TreeChild(shown, L"Sub")) << "the deleted folder stayed in the tree";
}

TEST_F(LocalPanes, DropsOnTheListFollowTheEffectAndRefuseTheirOwnFolder)
{
    const std::wstring outside = m_root + L"\\Sub\\dropped.txt";
    WriteFile(outside, 10);
    auto* source = new COleDataSource();
    std::vector<BYTE> block = BuildDropFilesBlock({CString(outside.c_str())});
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, block.size());
    memcpy(::GlobalLock(memory), block.data(), block.size());
    ::GlobalUnlock(memory);
    source->CacheGlobalData(CF_HDROP, memory);
    COleDataObject data;
    data.Attach(source->GetDataObject(), TRUE);
    CCRDropTarget& target = m_right->DropTarget();
    RECT empty = {};
    m_list->GetClientRect(&empty);
    const CPoint below(100, empty.bottom - 5);
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), target.OnDragEnter(m_list, &data, MK_CONTROL, below));
    const DROPEFFECT over = target.OnDragOver(m_list, &data, 0, below);
    EXPECT_NE(static_cast<DROPEFFECT>(DROPEFFECT_NONE), over) << "the shell refused a drop into another folder";
    EXPECT_TRUE(target.OnDrop(m_list, &data, DROPEFFECT_MOVE, below));
    EXPECT_TRUE(Exists(m_root + L"\\dropped.txt"));
    EXPECT_FALSE(Exists(outside));
    EXPECT_GE(RowOf(L"dropped.txt"), 0);

    // The list's own files dropped onto its empty space would land where they are.
    auto* own = new COleDataSource();
    block = BuildDropFilesBlock({CString((m_root + L"\\a.txt").c_str())});
    memory = ::GlobalAlloc(GMEM_MOVEABLE, block.size());
    memcpy(::GlobalLock(memory), block.data(), block.size());
    ::GlobalUnlock(memory);
    own->CacheGlobalData(CF_HDROP, memory);
    COleDataObject ownData;
    ownData.Attach(own->GetDataObject(), TRUE);
    target.OnDragEnter(m_list, &ownData, 0, below);
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), target.OnDragOver(m_list, &ownData, 0, below));
    target.OnDragLeave(m_list);
    EXPECT_FALSE(target.OnDrop(m_list, &ownData, DROPEFFECT_LINK, below)) << "a link drop is refused";
}

TEST_F(LocalPanes, RestingOnACollapsedTreeFolderExpandsItAfterTheDelay)
{
    static DWORD now = 0;
    CCLDropTarget& target = m_left->DropTarget();
    target.m_pTick = [] { return now; };
    HTREEITEM shown = m_tree->GetSelectedItem();
    m_tree->Expand(shown, TVE_COLLAPSE);
    RECT row = {};
    ASSERT_TRUE(m_tree->GetItemRect(shown, &row, TRUE));
    const CPoint over((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    auto* source = new COleDataSource();
    std::vector<BYTE> block = BuildDropFilesBlock({CString(L"C:\\windows\\win.ini")});
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, block.size());
    memcpy(::GlobalLock(memory), block.data(), block.size());
    ::GlobalUnlock(memory);
    source->CacheGlobalData(CF_HDROP, memory);
    COleDataObject data;
    data.Attach(source->GetDataObject(), TRUE);
    // The clock starts when the pointer comes onto the folder: at the enter.
    now = 1000;
    target.OnDragEnter(m_tree, &data, MK_CONTROL, over);
    target.OnDragOver(m_tree, &data, MK_CONTROL, over);
    now = 1700;
    target.OnDragOver(m_tree, &data, MK_CONTROL, over);
    EXPECT_FALSE(m_tree->GetItemState(shown, TVIS_EXPANDED) & TVIS_EXPANDED) << "expanded before the delay";
    // Moving to another item and back restarts the clock.
    HTREEITEM parent = m_tree->GetParentItem(shown);
    RECT parentRow = {};
    ASSERT_TRUE(m_tree->GetItemRect(parent, &parentRow, TRUE));
    target.OnDragOver(m_tree, &data, MK_CONTROL, CPoint(parentRow.left + 2, (parentRow.top + parentRow.bottom) / 2));
    now = 1801;
    target.OnDragOver(m_tree, &data, MK_CONTROL, over);
    EXPECT_FALSE(m_tree->GetItemState(shown, TVIS_EXPANDED) & TVIS_EXPANDED) << "the clock did not restart";
    now = 2602;
    target.OnDragOver(m_tree, &data, MK_CONTROL, over);
    EXPECT_TRUE(m_tree->GetItemState(shown, TVIS_EXPANDED) & TVIS_EXPANDED) << "not expanded after the delay";
    target.OnDragLeave(m_tree);
}

TEST_F(LocalPanes, RenamingATreeFolderInPlaceRenamesItOnDiskAndKeepsItSelected)
{
    HTREEITEM shown = m_tree->GetSelectedItem();
    m_tree->Expand(shown, TVE_EXPAND);
    HTREEITEM sub = TreeChild(shown, L"Sub");
    ASSERT_NE(nullptr, sub);
    m_tree->SelectItem(sub);
    Press(m_tree->m_hWnd, VK_F2);
    HWND edit = reinterpret_cast<HWND>(::SendMessageW(m_tree->m_hWnd, TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, edit) << "F2 did not open the edit";
    ::SetWindowTextW(edit, L"  Renamed  ");
    ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    uitest::PumpMessages();
    EXPECT_TRUE(Exists(m_root + L"\\Renamed"));
    EXPECT_FALSE(Exists(m_root + L"\\Sub"));
    HTREEITEM renamed = TreeChild(shown, L"Renamed");
    ASSERT_NE(nullptr, renamed);
    EXPECT_EQ(renamed, m_tree->GetSelectedItem());
    EXPECT_FALSE(m_tree->GetStyle() & TVS_EDITLABELS) << "label editing stays on after the rename";

    // The same name in other letters changes nothing.
    Press(m_tree->m_hWnd, VK_F2);
    edit = reinterpret_cast<HWND>(::SendMessageW(m_tree->m_hWnd, TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextW(edit, L"RENAMED");
    ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    uitest::PumpMessages();
    EXPECT_EQ(renamed, TreeChild(shown, L"Renamed"));
}

TEST_F(LocalPanes, DropsOnTheTreeMoveByEffectLeaveTheClipboardAndRefuseAFolderIntoItself)
{
    HTREEITEM shown = m_tree->GetSelectedItem();
    m_tree->Expand(shown, TVE_EXPAND);
    HTREEITEM sub = TreeChild(shown, L"Sub");
    ASSERT_NE(nullptr, sub);
    RECT row = {};
    ASSERT_TRUE(m_tree->GetItemRect(sub, &row, TRUE));
    CPoint over((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    PutFilesOnClipboard({m_root + L"\\b2.txt"}, DROPEFFECT_COPY);

    auto* source = new COleDataSource();
    std::vector<BYTE> block = BuildDropFilesBlock({CString((m_root + L"\\a.txt").c_str())});
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, block.size());
    memcpy(::GlobalLock(memory), block.data(), block.size());
    ::GlobalUnlock(memory);
    source->CacheGlobalData(CF_HDROP, memory);
    COleDataObject data;
    data.Attach(source->GetDataObject(), TRUE);
    CCLDropTarget& target = m_left->DropTarget();
    // The files come from the list's own folder, which its drag start records as the source.
    m_fake.dragSource = L"CR";
    m_tree->MoveSource().Mark(shown);
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_MOVE), target.OnDragEnter(m_tree, &data, 0, over));
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_MOVE), target.OnDragOver(m_tree, &data, 0, over));
    EXPECT_TRUE(target.OnDrop(m_tree, &data, DROPEFFECT_MOVE, over));
    EXPECT_TRUE(Exists(m_root + L"\\Sub\\a.txt"));
    EXPECT_FALSE(Exists(m_root + L"\\a.txt"));
    EXPECT_EQ(-1, RowOf(L"a.txt")) << "the source folder kept the moved file";
    EXPECT_TRUE(m_fake.dragSource.IsEmpty()) << "the drop left the drag origin set";
    DWORD effect = 0;
    EXPECT_EQ((std::vector<std::wstring>{m_root + L"\\b2.txt"}), FilesOnClipboard(effect)) << "a drop touched the clipboard";

    // A folder dragged from this tree onto itself shows no effect (the refresh made new items).
    sub = TreeChild(shown, L"Sub");
    ASSERT_NE(nullptr, sub);
    ASSERT_TRUE(m_tree->GetItemRect(sub, &row, TRUE));
    over = CPoint((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    m_fake.dragSource = L"CL";
    m_tree->m_hDragItem = sub;
    auto* self = new COleDataSource();
    block = BuildDropFilesBlock({CString((m_root + L"\\Sub").c_str())});
    memory = ::GlobalAlloc(GMEM_MOVEABLE, block.size());
    memcpy(::GlobalLock(memory), block.data(), block.size());
    ::GlobalUnlock(memory);
    self->CacheGlobalData(CF_HDROP, memory);
    COleDataObject selfData;
    selfData.Attach(self->GetDataObject(), TRUE);
    target.OnDragEnter(m_tree, &selfData, 0, over);
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), target.OnDragOver(m_tree, &selfData, 0, over));
    target.OnDragLeave(m_tree);
}

namespace {

// Reads the open context menu and picks one of its entries with the keyboard, as a user would.
struct MenuPick {
    std::vector<std::pair<UINT, std::wstring>> entries;
    UINT choose = 0;
};
MenuPick* g_pick = nullptr;

VOID CALLBACK PickFromMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menuWnd = ::FindWindowW(L"#32768", nullptr);
    if (!menuWnd || !::IsWindowVisible(menuWnd))
        return;
    ::KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
    int downs = 0, target = -1;
    for (int i = 0; menu && i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        ::GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
        const UINT id = ::GetMenuItemID(menu, i);
        g_pick->entries.push_back({id, text});
        MENUITEMINFOW info = {sizeof info};
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        ::GetMenuItemInfoW(menu, i, TRUE, &info);
        if (!(info.fType & MFT_SEPARATOR) && !(info.fState & MFS_DISABLED) && target < 0)
            ++downs;
        if (id == g_pick->choose && target < 0)
            target = downs;
    }
    if (target < 0) {
        ::PostMessageW(menuWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    for (int i = 0; i < target; ++i)
        ::PostMessageW(menuWnd, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menuWnd, WM_KEYDOWN, VK_RETURN, 0);
}

}

TEST_F(LocalPanes, TheListsOwnMenuEntriesHaveTheirOwnIdentifiersAndOurPasteEntryPastes)
{
    const std::wstring outside = m_root + L"\\Sub\\from menu.txt";
    WriteFile(outside, 10);
    PutFilesOnClipboard({outside}, DROPEFFECT_COPY);
    RECT client = {};
    m_list->GetClientRect(&client);
    POINT empty = {100, client.bottom - 10};
    ::ClientToScreen(m_list->m_hWnd, &empty);
    ::SetCursorPos(empty.x, empty.y);
    MenuPick pick;
    pick.choose = kLocalPasteCommand;
    g_pick = &pick;
    ::SetTimer(nullptr, 0, 50, &PickFromMenu);
    m_list->ShowContextMenu();
    g_pick = nullptr;

    std::vector<UINT> ours;
    for (const auto& entry : pick.entries)
        if (entry.first > kShellLastCommand && entry.first != static_cast<UINT>(-1))
            ours.push_back(entry.first);
    EXPECT_EQ((std::vector<UINT>{kLocalNewFolderCommand, kLocalPasteCommand}), ours)
        << "our entries on the folder's menu (no upload: the server side allows none here)";
    ASSERT_FALSE(pick.entries.empty());
    EXPECT_EQ(std::wstring(CToviString::GetString(14004).GetString()), pick.entries.front().second);
    EXPECT_TRUE(Exists(m_root + L"\\from menu.txt")) << "our paste entry did not paste";
    EXPECT_GE(RowOf(L"from menu.txt"), 0);
}

TEST_F(LocalPanes, TheTreesPasteEntryPastesIntoTheFolderUnderThePointer)
{
    HTREEITEM shown = m_tree->GetSelectedItem();
    m_tree->Expand(shown, TVE_EXPAND);
    HTREEITEM sub = TreeChild(shown, L"Sub");
    ASSERT_NE(nullptr, sub);
    PutFilesOnClipboard({m_root + L"\\a.txt"}, DROPEFFECT_COPY);
    MenuPick pick;
    pick.choose = kLocalPasteCommand;
    g_pick = &pick;
    ::SetTimer(nullptr, 0, 50, &PickFromMenu);
    m_tree->ShowContextMenu(sub);
    g_pick = nullptr;
    int pastes = 0;
    for (const auto& entry : pick.entries) {
        EXPECT_NE(kLocalUploadCommand, entry.first) << "upload offered while the server side allows none";
        if (entry.first == kLocalPasteCommand) {
            ++pastes;
            EXPECT_EQ(std::wstring(CToviString::GetString(14052).GetString()) + L"(&P)", entry.second);
        }
    }
    EXPECT_EQ(1, pastes);
    EXPECT_TRUE(Exists(m_root + L"\\Sub\\a.txt"));
    EXPECT_TRUE(Exists(m_root + L"\\a.txt")) << "a copy moved the file";
}

TEST_F(LocalPanes, DoubleClickingAFolderRowOpensItInTheTreeAndBackspaceGoesUp)
{
    WriteFile(m_root + L"\\Sub\\inner.txt", 5);
    RECT cell = {};
    cell.left = LVIR_LABEL;
    ASSERT_TRUE(::SendMessageW(m_list->m_hWnd, LVM_GETITEMRECT, RowOf(L"Sub"), reinterpret_cast<LPARAM>(&cell)));
    const LPARAM at = MAKELPARAM(cell.left + 5, (cell.top + cell.bottom) / 2);
    ::SendMessageW(m_list->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(m_list->m_hWnd, WM_LBUTTONUP, 0, at);
    ::SendMessageW(m_list->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageW(m_list->m_hWnd, WM_LBUTTONUP, 0, at);
    uitest::PumpMessages();
    EXPECT_EQ(0, CString((m_root + L"\\Sub").c_str()).CompareNoCase(m_left->SelectedPath()))
        << m_left->SelectedPath().GetString();
    EXPECT_EQ((std::vector<std::wstring>{L"inner.txt"}), Names());

    Press(m_list->m_hWnd, VK_BACK);
    EXPECT_EQ(0, CString(m_root.c_str()).CompareNoCase(m_left->SelectedPath()));
    EXPECT_EQ((std::vector<std::wstring>{L"Sub", L"a.txt", L"b2.txt", L"b10.txt"}), Names());
}

TEST_F(LocalPanes, TheCommandBarFollowsTheSelectionAndTheClipboard)
{
    ::OpenClipboard(nullptr);
    ::EmptyClipboard();
    ::CloseClipboard();
    m_list->SetItemState(-1, 0, LVIS_SELECTED);
    m_list->UpdateMenuState();
    EXPECT_TRUE(m_fake.menu.newFolder);
    EXPECT_FALSE(m_fake.menu.paste) << "nothing to paste";
    EXPECT_FALSE(m_fake.menu.copy || m_fake.menu.remove || m_fake.menu.cut);

    PutFilesOnClipboard({m_root + L"\\a.txt"}, DROPEFFECT_COPY);
    m_list->UpdateMenuState();
    EXPECT_TRUE(m_fake.menu.paste);

    SelectRows({L"b2.txt"});
    m_list->UpdateMenuState();
    EXPECT_TRUE(m_fake.menu.copy);
    EXPECT_TRUE(m_fake.menu.remove);
    EXPECT_TRUE(m_fake.menu.cut);
    EXPECT_FALSE(m_fake.menu.upload || m_fake.menu.download || m_fake.menu.share || m_fake.menu.link);

    m_tree->UpdateMenuState();
    EXPECT_TRUE(m_fake.menu.newFolder);
    EXPECT_TRUE(m_fake.menu.paste);
    EXPECT_TRUE(m_fake.downloadTarget) << "a writable folder takes downloads";
    m_tree->SelectItem(m_tree->FindMyComputer());
    EXPECT_FALSE(m_fake.menu.newFolder) << "My Computer has no path";
    EXPECT_FALSE(m_fake.downloadTarget);
}

// No drive comes or goes under Wine: the shell's notice is sent as the shell would send it.
TEST_F(LocalPanes, ARemovedDriveLeavesMyComputer)
{
    HTREEITEM computer = m_tree->FindMyComputer();
    ASSERT_NE(nullptr, computer);
    HTREEITEM drive = m_tree->GetChildItem(computer);
    ASSERT_NE(nullptr, drive);
    const CString path = m_tree->GetItemPath(drive);
    const UINT before = m_tree->GetCount();
    LPITEMIDLIST pidl = nullptr;
    ASSERT_TRUE(SUCCEEDED(::SHParseDisplayName(path, nullptr, &pidl, 0, nullptr)));
    LPITEMIDLIST pair[2] = {pidl, nullptr};
    // An event the tree does not follow changes nothing.
    ::SendMessageW(m_tree->m_hWnd, WM_SHELL_NOTIFY, reinterpret_cast<WPARAM>(pair), SHCNE_CREATE);
    EXPECT_EQ(before, m_tree->GetCount());
    ::SendMessageW(m_tree->m_hWnd, WM_SHELL_NOTIFY, reinterpret_cast<WPARAM>(pair), SHCNE_DRIVEREMOVED);
    ::CoTaskMemFree(pidl);
    for (HTREEITEM child = m_tree->GetChildItem(computer); child; child = m_tree->GetNextSiblingItem(child))
        EXPECT_NE(0, m_tree->GetItemPath(child).CompareNoCase(path)) << "the removed drive is still shown";
    EXPECT_LT(m_tree->GetCount(), before);
}

// The upload entries of both menus hand the chosen items, with the server folder, to the frame.
TEST_F(LocalPanes, TheUploadEntriesOfTheMenusUploadTheChosenItemsIntoTheServerFolder)
{
    m_fake.uploadAllowed = true;
    SelectRows({L"a.txt", L"Sub"});
    RECT rect = {};
    m_list->GetItemRect(RowOf(L"a.txt"), &rect, LVIR_LABEL);
    POINT at = {rect.left + 5, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(m_list->m_hWnd, &at);
    ::SetCursorPos(at.x, at.y);
    MenuPick pick;
    pick.choose = kLocalUploadCommand;
    g_pick = &pick;
    ::SetTimer(nullptr, 0, 50, &PickFromMenu);
    m_list->ShowContextMenu();
    g_pick = nullptr;
    ASSERT_EQ(2u, m_fake.uploads.size()) << "the list's upload entry did not upload the two rows";
    std::vector<std::wstring> paths;
    for (const _UPLOADINFO& job : m_fake.uploads) {
        paths.push_back(job.LocalPath.GetString());
        EXPECT_STREQ("4711", job.FirstId);
        EXPECT_STREQ("12", job.SecondId);
        EXPECT_EQ(static_cast<DWORD_PTR>(0x5150), job.ItemData);
        EXPECT_EQ(paths.back() == m_root + L"\\Sub", (job.Attributes & SFGAO_FOLDER) != 0) << paths.back();
    }
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ((std::vector<std::wstring>{m_root + L"\\Sub", m_root + L"\\a.txt"}), paths);

    m_fake.uploads.clear();
    HTREEITEM shown = m_tree->GetSelectedItem();
    m_tree->Expand(shown, TVE_EXPAND);
    HTREEITEM sub = TreeChild(shown, L"Sub");
    ASSERT_NE(nullptr, sub);
    MenuPick treePick;
    treePick.choose = kLocalUploadCommand;
    g_pick = &treePick;
    ::SetTimer(nullptr, 0, 50, &PickFromMenu);
    m_tree->ShowContextMenu(sub);
    g_pick = nullptr;
    ASSERT_EQ(1u, m_fake.uploads.size()) << "the tree's upload entry did not upload the folder";
    EXPECT_EQ(m_root + L"\\Sub", std::wstring(m_fake.uploads[0].LocalPath.GetString()));
    EXPECT_NE(0u, m_fake.uploads[0].Attributes & SFGAO_FOLDER);
}

// Server items dropped on a folder row of the list, or on a tree folder, are downloaded into
// that folder; the tree item is the one the frame refreshes when the download ends.
TEST_F(LocalPanes, ServerItemsDroppedOnAFolderAreDownloadedIntoIt)
{
    _PROTO_FOLDER_INFO item = {};
    strcpy(item.ItemType, "F");
    strcpy(item.IDX, "900");
    strcpy(item.DIDX, "1");
    strcpy(item.Attr192, "300000");
    wcscpy(item.Name, L"서버 파일.bin");
    CString text;
    ASSERT_TRUE(CopyFolderInfoClipboard(item, L"SR", L"My Files/보관", L"C", text));
    const UINT format = ::RegisterClipboardFormatW(L"VARIRUDAD");
    auto dataObject = [&] {
        auto* source = new COleDataSource();
        const size_t bytes = (text.GetLength() + 1) * sizeof(wchar_t);
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        memcpy(::GlobalLock(memory), text.GetString(), bytes);
        ::GlobalUnlock(memory);
        source->CacheGlobalData(static_cast<CLIPFORMAT>(format), memory);
        return source;
    };
    HTREEITEM shown = m_tree->GetSelectedItem();
    m_tree->Expand(shown, TVE_EXPAND);
    HTREEITEM sub = TreeChild(shown, L"Sub");
    ASSERT_NE(nullptr, sub);

    {
        COleDataObject data;
        data.Attach(dataObject()->GetDataObject(), TRUE);
        m_right->OnDropData(&data, RowOf(L"Sub"), DROPEFFECT_COPY);
    }
    ASSERT_EQ(1u, m_fake.downloads.size()) << "the drop on the list's folder row downloaded nothing";
    EXPECT_EQ(CString((m_root + L"\\Sub").c_str()), m_fake.downloads[0].DestFolder);
    EXPECT_STREQ(L"서버 파일.bin", m_fake.downloads[0].Name);
    EXPECT_STREQ(L"My Files/보관", m_fake.downloads[0].ServerPath);
    EXPECT_EQ(sub, m_fake.downloadItem);

    m_fake.downloads.clear();
    {
        COleDataObject data;
        data.Attach(dataObject()->GetDataObject(), TRUE);
        EXPECT_TRUE(m_left->OnDropItems(shown, DROPEFFECT_COPY, &data));
    }
    ASSERT_EQ(1u, m_fake.downloads.size()) << "the drop on the tree folder downloaded nothing";
    EXPECT_EQ(CString(m_root.c_str()), m_fake.downloads[0].DestFolder);
    EXPECT_EQ(shown, m_fake.downloadItem);
}
