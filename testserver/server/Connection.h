// One client connection on its own thread: frames in, requests dispatched, replies out.
#pragma once
#include "Frame.h"
#include "Peer.h"
#include "ReplyWriter.h"
#include "ServerState.h"
#include "SessionCipher.h"
#include "Slots.h"
#include "UploadTarget.h"
#include <memory>

namespace tovisrv {

// Everything runs on the connection's thread except Shutdown. A malformed frame, a payload
// that cannot be deciphered or decoded, or H3 data nobody announced closes the connection:
// there is no meaningful reply to them.
class CConnection : public CPeer {
public:
    CConnection(int fd, int id, CServerState& state);
    ~CConnection() override;

    void Run() override;
    void Shutdown() override;

    int Id() const { return m_id; }
    CServerState& State() { return m_state; }
    CSessionCipher& Cipher() { return m_cipher; }
    // Per-connection state of the command families (current session, pending operations...).
    template <class T>
    T& Slot() { return m_slots.Slot<T>(); }

    // A download pass phrase that re-keys the connection after the next stream header.
    void SetPendingKey(const std::string& phrase) { m_pendingKey = phrase; }
    std::string TakePendingKey();
    void SetUploadTarget(std::unique_ptr<CUploadTarget> target);

    // False once the connection is gone or was closed on purpose (closeAfter).
    bool Send(const OutgoingFrames& out);
    // One frame given as its header and its payload; false once the connection is gone.
    bool SendFrame(const std::string& header, const std::string& payload);
    // Writes `bytes` of a frame and closes (a fault cutting a stream).
    void SendPartAndClose(const std::string& frame, size_t bytes);
    bool IsClosing() const { return m_closing; }
    void Close();
    void Log(const std::string& text) { m_state.Log().Write(m_id, text); }

private:
    void Serve();
    bool OnUploadFrame(Frame& frame);
    bool OnRequestFrame(Frame& frame);
    void Dispatch(Message& request, int frames);
    void AbandonUpload(const std::string& byRequest = std::string());

    CSocket m_socket;
    const int m_id;
    CServerState& m_state;
    CSessionCipher m_cipher;
    std::string m_pendingKey;
    std::unique_ptr<CUploadTarget> m_upload;
    // "cut-stream cmd=H3": the connection closes once this many bytes of the upload arrived.
    long m_uploadCut = -1;
    uint64_t m_uploadSeen = 0;
    CSlots m_slots;
    std::atomic<bool> m_closing{false};

    // A request arriving in fragments, joined until the frame without FLAG_MORE.
    std::string m_joinCommand;
    std::string m_join;
    uint8_t m_joinFlags = 0;
    int m_joinFrames = 0;
};

}
