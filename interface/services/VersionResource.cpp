// A file's version resource read whole.
#include "VersionResource.h"

bool ReadVersionResource(const wchar_t* path, std::vector<BYTE>& data)
{
    data.clear();
    if (path == nullptr)
        return false;
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return false;
    data.resize(size);
    if (!::GetFileVersionInfoW(path, 0, size, data.data())) {
        data.clear();
        return false;
    }
    return true;
}
