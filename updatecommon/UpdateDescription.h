// One section of an update description (Update.ini and its edition variants, Customize.ini) and
// the reader that the client's update check and the update program share. Any thread; the
// description is input from outside, and what its names may reach is checked by the callers
// (updaterules::IsSafeRelativePath).
#pragma once
#include <cstddef>
#include <vector>

// One section of a description file, every field zero-terminated within its capacity.
struct _UPDATE_MODULE_INFO {
    wchar_t SectionName[128];
    wchar_t FileName[260];      // on the server (".enc" when enciphered)
    wchar_t LocalName[260];     // FileName without its last 4 characters when enciphered
    wchar_t TargetDir[260];     // folder on the server, below the description's base
    wchar_t DestDir[260];       // "Home", "Update" (the update program) or another
    wchar_t Encrypt[2];
    wchar_t Version[62];        // empty: compare by digest only
    wchar_t Hash[128];          // SHA-1 of the plain file, hexadecimal
    wchar_t PreAction[62];      // "KILL": end the running program of that name first
    wchar_t PostAction[62];
};

namespace updatedesc {

// Which ENCRYPT values mark an enciphered server file: the client's check takes "Y" and "y",
// the update program "Y" alone (a lower-case "y" keeps ".enc" in its local name and URL).
enum class EncryptMark { kEitherCase, kUpperCaseOnly };

// Copies text into a field of room characters (room > 0), cut to room - 1 and zero-terminated.
void CopyField(wchar_t* out, size_t room, const wchar_t* text);

// True when the section's ENCRYPT marks an enciphered server file.
bool IsEncrypted(const _UPDATE_MODULE_INFO& section, EncryptMark mark);

// Appends one record per section of the INI file, in file order: every key read as text
// (missing: empty), cut to its field. -1 when the file has no section or cannot be read, else 0.
int Read(const wchar_t* iniPath, EncryptMark mark, std::vector<_UPDATE_MODULE_INFO>& out);

}
