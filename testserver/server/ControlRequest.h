// One control-channel line: VERB [word ...] [-- free text], with key=value helpers.
#pragma once
#include "ServerState.h"
#include <string>
#include <vector>

namespace tovisrv {

class CControlRequest {
public:
    CControlRequest(CServerState& state, const std::string& line);

    CServerState& State() { return m_state; }
    const std::string& Verb() const { return m_verb; }          // upper case
    const std::vector<std::string>& Args() const { return m_args; }
    const std::string& Text() const { return m_text; }          // after " -- ", may be empty
    bool HasText() const { return m_hasText; }
    // The value of a key=value word; the fallback when absent.
    std::string Param(const std::string& key, const std::string& fallback = std::string()) const;
    // The words after the verb, joined by single spaces.
    std::string Rest() const;
    // Asked to stop the server once the reply is out.
    void RequestStop() { m_stop = true; }
    bool StopRequested() const { return m_stop; }

private:
    CServerState& m_state;
    std::string m_verb;
    std::vector<std::string> m_args;
    std::string m_text;
    bool m_hasText = false;
    bool m_stop = false;
};

}
