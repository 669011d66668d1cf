// Direct editing against the test server and the HTTP fixture: the add-on's installer and
// update description come from the fixture's "/cab/" folder, the lock is F7 at the server, and
// the installer run and the add-on start go through the launching seams.
#include "AppRun.h"
#include "AutoAnswer.h"
#include "DirectEditAddOn.h"
#include "InstallerTrust.h"
#include "TestPaths.h"
#include "ToviProto.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <cstdlib>
#include <cstring>
#include <fstream>

using namespace apprun;

namespace {

using testpaths::FixtureDir;
using testpaths::FixturePort;

struct Start {
    std::wstring verb, file, parameters, folder;
};
std::vector<Start> g_starts;
std::vector<Start> g_setups;
int g_startResult = 1;
bool g_trusted = true;
bool g_running = false;
std::wstring g_installedVersion = L"1,0,0,0";
std::wstring g_scratch;

int RecordStart(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters, const wchar_t* folder)
{
    g_starts.push_back({verb ? verb : L"", file ? file : L"", parameters ? parameters : L"", folder ? folder : L""});
    return g_startResult;
}

int RecordSetup(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters, const wchar_t* folder)
{
    g_setups.push_back({verb ? verb : L"", file ? file : L"", parameters ? parameters : L"", folder ? folder : L""});
    return 1;
}

bool Trusted(const CString&)
{
    return g_trusted;
}

bool Running(const CString&)
{
    return g_running;
}

CString InstalledVersion(const CString&)
{
    return g_installedVersion.c_str();
}

CString ScratchFolder(int csidl)
{
    const wchar_t* name = csidl == CSIDL_PERSONAL ? L"docs" : csidl == CSIDL_COMMON_APPDATA ? L"appdata" : L"programs";
    const std::wstring path = g_scratch + L"\\" + name;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path.c_str();
}

void WriteFile(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    out << bytes;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}

TEST(DirectEditArguments, EachValueReachesTheAddOnAsOneArgument)
{
    const struct {
        const wchar_t* value;
        const wchar_t* quoted;
    } rows[] = {
        {L"demo", L"\"demo\""},
        {L"", L"\"\""},
        {L"two words", L"\"two words\""},
        {L"say \"hi\"", L"\"say \\\"hi\\\"\""},
        {L"C:\\dir\\", L"\"C:\\dir\\\\\""},
        {L"a\\\\\"b", L"\"a\\\\\\\\\\\"b\""},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(row.quoted, CDirectEditAddOn::QuoteArgument(row.value).GetString()) << CStringA(row.value).GetString();
        // What the started program's parser makes of it.
        int count = 0;
        const std::wstring line = std::wstring(L"prog.exe ") + row.quoted;
        LPWSTR* args = ::CommandLineToArgvW(line.c_str(), &count);
        ASSERT_EQ(2, count) << CStringA(row.quoted).GetString();
        EXPECT_STREQ(row.value, args[1]);
        ::LocalFree(args);
    }
    const std::vector<CString> eight = {L"http://h", L"demo", L"12", L"10", L"", L"1", L"655", L"Y"};
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW((L"p.exe " + CDirectEditAddOn::CommandLine(eight)).GetString(), &count);
    ASSERT_EQ(9, count) << "an empty value must stay an argument";
    EXPECT_STREQ(L"", args[5]);
    ::LocalFree(args);
}

class AppRoadDirectEdit : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        ASSERT_NE(0, FixturePort()) << "the HTTP fixture is not running";
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::wstring wide(name.begin(), name.end());
        m_cab = FixtureDir() + L"\\www\\" + wide;
        ::CreateDirectoryW(m_cab.c_str(), nullptr);
        m_cab += L"\\cab";
        ::CreateDirectoryW(m_cab.c_str(), nullptr);
        WriteFile(m_cab + L"\\config.ini", "[IXO_DE]\r\nVERSION=1.0.0.0\r\n");
        WriteFile(m_cab + L"\\IXO_DE_SETUP.exe", "MZ dummy installer");
        g_scratch = testpaths::ScratchDir((L"DirectEdit" + wide).c_str());
        g_starts.clear();
        g_setups.clear();
        g_startResult = 1;
        g_trusted = true;
        g_running = false;
        g_installedVersion = L"1,0,0,0";
        CDirectEditAddOn::s_pLaunch = RecordStart;
        CDirectEditAddOn::s_pRunSetup = RecordSetup;
        CDirectEditAddOn::s_pRunning = Running;
        CDirectEditAddOn::s_pVersion = InstalledVersion;
        CDirectEditAddOn::s_pFolder = ScratchFolder;
        installer::g_pTrusted = Trusted;

        const std::string reply = Control("FILE user=demo text=hello -- My Files/report.doc");
        ASSERT_EQ("OK", reply.substr(0, 2)) << reply;
        m_file.fileIdx = CString(protoserver::Control::Value(reply, "idx").c_str());
        m_file.folderIdx = L"1";
        m_file.folderType = L"";
        m_file.domainIdx = L"1";
        m_proto.Aim(m_ports.port, "5");
        ASSERT_EQ(0, m_proto.GetSecureCode(nullptr, m_proto.ServerAddress.szHost, m_proto.ServerAddress.nPort,
                                           m_proto.ServerAddress.szCode, PROT_CMD('B', '0')));
        ASSERT_EQ(0, m_proto.GetLoginInfo(L"1", CString(kUser), CString(kPassword), const_cast<char*>("en"),
                                          const_cast<char*>("Y"), const_cast<char*>("2"), false, CString(), nullptr));
        wcscpy(m_proto.LoginInfo.UserId, L"demo");
        std::strcpy(m_proto.OptionInfo.UserFileLimited, "Y");
        m_proto.ServerAddress.WebServerAddress = (L"http://127.0.0.1:" + std::to_wstring(FixturePort()) + L"/" + wide).c_str();
    }

    void TearDown() override
    {
        m_proto.CloseSocket();
        CDirectEditAddOn::s_pLaunch = m_saved.launch;
        CDirectEditAddOn::s_pRunSetup = m_saved.setup;
        CDirectEditAddOn::s_pRunning = m_saved.running;
        CDirectEditAddOn::s_pVersion = m_saved.version;
        CDirectEditAddOn::s_pFolder = m_saved.folder;
        installer::g_pTrusted = m_saved.trusted;
        AppRoadTest::TearDown();
    }

    void Install()
    {
        const std::wstring dir = g_scratch + L"\\programs\\Orlemsecurity";
        ::CreateDirectoryW((g_scratch + L"\\programs").c_str(), nullptr);
        ::CreateDirectoryW(dir.c_str(), nullptr);
        ::CreateDirectoryW((dir + L"\\VariruDAD_DE").c_str(), nullptr);
        WriteFile(dir + L"\\VariruDAD_DE\\IxoDirectEdit.exe", "MZ");
    }

    // The file's edit lock as the server sees it (INFOMATION position 3).
    bool LockedAtServer()
    {
        const std::string info = protoserver::Control::Value(Control("ITEM idx=" + std::string(CStringA(m_file.fileIdx))), "info");
        return info.size() > 3 && info[3] == '1';
    }

    std::wstring Downloaded(const wchar_t* name) const { return g_scratch + L"\\docs\\VariruDAD\\Update\\" + name; }

    protoserver::TestProto m_proto;
    DirectEditFile m_file;
    std::wstring m_cab;
    struct {
        CDirectEditAddOn::Launcher launch = CDirectEditAddOn::s_pLaunch;
        CDirectEditAddOn::Launcher setup = CDirectEditAddOn::s_pRunSetup;
        CDirectEditAddOn::ProcessProbe running = CDirectEditAddOn::s_pRunning;
        CDirectEditAddOn::VersionReader version = CDirectEditAddOn::s_pVersion;
        CDirectEditAddOn::FolderOf folder = CDirectEditAddOn::s_pFolder;
        installer::TrustCheck trusted = installer::g_pTrusted;
    } m_saved;
};

TEST_F(AppRoadDirectEdit, AMissingAddOnIsInstalledFromTheServerWhenItsSignatureHolds)
{
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    CDirectEditAddOn addOn(nullptr, &m_proto);
    EXPECT_EQ(1, addOn.OnDirectEdit(&m_file, 1));
    ASSERT_EQ(1u, g_setups.size());
    EXPECT_EQ(L"IXO_DE_SETUP.exe", g_setups[0].file);
    EXPECT_EQ(L"/S", g_setups[0].parameters);
    EXPECT_EQ(g_scratch + L"\\docs\\VariruDAD\\Update", g_setups[0].folder);
    EXPECT_EQ(std::string("MZ dummy installer").size(), static_cast<size_t>(std::ifstream(Downloaded(L"IXO_DE_SETUP.exe").c_str(), std::ios::binary | std::ios::ate).tellg()));
    EXPECT_TRUE(g_starts.empty()) << "the add-on was started before it was installed";
    EXPECT_TRUE(boxes.WaitForCount(1)) << "the finished installation was not reported";
}

TEST_F(AppRoadDirectEdit, AnInstallerTheSignatureCheckRejectsIsDeletedAndNeverRun)
{
    g_trusted = false;
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    CDirectEditAddOn addOn(nullptr, &m_proto);
    EXPECT_EQ(0, addOn.OnDirectEdit(&m_file, 1));
    EXPECT_TRUE(g_setups.empty()) << "an unverified installer ran";
    EXPECT_FALSE(Exists(Downloaded(L"IXO_DE_SETUP.exe")));
    EXPECT_TRUE(boxes.WaitForCount(1)) << "the refusal was not shown";
}

TEST_F(AppRoadDirectEdit, ANewerAddOnOnTheServerIsInstalledUnlessTheAddOnRuns)
{
    Install();
    WriteFile(m_cab + L"\\config.ini", "[IXO_DE]\r\nVERSION=1.0.0.1\r\n");
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    CDirectEditAddOn addOn(nullptr, &m_proto);
    EXPECT_EQ(0, addOn.OnDirectEdit(&m_file, 1));
    EXPECT_EQ(1u, g_setups.size()) << "the update was not installed";
    EXPECT_TRUE(g_starts.empty());
    g_setups.clear();
    g_running = true;
    EXPECT_EQ(1, addOn.OnDirectEdit(&m_file, 1)) << "a running add-on is used as it is";
    EXPECT_TRUE(g_setups.empty());
}

TEST_F(AppRoadDirectEdit, TheFileIsLockedAndTheAddOnStartsWithItsEightQuotedValues)
{
    Install();
    CDirectEditAddOn addOn(nullptr, &m_proto);
    EXPECT_EQ(1, addOn.OnDirectEdit(&m_file, 1));
    EXPECT_TRUE(LockedAtServer()) << "no F7 lock at the server";
    ASSERT_EQ(1u, g_starts.size());
    EXPECT_EQ(L"runas", g_starts[0].verb);
    EXPECT_EQ(g_scratch + L"\\programs\\Orlemsecurity\\VariruDAD_DE\\IxoDirectEdit.exe", g_starts[0].file);
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW((L"p.exe " + g_starts[0].parameters).c_str(), &count);
    ASSERT_EQ(9, count) << CStringA(g_starts[0].parameters.c_str()).GetString();
    EXPECT_EQ(m_proto.ServerAddress.WebServerAddress, CString(args[1]));
    EXPECT_STREQ(L"demo", args[2]);
    EXPECT_EQ(m_file.fileIdx, CString(args[3]));
    EXPECT_STREQ(L"1", args[4]);
    EXPECT_STREQ(L"", args[5]) << "no folder selected in the tree";
    EXPECT_STREQ(L"1", args[6]);
    EXPECT_STREQ(L"0", args[7]);
    EXPECT_STREQ(L"Y", args[8]);
    ::LocalFree(args);
}

TEST_F(AppRoadDirectEdit, AFailedStartIsReportedAndReleasesTheLock)
{
    Install();
    g_startResult = 0;
    CDirectEditAddOn addOn(nullptr, &m_proto);
    EXPECT_EQ(0, addOn.OnDirectEdit(&m_file, 1));
    EXPECT_EQ(1u, g_starts.size());
    EXPECT_FALSE(LockedAtServer()) << "the file stayed locked with nobody editing it";
}

TEST_F(AppRoadDirectEdit, SeveralSelectedFilesStartNothing)
{
    Install();
    CDirectEditAddOn addOn(nullptr, &m_proto);
    EXPECT_EQ(0, addOn.OnDirectEdit(&m_file, 2));
    EXPECT_TRUE(g_starts.empty());
    EXPECT_FALSE(LockedAtServer());
}
