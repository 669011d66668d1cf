// CDownloadDlg: the download procedure, run on the download worker. One pass goes through the
// expanded items from the current index: folders become local folders, files are fetched into
// the local folder, resumed, skipped or replaced after comparing the local bytes with the
// server's copy.
#include "DownloadDlg.h"
#include "DialogKit.h"
#include "DownloadNames.h"
#include "DownloadResume.h"
#include "DownloadRes.h"
#include "FileDuplicateDlg.h"
#include "FileUtils.h"
#include "PasswordDlg.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferTaskbar.h"
#include "WinThread.h"
#include <shlobj.h>

namespace {

const int kRetry = 100;
// The server prepares a stored version in rounds; a server that never finishes is left.
const int kMaxWaitRounds = 10000;
const unsigned kMsgNameRefused = 12077;
const unsigned kMsgNetworkError = 12123;

CString SystemErrorText(DWORD error)
{
    wchar_t* buffer = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer),
                     0, nullptr);
    CString text = buffer ? buffer : L"";
    if (buffer)
        ::LocalFree(buffer);
    while (!text.IsEmpty() && (text.Right(1) == L"\n" || text.Right(1) == L"\r"))
        text = text.Left(text.GetLength() - 1);
    if (text.IsEmpty())
        text.Format(L"Error %lu", error);
    return text;
}

HANDLE TryOpenLocal(const CString& path, DWORD disposition)
{
    return ::CreateFileW(path.GetString(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE OpenLocal(const CString& path, DWORD disposition)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt <= 10; ++attempt) {
        if (attempt)
            ::Sleep(10);
        file = TryOpenLocal(path, disposition);
        if (file != INVALID_HANDLE_VALUE)
            break;
    }
    return file;
}

char* OrNull(char* text)
{
    return text && text[0] ? text : nullptr;
}

}

CDownloadDlg::PasswordPromptFn CDownloadDlg::s_pfnPasswordPrompt = CPasswordDlg::AskForFile;

UINT CDownloadDlg::DownloadThread(LPVOID param)
{
    CDownloadDlg* dlg = static_cast<CDownloadDlg*>(param);
    dialogkit::ApplyThreadLanguage();
    CallExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    dlg->CreateRelay(true);
    dlg->Download();
    dlg->DestroyRelay();
    if (dlg->m_bListBusy) {
        // Items were added: the listing starts the next pass.
        CallExecutionState(ES_CONTINUOUS);
        return 0;
    }
    dlg->m_bCancel = true;
    bool closeNow = dlg->m_bForceClosed;
    dlg->RunOnUi([dlg, &closeNow] {
        // The rows and texts the pass posted show before its end does.
        dlg->RunPosted();
        if (dlg->m_chkClose.GetCheck() == BST_CHECKED)
            closeNow = true;
        if (closeNow)
            return;
        if (dlg->m_pProto) {
            dlg->m_pProto->CloseSocket();
            delete dlg->m_pProto;
            dlg->m_pProto = nullptr;
        }
        dlg->m_btnCancel.SetWindowText(CToviString::GetString(14059).GetString());
        dlg->m_btnCancel.Invalidate();
    });
    dlg->m_bRunOver = true;
    if (closeNow)
        ::PostMessageW(dlg->m_hWnd, WM_DOWNLOAD_END, 0, 0);
    CallExecutionState(ES_CONTINUOUS);
    return 0;
}

bool CDownloadDlg::IsMarkedSite() const
{
    return m_strCustomerCode.CompareNoCase(L"MAREVSYS") == 0;
}

int CDownloadDlg::Download()
{
    m_nErrors = 0;
    m_bApplyAll = false;
    m_strApplyMode.clear();
    PostToUi([this] {
        if (m_pTaskbar)
            m_pTaskbar->SetOverlayIcon(m_hWnd, nullptr, L"");
    });
    int result = DOWNLOAD_SUCCESS;
    for (;;) {
        _DOWNLOADINFO item;
        {
            std::lock_guard<std::mutex> lock(m_itemsLock);
            if (m_nCurrentIndex >= m_expanded.size())
                break;
            item = m_expanded[m_nCurrentIndex];
        }
        if (item.Type[0] == 'D')
            result = DownloadFolder(item);
        else if (item.Type[0] == 'F')
            result = DownloadFile(item);
        else
            result = DOWNLOAD_SUCCESS;
        if (result == DOWNLOAD_STOP_FORCE)
            return result;
        if (result == DOWNLOAD_FAILED) {
            if (m_pProto)
                ShowMessage(m_pProto->ResultInfo.wszMessage, MB_ICONERROR);
            return result;
        }
        if (result == DOWNLOAD_CANCEL) {
            if (m_pProto)
                ShowMessage(m_pProto->ResultInfo.wszMessage, MB_ICONERROR);
            break;
        }
        ++m_nCurrentRow;
        ++m_nCurrentIndex;
    }
    SetBarText(m_barFile, CToviString::GetString(m_nErrors > 0 ? 14250 : 14219), 100);
    Notify(0, CString());
    return result;
}

int CDownloadDlg::StatusRow(const _DOWNLOADINFO& item)
{
    // The rows follow the expanded items one to one and were all made before the worker
    // started: the worker finds its row without asking the window.
    const int row = static_cast<int>(m_nCurrentRow);
    if (row < 0 || row >= m_nRowCount)
        return -1;
    std::lock_guard<std::mutex> lock(m_itemsLock);
    if (static_cast<size_t>(row) >= m_expanded.size())
        return -1;
    const _DOWNLOADINFO& data = m_expanded[row];
    return strcmp(data.ItemId, item.ItemId) == 0 && strcmp(data.FolderId, item.FolderId) == 0 ? row : 0;
}

void CDownloadDlg::CloseFile(HANDLE& file)
{
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
}

int CDownloadDlg::DownloadFolder(_DOWNLOADINFO item)
{
    if (m_bCancel)
        return DOWNLOAD_CANCEL;

    const int row = StatusRow(item);
    if (row < 0) {
        ++m_nErrors;
        return DOWNLOAD_FAILED;
    }
    SetRowStatus(row, kRowRunning);    m_strWorkItem = item.Name;
    ShowItem(item.Name, item.ServerPath, false);
    if (!download::IsSafeLocalName(item.Name)) {
        SetRowStatus(row, kRowFailed);
        InsertLogItem(1, CToviMsg::GetString(kMsgNameRefused));
        Notify(1, CToviMsg::GetString(kMsgNameRefused));
        ++m_nErrors;
        return DOWNLOAD_SKIP;
    }
    const CString local = download::LocalPathIn(item.DestFolder, item.Name);
    SetBarText(m_barFile, CToviString::GetString(14088) + L" : " + item.Name, 0);
    if (::GetFileAttributesW(local.GetString()) == INVALID_FILE_ATTRIBUTES) {
        if (!::CreateDirectoryW(local.GetString(), nullptr)) {
            SetRowStatus(row, kRowFailed);
            Notify(1, CToviMsg::GetString(12022));
            ShowMessage(CToviMsg::GetString(12022), MB_ICONERROR);
            ++m_nErrors;
            return DOWNLOAD_FAILED;
        }
        SetRowStatus(row, kRowDone);
        ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, local.GetString(), nullptr);
    } else {
        SetRowStatus(row, IsMarkedSite() ? kRowPresent : kRowDone);
    }
    ++m_nDone;
    return DOWNLOAD_SUCCESS;
}

std::string CDownloadDlg::AskConflict(const CString& path, int row, bool& cancelled)
{
    cancelled = false;
    if (m_bApplyAll)
        return m_strApplyMode;
    int answer = 0;
    BYTE applyAll = 0;
    RunOnUi([this, &path, &answer, &applyAll] {
        if (m_bCancel)
            return;
        CFileDuplicateDlg prompt(this);
        prompt.m_strName = path;
        prompt.m_szKind[0] = 'F';
        answer = static_cast<int>(prompt.DoModal());
        applyAll = prompt.m_bApplyAll;
    });
    std::string mode = "0";
    if (answer == CFileDuplicateDlg::kOverwrite)
        mode = "1";
    else if (answer == CFileDuplicateDlg::kSkip)
        mode = "2";
    else if (answer == CFileDuplicateDlg::kCancel) {
        SetRemainingRowsStatus(row, kRowCancelled);
        cancelled = true;
        return mode;
    }
    if (applyAll == 1) {
        m_bApplyAll = true;
        m_strApplyMode = mode;
    }
    return mode;
}

int CDownloadDlg::Classify(int row, HANDLE& file)
{
    CloseFile(file);
    const _RESULT_INFO& info = m_pProto->ResultInfo;
    const CString message = info.wszMessage;
    if (info.nReplyCmd == C_ERROR && info.nResultCode == 1213) {
        m_strForceCloseText = message;
        m_bForceClosed = true;
        return DOWNLOAD_STOP_FORCE;
    }
    if (info.nReplyCmd == C_ERROR && info.nResultCode >= 1000 && info.nResultCode <= 1999) {
        // The server refused and said why: the run stops with its message, which is no error
        // of the download's own.
        SetRowStatus(row, kRowStopped);
        return DOWNLOAD_CANCEL;
    }
    if (info.nReplyCmd == C_ERROR_WARN) {
        InsertLogItem(1, message);
        SetRowStatus(row, kRowCancelled);
        Notify(1, message);
        ++m_nErrors;
        // The next file starts on a fresh connection.
        m_pProto->CloseSocket();
        return DOWNLOAD_SKIP;
    }
    InsertLogItem(1, message);
    if (info.nResultCode == IXO_SOCK_ERR_SEND || info.nResultCode == IXO_SOCK_ERR_RECV ||
        info.nResultCode == IXO_SOCK_ERR_TIMEOUT)
        Notify(1, message);
    return kRetry;
}

bool CDownloadDlg::WaitRetryDelay()
{
    int seconds = atoi(m_szRetryTimeout);
    if (seconds <= 0)
        seconds = 5;
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (::GetTickCount64() < end) {
        if (m_bCancel)
            return false;
        ::Sleep(20);
    }
    return !m_bCancel;
}

int CDownloadDlg::DecryptWait(int row, HANDLE& file)
{
    auto failed = [this, row, &file]() -> int {
        CloseFile(file);
        const _RESULT_INFO& info = m_pProto->ResultInfo;
        if (info.nResultCode == 1213) {
            m_strForceCloseText = info.wszMessage;
            m_bForceClosed = true;
            return DOWNLOAD_STOP_FORCE;
        }
        const CString message = info.wszMessage;
        InsertLogItem(1, message);
        SetRowStatus(row, kRowFailed);
        ++m_nErrors;
        if (info.nResultCode == IXO_SOCK_ERR_SEND || info.nResultCode == IXO_SOCK_ERR_RECV ||
            info.nResultCode == IXO_SOCK_ERR_TIMEOUT) {
            Notify(1, message);
            ShowMessage(message, MB_ICONERROR);
            return DOWNLOAD_FAILED;
        }
        return DOWNLOAD_SKIP;
    };
    char answer[2] = {m_bCancel ? 'N' : 'Y', 0};
    if (m_pProto->GetDownloadContinue(answer) != 0)
        return failed();
    if (answer[0] == 'N')
        return 0;
    for (int round = 0; m_pProto->ContinueFlag[0] != 'N'; ++round) {
        if (round >= kMaxWaitRounds) {
            // The server never finished: tell it to stop and give the item up.
            char stop[2] = {'N', 0};
            m_pProto->GetDownloadContinue(stop);
            CloseFile(file);
            SetRowStatus(row, kRowFailed);
            ++m_nErrors;
            return DOWNLOAD_SKIP;
        }
        char next[2] = {m_bCancel ? 'N' : 'Y', 0};
        if (m_pProto->GetDownloadContinue(next) != 0)
            return failed();
        if (next[0] == 'N')
            return 0;
    }
    char last[2] = {'N', 0};
    if (m_pProto->GetDownloadContinue(last) != 0)
        return failed();
    return 0;
}

int CDownloadDlg::DownloadFile(_DOWNLOADINFO item)
{
    int retries = 0;
    bool passwordAccepted = false;
    for (;;) {
        if (m_bCancel)
            return DOWNLOAD_CANCEL;
        const __int64 serverSize = _atoi64(item.Size);
        m_strWorkItem = item.Name;
        m_nFileSize = serverSize;
        m_nFileDone = 0;
        ShowItem(item.Name, item.ServerPath, true);
        const CString local = download::LocalPathIn(item.DestFolder, item.Name);
        const int row = StatusRow(item);
        if (row < 0) {
            ++m_nErrors;
            return DOWNLOAD_FAILED;
        }
        SetRowStatus(row, kRowRunning);
        if (!download::IsSafeLocalName(item.Name)) {
            SetRowStatus(row, kRowFailed);
            InsertLogItem(1, CToviMsg::GetString(kMsgNameRefused));
            Notify(1, CToviMsg::GetString(kMsgNameRefused));
            ++m_nErrors;
            return DOWNLOAD_SKIP;
        }
        if (item.PasswordDigest[0] && !passwordAccepted) {
            int answer = IDCANCEL;
            RunOnUi([this, &item, &answer] {
                if (!m_bCancel)
                    answer = s_pfnPasswordPrompt(m_hWnd, item.Name, item.PasswordDigest);
            });
            if (answer != IDOK) {
                ++m_nErrors;
                SetRowStatus(row, kRowFailed);
                return DOWNLOAD_SKIP;
            }
            passwordAccepted = true;
        }

        // Most files are new: making one is also the cheapest way to learn that it was not there.
        HANDLE file = TryOpenLocal(local, CREATE_NEW);
        bool present = false;
        __int64 localSize = 0;
        if (file == INVALID_HANDLE_VALUE) {
            WIN32_FILE_ATTRIBUTE_DATA found = {};
            present = ::GetFileAttributesExW(local.GetString(), GetFileExInfoStandard, &found) != 0;
            if (present)
                localSize = (static_cast<__int64>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        }
        // A file that is there, even an empty one, is the user's: the server compares it and a
        // difference asks before anything is written over it.
        const bool existed = present;
        char position[21] = {};
        item.Checksum[0] = 0;
        DWORD openError = 0;
        if (file == INVALID_HANDLE_VALUE && !present) {
            file = OpenLocal(local, CREATE_NEW);
        } else if (file == INVALID_HANDLE_VALUE) {
            if (existed) {
                _snprintf(position, sizeof position, "%I64u", static_cast<unsigned __int64>(localSize));
                _snprintf(item.Checksum, sizeof item.Checksum, "%lu",
                          CFileUtils::ComputeChecksum(local, localSize));
            }
            file = OpenLocal(local, OPEN_EXISTING);
        }
        if (file == INVALID_HANDLE_VALUE) {
            openError = ::GetLastError();
            SetRowStatus(row, kRowFailed);
            const CString text = SystemErrorText(openError);
            Notify(1, text);
            ShowMessage(text, MB_ICONERROR);
            ++m_nErrors;
            return DOWNLOAD_FAILED;
        }
        if (serverSize == 0) {
            CloseFile(file);
            SetRowStatus(row, kRowDone);
            ++m_nDone;
            return DOWNLOAD_SUCCESS;
        }
        int rc = m_pProto->GetDownloadInfo(ReportWindow(), file, item.ItemId, item.FolderId, item.Version, OrNull(position),
                                           OrNull(item.Checksum), OrNull(item.FileKey));
        bool again = false;
        if (rc != 0) {
            CloseFile(file);
            if (!present && ::GetFileAttributesW(local.GetString()) != INVALID_FILE_ATTRIBUTES &&
                !::DeleteFileW(local.GetString()))
                return DOWNLOAD_CANCEL;
            const int action = Classify(row, file);
            if (action != kRetry)
                return action;
            again = true;
        }
        bool conflict = false;
        if (!again) {
            if (m_pProto->ResultInfo.nResultCode == IXO_DOWNLOAD_CANCELLED) {
                CloseFile(file);
                SetRowStatus(row, kRowStopped);
                return DOWNLOAD_CANCEL;
            }
            if (atoi(item.Version) > 0 && m_pProto->ContinueFlag[0] == 'Y') {
                const int waited = DecryptWait(row, file);
                if (waited != 0) {
                    CloseFile(file);
                    return waited;
                }
            }
        }
        if (!again && existed) {
            const download::LocalMatch match = download::MatchLocal(m_pProto->DownloadInfo.cAnswer, serverSize, localSize);
            std::string mode = "0";
            __int64 offset = 0;
            if (match == download::LocalMatch::Resume) {
                mode = "3";
                offset = localSize;
            } else if (match == download::LocalMatch::Complete) {
                mode = "2";
            }
            if (match == download::LocalMatch::Conflict) {
                conflict = true;
                bool cancelled = false;
                mode = AskConflict(local, row, cancelled);
                if (cancelled) {
                    CloseFile(file);
                    return DOWNLOAD_CANCEL;
                }
            }
            CFileUtils::Seek64(file, offset, FILE_BEGIN);
            if (mode == "1") {
                rc = download::Reannounce(*m_pProto, ReportWindow(), file, item.ItemId, item.FolderId, item.Version,
                                          item.FileKey);
                if (rc != 0) {
                    const int action = Classify(row, file);
                    if (action != kRetry)
                        return action;
                    again = true;
                } else if (m_pProto->ResultInfo.nResultCode == IXO_DOWNLOAD_CANCELLED) {
                    CloseFile(file);
                    SetRowStatus(row, kRowStopped);
                    return DOWNLOAD_CANCEL;
                } else if (atoi(item.Version) > 0 && m_pProto->ContinueFlag[0] == 'Y') {
                    const int waited = DecryptWait(row, file);
                    if (waited != 0) {
                        CloseFile(file);
                        return waited;
                    }
                }
            } else if (mode == "2") {
                CloseFile(file);
                char skip[] = "2";
                if (m_pProto->GetDownloadPosition(skip, 0) != 0) {
                    const int action = Classify(row, file);
                    if (action != kRetry)
                        return action;
                    again = true;
                } else {
                    if (conflict) {
                        SetRowStatus(row, kRowCancelled);
                    } else {
                        CountProgress(0, localSize);
                        SetRowStatus(row, IsMarkedSite() ? kRowPresent : kRowDone);
                    }
                    ++m_nSkipped;
                    return DOWNLOAD_SKIP;
                }
            } else if (mode == "3") {
                CountProgress(1, localSize);
                if (download::ResumeAt(*m_pProto, file, localSize) != 0) {
                    const int action = Classify(row, file);
                    if (action != kRetry)
                        return action;
                    again = true;
                } else if (m_pProto->ResultInfo.nResultCode == IXO_DOWNLOAD_CANCELLED) {
                    CloseFile(file);
                    SetRowStatus(row, kRowStopped);
                    return DOWNLOAD_CANCEL;
                }
            }
        }

        if (!again) {
            const wchar_t* remark = m_pProto->DownloadInfo.wszMessage;
            if (remark[0] && wcslen(remark) < 2048) {
                wcsncpy(m_wszRemark, remark, 1023);
                m_wszRemark[1023] = 0;
                InsertLogItem(2, m_wszRemark);
                m_wszRemark[0] = 0;
                m_pProto->DownloadInfo.wszMessage[0] = 0;
                std::lock_guard<std::mutex> lock(m_itemsLock);
                m_remarks.push_back(item);
            }
            if (m_bCancel) {
                // The partial file stays for a later resume, but never stays open.
                CloseFile(file);
                return DOWNLOAD_CANCEL;
            }
            // Only a file of exactly the server's size is complete: a stream that ended short or
            // ran long is a failed attempt.
            LARGE_INTEGER written = {};
            const bool sized = ::GetFileSizeEx(file, &written) != 0;
            if (sized && written.QuadPart > serverSize) {
                // Bytes beyond the server's file are no part of it: start again from nothing.
                CFileUtils::Seek64(file, 0, FILE_BEGIN);
                ::SetEndOfFile(file);
            }
            CloseFile(file);
            if (sized && written.QuadPart == serverSize) {
                SetRowStatus(row, kRowDone);
                ++m_nDone;
                return DOWNLOAD_SUCCESS;
            }
            TraceLog(2048, L"[ CDownloadDlg::DownloadFile ] %s ended at %I64d of %I64d bytes\n", item.Name,
                     static_cast<__int64>(written.QuadPart), serverSize);
            InsertLogItem(1, CToviMsg::GetString(kMsgNetworkError));
        }

        // Retry: the attempt's bytes come off the run, and the connection starts afresh.
        CloseFile(file);
        m_nTotalDone -= m_nFileDone.exchange(0);
        m_pProto->CloseSocket();
        ++retries;
        int limit = atoi(m_szRetryCount);
        if (limit <= 0)
            limit = 10;
        if (retries > limit) {
            SetRowStatus(row, kRowFailed);
            ++m_nErrors;
            return DOWNLOAD_FAILED;
        }
        if (!WaitRetryDelay())
            return DOWNLOAD_CANCEL;
        Notify(-1, CString());
    }
}
