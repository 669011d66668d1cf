// The server's log: <state>/server.log, one line per event, optionally echoed to stderr.
#include "ServerLog.h"
#include <chrono>
#include <ctime>

namespace tovisrv {

CServerLog::~CServerLog()
{
    if (m_file)
        std::fclose(m_file);
}

void CServerLog::Open(const std::string& path, bool echo)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_file)
        std::fclose(m_file);
    m_file = path.empty() ? nullptr : std::fopen(path.c_str(), "a");
    m_echo = echo;
}

void CServerLog::Write(int connection, const std::string& text)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const long ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
        now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min,
                  local.tm_sec, ms);
    const std::string who = connection == 0 ? "server" : connection > 0
        ? "conn " + std::to_string(connection) : "ctl " + std::to_string(-connection);
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_file) {
        std::fprintf(m_file, "%s [%s] %s\n", stamp, who.c_str(), text.c_str());
        std::fflush(m_file);
    }
    if (m_echo)
        std::fprintf(stderr, "%s [%s] %s\n", stamp, who.c_str(), text.c_str());
}

}
