// The replacement journal: its file, the replacement itself and the recovery at start.
//
// Journal lines (UTF-16): "F <had original 0|1> <target>" per file, then "S" (all staged and
// proven); while replacing "A <i>" (original aside) and "N <i>" (new file in); "R" once an
// undo has begun, which every later recovery then finishes.
#include "UpdateJournal.h"
#include "TraceLog.h"
#include <string>

namespace updatejournal {

namespace {

void NoStep(int) {}

bool Exists(const CString& path) { return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Deletes a file, read-only or not.
bool Remove(const CString& path)
{
    DWORD attributes = ::GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    return ::DeleteFileW(path) != FALSE;
}

struct Entry {
    CString target;
    bool hadOriginal = false;
};

class Journal {
public:
    ~Journal() { Close(); }

    // Writes the list under a temporary name and renames it into place, so a journal that
    // exists is always whole.
    bool Begin(const CString& path, const std::vector<Entry>& entries)
    {
        m_path = path;
        std::wstring text;
        for (const Entry& e : entries)
            text += std::wstring(L"F ") + (e.hadOriginal ? L"1 " : L"0 ") + e.target.GetString() + L"\n";
        text += L"S\n";
        CString temporary = path + L".tmp";
        HANDLE file = ::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        DWORD bytes = DWORD(text.size() * sizeof(wchar_t));
        bool ok = ::WriteFile(file, text.data(), bytes, &written, nullptr) && written == bytes && ::FlushFileBuffers(file);
        ::CloseHandle(file);
        if (!ok || !::MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            ::DeleteFileW(temporary);
            return false;
        }
        return Open(path);
    }

    bool Open(const CString& path)
    {
        m_path = path;
        m_file = ::CreateFileW(path, FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return m_file != INVALID_HANDLE_VALUE;
    }

    // Appends one step and makes it durable before the step it announces or confirms.
    void Mark(wchar_t step, size_t index)
    {
        if (m_file == INVALID_HANDLE_VALUE)
            return;
        std::wstring line(1, step);
        if (step != L'R')
            line += L" " + std::to_wstring(index);
        line += L"\n";
        DWORD written = 0;
        ::WriteFile(m_file, line.data(), DWORD(line.size() * sizeof(wchar_t)), &written, nullptr);
        ::FlushFileBuffers(m_file);
        ++m_steps;
        g_pAfterReplacementStep(m_steps);
    }

    void Close()
    {
        if (m_file != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }

    void Finish()
    {
        Close();
        ::DeleteFileW(m_path);
    }

private:
    CString m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    int m_steps = 0;
};

struct Record {
    std::vector<Entry> entries;
    bool whole = false;
    bool undoing = false;
};

Record Read(const CString& path)
{
    Record record;
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return record;
    std::wstring text;
    LARGE_INTEGER size = {};
    if (::GetFileSizeEx(file, &size) && size.QuadPart < 16 * 1024 * 1024) {
        text.resize(size_t(size.QuadPart) / sizeof(wchar_t));
        DWORD got = 0;
        if (!::ReadFile(file, &text[0], DWORD(text.size() * sizeof(wchar_t)), &got, nullptr))
            text.clear();
        text.resize(got / sizeof(wchar_t));
    }
    ::CloseHandle(file);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos)
            break;   // a line cut short by the end of the run counts as never written
        std::wstring line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() > 4 && line[0] == L'F' && !record.whole)
            record.entries.push_back({ CString(line.substr(4).c_str()), line[2] == L'1' });
        else if (line == L"S")
            record.whole = true;
        else if (line == L"R")
            record.undoing = true;
    }
    return record;
}

// Takes back every new file and puts every original back; safe to repeat after an abrupt end.
bool Undo(Journal& journal, const std::vector<Entry>& entries)
{
    journal.Mark(L'R', 0);
    bool ok = true;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const CString& target = it->target;
        if (Exists(KeptPath(target))) {
            Remove(target);
            if (!::MoveFileExW(KeptPath(target), target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                TraceLog(2048, L" ■■■ [ UPDATE ] ROLL BACK FAILED [ %s ][ %d ]\n", target.GetString(), int(::GetLastError()));
                ok = false;
            }
        } else if (!it->hadOriginal && !Exists(StagedPath(target)) && Exists(target)) {
            // A file the update added: the original state is its absence.
            Remove(target);
        }
    }
    if (!ok)
        return false;
    for (const Entry& e : entries)
        Remove(StagedPath(e.target));
    return true;
}

// Moves every staged file that is not in place yet into place; false at the first that fails.
bool Forward(Journal& journal, const std::vector<Entry>& entries, size_t& failed,
             const std::function<bool()>& cancelled)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        const CString& target = entries[i].target;
        CString staged = StagedPath(target);
        if (!Exists(staged))
            continue;   // in place already
        if (cancelled && cancelled()) {
            failed = i;
            return false;
        }
        DWORD attributes = ::GetFileAttributesW(target);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            TraceLog(2048, L" ■■■ [ UPDATE ] a folder stands where the file goes [ %s ]\n", target.GetString());
            failed = i;
            return false;
        }
        // Set aside by a run that ended before the new file moved in.
        DWORD keptAttributes = ::GetFileAttributesW(KeptPath(target));
        if (attributes != INVALID_FILE_ATTRIBUTES && keptAttributes == INVALID_FILE_ATTRIBUTES) {
            // A rename, not a copy: the original stays whole under its kept name. Renaming a
            // read-only file is allowed; its attribute comes back on the new file.
            if (!::MoveFileExW(target, KeptPath(target), MOVEFILE_WRITE_THROUGH)) {
                TraceLog(2048, L" ■■■ [ UPDATE ] Failed to update file. (delete:%s) [ %d ]\n", target.GetString(), int(::GetLastError()));
                failed = i;
                return false;
            }
            journal.Mark(L'A', i);
        }
        TraceLog(1, L" ■■■ [ UPDATE ] MoveFile File %s --> %s\n", staged.GetString(), target.GetString());
        if (!::MoveFileExW(staged, target, MOVEFILE_WRITE_THROUGH)) {
            TraceLog(2048, L" ■■■ [ UPDATE ] MOVE FILE ERROR!  [ %s ][ %d ]\n", target.GetString(), int(::GetLastError()));
            failed = i;
            return false;
        }
        if (attributes == INVALID_FILE_ATTRIBUTES)
            attributes = keptAttributes;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            ::SetFileAttributesW(target, ::GetFileAttributesW(target) | FILE_ATTRIBUTE_READONLY);
        journal.Mark(L'N', i);
    }
    return true;
}

void RemoveKept(const std::vector<Entry>& entries)
{
    for (const Entry& e : entries)
        if (!Remove(KeptPath(e.target)))
            TraceLog(2048, L" ■■■ [ UPDATE ] kept copy not removed [ %s ][ %d ]\n", e.target.GetString(), int(::GetLastError()));
}

bool EndsWith(const CString& name, const wchar_t* suffix)
{
    int n = int(wcslen(suffix));
    return name.GetLength() >= n && name.Right(n).CompareNoCase(suffix) == 0;
}

// Removes what runs leave beside their targets, below folder (a few levels deep).
void Sweep(const CString& folder, int depth)
{
    // A folder that leads elsewhere (a junction in the user's documents) is not ours to clean.
    DWORD attributes = ::GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(folder + L"\\*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        CString name(data.cFileName);
        if (name == L"." || name == L"..")
            continue;
        CString path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (depth > 0 && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                Sweep(path, depth - 1);
        } else if (EndsWith(name, L".upd-new") || EndsWith(name, L".upd-enc") || EndsWith(name, L".upd-old") ||
                   EndsWith(name, L".upd-journal.tmp")) {
            Remove(path);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

}

StepFn g_pAfterReplacementStep = NoStep;

CString PathFor(const CString& installDir) { return installDir + L"\\CorvaneUpdate.upd-journal"; }

bool ReplaceStaged(const CString& journalPath, const std::vector<CString>& targets, CString& failedTarget,
                   const std::function<bool()>& cancelled)
{
    std::vector<Entry> entries;
    for (const CString& target : targets) {
        // A kept copy left by some earlier run is not this run's original.
        Remove(KeptPath(target));
        entries.push_back({ target, Exists(target) });
    }
    Journal journal;
    if (!journal.Begin(journalPath, entries)) {
        TraceLog(2048, L" ■■■ [ UPDATE ] journal not written [ %s ][ %d ]\n", journalPath.GetString(), int(::GetLastError()));
        failedTarget = journalPath;
        for (const Entry& e : entries)
            Remove(StagedPath(e.target));
        return false;
    }
    size_t failed = 0;
    if (!Forward(journal, entries, failed, cancelled)) {
        failedTarget = entries[failed].target;
        // An original that cannot come back stays under its kept name, and so does the
        // journal: the next start tries again.
        if (Undo(journal, entries))
            journal.Finish();
        return false;
    }
    RemoveKept(entries);
    journal.Finish();
    return true;
}

Outcome Recover(const CString& journalPath, const std::vector<CString>& folders)
{
    Outcome outcome = Outcome::kNothing;
    if (Exists(journalPath)) {
        Record record = Read(journalPath);
        Journal journal;
        journal.Open(journalPath);
        bool forward = record.whole && !record.undoing;
        for (const Entry& e : record.entries)
            forward = forward && (Exists(StagedPath(e.target)) || Exists(e.target));
        size_t failed = 0;
        if (!record.whole) {
            outcome = Outcome::kUndone;   // nothing was renamed before the journal was whole
        } else if (forward && Forward(journal, record.entries, failed, nullptr)) {
            RemoveKept(record.entries);
            outcome = Outcome::kFinished;
        } else {
            outcome = Undo(journal, record.entries) ? Outcome::kUndone : Outcome::kFailed;
        }
        TraceLog(1, L" ■■■ [ UPDATE ] unfinished replacement %s\n",
                 outcome == Outcome::kFinished ? L"finished" : outcome == Outcome::kUndone ? L"undone" : L"NOT RECOVERED");
        if (outcome == Outcome::kFailed)
            return outcome;   // the kept originals and the journal stay for the next start
        journal.Finish();
    }
    for (const CString& folder : folders)
        if (!folder.IsEmpty())
            Sweep(folder, 4);
    return outcome;
}

}
