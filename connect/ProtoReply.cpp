// CToviProto, the reply parser's frame: dispatch by command, the A0 cipher set-up, the error
// replies and the download header. Runs on the receive thread while the requester waits.
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ToviConn.h"
#include "ReplyFields.h"
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
    switch (msg.command) {
    case C_SECURE_CODE:
        return ParseSecureCode(msg);
    case C_ERROR:
    case C_ERROR_WARN:
    case C_ERROR_OTHER:
        ParseErrorReply(msg, msg.command);
        return 0;
    case C_DNLOAD_FILE:
        ParseDownloadHeader(msg);
        return 0;
    // Users, shortcuts, file operations, items, shares, guests and links.
    case C_UGROUP_LIST:
    case C_UGROUP_SEARCH:
    case C_FD_ATTR:
    case C_FD_SEARCH:
    case C_VER_LIST:
    case C_SHORTCUT:
    case C_SHORTCUT_LIST:
    case C_CP_MV:
    case C_DELETE:
    case C_RENAME:
    case C_BIN_EMPTY:
    case C_BIN_RESTORE:
    case C_LIMIT:
    case C_DSHARE_INFO:
    case C_DSHARE_SET:
    case C_GSHARE_INFO:
    case C_GSHARE_SET:
    case C_GUEST_INFO:
    case C_GUEST_SET:
    case C_GUEST_MULTI_INFO:
    case C_GUEST_MULTI_SET:
    case C_GUEST_RESET_PWD:
    case C_UPLOAD_BANDWIDTH:
    case C_LINK_SET:
    case C_LINK_INFO:
    case C_THUMBNAIL:
    case C_SEND_FILES:
    case C_DELETE_PC:
        return ParseMoreReply(msg);
    default:
        // Log-in, options, folders and transfers parse their own replies; a command that no
        // family knows is accepted and ignored there.
        return ParseCommandReply(msg);
    }
}

int CToviProto::ParseSecureCode(_PROT& msg)
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

void CToviProto::ParseErrorReply(_PROT& msg, uint16_t command)
{
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

void CToviProto::ParseDownloadHeader(_PROT& msg)
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
