// Shared helpers of the server panes' commands.
#include "ServerCommandSupport.h"
#include "ConfirmDlg.h"
#include "DragDrop.h"
#include "FileProgressDlg.h"
#include "FileUtils.h"
#include "GShareDlg.h"
#include "ShareDlg.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "Wnd.h"
#include <cstring>

namespace servercmd {

void ShowServerError(CWnd* owner, const CToviProto& session)
{
    CFileUtils::ToviMessageBox(owner, session.ResultInfo.wszMessage, L"CorvaneIXO", MB_ICONERROR);
}

int ShowMessage(CWnd* owner, unsigned messageId, unsigned icon)
{
    return CFileUtils::ToviMessageBox(owner, CToviMsg::GetString(messageId).GetString(), L"CorvaneIXO", icon);
}

bool DeleteBackupPC(CWnd* owner, CToviProto& session, const _PROTO_FOLDER_INFO& pc)
{
    CConfirmDlg confirm(owner);
    confirm.m_nMode = CConfirmDlg::kModeTypeName;
    confirm.m_nCount = 1;
    CopyShown(confirm.m_szName, pc.Name);
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
