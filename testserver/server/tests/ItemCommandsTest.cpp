// Properties, search with paging, thumbnails, shortcuts, locks and backup PCs.
#include "SessionHarness.h"

namespace {

class Items : public SessionHarness {
protected:
    void SetUp() override
    {
        SessionHarness::SetUp();
        Control("FILE user=alice size=100 mtime=20240105000000 -- My Files/docs/Report.txt");
        Control("FILE user=alice size=5000 mtime=20240301000000 -- My Files/docs/deep/report-final.doc");
        Control("FILE user=alice size=10 mtime=20240110000000 -- My Files/Pic.bmp");
        m_client = LoggedIn(m_sid);
    }

    Reply Search(const Fields& extra, const std::string& folder = "0")
    {
        Fields fields{{25, "A"}, {54, "N"}};
        fields.insert(fields.end(), extra.begin(), extra.end());
        fields.insert(fields.end(), {{171, m_sid}, {173, folder}, {177, "1"}});
        std::sort(fields.begin(), fields.end());
        return Ask(*m_client, "D2", {fields});
    }

    static std::vector<std::string> Names(const Reply& reply)
    {
        std::vector<std::string> names;
        for (const auto& hit : reply.With(25))
            names.push_back(hit.at(219));
        return names;
    }

    std::unique_ptr<TestClient> m_client;
};

}

TEST_F(Items, PropertiesOfAFileAFolderAndSeveralItems)
{
    const std::string file = IdxOf("My Files/docs/Report.txt");
    const std::string docs = IdxOf("My Files/docs");
    const Reply one = Ask(*m_client, "D1", {{{171, m_sid}}, {{25, "F"}, {173, file}, {177, "1"}}});
    ASSERT_EQ(one.records.size(), 1u);
    EXPECT_EQ(one.Value(0, 44), "N");
    EXPECT_EQ(one.Value(0, 181), "Report.txt");
    EXPECT_EQ(one.Value(0, 192), "100");
    EXPECT_EQ(one.Value(0, 33), "F");
    EXPECT_EQ(one.Value(0, 169), "alice");
    EXPECT_EQ(one.Value(0, 183), "Alice Kim");
    EXPECT_EQ(one.Value(0, 188), "2024-01-05 00:00:00");
    const Reply folder = Ask(*m_client, "D1", {{{171, m_sid}}, {{25, "D"}, {173, docs}, {177, "1"}}});
    EXPECT_EQ(folder.Value(0, 190), "5100");
    EXPECT_EQ(folder.Value(0, 166), "1");
    EXPECT_EQ(folder.Value(0, 167), "2");
    const Reply both = Ask(*m_client, "D1", {{{171, m_sid}}, {{25, "D"}, {173, docs}, {177, "1"}},
                                             {{25, "F"}, {173, IdxOf("My Files/Pic.bmp")}, {177, "1"}}});
    EXPECT_EQ(both.Value(0, 190), "5110");
    EXPECT_EQ(both.Value(0, 181), "");
    EXPECT_EQ(both.Value(0, 167), "3");
    EXPECT_EQ(Ask(*m_client, "D1", {{{44, "N"}, {171, m_sid}}}).Value(0, 44), "N");
}

TEST_F(Items, SearchMatchesEachFilter)
{
    const struct {
        const char* name;
        Fields fields;
        std::vector<std::string> hits;
    } rows[] = {
        {"name, any case", {{181, "REPORT"}}, {"report-final.doc", "Report.txt"}},
        {"folders only", {{25, "D"}, {181, "e"}}, {"deep"}},
        {"files only", {{25, "F"}, {181, "e"}}, {"report-final.doc", "Report.txt"}},
        {"size bounds", {{181, "."}, {221, "50"}, {222, "1000"}}, {"Report.txt"}},
        {"dates", {{11, "2024-01-06"}, {12, "2024-01-31"}, {181, "."}}, {"Pic.bmp"}},
        {"owner", {{169, "alice"}, {181, "pic"}}, {"Pic.bmp"}},
        {"other owner", {{169, "bob"}}, {}},
    };
    // Hits come in tree order: folders before files at each level.
    for (const auto& row : rows)
        EXPECT_EQ(Names(Search(row.fields)), row.hits) << row.name;
    const Reply hit = Search({{181, "final"}});
    const auto hits = hit.With(25);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].at(197), "My Files/docs/deep");
    EXPECT_EQ(hits[0].at(239), IdxOf("My Files") + "/" + IdxOf("My Files/docs") + "/" + IdxOf("My Files/docs/deep"));
    // No trailer record: the hit itself carries the page's continuation letter.
    EXPECT_EQ(hits[0].at(44), "N");
    EXPECT_EQ(hit.records.size(), 1u);
    EXPECT_EQ(Names(Search({{181, "report"}}, IdxOf("My Files/docs/deep"))),
              std::vector<std::string>{"report-final.doc"});
}

TEST_F(Items, SearchPagesWithIdenticalRequests)
{
    Control("SWITCH pageSize=1");
    EXPECT_EQ(Search({{181, "report"}}).Last(44), "Y");
    const Reply second = Search({{181, "report"}});
    EXPECT_EQ(Names(second), std::vector<std::string>{"Report.txt"});
    EXPECT_EQ(second.Last(44), "N");
}

TEST_F(Items, NoLastPageRepeatsTheFirstPageAndNeverSaysN)
{
    Control("SWITCH pageSize=1");
    Control("FAULT no-last-page count=3 cmd=D2");
    const std::vector<std::string> first = Names(Search({{181, "report"}}));
    ASSERT_EQ(first.size(), 1u);
    for (int round = 0; round < 2; ++round) {
        const Reply page = Search({{181, "report"}});
        EXPECT_EQ(Names(page), first) << "the first page again, round " << round;
        EXPECT_EQ(page.Last(44), "Y") << round;
    }
    const Reply after = Search({{181, "report"}});
    EXPECT_NE(Names(after), first) << "paging goes on once the fault is gone";
}

TEST_F(Items, ThumbnailStreamsTheImageOrWarns)
{
    m_client->SendRequest("I2", testwire::Record({{171, m_sid}, {173, IdxOf("My Files/Pic.bmp")}, {177, "1"}}));
    std::string data;
    ASSERT_TRUE(ReadStream(*m_client, data));
    EXPECT_TRUE(data == testwire::Pattern(0, 10));
    Control("SWITCH thumbnailMaxBytes=5");
    const Reply refused = Ask(*m_client, "I2", {{{171, m_sid}, {173, IdxOf("My Files/Pic.bmp")}, {177, "1"}}});
    EXPECT_EQ(refused.command, "E1");
    // The connection stays usable after the warning.
    EXPECT_EQ(Ask(*m_client, "I2", {{{44, "Y"}, {171, m_sid}}}).Value(0, 44), "N");
}

TEST_F(Items, AThumbnailLargerThanThePageSizeComesInPagesThatSayWhetherMoreFollow)
{
    Control("FILE user=alice size=2500 -- My Files/Big.png");
    const std::string big = IdxOf("My Files/Big.png");
    Control("SWITCH thumbnailPageBytes=1000");
    std::string data, page;
    std::vector<testwire::Fields> header;
    m_client->SendRequest("I2", testwire::Record({{171, m_sid}, {173, big}, {177, "1"}}));
    ASSERT_TRUE(ReadStream(*m_client, page, "", nullptr, &header));
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0][44], "Y");
    data += page;
    for (const char* more : {"Y", "N"}) {
        m_client->SendRequest("I2", testwire::Record({{44, "Y"}, {171, m_sid}}));
        ASSERT_TRUE(ReadStream(*m_client, page, "", nullptr, &header));
        ASSERT_EQ(header.size(), 1u);
        EXPECT_EQ(header[0][44], more);
        data += page;
    }
    EXPECT_EQ(data.size(), 2500u);
    EXPECT_TRUE(data == testwire::Pattern(0, 2500));
    // Nothing is under way any more; a picture within one page still comes whole, without 44.
    EXPECT_EQ(Ask(*m_client, "I2", {{{44, "Y"}, {171, m_sid}}}).Value(0, 44), "N");
    m_client->SendRequest("I2", testwire::Record({{171, m_sid}, {173, IdxOf("My Files/Pic.bmp")}, {177, "1"}}));
    ASSERT_TRUE(ReadStream(*m_client, page, "", nullptr, &header));
    EXPECT_TRUE(page == testwire::Pattern(0, 10));
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].count(44), 0u);
    EXPECT_EQ(header[0][192], "10");
    // Paging switched off between two pages: the rest comes at once.
    m_client->SendRequest("I2", testwire::Record({{171, m_sid}, {173, big}, {177, "1"}}));
    ASSERT_TRUE(ReadStream(*m_client, page));
    Control("SWITCH thumbnailPageBytes=0");
    m_client->SendRequest("I2", testwire::Record({{44, "Y"}, {171, m_sid}}));
    ASSERT_TRUE(ReadStream(*m_client, data, "", nullptr, &header));
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0][44], "N");
    EXPECT_TRUE(data == testwire::Pattern(1000, 1500));
}

TEST_F(Items, AThumbnailStoppedOrFailedBetweenPagesEndsItsPaging)
{
    Control("FILE user=alice size=2500 -- My Files/Big.png");
    const std::string big = IdxOf("My Files/Big.png");
    Control("SWITCH thumbnailPageBytes=1000");
    std::string page;
    // The client's "N" ends it; a later "Y" has nothing to continue.
    m_client->SendRequest("I2", testwire::Record({{171, m_sid}, {173, big}, {177, "1"}}));
    ASSERT_TRUE(ReadStream(*m_client, page));
    EXPECT_EQ(Ask(*m_client, "I2", {{{44, "N"}, {171, m_sid}}}).Value(0, 44), "N");
    EXPECT_EQ(Ask(*m_client, "I2", {{{44, "Y"}, {171, m_sid}}}).Value(0, 44), "N");
    // A picture gone between pages: a warning, and the paging is over.
    m_client->SendRequest("I2", testwire::Record({{171, m_sid}, {173, big}, {177, "1"}}));
    ASSERT_TRUE(ReadStream(*m_client, page));
    Control("PERM idx=" + big + " value=1110000000000000000000000000000");
    EXPECT_EQ(Ask(*m_client, "I2", {{{44, "Y"}, {171, m_sid}}}).command, "E1");
    EXPECT_EQ(Ask(*m_client, "I2", {{{44, "Y"}, {171, m_sid}}}).Value(0, 44), "N");
}

TEST_F(Items, ShortcutsAddListAndRemove)
{
    const std::string docs = IdxOf("My Files/docs");
    EXPECT_EQ(Ask(*m_client, "D6", {{{99, "Y"}, {171, m_sid}}, {{173, docs}}}).command, "D6");
    EXPECT_EQ(Ask(*m_client, "D6", {{{99, "Y"}, {171, m_sid}}, {{173, IdxOf("My Files/Pic.bmp")}}}).Code(), "1320");
    const Reply list = Ask(*m_client, "D7", {{{171, m_sid}}});
    ASSERT_EQ(list.records.size(), 1u);
    EXPECT_EQ(list.Value(0, 173), docs);
    EXPECT_EQ(list.Value(0, 197), "My Files/docs");
    EXPECT_EQ(Ask(*m_client, "B4", {{{171, m_sid}}}).Value(0, 131), "1");
    Ask(*m_client, "D6", {{{99, "N"}, {171, m_sid}}, {{173, docs}}});
    EXPECT_TRUE(Ask(*m_client, "D7", {{{171, m_sid}}}).records.empty());
}

TEST_F(Items, EditLockShowsAsReadOnlyToOthers)
{
    Control("USER id=bob password=pw");
    const std::string pic = IdxOf("My Files/Pic.bmp");
    EXPECT_EQ(Ask(*m_client, "F7", {{{87, "Y"}, {95, "Y"}, {171, m_sid}, {173, pic}, {177, "1"}}}).records.size(), 0u);
    EXPECT_EQ(Word(Control("ITEM idx=" + pic), "info"), "000100000000");
    Ask(*m_client, "F7", {{{87, "N"}, {95, "N"}, {171, m_sid}, {173, pic}, {177, "1"}}});
    EXPECT_EQ(Word(Control("ITEM idx=" + pic), "info"), "000000000000");
}

TEST_F(Items, BackupPcFolderIsRemovedForGood)
{
    Control("FILE user=alice size=3 -- Backup/PC-1/c.txt");
    const std::string pc = IdxOf("Backup/PC-1");
    EXPECT_EQ(Ask(*m_client, "S8", {{{171, m_sid}, {173, pc}}}).command, "S8");
    EXPECT_EQ(m_control.Send("ITEM idx=" + pc).substr(0, 3), "ERR");
    EXPECT_EQ(Ask(*m_client, "S8", {{{171, m_sid}, {173, IdxOf("My Files/docs")}}}).Code(), "1301");
}
