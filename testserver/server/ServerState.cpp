// What every connection shares: cipher policy, faults, observations for tests, the stop signal.
#include "ServerState.h"

namespace tovisrv {

namespace {
constexpr size_t kRequestsKept = 64;
}

CServerState::CServerState(const std::string& stateDir) : m_stateDir(stateDir)
{
    Touch();
}

bool CServerState::SetPolicy(const std::string& text, std::string& error)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_policy.Parse(text, error);
}

bool CServerState::SetStartPolicy(const std::string& text, std::string& error)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_startPolicy.Parse(text, error))
        return false;
    m_policy = m_startPolicy;
    return true;
}

std::string CServerState::PolicyText() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_policy.Text();
}

CipherChoice CServerState::NextCipher()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_policy.Next();
}

void CServerState::NoteCipher(const CipherChoice& desc, const std::string& phrase)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_lastCipher = desc.Name() + " " + phrase;
    ++m_a0;
}

std::string CServerState::LastCipher() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lastCipher;
}

void CServerState::NoteConnectionOpened()
{
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_connectionsEver;
    ++m_openConnections;
    Touch();
}

void CServerState::NoteConnectionClosed()
{
    --m_openConnections;
    Touch();
}

void CServerState::NoteControlOpened()
{
    ++m_openControls;
    ++m_controlsEver;
    Touch();
}

void CServerState::NoteControlClosed()
{
    --m_openControls;
    Touch();
}

void CServerState::NoteRequest(RequestNote note)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_exchanges;
    ++m_requestCounts[note.command];
    m_requests.push_back(std::move(note));
    if (m_requests.size() > kRequestsKept)
        m_requests.pop_front();
}

bool CServerState::LastRequest(const std::string& command, RequestNote& out) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (auto it = m_requests.rbegin(); it != m_requests.rend(); ++it) {
        if (command.empty() || it->command == command) {
            out = *it;
            return true;
        }
    }
    return false;
}

void CServerState::SetUpload(const UploadReport& report)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_upload = report;
}

UploadReport CServerState::Upload() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_upload;
}

long CServerState::RequestCount(const std::string& command) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const auto it = m_requestCounts.find(command);
    return it == m_requestCounts.end() ? 0 : it->second;
}

std::string CServerState::Counters() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return "connections=" + std::to_string(m_connectionsEver) +
           " open=" + std::to_string(m_openConnections.load()) +
           " exchanges=" + std::to_string(m_exchanges) + " a0=" + std::to_string(m_a0);
}

void CServerState::Reset()
{
    m_faults.Clear();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_policy = m_startPolicy;
        m_lastCipher.clear();
        m_requests.clear();
        m_requestCounts.clear();
        m_upload = UploadReport();
        m_connectionsEver = m_openConnections;
        m_exchanges = 0;
        m_a0 = 0;
    }
    m_slots.ResetAll();
}

void CServerState::Touch()
{
    m_lastActivity = std::chrono::steady_clock::now().time_since_epoch().count();
}

double CServerState::IdleSeconds() const
{
    const auto last = std::chrono::steady_clock::time_point(
        std::chrono::steady_clock::duration(m_lastActivity.load()));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - last).count();
}

void CServerState::RequestStop()
{
    {
        std::lock_guard<std::mutex> guard(m_stopLock);
        m_stop = true;
    }
    m_stopSignal.notify_all();
}

bool CServerState::WaitStop(long ms)
{
    std::unique_lock<std::mutex> guard(m_stopLock);
    return m_stopSignal.wait_for(guard, std::chrono::milliseconds(ms), [this] { return m_stop.load(); });
}

}
