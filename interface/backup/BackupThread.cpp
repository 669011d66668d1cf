// CBackupThread: the run (connect, scan, log, walk the policy's folders, results) and the
// worker's messages to its owner and status window.
#include "BackupThread.h"
#include "FileUtils.h"
#include "ToviConv.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "Wnd.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwchar>

IMPLEMENT_DYNCREATE(CBackupThread, CWinThread)

namespace {

const wchar_t kRelayClass[] = L"ToviBackupRelay";

void CopyField(wchar_t* dest, size_t count, const wchar_t* text)
{
    wcsncpy_s(dest, count, text ? text : L"", _TRUNCATE);
}

} // namespace

CBackupThread::CBackupThread() = default;

CBackupThread::~CBackupThread()
{
    delete m_pProto;
    m_pProto = nullptr;
}

void CBackupThread::SetBackupInfo(CWnd* owner, HWND statusWnd, CToviProto* session, CString policyKey)
{
    m_pOwner = owner;
    m_hStatusWnd = statusWnd;
    m_strPolicyKey = policyKey;
    if (!session)
        return;
    strncpy(m_szSessionId, session->LoginInfo.SessionId, sizeof m_szSessionId - 1);
    strncpy(m_szHost, session->ServerAddress.szHost, sizeof m_szHost - 1);
    m_nPort = session->ServerAddress.nPort;
    memcpy(m_szCode, session->ServerAddress.szCode, sizeof m_szCode);
    m_szCode[sizeof m_szCode - 1] = '\0';
    m_strCustomerCode = session->CustomerCode;
    if (session->OptionInfo.Factor[0])
        strncpy(m_szFactor, session->OptionInfo.Factor, sizeof m_szFactor - 1);
    strncpy(m_szConnectTimeout, session->ConnectTimeout, sizeof m_szConnectTimeout - 1);
    strncpy(m_szSocketTimeout, session->SocketTimeout, sizeof m_szSocketTimeout - 1);
    // The server names the backup target in the option block: fields 15 (the folder's
    // index) and 16 (its second key), ten bytes each.
    char idx[11] = {}, didx[11] = {};
    memcpy(idx, session->OptionInfo.Attr15, 10);
    memcpy(didx, session->OptionInfo.Attr16, 10);
    SetBackupTarget(idx, didx);
}

void CBackupThread::SetBackupTarget(const char* folderIdx, const char* folderDidx)
{
    if (folderIdx && *folderIdx) {
        strncpy(m_szTargetIdx, folderIdx, sizeof m_szTargetIdx - 1);
        strncpy(m_szTargetDidx, folderDidx ? folderDidx : "", sizeof m_szTargetDidx - 1);
    }
}

void CBackupThread::GetGroupKey()
{
    srand(static_cast<unsigned>(_time64(nullptr)));
    for (int i = 0; i < 20; ++i)
        snprintf(m_szGroupKey + i, 2, "%d", rand() % 10);
    m_szGroupKey[20] = '\0';
}

BOOL CBackupThread::InitInstance()
{
    return TRUE;
}

int CBackupThread::ExitInstance()
{
    if (m_hRelay && IsWindow(m_hRelay))
        DestroyWindow(m_hRelay);
    m_hRelay = nullptr;
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
        m_pProto = nullptr;
    }
    return CWinThread::ExitInstance();
}

// ---- Messages ---------------------------------------------------------------------------------

void CBackupThread::SendPath(const CString& path)
{
    if (!m_hStatusWnd)
        return;
    _BACKUP_PATH_INFO info = {};
    CopyField(info.PolicyKey, 15, m_strPolicyKey.GetString());
    CopyField(info.Path, 260, path.GetString());
    SendMessageW(m_hStatusWnd, WM_BACKUP_FULL_PATH, 0, reinterpret_cast<LPARAM>(&info));
}

void CBackupThread::SendProgress(__int64 bytes)
{
    if (!m_hStatusWnd)
        return;
    _UPLOAD_POLICY_PROGRESS progress = {};
    wcsncpy(progress.key, m_strPolicyKey.GetString(), 14);
    progress.bytes = static_cast<uint64_t>(bytes);
    SendMessageW(m_hStatusWnd, WM_UPLOAD_POLICY_PROGRESS, 0, reinterpret_cast<LPARAM>(&progress));
}

void CBackupThread::SendResult(const CString& text)
{
    HWND owner = m_pOwner ? m_pOwner->GetSafeHwnd() : nullptr;
    if (!owner)
        return;
    _BACKUP_RESULT_INFO info = {};
    CopyField(info.PolicyKey, 15, m_strPolicyKey.GetString());
    CopyField(info.Text, 128, text.GetString());
    SendMessageW(owner, WM_BACKUP_FOLDER_RESULT, 0, reinterpret_cast<LPARAM>(&info));
}

void CBackupThread::PostEnd()
{
    CString* key = m_pEndKey ? m_pEndKey : new CString(m_strPolicyKey);
    m_pEndKey = nullptr;
    HWND owner = m_pOwner ? m_pOwner->GetSafeHwnd() : nullptr;
    if (!owner || !PostMessageW(owner, WM_BACKUP_END, 0, reinterpret_cast<LPARAM>(key)))
        delete key;
}

void CBackupThread::EndEarly(bool logged)
{
    if (logged) {
        EndBackupLog(m_start, L"FAIL", CString());
        SendResult(L"FAIL");
    }
    PostEnd();
}

// The stream's throttle and progress come to this window on the worker's own thread. It
// keeps the stream going unless the run is cancelled (a window that ignores the throttle
// message would end the stream early and silently), counts the bytes that went out, and
// passes the progress on to the status window.
LRESULT CALLBACK CBackupThread::RelayProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CBackupThread* self = reinterpret_cast<CBackupThread*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self) {
        if (msg == WM_UPLOAD_THROTTLE)
            return self->m_bCancel ? 0 : 1;
        if (msg == WM_UPLOAD_POLICY_PROGRESS && lParam) {
            const _UPLOAD_POLICY_PROGRESS* progress = reinterpret_cast<const _UPLOAD_POLICY_PROGRESS*>(lParam);
            self->m_nStreamBytes += progress->bytes;
            if (self->m_hStatusWnd)
                SendMessageW(self->m_hStatusWnd, WM_UPLOAD_POLICY_PROGRESS, 0, lParam);
            return self->m_bCancel ? UPLOAD_REPLY_CANCEL : 1;
        }
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

bool CBackupThread::MakeRelayWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RelayProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kRelayClass;
    RegisterClassW(&wc);   // already registered by an earlier run: fine
    m_hRelay = CreateWindowExW(0, kRelayClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (!m_hRelay)
        return false;
    SetWindowLongPtrW(m_hRelay, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

// ---- Connection -------------------------------------------------------------------------------

bool CBackupThread::Connect()
{
    if (!m_pProto) {
        m_pProto = new CToviProto();
        m_pProto->NoTimerFlag = 3;
        memcpy(m_pProto->LoginInfo.SessionId, m_szSessionId, sizeof m_szSessionId);
        m_pProto->CustomerCode = m_strCustomerCode;
        strncpy(m_pProto->ConnectTimeout, m_szConnectTimeout, sizeof m_pProto->ConnectTimeout - 1);
        strncpy(m_pProto->SocketTimeout, m_szSocketTimeout, sizeof m_pProto->SocketTimeout - 1);
    }
    HWND owner = m_pOwner ? m_pOwner->GetSafeHwnd() : nullptr;
    if (m_pProto->GetSecureCode(owner, m_szHost, m_nPort, m_szCode, PROT_CMD('H', '0')) != 0) {
        TraceLog(2048, L"GetSecureCode Fail\n");
        m_pProto->CloseSocket();
        return false;
    }
    strncpy(m_pProto->ServerAddress.szHost, m_szHost, sizeof m_pProto->ServerAddress.szHost - 1);
    m_pProto->ServerAddress.strCallerText = CString(CStringA(m_szHost).GetString());
    m_pProto->ServerAddress.nPort = m_nPort;
    memcpy(m_pProto->ServerAddress.szCode, m_szCode, sizeof m_szCode);
    if (m_szFactor[0])
        m_pProto->SetUpDownFactor(m_szFactor);
    if (m_pProto->GetUploadBandWidth(m_szSessionId) == 0 && m_pProto->UploadBandWidth[0])
        m_pProto->SetBandWidth(m_pProto->UploadBandWidth);
    return true;
}

// ---- Run --------------------------------------------------------------------------------------

int CBackupThread::Run()
{
    TraceLog(1, L"[ CBackupThread::Run ] START! \n");
    m_pEndKey = new CString(m_strPolicyKey);
    if (!MakeRelayWindow() || !Connect()) {
        EndEarly(false);
        return 0;
    }
    if (GetBackupFilesInfo(m_strPolicyKey) != 0) {
        EndEarly(false);
        return 0;
    }

    m_start = COleDateTime(static_cast<int64_t>(_time64(nullptr)));
    if (!CreateBackupLog(m_start)) {
        SendResult(L"FAIL");
        PostEnd();
        return 0;
    }
    _BACKUP_START_INFO startInfo = {};
    CopyField(startInfo.PolicyKey, 15, m_strPolicyKey.GetString());
    CopyField(startInfo.StartTime, 21, CBackupLog::StartText(m_start).GetString());
    CString total;
    total.Format(L"%I64u", m_nTotalBytes);
    CopyField(startInfo.TotalBytes, 21, total.GetString());
    CopyField(startInfo.Title, 128, CToviString::GetString(14244).GetString());
    if (HWND owner = m_pOwner ? m_pOwner->GetSafeHwnd() : nullptr)
        SendMessageW(owner, WM_BACKUP_START, 0, reinterpret_cast<LPARAM>(&startInfo));
    GetGroupKey();
    m_nUploaded = m_nFailed = m_nSkipped = m_nOverwritten = 0;

    // A cancel before the policy's folder exists ends the run as cancelled, not failed.
    const int made = m_policy.PolicyName[0] ? UploadPolicyFolder(m_policy.PolicyName, m_szTargetIdx, m_szTargetDidx) : 0;
    if (made != 0 && made != 1) {
        EndEarly(true);
        return 0;
    }
    for (const auto& entry : m_folders) {
        if (made == 1)
            break;
        const int result = UploadFolder(true, CString(entry.second.FullPath), m_szTargetIdx, m_szTargetDidx);
        if (result == 1)
            break;
        if (result == -1 || result == -2) {
            EndEarly(true);
            return 0;
        }
    }

    if (m_nUploaded > 0) {
        bool again = true;
        while (again && m_pProto->GetUploadResult(m_szGroupKey) == 0) {
            again = false;
            const std::vector<_PROTO_UPLOAD_RESULT> results = m_pProto->UploadResult;
            for (const _PROTO_UPLOAD_RESULT& r : results) {
                if (r.szContinue[0] == 'Y' && !r.szContinue[1]) {
                    if (!m_bCancel) {
                        again = true;
                        break;
                    }
                } else if (!(r.szContinue[0] == 'N' && !r.szContinue[1])) {
                    ++m_nFailed;
                    UpdateBackupLog(r.wszName, L"WARNING", r.wszErrString);
                }
            }
        }
    }

    const CString status = m_nFailed > 0 ? L"FAIL" : (m_bCancel ? L"CANCEL" : L"COMPLETE");
    EndBackupLog(m_start, status, CBackupLog::RemarksText(m_nFailed, m_nSkipped, m_nOverwritten));
    SendResult(CToviString::GetBackupStatusString(status));
    PostEnd();
    return CWinThread::Run();
}

int CBackupThread::GetBackupFilesInfo(CString policyKey)
{
    m_policy = _BACKUP_POLICY_INFO();
    m_folders.clear();
    if (!CToviRegistry::GetBackupPolicy(policyKey, &m_policy, m_folders, &m_nOverwriteMode))
        return -1;
    m_nTotalBytes = 0;
    for (const auto& entry : m_folders) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(entry.second.FullPath, GetFileExInfoStandard, &data))
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ScannerDir(entry.second.FullPath);
        else
            m_nTotalBytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    if (m_hStatusWnd) {
        _BACKUP_SIZE_INFO size = {};
        CopyField(size.PolicyKey, 15, m_strPolicyKey.GetString());
        size.Bytes = static_cast<__int64>(m_nTotalBytes);
        SendMessageW(m_hStatusWnd, WM_BACKUP_TOTAL_SIZE, 0, reinterpret_cast<LPARAM>(&size));
    }
    return 0;
}

void CBackupThread::ScannerDir(CString folder)
{
    CString pattern = folder + L"\\*.*";
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(pattern.GetString(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L".."))
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ScannerDir(folder + L"\\" + fd.cFileName);
        else
            m_nTotalBytes += (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

// ---- Run logs ---------------------------------------------------------------------------------

bool CBackupThread::CreateBackupLog(const COleDateTime& start)
{
    const bool ok = m_log.Create(m_strPolicyKey, start, m_nTotalBytes);
    m_strListPath = m_log.ListPath();
    return ok;
}

bool CBackupThread::InsertBackupLog(CString path, CString type, __int64 size, CString status)
{
    return m_log.Insert(path, type, size, status);
}

bool CBackupThread::UpdateBackupLog(CString path, CString status, CString error)
{
    return m_log.Update(path, status, error);
}

bool CBackupThread::EndBackupLog(const COleDateTime& start, CString status, CString remarks)
{
    (void)start;
    if (m_log.End(status, remarks))
        return true;
    if (!m_log.LastError().IsEmpty())
        CFileUtils::ToviMessageBox(m_pOwner, m_log.LastError().GetString(), L"CorvaneIXO", MB_ICONERROR);
    return false;
}
