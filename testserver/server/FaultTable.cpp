// The faults waiting for exchanges, shared by every connection; set through the control channel.
#include "FaultTable.h"

namespace tovisrv {

void CFaultTable::Add(const Fault& fault)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_faults.push_back(fault);
}

std::vector<Fault> CFaultTable::Take(const std::string& command)
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<Fault> taken;
    for (auto it = m_faults.begin(); it != m_faults.end();) {
        if (!it->command.empty() && it->command != command) {
            ++it;
            continue;
        }
        if (it->skip > 0) {
            --it->skip;
            ++it;
            continue;
        }
        taken.push_back(*it);
        if (it->remaining > 0 && --it->remaining == 0)
            it = m_faults.erase(it);
        else
            ++it;
    }
    return taken;
}

std::vector<Fault> CFaultTable::TakeNamed(const std::string& command)
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<Fault> taken;
    for (auto it = m_faults.begin(); it != m_faults.end();) {
        if (it->command != command) {
            ++it;
            continue;
        }
        if (it->skip > 0) {
            --it->skip;
            ++it;
            continue;
        }
        taken.push_back(*it);
        if (it->remaining > 0 && --it->remaining == 0)
            it = m_faults.erase(it);
        else
            ++it;
    }
    return taken;
}

std::vector<Fault> CFaultTable::List() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_faults;
}

void CFaultTable::Clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_faults.clear();
}

}
