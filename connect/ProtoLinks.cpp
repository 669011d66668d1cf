// CToviProto: download links of a server file and sending files to users and groups (I0, I1, I3).
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ProtoMoreCommands.h"
#include "ReplyFields.h"
#include <cstring>

using namespace protofield;
using namespace replyfield;

int CToviProto::SetLinkInfo(char* idx, char* didx, char* mode, _PROTO_LINK_INFO* info)
{
    ClearResult();
    if (!info)
        return -1;
    const bool remove = mode && std::strcmp(mode, "D") == 0;
    std::string password;
    if (!remove && info->wszPassword[0]) {
        const size_t length = wcsnlen(info->wszPassword, sizeof info->wszPassword / sizeof(wchar_t));
        const std::wstring text(info->wszPassword, length);
        password = EncodeUtf8(text.c_str(), 512);
        if (password.empty())
            return -1;
    }
    ProtRecord record = SessionRecord();
    record[kLinkMode] = Text(mode);
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kLinkId] = MemberText(info->szLinkId);
    if (!remove) {
        record[kExpiry] = MemberText(info->szExpire);
        record[kLinkPassword] = password;
        record[kDownloadLimit] = MemberText(info->szLimit);
    }
    return SendRecords(C_LINK_SET, {record});
}

int CToviProto::GetLinkInfo(char* idx, char* didx)
{
    ClearResult();
    ReleaseLinkInfo();
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    return SendRecords(C_LINK_INFO, {record});
}

void CToviProto::ReleaseLinkInfo()
{
    std::vector<_PROTO_LINK_INFO>().swap(LinkInfo);
}

void CToviProto::ParseLinkListReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        _PROTO_LINK_INFO link;
        std::memset(&link, 0, sizeof link);
        for (const auto& field : record) {
            const std::string& value = field.second;
            switch (field.first) {
            case kLinkId: CopyText(link.szLinkId, value); break;
            case kExpiry: CopyText(link.szExpire, value); break;
            // The password travels as UTF-8, as the link request sends it.
            case kLinkPassword: DecodeUtf8(link.wszPassword, value); break;
            case kDownloadLimit: CopyText(link.szLimit, value); break;
            case kUrl: CopyText(link.szUrl, value); break;
            default: break;
            }
        }
        LinkInfo.push_back(link);
    }
}

int CToviProto::GetSendFiles(char* expire, std::vector<_SEND_FILES> files, std::vector<_RECEIVER_LIST> receivers)
{
    ClearResult();
    std::vector<ProtRecord> records{SessionRecord()};
    records[0][kExpiry] = Text(expire);
    for (const _SEND_FILES& file : files) {
        ProtRecord record;
        record[kIndex] = MemberText(file.szId);
        records.push_back(record);
    }
    for (const _RECEIVER_LIST& receiver : receivers) {
        ProtRecord record;
        record[kMemberCode] = MemberText(receiver.Code);
        record[kUserId] = MemberText(receiver.UserId);
        records.push_back(record);
    }
    std::vector<_SEND_FILES>().swap(files);
    std::vector<_RECEIVER_LIST>().swap(receivers);
    return SendRecords(C_SEND_FILES, std::move(records));
}
