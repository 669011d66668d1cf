// What a download may do with a name that came from the server.
#include "DownloadNames.h"
#include <cwchar>

namespace download {

bool IsSafeLocalName(const wchar_t* name)
{
    if (!name || !name[0])
        return false;
    if (wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0)
        return false;
    return wcspbrk(name, L"\\/:") == nullptr;
}

CString LocalPathIn(const CString& folder, const CString& name)
{
    CString path = folder;
    while (!path.IsEmpty() && (path[path.GetLength() - 1] == L'\\' || path[path.GetLength() - 1] == L'/'))
        path = path.Left(path.GetLength() - 1);
    return path + L"\\" + name;
}

}
