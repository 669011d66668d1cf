// Runs the Linux sqlite3 tool from a test under Wine and returns what it printed (UTF-8).
#pragma once
#include <string>

namespace sqlitetool {
// Linux path of a Windows path (empty when Wine cannot map it).
std::string UnixPath(const std::wstring& windowsPath);
// `sqlite3 -separator '|' <db> <sql>`; output as printed, "<error>" when the tool did not run.
std::string Query(const std::wstring& database, const std::string& sql);
}
