// CToviProto: shortcuts, the direct-edit and send limits, the upload bandwidth and the backup-PC
// removal (D6, D7, F7, H7, S8), with the request path that the command families share.
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ProtoMoreCommands.h"
#include "ReplyFields.h"
#include "ToviMsg.h"
#include "TraceLog.h"
#include <cstdlib>
#include <cstring>

using namespace protofield;
using namespace replyfield;

namespace {

constexpr unsigned kMsgNetworkError = 12123;

}

int CToviProto::SendRecords(uint16_t command, std::vector<ProtRecord> records, unsigned flags)
{
    _PROT msg;
    NewMessage(msg, command);
    msg.records = std::move(records);
    return Request(msg, flags);
}

int CToviProto::SendContinuation(uint16_t command, char* key, bool withSession, unsigned flags)
{
    ProtRecord record = withSession ? SessionRecord() : ProtRecord();
    record[kContinue] = Text(key);
    return SendRecords(command, {record}, flags);
}

int CToviProto::EndOperation(uint16_t command)
{
    TraceLog(TRACE_ERROR, L"[ CToviProto::EndOperation ] the server does not end %c%c\n", command >> 8, command & 0xFF);
    CString message;
    message.Format(L"%s[%d][%x]", CToviMsg::GetString(kMsgNetworkError).GetString(), IXO_SOCK_ERR_NO_END,
                   static_cast<unsigned>(command));
    SetResult(C_ERROR, IXO_SOCK_ERR_NO_END, message.GetString());
    // The server still holds the operation open on this connection: start afresh next time.
    DeleteConnection();
    return -1;
}

// ---- Shortcuts ----

int CToviProto::GetShortcutList()
{
    ClearResult();
    ProtRecord record = SessionRecord();
    return SendRecords(C_SHORTCUT_LIST, {record});
}

namespace {

std::vector<ProtRecord> ShortcutRecords(ProtRecord first, bool add, const std::vector<char*>& ids)
{
    first[kShortcutAdd] = add ? "Y" : "N";
    std::vector<ProtRecord> records{first};
    for (char* id : ids) {
        ProtRecord record;
        record[kIndex] = Text(id);
        records.push_back(record);
    }
    return records;
}

}

int CToviProto::AddShortcut(std::vector<char*> ids)
{
    ClearResult();
    std::vector<ProtRecord> records = ShortcutRecords(SessionRecord(), true, ids);
    std::vector<char*>().swap(ids);
    return SendRecords(C_SHORTCUT, std::move(records));
}

int CToviProto::DeleteShortcut(std::vector<char*> ids)
{
    ClearResult();
    std::vector<ProtRecord> records = ShortcutRecords(SessionRecord(), false, ids);
    std::vector<char*>().swap(ids);
    return SendRecords(C_SHORTCUT, std::move(records));
}

void CToviProto::ParseShortcutListReply(const _PROT& msg)
{
    // The reply replaces the list as a whole.
    std::vector<_SHORTCUT_LIST> old;
    old.swap(ShortcutList);
    for (const ProtRecord& record : msg.records) {
        _SHORTCUT_LIST entry;
        std::memset(&entry, 0, sizeof entry);
        for (const auto& field : record) {
            if (field.first == kIndex)
                CopyText(entry.Index, field.second);
            else if (field.first == kPath)
                DecodeUtf8(entry.Path, field.second);
        }
        TraceLog(TRACE_RECV_OK, L"    ◀◀◀    [ D7 ] SHORTCUT_LIST \t [ idx : %d ]\t%s\n", std::atoi(entry.Index),
                 entry.Path);
        ShortcutList.push_back(entry);
    }
    TraceLog(TRACE_RECV_OK, L"    ◀◀◀    [ D7 ] Total Count = %d ]\n", static_cast<int>(ShortcutList.size()));
}

// ---- Limits, bandwidth, backup PCs ----

int CToviProto::GetSendFileSet(char* idx, char* didx, char* flag87, char* flag95)
{
    ClearResult();
    // No answer of an earlier file may stand for this one.
    std::memset(&LimitInfo, 0, sizeof LimitInfo);
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kSendFileFlag] = Text(flag87);
    record[kDirectEdit] = Text(flag95);
    return SendRecords(C_LIMIT, {record});
}

void CToviProto::ParseLimitReply(const _PROT& msg)
{
    std::memset(&LimitInfo, 0, sizeof LimitInfo);
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            if (field.first == kDirectEdit) {
                CopyText(LimitInfo.DirectEditAttribute, field.second);
                TraceLog(TRACE_RECV_OK, L"[ F7 ] C_LIMIT - DirectEdit Attribute : %S \n",
                         LimitInfo.DirectEditAttribute);
            } else if (field.first == kMessage) {
                DecodeUtf8(LimitInfo.DirectEditMessage, field.second);
                TraceLog(TRACE_RECV_OK, L"[ F7 ] C_LIMIT - DirectEdit Message : %s \n", LimitInfo.DirectEditMessage);
            }
        }
    }
}

int CToviProto::GetUploadBandWidth(char* sessionId)
{
    TraceLog(TRACE_SEND, L"[ CToviProto::GetUploadBandWidth ] C_UPLOAD_BANDWIDTH \n");
    ClearResult();
    ProtRecord record = SessionRecord(sessionId);
    return SendRecords(C_UPLOAD_BANDWIDTH, {record});
}

void CToviProto::ParseBandWidthReply(const _PROT& msg)
{
    // The reply's own command stands in the result block; its message stays empty.
    ResultInfo.nReplyCmd = msg.command;
    std::memset(UploadBandWidth, 0, sizeof UploadBandWidth);
    for (const ProtRecord& record : msg.records) {
        auto field = record.find(kBandwidth);
        if (field == record.end())
            continue;
        CopyText(UploadBandWidth, field->second);
        TraceLog(TRACE_RECV_OK, L" [ H7 ] UPLOAD BAND WIDTH = %S", UploadBandWidth);
    }
}

int CToviProto::DeleteBackupPC(char* sessionId, char* pcIdx)
{
    TraceLog(TRACE_SEND, L"[ CToviProto::DeleteBackupPC ] %S, %S\n", sessionId ? sessionId : "", pcIdx ? pcIdx : "");
    ClearResult();
    ProtRecord record = SessionRecord(sessionId);
    record[kIndex] = Text(pcIdx);
    return SendRecords(C_DELETE_PC, {record});
}
