// The folder selection tree over the real shell namespace, driven with the mouse and keyboard:
// which folders are listed, the check rules as a table, preselected folders, refreshes, and
// screenshots in Korean and English in the scratch folder.
#include "AutoAnswer.h"
#include "FolderSelectDlg.h"
#include "FolderTreeSteps.h"
#include "Library.h"
#include "PixelCapture.h"
#include "ShellItems.h"
#include "TestPaths.h"
#include "ToviTextLanguage.h"
#include "TreeDriver.h"
#include "UiThread.h"
#include "WinThread.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

const wchar_t kTitle[] = L"폴더 설정";
const wchar_t kMessageBox[] = L"Corvane IXO MessageBox";

std::string Utf8(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    return out;
}

class FolderSelectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        ui.SetPreTranslate(&AfxPreTranslateMessage);
        m_scratch = testpaths::ScratchDir(L"folder-select");
        for (const wchar_t* dir : {L"\\Data", L"\\Data\\Work", L"\\Data\\Work\\Deep", L"\\Data\\Notes", L"\\Other"})
            CreateDirectoryW((m_scratch + dir).c_str(), nullptr);
    }
    void TearDown() override { ToviInterfaceTerm(); }

    struct Run {
        std::shared_ptr<uitest::UiTask> task;
        HWND dlg = nullptr, tree = nullptr;
        INT_PTR answer = 0;
        CFolderPathMap result;
    };

    // Opens the dialog with a preset map; the dialog and its tree are found on screen.
    void Open(Run& run, const CFolderPathMap& preset, unsigned short language = LANG_KOREAN)
    {
        run.task = ui.Post([&run, preset, language] {
            CToviTextLanguage::SetThreadLanguage(language);
            CFolderSelectDlg dlg;
            dlg.m_mapFolder = preset;
            run.answer = dlg.DoModal();
            run.result = dlg.m_mapFolder;
        });
        run.dlg = uitest::WaitForDialog(language == LANG_ENGLISH ? L"Folders" : kTitle, 10000);
        ASSERT_NE(nullptr, run.dlg);
        run.tree = GetDlgItem(run.dlg, 10222);
        ASSERT_NE(nullptr, run.tree);
    }
    void Close(Run& run, int button)
    {
        ASSERT_TRUE(uitest::ClickButton(run.dlg, button));
        ASSERT_TRUE(run.task->Wait());
    }

    std::wstring ScratchTreePath(HWND tree) { return foldertree::TreePathOf(tree, m_scratch); }
    HTREEITEM DriveItem(HWND tree) { return foldertree::DriveItem(tree, m_scratch); }
    HTREEITEM Reveal(HWND tree, const std::wstring& rel) { return foldertree::Reveal(tree, rel.empty() ? m_scratch : Full(rel)); }
    HTREEITEM Find(HWND tree, const std::wstring& rel)
    {
        return uitest::TreeItemByPath(tree, ScratchTreePath(tree) + L"/" + rel);
    }
    std::wstring Full(const std::wstring& rel) const
    {
        std::wstring path = m_scratch + L"\\" + rel;
        for (wchar_t& c : path)
            if (c == L'/')
                c = L'\\';
        return path;
    }
    _FOLDER_PATH_INFO Entry(const std::wstring& treePath, const std::wstring& fullPath) const
    {
        _FOLDER_PATH_INFO info = {};
        wcsncpy(info.TreePath, treePath.c_str(), 1023);
        wcsncpy(info.FullPath, fullPath.c_str(), 259);
        return info;
    }
    // Waits until the item's check settles at the wanted state.
    bool SettlesAt(HWND tree, HTREEITEM item, bool checked)
    {
        uitest::WaitUntil([&] { return uitest::TreeIsChecked(tree, item) == checked; }, 1500);
        Sleep(100);
        uitest::PumpMessages();
        return uitest::TreeIsChecked(tree, item) == checked;
    }

    uitest::UiThread ui;
    std::wstring m_scratch;
};

std::set<std::wstring> Keys(const CFolderPathMap& map)
{
    std::set<std::wstring> keys;
    for (const auto& entry : map)
        keys.insert(entry.first.GetString());
    return keys;
}

TEST_F(FolderSelectTest, UnderTheDesktopOnlyComputerIsListedAndUnderItOnlyDrives)
{
    Run run;
    Open(run, {});
    const std::vector<HTREEITEM> roots = uitest::TreeChildren(run.tree, nullptr);
    ASSERT_EQ(1u, roots.size());
    const std::vector<HTREEITEM> underDesktop = uitest::TreeChildren(run.tree, roots[0]);
    ASSERT_EQ(1u, underDesktop.size());
    EXPECT_TRUE(uitest::TreeIsExpanded(run.tree, underDesktop[0]));
    const std::vector<HTREEITEM> drives = uitest::TreeChildren(run.tree, underDesktop[0]);
    ASSERT_FALSE(drives.empty());
    for (HTREEITEM drive : drives) {
        EXPECT_NE(std::wstring::npos, uitest::TreeItemText(run.tree, drive).find(L':'))
            << Utf8(uitest::TreeItemText(run.tree, drive));
    }
    EXPECT_NE(nullptr, DriveItem(run.tree));
    // Folders only, in natural order.
    CloseHandle(CreateFileW(Full(L"file.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    CreateDirectoryW(Full(L"v10").c_str(), nullptr);
    CreateDirectoryW(Full(L"v9").c_str(), nullptr);
    HTREEITEM scratch = Reveal(run.tree, L"");
    ASSERT_NE(nullptr, scratch);
    std::vector<std::wstring> names;
    for (HTREEITEM child : uitest::TreeChildren(run.tree, scratch))
        names.push_back(uitest::TreeItemText(run.tree, child));
    EXPECT_EQ((std::vector<std::wstring>{L"Data", L"Other", L"v9", L"v10"}), names);
    Close(run, IDCANCEL);
    EXPECT_EQ(IDCANCEL, run.answer);
}

// One click (or the space bar) on a folder's check box, from a preset map: the map that OK
// hands back, the message shown, and the checks the tree shows.
TEST_F(FolderSelectTest, CheckRules)
{
    const wchar_t kSame[] = L"동일한 폴더가 이미 추가 되었습니다.";
    const wchar_t kParent[] = L"부모 폴더가 이미 추가 되었습니다.";
    (void)kSame;
    const struct Row {
        const char* what;
        std::vector<std::wstring> preset;       // folders below the scratch folder; "~" first: a tree path the tree cannot show
        std::wstring click;                     // "" the drive, "*" Computer
        bool space;
        const wchar_t* message;
        std::set<std::wstring> expected;        // "" stands for the drive root
        std::vector<std::wstring> checked, unchecked;
    } rows[] = {
        {"a folder is added and its loaded folders show checked", {}, L"Data", false, nullptr, {L"Data"},
         {L"Data", L"Data/Work", L"Data/Work/Deep"}, {L"Other"}},
        {"a folder replaces the added folders inside it", {L"Data/Work"}, L"Data", false, nullptr, {L"Data"},
         {L"Data", L"Data/Work", L"Data/Notes"}, {}},
        {"a folder inside a checked folder does not change", {L"Data"}, L"Data/Work", false, nullptr, {L"Data"},
         {L"Data", L"Data/Work"}, {}},
        {"unchecking removes the folder and unchecks the folders inside", {L"Data"}, L"Data", false, nullptr, {},
         {}, {L"Data", L"Data/Work", L"Data/Work/Deep"}},
        {"a sibling is added beside a folder", {L"Data"}, L"Other", false, nullptr, {L"Data", L"Other"},
         {L"Data", L"Other"}, {}},
        {"a folder under an added folder that the tree does not show is refused", {L"~Data"}, L"Data/Work", false,
         kParent, {L"Data"}, {}, {L"Data/Work"}},
        {"a drive root replaces the added folders on it", {L"Data", L"Other"}, L"", false, nullptr, {L""},
         {L"Data", L"Other"}, {}},
        {"Computer has no path and is not added", {}, L"*", false, nullptr, {}, {}, {}},
        {"the space bar checks as a click does", {}, L"Other", true, nullptr, {L"Other"}, {L"Other"}, {}},
        {"the space bar unchecks as a click does", {L"Other"}, L"Other", true, nullptr, {}, {}, {L"Other"}},
    };
    // The tree path of the scratch folder, from a first look at the tree.
    std::wstring base;
    {
        Run look;
        Open(look, {});
        base = ScratchTreePath(look.tree);
        Close(look, IDCANCEL);
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CFolderPathMap preset;
        for (const std::wstring& p : row.preset) {
            const bool hidden = p[0] == L'~';
            const std::wstring rel = hidden ? p.substr(1) : p;
            const std::wstring tree = hidden ? L"Elsewhere/" + rel : base + L"/" + rel;
            preset[CString(Full(rel).c_str())] = Entry(tree, Full(rel));
        }
        uitest::AutoAnswer boxes(kMessageBox, IDOK);
        Run run;
        Open(run, preset);
        for (const wchar_t* rel : {L"Data/Work/Deep", L"Data/Notes", L"Other"})
            ASSERT_NE(nullptr, Reveal(run.tree, rel)) << Utf8(rel);
        HTREEITEM target = nullptr;
        if (row.click == L"*")
            target = uitest::TreeChildren(run.tree, uitest::TreeChildren(run.tree, nullptr).at(0)).at(0);
        else if (row.click.empty())
            target = DriveItem(run.tree);
        else
            target = Find(run.tree, row.click);
        ASSERT_NE(nullptr, target);
        if (row.space) {
            ASSERT_TRUE(uitest::TreeClickLabel(run.tree, target));
            ASSERT_TRUE(uitest::WaitUntil([&] {
                return reinterpret_cast<HTREEITEM>(SendMessageW(run.tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == target;
            }));
            SetFocus(run.tree);
            uitest::SendKey(run.tree, VK_SPACE);
        } else {
            ASSERT_TRUE(uitest::TreeClickCheckBox(run.tree, target));
        }
        if (row.message) {
            ASSERT_TRUE(boxes.WaitForCount(1));
            const auto seen = boxes.Seen();
            bool found = false;
            for (const std::wstring& text : seen[0].texts)
                found = found || text == row.message;
            EXPECT_TRUE(found) << Utf8(row.message);
        }
        const bool targetChecked = row.expected.count(row.click) != 0 ||
                                   std::find(row.checked.begin(), row.checked.end(), row.click) != row.checked.end();
        EXPECT_TRUE(SettlesAt(run.tree, target, targetChecked));
        for (const std::wstring& rel : row.checked)
            EXPECT_TRUE(uitest::TreeIsChecked(run.tree, Find(run.tree, rel))) << "checked: " << Utf8(rel);
        for (const std::wstring& rel : row.unchecked)
            EXPECT_FALSE(uitest::TreeIsChecked(run.tree, Find(run.tree, rel))) << "unchecked: " << Utf8(rel);
        if (!row.message) {
            EXPECT_EQ(0, boxes.Count());
        }
        Close(run, IDOK);
        EXPECT_EQ(IDOK, run.answer);
        std::set<std::wstring> expected;
        for (const std::wstring& rel : row.expected)
            expected.insert(rel.empty() ? m_scratch.substr(0, 3) : Full(rel));
        EXPECT_EQ(expected, Keys(run.result));
        // What is added keeps the tree path that opens it again.
        for (const auto& entry : run.result) {
            if (entry.first.GetLength() > 3 && row.preset.empty()) {
                EXPECT_EQ(base + L"/" + row.click, std::wstring(entry.second.TreePath));
            }
        }
    }
}

TEST_F(FolderSelectTest, APreselectedFolderOpensCheckedAndItsFoldersLoadChecked)
{
    std::wstring base;
    {
        Run look;
        Open(look, {});
        base = ScratchTreePath(look.tree);
        Close(look, IDCANCEL);
    }
    CFolderPathMap preset;
    preset[CString(Full(L"Data").c_str())] = Entry(base + L"/Data", Full(L"Data"));
    Run run;
    Open(run, preset);
    HTREEITEM data = Find(run.tree, L"Data");
    ASSERT_NE(nullptr, data);
    EXPECT_TRUE(uitest::TreeIsChecked(run.tree, data));
    EXPECT_FALSE(uitest::TreeIsChecked(run.tree, Find(run.tree, L"Other")));
    HTREEITEM work = Reveal(run.tree, L"Data/Work");
    ASSERT_NE(nullptr, work);
    EXPECT_TRUE(uitest::TreeIsChecked(run.tree, work));
    Close(run, IDOK);
    EXPECT_EQ(std::set<std::wstring>{Full(L"Data")}, Keys(run.result));
}

// A preselected folder deleted since (or one above it): the nearest folder that is left is
// not checked in its place, and the entry leaves the map.
TEST_F(FolderSelectTest, APreselectedPathWhoseFolderVanishedIsDroppedAndNothingElseIsChecked)
{
    std::wstring base;
    {
        Run look;
        Open(look, {});
        base = ScratchTreePath(look.tree);
        Close(look, IDCANCEL);
    }
    CFolderPathMap preset;
    preset[CString(Full(L"Gone/Sub").c_str())] = Entry(base + L"/Gone/Sub", Full(L"Gone/Sub"));
    preset[CString(Full(L"Data/Missing").c_str())] = Entry(base + L"/Data/Missing", Full(L"Data/Missing"));
    preset[CString(Full(L"Other").c_str())] = Entry(base + L"/Other", Full(L"Other"));
    Run run;
    Open(run, preset);
    HTREEITEM scratch = Reveal(run.tree, L"");
    ASSERT_NE(nullptr, scratch);
    EXPECT_FALSE(uitest::TreeIsChecked(run.tree, scratch));
    EXPECT_FALSE(uitest::TreeIsChecked(run.tree, Find(run.tree, L"Data")));
    EXPECT_TRUE(uitest::TreeIsChecked(run.tree, Find(run.tree, L"Other")));
    Close(run, IDOK);
    EXPECT_EQ(std::set<std::wstring>{Full(L"Other")}, Keys(run.result));
}

// Selecting an opened folder reloads its folders: new ones appear with the folder's check,
// deleted ones go, and the ones found again keep their items.
TEST_F(FolderSelectTest, SelectingAnOpenFolderRefreshesItsFolders)
{
    Run run;
    Open(run, {});
    HTREEITEM work = Reveal(run.tree, L"Data/Work");
    HTREEITEM data = Find(run.tree, L"Data");
    ASSERT_NE(nullptr, work);
    ASSERT_TRUE(uitest::TreeClickCheckBox(run.tree, data));
    ASSERT_TRUE(SettlesAt(run.tree, data, true));
    CreateDirectoryW(Full(L"Data/Fresh").c_str(), nullptr);
    RemoveDirectoryW(Full(L"Data/Notes").c_str());
    HTREEITEM other = Find(run.tree, L"Other");
    ASSERT_TRUE(uitest::TreeClickLabel(run.tree, other));
    ASSERT_TRUE(uitest::TreeClickLabel(run.tree, data));
    ASSERT_TRUE(uitest::WaitUntil([&] { return Find(run.tree, L"Data/Fresh") != nullptr; }, 3000));
    EXPECT_EQ(nullptr, Find(run.tree, L"Data/Notes"));
    EXPECT_EQ(work, Find(run.tree, L"Data/Work"));
    EXPECT_TRUE(uitest::TreeIsChecked(run.tree, Find(run.tree, L"Data/Fresh")));
    std::vector<std::wstring> names;
    for (HTREEITEM child : uitest::TreeChildren(run.tree, data))
        names.push_back(uitest::TreeItemText(run.tree, child));
    EXPECT_EQ((std::vector<std::wstring>{L"Fresh", L"Work"}), names);
    Close(run, IDCANCEL);
}

// The caption band moves the window, the bottom-right corner sizes it (the tree and the
// buttons follow), and it does not shrink below its minimum.
TEST_F(FolderSelectTest, TheFrameMovesByItsBandAndSizesByItsCorner)
{
    Run run;
    Open(run, {});
    RECT start, tree0;
    GetWindowRect(run.dlg, &start);
    GetWindowRect(run.tree, &tree0);
    uitest::DragWithMouse(run.dlg, {60, 12}, {100, 42});
    RECT moved;
    ASSERT_TRUE(uitest::WaitUntil([&] { GetWindowRect(run.dlg, &moved); return moved.left != start.left; }, 2000));
    EXPECT_EQ(start.left + 40, moved.left);
    EXPECT_EQ(start.top + 30, moved.top);

    const int w = moved.right - moved.left, h = moved.bottom - moved.top;
    uitest::DragWithMouse(run.dlg, {w - 3, h - 2}, {w + 57, h + 48});
    RECT grown, tree1, cancel;
    ASSERT_TRUE(uitest::WaitUntil([&] { GetWindowRect(run.dlg, &grown); return grown.right != moved.right; }, 2000));
    EXPECT_EQ(w + 60, grown.right - grown.left);
    EXPECT_EQ(h + 50, grown.bottom - grown.top);
    GetWindowRect(run.tree, &tree1);
    EXPECT_EQ((tree0.right - tree0.left) + 60, tree1.right - tree1.left);
    EXPECT_EQ((tree0.bottom - tree0.top) + 50, tree1.bottom - tree1.top);
    // The buttons keep to the bottom-right corner, inside the border and the margin.
    GetWindowRect(GetDlgItem(run.dlg, IDCANCEL), &cancel);
    EXPECT_EQ(grown.right - 14, cancel.right);
    EXPECT_GT(cancel.top, tree1.bottom);

    const int w2 = grown.right - grown.left, h2 = grown.bottom - grown.top;
    uitest::DragWithMouse(run.dlg, {w2 - 3, h2 - 2}, {w2 - 700, h2 - 700});
    RECT shrunk;
    uitest::WaitUntil([&] { GetWindowRect(run.dlg, &shrunk); return shrunk.right != grown.right; }, 2000);
    EXPECT_EQ(360, shrunk.right - shrunk.left);
    EXPECT_EQ(380, shrunk.bottom - shrunk.top);
    Close(run, IDCANCEL);
}

TEST_F(FolderSelectTest, TheItemIdListHelpersCopyAndJoin)
{
    IMalloc* allocator = nullptr;
    ASSERT_EQ(S_OK, SHGetMalloc(&allocator));
    LPITEMIDLIST drives = nullptr;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives));
    LPITEMIDLIST copy = ClonePidl(allocator, drives);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(static_cast<void*>(drives), static_cast<void*>(copy));
    EXPECT_EQ(ILGetSize(drives), ILGetSize(copy));
    LPITEMIDLIST joined = ConcatPidl(allocator, drives, copy);
    EXPECT_EQ(ILGetSize(drives) * 2 - 2, ILGetSize(joined));
    // Without a second list the result is still a list of its own to free.
    LPITEMIDLIST alone = ConcatPidl(allocator, drives, nullptr);
    EXPECT_NE(static_cast<void*>(drives), static_cast<void*>(alone));
    EXPECT_EQ(nullptr, ConcatPidl(allocator, nullptr, drives));
    EXPECT_EQ(nullptr, ClonePidl(allocator, nullptr));
    for (LPITEMIDLIST list : {copy, joined, alone})
        allocator->Free(list);
    allocator->Free(drives);
    allocator->Release();
}

TEST_F(FolderSelectTest, Screenshots)
{
    const std::wstring dir = testpaths::ScratchDir(L"folder-select-shots");
    for (unsigned short language : {LANG_KOREAN, LANG_ENGLISH}) {
        Run run;
        Open(run, {}, language);
        HTREEITEM data = Reveal(run.tree, L"Data/Work");
        ASSERT_NE(nullptr, data);
        uitest::TreeClickCheckBox(run.tree, Find(run.tree, L"Data"));
        SettlesAt(run.tree, Find(run.tree, L"Data"), true);
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(run.dlg, 500),
                                    dir + (language == LANG_KOREAN ? L"\\folder-select-ko.png" : L"\\folder-select-en.png")));
        Close(run, IDCANCEL);
    }
}

} // namespace
