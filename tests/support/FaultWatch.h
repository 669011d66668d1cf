// Counts access faults raised on one thread while it lives. Wine swallows a fault inside a
// window callback (a message handler, a destructor run from WM_NCDESTROY) and goes on, so a
// use of freed memory there shows nowhere else: only a first-chance handler sees it.
#pragma once
#include <windows.h>

namespace uitest {

class FaultWatch {
public:
    // Watches the calling thread.
    FaultWatch();
    ~FaultWatch();
    LONG Faults() const;

private:
    FaultWatch(const FaultWatch&) = delete;
    FaultWatch& operator=(const FaultWatch&) = delete;
    void* m_handler = nullptr;
};

}
