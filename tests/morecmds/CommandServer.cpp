// The command tests' view of the test server.
#include <winsock2.h>
#include "CommandServer.h"
#include "HexBytes.h"
#include <cstdio>
#include <cstring>

using protoserver::Control;

namespace morecmds {

namespace {

std::string Unhex(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    return out;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

}

void CommandTest::SetUp()
{
    ServerTest::SetUp();
    if (HasFatalFailure())
        return;
    m_tops = AddUser("alice", "1001");
    ASSERT_EQ(static_cast<size_t>(kTopCount), m_tops.size());
    m_proto.Aim(m_ports.port);
    LogIn("alice");
}

std::string CommandTest::Ok(const std::string& line)
{
    std::string reply = Control(line);
    EXPECT_EQ("OK", reply.substr(0, 2)) << line << " -> " << reply;
    return reply;
}

std::vector<std::string> CommandTest::AddUser(const std::string& id, const std::string& code)
{
    std::string reply = Ok("USER id=" + id + " password=pw name=" + id + "%20name code=" + code);
    return Split(Control::Value(reply, "tops"), ',');
}

void CommandTest::LogIn(const std::string& id)
{
    m_proto.ClearResult();
    _PROT msg;
    m_proto.NewMessage(msg, PROT_CMD('B', '0'));
    ProtRecord record;
    record[1] = "ko";
    record[53] = "2";
    record[169] = id;
    record[170] = "pw";
    record[177] = "1";
    msg.records.push_back(record);
    ASSERT_EQ(0, m_proto.Request(msg)) << Narrow(m_proto.ResultInfo.wszMessage);
    std::string sessions = Ok("SESSIONS user=" + id);
    std::string sid = sessions.substr(3, sessions.find(' ', 3) - 3);
    ASSERT_FALSE(sid.empty()) << sessions;
    std::memset(m_proto.LoginInfo.SessionId, 0, sizeof m_proto.LoginInfo.SessionId);
    std::strncpy(m_proto.LoginInfo.SessionId, sid.c_str(), sizeof m_proto.LoginInfo.SessionId - 1);
}

std::string CommandTest::Folder(const std::string& path, const std::string& user)
{
    return Control::Value(Ok("FOLDER user=" + user + " -- " + path), "idx");
}

std::string CommandTest::File(const std::string& path, const std::string& text, const std::string& user)
{
    return Control::Value(Ok("FILE user=" + user + " text=" + text + " -- " + path), "idx");
}

std::string CommandTest::Listing(const std::string& path, const std::string& user)
{
    std::string reply = Ok("LIST user=" + user + " -- " + path);
    return reply.size() > 3 ? reply.substr(3) : std::string();
}

std::string CommandTest::Item(const std::string& idx, const std::string& key)
{
    return Control::Value(Control("ITEM idx=" + idx), key);
}

Records CommandTest::Last(const char* command)
{
    Records records;
    const std::string reply = Control(std::string("LAST cmd=") + command);
    if (reply.substr(0, 2) != "OK" || std::stoi("0" + Control::Value(reply, "records")) == 0)
        return records;
    for (const std::string& record : Split(Control::Value(reply, "rec"), '/')) {
        Fields fields;
        if (!record.empty()) {
            for (const std::string& field : Split(record, ',')) {
                const size_t colon = field.find(':');
                fields[std::atoi(field.substr(0, colon).c_str())] = Unhex(field.substr(colon + 1));
            }
        }
        records.push_back(fields);
    }
    return records;
}

void CommandTest::ReplyWith(const char* command, const Records& records, const char* count)
{
    Ok(std::string("FAULT payload hex=") + hexbytes::UpperHex(EncodePayload(records)) + " count=" + count + " cmd=" + command);
}

std::string Utf8(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string Narrow(const wchar_t* text)
{
    return Utf8(text ? text : L"");
}

std::string Describe(const Fields& fields)
{
    std::string out;
    for (const auto& field : fields)
        if (field.first != 171)
            out += std::to_string(field.first) + "=" + field.second + " ";
    return out;
}

std::string EncodePayload(const Records& records)
{
    std::string out;
    for (size_t i = 0; i < records.size(); ++i) {
        if (i > 0)
            out += '\xFE';
        for (const auto& field : records[i]) {
            out += static_cast<char>(field.first);
            const std::string& value = field.second;
            if (field.first >= 101) {
                const size_t n = value.size();
                if (n < 0x80) {
                    out += static_cast<char>(n);
                } else if (n < 0x800) {
                    out += static_cast<char>(0xC0 | (n >> 6));
                    out += static_cast<char>(0x80 | (n & 0x3F));
                } else {
                    out += static_cast<char>(0xE0 | (n >> 12));
                    out += static_cast<char>(0x80 | ((n >> 6) & 0x3F));
                    out += static_cast<char>(0x80 | (n & 0x3F));
                }
            }
            out += value;
        }
    }
    return out;
}

}
