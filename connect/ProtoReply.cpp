// CToviProto, the reply parser's frame: dispatch by command, the A0 cipher set-up, the error
// replies and the download header. Runs on the receive thread while the requester waits.
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ToviConn.h"
#include "ReplyFields.h"
#include "ProtoCommands.h"
#include "ProtoMoreCommands.h"
#include "TraceLog.h"
#include <cstdlib>
#include <cstring>
#include <string>

using namespace protofield;

namespace {

// The byte count a stream header announces: decimal digits only, else no announcement.
int64_t StreamSize(const std::string& text)
{
    if (text.empty() || text.size() > 18)
        return -1;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

int DecimalField(const std::string& value, size_t maxDigits)
{
    std::string digits = std::string(value.c_str()).substr(0, maxDigits);
    return std::atoi(digits.c_str());
}

}

int CToviProto::ParseReply(_PROT& msg)
{
    // Only the cipher set-up can fail a reply.
    if (msg.command == C_SECURE_CODE)
        return ParseSecureCode(msg);

    struct ReplyParser {
        uint16_t command;
        void (CToviProto::*parse)(const _PROT&);
    };
    // B1, B3, D6, G1, G3, I0, I3 and S8 replies carry nothing beyond the result.
    static const ReplyParser kParsers[] = {
        {C_ERROR, &CToviProto::ParseErrorReply},
        {C_ERROR_WARN, &CToviProto::ParseErrorReply},
        {C_ERROR_OTHER, &CToviProto::ParseErrorReply},
        {C_DNLOAD_FILE, &CToviProto::ParseDownloadHeader},
        // Server options and lists.
        {C_OPTION, &CToviProto::ParseOptionReply},
        {C_DOMAIN_LIST, &CToviProto::ParseDomainReply},
        {C_SAMBA_OPTION, &CToviProto::ParseSambaReply},
        {C_CLI_VER, &CToviProto::ParseUpdateCheckReply},
        {C_LANG_LIST, &CToviProto::ParseLanguageReply},
        // Log-in and session.
        {C_LOGIN, &CToviProto::ParseLoginReply},
        {C_SESS_UPDATE, &CToviProto::ParseSessionUpdateReply},
        {C_ALARM_UPDATE, &CToviProto::ParseAlertReply},
        {C_QUOTA_UPDATE, &CToviProto::ParseQuotaReply},
        // Users and groups.
        {C_UGROUP_LIST, &CToviProto::ParseUserGroupListReply},
        {C_UGROUP_SEARCH, &CToviProto::ParseUserGroupSearchReply},
        // Folders, properties, versions, search and shortcuts.
        {C_FD_LIST, &CToviProto::ParseFolderListReply},
        {C_FD_ATTR, &CToviProto::ParsePropertyReply},
        {C_FD_SEARCH, &CToviProto::ParseSearchReply},
        {C_VER_LIST, &CToviProto::ParseVersionReply},
        {C_FD_CACHE, &CToviProto::ParseCacheReply},
        {C_FILE_COUNT, &CToviProto::ParseFileCountReply},
        {C_SHORTCUT_LIST, &CToviProto::ParseShortcutListReply},
        // File operations and limits.
        {C_MKDIR, &CToviProto::ParseNewFolderReply},
        {C_CP_MV, &CToviProto::ParsePasteReply},
        {C_DELETE, &CToviProto::ParseDeleteReply},
        {C_RENAME, &CToviProto::ParseRenameReply},
        {C_BIN_EMPTY, &CToviProto::ParseDeleteReply},
        {C_BIN_RESTORE, &CToviProto::ParsePasteReply},
        {C_LIMIT, &CToviProto::ParseLimitReply},
        // Shares and guests.
        {C_DSHARE_INFO, &CToviProto::ParseFolderShareReply},
        {C_GSHARE_INFO, &CToviProto::ParseGroupShareReply},
        {C_GUEST_INFO, &CToviProto::ParseGuestReply},
        {C_GUEST_SET, &CToviProto::ParseGuestSetReply},
        {C_GUEST_MULTI_INFO, &CToviProto::ParseGuestMultiReply},
        {C_GUEST_MULTI_SET, &CToviProto::ParseGuestMultiSetReply},
        {C_GUEST_RESET_PWD, &CToviProto::ParseGuestPasswordReply},
        // Transfers.
        {C_UPLOAD, &CToviProto::ParseUploadInfoReply},
        {C_DNLOAD, &CToviProto::ParseDownloadAnswerReply},
        {C_UPLOAD_RESULT, &CToviProto::ParseUploadResultReply},
        {C_UPLOAD_CANCEL, &CToviProto::ParseUploadCancelReply},
        {C_UPLOAD_BANDWIDTH, &CToviProto::ParseBandWidthReply},
        // Links and thumbnails.
        {C_LINK_INFO, &CToviProto::ParseLinkListReply},
        {C_THUMBNAIL, &CToviProto::ParseThumbnailReply},
    };
    for (const ReplyParser& parser : kParsers) {
        if (parser.command == msg.command) {
            (this->*parser.parse)(msg);
            break;
        }
    }
    return 0;
}

int CToviProto::ParseSecureCode(const _PROT& msg)
{
    CToviConn* conn = m_pConn;
    _ENC_CTX* ctx = new _ENC_CTX;
    std::memset(ctx, 0, sizeof *ctx);
    delete conn->m_pEncCtx;
    conn->m_pEncCtx = ctx;
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            switch (field.first) {
            case kCipherAlgorithm:
                ctx->algo = static_cast<unsigned>(std::atoi(std::string(field.second.c_str()).c_str()));
                break;
            case kCipherMode:
                ctx->mode = static_cast<unsigned>(std::atoi(std::string(field.second.c_str()).c_str()));
                break;
            case kKeyBits:
                ctx->keyBits = static_cast<unsigned>(std::atoi(std::string(field.second.c_str()).c_str()));
                break;
            case kPassPhrase:
                std::memset(conn->m_szPassPhrase, 0, sizeof conn->m_szPassPhrase);
                std::memcpy(conn->m_szPassPhrase, field.second.data(), field.second.size() < 32 ? field.second.size() : 32);
                break;
            default:
                break;
            }
        }
    }
    // ECB and CBC pad, and a frame cannot grow: only the length-keeping modes can carry a session.
    bool usable = ctx->mode == ENC_MODE_OFB || ctx->mode == ENC_MODE_CFB;
    if (!usable || CToviCrypto::ToviKeySetup(conn->m_szPassPhrase, ctx) != 0) {
        delete conn->m_pEncCtx;
        conn->m_pEncCtx = nullptr;
        return IXO_SOCK_ERR_KEY_SETUP;
    }
    return 0;
}

void CToviProto::ParseErrorReply(const _PROT& msg)
{
    const uint16_t command = msg.command;
    ResultInfo.nReplyCmd = command;
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            if (field.first == kResultCode) {
                ResultInfo.nResultCode = DecimalField(field.second, 7);
            } else if (field.first == kResultMessage) {
                replyfield::DecodeUtf8(ResultInfo.wszMessage, field.second);
                if (command == C_ERROR)
                    TraceLog(TRACE_ERROR, L"%s", ResultInfo.wszMessage);
            }
        }
    }
}

void CToviProto::ParseDownloadHeader(const _PROT& msg)
{
    // A thumbnail may come in pages: each page's header says whether another one follows.
    const bool thumbnail = m_pConn && m_pConn->m_wLastCmd == C_THUMBNAIL;
    int64_t announced = -1;
    for (const ProtRecord& record : msg.records) {
        std::memset(DownloadInfo.wszMessage, 0, sizeof DownloadInfo.wszMessage);
        auto size = record.find(kSize);
        if (size != record.end())
            announced = StreamSize(size->second);
        auto text = record.find(kMessage);
        if (text != record.end())
            replyfield::DecodeUtf8(DownloadInfo.wszMessage, text->second);
        auto more = record.find(kContinue);
        if (thumbnail && more != record.end())
            replyfield::CopyText(ContinueFlag, more->second);
    }
    if (m_pConn)
        m_pConn->m_nStreamAnnounced = announced;
}
