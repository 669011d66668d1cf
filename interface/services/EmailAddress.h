// The guests' e-mail address check: the syntax the server takes and the room of a guest record.
#pragma once
#include "ToviInterfaceApi.h"
#include <cstddef>

// Room for an address in a guest record, in bytes of the ANSI code page, without the
// terminating zero. The guest dialogs' address edits allow no more than this.
const size_t kMaxEmailBytes = 319;

// True when address is one valid e-mail address: a local part of printable ASCII without
// blanks or any of ( ) < > @ , ; : \ " [ ], or quoted strings that open at its start, after a
// full stop or after another quoted string and are followed by a full stop or the '@'; not
// empty and not ending in a full stop; then a domain of the same characters with at least one
// full stop, none at its start and never two in a row. Anything outside ASCII is refused, and
// so is an address longer than a guest record holds. No side effects; any thread.
TOVIINTERFACE_API bool VerifyEmailAddress(const wchar_t* address);
