// CToviProto, log-in and session: log-in (B0), log-out (B1), keep-alive (B2), password change
// (B3), alert counters (B4) and the quota list (B5).
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ToviConn.h"
#include "ProtoCommands.h"
#include "ReplyFields.h"
#include "ToviMsg.h"
#include "TraceLog.h"
#include <cstring>

using namespace protofield;
using namespace replyfield;

namespace {

constexpr unsigned kMsgNetworkError = 12123;

// The server knows three interface languages; any other setting logs in as Korean.
std::string LanguageField(const char* code)
{
    const std::string text = Text(code);
    if (text == "en" || text == "jp")
        return text;
    return "ko";
}

bool IsErrorReply(uint32_t command)
{
    return command == C_ERROR || command == C_ERROR_WARN || command == C_ERROR_OTHER;
}

}

int CToviProto::GetLoginInfo(CString domainIndex, CString userId, CString password, char* languageCode,
                             char* option23, char* clientKind, bool force, CString macList, char* sessionId)
{
    ClearResult();
    std::memset(LoginInfo.SessionId, 0, sizeof LoginInfo.SessionId);
    std::memset(LoginInfo.UserName, 0, sizeof LoginInfo.UserName);
    std::memset(LoginInfo.UserPosName, 0, sizeof LoginInfo.UserPosName);
    std::memset(LoginInfo.LastLogin, 0, sizeof LoginInfo.LastLogin);
    std::memset(LoginInfo.LastLoginIp, 0, sizeof LoginInfo.LastLoginIp);

    std::string domain, user, secret, macs;
    if (domainIndex.IsEmpty() || userId.IsEmpty() || !NarrowAnsi(domainIndex, domain) || !NarrowAnsi(userId, user))
        return -1;
    if (!NarrowAnsi(password, secret))
        return -1;
    ProtRecord record;
    record[kDomainIndex] = domain;
    record[kUserId] = user;
    record[kPassword] = secret;
    record[kLanguage] = LanguageField(languageCode);
    record[kLoginFlag] = Text(option23);
    record[kClientKind] = Text(clientKind);
    record[kSessionId] = Text(sessionId);
    record[kForceLogin] = force ? "Y" : "N";
    if (NarrowAnsi(macList, macs))
        record[kAdapterAddresses] = macs;

    // The log-in goes out on the connection that the key exchange has just made.
    if (!m_pConn) {
        SetResult(C_ERROR, IXO_SOCK_ERR_INVALID_SOCKET, CToviMsg::GetString(kMsgNetworkError).GetString());
        return IXO_SOCK_ERR_INVALID_SOCKET;
    }
    _PROT msg;
    NewMessage(msg, C_LOGIN);
    msg.records.push_back(record);
    const int code = m_pConn->SendProt(msg);
    if (code != 0) {
        m_pConn->Disconnect();
        return code;
    }
    if (ResultInfo.wszMessage[0] || IsErrorReply(ResultInfo.nReplyCmd)) {
        // A refusal is never a log-in, even when it names no code.
        return ResultInfo.nResultCode != 0 ? ResultInfo.nResultCode : -1;
    }
    if (!LoginInfo.SessionId[0]) {
        SetResult(C_ERROR, -1, CToviMsg::GetString(kMsgNetworkError).GetString());
        return -1;
    }
    return 0;
}

void CToviProto::ParseLoginReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            switch (field.first) {
            case kSessionId:
                CopyText(LoginInfo.SessionId, field.second);
                break;
            case kUserName:
                DecodeUtf8(LoginInfo.UserName, field.second);
                break;
            case kPositionName:
                DecodeUtf8(LoginInfo.UserPosName, field.second);
                break;
            case kUserId:
                DecodeUtf8(LoginInfo.UserId, field.second);
                break;
            case kLastLogin:
                CopyText(LoginInfo.LastLogin, field.second);
                break;
            case kLastLoginIp:
                CopyText(LoginInfo.LastLoginIp, field.second);
                break;
            case kResetPassword:
                CopyText(LoginInfo.ResetPassword, field.second);
                break;
            case kGuestLogin:
                CopyText(LoginInfo.GuestLogin, field.second);
                break;
            case kGroupFullPath:
                CopyText(GroupFullPath, field.second);
                break;
            default:
                break;
            }
        }
    }
    TraceLog(TRACE_SEND,
             L"\n*************************************** [ LOGIN ] ***************************************\n"
             L"- SESSION ID = %S\n- USER NAME = %s\n- USER POSNAME = %s\n- LAST LOGIN = %S\n- LAST LOGIN IP = %S\n"
             L"- RESET PASSWORD = %S\n- GEUST LOGIN = %S\n- USER ID = %s\n- GROUP FULLPATH = %S\n",
             LoginInfo.SessionId, LoginInfo.UserName, LoginInfo.UserPosName, LoginInfo.LastLogin, LoginInfo.LastLoginIp,
             LoginInfo.ResetPassword, LoginInfo.GuestLogin, LoginInfo.UserId, GroupFullPath);
}

int CToviProto::GetLogoutInfo()
{
    ClearResult();
    if (!m_pConn && !ServerAddress.szHost[0])
        return -1;
    ProtRecord record = SessionRecord();
    const int result = SendRecords(C_LOGOUT, {record});
    DeleteConnection();
    return result;
}

int CToviProto::GetSessionUpdate(char* sessionId)
{
    ClearResult();
    ProtRecord record = SessionRecord(sessionId);
    return SendRecords(C_SESS_UPDATE, {record});
}

void CToviProto::ParseSessionUpdateReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        auto interval = record.find(kSessionInterval);
        if (interval != record.end())
            CopyText(LoginInfo.SessionUpdateTime, interval->second);
    }
}

int CToviProto::GetResetPWD(char* currentPassword, char* newPassword)
{
    ClearResult();
    ProtRecord record = SessionRecord();
    record[kPassword] = Text(currentPassword);
    record[kNewPassword] = Text(newPassword);
    return SendRecords(C_PASSWD_UPDATE, {record});
}

int CToviProto::GetAlertUpdate(char* sessionId)
{
    ClearResult();
    ProtRecord record = SessionRecord(sessionId);
    return SendRecords(C_ALARM_UPDATE, {record});
}

void CToviProto::ParseAlertReply(const _PROT& msg)
{
    std::memset(&AlarmInfo, 0, sizeof AlarmInfo);
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            switch (field.first) {
            case kAttr223: CopyText(AlarmInfo.Attr223, field.second); break;
            case kShareAlerts: CopyText(AlarmInfo.Share, field.second); break;
            case kDraftAlerts: CopyText(AlarmInfo.Draft, field.second); break;
            case kQuota: CopyText(AlarmInfo.Attr190, field.second); break;
            case kUsedQuota: CopyText(AlarmInfo.Attr191, field.second); break;
            case kLinkAlerts: CopyText(AlarmInfo.Link, field.second); break;
            case kApprovalAlerts: CopyText(AlarmInfo.Approval, field.second); break;
            case kUpdateInterval: CopyText(AlarmInfo.Attr224, field.second); break;
            case kDeleteAlerts: CopyText(AlarmInfo.Delete, field.second); break;
            case kShortcutAlerts: CopyText(AlarmInfo.Shortcut, field.second); break;
            default: break;
            }
        }
    }
    TraceLog(TRACE_SEND,
             L" [ C_ALARM_UPDATE ] \n -- SHARE = %S\n -- LINK = %S\n -- DRAFT = %S\n -- APPROVAL = %S\n"
             L" -- DELETE = %S\n -- SHORTCUT = %S\n",
             AlarmInfo.Share, AlarmInfo.Link, AlarmInfo.Draft, AlarmInfo.Approval, AlarmInfo.Delete, AlarmInfo.Shortcut);
}

int CToviProto::GetQuotaUpdate(char* sessionId)
{
    ReleaseQuotaList();
    ClearResult();
    ProtRecord record = SessionRecord(sessionId);
    return SendRecords(C_QUOTA_UPDATE, {record});
}

void CToviProto::ParseQuotaReply(const _PROT& msg)
{
    ResultInfo.nReplyCmd = C_QUOTA_UPDATE;
    for (const ProtRecord& record : msg.records) {
        _QUOTA_INFO quota = {};
        for (const auto& field : record) {
            if (field.first == kQuota)
                CopyText(quota.TotalBytes, field.second);
            else if (field.first == kUsedQuota)
                CopyText(quota.UsedBytes, field.second);
            else if (field.first == kUpdateInterval)
                CopyText(quota.Interval, field.second);
        }
        QuotaList.push_back(quota);
    }
}

void CToviProto::ReleaseQuotaList()
{
    std::vector<_QUOTA_INFO>().swap(QuotaList);
}
