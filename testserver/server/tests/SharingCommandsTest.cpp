// Users and groups, shares, guests, links and sending files.
#include "SessionHarness.h"

namespace {

class Sharing : public SessionHarness {
protected:
    void SetUp() override
    {
        SessionHarness::SetUp();
        Control("GROUP id=10 name=Sales");
        Control("GROUP id=11 name=Sales%20East parent=10");
        Control("USER id=bob password=pw name=Bob%20Lee code=2001 group=10 position=Manager");
        Control("USER id=cho password=pw name=Cho code=2002 group=10");
        Control("FILE user=alice text=payload -- My Files/share/f.txt");
        m_client = LoggedIn(m_sid);
    }

    std::unique_ptr<TestClient> m_client;
};

}

TEST_F(Sharing, UserGroupListsGiveDomainsGroupsThenUsersAndTheTrailer)
{
    const Reply domains = Ask(*m_client, "C0", {{{38, "N"}, {44, "Y"}, {171, m_sid}, {177, "0"}}});
    EXPECT_EQ(domains.Value(0, 24), "D");
    EXPECT_EQ(domains.Last(44), "N");
    const Reply roots = Ask(*m_client, "C0", {{{38, "N"}, {44, "Y"}, {171, m_sid}, {176, "0"}}});
    ASSERT_EQ(roots.With(24).size(), 1u);
    EXPECT_EQ(roots.Value(0, 184), "Sales");
    EXPECT_EQ(roots.Value(0, 28), "Y");
    const Reply sales = Ask(*m_client, "C0", {{{38, "N"}, {44, "Y"}, {171, m_sid}, {176, "10"}}});
    const auto entries = sales.With(24);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].at(24), "G");
    EXPECT_EQ(entries[1].at(24), "U");
    EXPECT_EQ(entries[1].at(183), "Bob Lee");
    EXPECT_EQ(entries[1].at(175), "2001");
    EXPECT_EQ(entries[1].count(44), 0u);
    EXPECT_EQ(Ask(*m_client, "C0", {{{44, "N"}, {171, m_sid}, {176, "10"}}}).records.size(), 1u);
}

TEST_F(Sharing, UserGroupListsPage)
{
    Control("SWITCH pageSize=2");
    const Fields request{{38, "N"}, {44, "Y"}, {171, m_sid}, {176, "10"}};
    EXPECT_EQ(Ask(*m_client, "C0", {request}).Last(44), "Y");
    const Reply last = Ask(*m_client, "C0", {request});
    EXPECT_EQ(last.With(24).size(), 1u);
    EXPECT_EQ(last.Last(44), "N");
}

TEST_F(Sharing, SearchFindsUsersAndGroupsByName)
{
    const Reply all = Ask(*m_client, "C1", {{{24, "A"}, {44, "Y"}, {72, "N"}, {171, m_sid}, {181, "sales"}}});
    EXPECT_EQ(all.With(24).size(), 2u);
    const Reply users = Ask(*m_client, "C1", {{{24, "U"}, {44, "Y"}, {72, "Y"}, {171, m_sid}, {181, "manager"}}});
    ASSERT_EQ(users.With(24).size(), 1u);
    EXPECT_EQ(users.Value(0, 169), "bob");
    EXPECT_EQ(Ask(*m_client, "C1", {{{44, "Y"}, {171, m_sid}, {181, "nobody"}}}).records.size(), 1u);
}

TEST_F(Sharing, FolderShareRoundTripKeepsThePasswordBehindAStar)
{
    const std::string folder = IdxOf("My Files/share");
    const Reply none = Ask(*m_client, "G0", {{{171, m_sid}, {173, folder}}});
    EXPECT_EQ(none.Value(0, 29), "N");
    EXPECT_EQ(none.Value(0, 203), "0");
    ASSERT_EQ(Ask(*m_client, "G1", {{{11, "2024-01-01"}, {12, "2025-12-31"}, {29, "Y"}, {171, m_sid}, {173, folder},
                                     {181, "share"}, {198, "pw1"}, {203, "1"}},
                                    {{5, "2220"}, {24, "U"}, {154, "2"}, {175, "2001"}}}).command, "G1");
    const Reply shared = Ask(*m_client, "G0", {{{171, m_sid}, {173, folder}}});
    EXPECT_EQ(shared.Value(0, 29), "Y");
    EXPECT_EQ(shared.Value(0, 198), "*");
    EXPECT_EQ(shared.Value(0, 12), "2025-12-31");
    EXPECT_EQ(shared.Value(1, 183), "Bob Lee");
    EXPECT_EQ(shared.Value(1, 5), "2220");
    // "*" keeps the password.
    Ask(*m_client, "G1", {{{29, "Y"}, {171, m_sid}, {173, folder}, {181, "share"}, {198, "*"}, {203, "0"}}});
    EXPECT_EQ(Ask(*m_client, "G0", {{{171, m_sid}, {173, folder}}}).Value(0, 198), "*");
    const Reply listing = Ask(*m_client, "D0", {{{73, "Y"}, {171, m_sid}, {173, IdxOf("My Files")}, {177, "1"}}});
    EXPECT_EQ(listing.With(25).at(0).at(29), "Y");
}

TEST_F(Sharing, GroupShareCreatesAGroupFolderAndEchoesItsSettings)
{
    const std::string group = IdxOf("Group");
    ASSERT_EQ(Ask(*m_client, "G3", {{{11, "2024-01-01"}, {12, "2024-12-31"}, {30, "Y"}, {31, "Y"}, {39, "Y"},
                                     {171, m_sid}, {173, group}, {181, "Team"}, {190, "500"}, {203, "1"}},
                                    {{5, "2222"}, {24, "G"}, {154, "2"}, {176, "10"}, {177, "1"}}}).command, "G3");
    const std::string team = IdxOf("Group/Team");
    const Reply settings = Ask(*m_client, "G2", {{{171, m_sid}, {173, team}}});
    EXPECT_EQ(settings.Value(0, 190), "500");
    EXPECT_EQ(settings.Value(0, 31), "Y");
    EXPECT_EQ(settings.Value(0, 52), "Y");
    EXPECT_EQ(settings.Value(1, 184), "Sales");
    const Reply listing = Ask(*m_client, "D0", {{{73, "Y"}, {171, m_sid}, {173, group}, {177, "1"}}});
    EXPECT_EQ(listing.With(25).at(0).at(27), "3");
}

TEST_F(Sharing, SingleGuestNewFolderChangeAndPasswordReset)
{
    const std::string guestTop = IdxOf("Guest");
    EXPECT_EQ(Ask(*m_client, "G4", {{{171, m_sid}, {173, guestTop}}}).Value(0, 207), "1000");
    const Reply made = Ask(*m_client, "G5", {{{5, "2200"}, {39, "Y"}, {171, m_sid}, {173, guestTop},
                                              {181, "For Partner"}, {190, "50"}, {193, "p@example.com"}}});
    EXPECT_EQ(made.Value(0, 44), "N");
    const std::string folder = IdxOf("Guest/For Partner");
    const Reply guest = Ask(*m_client, "G4", {{{171, m_sid}, {173, folder}}});
    EXPECT_EQ(guest.Value(0, 193), "p@example.com");
    EXPECT_EQ(guest.Value(0, 198), "*");
    EXPECT_EQ(guest.Value(0, 190), "50");
    const Reply listing = Ask(*m_client, "D0", {{{73, "Y"}, {171, m_sid}, {173, guestTop}, {177, "1"}}});
    EXPECT_EQ(listing.With(25).at(0).at(179), folder);
    EXPECT_EQ(listing.With(25).at(0).at(27), "5");
    Ask(*m_client, "G5", {{{5, "2000"}, {39, "N"}, {171, m_sid}, {173, folder}, {193, "q@example.com"}}});
    EXPECT_EQ(Ask(*m_client, "G4", {{{171, m_sid}, {173, folder}}}).Value(0, 193), "q@example.com");
    EXPECT_EQ(Ask(*m_client, "G5", {{{44, "Y"}, {171, m_sid}}}).Value(0, 44), "N");
    EXPECT_EQ(Ask(*m_client, "G8", {{{171, m_sid}, {173, folder}}}).Value(0, 44), "N");
    EXPECT_EQ(Ask(*m_client, "G8", {{{44, "Y"}}}).Value(0, 44), "N");
}

TEST_F(Sharing, MultiGuestStoresStatusesAndNamesTheGuestFolder)
{
    const Reply made = Ask(*m_client, "G7", {{{11, "2024-01-01"}, {39, "Y"}, {171, m_sid}, {173, IdxOf("Guest")},
                                              {181, "Many"}, {190, "10"}},
                                             {{5, "2000"}, {47, "Y"}, {193, "a@x.com"}},
                                             {{5, "2200"}, {13, "2024-06-30"}, {47, "N"}, {193, "b@x.com"}}});
    ASSERT_EQ(made.records.size(), 3u);
    EXPECT_EQ(made.Value(1, 47), "N");
    EXPECT_EQ(made.Last(44), "N");
    const std::string folder = made.Last(173);
    EXPECT_EQ(folder, IdxOf("Guest/Many"));
    const Reply guests = Ask(*m_client, "G6", {{{171, m_sid}, {173, folder}}});
    EXPECT_EQ(guests.Value(0, 190), "10");
    EXPECT_EQ(guests.Value(2, 193), "b@x.com");
    EXPECT_EQ(guests.Value(2, 13), "2024-06-30");
}

TEST_F(Sharing, LinksAreMadeChangedListedAndRemoved)
{
    const std::string file = IdxOf("My Files/share/f.txt");
    EXPECT_TRUE(Ask(*m_client, "I1", {{{171, m_sid}, {173, file}, {177, "1"}}}).records.empty());
    ASSERT_EQ(Ask(*m_client, "I0", {{{13, "2030-01-01"}, {42, "C"}, {171, m_sid}, {173, file}, {177, "1"},
                                     {194, "pw"}, {195, "3"}}}).command, "I0");
    const Reply links = Ask(*m_client, "I1", {{{171, m_sid}, {173, file}, {177, "1"}}});
    ASSERT_EQ(links.records.size(), 1u);
    const std::string id = links.Value(0, 7);
    EXPECT_EQ(id.size(), 20u);
    EXPECT_EQ(links.Value(0, 194), "*");
    EXPECT_EQ(links.Value(0, 195), "3");
    EXPECT_EQ(links.Value(0, 196), "http://127.0.0.1/link/" + id);
    EXPECT_EQ(Word(Control("ITEM idx=" + file), "info"), "100000000000");
    // Item id in 177 and folder id in 173 is accepted as well.
    Ask(*m_client, "I0", {{{7, id}, {42, "M"}, {171, m_sid}, {173, IdxOf("My Files/share")}, {177, file}, {195, "9"}}});
    EXPECT_EQ(Ask(*m_client, "I1", {{{171, m_sid}, {173, file}, {177, "1"}}}).Value(0, 195), "9");
    EXPECT_EQ(Ask(*m_client, "I0", {{{7, std::string(20, 'x')}, {42, "D"}, {171, m_sid}, {173, file}, {177, "1"}}})
                  .Code(), "1301");
    Ask(*m_client, "I0", {{{7, id}, {42, "D"}, {171, m_sid}, {173, file}, {177, "1"}}});
    EXPECT_TRUE(Ask(*m_client, "I1", {{{171, m_sid}, {173, file}, {177, "1"}}}).records.empty());
}

TEST_F(Sharing, SentFilesLandInTheReceiversFileBoxAndCountAsUnread)
{
    const std::string file = IdxOf("My Files/share/f.txt");
    ASSERT_EQ(Ask(*m_client, "I3", {{{171, m_sid}}, {{173, file}}, {{169, "bob"}, {175, "2001"}}}).command, "I3");
    std::string bobSid;
    auto bob = LoggedIn(bobSid, "bob", "pw");
    EXPECT_EQ(Ask(*bob, "D5", {{{171, bobSid}}}).Value(0, 201), "1");
    const Reply box = Ask(*bob, "D0", {{{73, "Y"}, {171, bobSid}, {173, IdxOf("File box", "bob")}, {177, "1"}}});
    ASSERT_EQ(box.With(25).size(), 1u);
    EXPECT_EQ(box.With(25)[0].at(181), "f.txt");
    EXPECT_EQ(Ask(*bob, "D5", {{{171, bobSid}}}).Value(0, 201), "0");
    EXPECT_EQ(Ask(*m_client, "I3", {{{171, m_sid}}, {{173, file}}, {{169, "nobody"}}}).Code(), "1301");
}

TEST_F(Sharing, AGroupAsReceiverSendsToEveryUserOfTheGroup)
{
    const std::string file = IdxOf("My Files/share/f.txt");
    ASSERT_EQ(Ask(*m_client, "I3", {{{171, m_sid}}, {{173, file}}, {{175, "10"}}}).command, "I3");
    for (const char* user : {"bob", "cho"})
        EXPECT_NE(Control(std::string("LIST user=") + user + " -- File box").find("f.txt:"), std::string::npos) << user;
}

TEST_F(Sharing, RemovedGroupsAreNoLongerListed)
{
    EXPECT_EQ(Control("GROUP id=11 remove=Y").substr(0, 2), "OK");
    const Reply sales = Ask(*m_client, "C0", {{{38, "N"}, {44, "Y"}, {171, m_sid}, {176, "10"}}});
    for (const auto& entry : sales.With(24))
        EXPECT_NE(entry.at(24), "G");
}

TEST_F(Sharing, TheGuestFolderQuotaCanBeLeftOut)
{
    const std::string guestTop = IdxOf("Guest");
    Control("SWITCH guestFolderQuota=");
    EXPECT_EQ(Ask(*m_client, "G4", {{{171, m_sid}, {173, guestTop}}}).Value(0, 207), "");
    Control("SWITCH guestFolderQuota=250");
    EXPECT_EQ(Ask(*m_client, "G4", {{{171, m_sid}, {173, guestTop}}}).Value(0, 207), "250");
    EXPECT_EQ(Ask(*m_client, "G6", {{{171, m_sid}, {173, guestTop}}}).Value(0, 207), "250");
}

TEST_F(Sharing, TheMasterFlagAndTheGuestDatesFollowTheirSwitches)
{
    const std::string guestTop = IdxOf("Guest");
    const std::string team = IdxOf("My Files/share");
    const struct {
        const char* switches;
        const char* master;           // G2 52
        const char* defaultDate;      // G6 13 of the folder record; "" none
        const char* editable;         // G6 70
    } rows[] = {
        {"groupShareMaster=Y guestDefaultDate=2099-12-31 guestDateEditable=Y", "Y", "2099-12-31", "Y"},
        {"groupShareMaster=N guestDefaultDate= guestDateEditable=N", "N", "", "N"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.switches);
        ASSERT_EQ(Control(std::string("SWITCH ") + row.switches).substr(0, 2), "OK");
        EXPECT_EQ(Ask(*m_client, "G2", {{{171, m_sid}, {173, team}}}).Value(0, 52), row.master);
        const Reply guests = Ask(*m_client, "G6", {{{171, m_sid}, {173, guestTop}}});
        EXPECT_EQ(guests.Value(0, 13), row.defaultDate);
        EXPECT_EQ(guests.Value(0, 70), row.editable);
    }
    Control("SWITCH groupShareMaster=Y guestDefaultDate=2099-12-31 guestDateEditable=Y");
}
