// CBackupThread: the policy's server folder, the folder walk and the per-file exchange.
#include "BackupThread.h"
#include "FileUtils.h"
#include "Files.h"
#include "ToviProto.h"
#include "TraceLog.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

const wchar_t kForceClose[] = L"Force close network";
// A listing of one folder never needs more pages than this.
const int kMaxPages = 10000;

// Codes of a folder creation that found the folder already there.
bool AlreadyThere(int code)
{
    return code == 1310 || code == 1328 || code == 2300;
}

// Local time of a file time as "YYYYMMDDhhmmss"; empty when it cannot be converted.
std::string LocalTimeText(const FILETIME& utc)
{
    FILETIME local;
    SYSTEMTIME st;
    if ((utc.dwLowDateTime == 0 && utc.dwHighDateTime == 0) || !FileTimeToLocalFileTime(&utc, &local) ||
        !FileTimeToSystemTime(&local, &st))
        return std::string();
    char text[15];
    snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", st.wYear % 10000, st.wMonth % 100, st.wDay % 100,
             st.wHour % 100, st.wMinute % 100, st.wSecond % 100);
    return text;
}

CString SystemText(DWORD code)
{
    wchar_t* buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    CString text = buffer ? buffer : L"";
    if (buffer)
        LocalFree(buffer);
    text.TrimRight();
    if (text.IsEmpty())
        text.Format(L"error %u", static_cast<unsigned>(code));
    return text;
}

} // namespace

int CBackupThread::FailItem(const CString& path, const CString& text, int result)
{
    UpdateBackupLog(path, L"FAIL", text);
    ++m_nFailed;
    return result;
}

bool CBackupThread::ExistingFolderKeys(const char* parentIdx, const char* parentDidx, const CString& name,
                                       char* idx, char* didx)
{
    // The creation's answer stays what the caller reports when the folder cannot be found.
    const _RESULT_INFO answer = m_pProto->ResultInfo;
    bool found = false, listed = true;
    for (int page = 0; page < kMaxPages && !found; ++page) {
        if (m_pProto->GetFolderInfo(const_cast<char*>(parentIdx), const_cast<char*>(parentDidx),
                                    const_cast<char*>("D"), true, page == 0) != 0) {
            listed = false;   // the listing's own failure is what the caller reports
            break;
        }
        for (const _PROTO_FOLDER_INFO& item : m_pProto->FolderInfo) {
            if (!strcmp(item.ItemType, "D") && !_wcsicmp(item.Name, name.GetString()) && item.IDX[0]) {
                memcpy(idx, item.IDX, 9);
                memcpy(didx, item.DIDX, 9);
                idx[9] = didx[9] = '\0';
                found = true;
                break;
            }
        }
        if (m_pProto->ContinueFlag[0] != 'Y')
            break;
    }
    m_pProto->ReleaseFolderInfo();
    if (!found && listed)
        m_pProto->ResultInfo = answer;
    return found;
}

int CBackupThread::UploadPolicyFolder(CString name, char* index, char* key)
{
    if (m_bCancel)
        return 1;
    SendPath(name);
    int result = m_pProto->GetMakeNewDir(index, key, name.GetString(), const_cast<char*>("1"));
    if (result == 0) {
        memcpy(m_szTargetIdx, m_pProto->CurFolderInfo.IDX, sizeof m_szTargetIdx);
        memcpy(m_szTargetDidx, m_pProto->CurFolderInfo.DIDX, sizeof m_szTargetDidx);
        m_szTargetIdx[9] = m_szTargetDidx[9] = '\0';
        if (m_szTargetIdx[0])
            CToviRegistry::SetBackupPolicyID(0, m_policy.PolicyID, CString(), CString(m_szTargetIdx));
    } else {
        const int code = m_pProto->ResultInfo.nResultCode;
        if (code == 1213)
            return -2;
        // Already there (an earlier run made it): its files go into it, under its own keys.
        char idx[10] = {}, didx[10] = {};
        if (!AlreadyThere(code) || !ExistingFolderKeys(index, key, name, idx, didx))
            return -1;
        memcpy(m_szTargetIdx, idx, sizeof m_szTargetIdx);
        memcpy(m_szTargetDidx, didx, sizeof m_szTargetDidx);
        CToviRegistry::SetBackupPolicyID(0, m_policy.PolicyID, CString(), CString(m_szTargetIdx));
        result = 0;
    }
    return m_bCancel ? 1 : result;
}

int CBackupThread::UploadFolder(bool top, CString path, char* index, char* key)
{
    const CString name = CFileUtils::GetFileName(const_cast<wchar_t*>(path.GetString()));
    if (m_bCancel)
        return 1;
    SendPath(path);
    InsertBackupLog(path, L"D", -1, L"WAIT");
    // A policy folder that is gone fails alone: no server folder for it, and the run goes on.
    const DWORD attributes = GetFileAttributesW(path.GetString());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return FailItem(path, SystemText(attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_DIRECTORY), 2);

    char ownIdx[10] = {};
    char ownDidx[10] = {};
    int result = m_pProto->GetMakeNewDir(index, key, name.GetString(), const_cast<char*>("1"));
    if (result != 0) {
        const int code = m_pProto->ResultInfo.nResultCode;
        if (code == 1213)
            return FailItem(path, kForceClose, -2);
        if (!AlreadyThere(code))
            return FailItem(path, m_pProto->ResultInfo.wszMessage, -1);
        // Already there: without its keys its files would land elsewhere, so it fails alone.
        if (!ExistingFolderKeys(index, key, name, ownIdx, ownDidx)) {
            if (m_pProto->ResultInfo.nResultCode >= 1 && m_pProto->ResultInfo.nResultCode <= 19)
                return FailItem(path, m_pProto->ResultInfo.wszMessage, -1);
            return FailItem(path, m_pProto->ResultInfo.wszMessage, 2);
        }
        result = 0;
    } else {
        memcpy(ownIdx, m_pProto->CurFolderInfo.IDX, sizeof ownIdx - 1);
        memcpy(ownDidx, m_pProto->CurFolderInfo.DIDX, sizeof ownDidx - 1);
    }
    if (top && ownIdx[0])
        CToviRegistry::SetBackupPolicyID(1, m_strPolicyKey, path, CString(ownIdx));
    UpdateBackupLog(path, L"COMPLETE", L"");
    if (m_bCancel)
        return 1;

    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*.*").GetString(), &fd);
    if (h == INVALID_HANDLE_VALUE) {
        // A folder that cannot be listed fails alone; the run goes on with the next item.
        return FailItem(path, SystemText(GetLastError()), 2);
    }
    do {
        if (!_wcsicmp(fd.cFileName, L".") || !_wcsicmp(fd.cFileName, L".."))
            continue;
        const CString child = path + L"\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            result = UploadFolder(false, child, ownIdx, ownDidx);
        else
            result = UploadFile(child, ownIdx, ownDidx);
        if (result == 1 || result == -1 || result == -2)
            break;
    } while (!m_bCancel && FindNextFileW(h, &fd));
    FindClose(h);
    return result;
}

int CBackupThread::UploadFile(CString path, char* index, char* key)
{
    if (m_bCancel)
        return 1;
    wchar_t drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
    _wsplitpath_s(path.GetString(), drive, dir, fname, ext);
    const CString name = CString(fname) + ext;
    const CString folder = CString(drive) + dir;

    // A file that vanished since the scan fails alone, with a row of its own.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.GetString(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        InsertBackupLog(path, L"F", 0, L"WAIT");
        return FailItem(path, SystemText(error), 2);
    }
    const __int64 size = static_cast<__int64>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    InsertBackupLog(path, L"F", size, L"WAIT");

    CFile file;
    CFileException failure;
    if (!file.Open(path.GetString(), CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary, &failure)) {
        CString reason = failure.GetErrorMessage();
        wcsncpy_s(m_wszFileError, 1024, reason.GetString(), _TRUNCATE);
        return FailItem(path, m_wszFileError, 2);
    }
    FILETIME created = {}, written = {};
    std::string createdText, writtenText;
    if (GetFileTime(file.m_hFile, &created, nullptr, &written)) {
        createdText = LocalTimeText(created);
        writtenText = LocalTimeText(written);
    }

    SendPath(path);
    if (m_pProto->GetUploadInfo(index, key, name.GetString(), folder.GetString(), size, &createdText[0],
                                &writtenText[0], m_szGroupKey) != 0) {
        const uint32_t reply = m_pProto->ResultInfo.nReplyCmd;
        const int code = m_pProto->ResultInfo.nResultCode;
        const CString message = m_pProto->ResultInfo.wszMessage;
        file.Close();
        if (reply == C_ERROR_WARN) {
            UpdateBackupLog(path, L"SKIP", message);
            ++m_nSkipped;
            return 2;
        }
        if (reply == C_ERROR && code == 1213)
            return FailItem(path, kForceClose, -2);
        if (reply == C_ERROR && code >= 1 && code <= 19)
            return FailItem(path, message, -1);
        return FailItem(path, message, reply == C_ERROR ? 2 : -1);
    }

    auto cancelFile = [&]() -> int {
        file.Close();
        if (m_pProto->GetUploadCancel() == 0) {
            UpdateBackupLog(path, L"CANCEL", L"");
            return 1;
        }
        if (m_pProto->ResultInfo.nResultCode == 1213)
            return FailItem(path, kForceClose, -2);
        return FailItem(path, m_pProto->ResultInfo.wszMessage, -1);
    };
    if (m_bCancel)
        return cancelFile();

    CString status = L"COMPLETE";
    __int64 offset = 0;
    const char* mode = "0";
    if (m_pProto->UploadInfo.szStoredSize[0]) {
        const __int64 serverSize = _atoi64(m_pProto->UploadInfo.szStoredSize);
        const unsigned long serverSum = static_cast<unsigned long>(_atoi64(m_pProto->UploadInfo.szStoredChecksum));
        const unsigned long localSum = CFileUtils::ComputeChecksum(path, serverSize);
        bool overwrite = false;
        if (serverSum == localSum && size > serverSize) {
            mode = "3";
            offset = serverSize;
        } else if (serverSum == localSum && size == serverSize) {
            mode = "2";
        } else if (m_nOverwriteMode == 1) {
            overwrite = true;
        } else if (m_nOverwriteMode == 2) {
            COleDateTime server;
            server.ParseDateTime(m_pProto->UploadInfo.wszFileTime);
            const COleDateTime local(written);
            overwrite = server.GetStatus() == COleDateTime::valid && local.GetStatus() == COleDateTime::valid &&
                        local > server;
            if (!overwrite) {
                mode = "2";
                status = L"SKIP";
                ++m_nSkipped;
            }
        } else if (m_nOverwriteMode == 0) {
            mode = "2";
            status = L"SKIP";
            ++m_nSkipped;
        }
        if (overwrite) {
            mode = "1";
            status = L"OVERWRITE";
            ++m_nOverwritten;
        }
    }

    if (m_bCancel)
        return cancelFile();
    // A new file needs no decision: its data follows the announcement at once.
    const bool known = m_pProto->UploadInfo.szStoredSize[0] != '\0';
    if (known && m_pProto->GetUploadOverWrite(const_cast<char*>(mode)) != 0) {
        const uint32_t reply = m_pProto->ResultInfo.nReplyCmd;
        const int code = m_pProto->ResultInfo.nResultCode;
        const CString message = m_pProto->ResultInfo.wszMessage;
        file.Close();
        if (reply != C_ERROR && reply != C_ERROR_WARN)
            return FailItem(path, message, -1);
        if (reply == C_ERROR && code == 1213)
            return FailItem(path, kForceClose, -2);
        if (code >= 1 && code <= 19)
            return FailItem(path, message, -1);
        UpdateBackupLog(path, L"SKIP", message);
        ++m_nFailed;
        return 2;
    }
    if (!strcmp(mode, "2")) {
        file.Close();
        SendProgress(size);
        UpdateBackupLog(path, status, L"");
        return 2;
    }

    if (file.Seek(offset, CFile::begin) == CFile::kSeekFailed) {
        file.Close();
        return FailItem(path, SystemText(GetLastError()), 2);
    }
    SendProgress(offset);
    m_pProto->SetPolicyKey(m_strPolicyKey, m_nThreadID);
    m_nStreamBytes = 0;
    const int sent = m_pProto->GetUploadFile(m_hRelay, file, size, offset);
    if (sent != 0) {
        const int code = m_pProto->ResultInfo.nResultCode;
        const CString message = m_pProto->ResultInfo.wszMessage;
        file.Close();
        if (code == 1213)
            return FailItem(path, kForceClose, -2);
        if (code >= 1 && code <= 19)
            return FailItem(path, message, -1);
        UpdateBackupLog(path, L"SKIP", message);
        ++m_nFailed;
        return 2;
    }
    file.Close();
    if (m_bCancel)
        return cancelFile();
    // A stream that stopped before its end reports success too: only a whole file counts.
    const uint64_t expected = static_cast<uint64_t>(size - offset);
    if (m_nStreamBytes != expected) {
        CString text;
        text.Format(L"%I64u / %I64u", m_nStreamBytes, expected);
        FailItem(path, text, 2);
        // The server still waits for the rest of the stream: start over on a new connection.
        m_pProto->CloseSocket();
        return Connect() ? 2 : -1;
    }
    ++m_nUploaded;
    UpdateBackupLog(path, status, L"");
    return 0;
}
