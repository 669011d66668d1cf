// The server object: two listeners on 127.0.0.1 (protocol and control), one thread per peer.
#include "TestServer.h"
#include "Connection.h"
#include "ControlSession.h"
#include "SessionCipher.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <csignal>
#include <filesystem>
#include <poll.h>
#include <unistd.h>

namespace tovisrv {

namespace {

// A process that ended but was not reaped yet still answers kill(pid, 0): look at its state.
bool ProcessAlive(pid_t pid)
{
    if (::kill(pid, 0) != 0 && errno == ESRCH)
        return false;
    std::FILE* stat = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!stat)
        return true;
    char line[512] = {};
    const bool read = std::fgets(line, sizeof line, stat) != nullptr;
    std::fclose(stat);
    // "pid (name) state ...": the name may hold ')' itself, so take the last one.
    const char* close = read ? std::strrchr(line, ')') : nullptr;
    return !close || close[1] != ' ' || close[2] != 'Z';
}

}

CTestServer::CTestServer(const ServerOptions& options) : m_options(options), m_state(options.stateDir) {}

CTestServer::~CTestServer()
{
    Stop();
}

bool CTestServer::Start(std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(m_options.stateDir, ec);
    if (ec) {
        error = "cannot create the state folder " + m_options.stateDir + ": " + ec.message();
        return false;
    }
    m_state.Log().Open(m_options.stateDir + "/server.log", m_options.logToStderr);
    if (!CSessionCipher::LoadProviders()) {
        error = "OpenSSL legacy and default providers cannot be loaded";
        return false;
    }
    if (!m_state.SetStartPolicy(m_options.policy, error))
        return false;
    if (!m_listener.Open(m_options.port, error) || !m_controlListener.Open(m_options.controlPort, error))
        return false;
    m_acceptThread = std::thread([this] { AcceptLoop(false); });
    m_controlAcceptThread = std::thread([this] { AcceptLoop(true); });
    m_state.Log().Write(0, "listening on 127.0.0.1:" + std::to_string(Port()) + ", control " +
                               std::to_string(ControlPort()) + ", policy " + m_state.PolicyText());
    return true;
}

void CTestServer::AcceptLoop(bool control)
{
    CListener& listener = control ? m_controlListener : m_listener;
    for (;;) {
        const int fd = listener.Accept();
        if (fd < 0) {
            if (!m_state.StopRequested())
                m_state.Log().Write(0, std::string(control ? "control" : "protocol") + " listener failed; no more connections");
            return;
        }
        std::lock_guard<std::mutex> guard(m_workersLock);
        if (m_stopped || m_state.StopRequested()) {
            ::close(fd);
            return;
        }
        ReapFinished();
        std::shared_ptr<CPeer> peer;
        if (control)
            peer = std::make_shared<CControlSession>(fd, m_nextControlId++, m_state);
        else
            peer = std::make_shared<CConnection>(fd, m_nextConnectionId++, m_state);
        m_workers.push_back({peer, std::thread([peer] { peer->Run(); })});
    }
}

void CTestServer::ReapFinished()
{
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (it->peer->Finished()) {
            it->thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

std::string CTestServer::RunUntilStopped(const LifetimeOptions& lifetime)
{
    bool stdinOpen = lifetime.exitOnStdinEof;
    for (;;) {
        if (m_state.WaitStop(100))
            return "quit";
        if (lifetime.signalFlag && *lifetime.signalFlag)
            return "signal";
        if (lifetime.parentPid > 0 && !ProcessAlive(lifetime.parentPid))
            return "parent process gone";
        if (lifetime.idleExitSeconds > 0 && m_state.OpenConnections() == 0 && m_state.OpenControls() == 0 &&
            m_state.IdleSeconds() >= lifetime.idleExitSeconds)
            return "idle";
        if (lifetime.exitWithControl && m_state.ControlEverOpened() && m_state.OpenControls() == 0)
            return "last control connection closed";
        if (stdinOpen) {
            pollfd in{STDIN_FILENO, POLLIN, 0};
            if (::poll(&in, 1, 0) > 0) {
                char scratch[256];
                if (::read(STDIN_FILENO, scratch, sizeof scratch) <= 0)
                    return "standard input closed";
            }
        }
    }
}

void CTestServer::Stop()
{
    {
        std::lock_guard<std::mutex> guard(m_workersLock);
        if (m_stopped)
            return;
        m_stopped = true;
    }
    m_state.RequestStop();
    m_listener.Shutdown();
    m_controlListener.Shutdown();
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    if (m_controlAcceptThread.joinable())
        m_controlAcceptThread.join();
    std::lock_guard<std::mutex> guard(m_workersLock);
    for (Worker& worker : m_workers)
        worker.peer->Shutdown();
    for (Worker& worker : m_workers)
        worker.thread.join();
    m_workers.clear();
    m_state.Log().Write(0, "stopped");
}

}
