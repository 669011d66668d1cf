// Shared helpers of the server panes' commands.
#include "ServerCommandSupport.h"
#include "ConfirmDlg.h"
#include "DragDrop.h"
#include "FileProgressDlg.h"
#include "FileUtils.h"
#include "GShareDlg.h"
#include "ShareDlg.h"
#include "ToviMsg.h"
#include "ServerClipboard.h"
#include "ToviProto.h"
#include "TraceLog.h"
#include "Wnd.h"
#include <cstring>

namespace servercmd {

void ShowServerError(CWnd* owner, const CToviProto& session)
{
    CFileUtils::ToviMessageBox(owner, session.ResultInfo.wszMessage, L"CorvaneIXO", MB_ICONERROR);
}

void ShowPermissionHelp(IServerOperationHost* host)
{
    TraceLog(2048, L"OnShowHtmlPoup\n");
    if (host)
        host->ShowPermissionHelp();
}

CWnd* DialogOwnerOf(IServerOperationHost* host, CWnd* pane)
{
    CWnd* owner = host ? host->DialogOwner() : nullptr;
    return owner ? owner : pane;
}

int ShowMessage(CWnd* owner, unsigned messageId, unsigned icon)
{
    return CFileUtils::ToviMessageBox(owner, CToviMsg::GetString(messageId).GetString(), L"CorvaneIXO", icon);
}

bool DeleteBackupPC(CWnd* owner, CToviProto& session, const _PROTO_FOLDER_INFO& pc)
{
    CConfirmDlg confirm(owner);
    PrepareQuestion(confirm, Question::DeleteBackupPC, {pc});
    if (confirm.DoModal() != IDOK)
        return false;
    char idx[sizeof pc.IDX];
    std::memcpy(idx, pc.IDX, sizeof idx);
    if (session.DeleteBackupPC(session.LoginInfo.SessionId, idx) != 0) {
        ShowServerError(owner, session);
        return false;
    }
    ShowMessage(owner, 12131, MB_ICONINFORMATION);
    return true;
}

_SEND_FILES SendFileOf(const _PROTO_FOLDER_INFO& row)
{
    _SEND_FILES file = {};
    CopyId(file.szId, row.IDX, sizeof row.IDX);
    CopyId(file.szParentId, row.DIDX, sizeof row.DIDX);
    CopyShown(file.wszName, row.Name);
    CopyId(file.szSize, row.Attr192, sizeof row.Attr192);
    CopyId(file.szText, row.Attr189, sizeof row.Attr189);
    return file;
}

std::unique_ptr<CToviProto> OpenOwnSession(const CToviProto& session, HWND owner, uint16_t pendingCommand)
{
    std::unique_ptr<CToviProto> proto(new CToviProto);
    proto->NoTimerFlag = 1;
    proto->CustomerCode = session.CustomerCode;
    std::memcpy(proto->ServerAddress.szHost, session.ServerAddress.szHost, sizeof proto->ServerAddress.szHost);
    std::memcpy(proto->ServerAddress.szCode, session.ServerAddress.szCode, sizeof proto->ServerAddress.szCode);
    proto->ServerAddress.nPort = session.ServerAddress.nPort;
    proto->ServerAddress.WebServerAddress = session.ServerAddress.WebServerAddress;
    std::memcpy(proto->LoginInfo.SessionId, session.LoginInfo.SessionId, sizeof proto->LoginInfo.SessionId);
    if (proto->GetSecureCode(owner, proto->ServerAddress.szHost, proto->ServerAddress.nPort, proto->ServerAddress.szCode,
                             pendingCommand) != 0) {
        proto->CloseSocket();
        return nullptr;
    }
    return proto;
}

ProgressOutcome RunProgress(IServerOperationHost* host, CFileProgressDlg& dialog, int mode, bool stopQuota)
{
    ProgressOutcome outcome;
    INT_PTR result;
    {
        CModalOperationScope scope(host, mode, stopQuota);
        result = dialog.DoModal();
    }
    outcome.error = dialog.m_bError;
    outcome.untouched = dialog.m_bUntouched;
    outcome.cancelled = result != 1;   // the worker's own end closes with 1
    outcome.done = dialog.m_vecDone;
    return outcome;
}

void PrepareQuestion(CConfirmDlg& confirm, Question question, const std::vector<_PROTO_FOLDER_INFO>& items)
{
    switch (question) {
    case Question::Restore:
        confirm.m_nMode = CConfirmDlg::kModeRestore;
        break;
    case Question::DeleteBackupPC:
        confirm.m_nMode = CConfirmDlg::kModeTypeName;
        break;
    default:
        confirm.m_nMode = CConfirmDlg::kModeDelete;
        break;
    }
    confirm.m_nCount = static_cast<int>(items.size());
    // The dialog's "in trash" texts are the ones that warn: nothing deleted there comes back.
    const bool warns =
        question == Question::DeleteForGood || question == Question::DeleteInBin || question == Question::EmptyBin;
    confirm.m_bInTrash = warns ? 1 : 0;
    if (items.size() == 1) {
        CopyId(confirm.m_szType, items[0].ItemType, sizeof items[0].ItemType);
        CopyShown(confirm.m_szName, items[0].Name);
    }
}

bool Confirm(CWnd* owner, Question question, const std::vector<_PROTO_FOLDER_INFO>& items)
{
    if (items.empty())
        return false;
    CConfirmDlg confirm(owner);
    PrepareQuestion(confirm, question, items);
    return confirm.DoModal() == IDOK;
}

namespace {

// The progress dialog of type over items, run under the modal rule; a failure is shown.
ProgressOutcome RunOperation(IServerOperationHost* host, CWnd* owner, CToviProto& session, int type,
                             const std::vector<_PROTO_FOLDER_INFO>& items, const wchar_t* deleteFlag, bool restore,
                             bool stopQuota)
{
    CFileProgressDlg progress(owner);
    progress.m_nType = type;
    progress.m_bRestore = restore;
    progress.m_strDeleteFlag = deleteFlag;
    progress.m_pProto = &session;
    progress.m_vecItems = items;
    ProgressOutcome outcome = RunProgress(host, progress, type, stopQuota);
    if (outcome.error)
        ShowServerError(owner, session);
    return outcome;
}

}

ProgressOutcome RunDelete(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                          const std::vector<_PROTO_FOLDER_INFO>& items, bool toRecycleBin)
{
    return RunOperation(host, owner, session, CFileProgressDlg::kDelete, items, toRecycleBin ? L"1" : L"0", false, true);
}

ProgressOutcome RunRestore(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                           const std::vector<_PROTO_FOLDER_INFO>& items)
{
    // A restore frees no space: the quota timer keeps running.
    return RunOperation(host, owner, session, CFileProgressDlg::kPasteMove, items, L"0", true, false);
}

ProgressOutcome RunEmptyBin(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                            const _PROTO_FOLDER_INFO& bin)
{
    return RunOperation(host, owner, session, CFileProgressDlg::kClearBin, {bin}, L"0", false, true);
}

PasteOutcome PasteServerItems(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                              const _PROTO_FOLDER_INFO& target, int effect)
{
    UINT format = ServerItemsFormat();
    std::vector<_PROTO_FOLDER_INFO> records;
    CString tag, source;
    bool cut = false;
    if (!GetFolderInfoListClipboard(&format, records, tag, source, cut))
        return PasteOutcome();
    return PasteItems(host, owner, session, records, target, effect == 2 || (effect == 0 && cut));
}

PasteOutcome PasteItems(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                        const std::vector<_PROTO_FOLDER_INFO>& items, const _PROTO_FOLDER_INFO& target, bool move)
{
    PasteOutcome paste;
    if (items.empty())
        return paste;
    paste.ran = true;
    paste.moved = move;
    const int operation = move ? CFileProgressDlg::kPasteMove : CFileProgressDlg::kPasteCopy;
    CFileProgressDlg progress(owner);
    progress.m_nType = operation;
    progress.m_pProto = &session;
    progress.m_vecItems = items;
    CopyId(progress.m_szSourceId, items[0].Attr178, sizeof items[0].Attr178);
    CopyId(progress.m_szTargetId, target.IDX, sizeof target.IDX);
    paste.progress = RunProgress(host, progress, operation, true);
    if (paste.progress.error)
        ShowServerError(owner, session);
    return paste;
}

bool AddShortcuts(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                  std::vector<_PROTO_FOLDER_INFO> items)
{
    std::vector<char*> ids;
    for (_PROTO_FOLDER_INFO& item : items)
        ids.push_back(item.IDX);
    if (session.AddShortcut(ids) != 0) {
        ShowServerError(owner, session);
        return false;
    }
    ShowMessage(owner, 12127, MB_ICONINFORMATION);
    if (host)
        host->PostAlertUpdate();
    return true;
}

namespace {

template <class Dialog>
void Describe(Dialog& dialog, CToviProto& session, const _PROTO_FOLDER_INFO& item, HWND helpWnd)
{
    dialog.m_pProto = &session;
    CopyId(dialog.m_szFolderId, item.IDX, sizeof item.IDX);
    CopyShown(dialog.m_wszFolderName, item.Name);
    dialog.m_hHelpWnd = helpWnd;
}

}

INT_PTR RunShareDialog(CWnd* owner, CToviProto& session, _PROTO_FOLDER_INFO& item, HWND helpWnd,
                       IServerOperationHost* host)
{
    if (session.GetDShareInfo(item.IDX) != 0) {
        ShowServerError(owner, session);
        return 0;
    }
    CShareDlg dialog(owner);
    Describe(dialog, session, item, helpWnd);
    if (host) {
        CStringA option(host->ShareOption());
        if (option.GetLength() == 4)
            std::memcpy(dialog.m_szPermission, option.GetString(), 5);
    }
    return dialog.DoModal();
}

INT_PTR RunGroupShareDialog(CWnd* owner, CToviProto& session, const _PROTO_FOLDER_INFO& folder, HWND helpWnd,
                            bool newShare)
{
    CGShareDlg dialog(owner);
    Describe(dialog, session, folder, helpWnd);
    dialog.m_bNewShare = newShare;
    return dialog.DoModal();
}

UINT ServerItemsFormat()
{
    static UINT format = RegisterClipboardFormatW(kServerItemsFormat);
    return format;
}

bool ClipboardHasServerItems()
{
    return IsClipboardFormatAvailable(ServerItemsFormat()) != FALSE;
}

bool ClipboardHasFiles()
{
    return IsClipboardFormatAvailable(CF_HDROP) != FALSE;
}

}
