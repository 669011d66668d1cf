// Windows' verdict on a file's code signature and who signed it: the check that stands between
// a downloaded program and its start, shared by the main program's add-on installers and the
// update program (a small static library both link).
//
// Any thread. The check is a seam: WinVerifyTrust by default, a test puts its own in g_pCheck.
#pragma once
#include <string>

namespace codesign {

// True when Windows trusts the file's Authenticode signature; signer (when given) receives the
// signing certificate's subject, empty when the file is not trusted.
typedef bool (*CheckFn)(const wchar_t* path, std::wstring* signer);
extern CheckFn g_pCheck;

// Whether Windows trusts the file's signature.
bool Trusted(const wchar_t* path);
// The subject of the trusted signature on path; empty when it carries none.
std::wstring SignerOf(const wchar_t* path);
// True when path carries a trusted signature of signer. An empty signer accepts nothing.
bool SignedBy(const wchar_t* path, const std::wstring& signer);

// Whether a file is a program image that Windows would load or start: named .exe, .dll, .sys,
// .ocx, .cpl, .scr, .drv, .com or .efi, or beginning with the "MZ" of an image header.
bool IsExecutableImage(const wchar_t* name, const wchar_t* contentPath);

}
