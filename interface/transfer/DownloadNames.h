// What a download may do with a name that came from the server.
#pragma once
#include "Strings.h"

namespace download {

// Whether a server item name can become a file or folder inside the chosen local folder: not
// empty, no path separator or drive colon, not "." or "..". Anything else could write outside
// the folder the user chose.
bool IsSafeLocalName(const wchar_t* name);

// The local path of name inside folder, with one separator between them whether or not the
// folder ends with one (a drive root such as C:\ does).
CString LocalPathIn(const CString& folder, const CString& name);

}
