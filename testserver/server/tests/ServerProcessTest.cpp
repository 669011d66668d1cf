// The server as a program: its port file, each way a run ends, and the starter script.
#include "ServerHarness.h"
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct Child {
    pid_t pid = -1;
    int stdinFd = -1;    // write end, when asked for
    int stdoutFd = -1;   // read end
};

Child Spawn(const std::vector<std::string>& args, bool pipeStdin = false,
            const std::vector<std::pair<std::string, std::string>>& env = {})
{
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if (pipeStdin && ::pipe(in) != 0)
        return {};
    if (::pipe(out) != 0)
        return {};
    Child child;
    child.pid = ::fork();
    if (child.pid == 0) {
        if (pipeStdin) {
            ::dup2(in[0], STDIN_FILENO);
            ::close(in[1]);
        }
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        for (const auto& [name, value] : env)
            ::setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pipeStdin) {
        ::close(in[0]);
        child.stdinFd = in[1];
    }
    ::close(out[1]);
    child.stdoutFd = out[0];
    return child;
}

// The exit status, or -1 when the process is still running after the time.
int WaitExit(pid_t pid, int timeoutMs = 10000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0 || std::chrono::steady_clock::now() >= end)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string ReadLine(int fd)
{
    std::string line;
    char c;
    while (::read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

bool ReadPorts(const std::string& path, int& port, int& control)
{
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(path);
        if (in >> port >> control)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

class ServerProcess : public ::testing::Test {
protected:
    void SetUp() override { m_dir = MakeScratchDir("toviserver-process"); }
    void TearDown() override
    {
        // Children the test did not wait for are still ours to end and reap.
        for (pid_t pid : m_started) {
            if (::waitpid(pid, nullptr, WNOHANG) == 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
        std::filesystem::remove_all(m_dir);
    }

    Child Server(std::vector<std::string> extra, bool pipeStdin = false)
    {
        std::vector<std::string> args{TOVISERVER_BIN, "--state", m_dir + "/state", "--port-file", m_dir + "/ports"};
        args.insert(args.end(), extra.begin(), extra.end());
        Child child = Spawn(args, pipeStdin);
        m_started.push_back(child.pid);
        return child;
    }

    std::string m_dir;
    std::vector<pid_t> m_started;
};

}

TEST_F(ServerProcess, WritesItsPortsAndEndsOnQuit)
{
    Child child = Server({});
    const std::string printed = ReadLine(child.stdoutFd);
    int port = 0, control = 0;
    ASSERT_TRUE(ReadPorts(m_dir + "/ports", port, control));
    EXPECT_EQ(printed, std::to_string(port) + " " + std::to_string(control));
    TestClient client;
    ASSERT_TRUE(client.Connect(port));
    A0Reply reply;
    EXPECT_TRUE(client.KeyExchange(reply));
    TestControl channel;
    ASSERT_TRUE(channel.Connect(control));
    EXPECT_EQ(channel.Send("QUIT"), "OK");
    EXPECT_EQ(WaitExit(child.pid), 0);
    EXPECT_TRUE(std::filesystem::exists(m_dir + "/state/server.log"));
}

TEST_F(ServerProcess, EndsWhenItsParentProcessIsGone)
{
    Child parent = Spawn({"/bin/sleep", "60"});
    m_started.push_back(parent.pid);
    Child child = Server({"--parent-pid", std::to_string(parent.pid)});
    int port = 0, control = 0;
    ASSERT_TRUE(ReadPorts(m_dir + "/ports", port, control));
    EXPECT_EQ(WaitExit(child.pid, 300), -1);
    ::kill(parent.pid, SIGKILL);
    WaitExit(parent.pid);
    EXPECT_EQ(WaitExit(child.pid), 0);
}

TEST_F(ServerProcess, EndsWhenStandardInputCloses)
{
    Child child = Server({"--exit-on-stdin-eof"}, true);
    int port = 0, control = 0;
    ASSERT_TRUE(ReadPorts(m_dir + "/ports", port, control));
    ::close(child.stdinFd);
    EXPECT_EQ(WaitExit(child.pid), 0);
}

TEST_F(ServerProcess, EndsWhenTheLastControlConnectionCloses)
{
    Child child = Server({"--exit-with-control"});
    int port = 0, control = 0;
    ASSERT_TRUE(ReadPorts(m_dir + "/ports", port, control));
    {
        TestControl first, second;
        ASSERT_TRUE(first.Connect(control));
        ASSERT_TRUE(second.Connect(control));
        EXPECT_EQ(first.Send("PING"), "OK");
        EXPECT_EQ(second.Send("PING"), "OK");
        first.Close();
        EXPECT_EQ(second.Send("PING"), "OK");
    }
    EXPECT_EQ(WaitExit(child.pid), 0);
}

TEST_F(ServerProcess, EndsWhenIdle)
{
    Child child = Server({"--idle-exit", "0.3"});
    EXPECT_EQ(WaitExit(child.pid), 0);
}

TEST_F(ServerProcess, EndsOnSigterm)
{
    Child child = Server({});
    int port = 0, control = 0;
    ASSERT_TRUE(ReadPorts(m_dir + "/ports", port, control));
    ::kill(child.pid, SIGTERM);
    EXPECT_EQ(WaitExit(child.pid), 0);
}

TEST_F(ServerProcess, RemovesItsStateFolderWhenAsked)
{
    Child child = Server({"--remove-state", "--port-file", m_dir + "/ports2"});
    int port = 0, control = 0;
    ASSERT_TRUE(ReadPorts(m_dir + "/ports2", port, control));
    EXPECT_TRUE(std::filesystem::exists(m_dir + "/state"));
    TestControl channel;
    ASSERT_TRUE(channel.Connect(control));
    channel.Send("QUIT");
    EXPECT_EQ(WaitExit(child.pid), 0);
    EXPECT_FALSE(std::filesystem::exists(m_dir + "/state"));
}

TEST_F(ServerProcess, RefusesToStartWithoutAStateFolder)
{
    Child child = Spawn({TOVISERVER_BIN});
    m_started.push_back(child.pid);
    EXPECT_EQ(WaitExit(child.pid), 2);
}

TEST_F(ServerProcess, StarterScriptPrintsThePortsAndStopsTheServer)
{
    // T:\ paths are taken as paths under the build root, as the Wine tests name them.
    Child script = Spawn({START_SERVER_SCRIPT, "--state", "T:\\run\\state", "--port-file", "T:\\run\\ports"},
                         false, {{"TOVI_BUILD_ROOT", m_dir}});
    const std::string printed = ReadLine(script.stdoutFd);
    EXPECT_EQ(WaitExit(script.pid), 0);
    int port = 0, control = 0;
    ASSERT_TRUE(ReadPorts(m_dir + "/run/ports", port, control));
    EXPECT_EQ(printed, std::to_string(port) + " " + std::to_string(control));
    TestClient client;
    ASSERT_TRUE(client.Connect(port));
    A0Reply reply;
    EXPECT_TRUE(client.KeyExchange(reply));
    client.Close();

    Child stop = Spawn({START_SERVER_SCRIPT, "--stop", m_dir + "/run/ports"});
    EXPECT_EQ(WaitExit(stop.pid), 0);
    // The server is not our child; its port stops answering.
    bool ended = false;
    for (int i = 0; i < 250 && !ended; ++i) {
        TestClient probe;
        ended = !probe.Connect(port);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(ended);
}

TEST_F(ServerProcess, StarterScriptMakesATemporaryStateFolderAndRemovesIt)
{
    Child script = Spawn({START_SERVER_SCRIPT}, false, {{"TMPDIR", m_dir}});
    const std::string printed = ReadLine(script.stdoutFd);
    EXPECT_EQ(WaitExit(script.pid), 0);
    std::vector<std::filesystem::path> made;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir))
        made.push_back(entry.path());
    ASSERT_EQ(made.size(), 1u);
    const std::string ports = (made[0] / "ports").string();
    int port = 0, control = 0;
    ASSERT_TRUE(ReadPorts(ports, port, control));
    EXPECT_EQ(printed, std::to_string(port) + " " + std::to_string(control));
    Child stop = Spawn({START_SERVER_SCRIPT, "--stop", ports});
    EXPECT_EQ(WaitExit(stop.pid), 0);
    bool removed = false;
    for (int i = 0; i < 250 && !removed; ++i) {
        removed = !std::filesystem::exists(made[0]);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(removed);
}
