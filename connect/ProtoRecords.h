// Records of fixed-width texts that the protocol object fills from the server's replies and that
// its callers read, copy, keep as item data and hand back as request arguments.
//
// Every text member is zero-terminated within its width: a reply value that is longer is cut
// when it is stored. Counters and sizes are kept as decimal text, as they travel.
#pragma once
#include "Strings.h"
#include <windows.h>
#include <cstdint>
#include <vector>

// One server folder or file: the item data of every server tree and list row.
struct _PROTO_FOLDER_INFO {
    char ItemType[2];           // "D" marks a folder
    char IDX[10];               // the item's index; may begin with "r"
    char Attr178[10];
    char Attr179[10];
    char DIDX[10];              // index of the storage area the item lives in
    wchar_t Name[1024];
    wchar_t Attr188[24];        // date
    char Attr189[32];
    char Attr5[5];
    char Attr33[2];
    char Attr27[2];
    char Attr28[2];
    char Attr29[2];
    char Attr30[2];
    char Attr62[2];
    char Attr190[21];
    char Attr191[21];
    char Pad191;
    wchar_t Attr197[4096];
    char Attr198[65];
    char Attr231[13];
    char Attr192[21];
    char Attr9[33];
    wchar_t Attr232[128];
    wchar_t Attr13[24];
    wchar_t Attr169[64];
    wchar_t Attr183[128];
    char Attr237[66];
    wchar_t Attr158[8];         // date text, widened only
    BYTE Reserved160[160];
    // What the change check sends back, with IDX and DIDX.
    char AccessTime[24];
    char DirCnt[10];
    char FileCnt[10];
    char LinkCnt[10];
    char PrivacyCnt[10];
    wchar_t Attr138[512];
    std::vector<_PROTO_FOLDER_INFO> Children;   // a subtree, owned by value
};

// One item's properties (D1).
struct _PROTO_PROPERTY_INFO {
    char IDX[10];
    char DIDX[10];
    wchar_t Name[512];
    wchar_t Attr187[24];        // date
    wchar_t Attr188[24];        // date
    char Attr33[2];
    char Attr29[2];
    char Attr30[2];
    char Attr231[13];
    char Attr192[21];
    char Attr169[32];
    wchar_t Attr183[51];
    char Attr190[21];
    char Attr191[21];
    char DirCnt[10];
    char FileCnt[10];
    wchar_t Attr141[512];
    wchar_t Attr142[512];
};

// One search hit (D2). The check state and rectangle belong to the search list.
struct _PROTO_SEARCH_INFO {
    char Continue[2];
    char ItemType[2];
    char IDX[10];
    char Attr178[10];
    char DIDX[10];
    char Attr27[2];
    wchar_t Name[512];
    wchar_t Attr197[2048];
    wchar_t Attr239[2048];
    char Attr192[22];
    wchar_t Attr219[128];       // the name a search list shows
    wchar_t Attr188[120];       // date
    char Attr9[33];
    uint32_t CheckState;        // 0 unchecked, 1 grey check, 2 checked
    RECT CheckRect;
};

// One stored version of a file (D3). The button slots belong to the version list.
struct _PROTO_VERSION_INFO {
    char IDX[10];
    char DIDX[10];
    char Attr209[8];
    wchar_t Attr187[24];        // date text, widened only
    char Attr50[2];
    char Attr192[21];
    char Attr169[31];
    wchar_t Attr183[563];
    char Attr189[32];
    char Attr9[33];
    wchar_t Reserved[256];
    void* ButtonSlots[2];
};

// One file's line of an upload summary (H5).
struct _PROTO_UPLOAD_RESULT {
    char szContinue[2];
    wchar_t wszName[512];
    wchar_t wszErrString[1024];
    wchar_t wszIdx[10];
};

// One client file of the update check (A4).
struct _UPDATE_CHECK {
    wchar_t FileName[512];      // relative to the installation folder
    wchar_t Version[50];        // empty: compare by hash
    wchar_t Hash[50];           // SHA-1 as hex text
};

// One domain of the domain list (A2).
struct DomainEntry {
    char DomainIndex[10];
    wchar_t DomainLabel[61];
    char DomainAddress[72];
    wchar_t DomainMainTitle[128];
    wchar_t DomainMessageTitle[166];
    // The server the domain is reached on: left empty by the library; the settings check of a
    // site with an internal and an external server marks every domain with its server.
    char ServerHost[72];
    int32_t ServerPort;
};

// One line of the quota list (B5), decimal texts.
struct _QUOTA_INFO {
    char TotalBytes[21];        // field 190
    char UsedBytes[21];         // field 191
    char Interval[10];          // field 224: seconds to the next quota update
};

// Alert counters (B4), decimal texts.
struct _ALARM_INFO {
    char Attr223[8];
    char Share[8];
    char Draft[8];
    char Attr190[21];
    char Attr191[21];
    char Link[8];
    char Approval[8];
    char Attr224[8];
    char Delete[8];
    char Shortcut[8];
};

// The answer to an upload announcement (H0).
struct _UPLOAD_INFO {
    char szStoredSize[21];      // bytes already on the server; empty: a new file
    char szStoredChecksum[21];  // Adler-32 of those bytes, decimal
    wchar_t wszFileName[512];
    wchar_t wszFileTime[24];
};

// One context-menu entry of the options: the section as sent, then its "$"-separated tokens
// in the order second, first, third.
struct _CONTEXT_MENU_ENTRY {
    wchar_t Section[1024];
    wchar_t Token2[256];
    wchar_t Token1[256];
    wchar_t Token3[256];
};

// The option block (A1). One-letter flags are "Y"/"N" texts; numbers are decimal texts.
struct _OPTION_INFO {
    char Attr5[5];
    char SessionInterval[8];    // 172: seconds between keep-alives
    char AlertInterval[8];      // 224: seconds between alert and quota updates
    char Attr210[9];
    wchar_t Attr211[64];
    wchar_t Telephone[64];      // 212
    char Attr213[8];
    char Attr214[8];
    wchar_t Attr215[256];
    char Attr56[2];
    char Attr57[2];
    char Attr83[2];
    char Attr37[2];
    char Attr199[11];
    char Attr31[2];
    char Attr61[2];
    char Attr80[2];
    char Attr81[2];
    char Draft[2];              // 48
    char Approval[2];           // 49
    char Attr58[2];
    char Attr59[2];
    char Attr60[2];
    char Attr165[8];
    char Attr63[2];
    char UseOnlineHelp[3];      // 64
    wchar_t DrmIcon[32];        // 163
    char MultiGuest[2];         // 65
    char Attr66[2];
    char Attr67[2];
    char Attr194[21];
    char Attr68[2];
    char Attr13[11];
    char Attr14[11];
    char Attr69[2];
    char Attr195[21];
    char LinkDownloadLimit[21]; // 162
    char SysIdleTime[21];       // 161: seconds
    char Attr71[2];
    char Attr15[11];
    char Attr16[11];
    // Never in a reply: the main window turns these on after reading the options. They show
    // the status bar's web storage, drive add-on and backup add-on buttons.
    char WebStorage[2];
    char DriveAddOn[2];
    char BackupAddOn[2];
    wchar_t ManualUrl[1024];    // 160
    wchar_t UploadResultMsg[1024]; // 228
    char Attr74[2];
    char Factor[8];             // 159: upload frame size in 65,000-byte pieces
    char Attr156[10];
    char Attr77[2];
    char Attr78[2];
    char Attr82[2];
    char Attr84[2];
    char Attr154[2];
    char Attr92[2];
    char UserFileLimited[2];    // 94
    char PrivacyModel[2];       // 138
    char DirectEdit[2];         // 95
    char DbClickDirectEdit[2];  // 96
    char DbClickNoAction[2];    // 97
    char DisableShareWrite[2];  // 98
    char UploadClose[2];        // 135
    char DownloadClose[2];      // 136
    char PwMustUse[2];          // 198
    char UseShortcut[2];        // 99
    char UseReceivedCnt[2];     // 201
    char SubOption[2];          // 133
    // From field 140: approval request, approval request out, approval request enc,
    // network transfer, file transfer.
    _CONTEXT_MENU_ENTRY ContextMenu[5];
};

// The samba option block (A3).
struct _SAMBA_OPTION {
    wchar_t Attr225[260];
    char Attr55[2];
    char Attr172[8];
};
