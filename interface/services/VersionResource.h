// A file's version resource read whole, for VerQueryValue. Private to the interface library.
#pragma once
#include <windows.h>
#include <vector>

// False when the file has no version resource or it cannot be read.
bool ReadVersionResource(const wchar_t* path, std::vector<BYTE>& data);
