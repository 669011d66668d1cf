// The server object: two listeners on 127.0.0.1 (protocol and control), one thread per peer.
#pragma once
#include "Peer.h"
#include "ServerState.h"
#include "Listener.h"
#include <csignal>
#include <list>
#include <memory>
#include <mutex>
#include <sys/types.h>
#include <thread>

namespace tovisrv {

struct ServerOptions {
    std::string stateDir;
    int port = 0;          // 0 = ephemeral
    int controlPort = 0;
    std::string policy = "rotate";
    bool logToStderr = false;
};

// When a run ends by itself; any rule that fires ends it.
struct LifetimeOptions {
    pid_t parentPid = 0;              // > 0: end when that process is gone
    double idleExitSeconds = 0;       // > 0: end after that long with no peer and no traffic
    bool exitWithControl = false;     // end when the last control connection closes
    bool exitOnStdinEof = false;      // end when standard input reaches its end
    const volatile std::sig_atomic_t* signalFlag = nullptr;  // set by a signal handler
};

class CTestServer {
public:
    explicit CTestServer(const ServerOptions& options);
    ~CTestServer();
    CTestServer(const CTestServer&) = delete;
    CTestServer& operator=(const CTestServer&) = delete;

    // Creates the state folder, opens the log and both listeners, starts accepting.
    bool Start(std::string& error);
    int Port() const { return m_listener.Port(); }
    int ControlPort() const { return m_controlListener.Port(); }
    CServerState& State() { return m_state; }

    // Blocks until QUIT or a lifetime rule; returns why the run ended.
    std::string RunUntilStopped(const LifetimeOptions& lifetime);
    // Closes the listeners and every peer, and joins every thread. Idempotent.
    void Stop();

private:
    struct Worker {
        std::shared_ptr<CPeer> peer;
        std::thread thread;
    };
    void AcceptLoop(bool control);
    void ReapFinished();

    ServerOptions m_options;
    CServerState m_state;
    CListener m_listener;
    CListener m_controlListener;
    std::thread m_acceptThread;
    std::thread m_controlAcceptThread;
    std::mutex m_workersLock;
    std::list<Worker> m_workers;
    int m_nextConnectionId = 1;
    int m_nextControlId = 1;
    bool m_stopped = false;
};

}
