// What every connection shares: cipher policy, faults, observations for tests, the stop signal.
#pragma once
#include "CipherPolicy.h"
#include "FaultTable.h"
#include "ServerLog.h"
#include "Slots.h"
#include "WireTypes.h"
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>

namespace tovisrv {

// One request message as it arrived (deciphered and joined), for the control channel.
struct RequestNote {
    int connection = 0;
    std::string command;
    uint8_t flags = 0;     // flags of its first frame
    int frames = 0;
    std::vector<Record> records;
};

// What the file data of the last upload looked like.
struct UploadReport {
    uint64_t expected = 0;
    uint64_t bytes = 0;
    int frames = 0;
    bool complete = false;        // the last frame came without FLAG_MORE
    bool patternOk = true;        // every byte matched the test pattern (see the transport commands)
    uint32_t checksum = 0;        // Adler-32 as the client computes it (0 for no data)
    std::vector<size_t> frameSizes;
};

class CServerState {
public:
    explicit CServerState(const std::string& stateDir);

    const std::string& StateDir() const { return m_stateDir; }
    CServerLog& Log() { return m_log; }
    CFaultTable& Faults() { return m_faults; }

    // The whole server's storage lock; command families take it around shared data.
    std::mutex& Lock() { return m_storageLock; }
    // State of later command families (users, items, sessions...), reset by Reset().
    template <class T>
    T& Slot() { return m_slots.Slot<T>(); }

    bool SetPolicy(const std::string& text, std::string& error);
    // The policy that Reset() returns to (the command line's).
    bool SetStartPolicy(const std::string& text, std::string& error);
    std::string PolicyText() const;
    CipherChoice NextCipher();
    void NoteCipher(const CipherChoice& desc, const std::string& phrase);
    // "" before the first A0; else "<name> <phrase>".
    std::string LastCipher() const;

    void NoteConnectionOpened();
    void NoteConnectionClosed();
    void NoteControlOpened();
    void NoteControlClosed();
    void NoteRequest(RequestNote note);
    // The newest request with this command (any command when empty).
    bool LastRequest(const std::string& command, RequestNote& out) const;
    void SetUpload(const UploadReport& report);
    UploadReport Upload() const;
    std::string Counters() const;
    // How many requests of this command came since the start or the last reset.
    long RequestCount(const std::string& command) const;

    // Faults, policy, observations and the slots go back to their start.
    void Reset();

    // Lifetime: anything that happens keeps the server from counting as idle.
    void Touch();
    double IdleSeconds() const;
    int OpenConnections() const { return m_openConnections; }
    int OpenControls() const { return m_openControls; }
    bool ControlEverOpened() const { return m_controlsEver > 0; }
    void RequestStop();
    bool StopRequested() const { return m_stop; }
    // Sleeps up to ms; true when a stop was requested meanwhile (injected delays use it).
    bool WaitStop(long ms);

private:
    std::string m_stateDir;
    CServerLog m_log;
    CFaultTable m_faults;
    CSlots m_slots;
    std::mutex m_storageLock;

    mutable std::mutex m_lock;
    CCipherPolicy m_policy;
    CCipherPolicy m_startPolicy;
    std::string m_lastCipher;
    std::deque<RequestNote> m_requests;
    std::map<std::string, long> m_requestCounts;
    UploadReport m_upload;
    long m_connectionsEver = 0, m_exchanges = 0, m_a0 = 0;
    std::atomic<int> m_openConnections{0}, m_openControls{0}, m_controlsEver{0};

    std::atomic<bool> m_stop{false};
    std::mutex m_stopLock;
    std::condition_variable m_stopSignal;
    std::atomic<std::chrono::steady_clock::rep> m_lastActivity;
};

}
