// The panes' clipboard: the CF_HDROP block and its drop effect, and the server-item text, on
// the real clipboard and as bytes.
#include "ServerClipboard.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <algorithm>
#include <cstring>

namespace {

template <size_t N> void Set(char (&member)[N], const char* value)
{
    std::memcpy(member, value, std::min(std::strlen(value), N - 1));
}
template <size_t N> void Set(wchar_t (&member)[N], const wchar_t* value) { wcsncpy(member, value, N - 1); }

// A record with every carried member set to a value of its own.
_PROTO_FOLDER_INFO FullRecord(const wchar_t* name)
{
    _PROTO_FOLDER_INFO r = {};
    Set(r.ItemType, "F");
    Set(r.IDX, "r123");
    Set(r.Attr178, "77");
    Set(r.Attr179, "78");
    Set(r.DIDX, "1");
    Set(r.Name, name);
    Set(r.Attr188, L"2026-12-10 13:05:09");
    Set(r.Attr189, "1111111111110010000000000000000");
    Set(r.Attr5, "2222");
    Set(r.Attr33, "a");
    Set(r.Attr27, "1");
    Set(r.Attr28, "N");
    Set(r.Attr29, "Y");
    Set(r.Attr30, "p");
    Set(r.Attr62, "q");
    Set(r.Attr190, "12345678901234567890");
    Set(r.Attr191, "x191");
    Set(r.Attr197, L"My Files/old place");
    Set(r.Attr198, "x198");
    Set(r.Attr231, "000000010000");
    Set(r.Attr192, "4096");
    Set(r.Attr9, "x9");
    Set(r.Attr232, L"custom one");
    Set(r.Attr13, L"short9");
    Set(r.Attr169, L"bracket");
    Set(r.Attr183, L"long nine");
    Set(r.Attr237, "x237");
    Set(r.Attr158, L"7");
    const wchar_t typeName[] = L"Text Document";
    std::memcpy(r.Reserved160, typeName, sizeof typeName);
    Set(r.AccessTime, "not carried");
    r.Children.resize(2);
    return r;
}

bool SameCarriedMembers(const _PROTO_FOLDER_INFO& a, const _PROTO_FOLDER_INFO& b)
{
    // Everything up to the change-check members is carried.
    return std::memcmp(&a, &b, offsetof(_PROTO_FOLDER_INFO, AccessTime)) == 0;
}

std::vector<CString> SplitFields(const CString& text)
{
    std::vector<CString> out;
    int start = 0, at;
    while ((at = text.Find(L'|', start)) >= 0) {
        out.push_back(text.Mid(start, at - start));
        start = at + 1;
    }
    out.push_back(text.Mid(start));
    return out;
}

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override { m_format = RegisterClipboardFormatW(L"VARIRUDAD"); ASSERT_NE(0u, m_format); }
    UINT m_format = 0;
};

}

TEST_F(ClipboardTest, ARecordTextHas32FieldsWithTheTwoSwappedMembersInTheirWirePlaces)
{
    CString text;
    ASSERT_TRUE(CopyFolderInfoClipboard(FullRecord(L"a.txt"), L"SR", L"My Files/docs", L"C", text));
    std::vector<CString> fields = SplitFields(text);
    ASSERT_EQ(32u, fields.size());
    EXPECT_STREQ(L"F", fields[0].GetString());
    EXPECT_STREQ(L"a.txt", fields[5].GetString());
    EXPECT_STREQ(L"N", fields[11].GetString());
    EXPECT_STREQ(L"q", fields[13].GetString()) << "field 14 carries the 15th member";
    EXPECT_STREQ(L"p", fields[14].GetString()) << "field 15 carries the 14th member";
    EXPECT_STREQ(L"Text Document", fields[28].GetString());
    EXPECT_STREQ(L"My Files/docs", fields[29].GetString());
    EXPECT_STREQ(L"C", fields[30].GetString());
    EXPECT_STREQ(L"SR", fields[31].GetString());
}

TEST_F(ClipboardTest, ServerItemsRoundTripThroughTheClipboard)
{
    std::vector<_PROTO_FOLDER_INFO> records = {FullRecord(L"a.txt"), FullRecord(L"보고서.hwp")};
    ASSERT_EQ(1, CopyFolderInfoListClipboard(&m_format, records, L"SR", L"My Files/docs", true));

    // The block: two record texts joined by one "\", a zero terminator, 2 x (length + 1) bytes.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL block = GetClipboardData(m_format);
    ASSERT_NE(nullptr, block);
    const wchar_t* raw = static_cast<const wchar_t*>(GlobalLock(block));
    std::wstring text(raw);
    GlobalUnlock(block);
    EXPECT_GE(GlobalSize(block), (text.size() + 1) * sizeof(wchar_t));
    CloseClipboard();
    EXPECT_EQ(1, std::count(text.begin(), text.end(), L'\\'));
    EXPECT_NE(std::wstring::npos, text.find(L"|M|SR\\F|"));

    std::vector<_PROTO_FOLDER_INFO> back;
    CString tag, path;
    bool cut = false;
    ASSERT_EQ(1, GetFolderInfoListClipboard(&m_format, back, tag, path, cut));
    ASSERT_EQ(2u, back.size());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(SameCarriedMembers(records[i], back[i])) << i;
        EXPECT_STREQ("", back[i].AccessTime);
        EXPECT_TRUE(back[i].Children.empty());
    }
    EXPECT_STREQ(L"SR", tag.GetString());
    EXPECT_STREQ(L"My Files/docs", path.GetString());
    EXPECT_TRUE(cut);

    // Writing local files replaces the server items.
    ASSERT_EQ(1, CopyFileListClipboard({L"C:\\x.txt"}, false));
    EXPECT_FALSE(IsClipboardFormatAvailable(m_format));
    EXPECT_EQ(0, GetFolderInfoListClipboard(&m_format, back, tag, path, cut));
}

TEST_F(ClipboardTest, TheSubFolderFlagReadsNOnlyWhenItWasExactlyN)
{
    for (const char* value : {"N", "Y", "", "n"}) {
        _PROTO_FOLDER_INFO r = FullRecord(L"d");
        Set(r.Attr28, value);
        if (!*value) {
            r.Attr28[0] = 0;
        }
        CString text;
        ASSERT_TRUE(CopyFolderInfoClipboard(r, L"SL", L"", L"C", text));
        std::vector<_PROTO_FOLDER_INFO> back;
        CString tag, path;
        bool cut = true;
        ASSERT_TRUE(ParseFolderInfoText(text, back, tag, path, cut));
        EXPECT_STREQ(std::strcmp(value, "N") == 0 ? "N" : "Y", back[0].Attr28) << value;
        EXPECT_FALSE(cut);
    }
}

TEST_F(ClipboardTest, TheWriterRefusesValuesThatHoldASeparator)
{
    std::vector<_PROTO_FOLDER_INFO> records = {FullRecord(L"fine"), FullRecord(L"a|b")};
    ASSERT_EQ(1, CopyFileListClipboard({L"C:\\keep.txt"}, false));
    EXPECT_EQ(0, CopyFolderInfoListClipboard(&m_format, records, L"SR", L"My Files", false));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP)) << "a refused write leaves the clipboard alone";
    _PROTO_FOLDER_INFO former = FullRecord(L"x");
    Set(former.Attr197, L"C:\\old");
    CString text = L"kept";
    EXPECT_FALSE(CopyFolderInfoClipboard(former, L"SR", L"", L"C", text));
    EXPECT_STREQ(L"kept", text.GetString());
    EXPECT_EQ(0, CopyFolderInfoListClipboard(&m_format, {}, L"SR", L"", false));
    UINT none = 0;
    EXPECT_EQ(0, CopyFolderInfoListClipboard(&none, {FullRecord(L"x")}, L"SR", L"", false));
}

TEST_F(ClipboardTest, TheReaderDropsMalformedAndOversizedRecords)
{
    CString good;
    ASSERT_TRUE(CopyFolderInfoClipboard(FullRecord(L"good"), L"SR", L"p", L"C", good));
    CString shortRecord = L"F|1|2|3";
    CString longRecord = good + L"|extra";
    CString wideTooLong = good;
    wideTooLong.Replace(L"|good|", (L"|" + std::wstring(1024, L'n') + L"|").c_str());
    CString narrowTooLong = good;
    narrowTooLong.Replace(L"|r123|", L"|12345678901|");   // IDX holds 9 characters
    struct Case { CString text; size_t records; };
    const Case cases[] = {
        {good, 1},
        {shortRecord, 0},
        {longRecord, 0},
        {wideTooLong, 0},
        {narrowTooLong, 0},
        {shortRecord + L"\\" + good, 1},
        {good + L"\\", 1},
        {L"", 0},
    };
    for (const Case& c : cases) {
        std::vector<_PROTO_FOLDER_INFO> back;
        CString tag, path;
        bool cut = false;
        bool read = ParseFolderInfoText(c.text, back, tag, path, cut);
        EXPECT_EQ(c.records != 0, read) << CStringA(c.text.Left(40)).GetString();
        ASSERT_EQ(c.records, back.size()) << CStringA(c.text.Left(40)).GetString();
        if (c.records) {
            EXPECT_STREQ(L"good", back[0].Name);
        }
    }
    // A name of exactly 1023 characters still fits.
    CString fits = good;
    fits.Replace(L"|good|", (L"|" + std::wstring(1023, L'n') + L"|").c_str());
    std::vector<_PROTO_FOLDER_INFO> back;
    CString tag, path;
    bool cut;
    ASSERT_TRUE(ParseFolderInfoText(fits, back, tag, path, cut));
    EXPECT_EQ(1023u, wcslen(back[0].Name));
}

TEST_F(ClipboardTest, LocalFilesTravelAsAWideDropFilesBlockWithTheirEffect)
{
    std::vector<CString> paths = {L"C:\\a.txt", L"", L"D:\\폴더\\b"};
    std::vector<BYTE> block = BuildDropFilesBlock(paths);
    const size_t expectedSize = 20 + 2 * (9 + 8) + 2;
    ASSERT_EQ(expectedSize, block.size());
    DROPFILES header;
    std::memcpy(&header, block.data(), sizeof header);
    EXPECT_EQ(20u, header.pFiles);
    EXPECT_TRUE(header.fWide);
    EXPECT_EQ(0, header.pt.x);
    EXPECT_EQ(0, std::memcmp(L"C:\\a.txt\0D:\\폴더\\b\0\0", block.data() + 20, expectedSize - 20));
    EXPECT_TRUE(BuildDropFilesBlock({L"", L""}).empty());

    bool cut = true;
    std::vector<CString> back;
    ASSERT_EQ(1, CopyFileListClipboard(paths, false));
    ASSERT_EQ(1, GetFileListClipboard(back, cut));
    EXPECT_FALSE(cut);
    ASSERT_EQ(2u, back.size());
    EXPECT_STREQ(L"D:\\폴더\\b", back[1].GetString());
    UINT effect = RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT);
    EXPECT_FALSE(IsClipboardFormatAvailable(effect)) << "a copy writes no drop effect";

    ASSERT_EQ(1, CopyFileListClipboard(paths, true));
    ASSERT_EQ(1, GetFileListClipboard(back, cut));
    EXPECT_TRUE(cut);

    // The shell's copy writes 5 (copy and link): that reads as a copy.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL five = GlobalAlloc(GMEM_MOVEABLE, 4);
    *static_cast<DWORD*>(GlobalLock(five)) = 5;
    GlobalUnlock(five);
    SetClipboardData(effect, five);
    CloseClipboard();
    ASSERT_EQ(1, GetFileListClipboard(back, cut));
    EXPECT_FALSE(cut);
}

TEST_F(ClipboardTest, ADropFilesBlockIsReadWithinItsBounds)
{
    // ANSI names, and a block whose last name has no terminator.
    const char names[] = "C:\\one\0C:\\two\0";
    std::vector<BYTE> ansi(20 + sizeof names, 0);
    ansi[0] = 20;
    std::memcpy(ansi.data() + 20, names, sizeof names);
    std::vector<CString> paths;
    ASSERT_TRUE(ParseDropFilesBlock(ansi.data(), ansi.size(), paths));
    ASSERT_EQ(2u, paths.size());
    EXPECT_STREQ(L"C:\\two", paths[1].GetString());

    std::vector<BYTE> cutOff = BuildDropFilesBlock({L"C:\\whole", L"C:\\partial"});
    cutOff.resize(cutOff.size() - 6);
    ASSERT_TRUE(ParseDropFilesBlock(cutOff.data(), cutOff.size(), paths));
    ASSERT_EQ(1u, paths.size());
    EXPECT_FALSE(ParseDropFilesBlock(cutOff.data(), 19, paths));
    std::vector<BYTE> farOffset = cutOff;
    farOffset[0] = 0xF0;
    EXPECT_FALSE(ParseDropFilesBlock(farOffset.data(), farOffset.size(), paths));
}
