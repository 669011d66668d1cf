// The decisions of the log-in windows that need no window: language codes, what a log-in saves,
// the option flags, port checks, update addresses and the folder-password digest. The dialogs
// call these; tests call them directly.
#pragma once
#include "ToviInterfaceApi.h"
#include "Strings.h"
#include <cstddef>

namespace loginrules {

// The settings dialogs' two server labels in a language (0x12, 0x09 or 0x11; anything else
// Korean): the text libraries carry no ids for them.
TOVIINTERFACE_API const wchar_t* ServerAddressLabel(unsigned short language);
TOVIINTERFACE_API const wchar_t* ServerPortLabel(unsigned short language);

// "ko" for 0x12, "en" for 0x09, "jp" for 0x11; anything else "ko".
TOVIINTERFACE_API const char* LanguageCode(unsigned short language);

// The flags and texts a successful log-in stores. The id is kept when either box is ticked;
// the password only with automatic log-in, otherwise the stored one is emptied.
struct SavedLogin {
    int saveUserId;
    int autoLogin;
    CString userId;
    CString password;
};
TOVIINTERFACE_API SavedLogin LoginToSave(bool saveIdChecked, bool autoLoginChecked, const CString& userId,
                                         const CString& password);

// Copies id into a fixed buffer of capacity characters, cut so that the terminator always fits.
TOVIINTERFACE_API void CopyUserId(wchar_t* dest, size_t capacity, const CString& id);

// Whether the flag at position of a LOGIN OPTION text is set ('1'); a short text reads '0'.
TOVIINTERFACE_API bool OptionOn(const char* option, size_t size, int position);
// Whether the field at position (0 domain, 1 language, 2 user id, 3 password) is shown: only an
// explicit '0' hides it, so a missing option keeps every field.
TOVIINTERFACE_API bool FieldShown(const char* option, size_t size, int position);

// A typed port: 1-65535, digits only (blanks around allowed). -1 when it is not a usable port.
TOVIINTERFACE_API int ParsePort(const CString& text);
// A "host:port" text of the domain options: false when either part is missing or the port is
// not 1-65535.
TOVIINTERFACE_API bool SplitHostPort(const char* text, char* host, size_t hostSize, int* port);

// A typed server address with a leading "http://" or "https://" removed and blanks trimmed.
TOVIINTERFACE_API CString StripScheme(const CString& address);

// The update address of the explorer: the first domain's address when there is one, else
// "http://host" with ":" and the web port, ":80" when the port is empty.
TOVIINTERFACE_API CString UpdateAddress(const char* firstDomainAddress, const char* host, const wchar_t* webPort);

// The session's web root from the stored server web address: blanks trimmed, "http://" added
// when the text names no scheme, trailing "/" dropped (pages append paths that start with "/").
// Empty when nothing but a scheme is left or the scheme is neither http nor https, so that no
// page is opened on a bare "http://" and the session id never goes to a file or script address.
TOVIINTERFACE_API CString WebRoot(const CString& storedAddress);

// The folder-password digest: 64 lower-case hexadecimal characters of SHA-256 over the 40
// lower-case hexadecimal characters of SHA-1 over the password's ANSI bytes. Empty for an empty
// password.
TOVIINTERFACE_API CString PasswordDigest(const CString& password);

}
