// A clean HKEY_CURRENT_USER for settings tests: the product keys, the policies, the Run values
// and the drive labels are removed before and after each test, and the registry helpers read
// and write values as the installer and the client would see them.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

namespace regtest {

extern const wchar_t* const kProductKeys[4];
extern const wchar_t kPolicyRoot[];
extern const wchar_t kRunKey[];
extern const wchar_t kMountPoints[];

void RemoveAll();
// Creates the key as the installer does.
void CreateKey(const std::wstring& path);
void PutText(const std::wstring& path, const wchar_t* name, const std::wstring& text);
void PutDword(const std::wstring& path, const wchar_t* name, DWORD value);
bool GetText(const std::wstring& path, const wchar_t* name, std::wstring& text);
bool GetDword(const std::wstring& path, const wchar_t* name, DWORD& value);
bool HasKey(const std::wstring& path);
bool HasValue(const std::wstring& path, const wchar_t* name);
int SubKeyCount(const std::wstring& path);

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveAll(); }
    void TearDown() override { RemoveAll(); }
};

}
