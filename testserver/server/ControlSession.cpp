// One control-channel connection: a line in, exactly one line out, until the peer closes.
#include "ControlSession.h"
#include "ControlTable.h"

namespace tovisrv {

CControlSession::CControlSession(int fd, int id, CServerState& state)
    : m_socket(fd), m_id(id), m_state(state)
{
    m_state.NoteControlOpened();
}

CControlSession::~CControlSession() = default;

void CControlSession::Run()
{
    std::string line;
    while (!m_state.StopRequested() && m_socket.ReadLine(line)) {
        m_state.Touch();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        bool stop = false;
        const std::string reply = Answer(m_state, line, stop);
        m_state.Log().Write(-m_id, line + " => " + reply);
        if (!m_socket.WriteAll(reply + "\n"))
            break;
        if (stop) {
            m_state.RequestStop();
            break;
        }
    }
    m_socket.Shutdown();
    // Counted here, not when the object goes: lifetime rules look at open sessions.
    m_state.NoteControlClosed();
    MarkFinished();
}

std::string CControlSession::Answer(CServerState& state, const std::string& line, bool& stop)
{
    CControlRequest request(state, line);
    const ControlEntry* entry = CControlTable::Instance().Find(request.Verb());
    if (!entry)
        return "ERR unknown command " + request.Verb() + "; try HELP";
    std::string reply;
    try {
        reply = entry->handler(request);
    } catch (const std::exception& e) {
        reply = std::string("ERR ") + e.what();
    }
    // Replies are single lines.
    for (char& c : reply)
        if (c == '\n' || c == '\r')
            c = ' ';
    stop = request.StopRequested();
    return reply;
}

}
