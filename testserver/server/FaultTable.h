// The faults waiting for exchanges, shared by every connection; set through the control channel.
#pragma once
#include "Fault.h"
#include <mutex>

namespace tovisrv {

class CFaultTable {
public:
    void Add(const Fault& fault);
    // Every fault that applies to one exchange of this request command; each one taken
    // counts down and is dropped at zero. A fault still skipping lets the exchange pass and
    // counts its skips down instead.
    std::vector<Fault> Take(const std::string& command);
    // Only the faults that name this command (cmd=XX); faults for any command stay.
    std::vector<Fault> TakeNamed(const std::string& command);
    std::vector<Fault> List() const;
    void Clear();

private:
    mutable std::mutex m_lock;
    std::vector<Fault> m_faults;
};

}
