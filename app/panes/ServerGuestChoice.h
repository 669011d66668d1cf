// Which guest dialog a folder's guest command opens, and running it.
#pragma once
#include "ProtoRecords.h"
#include "Strings.h"

class CWnd;
class CToviProto;

enum class GuestDialogKind { Single, Multi, MultiCustomer };

// The multi-guest option 'Y' chooses the several-guests dialog, in the customer's own form for
// "RQGROUP" (any case); otherwise the single-guest dialog.
GuestDialogKind ChooseGuestDialog(char multiGuestOption, const CString& customerCode);

// Runs the chosen dialog modal for folder; its result (IDOK: the guests changed).
INT_PTR RunGuestDialog(CWnd* owner, const CToviProto& session, const _PROTO_FOLDER_INFO& folder, bool newGuest);
