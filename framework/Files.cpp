// Files over Win32 handles: open, read, write, seek, list.
#include "Files.h"
#include "DateTime.h"
#include <algorithm>

namespace {

// The representative system error of a cause, for a message when no code was recorded.
LONG CauseToOsError(int cause)
{
    switch (cause) {
    case CFileException::fileNotFound: return ERROR_FILE_NOT_FOUND;
    case CFileException::badPath: return ERROR_PATH_NOT_FOUND;
    case CFileException::tooManyOpenFiles: return ERROR_TOO_MANY_OPEN_FILES;
    case CFileException::accessDenied: return ERROR_ACCESS_DENIED;
    case CFileException::invalidFile: return ERROR_INVALID_HANDLE;
    case CFileException::removeCurrentDir: return ERROR_CURRENT_DIRECTORY;
    case CFileException::directoryFull: return ERROR_CANNOT_MAKE;
    case CFileException::badSeek: return ERROR_SEEK;
    case CFileException::hardIO: return ERROR_CRC;
    case CFileException::sharingViolation: return ERROR_SHARING_VIOLATION;
    case CFileException::lockViolation: return ERROR_LOCK_VIOLATION;
    case CFileException::diskFull: return ERROR_DISK_FULL;
    case CFileException::endOfFile: return ERROR_HANDLE_EOF;
    case CFileException::genericException: return ERROR_GEN_FAILURE;
    default: return -1;
    }
}

// The part of a path after its last separator.
CString LastComponent(const CString& path)
{
    int i = path.GetLength();
    while (i > 0 && path[i - 1] != L'\\' && path[i - 1] != L'/' && path[i - 1] != L':')
        --i;
    return path.Mid(i);
}

CString WithoutExtension(const CString& name)
{
    int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

CString FullPath(LPCTSTR path)
{
    DWORD n = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (n == 0)
        return CString(path);
    CString full;
    DWORD got = GetFullPathNameW(path, n, full.GetBuffer(int(n)), nullptr);
    full.ReleaseBuffer(got < n ? int(got) : 0);
    return full.IsEmpty() ? CString(path) : full;
}

bool ToCTime(bool ok, const FILETIME& ft, CTime& time)
{
    if (ok)
        time = CTime(ft);
    return ok;
}

}

// ---- CFileException ----

CFileException::CFileException(int cause, LONG osError, LPCTSTR fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

CFileException::~CFileException() = default;

void CFileException::Set(int cause, LONG osError, LPCTSTR fileName)
{
    m_cause = cause;
    m_lOsError = osError;
    m_strFileName = fileName;
}

int CFileException::OsErrorToCause(LONG osError)
{
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_NETWORK_ACCESS_DENIED:
        return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

bool CFileException::GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    if (!buffer || maxChars == 0)
        return false;
    buffer[0] = 0;
    CString text = GetErrorMessage();
    if (text.IsEmpty())
        return false;
    lstrcpynW(buffer, text, int(maxChars));
    return true;
}

CString CFileException::GetErrorMessage() const
{
    LONG code = m_lOsError != -1 ? m_lOsError : CauseToOsError(m_cause);
    if (code == -1)
        return CString();
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                 FORMAT_MESSAGE_ALLOCATE_BUFFER,
                             nullptr, DWORD(code), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    CString message(text, int(n));
    if (text)
        LocalFree(text);
    return message.TrimRight();
}

// ---- CFile ----

const ULONGLONG CFile::kSeekFailed = ~ULONGLONG(0);

CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE), m_lastError(NO_ERROR) {}

CFile::CFile(HANDLE file) : m_hFile(file ? file : INVALID_HANDLE_VALUE), m_lastError(NO_ERROR) {}

CFile::CFile(LPCTSTR path, UINT flags) : CFile()
{
    Open(path, flags);
}

CFile::~CFile()
{
    Abort();
}

bool CFile::Failed()
{
    m_lastError = GetLastError();
    return false;
}

bool CFile::Open(LPCTSTR path, UINT flags, CFileException* error)
{
    Abort();
    m_lastError = NO_ERROR;
    if (error)
        error->Set(CFileException::none, -1, path);
    if (!path || !*path) {
        m_lastError = ERROR_BAD_PATHNAME;
        if (error)
            error->Set(CFileException::badPath, LONG(m_lastError), path);
        return false;
    }

    DWORD access = 0;
    switch (flags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    default: access = GENERIC_READ | GENERIC_WRITE; break;
    }
    DWORD share = FILE_SHARE_READ;
    switch (flags & 0x70) {
    case shareExclusive: share = 0; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (flags & modeCreateNew)
        disposition = CREATE_NEW;
    else if (flags & modeCreate)
        disposition = (flags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    m_strFileName = FullPath(path);
    HANDLE h = CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        m_lastError = GetLastError();
        if (error)
            error->Set(CFileException::OsErrorToCause(LONG(m_lastError)), LONG(m_lastError), path);
        return false;
    }
    m_hFile = h;
    return true;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (count == 0)
        return 0;
    DWORD got = 0;
    if (!ReadFile(m_hFile, buffer, count, &got, nullptr)) {
        Failed();
        return 0;
    }
    return got;
}

bool CFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return true;
    DWORD written = 0;
    if (!WriteFile(m_hFile, buffer, count, &written, nullptr))
        return Failed();
    if (written != count) {
        m_lastError = ERROR_DISK_FULL;
        return false;
    }
    return true;
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(m_hFile, distance, &position, from)) {
        Failed();
        return kSeekFailed;
    }
    return ULONGLONG(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        return kSeekFailed;
    return ULONGLONG(size.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    LARGE_INTEGER zero, position;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        return kSeekFailed;
    return ULONGLONG(position.QuadPart);
}

bool CFile::SetLength(ULONGLONG length)
{
    ULONGLONG was = GetPosition();
    if (was == kSeekFailed || Seek(LONGLONG(length), begin) == kSeekFailed)
        return Failed();
    bool ok = SetEndOfFile(m_hFile) != FALSE;
    if (!ok)
        Failed();
    Seek(LONGLONG(was), begin);
    return ok;
}

bool CFile::Flush()
{
    if (!IsOpen())
        return true;
    return FlushFileBuffers(m_hFile) ? true : Failed();
}

bool CFile::Close()
{
    bool ok = true;
    if (IsOpen() && !CloseHandle(m_hFile))
        ok = Failed();
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName.Empty();
    return ok;
}

void CFile::Abort()
{
    if (IsOpen())
        CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName.Empty();
}

CString CFile::GetFilePath() const { return m_strFileName; }
CString CFile::GetFileName() const { return LastComponent(m_strFileName); }
CString CFile::GetFileTitle() const { return WithoutExtension(GetFileName()); }
void CFile::SetFilePath(LPCTSTR path) { m_strFileName = path; }

bool CFile::Remove(LPCTSTR path)
{
    return DeleteFileW(path) != FALSE;
}

bool CFile::Rename(LPCTSTR oldPath, LPCTSTR newPath)
{
    return MoveFileW(oldPath, newPath) != FALSE;
}

// ---- CFileFind ----

CFileFind::CFileFind() : m_hFind(INVALID_HANDLE_VALUE), m_hasCurrent(false), m_hasNext(false), m_current(), m_next() {}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_hasCurrent = m_hasNext = false;
    m_root.Empty();
}

bool CFileFind::FindFile(LPCTSTR pattern, DWORD)
{
    Close();
    CString search = pattern && *pattern ? CString(pattern) : CString(L"*.*");
    m_hFind = FindFirstFileW(search, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return false;
    m_hasNext = true;

    // The folder part of the full pattern; a drive root keeps its separator.
    CString full = FullPath(search);
    int cut = std::max(full.ReverseFind(L'\\'), full.ReverseFind(L'/'));
    m_root = cut >= 0 ? full.Left(cut) : CString();
    if (m_root.GetLength() == 2 && m_root[1] == L':')
        m_root += L'\\';
    return true;
}

bool CFileFind::FindNextFile()
{
    if (!m_hasNext)
        return false;
    m_current = m_next;
    m_hasCurrent = true;
    m_hasNext = ::FindNextFileW(m_hFind, &m_next) != FALSE;
    return m_hasNext;
}

CString CFileFind::GetFileName() const
{
    return m_hasCurrent ? CString(m_current.cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    if (!m_hasCurrent)
        return CString();
    CString path = m_root;
    if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\' && path[path.GetLength() - 1] != L'/')
        path += L'\\';
    return path + m_current.cFileName;
}

CString CFileFind::GetFileTitle() const
{
    return WithoutExtension(GetFileName());
}

CString CFileFind::GetRoot() const
{
    return m_root;
}

ULONGLONG CFileFind::GetLength() const
{
    if (!m_hasCurrent)
        return 0;
    return (ULONGLONG(m_current.nFileSizeHigh) << 32) | m_current.nFileSizeLow;
}

bool CFileFind::GetLastWriteTime(FILETIME& time) const
{
    if (m_hasCurrent)
        time = m_current.ftLastWriteTime;
    return m_hasCurrent;
}

bool CFileFind::GetLastWriteTime(CTime& time) const
{
    return ToCTime(m_hasCurrent, m_current.ftLastWriteTime, time);
}

bool CFileFind::GetCreationTime(FILETIME& time) const
{
    if (m_hasCurrent)
        time = m_current.ftCreationTime;
    return m_hasCurrent;
}

bool CFileFind::GetCreationTime(CTime& time) const
{
    return ToCTime(m_hasCurrent, m_current.ftCreationTime, time);
}

bool CFileFind::GetLastAccessTime(FILETIME& time) const
{
    if (m_hasCurrent)
        time = m_current.ftLastAccessTime;
    return m_hasCurrent;
}

bool CFileFind::GetLastAccessTime(CTime& time) const
{
    return ToCTime(m_hasCurrent, m_current.ftLastAccessTime, time);
}

DWORD CFileFind::GetAttributes() const
{
    return m_hasCurrent ? m_current.dwFileAttributes : 0;
}

bool CFileFind::MatchesMask(DWORD mask) const
{
    return m_hasCurrent && (m_current.dwFileAttributes & mask) != 0;
}

bool CFileFind::IsDots() const
{
    if (!m_hasCurrent || !(m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const wchar_t* n = m_current.cFileName;
    return n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0));
}
