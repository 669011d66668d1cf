// Scratch folders and tool paths for test programs running under Wine.
#include "TestPaths.h"
#include <windows.h>
#include <shellapi.h>
#include <cstdlib>
#include <fstream>

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
    RemoveTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

void RemoveTree(const std::wstring& path)
{
    std::wstring from = path + L'\0';
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

std::wstring FixtureDir()
{
    const char* dir = std::getenv("TOVI_HTTP_FIXTURE");
    const std::string s = dir ? dir : "T:\\win\\httpfixture";
    return std::wstring(s.begin(), s.end());
}

int FixturePort()
{
    std::ifstream in((FixtureDir() + L"\\port").c_str());
    int port = 0;
    in >> port;
    return port;
}

}
