// A server with one account, and a raw client that logs in and speaks the storage commands.
#pragma once
#include "ServerHarness.h"

using Fields = std::vector<std::pair<uint8_t, std::string>>;

struct Reply {
    std::string command;
    std::vector<testwire::Fields> records;
    bool ok = false;   // a whole reply arrived

    bool IsError() const { return command.size() == 2 && command[0] == 'E'; }
    std::string Code() const { return records.empty() ? "" : Value(0, 240); }
    std::string Value(size_t record, uint8_t id) const;
    // The records that carry `id` (listing items carry 25).
    std::vector<testwire::Fields> With(uint8_t id) const;
    // The value of `id` in the last record (the trailer of a page).
    std::string Last(uint8_t id) const;
};

// Set up: cipher policy ARIA-128-OFB, user "alice" / "secret".
class SessionHarness : public ServerHarness {
protected:
    void SetUp() override;

    // Keyed and logged in; `sid` gets the session id.
    std::unique_ptr<TestClient> LoggedIn(std::string& sid, const std::string& user = "alice",
                                         const std::string& password = "secret");
    Reply Ask(TestClient& client, const std::string& command, const std::vector<Fields>& records);
    // The value of key=... in a control reply.
    static std::string Word(const std::string& reply, const std::string& key);
    std::string IdxOf(const std::string& path, const std::string& user = "alice");

    // H3 frames of `frame` bytes (the last shorter; FLAG_MORE on all but the last unless
    // `endWithMore`).
    static void SendData(TestClient& client, const std::string& data, size_t frame, bool endWithMore = false);
    // An H4 header and its data frames; the key changes after the header when `rekey` is given.
    // `header` receives the header's records.
    static bool ReadStream(TestClient& client, std::string& data, const std::string& rekey = std::string(),
                           std::vector<size_t>* frameSizes = nullptr, std::vector<testwire::Fields>* header = nullptr);

    std::string m_sid;
};
