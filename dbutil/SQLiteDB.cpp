// ToviDBUtil: the SQLite calls behind CSQLiteDB, CSQLiteStatement, CSQLiteQuery.
#include "SQLiteDB.h"
#include "sqlite3.h"
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace {

std::string Utf8(const wchar_t* text)
{
    if (!text || !*text)
        return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 1, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(strlen(out.c_str()));
    return out;
}

// SQLite's messages are UTF-8; callers read ours as ANSI text.
std::string Utf8ToAnsi(const char* text)
{
    if (!text || !*text)
        return std::string();
    const int wn = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (wn <= 0)
        return text;
    std::wstring wide(wn, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], wn);
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return text;
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(strlen(out.c_str()));
    return out;
}

[[noreturn]] void Throw(int code, const char* text)
{
    throw CSQLiteException(code, text ? text : sqlite3_errstr(code));
}

[[noreturn]] void ThrowFrom(sqlite3* db, int code)
{
    Throw(code, db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

const wchar_t kEmpty[] = L"";

} // namespace

// ---- CSQLiteException -------------------------------------------------------------------------

CSQLiteException::CSQLiteException(int code, const char* text) : m_code(code), m_message(nullptr)
{
    const std::string body = Utf8ToAnsi(text);
    char head[24];
    snprintf(head, sizeof head, "%d: ", code);
    const std::string all = std::string(head) + body;
    m_message = new char[all.size() + 1];
    memcpy(m_message, all.c_str(), all.size() + 1);
}

CSQLiteException::CSQLiteException(const CSQLiteException& other) : m_code(other.m_code), m_message(nullptr)
{
    const size_t n = strlen(other.errorMessage());
    m_message = new char[n + 1];
    memcpy(m_message, other.errorMessage(), n + 1);
}

CSQLiteException& CSQLiteException::operator=(const CSQLiteException& other)
{
    if (this != &other) {
        CSQLiteException copy(other);
        std::swap(m_code, copy.m_code);
        std::swap(m_message, copy.m_message);
    }
    return *this;
}

CSQLiteException::~CSQLiteException()
{
    delete[] m_message;
}

// ---- CSQLiteDB --------------------------------------------------------------------------------

CSQLiteDB::~CSQLiteDB()
{
    close();
}

void CSQLiteDB::open(const wchar_t* path)
{
    close();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(Utf8(path).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        Throw(rc, text.c_str());
    }
    sqlite3_busy_timeout(db, kSQLiteBusyMs);
    m_db = db;
}

void CSQLiteDB::close()
{
    if (!m_db)
        return;
    // Statements left unfinalised would keep the handle alive; close_v2 releases it with them.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void CSQLiteDB::check(int rc) const
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowFrom(m_db, rc);
}

int CSQLiteDB::execDML(const char* sql)
{
    if (!m_db)
        Throw(SQLITE_MISUSE, "database not open");
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db, sql ? sql : "", nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const std::string text = error ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        Throw(rc, text.c_str());
    }
    return sqlite3_changes(m_db);
}

sqlite3_stmt* CSQLiteDB::prepare(const wchar_t* sql)
{
    if (!m_db)
        Throw(SQLITE_MISUSE, "database not open");
    sqlite3_stmt* stmt = nullptr;
    check(sqlite3_prepare16_v2(m_db, sql ? sql : kEmpty, -1, &stmt, nullptr));
    if (!stmt)
        Throw(SQLITE_MISUSE, "empty statement");
    return stmt;
}

CSQLiteStatement CSQLiteDB::compileStatement(const wchar_t* sql)
{
    return CSQLiteStatement(m_db, prepare(sql));
}

CSQLiteQuery CSQLiteDB::execQuery(const wchar_t* sql)
{
    sqlite3_stmt* stmt = prepare(sql);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        const std::string text = sqlite3_errmsg(m_db);
        sqlite3_finalize(stmt);
        Throw(rc, text.c_str());
    }
    return CSQLiteQuery(m_db, stmt, rc == SQLITE_DONE);
}

int64_t CSQLiteDB::lastRowId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

// ---- CSQLiteStatement -------------------------------------------------------------------------

CSQLiteStatement::CSQLiteStatement(CSQLiteStatement&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_stmt(std::exchange(other.m_stmt, nullptr))
{
}

CSQLiteStatement& CSQLiteStatement::operator=(CSQLiteStatement&& other) noexcept
{
    if (this != &other) {
        finalize();
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

CSQLiteStatement::~CSQLiteStatement()
{
    finalize();
}

void CSQLiteStatement::check(int rc) const
{
    if (rc != SQLITE_OK)
        ThrowFrom(m_db, rc);
}

void CSQLiteStatement::bind(int position, int value)
{
    if (!m_stmt)
        Throw(SQLITE_MISUSE, "statement not compiled");
    check(sqlite3_bind_int(m_stmt, position, value));
}

void CSQLiteStatement::bind(int position, int64_t value)
{
    if (!m_stmt)
        Throw(SQLITE_MISUSE, "statement not compiled");
    check(sqlite3_bind_int64(m_stmt, position, value));
}

void CSQLiteStatement::bind(int position, const void* bytes, int length)
{
    if (!m_stmt)
        Throw(SQLITE_MISUSE, "statement not compiled");
    // A null pointer would bind NULL; an empty text stays an empty text. The bytes are
    // UTF-16LE text, and stored as text so that equality and every reader see characters.
    if (!bytes || length <= 0) {
        bytes = kEmpty;
        length = 0;
    }
    check(sqlite3_bind_text16(m_stmt, position, bytes, length & ~1, SQLITE_TRANSIENT));
}

void CSQLiteStatement::bindNull(int position)
{
    if (!m_stmt)
        Throw(SQLITE_MISUSE, "statement not compiled");
    check(sqlite3_bind_null(m_stmt, position));
}

int CSQLiteStatement::execDML()
{
    if (!m_stmt)
        Throw(SQLITE_MISUSE, "statement not compiled");
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        const std::string text = sqlite3_errmsg(m_db);
        sqlite3_reset(m_stmt);
        Throw(rc, text.c_str());
    }
    sqlite3_reset(m_stmt);
    return sqlite3_changes(m_db);
}

void CSQLiteStatement::finalize()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

// ---- CSQLiteQuery -----------------------------------------------------------------------------

CSQLiteQuery::CSQLiteQuery(CSQLiteQuery&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_stmt(std::exchange(other.m_stmt, nullptr)),
      m_eof(std::exchange(other.m_eof, true))
{
}

CSQLiteQuery& CSQLiteQuery::operator=(CSQLiteQuery&& other) noexcept
{
    if (this != &other) {
        finalize();
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_eof = std::exchange(other.m_eof, true);
    }
    return *this;
}

CSQLiteQuery::~CSQLiteQuery()
{
    finalize();
}

void CSQLiteQuery::nextRow()
{
    if (!m_stmt || m_eof)
        return;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_DONE) {
        m_eof = true;
    } else if (rc != SQLITE_ROW) {
        m_eof = true;
        ThrowFrom(m_db, rc);
    }
}

int CSQLiteQuery::numFields() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

void CSQLiteQuery::checkColumn(int column) const
{
    if (!m_stmt || m_eof)
        Throw(SQLITE_MISUSE, "no current row");
    if (column < 0 || column >= sqlite3_column_count(m_stmt))
        Throw(SQLITE_RANGE, "column out of range");
}

const wchar_t* CSQLiteQuery::fieldValue(int column) const
{
    checkColumn(column);
    const void* text = sqlite3_column_text16(m_stmt, column);
    return text ? static_cast<const wchar_t*>(text) : kEmpty;
}

bool CSQLiteQuery::fieldIsNull(int column) const
{
    checkColumn(column);
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

int CSQLiteQuery::getIntField(int column, int nullValue) const
{
    checkColumn(column);
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return nullValue;
    return sqlite3_column_int(m_stmt, column);
}

int64_t CSQLiteQuery::getInt64Field(int column, int64_t nullValue) const
{
    checkColumn(column);
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return nullValue;
    return sqlite3_column_int64(m_stmt, column);
}

void CSQLiteQuery::finalize()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_eof = true;
}
