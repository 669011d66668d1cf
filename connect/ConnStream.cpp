// CToviConn, file data: the H3 upload loop with its throttle, progress, pause and cancel, and
// the H4 download frames written to a file.
#include <winsock2.h>
#include "ToviConn.h"
#include "FramePump.h"
#include "ToviProto.h"
#include "Frame.h"
#include "TraceLog.h"
#include <cstring>
#include <cwchar>

namespace {

constexpr DWORD kThrottleSleepCapMs = 1000;
constexpr DWORD kResumePollMs = 1000;

}

// True to send the next frame now; false after a sleep (then stop says whether the loop ends).
bool CToviConn::Throttle(HWND wnd, uint64_t& windowStart, uint64_t& bytesInWindow, bool& stop)
{
    stop = false;
    const uint64_t bandWidth = BandWidth();
    if (bandWidth == 0)
        return true;
    const uint64_t now = m_pClock->NowMicros();
    const uint64_t elapsedMs = now > windowStart ? (now - windowStart) / 1000 : 0;
    const uint64_t allowed = bandWidth * (elapsedMs / 1000) + bandWidth * (elapsedMs % 1000) / 1000;
    if (bytesInWindow == 0 || bytesInWindow <= allowed)
        return true;
    const uint64_t sleepMs =
        static_cast<uint64_t>(static_cast<double>(bytesInWindow - allowed) / static_cast<double>(bandWidth) * 1000.0);
    if (sleepMs == 0)
        return true;
    m_pClock->SleepMs(static_cast<DWORD>(sleepMs < kThrottleSleepCapMs ? sleepMs : kThrottleSleepCapMs));
    stop = !IsWindow(wnd) || SendMessageW(wnd, WM_UPLOAD_THROTTLE, 0, 0) == 0 || !IsWindow(wnd);
    return false;
}

// False when the loop ends: cancelled or the window gone.
bool CToviConn::ReportUpload(HWND wnd, uint64_t bytes, uint64_t& windowStart, uint64_t& bytesInWindow)
{
    if (!IsWindow(wnd))
        return false;
    LRESULT reply;
    if (!m_strPolicyKey.IsEmpty()) {
        _UPLOAD_POLICY_PROGRESS progress;
        std::memset(&progress, 0, sizeof progress);
        // The message has room for 14 characters of the key.
        std::wcsncpy(progress.key, m_strPolicyKey.GetString(), 14);
        progress.bytes = bytes;
        reply = SendMessageW(wnd, WM_UPLOAD_POLICY_PROGRESS, 0, reinterpret_cast<LPARAM>(&progress));
    } else {
        uint64_t sent = bytes;
        reply = SendMessageW(wnd, WM_UPLOAD_PROGRESS, 0, reinterpret_cast<LPARAM>(&sent));
        if (reply == UPLOAD_REPLY_PAUSE) {
            // A window that is gone can no longer resume: the pause, and the upload, end.
            for (;;) {
                m_pClock->SleepMs(kResumePollMs);
                if (!IsWindow(wnd))
                    return false;
                if (SendMessageW(wnd, WM_UPLOAD_RESUME_QUERY, 0, 0) == 1)
                    break;
                if (!IsWindow(wnd))
                    return false;
            }
            windowStart = m_pClock->NowMicros();
            bytesInWindow = 0;
            m_nLastBandWidth = BandWidth();
        }
    }
    if (reply == UPLOAD_REPLY_CANCEL)
        return false;
    return IsWindow(wnd) != FALSE;
}

int CToviConn::SendFileData(CFile& file, HWND wnd, _PROT& msg, uint64_t size, uint64_t offset)
{
    const size_t frameBytes = static_cast<size_t>(EffectiveFactor()) * FILE_PIECE_SIZE;
    uint64_t remaining = size > offset ? size - offset : 0;
    uint64_t bytesInWindow = 0;
    uint64_t windowStart = BandWidth() > 0 ? m_pClock->NowMicros() : 0;
    msg.flags |= FLAG_MORE;
    // Whatever download slots a request left, file data going out is no answer to them.
    EndDownload();

    for (;;) {
        const uint64_t bandWidth = BandWidth();
        if (bandWidth != m_nLastBandWidth) {
            windowStart = m_pClock->NowMicros();
            bytesInWindow = 0;
            m_nLastBandWidth = bandWidth;
        }
        bool stop = false;
        if (!Throttle(wnd, windowStart, bytesInWindow, stop)) {
            if (stop)
                return 0;
            continue;
        }

        // Never past the announced size, so the count left reaches exactly 0.
        const UINT want = static_cast<UINT>(remaining < frameBytes ? remaining : frameBytes);
        SetLastError(ERROR_SUCCESS);
        const UINT got = want ? file.Read(m_FrameBuf + wire::kHeaderRoom, want) : 0;
        if (got == 0) {
            DWORD err = want ? GetLastError() : ERROR_SUCCESS;
            if (err != ERROR_SUCCESS) {
                CFileException failure(CFileException::OsErrorToCause(static_cast<LONG>(err)),
                                       static_cast<LONG>(err), file.GetFilePath());
                CString text = failure.GetErrorMessage();
                m_pOwner->SetResult(C_ERROR, failure.m_cause, text.GetString());
            }
            return 0;
        }
        remaining -= got;
        msg.length = got;
        if (remaining == 0)
            msg.flags &= static_cast<uint8_t>(~FLAG_MORE);
        int code = SendPacket(msg);
        if (code != 0)
            return code;
        bytesInWindow += got;
        if (!ReportUpload(wnd, got, windowStart, bytesInWindow))
            return 0;
    }
}

void CToviConn::SetFileError(DWORD osError)
{
    SetLastError(osError);
    SetError(static_cast<int>(osError));
}

void CToviConn::ReceiveDownload()
{
    TraceLog(TRACE_SEND, L"[ CToviConn::ReceiveThread ] C_DNLOAD_FILE\n");
    if (m_bRekey) {
        m_bRekey = 0;
        // Same algorithm, mode and key size; the file key stays for the rest of the connection.
        if (!m_pEncCtx || CToviCrypto::ToviKeySetup(m_szDownloadKey, m_pEncCtx) != 0) {
            // The data frames stay unread: the stream cannot be used again.
            SetLastError(0);
            SetError(IXO_SOCK_ERR_KEY_SETUP);
            DropStream();
            return;
        }
    }
    _PROT first;
    int code = ReceiveFileData(first);
    if (code != 0) {
        TraceLog(TRACE_ERROR, L"[ CToviConn::ReceiveFileData ] Error --> ErrCode = [ %d ]\n", code);
        FailReceive(code);
    }
}

bool CToviConn::WriteSink(void* context, const unsigned char* data, size_t size, DWORD* error)
{
    const DWORD count = static_cast<DWORD>(size);
    DWORD written = 0;
    if (WriteFile(static_cast<CToviConn*>(context)->m_hDownloadFile, data, count, &written, nullptr) && written == count)
        return true;
    const DWORD err = GetLastError();
    *error = err ? err : ERROR_DISK_FULL;
    return false;
}

// Deciphers a data frame piece by piece and writes it to the download file, the writing of
// the first pieces beside the cipher work on the later ones. 0, or 17 for a piece that does
// not decipher (the pieces before it are written); a failed write sets writeError, and what
// followed it is not written.
int CToviConn::WriteFileData(unsigned char* payload, size_t size, bool encrypted, DWORD& writeError)
{
    writeError = 0;
    if (size == 0)
        return 0;
    CFramePump* pump = Pump();
    if (!pump) {
        if (encrypted && CipherInPlace(false, payload, size, FILE_PIECE_SIZE) != 0)
            return IXO_SOCK_ERR_ENCRYPT;
        WriteSink(this, payload, size, &writeError);
        return 0;
    }
    pump->Begin(payload, WriteSink, this);
    int code = 0;
    if (encrypted)
        code = CipherInPlace(false, payload, size, FILE_PIECE_SIZE, pump) == 0 ? 0 : IXO_SOCK_ERR_ENCRYPT;
    else
        pump->Advance(size);
    DWORD error = 0;
    if (!pump->Finish(&error))
        writeError = error;
    return code;
}

int CToviConn::ReceiveFileData(_PROT& msg)
{
    // Whatever the header announced serves this stream alone.
    const int64_t announced = m_nStreamAnnounced;
    m_nStreamAnnounced = -1;
    uint64_t written = 0;
    for (;;) {
        HWND wnd = m_hProgressWnd;
        if (!IsWindow(wnd) || SendMessageW(wnd, WM_DOWNLOAD_QUERY_CANCEL, 0, 0) != 0) {
            TraceLog(TRACE_SEND, L"Download cancel\n");
            m_pOwner->ResultInfo.nResultCode = IXO_DOWNLOAD_CANCELLED;
            // Unread data frames would be taken for the next reply.
            DropStream();
            return 0;
        }
        _PROT frame;
        int code = ReceiveFrame(frame, true);
        if (code != 0)
            return code;
        // Only H4 frames carry file data: anything else in their place (an error reply, the
        // answer to something else) would go into the file as if it were data.
        if (frame.command != C_DNLOAD_FILE)
            return IXO_SOCK_ERR_CMD_MISMATCH;
        const DWORD size = frame.length - 3;
        // A frame lost, repeated or out of its place on the way shows as a count that does not
        // add up: nothing past the announced end is written, and a short end is no success.
        if (announced >= 0 && written + size > static_cast<uint64_t>(announced)) {
            TraceLog(TRACE_ERROR, L"[ CToviConn::ReceiveFileData ] data past the announced %I64d bytes\n", announced);
            return IXO_SOCK_ERR_STREAM_SIZE;
        }
        DWORD writeError = 0;
        code = WriteFileData(m_FrameBuf + frame.prefixSize + 3, size, (frame.flags & FLAG_ENCRYPTED) != 0, writeError);
        if (code != 0)
            return code;
        if (writeError != 0) {
            TraceLog(TRACE_ERROR, L"[ CToviConn::ReceiveFileData ] WriteFile Error [ %d ]\n", writeError);
            SetFileError(writeError);
            DropStream();
            return 0;
        }
        written += size;
        const bool last = !(frame.flags & FLAG_MORE);
        // The frame that completes the announced count must be the last one, and the last one
        // must complete it.
        if (announced >= 0 && last != (written == static_cast<uint64_t>(announced))) {
            TraceLog(TRACE_ERROR, L"[ CToviConn::ReceiveFileData ] stream at %I64u of %I64d bytes when it ended or went on\n", written,
                     announced);
            return IXO_SOCK_ERR_STREAM_SIZE;
        }
        uint64_t bytes = size;
        SendMessageW(wnd, WM_DOWNLOAD_PROGRESS, 0, reinterpret_cast<LPARAM>(&bytes));
        msg = frame;
        if (last)
            return 0;
    }
}
