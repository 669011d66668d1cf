// The protocol tests' view of the native test server: its ports and its control channel, and
// a protocol object whose request path the tests can drive with the server's test commands.
#pragma once
#include "ToviProto.h"
#include "ToviConn.h"
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <string>

namespace protoserver {

struct Ports {
    int port = 0;
    int control = 0;
};

// The ports the fixture's server wrote under the build root.
bool ReadPorts(Ports& ports);

// One line out, one line back ("OK ..." or "ERR ...").
class Control {
public:
    ~Control();
    bool Connect(int port);
    std::string Send(const std::string& line);
    // The value of key=value in the reply line.
    static std::string Value(const std::string& reply, const std::string& key);

private:
    uintptr_t m_socket = ~uintptr_t(0);
    std::string m_buffer;
};

// A protocol object with the request path open to the tests.
class TestProto : public CToviProto {
public:
    using CToviProto::ClearResult;
    using CToviProto::NewMessage;
    using CToviProto::Request;

    void Aim(int port, const char* timeoutSeconds = "2");
    // Z1 echo of the records: the request's result.
    int Echo(const std::vector<ProtRecord>& records);
    std::wstring Message() const { return ResultInfo.wszMessage; }
};

// Test base: a running server, a control connection, faults cleared.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Control(const std::string& line) { return m_control.Send(line); }

    Ports m_ports;
    protoserver::Control m_control;
};

// Runs work on a thread of its own and waits at most seconds for it: a test of something
// that must end fails instead of hanging. When work is late, unstick runs (it must make work
// return, say by shutting the socket it waits on) and the result is false.
bool RunBounded(DWORD seconds, const std::function<void()>& work, const std::function<void()>& unstick);
// An unstick for RunBounded: shuts the protocol object's socket, if it has one.
void ShutConnection(CToviProto& proto);

std::string Bytes(size_t count, char fill);
std::string Pattern(uint64_t offset, size_t count);

}
