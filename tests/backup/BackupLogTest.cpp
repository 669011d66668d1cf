// The SQLite wrapper and the backup run logs, read back through the wrapper and by the Linux
// sqlite3 tool.
#include "BackupLog.h"
#include "SQLiteDB.h"
#include "SqliteTool.h"
#include "TestPaths.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Utf8(const wchar_t* text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    return out;
}

class SQLiteWrapperTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir = testpaths::ScratchDir(L"sqlite-wrapper"); }
    std::wstring m_dir;
};

TEST_F(SQLiteWrapperTest, TextsBoundAsUtf16AreTextForEveryReaderAndMatchByEquality)
{
    const std::wstring path = m_dir + L"\\t.db";
    const CString korean(L"C:\\백업\\문서 1.txt");
    {
        CSQLiteDB db;
        db.open(path.c_str());
        db.execDML("CREATE TABLE t (idx INTEGER PRIMARY KEY, name TEXT, size INTEGER, note TEXT);");
        db.execDML("begin transaction;");
        CSQLiteStatement st = db.compileStatement(L"INSERT INTO t (name, size, note) VALUES (?, ?, ?)");
        BindText(st, 1, korean);
        st.bind(2, static_cast<int64_t>(5000000000LL));
        BindText(st, 3, CString());
        st.execDML();
        st.finalize();
        db.execDML("commit transaction;");

        CSQLiteStatement up = db.compileStatement(L"UPDATE t SET note=? where name=?");
        BindText(up, 1, CString(L"완료"));
        BindText(up, 2, korean);
        EXPECT_EQ(1, up.execDML());

        CSQLiteQuery q = db.execQuery(L"SELECT * FROM t");
        ASSERT_FALSE(q.eof());
        EXPECT_STREQ(korean.GetString(), q.fieldValue(1));
        EXPECT_EQ(5000000000LL, q.getInt64Field(2, -1));
        EXPECT_STREQ(L"완료", q.fieldValue(3));
        q.nextRow();
        EXPECT_TRUE(q.eof());
    }
    EXPECT_EQ(Utf8(korean.GetString()) + "|5000000000|" + Utf8(L"완료") + "|text\n",
              sqlitetool::Query(path, "SELECT name, size, note, typeof(name) FROM t;"));
}

TEST_F(SQLiteWrapperTest, EmptyTextStaysEmptyAndNullReadsAsTheDefault)
{
    const std::wstring path = m_dir + L"\\e.db";
    CSQLiteDB db;
    db.open(path.c_str());
    db.execDML("CREATE TABLE t (a TEXT, b INTEGER);");
    CSQLiteStatement st = db.compileStatement(L"INSERT INTO t (a) VALUES (?)");
    BindText(st, 1, CString());
    st.execDML();
    st.finalize();
    CSQLiteQuery q = db.execQuery(L"SELECT a, b FROM t");
    ASSERT_FALSE(q.eof());
    EXPECT_FALSE(q.fieldIsNull(0));
    EXPECT_STREQ(L"", q.fieldValue(0));
    EXPECT_EQ(-7, q.getIntField(1, -7));
    EXPECT_EQ(-8, q.getInt64Field(1, -8));
    q.finalize();
    db.close();
    EXPECT_EQ("text|null\n", sqlitetool::Query(path, "SELECT typeof(a), typeof(b) FROM t;"));
}

TEST_F(SQLiteWrapperTest, ErrorsThrowWithCodeAndMessage)
{
    CSQLiteDB db;
    EXPECT_THROW(db.execDML("SELECT 1;"), CSQLiteException);   // not open
    db.open((m_dir + L"\\x.db").c_str());
    try {
        db.execDML("CREATE TABLE t (a);");
        db.execDML("CREATE TABLE t (a);");
        FAIL() << "no exception";
    } catch (CSQLiteException& e) {
        EXPECT_EQ(1, e.errorCode());
        EXPECT_NE(nullptr, strstr(e.errorMessage(), "already exists")) << e.errorMessage();
    }
    EXPECT_THROW(db.compileStatement(L"SELEC nonsense"), CSQLiteException);
    EXPECT_THROW(db.execQuery(L"SELECT * FROM missing"), CSQLiteException);
    CSQLiteQuery q = db.execQuery(L"SELECT * FROM t");
    EXPECT_TRUE(q.eof());
    EXPECT_THROW(q.fieldValue(0), CSQLiteException);
    db.close();
    db.close();   // closing a closed database does nothing
    EXPECT_THROW(db.open(L"Z:\\no\\such\\folder\\x.db"), CSQLiteException);
}

class BackupLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_docs = testpaths::ScratchDir(L"backup-log");
        m_log.SetDocumentsFolder(CString(m_docs.c_str()));
    }
    std::wstring Folder() const { return m_docs + L"\\VariruDAD\\BackupLog\\P1"; }
    std::wstring m_docs;
    CBackupLog m_log;
};

TEST_F(BackupLogTest, RunListAndRunDatabaseHoldWhatTheRunWrote)
{
    CreateDirectoryW((m_docs + L"\\VariruDAD").c_str(), nullptr);
    const COleDateTime start(2026, 3, 4, 5, 6, 7);
    ASSERT_TRUE(m_log.Create(L"P1", start, 12345)) << m_log.LastError().GetString();
    EXPECT_STREQ((Folder() + L"\\list.db").c_str(), m_log.ListPath().GetString());
    EXPECT_STREQ((Folder() + L"\\20260304050607.db").c_str(), m_log.RunPath().GetString());
    EXPECT_EQ("1|0|2026-03-04 05:06:07|12345|PROGRESS|\n",
              sqlitetool::Query(Folder() + L"\\list.db", "SELECT * FROM list;"));

    const CString dir(L"C:\\자료");
    const CString file(L"C:\\자료\\a.txt");
    ASSERT_TRUE(m_log.Insert(dir, L"D", -1, L"WAIT"));
    ASSERT_TRUE(m_log.Update(dir, L"COMPLETE", L""));
    ASSERT_TRUE(m_log.Insert(file, L"F", 42, L"WAIT"));
    ASSERT_TRUE(m_log.Update(file, L"FAIL", L"Force close network"));
    ASSERT_TRUE(m_log.End(L"FAIL", L"FAIL : 1"));

    EXPECT_EQ("1|" + Utf8(dir.GetString()) + "|D|-1|COMPLETE|\n2|" + Utf8(file.GetString()) +
                  "|F|42|FAIL|Force close network\n",
              sqlitetool::Query(Folder() + L"\\20260304050607.db", "SELECT * FROM backup;"));
    EXPECT_EQ("1|0|2026-03-04 05:06:07|12345|FAIL|FAIL : 1\n",
              sqlitetool::Query(Folder() + L"\\list.db", "SELECT * FROM list;"));
    EXPECT_EQ("CREATE TABLE list (idx INTEGER PRIMARY KEY, log_type INTEGER, start_time TEXT, file_size INTEGER, "
              "status TEXT, remarks TEXT);\n",
              sqlitetool::Query(Folder() + L"\\list.db", ".schema"));

    // The viewer's reading, through the wrapper.
    CSQLiteDB db;
    db.open(m_log.ListPath().GetString());
    CSQLiteQuery q = db.execQuery(L"SELECT * FROM list where log_type=0 order by idx desc");
    ASSERT_FALSE(q.eof());
    EXPECT_STREQ(L"2026-03-04 05:06:07", q.fieldValue(2));
    EXPECT_EQ(12345, q.getInt64Field(3, 0));
    EXPECT_STREQ(L"FAIL", q.fieldValue(4));
    EXPECT_STREQ(L"FAIL : 1", q.fieldValue(5));
}

TEST_F(BackupLogTest, ASecondRunAddsTheNextRowAndARestoreRunIsTypeOne)
{
    ASSERT_TRUE(m_log.Create(L"P1", COleDateTime(2026, 1, 1, 0, 0, 1), 1));
    ASSERT_TRUE(m_log.End(L"COMPLETE", L""));
    CBackupLog restore(1);
    restore.SetDocumentsFolder(CString(m_docs.c_str()));
    ASSERT_TRUE(restore.Create(L"P1", COleDateTime(2026, 1, 1, 0, 0, 2), 2));
    ASSERT_TRUE(restore.End(L"CANCEL", L"SKIP : 3"));
    EXPECT_EQ("1|0|COMPLETE|\n2|1|CANCEL|SKIP : 3\n",
              sqlitetool::Query(Folder() + L"\\list.db", "SELECT idx, log_type, status, remarks FROM list;"));
}

// Two runs of one policy started in the same second share the run database's name: the
// second run must neither write into the first run's database nor leave its own row at
// "PROGRESS", and the first run's row must stay its own.
TEST_F(BackupLogTest, ASecondRunInTheSameSecondEndsFailWithoutTouchingTheFirst)
{
    const COleDateTime start(2026, 5, 6, 7, 8, 9);
    ASSERT_TRUE(m_log.Create(L"P1", start, 10));
    ASSERT_TRUE(m_log.Insert(L"C:\\a", L"D", -1, L"WAIT"));

    CBackupLog second;
    second.SetDocumentsFolder(CString(m_docs.c_str()));
    EXPECT_FALSE(second.Create(L"P1", start, 20));
    EXPECT_FALSE(second.LastError().IsEmpty());
    EXPECT_EQ("1|PROGRESS\n2|FAIL\n", sqlitetool::Query(Folder() + L"\\list.db", "SELECT idx, status FROM list;"));

    ASSERT_TRUE(m_log.Update(L"C:\\a", L"COMPLETE", L""));
    ASSERT_TRUE(m_log.End(L"COMPLETE", L""));
    EXPECT_EQ("1|COMPLETE\n2|FAIL\n", sqlitetool::Query(Folder() + L"\\list.db", "SELECT idx, status FROM list;"));
    EXPECT_EQ("1|C:\\a|COMPLETE\n",
              sqlitetool::Query(Folder() + L"\\20260506070809.db", "SELECT idx, file_path, status FROM backup;"));
}

// An empty list.db (a crash right after the file was made, or a second run that made the file
// first) still gets its table.
TEST_F(BackupLogTest, AnEmptyRunListFileGetsItsTable)
{
    CreateDirectoryW((m_docs + L"\\VariruDAD").c_str(), nullptr);
    CreateDirectoryW((m_docs + L"\\VariruDAD\\BackupLog").c_str(), nullptr);
    CreateDirectoryW(Folder().c_str(), nullptr);
    HANDLE h = CreateFileW((Folder() + L"\\list.db").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    ASSERT_TRUE(m_log.Create(L"P1", COleDateTime(2026, 1, 1, 0, 0, 0), 5)) << m_log.LastError().GetString();
    ASSERT_TRUE(m_log.End(L"COMPLETE", L""));
    EXPECT_EQ("1|COMPLETE\n", sqlitetool::Query(Folder() + L"\\list.db", "SELECT idx, status FROM list;"));
}

TEST_F(BackupLogTest, AnUnwritableLogFolderFailsTheCreation)
{
    // A file where the policy folder should be.
    CreateDirectoryW((m_docs + L"\\VariruDAD").c_str(), nullptr);
    CreateDirectoryW((m_docs + L"\\VariruDAD\\BackupLog").c_str(), nullptr);
    HANDLE h = CreateFileW(Folder().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    EXPECT_FALSE(m_log.Create(L"P1", COleDateTime(2026, 1, 1, 0, 0, 0), 0));
    EXPECT_FALSE(m_log.Insert(L"C:\\a", L"D", -1, L"WAIT"));   // no run database: no crash
}

// While a run goes, other connections read what it wrote: a second connection of this process
// and the sqlite3 program, both within moments of the write, without waiting for the run.
TEST_F(BackupLogTest, OtherReadersSeeTheRowsOfARunInProgress)
{
    ASSERT_TRUE(m_log.Create(L"P1", COleDateTime(2026, 5, 1, 8, 0, 0), 10));
    ASSERT_TRUE(m_log.Insert(L"C:\\d", L"D", -1, L"WAIT"));
    ASSERT_TRUE(m_log.Update(L"C:\\d", L"COMPLETE", L""));
    ASSERT_TRUE(m_log.Insert(L"C:\\d\\x.bin", L"F", 5, L"WAIT"));

    const std::wstring run = m_log.RunPath().GetString();
    std::string seen;
    for (const DWORD end = GetTickCount() + 10000; seen != "2" && GetTickCount() < end;) {
        CSQLiteDB reader;
        try {
            reader.open(run.c_str());
            CSQLiteQuery q = reader.execQuery(L"SELECT count(*) FROM backup");
            seen = std::to_string(q.getIntField(0, -1));
        } catch (CSQLiteException& e) {
            seen = e.errorMessage();
        }
        reader.close();
        if (seen != "2")
            Sleep(50);
    }
    EXPECT_EQ("2", seen) << "a second connection could not read the run";
    EXPECT_EQ("COMPLETE\nWAIT\n", sqlitetool::Query(run, "SELECT status FROM backup ORDER BY idx;"));
    ASSERT_TRUE(m_log.Update(L"C:\\d\\x.bin", L"COMPLETE", L""));
    ASSERT_TRUE(m_log.End(L"COMPLETE", L""));
}

// A finished run is one plain database file: no write-ahead log beside it and none asked for,
// so copying the .db alone takes every row.
TEST_F(BackupLogTest, AFinishedRunIsOnePlainFile)
{
    ASSERT_TRUE(m_log.Create(L"P1", COleDateTime(2026, 5, 2, 8, 0, 0), 10));
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(m_log.Insert(L"C:\\d\\" + CString(std::to_wstring(i).c_str()), L"F", i, L"COMPLETE"));
    ASSERT_TRUE(m_log.End(L"COMPLETE", L""));
    const std::wstring run = m_log.RunPath().GetString();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((run + L"-wal").c_str()));
    EXPECT_EQ("delete\n", sqlitetool::Query(run, "PRAGMA journal_mode;"));
    const std::wstring copy = run + L".copy";
    ASSERT_TRUE(CopyFileW(run.c_str(), copy.c_str(), FALSE));
    EXPECT_EQ("50\n", sqlitetool::Query(copy, "SELECT count(*) FROM backup;"));
}

} // namespace
