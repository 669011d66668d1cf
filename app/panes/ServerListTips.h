// Tool-tip texts of the server list: shortening and copying into the notification's buffer.
#pragma once
#include "Strings.h"
#include <windows.h>
#include <vector>

// Texts over 80 characters show their first 76 and "...".
CString ShortenToolTip(const CString& text);
// Copies text into a wide buffer of chars characters, terminator included, never splitting a
// surrogate pair.
void CopyToolTipText(wchar_t* buffer, size_t chars, const CString& text);
// Converts text into a narrow buffer of bytes bytes in codePage, terminator included, cut after
// the last whole character that fits.
void CopyToolTipText(char* buffer, size_t bytes, const CString& text, UINT codePage = CP_ACP);
// The locked-file tip: "잠금파일" and the lock owner's name and id.
CString LockedFileTip(const wchar_t* ownerName, const wchar_t* ownerId);

struct _PROTO_FOLDER_INFO;

// One status icon of a row: the information flag it stands for and its image in the status
// image list. Drawing and tool tips lay the icons out alike, 24 pixels apart.
struct StatusSlot {
    int flag;
    int image;
};
std::vector<StatusSlot> StatusSlotsOf(const _PROTO_FOLDER_INFO& record);
// The message id of a status icon's tip; 0 for none.
unsigned StatusTipMessage(int flag, bool folder);
