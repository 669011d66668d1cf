// The protocol log file: written only for the customer code "RQGROUP", under InstallDir\Log.
#include "ProtoServer.h"
#include "TestPaths.h"
#include <windows.h>
#include <string>
#include <vector>

using namespace protoserver;

namespace {

const wchar_t kKey[] = L"Software\\Varivivod\\VariruDAD";

class ProtoLogTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        m_dir = testpaths::ScratchDir(L"ProtoLogTest");
        m_proto.Aim(m_ports.port);
    }
    void TearDown() override
    {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"InstallDir");
            RegCloseKey(key);
        }
        ServerTest::TearDown();
    }
    void SetInstallDir(const std::wstring& dir)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                       static_cast<DWORD>((dir.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    void FailOnce()
    {
        ASSERT_EQ("OK", Control("FAULT close cmd=Z1").substr(0, 2));
        EXPECT_EQ(-1, m_proto.Echo({}));
    }
    // Every line of every protocol log file in the folder.
    std::vector<std::string> LogLines()
    {
        std::vector<std::string> lines;
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((m_dir + L"\\Log\\[Proto]*.txt").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            return lines;
        do {
            FILE* file = _wfopen((m_dir + L"\\Log\\" + found.cFileName).c_str(), L"rb");
            std::string text;
            char buffer[4096];
            size_t n;
            while (file && (n = fread(buffer, 1, sizeof buffer, file)) > 0)
                text.append(buffer, n);
            if (file)
                fclose(file);
            size_t at = 0, end;
            while ((end = text.find("\r\n", at)) != std::string::npos) {
                lines.push_back(text.substr(at, end - at));
                at = end + 2;
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
        return lines;
    }

    TestProto m_proto;
    std::wstring m_dir;
};

}

TEST_F(ProtoLogTest, RqgroupFailuresShowTheFixedTextAndAppendTheDetailToTheLog)
{
    SetInstallDir(m_dir);
    m_proto.CustomerCode = L"RQGROUP";
    FailOnce();
    EXPECT_EQ(L"네트워크가 불안정합니다. 새로고침 해주시기 바랍니다.", m_proto.Message());
    FailOnce();
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(2u, lines.size());
    for (const std::string& line : lines) {
        // "[hh:mm:ss] <system text> [n][10][5a31]"
        EXPECT_EQ('[', line[0]) << line;
        EXPECT_EQ("] ", line.substr(9, 2)) << line;
        EXPECT_NE(std::string::npos, line.find("[10][5a31]")) << line;
    }
}

TEST_F(ProtoLogTest, OtherCustomerCodesWriteNothing)
{
    SetInstallDir(m_dir);
    m_proto.CustomerCode = L"OTHER";
    FailOnce();
    EXPECT_NE(std::wstring::npos, m_proto.Message().find(L"[10][5a31]"));
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(ProtoLogTest, WithoutAnInstallDirNothingIsWrittenAndNothingFails)
{
    m_proto.CustomerCode = L"RQGROUP";
    FailOnce();
    EXPECT_EQ(L"네트워크가 불안정합니다. 새로고침 해주시기 바랍니다.", m_proto.Message());
    EXPECT_TRUE(LogLines().empty());
}
