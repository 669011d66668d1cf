// Files, folders and the HTTP fixture for the update program's tests.
#pragma once
#include "TestPaths.h"
#include <string>
#include <vector>

namespace updtest {

void MakeDirs(const std::wstring& path);
void PutFile(const std::wstring& path, const std::string& bytes);
std::string ReadFile(const std::wstring& path);
bool Exists(const std::wstring& path);
// SHA-1 of bytes as hexadecimal digits, upper or lower case.
std::string Sha1Hex(const std::string& bytes, bool upper);
std::wstring Wide(const std::string& s);
// The folder of the running test program (the build's bin folder).
std::wstring ProgramFolder();
using testpaths::FixtureDir;
using testpaths::FixturePort;
// Runs exe with arguments as the client starts it and answers its message boxes with OK while
// it runs; texts (when given) receives their static texts. The exit code, or 0xFFFFFFFF when
// it could not start, 0xFFFFFFFE when it did not end within timeoutMs.
unsigned long RunAnswering(const std::wstring& exe, const std::wstring& arguments, unsigned long timeoutMs,
                           std::vector<std::wstring>* texts);
// Names in folder (and below) that end with suffix.
int CountFilesEndingWith(const std::wstring& folder, const std::wstring& suffix);
// The state of the backup edition's service (SERVICE_RUNNING...), or 0 when it is not installed.
unsigned long ServiceState();

}
