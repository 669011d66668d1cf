// One client connection on its own thread: frames in, requests dispatched, replies out.
#include "Connection.h"
#include "CommandTable.h"
#include "Exchange.h"
#include "RecordCodec.h"
#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace tovisrv {

CConnection::CConnection(int fd, int id, CServerState& state)
    : m_socket(fd), m_id(id), m_state(state)
{
    m_state.NoteConnectionOpened();
}

CConnection::~CConnection() = default;

void CConnection::Run()
{
    Log("connected");
    try {
        Serve();
    } catch (const std::exception& e) {
        Log(std::string("closing after an internal failure: ") + e.what());
    }
    AbandonUpload();
    Close();
    Log("closed");
    // Counted here, not when the object goes: lifetime rules look at open connections.
    m_state.NoteConnectionClosed();
    MarkFinished();
}

void CConnection::Shutdown()
{
    Close();
}

void CConnection::Close()
{
    // Only shut down here: the descriptor is closed with the object, after the thread ended,
    // so that Shutdown from another thread never meets a reused number.
    m_closing = true;
    m_socket.Shutdown();
}

std::string CConnection::TakePendingKey()
{
    std::string key;
    key.swap(m_pendingKey);
    return key;
}

void CConnection::SetUploadTarget(std::unique_ptr<CUploadTarget> target)
{
    AbandonUpload();
    m_upload = std::move(target);
    m_uploadCut = m_upload ? FaultPlan::From(m_state.Faults().TakeNamed("H3")).cutStream : -1;
    m_uploadSeen = 0;
}

void CConnection::AbandonUpload(const std::string& byRequest)
{
    if (m_upload && !m_upload->Done())
        m_upload->OnAbandon(byRequest);
    m_upload.reset();
}

void CConnection::Serve()
{
    Frame frame;
    while (!m_closing && !m_state.StopRequested()) {
        const FrameStatus status = CFrame::Read(m_socket, frame);
        m_state.Touch();
        if (status != FrameStatus::Ok) {
            if (status != FrameStatus::Closed)
                Log(std::string("bad frame: ") + CFrame::StatusName(status));
            return;
        }
        if (m_closing)
            return;
        if ((frame.flags & kFlagEncrypted) && !m_cipher.IsKeyed()) {
            Log("enciphered frame " + frame.command + " before the cipher was set up");
            return;
        }
        const bool ok = frame.command == "H3" ? OnUploadFrame(frame) : OnRequestFrame(frame);
        if (!ok)
            return;
    }
}

bool CConnection::OnUploadFrame(Frame& frame)
{
    if (!m_upload) {
        Log("H3 data without an announced upload");
        return false;
    }
    if ((frame.flags & kFlagEncrypted) && !m_cipher.DecryptPieces(frame.payload)) {
        Log("H3 data cannot be deciphered");
        return false;
    }
    if (m_uploadCut >= 0 && m_uploadSeen + frame.payload.size() >= static_cast<uint64_t>(m_uploadCut)) {
        // The partial copy keeps what arrived before the cut, as a dropped line would leave it.
        const size_t keep = static_cast<size_t>(static_cast<uint64_t>(m_uploadCut) - m_uploadSeen);
        if (keep > 0)
            m_upload->OnData(frame.payload.substr(0, keep), false);
        Log("upload cut after " + std::to_string(m_uploadCut) + " bytes of file data (fault)");
        return false;
    }
    m_uploadSeen += frame.payload.size();
    if (!m_upload->OnData(frame.payload, (frame.flags & kFlagMore) == 0)) {
        Log("H3 data refused by the upload");
        return false;
    }
    if (m_upload->Done())
        m_upload.reset();
    return true;
}

bool CConnection::OnRequestFrame(Frame& frame)
{
    if ((frame.flags & kFlagEncrypted) && !frame.payload.empty() && !m_cipher.Decrypt(frame.payload)) {
        Log("request " + frame.command + " cannot be deciphered");
        return false;
    }
    if (m_joinFrames > 0 && frame.command != m_joinCommand) {
        Log("fragment " + frame.command + " inside a " + m_joinCommand + " message");
        return false;
    }
    if (m_joinFrames == 0) {
        m_joinCommand = frame.command;
        m_joinFlags = frame.flags;
        m_join.clear();
    }
    m_join += frame.payload;
    ++m_joinFrames;
    if (frame.flags & kFlagMore) {
        // Every fragment of a request is a whole exchange for the client: it waits for an
        // answer. A command it does not know is read and ignored.
        FaultPlan none;
        return Send(CReplyWriter::Message("Z0", {}, m_cipher.IsKeyed(), m_cipher, none));
    }
    Message request;
    request.command = m_joinCommand;
    request.flags = m_joinFlags;
    const int frames = m_joinFrames;
    m_joinFrames = 0;
    const DecodeStatus decoded = CRecordCodec::Decode(m_join, request.records);
    m_join.clear();
    if (decoded != DecodeStatus::Ok) {
        Log("request " + request.command + (decoded == DecodeStatus::Short
            ? " has a field running past its payload" : " has a malformed field length"));
        return false;
    }
    AbandonUpload(request.command);
    Dispatch(request, frames);
    return !m_closing;
}

void CConnection::Dispatch(Message& request, int frames)
{
    char flags[3];
    std::snprintf(flags, sizeof flags, "%02X", request.flags);
    Log("request " + request.command + " flags " + flags + ", " + std::to_string(frames) + " frame(s), " +
        std::to_string(request.records.size()) + " record(s)");
    m_state.NoteRequest({m_id, request.command, request.flags, frames, request.records});
    const FaultPlan plan = FaultPlan::From(m_state.Faults().Take(request.command));
    CExchange exchange(*this, request, plan);
    if (plan.silent) {
        Log("request " + request.command + ": left unanswered (fault)");
        return;
    }
    if (plan.close) {
        Log("request " + request.command + ": connection closed (fault)");
        Close();
        return;
    }
    if (plan.delayMs > 0) {
        Log("request " + request.command + ": answer delayed " + std::to_string(plan.delayMs) + " ms (fault)");
        if (m_state.WaitStop(plan.delayMs))
            return;
    }
    if (plan.error) {
        exchange.ReplyError(plan.error->command, plan.error->code, plan.error->message);
        return;
    }
    const CommandHandler handler = CCommandTable::Instance().Find(request.command);
    if (!handler) {
        Log("unknown command " + request.command);
        exchange.ReplyError("E0", "1500", "Unknown command.");
        return;
    }
    handler(exchange);
    if (!exchange.Answered()) {
        Log("handler of " + request.command + " sent nothing; an empty reply goes out");
        exchange.Reply();
    }
}

bool CConnection::Send(const OutgoingFrames& out)
{
    if (m_closing)
        return false;
    for (size_t i = 0; i < out.frames.size(); ++i) {
        if (i == 0 && out.closeAfter >= 0) {
            SendPartAndClose(out.frames[0], static_cast<size_t>(out.closeAfter));
            return false;
        }
        if (!m_socket.WriteAll(out.frames[i])) {
            Close();
            return false;
        }
    }
    return true;
}

bool CConnection::SendFrame(const std::string& header, const std::string& payload)
{
    if (m_closing)
        return false;
    if (!m_socket.WriteAll(header.data(), header.size(), true) || !m_socket.WriteAll(payload)) {
        Close();
        return false;
    }
    return true;
}

void CConnection::SendPartAndClose(const std::string& frame, size_t bytes)
{
    m_socket.WriteAll(frame.data(), std::min(bytes, frame.size()));
    Log("closed after " + std::to_string(bytes) + " bytes of a frame (fault)");
    Close();
}

}
