// CGuestMultiDlg: the address check.
#include "GuestMultiDlg.h"
#include <windows.h>
#include <cwchar>

namespace {
bool IsControl(wchar_t c)
{
    return c < 0x20 || c == 0x7F;
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == 0xA0 || c == 0x3000;
}

bool IsSpecial(wchar_t c)
{
    return std::wcschr(L"()<>@,;:\\\"[]", c) != nullptr && c != 0;
}

// The address must survive the trip into the guest record unchanged.
bool FitsGuestRecord(const wchar_t* address, size_t length)
{
    if (length == 0)
        return false;
    BOOL lossy = FALSE;
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, address, (int)length, nullptr, 0, nullptr, &lossy);
    return bytes > 0 && bytes <= CGuestMultiDlg::kMaxEmailBytes && !lossy;
}

// Where the local part ends (the '@' outside quotes), or -1 when the quoting is broken or a
// forbidden character comes first.
int CheckLocalPart(const wchar_t* s, size_t length)
{
    bool quoted = false;
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = s[i];
        if (IsControl(c))
            return -1;
        if (quoted) {
            if (c == L'\\') {
                if (i + 1 >= length || IsControl(s[i + 1]))
                    return -1;
                ++i;
            } else if (c == L'"') {
                quoted = false;
            }
            continue;
        }
        if (c == L'"') {
            quoted = true;
            continue;
        }
        if (c == L'@')
            return (int)i;
        if (IsSpecial(c) || IsBlank(c))
            return -1;
    }
    return -1;
}

bool CheckDomain(const wchar_t* s, size_t length)
{
    if (length == 0)
        return false;
    size_t label = 0;
    bool dotted = false;
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = s[i];
        if (IsControl(c) || IsSpecial(c) || IsBlank(c))
            return false;
        if (c == L'.') {
            if (label == 0)
                return false;
            label = 0;
            dotted = true;
        } else {
            ++label;
        }
    }
    // A guest logs in from outside: a bare host name is no address.
    return label > 0 && dotted;
}
}

bool CGuestMultiDlg::VerifyEmailAddress(const wchar_t* address)
{
    if (address == nullptr)
        return false;
    const size_t length = std::wcslen(address);
    if (!FitsGuestRecord(address, length))
        return false;
    const int at = CheckLocalPart(address, length);
    if (at <= 0 || address[at - 1] == L'.')
        return false;
    return CheckDomain(address + at + 1, length - at - 1);
}
