// Wide and 8-bit strings: one generic body, width-specific work in the overloads below.
#include "Strings.h"
#include "Resources.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

using std::size_t;

size_t Length(const wchar_t* s) { return s ? wcslen(s) : 0; }
size_t Length(const char* s) { return s ? strlen(s) : 0; }

// ANSI code page conversions; an unconvertible narrow byte becomes the system default char.
void Convert(const char* text, int length, std::wstring& out)
{
    out.clear();
    if (length <= 0)
        return;
    int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (n <= 0)
        return;
    out.resize(n);
    MultiByteToWideChar(CP_ACP, 0, text, length, &out[0], n);
}

void Convert(const wchar_t* text, int length, std::string& out)
{
    out.clear();
    if (length <= 0)
        return;
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return;
    out.resize(n);
    WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], n, nullptr, nullptr);
}

// The msvcrt formatters, not the C99 ones the MinGW headers may substitute for vswprintf:
// Windows code means a wide string by %s in a wide format.
int FormatInto(wchar_t* buffer, size_t size, const wchar_t* format, va_list args)
{
    return _vsnwprintf(buffer, size, format, args);
}

int FormatInto(char* buffer, size_t size, const char* format, va_list args)
{
    return _vsnprintf(buffer, size, format, args);
}

// Appends the formatted text, growing the buffer until it fits. The CRT answers -1 both for
// "too small" and for a format it cannot convert, so growth stops at a generous ceiling.
template <typename Ch> void AppendFormatted(std::basic_string<Ch>& out, const Ch* format, va_list args)
{
    if (!format)
        return;
    const size_t kCeiling = size_t(1) << 26;
    std::vector<Ch> buffer(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = FormatInto(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n >= 0 && size_t(n) < buffer.size()) {
            out.append(buffer.data(), n);
            return;
        }
        if (buffer.size() >= kCeiling)
            return;
        buffer.resize(buffer.size() * 2);
    }
}

bool IsSpace(wchar_t c) { return iswspace(c) != 0; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

template <typename Ch> bool InSet(Ch c, const Ch* set)
{
    if (!set)
        return false;
    for (; *set; ++set) {
        if (*set == c)
            return true;
    }
    return false;
}

int Sign(int cstrResult) { return cstrResult == CSTR_LESS_THAN ? -1 : cstrResult == CSTR_GREATER_THAN ? 1 : 0; }

int CompareIgnoringCase(const std::wstring& a, const wchar_t* b)
{
    return Sign(CompareStringOrdinal(a.c_str(), int(a.size()), b, int(Length(b)), TRUE));
}

int CompareIgnoringCase(const std::string& a, const char* b)
{
    // Through UTF-16 so that trail bytes of double-byte characters are never case-folded.
    std::wstring wa, wb;
    Convert(a.c_str(), int(a.size()), wa);
    Convert(b, int(Length(b)), wb);
    return CompareIgnoringCase(wa, wb.c_str());
}

int CollateInLocale(const std::wstring& a, const wchar_t* b, DWORD flags)
{
    return Sign(CompareStringW(LOCALE_USER_DEFAULT, flags, a.c_str(), int(a.size()), b, int(Length(b))));
}

int CollateInLocale(const std::string& a, const char* b, DWORD flags)
{
    return Sign(CompareStringA(LOCALE_USER_DEFAULT, flags, a.c_str(), int(a.size()), b, int(Length(b))));
}

void ToLower(std::wstring& s) { if (!s.empty()) CharLowerBuffW(&s[0], DWORD(s.size())); }
void ToLower(std::string& s) { if (!s.empty()) CharLowerBuffA(&s[0], DWORD(s.size())); }
void ToUpper(std::wstring& s) { if (!s.empty()) CharUpperBuffW(&s[0], DWORD(s.size())); }
void ToUpper(std::string& s) { if (!s.empty()) CharUpperBuffA(&s[0], DWORD(s.size())); }

void AssignLoaded(std::wstring& out, const wchar_t* text, int length) { out.assign(text, length); }
void AssignLoaded(std::string& out, const wchar_t* text, int length) { Convert(text, length, out); }

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}

template <typename Ch> CStringT<Ch>::CStringT() = default;
template <typename Ch> CStringT<Ch>::CStringT(const CStringT& other) = default;
template <typename Ch> CStringT<Ch>::CStringT(CStringT&& other) noexcept : m_s(std::move(other.m_s)) {}
template <typename Ch> CStringT<Ch>::~CStringT() = default;

template <typename Ch> CStringT<Ch>::CStringT(PCXSTR text)
{
    if (text)
        m_s.assign(text);
}

template <typename Ch> CStringT<Ch>::CStringT(PCXSTR text, int length)
{
    if (text && length > 0)
        m_s.assign(text, length);
}

template <typename Ch> CStringT<Ch>::CStringT(PCYSTR text)
{
    AssignOther(text, int(Length(text)));
}

template <typename Ch> CStringT<Ch>::CStringT(PCYSTR text, int length)
{
    AssignOther(text, length);
}

template <typename Ch> CStringT<Ch>::CStringT(const CStringT<YCHAR>& other)
{
    AssignOther(other.GetString(), other.GetLength());
}

template <typename Ch> CStringT<Ch>::CStringT(Ch c, int repeat)
{
    if (repeat > 0)
        m_s.assign(size_t(repeat), c);
}

template <typename Ch> CStringT<Ch>::CStringT(const std::basic_string<Ch>& s) : m_s(s) {}

template <typename Ch> void CStringT<Ch>::AssignOther(PCYSTR text, int length)
{
    if (text && length > 0)
        Convert(text, length, m_s);
    else
        m_s.clear();
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(const CStringT& other) = default;

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(CStringT&& other) noexcept
{
    m_s = std::move(other.m_s);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(PCXSTR text)
{
    // The text may point into this string.
    if (text)
        m_s.assign(std::basic_string<Ch>(text));
    else
        m_s.clear();
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(PCYSTR text)
{
    AssignOther(text, int(Length(text)));
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(const CStringT<YCHAR>& other)
{
    AssignOther(other.GetString(), other.GetLength());
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(Ch c)
{
    m_s.assign(1, c);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator+=(const CStringT& s)
{
    m_s += s.m_s;
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator+=(PCXSTR text)
{
    if (text)
        m_s += std::basic_string<Ch>(text);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator+=(Ch c)
{
    m_s += c;
    return *this;
}

template <typename Ch> void CStringT<Ch>::Append(PCXSTR text, int length)
{
    if (text && length > 0)
        m_s += std::basic_string<Ch>(text, length);
}

template <typename Ch> void CStringT<Ch>::AppendChar(Ch c) { m_s += c; }

template <typename Ch> void CStringT<Ch>::SetString(PCXSTR text, int length)
{
    if (text && length > 0)
        m_s.assign(std::basic_string<Ch>(text, length));
    else
        m_s.clear();
}

template <typename Ch> CStringT<Ch>::operator PCXSTR() const { return m_s.c_str(); }
template <typename Ch> const Ch* CStringT<Ch>::GetString() const { return m_s.c_str(); }
template <typename Ch> const std::basic_string<Ch>& CStringT<Ch>::Str() const { return m_s; }
template <typename Ch> int CStringT<Ch>::GetLength() const { return int(m_s.size()); }
template <typename Ch> bool CStringT<Ch>::IsEmpty() const { return m_s.empty(); }
template <typename Ch> void CStringT<Ch>::Empty() { m_s.clear(); m_s.shrink_to_fit(); }

template <typename Ch> Ch CStringT<Ch>::GetAt(int index) const
{
    return index >= 0 && index < GetLength() ? m_s[index] : Ch(0);
}

template <typename Ch> void CStringT<Ch>::SetAt(int index, Ch c)
{
    if (index >= 0 && index < GetLength())
        m_s[index] = c;
}

template <typename Ch> int CStringT<Ch>::Compare(PCXSTR text) const
{
    std::basic_string<Ch> other = text ? text : std::basic_string<Ch>();
    int r = m_s.compare(other);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

template <typename Ch> int CStringT<Ch>::CompareNoCase(PCXSTR text) const
{
    return CompareIgnoringCase(m_s, text);
}

template <typename Ch> int CStringT<Ch>::Collate(PCXSTR text) const
{
    return CollateInLocale(m_s, text, 0);
}

template <typename Ch> int CStringT<Ch>::CollateNoCase(PCXSTR text) const
{
    return CollateInLocale(m_s, text, NORM_IGNORECASE);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Left(int count) const
{
    return CStringT(m_s.c_str(), Clamp(count, 0, GetLength()));
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Mid(int first) const
{
    return Mid(first, GetLength());
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Mid(int first, int count) const
{
    first = Clamp(first, 0, GetLength());
    count = Clamp(count, 0, GetLength() - first);
    return CStringT(m_s.c_str() + first, count);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Right(int count) const
{
    count = Clamp(count, 0, GetLength());
    return CStringT(m_s.c_str() + GetLength() - count, count);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::SpanIncluding(PCXSTR charSet) const
{
    int n = 0;
    while (n < GetLength() && InSet(m_s[n], charSet))
        ++n;
    return Left(n);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::SpanExcluding(PCXSTR charSet) const
{
    int n = 0;
    while (n < GetLength() && !InSet(m_s[n], charSet))
        ++n;
    return Left(n);
}

template <typename Ch> int CStringT<Ch>::Find(Ch c, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    size_t at = m_s.find(c, start);
    return at == std::basic_string<Ch>::npos ? -1 : int(at);
}

template <typename Ch> int CStringT<Ch>::Find(PCXSTR sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    size_t at = m_s.find(sub, start);
    return at == std::basic_string<Ch>::npos ? -1 : int(at);
}

template <typename Ch> int CStringT<Ch>::FindOneOf(PCXSTR charSet) const
{
    if (!charSet || !*charSet)
        return -1;
    size_t at = m_s.find_first_of(charSet);
    return at == std::basic_string<Ch>::npos ? -1 : int(at);
}

template <typename Ch> int CStringT<Ch>::ReverseFind(Ch c) const
{
    size_t at = m_s.rfind(c);
    return at == std::basic_string<Ch>::npos ? -1 : int(at);
}

template <typename Ch> int CStringT<Ch>::Replace(Ch oldChar, Ch newChar)
{
    int count = 0;
    for (Ch& c : m_s) {
        if (c == oldChar) {
            c = newChar;
            ++count;
        }
    }
    return count;
}

template <typename Ch> int CStringT<Ch>::Replace(PCXSTR oldText, PCXSTR newText)
{
    size_t oldLength = Length(oldText);
    if (oldLength == 0)
        return 0;
    // Copies first: either text may point into this string.
    const std::basic_string<Ch> from(oldText, oldLength);
    const std::basic_string<Ch> to = newText ? newText : std::basic_string<Ch>();
    std::basic_string<Ch> result;
    int count = 0;
    size_t pos = 0;
    for (size_t at; (at = m_s.find(from, pos)) != std::basic_string<Ch>::npos; pos = at + oldLength) {
        result.append(m_s, pos, at - pos);
        result += to;
        ++count;
    }
    if (count) {
        result.append(m_s, pos, std::basic_string<Ch>::npos);
        m_s.swap(result);
    }
    return count;
}

template <typename Ch> int CStringT<Ch>::Remove(Ch c)
{
    size_t before = m_s.size();
    m_s.erase(std::remove(m_s.begin(), m_s.end(), c), m_s.end());
    return int(before - m_s.size());
}

template <typename Ch> int CStringT<Ch>::Insert(int index, Ch c)
{
    m_s.insert(size_t(Clamp(index, 0, GetLength())), 1, c);
    return GetLength();
}

template <typename Ch> int CStringT<Ch>::Insert(int index, PCXSTR text)
{
    if (text)
        m_s.insert(size_t(Clamp(index, 0, GetLength())), std::basic_string<Ch>(text));
    return GetLength();
}

template <typename Ch> int CStringT<Ch>::Delete(int index, int count)
{
    index = Clamp(index, 0, GetLength());
    count = Clamp(count, 0, GetLength() - index);
    m_s.erase(size_t(index), size_t(count));
    return GetLength();
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::Trim() { return TrimRight().TrimLeft(); }
template <typename Ch> CStringT<Ch>& CStringT<Ch>::Trim(Ch c) { return TrimRight(c).TrimLeft(c); }
template <typename Ch> CStringT<Ch>& CStringT<Ch>::Trim(PCXSTR set) { return TrimRight(set).TrimLeft(set); }

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimLeft()
{
    size_t n = 0;
    while (n < m_s.size() && IsSpace(m_s[n]))
        ++n;
    m_s.erase(0, n);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimLeft(Ch c)
{
    size_t n = 0;
    while (n < m_s.size() && m_s[n] == c)
        ++n;
    m_s.erase(0, n);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimLeft(PCXSTR set)
{
    size_t n = 0;
    while (n < m_s.size() && InSet(m_s[n], set))
        ++n;
    m_s.erase(0, n);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimRight()
{
    size_t n = m_s.size();
    while (n > 0 && IsSpace(m_s[n - 1]))
        --n;
    m_s.resize(n);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimRight(Ch c)
{
    size_t n = m_s.size();
    while (n > 0 && m_s[n - 1] == c)
        --n;
    m_s.resize(n);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimRight(PCXSTR set)
{
    size_t n = m_s.size();
    while (n > 0 && InSet(m_s[n - 1], set))
        --n;
    m_s.resize(n);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::MakeLower()
{
    ToLower(m_s);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::MakeUpper()
{
    ToUpper(m_s);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::MakeReverse()
{
    std::reverse(m_s.begin(), m_s.end());
    return *this;
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Tokenize(PCXSTR delimiters, int& pos) const
{
    if (pos < 0 || pos >= GetLength()) {
        pos = -1;
        return CStringT();
    }
    if (!delimiters || !*delimiters) {
        // Nothing separates: the rest is the one remaining token.
        CStringT rest = Mid(pos);
        pos = GetLength();
        return rest;
    }
    size_t first = m_s.find_first_not_of(delimiters, size_t(pos));
    if (first == std::basic_string<Ch>::npos) {
        pos = -1;
        return CStringT();
    }
    size_t end = m_s.find_first_of(delimiters, first);
    if (end == std::basic_string<Ch>::npos)
        end = m_s.size();
    pos = int(end < m_s.size() ? end + 1 : end);
    return CStringT(m_s.c_str() + first, int(end - first));
}

template <typename Ch> Ch* CStringT<Ch>::GetBuffer()
{
    return &m_s[0];
}

template <typename Ch> Ch* CStringT<Ch>::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_s.resize(size_t(minLength));
    return &m_s[0];
}

template <typename Ch> Ch* CStringT<Ch>::GetBufferSetLength(int length)
{
    m_s.resize(size_t(std::max(length, 0)));
    return &m_s[0];
}

template <typename Ch> void CStringT<Ch>::ReleaseBuffer(int newLength)
{
    if (newLength < 0) {
        size_t zero = m_s.find(Ch(0));
        newLength = int(zero == std::basic_string<Ch>::npos ? m_s.size() : zero);
    }
    m_s.resize(size_t(std::min(newLength, GetLength())));
}

template <typename Ch> void CStringT<Ch>::ReleaseBufferSetLength(int newLength)
{
    ReleaseBuffer(std::max(newLength, 0));
}

template <typename Ch> bool CStringT<Ch>::LoadString(UINT id)
{
    const wchar_t* text = nullptr;
    int length = 0;
    if (!AfxLoadStringResource(id, &text, &length))
        return false;
    AssignLoaded(m_s, text, length);
    return true;
}

template <typename Ch> bool CStringT<Ch>::LoadString(HINSTANCE module, UINT id)
{
    const wchar_t* text = nullptr;
    int length = 0;
    if (!AfxLoadStringResourceFrom(module, id, &text, &length))
        return false;
    AssignLoaded(m_s, text, length);
    return true;
}

template <typename Ch> void CStringT<Ch>::FormatV(PCXSTR format, va_list args)
{
    std::basic_string<Ch> result;
    AppendFormatted(result, format, args);
    m_s.swap(result);
}

template <typename Ch> void CStringT<Ch>::AppendFormatV(PCXSTR format, va_list args)
{
    // Formatted apart first: an argument may be this string's own text.
    std::basic_string<Ch> added;
    AppendFormatted(added, format, args);
    m_s += added;
}

template <typename Ch> void CStringT<Ch>::FormatArgs(PCXSTR format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

template <typename Ch> void CStringT<Ch>::AppendFormatArgs(PCXSTR format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

template class CStringT<wchar_t>;
template class CStringT<char>;

CStringArray::CStringArray() = default;
CStringArray::CStringArray(const CStringArray& other) : m_items(other.m_items) {}
CStringArray::~CStringArray() = default;

CStringArray& CStringArray::operator=(const CStringArray& other)
{
    m_items = other.m_items;
    return *this;
}

void CStringArray::SetSize(int size)
{
    m_items.resize(size_t(std::max(size, 0)));
}

const CString& CStringArray::GetAt(int index) const
{
    static const CString empty;
    return index >= 0 && index < GetSize() ? m_items[index] : empty;
}

CString& CStringArray::ElementAt(int index)
{
    if (index >= 0 && index < GetSize())
        return m_items[index];
    m_outOfRange.Empty();
    return m_outOfRange;
}

void CStringArray::SetAt(int index, const CString& value)
{
    if (index >= 0 && index < GetSize())
        m_items[index] = value;
}

void CStringArray::SetAtGrow(int index, const CString& value)
{
    if (index < 0)
        return;
    if (index >= GetSize())
        m_items.resize(size_t(index) + 1);
    m_items[index] = value;
}

int CStringArray::Add(const CString& value)
{
    m_items.push_back(value);
    return GetSize() - 1;
}

void CStringArray::InsertAt(int index, const CString& value, int count)
{
    if (index < 0 || count <= 0)
        return;
    // Past the end grows the array, as SetAtGrow does.
    if (index > GetSize())
        m_items.resize(size_t(index));
    CString copy(value); // value may be one of ours
    m_items.insert(m_items.begin() + index, size_t(count), copy);
}

void CStringArray::RemoveAt(int index, int count)
{
    if (index < 0 || index >= GetSize() || count <= 0)
        return;
    count = std::min(count, GetSize() - index);
    m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
}

void CStringArray::RemoveAll()
{
    m_items.clear();
}

int CStringArray::Append(const CStringArray& other)
{
    int first = GetSize();
    std::vector<CString> copy(other.m_items); // other may be this array
    m_items.insert(m_items.end(), copy.begin(), copy.end());
    return first;
}

void CStringArray::Copy(const CStringArray& other)
{
    if (this != &other)
        m_items = other.m_items;
}
