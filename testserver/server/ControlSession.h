// One control-channel connection: a line in, exactly one line out, until the peer closes.
#pragma once
#include "Peer.h"
#include "ServerState.h"
#include "Socket.h"

namespace tovisrv {

class CControlSession : public CPeer {
public:
    CControlSession(int fd, int id, CServerState& state);
    ~CControlSession() override;

    void Run() override;
    void Shutdown() override { m_socket.Shutdown(); }

    // The reply line for one request line (without line ends); public for tests.
    static std::string Answer(CServerState& state, const std::string& line, bool& stop);

private:
    CSocket m_socket;
    const int m_id;
    CServerState& m_state;
};

}
