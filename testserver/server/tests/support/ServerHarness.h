// An in-process server on ephemeral ports with a scratch state folder, for one test.
#pragma once
#include "TestClient.h"
#include "TestServer.h"
#include <gtest/gtest.h>
#include <memory>

class ServerHarness : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A client that connected; fails the test otherwise.
    std::unique_ptr<TestClient> Connected();
    // Connected and keyed with A0.
    std::unique_ptr<TestClient> Keyed(A0Reply* reply = nullptr);
    // Sends one control line and expects an "OK" reply.
    std::string Control(const std::string& line);

    std::string m_stateDir;
    std::unique_ptr<tovisrv::CTestServer> m_server;
    TestControl m_control;
};

// A fresh folder under the system's temporary folder.
std::string MakeScratchDir(const std::string& name);
