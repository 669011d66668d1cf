// One control-channel line: VERB [word ...] [-- free text], with key=value helpers.
#include "ControlRequest.h"
#include <cctype>
#include <sstream>

namespace tovisrv {

CControlRequest::CControlRequest(CServerState& state, const std::string& line) : m_state(state)
{
    std::string head = line;
    size_t dashes = line.find(" -- ");
    if (dashes != std::string::npos) {
        head = line.substr(0, dashes);
        m_text = line.substr(dashes + 4);
        m_hasText = true;
    } else if (line.size() >= 3 && line.compare(line.size() - 3, 3, " --") == 0) {
        head = line.substr(0, line.size() - 3);
        m_hasText = true;
    }
    std::istringstream words(head);
    std::string word;
    if (words >> m_verb)
        for (char& c : m_verb)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (words >> word)
        m_args.push_back(word);
}

std::string CControlRequest::Param(const std::string& key, const std::string& fallback) const
{
    const std::string lead = key + "=";
    for (const std::string& arg : m_args)
        if (arg.compare(0, lead.size(), lead) == 0)
            return arg.substr(lead.size());
    return fallback;
}

std::string CControlRequest::Rest() const
{
    std::string out;
    for (const std::string& arg : m_args)
        out += (out.empty() ? "" : " ") + arg;
    return out;
}

}
