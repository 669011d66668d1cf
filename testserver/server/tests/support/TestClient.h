// A raw protocol client for the tests: frames by hand, the session cipher straight from
// OpenSSL, and reads that never block longer than a time limit.
#pragma once
#include "TestWire.h"
#include <string>
#include <vector>

struct RawFrame {
    std::string prefix;
    uint8_t flags = 0;
    std::string command;
    std::string payload;   // as received (enciphered when flags has 0x80)
};

struct A0Reply {
    int algo = 0, mode = 0, bits = 0;
    std::string phrase;
    uint8_t flags = 0;
};

class TestClient {
public:
    TestClient() = default;
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    bool Connect(int port);
    void Close();

    void SendRaw(const std::string& bytes);
    // A frame with the shortest prefix; the payload goes as given.
    void SendFrame(uint8_t flags, const std::string& command, const std::string& payload);
    // A request: enciphered (flags 0x81) once A0 keyed the client, else clear (0x01).
    void SendRequest(const std::string& command, const std::string& plainPayload, bool more = false);

    // False on time-out or end of stream before n bytes.
    bool ReadExact(size_t n, std::string& out, int timeoutMs = 5000);
    bool ReadFrame(RawFrame& frame, int timeoutMs = 5000);
    // Everything until the peer closes (or the time runs out: then `closed` is false).
    std::string ReadUntilClosed(bool& closed, int timeoutMs = 5000);
    // True when nothing at all arrives within the time.
    bool NothingArrives(int timeoutMs);

    // A0 with the given set-up code; keys the client from the reply when it names a session cipher.
    bool KeyExchange(A0Reply& reply, const std::string& code = std::string());
    // Deciphers a received payload when its flags say so.
    std::string Plain(const RawFrame& frame) const;
    // One whole reply message: fragments joined, payload deciphered; `frames` counts them.
    bool ReadMessage(std::string& command, std::string& plainPayload, int* frames = nullptr,
                     int timeoutMs = 5000);
    // Request and its decoded reply records.
    bool Exchange(const std::string& command, const std::string& plainPayload, std::string& replyCommand,
                  std::vector<testwire::Fields>& records);

    bool IsKeyed() const { return !m_cipherName.empty(); }
    void Rekey(const std::string& phrase);
    const std::string& CipherName() const { return m_cipherName; }
    const std::string& Key() const { return m_key; }

private:
    int m_fd = -1;
    int m_algo = 0, m_bits = 0;
    std::string m_cipherName;
    std::string m_key;
};

// The control channel: one line out, one line back.
class TestControl {
public:
    ~TestControl();
    bool Connect(int port);
    std::string Send(const std::string& line);
    void Close();

private:
    int m_fd = -1;
    std::string m_buffer;
};
