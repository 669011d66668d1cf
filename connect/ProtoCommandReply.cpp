// CToviProto: hands the replies of the log-in, option, folder and transfer requests to their
// parsers, and the request path these families share.
#include "ToviProto.h"
#include "ProtoCommands.h"
#include "TraceLog.h"

int CToviProto::ParseCommandReply(_PROT& msg)
{
    switch (msg.command) {
    case C_LOGIN:
        ParseLoginReply(msg);
        break;
    case C_SESS_UPDATE:
        ParseSessionUpdateReply(msg);
        break;
    case C_ALARM_UPDATE:
        ParseAlertReply(msg);
        break;
    case C_QUOTA_UPDATE:
        ParseQuotaReply(msg);
        break;
    case C_DOMAIN_LIST:
        ParseDomainReply(msg);
        break;
    case C_OPTION:
        ParseOptionReply(msg);
        break;
    case C_SAMBA_OPTION:
        ParseSambaReply(msg);
        break;
    case C_CLI_VER:
        ParseUpdateCheckReply(msg);
        break;
    case C_LANG_LIST:
        ParseLanguageReply(msg);
        break;
    case C_FD_LIST:
        ParseFolderListReply(msg);
        break;
    case C_FD_CACHE:
        ParseCacheReply(msg);
        break;
    case C_FILE_COUNT:
        ParseFileCountReply(msg);
        break;
    case C_MKDIR:
        ParseNewFolderReply(msg);
        break;
    case C_UPLOAD:
        ParseUploadInfoReply(msg);
        break;
    case C_DNLOAD:
        ParseDownloadAnswerReply(msg);
        break;
    case C_UPLOAD_RESULT:
        ParseUploadResultReply(msg);
        break;
    case C_UPLOAD_CANCEL:
        TraceLog(TRACE_RECV_OK, L"C_UPLOAD_CANCEL\n");
        break;
    default:
        // B1 and B3 carry nothing; other commands are not ours.
        break;
    }
    return 0;
}

int CToviProto::FamilyRequest(uint16_t command, const ProtRecord& record, unsigned flags)
{
    _PROT msg;
    NewMessage(msg, command);
    msg.records.push_back(record);
    return Request(msg, flags);
}
