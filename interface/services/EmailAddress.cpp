// The guests' e-mail address check.
#include "EmailAddress.h"
#include <cstring>
#include <cwchar>

namespace {

// Everything outside printable ASCII counts as a control character: an address is ASCII.
bool IsControl(wchar_t c)
{
    return c < 0x20 || c >= 0x7F;
}

bool IsSpecial(wchar_t c)
{
    return c != 0 && std::wcschr(L"()<>@,;:\\\"[]", c) != nullptr;
}

// A character of an unquoted local part or of the domain.
bool IsAtomChar(wchar_t c)
{
    return c > L' ' && !IsControl(c) && !IsSpecial(c);
}

// Where the local part's '@' stands, or -1 when the local part breaks the rule.
int CheckLocalPart(const wchar_t* s, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = s[i];
        // A quoted string opens only at the start, after a full stop or after another one.
        if (c == L'"' && (i == 0 || s[i - 1] == L'.' || s[i - 1] == L'"')) {
            size_t j = i + 1;
            for (; j < length && s[j] != L'"'; ++j) {
                if (s[j] == L'\\' && j + 1 < length && s[j + 1] == L' ') {
                    ++j;
                    continue;
                }
                if (IsControl(s[j]))
                    return -1;
            }
            if (j >= length)
                return -1;
            i = j + 1;
            if (i < length && s[i] == L'@')
                return static_cast<int>(i);
            if (i >= length || s[i] != L'.')
                return -1;
            continue;
        }
        if (c == L'@')
            return static_cast<int>(i);
        if (!IsAtomChar(c))
            return -1;
    }
    return -1;
}

bool CheckDomain(const wchar_t* s, size_t length)
{
    if (length == 0 || s[0] == L'.')
        return false;
    bool dotted = false;
    for (size_t i = 0; i < length; ++i) {
        if (s[i] == L'.') {
            if (s[i - 1] == L'.')
                return false;
            dotted = true;
        } else if (!IsAtomChar(s[i])) {
            return false;
        }
    }
    return dotted;
}

}

bool VerifyEmailAddress(const wchar_t* address)
{
    if (address == nullptr)
        return false;
    // The whole address is checked and must fit a guest record: a longer one is refused, never
    // cut. Being ASCII, it takes one byte a character in any code page.
    const size_t length = std::wcslen(address);
    if (length > kMaxEmailBytes)
        return false;
    const int at = CheckLocalPart(address, length);
    if (at <= 0 || address[at - 1] == L'.')
        return false;
    return CheckDomain(address + at + 1, length - at - 1);
}
