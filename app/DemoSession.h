// The stand-in main window's conversation with the server: the address from the settings, the
// key exchange, the log-in, folder listings and the log-out, through one CToviProto.
//
// One thread at a time: the window's worker runs Open and List, the window thread runs Close
// once the worker has ended. Every call returns when the server answered or the connection
// failed; nothing throws.
#pragma once
#include "ToviProto.h"
#include <string>
#include <vector>

// One row of a listing.
struct DemoItem {
    CString name;
    bool folder = false;
    __int64 size = 0;           // bytes; files only
    CString date;               // as the server sends it
    std::string idx, didx;
};

// Where a step stopped.
enum class DemoStage {
    Address,    // no server address in the settings
    Connect,    // connection or key exchange failed
    LogIn,      // the server refused the log-in
    List,       // the listing failed
    Done,
};

struct DemoOutcome {
    DemoStage stage = DemoStage::Done;
    int code = 0;               // the failing call's result
    CString message;            // the server's or the library's words; may be empty
    std::vector<DemoItem> items;
};

class CDemoSession {
public:
    // Reads the server address, keys a connection and, when user is not empty, logs in and
    // lists the account's top level. languageCode goes with the log-in ("ko", "en", "ja").
    DemoOutcome Open(const CString& domain, const CString& user, const CString& password, const char* languageCode);
    // Every page of one folder ("0", "0" is the top level). Needs a log-in.
    DemoOutcome List(const std::string& idx, const std::string& didx);
    // Logs out when logged in, and drops the connection.
    void Close();

    // Read between calls.
    CString Server() const;     // "host:port"; empty before Open found an address
    CString Cipher() const { return m_cipher; }
    bool LoggedIn() const { return m_loggedIn; }
    CString UserName() const { return m_proto.LoginInfo.UserName; }
    CString UserId() const { return m_proto.LoginInfo.UserId; }

private:
    DemoOutcome Failure(DemoStage stage, int code) const;

    CToviProto m_proto;
    CString m_cipher;
    bool m_haveAddress = false;
    bool m_loggedIn = false;
};
