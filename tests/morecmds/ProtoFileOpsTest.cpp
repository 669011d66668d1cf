// Copy, move, delete, rename, the recycle bin and restore against the test server: the fields
// each request sends, what the replies leave in the object, every continuation path, and that
// the next listing shows what an operation did.
#include <winsock2.h>
#include "CommandServer.h"
#include <cstring>
#include <string>

using namespace morecmds;
using protoserver::Control;

namespace {

char* C(const std::string& text)
{
    return const_cast<char*>(text.c_str());
}

class FileOpsTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        m_a = Folder("My Files/a");
        m_b = Folder("My Files/b");
        m_x = File("My Files/a/x.txt", "first");
    }

    // The names the server lists in a folder, "|"-joined, folders first.
    std::string Names(const std::string& path)
    {
        std::string names;
        const std::string listing = Listing(path);
        size_t start = 0;
        while (start < listing.size()) {
            size_t end = listing.find(';', start);
            if (end == std::string::npos)
                end = listing.size();
            const std::string entry = listing.substr(start, end - start);
            names += (names.empty() ? "" : "|") + entry.substr(0, entry.rfind(':'));
            start = end + 1;
        }
        return names;
    }

    int Exchanges() { return std::atoi(Control::Value(Control("COUNT"), "exchanges").c_str()); }

    std::string m_a, m_b, m_x;
};

struct PasteScript {
    std::string modeAnswer;           // written into the mode at every step ("" leaves it)
    bool answer = true;
    std::vector<std::string> names;   // FileOpName at each step
    std::vector<std::string> flags;   // FileOpFlag at each step
    std::vector<int> codes;           // PasteResult code at each step
};

bool PasteStep(CToviProto* proto, void* context, char* mode)
{
    PasteScript& script = *static_cast<PasteScript*>(context);
    script.names.push_back(Narrow(proto->FileOpInfo.FileOpName));
    script.flags.push_back(proto->FileOpInfo.FileOpFlag);
    script.codes.push_back(proto->PasteResult.nResultCode);
    if (!script.modeAnswer.empty())
        mode[0] = script.modeAnswer[0];
    return script.answer;
}

struct StepCount {
    int steps = 0;
    int stopAt = -1;
};

bool CountStep(CToviProto*, void* context)
{
    StepCount& count = *static_cast<StepCount*>(context);
    return ++count.steps != count.stopAt;
}

}

TEST_F(FileOpsTest, AMoveSendsItsFieldsAndTheNextListingShowsTheItemAtItsTarget)
{
    ASSERT_EQ(0, m_proto.GetPaste(C(m_a), C(m_b), C(m_x), C("1"), C("F"), C("M"), C("0"), C("N")))
        << Narrow(m_proto.ResultInfo.wszMessage);
    Records sent = Last("F1");
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(m_proto.LoginInfo.SessionId, sent[0][171]);
    EXPECT_EQ("25=F 29=N 34=0 35=M 173=" + m_x + " 174=" + m_a + " 177=1 180=" + m_b + " ", Describe(sent[0]));
    EXPECT_EQ("x.txt", Narrow(m_proto.FileOpInfo.FileOpName));
    EXPECT_STREQ("N", m_proto.FileOpInfo.FileOpFlag);
    EXPECT_STREQ("F", m_proto.FileOpInfo.FileOpType);

    // The continuation carries the answer and the mode, and no session id.
    ASSERT_EQ(0, m_proto.GetPasteContinue(C("Y"), C("0")));
    sent = Last("F1");
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(0u, sent[0].count(171));
    EXPECT_EQ("34=0 44=Y ", Describe(sent[0]));
    EXPECT_EQ(L"", std::wstring(m_proto.FileOpInfo.FileOpName));

    EXPECT_EQ("x.txt", Names("My Files/b"));
    EXPECT_EQ("", Names("My Files/a"));
}

TEST_F(FileOpsTest, APasteOntoAnItemOfTheSameNameFollowsTheAnsweredMode)
{
    struct Row { const char* mode; const char* names; const char* content; };
    const Row rows[] = {
        {"0", "x (2).txt|x.txt", "second"},  // keep both
        {"1", "x.txt", "first"},             // overwrite with the pasted one
        {"2", "x.txt", "second"},            // skip
    };
    for (const Row& row : rows) {
        Ok("RESET");
        m_tops = AddUser("alice", "1001");
        LogIn("alice");
        m_a = Folder("My Files/a");
        m_b = Folder("My Files/b");
        m_x = File("My Files/a/x.txt", "first");
        const std::string there = File("My Files/b/x.txt", "second");
        PasteScript script;
        script.modeAnswer = row.mode;
        ASSERT_EQ(0, m_proto.RunPaste(C(m_a), C(m_b), C(m_x), C("1"), C("F"), C("C"), C("0"), C("N"), PasteStep,
                                      &script)) << row.mode;
        ASSERT_EQ(1u, script.flags.size()) << row.mode;
        EXPECT_EQ("Y", script.flags[0]) << row.mode;
        EXPECT_EQ("x.txt", script.names[0]) << row.mode;
        EXPECT_EQ(std::string("34=") + row.mode + " 44=Y ", Describe(Last("F1")[0])) << row.mode;
        EXPECT_EQ(row.names, Names("My Files/b")) << row.mode;
        // The copy leaves the source alone.
        EXPECT_EQ("x.txt", Names("My Files/a")) << row.mode;
        const std::string kept = Listing("My Files/b");
        const std::string keptIdx = kept.substr(kept.rfind("x.txt:") + 6);
        EXPECT_EQ(std::to_string(std::strlen(row.content)), Item(keptIdx.substr(0, keptIdx.find(';')), "size"))
            << row.mode << " " << kept;
        (void)there;
    }
}

TEST_F(FileOpsTest, MovingASharedFolderAsksFirstAndTheAnswerDecides)
{
    struct Row { bool answer; const char* underB; const char* share; };
    const Row rows[] = {{true, "a", "N"}, {false, "", "Y"}};
    for (const Row& row : rows) {
        Ok("RESET");
        m_tops = AddUser("alice", "1001");
        LogIn("alice");
        m_a = Folder("My Files/a");
        m_b = Folder("My Files/b");
        ASSERT_EQ(0, m_proto.SetDShareInfo(C(m_a), L"a", C("Y"), CString(), nullptr, nullptr, false));
        PasteScript script;
        script.answer = row.answer;
        EXPECT_EQ(0, m_proto.RunPaste(C(m_tops[kMyFiles]), C(m_b), C(m_a), C("1"), C("D"), C("M"), C("0"), C("N"),
                                      PasteStep, &script)) << row.answer;
        ASSERT_FALSE(script.codes.empty()) << row.answer;
        EXPECT_EQ(1329, script.codes[0]) << row.answer;
        // After the question the answer goes alone.
        Records sent = Last("F1");
        if (!row.answer) {
            EXPECT_EQ("44=N ", Describe(sent[0]));
        }
        EXPECT_EQ(row.underB, Names("My Files/b")) << row.answer;
        // Nothing of the question is left to be asked again.
        EXPECT_EQ(0, m_proto.PasteResult.nResultCode) << row.answer;
        EXPECT_EQ(L"", std::wstring(m_proto.FileOpInfo.FileOpName)) << row.answer;
        ASSERT_EQ(0, m_proto.GetDShareInfo(C(m_a)));
        EXPECT_STREQ(row.share, m_proto.SharedInfo.cShare) << row.answer;
    }
}

TEST_F(FileOpsTest, WithoutAStepCallbackASharedFolderIsNeverReleased)
{
    ASSERT_EQ(0, m_proto.SetDShareInfo(C(m_a), L"a", C("Y"), CString(), nullptr, nullptr, false));
    EXPECT_EQ(0, m_proto.RunPaste(C(m_tops[kMyFiles]), C(m_b), C(m_a), C("1"), C("D"), C("M"), C("0"), C("N")));
    EXPECT_EQ("44=N ", Describe(Last("F1")[0]));
    EXPECT_EQ("", Names("My Files/b"));
    ASSERT_EQ(0, m_proto.GetDShareInfo(C(m_a)));
    EXPECT_STREQ("Y", m_proto.SharedInfo.cShare);
}

TEST_F(FileOpsTest, APerItemResultLeavesItsCodeAndMessage)
{
    ReplyWith("F1", {{{240, "17"}, {255, "\xED\x95\x9C abc"}, {181, "y.txt"}, {43, "Y"}, {25, "F"}}});
    EXPECT_EQ(0, m_proto.GetPaste(C(m_a), C(m_b), C(m_x), C("1"), C("F"), C("C"), C("0"), C("N")));
    EXPECT_EQ(17, m_proto.PasteResult.nResultCode);
    EXPECT_EQ(L"한 abc", std::wstring(m_proto.PasteResult.wszMessage));
    EXPECT_EQ(L"y.txt", std::wstring(m_proto.FileOpInfo.FileOpName));
    EXPECT_STREQ("Y", m_proto.FileOpInfo.FileOpFlag);
}

TEST_F(FileOpsTest, DeleteSendsSixFieldsContinuesWithTheKeyAloneAndRestoreBringsTheItemBack)
{
    ASSERT_EQ(0, m_proto.GetDelete(C("F"), C(m_x), C("1"), C("0"), C("1"), C("never sent")));
    Records sent = Last("F2");
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(6u, sent[0].size());
    EXPECT_EQ("25=F 36=1 173=" + m_x + " 177=1 209=0 ", Describe(sent[0]));
    EXPECT_EQ(L"x.txt", std::wstring(m_proto.FileOpInfo.FileOpName));
    ASSERT_EQ(0, m_proto.GetDeleteContinue(C("Y")));
    sent = Last("F2");
    EXPECT_EQ("44=Y ", Describe(sent[0]));
    EXPECT_EQ(0u, sent[0].count(171));
    EXPECT_EQ(L"", std::wstring(m_proto.FileOpInfo.FileOpName));
    EXPECT_EQ("Y", Item(m_x, "trashed"));
    EXPECT_EQ("", Names("My Files/a"));
    EXPECT_EQ("x.txt", Names("Recycle Bin"));

    PasteScript script;
    ASSERT_EQ(0, m_proto.RunRecyclebinRestore(C("F"), C(m_x), C("1"), C("0"), PasteStep, &script));
    EXPECT_EQ("25=F 173=" + m_x + " 177=1 ", Describe(Last("F5")[0]));
    ASSERT_EQ(1u, script.names.size());
    EXPECT_EQ("x.txt", script.names[0]);
    // The restore goes on with the paste continuation.
    EXPECT_EQ("34=0 44=Y ", Describe(Last("F1")[0]));
    EXPECT_EQ("N", Item(m_x, "trashed"));
    EXPECT_EQ("x.txt", Names("My Files/a"));
    EXPECT_EQ("", Names("Recycle Bin"));
}

TEST_F(FileOpsTest, EmptyingTheBinAndDeletingForGoodLeaveNothingBehind)
{
    const std::string y = File("My Files/a/y.txt", "y");
    StepCount count;
    ASSERT_EQ(0, m_proto.RunDelete(C("F"), C(m_x), C("1"), C("0"), C("1"), CountStep, &count));
    EXPECT_EQ(1, count.steps);
    EXPECT_EQ("x.txt", Names("Recycle Bin"));
    ASSERT_EQ(0, m_proto.RunRecyclebinClear(C(m_tops[kRecycleBin]), C("1")));
    EXPECT_EQ("173=" + m_tops[kRecycleBin] + " 177=1 ", Describe(Last("F4")[0]));
    EXPECT_EQ("", Names("Recycle Bin"));
    EXPECT_EQ("ERR", Control("ITEM idx=" + m_x).substr(0, 3));

    ASSERT_EQ(0, m_proto.RunDelete(C("F"), C(y), C("1"), C("0"), C("0")));
    EXPECT_EQ("", Names("My Files/a"));
    EXPECT_EQ("", Names("Recycle Bin"));
}

TEST_F(FileOpsTest, AStoppedDeleteSendsN)
{
    StepCount count;
    count.stopAt = 1;
    ASSERT_EQ(0, m_proto.RunDelete(C("F"), C(m_x), C("1"), C("0"), C("1"), CountStep, &count));
    EXPECT_EQ("44=N ", Describe(Last("F2")[0]));
}

TEST_F(FileOpsTest, RenameSendsTheNewNameStoresNothingAndRefusesAnEmptyName)
{
    ASSERT_EQ(0, m_proto.GetRename(C("F"), C(m_x), C("1"), L"새 이름.txt"));
    EXPECT_EQ("25=F 173=" + m_x + " 177=1 181=" + Utf8(L"새 이름.txt") + " ", Describe(Last("F3")[0]));
    EXPECT_EQ(Utf8(L"새 이름.txt"), Names("My Files/a"));

    // A reply that carries fields stores nothing.
    std::wcscpy(m_proto.FileOpInfo.FileOpName, L"before");
    ReplyWith("F3", {{{181, "zzz"}, {25, "D"}}});
    EXPECT_EQ(0, m_proto.GetRename(C("F"), C(m_x), C("1"), L"other.txt"));
    EXPECT_EQ(L"before", std::wstring(m_proto.FileOpInfo.FileOpName));

    const int before = Exchanges();
    EXPECT_EQ(-1, m_proto.GetRename(C("F"), C(m_x), C("1"), L""));
    EXPECT_EQ(before, Exchanges());

    // A refused rename fails with the server's code.
    const std::string y = File("My Files/a/y.txt", "y");
    File("My Files/a/z.txt", "z");
    EXPECT_EQ(-1, m_proto.GetRename(C("F"), C(y), C("1"), L"z.txt"));
    EXPECT_EQ(1311, m_proto.ResultInfo.nResultCode);
}

TEST_F(FileOpsTest, AnOverLongNameIsCutToItsSlotAndTerminated)
{
    ReplyWith("F2", {{{181, std::string(700, 'n')}, {25, "F"}}});
    ASSERT_EQ(0, m_proto.GetDelete(C("F"), C(m_x), C("1"), C("0"), C("1"), nullptr));
    EXPECT_EQ(511u, std::wcslen(m_proto.FileOpInfo.FileOpName));
    EXPECT_STREQ("F", m_proto.FileOpInfo.FileOpType);
}

TEST_F(FileOpsTest, AServerThatNeverEndsAnOperationIsStoppedAtTheBound)
{
    const char* commands[] = {"F2", "F4", "F1"};
    for (const char* command : commands) {
        Ok("RESET");
        m_tops = AddUser("alice", "1001");
        LogIn("alice");
        m_a = Folder("My Files/a");
        m_b = Folder("My Files/b");
        m_x = File("My Files/a/x.txt", "x");
        // Every reply names an item; emptying the bin goes on with the delete continuation.
        const Records again{{{181, "again"}, {25, "F"}}};
        ReplyWith(std::strcmp(command, "F4") == 0 ? "F2" : command, again, "*");
        if (std::strcmp(command, "F4") == 0)
            ReplyWith("F4", again, "*");
        const int before = Exchanges();
        int result = 0;
        if (std::strcmp(command, "F2") == 0)
            result = m_proto.RunDelete(C("F"), C(m_x), C("1"), C("0"), C("1"), nullptr, nullptr, 5);
        else if (std::strcmp(command, "F4") == 0)
            result = m_proto.RunRecyclebinClear(C(m_tops[kRecycleBin]), C("1"), nullptr, nullptr, 5);
        else
            result = m_proto.RunPaste(C(m_a), C(m_b), C(m_x), C("1"), C("F"), C("C"), C("0"), C("N"), nullptr,
                                      nullptr, 5);
        EXPECT_EQ(-1, result) << command;
        EXPECT_EQ(IXO_SOCK_ERR_NO_END, m_proto.ResultInfo.nResultCode) << command;
        EXPECT_NE(L"", std::wstring(m_proto.ResultInfo.wszMessage)) << command;
        EXPECT_EQ(nullptr, m_proto.m_pConn) << command;
        // The start and five continuations.
        EXPECT_EQ(before + 6, Exchanges()) << command;
        Ok("RESET");
    }
}
