// CToviProto, server folders: the folder record's copy, clear and release, the folder listing
// (D0), the change check (D4), the received-items count (D5) and a new folder (F0).
#include "ToviProto.h"
#include "ProtoCommands.h"
#include "ProtoFields.h"
#include "ReplyFields.h"
#include "TraceLog.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

using namespace protofield;
using namespace replyfield;

namespace {

constexpr int kUtf8NameBuffer = 1024;
// Of the long location text, only this much of the value is decoded.
constexpr size_t kLocationBytes = 2047;

template <size_t N> void CopyMember(char (&dest)[N], const char (&src)[N])
{
    std::memset(dest, 0, N);
    std::memcpy(dest, src, strnlen(src, N - 1));
}

template <size_t N> void CopyMember(wchar_t (&dest)[N], const wchar_t (&src)[N])
{
    std::memset(dest, 0, sizeof dest);
    std::wmemcpy(dest, src, wcsnlen(src, N - 1));
}

// Fills item from one reply record, fields in ascending id order. A record that carries the
// continuation letter is the page marker, not an item: false, and its later fields are not
// read. With continueFlag null the letter is an ordinary field to skip.
bool ReadFolderRecord(const ProtRecord& record, _PROTO_FOLDER_INFO& item, bool englishDates, char* continueFlag)
{
    for (const auto& field : record) {
        const std::string& value = field.second;
        switch (field.first) {
        case kContinue:
            if (!continueFlag)
                break;
            CopyText(continueFlag, 2, value);
            TraceLog(TRACE_SEND, L"[ D0 ] CONTINUE = %S", continueFlag);
            return false;
        case kItemType: CopyText(item.ItemType, value); break;
        case kIndex: CopyText(item.IDX, value); break;
        case kAttr178: CopyText(item.Attr178, value); break;
        case kAttr179: CopyText(item.Attr179, value); break;
        case kDomainIndex: CopyText(item.DIDX, value); break;
        case kName: DecodeUtf8(item.Name, value); break;
        case kModified: DateText(item.Attr188, value, englishDates); break;
        case kAttr189: CopyText(item.Attr189, value); break;
        case kPermission: CopyText(item.Attr5, value); break;
        case kAttr33: CopyText(item.Attr33, value); break;
        case kAttr27: CopyText(item.Attr27, value); break;
        case kAttr28: CopyText(item.Attr28, value); break;
        case kShare: CopyText(item.Attr29, value); break;
        case kAttr30: CopyText(item.Attr30, value); break;
        case kAttr62: CopyText(item.Attr62, value); break;
        case kQuota: CopyText(item.Attr190, value); break;
        case kUsedQuota: CopyText(item.Attr191, value); break;
        case kPath: DecodeUtf8(item.Attr197, 4096, value, kLocationBytes); break;
        case kSharePassword: CopyText(item.Attr198, value); break;
        case kAttr231: CopyText(item.Attr231, value); break;
        case kSize: CopyText(item.Attr192, value); break;
        case kPassPhrase: CopyText(item.Attr9, value); break;
        case kAttr232: DecodeUtf8(item.Attr232, value); break;
        case kDate: DecodeUtf8(item.Attr13, value); break;
        case kUserId: DecodeUtf8(item.Attr169, value); break;
        case kUserName: DecodeUtf8(item.Attr183, value); break;
        case kAttr237: CopyText(item.Attr237, value); break;
        case kAttr158: WidenAnsi(item.Attr158, value); break;
        case kAccessTime: CopyText(item.AccessTime, value); break;
        case kDirCount: CopyText(item.DirCnt, value); break;
        case kFileCount: CopyText(item.FileCnt, value); break;
        case kLinkCount: CopyText(item.LinkCnt, value); break;
        case kPrivacyCount: CopyText(item.PrivacyCnt, value); break;
        case kAttr138: DecodeUtf8(item.Attr138, value); break;
        default: break;
        }
    }
    return true;
}

// The map key of a folder: its index as a number, after a leading "r".
int FolderKey(const char* idx)
{
    return std::atoi(idx[0] == 'r' ? idx + 1 : idx);
}

}

void CToviProto::memsetFolderInfo(_PROTO_FOLDER_INFO* info)
{
    if (info)
        *info = _PROTO_FOLDER_INFO();
}

void CToviProto::CopyFolderInfo(_PROTO_FOLDER_INFO* dest, const _PROTO_FOLDER_INFO* src, bool flag)
{
    (void)flag;
    if (!dest || !src || dest == src)
        return;
    CopyMember(dest->ItemType, src->ItemType);
    CopyMember(dest->IDX, src->IDX);
    CopyMember(dest->Attr178, src->Attr178);
    CopyMember(dest->Attr179, src->Attr179);
    CopyMember(dest->DIDX, src->DIDX);
    CopyMember(dest->Name, src->Name);
    CopyMember(dest->Attr188, src->Attr188);
    CopyMember(dest->Attr189, src->Attr189);
    CopyMember(dest->Attr5, src->Attr5);
    CopyMember(dest->Attr33, src->Attr33);
    CopyMember(dest->Attr27, src->Attr27);
    CopyMember(dest->Attr28, src->Attr28);
    CopyMember(dest->Attr29, src->Attr29);
    CopyMember(dest->Attr30, src->Attr30);
    CopyMember(dest->Attr62, src->Attr62);
    CopyMember(dest->Attr190, src->Attr190);
    CopyMember(dest->Attr191, src->Attr191);
    CopyMember(dest->Attr197, src->Attr197);
    CopyMember(dest->Attr198, src->Attr198);
    CopyMember(dest->Attr231, src->Attr231);
    CopyMember(dest->Attr192, src->Attr192);
    CopyMember(dest->Attr9, src->Attr9);
    CopyMember(dest->Attr232, src->Attr232);
    CopyMember(dest->Attr13, src->Attr13);
    CopyMember(dest->Attr169, src->Attr169);
    CopyMember(dest->Attr183, src->Attr183);
    CopyMember(dest->Attr237, src->Attr237);
    CopyMember(dest->Attr158, src->Attr158);
    std::memset(dest->Reserved160, 0, sizeof dest->Reserved160);
    CopyMember(dest->AccessTime, src->AccessTime);
    CopyMember(dest->DirCnt, src->DirCnt);
    CopyMember(dest->FileCnt, src->FileCnt);
    CopyMember(dest->LinkCnt, src->LinkCnt);
    CopyMember(dest->PrivacyCnt, src->PrivacyCnt);
    CopyMember(dest->Attr138, src->Attr138);
}

void CToviProto::ReleaseFolderInfo()
{
    std::vector<_PROTO_FOLDER_INFO>().swap(FolderInfo);
    FolderInfoMap.clear();
}

void CToviProto::ReleasePropertyInfo()
{
    std::vector<_PROTO_PROPERTY_INFO>().swap(PropertyInfo);
}

void CToviProto::ReleaseSearchInfo()
{
    std::vector<_PROTO_SEARCH_INFO>().swap(SearchInfo);
}

void CToviProto::ReleaseVersionInfo()
{
    std::vector<_PROTO_VERSION_INFO>().swap(VersionInfo);
}

int CToviProto::GetFolderInfo(char* idx, char* didx, char* itemType, bool yFlag, bool release)
{
    if (release)
        ReleaseFolderInfo();
    ClearResult();
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kItemType] = Text(itemType);
    if (yFlag)
        record[kListFlag] = "Y";
    return SendRecords(C_FD_LIST, {record});
}

void CToviProto::ParseFolderListReply(const _PROT& msg)
{
    std::memset(ContinueFlag, 0, sizeof ContinueFlag);
    const bool english = EnglishDates();
    for (const ProtRecord& record : msg.records) {
        _PROTO_FOLDER_INFO item = {};
        if (!ReadFolderRecord(record, item, english, ContinueFlag))
            continue;
        if (std::strcmp(item.ItemType, "D") == 0)
            FolderInfoMap[FolderKey(item.IDX)] = item;
        FolderInfo.push_back(std::move(item));
    }
}

int CToviProto::GetCacheChanged(char* idx, char* didx, char* accessTime, char* dirCnt, char* fileCnt, char* linkCnt,
                                char* privacyCnt)
{
    TraceLog(TRACE_SEND,
             L" [ GetCacheChanged ] IDX : %S DIDX : %S AccessTime : %S DirCnt : %S FileCnt : %S LinkCnt : %S "
             L"PrivacyCnt : %S",
             Text(idx).c_str(), Text(didx).c_str(), Text(accessTime).c_str(), Text(dirCnt).c_str(),
             Text(fileCnt).c_str(), Text(linkCnt).c_str(), Text(privacyCnt).c_str());
    std::memset(CacheChanged, 0, sizeof CacheChanged);
    ClearResult();
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kAccessTime] = Text(accessTime);
    record[kDirCount] = Text(dirCnt);
    record[kFileCount] = Text(fileCnt);
    record[kLinkCount] = Text(linkCnt);
    record[kPrivacyCount] = Text(privacyCnt);
    return SendRecords(C_FD_CACHE, {record});
}

void CToviProto::ParseCacheReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        auto changed = record.find(kChanged);
        if (changed != record.end()) {
            CopyText(CacheChanged, changed->second);
            TraceLog(TRACE_SEND, L"F_IS_CHANGED -- %S", CacheChanged);
        }
    }
}

int CToviProto::GetFileCount(char* sessionId)
{
    ClearResult();
    ProtRecord record = SessionRecord(sessionId);
    return SendRecords(C_FILE_COUNT, {record});
}

void CToviProto::ParseFileCountReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        auto count = record.find(kReceivedCount);
        if (count != record.end())
            CopyText(FileCountInfo, count->second);
    }
    TraceLog(TRACE_SEND,
             L"\n*************************************** [ File Count ] ***************************************\n"
             L"-RECEIVED FOLDER : %S\n",
             FileCountInfo);
}

int CToviProto::GetMakeNewDir(char* parentIdx, char* parentDidx, const wchar_t* name, char* mode)
{
    ClearResult();
    memsetFolderInfo(&CurFolderInfo);
    const std::string utf8Name = EncodeUtf8(name, kUtf8NameBuffer);
    if (utf8Name.empty())
        return -1;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%d%d%d%d%d%d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                  now.wSecond);
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(parentIdx);
    record[kDomainIndex] = Text(parentDidx);
    record[kName] = utf8Name;
    record[kCreated] = stamp;
    record[kModified] = stamp;
    record[kMode] = Text(mode);
    return SendRecords(C_MKDIR, {record}, kKeepOnErrorReply);
}

void CToviProto::ParseNewFolderReply(const _PROT& msg)
{
    memsetFolderInfo(&CurFolderInfo);
    const bool english = EnglishDates();
    for (const ProtRecord& record : msg.records)
        ReadFolderRecord(record, CurFolderInfo, english, nullptr);
}
