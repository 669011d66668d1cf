// CString, CStringA and CStringArray: clamping, searching, editing, formatting, conversion,
// and string resources from the registered modules.
#include "Resources.h"
#include "Strings.h"
#include "StringsTestResource.h"
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

// Failure messages show the text, not the pointer.
void PrintTo(const CString& s, std::ostream* os)
{
    *os << '"' << CStringA(s).GetString() << '"';
}

void PrintTo(const CStringA& s, std::ostream* os)
{
    *os << '"' << s.GetString() << '"';
}

namespace {

std::string Narrow(const CString& s)
{
    return std::string(CStringA(s).GetString());
}

// ---- construction and assignment ----

TEST(CStringTest, ConstructsFromNullAsEmpty)
{
    EXPECT_TRUE(CString(static_cast<const wchar_t*>(nullptr)).IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_TRUE(CStringA(static_cast<const wchar_t*>(nullptr)).IsEmpty());
    CString s(L"x");
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringTest, ConstructsFromCountsAndRepeatedCharacters)
{
    EXPECT_EQ(CString(L"abc", 2), L"ab");
    EXPECT_EQ(CString(L"abc", 0), L"");
    EXPECT_EQ(CString(L"abc", -1), L"");
    EXPECT_EQ(CString(L'x', 3), L"xxx");
    EXPECT_EQ(CString(L'x', 0), L"");
    EXPECT_EQ(CString(L'x'), L"x");
    EXPECT_EQ(CStringA('-', 4), "----");
    CString zero(L"a\0b", 3);
    EXPECT_EQ(zero.GetLength(), 3);
    EXPECT_EQ(zero[2], L'b');
}

TEST(CStringTest, AssignsFromItsOwnText)
{
    CString s(L"hello");
    s = s.GetString() + 1;
    EXPECT_EQ(s, L"ello");
    s += s.GetString();
    EXPECT_EQ(s, L"elloello");
    s = s;
    EXPECT_EQ(s, L"elloello");
}

TEST(CStringTest, MovedFromStringIsUsable)
{
    CString a(L"some text long enough not to fit a small buffer");
    CString b(std::move(a));
    EXPECT_EQ(b, L"some text long enough not to fit a small buffer");
    a = L"again";
    EXPECT_EQ(a, L"again");
}

TEST(CStringTest, ConcatenatesStringsPointersAndCharacters)
{
    CString s(L"b");
    EXPECT_EQ(L"a" + s, L"ab");
    EXPECT_EQ(s + L"c", L"bc");
    EXPECT_EQ(s + L'c', L"bc");
    EXPECT_EQ(L'a' + s, L"ab");
    EXPECT_EQ(s + s, L"bb");
    s += L'c';
    s += CString(L"d");
    s += L"e";
    EXPECT_EQ(s, L"bcde");
    s.AppendChar(L'f');
    s.Append(L"ghij", 2);
    EXPECT_EQ(s, L"bcdefgh");
}

// ---- comparison ----

TEST(CStringTest, ComparesWithStringsAndPointersBothWays)
{
    CString s(L"abc");
    EXPECT_TRUE(s == L"abc");
    EXPECT_TRUE(L"abc" == s);
    EXPECT_TRUE(s != L"abd");
    EXPECT_TRUE(L"abd" != s);
    EXPECT_TRUE(s == CString(L"abc"));
    EXPECT_TRUE(s < L"abd");
    EXPECT_TRUE(L"abb" < s);
    EXPECT_TRUE(CString() == static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(CStringA("x") == "x");
    EXPECT_TRUE("y" != CStringA("x"));
}

TEST(CStringTest, CompareFamiliesGiveSignOnly)
{
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        int compare, noCase;
    } rows[] = {
        {L"abc", L"abc", 0, 0},   {L"abc", L"ABC", 1, 0},   {L"abc", L"abd", -1, -1},
        {L"ab", L"abc", -1, -1},  {L"", L"", 0, 0},         {L"", L"a", -1, -1},
        {L"\u00e9t\u00e9", L"\u00c9T\u00c9", 1, 0},
    };
    for (const Row& r : rows) {
        CString a(r.a);
        EXPECT_EQ(a.Compare(r.b), r.compare) << Narrow(r.a) << " vs " << Narrow(r.b);
        EXPECT_EQ(a.CompareNoCase(r.b), r.noCase) << Narrow(r.a) << " vs " << Narrow(r.b);
    }
    EXPECT_EQ(CStringA("Hello").CompareNoCase("hELLO"), 0);
    EXPECT_EQ(CString(L"a").Collate(L"b"), -1);
    EXPECT_EQ(CString(L"b").Collate(L"a"), 1);
    EXPECT_EQ(CString(L"abc").CollateNoCase(L"ABC"), 0);
}

TEST(CStringTest, OrdersMapKeysByCodeUnit)
{
    std::map<CString, int> m;
    for (const wchar_t* key : {L"b", L"a", L"B", L"ab", L"", L"\uac00"})
        m[key] = 1;
    std::vector<std::wstring> order;
    for (const auto& kv : m)
        order.push_back(kv.first.GetString());
    EXPECT_EQ(order, (std::vector<std::wstring>{L"", L"B", L"a", L"ab", L"b", L"\uac00"}));
    EXPECT_EQ(m.count(CString(L"ab")), 1u);
}

// ---- extraction ----

TEST(CStringTest, LeftMidRightClampToTheString)
{
    const CString s(L"hello");
    struct Row {
        CString actual;
        const wchar_t* expected;
        const char* call;
    } rows[] = {
        {s.Left(-1), L"", "Left(-1)"},       {s.Left(0), L"", "Left(0)"},
        {s.Left(2), L"he", "Left(2)"},       {s.Left(99), L"hello", "Left(99)"},
        {s.Mid(-3), L"hello", "Mid(-3)"},    {s.Mid(1), L"ello", "Mid(1)"},
        {s.Mid(5), L"", "Mid(5)"},           {s.Mid(9), L"", "Mid(9)"},
        {s.Mid(1, -1), L"", "Mid(1,-1)"},    {s.Mid(1, 2), L"el", "Mid(1,2)"},
        {s.Mid(4, 9), L"o", "Mid(4,9)"},     {s.Mid(-2, 3), L"hel", "Mid(-2,3)"},
        {s.Right(2), L"lo", "Right(2)"},     {s.Right(99), L"hello", "Right(99)"},
        {s.Right(-2), L"", "Right(-2)"},     {CString().Mid(1, 1), L"", "empty Mid(1,1)"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.actual, r.expected) << r.call << " gave " << Narrow(r.actual);
}

TEST(CStringTest, SpansStopAtTheFirstCharacterOutsideOrInsideTheSet)
{
    EXPECT_EQ(CString(L"12a3").SpanIncluding(L"0123456789"), L"12");
    EXPECT_EQ(CString(L"a12").SpanIncluding(L"0123456789"), L"");
    EXPECT_EQ(CString(L"key=value").SpanExcluding(L"=;"), L"key");
    EXPECT_EQ(CString(L"plain").SpanExcluding(L"=;"), L"plain");
    EXPECT_EQ(CString(L"plain").SpanExcluding(L""), L"plain");
}

TEST(CStringTest, GetAtAndSetAtIgnoreIndexesOutsideTheString)
{
    CString s(L"abc");
    EXPECT_EQ(s.GetAt(1), L'b');
    EXPECT_EQ(s.GetAt(3), 0);
    EXPECT_EQ(s.GetAt(-1), 0);
    EXPECT_EQ(s[static_cast<size_t>(2)], L'c');
    s.SetAt(0, L'x');
    s.SetAt(3, L'y');
    s.SetAt(-1, L'y');
    EXPECT_EQ(s, L"xbc");
}

// ---- searching ----

TEST(CStringTest, FindRespectsStartAndTheEnd)
{
    const CString s(L"hello");
    struct Row {
        int actual, expected;
        const char* call;
    } rows[] = {
        {s.Find(L'l'), 2, "Find('l')"},          {s.Find(L'l', 3), 3, "Find('l',3)"},
        {s.Find(L'l', 4), -1, "Find('l',4)"},    {s.Find(L'h', -1), -1, "Find('h',-1)"},
        {s.Find(L'o', 5), -1, "Find('o',5)"},    {s.Find(L'o', 50), -1, "Find('o',50)"},
        {s.Find(L"lo"), 3, "Find(\"lo\")"},       {s.Find(L"l", 3), 3, "Find(\"l\",3)"},
        {s.Find(L"hello!"), -1, "Find(\"hello!\")"}, {s.Find(L"", 5), 5, "Find(\"\",5)"},
        {s.Find(L"", 6), -1, "Find(\"\",6)"},    {s.Find(static_cast<const wchar_t*>(nullptr)), -1, "Find(null)"},
        {s.ReverseFind(L'l'), 3, "ReverseFind('l')"}, {s.ReverseFind(L'z'), -1, "ReverseFind('z')"},
        {CString().ReverseFind(L'a'), -1, "empty ReverseFind"}, {s.FindOneOf(L"ol"), 2, "FindOneOf(\"ol\")"},
        {s.FindOneOf(L""), -1, "FindOneOf(\"\")"}, {CString().Find(L'a'), -1, "empty Find"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.actual, r.expected) << r.call;
}

// ---- editing ----

TEST(CStringTest, ReplaceCountsNonOverlappingMatchesLeftToRight)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* from;
        const wchar_t* to;
        const wchar_t* expected;
        int count;
    } rows[] = {
        {L"a.b.c", L".", L"...", L"a...b...c", 2}, // longer
        {L"a--b--c", L"--", L"", L"abc", 2},       // removal
        {L"aaaa", L"aa", L"b", L"bb", 2},          // back to back
        {L"aaa", L"aa", L"b", L"ba", 1},           // overlapping: the first wins
        {L"aba", L"a", L"aa", L"aabaa", 2},        // the replacement holds the match
        {L"abc", L"", L"x", L"abc", 0},            // nothing to find
        {L"abc", L"abcd", L"x", L"abc", 0},
        {L"", L"a", L"b", L"", 0},
        {L"abc", L"abc", nullptr, L"", 1},         // null replacement is empty
    };
    for (const Row& r : rows) {
        CString s(r.text);
        int n = s.Replace(r.from, r.to);
        EXPECT_EQ(s, r.expected) << Narrow(r.text) << " replace " << Narrow(r.from) << " gave " << Narrow(s);
        EXPECT_EQ(n, r.count) << Narrow(r.text) << " replace " << Narrow(r.from);
    }
}

TEST(CStringTest, ReplaceAcceptsTextFromTheStringItself)
{
    CString s(L"abcabc");
    EXPECT_EQ(s.Replace(s.GetString(), L"x"), 1);
    EXPECT_EQ(s, L"x");
    CString t(L"a-b");
    EXPECT_EQ(t.Replace(L"-", t.GetString()), 1);
    EXPECT_EQ(t, L"aa-bb");
}

TEST(CStringTest, ReplaceAndRemoveCharactersCount)
{
    CString s(L"a\\b\\c");
    EXPECT_EQ(s.Replace(L'\\', L'/'), 2);
    EXPECT_EQ(s, L"a/b/c");
    EXPECT_EQ(s.Remove(L'/'), 2);
    EXPECT_EQ(s, L"abc");
    EXPECT_EQ(s.Remove(L'z'), 0);
}

TEST(CStringTest, InsertAndDeleteClampPositions)
{
    CString s(L"ace");
    EXPECT_EQ(s.Insert(1, L'b'), 4);
    EXPECT_EQ(s.Insert(3, L"d"), 5);
    EXPECT_EQ(s, L"abcde");
    s.Insert(-5, L'<');
    s.Insert(99, L">>");
    EXPECT_EQ(s, L"<abcde>>");
    EXPECT_EQ(s.Delete(0), 7);
    EXPECT_EQ(s.Delete(5, 99), 5);
    EXPECT_EQ(s, L"abcde");
    EXPECT_EQ(s.Delete(1, 2), 3);
    EXPECT_EQ(s, L"ade");
    EXPECT_EQ(s.Delete(99), 3);
    EXPECT_EQ(s.Delete(1, -1), 3);
    EXPECT_EQ(s, L"ade");
}

TEST(CStringTest, TrimsWhitespaceOneCharacterOrASet)
{
    struct Row {
        CString actual;
        const wchar_t* expected;
        const char* call;
    } rows[] = {
        {CString(L"  \t x y \r\n").Trim(), L"x y", "Trim()"},
        {CString(L" \t ").Trim(), L"", "Trim() all blank"},
        {CString().Trim(), L"", "Trim() empty"},
        {CString(L"  x  ").TrimLeft(), L"x  ", "TrimLeft()"},
        {CString(L"  x  ").TrimRight(), L"  x", "TrimRight()"},
        {CString(L"000120").TrimLeft(L'0'), L"120", "TrimLeft('0')"},
        {CString(L"path\\\\").TrimRight(L'\\'), L"path", "TrimRight('\\\\')"},
        {CString(L"xyaxyx").Trim(L"xy"), L"a", "Trim(\"xy\")"},
        {CString(L"[[a]]").Trim(L"[]"), L"a", "Trim(\"[]\")"},
        {CString(L"abc").Trim(L""), L"abc", "Trim(\"\")"},
        {CString(L"\u3000x\u3000").Trim(), L"x", "Trim() ideographic space"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.actual, r.expected) << r.call << " gave " << Narrow(r.actual);
    EXPECT_EQ(CStringA(" \tnarrow\r\n").Trim(), "narrow");
}

TEST(CStringTest, ChangesCaseBeyondAsciiAndReverses)
{
    EXPECT_EQ(CString(L"Mixed \u00e9\u00c9").MakeUpper(), L"MIXED \u00c9\u00c9");
    EXPECT_EQ(CString(L"Mixed \u00e9\u00c9").MakeLower(), L"mixed \u00e9\u00e9");
    EXPECT_EQ(CString(L"\ud55c\uae00").MakeUpper(), L"\ud55c\uae00");
    EXPECT_EQ(CString(L"abc").MakeReverse(), L"cba");
    EXPECT_EQ(CString().MakeUpper(), L"");
    EXPECT_EQ(CStringA("AbC").MakeLower(), "abc");
}

// ---- tokenizing ----

std::vector<std::wstring> Tokens(const wchar_t* text, const wchar_t* delimiters, int start = 0)
{
    CString s(text);
    std::vector<std::wstring> out;
    int pos = start;
    for (int guard = 0; guard < 100; ++guard) {
        CString token = s.Tokenize(delimiters, pos);
        if (pos == -1) {
            EXPECT_TRUE(token.IsEmpty());
            return out;
        }
        out.push_back(token.GetString());
    }
    ADD_FAILURE() << "Tokenize never ended";
    return out;
}

TEST(CStringTest, TokenizeSkipsEmptyFieldsAndEndsWithMinusOne)
{
    using V = std::vector<std::wstring>;
    struct Row {
        const wchar_t* text;
        const wchar_t* delimiters;
        int start;
        V expected;
    } rows[] = {
        {L"a,b,c", L",", 0, V{L"a", L"b", L"c"}},
        {L",,a,,b,", L",", 0, V{L"a", L"b"}},
        {L"a b;c", L" ;", 0, V{L"a", L"b", L"c"}},
        {L"", L",", 0, V{}},
        {L",,,", L",", 0, V{}},
        {L"abc", L",", 0, V{L"abc"}},
        {L"a,b", L",", 2, V{L"b"}},
        {L"a,b", L",", 3, V{}},
        {L"a,b", L",", -1, V{}},
        {L"a,b", L"", 0, V{L"a,b"}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Tokens(r.text, r.delimiters, r.start), r.expected)
            << "\"" << Narrow(r.text) << "\" by \"" << Narrow(r.delimiters) << "\" from " << r.start;
}

TEST(CStringTest, TokenizeLeavesPositionAfterTheDelimiter)
{
    CString s(L"key=value");
    int pos = 0;
    EXPECT_EQ(s.Tokenize(L"=", pos), L"key");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(s.Mid(pos), L"value");
}

// ---- direct buffer access ----

TEST(CStringTest, GetBufferKeepsTextAndReleaseBufferFindsTheZero)
{
    CString s(L"ab");
    wchar_t* p = s.GetBuffer(10);
    EXPECT_EQ(p[0], L'a');
    EXPECT_EQ(p[1], L'b');
    wcscpy(p, L"hello");
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"hello");
    EXPECT_EQ(s.GetLength(), 5);

    p = s.GetBuffer(1); // smaller than the text: the text stays
    EXPECT_EQ(std::wstring(p), L"hello");
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, L"hel");
}

TEST(CStringTest, ReleaseBufferAcceptsAFullBufferWithItsTerminator)
{
    CString s;
    wchar_t* p = s.GetBuffer(4);
    wcscpy(p, L"abcd"); // four characters and the zero after them
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"abcd");
}

TEST(CStringTest, GetBufferWithoutLengthEditsInPlace)
{
    CString s(L"abc");
    wchar_t* p = s.GetBuffer();
    p[0] = L'x';
    p[2] = 0;
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"xb");
}

TEST(CStringTest, GetBufferSetLengthFixesTheLength)
{
    CString s;
    wchar_t* p = s.GetBufferSetLength(3);
    p[0] = L'x';
    p[1] = L'y';
    p[2] = L'z';
    EXPECT_EQ(s.GetLength(), 3);
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"xyz");
    s.ReleaseBuffer(99); // never longer than the buffer
    EXPECT_EQ(s, L"xyz");
}

TEST(CStringTest, GetBufferServesWin32Calls)
{
    CString s;
    DWORD n = GetEnvironmentVariableW(L"SystemRoot", s.GetBuffer(MAX_PATH), MAX_PATH);
    s.ReleaseBuffer();
    ASSERT_GT(n, 0u);
    EXPECT_EQ(DWORD(s.GetLength()), n);
}

// ---- formatting ----

TEST(CStringTest, FormatUsesWindowsMeaningOfPercentS)
{
    struct Row {
        CString actual;
        const wchar_t* expected;
        const char* format;
    };
    auto f = [](const wchar_t* format, auto... args) {
        CString s;
        s.Format(format, args...);
        return s;
    };
    Row rows[] = {
        {f(L"%s", L"x"), L"x", "%s wide"},
        {f(L"%S", "narrow"), L"narrow", "%S narrow"},
        {f(L"%ls|%hs", L"w", "n"), L"w|n", "%ls %hs"},
        {f(L"%d %u %x %X", -5, 7u, 255, 255), L"-5 7 ff FF", "%d %u %x %X"},
        {f(L"%I64d", -9000000000LL), L"-9000000000", "%I64d"},
        {f(L"%I64u", 18446744073709551615ULL), L"18446744073709551615", "%I64u"},
        {f(L"%5.2f|%-4d|%04d", 3.14159, 7, 42), L" 3.14|7   |0042", "widths"},
        {f(L"%c%c", L'a', L'\uac00'), L"a\uac00", "%c"},
        {f(L"100%%"), L"100%", "%%"},
        {f(L"%s", CString(L"object")), L"object", "CString argument"},
        {f(L"%S", CStringA("narrow object")), L"narrow object", "CStringA argument"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.actual, r.expected) << r.format << " gave " << Narrow(r.actual);
}

TEST(CStringTest, FormatProducesOutputOfAnyLength)
{
    CString big(L'x', 100000);
    CString s;
    s.Format(L"[%s]", big.GetString());
    EXPECT_EQ(s.GetLength(), 100002);
    EXPECT_EQ(s.Left(2), L"[x");
    EXPECT_EQ(s.Right(2), L"x]");
    CStringA narrow;
    narrow.Format("%s%d", CStringA('y', 5000).GetString(), 1);
    EXPECT_EQ(narrow.GetLength(), 5001);
}

TEST(CStringTest, AppendFormatMayUseTheStringItself)
{
    CString s(L"ab");
    s.AppendFormat(L"-%s-%d", s, 3);
    EXPECT_EQ(s, L"ab-ab-3");
    s.Format(L"%s%s", s, s);
    EXPECT_EQ(s, L"ab-ab-3ab-ab-3");
}

TEST(CStringTest, NarrowFormatTakesNarrowPercentS)
{
    CStringA s;
    s.Format("%s=%d %S", "n", 1, L"w");
    EXPECT_EQ(s, "n=1 w");
}

// ---- conversion between widths ----

TEST(CStringTest, ConvertsThroughTheAnsiCodePage)
{
    struct Sample {
        UINT codePage;
        const char* narrow;
        const wchar_t* wide;
    } samples[] = {
        {1252, "caf\xe9", L"caf\u00e9"},
        {949, "\xc7\xd1\xb1\xdb", L"\ud55c\uae00"},
        {65001, "caf\xc3\xa9", L"caf\u00e9"},
    };
    EXPECT_EQ(CString("plain ascii"), L"plain ascii");
    EXPECT_EQ(CStringA(L"plain ascii"), "plain ascii");
    const UINT acp = GetACP();
    for (const Sample& s : samples) {
        if (s.codePage != acp)
            continue;
        EXPECT_EQ(CString(s.narrow), s.wide) << "code page " << acp;
        EXPECT_EQ(CStringA(s.wide), s.narrow) << "code page " << acp;
        EXPECT_EQ(CString(CStringA(s.wide)), s.wide) << "code page " << acp;
        return;
    }
    GTEST_SKIP() << "no sample for code page " << acp;
}

TEST(CStringTest, CountedNarrowConversionStopsAtTheCount)
{
    EXPECT_EQ(CString("abcdef", 3), L"abc");
    CStringA narrow;
    narrow = L"wide";
    EXPECT_EQ(narrow, "wide");
    CString wide;
    wide = narrow;
    EXPECT_EQ(wide, L"wide");
}

TEST(CStringTest, ConvertsImplicitlyToAConstPointer)
{
    CString s(L"text");
    LPCTSTR p = s;
    EXPECT_STREQ(p, L"text");
    EXPECT_EQ(lstrlenW(s), 4);
    CStringA a("text");
    EXPECT_EQ(lstrlenA(a), 4);
}

// ---- string resources ----

class StringResourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_library = LoadLibraryW(L"StringsTestLibrary.dll");
        ASSERT_NE(m_library, nullptr);
    }
    void TearDown() override
    {
        AfxUnregisterResourceModule(m_library);
        if (m_library)
            FreeLibrary(m_library);
    }
    HMODULE m_library = nullptr;
};

TEST_F(StringResourceTest, LoadsFromTheProgramWhenNothingIsRegistered)
{
    CString s;
    EXPECT_TRUE(s.LoadString(IDS_TEST_SHARED));
    EXPECT_EQ(s, L"from the program");
    EXPECT_TRUE(s.LoadString(IDS_TEST_KOREAN));
    EXPECT_EQ(s, L"\ud55c\uae00 \ubb38\uc790\uc5f4");
}

TEST_F(StringResourceTest, RegisteredModulesComeBeforeTheProgram)
{
    AfxRegisterResourceModule(m_library);
    CString s;
    EXPECT_TRUE(s.LoadString(IDS_TEST_SHARED));
    EXPECT_EQ(s, L"from the library");
    // Same string table block in both modules, the entry only in the program's.
    EXPECT_TRUE(s.LoadString(IDS_TEST_PROGRAM_ONLY));
    EXPECT_EQ(s, L"only in the program");
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(IDS_TEST_SHARED / 16 + 1), RT_STRING), m_library);

    AfxUnregisterResourceModule(m_library);
    EXPECT_TRUE(s.LoadString(IDS_TEST_SHARED));
    EXPECT_EQ(s, L"from the program");
}

TEST_F(StringResourceTest, MissingIdLeavesTheStringAsItWas)
{
    CString s(L"unchanged");
    EXPECT_FALSE(s.LoadString(IDS_TEST_MISSING));
    EXPECT_EQ(s, L"unchanged");
    EXPECT_FALSE(s.LoadString(m_library, IDS_TEST_PROGRAM_ONLY));
    EXPECT_TRUE(s.LoadString(m_library, IDS_TEST_SHARED));
    EXPECT_EQ(s, L"from the library");
}

TEST_F(StringResourceTest, FormatTakesItsPatternFromAResource)
{
    CString s;
    s.Format(IDS_TEST_PATTERN, 3, L"files");
    EXPECT_EQ(s, L"3 files");
    CStringA a;
    EXPECT_TRUE(a.LoadString(IDS_TEST_SHARED));
    EXPECT_EQ(a, "from the program");
}

// ---- CStringArray ----

std::vector<std::wstring> Items(const CStringArray& a)
{
    std::vector<std::wstring> out;
    for (int i = 0; i < a.GetSize(); ++i)
        out.push_back(a[i].GetString());
    return out;
}

TEST(CStringArrayTest, AddsInsertsAndRemoves)
{
    using V = std::vector<std::wstring>;
    CStringArray a;
    EXPECT_EQ(a.Add(L"a"), 0);
    EXPECT_EQ(a.Add(L"c"), 1);
    a.InsertAt(1, L"b");
    a.InsertAt(0, L"-", 2);
    EXPECT_EQ(Items(a), (V{L"-", L"-", L"a", L"b", L"c"}));
    a.RemoveAt(0, 2);
    a.RemoveAt(2, 99);
    a.RemoveAt(5);
    a.RemoveAt(-1);
    EXPECT_EQ(Items(a), (V{L"a", L"b"}));
    a.InsertAt(4, L"e"); // past the end grows
    EXPECT_EQ(Items(a), (V{L"a", L"b", L"", L"", L"e"}));
    a.RemoveAll();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetCount(), 0);
}

TEST(CStringArrayTest, OutOfRangeIndexesAreHarmless)
{
    CStringArray a;
    a.Add(L"only");
    EXPECT_EQ(a.GetAt(1), L"");
    EXPECT_EQ(a.GetAt(-1), L"");
    a.SetAt(5, L"ignored");
    a.ElementAt(7) = L"ignored too";
    EXPECT_EQ(a.GetSize(), 1);
    EXPECT_EQ(a[0], L"only");
    a[0] = L"changed";
    a.SetAtGrow(2, L"grown");
    EXPECT_EQ(Items(a), (std::vector<std::wstring>{L"changed", L"", L"grown"}));
}

TEST(CStringArrayTest, AppendsAndCopiesIncludingItself)
{
    CStringArray a, b;
    a.Add(L"1");
    a.Add(L"2");
    EXPECT_EQ(a.Append(a), 2);
    EXPECT_EQ(Items(a), (std::vector<std::wstring>{L"1", L"2", L"1", L"2"}));
    b.Add(L"old");
    b.Copy(a);
    EXPECT_EQ(Items(b), Items(a));
    a.InsertAt(0, a[3]);
    EXPECT_EQ(a[0], L"2");
    CStringArray c(b);
    EXPECT_EQ(Items(c), Items(b));
}

}
