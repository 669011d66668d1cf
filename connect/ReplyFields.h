// Copying reply values into fixed-width record slots, and building request values within their
// buffers. Internal to the connection library.
//
// Every copy reads the value up to its first zero byte, cuts it to the slot's width less one
// unit and leaves the slot zero-filled behind it, so that no value, however long or malformed,
// runs past its slot or leaves it unterminated.
#pragma once
#include "Strings.h"
#include <cstddef>
#include <string>

namespace replyfield {

void CopyText(char* dest, size_t width, const std::string& value);
// UTF-8 (the server's three-byte form for each surrogate half) to UTF-16. maxBytes limits the
// bytes of the value that are decoded.
void DecodeUtf8(wchar_t* dest, size_t capacity, const std::string& value, size_t maxBytes = std::string::npos);
// ANSI (the system code page) to UTF-16.
void WidenAnsi(wchar_t* dest, size_t capacity, const std::string& value);
// A date text: widened, and rewritten as day/month/year when english is set.
void DateText(wchar_t* dest, size_t capacity, const std::string& value, bool english);

template <size_t N> void CopyText(char (&dest)[N], const std::string& value) { CopyText(dest, N, value); }
template <size_t N> void DecodeUtf8(wchar_t (&dest)[N], const std::string& value) { DecodeUtf8(dest, N, value); }
template <size_t N> void WidenAnsi(wchar_t (&dest)[N], const std::string& value) { WidenAnsi(dest, N, value); }
template <size_t N> void DateText(wchar_t (&dest)[N], const std::string& value, bool english)
{
    DateText(dest, N, value, english);
}

// "YYYY-MM-DD HH:MM:SS" (at least 19 characters) as "D/M/YYYY H:M:S"; empty for a shorter text.
CString ChangeEngData(const wchar_t* text);
// The interface language from the settings: 9 English, 17 Japanese, 18 Korean (also for any
// other number). False when the setting is missing, empty or longer than 4 characters.
bool GetLanguageSetting(int& language);
// True when dates are to be shown the English way.
bool EnglishDates();

// Request values. A null text is an empty one; empty values are never sent.
std::string Text(const char* text);
// UTF-8 of a wide text within a buffer of bufferBytes (terminator included): characters that
// no longer fit are left off, never a part of one.
std::string EncodeUtf8(const wchar_t* text, int bufferBytes);
// ANSI of a wide text; false when a non-empty text does not convert.
bool NarrowAnsi(const CString& text, std::string& out);
// Decimal text of an unsigned 64-bit number.
std::string Decimal(unsigned long long value);

}
