// CToviProto, uploads and downloads: the announcement and its decision (H0), the file data
// (H3), the summary (H5), the cancel (H6) and the download request with its position and
// continuation (H1).
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ToviConn.h"
#include "ProtoCommands.h"
#include "ReplyFields.h"
#include "ToviMsg.h"
#include "TraceLog.h"
#include "Files.h"
#include <cstring>
#include <cwchar>

using namespace protofield;
using namespace replyfield;

namespace {

constexpr int kUtf8NameBuffer = 1024;
constexpr int kUtf8TextBuffer = 2048;
constexpr size_t kFileKeyLength = 32;
constexpr unsigned kMsgNetworkError = 12123;

// A download step counts as done only when its answer was real: an error reply without a
// message, or a resume answered without its data, would otherwise pass for a download and
// leave the file short. Such a step fails like an error reply (the connection goes, -1).
int DownloadOutcome(CToviProto& proto, int result, bool streamRequired)
{
    if (result != 0)
        return result;
    _RESULT_INFO& info = proto.ResultInfo;
    const bool bareError = info.nReplyCmd == C_ERROR || info.nReplyCmd == C_ERROR_WARN ||
                           info.nReplyCmd == C_ERROR_OTHER;
    if (!bareError) {
        // A cancelled stream is the caller's own doing, not a failure.
        if (info.nResultCode == IXO_DOWNLOAD_CANCELLED || !streamRequired ||
            (proto.m_pConn && proto.m_pConn->StreamArrived()))
            return 0;
        info.nReplyCmd = C_ERROR;
        info.nResultCode = IXO_SOCK_ERR_RECV;
    }
    CString text;
    text.Format(L"%s[%d][%x]", CToviMsg::GetString(kMsgNetworkError).GetString(), info.nResultCode, C_DNLOAD);
    std::wcsncpy(info.wszMessage, text.GetString(), 255);
    info.wszMessage[255] = 0;
    TraceLog(TRACE_ERROR, L"[ CToviProto ] download step without its data [ %d ]\n", info.nResultCode);
    proto.CloseSocket();
    return -1;
}

}

int CToviProto::GetUploadInfo(char* idx, char* didx, const wchar_t* name, const wchar_t* text, __int64 size,
                              char* ctime, char* mtime, char* extra)
{
    (void)extra;
    ClearResult();
    std::memset(&UploadInfo, 0, sizeof UploadInfo);
    const std::string utf8Name = EncodeUtf8(name, kUtf8NameBuffer);
    if (utf8Name.empty() || size < 0)
        return -1;
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kName] = utf8Name;
    record[kSize] = Decimal(static_cast<unsigned long long>(size));
    record[kCreated] = Text(ctime);
    record[kModified] = Text(mtime);
    record[kPath] = EncodeUtf8(text, kUtf8TextBuffer);
    TraceLog(TRACE_SEND, L"[ GetUploadInfo ] UPLOAD FILE NAME = %s [ IDX : %S ]\n", name, Text(idx).c_str());
    return SendRecords(C_UPLOAD, {record}, kKeepOnSendError);
}

int CToviProto::GetUploadOverWrite(char* mode)
{
    ClearResult();
    ProtRecord record = SessionRecord();
    record[kMode] = Text(mode);
    return SendRecords(C_UPLOAD, {record}, kKeepOnSendError);
}

void CToviProto::ParseUploadInfoReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            switch (field.first) {
            case kSize:
                CopyText(UploadInfo.szStoredSize, field.second);
                break;
            case kChecksum:
                CopyText(UploadInfo.szStoredChecksum, field.second);
                break;
            case kName:
                DecodeUtf8(UploadInfo.wszFileName, field.second);
                TraceLog(TRACE_RECV_OK, L"FILE_NAME = %s\n", UploadInfo.wszFileName);
                break;
            case kModified:
                DecodeUtf8(UploadInfo.wszFileTime, field.second);
                break;
            default:
                break;
            }
        }
    }
}

int CToviProto::GetUploadFile(HWND wnd, CFile& file, __int64 size, __int64 offset)
{
    ClearResult();
    if (size < 0 || offset < 0)
        return -1;
    if (EnsureConnection(C_UPLOAD_DATA) != 0)
        return -1;
    _PROT msg;
    NewMessage(msg, C_UPLOAD_DATA);
    const int code = m_pConn->SendFileData(file, wnd, msg, static_cast<uint64_t>(size), static_cast<uint64_t>(offset));
    // The frames get no reply: a failure is a send error, or a read error in the result block.
    if (code == 0 && ResultInfo.wszMessage[0]) {
        DeleteConnection();
        return -1;
    }
    return code;
}

int CToviProto::GetUploadResult(char* extra)
{
    (void)extra;
    ReleaseUploadResult();
    ClearResult();
    ProtRecord record = SessionRecord();
    return SendRecords(C_UPLOAD_RESULT, {record}, kKeepOnSendError);
}

void CToviProto::ParseUploadResultReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        _PROTO_UPLOAD_RESULT result = {};
        for (const auto& field : record) {
            switch (field.first) {
            case kContinue:
                CopyText(result.szContinue, field.second);
                TraceLog(TRACE_RECV_OK, L"    ◀◀◀    [ H5 ] UPLOAD_RESULT F_CONTINUE = %S\n", result.szContinue);
                break;
            case kName:
                DecodeUtf8(result.wszName, field.second);
                TraceLog(TRACE_RECV_OK, L"    ◀◀◀    [ H5 ] UPLOAD_RESULT F_NAME = %s\n", result.wszName);
                break;
            case kResultMessage:
                DecodeUtf8(result.wszErrString, field.second);
                TraceLog(TRACE_RECV_OK, L"    ◀◀◀    [ H5 ] UPLOAD_RESULT F_ERR_STRING = %s\n", result.wszErrString);
                break;
            case kIndex:
                DecodeUtf8(result.wszIdx, field.second);
                TraceLog(TRACE_RECV_OK, L"    ◀◀◀    [ H5 ] UPLOAD_RESULT F_IDX = %s\n", result.wszIdx);
                break;
            default:
                break;
            }
        }
        UploadResult.push_back(result);
    }
}

void CToviProto::ParseUploadCancelReply(const _PROT&)
{
    TraceLog(TRACE_RECV_OK, L"C_UPLOAD_CANCEL\n");
}

void CToviProto::ReleaseUploadResult()
{
    std::vector<_PROTO_UPLOAD_RESULT>().swap(UploadResult);
}

int CToviProto::GetUploadCancel()
{
    ClearResult();
    _PROT msg;
    NewMessage(msg, C_UPLOAD_CANCEL);
    return Request(msg, kKeepOnSendError);
}

int CToviProto::GetDownloadInfo(HWND wnd, HANDLE file, char* idx, char* didx, char* item, char* size, char* checksum,
                                char* passPhrase)
{
    TraceLog(TRACE_SEND, L"CToviProto::GetDownloadInfo\n");
    ClearResult();
    std::memset(DownloadInfo.cAnswer, 0, sizeof DownloadInfo.cAnswer);
    // The key is a fixed 32-byte field: anything else would go out garbled or not at all, and
    // the connection would re-key for a stream that never comes.
    const std::string key = Text(passPhrase);
    if (!key.empty() && key.size() != kFileKeyLength) {
        SetResult(C_ERROR, IXO_SOCK_ERR_FIELD_LEN, L"");
        return IXO_SOCK_ERR_FIELD_LEN;
    }
    if (EnsureConnection(C_DNLOAD) != 0)
        return -1;
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kVersion] = Text(item);
    record[kSize] = Text(size);
    if (checksum)
        record[kChecksum] = checksum;
    record[kPassPhrase] = key;
    if (!key.empty()) {
        m_pConn->m_bRekey = 1;
        std::memset(m_pConn->m_szDownloadKey, 0, sizeof m_pConn->m_szDownloadKey);
        std::memcpy(m_pConn->m_szDownloadKey, key.data(), kFileKeyLength);
    }
    m_pConn->m_hProgressWnd = wnd;
    m_pConn->m_hDownloadFile = file;
    return DownloadOutcome(*this, SendRecords(C_DNLOAD, {record}, kKeepOnSendError), false);
}

int CToviProto::GetDownloadPosition(char* mode, __int64 offset)
{
    ClearResult();
    if (offset < 0)
        return -1;
    ProtRecord record;
    record[kMode] = Text(mode);
    record[kOffset] = Decimal(static_cast<unsigned long long>(offset));
    // "3" resumes: its answer is the data.
    const bool resume = mode && std::strcmp(mode, "3") == 0;
    const int result = DownloadOutcome(*this, SendRecords(C_DNLOAD, {record}, kKeepOnSendError), resume);
    // The position is a download's last step: its slots serve nothing after it.
    if (m_pConn)
        m_pConn->EndDownload();
    return result;
}

int CToviProto::GetDownloadContinue(char* key)
{
    ClearResult();
    ProtRecord record = SessionRecord();
    record[kContinue] = Text(key);
    return DownloadOutcome(*this, SendRecords(C_DNLOAD, {record}), false);
}

void CToviProto::ParseDownloadAnswerReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            if (field.first == kDownloadAnswer)
                CopyText(DownloadInfo.cAnswer, field.second);
            else if (field.first == kContinue)
                CopyText(ContinueFlag, field.second);
        }
    }
}
