// A server with one account, and a raw client that logs in and speaks the storage commands.
#include "SessionHarness.h"

std::string Reply::Value(size_t record, uint8_t id) const
{
    if (record >= records.size())
        return std::string();
    const auto it = records[record].find(id);
    return it == records[record].end() ? std::string() : it->second;
}

std::vector<testwire::Fields> Reply::With(uint8_t id) const
{
    std::vector<testwire::Fields> out;
    for (const auto& record : records)
        if (record.count(id))
            out.push_back(record);
    return out;
}

std::string Reply::Last(uint8_t id) const
{
    return records.empty() ? std::string() : Value(records.size() - 1, id);
}

void SessionHarness::SetUp()
{
    ServerHarness::SetUp();
    Control("POLICY fixed aria-128-ofb");
    Control("USER id=alice password=secret name=Alice%20Kim position=Engineer");
}

std::unique_ptr<TestClient> SessionHarness::LoggedIn(std::string& sid, const std::string& user,
                                                     const std::string& password)
{
    auto client = Keyed();
    const Reply reply = Ask(*client, "B0", {{{1, "en"}, {23, "N"}, {53, "2"}, {76, "N"}, {169, user},
                                             {170, password}, {177, "1"}}});
    EXPECT_EQ(reply.command, "B0") << reply.Value(0, 255);
    sid = reply.Value(0, 171);
    EXPECT_FALSE(sid.empty());
    return client;
}

Reply SessionHarness::Ask(TestClient& client, const std::string& command, const std::vector<Fields>& records)
{
    std::vector<std::string> encoded;
    for (const Fields& fields : records)
        encoded.push_back(testwire::Record(fields));
    Reply reply;
    reply.ok = client.Exchange(command, testwire::Join(encoded), reply.command, reply.records);
    return reply;
}

std::string SessionHarness::Word(const std::string& reply, const std::string& key)
{
    const std::string lead = " " + key + "=";
    const size_t at = reply.find(lead);
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + lead.size();
    return reply.substr(start, reply.find(' ', start) - start);
}

std::string SessionHarness::IdxOf(const std::string& path, const std::string& user)
{
    return Word(Control("ITEM user=" + user + " -- " + path), "idx");
}

void SessionHarness::SendData(TestClient& client, const std::string& data, size_t frame, bool endWithMore)
{
    for (size_t at = 0; at < data.size(); at += frame) {
        const std::string piece = data.substr(at, frame);
        const bool last = at + piece.size() == data.size();
        client.SendFrame(last && !endWithMore ? 0x81 : 0xA1, "H3",
                         testwire::CryptPieces(client.CipherName(), client.Key(), piece, true));
    }
}

bool SessionHarness::ReadStream(TestClient& client, std::string& data, const std::string& rekey,
                                std::vector<size_t>* frameSizes, std::vector<testwire::Fields>* header)
{
    RawFrame frame;
    if (!client.ReadFrame(frame) || frame.command != "H4" || frame.flags != 0x81)
        return false;
    if (header) {
        header->clear();
        const std::string plain = testwire::Crypt(client.CipherName(), client.Key(), frame.payload, false);
        if (testwire::Decode(plain, *header) != 0)
            return false;
    }
    if (!rekey.empty())
        client.Rekey(rekey);
    data.clear();
    do {
        if (!client.ReadFrame(frame) || frame.command != "H4")
            return false;
        if (frameSizes)
            frameSizes->push_back(frame.payload.size());
        data += testwire::CryptPieces(client.CipherName(), client.Key(), frame.payload, false);
    } while (frame.flags & 0x20);
    return true;
}
