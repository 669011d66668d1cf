// Fault descriptions from the control channel, and how the table hands them to exchanges.
#include "FaultTable.h"
#include <gtest/gtest.h>
#include <sstream>

using namespace tovisrv;

namespace {
std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

Fault Parsed(const std::string& line, const std::string& text = std::string())
{
    Fault f;
    std::string error;
    EXPECT_TRUE(Fault::Parse(Words(line), text, f, error)) << line << ": " << error;
    return f;
}
}

TEST(Fault, AcceptsEveryKindWithItsKeys)
{
    for (const char* line : {"silent", "close", "close-mid-frame bytes=3", "prefix hex=c141", "flags value=83",
                             "length value=2", "length value=0x1FFFFD size=4", "truncate bytes=1",
                             "wrong-fixed id=9 delta=-1", "payload hex=", "delay ms=10", "error reply=E1 code=3001",
                             "fragment records=2", "mismatch command=Q1", "rekey key=0123456789abcdef0123456789abcdef",
                             "cut-stream bytes=0", "silent count=3 cmd=A0", "close count=*", "stop-stream",
                             "stop-stream frames=2 reply=E1", "duplicate", "duplicate late=1", "reply-as command=H0",
                             "trickle", "trickle ms=5 bytes=3", "endless-fragments", "endless-fragments bytes=10 limit=2",
                             "error cmd=I2 skip=2", "close skip=0"})
        Parsed(line);
}

TEST(Fault, RefusesWhatItCannotDo)
{
    const char* lines[] = {
        "", "explode", "silent bytes=3", "silent count=0", "silent count=x", "silent cmd=ABC", "close-mid-frame bytes=x",
        "prefix hex=8", "prefix hex=zz", "flags", "flags value=100", "length", "length value=0x200000",
        "length value=200 size=1", "error reply=E3", "rekey key=short", "silent junk", "reply-as",
        "reply-as command=H", "stop-stream reply=H4", "trickle ms=x", "duplicate late=y", "close skip=-1",
        "close skip=x",
    };
    for (const char* line : lines) {
        Fault f;
        std::string error;
        EXPECT_FALSE(Fault::Parse(Words(line), "", f, error)) << "'" << line << "'";
        EXPECT_FALSE(error.empty()) << line;
    }
}

TEST(Fault, FoldsTheFaultsOfOneExchangeIntoAPlan)
{
    const FaultPlan plan = FaultPlan::From({Parsed("delay ms=50"), Parsed("delay ms=25"), Parsed("fragment"),
                                            Parsed("error reply=E1 code=7", "msg"), Parsed("length value=2"),
                                            Parsed("flags value=A1")});
    EXPECT_EQ(plan.delayMs, 75);
    EXPECT_EQ(plan.fragmentRecords, 1u);
    ASSERT_TRUE(plan.error.has_value());
    EXPECT_EQ(plan.error->command, "E1");
    EXPECT_EQ(plan.error->code, "7");
    EXPECT_EQ(plan.error->message, "msg");
    EXPECT_EQ(plan.prefix, std::string("\x02"));
    EXPECT_EQ(plan.flags, 0xA1);
    EXPECT_TRUE(FaultPlan::From({}).IsEmpty());
}

TEST(FaultTable, HandsAFaultToTheNextExchangesUntilItsCountRunsOut)
{
    CFaultTable table;
    table.Add(Parsed("silent count=2"));
    EXPECT_EQ(table.Take("A0").size(), 1u);
    EXPECT_EQ(table.Take("Z1").size(), 1u);
    EXPECT_TRUE(table.Take("Z1").empty());
}

TEST(FaultTable, KeepsACommandFaultForThatCommand)
{
    CFaultTable table;
    table.Add(Parsed("close cmd=B0"));
    table.Add(Parsed("delay ms=5"));
    const std::vector<Fault> first = table.Take("A0");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].kind, "delay");
    const std::vector<Fault> second = table.Take("B0");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].kind, "close");
    EXPECT_TRUE(table.Take("B0").empty());
}

TEST(FaultTable, KeepsAStarFaultUntilCleared)
{
    CFaultTable table;
    table.Add(Parsed("silent count=*"));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(table.Take("Z1").size(), 1u);
    table.Clear();
    EXPECT_TRUE(table.Take("Z1").empty());
}

TEST(FaultTable, LetsTheSkippedExchangesOfItsCommandPassFirst)
{
    CFaultTable table;
    table.Add(Parsed("error cmd=I2 skip=2"));
    EXPECT_TRUE(table.Take("A0").empty()) << "another command skips nothing";
    EXPECT_TRUE(table.Take("I2").empty());
    EXPECT_TRUE(table.TakeNamed("I2").empty());
    EXPECT_EQ(table.Take("I2").size(), 1u);
    EXPECT_TRUE(table.Take("I2").empty());
}
