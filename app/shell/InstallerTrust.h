// The check every downloaded installer of the product family passes before it is started:
// the server sends no digest of its installers, so Windows' verdict on the file's code
// signature is what stands between a tampered download and an elevated start.
#pragma once
#include "Strings.h"

class CWnd;

namespace installer {

// Whether Windows reports a valid code signature on the file (WinVerifyTrust by default).
typedef bool (*TrustCheck)(const CString& path);
extern TrustCheck g_pTrusted;

// True when the installer may start. Otherwise it is deleted and the user told why.
bool Accept(CWnd* owner, const CString& path);

}
