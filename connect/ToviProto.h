// The request API of the connection library: one object per session or worker, owning at most
// one connection. Every reply lands in the object's public data, read by the caller after the
// request returned.
//
// Requests are synchronous and may come from any thread, one at a time per object (the
// connection's send lock serialises them). The receive thread writes the public data only
// while the requester waits, so read it after the call returns and before the next request.
#pragma once
#include "ToviConnectApi.h"
#include "ToviProtoTypes.h"
#include "ProtoRecords.h"
#include "ProtoShareRecords.h"
#include "Strings.h"
#include <windows.h>
#include <cstdint>
#include <map>
#include <vector>

class CToviConn;
class CFile;

// Log-in block (the B0 reply).
struct _LOGIN_INFO {
    char SessionId[33];
    char SessionUpdateTime[29];
    wchar_t UserId[512];
    wchar_t UserName[512];
    wchar_t UserPosName[512];
    char LastLogin[24];
    char LastLoginIp[24];
    char ResetPassword[2];
    char GuestLogin[2];
};

// Where the connection goes. The three texts are the callers' own; the library only keeps them.
struct _SERVER_ADDRESS {
    char szHost[128];
    CString strCallerText;
    CString WebServerAddress;
    CString strCallerText2;
    char szCode[16];            // session set-up code sent with A0
    int nPort;                  // -1 until set
};

// H1 answer and the H4 header text of a download.
struct _DOWNLOAD_INFO {
    char cAnswer[2];
    wchar_t wszMessage[1024];
};

class TOVICONNECT_API CToviProto {
public:
    CToviProto();
    ~CToviProto();
    // A copy would share the connection pointer and delete it twice.
    CToviProto(const CToviProto&) = delete;
    CToviProto& operator=(const CToviProto&) = delete;

    // Makes sure the object has a connection with a session cipher: 0; a connection error code
    // (1-4, 19, or the code of the A0 send); -1 when no connection object could be made or the
    // A0 reply was refused (the result block says why). The window is not used.
    int GetSecureCode(HWND wnd, char* host, int port, char* code, uint16_t pendingCmd);

    // Deletes the connection, if any. Always 0.
    int CloseSocket();
    // True when the system reports a modem, LAN or proxy connection.
    static bool CheckNetwork();
    // 0 when the connection is alive, else 8.
    int CheckServerCon();
    // The session cipher of the current connection ("SEED-128-OFB", "ARIA-256-CFB"); empty
    // without a keyed connection. The requester's thread, between requests.
    CString GetCipherName() const;
    // The dotted IPv4 text of this computer's first address; empty on failure.
    CString GetLocalAddress();
    // Upload limit in KB per second (decimal text; 0 = none). Needs a connection.
    void SetBandWidth(char* kb);
    // Upload frame size in 65,000-byte pieces (decimal text). Needs a connection.
    void SetUpDownFactor(char* factor);
    // Upload progress then goes out as WM_UPLOAD_POLICY_PROGRESS. Needs a connection.
    void SetPolicyKey(CString key, DWORD number);
    static void ZeroMemoryPROT(_PROT* msg);

    // ---- Log-in and session (B0-B5) ----
    // Log-in on the connection that GetSecureCode has just made; it neither connects nor drops
    // the connection. 0 with the session in LoginInfo; the server's result code when it
    // refused, or -1 when a refusal carries no code or the reply no session id; a connection
    // error code (the connection is then closed); -1 without sending when the domain index or
    // the user id is empty or an argument does not convert.
    int GetLoginInfo(CString domainIndex, CString userId, CString password, char* languageCode, char* option23,
                     char* clientKind, bool force, CString macList, char* sessionId);
    // Closes the connection afterwards, whatever the outcome; -1 when no server host is known.
    int GetLogoutInfo();
    // The next keep-alive interval lands in LoginInfo.SessionUpdateTime.
    int GetSessionUpdate(char* sessionId);
    int GetResetPWD(char* currentPassword, char* newPassword);
    int GetAlertUpdate(char* sessionId);    // fills AlarmInfo
    int GetQuotaUpdate(char* sessionId);    // fills QuotaList
    void ReleaseQuotaList();

    // ---- Server options and lists (A1-A5) ----
    int GetDomainInfo();                    // DomainInfo and the domain options
    int GetOption();                        // OptionInfo
    int GetSambaOption();                   // SambaOption
    int GetUpdateCheck(char* clientKind);   // UpdateCheck and UpdatePort
    int GetLanguageInfo();                  // LanguageInfo
    void ReleaseDomainInfo();
    void ReleaseUpdateCheck();
    void ReleaseLanguageInfo();

    // ---- Folders (D0, D4, D5, F0) and the folder record ----
    // Lists a folder into FolderInfo ("0", "0" for the top level); itemType "D" lists folders
    // only, null everything. release empties FolderInfo first; a paged listing repeats the
    // call with release false until ContinueFlag reads "N".
    int GetFolderInfo(char* idx, char* didx, char* itemType, bool yFlag, bool release);
    // Whether a folder changed since the counters the caller holds: CacheChanged.
    int GetCacheChanged(char* idx, char* didx, char* accessTime, char* dirCnt, char* fileCnt, char* linkCnt,
                        char* privacyCnt);
    int GetFileCount(char* sessionId);      // FileCountInfo
    // Makes a folder; its record lands in CurFolderInfo. An error reply keeps the connection.
    int GetMakeNewDir(char* parentIdx, char* parentDidx, const wchar_t* name, char* mode);
    // Copies every text member up to its terminator; Children stay as they were. The flag has
    // no effect.
    static void CopyFolderInfo(_PROTO_FOLDER_INFO* dest, const _PROTO_FOLDER_INFO* src, bool flag);
    static void memsetFolderInfo(_PROTO_FOLDER_INFO* info);
    void ReleaseFolderInfo();
    void ReleasePropertyInfo();
    void ReleaseSearchInfo();
    void ReleaseVersionInfo();

    // ---- Upload and download (H0, H1, H3, H5, H6) ----
    // A transport error leaves the connection open (the worker closes it before a retry); an
    // error reply drops it and gives -1.
    // Announces a file for the folder idx/didx; UploadInfo says what the server holds of it.
    int GetUploadInfo(char* idx, char* didx, const wchar_t* name, const wchar_t* text, __int64 size, char* ctime,
                      char* mtime, char* extra);
    // The caller's choice after an announcement: "1" overwrite, "2" skip, "3" resume, "4" cancel.
    int GetUploadOverWrite(char* mode);
    // Sends the file from its current position (the caller seeks to offset), with progress to wnd.
    int GetUploadFile(HWND wnd, CFile& file, __int64 size, __int64 offset);
    int GetUploadResult(char* extra);       // UploadResult
    int GetUploadCancel();
    // Asks for a file. An H4 stream is written to file by the receive thread, with progress to
    // wnd; or DownloadInfo.cAnswer says whether the local copy (size, checksum) can resume.
    // passPhrase, when given, is the file's 32-character key.
    int GetDownloadInfo(HWND wnd, HANDLE file, char* idx, char* didx, char* item, char* size, char* checksum,
                        char* passPhrase);
    // "3" resume from offset (the stream follows), "2" skip.
    int GetDownloadPosition(char* mode, __int64 offset);
    int GetDownloadContinue(char* key);
    void ReleaseUploadResult();

    // ---- Public data ----
    CToviConn* m_pConn;
    _LOGIN_INFO LoginInfo;
    _SERVER_ADDRESS ServerAddress;
    _DOWNLOAD_INFO DownloadInfo;
    char ContinueFlag[2];
    DWORD NoTimerFlag;          // non-zero: requests leave timer 1 of the caller's main window alone
    // Domain options (A2).
    char ServerVersionInfo[32];
    char WebLogin[2];
    char ConnectTimeout[5];     // seconds; missing or below 1: 3
    char SocketTimeout[5];      // seconds; missing or below 1: 5
    char RetryTimeout[5];
    char RetryCount[5];
    char ServerIn[128];
    char ServerOut[128];
    char LoginOption[13];
    char TitlebarColor[8];       // "#RRGGBB"
    char UpdateUrl[128];
    char AdDomain[128];
    CString CustomerCode;
    _RESULT_INFO ResultInfo;
    BYTE m_bCallerFlag1;
    BYTE m_bCallerFlag2;
    BYTE m_bCallerFlag3;

    // ---- Public data: log-in, session, options and lists ----
    char GroupFullPath[260] = {};
    _ALARM_INFO AlarmInfo = {};
    std::vector<_QUOTA_INFO> QuotaList;
    std::vector<DomainEntry> DomainInfo;
    // The domain the user logged in to: its index (empty while a log-in runs), and its address
    // and index as wide texts. Set by the login dialog, read by the main program.
    char DomainIndex[10] = {};
    CString DomainAddressW;
    CString DomainIndexW;
    _OPTION_INFO OptionInfo = {};
    _SAMBA_OPTION SambaOption = {};
    std::vector<_UPDATE_CHECK> UpdateCheck;
    wchar_t UpdatePort[16] = {};
    std::vector<CString> LanguageInfo;
    // ---- Public data: folders ----
    _PROTO_FOLDER_INFO CurFolderInfo = {};
    std::vector<_PROTO_FOLDER_INFO> FolderInfo;
    std::map<int, _PROTO_FOLDER_INFO> FolderInfoMap;   // the folders of FolderInfo by index
    std::vector<_PROTO_PROPERTY_INFO> PropertyInfo;
    std::vector<_PROTO_SEARCH_INFO> SearchInfo;
    std::vector<_PROTO_VERSION_INFO> VersionInfo;
    char CacheChanged[4] = {};
    char FileCountInfo[8] = {};
    // ---- Public data: transfers ----
    _UPLOAD_INFO UploadInfo = {};
    std::vector<_PROTO_UPLOAD_RESULT> UploadResult;

    // ==== Users and groups, shortcuts and limits, file operations, properties, versions,
    // search, thumbnails, shares, guests, links and sending files ====
    //
    // Multi-step operations: a start request, then continuations while the reply asks for
    // more. The Run... operations are those loops: 0 when the server ended the operation, the
    // failing request's result otherwise, and -1 with IXO_SOCK_ERR_NO_END in the result block
    // (the connection dropped) when the server asked for more than maxSteps continuations or
    // answered with a continuation value the loop does not know. The callback, when given, is
    // told before every continuation and may stop the operation.

    // ---- Users and groups (C0, C1) ----
    // One page of a level of the user and group tree (groupId empty: the domain list).
    // clearList empties UGroupInfo first; every page replaces UGroupInfoTmp and is appended to
    // UGroupInfo; ContinueFlag says whether more follows. continuation "N" stops a listing.
    int GetUserGroupList(char* groupId, char* domainIndex, bool clearList, char* option38, char* continuation);
    // One page of a search: type "A" users and groups, "G" groups, "U" users. -1 without
    // sending when the text is empty.
    int GetSearchUserGroup(char* type, char* option72, const wchar_t* text, char* domainIndex, bool clearList,
                           char* option38, char* continuation);
    // Every page into UGroupInfo; a stopped listing sends "N" and returns that request's result.
    int RunUserGroupList(char* groupId, char* domainIndex, char* option38, PROTO_STEP_CALLBACK callback = nullptr,
                         void* context = nullptr, int maxSteps = PROTO_MAX_STEPS);
    int RunSearchUserGroup(char* type, char* option72, const wchar_t* text, char* domainIndex, char* option38,
                           PROTO_STEP_CALLBACK callback = nullptr, void* context = nullptr,
                           int maxSteps = PROTO_MAX_STEPS);
    void ReleaseUGroupInfo();
    void ReleaseUGroupInfoTmp();

    // ---- Shortcuts, limits and other commands (D6, D7, F7, H7, S8) ----
    int GetShortcutList();                  // ShortcutList holds exactly the reply's shortcuts
    int AddShortcut(std::vector<char*> ids);
    int DeleteShortcut(std::vector<char*> ids);
    // Whether a server file may be edited directly (flags "Y","Y"), or file sending on/off
    // ("Y","N" / "N","N"): LimitInfo.
    int GetSendFileSet(char* idx, char* didx, char* flag87, char* flag95);
    int GetUploadBandWidth(char* sessionId);            // UploadBandWidth
    int DeleteBackupPC(char* sessionId, char* pcIdx);

    // ---- File operations (F1-F5) ----
    // Copy ("C") or move ("M") one item into targetFolder. The reply names the item in
    // FileOpInfo (FileOpFlag "Y": an item of that name is there already); PasteResult holds
    // a per-item code, 1329 asking whether a share may be released.
    int GetPaste(char* sourceFolder, char* targetFolder, char* idx, char* didx, char* itemType, char* action,
                 char* conflictMode, char* confirm);
    int GetPasteContinue(char* key, char* conflictMode);
    // The answer to 1329.
    int GetSharedReleaseContinue(char* key);
    // mode "1" to the recycle bin, "0" for good; version "0" the item, n its stored version n.
    // The last argument is not sent.
    int GetDelete(char* itemType, char* idx, char* didx, char* version, char* mode, char* unused);
    int GetDeleteContinue(char* key);
    // Nothing is stored from the reply. -1 without sending when the name is empty.
    int GetRename(char* itemType, char* idx, char* didx, const wchar_t* name);
    int GetRecyclebinClear(char* idx, char* didx);
    int GetRecyclebinRestore(char* itemType, char* idx, char* didx);
    // The delete loop: continues with "Y" while a reply names an item.
    int RunDelete(char* itemType, char* idx, char* didx, char* version, char* mode,
                  PROTO_STEP_CALLBACK callback = nullptr, void* context = nullptr, int maxSteps = PROTO_MAX_STEPS);
    int RunRecyclebinClear(char* idx, char* didx, PROTO_STEP_CALLBACK callback = nullptr, void* context = nullptr,
                           int maxSteps = PROTO_MAX_STEPS);
    // The paste and restore loops: after a reply that names an item the callback may change
    // the conflict mode; after 1329 its answer goes out as the share-release answer (without
    // a callback the steps go on, but a share is never released).
    int RunPaste(char* sourceFolder, char* targetFolder, char* idx, char* didx, char* itemType, char* action,
                 char* conflictMode, char* confirm, PROTO_PASTE_CALLBACK callback = nullptr, void* context = nullptr,
                 int maxSteps = PROTO_MAX_STEPS);
    int RunRecyclebinRestore(char* itemType, char* idx, char* didx, char* conflictMode,
                             PROTO_PASTE_CALLBACK callback = nullptr, void* context = nullptr,
                             int maxSteps = PROTO_MAX_STEPS);

    // ---- Properties, versions, search and thumbnails (D1, D3, D2, I2) ----
    // PropertyInfo keeps only the final record (the totals); progress records are dropped.
    int GetProperty(std::vector<_PROTO_FOLDER_INFO> items);
    int GetPropertyContinue(char* key);
    int RunProperty(std::vector<_PROTO_FOLDER_INFO> items, PROTO_STEP_CALLBACK callback = nullptr,
                    void* context = nullptr, int maxSteps = PROTO_MAX_STEPS);
    int GetVersion(char* idx, char* didx);              // VersionInfo
    // SearchInfo. -1 without sending when both texts are empty. A page that ends in "Y" is
    // followed by the identical request.
    int GetSearchInfo(char* idx, char* didx, char* itemType, bool content, char* dateFrom, char* dateTo,
                      char* sizeFrom, char* sizeTo, const wchar_t* userId, const wchar_t* name);
    // The image goes into file (created for writing by the caller), with progress to wnd, which
    // must exist. An error reply keeps the connection.
    int GetThumbnail(HWND wnd, HANDLE file, char* idx, char* didx);
    int GetThumbnailContinue(char* key);
    // Ends when ContinueFlag is not "Y"; a stopped transfer sends "N".
    int RunThumbnail(HWND wnd, HANDLE file, char* idx, char* didx, PROTO_STEP_CALLBACK callback = nullptr,
                     void* context = nullptr, int maxSteps = PROTO_MAX_STEPS);

    // ---- Shares (G0-G3) ----
    // SharedInfo and SharedUGroupInfo.
    int GetDShareInfo(char* folder);
    int GetGShareInfo(char* folder);
    // Sends SharedUGroupInfo as the members (members false: none, the vector emptied). The
    // password goes out in the ANSI code page, at most 20 bytes; "*" keeps the stored one.
    int SetDShareInfo(char* folder, const wchar_t* name, char* share, CString password, char* from, char* to,
                      bool members);
    // share null: isNew goes out instead.
    int SetGShareInfo(char* folder, char* isNew, const wchar_t* name, char* share, char* option30,
                      _PROTO_SHARED_INFO* info, bool members);
    void ReleaseSharedUGroupInfo();

    // ---- Guests (G4-G8) ----
    int GetGuestInfo(char* folder);                     // SharedInfo
    int SetGuestInfo(char* folder, int mode, _PROTO_SHARED_INFO* info);
    int GetGuestContinue(char* key);
    int GetGuestMultiInfo(char* folder);                // GuestFolderInfo and GuestUsers
    // Sends GuestUsers as the guests; the replies refill GuestUsers and set GuestMultiIdx.
    int SetGuestMultiInfo(char* folder, _PROTO_GUEST_FOLDER_INFO* info);
    int GetGuestMultiContinue(char* key);
    int SetGuestResetPWD(char* folder);
    int SetGuestResetPWDContinue(char* key);
    // The set request, then "Y" continuations while ContinueFlag starts with "Y".
    int RunGuestSet(char* folder, int mode, _PROTO_SHARED_INFO* info, int maxSteps = PROTO_MAX_STEPS);
    int RunGuestMultiSet(char* folder, _PROTO_GUEST_FOLDER_INFO* info, int maxSteps = PROTO_MAX_STEPS);
    int RunGuestResetPWD(char* folder, int maxSteps = PROTO_MAX_STEPS);
    void ReleaseGuestUsers();

    // ---- Links and sending files (I0, I1, I3) ----
    // mode "C" create, "M" change, "D" remove (only the link id goes with it).
    int SetLinkInfo(char* idx, char* didx, char* mode, _PROTO_LINK_INFO* info);
    int GetLinkInfo(char* idx, char* didx);             // LinkInfo
    int GetSendFiles(char* expire, std::vector<_SEND_FILES> files, std::vector<_RECEIVER_LIST> receivers);
    void ReleaseLinkInfo();

    // ---- Public data: users, shortcuts, file operations, shares, guests and links ----
    // Passwords of replies (fields 194 and 198) are decoded the way the same field travels in
    // requests: 194 as UTF-8, 198 in the ANSI code page; at most 20 characters are kept.
    std::vector<_PROTO_UGROUP_INFO> UGroupInfo;         // every page since the last clearList
    std::vector<_PROTO_UGROUP_INFO> UGroupInfoTmp;      // the last page
    std::vector<_SHORTCUT_LIST> ShortcutList;
    _LIMIT_INFO LimitInfo = {};
    char UploadBandWidth[16] = {};
    _FILE_OP_INFO FileOpInfo = {};
    _RESULT_INFO PasteResult = {};                      // nReplyCmd is not used
    _PROTO_SHARED_INFO SharedInfo = {};
    std::vector<_PROTO_SHARED_UGROUP> SharedUGroupInfo;
    _PROTO_GUEST_FOLDER_INFO GuestFolderInfo = {};
    std::vector<_PROTO_GUEST_USER_INFO> GuestUsers;
    char GuestMultiIdx[11] = {};
    std::vector<_PROTO_LINK_INFO> LinkInfo;

protected:
    friend class CToviConn;

    // The reply parser, on the receive thread while the requester waits: 0, or 15 when the
    // A0 cipher set-up fails. One table maps each reply command to its parser; unknown reply
    // commands and those that carry nothing are accepted and ignored.
    int ParseReply(_PROT& msg);

    // How a request departs from the common outcome rules.
    enum RequestFlags : unsigned {
        kRequestDefault = 0,
        kKeepOnSendError = 1,   // 9 and 19 leave the connection (transfers close it themselves)
        kKeepOnErrorReply = 2,  // an error reply leaves the connection (folder creation, thumbnails)
    };
    // The common request path: the caller has cleared ResultInfo (ClearResult) and built msg
    // (NewMessage plus its records). Connects when there is no connection, sends, and applies
    // the outcome rules: 0; -1 after an error reply or a failure recorded during the exchange,
    // or when no connection could be made; 9 and 19 as they are, the connection deleted;
    // other codes as they are, the connection kept.
    int Request(_PROT& msg, unsigned flags = kRequestDefault);
    void ClearResult();
    // Clears msg and starts it as an enciphered request of the given command.
    static void NewMessage(_PROT& msg, uint16_t command);
    // Stores a client-side failure that happens before any connection exists.
    void SetResult(uint32_t replyCmd, int code, const wchar_t* message);
    // The first record of a session request: the session id of this object's log-in, or the
    // one given (a worker may speak for another object's session; null sends none).
    ProtRecord SessionRecord() const;
    static ProtRecord SessionRecord(const char* sessionId);

private:
    void DeleteConnection();
    int ParseSecureCode(const _PROT& msg);
    // E0, E1 and E2: the reply's own command stands in the result block.
    void ParseErrorReply(const _PROT& msg);
    void ParseDownloadHeader(const _PROT& msg);

    // ---- Reply parsers and requests of the command families ----
    void ParseLoginReply(const _PROT& msg);
    void ParseSessionUpdateReply(const _PROT& msg);
    void ParseAlertReply(const _PROT& msg);
    void ParseQuotaReply(const _PROT& msg);
    void ParseDomainReply(const _PROT& msg);
    void ParseOptionReply(const _PROT& msg);
    void ParseSambaReply(const _PROT& msg);
    void ParseUpdateCheckReply(const _PROT& msg);
    void ParseLanguageReply(const _PROT& msg);
    void ParseFolderListReply(const _PROT& msg);
    void ParseCacheReply(const _PROT& msg);
    void ParseFileCountReply(const _PROT& msg);
    void ParseNewFolderReply(const _PROT& msg);
    void ParseUploadInfoReply(const _PROT& msg);
    void ParseDownloadAnswerReply(const _PROT& msg);
    void ParseUploadResultReply(const _PROT& msg);
    // Splits the context-menu text of the options into OptionInfo.ContextMenu.
    void ParsingContextStr(CString text);

    // ---- Reply parsers and helpers of the user, file-operation, item, share, guest and link
    // requests ----
    void ParseUserGroupReply(const _PROT& msg, bool listing);
    void ParseUserGroupListReply(const _PROT& msg);
    void ParseUserGroupSearchReply(const _PROT& msg);
    void ParseShortcutListReply(const _PROT& msg);
    void ParseLimitReply(const _PROT& msg);
    void ParseBandWidthReply(const _PROT& msg);
    void ParsePasteReply(const _PROT& msg);
    void ParseDeleteReply(const _PROT& msg);
    void ParsePropertyReply(const _PROT& msg);
    void ParseVersionReply(const _PROT& msg);
    void ParseSearchReply(const _PROT& msg);
    void ParseThumbnailReply(const _PROT& msg);
    void ParseShareReply(const _PROT& msg, bool group);
    void ParseFolderShareReply(const _PROT& msg);
    void ParseGroupShareReply(const _PROT& msg);
    void ParseGuestReply(const _PROT& msg);
    void ParseGuestSetReply(const _PROT& msg);
    void ParseGuestMultiReply(const _PROT& msg);
    void ParseGuestMultiSetReply(const _PROT& msg);
    void ParseGuestPasswordReply(const _PROT& msg);
    void ParseLinkListReply(const _PROT& msg);
    void ParseRenameReply(const _PROT& msg);
    void ParseUploadCancelReply(const _PROT& msg);
    // The common request path for a message of these records.
    int SendRecords(uint16_t command, std::vector<ProtRecord> records, unsigned flags = kRequestDefault);
    // A continuation of a multi-step request: the key in field 44, after the session id when
    // withSession (a continuation on the start request's connection needs none).
    int SendContinuation(uint16_t command, char* key, bool withSession, unsigned flags = kRequestDefault);
    // Ends a multi-step operation that the server would not end: the result block says so,
    // the connection goes, -1.
    int EndOperation(uint16_t command);
    // A paste or restore after its start request.
    int RunPasteSteps(int result, char* conflictMode, PROTO_PASTE_CALLBACK callback, void* context, int maxSteps);
    // The guest set loops after their start request.
    int RunGuestSteps(int result, uint16_t command, int (CToviProto::*next)(char*), int maxSteps);
    // Makes the connection when there is none (or it was given up): 0, else -1 with the
    // connection object deleted.
    int EnsureConnection(uint16_t pendingCommand);
};
