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

TEST_F(Demo, DemoAccountHoldsWhatEveryWindowNeeds)
{
    Control("DEMO");
    std::string sid;
    auto client = LoggedIn(sid, "demo", "demo1234");
    auto names = [](const Reply& reply, uint8_t id) {
        std::vector<std::string> out;
        for (const auto& record : reply.records)
            if (record.count(id))
                out.push_back(record.at(id));
        return out;
    };
    // The pickers' organisation: groups at the root, sub-groups and colleagues below.
    EXPECT_EQ(names(Ask(*client, "C0", {{{171, sid}, {176, "0"}, {177, "1"}}}), 184),
              (std::vector<std::string>{"Sales", "Research", "Support"}));
    const Reply sales = Ask(*client, "C0", {{{171, sid}, {176, "g1"}, {177, "1"}}});
    EXPECT_EQ(names(sales, 184).size(), 3u) << "two sub-groups and Kim, who is in Sales";
    EXPECT_EQ(names(sales, 183), (std::vector<std::string>{"Kim Minji"}));
    EXPECT_FALSE(names(Ask(*client, "C1", {{{171, sid}, {24, "A"}, {181, "Park"}, {72, "N"}}}), 183).empty());

    // Versions, a link, a shared folder, a group share, a guest folder, shortcuts.
    EXPECT_EQ(Ask(*client, "D3", {{{171, sid}, {173, IdxOf("My Files/Documents/Notes.txt", "demo")}}}).records.size(), 2u);
    EXPECT_EQ(Word(Control("ITEM user=demo -- My Files/Documents/Plan.csv"), "info").substr(0, 1), "1");
    const Reply share = Ask(*client, "G0", {{{171, sid}, {173, IdxOf("My Files/Projects", "demo")}}});
    EXPECT_EQ(share.Value(0, 29), "Y");
    EXPECT_EQ(share.Value(0, 203), "2");
    EXPECT_EQ(Ask(*client, "G2", {{{171, sid}, {173, IdxOf("Group/Research Team", "demo")}}}).Value(0, 203), "1");
    EXPECT_EQ(Ask(*client, "G4", {{{171, sid}, {173, IdxOf("Guest/Partner Exchange", "demo")}}}).Value(0, 193),
              "partner@example.com");
    EXPECT_EQ(names(Ask(*client, "D7", {{{171, sid}}}), 173).size(), 2u);

    // The bin holds a file and a folder; the alert counters are not all zero.
    EXPECT_NE(Control("LIST user=demo -- Recycle Bin").find("Old draft.txt"), std::string::npos);
    EXPECT_NE(Control("LIST user=demo -- Recycle Bin").find("Archive 2025"), std::string::npos);
    const Reply alerts = Ask(*client, "B4", {{{171, sid}}});
    EXPECT_EQ(alerts.Value(0, 223), "4");
    EXPECT_EQ(alerts.Value(0, 226), "2");
    EXPECT_EQ(alerts.Value(0, 131), "2");
    // Sharing and shortcuts are a folder's: the listing offers them on folders, never on files.
    const Reply listing = Ask(*client, "D0", {{{171, sid}, {173, IdxOf("My Files", "demo")}, {177, "1"}}});
    for (const auto& item : listing.With(25)) {
        const char folder = item.at(181) == "Welcome.txt" ? '0' : '1';
        EXPECT_EQ(item.at(189).at(13), folder) << item.at(181) << " share";
        EXPECT_EQ(item.at(189).at(27), folder) << item.at(181) << " shortcut";
    }
}

TEST(DemoOption, ServerStartedWithDemoAnswersTheDemoLoginAlsoOnTheStateOfAnEarlierRun)
{
    const std::string state = MakeScratchDir("toviserver-demo");
    ASSERT_FALSE(state.empty());
    // The second start finds the first one's files in the state folder.
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
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
    }
    std::error_code ec;
    std::filesystem::remove_all(state, ec);
}
