// CToviProto: properties of a selection, stored versions, search and thumbnails (D1, D3, D2, I2).
#include <winsock2.h>
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ToviConn.h"
#include "ProtoMoreCommands.h"
#include "ReplyFields.h"
#include "TraceLog.h"
#include <cstring>

using namespace protofield;
using namespace replyfield;

namespace {

// Long path texts of a hit: only this much of the value is decoded.
constexpr size_t kPathBytes = 2047;

bool Is(const char* flag, const char* value)
{
    return std::strcmp(flag, value) == 0;
}

}

// ---- Properties ----

int CToviProto::GetProperty(std::vector<_PROTO_FOLDER_INFO> items)
{
    ReleasePropertyInfo();
    ClearResult();
    std::vector<ProtRecord> records{SessionRecord()};
    for (const _PROTO_FOLDER_INFO& item : items) {
        ProtRecord record;
        record[kItemType] = MemberText(item.ItemType);
        record[kIndex] = MemberText(item.IDX);
        record[kDomainIndex] = MemberText(item.DIDX);
        records.push_back(record);
    }
    std::vector<_PROTO_FOLDER_INFO>().swap(items);
    return SendRecords(C_FD_ATTR, std::move(records));
}

int CToviProto::GetPropertyContinue(char* key)
{
    ClearResult();
    return SendContinuation(C_FD_ATTR, key, true);
}

void CToviProto::ParsePropertyReply(const _PROT& msg)
{
    std::memset(ContinueFlag, 0, sizeof ContinueFlag);
    const bool english = EnglishDates();
    for (const ProtRecord& record : msg.records) {
        _PROTO_PROPERTY_INFO info;
        std::memset(&info, 0, sizeof info);
        for (const auto& field : record) {
            const std::string& value = field.second;
            switch (field.first) {
            case kContinue: CopyText(ContinueFlag, value); break;
            case kIndex: CopyText(info.IDX, value); break;
            case kDomainIndex: CopyText(info.DIDX, value); break;
            case kName: DecodeUtf8(info.Name, value); break;
            case kCreated: DateText(info.Attr187, value, english); break;
            case kModified: DateText(info.Attr188, value, english); break;
            case kAttr33: CopyText(info.Attr33, value); break;
            case kShare: CopyText(info.Attr29, value); break;
            case kAttr30: CopyText(info.Attr30, value); break;
            case kAttr231: CopyText(info.Attr231, value); break;
            case kSize: CopyText(info.Attr192, value); break;
            case kUserId: CopyText(info.Attr169, value); break;
            case kUserName: DecodeUtf8(info.Attr183, value); break;
            case kQuota: CopyText(info.Attr190, value); break;
            case kUsedQuota: CopyText(info.Attr191, value); break;
            case kDirCount: CopyText(info.DirCnt, value); break;
            case kFileCount: CopyText(info.FileCnt, value); break;
            case kAttr141: DecodeUtf8(info.Attr141, value); break;
            case kAttr142: DecodeUtf8(info.Attr142, value); break;
            default: break;
            }
        }
        // Records of a running count are progress; the final one carries the totals.
        if (ContinueFlag[0] == 'N')
            PropertyInfo.push_back(info);
    }
}

int CToviProto::RunProperty(std::vector<_PROTO_FOLDER_INFO> items, PROTO_STEP_CALLBACK callback, void* context,
                            int maxSteps)
{
    char more[] = "Y", stop[] = "N";
    int result = GetProperty(std::move(items));
    for (int steps = 0; result == 0; ++steps) {
        if (Is(ContinueFlag, "N"))
            return 0;
        if (!Is(ContinueFlag, "Y") || steps >= maxSteps)
            return EndOperation(C_FD_ATTR);
        const bool goOn = !callback || callback(this, context);
        result = GetPropertyContinue(goOn ? more : stop);
        if (!goOn)
            break;
    }
    return result;
}

// ---- Versions ----

int CToviProto::GetVersion(char* idx, char* didx)
{
    ReleaseVersionInfo();
    ClearResult();
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    return SendRecords(C_VER_LIST, {record});
}

void CToviProto::ParseVersionReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        _PROTO_VERSION_INFO info;
        std::memset(&info, 0, sizeof info);
        for (const auto& field : record) {
            const std::string& value = field.second;
            switch (field.first) {
            case kIndex: CopyText(info.IDX, value); break;
            case kDomainIndex: CopyText(info.DIDX, value); break;
            case kVersion: CopyText(info.Attr209, value); break;
            case kCreated: WidenAnsi(info.Attr187, value); break;
            case kAttr50: CopyText(info.Attr50, value); break;
            case kSize: CopyText(info.Attr192, value); break;
            case kUserId: CopyText(info.Attr169, value); break;
            case kUserName: DecodeUtf8(info.Attr183, value); break;
            case kAttr189: CopyText(info.Attr189, value); break;
            case kPassPhrase: CopyText(info.Attr9, value); break;
            default: break;
            }
        }
        VersionInfo.push_back(info);
    }
}

// ---- Search ----

int CToviProto::GetSearchInfo(char* idx, char* didx, char* itemType, bool content, char* dateFrom, char* dateTo,
                              char* sizeFrom, char* sizeTo, const wchar_t* userId, const wchar_t* name)
{
    ReleaseSearchInfo();
    ClearResult();
    const std::string user = EncodeUtf8(userId, 100);
    const std::string text = EncodeUtf8(name, 512);
    if (user.empty() && text.empty())
        return -1;
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kItemType] = Text(itemType);
    record[kContentSearch] = content ? "Y" : "N";
    record[kDateFrom] = Text(dateFrom);
    record[kDateTo] = Text(dateTo);
    record[kSizeFrom] = Text(sizeFrom);
    record[kSizeTo] = Text(sizeTo);
    record[kUserId] = user;
    record[kName] = text;
    return SendRecords(C_FD_SEARCH, {record});
}

void CToviProto::ParseSearchReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        _PROTO_SEARCH_INFO hit;
        std::memset(&hit, 0, sizeof hit);
        for (const auto& field : record) {
            const std::string& value = field.second;
            switch (field.first) {
            case kContinue:
                CopyText(hit.Continue, value);
                TraceLog(TRACE_RECV_OK, L"[ D2 ] C_FD_SEARCH : CONTINUE --> %S", hit.Continue);
                break;
            case kItemType: CopyText(hit.ItemType, value); break;
            case kIndex: CopyText(hit.IDX, value); break;
            case kAttr178: CopyText(hit.Attr178, value); break;
            case kDomainIndex: CopyText(hit.DIDX, value); break;
            case kAttr27: CopyText(hit.Attr27, value); break;
            case kName: DecodeUtf8(hit.Name, value); break;
            case kPath: DecodeUtf8(hit.Attr197, 2048, value, kPathBytes); break;
            case kAttr239: DecodeUtf8(hit.Attr239, value); break;
            case kSize: CopyText(hit.Attr192, value); break;
            case kExcerpt: DecodeUtf8(hit.Attr219, value); break;
            case kModified: DecodeUtf8(hit.Attr188, value); break;
            case kPassPhrase: CopyText(hit.Attr9, value); break;
            default: break;
            }
        }
        TraceLog(TRACE_RECV_OK, L"%s\n", hit.Name);
        SearchInfo.push_back(hit);
    }
    TraceLog(TRACE_RECV_OK, L"[ D2 ] C_FD_SEARCH : FILE CNT = %d", static_cast<int>(SearchInfo.size()));
}

// ---- Thumbnails ----

namespace {

// A page that its window cancelled leaves the picture short: that is no success.
int PageResult(int result, const _RESULT_INFO& info)
{
    return result == 0 && info.nResultCode == IXO_DOWNLOAD_CANCELLED ? -1 : result;
}

}

int CToviProto::GetThumbnail(HWND wnd, HANDLE file, char* idx, char* didx)
{
    ClearResult();
    std::memset(ContinueFlag, 0, sizeof ContinueFlag);
    // The image streams into the slots of this connection, so it has to exist first.
    if (EnsureConnection(C_THUMBNAIL) != 0)
        return -1;
    m_pConn->m_hProgressWnd = wnd;
    m_pConn->m_hDownloadFile = file;
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    return PageResult(SendRecords(C_THUMBNAIL, {record}, kKeepOnErrorReply), ResultInfo);
}

int CToviProto::GetThumbnailContinue(char* key)
{
    ClearResult();
    std::memset(ContinueFlag, 0, sizeof ContinueFlag);
    // The rest of a picture comes only on the connection that holds its file: on a new one
    // the server knows nothing of it, and the picture would end short.
    if (key && key[0] == 'Y' && !(m_pConn && m_pConn->IsUsable() && m_pConn->DownloadPending())) {
        ResultInfo.nResultCode = -1;
        return -1;
    }
    return PageResult(SendContinuation(C_THUMBNAIL, key, true, kKeepOnErrorReply), ResultInfo);
}

void CToviProto::ParseThumbnailReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        auto field = record.find(kContinue);
        if (field != record.end())
            CopyText(ContinueFlag, field->second);
    }
}

int CToviProto::RunThumbnail(HWND wnd, HANDLE file, char* idx, char* didx, PROTO_STEP_CALLBACK callback,
                             void* context, int maxSteps)
{
    char more[] = "Y", stop[] = "N";
    int result = GetThumbnail(wnd, file, idx, didx);
    for (int steps = 0; result == 0 && Is(ContinueFlag, "Y"); ++steps) {
        if (steps >= maxSteps)
            return EndOperation(C_THUMBNAIL);
        const bool goOn = !callback || callback(this, context);
        result = GetThumbnailContinue(goOn ? more : stop);
        if (!goOn)
            break;
    }
    return result;
}
