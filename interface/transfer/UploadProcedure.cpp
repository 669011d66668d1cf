// CUploadDlg: the upload procedure on its worker thread: folders, files, decisions, retries
// and the run's result.
#include "UploadDlg.h"
#include "DialogKit.h"
#include "FileDuplicateDlg.h"
#include "FileUtils.h"
#include "Files.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferRes.h"
#include "TransferTaskbar.h"
#include "UploadDecision.h"
#include "UploadEcm.h"
#include <memory>
#include "WinThread.h"

namespace {

const UINT_PTR kRefreshTimer = 5;
const UINT kRefreshMs = 10000;

CString FileTimeText(const FILETIME& time)
{
    CString text;
    FILETIME local;
    SYSTEMTIME st;
    if ((time.dwLowDateTime == 0 && time.dwHighDateTime == 0) || !::FileTimeToLocalFileTime(&time, &local) ||
        !::FileTimeToSystemTime(&local, &st))
        return text;
    text.Format(L"%04d%02d%02d%02d%02d%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
    return text;
}

std::string Narrow(const CString& text)
{
    std::string out;
    for (int i = 0; i < text.GetLength(); ++i)
        out.push_back(static_cast<char>(text[i]));
    return out;
}

CString NamePart(const CString& path)
{
    const int at = path.ReverseFind(L'\\');
    return at >= 0 ? path.Mid(at + 1) : path;
}

CString FolderPart(const CString& path)
{
    const int at = path.ReverseFind(L'\\');
    return at >= 0 ? path.Left(at) : CString();
}

CString SystemErrorText(DWORD error)
{
    wchar_t buffer[1024] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer, 1023,
                     nullptr);
    CString text = buffer;
    text.TrimRight();
    if (text.IsEmpty())
        text.Format(L"%lu", error);
    return text;
}

}

// ---- The worker ----

UINT CUploadDlg::UploadWorker(LPVOID param)
{
    CUploadDlg* dlg = static_cast<CUploadDlg*>(param);
    dialogkit::ApplyThreadLanguage();
    CallExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    // The document-management component is a COM object.
    const bool com = SUCCEEDED(::CoInitialize(nullptr));
    dlg->CreateRelay(false);
    dlg->Upload();
    dlg->DestroyRelay();
    if (com)
        ::CoUninitialize();
    ::PostMessageW(dlg->m_hWnd, WM_UPLOAD_FINISH, 0, 0);
    CallExecutionState(ES_CONTINUOUS);
    return 0;
}

bool CUploadDlg::NextItem(_UPLOADINFO& item)
{
    std::lock_guard<std::mutex> lock(m_itemsLock);
    if (m_nNextIndex >= m_items.size())
        return false;
    item = m_items[m_nNextIndex];
    return true;
}

void CUploadDlg::Upload()
{
    m_bCancel = false;
    RunOnUi([this] {
        m_btnCancel.SetWindowText(CToviString::GetString(14064).GetString());
        m_btnCancel.EnableWindow(TRUE);
        m_btnCancel.Invalidate();
        if (m_pTaskbar)
            m_pTaskbar->SetOverlayIcon(m_hWnd, nullptr, L"");
        m_strLastRate.Empty();
        m_barFile.SetWindowText(L"");
        m_barFile.SetRange32(0, 100);
        m_barFile.SetPos(0);
        SetTimer(kRefreshTimer, kRefreshMs);
    });
    upload::MakeGroupKey(m_szGroupKey);
    m_nSent = 0;
    m_nFailed = 0;
    m_nResultErrors = 0;
    m_strApplyAll.clear();
    const auto killTimer = [this] { RunOnUi([this] { KillTimer(kRefreshTimer); }); };
    m_bRunStopped = false;

    _UPLOADINFO item;
    while (!m_bCancel && NextItem(item)) {
        m_nItemData = item.ItemData;
        int result;
        if (item.Attributes & UPLOADINFO_FOLDER)
            result = UploadFolder(item.LocalPath, item.FirstId, item.SecondId);
        else
            result = UploadFile(item.SecondId, item.LocalPath, item.FirstId);
        {
            // The item has had its turn whatever came of it: its row has moved on too.
            std::lock_guard<std::mutex> lock(m_itemsLock);
            ++m_nNextIndex;
        }
        if (result == kStepForceStop || result == kStepAbandoned || result == kStepStopRun)
            HoldRemaining();
        if (result == kStepForceStop) {
            TraceLog(2048, L"[ CUploadDlg::Upload ] UPLOAD ERROR --> UPLOAD_STOP_FORCE! \n");
            killTimer();
            return;
        }
        if (result == kStepAbandoned) {
            ++m_nAbandoned;
            killTimer();
            ShowMessage(m_pProto->ResultInfo.wszMessage, MB_ICONERROR);
            return;
        }
        if (result == kStepStopRun) {
            killTimer();
            if (!m_bCancel)
                ShowMessage(m_pProto->ResultInfo.wszMessage, MB_ICONERROR);
            break;
        }
        TraceLog(1, L"[ CUploadDlg::Upload ] Iter Count = %d", static_cast<int>(GetNextIndex()));
    }
    killTimer();
    if (m_bCancel)
        return;
    if (m_nSent > 0)
        ResultPhase();

    unsigned finalText = 14152;
    if (m_nFailed >= 1 && m_nResultErrors == 0) {
        finalText = 14245;
        TraceLog(1, L"[ CUploadDlg::Upload ] WM_UPLOAD_RESULT SEND - ErrorFileCount : %d", m_nFailed.load());
        ::PostMessageW(m_hWnd, WM_UPLOAD_RESULT, 0, 0);
    }
    SetCurrentText(CToviString::GetString(finalText));
    SetCurrentBar(100);
    if (m_hOwner)
        ::PostMessageW(m_hOwner, WM_UPLOAD_DONE, m_nItemData, 0);
    Notify(0, CString());
}

void CUploadDlg::ResultPhase()
{
    m_bResultPhase = true;
    SetCurrentText(CToviMsg::GetString(12058));
    SetMarquee(true);
    int attempt = 0;
    for (;;) {
        if (m_bCancel) {
            TraceLog(1, L"UPLOAD_CANCEL! \n");
            break;
        }
        if (m_pProto->GetUploadResult(m_szGroupKey) != 0) {
            // The data of the last file goes out unanswered: a connection the server dropped
            // at its end shows only here. A new connection asks again; the server's answer
            // then tells how that file ended.
            const upload::FailureAction action = upload::ClassifyFailure(
                upload::Step::Announce, m_pProto->ResultInfo.nReplyCmd, m_pProto->ResultInfo.nResultCode);
            if (action.kind == upload::FailureAction::Retry && ++attempt <= upload::RetryCount(m_szRetryCount)) {
                m_pProto->CloseSocket();
                if (WaitRetryDelay())
                    continue;
            }
            SetMarquee(false);
            const CString message = m_pProto->ResultInfo.wszMessage;
            Notify(1, message);
            ShowMessage(message, MB_ICONERROR);
            break;
        }
        // A reply without records would otherwise be asked again for ever.
        bool exit = m_pProto->UploadResult.empty();
        for (const _PROTO_UPLOAD_RESULT& record : m_pProto->UploadResult) {
            if (strcmp(record.szContinue, "Y") == 0) {
                if (m_bCancel) {
                    TraceLog(1, L"[ CUploadDlg::Upload ] UPLOAD_CANCEL!! --> EXIT! \n");
                    exit = true;
                    break;
                }
            } else if (strcmp(record.szContinue, "N") == 0) {
                const unsigned text = m_nAbandoned > 0 ? 14245 : 14152;
                SetCurrentText(CToviString::GetString(text));
                SetMarquee(false);
                SetCurrentBar(100);
                exit = true;
            } else {
                TraceLog(1, L"[ CUploadDlg::Upload ] GetUploadResult ERROR -- %s : %s \n", record.wszName,
                         record.wszErrString);
                std::lock_guard<std::mutex> lock(m_errorLock);
                m_vecError.push_back(record);
                ++m_nResultErrors;
            }
        }
        if (exit)
            break;
    }
    m_bResultPhase = false;
    if (m_nResultErrors > 0) {
        TraceLog(1, L"[ CUploadDlg::Upload ] WM_UPLOAD_RESULT SEND - ResultErrorFileCount : %d \n",
                 m_nResultErrors.load());
        ::PostMessageW(m_hWnd, WM_UPLOAD_RESULT, 0, 0);
    }
}

// ---- Small steps ----

void CUploadDlg::HoldRemaining()
{
    // A stopped run does not go on by itself: its remaining items wait, with the index at the
    // first of them, for the next run that items added later start.
    m_bRunStopped = true;
}

bool CUploadDlg::IsMarkedSite() const
{
    return m_strCustomerCode == L"MAREVSYS" && strcmp(m_option.Approval, "Y") == 0;
}

void CUploadDlg::RowDone(const CString& path)
{
    SetRowStatus(path, IsMarkedSite() ? kRowDoneMarked : kRowDone);
}

void CUploadDlg::ApplyConnectionLimits()
{
    char bandWidth[16];
    {
        std::lock_guard<std::mutex> lock(m_itemsLock);
        memcpy(bandWidth, m_szBandWidth, sizeof bandWidth);
    }
    // A reconnect after a failure makes a fresh connection without them.
    if (bandWidth[0])
        m_pProto->SetBandWidth(bandWidth);
    if (m_szFactor[0])
        m_pProto->SetUpDownFactor(m_szFactor);
}

void CUploadDlg::InsertLogItem(int kind, const CString& reason)
{
    const CString text = kind == 1 ? CString(m_pProto->ResultInfo.wszMessage) : reason;
    const CString name = m_strWorkItem;
    size_t count;
    {
        _PROTO_UPLOAD_RESULT record = {};
        wcsncpy(record.wszName, name.GetString(), 511);
        wcsncpy(record.wszErrString, text.GetString(), 1023);
        std::lock_guard<std::mutex> lock(m_errorLock);
        m_vecError.push_back(record);
        count = m_vecError.size();
    }
    TraceLog(2048, L"[ CUploadDlg:: InsertLogItem ]※※※ ERROR ※※※ %s : %s (%d)\n", name.GetString(),
             text.GetString(), static_cast<int>(count));
    PostToUi([this, name, text] {
        const int row = m_log.InsertItem(m_log.GetItemCount(), CToviString::GetString(14093).GetString(), 0);
        m_log.SetItemText(row, 1, name.GetString());
        m_log.SetItemText(row, 2, text.GetString());
        m_log.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
        m_log.EnsureVisible(row, FALSE);
        m_log.Invalidate();
    });
}

std::string CUploadDlg::AskConflict(const CString& name, bool file, BYTE* applyAll)
{
    *applyAll = 0;
    if (m_bCancel)
        return file ? "4" : "";
    CFileDuplicateDlg prompt(this);
    prompt.m_strName = name;
    prompt.m_szKind[0] = file ? 'F' : 'D';
    const INT_PTR answer = prompt.DoModal();
    *applyAll = prompt.m_bApplyAll;
    if (!file)
        return answer == CFileDuplicateDlg::kCancel ? "" : "1";
    return upload::FileConflictMode(answer);
}

bool CUploadDlg::WaitRetryDelay()
{
    const unsigned delay = upload::RetryDelayMs(m_szRetryTimeout);
    for (unsigned waited = 0; waited < delay; waited += 50) {
        if (m_bCancel)
            return false;
        ::Sleep(50);
    }
    return !m_bCancel;
}

// ---- Folders ----

int CUploadDlg::UploadFolder(const CString& path, const char* firstId, const char* secondId)
{
    TraceLog(1, L" [ CUploadDlg::UploadFolder ] START! %s\n", path.GetString());
    const auto killTimer = [this] { RunOnUi([this] { KillTimer(kRefreshTimer); }); };
    const CString name = NamePart(path);
    const CString folder = FolderPart(path);
    m_strWorkItem = name;
    PostToUi([this, name, folder] {
        m_strItemName = name;
        SetDlgItemText(IDC_UPLOAD_FOLDER, folder.GetString());
        SetDlgItemText(IDC_UPLOAD_FILE, name.GetString());
    });
    SetRowStatus(path, kRowRunning);

    char newFirst[10] = {};
    char newSecond[10] = {};
    int attempt = 0;
    bool existsAsked = false;
    bool created = false;
    while (!m_bCancel) {
        CString text;
        text.Format(L"%s : %s", CToviString::GetString(14088), name);
        SetCurrentText(text);
        SetCurrentBar(0);
        if (m_pProto->GetMakeNewDir(const_cast<char*>(firstId), const_cast<char*>(secondId), name.GetString(),
                                    const_cast<char*>("1")) == 0) {
            memcpy(newFirst, m_pProto->CurFolderInfo.IDX, sizeof newFirst);
            memcpy(newSecond, m_pProto->CurFolderInfo.DIDX, sizeof newSecond);
            newFirst[9] = newSecond[9] = 0;
            RowDone(path);
            SetCurrentBar(100);
            created = true;
            break;
        }
        const uint32_t reply = m_pProto->ResultInfo.nReplyCmd;
        const int code = m_pProto->ResultInfo.nResultCode;
        TraceLog(2048, L"[ CUploadDlg::UploadFolder ] ERROR type = %d\n ", code);
        killTimer();
        if (reply == C_ERROR && code >= 1000 && code <= 1999) {
            if (code == 1213) {
                m_strForceStopText = m_pProto->ResultInfo.wszMessage;
                m_bForceStopped = true;
                return kStepForceStop;
            }
            if (code != 1310)
                return kStepStopRun;
            // The folder exists and the server would not merge into it. Ask once; the same
            // answer again cannot change the server's mind.
            if (existsAsked) {
                InsertLogItem(1, CString());
                SetRowStatus(path, kRowFailed);
                ++m_nFailed;
                return kStepSkipped;
            }
            existsAsked = true;
            BYTE applyAll = 0;
            if (!m_bFolderApplyAll) {
                if (AskConflict(name, false, &applyAll).empty())
                    return kStepStopRun;
                if (applyAll)
                    m_bFolderApplyAll = true;
            }
            continue;
        }
        InsertLogItem(1, CString());
        Notify(1, m_pProto->ResultInfo.wszMessage);
        m_pProto->CloseSocket();
        if (++attempt > upload::RetryCount(m_szRetryCount)) {
            SetRowStatus(path, kRowFailed);
            return kStepAbandoned;
        }
        if (!WaitRetryDelay())
            break;
        Notify(-1, CString());
    }
    if (!created || m_bCancel) {
        killTimer();
        return kStepStopRun;
    }

    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((path + L"\\*.*").GetString(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        TraceLog(2048, L"[ CUploadDlg::UploadFolder ] FindFirstFile -- INVALID_HANDLE_VALUE [ %d ] \n",
                 static_cast<int>(error));
        // The folder cannot be read: its contents fail, the rest of the run goes on.
        InsertLogItem(2, SystemErrorText(error));
        ++m_nFailed;
        Notify(1, SystemErrorText(error));
        return kStepSkipped;
    }
    int last = kStepSent;
    do {
        if (_wcsicmp(found.cFileName, L".") == 0 || _wcsicmp(found.cFileName, L"..") == 0)
            continue;
        if (m_bCancel) {
            killTimer();
            last = kStepStopRun;
            break;
        }
        const CString child = path + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            last = UploadFolder(child, newFirst, newSecond);
        else
            last = UploadFile(newSecond, child, newFirst);
        if (last == kStepStopRun || last == kStepAbandoned || last == kStepForceStop)
            break;
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    TraceLog(1, L" [ CUploadDlg::UploadFolder ] END!\n");
    return last;
}

// ---- Files ----

int CUploadDlg::ECMUpload(CString& source)
{
    CString message;
    bool allowed;
    if (m_strCustomerCode != upload::kEcmSite) {
        allowed = true;
    } else {
        std::unique_ptr<CUploadEcm> ecm(CUploadEcm::Create());
        allowed = upload::EcmAllows(m_strCustomerCode, ecm.get(), source, message);
    }
    if (!allowed) {
        wchar_t* out = m_pProto->ResultInfo.wszMessage;
        const size_t room = _countof(m_pProto->ResultInfo.wszMessage);
        wcsncpy(out, message.GetString(), room - 1);
        out[room - 1] = 0;
    }
    return allowed ? 1 : 0;
}

int CUploadDlg::CancelFile(const CString& path)
{
    RunOnUi([this] { KillTimer(kRefreshTimer); });
    if (m_pProto->GetUploadCancel() != 0) {
        SetRowStatus(path, kRowFailed);
        if (m_pProto->ResultInfo.nReplyCmd == C_ERROR && m_pProto->ResultInfo.nResultCode == 1213) {
            m_strForceStopText = m_pProto->ResultInfo.wszMessage;
            m_bForceStopped = true;
            return kStepForceStop;
        }
        ShowMessage(m_pProto->ResultInfo.wszMessage, MB_ICONERROR);
        return kStepStopRun;
    }
    SetRowStatus(path, kRowCancelled);
    return kStepStopRun;
}

int CUploadDlg::HandleFailure(int step, const CString& path, bool& retried, int& attempt, bool& again)
{
    again = false;
    const upload::FailureAction action =
        upload::ClassifyFailure(static_cast<upload::Step>(step), m_pProto->ResultInfo.nReplyCmd,
                                m_pProto->ResultInfo.nResultCode);
    const CString message = m_pProto->ResultInfo.wszMessage;
    switch (action.kind) {
    case upload::FailureAction::ForceStop:
        SetRowStatus(path, action.rowStatus);
        m_strForceStopText = message;
        m_bForceStopped = true;
        return kStepForceStop;
    case upload::FailureAction::StopRun:
    case upload::FailureAction::SkipFile:
        if (action.logItem)
            InsertLogItem(1, CString());
        if (action.rowStatus)
            SetRowStatus(path, action.rowStatus);
        Notify(1, message);
        ++m_nFailed;
        return action.result;
    case upload::FailureAction::Retry:
        break;
    }
    InsertLogItem(1, CString());
    Notify(1, message);
    retried = true;
    m_nTotalDone -= m_nFileDone.exchange(0);
    if (++attempt > upload::RetryCount(m_szRetryCount)) {
        SetRowStatus(path, kRowFailed);
        ++m_nFailed;
        return kStepAbandoned;
    }
    m_pProto->CloseSocket();
    if (!WaitRetryDelay())
        return CancelFile(path);
    Notify(-1, CString());
    again = true;
    return kStepSent;
}

int CUploadDlg::UploadFile(const char* secondId, const CString& path, const char* firstId)
{
    TraceLog(1, L"[ CUploadDlg::UploadFile] %s", path.GetString());
    m_bConflictShown = false;
    if (m_bCancel)
        return kStepStopRun;
    // The row stays the item's; what is read and announced may be the component's link file.
    CString source = path;
    if (!ECMUpload(source)) {
        TraceLog(1, L"[ CUploadDlg::UploadFile ] ECMUpload = FALSE\n");
        SetRowStatus(path, kRowFailed);
        Notify(1, m_pProto->ResultInfo.wszMessage);
        ++m_nFailed;
        return kStepStopRun;
    }
    const CString name = NamePart(source);
    const CString folder = FolderPart(source);
    m_strWorkItem = name;
    PostToUi([this, name, folder] {
        m_strItemName = name;
        SetDlgItemText(IDC_UPLOAD_FOLDER, folder.GetString());
        SetDlgItemText(IDC_UPLOAD_FILE, name.GetString());
    });
    bool retried = false;
    int attempt = 0;
    std::string remembered = "0";
    SetRowStatus(path, kRowRunning);

    for (;;) {
        if (m_bCancel)
            return CancelFile(path);
        CFile file;
        CFileException failure;
        if (!file.Open(source.GetString(), CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary, &failure)) {
            TraceLog(2048, L"[ CUploadDlg::UploadFile ] File Open Error [%d]\n", failure.m_cause);
            CString reason = failure.GetErrorMessage();
            if (reason.GetLength() > 1023)
                reason = reason.Left(1023);
            InsertLogItem(2, reason);
            SetRowStatus(path, kRowFailed);
            Notify(1, reason);
            ++m_nFailed;
            return kStepSkipped;
        }
        const ULONGLONG length = file.GetLength();
        if (length == CFile::kSeekFailed) {
            SetRowStatus(path, kRowCancelled);
            Notify(1, CString());
            ++m_nFailed;
            return kStepSkipped;
        }
        const __int64 size = static_cast<__int64>(length);
        m_nFileSize = size;
        m_nFileDone = 0;
        FILETIME created = {}, written = {};
        ::GetFileTime(file.m_hFile, &created, nullptr, &written);
        std::string createdText = Narrow(FileTimeText(created));
        std::string writtenText = Narrow(FileTimeText(written));

        bool again = false;
        if (m_pProto->GetUploadInfo(const_cast<char*>(firstId), const_cast<char*>(secondId), name.GetString(), L"",
                                    size, &createdText[0], &writtenText[0], m_szGroupKey) != 0) {
            TraceLog(2048, L"[ CUploadDlg::UploadFile ] GetUploadInfo Failed [ %d ].\n",
                     m_pProto->ResultInfo.nResultCode);
            file.Close();
            RunOnUi([this] { KillTimer(kRefreshTimer); });
            const int result = HandleFailure(static_cast<int>(upload::Step::Announce), path, retried, attempt, again);
            if (again)
                continue;
            return result;
        }

        std::string mode;
        __int64 offset = 0;
        const char* stored = m_pProto->UploadInfo.szStoredSize;
        if (stored[0]) {
            const __int64 storedSize = _strtoi64(stored, nullptr, 10);
            const unsigned long local = CFileUtils::ComputeChecksum(source, storedSize);
            mode = upload::DecideServerCopy(stored, m_pProto->UploadInfo.szStoredChecksum, local, size);
            if (mode == "2")
                TraceLog(1024, L"[ CUploadDlg::UploadFile ] ADLER - SKIP \n");
            if (mode == "3")
                offset = storedSize;
            if (mode == "1") {
                m_bConflictShown = true;
                mode = upload::ConflictModeWithoutPrompt(m_strApplyAll, retried, remembered);
                if (mode.empty()) {
                    BYTE applyAll = 0;
                    mode = AskConflict(name, true, &applyAll);
                    remembered = mode;
                    if (applyAll)
                        m_strApplyAll = mode;
                }
            }
        }

        if (!mode.empty() && m_pProto->GetUploadOverWrite(&mode[0]) != 0) {
            TraceLog(2048, L"[ CUploadDlg::UploadFile ] GetUploadInfo GetUploadOverWrite [ %d ].\n",
                     m_pProto->ResultInfo.nResultCode);
            file.Close();
            RunOnUi([this] { KillTimer(kRefreshTimer); });
            const int result = HandleFailure(static_cast<int>(upload::Step::Confirm), path, retried, attempt, again);
            if (again)
                continue;
            return result;
        }
        if (mode == "2") {
            file.Close();
            if (m_bConflictShown) {
                SetRowStatus(path, kRowCancelled);
            } else {
                CountProgress(0, size);
                RowDone(path);
            }
            return kStepSkipped;
        }
        if (mode == "4") {
            file.Close();
            RunOnUi([this] { KillTimer(kRefreshTimer); });
            SetRemainingRowStatus(path, kRowCancelled);
            return CancelFile(path);
        }
        if (m_bCancel) {
            file.Close();
            return CancelFile(path);
        }

        const int result = Stream(file, size, offset, path);
        if (result != kStepSent || m_nStreamResult == 0)
            return result;
        // The send failed on the wire.
        TraceLog(2048, L"[ CUploadDlg::UploadFile ] GetUploadFile GetUploadOverWrite [ %d ].\n",
                 m_pProto->ResultInfo.nResultCode);
        RunOnUi([this] { KillTimer(kRefreshTimer); });
        const int failed = HandleFailure(static_cast<int>(upload::Step::Send), path, retried, attempt, again);
        if (again)
            continue;
        return failed;
    }
}

int CUploadDlg::Stream(CFile& file, __int64 size, __int64 offset, const CString& path)
{
    m_nStreamResult = 0;
    ApplyConnectionLimits();
    if (file.Seek(offset, CFile::begin) != static_cast<ULONGLONG>(offset)) {
        const CString reason = SystemErrorText(file.GetLastOsError());
        file.Close();
        InsertLogItem(2, reason);
        SetRowStatus(path, kRowFailed);
        ++m_nFailed;
        m_pProto->GetUploadCancel();
        return kStepSkipped;
    }
    CountProgress(1, offset);
    m_nStreamed = 0;
    const int code = m_pProto->GetUploadFile(ReportWindow(), file, size, offset);
    file.Close();
    const __int64 streamed = m_nStreamed;
    if (code == 0 && streamed == size - offset) {
        RowDone(path);
        ++m_nSent;
        return kStepSent;
    }
    if (m_bCancel)
        return CancelFile(path);
    const _RESULT_INFO& result = m_pProto->ResultInfo;
    const bool readFailed = code == 0 || (code == -1 && result.nReplyCmd == C_ERROR && result.nResultCode >= 0 &&
                                          result.nResultCode < 1000 && result.wszMessage[0]);
    if (readFailed) {
        // The file could not be read to its end: this file fails, the server forgets the
        // unfinished upload, and the run goes on.
        CString reason = result.wszMessage;
        if (reason.IsEmpty())
            reason = SystemErrorText(ERROR_HANDLE_EOF);
        InsertLogItem(2, reason);
        SetRowStatus(path, kRowFailed);
        Notify(1, reason);
        ++m_nFailed;
        m_pProto->GetUploadCancel();
        return kStepSkipped;
    }
    m_nStreamResult = code;
    return kStepSent;
}
