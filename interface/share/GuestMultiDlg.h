// CGuestMultiDlg: the guest dialog of folders shared with several guests. For now only its
// address check, which the guest lists call after an address was typed in place.
#pragma once
#include "ToviInterfaceApi.h"

class TOVIINTERFACE_API CGuestMultiDlg {
public:
    // Room for an address in a guest record, in bytes of the ANSI code page, without the
    // terminating zero.
    enum { kMaxEmailBytes = 319 };

    // True when address is one syntactically valid e-mail address: exactly one '@' outside
    // quoted strings, a non-empty local part and domain; the local part has no control
    // characters or blanks, none of ( ) < > @ , ; : \ " [ ] outside quoted strings, and does not
    // end in a dot; the domain has none of them at all, no empty label and at least one dot. An address that does
    // not fit a guest record once in the ANSI code page (or has characters that code page cannot
    // hold) is refused rather than cut. No side effects; any thread.
    static bool VerifyEmailAddress(const wchar_t* address);
};
