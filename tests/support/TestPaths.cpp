// Scratch folders and tool paths for test programs running under Wine.
#include "TestPaths.h"
#include <windows.h>
#include <shellapi.h>

namespace testpaths {

std::wstring NativeDir()
{
    // The runner exports the Linux path; T: is the build root, so native/ sits at T:\native.
    return L"T:\\native";
}

std::wstring ScratchDir(const wchar_t* name)
{
    std::wstring dir = L"T:\\scratch";
    CreateDirectoryW(dir.c_str(), nullptr);
    dir += L"\\";
    dir += name;
    // Remove what an earlier run left, then start empty.
    std::wstring from = dir + L'\0';
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

}
