// The protocol side of a log-in that the form and the web log-in windows share: the B0
// exchange with its take-over question, the settings offered when the server cannot be reached,
// and the password change a reset password asks for.
//
// Called on the log-in window's thread; the session object is the window's while it runs.
#pragma once
#include "Strings.h"
#include "ToviInterfaceApi.h"
#include <functional>

class CToviProto;
class CWnd;

namespace loginflow {

enum class Outcome {
    LoggedIn,       // LoginInfo holds the new session
    NoConnection,   // the server was not reached; the connection is closed
    Refused,        // the server said no and the user was told (or declined the take-over)
};

struct Request {
    CString domainIndex;
    CString userId;
    CString password;
    const char* language;   // "ko", "en" or "jp"
    int product;            // 2: the backup product's client kind
    bool singleSignOn;
};

// Connects (a live connection is reused) and logs in. A user logged in elsewhere (2210) is asked
// whether to take the session over, and the log-in is repeated with force "Y". Any other refusal
// shows the server's words, or message 12070 when it sent none. busy(false) is called before
// every question and box, busy(true) again before a repeat. On NoConnection the connection
// error is in *error.
Outcome LogIn(CWnd* window, CToviProto* proto, const Request& request, const std::function<void(bool)>& busy,
              int* error);

// Asks whether to open the settings (message 12070) and runs them with the session's time-outs;
// true when the user changed them (the session then holds the checked server's lists).
bool OfferSettings(CWnd* window, CToviProto* proto);

// A reset password must be changed before the session is used: true when none was asked for or
// the user changed it (its new text in *newPassword when given), false when the user declined.
bool SettleResetPassword(CWnd* window, CToviProto* proto, CString* newPassword);

// A site with an inside and an outside server, once the inside server's domains are in the session:
// they are pinned to the inside server and the outside server's are added behind them, asked on a
// connection of their own with the given set-up code and the session's time-outs. A silent
// outside server adds nothing.
TOVIINTERFACE_API void JoinOutsideDomains(CToviProto* proto, const char* inHost, int inPort, const char* outHost,
                                          int outPort, const char* setUpCode);

}
