// Control verb -> handler. Each family file (Control*.cpp) adds its own verbs at start-up.
#pragma once
#include "ControlRequest.h"
#include <initializer_list>
#include <map>
#include <string>

namespace tovisrv {

// Returns the reply line: "OK ..." or "ERR ...", without the line end.
using ControlHandler = std::string (*)(CControlRequest&);

struct ControlEntry {
    const char* verb;    // upper case
    const char* usage;   // one line for HELP
    ControlHandler handler;
};

class CControlTable {
public:
    static CControlTable& Instance();
    void Add(const ControlEntry& entry);
    const ControlEntry* Find(const std::string& verb) const;
    std::string Usage() const;

private:
    std::map<std::string, ControlEntry> m_entries;
};

// A family file declares one: static const CControlFamily kFamily{{"PING", "PING", Ping}, ...};
class CControlFamily {
public:
    CControlFamily(std::initializer_list<ControlEntry> entries);
};

}
