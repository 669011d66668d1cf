// Files over Win32 handles: CFile, the CFileException that describes a failed open, and
// CFileFind for listing a folder.
//
// Nothing here throws: an exception must not cross module boundaries. Open reports its
// failure through an optional CFileException; Read, Write, Seek and the rest return a result
// and keep the Windows error code in GetLastOsError().
#pragma once
#include "FrameworkApi.h"
#include "Strings.h"
#include <windows.h>
// commdlg.h maps GetFileTitle to GetFileTitleW; include it always so that every module sees
// the same member name, lean windows.h or not.
#include <commdlg.h>

class CTime;

class FW_API CFileException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,   // also: a modeCreateNew target that already exists
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException(int cause = none, LONG osError = -1, LPCTSTR fileName = nullptr);
    ~CFileException();

    // The system's message for m_lOsError (the cause's when there is none), with the file
    // name where the message has a place for it. False when there is nothing to say.
    bool GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT helpContext = nullptr) const;
    CString GetErrorMessage() const;

    void Set(int cause, LONG osError, LPCTSTR fileName);
    static int OsErrorToCause(LONG osError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class FW_API CFile {
public:
    // Open flags: one access mode, one share mode, any of the rest.
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        // Without a share flag others may read but not write (as shareDenyWrite).
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080, // handles are never inherited; accepted for old callers
        modeCreate = 0x1000,    // create, or truncate an existing file
        modeNoTruncate = 0x2000, // with modeCreate: open an existing file as it is
        typeText = 0x4000,      // both accepted and ignored: always binary
        typeBinary = 0x8000,
        // Our own: create only when no file of that name exists, else fail (accessDenied,
        // m_lOsError ERROR_FILE_EXISTS). The test-and-create is one atomic system call.
        modeCreateNew = 0x10000,
    };
    enum SeekPosition { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };
    static const ULONGLONG kSeekFailed; // all bits set

    CFile();
    explicit CFile(HANDLE file); // takes ownership
    // Opens at once; check IsOpen().
    CFile(LPCTSTR path, UINT flags);
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Closes any file open before. On failure error (if given) says why.
    virtual bool Open(LPCTSTR path, UINT flags, CFileException* error = nullptr);
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // The bytes read: fewer than asked at the end of the file, 0 at the end or on error.
    virtual UINT Read(void* buffer, UINT count);
    // True when every byte was written.
    virtual bool Write(const void* buffer, UINT count);
    // The new position, kSeekFailed on error.
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    // kSeekFailed on error.
    virtual ULONGLONG GetLength() const;
    virtual ULONGLONG GetPosition() const;
    // Sets the end of the file; the position stays where it was.
    virtual bool SetLength(ULONGLONG length);
    virtual bool Flush();
    // False when the system reported an error closing (data may not have been written).
    virtual bool Close();
    // Closes without reporting anything; safe on a closed file.
    virtual void Abort();

    // The full path given to Open, its last component, and that without its extension.
    CString GetFilePath() const;
    CString GetFileName() const;
    CString GetFileTitle() const;
    void SetFilePath(LPCTSTR path);

    DWORD GetLastOsError() const { return m_lastError; }

    static bool Remove(LPCTSTR path);
    static bool Rename(LPCTSTR oldPath, LPCTSTR newPath);

    HANDLE m_hFile;

protected:
    bool Failed();

    CString m_strFileName;
    DWORD m_lastError;
};

// Lists a folder. Classic one-ahead use:
//     CFileFind find;
//     bool more = find.FindFile(L"C:\\dir\\*.*");
//     while (more) { more = find.FindNextFile(); ... find.GetFileName() ... }
// FindFile finds the first entry; each FindNextFile makes the entry it found earlier current
// and says whether another follows.
class FW_API CFileFind {
public:
    CFileFind();
    virtual ~CFileFind();
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // pattern null means "*.*" in the current folder.
    bool FindFile(LPCTSTR pattern = nullptr, DWORD unused = 0);
    bool FindNextFile();
    void Close();

    // Of the current entry (after the first FindNextFile).
    CString GetFileName() const;
    CString GetFilePath() const;
    CString GetFileTitle() const;
    CString GetRoot() const; // the folder searched, as a full path
    ULONGLONG GetLength() const;
    bool GetLastWriteTime(FILETIME& time) const;
    bool GetLastWriteTime(CTime& time) const;
    bool GetCreationTime(FILETIME& time) const;
    bool GetCreationTime(CTime& time) const;
    bool GetLastAccessTime(FILETIME& time) const;
    bool GetLastAccessTime(CTime& time) const;
    DWORD GetAttributes() const;
    bool MatchesMask(DWORD mask) const;
    bool IsDots() const; // "." or ".."
    bool IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    bool IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    bool IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    bool IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    bool IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }
    bool IsTemporary() const { return MatchesMask(FILE_ATTRIBUTE_TEMPORARY); }
    bool IsCompressed() const { return MatchesMask(FILE_ATTRIBUTE_COMPRESSED); }

private:
    HANDLE m_hFind;
    bool m_hasCurrent;
    bool m_hasNext;
    WIN32_FIND_DATAW m_current;
    WIN32_FIND_DATAW m_next;
    CString m_root;
};
