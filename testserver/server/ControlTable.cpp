// Control verb -> handler. Each family file (Control*.cpp) adds its own verbs at start-up.
#include "ControlTable.h"
#include <cstdio>
#include <cstdlib>

namespace tovisrv {

CControlTable& CControlTable::Instance()
{
    static CControlTable table;
    return table;
}

void CControlTable::Add(const ControlEntry& entry)
{
    if (!m_entries.emplace(entry.verb, entry).second) {
        std::fprintf(stderr, "control verb %s registered twice\n", entry.verb);
        std::abort();
    }
}

const ControlEntry* CControlTable::Find(const std::string& verb) const
{
    const auto it = m_entries.find(verb);
    return it == m_entries.end() ? nullptr : &it->second;
}

std::string CControlTable::Usage() const
{
    std::string out;
    for (const auto& [verb, entry] : m_entries)
        out += (out.empty() ? "" : " | ") + std::string(entry.usage);
    return out;
}

CControlFamily::CControlFamily(std::initializer_list<ControlEntry> entries)
{
    for (const ControlEntry& entry : entries)
        CControlTable::Instance().Add(entry);
}

}
