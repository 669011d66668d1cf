// Uploads and downloads: H0 announce and decision, H3 data, H5 results, H6, H1 and H4 streams.
#include "SessionHarness.h"
#include <chrono>
#include <thread>
#include <zlib.h>

namespace {

class Transfers : public SessionHarness {
protected:
    void SetUp() override
    {
        SessionHarness::SetUp();
        m_client = LoggedIn(m_sid);
        m_target = IdxOf("My Files");
    }

    Reply Announce(TestClient& client, const std::string& name, uint64_t size, const std::string& folder = "")
    {
        return Ask(client, "H0", {{{171, m_sid}, {173, folder.empty() ? m_target : folder}, {177, "1"},
                                   {181, name}, {187, "20240101101010"}, {188, "20240202121212"},
                                   {192, std::to_string(size)}}});
    }

    Reply Decide(TestClient& client, const std::string& mode)
    {
        return Ask(client, "H0", {{{34, mode}, {171, m_sid}}});
    }

    std::string Content(const std::string& path)
    {
        return Control("ITEM user=alice -- " + path);
    }

    // A full upload of a new file on its own connection, as the client's worker does it.
    void Upload(const std::string& name, const std::string& data, size_t factor)
    {
        std::string sid;
        auto worker = Keyed();
        const Reply announce = Announce(*worker, name, data.size());
        ASSERT_EQ(announce.command, "H0") << announce.Value(0, 255);
        EXPECT_EQ(announce.Value(0, 192), "") << "a new file";
        SendData(*worker, data, factor * 65000);
        const Reply result = Ask(*worker, "H5", {{{171, m_sid}}});
        ASSERT_EQ(result.records.size(), 1u) << name;
        EXPECT_EQ(result.Last(44), "N");
    }

    std::string Download(const std::string& idx, const std::string& key = std::string())
    {
        auto worker = Keyed();
        Fields fields;
        if (!key.empty())
            fields.push_back({9, key});
        fields.insert(fields.end(), {{171, m_sid}, {173, idx}, {177, "1"}, {209, "0"}});
        worker->SendRequest("H1", testwire::Record(fields));
        std::string data;
        EXPECT_TRUE(ReadStream(*worker, data, key));
        return data;
    }

    static std::string Checksum(const std::string& data)
    {
        return data.empty() ? "0"
                            : std::to_string(adler32(1, reinterpret_cast<const Bytef*>(data.data()),
                                                     static_cast<uInt>(data.size())));
    }

    std::unique_ptr<TestClient> m_client;
    std::string m_target;
};

}

TEST_F(Transfers, UploadsNewFilesOfEverySizeAndFactorAndDownloadsThemBackIdentical)
{
    const struct {
        const char* name;
        size_t size;
        size_t factor;
    } rows[] = {
        {"empty.txt", 0, 2}, {"one.bin", 1, 1}, {"piece.bin", 65001, 1},
        {"two.bin", 65001, 2}, {"five.bin", 5 * 1024 * 1024, 32}, {"odd.bin", 2 * 65000 + 17, 2},
    };
    for (const auto& row : rows) {
        std::string data = testwire::Pattern(row.size, row.size);
        Upload(row.name, data, row.factor);
        const std::string item = Content(std::string("My Files/") + row.name);
        EXPECT_EQ(Word(item, "incomplete"), "N") << row.name;
        EXPECT_EQ(Word(item, "size"), std::to_string(row.size)) << row.name;
        EXPECT_EQ(Word(item, "checksum"), Checksum(data)) << row.name;
        EXPECT_TRUE(Download(Word(item, "idx")) == data) << row.name;
    }
}

TEST_F(Transfers, AnnouncedFileShowsAsIncompleteUntilItsDataArrives)
{
    ASSERT_EQ(Announce(*m_client, "big.bin", 300000).command, "H0");
    const std::string before = Content("My Files/big.bin");
    EXPECT_EQ(Word(before, "incomplete"), "Y");
    EXPECT_EQ(Word(before, "info"), "000000000100");
    SendData(*m_client, testwire::Pattern(0, 300000), 130000);
    Ask(*m_client, "H5", {{{171, m_sid}}});
    EXPECT_EQ(Word(Content("My Files/big.bin"), "info"), "000000000000");
}

TEST_F(Transfers, CutOffUploadResumesFromThePartialCopyToAnIdenticalFile)
{
    const std::string data = testwire::Pattern(3, 700000);
    {
        auto worker = Keyed();
        ASSERT_EQ(Announce(*worker, "resume.bin", data.size()).command, "H0");
        SendData(*worker, data.substr(0, 260000), 130000, true);
        Ask(*worker, "B2", {{{171, m_sid}}});   // a request after the data: the frames are in
    }
    auto worker = Keyed();
    const Reply announce = Announce(*worker, "resume.bin", data.size());
    ASSERT_EQ(announce.command, "H0");
    EXPECT_EQ(announce.Value(0, 192), "260000");
    EXPECT_EQ(announce.Value(0, 205), Checksum(data.substr(0, 260000)));
    EXPECT_EQ(announce.Value(0, 181), "resume.bin");
    EXPECT_EQ(announce.Value(0, 188), "20240202121212");
    EXPECT_EQ(Decide(*worker, "3").command, "H0");
    SendData(*worker, data.substr(260000), 130000);
    EXPECT_EQ(Ask(*worker, "H5", {{{171, m_sid}}}).records.size(), 1u);
    const std::string item = Content("My Files/resume.bin");
    EXPECT_EQ(Word(item, "incomplete"), "N");
    EXPECT_TRUE(Download(Word(item, "idx")) == data);
}

TEST_F(Transfers, PartialCopyOfNoBytesCountsAsANewFile)
{
    Control("FILE user=alice size=50 partial=0 -- My Files/zero.bin");
    const Reply announce = Announce(*m_client, "zero.bin", 50);
    EXPECT_EQ(announce.command, "H0");
    EXPECT_EQ(announce.records.at(0).count(192), 0u);
}

TEST_F(Transfers, IdenticalFileOffersItsSizeAndChecksumAndSkipKeepsIt)
{
    const std::string data = testwire::Pattern(0, 1000);
    Control("FILE user=alice size=1000 mtime=20230101000000 -- My Files/same.bin");
    const Reply announce = Announce(*m_client, "SAME.bin", 1000);
    EXPECT_EQ(announce.Value(0, 192), "1000");
    EXPECT_EQ(announce.Value(0, 205), Checksum(data));
    EXPECT_EQ(announce.Value(0, 188), "20230101000000");
    EXPECT_EQ(Decide(*m_client, "2").command, "H0");
    // No data follows a skip: the next request is an ordinary one.
    EXPECT_EQ(Ask(*m_client, "H5", {{{171, m_sid}}}).Last(44), "N");
    EXPECT_EQ(Word(Content("My Files/same.bin"), "versions"), "0");
}

TEST_F(Transfers, OverwriteReplacesTheContentAndKeepsTheOldOneAsAVersion)
{
    Control("FILE user=alice text=old -- My Files/doc.txt");
    ASSERT_EQ(Announce(*m_client, "doc.txt", 9).Value(0, 192), "3");
    EXPECT_EQ(Decide(*m_client, "1").command, "H0");
    SendData(*m_client, "brand new", 65000);
    Ask(*m_client, "H5", {{{171, m_sid}}});
    const std::string item = Content("My Files/doc.txt");
    EXPECT_EQ(Word(item, "size"), "9");
    EXPECT_EQ(Word(item, "versions"), "1");
    EXPECT_EQ(Download(Word(item, "idx")), "brand new");
}

TEST_F(Transfers, ResumingACompleteFileAppendsToIt)
{
    Control("FILE user=alice text=abc -- My Files/grow.txt");
    ASSERT_EQ(Announce(*m_client, "grow.txt", 6).Value(0, 192), "3");
    EXPECT_EQ(Decide(*m_client, "3").command, "H0");
    SendData(*m_client, "def", 65000);
    Ask(*m_client, "H5", {{{171, m_sid}}});
    EXPECT_EQ(Download(IdxOf("My Files/grow.txt")), "abcdef");
}

TEST_F(Transfers, DecisionWithNothingLeftCompletesAtOnce)
{
    Control("FILE user=alice size=10 partial=10 -- My Files/full.bin");
    ASSERT_EQ(Announce(*m_client, "full.bin", 10).Value(0, 192), "10");
    EXPECT_EQ(Decide(*m_client, "3").command, "H0");
    EXPECT_EQ(Word(Content("My Files/full.bin"), "incomplete"), "N");
}

TEST_F(Transfers, AnEarlyLastFrameKeepsThePartialAndReportsAnErrorRecord)
{
    ASSERT_EQ(Announce(*m_client, "short.bin", 200000).command, "H0");
    SendData(*m_client, testwire::Pattern(0, 100000), 65000);
    const Reply result = Ask(*m_client, "H5", {{{171, m_sid}}});
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.Value(0, 44), "E");
    EXPECT_EQ(result.Value(0, 181), "short.bin");
    EXPECT_FALSE(result.Value(0, 255).empty());
    EXPECT_EQ(result.Value(0, 173), IdxOf("My Files/short.bin"));
    EXPECT_EQ(result.Last(44), "N");
    // Reported once.
    EXPECT_EQ(Ask(*m_client, "H5", {{{171, m_sid}}}).records.size(), 1u);
    EXPECT_EQ(Word(Content("My Files/short.bin"), "incomplete"), "Y");
}

TEST_F(Transfers, AnUploadLeftShortIsAnErrorRecordUnlessCancelledOrMadeGood)
{
    // Data stops with FLAG_MORE still set and the next request comes: the file is short.
    ASSERT_EQ(Announce(*m_client, "left.bin", 200000).command, "H0");
    SendData(*m_client, testwire::Pattern(0, 65000), 65000, true);
    Reply result = Ask(*m_client, "H5", {{{171, m_sid}}});
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.Value(0, 44), "E");
    EXPECT_EQ(result.Value(0, 181), "left.bin");
    EXPECT_EQ(result.Value(0, 173), IdxOf("My Files/left.bin"));

    // The same on a connection that goes away, reported on the session's other connection.
    {
        auto worker = Keyed();
        ASSERT_EQ(Announce(*worker, "gone.bin", 200000).command, "H0");
        SendData(*worker, testwire::Pattern(0, 65000), 65000, true);
    }
    for (int i = 0; i < 200 && Word(Control("COUNT"), "open") != "1"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // A cancel is the user's own doing.
    ASSERT_EQ(Announce(*m_client, "cancel.bin", 200000).command, "H0");
    SendData(*m_client, testwire::Pattern(0, 65000), 65000, true);
    EXPECT_EQ(Ask(*m_client, "H6", {}).command, "H6");
    result = Ask(*m_client, "H5", {{{171, m_sid}}});
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.Value(0, 181), "gone.bin");

    // A short upload that is resumed to its end takes its line back.
    ASSERT_EQ(Announce(*m_client, "again.bin", 130000).command, "H0");
    SendData(*m_client, testwire::Pattern(0, 65000), 65000, true);
    const Reply offer = Announce(*m_client, "again.bin", 130000);
    ASSERT_EQ(offer.Value(0, 192), "65000");
    ASSERT_EQ(Decide(*m_client, "3").command, "H0");
    SendData(*m_client, testwire::Pattern(65000, 65000), 65000);
    result = Ask(*m_client, "H5", {{{171, m_sid}}});
    EXPECT_EQ(result.records.size(), 1u) << result.Value(0, 181);
}

TEST_F(Transfers, ResultPollingAnswersStillWorkingForTheConfiguredRounds)
{
    Control("SWITCH h5PendingRounds=2");
    EXPECT_EQ(Ask(*m_client, "H5", {{{171, m_sid}}}).Last(44), "Y");
    EXPECT_EQ(Ask(*m_client, "H5", {{{171, m_sid}}}).Last(44), "Y");
    EXPECT_EQ(Ask(*m_client, "H5", {{{171, m_sid}}}).Last(44), "N");
}

TEST_F(Transfers, MoreDataThanAnnouncedClosesTheConnection)
{
    ASSERT_EQ(Announce(*m_client, "over.bin", 10).command, "H0");
    SendData(*m_client, std::string(11, 'x'), 65000);
    bool closed = false;
    EXPECT_EQ(m_client->ReadUntilClosed(closed), "");
    EXPECT_TRUE(closed);
}

TEST_F(Transfers, CancelDropsTheWaitingDecision)
{
    Control("FILE user=alice text=abc -- My Files/c.txt");
    ASSERT_EQ(Announce(*m_client, "c.txt", 3).Value(0, 192), "3");
    const Reply cancel = Ask(*m_client, "H6", {});
    EXPECT_EQ(cancel.command, "H6");
    EXPECT_TRUE(cancel.records.empty());
    EXPECT_EQ(Decide(*m_client, "1").Code(), "1500");
}

TEST_F(Transfers, AnnounceRefusalsSkipOrStopTheFile)
{
    Control("USER id=small password=pw quota=100");
    Control("FOLDER user=alice -- My Files/sub");
    const struct {
        const char* name;
        std::string folder;
        uint64_t size;
        const char* reply;
        const char* code;
    } rows[] = {
        {"bad:name", "", 1, "E1", "1312"},
        {"sub", "", 1, "E1", "1311"},
        {"x.bin", "123456", 1, "E0", "1301"},
        {"x.bin", "bin", 1, "E0", "1301"},
        {"huge.bin", "", 20ull << 30, "E0", "1400"},
    };
    for (const auto& row : rows) {
        const std::string folder = row.folder == "bin" ? IdxOf("Recycle Bin") : row.folder;
        const Reply reply = Announce(*m_client, row.name, row.size, folder);
        EXPECT_EQ(reply.command, row.reply) << row.name;
        EXPECT_EQ(reply.Code(), row.code) << row.name;
    }
    Control("PERM idx=" + m_target + " value=1100000000000000000000000000000");
    EXPECT_EQ(Announce(*m_client, "x.bin", 1).Code(), "1320");
}

TEST_F(Transfers, DecisionWithoutAnAnnounceIsMisuse)
{
    EXPECT_EQ(Decide(*m_client, "1").Code(), "1500");
}

TEST_F(Transfers, DownloadFramesCarryAsManyPiecesAsTheOptionsFrameFactor)
{
    const std::string idx = Word(Control("FILE user=alice size=2100000 -- My Files/d.bin"), "idx");
    // `count` frames of `size` bytes, then the 20,000 bytes left.
    const auto frames = [](size_t count, size_t size) {
        std::vector<size_t> sizes(count, size);
        sizes.push_back(20000);
        return sizes;
    };
    const struct {
        const char* option;   // value of 159 in the options; null: as the server starts
        std::vector<size_t> sizes;
    } rows[] = {
        {nullptr, frames(16, 130000)}, {"1", frames(32, 65000)}, {"32", frames(1, 2080000)},
        {"0", frames(16, 130000)},     {"33", frames(16, 130000)},
    };
    for (const auto& row : rows) {
        const std::string name = row.option ? row.option : "default";
        if (row.option) {
            ASSERT_EQ(Control(std::string("OPTION A1 159=") + row.option).substr(0, 2), "OK") << name;
        }
        m_client->SendRequest("H1", testwire::Record({{171, m_sid}, {173, idx}, {177, "1"}, {209, "0"}}));
        std::string data;
        std::vector<size_t> sizes;
        ASSERT_TRUE(ReadStream(*m_client, data, std::string(), &sizes)) << "159=" << name;
        EXPECT_EQ(sizes, row.sizes) << "159=" << name;
        EXPECT_TRUE(data == testwire::Pattern(0, 2100000)) << "159=" << name;
    }
}

TEST_F(Transfers, DownloadOfAnEmptyFileIsOneEmptyFrame)
{
    const std::string idx = Word(Control("FILE user=alice size=0 -- My Files/e.bin"), "idx");
    EXPECT_EQ(Download(idx), "");
}

TEST_F(Transfers, DownloadAnswersTheLocalCopyAndResumesFromItsEnd)
{
    const std::string full = testwire::Pattern(0, 200000);
    const std::string idx = Word(Control("FILE user=alice size=200000 -- My Files/r.bin"), "idx");
    const struct {
        const char* name;
        uint64_t local;
        std::string checksum;
        const char* answer;
    } rows[] = {
        {"matching start", 150000, Checksum(full.substr(0, 150000)), "Y"},
        {"whole file", 200000, Checksum(full), "Y"},
        {"other bytes", 150000, Checksum(std::string(150000, 'x')), "N"},
        {"longer than the file", 200001, Checksum(full + "x"), "N"},
        {"empty local file", 0, "0", "Y"},
    };
    for (const auto& row : rows) {
        const Reply reply = Ask(*m_client, "H1", {{{171, m_sid}, {173, idx}, {177, "1"}, {192, std::to_string(row.local)},
                                                   {205, row.checksum}, {209, "0"}}});
        EXPECT_EQ(reply.command, "H1") << row.name;
        EXPECT_EQ(reply.Value(0, 40), row.answer) << row.name;
        Ask(*m_client, "H1", {{{34, "2"}}});
    }
    ASSERT_EQ(Ask(*m_client, "H1", {{{171, m_sid}, {173, idx}, {177, "1"}, {192, "150000"},
                                     {205, Checksum(full.substr(0, 150000))}, {209, "0"}}})
                  .Value(0, 40),
              "Y");
    m_client->SendRequest("H1", testwire::Record({{34, "3"}, {204, "150000"}}));
    std::string tail;
    ASSERT_TRUE(ReadStream(*m_client, tail));
    EXPECT_TRUE(tail == full.substr(150000));
}

TEST_F(Transfers, SkipPositionGetsAnEmptyReplyAndNeedsAPendingDownload)
{
    const std::string idx = Word(Control("FILE user=alice text=abc -- My Files/s.txt"), "idx");
    Ask(*m_client, "H1", {{{171, m_sid}, {173, idx}, {177, "1"}, {192, "3"}, {205, Checksum("abc")}, {209, "0"}}});
    const Reply skip = Ask(*m_client, "H1", {{{34, "2"}}});
    EXPECT_EQ(skip.command, "H1");
    EXPECT_TRUE(skip.records.empty());
    EXPECT_EQ(Ask(*m_client, "H1", {{{34, "3"}, {204, "0"}}}).Code(), "1500");
    EXPECT_EQ(Ask(*m_client, "H1", {{{44, "Y"}, {171, m_sid}}}).Value(0, 44), "N");
}

TEST_F(Transfers, DownloadRefusals)
{
    const std::string folder = IdxOf("My Files");
    const std::string partial = Word(Control("FILE user=alice size=10 partial=5 -- My Files/p.bin"), "idx");
    const std::string file = Word(Control("FILE user=alice text=abc -- My Files/f.txt"), "idx");
    const struct {
        const char* name;
        std::string idx;
        std::string version;
        const char* reply;
        const char* code;
    } rows[] = {
        {"missing", "77777", "0", "E0", "1301"},
        {"a folder", folder, "0", "E0", "1301"},
        {"unfinished upload", partial, "0", "E1", "1301"},
        {"unknown version", file, "4", "E0", "1301"},
    };
    for (const auto& row : rows) {
        const Reply reply = Ask(*m_client, "H1", {{{171, m_sid}, {173, row.idx}, {177, "1"}, {209, row.version}}});
        EXPECT_EQ(reply.command, row.reply) << row.name;
        EXPECT_EQ(reply.Code(), row.code) << row.name;
    }
    Control("PERM idx=" + file + " value=1000000000000000000000000000000");
    EXPECT_EQ(Ask(*m_client, "H1", {{{171, m_sid}, {173, file}, {177, "1"}, {209, "0"}}}).Code(), "1320");
}

TEST_F(Transfers, DownloadKeyReKeysAfterTheHeaderForTheRestOfTheConnection)
{
    Control("SWITCH fileKeys=1");
    const std::string idx = Word(Control("FILE user=alice size=140000 -- My Files/k.bin"), "idx");
    const Reply listing = Ask(*m_client, "D0", {{{171, m_sid}, {173, m_target}, {177, "1"}, {73, "Y"}}});
    const std::string key = listing.With(25).at(0).at(9);
    ASSERT_EQ(key.size(), 32u);
    m_client->SendRequest("H1", testwire::Record({{9, key}, {171, m_sid}, {173, idx}, {177, "1"}, {209, "0"}}));
    std::string data;
    ASSERT_TRUE(ReadStream(*m_client, data, key));
    EXPECT_TRUE(data == testwire::Pattern(0, 140000));
    EXPECT_EQ(Ask(*m_client, "B2", {{{171, m_sid}}}).Value(0, 172), "60");
}

TEST_F(Transfers, VersionsDownloadByNumber)
{
    Control("FILE user=alice text=first -- My Files/v.txt");
    Control("FILE user=alice text=second -- My Files/v.txt");
    const std::string idx = IdxOf("My Files/v.txt");
    m_client->SendRequest("H1", testwire::Record({{171, m_sid}, {173, idx}, {177, "1"}, {209, "1"}}));
    std::string data;
    ASSERT_TRUE(ReadStream(*m_client, data));
    EXPECT_EQ(data, "first");
    EXPECT_EQ(Download(idx), "second");
}

TEST_F(Transfers, ShortAndLongStreamFaultsEndCleanlyWithTheWrongAmount)
{
    const std::string idx = Word(Control("FILE user=alice size=200000 -- My Files/f.bin"), "idx");
    Control("FAULT short-stream bytes=1000 cmd=H1");
    EXPECT_TRUE(Download(idx) == testwire::Pattern(0, 1000));
    Control("FAULT long-stream bytes=500 cmd=H1");
    const std::string longer = Download(idx);
    ASSERT_EQ(longer.size(), 200500u);
    EXPECT_TRUE(longer.substr(0, 200000) == testwire::Pattern(0, 200000));
    EXPECT_EQ(Download(idx).size(), 200000u) << "each fault served one stream";
}

TEST_F(Transfers, AnOldVersionAnswersWaitUntilItsRoundsArePastThenStreams)
{
    const std::string idx = Word(Control("FILE user=alice text=first -- My Files/v.txt"), "idx");
    Control("FILE user=alice text=second -- My Files/v.txt");
    Control("SWITCH prepareRounds=2");
    EXPECT_EQ(Ask(*m_client, "H1", {{{171, m_sid}, {173, idx}, {177, "1"}, {209, "1"}}}).Value(0, 44), "Y");
    EXPECT_EQ(Ask(*m_client, "H1", {{{171, m_sid}, {44, "Y"}}}).Value(0, 44), "Y");
    EXPECT_EQ(Ask(*m_client, "H1", {{{171, m_sid}, {44, "Y"}}}).Value(0, 44), "N");
    m_client->SendRequest("H1", testwire::Record({{171, m_sid}, {44, "N"}}));
    std::string data;
    ASSERT_TRUE(ReadStream(*m_client, data));
    EXPECT_EQ(data, "first");
    // A wait stopped early sends nothing.
    EXPECT_EQ(Ask(*m_client, "H1", {{{171, m_sid}, {173, idx}, {177, "1"}, {209, "1"}}}).Value(0, 44), "Y");
    const Reply stopped = Ask(*m_client, "H1", {{{171, m_sid}, {44, "N"}}});
    EXPECT_EQ(stopped.command, "H1");
    EXPECT_EQ(stopped.Value(0, 44), "N");
    Control("SWITCH prepareRounds=0");
}

TEST_F(Transfers, PropertiesComeInPagesThatEachCarryTheTotals)
{
    const std::string idx = Word(Control("FILE user=alice size=1234 -- My Files/p.bin"), "idx");
    Control("SWITCH propertyPages=3");
    const Reply first = Ask(*m_client, "D1", {{{171, m_sid}}, {{25, "F"}, {173, idx}, {177, "1"}}});
    EXPECT_EQ(first.Value(0, 44), "Y");
    EXPECT_EQ(first.Value(0, 192), "1234");
    EXPECT_EQ(Ask(*m_client, "D1", {{{171, m_sid}, {44, "Y"}}}).Value(0, 44), "Y");
    const Reply last = Ask(*m_client, "D1", {{{171, m_sid}, {44, "Y"}}});
    EXPECT_EQ(last.Value(0, 44), "N");
    EXPECT_EQ(last.Value(0, 192), "1234");
    // "N" in the middle ends the paging.
    Ask(*m_client, "D1", {{{171, m_sid}}, {{25, "F"}, {173, idx}, {177, "1"}}});
    EXPECT_EQ(Ask(*m_client, "D1", {{{171, m_sid}, {44, "N"}}}).Value(0, 44), "N");
    EXPECT_EQ(Ask(*m_client, "D1", {{{171, m_sid}, {44, "Y"}}}).Value(0, 44), "N");
    Control("SWITCH propertyPages=0");
}
