// CFile open modes, sharing, seeking and failures; CFileException causes and messages;
// CFileFind over a scratch folder.
#include "DateTime.h"
#include "Files.h"
#include "TestPaths.h"
#include <gtest/gtest.h>
#include <set>
#include <string>

void PrintTo(const CString& s, std::ostream* os)
{
    *os << '"' << CStringA(s).GetString() << '"';
}

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir = testpaths::ScratchDir(L"FilesTest").c_str(); }

    CString PathOf(LPCTSTR name) const { return m_dir + L"\\" + name; }

    void MakeFile(LPCTSTR name, const char* content) const
    {
        CFile f;
        ASSERT_TRUE(f.Open(PathOf(name), CFile::modeCreate | CFile::modeWrite));
        ASSERT_TRUE(f.Write(content, UINT(strlen(content))));
    }

    std::string ReadAll(LPCTSTR name) const
    {
        CFile f;
        if (!f.Open(PathOf(name), CFile::modeRead | CFile::shareDenyNone))
            return "<cannot open>";
        std::string out(size_t(f.GetLength()), '\0');
        UINT got = out.empty() ? 0 : f.Read(&out[0], UINT(out.size()));
        out.resize(got);
        return out;
    }

    CString m_dir;
};

// ---- opening ----

TEST_F(FilesTest, WritesThenReadsBackAndReadReturnsZeroAtTheEnd)
{
    MakeFile(L"a.bin", "hello");
    CFile f;
    ASSERT_TRUE(f.Open(PathOf(L"a.bin"), CFile::modeRead | CFile::typeBinary));
    EXPECT_EQ(f.GetLength(), 5u);
    char buffer[16] = {};
    EXPECT_EQ(f.Read(buffer, 3), 3u);
    EXPECT_EQ(f.Read(buffer + 3, 10), 2u);
    EXPECT_STREQ(buffer, "hello");
    EXPECT_EQ(f.Read(buffer, 10), 0u);
    EXPECT_EQ(f.GetLastOsError(), DWORD(NO_ERROR));
    EXPECT_TRUE(f.Close());
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(f.m_hFile, INVALID_HANDLE_VALUE);
}

TEST_F(FilesTest, CreateTruncatesUnlessNoTruncateIsGiven)
{
    MakeFile(L"a.txt", "original");
    {
        CFile f;
        ASSERT_TRUE(f.Open(PathOf(L"a.txt"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
        EXPECT_EQ(f.GetLength(), 8u);
        f.SeekToEnd();
        EXPECT_TRUE(f.Write("+", 1));
    }
    EXPECT_EQ(ReadAll(L"a.txt"), "original+");
    {
        CFile f;
        ASSERT_TRUE(f.Open(PathOf(L"a.txt"), CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(f.GetLength(), 0u);
    }
    EXPECT_EQ(ReadAll(L"a.txt"), "");
    CFile created;
    EXPECT_TRUE(created.Open(PathOf(L"new.txt"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
}

TEST_F(FilesTest, CreateNewFailsOnAnExistingFileAndLeavesItAlone)
{
    CFile f;
    CFileException e;
    EXPECT_TRUE(f.Open(PathOf(L"once.txt"), CFile::modeCreateNew | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::none);
    EXPECT_TRUE(f.Write("first", 5));
    f.Close();

    CFile again;
    EXPECT_FALSE(again.Open(PathOf(L"once.txt"), CFile::modeCreateNew | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    EXPECT_EQ(e.m_lOsError, LONG(ERROR_FILE_EXISTS));
    EXPECT_EQ(e.m_strFileName, PathOf(L"once.txt"));
    EXPECT_FALSE(again.IsOpen());
    EXPECT_EQ(ReadAll(L"once.txt"), "first");
}

TEST_F(FilesTest, OpenFailuresNameTheirCause)
{
    struct Row {
        CString path;
        UINT flags;
        int cause;
        LONG osError;
    } rows[] = {
        {PathOf(L"missing.txt"), CFile::modeRead, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
        {PathOf(L"no\\such\\dir.txt"), CFile::modeCreate | CFile::modeWrite, CFileException::badPath, ERROR_PATH_NOT_FOUND},
        {CString(), CFile::modeRead, CFileException::badPath, ERROR_BAD_PATHNAME},
    };
    for (const Row& r : rows) {
        CFile f;
        CFileException e;
        EXPECT_FALSE(f.Open(r.path, r.flags, &e)) << CStringA(r.path).GetString();
        EXPECT_EQ(e.m_cause, r.cause) << CStringA(r.path).GetString();
        EXPECT_EQ(e.m_lOsError, r.osError) << CStringA(r.path).GetString();
        EXPECT_EQ(e.m_strFileName, r.path);
        EXPECT_EQ(f.GetLastOsError(), DWORD(r.osError));
    }
    CFile f; // no exception object: still just false
    EXPECT_FALSE(f.Open(PathOf(L"missing.txt"), CFile::modeRead));
}

TEST_F(FilesTest, SharingModesAdmitOrRefuseASecondOpen)
{
    MakeFile(L"s.txt", "shared");
    const CString path = PathOf(L"s.txt");
    struct Row {
        UINT first;
        UINT second;
        bool admitted;
        const char* what;
    } rows[] = {
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyNone, true, "deny write, then reader"},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone, false, "deny write, then writer"},
        {CFile::modeRead | CFile::shareDenyRead, CFile::modeRead | CFile::shareDenyNone, false, "deny read, then reader"},
        {CFile::modeRead | CFile::shareExclusive, CFile::modeRead | CFile::shareDenyNone, false, "exclusive, then reader"},
        {CFile::modeReadWrite | CFile::shareDenyNone, CFile::modeReadWrite | CFile::shareDenyNone, true, "deny none twice"},
        {CFile::modeRead, CFile::modeRead, true, "default sharing, two readers"},
        {CFile::modeRead, CFile::modeWrite, false, "default sharing, then writer"},
    };
    for (const Row& r : rows) {
        CFile first, second;
        ASSERT_TRUE(first.Open(path, r.first)) << r.what;
        CFileException e;
        EXPECT_EQ(second.Open(path, r.second, &e), r.admitted) << r.what;
        if (!r.admitted) {
            EXPECT_EQ(e.m_cause, CFileException::sharingViolation) << r.what;
        }
    }
}

TEST_F(FilesTest, ClosingOnDestructionReleasesTheFile)
{
    MakeFile(L"d.txt", "x");
    {
        CFile f(PathOf(L"d.txt"), CFile::modeRead | CFile::shareExclusive);
        EXPECT_TRUE(f.IsOpen());
    }
    CFile g;
    EXPECT_TRUE(g.Open(PathOf(L"d.txt"), CFile::modeRead | CFile::shareExclusive));
    g.Abort();
    g.Abort();
    EXPECT_FALSE(g.IsOpen());
}

// ---- reading, writing, seeking ----

TEST_F(FilesTest, SeekMovesFromEachOriginAndRefusesBeforeTheStart)
{
    MakeFile(L"seek.bin", "0123456789");
    CFile f;
    ASSERT_TRUE(f.Open(PathOf(L"seek.bin"), CFile::modeReadWrite));
    EXPECT_EQ(f.Seek(3, CFile::begin), 3u);
    EXPECT_EQ(f.Seek(-1, CFile::current), 2u);
    EXPECT_EQ(f.Seek(-2, CFile::end), 8u);
    char c = 0;
    EXPECT_EQ(f.Read(&c, 1), 1u);
    EXPECT_EQ(c, '8');
    EXPECT_EQ(f.GetPosition(), 9u);
    EXPECT_EQ(f.Seek(-1, CFile::begin), CFile::kSeekFailed);
    EXPECT_EQ(f.GetLastOsError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(f.GetPosition(), 9u);
    EXPECT_EQ(f.SeekToEnd(), 10u);
    f.SeekToBegin();
    EXPECT_EQ(f.GetPosition(), 0u);
}

TEST_F(FilesTest, WritingPastTheEndExtendsTheFile)
{
    CFile f;
    ASSERT_TRUE(f.Open(PathOf(L"gap.bin"), CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_EQ(f.Seek(100, CFile::begin), 100u);
    EXPECT_EQ(f.GetLength(), 0u);
    EXPECT_TRUE(f.Write("z", 1));
    EXPECT_EQ(f.GetLength(), 101u);
}

TEST_F(FilesTest, SetLengthCutsOrGrowsAndKeepsThePosition)
{
    MakeFile(L"len.bin", "0123456789");
    CFile f;
    ASSERT_TRUE(f.Open(PathOf(L"len.bin"), CFile::modeReadWrite));
    f.Seek(4, CFile::begin);
    EXPECT_TRUE(f.SetLength(6));
    EXPECT_EQ(f.GetLength(), 6u);
    EXPECT_EQ(f.GetPosition(), 4u);
    EXPECT_TRUE(f.SetLength(20));
    EXPECT_EQ(f.GetLength(), 20u);
    EXPECT_TRUE(f.Flush());
    f.Close();
    EXPECT_EQ(ReadAll(L"len.bin").substr(0, 6), "012345");
}

TEST_F(FilesTest, WriteToAReadOnlyHandleReportsFalse)
{
    MakeFile(L"ro.txt", "keep");
    CFile f;
    ASSERT_TRUE(f.Open(PathOf(L"ro.txt"), CFile::modeRead));
    EXPECT_FALSE(f.Write("x", 1));
    EXPECT_EQ(f.GetLastOsError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(f.Write("x", 0));
    f.Close();
    EXPECT_EQ(ReadAll(L"ro.txt"), "keep");

    CFile w;
    ASSERT_TRUE(w.Open(PathOf(L"ro.txt"), CFile::modeWrite));
    char c;
    EXPECT_EQ(w.Read(&c, 1), 0u);
    EXPECT_NE(w.GetLastOsError(), DWORD(NO_ERROR));
}

TEST_F(FilesTest, ClosedFileAnswersWithFailures)
{
    CFile f;
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0u);
    EXPECT_FALSE(f.Write("x", 1));
    EXPECT_EQ(f.Seek(0, CFile::begin), CFile::kSeekFailed);
    EXPECT_EQ(f.GetLength(), CFile::kSeekFailed);
    EXPECT_TRUE(f.Close());
}

TEST_F(FilesTest, NamesTheFileItOpened)
{
    MakeFile(L"report.2024.txt", "x");
    CFile f;
    ASSERT_TRUE(f.Open(PathOf(L"report.2024.txt"), CFile::modeRead));
    EXPECT_EQ(f.GetFilePath(), PathOf(L"report.2024.txt"));
    EXPECT_EQ(f.GetFileName(), L"report.2024.txt");
    EXPECT_EQ(f.GetFileTitle(), L"report.2024");
    f.Close();
    EXPECT_EQ(f.GetFilePath(), L"");
}

TEST_F(FilesTest, RemoveAndRenameReportSuccess)
{
    MakeFile(L"r1.txt", "1");
    MakeFile(L"r2.txt", "2");
    EXPECT_FALSE(CFile::Rename(PathOf(L"r1.txt"), PathOf(L"r2.txt")));
    EXPECT_TRUE(CFile::Rename(PathOf(L"r1.txt"), PathOf(L"r3.txt")));
    EXPECT_EQ(ReadAll(L"r3.txt"), "1");
    EXPECT_TRUE(CFile::Remove(PathOf(L"r3.txt")));
    EXPECT_FALSE(CFile::Remove(PathOf(L"r3.txt")));
    EXPECT_FALSE(CFile::Rename(PathOf(L"r3.txt"), PathOf(L"r4.txt")));
}

// ---- CFileException ----

TEST(CFileExceptionTest, MapsSystemErrorsToCauses)
{
    struct Row {
        LONG error;
        int cause;
    } rows[] = {
        {NO_ERROR, CFileException::none},
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {ERROR_PATH_NOT_FOUND, CFileException::badPath},
        {ERROR_INVALID_NAME, CFileException::badPath},
        {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
        {ERROR_ACCESS_DENIED, CFileException::accessDenied},
        {ERROR_FILE_EXISTS, CFileException::accessDenied},
        {ERROR_INVALID_HANDLE, CFileException::invalidFile},
        {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
        {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
        {ERROR_CRC, CFileException::hardIO},
        {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
        {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
        {ERROR_DISK_FULL, CFileException::diskFull},
        {ERROR_HANDLE_EOF, CFileException::endOfFile},
        {ERROR_NOT_ENOUGH_MEMORY, CFileException::genericException},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CFileException::OsErrorToCause(r.error), r.cause) << "error " << r.error;
}

TEST(CFileExceptionTest, ErrorMessageComesFromTheSystemAndFitsTheBuffer)
{
    CFileException e(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, L"x.txt");
    wchar_t buffer[256];
    UINT help = 99;
    ASSERT_TRUE(e.GetErrorMessage(buffer, 256, &help));
    EXPECT_EQ(help, 0u);
    EXPECT_GT(wcslen(buffer), 5u);
    EXPECT_NE(buffer[wcslen(buffer) - 1], L'\n');

    wchar_t small[6];
    ASSERT_TRUE(e.GetErrorMessage(small, 6));
    EXPECT_EQ(wcslen(small), 5u);
    EXPECT_EQ(std::wstring(buffer, 5), small);
    EXPECT_FALSE(e.GetErrorMessage(nullptr, 6));
}

TEST(CFileExceptionTest, CauseAloneStillHasAMessageButNoneHasNot)
{
    CFileException cause(CFileException::diskFull);
    EXPECT_FALSE(cause.GetErrorMessage().IsEmpty());
    CFileException nothing;
    wchar_t buffer[64];
    EXPECT_FALSE(nothing.GetErrorMessage(buffer, 64));
    EXPECT_EQ(buffer[0], 0);
}

// ---- CFileFind ----

class FileFindTest : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        MakeFile(L"a.txt", "12345");
        MakeFile(L"b.dat", "");
        MakeFile(L"hidden.txt", "h");
        MakeFile(L"locked.txt", "r");
        SetFileAttributesW(PathOf(L"hidden.txt"), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesW(PathOf(L"locked.txt"), FILE_ATTRIBUTE_READONLY);
        CreateDirectoryW(PathOf(L"sub"), nullptr);
    }
    void TearDown() override { SetFileAttributesW(PathOf(L"locked.txt"), FILE_ATTRIBUTE_NORMAL); }

    // Every entry's name, in the classic loop.
    std::set<std::wstring> Names(LPCTSTR pattern)
    {
        std::set<std::wstring> names;
        CFileFind find;
        bool more = find.FindFile(pattern);
        while (more) {
            more = find.FindNextFile();
            names.insert(find.GetFileName().GetString());
        }
        return names;
    }
};

TEST_F(FileFindTest, ListsEveryEntryOnceWithTheOneAheadLoop)
{
    std::set<std::wstring> names = Names(PathOf(L"*.*"));
    names.erase(L".");
    names.erase(L"..");
    EXPECT_EQ(names, (std::set<std::wstring>{L"a.txt", L"b.dat", L"hidden.txt", L"locked.txt", L"sub"}));
    EXPECT_EQ(Names(PathOf(L"*.txt")), (std::set<std::wstring>{L"a.txt", L"hidden.txt", L"locked.txt"}));
    EXPECT_EQ(Names(PathOf(L"b.dat")), (std::set<std::wstring>{L"b.dat"}));
}

TEST_F(FileFindTest, NothingFoundMeansNoEntryAtAll)
{
    CFileFind find;
    EXPECT_FALSE(find.FindFile(PathOf(L"*.none")));
    EXPECT_FALSE(find.FindNextFile());
    EXPECT_EQ(find.GetFileName(), L"");
    EXPECT_FALSE(find.IsDirectory());
    EXPECT_FALSE(find.FindFile(PathOf(L"missing\\*.*")));
}

TEST_F(FileFindTest, LastEntryStaysCurrentAfterFindNextFileSaysNoMore)
{
    CFileFind find;
    ASSERT_TRUE(find.FindFile(PathOf(L"a.txt")));
    EXPECT_EQ(find.GetFileName(), L""); // nothing current before the first FindNextFile
    EXPECT_FALSE(find.FindNextFile());
    EXPECT_EQ(find.GetFileName(), L"a.txt");
    EXPECT_EQ(find.GetFilePath(), PathOf(L"a.txt"));
    EXPECT_EQ(find.GetFileTitle(), L"a");
    EXPECT_EQ(find.GetRoot(), m_dir);
    EXPECT_EQ(find.GetLength(), 5u);
    EXPECT_FALSE(find.FindNextFile());
    find.Close();
    EXPECT_EQ(find.GetFileName(), L"");
}

TEST_F(FileFindTest, ReportsAttributesOfTheCurrentEntry)
{
    CFileFind find;
    bool more = find.FindFile(PathOf(L"*"));
    int seen = 0;
    while (more) {
        more = find.FindNextFile();
        std::wstring name = find.GetFileName().GetString();
        bool dots = name == L"." || name == L"..";
        EXPECT_EQ(find.IsDots(), dots) << CStringA(name.c_str()).GetString();
        EXPECT_EQ(find.IsDirectory(), dots || name == L"sub") << CStringA(name.c_str()).GetString();
        EXPECT_EQ(find.IsHidden(), name == L"hidden.txt") << CStringA(name.c_str()).GetString();
        EXPECT_EQ(find.IsReadOnly(), name == L"locked.txt") << CStringA(name.c_str()).GetString();
        ++seen;
    }
    EXPECT_GE(seen, 5);
}

TEST_F(FileFindTest, GivesTheWriteTimeAsFileTimeAndCTime)
{
    FILETIME written = {};
    {
        CFile f;
        ASSERT_TRUE(f.Open(PathOf(L"a.txt"), CFile::modeWrite));
        SYSTEMTIME st = {2021, 6, 0, 15, 10, 20, 30, 0}; // UTC
        SystemTimeToFileTime(&st, &written);
        ASSERT_TRUE(SetFileTime(f.m_hFile, nullptr, nullptr, &written));
    }
    CFileFind find;
    ASSERT_TRUE(find.FindFile(PathOf(L"a.txt")));
    find.FindNextFile();
    FILETIME ft = {};
    ASSERT_TRUE(find.GetLastWriteTime(ft));
    EXPECT_EQ(CompareFileTime(&ft, &written), 0);
    CTime t;
    ASSERT_TRUE(find.GetLastWriteTime(t));
    EXPECT_EQ(t.FormatGmt(L"%Y-%m-%d %H:%M:%S"), L"2021-06-15 10:20:30");
}

TEST_F(FileFindTest, DefaultPatternSearchesTheCurrentFolder)
{
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(PathOf(L"sub")));
    MakeFile(L"sub\\inner.txt", "i");
    std::set<std::wstring> names;
    CFileFind find;
    bool more = find.FindFile();
    while (more) {
        more = find.FindNextFile();
        if (!find.IsDots())
            names.insert(find.GetFilePath().GetString());
    }
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(names, (std::set<std::wstring>{PathOf(L"sub\\inner.txt").GetString()}));
}

}
