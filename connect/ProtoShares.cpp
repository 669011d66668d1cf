// CToviProto: folder shares and group shares with their members (G0-G3).
#include "ToviProto.h"
#include "ProtoMoreCommands.h"
#include "ReplyFields.h"
#include "TraceLog.h"
#include <cstring>

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
    record[24] = MemberText(member.Type);
    record[175] = MemberText(member.Code);
    record[176] = MemberText(member.GroupId);
    if (group)
        record[177] = MemberText(member.DomainIndex);
    record[5] = MemberText(member.Permission);
    record[154] = MemberText(member.Write);
    return record;
}

}

int CToviProto::GetDShareInfo(char* folder)
{
    ClearResult();
    ReleaseSharedUGroupInfo();
    ProtRecord record;
    record[171] = MemberText(LoginInfo.SessionId);
    record[173] = Text(folder);
    return SendRecords(C_DSHARE_INFO, {record});
}

int CToviProto::GetGShareInfo(char* folder)
{
    ClearResult();
    ReleaseSharedUGroupInfo();
    ProtRecord record;
    record[171] = MemberText(LoginInfo.SessionId);
    record[173] = Text(folder);
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
                case 29: CopyText(SharedInfo.cShare, value); break;
                case 198:
                    if (!group)
                        WidenAnsi(SharedInfo.wszPassword, value);
                    break;
                case 11: CopyText(SharedInfo.szPeriodFrom, value); break;
                case 12: CopyText(SharedInfo.szPeriodTo, value); break;
                case 203: CopyText(SharedInfo.szMemberCount, value); break;
                default:
                    if (!group)
                        break;
                    switch (field.first) {
                    case 190: CopyText(SharedInfo.szGuestQuota, value); break;
                    case 207: CopyText(SharedInfo.szQuota, value); break;
                    case 31: CopyText(SharedInfo.cVersioning, value); break;
                    case 45: CopyText(SharedInfo.cOption45, value); break;
                    case 37: CopyText(SharedInfo.cAutoDelete, value); break;
                    case 199: CopyText(SharedInfo.szAutoDeleteCount, value); break;
                    case 51: CopyText(SharedInfo.cRecycle, value); break;
                    case 52: CopyText(SharedInfo.cMaster, value); break;
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
            case 24: CopyText(member.Type, value); break;
            case 175: CopyText(member.Code, value); break;
            case 183: DecodeUtf8(member.Name, value); break;
            case 169: CopyText(member.UserId, value); break;
            case 176: CopyText(member.GroupId, value); break;
            case 184: DecodeUtf8(member.GroupName, value); break;
            case 5: CopyText(member.Permission, value); break;
            case 154: CopyText(member.Write, value); break;
            case 177:
                if (group)
                    CopyText(member.DomainIndex, value);
                break;
            case 186:
                if (group)
                    DecodeUtf8(member.DomainLabel, value);
                break;
            case 46:
                if (group)
                    CopyText(member.Flag46, value);
                break;
            default: break;
            }
        }
        SharedUGroupInfo.push_back(member);
    }
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
    std::vector<ProtRecord> records(1);
    ProtRecord& first = records[0];
    first[171] = MemberText(LoginInfo.SessionId);
    first[173] = Text(folder);
    first[181] = encodedName;
    first[29] = Text(share);
    first[198] = ansiPassword;
    first[11] = Text(from);
    first[12] = Text(to);
    first[203] = Decimal(SharedUGroupInfo.size());
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
    std::vector<ProtRecord> records(1);
    ProtRecord& first = records[0];
    first[171] = MemberText(LoginInfo.SessionId);
    first[173] = Text(folder);
    if (share)
        first[29] = Text(share);
    else
        first[39] = Text(isNew);
    first[181] = encodedName;
    first[190] = MemberText(settings.szQuota);
    first[11] = MemberText(settings.szPeriodFrom);
    first[12] = MemberText(settings.szPeriodTo);
    first[30] = Text(option30);
    first[31] = MemberText(settings.cVersioning);
    first[45] = MemberText(settings.cOption45);
    first[37] = MemberText(settings.cAutoDelete);
    first[199] = MemberText(settings.szAutoDeleteCount);
    first[203] = count;
    first[51] = MemberText(settings.cRecycle);
    for (const _PROTO_SHARED_UGROUP& member : SharedUGroupInfo)
        records.push_back(MemberRecord(member, true));
    return SendRecords(C_GSHARE_SET, std::move(records));
}
