// The guest dialog of a folder.
#include "ServerGuestChoice.h"
#include "GuestDlg.h"
#include "GuestMultiDlg.h"
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
    size_t id = strnlen(folder.IDX, sizeof folder.IDX);
    if (id >= sizeof dialog.m_szFolderId)
        id = sizeof dialog.m_szFolderId - 1;
    std::memcpy(dialog.m_szFolderId, folder.IDX, id);
    dialog.m_szFolderId[id] = 0;
    wcsncpy(dialog.m_wszFolderName, folder.Name, 511);
    dialog.m_wszFolderName[511] = 0;
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
    default: {
        // The customer's own multi-guest dialog comes with the sharing library's next merge;
        // until then its customers get the common one.
        CGuestMultiDlg dialog(owner);
        return RunWith(dialog, session, folder, newGuest);
    }
    }
}
