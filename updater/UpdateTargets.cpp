// The install folder of a run and one spelling per installed file.
#include "UpdateTargets.h"
#include "ToviUpdate.h"
#include <set>

namespace updatetargets {

namespace {

CString ModulePath()
{
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? CString(path) : CString();
}

}

ProgramPathFn g_pProgramPath = ModulePath;

CString OwnProgramPath() { return g_pProgramPath(); }

CString OwnFolder()
{
    CString path = OwnProgramPath();
    int slash = path.ReverseFind(L'\\');
    return slash > 0 ? path.Left(slash) : CString();
}

namespace {

CString FullPath(const CString& path)
{
    CString p(path);
    p.Replace(L'/', L'\\');
    wchar_t full[MAX_PATH * 2] = {};
    DWORD length = ::GetFullPathNameW(p, MAX_PATH * 2, full, nullptr);
    if (length > 0 && length < MAX_PATH * 2)
        p = full;
    // Windows drops trailing dots and spaces of a name when it opens it.
    while (!p.IsEmpty() && (p[p.GetLength() - 1] == L'\\' || p[p.GetLength() - 1] == L'.' || p[p.GetLength() - 1] == L' '))
        p.Delete(p.GetLength() - 1);
    p.MakeLower();
    return p;
}

}

CString FileKey(const CString& path)
{
    CString key = FullPath(path);
    if (key.GetLength() > 4 && key.Right(4) == L".enc")
        key = FullPath(key.Left(key.GetLength() - 4));
    return key;
}

bool SameFolder(const CString& a, const CString& b)
{
    return !a.IsEmpty() && !b.IsEmpty() && FullPath(a) == FullPath(b);
}

Choice ChooseInstallDir(int index, bool elevated, CString& dir)
{
    CString registered = CToviUpdate::GetInstallDir(index);
    dir.Empty();
    if (registered.IsEmpty())
        return Choice::kEmpty;
    if (!elevated) {
        dir = registered;
        return Choice::kUse;
    }
    dir = OwnFolder();
    return SameFolder(registered, dir) ? Choice::kUse : Choice::kRefused;
}

CString FirstDuplicate(const UpdateFileList& list)
{
    std::set<CString> seen;
    for (const _UPDATE_FILE_ITEM& item : list)
        if (!seen.insert(FileKey(item.TargetPath)).second)
            return item.TargetPath;
    return CString();
}

}
