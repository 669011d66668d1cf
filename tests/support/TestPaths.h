// Where test programs find the native tools' output and a scratch folder of their own.
#pragma once
#include <string>

namespace testpaths {
// The native test-tools build folder, as a Windows path (the runner maps the build root to T:).
std::wstring NativeDir();
// A fresh, empty scratch folder for the calling test program under the build root.
std::wstring ScratchDir(const wchar_t* name);
// Deletes a folder with everything in it, asking nothing; a missing folder is no error.
void RemoveTree(const std::wstring& path);
// The HTTP fixture's folder (served files under www\, its port file and request log) and its
// port; 0 when it is not running.
std::wstring FixtureDir();
int FixturePort();
}
