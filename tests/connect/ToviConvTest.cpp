// CToviConv: UTF-8, Base64, ANSI and wide text, colours, the SHA-1 and SHA-256 texts of a text,
// and the time of day. Runs twice: in code page 1252 and in code page 949 (Korean); the
// environment says which (TOVI_EXPECTED_ACP), so a run in the wrong code page fails.
// The protocol code includes winsock2.h first: its timeval must be the one gettimeofday fills.
#include <winsock2.h>
#include <gtest/gtest.h>
#include "SHA256.h"
#include "ToviConv.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

// Copies bytes so that the last one ends a readable page and the next page faults: reading one
// byte past them crashes the test.
class GuardedBytes {
public:
    GuardedBytes(const void* data, size_t size)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        m_page = info.dwPageSize;
        m_base = static_cast<char*>(VirtualAlloc(nullptr, 2 * m_page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(m_base + m_page, m_page, PAGE_NOACCESS, &old);
        m_at = m_base + m_page - size;
        memcpy(m_at, data, size);
    }
    ~GuardedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
    char* Get() { return m_at; }

private:
    size_t m_page;
    char* m_base;
    char* m_at;
};

std::string Hex(const std::string& bytes)
{
    std::string text;
    char piece[4];
    for (unsigned char c : bytes) {
        snprintf(piece, sizeof(piece), "%02X ", c);
        text += piece;
    }
    return text;
}

std::string HexUnits(const std::wstring& units)
{
    std::string text;
    char piece[6];
    for (wchar_t u : units) {
        snprintf(piece, sizeof(piece), "%04X ", static_cast<unsigned int>(u));
        text += piece;
    }
    return text;
}

unsigned short* Units(std::wstring& text)
{
    return reinterpret_cast<unsigned short*>(&text[0]);
}

const char kSentinel = '\xCC';


const unsigned short kUnitSentinel = 0xCCCC;

}

// ---- UTF-8 ----

struct Utf8Case {
    const wchar_t* wide;
    const char* utf8;
};

const Utf8Case kEncodeCases[] = {
    {L"A\u00E9\uAC00", "\x41\xC3\xA9\xEA\xB0\x80"},
    {L"\u007F\u0080", "\x7F\xC2\x80"},
    {L"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
    {L"\uFFFF", "\xEF\xBF\xBF"},
    // A surrogate pair: each half on its own, the form the server reads.
    {L"\U0001F600", "\xED\xA0\xBD\xED\xB8\x80"},
    {L"", ""},
};

TEST(ToviConvUtf8, EncodesEachCodeUnitOnItsOwn)
{
    for (const Utf8Case& c : kEncodeCases) {
        std::wstring in = c.wide;
        char out[64];
        memset(out, kSentinel, sizeof(out));
        int written = CToviConv::UTF8Encode(Units(in), 0, out);
        EXPECT_EQ(static_cast<int>(strlen(c.utf8)), written) << "units " << HexUnits(c.wide);
        EXPECT_EQ(Hex(c.utf8), Hex(std::string(out, written))) << "units " << HexUnits(c.wide);
        EXPECT_EQ(0, out[written]) << "units " << HexUnits(c.wide);
    }
}

TEST(ToviConvUtf8, EncodesOnlyWholeSequencesThatFitTheOutputWithItsZero)
{
    // A B EA B0 80 C and a zero: seven bytes.
    std::wstring in = L"AB\uAC00C";
    struct { int size; const char* expected; } cases[] = {
        {0, "AB\xEA\xB0\x80" "C"}, {-5, "AB\xEA\xB0\x80" "C"}, {7, "AB\xEA\xB0\x80" "C"},
        {6, "AB\xEA\xB0\x80"}, {5, "AB"}, {3, "AB"}, {2, "A"}, {1, ""},
    };
    for (const auto& c : cases) {
        char out[16];
        memset(out, kSentinel, sizeof(out));
        int written = CToviConv::UTF8Encode(Units(in), c.size, out);
        EXPECT_EQ(Hex(c.expected), Hex(std::string(out, written))) << "size " << c.size;
        EXPECT_EQ(0, out[written]) << "size " << c.size;
        for (int i = c.size > 0 ? c.size : 7; i < 16; ++i)
            EXPECT_EQ(kSentinel, out[i]) << "size " << c.size << ", byte " << i << " written";
    }
}

TEST(ToviConvUtf8, EncodesANullTextAsAnEmptyOne)
{
    char out[4] = "xyz";
    EXPECT_EQ(0, CToviConv::UTF8Encode(nullptr, 4, out));
    EXPECT_EQ(0, out[0]);
}

const Utf8Case kDecodeCases[] = {
    {L"A\u00E9\uAC00", "\x41\xC3\xA9\xEA\xB0\x80"},
    {L"\U0001F600", "\xF0\x9F\x98\x80"},
    {L"\U0001F600", "\xED\xA0\xBD\xED\xB8\x80"},
    {L"\U00010000", "\xF0\x90\x80\x80"},
    {L"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
    {L"a\U0001F600z", "a\xF0\x9F\x98\x80z"},
    {L"\uFFFD", "\xF7\xBF\xBF\xBF"},  // beyond Unicode
    // A sequence cut short by the end of the text is dropped.
    {L"A", "A\xC3"},
    {L"A", "A\xE4\xB8"},
    {L"A", "A\xF0\x9F\x98"},
    {L"", "\xF0"},
};

TEST(ToviConvUtf8, DecodesThreeAndFourByteFormsAndDropsACutShortEnd)
{
    for (const Utf8Case& c : kDecodeCases) {
        std::string in = c.utf8;
        unsigned short out[16];
        for (unsigned short& u : out) u = kUnitSentinel;
        int units = CToviConv::UTF8Decode(&in[0], out);
        std::wstring got(reinterpret_cast<const wchar_t*>(out), units > 0 ? units : 0);
        EXPECT_EQ(HexUnits(c.wide), HexUnits(got)) << "bytes " << Hex(c.utf8);
        // No terminating zero, and never more units than the text has bytes.
        EXPECT_EQ(kUnitSentinel, out[units]) << "bytes " << Hex(c.utf8);
        EXPECT_LE(units, static_cast<int>(in.size())) << "bytes " << Hex(c.utf8);
    }
}

TEST(ToviConvUtf8, NeverReadsPastTheTerminatingZero)
{
    for (const Utf8Case& c : kDecodeCases) {
        GuardedBytes in(c.utf8, strlen(c.utf8) + 1);
        unsigned short out[16];
        int units = CToviConv::UTF8Decode(in.Get(), out);
        EXPECT_EQ(static_cast<int>(wcslen(c.wide)), units) << "bytes " << Hex(c.utf8);
    }
}

TEST(ToviConvUtf8, DecodesAnEmptyTextToNothingWithoutWriting)
{
    char empty[] = "";
    unsigned short out[2] = {kUnitSentinel, kUnitSentinel};
    EXPECT_EQ(0, CToviConv::UTF8Decode(empty, out));
    EXPECT_EQ(kUnitSentinel, out[0]);
    EXPECT_EQ(0, CToviConv::UTF8Decode(nullptr, out));
}

TEST(ToviConvUtf8, DecodesWhatItEncodes)
{
    std::wstring text = L"Folder \uD30C\uC77C \u00E9\u00E8 \U0001F600 end";
    char utf8[128];
    CToviConv::UTF8Encode(Units(text), sizeof(utf8), utf8);
    unsigned short back[128];
    int units = CToviConv::UTF8Decode(utf8, back);
    EXPECT_EQ(HexUnits(text), HexUnits(std::wstring(reinterpret_cast<const wchar_t*>(back), units)));
}

// ---- Base64 (test vectors of RFC 4648, section 10) ----

struct Base64Case {
    std::string bytes;
    const char* text;
};

const Base64Case kBase64Cases[] = {
    {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    {std::string("\x00\xFF\xFE\x80\x7F", 5), "AP/+gH8="},
};

TEST(ToviConvBase64, EncodesTheRfcVectors)
{
    for (const Base64Case& c : kBase64Cases) {
        std::string in = c.bytes;
        char* out = nullptr;
        EXPECT_EQ(0, CToviConv::Base64Encode(in.empty() ? nullptr : &in[0], static_cast<int>(in.size()), &out));
        ASSERT_NE(nullptr, out) << "bytes " << Hex(c.bytes);
        EXPECT_STREQ(c.text, out) << "bytes " << Hex(c.bytes);
        free(out);
    }
}

TEST(ToviConvBase64, EncodesNothingForANullTextOrNegativeLength)
{
    char in[] = "abc";
    char* out = nullptr;
    EXPECT_EQ(0, CToviConv::Base64Encode(in, -3, &out));
    ASSERT_NE(nullptr, out);
    EXPECT_STREQ("", out);
    free(out);
    EXPECT_EQ(-1, CToviConv::Base64Encode(in, 3, nullptr));
}

TEST(ToviConvBase64, DecodesTheRfcVectors)
{
    for (const Base64Case& c : kBase64Cases) {
        std::string in = c.text;
        unsigned char out[16];
        int n = CToviConv::Base64Decode(&in[0], out, sizeof(out));
        EXPECT_EQ(Hex(c.bytes), Hex(std::string(reinterpret_cast<char*>(out), n > 0 ? n : 0))) << "text " << c.text;
    }
}

TEST(ToviConvBase64, SkipsLineBreaksPaddingAndForeignCharacters)
{
    struct { const char* text; const char* bytes; } cases[] = {
        {"Zm9v\r\nYmFy", "foobar"}, {"Zm9vYg==", "foob"}, {"Zm9vYg", "foob"},
        {" Zm 9v\tYmE= ", "fooba"}, {"Zm9v\xC3\xA9YmFy", "foobar"},
    };
    for (const auto& c : cases) {
        std::string in = c.text;
        unsigned char out[16];
        int n = CToviConv::Base64Decode(&in[0], out, sizeof(out));
        EXPECT_EQ(std::string(c.bytes), std::string(reinterpret_cast<char*>(out), n > 0 ? n : 0)) << "text " << Hex(c.text);
    }
}

TEST(ToviConvBase64, StoresNoMoreThanTheCapacity)
{
    for (int capacity : {0, 1, 2}) {
        char in[] = "Zm9v";
        unsigned char out[4] = {0xCC, 0xCC, 0xCC, 0xCC};
        EXPECT_EQ(capacity, CToviConv::Base64Decode(in, out, capacity));
        EXPECT_EQ(0, memcmp("fo", out, capacity)) << "capacity " << capacity;
        for (int i = capacity; i < 4; ++i)
            EXPECT_EQ(0xCC, out[i]) << "capacity " << capacity << ", byte " << i << " written";
    }
}

TEST(ToviConvBase64, DecodesWhatItEncodes)
{
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    for (size_t len : {size_t(1), size_t(2), size_t(3), size_t(100), size_t(256)}) {
        char* text = nullptr;
        CToviConv::Base64Encode(&bytes[0], static_cast<int>(len), &text);
        ASSERT_NE(nullptr, text);
        std::vector<unsigned char> back(len + 4);
        int n = CToviConv::Base64Decode(text, back.data(), static_cast<int>(back.size()));
        EXPECT_EQ(bytes.substr(0, len), std::string(reinterpret_cast<char*>(back.data()), n)) << len << " bytes";
        free(text);
    }
}

// ---- Colours ----

TEST(ToviConvColour, ReadsRedGreenAndBlueFromTheirPairs)
{
    struct { const wchar_t* text; unsigned long colour; } cases[] = {
        {L"#FF8000", 0x0080FF}, {L"#ff8000", 0x0080FF}, {L"#123456", 0x563412},
        {L"#zz0000", 0x000000}, {L"#zz8000", 0x008000}, {L"#0A0B0C", 0x0C0B0A},
        {L"#F0zz0C", 0x0C00F0}, {L"#1Z2Z3Z", 0x030201},
        // Short texts: the missing pairs count as 0.
        {L"#FF80", 0x0080FF}, {L"#FF", 0x0000FF}, {L"#F", 0x00000F}, {L"#", 0}, {L"", 0},
    };
    for (const auto& c : cases) {
        std::wstring text = c.text;
        EXPECT_EQ(c.colour, CToviConv::ConvertHextoRGB(&text[0])) << "text " << HexUnits(c.text);
    }
    EXPECT_EQ(0ul, CToviConv::ConvertHextoRGB(nullptr));
}

TEST(ToviConvColour, NeverReadsPastTheEndOfAShortText)
{
    for (const wchar_t* text : {L"#FF8000", L"#FF80", L"#FF8", L"#F", L"#", L""}) {
        GuardedBytes in(text, (wcslen(text) + 1) * sizeof(wchar_t));
        CToviConv::ConvertHextoRGB(reinterpret_cast<wchar_t*>(in.Get()));
    }
}

// ---- ANSI and wide text ----

TEST(ToviConvAnsi, GivesNullForANullOrEmptyTextAndFreesNull)
{
    EXPECT_EQ(nullptr, CToviConv::Tovi_MultiByteToWideChar(nullptr));
    EXPECT_EQ(nullptr, CToviConv::Tovi_MultiByteToWideChar(""));
    EXPECT_EQ(nullptr, CToviConv::Tovi_WideCharToMultiByte(nullptr));
    EXPECT_EQ(nullptr, CToviConv::Tovi_WideCharToMultiByte(L""));
    CToviConv::Tovi_Free(nullptr);
    CToviConv::Tovi_wFree(nullptr);
}

namespace {

UINT ExpectedCodePage()
{
    const char* value = getenv("TOVI_EXPECTED_ACP");
    return value ? static_cast<UINT>(atoi(value)) : 1252;
}

struct CodePageCase {
    UINT codePage;
    const char* ansi;
    const wchar_t* wide;
};

const CodePageCase kRoundTrips[] = {
    {1252, "plain text", L"plain text"},
    {1252, "caf\xE9", L"caf\u00E9"},
    {1252, "\x80 5", L"\u20AC 5"},
    {949, "plain text", L"plain text"},
    {949, "\xC7\xD1\xB1\xDB", L"\uD55C\uAE00"},
    {949, "\xB0\xA1 A", L"\uAC00 A"},
};

// Characters the code page lacks become its default character.
const CodePageCase kNarrowings[] = {
    {1252, "?", L"\uAC00"},
    {1252, "a?b", L"a\uD55Cb"},
    {949, "?", L"\u0E01"},
};

class ToviConvCodePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ExpectedCodePage(), GetACP()) << "the environment (LANG, LC_ALL) did not select the code page";
    }
};

}

TEST_F(ToviConvCodePage, ConvertsBothWaysInTheSystemCodePage)
{
    int rows = 0;
    for (const CodePageCase& c : kRoundTrips) {
        if (c.codePage != GetACP()) continue;
        ++rows;
        wchar_t* wide = CToviConv::Tovi_MultiByteToWideChar(c.ansi);
        ASSERT_NE(nullptr, wide) << "bytes " << Hex(c.ansi);
        EXPECT_EQ(HexUnits(c.wide), HexUnits(wide)) << "bytes " << Hex(c.ansi);
        CToviConv::Tovi_wFree(wide);

        char* ansi = CToviConv::Tovi_WideCharToMultiByte(c.wide);
        ASSERT_NE(nullptr, ansi) << "units " << HexUnits(c.wide);
        EXPECT_EQ(Hex(c.ansi), Hex(ansi)) << "units " << HexUnits(c.wide);
        CToviConv::Tovi_Free(ansi);
    }
    EXPECT_GT(rows, 0) << "no expectations for code page " << GetACP();
}

TEST_F(ToviConvCodePage, ReplacesCharactersTheCodePageLacks)
{
    int rows = 0;
    for (const CodePageCase& c : kNarrowings) {
        if (c.codePage != GetACP()) continue;
        ++rows;
        char* ansi = CToviConv::Tovi_WideCharToMultiByte(c.wide);
        ASSERT_NE(nullptr, ansi) << "units " << HexUnits(c.wide);
        EXPECT_EQ(Hex(c.ansi), Hex(ansi)) << "units " << HexUnits(c.wide);
        CToviConv::Tovi_Free(ansi);
    }
    EXPECT_GT(rows, 0) << "no expectations for code page " << GetACP();
}

// The SHA-1 and SHA-256 texts hash the code page's form of a text (digests: Python hashlib).
TEST_F(ToviConvCodePage, HashesTheCodePageFormOfAText)
{
    struct { UINT codePage; const wchar_t* text; const char* sha1; const wchar_t* sha256; } cases[] = {
        {1252, L"abc", "a9993e364706816aba3e25717850c26c9cd0d89d",
         L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {949, L"abc", "a9993e364706816aba3e25717850c26c9cd0d89d",
         L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {1252, L"\uAC00", "5bab61eb53176449e25c2c82f172b82cb13ffb9d",  // "?"
         L"8a8de823d5ed3e12746a62ef169bcf372be0ca44f0a1236abc35df05d96928e1"},
        {949, L"\uAC00", "3e14337db0c39f7f3223024ac693e96d79c00ae3",  // B0 A1
         L"78fbe360deed3fd09565464bcfd57912e597015cee3fcf5ee0e256265a81b876"},
    };
    int rows = 0;
    for (const auto& c : cases) {
        if (c.codePage != GetACP()) continue;
        ++rows;
        char sha1[41] = {};
        EXPECT_EQ(0, CToviConv::GetSha1Data(CString(c.text), sha1));
        EXPECT_STREQ(c.sha1, sha1) << "units " << HexUnits(c.text);

        std::wstring text = c.text;
        wchar_t sha256[65] = L"";
        EXPECT_EQ(0, CSHA256::GetSAH256Data(&text[0], sha256, 65));
        EXPECT_STREQ(c.sha256, sha256) << "units " << HexUnits(c.text);
    }
    EXPECT_GT(rows, 0) << "no expectations for code page " << GetACP();
}

// ---- SHA-1 text ----

TEST(ToviConvSha1, WritesFortyDigitsWithoutAZero)
{
    char out[48];
    memset(out, 'X', sizeof(out));
    EXPECT_EQ(0, CToviConv::GetSha1Data(CString(L"abc"), out));
    EXPECT_EQ("a9993e364706816aba3e25717850c26c9cd0d89d", std::string(out, 40));
    EXPECT_EQ('X', out[40]);
}

TEST(ToviConvSha1, LeavesTheOutputAsItWasForAnEmptyText)
{
    char out[41] = "unchanged";
    EXPECT_EQ(0, CToviConv::GetSha1Data(CString(L""), out));
    EXPECT_STREQ("unchanged", out);
}

// ---- Time of day ----

TEST(ToviConvTime, DoesNothingWithTwoNullPointers)
{
    EXPECT_EQ(0, CToviConv::gettimeofday(nullptr, nullptr));
}

TEST(ToviConvTime, AgreesWithTheSystemClockInSecondsSince1970)
{
    TIMEVAL tv = {-1, -1};  // winsock's name for the same struct timeval
    time_t before = time(nullptr);
    EXPECT_EQ(0, CToviConv::gettimeofday(&tv, nullptr));
    time_t after = time(nullptr);
    EXPECT_LE(static_cast<long long>(before), static_cast<long long>(tv.tv_sec));
    EXPECT_GE(static_cast<long long>(after), static_cast<long long>(tv.tv_sec));
    EXPECT_GE(tv.tv_usec, 0);
    EXPECT_LE(tv.tv_usec, 999999);
}

TEST(ToviConvTime, ReportsTheRuntimeTimeZoneInMinutesWest)
{
    // The runtime reads TZ once, at the first call that asks for the zone.
    _putenv("TZ=KST-9");
    struct timezone tz = {12345, 12345};
    EXPECT_EQ(0, CToviConv::gettimeofday(nullptr, &tz));
    EXPECT_EQ(-540, tz.tz_minuteswest);
    EXPECT_EQ(0, tz.tz_dsttime);
}
