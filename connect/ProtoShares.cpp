// CToviProto: folder shares and group shares with their members (G0-G3).
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ProtoMoreCommands.h"
#include "ReplyFields.h"
#include "TraceLog.h"
#include <cstring>

using namespace protofield;
using namespace replyfield;

namespace {

// A share password travels in the ANSI code page and holds at most this many bytes.
constexpr size_t kPasswordBytes = 20;

// Cuts an ANSI text to at most max bytes without splitting a double-byte character.
void CutAnsi(std::string& text, size_t max)
{
    size_t keep = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
        if (at + step > max)
            break;
        at += step;
        keep = at;
    }
    text.resize(keep);
}

ProtRecord MemberRecord(const _PROTO_SHARED_UGROUP& member, bool group)
{
    ProtRecord record;
    record[kMemberType] = MemberText(member.Type);
    record[kMemberCode] = MemberText(member.Code);
    record[kGroupId] = MemberText(member.GroupId);
    if (group)
        record[kDomainIndex] = MemberText(member.DomainIndex);
    record[kPermission] = MemberText(member.Permission);
    record[kWrite] = MemberText(member.Write);
    return record;
}

}

int CToviProto::GetDShareInfo(char* folder)
{
    ClearResult();
    ReleaseSharedUGroupInfo();
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(folder);
    return SendRecords(C_DSHARE_INFO, {record});
}

int CToviProto::GetGShareInfo(char* folder)
{
    ClearResult();
    ReleaseSharedUGroupInfo();
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(folder);
    return SendRecords(C_GSHARE_INFO, {record});
}

void CToviProto::ReleaseSharedUGroupInfo()
{
    std::vector<_PROTO_SHARED_UGROUP>().swap(SharedUGroupInfo);
}

void CToviProto::ParseShareReply(const _PROT& msg, bool group)
{
    for (size_t i = 0; i < msg.records.size(); ++i) {
        const ProtRecord& record = msg.records[i];
        if (i == 0) {
            // The share's own settings.
            std::memset(&SharedInfo, 0, sizeof SharedInfo);
            for (const auto& field : record) {
                const std::string& value = field.second;
                switch (field.first) {
                case kShare: CopyText(SharedInfo.cShare, value); break;
                case kSharePassword:
                    if (!group)
                        WidenAnsi(SharedInfo.wszPassword, value);
                    break;
                case kPeriodFrom: CopyText(SharedInfo.szPeriodFrom, value); break;
                case kPeriodTo: CopyText(SharedInfo.szPeriodTo, value); break;
                case kMemberCount: CopyText(SharedInfo.szMemberCount, value); break;
                default:
                    if (!group)
                        break;
                    switch (field.first) {
                    case kQuota: CopyText(SharedInfo.szGuestQuota, value); break;
                    case kFreeQuota: CopyText(SharedInfo.szQuota, value); break;
                    case kVersioning: CopyText(SharedInfo.cVersioning, value); break;
                    case kShareOption: CopyText(SharedInfo.cOption45, value); break;
                    case kAutoDelete: CopyText(SharedInfo.cAutoDelete, value); break;
                    case kAutoDeleteCount: CopyText(SharedInfo.szAutoDeleteCount, value); break;
                    case kRecycle: CopyText(SharedInfo.cRecycle, value); break;
                    case kMaster: CopyText(SharedInfo.cMaster, value); break;
                    default: break;
                    }
                    break;
                }
            }
            if (group)
                TraceLog(TRACE_RECV_OK,
                         L"\n*************************************** [ GSHARE INFO ] "
                         L"***************************************\n- IS MASTER = %S\n- USE RECYCLE = %S\n"
                         L"- AUTO DEL = %S\n- QUOTA_SIZE = %S\n- FREE_QUOTA = %S\n",
                         SharedInfo.cMaster, SharedInfo.cRecycle, SharedInfo.cAutoDelete, SharedInfo.szGuestQuota,
                         SharedInfo.szQuota);
            continue;
        }
        _PROTO_SHARED_UGROUP member;
        std::memset(&member, 0, sizeof member);
        for (const auto& field : record) {
            const std::string& value = field.second;
            switch (field.first) {
            case kMemberType: CopyText(member.Type, value); break;
            case kMemberCode: CopyText(member.Code, value); break;
            case kUserName: DecodeUtf8(member.Name, value); break;
            case kUserId: CopyText(member.UserId, value); break;
            case kGroupId: CopyText(member.GroupId, value); break;
            case kGroupName: DecodeUtf8(member.GroupName, value); break;
            case kPermission: CopyText(member.Permission, value); break;
            case kWrite: CopyText(member.Write, value); break;
            case kDomainIndex:
                if (group)
                    CopyText(member.DomainIndex, value);
                break;
            case kDomainLabel:
                if (group)
                    DecodeUtf8(member.DomainLabel, value);
                break;
            case kAttr46:
                if (group)
                    CopyText(member.Flag46, value);
                break;
            default: break;
            }
        }
        SharedUGroupInfo.push_back(member);
    }
}

void CToviProto::ParseFolderShareReply(const _PROT& msg)
{
    ParseShareReply(msg, false);
}

void CToviProto::ParseGroupShareReply(const _PROT& msg)
{
    ParseShareReply(msg, true);
}

int CToviProto::SetDShareInfo(char* folder, const wchar_t* name, char* share, CString password, char* from,
                              char* to, bool members)
{
    ClearResult();
    if (!members)
        ReleaseSharedUGroupInfo();
    const std::string encodedName = EncodeUtf8(name, 1024);
    if (encodedName.empty())
        return -1;
    std::string ansiPassword;
    if (!NarrowAnsi(password, ansiPassword))
        return -1;
    CutAnsi(ansiPassword, kPasswordBytes);
    std::vector<ProtRecord> records{SessionRecord()};
    ProtRecord& first = records[0];
    first[kIndex] = Text(folder);
    first[kName] = encodedName;
    first[kShare] = Text(share);
    first[kSharePassword] = ansiPassword;
    first[kPeriodFrom] = Text(from);
    first[kPeriodTo] = Text(to);
    first[kMemberCount] = Decimal(SharedUGroupInfo.size());
    for (const _PROTO_SHARED_UGROUP& member : SharedUGroupInfo)
        records.push_back(MemberRecord(member, false));
    return SendRecords(C_DSHARE_SET, std::move(records));
}

int CToviProto::SetGShareInfo(char* folder, char* isNew, const wchar_t* name, char* share, char* option30,
                              _PROTO_SHARED_INFO* info, bool members)
{
    ClearResult();
    if (!members)
        ReleaseSharedUGroupInfo();
    const std::string count = Decimal(SharedUGroupInfo.size());
    const std::string encodedName = EncodeUtf8(name, 1024);
    if (encodedName.empty())
        return -1;
    _PROTO_SHARED_INFO none;
    std::memset(&none, 0, sizeof none);
    const _PROTO_SHARED_INFO& settings = info ? *info : none;
    std::vector<ProtRecord> records{SessionRecord()};
    ProtRecord& first = records[0];
    first[kIndex] = Text(folder);
    if (share)
        first[kShare] = Text(share);
    else
        first[kIsNew] = Text(isNew);
    first[kName] = encodedName;
    first[kQuota] = MemberText(settings.szQuota);
    first[kPeriodFrom] = MemberText(settings.szPeriodFrom);
    first[kPeriodTo] = MemberText(settings.szPeriodTo);
    first[kAttr30] = Text(option30);
    first[kVersioning] = MemberText(settings.cVersioning);
    first[kShareOption] = MemberText(settings.cOption45);
    first[kAutoDelete] = MemberText(settings.cAutoDelete);
    first[kAutoDeleteCount] = MemberText(settings.szAutoDeleteCount);
    first[kMemberCount] = count;
    first[kRecycle] = MemberText(settings.cRecycle);
    for (const _PROTO_SHARED_UGROUP& member : SharedUGroupInfo)
        records.push_back(MemberRecord(member, true));
    return SendRecords(C_GSHARE_SET, std::move(records));
}
