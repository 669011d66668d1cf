// A process of the ordinary user tries to make the elevated update program install its files:
// it writes the product's registry values, an update description of its own (with the right
// digests, enciphered or not) and runs a server of its own. The real CorvaneUpdate.exe, started
// as the client starts it, with Windows' own signature check, must write nothing outside its
// folder and replace no program file.
#include "TinyHttp.h"   // before windows.h: it brings winsock2.h
#include "RegistryFixture.h"
#include "SHA1.h"
#include "TestPaths.h"

#include "UpdaterFiles.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

using namespace updtest;

namespace {

std::string Ini(const std::string& name, const std::string& file, const std::string& hash)
{
    return "[" + name + "]\r\nFILENAME=" + file + "\r\nTARGETDIR=\r\nDESTDIR=Home\r\nENCRYPT=\r\nVERSION=\r\nHASH=" + hash +
           "\r\nPREACTION=\r\nPOSTACTION=\r\n";
}

bool Shown(const std::vector<std::wstring>& texts, const wchar_t* start)
{
    for (const std::wstring& t : texts)
        if (t.compare(0, wcslen(start), start) == 0)
            return true;
    return false;
}

}

class UpdaterAttack : public regtest::RegistryTest {
protected:
    void SetUp() override
    {
        regtest::RegistryTest::SetUp();
        std::wstring scratch = testpaths::ScratchDir(L"UpdaterAttack");
        m_product = scratch + L"\\Program Files\\Corvane";
        m_system = scratch + L"\\System32";
        MakeDirs(m_product);
        MakeDirs(m_system);
        PutFile(m_product + L"\\CorvaneUpdate.exe", ReadFile(ProgramFolder() + L"\\CorvaneUpdate.exe"));
        PutFile(m_product + L"\\CorvaneIXO.exe", ReadFile(ProgramFolder() + L"\\standin\\UpdaterStandIn.exe"));
        m_connect = ReadFile(ProgramFolder() + L"\\ToviConnect.dll");
        ASSERT_FALSE(m_connect.empty());
        PutFile(m_product + L"\\ToviConnect.dll", m_connect);
        PutFile(m_system + L"\\version.dll", "the system's own");

        wchar_t documents[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
        m_description = std::wstring(documents) + L"\\VariruDAD\\Update\\Update.ini";
        m_saved = ReadFile(m_description);
        m_hadDescription = Exists(m_description);

        regtest::PutText(regtest::kProductKeys[0], L"UpdateURL", m_http.Base());
        regtest::PutText(regtest::kProductKeys[0], L"Language", L"1033");
        // Bytes of the attacker's: a real program image, so that nothing but its signature
        // tells it from the product's own.
        m_payload = ReadFile(ProgramFolder() + L"\\standin\\UpdaterSleeper.exe");
        ASSERT_FALSE(m_payload.empty());
        m_http.Serve("/ToviConnect.dll", m_payload);
        m_http.Serve("/version.dll", m_payload);
        m_http.Serve("/Readme.txt", "the attacker's text");
    }

    void TearDown() override
    {
        if (m_hadDescription)
            PutFile(m_description, m_saved);
        else
            DeleteFileW(m_description.c_str());
        regtest::RegistryTest::TearDown();
    }

    unsigned long RunUpdater(const std::wstring& arguments)
    {
        return RunAnswering(m_product + L"\\CorvaneUpdate.exe", arguments, 90000, &m_texts);
    }

    int LeftOvers(const std::wstring& folder)
    {
        return CountFilesEndingWith(folder, L".upd-new") + CountFilesEndingWith(folder, L".upd-old") +
               CountFilesEndingWith(folder, L".upd-enc") + CountFilesEndingWith(folder, L".upd-journal");
    }

    TinyHttp m_http;
    std::wstring m_product, m_system, m_description;
    std::string m_connect, m_payload, m_saved;
    bool m_hadDescription = false;
    std::vector<std::wstring> m_texts;
};

TEST_F(UpdaterAttack, AnInstallFolderFromTheRegistryIsNotFollowed)
{
    regtest::PutText(regtest::kProductKeys[0], L"InstallDir", m_system);
    PutFile(m_description, Ini("V", "version.dll", Sha1Hex(m_payload, true)) + Ini("N", "planted.dll", Sha1Hex(m_payload, true)));
    m_http.Serve("/planted.dll", m_payload);
    EXPECT_NE(0xFFFFFFFEu, RunUpdater(L"0"));
    EXPECT_TRUE(Shown(m_texts, L"The install folder in the registry is not the folder of the update program."))
        << testing::PrintToString(m_texts);
    EXPECT_EQ("the system's own", ReadFile(m_system + L"\\version.dll"));
    EXPECT_FALSE(Exists(m_system + L"\\planted.dll"));
    EXPECT_FALSE(Exists(m_product + L"\\planted.dll"));
    EXPECT_EQ(0, LeftOvers(m_system) + LeftOvers(m_product));
    EXPECT_TRUE(m_http.Requests().empty()) << "nothing was fetched";
}

TEST_F(UpdaterAttack, AProgramFileWithTheRightDigestButNoSignatureIsNotInstalled)
{
    regtest::PutText(regtest::kProductKeys[0], L"InstallDir", m_product);
    PutFile(m_description, Ini("C", "ToviConnect.dll", Sha1Hex(m_payload, true)) + Ini("N", "planted.dll", Sha1Hex(m_payload, true)));
    m_http.Serve("/planted.dll", m_payload);
    EXPECT_NE(0xFFFFFFFEu, RunUpdater(L"0"));
    EXPECT_TRUE(Shown(m_texts, L"Fail to file's signature verification.")) << testing::PrintToString(m_texts);
    EXPECT_EQ(m_connect, ReadFile(m_product + L"\\ToviConnect.dll"));
    EXPECT_FALSE(Exists(m_product + L"\\planted.dll"));
    EXPECT_EQ(0, LeftOvers(m_product));
}

TEST_F(UpdaterAttack, TheServiceIsRegisteredOnlyFromTheUpdateProgramsFolderAndSigner)
{
    PutFile(m_system + L"\\ToviService.exe", ReadFile(ProgramFolder() + L"\\standin\\UpdaterTestService.exe"));
    PutFile(m_product + L"\\ToviService.exe", ReadFile(ProgramFolder() + L"\\standin\\UpdaterTestService.exe"));
    for (const std::wstring& folder : { m_system, m_product }) {
        regtest::PutText(regtest::kProductKeys[2], L"InstallDir", folder);
        m_texts.clear();
        EXPECT_EQ(1u, RunUpdater(L"service:install"));
        SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
        SC_HANDLE service = manager != nullptr ? OpenServiceW(manager, L"CorvaneIXO", SERVICE_QUERY_STATUS) : nullptr;
        EXPECT_EQ(nullptr, service) << "a LocalSystem service was registered from " << testing::PrintToString(folder);
        if (service != nullptr)
            CloseServiceHandle(service);
        if (manager != nullptr)
            CloseServiceHandle(manager);
    }
}
