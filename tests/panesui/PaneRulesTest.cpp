// The server panes' rules without a window: names, size and date texts, sort orders, item ID
// lists and unique names, and the server-item clipboard text.
#include "ServerClipboard.h"
#include "ServerItemCompare.h"
#include "ServerNameRules.h"
#include "LocalShell.h"
#include "ShellItems.h"
#include "TestPaths.h"
#include "ThumbnailCache.h"
#include "ServerThumbnail.h"
#include "ServerListTips.h"
#include "ServerMenuRules.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>

namespace {

template <size_t N> void Set(char (&member)[N], const char* value)
{
    std::memcpy(member, value, std::min(std::strlen(value), N - 1));
}
template <size_t N> void Set(wchar_t (&member)[N], const wchar_t* value) { wcsncpy(member, value, N - 1); }

_PROTO_FOLDER_INFO Item(const char* kind, const wchar_t* name, const char* size = "0", const char* idx = "100",
                        const char* dtype = "1")
{
    _PROTO_FOLDER_INFO r = {};
    Set(r.ItemType, kind);
    Set(r.Name, name);
    Set(r.Attr192, size);
    Set(r.IDX, idx);
    Set(r.Attr27, dtype);
    return r;
}

}

TEST(ServerNameRules, RejectsForbiddenCharactersAndWholeDeviceNames)
{
    struct Case { const wchar_t* name; int expected; };
    const Case cases[] = {
        {L"report", 0},  {L"a:b", -1},     {L"a/b", -1},     {L"a\\b", -1}, {L"q?", -1},  {L"x*", -1},
        {L"\"q\"", -1},  {L"<a>", -1},     {L"a|b", -1},     {L"con", -1},  {L"Lpt9", -1}, {L"AUX", -1},
        {L"NUL", -1},    {L"COM10", 0},    {L"CON.txt", 0},  {L"LPT0", 0},  {L"보고서", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CheckServerItemName(c.name)) << CStringA(c.name).GetString();
}

TEST(ServerNameRules, TrimsBlanksThenTrailingDots)
{
    EXPECT_STREQ(L"report", TrimEditedName(L"  report.  ").GetString());
    EXPECT_STREQ(L"report", TrimEditedName(L" report... ").GetString());
    EXPECT_STREQ(L"a.b", TrimEditedName(L"a.b").GetString());
    EXPECT_STREQ(L"", TrimEditedName(L" ... ").GetString());
}

TEST(ServerNameRules, DecidesAnEndedEditInOrder)
{
    auto none = [](const CString&) { return 0; };
    auto folderTwin = [](const CString& n) { return n.CompareNoCase(L"Docs") == 0 ? 'D' : 0; };
    auto fileTwin = [](const CString& n) { return n.CompareNoCase(L"a.txt") == 0 ? 'F' : 0; };
    struct Case { CString name; bool file; std::function<int(const CString&)> twin; NameVerdict verdict; unsigned id; };
    const Case cases[] = {
        {L"", false, none, NameVerdict::ReopenMessage, 12040},
        {L"", true, none, NameVerdict::ReopenMessage, 12074},
        {CString(L'x', 255), false, none, NameVerdict::Accept, 0},
        {CString(L'x', 256), false, none, NameVerdict::ReopenMessage, 12076},
        {CString(L'x', 256), true, none, NameVerdict::ReopenMessage, 12075},
        {L".hidden", false, none, NameVerdict::ReopenQuiet, 0},
        {L"a:b", false, none, NameVerdict::ReopenMessage, 12077},
        {L"docs", false, folderTwin, NameVerdict::ReopenMessage, 12054},
        {L"A.TXT", true, fileTwin, NameVerdict::ReopenMessage, 12078},
        {L"report", true, fileTwin, NameVerdict::Accept, 0},
    };
    for (const Case& c : cases) {
        NameDecision d = DecideEditedName(c.name, c.file, 256, c.twin);
        EXPECT_EQ(c.verdict, d.verdict) << CStringA(c.name.Left(12)).GetString();
        EXPECT_EQ(c.id, d.messageId) << CStringA(c.name.Left(12)).GetString();
    }
}

TEST(ServerListTexts, FormatsSizesInKilobytesAndAboveAGigabyteInMegabytes)
{
    struct Case { long long bytes; const wchar_t* text; };
    const Case cases[] = {{-5, L"0KB"},        {0, L"0KB"},          {1, L"1KB"},          {500, L"1KB"},
                          {1024, L"1KB"},      {1536, L"2KB"},       {1048576, L"1,024KB"}, {999999999, L"976,562KB"},
                          {0x40000000LL, L"1,048,576KB"}, {0x40000001LL, L"1,024MB"}, {5000000000000LL, L"4,768,372MB"}};
    for (const Case& c : cases)
        EXPECT_STREQ(c.text, FormatFileSize(c.bytes).GetString()) << c.bytes;
}

TEST(ServerListTexts, ShowsTimesOnATwelveHourClock)
{
    EXPECT_STREQ(L"2026-12-10 PM 01:05", FormatListDate(L"2026-12-10 13:05:09", L"AM", L"PM").GetString());
    EXPECT_STREQ(L"2026-12-10 PM 12:00", FormatListDate(L"2026-12-10 12:00:00", L"AM", L"PM").GetString());
    EXPECT_STREQ(L"2026-12-10 AM 00:30", FormatListDate(L"2026-12-10 00:30:00", L"AM", L"PM").GetString());
    EXPECT_STREQ(L"2026-12-10 PM 11:59", FormatListDate(L"2026-12-10 23:59:59", L"AM", L"PM").GetString());
    EXPECT_STREQ(L"short", FormatListDate(L"short", L"AM", L"PM").GetString());
}

TEST(ServerItemCompare, SortsFoldersFirstNaturallyAndSizesAsNumbers)
{
    std::vector<_PROTO_FOLDER_INFO> items = {Item("F", L"file10", "10"), Item("F", L"file2", "9"),
                                             Item("D", L"zeta"), Item("D", L"Alpha"),
                                             Item("D", L"bin", "0", "2", "D")};
    auto order = [&](PFNLVCOMPARE cmp, int column, int direction) {
        std::vector<const _PROTO_FOLDER_INFO*> p;
        for (auto& i : items)
            p.push_back(&i);
        std::stable_sort(p.begin(), p.end(), [&](auto* a, auto* b) {
            return cmp(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), ServerSortParam(column, direction)) < 0;
        });
        std::wstring out;
        for (auto* i : p)
            out += std::wstring(i->Name) + L" ";
        return out;
    };
    EXPECT_EQ(L"Alpha zeta bin file2 file10 ", order(CompareServerItems, 0, 0));
    EXPECT_EQ(L"zeta Alpha bin file10 file2 ", order(CompareServerItems, 0, 1)) << "folders stay first, bin last";
    EXPECT_EQ(L"zeta Alpha bin file2 file10 ", order(CompareServerItems, 1, 0)) << "9 before 10";
    EXPECT_EQ(L"Alpha bin file2 file10 zeta ", order(CompareType9Items, 0, 0)) << "no folder rules";
    EXPECT_EQ(-1, CompareServerItems(0, reinterpret_cast<LPARAM>(&items[0]), 0));
    EXPECT_EQ(0, CompareServerItems(reinterpret_cast<LPARAM>(&items[0]), reinterpret_cast<LPARAM>(&items[1]),
                                    ServerSortParam(9, 0)));
    EXPECT_EQ(CompareRecycleItems, ServerComparatorFor("6", false));
    EXPECT_EQ(CompareRecycleItemsCustom, ServerComparatorFor("D", true));
    EXPECT_EQ(CompareType9Items, ServerComparatorFor("9", false));
    EXPECT_EQ(CompareServerItemsCustom, ServerComparatorFor("3", true));
}

namespace {

// A list of items of the given payload sizes (each item is cb + payload bytes).
std::vector<BYTE> MakeList(std::initializer_list<USHORT> payloads, BYTE fill)
{
    std::vector<BYTE> list;
    for (USHORT n : payloads) {
        USHORT cb = n + 2;
        list.push_back(cb & 0xFF);
        list.push_back(cb >> 8);
        list.insert(list.end(), n, fill++);
    }
    list.push_back(0);
    list.push_back(0);
    return list;
}

}

TEST(ShellItems, ConcatenatesClonesAndFindsTheLastItem)
{
    IMalloc* allocator = nullptr;
    ASSERT_EQ(S_OK, SHGetMalloc(&allocator));
    std::vector<BYTE> one = MakeList({3}, 0x10), two = MakeList({1, 4}, 0x20);
    auto* first = reinterpret_cast<LPCITEMIDLIST>(one.data());
    auto* second = reinterpret_cast<LPCITEMIDLIST>(two.data());

    LPITEMIDLIST joined = ConcatPidl(allocator, first, second);
    ASSERT_NE(nullptr, joined);
    std::vector<BYTE> expected = MakeList({3}, 0x10);
    expected.resize(expected.size() - 2);
    expected.insert(expected.end(), two.begin(), two.end());
    ASSERT_EQ(expected.size(), PidlSize(joined));
    EXPECT_EQ(0, std::memcmp(expected.data(), joined, expected.size())) << "three items, one terminator";
    EXPECT_EQ(reinterpret_cast<const BYTE*>(joined) + 5 + 3, reinterpret_cast<const BYTE*>(GetLastPidlItem(joined)));

    // Without a second list the result is still a copy the caller frees on its own.
    LPITEMIDLIST alone = ConcatPidl(allocator, first, nullptr);
    ASSERT_NE(nullptr, alone);
    EXPECT_NE(static_cast<const void*>(first), static_cast<const void*>(alone));
    EXPECT_EQ(0, std::memcmp(one.data(), alone, one.size()));
    EXPECT_EQ(nullptr, ConcatPidl(allocator, nullptr, second));

    LPITEMIDLIST copy = ClonePidl(allocator, second);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(0, std::memcmp(two.data(), copy, two.size()));
    EXPECT_EQ(nullptr, ClonePidl(allocator, nullptr));

    std::vector<BYTE> empty = MakeList({}, 0);
    EXPECT_EQ(reinterpret_cast<LPCITEMIDLIST>(empty.data()), GetLastPidlItem(reinterpret_cast<LPCITEMIDLIST>(empty.data())));
    EXPECT_EQ(nullptr, GetLastPidlItem(nullptr));
    allocator->Free(joined);
    allocator->Free(alone);
    allocator->Free(copy);
    allocator->Release();
}

TEST(LocalShell, MakesANameThatDoesNotExistYet)
{
    std::wstring dir = testpaths::ScratchDir(L"unique-names");
    for (const wchar_t* n : {L"a", L"a (2)", L"a (3)", L"report.txt"})
        CloseHandle(CreateFileW((dir + L"\\" + n).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    CString out;
    EXPECT_EQ(1, MakeUniqueName(dir.c_str(), L"a", out));
    EXPECT_STREQ(L"a (4)", out.GetString());
    MakeUniqueName(dir.c_str(), L"report.txt", out);
    EXPECT_STREQ(L"report.txt (2)", out.GetString());
    MakeUniqueName(dir.c_str(), L"b", out);
    EXPECT_STREQ(L"b", out.GetString());
}

TEST(ThumbnailCache, NamesHoldOnlyLettersAndDigitsOfTheServersTexts)
{
    EXPECT_STREQ(L"r123_1_20261210130509.png", ThumbnailCacheName("r123", "1", L"2026-12-10 13:05:09").GetString());
    EXPECT_STREQ(L"12_1_.png", ThumbnailCacheName("..\\1/2", "1", L":").GetString());
    EXPECT_STREQ(L"", ThumbnailCacheName("../..", "1", L"x").GetString());
    EXPECT_STREQ(L"9_C_2026.png", ThumbnailCacheName("9", "C:", L"\\..\\2026").GetString());
}

TEST(ThumbnailCache, OnlyPreviewableImagesWithASizeQualify)
{
    _PROTO_FOLDER_INFO r = Item("F", L"photo.JPG", "100");
    std::memcpy(r.Attr189, "1111", 4);
    EXPECT_TRUE(QualifiesForThumbnail(r, L"jpg;png;gif"));
    wcscpy(r.Name, L"noext");
    EXPECT_FALSE(QualifiesForThumbnail(r, L"jpg;png;gif"));
    wcscpy(r.Name, L"a.png");
    r.Attr189[3] = '0';
    EXPECT_FALSE(QualifiesForThumbnail(r, L"jpg;png;gif"));
    r.Attr189[3] = '1';
    std::strcpy(r.Attr192, "0");
    EXPECT_FALSE(QualifiesForThumbnail(r, L"jpg;png;gif"));
}

TEST(ServerThumbnail, APictureFitsTheBoxUnscaledOrScaledByTheSmallerRatioAndCentred)
{
    const struct {
        int width, height;
        RECT want;
    } cases[] = {
        {60, 40, {30, 25, 90, 65}},     // fits: natural size, centred
        {240, 90, {0, 22, 120, 67}},    // twice as wide: half size, full width
        {120, 90, {0, 0, 120, 90}},     // exactly the box
        {90, 180, {37, 0, 82, 90}},     // too tall: full height
        {0, 10, {0, 0, 0, 0}},          // no picture
    };
    for (const auto& c : cases) {
        RECT got = ThumbnailPlacement(c.width, c.height, 120, 90);
        EXPECT_TRUE(EqualRect(&got, &c.want)) << c.width << "x" << c.height << ": " << got.left << "," << got.top << " "
                                              << got.right << "," << got.bottom;
    }
}

TEST(ServerListTips, LongTextsAreShortenedAndCopiesStayInsideTheBuffer)
{
    EXPECT_EQ(80, ShortenToolTip(CString(L'a', 80)).GetLength());
    CString shortened = ShortenToolTip(CString(L'a', 81));
    EXPECT_EQ(79, shortened.GetLength());
    EXPECT_STREQ(L"...", shortened.Right(3).GetString());

    wchar_t wide[6];
    std::wmemset(wide, L'#', 6);
    CopyToolTipText(wide, 5, L"abcdefgh");
    EXPECT_STREQ(L"abcd", wide);
    EXPECT_EQ(L'#', wide[5]) << "nothing past the given size";
    CopyToolTipText(wide, 5, L"abc\xD83D\xDE00x");
    EXPECT_STREQ(L"abc", wide) << "a surrogate pair is not split";

    // Korean takes two bytes a character in code page 949: a cut falls between characters.
    char narrow[8];
    std::memset(narrow, '#', sizeof narrow);
    CopyToolTipText(narrow, 6, L"잠금파일", 949);
    EXPECT_EQ(4u, std::strlen(narrow));
    EXPECT_EQ('#', narrow[6]);
    CopyToolTipText(narrow, 8, L"ab잠금", 949);
    EXPECT_EQ(6u, std::strlen(narrow));
    EXPECT_STREQ(L"잠금파일\n잠금자 홍길동[hong]", LockedFileTip(L"홍길동", L"hong").GetString());
}

TEST(ServerMenuRules, TheSelectionsPermissionsDecideTheButtons)
{
    _PROTO_FOLDER_INFO folder = Item("D", L"docs");
    std::memcpy(folder.Attr189, "0000011000000000000000000000000", 31);
    _PROTO_FOLDER_INFO file = Item("F", L"a.txt");
    std::memcpy(file.Attr189, "0110000100001100000010000000000", 31);   // DOWNLOAD COPY DELETE FILELINK SHARE APPROVAL
    _PROTO_FOLDER_INFO readOnly = Item("F", L"b.txt");
    std::memcpy(readOnly.Attr189, "1000000000000000000000000000000", 31);
    _PROTO_FOLDER_INFO sub = Item("D", L"sub");
    std::memcpy(sub.Attr189, "0000010100010000000000000000000", 31);   // NEW_DIR DELETE MOVE_CUT
    std::memcpy(sub.Attr5, "2222", 4);
    _PROTO_FOLDER_INFO bin = Item("D", L"bin", "0", "2", "D");
    std::memcpy(bin.Attr189, "0000000110000000000000000000000", 31);
    ServerMenuFacts facts;
    facts.downloadTarget = true;
    facts.clipboardHasItems = true;

    ServerMenuState none = ComputeListMenuState({}, folder, facts);
    EXPECT_TRUE(none.newFolder && none.paste && none.approval);
    EXPECT_FALSE(none.copy || none.remove || none.download);

    ServerMenuState one = ComputeListMenuState({&file}, folder, facts);
    EXPECT_TRUE(one.download && one.copy && one.remove && one.share && one.link && one.approval);
    EXPECT_FALSE(one.cut || one.newFolder || one.directEdit);

    ServerMenuState two = ComputeListMenuState({&file, &readOnly}, folder, facts);
    EXPECT_TRUE(two.copy && two.download) << "any row allows";
    EXPECT_FALSE(two.share || two.link || two.approval) << "one row only, or every row";

    ServerMenuState folders = ComputeListMenuState({&sub, &bin}, folder, facts);
    EXPECT_TRUE(folders.remove && folders.cut);
    EXPECT_FALSE(folders.link || folders.approval);
    EXPECT_STREQ(L"", folders.vrwd.GetString()) << "the last folder row's letters";
    EXPECT_FALSE(ComputeListMenuState({&bin}, folder, facts).remove) << "the bin's special folder stays";

    facts.downloadTarget = false;
    facts.clipboardHasItems = false;
    ServerMenuState local = ComputeListMenuState({&file}, folder, facts);
    EXPECT_FALSE(local.download || local.paste);
}
