// CBackupLog: list.db and the per-run databases of backup and restore runs.
#include "BackupLog.h"
#include "ToviConv.h"
#include "TraceLog.h"
#include <windows.h>
#include <shlobj.h>

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
    m_run.close();
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

bool CBackupLog::Fail(CSQLiteException& e, CSQLiteDB& db)
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
    m_run.close();
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
        // One small transaction per item must not cost more than the item's transfer: a
        // write-ahead log that is not flushed at every commit (a crash of the program loses
        // nothing; a power cut may lose the last rows, never the file), and the file kept
        // locked by the run (taking and dropping file locks per transaction is what costs
        // most here). A viewer opening a run in progress waits for it, then gets "busy".
        m_run.execDML("PRAGMA journal_mode=WAL;");
        m_run.execDML("PRAGMA synchronous=NORMAL;");
        m_run.execDML("PRAGMA locking_mode=EXCLUSIVE;");
    } catch (CSQLiteException& e) {
        const CString reason = (Fail(e, m_run), m_lastError);
        m_run.close();
        WriteListEnd(L"FAIL", CString());
        m_lastError = reason;
        return false;
    }
    return true;
}

bool CBackupLog::Insert(const CString& path, const CString& type, int64_t size, const CString& status)
{
    try {
        m_run.execDML("begin transaction;");
        CSQLiteStatement st =
            m_run.compileStatement(L"INSERT INTO backup (file_path, file_type, file_size, status) VALUES (?, ?, ?, ?)");
        BindText(st, 1, path);
        BindText(st, 2, type);
        st.bind(3, size);
        BindText(st, 4, status);
        st.execDML();
        st.finalize();
        m_run.execDML("commit transaction;");
        return true;
    } catch (CSQLiteException& e) {
        return Fail(e, m_run);
    }
}

bool CBackupLog::Update(const CString& path, const CString& status, const CString& error)
{
    try {
        m_run.execDML("begin transaction;");
        CSQLiteStatement st = m_run.compileStatement(L"UPDATE backup SET status=?, err_msg=? where file_path=?");
        BindText(st, 1, status);
        BindText(st, 2, error);
        BindText(st, 3, path);
        st.execDML();
        st.finalize();
        m_run.execDML("commit transaction;");
        return true;
    } catch (CSQLiteException& e) {
        return Fail(e, m_run);
    }
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
    m_run.close();
    return WriteListEnd(status, remarks);
}
