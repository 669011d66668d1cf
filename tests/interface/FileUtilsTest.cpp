// CFileUtils: size texts, checksums, natural order, versions, folders, processes, Windows
// version and account branches (through the system facts), locale, fonts and icons.
#include "FileUtils.h"
#include "RegistryFixture.h"
#include "SystemFactsFake.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "ToviTextLanguage.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::wstring Scratch(const wchar_t* name) { return testpaths::ScratchDir(name); }

void PutFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    if (!bytes.empty())
        ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Adler-32 written out from its definition, to check the library's use of zlib.
struct Adler {
    unsigned long a = 1, b = 0;
    void Feed(const unsigned char* p, size_t n)
    {
        for (size_t i = 0; i < n; ++i) {
            a = (a + p[i]) % 65521;
            b = (b + a) % 65521;
        }
    }
    unsigned long Value() const { return (b << 16) | a; }
};

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.rfind(L'\\'));
}

std::wstring OwnExeName()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(p.rfind(L'\\') + 1);
}

// A 16x16, 32-bit icon file.
std::string IconBytes()
{
    std::string ico;
    auto put16 = [&](unsigned v) { ico += char(v & 0xFF); ico += char(v >> 8); };
    auto put32 = [&](unsigned v) { put16(v & 0xFFFF); put16(v >> 16); };
    const unsigned imageBytes = 40 + 16 * 16 * 4 + 16 * 4;
    put16(0); put16(1); put16(1);
    ico += char(16); ico += char(16); ico += char(0); ico += char(0);
    put16(1); put16(32); put32(imageBytes); put32(22);
    put32(40); put32(16); put32(32); put16(1); put16(32); put32(0); put32(16 * 16 * 4); put32(0); put32(0); put32(0); put32(0);
    for (int i = 0; i < 16 * 16; ++i) { ico += char(0x20); ico += char(0x80); ico += char(0xE0); ico += char(0xFF); }
    ico += std::string(16 * 4, '\0');
    return ico;
}

}

TEST(FileSizeTextTest, ListSizesRoundToKilobytesOrMegabytesWithGroupedDigits)
{
    struct Row { __int64 bytes; const wchar_t* text; };
    const Row rows[] = {
        { -5, L"0KB" }, { 0, L"0KB" }, { 1, L"1KB" }, { 1024, L"1KB" }, { 1025, L"1KB" }, { 1536, L"2KB" },
        { 0x40000000, L"1,048,576KB" }, { 0x40000001, L"1,024MB" }, { 5000000000LL, L"4,768MB" },
        { 999 * 1024, L"999KB" }, { 1000 * 1024, L"1,000KB" },
    };
    for (const Row& r : rows)
        EXPECT_STREQ(r.text, CFileUtils::ConvertFileSize(r.bytes).GetString()) << "bytes " << r.bytes;
}

TEST(FileSizeTextTest, DetailSizesUseOneDecimalAndTheLargestUnit)
{
    struct Row { __int64 bytes; const wchar_t* text; };
    const Row rows[] = {
        { 0, L"0.0 BYTE" }, { 500, L"500.0 BYTE" }, { 1023, L"1023.0 BYTE" }, { 1536, L"1.5 KB" },
        { 1048576, L"1.0 MB" }, { 1073741824LL * 3 / 2, L"1.5 GB" }, { 0x7FFFFFFFFFFFFFFFLL, L"8.0 EB" },
    };
    for (const Row& r : rows)
        EXPECT_STREQ(r.text, CFileUtils::ConvertFileSize2(r.bytes).GetString()) << "bytes " << r.bytes;
    EXPECT_STREQ(L"1.5 KB", CFileUtils::ConvertFileSize2(CString(L"1536")).GetString());
}

TEST(FileTest, SizeNameAndSeekOfAFile)
{
    std::wstring dir = Scratch(L"FileUtilsFile");
    std::wstring path = dir + L"\\report.final.txt";
    PutFile(path, std::string(3000, 'x'));
    EXPECT_EQ(3000, CFileUtils::GetFileSize(&path[0]));
    std::wstring missing = dir + L"\\none.txt";
    EXPECT_EQ(0, CFileUtils::GetFileSize(&missing[0]));
    EXPECT_STREQ(L"report.final.txt", CFileUtils::GetFileName(&path[0]).GetString());

    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(2000, CFileUtils::Seek64(file, 2000, FILE_BEGIN));
    EXPECT_EQ(2500, CFileUtils::Seek64(file, 500, FILE_CURRENT));
    EXPECT_EQ(-1, CFileUtils::Seek64(file, -10000, FILE_BEGIN));
    CloseHandle(file);
    EXPECT_EQ(0, CFileUtils::Seek64(nullptr, 10, FILE_BEGIN));
}

TEST(ChecksumTest, SmallFilesAreSummedWholeOrUpToTheGivenSize)
{
    std::wstring dir = Scratch(L"FileUtilsChecksum");
    PutFile(dir + L"\\abc.bin", "abc");
    EXPECT_EQ(0x024D0127ul, CFileUtils::ComputeChecksum((dir + L"\\abc.bin").c_str(), 3));
    EXPECT_EQ(0x024D0127ul, CFileUtils::ComputeChecksum((dir + L"\\abc.bin").c_str(), 0));

    PutFile(dir + L"\\empty.bin", "");
    EXPECT_EQ(0ul, CFileUtils::ComputeChecksum((dir + L"\\empty.bin").c_str(), 0));
    EXPECT_EQ(0ul, CFileUtils::ComputeChecksum((dir + L"\\missing.bin").c_str(), 0));

    std::string data;
    for (int i = 0; i < 70000; ++i)
        data += char(i * 7 + i / 251);
    PutFile(dir + L"\\data.bin", data);
    for (size_t size : { size_t(1), size_t(8191), size_t(8192), size_t(8193), size_t(50000), data.size() }) {
        Adler expected;
        expected.Feed(reinterpret_cast<const unsigned char*>(data.data()), size);
        EXPECT_EQ(expected.Value(), CFileUtils::ComputeChecksum((dir + L"\\data.bin").c_str(), static_cast<__int64>(size))) << "size " << size;
    }
    Adler whole;
    whole.Feed(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    EXPECT_EQ(whole.Value(), CFileUtils::ComputeChecksum((dir + L"\\data.bin").c_str(), 200000)) << "size past the end";
}

TEST(ChecksumTest, LargeFilesAreSampledInTwentyChunksOfFiveMegabytes)
{
    std::wstring dir = Scratch(L"FileUtilsLarge");
    std::wstring path = dir + L"\\large.bin";
    const __int64 size = 200000000;
    const __int64 step = size / 20;
    const __int64 chunk = 5242880;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    // Marks inside each sampled chunk count; marks just outside must not.
    auto mark = [&](__int64 at, char c) {
        LARGE_INTEGER pos;
        pos.QuadPart = at;
        SetFilePointerEx(file, pos, nullptr, FILE_BEGIN);
        DWORD written = 0;
        WriteFile(file, &c, 1, &written, nullptr);
    };
    for (int k = 0; k < 20; ++k) {
        mark(k * step, char('A' + k));
        mark(k * step + chunk - 1, char('a' + k));
        mark(k * step + chunk, 'Z');
    }
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);

    Adler expected;
    std::vector<unsigned char> sample(chunk, 0);
    for (int k = 0; k < 20; ++k) {
        std::fill(sample.begin(), sample.end(), 0);
        sample[0] = 'A' + k;
        sample[chunk - 1] = 'a' + k;
        expected.Feed(sample.data(), sample.size());
    }
    EXPECT_EQ(expected.Value(), CFileUtils::ComputeChecksum(path.c_str(), 0));
    DeleteFileW(path.c_str());
}

TEST(CompareFileNameTest, OrdersNumbersByValueAndLettersWithoutCase)
{
    struct Row { const wchar_t* a; const wchar_t* b; int sign; };
    const Row rows[] = {
        { L"file2", L"file10", -1 }, { L"file10", L"file2", 1 }, { L"File02", L"file2", 0 },
        { L"a", L"B", -1 }, { L"", L"", 0 }, { L"", L"a", -1 }, { L"a", L"", 1 },
        { L"x007y", L"x7y", 0 }, { L"x10", L"x09", 1 }, { L"v1.10", L"v1.9", 1 }, { L"abc", L"abd", -1 },
    };
    for (const Row& r : rows) {
        CString a = r.a, b = r.b;
        int result = CFileUtils::CompareFileName(&a, &b);
        int sign = result < 0 ? -1 : result > 0 ? 1 : 0;
        EXPECT_EQ(r.sign, sign) << testing::PrintToString(std::wstring(r.a)) << " vs " << testing::PrintToString(std::wstring(r.b));
    }
    // The framework's CString may not be moved byte by byte, so sort with std::sort.
    std::vector<CString> names = { L"a10", L"a2", L"A1" };
    std::sort(names.begin(), names.end(),
              [](const CString& a, const CString& b) { return CFileUtils::CompareFileName(&a, &b) < 0; });
    EXPECT_STREQ(L"A1", names[0].GetString());
    EXPECT_STREQ(L"a2", names[1].GetString());
    EXPECT_STREQ(L"a10", names[2].GetString());
}

TEST(VersionTest, HigherServerVersionsNeedAnUpdate)
{
    struct Row { const wchar_t* server; const wchar_t* local; int high; };
    const Row rows[] = {
        { L"2.1.0.3", L"2.0.9.9", 1 }, { L"2.0", L"2.0.0.1", 0 }, { L"2.0.0.1", L"2.0", 1 }, { L"1.0.0.0", L"1.0.0.0", 0 },
        { L"1,2,3,4", L"1.2.3.3", 1 }, { L"2.0.10", L"2.0.9", 1 }, { L"", L"0.0.0.1", 0 },
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.high, CFileUtils::IsHighVersion(r.server, r.local))
            << testing::PrintToString(std::wstring(r.server)) << " over " << testing::PrintToString(std::wstring(r.local));
}

TEST(VersionTest, FileVersionTextsComeFromTheVersionResource)
{
    std::wstring module = ModuleFolder() + L"\\VersionedModule.dll";
    EXPECT_STREQ(L"3,1,0,7", CFileUtils::GetFileVersionString(CString(module.c_str())));
    EXPECT_STREQ(L"Unknown", CFileUtils::GetFileVersionString(CString(L"C:\\nowhere\\none.dll")));
    EXPECT_STREQ(L"Unknown", CFileUtils::GetFileVersionString()) << "the test program has no version";
}

TEST(FolderTest, CreateFolderMakesEveryLevel)
{
    std::wstring dir = Scratch(L"FileUtilsFolders");
    std::wstring deep = dir + L"\\a\\b\\c";
    EXPECT_EQ(1, CFileUtils::CreateFolder(deep.c_str()));
    EXPECT_TRUE(Exists(deep));
    EXPECT_EQ(1, CFileUtils::CreateFolder(deep.c_str())) << "an existing folder";
    EXPECT_EQ(1, CFileUtils::IsExistFolder(deep.c_str(), 0));
    EXPECT_EQ(0, CFileUtils::IsExistFolder((dir + L"\\none").c_str(), 0));
    EXPECT_EQ(1, CFileUtils::IsExistFolder((dir + L"\\made").c_str(), 1));
    EXPECT_TRUE(Exists(dir + L"\\made"));
}

// CreateFolder and IsExistFolder with create used to answer 1 whatever happened.
TEST(FolderTest, AFolderThatCannotBeMadeIsReported)
{
    std::wstring dir = Scratch(L"FileUtilsNoFolder");
    PutFile(dir + L"\\plain.txt", "x");
    std::wstring blocked = dir + L"\\plain.txt\\sub";
    EXPECT_EQ(0, CFileUtils::CreateFolder(blocked.c_str()));
    EXPECT_EQ(0, CFileUtils::IsExistFolder(blocked.c_str(), 1));
    EXPECT_EQ(0, CFileUtils::CreateFolder((dir + L"\\plain.txt").c_str())) << "a file of that name";
}

TEST(FolderTest, DeleteFolderRemovesTheWholeTree)
{
    std::wstring dir = Scratch(L"FileUtilsDelete");
    std::wstring root = dir + L"\\tree";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
    CreateDirectoryW((root + L"\\sub\\deeper").c_str(), nullptr);
    PutFile(root + L"\\a.txt", "a");
    PutFile(root + L"\\sub\\b.txt", "b");
    PutFile(root + L"\\sub\\deeper\\c.txt", "c");
    EXPECT_EQ(1, CFileUtils::DeleteFolder(root.c_str()));
    EXPECT_FALSE(Exists(root));
    EXPECT_EQ(0, CFileUtils::DeleteFolder(root.c_str()));
    EXPECT_EQ(0, CFileUtils::DeleteFolder(nullptr));
    EXPECT_EQ(1, CFileUtils::IsExistFile((dir).c_str()));
    EXPECT_EQ(0, CFileUtils::IsExistFile((dir + L"\\tree").c_str()));
}

TEST(ProcessTest, FindsThisProgramByItsExactName)
{
    std::wstring own = OwnExeName();
    EXPECT_EQ(1, CFileUtils::FindProcess(own.c_str()));
    std::wstring upper = own;
    for (wchar_t& c : upper)
        c = towupper(c);
    EXPECT_EQ(0, CFileUtils::FindProcess(upper.c_str()));
    EXPECT_NE(-1, CFileUtils::GetProcessList().Find((L"\r\n  - " + own).c_str()));
}

// A process list that could not be taken used to end the whole program.
TEST(ProcessTest, AFailedProcessSnapshotIsAnAnswerNotAnExit)
{
    FakeSystemFacts facts;
    facts.FailProcessSnapshot();
    EXPECT_EQ(0, CFileUtils::FindProcess(OwnExeName().c_str()));
    EXPECT_TRUE(CFileUtils::GetProcessList().IsEmpty());
}

struct WindowsRow {
    DWORD major, minor;
    BYTE productType;
    WORD architecture;
    DWORD platform;
    int code;
};

TEST(WindowsTypeTest, EveryReportedVersionGetsItsCode)
{
    const WORD x86 = PROCESSOR_ARCHITECTURE_INTEL, x64 = PROCESSOR_ARCHITECTURE_AMD64;
    const BYTE ws = VER_NT_WORKSTATION, server = VER_NT_SERVER;
    const DWORD nt = VER_PLATFORM_WIN32_NT;
    const WindowsRow rows[] = {
        { 5, 0, ws, x86, nt, 5 }, { 5, 1, ws, x86, nt, 6 }, { 5, 2, ws, x64, nt, 6 }, { 5, 2, ws, x86, nt, 7 },
        { 5, 2, server, x64, nt, 7 }, { 6, 0, ws, x86, nt, 8 }, { 6, 0, server, x64, nt, 8 }, { 6, 1, ws, x64, nt, 9 },
        { 6, 1, server, x64, nt, 9 }, { 6, 2, ws, x86, nt, 10 }, { 6, 2, server, x64, nt, 9 }, { 6, 3, ws, x64, nt, 7 },
        { 10, 0, ws, x64, nt, 7 }, { 4, 10, ws, x86, VER_PLATFORM_WIN32_WINDOWS, 7 },
    };
    for (const WindowsRow& r : rows) {
        FakeSystemFacts facts;
        facts.SetVersion(r.major, r.minor, r.productType, r.platform);
        facts.SetArchitecture(r.architecture);
        EXPECT_EQ(r.code, CFileUtils::GetWindowsType())
            << r.major << "." << r.minor << " type " << int(r.productType) << " arch " << r.architecture;
    }
    FakeSystemFacts failing;
    failing.FailVersion();
    EXPECT_EQ(-1, CFileUtils::GetWindowsType());
    CFileUtils::PrintWindowsType();
}

TEST(WindowsTypeTest, WineReportsWindowsSeven)
{
    EXPECT_EQ(9, CFileUtils::GetWindowsType());
}

TEST(LocaleTest, BeforeVistaTheThreadLocaleChanges)
{
    FakeSystemFacts facts;
    facts.SetVersion(5, 2, VER_NT_SERVER);
    LCID before = GetThreadLocale();
    EXPECT_TRUE(CFileUtils::SetLocaleChange(0x11));
    EXPECT_EQ(0x411u, GetThreadLocale());
    EXPECT_EQ(0x11, CToviTextLanguage::GetThreadLanguage());
    SetThreadLocale(before);
    CToviTextLanguage::SetThreadLanguage(0);
}

TEST(LocaleTest, FromVistaTheTextsFollowTheChosenLanguage)
{
    FakeSystemFacts facts;
    facts.SetVersion(6, 1);
    CFileUtils::SetLocaleChange(0x09);
    EXPECT_EQ(0x09, CToviTextLanguage::GetThreadLanguage());
    CFileUtils::SetLocaleChange(0x12);
    EXPECT_EQ(0x12, CToviTextLanguage::GetThreadLanguage());
    CToviTextLanguage::SetThreadLanguage(0);
}

TEST(LocaleTest, AnUnknownVersionChangesNothing)
{
    FakeSystemFacts facts;
    facts.FailVersion();
    EXPECT_FALSE(CFileUtils::SetLocaleChange(0x11));
}

TEST(AccountTest, TheAccountTypeFollowsTheTokensGroups)
{
    struct Row { std::vector<std::wstring> groups; WindowsAccountType type; int admin, power, guest, user; };
    const Row rows[] = {
        { { L"S-1-5-32-544", L"S-1-5-32-545" }, WINDOWS_ACCOUNT_ADMINISTRATOR, 1, 0, 0, 0 },
        { { L"S-1-5-32-547" }, WINDOWS_ACCOUNT_POWER_USER, 0, 1, 0, 0 },
        { { L"S-1-5-32-545" }, WINDOWS_ACCOUNT_USER, 0, 0, 0, 1 },
        { { L"S-1-5-32-546" }, WINDOWS_ACCOUNT_GUEST, 0, 0, 1, 0 },
        { { L"S-1-5-32-544", L"S-1-5-32-546" }, WINDOWS_ACCOUNT_ADMINISTRATOR, 1, 0, 1, 0 },
    };
    for (const Row& r : rows) {
        FakeSystemFacts facts;
        facts.SetGroups(r.groups);
        std::string groups = testing::PrintToString(r.groups);
        EXPECT_EQ(r.type, CFileUtils::GetWindowsAccountType()) << groups;
        EXPECT_EQ(r.admin, CFileUtils::IsAdminAccount()) << groups;
        EXPECT_EQ(r.power, CFileUtils::IsPowerUserAccount()) << groups;
        EXPECT_EQ(r.guest, CFileUtils::IsGuestAccount()) << groups;
        EXPECT_EQ(r.user, CFileUtils::IsUserAccount()) << groups;
    }
}

TEST(AccountTest, WineRunsTheTestsAsAnAdministrator)
{
    EXPECT_EQ(WINDOWS_ACCOUNT_ADMINISTRATOR, CFileUtils::GetWindowsAccountType());
}

TEST(SessionUserTest, TheUserNameIsTheSessionsUser)
{
    FakeSystemFacts facts;
    facts.SetCurrentUser(L"kim");
    EXPECT_STREQ(L"kim", CFileUtils::GetUserNameW().GetString());
}

class FontTest : public regtest::RegistryTest {};

TEST_F(FontTest, KoreanOrNoLanguageUsesTheKoreanFaceOtherwiseTheStoredOne)
{
    const CString korean = L"\xB9D1\xC740 \xACE0\xB515";
    EXPECT_STREQ(korean.GetString(), CFileUtils::GetFont(0).GetString());
    regtest::PutText(regtest::kProductKeys[0], L"Language", L"1033");
    EXPECT_STREQ(L"", CFileUtils::GetFont(0).GetString());
    ASSERT_TRUE(CFileUtils::SetDlgFont(0, L"Tahoma"));
    EXPECT_STREQ(L"Tahoma", CFileUtils::GetFont(0).GetString());
    EXPECT_STREQ(L"Tahoma", CFileUtils::GetDlgFont(0).GetString());
    regtest::PutText(regtest::kProductKeys[0], L"Language", L"1042");
    EXPECT_STREQ(korean.GetString(), CFileUtils::GetFont(0).GetString());
}

TEST(IconTest, ACustomisedIconFileIsPreferred)
{
    std::wstring documents = Scratch(L"FileUtilsIcons");
    CreateDirectoryW((documents + L"\\VariruDAD").c_str(), nullptr);
    CreateDirectoryW((documents + L"\\VariruDAD\\Image").c_str(), nullptr);
    FakeSystemFacts facts;
    facts.SetDocuments(documents);
    EXPECT_EQ(nullptr, CFileUtils::GetTrayRunIcon(0)) << "no file and no resource";
    PutFile(documents + L"\\VariruDAD\\Image\\ixo_tray_run.ico", IconBytes());
    PutFile(documents + L"\\VariruDAD\\Image\\ixo_main_backup.ico", IconBytes());
    EXPECT_NE(nullptr, CFileUtils::GetTrayRunIcon(0));
    EXPECT_NE(nullptr, CFileUtils::GetMainIcon(2));
    EXPECT_EQ(nullptr, CFileUtils::GetMainIcon(3));
    EXPECT_EQ(nullptr, CFileUtils::GetTrayOnIcon(-1));
}

TEST(NetworkTest, AdapterAddressesAreDashedHexJoinedByBars)
{
    CString list = CFileUtils::GetMacList();
    std::wstring text = list.GetString();
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        bool ok = iswxdigit(c) || c == L'-' || c == L'|';
        EXPECT_TRUE(ok) << testing::PrintToString(text);
        if (!ok)
            break;
    }
    EXPECT_EQ(0, CFileUtils::GetNetConnect("not an address"));
    EXPECT_EQ(0, CFileUtils::GetNetConnect(nullptr));
}

TEST(PlacementTest, WithoutAnApplicationNothingIsLoadedOrSaved)
{
    RECT normal = { 1, 2, 3, 4 };
    CFileUtils::LoadPlacement(&normal, false);
    EXPECT_EQ(1, normal.left);
    EXPECT_EQ(4, normal.bottom);
    EXPECT_FALSE(CFileUtils::SavePlacement());
}
