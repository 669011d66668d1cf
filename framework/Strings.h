// Wide and 8-bit strings (CString, CStringA) and a growable array of wide strings.
//
// CStringT<Ch> is one std::basic_string; CString (wchar_t) and CStringA (char) are its two
// instantiations, exported from Framework.dll. They are aliases: include this header rather
// than forward-declaring "class CString". Members are defined out of line in Strings.cpp (an
// inline member of an imported instantiation is neither exported nor emitted by the caller
// when not inlined), so allocation and release happen inside the framework DLL.
//
// Conversions between the two use the ANSI code page (CP_ACP).
// Positions and counts are int, as Win32 code expects; out-of-range arguments are clamped,
// never undefined.
//
// Format/AppendFormat take printf-style formats with the Windows CRT meaning in both widths:
// in a wide format %s is a wide string and %S a narrow one (%ls and %hs are explicit); %I64d
// is a 64-bit integer. CString and CStringA arguments may be passed directly: they are passed
// on as their character pointers. Other class types do not compile as arguments.
// Any other printf-style function (wsprintf, swprintf, _snwprintf) needs GetString(): GCC
// compiles a CString passed through "..." without a word and hands over the object's address.
#pragma once
#include "FrameworkApi.h"
#include <windows.h>
#include <cstdarg>
#include <string>
#include <type_traits>
#include <vector>

template <typename Ch> class CStringT;
using CString = CStringT<wchar_t>;
using CStringW = CStringT<wchar_t>;
using CStringA = CStringT<char>;

namespace fwdetail {
// How Format passes each argument on to the CRT: strings as pointers, the rest unchanged.
template <typename T> inline T FormatArg(T value)
{
    static_assert(std::is_trivially_copyable<T>::value,
                  "pass class objects to Format as pointers (c_str(), GetString())");
    return value;
}
inline const wchar_t* FormatArg(const CStringT<wchar_t>& s);
inline const char* FormatArg(const CStringT<char>& s);
}

template <typename Ch> class CStringT {
public:
    using XCHAR = Ch;
    using YCHAR = typename std::conditional<std::is_same<Ch, wchar_t>::value, char, wchar_t>::type;
    using PCXSTR = const Ch*;
    using PXSTR = Ch*;
    using PCYSTR = const YCHAR*;

    CStringT();
    CStringT(const CStringT& other);
    CStringT(CStringT&& other) noexcept;
    CStringT(PCXSTR text);                  // null is the empty string
    CStringT(PCXSTR text, int length);      // the first length characters (zeros included)
    CStringT(PCYSTR text);                  // from the other width, ANSI code page
    CStringT(PCYSTR text, int length);
    CStringT(const CStringT<YCHAR>& other); // from the other width, ANSI code page
    explicit CStringT(Ch c, int repeat = 1);
    explicit CStringT(const std::basic_string<Ch>& s);
    ~CStringT();

    CStringT& operator=(const CStringT& other);
    CStringT& operator=(CStringT&& other) noexcept;
    CStringT& operator=(PCXSTR text);
    CStringT& operator=(PCYSTR text);
    CStringT& operator=(const CStringT<YCHAR>& other);
    CStringT& operator=(Ch c);

    CStringT& operator+=(const CStringT& s);
    CStringT& operator+=(PCXSTR text);
    CStringT& operator+=(Ch c);
    void Append(PCXSTR text, int length);
    void AppendChar(Ch c);
    void SetString(PCXSTR text, int length);

    // The text stays valid until the string is next changed.
    operator PCXSTR() const;
    PCXSTR GetString() const;
    const std::basic_string<Ch>& Str() const;

    int GetLength() const;
    bool IsEmpty() const;
    void Empty();
    Ch GetAt(int index) const;              // 0 when out of range
    void SetAt(int index, Ch c);            // ignored when out of range
    // Any integer index; an int-only overload would be ambiguous with the pointer conversion.
    template <typename I, typename = typename std::enable_if<std::is_integral<I>::value>::type>
    Ch operator[](I index) const { return GetAt(static_cast<int>(index)); }

    // <0, 0, >0 as wcscmp. NoCase is ordinal ignoring case; Collate uses the user locale.
    int Compare(PCXSTR text) const;
    int CompareNoCase(PCXSTR text) const;
    int Collate(PCXSTR text) const;
    int CollateNoCase(PCXSTR text) const;

    CStringT Left(int count) const;
    CStringT Mid(int first) const;
    CStringT Mid(int first, int count) const;
    CStringT Right(int count) const;
    CStringT SpanIncluding(PCXSTR charSet) const;
    CStringT SpanExcluding(PCXSTR charSet) const;

    // -1 when not found or start is past the end.
    int Find(Ch c, int start = 0) const;
    int Find(PCXSTR sub, int start = 0) const;
    int FindOneOf(PCXSTR charSet) const;
    int ReverseFind(Ch c) const;

    // Each returns how many were replaced/removed, or the new length for Insert/Delete.
    int Replace(Ch oldChar, Ch newChar);
    int Replace(PCXSTR oldText, PCXSTR newText); // left to right, non-overlapping
    int Remove(Ch c);
    int Insert(int index, Ch c);
    int Insert(int index, PCXSTR text);
    int Delete(int index, int count = 1);

    CStringT& Trim();
    CStringT& Trim(Ch c);
    CStringT& Trim(PCXSTR charSet);
    CStringT& TrimLeft();
    CStringT& TrimLeft(Ch c);
    CStringT& TrimLeft(PCXSTR charSet);
    CStringT& TrimRight();
    CStringT& TrimRight(Ch c);
    CStringT& TrimRight(PCXSTR charSet);

    CStringT& MakeLower();
    CStringT& MakeUpper();
    CStringT& MakeReverse();

    // Next token from pos: leading delimiters are skipped; pos moves past the delimiter that
    // ends the token. At the end it returns empty and sets pos to -1.
    CStringT Tokenize(PCXSTR delimiters, int& pos) const;

    // Direct writing: GetBuffer(n) gives room for at least n characters plus the terminating
    // zero, keeping the current text. ReleaseBuffer(-1) takes the length up to the first zero.
    PXSTR GetBuffer();
    PXSTR GetBuffer(int minLength);
    PXSTR GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void ReleaseBufferSetLength(int newLength);

    // From the string tables of the registered resource modules, then the program.
    bool LoadString(UINT id);
    bool LoadString(HINSTANCE module, UINT id);

    template <typename... A> void Format(PCXSTR format, const A&... args)
    {
        FormatArgs(format, fwdetail::FormatArg(args)...);
    }
    template <typename... A> void Format(UINT formatId, const A&... args)
    {
        CStringT format;
        format.LoadString(formatId);
        FormatArgs(format.GetString(), fwdetail::FormatArg(args)...);
    }
    template <typename... A> void AppendFormat(PCXSTR format, const A&... args)
    {
        AppendFormatArgs(format, fwdetail::FormatArg(args)...);
    }
    void FormatV(PCXSTR format, va_list args);
    void AppendFormatV(PCXSTR format, va_list args);

private:
    void FormatArgs(PCXSTR format, ...);
    void AppendFormatArgs(PCXSTR format, ...);
    void AssignOther(PCYSTR text, int length);

    std::basic_string<Ch> m_s;
};

extern template class FW_API CStringT<wchar_t>;
extern template class FW_API CStringT<char>;

namespace fwdetail {
inline const wchar_t* FormatArg(const CStringT<wchar_t>& s) { return s.GetString(); }
inline const char* FormatArg(const CStringT<char>& s) { return s.GetString(); }
}

// Concatenation.
template <typename Ch> inline CStringT<Ch> operator+(const CStringT<Ch>& a, const CStringT<Ch>& b)
{
    CStringT<Ch> r(a);
    r += b;
    return r;
}
template <typename Ch> inline CStringT<Ch> operator+(const CStringT<Ch>& a, const Ch* b)
{
    CStringT<Ch> r(a);
    r += b;
    return r;
}
template <typename Ch> inline CStringT<Ch> operator+(const Ch* a, const CStringT<Ch>& b)
{
    CStringT<Ch> r(a);
    r += b;
    return r;
}
template <typename Ch> inline CStringT<Ch> operator+(const CStringT<Ch>& a, Ch b)
{
    CStringT<Ch> r(a);
    r += b;
    return r;
}
template <typename Ch> inline CStringT<Ch> operator+(Ch a, const CStringT<Ch>& b)
{
    CStringT<Ch> r(a);
    r += b;
    return r;
}

// Comparison: ordinal, by code unit; a null pointer compares as the empty string.
#define FW_STRING_COMPARE(op)                                                              \
    template <typename Ch> inline bool operator op(const CStringT<Ch>& a, const CStringT<Ch>& b) \
    { return a.Compare(b.GetString()) op 0; }                                               \
    template <typename Ch> inline bool operator op(const CStringT<Ch>& a, const Ch* b)       \
    { return a.Compare(b) op 0; }                                                           \
    template <typename Ch> inline bool operator op(const Ch* a, const CStringT<Ch>& b)       \
    { return 0 op b.Compare(a); }
FW_STRING_COMPARE(==)
FW_STRING_COMPARE(!=)
FW_STRING_COMPARE(<)
FW_STRING_COMPARE(>)
FW_STRING_COMPARE(<=)
FW_STRING_COMPARE(>=)
#undef FW_STRING_COMPARE

// A growable array of wide strings; indexes out of range are ignored by the setters and give
// an empty string from the getters.
class FW_API CStringArray {
public:
    CStringArray();
    CStringArray(const CStringArray& other);
    CStringArray& operator=(const CStringArray& other);
    ~CStringArray();

    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    void SetSize(int size);

    const CString& GetAt(int index) const;
    CString& ElementAt(int index);
    void SetAt(int index, const CString& value);
    void SetAtGrow(int index, const CString& value);
    const CString& operator[](int index) const { return GetAt(index); }
    CString& operator[](int index) { return ElementAt(index); }

    int Add(const CString& value); // the new element's index
    void InsertAt(int index, const CString& value, int count = 1);
    void RemoveAt(int index, int count = 1);
    void RemoveAll();
    int Append(const CStringArray& other); // index of the first appended element
    void Copy(const CStringArray& other);

private:
    std::vector<CString> m_items;
    CString m_outOfRange; // what ElementAt gives for a bad index, so a stray write hurts nothing
};
