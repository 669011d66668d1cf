// The folder-name check's verdicts without a window: trimming, length, forbidden characters,
// control characters and device names (also with an extension).
#include "FileUtils.h"
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(FolderName, VerdictsAndTrimmedNames)
{
    const std::wstring long256(256, L'a'), long257(257, L'a');
    const struct { std::wstring in; unsigned fault; std::wstring out; } rows[] = {
        { L"  report. .", 0, L"report" },
        { L"report . . ", 0, L"report" },
        { L"report..", 0, L"report" },
        { L"v1.2 final", 0, L"v1.2 final" },
        { L"\xBCF4\xACE0\xC11C", 0, L"\xBCF4\xACE0\xC11C" },
        { L"CONSOLE", 0, L"CONSOLE" },
        { L"COM10", 0, L"COM10" },
        { L"LPT0", 0, L"LPT0" },
        { L"my con", 0, L"my con" },
        { long256, 0, long256 },
        { L"", 12040, L"" },
        { L"   ", 12040, L"" },
        { L" . . ", 12040, L"" },
        { long257, 12076, long257 },
        { L".hidden", 12077, L".hidden" },
        { L" .hidden", 12077, L".hidden" },
        { L"com7", 12077, L"com7" },
        { L"CON", 12077, L"CON" },
        { L"nul", 12077, L"nul" },
        { L"Aux", 12077, L"Aux" },
        { L"PRN", 12077, L"PRN" },
        { L"LPT9", 12077, L"LPT9" },
        { L"CON.txt", 12077, L"CON.txt" },
        { L"nul.backup", 12077, L"nul.backup" },
        { L"com1 .log", 12077, L"com1 .log" },
        { L"a\\b", 12077, L"a\\b" },
        { L"a/b", 12077, L"a/b" },
        { L"a:b", 12077, L"a:b" },
        { L"a*b", 12077, L"a*b" },
        { L"a?b", 12077, L"a?b" },
        { L"a\"b", 12077, L"a\"b" },
        { L"a<b", 12077, L"a<b" },
        { L"a>b", 12077, L"a>b" },
        { L"a|b", 12077, L"a|b" },
        { L"tab\there", 12077, L"tab\there" },
        { L"line\nbreak", 12077, L"line\nbreak" },
        { std::wstring(L"nul\x01"), 12077, std::wstring(L"nul\x01") },
        { L"bell\x07", 12077, L"bell\x07" },
    };
    for (const auto& row : rows) {
        CString name = row.in.c_str();
        unsigned fault = CFileUtils::FolderNameFault(name);
        std::string shown(row.in.begin(), row.in.end());
        EXPECT_EQ(fault, row.fault) << "name \"" << shown << "\"";
        EXPECT_EQ(std::wstring((const wchar_t*)name), row.out) << "name \"" << shown << "\"";
    }
}

}
