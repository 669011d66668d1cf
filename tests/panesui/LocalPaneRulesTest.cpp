// The local panes' rules without a window: date texts, the list's order, stored profile values,
// the tree's drive rule, our context-menu identifiers and the flags of a shell delete.
#include "LocalPaneRules.h"
#include "ToviTextLanguage.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

SYSTEMTIME Time(int year, int month, int day, int hour, int minute, int second = 0)
{
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    return t;
}

_LOCAL_LIST_ITEM Row(const wchar_t* name, bool folder, __int64 size = 0, const wchar_t* type = L"",
                     const wchar_t* key = L"")
{
    _LOCAL_LIST_ITEM r;
    r.displayName = name;
    r.attributes = folder ? SFGAO_FOLDER : 0;
    r.size = size;
    r.typeName = type;
    r.modifiedKey = key;
    return r;
}

std::vector<std::wstring> Sorted(std::vector<_LOCAL_LIST_ITEM>& rows, int column, int direction)
{
    std::vector<_LOCAL_LIST_ITEM*> order;
    for (auto& r : rows)
        order.push_back(&r);
    const LPARAM sort = LocalSortParam(column, direction);
    std::stable_sort(order.begin(), order.end(), [sort](_LOCAL_LIST_ITEM* a, _LOCAL_LIST_ITEM* b) {
        return CompareLocalItems(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), sort) < 0;
    });
    std::vector<std::wstring> names;
    for (auto* r : order)
        names.push_back(r->displayName.GetString());
    return names;
}

}

TEST(LocalDateTexts, FollowTheLanguageWithATwelveHourClock)
{
    struct Case { SYSTEMTIME time; unsigned short language; bool english; const wchar_t* expected; };
    const Case cases[] = {
        {Time(2016, 7, 3, 9, 5), 0x12, false, L"2016-07-03 오전 09:05"},
        {Time(2016, 7, 3, 9, 5), 0x09, true, L"03/07/2016 AM 09:05"},
        {Time(2016, 7, 3, 12, 30), 0x12, false, L"2016-07-03 오후 12:30"},
        {Time(2016, 7, 3, 12, 30), 0x09, true, L"03/07/2016 PM 12:30"},
        {Time(2016, 7, 3, 0, 1), 0x12, false, L"2016-07-03 오전 00:01"},
        {Time(2016, 12, 31, 23, 59), 0x09, true, L"31/12/2016 PM 11:59"},
    };
    for (const Case& c : cases) {
        CToviTextLanguage::SetThreadLanguage(c.language);
        EXPECT_EQ(std::wstring(c.expected), LocalDateText(c.time, c.english).GetString());
    }
    CToviTextLanguage::SetThreadLanguage(0x12);
}

TEST(LocalDateTexts, SortKeyPadsTheMinuteWithASpace)
{
    EXPECT_EQ(std::wstring(L"2016070309 507"), LocalDateSortKey(Time(2016, 7, 3, 9, 5, 7)).GetString());
    EXPECT_EQ(std::wstring(L"20161231235959"), LocalDateSortKey(Time(2016, 12, 31, 23, 59, 59)).GetString());
}

TEST(LocalListOrder, FoldersComeFirstInBothDirectionsAndEachColumnHasItsKey)
{
    std::vector<_LOCAL_LIST_ITEM> rows = {
        Row(L"file10.txt", false, 1536, L"Text", L"2016070309 507"),
        Row(L"Folder2", true, 0, L"Folder", L"20160701000000"),
        Row(L"file2.txt", false, 20, L"Text", L"20160703094500"),
        Row(L"folder10", true, 0, L"Folder", L"20160702000000"),
        Row(L"big.bin", false, 5000000000LL, L"Binary", L"20150101000000"),
    };
    struct Case { int column, direction; std::vector<std::wstring> expected; };
    const Case cases[] = {
        {0, 0, {L"Folder2", L"folder10", L"big.bin", L"file2.txt", L"file10.txt"}},
        {0, 1, {L"folder10", L"Folder2", L"file10.txt", L"file2.txt", L"big.bin"}},
        {1, 0, {L"Folder2", L"folder10", L"file2.txt", L"file10.txt", L"big.bin"}},
        {1, 1, {L"Folder2", L"folder10", L"big.bin", L"file10.txt", L"file2.txt"}},
        {2, 0, {L"Folder2", L"folder10", L"big.bin", L"file10.txt", L"file2.txt"}},
        // The padded minute sorts as a zero: 09:05 comes before 09:45.
        {3, 0, {L"Folder2", L"folder10", L"big.bin", L"file10.txt", L"file2.txt"}},
        {3, 1, {L"folder10", L"Folder2", L"file2.txt", L"file10.txt", L"big.bin"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Sorted(rows, c.column, c.direction)) << "column " << c.column << " direction " << c.direction;
}

TEST(LocalListOrder, AMissingRecordComesFirst)
{
    _LOCAL_LIST_ITEM row = Row(L"a", false);
    EXPECT_EQ(-1, CompareLocalItems(0, reinterpret_cast<LPARAM>(&row), 0));
    EXPECT_EQ(-1, CompareLocalItems(reinterpret_cast<LPARAM>(&row), 0, 0));
}

TEST(LocalProfileValues, OnlyValuesOfTheirExactSizeAreRead)
{
    const int stored[6] = {111, 22, 333, 44, 55, 66};
    const BYTE* bytes = reinterpret_cast<const BYTE*>(stored);
    struct Case { UINT size; bool read; };
    for (const Case& c : {Case{0, false}, Case{4, false}, Case{15, false}, Case{16, true}, Case{17, false},
                          Case{24, false}}) {
        int widths[4] = {250, 80, 160, 142};
        EXPECT_EQ(c.read, ReadClientColumnSize(bytes, c.size, widths)) << c.size << " bytes";
        const int expected[4] = {c.read ? 111 : 250, c.read ? 22 : 80, c.read ? 333 : 160, c.read ? 44 : 142};
        EXPECT_EQ(0, std::memcmp(expected, widths, sizeof widths)) << c.size << " bytes";
    }
    const int sort[3] = {1, 3, 9};
    for (const Case& c : {Case{0, false}, Case{4, false}, Case{7, false}, Case{8, true}, Case{12, false}}) {
        int direction = 0, column = 0;
        EXPECT_EQ(c.read, ReadClientSort(reinterpret_cast<const BYTE*>(sort), c.size, direction, column)) << c.size;
        EXPECT_EQ(c.read ? 1 : 0, direction) << c.size;
        EXPECT_EQ(c.read ? 3 : 0, column) << c.size;
    }
    EXPECT_FALSE(ReadClientColumnSize(nullptr, 16, const_cast<int*>(stored)));
}

TEST(LocalProfileValues, NonsenseContentKeepsTheDefaults)
{
    const int negativeWidth[4] = {250, -5, 160, 142};
    int widths[4] = {1, 2, 3, 4};
    EXPECT_FALSE(ReadClientColumnSize(reinterpret_cast<const BYTE*>(negativeWidth), 16, widths));
    EXPECT_EQ(1, widths[0]);
    for (auto state : {std::pair<int, int>{2, 0}, {0, 5}, {-1, 0}, {0, -1}}) {
        const int stored[2] = {state.first, state.second};
        int direction = 0, column = 0;
        EXPECT_FALSE(ReadClientSort(reinterpret_cast<const BYTE*>(stored), 8, direction, column));
        EXPECT_EQ(0, direction + column);
    }
}

TEST(LocalTreeRule, DrivesWithoutPathOrRootAndTheRunningVirtualDriveAreHidden)
{
    struct Case { bool hasPath; UINT type; bool virtualDrive; bool shown; };
    const Case cases[] = {
        {true, DRIVE_FIXED, false, true},     {true, DRIVE_REMOVABLE, false, true}, {true, DRIVE_CDROM, false, true},
        {true, DRIVE_REMOTE, false, true},    {true, DRIVE_REMOTE, true, false},    {true, DRIVE_UNKNOWN, false, false},
        {true, DRIVE_NO_ROOT_DIR, false, false}, {false, DRIVE_FIXED, false, false}, {true, DRIVE_FIXED, true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.shown, ShowDriveChild(c.hasPath, c.type, c.virtualDrive)) << c.hasPath << " " << c.type << " "
                                                                            << c.virtualDrive;
    EXPECT_TRUE(IsHiddenVirtualDrive(true, L"X:", L"x:\\", L"Drive (X:)"));
    EXPECT_FALSE(IsHiddenVirtualDrive(false, L"X:", L"X:\\", L"Drive (X:)"));
    EXPECT_FALSE(IsHiddenVirtualDrive(true, L"X:", L"Y:\\", L"Drive (Y:)"));
    EXPECT_FALSE(IsHiddenVirtualDrive(true, L"", L"X:\\", L"Drive (X:)"));
    EXPECT_FALSE(IsHiddenVirtualDrive(true, L"X:", L"X:\\", L""));
}

TEST(LocalMenuCommands, OurEntriesAreDistinctAndOutsideTheShellsRange)
{
    struct Case { UINT id; LocalMenuChoice choice; };
    const Case cases[] = {
        {0, LocalMenuChoice::None},
        {kShellFirstCommand, LocalMenuChoice::Shell},
        {0x1234, LocalMenuChoice::Shell},
        {kShellLastCommand, LocalMenuChoice::Shell},
        {kLocalUploadCommand, LocalMenuChoice::Upload},
        {kLocalPasteCommand, LocalMenuChoice::Paste},
        {kLocalNewFolderCommand, LocalMenuChoice::NewFolder},
        {0x8003, LocalMenuChoice::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(c.choice), static_cast<int>(ClassifyLocalMenuCommand(c.id))) << std::hex << c.id;
}

TEST(LocalDeleteFlags, NothingIsErasedForGoodWithoutTheShellsQuestion)
{
    struct Case { bool toRecycleBin, inRecycleBin; FILEOP_FLAGS expected; };
    const Case cases[] = {
        {true, false, FOF_ALLOWUNDO},
        {false, false, 0},
        {true, true, FOF_SILENT | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI},
        {false, true, FOF_SILENT | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI},
    };
    for (const Case& c : cases) {
        const FILEOP_FLAGS flags = LocalDeleteFlags(c.toRecycleBin, c.inRecycleBin);
        EXPECT_EQ(c.expected, flags) << c.toRecycleBin << " " << c.inRecycleBin;
        EXPECT_EQ(0, flags & FOF_NOCONFIRMATION) << c.toRecycleBin << " " << c.inRecycleBin;
    }
}

TEST(LocalNames, DriveTextsAndDropsIntoTheirOwnFolder)
{
    EXPECT_EQ(std::wstring(L"Work (D:)"), DriveItemText(L"Work", L"D:\\").GetString());
    EXPECT_EQ(std::wstring(L"Data"), DriveLabelOf(L"Data (D:)").GetString());
    EXPECT_EQ(std::wstring(L""), DriveLabelOf(L"(D:)").GetString());
    EXPECT_TRUE(DropsIntoOwnFolder(L"C:\\Docs\\a.txt", L"c:\\docs"));
    EXPECT_FALSE(DropsIntoOwnFolder(L"C:\\Docs\\a.txt", L"C:\\Docs\\Sub"));
    EXPECT_FALSE(DropsIntoOwnFolder(L"a.txt", L"C:\\Docs"));
    const std::wstring list = ShellPathList({L"C:\\a", L"", L"C:\\b c"});
    EXPECT_EQ(std::wstring(L"C:\\a\0C:\\b c\0\0", 13), list);
    EXPECT_EQ(std::wstring(1, L'\0'), ShellPathList({}));
}
