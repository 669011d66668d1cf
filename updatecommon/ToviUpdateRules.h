// The update decisions that the client's update check and the update program make alike: the
// version comparison, the version text of a file and the names a description may give. Both
// link this library; neither exports it. Any thread.
#pragma once
#include <string>

namespace updaterules {

// True when the dotted server version ("a.b.c.d", missing parts 0) is higher than the local one.
bool IsNewer(const wchar_t* localVersion, const wchar_t* serverVersion);

// A name or folder from a description that stays below the folder it is joined to: no "..",
// nor a part Windows may read as one (only dots and spaces), no absolute path, no drive letter
// or other colon. Empty only when allowEmpty.
bool IsSafeRelativePath(const wchar_t* path, bool allowEmpty);

// The ProductVersion text of a version resource (as GetFileVersionInfo returns it) in its first
// translation; "1, 0, 2, 5" is given as "1.0.2.5". False when the resource has none.
bool ProductVersionText(const void* resource, std::wstring& version);

}
