// The guest dialog of a folder.
#include "ServerGuestChoice.h"
#include "GuestDlg.h"
#include "GuestMultiDlg.h"
#include "GuestMultiRQDlg.h"
#include "ServerCommandSupport.h"
#include "ToviProto.h"
#include <cstring>

GuestDialogKind ChooseGuestDialog(char multiGuestOption, const CString& customerCode)
{
    if (multiGuestOption != 'Y')
        return GuestDialogKind::Single;
    return customerCode.CompareNoCase(L"RQGROUP") == 0 ? GuestDialogKind::MultiCustomer : GuestDialogKind::Multi;
}

namespace {

template <class Dialog>
INT_PTR RunWith(Dialog& dialog, const CToviProto& session, const _PROTO_FOLDER_INFO& folder, bool newGuest)
{
    dialog.m_session.CopyFrom(session);
    dialog.m_nNewFolder = newGuest ? 1 : 0;
    servercmd::CopyId(dialog.m_szFolderId, folder.IDX, sizeof folder.IDX);
    servercmd::CopyShown(dialog.m_wszFolderName, folder.Name);
    return dialog.DoModal();
}

}

INT_PTR RunGuestDialog(CWnd* owner, const CToviProto& session, const _PROTO_FOLDER_INFO& folder, bool newGuest)
{
    switch (ChooseGuestDialog(session.OptionInfo.MultiGuest[0], session.CustomerCode)) {
    case GuestDialogKind::Single: {
        CGuestDlg dialog(owner);
        return RunWith(dialog, session, folder, newGuest);
    }
    case GuestDialogKind::MultiCustomer: {
        CGuestMultiRQDlg dialog(owner);
        return RunWith(dialog, session, folder, newGuest);
    }
    default: {
        CGuestMultiDlg dialog(owner);
        return RunWith(dialog, session, folder, newGuest);
    }
    }
}
