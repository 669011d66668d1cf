// One accepted socket served by its own thread: a protocol connection or a control session.
#pragma once
#include <atomic>

namespace tovisrv {

class CPeer {
public:
    virtual ~CPeer() = default;
    // The thread body; returns when the peer is done.
    virtual void Run() = 0;
    // From any thread: makes Run return soon.
    virtual void Shutdown() = 0;
    bool Finished() const { return m_finished; }

protected:
    void MarkFinished() { m_finished = true; }

private:
    std::atomic<bool> m_finished{false};
};

}
