// The transfer items' names: copied whole into a fixed record field or refused with a text.
#pragma once
#include "Strings.h"
#include "ToviInterfaceApi.h"
#include <cstddef>
#include <string>

namespace transfer {

// Copies src into dest[size] with its terminator; false, dest left empty, when it does not fit:
// a cut name would land the data under another file's name.
template <typename Char>
bool CopyFitting(Char* dest, size_t size, const Char* src)
{
    if (size == 0)
        return false;
    std::char_traits<Char>::assign(dest, size, Char());
    const size_t length = src ? std::char_traits<Char>::length(src) : 0;
    if (length >= size)
        return false;
    std::char_traits<Char>::copy(dest, src, length);
    return true;
}
// The refusal of an item whose name or path does not fit, naming it: a file's name too long
// (fileName), else a folder's name or a path.
TOVIINTERFACE_API CString TooLongText(const wchar_t* name, bool fileName);

}
