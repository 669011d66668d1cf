// Server list comparators.
#include "ServerItemCompare.h"
#include <commctrl.h>
#include <shlwapi.h>
#include <cstdlib>
#include <cstring>

namespace {

enum class Key { None, Name, Size, TypeName, Modified, Short, Former, Custom1, Custom2, Type9Long, Type9Short };

const wchar_t* TypeNameOf(const _PROTO_FOLDER_INFO& r, wchar_t (&buffer)[81])
{
    std::memcpy(buffer, r.Reserved160, sizeof r.Reserved160);
    buffer[80] = L'\0';
    return buffer;
}

int CompareKey(const _PROTO_FOLDER_INFO& a, const _PROTO_FOLDER_INFO& b, Key key)
{
    switch (key) {
    case Key::Name: return NaturalCompare(a.Name, b.Name);
    case Key::Modified: return NaturalCompare(a.Attr188, b.Attr188);
    case Key::Short: return NaturalCompare(a.Attr158, b.Attr158);
    case Key::Former: return NaturalCompare(a.Attr197, b.Attr197);
    case Key::Custom1: return NaturalCompare(a.Attr232, b.Attr232);
    case Key::Custom2: return NaturalCompare(a.Attr169, b.Attr169);
    case Key::Type9Long: return NaturalCompare(a.Attr183, b.Attr183);
    case Key::Type9Short: return NaturalCompare(a.Attr13, b.Attr13);
    case Key::TypeName: {
        wchar_t x[81], y[81];
        return NaturalCompare(TypeNameOf(a, x), TypeNameOf(b, y));
    }
    case Key::Size: {
        long long x = _strtoi64(a.Attr192, nullptr, 10), y = _strtoi64(b.Attr192, nullptr, 10);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    default: return 0;
    }
}

bool IsFolder(const _PROTO_FOLDER_INFO& r) { return std::strcmp(r.ItemType, "D") == 0; }
bool IsSpecialFolder(const _PROTO_FOLDER_INFO& r)
{
    return std::strcmp(r.Attr27, "D") == 0 && std::strcmp(r.IDX, "2") == 0;
}

template <size_t N>
int Compare(LPARAM pa, LPARAM pb, LPARAM sort, const Key (&keys)[N], bool folderRules)
{
    const auto* a = reinterpret_cast<const _PROTO_FOLDER_INFO*>(pa);
    const auto* b = reinterpret_cast<const _PROTO_FOLDER_INFO*>(pb);
    if (!a || !b)
        return -1;
    if (folderRules) {
        if (IsFolder(*a) != IsFolder(*b))
            return IsFolder(*a) ? -1 : 1;
        if (IsFolder(*a) && IsSpecialFolder(*a) != IsSpecialFolder(*b))
            return IsSpecialFolder(*a) ? 1 : -1;
    }
    size_t column = (static_cast<DWORD>(sort) >> 16) & 0xFFFF;
    bool descending = (sort & 0xFFFF) != 0;
    if (column >= N)
        return 0;
    return descending ? CompareKey(*b, *a, keys[column]) : CompareKey(*a, *b, keys[column]);
}

const Key kServer[] = {Key::Name, Key::Size, Key::TypeName, Key::Modified};
const Key kServerCustom[] = {Key::Name, Key::Custom1, Key::Custom2, Key::Size, Key::Modified};
const Key kGroup[] = {Key::Short, Key::Size, Key::TypeName, Key::Modified};
const Key kRecycle[] = {Key::Name, Key::Former, Key::Size, Key::TypeName, Key::Modified};
const Key kRecycleCustom[] = {Key::Name, Key::Custom1, Key::Custom2, Key::Former, Key::Size, Key::Modified};
const Key kType9[] = {Key::Name, Key::Size, Key::Custom1, Key::Type9Long, Key::Modified, Key::Type9Short};
const Key kType9Custom[] = {Key::Name, Key::Custom2, Key::Size, Key::Custom1, Key::Modified, Key::Type9Short};

}

int NaturalCompare(const wchar_t* a, const wchar_t* b)
{
    return StrCmpLogicalW(a, b);
}

int CALLBACK CompareServerItems(LPARAM a, LPARAM b, LPARAM s) { return Compare(a, b, s, kServer, true); }
int CALLBACK CompareServerItemsCustom(LPARAM a, LPARAM b, LPARAM s) { return Compare(a, b, s, kServerCustom, true); }
int CALLBACK CompareGroupItems(LPARAM a, LPARAM b, LPARAM s) { return Compare(a, b, s, kGroup, true); }
int CALLBACK CompareRecycleItems(LPARAM a, LPARAM b, LPARAM s) { return Compare(a, b, s, kRecycle, true); }
int CALLBACK CompareRecycleItemsCustom(LPARAM a, LPARAM b, LPARAM s) { return Compare(a, b, s, kRecycleCustom, true); }
int CALLBACK CompareType9Items(LPARAM a, LPARAM b, LPARAM s) { return Compare(a, b, s, kType9, false); }
int CALLBACK CompareType9ItemsCustom(LPARAM a, LPARAM b, LPARAM s) { return Compare(a, b, s, kType9Custom, false); }

PFNLVCOMPARE ServerComparatorFor(const char* type, bool custom)
{
    if (!type)
        type = "";
    if (!std::strcmp(type, "6") || !std::strcmp(type, "7") || !std::strcmp(type, "8") || !std::strcmp(type, "D"))
        return custom ? CompareRecycleItemsCustom : CompareRecycleItems;
    if (!std::strcmp(type, "9"))
        return custom ? CompareType9ItemsCustom : CompareType9Items;
    return custom ? CompareServerItemsCustom : CompareServerItems;
}
