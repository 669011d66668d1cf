// Folder listing, change detection and new folders: D0, D4, F0 against the running server.
#include "SessionHarness.h"
#include <filesystem>

namespace {

class Folders : public SessionHarness {
protected:
    void SetUp() override
    {
        SessionHarness::SetUp();
        Control("FOLDER user=alice -- My Files/docs/inner");
        Control("FOLDER user=alice -- My Files/Archive");
        Control("FILE user=alice size=10 mtime=20240102030405 -- My Files/b.txt");
        Control("FILE user=alice size=20 -- My Files/A.txt");
        m_client = LoggedIn(m_sid);
        m_myFiles = IdxOf("My Files");
    }

    Reply List(const std::string& idx, const Fields& extra = {})
    {
        Fields fields{{171, m_sid}, {173, idx}, {177, idx == "0" ? "0" : "1"}};
        fields.insert(fields.end(), extra.begin(), extra.end());
        return Ask(*m_client, "D0", {fields});
    }

    static std::vector<std::string> Names(const Reply& reply)
    {
        std::vector<std::string> names;
        for (const auto& item : reply.With(25))
            names.push_back(item.at(181));
        return names;
    }

    Reply NewFolder(const std::string& parent, const std::string& name, const std::string& mode = "0")
    {
        return Ask(*m_client, "F0", {{{34, mode}, {171, m_sid}, {173, parent}, {177, "1"}, {181, name},
                                      {187, "2024112"}, {188, "2024112"}}});
    }

    std::unique_ptr<TestClient> m_client;
    std::string m_myFiles;
};

}

TEST_F(Folders, TopLevelListsTheUsersFoldersWithSortKeysAndTheTrailer)
{
    const Reply reply = List("0");
    ASSERT_EQ(reply.command, "D0");
    const auto items = reply.With(25);
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items.front().at(181), "My Files");
    EXPECT_EQ(items.front().at(27), "1");
    EXPECT_EQ(items.front().at(158), "1");
    EXPECT_EQ(items.front().at(178), "0");
    EXPECT_EQ(items.front().at(189), "1101111000000010000000000001000");
    EXPECT_EQ(items.back().at(181), "Recycle Bin");
    EXPECT_EQ(items.back().at(27), "6");
    EXPECT_EQ(items.back().at(189), "1100000010000010000000000000000");
    EXPECT_EQ(reply.Last(44), "N");
    EXPECT_EQ(reply.records.back().size(), 1u);
    // The top level has no self record.
    EXPECT_EQ(reply.records.size(), items.size() + 1);
}

TEST_F(Folders, BasicAccountsHaveOnlyMyFilesAndTheRecycleBin)
{
    Control("USER id=basic password=pw tops=basic");
    m_client = LoggedIn(m_sid, "basic", "pw");
    EXPECT_EQ(Names(List("0")), (std::vector<std::string>{"My Files", "Recycle Bin"}));
}

TEST_F(Folders, FolderListingStartsWithTheSelfRecordAndListsFoldersFirst)
{
    const Reply reply = List(m_myFiles);
    ASSERT_EQ(reply.command, "D0");
    ASSERT_GE(reply.records.size(), 2u);
    const auto& self = reply.records.front();
    EXPECT_EQ(self.count(25), 0u);
    EXPECT_EQ(self.at(173), m_myFiles);
    EXPECT_FALSE(self.at(157).empty());
    EXPECT_EQ(self.at(166), "2");
    EXPECT_EQ(self.at(167), "2");
    EXPECT_EQ(Names(reply), (std::vector<std::string>{"Archive", "docs", "A.txt", "b.txt"}));
    const auto items = reply.With(25);
    EXPECT_EQ(items[1].at(28), "Y");   // docs has a sub-folder
    EXPECT_EQ(items[0].at(28), "N");
    EXPECT_EQ(items[0].at(5), "2222");
    EXPECT_EQ(items[0].at(178), m_myFiles);
    EXPECT_EQ(items[3].at(192), "10");
    EXPECT_EQ(items[3].at(188), "2024-01-02 03:04:05");
    EXPECT_EQ(items[3].at(231), "000000000000");
    EXPECT_EQ(items[3].at(189).size(), 31u);
    EXPECT_EQ(items[3].count(27), 0u);
    EXPECT_EQ(reply.Last(44), "N");
}

TEST_F(Folders, ListingFiltersAndLeavesOutTheSelfRecordWhenAsked)
{
    const struct {
        const char* filter;
        std::vector<std::string> names;
    } rows[] = {
        {"D", {"Archive", "docs"}},
        {"F", {"A.txt", "b.txt"}},
        {"A", {"Archive", "docs", "A.txt", "b.txt"}},
    };
    for (const auto& row : rows) {
        const Reply reply = List(m_myFiles, {{25, row.filter}, {73, "Y"}});
        EXPECT_EQ(Names(reply), row.names) << row.filter;
        EXPECT_EQ(reply.records.size(), row.names.size() + 1) << row.filter << ": no self record with 73";
    }
}

TEST_F(Folders, AProtectedFolderCarriesItsPasswordsDigestAndTheOthersNone)
{
    // SHA-256 over the hex of SHA-1 over "Open Sesame1", worked out apart from the server.
    const char digest[] = "44ba73881febf87a92313ffb4c07fc86a4535d7ad3b104fb004aa61445bfb761";
    ASSERT_EQ(Control("FOLDER user=alice password=Open%20Sesame1 -- My Files/Vault").substr(0, 2), "OK");
    const auto items = List(m_myFiles).With(25);
    bool seen = false;
    for (const auto& item : items) {
        if (item.at(181) == "Vault") {
            seen = true;
            EXPECT_EQ(item.count(198) ? item.at(198) : "", digest);
            EXPECT_EQ(item.at(231)[7], '1');
        } else {
            EXPECT_EQ(item.count(198), 0u) << item.at(181);
        }
    }
    EXPECT_TRUE(seen);
}

TEST_F(Folders, UnknownAndForeignFoldersGive1301)
{
    Control("USER id=bob password=pw");
    const std::string bobs = IdxOf("My Files", "bob");
    for (const std::string& idx : std::vector<std::string>{"99999", bobs, "abc"}) {
        const Reply reply = List(idx);
        EXPECT_EQ(reply.command, "E0") << idx;
        EXPECT_EQ(reply.Code(), "1301") << idx;
    }
}

TEST_F(Folders, PagesFollowIdenticalRequestsAndEndWithN)
{
    Control("SWITCH pageSize=3");
    const Reply first = List(m_myFiles);
    EXPECT_EQ(first.records.front().count(25), 0u);   // self record on page 1
    EXPECT_EQ(Names(first), (std::vector<std::string>{"Archive", "docs", "A.txt"}));
    EXPECT_EQ(first.Last(44), "Y");
    const Reply second = List(m_myFiles);
    EXPECT_EQ(Names(second), (std::vector<std::string>{"b.txt"}));
    EXPECT_EQ(second.records.size(), 2u);
    EXPECT_EQ(second.Last(44), "N");
    // After the end, the same request starts again.
    EXPECT_EQ(Names(List(m_myFiles)).front(), "Archive");
    // Another request in between restarts too.
    List(m_myFiles);
    Ask(*m_client, "B2", {{{171, m_sid}}});
    EXPECT_EQ(Names(List(m_myFiles)).front(), "Archive");
}

TEST_F(Folders, NewFolderRepliesWithItsRecordAndShowsInTheListing)
{
    const Reply made = NewFolder(m_myFiles, "Reports");
    ASSERT_EQ(made.command, "F0");
    ASSERT_EQ(made.records.size(), 1u);
    EXPECT_EQ(made.Value(0, 25), "D");
    EXPECT_EQ(made.Value(0, 27), "1");
    EXPECT_EQ(made.Value(0, 178), m_myFiles);
    EXPECT_EQ(made.Value(0, 181), "Reports");
    const std::string idx = made.Value(0, 173);
    const auto names = Names(List(m_myFiles));
    EXPECT_NE(std::find(names.begin(), names.end(), "Reports"), names.end());
    EXPECT_EQ(IdxOf("My Files/Reports"), idx);
    EXPECT_TRUE(std::filesystem::is_directory(m_stateDir + "/store/alice/files/Reports"));
}

TEST_F(Folders, ExistingFolderGives1310OrItsRecordInMergeMode)
{
    const std::string docs = IdxOf("My Files/docs");
    const Reply refused = NewFolder(m_myFiles, "DOCS");
    EXPECT_EQ(refused.command, "E0");
    EXPECT_EQ(refused.Code(), "1310");
    const Reply merged = NewFolder(m_myFiles, "Docs", "1");
    EXPECT_EQ(merged.command, "F0");
    EXPECT_EQ(merged.Value(0, 173), docs);
    EXPECT_EQ(NewFolder(m_myFiles, "a.TXT").Code(), "1311");
}

// Servers that answer "already there" even in merge mode: the code the switch names, and no
// record; a new name is still made.
TEST_F(Folders, TheExistingFolderSwitchAnswersMergeModeWithItsCode)
{
    for (const char* code : {"1310", "1328", "2300"}) {
        Control(std::string("SWITCH existingFolder=") + code);
        const Reply answer = NewFolder(m_myFiles, "docs", "1");
        EXPECT_EQ(answer.command, "E0") << code;
        EXPECT_EQ(answer.Code(), code);
    }
    EXPECT_EQ(NewFolder(m_myFiles, "fresh", "1").command, "F0");
    Control("SWITCH existingFolder=");
    EXPECT_EQ(NewFolder(m_myFiles, "docs", "1").command, "F0");
}

TEST_F(Folders, RefusesInvalidNamesWith1312)
{
    for (const std::string& name : std::vector<std::string>{"a/b", "a\\b", "what?", "star*", "pipe|", "quote\"",
                                                            "<x>", "c:", "CON", "lpt1", "nul.txt", "..",
                                                            std::string(256, 'n')}) {
        const Reply reply = NewFolder(m_myFiles, name);
        EXPECT_EQ(reply.Code(), "1312") << name;
    }
    EXPECT_EQ(NewFolder(m_myFiles, std::string(255, 'n')).command, "F0");
}

TEST_F(Folders, NewFolderNeedsAFolderWithThePermission)
{
    const std::string docs = IdxOf("My Files/docs");
    Control("PERM idx=" + docs + " value=1111100000000000000000000000000");
    EXPECT_EQ(NewFolder(docs, "x").Code(), "1320");
    EXPECT_EQ(NewFolder(IdxOf("My Files/A.txt"), "x").Code(), "1301");
    EXPECT_EQ(NewFolder("424242", "x").Code(), "1301");
}

TEST_F(Folders, ALockedSubFolderIsListedAsTypeAUntilUnlocked)
{
    const std::string docs = IdxOf("My Files/docs");
    auto typeOfDocs = [&] {
        const Reply listing = List(m_myFiles);
        for (const auto& record : listing.records)
            if (record.count(173) && record.at(173) == docs)
                return record.count(27) ? record.at(27) : std::string();
        return std::string("(missing)");
    };
    EXPECT_EQ("1", typeOfDocs());
    EXPECT_EQ("OK", Control("LOCK idx=" + docs + " value=Y").substr(0, 2));
    EXPECT_EQ("A", typeOfDocs());
    EXPECT_EQ("OK", Control("LOCK idx=" + docs + " value=N").substr(0, 2));
    EXPECT_EQ("1", typeOfDocs());
}

TEST_F(Folders, NamesBeyondTheBasicPlaneTravelAsCesu8AndAreStoredAsUtf8)
{
    const std::string utf8 = "photo \xF0\x9F\x98\x80";                     // U+1F600
    const std::string cesu = "photo \xED\xA0\xBD\xED\xB8\x80";              // D83D DE00
    const Reply made = NewFolder(m_myFiles, cesu);
    ASSERT_EQ(made.command, "F0");
    EXPECT_EQ(made.Value(0, 181), cesu);
    EXPECT_TRUE(std::filesystem::is_directory(m_stateDir + "/store/alice/files/" + utf8));
    const auto names = Names(List(m_myFiles));
    EXPECT_NE(std::find(names.begin(), names.end(), cesu), names.end());
}

TEST_F(Folders, ChangeCheckComparesTheSelfRecordWithTheFolder)
{
    const Reply listing = List(m_myFiles);
    const auto& self = listing.records.front();
    auto check = [&] {
        return Ask(*m_client, "D4", {{{157, self.at(157)}, {166, self.at(166)}, {167, self.at(167)},
                                      {171, m_sid}, {173, m_myFiles}, {177, "1"}, {227, self.at(227)},
                                      {235, self.at(235)}}})
            .Value(0, 75);
    };
    EXPECT_EQ(check(), "N");
    NewFolder(m_myFiles, "fresh");
    EXPECT_EQ(check(), "Y");
    // A change below a sub-folder does not change this folder.
    const Reply again = List(m_myFiles);
    const auto& newSelf = again.records.front();
    NewFolder(IdxOf("My Files/docs"), "deeper");
    EXPECT_EQ(Ask(*m_client, "D4", {{{157, newSelf.at(157)}, {166, newSelf.at(166)}, {167, newSelf.at(167)},
                                     {171, m_sid}, {173, m_myFiles}, {177, "1"}, {227, "0"}, {235, "0"}}})
                  .Value(0, 75),
              "N");
}
