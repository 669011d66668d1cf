// Server browsing in CorvaneIXO.exe itself against the test server: the tree's top level and a
// folder listed page by page, the change check that shows cached children without a listing,
// the list's columns and natural order, the sort and column widths kept in the profile, the last
// folder opened again, rename through the list's label edit, the ended session during a listing,
// and the picture view fetching each picture once.
#include "AppRun.h"
#include "PixelCapture.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>
#include <algorithm>
#include <cstdlib>
#include <sstream>

using namespace apprun;

namespace {

const wchar_t kAppKey[] = L"Software\\로컬 응용 프로그램 마법사에서 생성된 응용 프로그램\\CorvaneIXO\\CorvaneIXO";

// A 8 x 6 bitmap: a picture the thumbnail view can load.
const char kBitmapHex[] =
    "424DC60000000000000036000000280000000800000006000000010018000000000090000000130B0000130B00000000"
    "0000000000000000C81E00C83C00C85A00C87800C89600C8B400C8D200C80028C81E28C83C28C85A28C87828C89628C8"
    "B428C8D228C80050C81E50C83C50C85A50C87850C89650C8B450C8D250C80078C81E78C83C78C85A78C87878C89678C8"
    "B478C8D278C800A0C81EA0C83CA0C85AA0C878A0C896A0C8B4A0C8D2A0C800C8C81EC8C83CC8C85AC8C878C8C896C8C8"
    "B4C8C8D2C8C8";

// Memory in the program's process, for the control messages that carry pointers.
class Remote {
public:
    Remote(HWND wnd, size_t size) : m_size(size)
    {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(wnd, &pid);
        m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process)
            m_memory = static_cast<char*>(::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~Remote()
    {
        if (m_memory)
            ::VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
        if (m_process)
            ::CloseHandle(m_process);
    }
    char* At(size_t offset) const { return m_memory + offset; }
    bool Put(size_t offset, const void* data, size_t bytes)
    {
        return m_memory && ::WriteProcessMemory(m_process, m_memory + offset, data, bytes, nullptr);
    }
    bool Get(size_t offset, void* data, size_t bytes) const
    {
        return m_memory && ::ReadProcessMemory(m_process, m_memory + offset, data, bytes, nullptr);
    }
    std::wstring Text(size_t offset, size_t chars) const
    {
        std::wstring text(chars, L'\0');
        if (!Get(offset, &text[0], chars * sizeof(wchar_t)))
            return std::wstring();
        text.resize(wcsnlen(text.c_str(), chars));
        return text;
    }

private:
    HANDLE m_process = nullptr;
    char* m_memory = nullptr;
    size_t m_size;
};

constexpr size_t kTextChars = 520;

std::wstring TreeText(HWND tree, HTREEITEM item)
{
    Remote remote(tree, sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof tv));
    tv.cchTextMax = kTextChars;
    remote.Put(0, &tv, sizeof tv);
    if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0))))
        return std::wstring();
    return remote.Text(sizeof tv, kTextChars);
}

std::wstring ListText(HWND list, int row, int column)
{
    Remote remote(list, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    LVITEMW lv = {};
    lv.iSubItem = column;
    lv.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof lv));
    lv.cchTextMax = kTextChars;
    remote.Put(0, &lv, sizeof lv);
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.At(0)));
    return remote.Text(sizeof lv, kTextChars);
}

void SelectRow(HWND list, int row)
{
    Remote remote(list, sizeof(LVITEMW));
    LVITEMW lv = {};
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = 0;
    remote.Put(0, &lv, sizeof lv);
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.At(0)));
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Put(0, &lv, sizeof lv);
    ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.At(0)));
}

// Clicks a column heading as the mouse would.
void ClickHeading(HWND list, int column)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    Remote remote(header, sizeof(RECT));
    RECT r = {};
    ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(remote.At(0)));
    remote.Get(0, &r, sizeof r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(header, WM_LBUTTONUP, 0, at);
}

int ColumnCount(HWND list)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::vector<std::wstring> Names(HWND list)
{
    std::vector<std::wstring> names;
    int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        names.push_back(ListText(list, i, 0));
    return names;
}

int RowOf(HWND list, const std::wstring& name)
{
    std::vector<std::wstring> names = Names(list);
    auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

std::string Printable(const std::vector<std::wstring>& texts)
{
    std::string out;
    for (const std::wstring& t : texts)
        out += (out.empty() ? "" : ", ") + std::string(CStringA(t.c_str()).GetString());
    return "[" + out + "]";
}

bool ReadProfile(const wchar_t* name, std::vector<BYTE>& bytes)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kAppKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    bool found = ::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    bytes.assign(size, 0);
    if (found && size)
        found = ::RegQueryValueExW(key, name, nullptr, nullptr, bytes.data(), &size) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return found;
}

std::wstring ThumbnailDir()
{
    wchar_t documents[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, FALSE);
    return std::wstring(documents) + L"\\VariruDAD\\Thumbnail";
}

std::vector<std::wstring> FilesIn(const std::wstring& dir)
{
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(found.cFileName);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
}

// The value of one field in the first record of a LAST reply ("rec=173:3130,181:...").
std::string LastField(const std::string& reply, int id)
{
    std::string records = protoserver::Control::Value(reply, "rec");
    std::string first = records.substr(0, records.find('/'));
    std::istringstream fields(first);
    std::string field;
    const std::string want = std::to_string(id) + ":";
    while (std::getline(fields, field, ','))
        if (field.compare(0, want.size(), want) == 0) {
            std::string hex = field.substr(want.size()), text;
            for (size_t i = 0; i + 1 < hex.size(); i += 2)
                text += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
            return text;
        }
    return std::string();
}

class AppRoadBrowse : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        // The server's store outlives a run: every test browses a folder of its own.
        m_name = "Browse" + std::to_string(::GetTickCount64());
        m_folder = "My Files/" + m_name;
        ASSERT_EQ("OK", Control("SWITCH pageSize=2").substr(0, 2));
        for (const char* name : {"f10", "f2", "f1"})
            ASSERT_EQ("OK", Control("FOLDER user=demo -- " + m_folder + "/" + name).substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=demo size=1536 -- " + m_folder + "/file10.txt").substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=demo size=20 -- " + m_folder + "/file2.txt").substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=demo size=5000 -- " + m_folder + "/file1.txt").substr(0, 2));
        StoreServer();
        StoreAutoLogin();
    }
    void TearDown() override
    {
        Control("SWITCH pageSize=0");
        AppRoadTest::TearDown();
    }

    // Starts the program and finds its server tree and list.
    void Open()
    {
        ASSERT_TRUE(Launch());
        m_frame = WaitForMainWindow();
        ASSERT_NE(nullptr, m_frame);
        HWND splitter = ::GetDlgItem(m_frame, 0xE900);
        ASSERT_NE(nullptr, splitter);
        m_treeView = ::GetDlgItem(splitter, 0xE900);
        m_listView = ::GetDlgItem(splitter, 0xE901);
        m_tree = ::FindWindowExW(m_treeView, nullptr, WC_TREEVIEWW, nullptr);
        m_list = ::FindWindowExW(m_listView, nullptr, WC_LISTVIEWW, nullptr);
        ASSERT_NE(nullptr, m_tree);
        ASSERT_NE(nullptr, m_list);
        // The program opens the last folder (or the first one) as it shows: let it settle first.
        auto caret = [&] { return ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_CARET, 0); };
        ASSERT_TRUE(uitest::WaitUntil([&] { return caret() != 0; }, 15000)) << "no folder was opened";
        LRESULT last = 0;
        std::vector<std::wstring> rows;
        int steady = 0;
        uitest::WaitUntil([&] {
            LRESULT now = caret();
            std::vector<std::wstring> names = Names(m_list);
            steady = (now == last && names == rows && !names.empty()) ? steady + 1 : 0;
            last = now;
            rows = names;
            return steady >= 3;
        }, 10000);
    }
    HTREEITEM Child(HTREEITEM parent, const wchar_t* name)
    {
        HTREEITEM item = reinterpret_cast<HTREEITEM>(
            ::SendMessageW(m_tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
        for (; item; item = reinterpret_cast<HTREEITEM>(
                         ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
            if (TreeText(m_tree, item) == name)
                return item;
        return nullptr;
    }
    std::vector<std::wstring> TopLevel()
    {
        std::vector<std::wstring> names;
        for (HTREEITEM item = reinterpret_cast<HTREEITEM>(::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;
             item = reinterpret_cast<HTREEITEM>(
                 ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
            names.push_back(TreeText(m_tree, item));
        return names;
    }
    void Select(HTREEITEM item)
    {
        ::SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    // The test's folder opened as a click on its tree items would.
    HTREEITEM OpenBrowse()
    {
        HTREEITEM myFiles = nullptr;
        EXPECT_TRUE(uitest::WaitUntil([&] { return (myFiles = Child(nullptr, L"My Files")) != nullptr; }, 10000));
        if (!myFiles)
            return nullptr;
        Select(myFiles);
        HTREEITEM browse = nullptr;
        const std::wstring name(m_name.begin(), m_name.end());
        EXPECT_TRUE(uitest::WaitUntil([&] { return (browse = Child(myFiles, name.c_str())) != nullptr; }, 10000));
        if (browse)
            Select(browse);
        return browse;
    }
    bool WaitNames(const std::vector<std::wstring>& want, DWORD timeoutMs = 10000)
    {
        bool same = uitest::WaitUntil([&] { return Names(m_list) == want; }, timeoutMs);
        if (!same)
            ADD_FAILURE() << "rows " << Printable(Names(m_list)) << " instead of " << Printable(want);
        return same;
    }

    // The file locked by an editor of its own session, as another program would.
    void LockForEditing(const std::string& path)
    {
        const std::string file = protoserver::Control::Value(Control("ITEM user=demo -- " + path), "idx");
        protoserver::TestProto editor;
        ASSERT_TRUE(SideLogin(editor));
        ASSERT_EQ(0, editor.GetSendFileSet(const_cast<char*>(file.c_str()), const_cast<char*>("1"),
                                           const_cast<char*>("Y"), const_cast<char*>("Y")));
        editor.GetLogoutInfo();
    }

    // Folders first (equal sizes, in any order), then the files from the largest.
    bool WaitBySize(DWORD timeoutMs = 10000)
    {
        auto ordered = [&] {
            std::vector<std::wstring> names = Names(m_list);
            if (names.size() != 6)
                return false;
            std::vector<std::wstring> folders(names.begin(), names.begin() + 3);
            std::sort(folders.begin(), folders.end());
            return folders == std::vector<std::wstring>{L"f1", L"f10", L"f2"} &&
                   std::vector<std::wstring>(names.begin() + 3, names.end()) ==
                       std::vector<std::wstring>{L"file1.txt", L"file10.txt", L"file2.txt"};
        };
        bool done = uitest::WaitUntil(ordered, timeoutMs);
        if (!done)
            ADD_FAILURE() << "rows " << Printable(Names(m_list));
        return done;
    }

    // A folder of pictures whose every picture the server answers slowly, shown in the
    // picture view from a clean cache: the list fills for seconds. The folder's tree item.
    HTREEITEM OpenSlowPictures(int count, HTREEITEM* parent)
    {
        for (int i = 0; i < count; ++i)
            EXPECT_EQ("OK", Control(std::string("FILE user=demo hex=") + kBitmapHex + " -- " + m_folder + "/Slow/p" +
                                    std::to_string(i) + ".bmp").substr(0, 2));
        for (const std::wstring& old : FilesIn(ThumbnailDir()))
            ::DeleteFileW((ThumbnailDir() + L"\\" + old).c_str());
        Open();
        HTREEITEM folder = OpenBrowse();
        HTREEITEM slow = nullptr;
        if (!folder || !uitest::WaitUntil([&] { return (slow = Child(folder, L"Slow")) != nullptr; }, 10000))
            return nullptr;
        Select(slow);
        if (!uitest::WaitUntil([&] { return static_cast<int>(Names(m_list).size()) == count; }, 10000))
            return nullptr;
        EXPECT_EQ("OK", Control("FAULT delay ms=700 count=* cmd=I2").substr(0, 2));
        // The command bar's picture button.
        ::PostMessageW(m_listView, WM_COMMAND, 1026, 0);
        if (parent)
            *parent = folder;
        return slow;
    }
    // The list's spinner: its child window on the spinner's own thread.
    HWND Spinner() const { return ::FindWindowExW(m_list, nullptr, nullptr, L"CPBar"); }

    std::string m_name, m_folder;
    HWND m_frame = nullptr;
    HWND m_treeView = nullptr, m_listView = nullptr;
    HWND m_tree = nullptr, m_list = nullptr;
};

const std::vector<std::wstring> kBrowseRows = {L"f1", L"f2", L"f10", L"file1.txt", L"file2.txt", L"file10.txt"};

}

TEST_F(AppRoadBrowse, TheTreeShowsTheTopLevelAndTheListAFolderPageByPageInNaturalOrderWithItsColumns)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    // Every kind of top-level folder, in the server's sort order, although pages hold two.
    std::vector<std::wstring> top;
    EXPECT_TRUE(uitest::WaitUntil([&] { return (top = TopLevel()).size() == 7; }, 10000)) << Printable(top);
    EXPECT_EQ((std::vector<std::wstring>{L"My Files", L"Shared", L"Group", L"Guest", L"File box", L"Backup",
                                         L"Recycle Bin"}),
              top);
    ASSERT_NE(nullptr, OpenBrowse());
    ASSERT_TRUE(WaitNames(kBrowseRows));
    // An ordinary folder: name, size, type, date, status.
    EXPECT_EQ(5, ColumnCount(m_list));
    EXPECT_EQ(L"", ListText(m_list, 0, 1)) << "a folder shows no size";
    EXPECT_EQ(L"5KB", ListText(m_list, RowOf(m_list, L"file1.txt"), 1));
    EXPECT_EQ(L"1KB", ListText(m_list, RowOf(m_list, L"file2.txt"), 1));
    EXPECT_EQ(L"2KB", ListText(m_list, RowOf(m_list, L"file10.txt"), 1));
    // Each kind of folder its own columns: the bin adds the former location, the file box its
    // sender's texts.
    const struct {
        const wchar_t* folder;
        int columns;
    } kinds[] = {{L"Recycle Bin", 6}, {L"File box", 7}, {L"Shared", 5}, {L"Group", 5}, {L"Guest", 5}, {L"My Files", 5}};
    for (const auto& kind : kinds) {
        HTREEITEM top = Child(nullptr, kind.folder);
        ASSERT_NE(nullptr, top) << CStringA(kind.folder).GetString();
        Select(top);
        EXPECT_TRUE(uitest::WaitUntil([&] { return ColumnCount(m_list) == kind.columns; }, 10000))
            << CStringA(kind.folder).GetString() << ": " << ColumnCount(m_list);
    }
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, ALockedFolderCarriesTheLockInTheTreeAndTheList)
{
    const std::string f2 = protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + "/f2"), "idx");
    ASSERT_EQ("OK", Control("LOCK idx=" + f2 + " value=Y").substr(0, 2));
    ASSERT_NO_FATAL_FAILURE(Open());
    HTREEITEM browse = OpenBrowse();
    ASSERT_NE(nullptr, browse);
    ASSERT_TRUE(WaitNames(kBrowseRows));
    const UINT lock = INDEXTOOVERLAYMASK(4);
    for (const wchar_t* name : {L"f1", L"f2", L"f10"}) {
        const UINT want = std::wstring(name) == L"f2" ? lock : 0;
        HTREEITEM item = Child(browse, name);
        ASSERT_NE(nullptr, item) << CStringA(name).GetString();
        EXPECT_EQ(want, static_cast<UINT>(::SendMessageW(m_tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                                         TVIS_OVERLAYMASK)))
            << CStringA(name).GetString();
        EXPECT_EQ(want, static_cast<UINT>(::SendMessageW(m_list, LVM_GETITEMSTATE, RowOf(m_list, name), LVIS_OVERLAYMASK)))
            << CStringA(name).GetString();
    }
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, AFolderTheServerCallsUnchangedIsShownFromItsCachedChildrenWithoutAListing)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    HTREEITEM browse = OpenBrowse();
    ASSERT_NE(nullptr, browse);
    ASSERT_TRUE(WaitNames(kBrowseRows));
    const std::string browseIdx = protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder), "idx");
    ASSERT_FALSE(browseIdx.empty());
    EXPECT_EQ(browseIdx, LastField(Control("LAST cmd=D0"), 173)) << "the folder was not listed";
    // Into a sub-folder and back: the folder's cache is untouched meanwhile.
    HTREEITEM f1 = Child(browse, L"f1");
    ASSERT_NE(nullptr, f1);
    Select(f1);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Names(m_list).empty(); }, 10000));
    Select(browse);
    ASSERT_TRUE(WaitNames(kBrowseRows));
    // Asked by D4, the server said "no change": the last listing is the top level's, not the folder's.
    EXPECT_EQ(browseIdx, LastField(Control("LAST cmd=D4"), 173)) << "no change check for the folder";
    EXPECT_EQ("0", LastField(Control("LAST cmd=D0"), 173)) << "the unchanged folder was listed again";
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, TheSortAndTheColumnWidthsAreKeptAndTheLastFolderOpensAgainAtTheNextStart)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NE(nullptr, OpenBrowse());
    ASSERT_TRUE(WaitNames(kBrowseRows));
    // Size, then size again: descending, folders still first.
    ClickHeading(m_list, 1);
    ClickHeading(m_list, 1);
    ASSERT_TRUE(WaitBySize());
    std::vector<BYTE> sort;
    ASSERT_TRUE(ReadProfile(L"ServerSort", sort));
    ASSERT_EQ(8u, sort.size());
    EXPECT_EQ(1, *reinterpret_cast<int32_t*>(&sort[0])) << "direction";
    EXPECT_EQ(1, *reinterpret_cast<int32_t*>(&sort[4])) << "column";
    // The name column dragged wider.
    ::SendMessageW(m_list, LVM_SETCOLUMNWIDTH, 0, 317);
    ASSERT_TRUE(ExitFromTray());
    std::vector<BYTE> widths;
    ASSERT_TRUE(ReadProfile(L"ServerColumnSize", widths));
    ASSERT_EQ(24u, widths.size());
    EXPECT_EQ(317, *reinterpret_cast<int32_t*>(&widths[0])) << "the name column's width";

    ASSERT_NO_FATAL_FAILURE(Open());
    // Without a click: the stored folder, in the stored order.
    ASSERT_TRUE(WaitBySize(15000));
    HTREEITEM selected = reinterpret_cast<HTREEITEM>(::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(std::wstring(m_name.begin(), m_name.end()), TreeText(m_tree, selected));
    EXPECT_EQ(317, ::SendMessageW(m_list, LVM_GETCOLUMNWIDTH, 0, 0)) << "the width was not restored";
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, ADoubleClickedFolderRowOpensTheFolderAndBackspaceReturnsToItsParent)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    HTREEITEM browse = OpenBrowse();
    ASSERT_NE(nullptr, browse);
    ASSERT_TRUE(WaitNames(kBrowseRows));
    int row = RowOf(m_list, L"f2");
    Remote remote(m_list, sizeof(RECT));
    RECT cell = {};
    cell.left = LVIR_LABEL;
    remote.Put(0, &cell, sizeof cell);
    ASSERT_TRUE(::SendMessageW(m_list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.At(0))));
    remote.Get(0, &cell, sizeof cell);
    POINT at = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    POINT screen = at;
    ::ClientToScreen(m_list, &screen);
    ::SetCursorPos(screen.x, screen.y);
    LPARAM where = MAKELPARAM(at.x, at.y);
    ::PostMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::PostMessageW(m_list, WM_LBUTTONUP, 0, where);
    ::PostMessageW(m_list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    ::PostMessageW(m_list, WM_LBUTTONUP, 0, where);
    auto caret = [&] {
        return TreeText(m_tree, reinterpret_cast<HTREEITEM>(::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_CARET, 0)));
    };
    EXPECT_TRUE(uitest::WaitUntil([&] { return caret() == L"f2"; }, 10000)) << CStringA(caret().c_str()).GetString();
    EXPECT_TRUE(uitest::WaitUntil([&] { return Names(m_list).empty(); }, 10000));
    ::PostMessageW(m_list, WM_KEYDOWN, VK_BACK, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return caret() == std::wstring(m_name.begin(), m_name.end()); }, 10000))
        << CStringA(caret().c_str()).GetString();
    EXPECT_TRUE(WaitNames(kBrowseRows));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, TheLockedFileTipAsksTheServerOncePerShownTip)
{
    // The file is locked by an editor of its own session; the server's option asks for the
    // lock's owner.
    ASSERT_NO_FATAL_FAILURE(LockForEditing(m_folder + "/file1.txt"));
    ASSERT_EQ("OK", Control("OPTION A1 94=Y").substr(0, 2));
    // Every property request leaves its mark on the fault's count.
    ASSERT_EQ("OK", Control("FAULT delay ms=1 count=50 cmd=D1").substr(0, 2));
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NE(nullptr, OpenBrowse());
    ASSERT_TRUE(WaitNames(kBrowseRows));
    const int row = RowOf(m_list, L"file1.txt");
    auto cellRect = [&](int column) {
        Remote remote(m_list, sizeof(RECT));
        RECT cell = {LVIR_BOUNDS, column, 0, 0};
        remote.Put(0, &cell, sizeof cell);
        ::SendMessageW(m_list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(remote.At(0)));
        remote.Get(0, &cell, sizeof cell);
        return cell;
    };
    auto hover = [&](POINT at) {
        POINT screen = at;
        ::ClientToScreen(m_list, &screen);
        ::SetCursorPos(screen.x, screen.y);
        for (int i = 0; i < 10; ++i) {
            ::PostMessageW(m_list, WM_MOUSEMOVE, 0, MAKELPARAM(at.x + (i & 1), at.y));
            ::Sleep(100);   // mouse moves a user would make
        }
    };
    auto shownTip = [&] {
        for (HWND tip : FindWindows(L"tooltips_class32", nullptr))
            if (TextOf(tip).find(L"잠금파일") != std::wstring::npos)
                return TextOf(tip);
        return std::wstring();
    };
    auto d1Left = [&] { return protoserver::Control::Value(Control("FAULTS"), "count"); };
    RECT status = cellRect(4);
    POINT icon = {status.left + 8 + 8, status.top + 8};
    hover(icon);
    std::wstring tip;
    EXPECT_TRUE(uitest::WaitUntil([&] { return !(tip = shownTip()).empty(); }, 5000)) << "no locked-file tip";
    EXPECT_NE(std::wstring::npos, tip.find(L"잠금자 Demo User[demo]")) << CStringA(tip.c_str()).GetString();
    hover(icon);
    EXPECT_EQ("49", d1Left()) << "one tip, one request, however often the mouse moved";
    // Away to the name and back: the tip shows again and asks again.
    RECT name = cellRect(0);
    hover({name.left + 10, name.top + 8});
    hover(icon);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !shownTip().empty(); }, 5000));
    EXPECT_EQ("48", d1Left());
    Control("OPTION A1 94=N");
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, RenameThroughTheLabelEditObeysTheNameRulesAndShowsTheServersRefusal)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NE(nullptr, OpenBrowse());
    ASSERT_TRUE(WaitNames(kBrowseRows));
    auto editRow = [&](const wchar_t* name, const wchar_t* text) -> HWND {
        int row = RowOf(m_list, name);
        if (row < 0)
            return nullptr;
        SelectRow(m_list, row);
        ::SetFocus(m_list);
        ::PostMessageW(m_list, WM_KEYDOWN, VK_F2, 0);
        HWND edit = nullptr;
        uitest::WaitUntil([&] { return (edit = ::FindWindowExW(m_list, nullptr, L"Edit", nullptr)) != nullptr; }, 5000);
        if (edit) {
            ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
            ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        }
        return edit;
    };

    // A device name never reaches the server: a box, and the edit opens again.
    const std::string before = Control("LAST cmd=F3");
    HWND refused = editRow(L"file2.txt", L"CON");
    ASSERT_NE(nullptr, refused);
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the reserved name was not refused";
    AnswerBox(box);
    // The refused edit closes behind the box before the new one opens.
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(refused); }, 5000));
    HWND again = nullptr;
    EXPECT_TRUE(uitest::WaitUntil([&] { return (again = ::FindWindowExW(m_list, nullptr, L"Edit", nullptr)) != nullptr; },
                                  5000))
        << "the edit did not open again";
    if (again)
        ::PostMessageW(again, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return ::FindWindowExW(m_list, nullptr, L"Edit", nullptr) == nullptr; }, 5000));
    EXPECT_EQ(before, Control("LAST cmd=F3")) << "a rename request was sent";

    // A name the list does not know is taken on the server: its refusal, in its own words; the
    // name stays.
    ASSERT_EQ("OK", Control("FILE user=demo text=x -- " + m_folder + "/taken.txt").substr(0, 2));
    ASSERT_NE(nullptr, editRow(L"file2.txt", L"taken.txt"));
    box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the refusal was not shown";
    std::wstring words = BoxText(box);
    EXPECT_NE(std::wstring::npos, words.find(L"An item with the same name exists.")) << CStringA(words.c_str()).GetString();
    AnswerBox(box);
    EXPECT_NE(std::string::npos, Control("LIST user=demo -- " + m_folder).find("file2.txt:"));

    // Accepted: the server holds the new name and the list shows it, blanks and dots trimmed.
    ASSERT_NE(nullptr, editRow(L"file2.txt", L"  renamed2.txt.. "));
    EXPECT_TRUE(uitest::WaitUntil([&] { return RowOf(m_list, L"renamed2.txt") >= 0; }, 10000))
        << Printable(Names(m_list));
    const std::string listing = Control("LIST user=demo -- " + m_folder);
    EXPECT_NE(std::string::npos, listing.find("renamed2.txt:")) << listing;
    EXPECT_EQ(std::string::npos, listing.find("file2.txt:")) << listing;
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, ANewFolderIsNamedInPlaceAndTheServersRefusalTakesItsRowAway)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NE(nullptr, OpenBrowse());
    ASSERT_TRUE(WaitNames(kBrowseRows));
    auto newFolder = [&](const wchar_t* name) -> std::wstring {
        // The command bar's new-folder button.
        ::PostMessageW(m_listView, WM_COMMAND, 1005, 0);
        HWND edit = nullptr;
        if (!uitest::WaitUntil([&] { return (edit = ::FindWindowExW(m_list, nullptr, L"Edit", nullptr)) != nullptr; }, 5000))
            return L"(no edit)";
        std::wstring proposed = TextOf(edit);
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        return proposed;
    };
    std::wstring proposed = newFolder(L"Made Here");
    EXPECT_FALSE(proposed.empty());
    EXPECT_NE(L"(no edit)", proposed);
    EXPECT_TRUE(uitest::WaitUntil([&] { return RowOf(m_list, L"Made Here") >= 0; }, 10000)) << Printable(Names(m_list));
    EXPECT_NE(std::string::npos, Control("LIST user=demo -- " + m_folder).find("Made Here:"));
    EXPECT_EQ(nullptr, WaitForBox(500));

    // Taken on the server meanwhile: its words, and the proposed row goes.
    ASSERT_EQ("OK", Control("FOLDER user=demo -- " + m_folder + "/Taken Dir").substr(0, 2));
    std::vector<std::wstring> before = Names(m_list);
    ASSERT_NE(L"(no edit)", newFolder(L"Taken Dir"));
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the refusal was not shown";
    std::wstring words = BoxText(box);
    EXPECT_NE(std::wstring::npos, words.find(L"A folder with the same name exists.")) << CStringA(words.c_str()).GetString();
    AnswerBox(box);
    EXPECT_TRUE(uitest::WaitUntil([&] { return Names(m_list) == before; }, 5000)) << Printable(Names(m_list));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, AnEndedSessionDuringAListingGivesOneLogOut)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    HTREEITEM myFiles = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = Child(nullptr, L"My Files")) != nullptr; }, 10000));
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Names(m_list).empty(); }, 10000));
    ASSERT_EQ("OK", Control("FAULT error code=1213 count=* cmd=D0 -- The session has ended.").substr(0, 2));
    Select(Child(nullptr, L"Recycle Bin"));
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "no log-out message";
    std::wstring words = BoxText(box);
    EXPECT_NE(std::wstring::npos, words.find(L"The session has ended.")) << CStringA(words.c_str()).GetString();
    AnswerBox(box);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(m_frame); }, 5000)) << "the window stayed up";
    EXPECT_EQ(nullptr, WaitForBox(4000)) << "a second message appeared";
    EXPECT_TRUE(Sessions().empty()) << "the session was not ended";
    Control("RESET");
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, ThePictureViewFetchesEachPictureOnceOverItsOwnConnectionAndReusesIt)
{
    for (const char* name : {"b.bmp", "a.bmp"})
        ASSERT_EQ("OK", Control(std::string("FILE user=demo hex=") + kBitmapHex + " -- " + m_folder + "/Pics/" + name).substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo text=plain -- " + m_folder + "/Pics/notes.txt").substr(0, 2));
    for (const std::wstring& old : FilesIn(ThumbnailDir()))
        ::DeleteFileW((ThumbnailDir() + L"\\" + old).c_str());
    ASSERT_NO_FATAL_FAILURE(Open());
    HTREEITEM folder = OpenBrowse();
    ASSERT_NE(nullptr, folder);
    HTREEITEM pics = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (pics = Child(folder, L"Pics")) != nullptr; }, 10000));
    Select(pics);
    ASSERT_TRUE(WaitNames({L"a.bmp", L"b.bmp", L"notes.txt"}));
    // The command bar's picture button.
    ::SendMessageW(m_listView, WM_COMMAND, 1026, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return (::GetWindowLongW(m_list, GWL_STYLE) & LVS_TYPEMASK) == LVS_ICON; }, 5000));
    ASSERT_TRUE(WaitNames({L"a.bmp", L"b.bmp", L"notes.txt"}));
    // Two pictures in the cache, one per image file; the text file takes its shell icon.
    std::vector<std::wstring> cached;
    EXPECT_TRUE(uitest::WaitUntil([&] { return (cached = FilesIn(ThumbnailDir())).size() == 2; }, 10000))
        << Printable(cached);
    const std::string first = Control("LAST cmd=I2");
    ASSERT_EQ("OK", first.substr(0, 2)) << "no picture was asked for";
    EXPECT_NE(LastConnection("B0"), LastConnection("I2")) << "pictures came over the session's connection";

    // Away and back: the same pictures from the cache, no new request.
    Select(folder);
    ASSERT_TRUE(uitest::WaitUntil([&] { return RowOf(m_list, L"Pics") >= 0; }, 10000));
    Select(pics);
    ASSERT_TRUE(WaitNames({L"a.bmp", L"b.bmp", L"notes.txt"}));
    EXPECT_EQ(first, Control("LAST cmd=I2")) << "a cached picture was fetched again";
    EXPECT_EQ(cached, FilesIn(ThumbnailDir()));

    // Back to the report.
    ::SendMessageW(m_listView, WM_COMMAND, 1023, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return (::GetWindowLongW(m_list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT; }, 5000));
    EXPECT_TRUE(WaitNames({L"a.bmp", L"b.bmp", L"notes.txt"}));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, TheSpinnerTurnsOverTheListWhileItFillsAndGoesWithTheLastRow)
{
    ASSERT_NE(nullptr, OpenSlowPictures(6, nullptr));
    HWND spinner = Spinner();
    ASSERT_NE(nullptr, spinner) << "the list has no spinner";
    EXPECT_NE(::GetWindowThreadProcessId(m_list, nullptr), ::GetWindowThreadProcessId(spinner, nullptr))
        << "the spinner shares the list's thread";
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsWindowVisible(spinner) != FALSE; }, 5000)) << "no spinner while filling";
    // 50 pixels square, in the middle of the list.
    RECT list = {}, spin = {};
    ::GetClientRect(m_list, &list);
    ::GetWindowRect(spinner, &spin);
    ::MapWindowPoints(nullptr, m_list, reinterpret_cast<POINT*>(&spin), 2);
    EXPECT_EQ(50, spin.right - spin.left);
    EXPECT_EQ(50, spin.bottom - spin.top);
    EXPECT_NEAR((list.right - list.left) / 2, (spin.left + spin.right) / 2, 3);
    EXPECT_NEAR((list.bottom - list.top) / 2, (spin.top + spin.bottom) / 2, 3);
    // Its spokes in the program's blue, and around them the list's own background (once its
    // thread has painted it).
    ::GetWindowRect(spinner, &spin);
    const COLORREF background = static_cast<COLORREF>(::SendMessageW(m_list, LVM_GETBKCOLOR, 0, 0));
    const POINT corners[] = {{1, 1}, {48, 1}, {1, 48}, {48, 48}};
    uitest::Pixels pixels;
    uitest::WaitUntil([&] {
        pixels = uitest::CaptureScreen(spin);
        return pixels.Count(RGB(35, 103, 158), {0, 0, 50, 50}) > 0 && pixels.At(1, 1) == background;
    }, 3000);
    EXPECT_LT(0, pixels.Count(RGB(35, 103, 158), {0, 0, 50, 50})) << "no spoke of the spinner's colour";
    for (POINT corner : corners)
        EXPECT_EQ(background, pixels.At(corner.x, corner.y)) << corner.x << "," << corner.y;
    if (const wchar_t* dir = _wgetenv(L"PANES_SHOTS")) {
        RECT frame = {};
        ::GetWindowRect(m_frame, &frame);
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureScreen(frame), std::wstring(dir) + L"\\main-spinner.png"));
    }
    // Gone with the last row, not before.
    ASSERT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(spinner); }, 20000)) << "the spinner stayed";
    EXPECT_EQ(6u, Names(m_list).size()) << "the spinner went before the last row";
    EXPECT_EQ(6u, FilesIn(ThumbnailDir()).size());
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, AFillingStoppedByAnotherFolderTakesItsSpinnerAwayBeforeThatFolderIsAskedFor)
{
    HTREEITEM parent = nullptr;
    ASSERT_NE(nullptr, OpenSlowPictures(6, &parent));
    HWND spinner = Spinner();
    ASSERT_NE(nullptr, spinner);
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsWindowVisible(spinner) != FALSE; }, 5000));
    // The parent folder is known: its change check is the next request, held at the server.
    const std::string before = Control("LAST cmd=D4");
    ASSERT_EQ("OK", Control("FAULT delay ms=4000 cmd=D4").substr(0, 2));
    ::PostMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(parent));
    ASSERT_TRUE(uitest::WaitUntil([&] { return Control("LAST cmd=D4") != before; }, 5000)) << "the folder was not asked for";
    EXPECT_FALSE(::IsWindowVisible(spinner)) << "the stopped filling left its spinner turning";
    EXPECT_LT(FilesIn(ThumbnailDir()).size(), 6u) << "the filling was not stopped";
    // The parent's own filling shows its rows and ends hidden too.
    EXPECT_TRUE(WaitNames({L"f1", L"f2", L"f10", L"Slow", L"file1.txt", L"file2.txt", L"file10.txt"}, 15000));
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(spinner); }, 5000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadBrowse, ClosingTheProgramWhileTheListFillsEndsItCleanly)
{
    ASSERT_NE(nullptr, OpenSlowPictures(6, nullptr));
    HWND spinner = Spinner();
    ASSERT_NE(nullptr, spinner);
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsWindowVisible(spinner) != FALSE; }, 5000));
    ASSERT_TRUE(ExitFromTray(15000)) << "the program did not end while its list filled";
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_process.hProcess, &code);
    EXPECT_EQ(0u, code);
}

TEST_F(AppRoadBrowse, ScreenshotsOfTheMainWindowListingAFolder)
{
    const wchar_t* dir = _wgetenv(L"PANES_SHOTS");
    if (!dir)
        GTEST_SKIP() << "set PANES_SHOTS to a folder to take them";
    for (const char* name : {"b.bmp", "a.bmp"})
        ASSERT_EQ("OK", Control(std::string("FILE user=demo hex=") + kBitmapHex + " -- " + m_folder + "/" + name).substr(0, 2));
    ASSERT_NO_FATAL_FAILURE(LockForEditing(m_folder + "/file1.txt"));
    ASSERT_EQ("OK", Control("LOCK idx=" + protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + "/f2"), "idx") +
                            " value=Y").substr(0, 2));
    for (unsigned short language : {0x12, 0x09}) {
        ASSERT_TRUE(CToviRegistry::SetLanguage(0, language));
        ASSERT_NO_FATAL_FAILURE(Open());
        ::MoveWindow(m_frame, 0, 0, 1200, 800, TRUE);
        ASSERT_NE(nullptr, OpenBrowse());
        ASSERT_TRUE(uitest::WaitUntil([&] { return Names(m_list).size() == 8; }, 10000));
        const std::wstring suffix = language == 0x12 ? L"-ko.png" : L"-en.png";
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureScreen({0, 0, 1200, 800}), std::wstring(dir) + L"\\main-report" + suffix));
        ::SendMessageW(m_listView, WM_COMMAND, 1026, 0);
        ASSERT_TRUE(uitest::WaitUntil([&] { return Names(m_list).size() == 8; }, 10000));
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureSettledScreen({0, 0, 1200, 800}),
                                    std::wstring(dir) + L"\\main-pictures" + suffix));
        ::SendMessageW(m_listView, WM_COMMAND, 1023, 0);
        ASSERT_TRUE(ExitFromTray());
        ::CloseHandle(m_process.hProcess);
        ::CloseHandle(m_process.hThread);
        m_process = {};
    }
}

// The server tree's context menu in the running program: a right-click on a folder that is not
// the selected one, Delete chosen from the menu with the keys, the confirmation answered.
TEST_F(AppRoadBrowse, TheTreesMenuDeletesTheClickedFolderIntoTheRecycleBin)
{
    const std::string f1 = protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + "/f1"), "idx");
    ASSERT_FALSE(f1.empty());
    // Only delete allowed: the menu is Delete, a separator and Properties.
    std::string onlyDelete(31, '0');
    onlyDelete[7] = '1';
    ASSERT_EQ("OK", Control("PERM idx=" + f1 + " value=" + onlyDelete).substr(0, 2));
    Open();
    HTREEITEM browse = OpenBrowse();
    ASSERT_NE(nullptr, browse);
    HTREEITEM item = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (item = Child(browse, L"f1")) != nullptr; }, 10000));

    ASSERT_TRUE(ChooseFromTreeMenu(m_frame, m_tree, item)) << "no menu opened";

    HWND confirm = WaitForDialogWith(IDOK);
    ASSERT_NE(nullptr, confirm) << "no confirmation";
    Click(confirm, IDOK);
    EXPECT_TRUE(uitest::WaitUntil([&] {
        return protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + "/f1"), "idx").empty();
    }, 15000));
    EXPECT_NE(std::string::npos, Control("LAST cmd=F2").find("cmd=F2"));
    EXPECT_TRUE(uitest::WaitUntil([&] { return Child(browse, L"f1") == nullptr; }, 10000));
    // The folder the user was in stays selected.
    EXPECT_EQ(reinterpret_cast<LRESULT>(browse), ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_TRUE(ExitFromTray());
}

// The mend in the running program: a new folder the server refuses leaves no row behind, and
// nothing the user does afterwards asks the server for it again.
TEST_F(AppRoadBrowse, ANewTreeFolderTheServerRefusesLeavesNoRowAndIsNotAskedForAgain)
{
    const std::string f2 = protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + "/f2"), "idx");
    ASSERT_FALSE(f2.empty());
    // Only new folders allowed: the menu is New Folder, a separator and Properties.
    std::string onlyNewFolder(31, '0');
    onlyNewFolder[5] = '1';
    ASSERT_EQ("OK", Control("PERM idx=" + f2 + " value=" + onlyNewFolder).substr(0, 2));
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1310 cmd=F0 -- Folder refused").substr(0, 2));
    Open();
    HTREEITEM browse = OpenBrowse();
    ASSERT_NE(nullptr, browse);
    HTREEITEM item = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (item = Child(browse, L"f2")) != nullptr; }, 10000));
    ASSERT_TRUE(ChooseFromTreeMenu(m_frame, m_tree, item)) << "no menu opened";
    HWND edit = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        edit = reinterpret_cast<HWND>(::SendMessageW(m_tree, TVM_GETEDITCONTROL, 0, 0));
        return edit != nullptr;
    }, 10000)) << "no name edit";
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Plans"));
    ::PostMessageW(m_tree, TVM_ENDEDITLABELNOW, FALSE, 0);
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::wstring::npos, BoxText(box).find(L"Folder refused"));
    AnswerBox(box);
    HTREEITEM f2item = Child(browse, L"f2");
    ASSERT_NE(nullptr, f2item);
    EXPECT_TRUE(uitest::WaitUntil([&] {
        return ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(f2item)) == 0;
    }, 5000)) << "the refused folder's row stayed";
    ::PostMessageW(m_tree, WM_KEYDOWN, VK_ESCAPE, 0);
    ::Sleep(500);
    EXPECT_EQ(nullptr, WaitForBox(500));
    EXPECT_TRUE(protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + "/f2/Plans"), "idx").empty());
    EXPECT_TRUE(ExitFromTray());
}

// The list's menu in the running program: Copy on a file row, then Paste on a folder row; the
// copy is made at the server inside that folder.
TEST_F(AppRoadBrowse, TheListsMenuCopiesAFileAndPastesItIntoAFolderRow)
{
    auto idx = [&](const std::string& path) {
        return protoserver::Control::Value(Control("ITEM user=demo -- " + path), "idx");
    };
    // Only copy on the file, only adding files on the folder: each menu starts with that entry.
    std::string onlyCopy(31, '0'), onlyNewFile(31, '0');
    onlyCopy[2] = '1';
    onlyNewFile[6] = '1';
    ASSERT_EQ("OK", Control("PERM idx=" + idx(m_folder + "/file2.txt") + " value=" + onlyCopy).substr(0, 2));
    ASSERT_EQ("OK", Control("PERM idx=" + idx(m_folder + "/f1") + " value=" + onlyNewFile).substr(0, 2));
    Open();
    ASSERT_NE(nullptr, OpenBrowse());
    ASSERT_TRUE(WaitNames({L"f1", L"f2", L"f10", L"file1.txt", L"file2.txt", L"file10.txt"}));
    int file = RowOf(m_list, L"file2.txt");
    SelectRow(m_list, file);
    ASSERT_TRUE(ChooseFromListMenu(m_frame, m_list, file)) << "no menu on the file";
    ASSERT_TRUE(MenuClosed());
    int folder = RowOf(m_list, L"f1");
    SelectRow(m_list, folder);
    ASSERT_TRUE(ChooseFromListMenu(m_frame, m_list, folder)) << "no menu on the folder";
    EXPECT_TRUE(uitest::WaitUntil([&] { return !idx(m_folder + "/f1/file2.txt").empty(); }, 15000))
        << "nothing was pasted into the folder row";
    EXPECT_NE(std::string::npos, Control("LAST cmd=F1").find("cmd=F1"));
    EXPECT_FALSE(idx(m_folder + "/file2.txt").empty()) << "a copy leaves the source";
    EXPECT_TRUE(ExitFromTray());
}
