// Request command -> handler. Each family file (Commands*.cpp) adds its own entries at start-up.
#include "CommandTable.h"
#include <cstdio>
#include <cstdlib>

namespace tovisrv {

CCommandTable& CCommandTable::Instance()
{
    static CCommandTable table;
    return table;
}

void CCommandTable::Add(const CommandEntry& entry)
{
    if (!m_handlers.emplace(entry.command, entry.handler).second) {
        std::fprintf(stderr, "command %s registered twice\n", entry.command);
        std::abort();
    }
}

CommandHandler CCommandTable::Find(const std::string& command) const
{
    const auto it = m_handlers.find(command);
    return it == m_handlers.end() ? nullptr : it->second;
}

std::vector<std::string> CCommandTable::Commands() const
{
    std::vector<std::string> out;
    for (const auto& entry : m_handlers)
        out.push_back(entry.first);
    return out;
}

CCommandFamily::CCommandFamily(std::initializer_list<CommandEntry> entries)
{
    for (const CommandEntry& entry : entries)
        CCommandTable::Instance().Add(entry);
}

}
