// CFileProgressDlg: a server-side delete, bin clear, paste or restore with its progress.
#include "FileProgressDlg.h"
#include "DialogKit.h"
#include "DownloadRes.h"
#include "FileDuplicateDlg.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "WinThread.h"

IMPLEMENT_DYNAMIC(CFileProgressDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CFileProgressDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_MESSAGE(WM_OPERATION_START, OnOperationStart)
    ON_MESSAGE(WM_OPERATION_END, OnOperationEnd)
    ON_MESSAGE(WM_OPERATION_INVOKE, OnInvoke)
END_MESSAGE_MAP()

namespace {

const UINT kCancelIcon = 528;
const UINT_PTR kAnimationTimer = 1;
// A server that keeps naming items is not followed for ever.
const int kDefaultStepLimit = 100000;
int g_stepLimit = kDefaultStepLimit;
// What the caller shows for a server that never ended the operation.
const unsigned kMsgServerError = 12123;
// Nor is an item requested again for ever after the connection went.
const int kMaxRequests = 3;

bool IsFile(const char* kind)
{
    return kind[0] == 'F' && kind[1] == 0;
}

}

const wchar_t CFileProgressDlg::kFindTitle[] = L"Corvane IXO FileProgress";

CFileProgressDlg::CFileProgressDlg(CWnd* pParent) : CVantelDialog(IDD_FILE_PROGRESS, pParent)
{
    m_nUIType = kUITypeProgress;
}

CFileProgressDlg::~CFileProgressDlg()
{
    // A worker still running (the dialog ended some other way) is asked to stop and waited
    // for: killed inside a request it would leave the caller's connection locked for good.
    m_bClosing = true;
    WaitForWorker();
}

void CFileProgressDlg::SetStepLimit(int steps)
{
    g_stepLimit = steps > 0 ? steps : kDefaultStepLimit;
}

void CFileProgressDlg::NoteEndless()
{
    // The server sent no reason: the caller shows the protocol object's text.
    m_bError = true;
    const size_t room = sizeof m_pProto->ResultInfo.wszMessage / sizeof(wchar_t);
    wcsncpy(m_pProto->ResultInfo.wszMessage, CToviMsg::GetString(kMsgServerError).GetString(), room - 1);
    m_pProto->ResultInfo.wszMessage[room - 1] = 0;
}

int CFileProgressDlg::SetDeleteType(_PROTO_FOLDER_INFO& item)
{
    if (m_nType == kDelete) {
        char version[] = "0";
        CStringA flag(m_strDeleteFlag);
        return m_pProto->GetDelete(item.ItemType, item.IDX, item.DIDX, version, flag.GetBuffer(), item.Attr178);
    }
    if (m_nType == kClearBin)
        return m_pProto->GetRecyclebinClear(item.IDX, item.DIDX);
    return -1;
}

int CFileProgressDlg::SetPasteType(_PROTO_FOLDER_INFO& item, char* mode, char* confirm)
{
    if (m_bRestore)
        return m_pProto->GetRecyclebinRestore(item.ItemType, item.IDX, item.DIDX);
    CStringA paste(m_strPasteMode);
    return m_pProto->GetPaste(m_szSourceId, m_szTargetId, item.IDX, item.DIDX, item.ItemType, paste.GetBuffer(), mode,
                              confirm);
}

BOOL CFileProgressDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    SetWindowText(kFindTitle);
    unsigned title = 12028, operation = 12029;
    if (m_nType == kPasteCopy) {
        title = 12030;
        operation = 12031;
        m_strPasteMode = L"C";
    } else if (m_nType == kPasteMove) {
        title = 12032;
        operation = 12033;
        m_strPasteMode = L"M";
    }
    SetTitleBar(CToviMsg::GetString(title));
    SetDlgItemText(IDC_FILE_PROGRESS_OPERATION, CToviMsg::GetString(operation).GetString());
    m_bar.SubclassDlgItem(IDC_FILE_PROGRESS_BAR, this);
    m_bar.SetRange32(0, 100);
    m_bar.SetStep(10);
    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), kCancelIcon);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    if (CWnd* hidden = GetDlgItem(IDC_DIALOG_HIDDEN))
        hidden->ShowWindow(SW_HIDE);
    PostMessage(WM_OPERATION_START);
    return TRUE;
}

BOOL CFileProgressDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    return DrawBkgnd(pDC, rect);
}

LRESULT CFileProgressDlg::OnInvoke(WPARAM, LPARAM lParam)
{
    return dialogkit::RunInvoked(lParam);
}

void CFileProgressDlg::RunOnUi(const std::function<void()>& work)
{
    dialogkit::RunOnWindowThread(m_hWnd, WM_OPERATION_INVOKE, work);
}

void CFileProgressDlg::ShowProgress(unsigned operationText, const CString& item)
{
    RunOnUi([this, operationText, item] {
        SetDlgItemText(IDC_FILE_PROGRESS_OPERATION, CToviMsg::GetString(operationText).GetString());
        SetDlgItemText(IDC_FILE_PROGRESS_ITEM, item.GetString());
    });
}

LRESULT CFileProgressDlg::OnOperationStart(WPARAM, LPARAM)
{
    ::Sleep(100);
    SetTimer(kAnimationTimer, 100, nullptr);
    if (!m_pProto)
        return -1;
    const bool remove = m_nType == kDelete || m_nType == kClearBin;
    m_pWorker = AfxBeginThread(remove ? DeleteThread : PasteThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pWorker)
        return -1;
    m_pWorker->m_bAutoDelete = FALSE;
    m_pWorker->ResumeThread();
    return 0;
}

void CFileProgressDlg::OnTimer(UINT_PTR id)
{
    if (id != kAnimationTimer)
        return;
    m_nPosition = m_nPosition >= 100 ? 0 : m_nPosition + 10;
    m_bar.SetPos(m_nPosition);
}

void CFileProgressDlg::WaitForWorker()
{
    for (;;) {
        if (!m_pWorker)
            return;
        DWORD code = 0;
        if (!::GetExitCodeThread(m_pWorker->m_hThread, &code) || code != STILL_ACTIVE)
            break;
        AfxPumpWait(m_pWorker->m_hThread, 10);
    }
    delete m_pWorker;
    m_pWorker = nullptr;
}

LRESULT CFileProgressDlg::OnOperationEnd(WPARAM, LPARAM)
{
    // A cancel or close already waits for the worker and ends the dialog itself.
    if (m_bCancel || m_bClosing || !m_hWnd)
        return 0;
    KillTimer(kAnimationTimer);
    WaitForWorker();
    if (m_pProto)
        m_pProto->CloseSocket();
    EndDialog(1);
    return 0;
}

void CFileProgressDlg::OnCancel()
{
    KillTimer(kAnimationTimer);
    m_bCancel = true;
    WaitForWorker();
    CVantelDialog::OnCancel();
}

void CFileProgressDlg::OnCloseButton()
{
    OnCancel();
}

void CFileProgressDlg::OnClose()
{
    KillTimer(kAnimationTimer);
    m_bClosing = true;
    CFileDuplicateDlg::CloseOpenPrompt();
    WaitForWorker();
    EndDialog(IDCANCEL);
}

UINT CFileProgressDlg::DeleteThread(LPVOID param)
{
    CFileProgressDlg* dlg = static_cast<CFileProgressDlg*>(param);
    dialogkit::ApplyThreadLanguage();
    dlg->RunDelete();
    return 0;
}

UINT CFileProgressDlg::PasteThread(LPVOID param)
{
    CFileProgressDlg* dlg = static_cast<CFileProgressDlg*>(param);
    dialogkit::ApplyThreadLanguage();
    dlg->RunPaste();
    return 0;
}

void CFileProgressDlg::RunDelete()
{
    for (_PROTO_FOLDER_INFO& item : m_vecItems) {
        if (m_bCancel || m_bClosing)
            return;
        if (SetDeleteType(item) != 0) {
            m_bError = true;
            break;
        }
        m_bUntouched = false;
        const int limit = g_stepLimit;
        for (int step = 0; m_pProto->FileOpInfo.FileOpName[0]; ++step) {
            if (m_bClosing)
                return;
            const bool stop = m_bCancel || step >= limit;
            ShowProgress(IsFile(m_pProto->FileOpInfo.FileOpType) ? 12108 : 12109, m_pProto->FileOpInfo.FileOpName);
            char answer[2] = {stop ? 'N' : 'Y', 0};
            if (m_pProto->GetDeleteContinue(answer) != 0) {
                m_bError = true;
                break;
            }
            m_bUntouched = false;
            if (stop) {
                if (m_bCancel)
                    return;
                NoteEndless();
                break;
            }
        }
    }
    ::PostMessageW(m_hWnd, WM_OPERATION_END, 0, 0);
}

void CFileProgressDlg::RunPaste()
{
    if (m_bCancel || m_bClosing)
        return;
    bool applyAll = false;
    std::string remembered = "0";
    for (_PROTO_FOLDER_INFO& item : m_vecItems) {
        if (m_bCancel || m_bClosing)
            break;
        std::string mode = applyAll ? remembered : "0";
        std::string confirm = "N";
        std::string answer = "Y";
        CString finalName;
        bool stopAfter = false;
        bool requestAgain = true;
        for (int request = 0; requestAgain; ++request) {
            requestAgain = false;
            if (request >= kMaxRequests) {
                m_bError = true;
                break;
            }
            if (SetPasteType(item, &mode[0], &confirm[0]) != 0) {
                m_bError = true;
                ::PostMessageW(m_hWnd, WM_OPERATION_END, 0, 0);
                return;
            }
            m_bUntouched = false;
            if (m_pProto->PasteResult.nResultCode == 1329) {
                // Moving a shared item releases its share: the user decides.
                const CString question = m_pProto->PasteResult.wszMessage;
                int pressed = IDCANCEL;
                RunOnUi([this, &question, &pressed] {
                    if (!m_bCancel && !m_bClosing)
                        pressed = dialogkit::MessageBox(m_hWnd, question, MB_OKCANCEL | MB_ICONQUESTION);
                });
                answer = pressed == IDOK ? "Y" : "N";
                if (!m_pProto->m_pConn) {
                    if (answer == "N") {
                        ::PostMessageW(m_hWnd, WM_OPERATION_END, 0, 0);
                        return;
                    }
                    confirm = answer;
                    requestAgain = true;
                    continue;
                }
                if (m_pProto->GetSharedReleaseContinue(&answer[0]) != 0) {
                    m_bError = true;
                    ::PostMessageW(m_hWnd, WM_OPERATION_END, 0, 0);
                    return;
                }
            }
            const int limit = g_stepLimit;
            for (int step = 0; m_pProto->FileOpInfo.FileOpName[0]; ++step) {
                if (m_bClosing)
                    return;
                if (m_bCancel || step >= limit)
                    answer = "N";
                const bool file = IsFile(m_pProto->FileOpInfo.FileOpType);
                const bool copy = m_nType == kPasteCopy;
                ShowProgress(file ? (copy ? 12034 : 12035) : (copy ? 12080 : 12081), m_pProto->FileOpInfo.FileOpName);
                if (answer == "Y" && m_pProto->FileOpInfo.FileOpFlag[0] == 'Y' && !applyAll) {
                    const CString name = m_pProto->FileOpInfo.FileOpName;
                    const char kind = m_pProto->FileOpInfo.FileOpType[0];
                    int pressed = 0;
                    BYTE ticked = 0;
                    RunOnUi([this, &name, kind, &pressed, &ticked] {
                        if (m_bCancel || m_bClosing)
                            return;
                        CFileDuplicateDlg prompt(this);
                        prompt.m_strName = name;
                        prompt.m_szKind[0] = kind ? kind : 'F';
                        pressed = static_cast<int>(prompt.DoModal());
                        ticked = prompt.m_bApplyAll;
                    });
                    if (pressed == CFileDuplicateDlg::kOverwrite)
                        mode = "1";
                    else if (pressed == CFileDuplicateDlg::kSkip)
                        mode = "2";
                    else {
                        answer = "N";
                        stopAfter = true;
                    }
                    if (ticked && !stopAfter) {
                        applyAll = true;
                        remembered = mode;
                    }
                }
                if (finalName.IsEmpty())
                    finalName = CString(m_pProto->FileOpInfo.FileOpName).Left(511);
                if (!m_pProto->m_pConn) {
                    if (mode == "1")
                        requestAgain = true;
                    break;
                }
                if (m_pProto->GetPasteContinue(&answer[0], &mode[0]) != 0) {
                    m_bError = true;
                    break;
                }
                if (answer == "N" && (m_bCancel || step >= limit)) {
                    if (!m_bCancel)
                        NoteEndless();
                    ::PostMessageW(m_hWnd, WM_OPERATION_END, 0, 0);
                    return;
                }
                if (answer == "N")
                    break;
            }
        }
        if (item.ItemType[0] == 'D' && m_nType == kPasteMove && answer == "Y" && (mode == "0" || mode == "1") &&
            !m_bError)
            m_vecMovedFolders.push_back(item.IDX);
        if (!finalName.IsEmpty()) {
            wcsncpy(item.Name, finalName.GetString(), 1023);
            item.Name[1023] = 0;
        }
        m_vecDone.push_back(item);
        if (stopAfter) {
            ::PostMessageW(m_hWnd, WM_OPERATION_END, 0, 0);
            return;
        }
    }
    ::PostMessageW(m_hWnd, WM_OPERATION_END, 0, 0);
}
