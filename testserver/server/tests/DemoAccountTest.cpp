// The demo account that the run command relies on: the --demo option and the DEMO verb.
#include "SessionHarness.h"
#include <cstdio>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

class Demo : public SessionHarness {};

std::vector<std::string> ItemNames(const Reply& reply)
{
    std::vector<std::string> names;
    for (const auto& item : reply.With(25))
        names.push_back(item.at(181));
    return names;
}

}

TEST_F(Demo, DemoVerbMakesTheAccountWithFoldersAndFiles)
{
    Control("DEMO host=demo.local");
    std::string sid;
    auto client = LoggedIn(sid, "demo", "demo1234");
    EXPECT_EQ(Ask(*client, "A2", {}).Value(0, 168), "demo.local");
    const std::string myFiles = IdxOf("My Files", "demo");
    const Reply listing = Ask(*client, "D0", {{{171, sid}, {173, myFiles}, {177, "1"}}});
    EXPECT_EQ(ItemNames(listing),
              (std::vector<std::string>{"Documents", "Pictures", "Projects", "Welcome.txt"}));
    const std::string bitmap = Control("ITEM user=demo -- My Files/Pictures/Ramp.bmp");
    EXPECT_EQ(Word(bitmap, "incomplete"), "N");
    EXPECT_GT(std::stoul(Word(bitmap, "size")), 54u);
    // Made once: a second DEMO keeps what is there.
    Control("DEMO");
    EXPECT_EQ(Word(Control("ITEM user=demo -- My Files/Welcome.txt"), "idx"), IdxOf("My Files/Welcome.txt", "demo"));
}

TEST(DemoOption, ServerStartedWithDemoAnswersTheDemoLogin)
{
    const std::string state = MakeScratchDir("toviserver-demo");
    ASSERT_FALSE(state.empty());
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args{TOVISERVER_BIN, "--state", state, "--demo", "--host", "10.0.0.5",
                                  "--exit-with-control"};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    ::close(out[0]);
    int port = 0, controlPort = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%d %d", &port, &controlPort), 2) << line;

    TestControl control;
    ASSERT_TRUE(control.Connect(controlPort));
    TestClient client;
    ASSERT_TRUE(client.Connect(port));
    A0Reply a0;
    ASSERT_TRUE(client.KeyExchange(a0));
    std::string command;
    std::vector<testwire::Fields> records;
    ASSERT_TRUE(client.Exchange("A2", "", command, records));
    EXPECT_EQ(records.at(0)[168], "10.0.0.5");
    ASSERT_TRUE(client.Exchange("B0", testwire::Record({{1, "en"}, {23, "N"}, {53, "2"}, {76, "N"}, {169, "demo"},
                                                        {170, "demo1234"}, {177, "1"}}),
                                command, records));
    EXPECT_EQ(command, "B0");
    EXPECT_EQ(records.at(0)[183], "Demo User");
    EXPECT_EQ(control.Send("QUIT"), "OK");
    control.Close();
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    std::error_code ec;
    std::filesystem::remove_all(state, ec);
}
