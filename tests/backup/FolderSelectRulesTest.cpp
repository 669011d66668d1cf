// The folder selection's decisions without a window: what a check does to the folder map, and
// which children of Computer are listed.
#include "FolderSelectDlg.h"
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

CFolderPathMap Map(const std::set<std::wstring>& paths)
{
    CFolderPathMap map;
    for (const std::wstring& p : paths) {
        _FOLDER_PATH_INFO info = {};
        wcsncpy(info.FullPath, p.c_str(), 259);
        wcsncpy(info.TreePath, (L"Desktop/" + p).c_str(), 259);
        map[CString(p.c_str())] = info;
    }
    return map;
}

std::set<std::wstring> Keys(const CFolderPathMap& map)
{
    std::set<std::wstring> keys;
    for (const auto& entry : map)
        keys.insert(entry.first.GetString());
    return keys;
}

TEST(FolderSelectRules, ACheckAddsReplacesOrIsRefusedByTheFoldersAlreadyChosen)
{
    const std::wstring longPath = L"D:\\" + std::wstring(257, L'x');   // 260 characters
    const struct Row {
        const char* what;
        std::set<std::wstring> before;
        std::wstring path;
        bool check;
        CFolderSelectDlg::CheckOutcome outcome;
        std::set<std::wstring> after;
    } rows[] = {
        {"added to an empty map", {}, L"D:\\Data", true, CFolderSelectDlg::kChecked, {L"D:\\Data"}},
        {"the same folder again", {L"D:\\Data"}, L"D:\\Data", true, CFolderSelectDlg::kRefusedSame, {L"D:\\Data"}},
        {"inside a chosen folder", {L"D:\\Data"}, L"D:\\Data\\Work", true, CFolderSelectDlg::kRefusedParent, {L"D:\\Data"}},
        {"around chosen folders: they go", {L"D:\\Data\\Work", L"D:\\Data\\Notes", L"D:\\Other"}, L"D:\\Data", true,
         CFolderSelectDlg::kChecked, {L"D:\\Data", L"D:\\Other"}},
        {"a name that only begins alike is no parent", {L"D:\\Data"}, L"D:\\Database", true, CFolderSelectDlg::kChecked,
         {L"D:\\Data", L"D:\\Database"}},
        {"a drive root takes in the folders on it", {L"D:\\Data", L"E:\\Else"}, L"D:\\", true, CFolderSelectDlg::kChecked,
         {L"D:\\", L"E:\\Else"}},
        {"a folder on a chosen drive root", {L"D:\\"}, L"D:\\Data", true, CFolderSelectDlg::kRefusedParent, {L"D:\\"}},
        {"paths differ by letter case as the shell spells them", {L"D:\\data"}, L"D:\\Data\\Work", true,
         CFolderSelectDlg::kChecked, {L"D:\\data", L"D:\\Data\\Work"}},
        {"a folder without a path", {L"D:\\Data"}, L"", true, CFolderSelectDlg::kRefusedNoPath, {L"D:\\Data"}},
        {"a path longer than the store keeps", {}, longPath, true, CFolderSelectDlg::kRefusedNoPath, {}},
        {"unchecking removes only that folder", {L"D:\\Data", L"D:\\Other"}, L"D:\\Data", false,
         CFolderSelectDlg::kUnchecked, {L"D:\\Other"}},
    };
    for (const Row& row : rows) {
        CFolderPathMap map = Map(row.before);
        EXPECT_EQ(row.outcome, CFolderSelectDlg::ApplyCheck(map, row.path.c_str(), (L"Desktop/" + row.path).c_str(), row.check))
            << row.what;
        EXPECT_EQ(row.after, Keys(map)) << row.what;
    }
}

TEST(FolderSelectRules, ComputerListsDrivesButNotVirtualFoldersNorTheVirtualDrive)
{
    const struct Row {
        const char* what;
        bool hidden;
        const wchar_t* path;
        UINT type;
        bool programRuns;
        const wchar_t* driveName;
        bool shown;
    } rows[] = {
        {"a fixed drive", false, L"C:\\", DRIVE_FIXED, false, L"", true},
        {"a CD-ROM drive", false, L"E:\\", DRIVE_CDROM, false, L"", true},
        {"Control Panel, Network or the Recycle Bin", true, L"", DRIVE_UNKNOWN, false, L"", false},
        {"a virtual folder without a path", false, L"", DRIVE_UNKNOWN, false, L"", false},
        {"a drive without a root", false, L"Q:\\", DRIVE_NO_ROOT_DIR, false, L"", false},
        {"the virtual drive while its program runs", false, L"V:\\", DRIVE_REMOTE, true, L"V:", false},
        {"the virtual drive's letter without its program", false, L"V:\\", DRIVE_REMOTE, false, L"", true},
        {"another network drive while the program runs", false, L"N:\\", DRIVE_REMOTE, true, L"V:", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.shown, CFolderSelectDlg::ShowUnderComputer(row.hidden, row.path, row.type, row.programRuns,
                                                                  row.driveName, true))
            << row.what;
}

TEST(FolderSelectRules, OnlyFoldersThatAreNoArchivesAreListed)
{
    EXPECT_TRUE(CFolderSelectDlg::ListsAsFolder(SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER));
    EXPECT_FALSE(CFolderSelectDlg::ListsAsFolder(SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_STREAM));   // a ZIP file
    EXPECT_FALSE(CFolderSelectDlg::ListsAsFolder(SFGAO_FILESYSTEM | SFGAO_STREAM));                  // a file
}

} // namespace
