// The control channel's verbs as a test program uses them.
#include "ServerHarness.h"

namespace {
class ControlChannel : public ServerHarness {};
}

TEST_F(ControlChannel, AnswersEveryLineWithOneLine)
{
    EXPECT_EQ(m_control.Send("PING"), "OK");
    EXPECT_EQ(m_control.Send("ping"), "OK");
    EXPECT_EQ(m_control.Send("NONSENSE").substr(0, 3), "ERR");
    EXPECT_EQ(m_control.Send("FAULT explode").substr(0, 3), "ERR");
    EXPECT_EQ(m_control.Send("POLICY fixed nothing").substr(0, 3), "ERR");
    EXPECT_NE(m_control.Send("HELP").find("FAULT KIND"), std::string::npos);
    EXPECT_NE(m_control.Send("HELP FAULT").find("cut-stream"), std::string::npos);
}

TEST_F(ControlChannel, ListsTheWaitingFaults)
{
    Control("FAULT delay ms=10 count=2 cmd=Z1");
    Control("FAULT error reply=E1 -- skip it");
    EXPECT_EQ(Control("FAULTS"), "OK n=2; delay ms=10 cmd=Z1 count=2; error reply=E1 count=1 -- skip it");
}

TEST_F(ControlChannel, ShowsTheNewestRequestWithItsFields)
{
    auto client = Keyed();
    client->SendRequest("Z1", testwire::Join({testwire::Record({{21, "Y"}, {171, "ab"}}), testwire::Record({{44, "N"}})}));
    std::string command, payload;
    ASSERT_TRUE(client->ReadMessage(command, payload));
    EXPECT_EQ(Control("LAST"), "OK conn=1 cmd=Z1 flags=81 frames=1 records=2 rec=21:59,171:6162/44:4E");
    EXPECT_NE(Control("LAST cmd=A0").find("cmd=A0 flags=01"), std::string::npos);
    EXPECT_EQ(m_control.Send("LAST cmd=B0").substr(0, 3), "ERR");
}

TEST_F(ControlChannel, CountsConnectionsAndExchanges)
{
    {
        auto first = Keyed();
        auto second = Keyed();
    }
    EXPECT_NE(Control("COUNT").find("connections=2"), std::string::npos);
    EXPECT_NE(Control("COUNT").find("exchanges=2 a0=2"), std::string::npos);
    EXPECT_EQ(Control("COUNT cmd=A0"), "OK requests=2");
    EXPECT_EQ(Control("COUNT cmd=D2"), "OK requests=0");
    Control("RESET");
    EXPECT_EQ(Control("COUNT cmd=A0"), "OK requests=0");
}

TEST_F(ControlChannel, ResetReturnsToTheStartingPolicyAndForgetsWhatWasSeen)
{
    const std::string start = Control("POLICY");
    Control("POLICY fixed seed-128-cfb");
    auto client = Keyed();
    Control("FAULT silent count=*");
    Control("RESET");
    EXPECT_EQ(Control("POLICY"), start);
    EXPECT_EQ(Control("FAULTS"), "OK n=0");
    EXPECT_EQ(Control("CIPHER"), "OK none");
    EXPECT_EQ(m_control.Send("LAST").substr(0, 3), "ERR");
}

TEST_F(ControlChannel, NamesTheCommandsTheServerAnswers)
{
    const std::string commands = Control("COMMANDS");
    for (const char* command : {" A0", " Z1", " Z2", " Z3", " Z4", " Z5"})
        EXPECT_NE(commands.find(command), std::string::npos) << command;
}

TEST_F(ControlChannel, QuitStopsTheServer)
{
    EXPECT_EQ(m_control.Send("QUIT"), "OK");
    EXPECT_TRUE(m_server->State().WaitStop(5000));
}
