// Where test programs find the native tools' output and a scratch folder of their own.
#pragma once
#include <string>

namespace testpaths {
// The native test-tools build folder, as a Windows path (the runner maps the build root to T:).
std::wstring NativeDir();
// A fresh, empty scratch folder for the calling test program under the build root.
std::wstring ScratchDir(const wchar_t* name);
}
