// Form bodies: every value percent-encoded from its ANSI bytes, the names as given.
#include "FormParam.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

namespace {

TEST(FormParam, ValuesThatWouldBreakTheBodyAreEncoded)
{
    struct Row {
        const wchar_t* value;
        const wchar_t* encoded;
    } rows[] = {
        { L"", L"" },
        { L"plain-Value_1.2~", L"plain-Value_1.2~" },
        { L"a&b=c", L"a%26b%3Dc" },
        { L"a b+c%d", L"a%20b%2Bc%25d" },
        { L"/path?x#y", L"%2Fpath%3Fx%23y" },
    };
    for (const Row& r : rows)
        EXPECT_EQ(CString(r.encoded), CFormParam::Encode(r.value)) << CStringA(r.value).GetString();
}

TEST(FormParam, OtherCharactersGoAsTheirAnsiBytes)
{
    // The body has always been sent in the ANSI code page: the server decodes to those bytes.
    const wchar_t value[] = L"\u00e9\u00fc";   // in code page 1252: E9 FC
    char bytes[16] = {};
    int n = ::WideCharToMultiByte(CP_ACP, 0, value, -1, bytes, sizeof(bytes), nullptr, nullptr) - 1;
    CString expected;
    for (int i = 0; i < n; ++i)
        expected.AppendFormat(L"%%%02X", (unsigned char)bytes[i]);
    EXPECT_EQ(expected, CFormParam::Encode(value));
    if (::GetACP() == 1252)
        EXPECT_EQ(CString(L"%E9%FC"), CFormParam::Encode(value));
}

TEST(FormParam, TheLinkBodyKeepsItsFieldsInOrder)
{
    EXPECT_EQ(CString(L"link=L%26K&uid=kim&sess=S%3D1"), CFormParam::LinkBody(L"L&K", L"kim", L"S=1"));
    EXPECT_EQ(CString(L"a=1&b=&c=x%20y"), CFormParam::Build({ { L"a", L"1" }, { L"b", L"" }, { L"c", L"x y" } }));
}

}
