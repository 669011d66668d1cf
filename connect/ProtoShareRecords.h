// Records of the user and group lists, shares, guests, links, sending files, shortcuts and the
// file operations that the protocol object fills from replies or sends from its callers.
//
// Every text member is zero-terminated within its width: a reply value that is longer is cut
// when it is stored. The callers zero a record before they fill one to send.
#pragma once
#include "ToviProtoTypes.h"
#include <cstdint>

// A multi-step operation stopped by the client: the server kept asking for another step past
// the loop's bound, or answered with a continuation value the loop does not know. The result
// block then holds this code with the network error text.
#define IXO_SOCK_ERR_NO_END 20

// The most continuation requests one multi-step operation sends by default. A delete or paste
// takes one exchange per item, so the bound is far above any real folder.
#define PROTO_MAX_STEPS 100000

// One entry of the user and group tree or of a search (C0, C1).
struct _PROTO_UGROUP_INFO {
    char Type[2];               // "U" user, "G" group ("D" a domain in the top-level listing)
    char Code[10];
    wchar_t Name[512];
    char UserId[512];
    wchar_t PosName[512];
    char GroupId[10];
    wchar_t GroupName[512];
    char DomainIndex[10];
    wchar_t DomainLabel[61];
    char Value178[10];          // listings only
    char Flag28[2];             // listings only
    wchar_t GroupPath[512];     // at most 2,047 bytes of the value are decoded
    char Flag46[4];
};

// Settings of a folder share or group share (G0-G3), and of a single guest (G4, G5).
struct _PROTO_SHARED_INFO {
    char cShare[2];
    wchar_t wszPassword[21];    // at most 20 characters
    char szPeriodFrom[11];      // "%04d-%02d-%02d"; empty: no period
    char szPeriodTo[11];
    char szMemberCount[10];
    char szGuestQuota[11];      // guest quota in MB; in a group share the quota size
    char szQuota[11];           // group-share quota to set; read: the free quota
    char cVersioning[2];
    char cOption45[2];
    char cAutoDelete[2];        // "N" off, "D" or "A"
    char szAutoDeleteCount[11];
    char cRecycle[2];
    char cMaster[3];
    wchar_t wszFolderName[512];
    char szEmail[322];          // multibyte
    char szPermission[6];       // four digits
};

// One member of a share. The first members match _PROTO_UGROUP_INFO, from which the dialogs
// fill it.
struct _PROTO_SHARED_UGROUP {
    char Type[2];
    char Code[10];
    wchar_t Name[512];
    char UserId[512];
    char GroupId[10];
    wchar_t GroupName[512];
    char DomainIndex[10];
    wchar_t DomainLabel[512];
    char Flag46[2];
    char Permission[5];         // four digits: view, two further rights, delete
    char Write[3];              // "2" write sharing allowed, "0" not
};

// A guest folder with a list of guests (G6, G7).
struct _PROTO_GUEST_FOLDER_INFO {
    char cMode[2];              // "Y" a new guest folder, "N" a change
    wchar_t wszFolderName[512];
    char szQuota[11];
    char szFreeQuota[11];
    char szPeriodFrom[11];
    char szPeriodTo[11];
    char szDate[11];
    char cFlag70[5];
};

// One guest of a guest folder.
struct _PROTO_GUEST_USER_INFO {
    char szEmail[320];          // multibyte
    char szPermission[5];
    char cStatus[2];
    char szDate[11];
    // Set by the guest lists on a row the user is adding, until an address is accepted for it;
    // never sent.
    char cNewRow;
};

// One download link of a server file (I0, I1).
struct _PROTO_LINK_INFO {
    char szLinkId[21];          // exactly 20 characters; empty when a link is created
    char szExpire[11];          // a 10-character date text
    wchar_t wszPassword[21];    // at most 20 characters
    char szLimit[11];
    char szUrl[513];            // replies only
};

// One file to send (I3); only the id goes out.
struct _SEND_FILES {
    char szId[10];
    char szParentId[10];
    wchar_t wszName[512];
    char szSize[21];
    char szText[33];
};

// One receiver of sent files (I3).
struct _RECEIVER_LIST {
    char Code[10];
    char UserId[512];
};

// One folder shortcut of the user (D7).
struct _SHORTCUT_LIST {
    char Index[10];
    wchar_t Path[260];
};

// The direct-edit answer (F7).
struct _LIMIT_INFO {
    char DirectEditAttribute[2];
    wchar_t DirectEditMessage[1024];
};

// The item a file-operation reply names (F1, F2, F4, F5). An empty name ends the operation.
struct _FILE_OP_INFO {
    char FileOpFlag[2];         // paste and restore: "Y" an item of that name exists there
    wchar_t FileOpName[512];
    char FileOpType[2];
};

// Told on the requesting thread after every reply of a multi-step operation that asks for a
// further step, with the reply in the protocol object's data. False stops the operation: the
// loop sends the stop answer "N" where the command has one.
class CToviProto;
typedef bool (*PROTO_STEP_CALLBACK)(CToviProto* proto, void* context);
// The same for a paste or restore step. mode holds the conflict mode that the next step will
// send (two bytes); the callback may change it, for example after a reply that names an item
// that exists at the target.
typedef bool (*PROTO_PASTE_CALLBACK)(CToviProto* proto, void* context, char* mode);
