// Item ID list helpers.
#include "ShellItems.h"
#include <cstring>

namespace {

USHORT ItemBytes(const BYTE* item)
{
    USHORT cb;
    std::memcpy(&cb, item, sizeof cb);
    return cb;
}

}

UINT PidlSize(LPCITEMIDLIST list)
{
    if (!list)
        return 0;
    const BYTE* p = reinterpret_cast<const BYTE*>(list);
    UINT size = 0;
    for (USHORT cb; (cb = ItemBytes(p + size)) != 0;)
        size += cb;
    return size + sizeof(USHORT);
}

LPITEMIDLIST ConcatPidl(IMalloc* allocator, LPCITEMIDLIST first, LPCITEMIDLIST second)
{
    if (!allocator || !first)
        return nullptr;
    if (!second)
        return ClonePidl(allocator, first);
    UINT size1 = PidlSize(first) - sizeof(USHORT);
    UINT size2 = PidlSize(second);
    BYTE* result = static_cast<BYTE*>(allocator->Alloc(size1 + size2));
    if (!result)
        return nullptr;
    std::memcpy(result, first, size1);
    std::memcpy(result + size1, second, size2);
    return reinterpret_cast<LPITEMIDLIST>(result);
}

LPITEMIDLIST ClonePidl(IMalloc* allocator, LPCITEMIDLIST list)
{
    if (!allocator || !list)
        return nullptr;
    UINT size = PidlSize(list);
    void* copy = allocator->Alloc(size);
    if (!copy)
        return nullptr;
    std::memcpy(copy, list, size);
    return static_cast<LPITEMIDLIST>(copy);
}

LPCITEMIDLIST GetLastPidlItem(LPCITEMIDLIST list)
{
    if (!list)
        return nullptr;
    const BYTE* item = reinterpret_cast<const BYTE*>(list);
    USHORT cb = ItemBytes(item);
    if (cb == 0)
        return list;
    while (ItemBytes(item + cb) != 0) {
        item += cb;
        cb = ItemBytes(item);
    }
    return reinterpret_cast<LPCITEMIDLIST>(item);
}

CString ShellItemPath(LPCITEMIDLIST absolute)
{
    wchar_t path[MAX_PATH] = {};
    if (!absolute || !::SHGetPathFromIDListW(absolute, path))
        return CString();
    return CString(path);
}

bool SameShellItem(LPCITEMIDLIST first, LPCITEMIDLIST second)
{
    if (!first || !second)
        return false;
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop)) || !desktop)
        return false;
    HRESULT hr = desktop->CompareIDs(0, first, second);
    desktop->Release();
    return SUCCEEDED(hr) && HRESULT_CODE(hr) == 0;
}
