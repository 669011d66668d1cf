// An in-process server on ephemeral ports with a scratch state folder, for one test.
#include "ServerHarness.h"
#include <cstdlib>
#include <filesystem>

std::string MakeScratchDir(const std::string& name)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + name + ".XXXXXX";
    if (!::mkdtemp(&pattern[0]))
        return std::string();
    return pattern;
}

void ServerHarness::SetUp()
{
    m_stateDir = MakeScratchDir("toviserver-test");
    ASSERT_FALSE(m_stateDir.empty());
    tovisrv::ServerOptions options;
    options.stateDir = m_stateDir;
    m_server = std::make_unique<tovisrv::CTestServer>(options);
    std::string error;
    ASSERT_TRUE(m_server->Start(error)) << error;
    ASSERT_TRUE(m_control.Connect(m_server->ControlPort()));
}

void ServerHarness::TearDown()
{
    m_control.Close();
    if (m_server)
        m_server->Stop();
    m_server.reset();
    std::error_code ec;
    if (!m_stateDir.empty())
        std::filesystem::remove_all(m_stateDir, ec);
}

std::unique_ptr<TestClient> ServerHarness::Connected()
{
    auto client = std::make_unique<TestClient>();
    EXPECT_TRUE(client->Connect(m_server->Port()));
    return client;
}

std::unique_ptr<TestClient> ServerHarness::Keyed(A0Reply* reply)
{
    auto client = Connected();
    A0Reply local;
    EXPECT_TRUE(client->KeyExchange(reply ? *reply : local));
    EXPECT_TRUE(client->IsKeyed());
    return client;
}

std::string ServerHarness::Control(const std::string& line)
{
    const std::string reply = m_control.Send(line);
    EXPECT_EQ(reply.substr(0, 2), "OK") << line << " -> " << reply;
    return reply;
}
