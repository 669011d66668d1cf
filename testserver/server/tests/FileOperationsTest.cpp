// Paste, delete, rename, recycle bin and restore with their continuation questions, and the
// listings that must show the result.
#include "SessionHarness.h"
#include <algorithm>
#include <filesystem>

namespace {

class FileOps : public SessionHarness {
protected:
    void SetUp() override
    {
        SessionHarness::SetUp();
        Control("FILE user=alice text=alpha -- My Files/src/a.txt");
        Control("FILE user=alice text=inner -- My Files/src/sub/b.txt");
        Control("FILE user=alice text=other -- My Files/dst/a.txt");
        Control("FOLDER user=alice -- My Files/dst/sub");
        m_client = LoggedIn(m_sid);
    }

    std::vector<std::string> Names(const std::string& path)
    {
        const Reply reply = Ask(*m_client, "D0", {{{171, m_sid}, {173, IdxOf(path)}, {177, "1"}, {73, "Y"}}});
        std::vector<std::string> names;
        for (const auto& item : reply.With(25))
            names.push_back(item.at(181));
        return names;
    }

    Reply Paste(const std::string& item, const std::string& target, const std::string& action,
                const std::string& kind = "F", const std::string& confirm = "N")
    {
        return Ask(*m_client, "F1", {{{25, kind}, {29, confirm}, {34, "0"}, {35, action}, {171, m_sid},
                                      {173, IdxOf(item)}, {174, "0"}, {177, "1"}, {180, IdxOf(target)}}});
    }

    Reply Continue(const std::string& answer, const std::string& mode = "")
    {
        Fields fields{{44, answer}};
        if (!mode.empty())
            fields.insert(fields.begin(), {34, mode});
        return Ask(*m_client, "F1", {fields});
    }

    Reply Delete(const std::string& idx, const std::string& toBin, const std::string& version = "0")
    {
        return Ask(*m_client, "F2", {{{25, "F"}, {36, toBin}, {171, m_sid}, {173, idx}, {177, "1"}, {209, version}}});
    }

    std::string Content(const std::string& path)
    {
        const std::string item = Control("ITEM user=alice -- " + path);
        std::string data;
        std::FILE* file = std::fopen(Word(item, "path").c_str(), "rb");
        if (!file)
            return "<none>";
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            data.append(buffer, n);
        std::fclose(file);
        return data;
    }

    std::unique_ptr<TestClient> m_client;
};

}

TEST_F(FileOps, CopyWithoutConflictCopiesAtOnceWithANewIdx)
{
    Control("FOLDER user=alice -- My Files/empty");
    const Reply reply = Paste("My Files/src/a.txt", "My Files/empty", "C");
    ASSERT_EQ(reply.command, "F1");
    EXPECT_EQ(reply.Value(0, 181), "a.txt");
    EXPECT_EQ(reply.Value(0, 43), "N");
    // The client continues while 181 is set; the continuation ends the loop.
    const Reply end = Continue("Y", "0");
    EXPECT_EQ(end.command, "F1");
    EXPECT_TRUE(end.records.empty());
    EXPECT_EQ(Names("My Files/empty"), std::vector<std::string>{"a.txt"});
    EXPECT_NE(IdxOf("My Files/empty/a.txt"), IdxOf("My Files/src/a.txt"));
    EXPECT_EQ(Content("My Files/empty/a.txt"), "alpha");
}

TEST_F(FileOps, MoveKeepsTheIdxAndTheNextListingShowsItInItsNewPlace)
{
    const std::string idx = IdxOf("My Files/src/sub");
    const Reply reply = Paste("My Files/src/sub", "My Files/dst/sub", "M", "D");
    EXPECT_EQ(reply.Value(0, 43), "N");
    EXPECT_EQ(Names("My Files/src"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(Names("My Files/dst/sub"), std::vector<std::string>{"sub"});
    EXPECT_EQ(IdxOf("My Files/dst/sub/sub"), idx);
    EXPECT_EQ(Content("My Files/dst/sub/sub/b.txt"), "inner");
    EXPECT_TRUE(std::filesystem::exists(m_stateDir + "/store/alice/files/dst/sub/sub/b.txt"));
}

TEST_F(FileOps, ConflictAsksFirstAndEachAnswerDoesWhatItSays)
{
    const struct {
        const char* name;
        const char* answer;
        const char* mode;
        std::vector<std::string> dst;
        const char* content;      // of dst/a.txt
        bool sourceStays;
    } rows[] = {
        {"overwrite", "Y", "1", {"sub", "a.txt"}, "alpha", false},
        {"skip", "Y", "2", {"sub", "a.txt"}, "other", true},
        {"keep both", "Y", "0", {"sub", "a (2).txt", "a.txt"}, "other", false},
        {"cancel", "N", "1", {"sub", "a.txt"}, "other", true},
    };
    for (const auto& row : rows) {
        TearDown();   // each row on a fresh server
        SetUp();
        const Reply ask = Paste("My Files/src/a.txt", "My Files/dst", "M");
        EXPECT_EQ(ask.Value(0, 43), "Y") << row.name;
        EXPECT_EQ(ask.Value(0, 181), "a.txt") << row.name;
        // Nothing happened yet.
        EXPECT_EQ(Names("My Files/src").size(), 2u) << row.name;
        const Reply done = Continue(row.answer, row.mode);
        EXPECT_EQ(done.command, "F1") << row.name;
        EXPECT_TRUE(done.records.empty()) << row.name;
        EXPECT_EQ(Names("My Files/dst"), row.dst) << row.name;
        EXPECT_EQ(Content("My Files/dst/a.txt"), row.content) << row.name;
        const auto src = Names("My Files/src");
        EXPECT_EQ(std::count(src.begin(), src.end(), "a.txt"), row.sourceStays ? 1 : 0) << row.name;
    }
}

TEST_F(FileOps, OverwritingAFolderMergesItAndKeepsTheOldFileAsAVersion)
{
    Control("FILE user=alice text=alpha2 -- My Files/src/sub/a.txt");
    Control("FILE user=alice text=dstfile -- My Files/dst/sub/b.txt");
    EXPECT_EQ(Paste("My Files/src/sub", "My Files/dst", "C", "D").Value(0, 43), "Y");
    Continue("Y", "1");
    EXPECT_EQ(Names("My Files/dst/sub"), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(Content("My Files/dst/sub/b.txt"), "inner");
    EXPECT_EQ(Word(Control("ITEM user=alice -- My Files/dst/sub/b.txt"), "versions"), "1");
    EXPECT_EQ(Names("My Files/src/sub"), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(FileOps, CopyIntoTheSameFolderMakesANumberedName)
{
    EXPECT_EQ(Paste("My Files/src/a.txt", "My Files/src", "C").Value(0, 181), "a (2).txt");
    EXPECT_EQ(Paste("My Files/src/a.txt", "My Files/src", "C").Value(0, 181), "a (3).txt");
    EXPECT_EQ(Paste("My Files/src/a.txt", "My Files/src", "M").Value(0, 181), "a.txt");
    EXPECT_EQ(Names("My Files/src"), (std::vector<std::string>{"sub", "a (2).txt", "a (3).txt", "a.txt"}));
}

TEST_F(FileOps, PasteRefusals)
{
    EXPECT_EQ(Paste("My Files/src", "My Files/src/sub", "M", "D").Code(), "1321");
    EXPECT_EQ(Paste("My Files/src", "My Files/src", "M", "D").Code(), "1321");
    EXPECT_EQ(Ask(*m_client, "F1", {{{25, "F"}, {35, "C"}, {171, m_sid}, {173, "99999"}, {177, "1"},
                                     {180, IdxOf("My Files")}}}).Code(), "1301");
    Control("PERM idx=" + IdxOf("My Files/src/a.txt") + " value=1100000000000000000000000000000");
    EXPECT_EQ(Paste("My Files/src/a.txt", "My Files/dst/sub", "C").Code(), "1320");
}

TEST_F(FileOps, ContinuationWithNothingPendingIsAnEmptyReply)
{
    EXPECT_TRUE(Continue("Y", "1").records.empty());
    const Reply f2 = Ask(*m_client, "F2", {{{44, "Y"}}});
    EXPECT_EQ(f2.command, "F2");
    EXPECT_TRUE(f2.records.empty());
}

TEST_F(FileOps, MovingASharedFolderAsksAboutTheShareFirst)
{
    const std::string src = IdxOf("My Files/src/sub");
    ASSERT_EQ(Ask(*m_client, "G1", {{{11, "2024-01-01"}, {12, "2030-01-01"}, {29, "Y"}, {171, m_sid},
                                     {173, src}, {181, "sub"}, {203, "0"}}}).command, "G1");
    const Reply ask = Paste("My Files/src/sub", "My Files/dst/sub", "M", "D");
    EXPECT_EQ(ask.Value(0, 240), "1329");
    EXPECT_FALSE(ask.Value(0, 255).empty());
    EXPECT_EQ(ask.Value(0, 181), "");
    const Reply no = Continue("N");
    EXPECT_TRUE(no.records.empty());
    EXPECT_EQ(IdxOf("My Files/src/sub"), src);

    Paste("My Files/src/sub", "My Files/dst/sub", "M", "D");
    const Reply yes = Continue("Y");
    EXPECT_EQ(yes.Value(0, 181), "sub");
    EXPECT_EQ(yes.Value(0, 43), "N");
    EXPECT_EQ(IdxOf("My Files/dst/sub/sub"), src);
}

TEST_F(FileOps, DeleteToTheBinRestoreAndDeleteForGood)
{
    const std::string idx = IdxOf("My Files/src/sub");
    const Reply deleted = Delete(idx, "1");
    EXPECT_EQ(deleted.Value(0, 181), "sub");
    EXPECT_EQ(deleted.Value(0, 25), "D");
    EXPECT_TRUE(Ask(*m_client, "F2", {{{44, "Y"}}}).records.empty());
    EXPECT_EQ(Names("My Files/src"), std::vector<std::string>{"a.txt"});

    const std::string bin = IdxOf("Recycle Bin");
    const Reply inBin = Ask(*m_client, "D0", {{{171, m_sid}, {173, bin}, {177, "1"}}});
    const auto items = inBin.With(25);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].at(173), idx);
    EXPECT_EQ(items[0].at(197), "My Files/src");
    EXPECT_EQ(items[0].at(27), "D");
    EXPECT_EQ(items[0].at(189), "1100000010000000000000000000000");
    // Inside the trashed folder the former location goes on from it.
    const Reply inside = Ask(*m_client, "D0", {{{171, m_sid}, {173, idx}, {177, "1"}}});
    EXPECT_EQ(inside.With(25).at(0).at(197), "My Files/src/sub");

    const Reply restored = Ask(*m_client, "F5", {{{25, "D"}, {171, m_sid}, {173, idx}, {177, "1"}}});
    EXPECT_EQ(restored.Value(0, 43), "N");
    EXPECT_EQ(IdxOf("My Files/src/sub"), idx);
    EXPECT_EQ(Content("My Files/src/sub/b.txt"), "inner");
    EXPECT_EQ(Names("Recycle Bin").size(), 0u);

    EXPECT_EQ(Delete(IdxOf("My Files/src/sub/b.txt"), "0").Value(0, 181), "b.txt");
    EXPECT_EQ(Names("My Files/src/sub").size(), 0u);
    EXPECT_EQ(Names("Recycle Bin").size(), 0u);
    EXPECT_EQ(m_control.Send("ITEM user=alice -- My Files/src/sub/b.txt").substr(0, 3), "ERR");
}

TEST_F(FileOps, RestoreIntoATakenNameAsksAndRecreatesAMissingParent)
{
    const std::string a = IdxOf("My Files/src/a.txt");
    Delete(a, "1");
    Control("FILE user=alice text=newer -- My Files/src/a.txt");
    const Reply ask = Ask(*m_client, "F5", {{{25, "F"}, {171, m_sid}, {173, a}, {177, "1"}}});
    EXPECT_EQ(ask.Value(0, 43), "Y");
    EXPECT_TRUE(Continue("Y", "0").records.empty());
    EXPECT_EQ(Names("My Files/src"), (std::vector<std::string>{"sub", "a (2).txt", "a.txt"}));
    EXPECT_EQ(IdxOf("My Files/src/a (2).txt"), a);

    // An item inside a trashed folder whose former parent is gone for good.
    const std::string sub = IdxOf("My Files/src/sub");
    const std::string b = IdxOf("My Files/src/sub/b.txt");
    Delete(sub, "1");
    const Reply restored = Ask(*m_client, "F5", {{{25, "F"}, {171, m_sid}, {173, b}, {177, "1"}}});
    EXPECT_EQ(restored.Value(0, 43), "N");
    EXPECT_EQ(IdxOf("My Files/src/sub/b.txt"), b);
    EXPECT_NE(IdxOf("My Files/src/sub"), sub);   // made again
}

TEST_F(FileOps, EmptyingTheBinDeletesEverythingInIt)
{
    Delete(IdxOf("My Files/src/a.txt"), "1");
    Delete(IdxOf("My Files/src/sub"), "1");
    const std::string bin = IdxOf("Recycle Bin");
    const Reply reply = Ask(*m_client, "F4", {{{171, m_sid}, {173, bin}, {177, "1"}}});
    EXPECT_EQ(reply.command, "F4");
    EXPECT_TRUE(reply.records.empty());
    EXPECT_TRUE(Names("Recycle Bin").empty());
    EXPECT_TRUE(std::filesystem::is_empty(m_stateDir + "/store/alice/.trash"));
    EXPECT_EQ(Ask(*m_client, "F4", {{{171, m_sid}, {173, IdxOf("My Files")}, {177, "1"}}}).Code(), "1301");
}

TEST_F(FileOps, DeleteRefusesTopLevelFoldersAndMissingItems)
{
    EXPECT_EQ(Delete(IdxOf("My Files"), "1").Code(), "1320");
    EXPECT_EQ(Delete("99999", "1").Code(), "1301");
}

TEST_F(FileOps, RenameChecksNamesAndSiblings)
{
    const std::string a = IdxOf("My Files/src/a.txt");
    auto rename = [&](const std::string& idx, const std::string& name) {
        return Ask(*m_client, "F3", {{{25, "F"}, {171, m_sid}, {173, idx}, {177, "1"}, {181, name}}});
    };
    EXPECT_EQ(rename(a, "SUB").Code(), "1311");
    EXPECT_EQ(rename(a, "bad?").Code(), "1312");
    EXPECT_EQ(rename(IdxOf("My Files"), "x").Code(), "1320");
    EXPECT_EQ(rename(a, "A.TXT").command, "F3");   // its own name in other case
    EXPECT_EQ(rename(a, "renamed.txt").command, "F3");
    EXPECT_EQ(IdxOf("My Files/src/renamed.txt"), a);
    EXPECT_EQ(Content("My Files/src/renamed.txt"), "alpha");
}

TEST_F(FileOps, VersionDeleteRemovesOnlyThatVersion)
{
    Control("FILE user=alice text=v2 -- My Files/src/a.txt");
    Control("FILE user=alice text=v3 -- My Files/src/a.txt");
    const std::string a = IdxOf("My Files/src/a.txt");
    const Reply versions = Ask(*m_client, "D3", {{{171, m_sid}, {173, a}, {177, "1"}}});
    ASSERT_EQ(versions.records.size(), 2u);
    EXPECT_EQ(versions.Value(0, 209), "2");   // newest first
    EXPECT_EQ(versions.Value(1, 209), "1");
    EXPECT_EQ(versions.Value(1, 192), "5");
    EXPECT_EQ(versions.Value(0, 169), "alice");
    const Reply deleted = Delete(a, "0", "1");
    EXPECT_EQ(deleted.command, "F2");
    EXPECT_TRUE(deleted.records.empty());
    EXPECT_EQ(Ask(*m_client, "D3", {{{171, m_sid}, {173, a}, {177, "1"}}}).records.size(), 1u);
    EXPECT_EQ(Content("My Files/src/a.txt"), "v3");
    EXPECT_EQ(Delete(a, "0", "9").Code(), "1301");
}
