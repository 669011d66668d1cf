// Request command -> handler. Each family file (Commands*.cpp) adds its own entries at start-up.
#pragma once
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace tovisrv {

class CExchange;
using CommandHandler = void (*)(CExchange&);

struct CommandEntry {
    const char* command;   // "A0"
    CommandHandler handler;
};

class CCommandTable {
public:
    static CCommandTable& Instance();
    // A command registered twice is a build mistake: start-up stops with a message.
    void Add(const CommandEntry& entry);
    CommandHandler Find(const std::string& command) const;
    std::vector<std::string> Commands() const;

private:
    std::map<std::string, CommandHandler> m_handlers;
};

// A family file declares one: static const CCommandFamily kFamily{{"A0", HandleA0}, ...};
class CCommandFamily {
public:
    CCommandFamily(std::initializer_list<CommandEntry> entries);
};

}
