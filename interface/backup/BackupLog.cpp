// CBackupLog: list.db and the per-run databases of backup and restore runs.
#include "BackupLog.h"
#include "ToviConv.h"
#include "TraceLog.h"
#include <windows.h>
#include <shlobj.h>
#include <chrono>

namespace {

const char kCreateList[] = "CREATE TABLE list (idx INTEGER PRIMARY KEY, log_type INTEGER, start_time TEXT, "
                           "file_size INTEGER, status TEXT, remarks TEXT);";
const char kCreateRun[] = "CREATE TABLE backup (idx INTEGER PRIMARY KEY, file_path TEXT, file_type TEXT, "
                          "file_size INTEGER, status TEXT, err_msg TEXT);";

bool Exists(const CString& path)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(path.GetString(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    return true;
}

bool EnsureFolder(const CString& path, CString& error)
{
    const DWORD attr = GetFileAttributesW(path.GetString());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    if (CreateDirectoryW(path.GetString(), nullptr))
        return true;
    const DWORD code = GetLastError();
    // Another run of the policy made it a moment ago.
    if (code == ERROR_ALREADY_EXISTS) {
        const DWORD now = GetFileAttributesW(path.GetString());
        if (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_DIRECTORY))
            return true;
    }
    TraceLog(2048, L"[ CBackupThread::CreateBackupLog ] CreateDirectory Fail.\n%s (%d)\n", path.GetString(),
             static_cast<int>(code));
    error.Format(L"CreateDirectory %s (%d)", path.GetString(), static_cast<int>(code));
    return false;
}

} // namespace

CBackupLog::CBackupLog(int logType) : m_logType(logType) {}

CBackupLog::~CBackupLog()
{
    CloseRun();
}

CString CBackupLog::StartText(const COleDateTime& start)
{
    return start.Format(L"%Y-%m-%d %H:%M:%S");
}

CString CBackupLog::RunFileName(const COleDateTime& start)
{
    CString name = start.Format(L"%Y%m%d%H%M%S");
    name += L".db";
    return name;
}

CString CBackupLog::RemarksText(int failed, int skipped, int overwritten)
{
    CString remarks;
    const struct {
        const wchar_t* word;
        int count;
    } parts[] = {{L"FAIL", failed}, {L"SKIP", skipped}, {L"OVERWRITE", overwritten}};
    for (const auto& part : parts) {
        if (part.count <= 0)
            continue;
        CString text;
        text.Format(L"%s : %d", part.word, part.count);
        if (!remarks.IsEmpty())
            remarks += L", ";
        remarks += text;
    }
    return remarks;
}

CString CBackupLog::PolicyFolder(const CString& policyKey)
{
    CString documents = m_documents;
    if (documents.IsEmpty()) {
        wchar_t path[MAX_PATH] = {};
        if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_PERSONAL, FALSE)) {
            m_lastError = L"documents folder";
            return CString();
        }
        documents = path;
    }
    // The parent too: a first run on a fresh profile must still get its logs.
    CString parent;
    parent.Format(L"%s\\%s", documents.GetString(), L"VariruDAD");
    CString root;
    root.Format(L"%s\\%s", documents.GetString(), L"VariruDAD\\BackupLog");
    if (!EnsureFolder(parent, m_lastError) || !EnsureFolder(root, m_lastError))
        return CString();
    CString folder;
    folder.Format(L"%s\\%s\\%s", documents.GetString(), L"VariruDAD\\BackupLog", policyKey.GetString());
    if (!EnsureFolder(folder, m_lastError))
        return CString();
    return folder;
}

void CBackupLog::NoteError(CSQLiteException& e)
{
    const char* text = e.errorMessage();
    m_lastError.Empty();
    if (text && *text) {
        wchar_t* wide = CToviConv::Tovi_MultiByteToWideChar(text);
        if (wide)
            m_lastError = wide;
        CToviConv::Tovi_wFree(wide);
    }
    TraceLog(2048, L"ERROR! %s\n", m_lastError.GetString());
}

bool CBackupLog::Fail(CSQLiteException& e, CSQLiteDB& db)
{
    NoteError(e);
    if (db.isOpen()) {
        try {
            db.execDML("rollback transaction;");
        } catch (CSQLiteException&) {
            // No transaction was open: nothing to undo.
        }
    }
    return false;
}

bool CBackupLog::Create(const CString& policyKey, const COleDateTime& start, uint64_t totalBytes)
{
    TraceLog(1, L"[ CBackupThread::CreateBackupLog ] \n");
    CloseRun();
    m_listRow = 0;
    m_startText = StartText(start);
    const CString folder = PolicyFolder(policyKey);
    if (folder.IsEmpty())
        return false;
    m_listPath.Format(L"%s\\list.db", folder.GetString());
    TraceLog(1, L"[ CBackupThread::CreateBackupLog ] Set List Log\n%s\n", m_listPath.GetString());

    CSQLiteDB list;
    try {
        list.open(m_listPath.GetString());
        // The table is made under the write lock when it is missing, not when the file was:
        // two runs starting together both find no file, and an empty file left by a crash
        // has no table.
        list.execDML("begin immediate transaction;");
        bool hasTable = false;
        {
            CSQLiteQuery q = list.execQuery(L"SELECT count(*) FROM sqlite_master WHERE type='table' AND name='list'");
            hasTable = !q.eof() && q.getIntField(0, 0) > 0;
        }
        if (!hasTable)
            list.execDML(kCreateList);
        CSQLiteStatement st =
            list.compileStatement(L"INSERT INTO list (start_time, log_type, file_size, status) VALUES (?, ?, ?, ?)");
        BindText(st, 1, m_startText);
        st.bind(2, m_logType);
        st.bind(3, static_cast<int64_t>(totalBytes));
        BindText(st, 4, CString(L"PROGRESS"));
        st.execDML();
        st.finalize();
        m_listRow = list.lastRowId();
        list.execDML("commit transaction;");
        list.close();
    } catch (CSQLiteException& e) {
        Fail(e, list);
        list.close();
        m_listRow = 0;
        return false;
    }

    m_runPath.Format(L"%s\\%s", folder.GetString(), RunFileName(start).GetString());
    TraceLog(1, L"[ CBackupThread::CreateBackupLog ] Set Backup Log\n%s\n", m_runPath.GetString());
    try {
        // Another run that started in the same second owns this file: never write into it.
        if (Exists(m_runPath))
            throw CSQLiteException(1, "run log already exists");
        m_run.open(m_runPath.GetString());
        m_run.execDML(kCreateRun);
        // A write-ahead log that is not flushed at every commit (a crash of the program loses
        // nothing committed; a power cut may lose the last rows, never the file), with
        // ordinary locking so that readers get in while the run writes.
        m_run.execDML("PRAGMA journal_mode=WAL;");
        m_run.execDML("PRAGMA synchronous=NORMAL;");
    } catch (CSQLiteException& e) {
        const CString reason = (Fail(e, m_run), m_lastError);
        m_run.close();
        WriteListEnd(L"FAIL", CString());
        m_lastError = reason;
        return false;
    }
    StartFlusher();
    return true;
}

void CBackupLog::CommitLocked()
{
    if (!m_inBatch)
        return;
    m_inBatch = false;
    m_batchRows = 0;
    try {
        m_run.execDML("commit transaction;");
    } catch (CSQLiteException& e) {
        Fail(e, m_run);
    }
}

template <typename Write> bool CBackupLog::BatchedWrite(Write write)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_run.isOpen()) {
        m_lastError = L"run log not open";
        return false;
    }
    try {
        if (!m_inBatch) {
            m_run.execDML("begin transaction;");
            m_inBatch = true;
            m_batchStart = GetTickCount();
            m_wake.notify_one();
        }
    } catch (CSQLiteException& e) {
        return Fail(e, m_run);
    }
    // A failed write is undone alone; the batch's earlier rows stay.
    try {
        m_run.execDML("savepoint item;");
        write();
        m_run.execDML("release item;");
    } catch (CSQLiteException& e) {
        NoteError(e);
        try {
            m_run.execDML("rollback to item;");
            m_run.execDML("release item;");
        } catch (CSQLiteException& again) {
            // The savepoint is gone with the whole batch: start the next one afresh.
            Fail(again, m_run);
            m_inBatch = false;
            m_batchRows = 0;
        }
        return false;
    }
    ++m_batchRows;
    if (m_batchRows >= kBatchRows || GetTickCount() - m_batchStart >= kBatchMs)
        CommitLocked();
    return true;
}

void CBackupLog::StartFlusher()
{
    StopFlusher();
    m_stopFlusher = false;
    m_flusher = std::thread([this] {
        std::unique_lock<std::mutex> hold(m_lock);
        while (!m_stopFlusher) {
            if (!m_inBatch) {
                m_wake.wait(hold);
                continue;
            }
            const unsigned long age = GetTickCount() - m_batchStart;
            if (age >= kBatchMs)
                CommitLocked();
            else
                m_wake.wait_for(hold, std::chrono::milliseconds(kBatchMs - age));
        }
    });
}

void CBackupLog::StopFlusher()
{
    if (!m_flusher.joinable())
        return;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stopFlusher = true;
    }
    m_wake.notify_all();
    m_flusher.join();
}

// The last batch, then one plain file again: everything of the write-ahead log goes into the
// database and the log is removed, so copying the .db alone loses nothing.
void CBackupLog::CloseRun()
{
    StopFlusher();
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_run.isOpen())
        return;
    CommitLocked();
    try {
        m_run.execDML("PRAGMA wal_checkpoint(TRUNCATE);");
        m_run.execDML("PRAGMA journal_mode=DELETE;");
    } catch (CSQLiteException&) {
        // A viewer still reads it: the last connection to close folds the log in.
    }
    m_run.close();
}

bool CBackupLog::Insert(const CString& path, const CString& type, int64_t size, const CString& status)
{
    return BatchedWrite([&] {
        CSQLiteStatement st =
            m_run.compileStatement(L"INSERT INTO backup (file_path, file_type, file_size, status) VALUES (?, ?, ?, ?)");
        BindText(st, 1, path);
        BindText(st, 2, type);
        st.bind(3, size);
        BindText(st, 4, status);
        st.execDML();
        st.finalize();
    });
}

bool CBackupLog::Update(const CString& path, const CString& status, const CString& error)
{
    return BatchedWrite([&] {
        CSQLiteStatement st = m_run.compileStatement(L"UPDATE backup SET status=?, err_msg=? where file_path=?");
        BindText(st, 1, status);
        BindText(st, 2, error);
        BindText(st, 3, path);
        st.execDML();
        st.finalize();
    });
}

bool CBackupLog::WriteListEnd(const CString& status, const CString& remarks)
{
    CSQLiteDB list;
    try {
        list.open(m_listPath.GetString());
        list.execDML("begin transaction;");
        // Our own row: two runs started in the same second share the start text.
        CSQLiteStatement st = m_listRow > 0
            ? list.compileStatement(L"UPDATE list SET status=?, remarks=? where idx=?")
            : list.compileStatement(L"UPDATE list SET status=?, remarks=? where start_time=?");
        BindText(st, 1, status);
        BindText(st, 2, remarks);
        if (m_listRow > 0)
            st.bind(3, m_listRow);
        else
            BindText(st, 3, m_startText);
        st.execDML();
        st.finalize();
        list.execDML("commit transaction;");
        list.close();
        return true;
    } catch (CSQLiteException& e) {
        Fail(e, list);
        list.close();
        return false;
    }
}

bool CBackupLog::End(const CString& status, const CString& remarks)
{
    CloseRun();
    return WriteListEnd(status, remarks);
}
