// CBackupLog: the run logs of backup and restore runs. Per policy, under
// <documents>\VariruDAD\BackupLog\<policy key>: "list.db" with one row per run, and one
// database per run named after its start ("YYYYMMDDhhmmss.db") with one row per folder and
// file. Texts are stored as UTF-16 text; see SQLiteDB.h.
//
// Used by one worker thread at a time. Every write is atomic on its own (a failed write is
// rolled back alone, its message kept in LastError(), and false returned), but the writes of a
// run are committed together, at most kBatchMs after the first of them: a commit costs more
// than a small file's upload. A flusher thread commits a batch that waits while the worker is
// busy elsewhere, so a reader, or whoever opens the file after the program was ended, finds
// every item written more than kBatchMs ago.
//
// While a run goes its database is in write-ahead-log mode with ordinary locking, so the log
// viewer and any other SQLite reader can read it at once; at the run's end it is made one
// plain file again.
#pragma once
#include "ToviInterfaceApi.h"
#include "DateTime.h"
#include "SQLiteDB.h"
#include "Strings.h"
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class TOVIINTERFACE_API CBackupLog {
public:
    static constexpr unsigned kBatchMs = 200;
    static constexpr int kBatchRows = 2000;

    // logType: 0 backup run, 1 restore run.
    explicit CBackupLog(int logType = 0);
    ~CBackupLog();

    // The documents folder under which the logs live; empty (the default) asks the shell.
    void SetDocumentsFolder(const CString& folder) { m_documents = folder; }
    // <documents>\VariruDAD\BackupLog and its policy folder, creating both when absent (not
    // the parent "VariruDAD"). Empty on failure, with LastError() set.
    CString PolicyFolder(const CString& policyKey);

    // Adds the run's "PROGRESS" row to list.db (creating the file and its table the first
    // time), then creates the run database and keeps it open. Any failure after the list
    // row was written marks that row "FAIL" before returning false, so a run never stays
    // "PROGRESS" because its own database could not be made (a second run in the same second
    // finds the first run's database already there).
    bool Create(const CString& policyKey, const COleDateTime& start, uint64_t totalBytes);
    bool Insert(const CString& path, const CString& type, int64_t size, const CString& status);
    bool Update(const CString& path, const CString& status, const CString& error);
    // Closes the run database and writes the run's final status and remarks into its row.
    bool End(const CString& status, const CString& remarks);

    const CString& ListPath() const { return m_listPath; }
    const CString& RunPath() const { return m_runPath; }
    const CString& LastError() const { return m_lastError; }

    static CString StartText(const COleDateTime& start);   // "%Y-%m-%d %H:%M:%S"
    static CString RunFileName(const COleDateTime& start); // "%Y%m%d%H%M%S.db"
    // The run's remarks: "FAIL : n", "SKIP : n", "OVERWRITE : n" for the counts above 0, in
    // that order, joined by ", "; empty when all are 0.
    static CString RemarksText(int failed, int skipped, int overwritten);

private:
    // Keeps the error's text as the last error and traces it.
    void NoteError(CSQLiteException& e);
    bool Fail(CSQLiteException& e, CSQLiteDB& db);
    // One write inside the open batch; the lock is held.
    template <typename Write> bool BatchedWrite(Write write);
    void CommitLocked();
    void StartFlusher();
    void StopFlusher();
    void CloseRun();
    bool WriteListEnd(const CString& status, const CString& remarks);

    int m_logType;
    CString m_documents;
    CString m_listPath;
    CString m_runPath;
    CString m_startText;
    int64_t m_listRow = 0;
    CSQLiteDB m_run;
    CString m_lastError;

    std::mutex m_lock;                  // the run database and the batch below
    bool m_inBatch = false;
    int m_batchRows = 0;
    unsigned long m_batchStart = 0;     // tick of the batch's first write
    std::condition_variable m_wake;
    bool m_stopFlusher = false;
    std::thread m_flusher;
};

// Binds a CString as UTF-16 text without terminator.
inline void BindText(CSQLiteStatement& st, int position, const CString& text)
{
    st.bind(position, text.GetString(), text.GetLength() * 2);
}
