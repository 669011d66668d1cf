// CToviProto: the user and group tree and the user and group search (C0, C1), page by page and
// as whole listings.
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ProtoMoreCommands.h"
#include "ReplyFields.h"
#include <cstring>

using namespace protofield;
using namespace replyfield;

namespace {

// The department path is long; only this much of it is decoded.
constexpr size_t kGroupPathBytes = 2047;

bool Is(const char* flag, const char* value)
{
    return std::strcmp(flag, value) == 0;
}

}

int CToviProto::GetUserGroupList(char* groupId, char* domainIndex, bool clearList, char* option38,
                                 char* continuation)
{
    ClearResult();
    if (clearList)
        ReleaseUGroupInfo();
    ProtRecord record = SessionRecord();
    record[kGroupId] = Text(groupId);
    record[kDomainIndex] = Text(domainIndex);
    record[kListOption] = Text(option38);
    record[kContinue] = Text(continuation);
    return SendRecords(C_UGROUP_LIST, {record});
}

int CToviProto::GetSearchUserGroup(char* type, char* option72, const wchar_t* text, char* domainIndex,
                                   bool clearList, char* option38, char* continuation)
{
    ClearResult();
    if (clearList)
        ReleaseUGroupInfo();
    const std::string search = EncodeUtf8(text, 1024);
    if (search.empty())
        return -1;
    ProtRecord record = SessionRecord();
    record[kMemberType] = Text(type);
    record[kSearchOption] = Text(option72);
    record[kName] = search;
    record[kDomainIndex] = Text(domainIndex);
    record[kListOption] = Text(option38);
    record[kContinue] = Text(continuation);
    return SendRecords(C_UGROUP_SEARCH, {record});
}

void CToviProto::ReleaseUGroupInfo()
{
    std::vector<_PROTO_UGROUP_INFO>().swap(UGroupInfo);
}

void CToviProto::ReleaseUGroupInfoTmp()
{
    std::vector<_PROTO_UGROUP_INFO>().swap(UGroupInfoTmp);
}

void CToviProto::ParseUserGroupReply(const _PROT& msg, bool listing)
{
    std::memset(ContinueFlag, 0, sizeof ContinueFlag);
    ReleaseUGroupInfoTmp();
    for (const ProtRecord& record : msg.records) {
        _PROTO_UGROUP_INFO entry;
        std::memset(&entry, 0, sizeof entry);
        bool isEntry = true;
        for (const auto& field : record) {
            const std::string& value = field.second;
            switch (field.first) {
            case kContinue:
                // The paging record: its later fields are not read and it is no entry.
                CopyText(ContinueFlag, value);
                isEntry = false;
                break;
            case kMemberType: CopyText(entry.Type, value); break;
            case kMemberCode: CopyText(entry.Code, value); break;
            case kUserName: DecodeUtf8(entry.Name, value); break;
            case kUserId: CopyText(entry.UserId, value); break;
            case kPositionName: DecodeUtf8(entry.PosName, value); break;
            case kGroupId: CopyText(entry.GroupId, value); break;
            case kGroupName: DecodeUtf8(entry.GroupName, value); break;
            case kDomainIndex: CopyText(entry.DomainIndex, value); break;
            case kDomainLabel: DecodeUtf8(entry.DomainLabel, value); break;
            case kAttr178:
                if (listing)
                    CopyText(entry.Value178, value);
                break;
            case kAttr28:
                if (listing)
                    CopyText(entry.Flag28, value);
                break;
            case kPath: DecodeUtf8(entry.GroupPath, 512, value, kGroupPathBytes); break;
            case kAttr46: CopyText(entry.Flag46, value); break;
            default: break;
            }
            if (!isEntry)
                break;
        }
        if (isEntry) {
            UGroupInfo.push_back(entry);
            UGroupInfoTmp.push_back(entry);
        }
    }
}

void CToviProto::ParseUserGroupListReply(const _PROT& msg)
{
    ParseUserGroupReply(msg, true);
}

void CToviProto::ParseUserGroupSearchReply(const _PROT& msg)
{
    ParseUserGroupReply(msg, false);
}

int CToviProto::RunUserGroupList(char* groupId, char* domainIndex, char* option38, PROTO_STEP_CALLBACK callback,
                                 void* context, int maxSteps)
{
    char more[] = "Y", stop[] = "N";
    int result = GetUserGroupList(groupId, domainIndex, true, option38, more);
    for (int steps = 0; result == 0; ++steps) {
        if (Is(ContinueFlag, "N"))
            return 0;
        if (!Is(ContinueFlag, "Y") || steps >= maxSteps)
            return EndOperation(C_UGROUP_LIST);
        const bool goOn = !callback || callback(this, context);
        result = GetUserGroupList(groupId, domainIndex, false, option38, goOn ? more : stop);
        if (!goOn)
            break;
    }
    return result;
}

int CToviProto::RunSearchUserGroup(char* type, char* option72, const wchar_t* text, char* domainIndex,
                                   char* option38, PROTO_STEP_CALLBACK callback, void* context, int maxSteps)
{
    char more[] = "Y", stop[] = "N";
    int result = GetSearchUserGroup(type, option72, text, domainIndex, true, option38, more);
    for (int steps = 0; result == 0; ++steps) {
        if (Is(ContinueFlag, "N"))
            return 0;
        if (!Is(ContinueFlag, "Y") || steps >= maxSteps)
            return EndOperation(C_UGROUP_SEARCH);
        const bool goOn = !callback || callback(this, context);
        result = GetSearchUserGroup(type, option72, text, domainIndex, false, option38, goOn ? more : stop);
        if (!goOn)
            break;
    }
    return result;
}
