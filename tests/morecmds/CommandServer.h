// The command tests' view of the test server: a logged-in user with the standard top-level
// folders, set-up by path, the fields of the last request as the server saw them, and replies
// of the tests' own making.
#pragma once
#include "ProtoServer.h"
#include <map>
#include <string>
#include <vector>

namespace morecmds {

// Field id -> value bytes, one map per record.
typedef std::map<int, std::string> Fields;
typedef std::vector<Fields> Records;

// Top-level folders of a new user, in the server's order.
enum Top { kMyFiles, kShared, kGroup, kGuest, kFileBox, kBackup, kRecycleBin, kTopCount };

class CommandTest : public protoserver::ServerTest {
protected:
    void SetUp() override;

    // A control line that must succeed; its reply.
    std::string Ok(const std::string& line);
    // Another account; its top-level folder indexes.
    std::vector<std::string> AddUser(const std::string& id, const std::string& code);
    // Logs m_proto in as the user (password "pw"), the session id in LoginInfo.
    void LogIn(const std::string& id);
    std::string Folder(const std::string& path, const std::string& user = "alice");
    std::string File(const std::string& path, const std::string& text, const std::string& user = "alice");
    // "name:idx" entries of a folder, folders first.
    std::string Listing(const std::string& path, const std::string& user = "alice");
    std::string Item(const std::string& idx, const std::string& key);
    // The newest request of that command as the server decoded it.
    Records Last(const char* command);
    // The next count replies to the command carry these records instead of the server's.
    void ReplyWith(const char* command, const Records& records, const char* count = "1");

    protoserver::TestProto m_proto;
    std::vector<std::string> m_tops;   // alice's
};

// Bytes as the ANSI/UTF-8 text of a wide literal, for comparisons in failure output.
std::string Utf8(const std::wstring& text);
std::string Narrow(const wchar_t* text);
// Fields of one record, the session id left out (it changes per run).
std::string Describe(const Fields& fields);

// The test's own payload encoding: fixed-size ids take their values as given.
std::string EncodePayload(const Records& records);

}
