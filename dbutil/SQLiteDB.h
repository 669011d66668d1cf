// ToviDBUtil: a small C++ face over SQLite 3 for the run logs. One object is used by one
// thread at a time; the same file may be open in several objects (SQLite's file locks
// serialise them, and a busy database is waited for up to kSQLiteBusyMs).
//
// Texts: the byte-array bind takes UTF-16LE characters (no terminator) and stores them as
// TEXT, so equal strings bound the same way match in WHERE clauses and any SQLite reader sees
// the text. fieldValue gives every column back as UTF-16.
#pragma once
#include <cstdint>

#ifdef TOVIDBUTIL_BUILD
#define TOVIDBUTIL_API __declspec(dllexport)
#else
#define TOVIDBUTIL_API __declspec(dllimport)
#endif

struct sqlite3;
struct sqlite3_stmt;

constexpr int kSQLiteBusyMs = 5000;

// Thrown by every operation below when SQLite reports an error. The message is a narrow
// string in the system's ANSI code page: "<code>: <SQLite's text>".
class TOVIDBUTIL_API CSQLiteException {
public:
    CSQLiteException(int code, const char* text);
    CSQLiteException(const CSQLiteException& other);
    CSQLiteException& operator=(const CSQLiteException& other);
    ~CSQLiteException();

    int errorCode() const { return m_code; }
    const char* errorMessage() const { return m_message ? m_message : ""; }

private:
    int m_code;
    char* m_message;
};

class TOVIDBUTIL_API CSQLiteStatement {
public:
    CSQLiteStatement() = default;
    CSQLiteStatement(sqlite3* db, sqlite3_stmt* stmt) : m_db(db), m_stmt(stmt) {}
    CSQLiteStatement(CSQLiteStatement&& other) noexcept;
    CSQLiteStatement& operator=(CSQLiteStatement&& other) noexcept;
    CSQLiteStatement(const CSQLiteStatement&) = delete;
    CSQLiteStatement& operator=(const CSQLiteStatement&) = delete;
    ~CSQLiteStatement();

    // Positions count from 1.
    void bind(int position, int value);
    void bind(int position, int64_t value);
    // length bytes of UTF-16LE text (characters x 2); null or 0 binds the empty text.
    void bind(int position, const void* bytes, int length);
    void bindNull(int position);
    // Runs the statement to its end and readies it for new bindings; the rows changed.
    int execDML();
    void finalize();

private:
    void check(int rc) const;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

class TOVIDBUTIL_API CSQLiteQuery {
public:
    CSQLiteQuery() = default;
    CSQLiteQuery(sqlite3* db, sqlite3_stmt* stmt, bool eof) : m_db(db), m_stmt(stmt), m_eof(eof) {}
    CSQLiteQuery(CSQLiteQuery&& other) noexcept;
    CSQLiteQuery& operator=(CSQLiteQuery&& other) noexcept;
    CSQLiteQuery(const CSQLiteQuery&) = delete;
    CSQLiteQuery& operator=(const CSQLiteQuery&) = delete;
    ~CSQLiteQuery();

    bool eof() const { return m_eof; }
    void nextRow();
    int numFields() const;
    // Columns count from 0. The text stays valid until the next row; NULL reads as "".
    const wchar_t* fieldValue(int column) const;
    bool fieldIsNull(int column) const;
    int getIntField(int column, int nullValue = 0) const;
    int64_t getInt64Field(int column, int64_t nullValue = 0) const;
    void finalize();

private:
    void checkColumn(int column) const;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_eof = true;
};

class TOVIDBUTIL_API CSQLiteDB {
public:
    CSQLiteDB() = default;
    CSQLiteDB(const CSQLiteDB&) = delete;
    CSQLiteDB& operator=(const CSQLiteDB&) = delete;
    ~CSQLiteDB();

    // Opens the file, creating an empty database when it does not exist. An open database is
    // closed first.
    void open(const wchar_t* path);
    // Closing a closed object does nothing.
    void close();
    bool isOpen() const { return m_db != nullptr; }
    // One statement given as UTF-8; the rows changed.
    int execDML(const char* sql);
    CSQLiteStatement compileStatement(const wchar_t* sql);
    // Positioned on the first row (eof() when there is none).
    CSQLiteQuery execQuery(const wchar_t* sql);
    // The row id of the last INSERT on this connection (0 before any).
    int64_t lastRowId() const;

private:
    sqlite3_stmt* prepare(const wchar_t* sql);
    void check(int rc) const;
    sqlite3* m_db = nullptr;
};
