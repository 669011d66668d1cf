// CToviUpdate end to end against the local HTTP fixture, whose enciphered files come from
// OpenSSL: downloads, the module and image checks, the update program's replacement, the
// list check, names that would leave the install folder, and ending processes.
#include "FileBytes.h"
#include "RegistryFixture.h"
#include "SHA1.h"
#include "SystemFactsFake.h"
#include "TestPaths.h"
#include "ToviUpdate.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using testpaths::FixtureDir;
using testpaths::FixturePort;

void MakeDirs(const std::wstring& path)
{
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == L'\\')
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
}

void PutFile(const std::wstring& path, const std::string& bytes)
{
    MakeDirs(path.substr(0, path.rfind(L'\\')));
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Sha1Hex(const std::string& bytes)
{
    CSHA1 sha;
    sha.Update(reinterpret_cast<const unsigned char*>(bytes.data()), unsigned(bytes.size()));
    sha.Final();
    char hex[41] = {};
    sha.ReportHashA(hex, 41, CSHA1::REPORT_HEX_LOWER);
    return hex;
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.rfind(L'\\'));
}

std::string VersionedModule() { return ReadFile(ModuleFolder() + L"\\VersionedModule.dll"); }

}

// Each test serves its own folder of the fixture and has its own install and data folders.
class UpdateTest : public regtest::RegistryTest {
protected:
    void SetUp() override
    {
        regtest::RegistryTest::SetUp();
        ASSERT_NE(0, FixturePort()) << "the HTTP fixture is not running";
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_name = Wide(name);
        m_www = FixtureDir() + L"\\www\\" + m_name;
        MakeDirs(m_www);
        m_base = L"http://127.0.0.1:" + std::to_wstring(FixturePort()) + L"/" + m_name;
        std::wstring scratch = testpaths::ScratchDir((L"Update" + m_name).c_str());
        m_install = scratch + L"\\install";
        m_documents = scratch + L"\\docs";
        MakeDirs(m_install);
        MakeDirs(m_documents);
        m_data = m_documents + L"\\VariruDAD";
        regtest::PutText(regtest::kProductKeys[0], L"InstallDir", m_install);
        m_facts.SetDocuments(m_documents);
        m_facts.SetVersion(6, 1);
        m_facts.SetElevation(CSystemFacts::kElevationKnown, true);
    }

    // The plain description; the fixture enciphers it when Update.ini.enc is asked for.
    void Describe(const std::string& ini) { PutFile(m_www + L"\\control\\app\\Update.ini", ini); }
    void Customize(const std::string& ini) { PutFile(m_www + L"\\control\\image\\Customize.ini", ini); }
    void Serve(const std::wstring& relative, const std::string& bytes) { PutFile(m_www + L"\\" + relative, bytes); }
    void Rules(const std::wstring& relative, const std::string& rules) { PutFile(m_www + L"\\" + relative + L".http", rules); }
    void Install(const std::wstring& name, const std::string& bytes) { PutFile(m_install + L"\\" + name, bytes); }
    void Image(const std::wstring& name, const std::string& bytes) { PutFile(m_data + L"\\Image\\" + name, bytes); }

    std::wstring m_name, m_www, m_base, m_install, m_documents, m_data;
    FakeSystemFacts m_facts;
};

TEST_F(UpdateTest, DownloadsAFileWhole)
{
    std::string body(150000, 'x');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = char(i * 13);
    Serve(L"file.bin", body);
    CToviUpdate update;
    std::wstring target = m_data + L"\\file.bin";
    MakeDirs(m_data);
    ASSERT_TRUE(update.HTTPDown(nullptr, (m_base + L"/file.bin").c_str(), target.c_str()));
    EXPECT_TRUE(filebytes::Same(body, ReadFile(target)));
}

TEST_F(UpdateTest, FailedDownloadsLeaveNoFile)
{
    struct Row { const char* why; const wchar_t* name; const char* rules; };
    const Row rows[] = {
        { "404", L"missing.bin", nullptr },
        { "status 500", L"broken.bin", "status 500\n" },
        { "no Content-Length", L"nolength.bin", "no-length\n" },
        // A short body used to be kept as if it were the file.
        { "short body", L"short.bin", "short 100\n" },
        { "time-out", L"slow.bin", "delay-ms 4500\n" },
    };
    MakeDirs(m_data);
    for (const Row& r : rows) {
        if (std::wstring(r.name) != L"missing.bin")
            Serve(r.name, std::string(5000, 'y'));
        if (r.rules != nullptr)
            Rules(r.name, r.rules);
        std::wstring target = m_data + L"\\" + r.name;
        PutFile(target, "older");
        CToviUpdate update;
        EXPECT_FALSE(update.HTTPDown(nullptr, (m_base + L"/" + r.name).c_str(), target.c_str())) << r.why;
        if (std::string(r.why) == "short body" || std::string(r.why) == "no Content-Length") {
            EXPECT_FALSE(Exists(target)) << r.why;
        }
    }
    CToviUpdate update;
    EXPECT_FALSE(update.HTTPDown(nullptr, L"", (m_data + L"\\x").c_str()));
    EXPECT_FALSE(update.HTTPDown(nullptr, (m_base + L"/x").c_str(), L""));
}

TEST_F(UpdateTest, ADescriptionReadsIntoRecordsInFileOrder)
{
    std::wstring ini = m_data + L"\\Update.ini";
    PutFile(ini, "[CORVANEUPDATE]\nFILENAME=CorvaneUpdate.exe.enc\nTARGETDIR=app\nDESTDIR=Update\nENCRYPT=Y\nVERSION=1.2.3.4\n"
                 "HASH=ab\nPREACTION=stop\nPOSTACTION=start\n[MAIN]\nFILENAME=CorvaneIXO.exe\nENCRYPT=N\n");
    CToviUpdate update;
    ASSERT_EQ(0, update.GetUpdateInfo(ini.c_str()));
    ASSERT_EQ(2u, update.Modules().size());
    const _UPDATE_MODULE_INFO& first = update.Modules()[0];
    EXPECT_STREQ(L"CORVANEUPDATE", first.SectionName);
    EXPECT_STREQ(L"CorvaneUpdate.exe.enc", first.FileName);
    EXPECT_STREQ(L"CorvaneUpdate.exe", first.LocalName);
    EXPECT_STREQ(L"app", first.TargetDir);
    EXPECT_STREQ(L"Update", first.DestDir);
    EXPECT_STREQ(L"Y", first.Encrypt);
    EXPECT_STREQ(L"1.2.3.4", first.Version);
    EXPECT_STREQ(L"stop", first.PreAction);
    EXPECT_STREQ(L"CorvaneIXO.exe", update.Modules()[1].LocalName);
    PutFile(m_data + L"\\empty.ini", "no sections here\n");
    EXPECT_EQ(-1, update.GetUpdateInfo((m_data + L"\\empty.ini").c_str()));
}

// Names from the description used to be joined to the install folder as they came.
TEST_F(UpdateTest, NamesThatLeaveTheInstallFolderAreRefused)
{
    struct Row { const char* name; bool safe; };
    const Row rows[] = {
        { "a.dll", true }, { "sub\\a.dll", true }, { "sub/a.dll", true }, { ".\\a.dll", true },
        { "..\\a.dll", false }, { "sub\\..\\..\\a.dll", false }, { "../a.dll", false }, { "...\\a.dll", false },
        { ". . .\\a.dll", false },
        { "C:\\Windows\\a.dll", false }, { "C:a.dll", false }, { "\\a.dll", false }, { "/a.dll", false },
        { "\\\\server\\share\\a.dll", false }, { "a.dll:stream", false }, { "", false },
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.safe, CToviUpdate::IsSafeRelativePath(CString(r.name), false)) << r.name;
    EXPECT_TRUE(CToviUpdate::IsSafeRelativePath(L"", true));

    std::wstring ini = m_data + L"\\Update.ini";
    PutFile(ini, "[A]\nFILENAME=..\\evil.dll\n[B]\nFILENAME=good.dll\nTARGETDIR=..\\..\n[C]\nFILENAME=x.dll\nDESTDIR=C:\\\n"
                 "[D]\nFILENAME=..\\x.dll.enc\nENCRYPT=Y\n[E]\nFILENAME=fine.dll\n");
    CToviUpdate update;
    ASSERT_EQ(0, update.GetUpdateInfo(ini.c_str()));
    ASSERT_EQ(1u, update.Modules().size());
    EXPECT_STREQ(L"E", update.Modules()[0].SectionName);
}

TEST_F(UpdateTest, CurrentModulesNeedNoUpdate)
{
    Install(L"ToviSample.dll", VersionedModule());
    Install(L"data.bin", "payload");
    Describe("[SAMPLE]\nFILENAME=ToviSample.dll\nVERSION=3.1.0.7\n[DATA]\nFILENAME=data.bin\nHASH=" + Sha1Hex("payload") + "\n");
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdate(0, nullptr, m_base.c_str()));
    EXPECT_TRUE(Exists(m_data + L"\\Update\\Update.ini")) << "the deciphered description stays";
    EXPECT_FALSE(Exists(m_data + L"\\Update\\Update.ini.enc"));
}

TEST_F(UpdateTest, AnUpdateIsDueForANewerVersionAChangedHashOrAMissingFile)
{
    struct Row { const char* why; std::string ini; };
    const Row rows[] = {
        { "newer version", "[SAMPLE]\nFILENAME=ToviSample.dll\nVERSION=3.1.0.8\n" },
        { "changed hash", "[DATA]\nFILENAME=data.bin\nHASH=" + Sha1Hex("other") + "\n" },
        { "missing file", "[NEW]\nFILENAME=ToviNew.dll\nVERSION=1.0\n" },
        { "file without version", "[DATA]\nFILENAME=data.bin\nVERSION=1.0\n" },
    };
    Install(L"ToviSample.dll", VersionedModule());
    Install(L"data.bin", "payload");
    for (const Row& r : rows) {
        Describe(r.ini);
        CToviUpdate update;
        EXPECT_EQ(0, update.IsUpdate(0, nullptr, m_base.c_str())) << r.why;
    }
}

TEST_F(UpdateTest, AMissingDescriptionIsNoUpdateAndTheImageCheckStillRuns)
{
    Customize("[IXOMAINICON]\nFILENAME=ixo_main.ico\n");
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdateModule(nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    CToviUpdate full;
    EXPECT_EQ(0, full.IsUpdate(0, nullptr, m_base.c_str())) << "the main icon is named but missing";
    EXPECT_TRUE(Exists(m_data + L"\\Update\\Customize.ini"));
}

TEST_F(UpdateTest, ADescriptionTooSlowToAnswerIsNoUpdate)
{
    Describe("[NEW]\nFILENAME=ToviNew.dll\nVERSION=1.0\n");
    Rules(L"control\\app\\Update.ini.enc", "delay-ms 4500\n");
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdate(0, nullptr, m_base.c_str()));
}

TEST_F(UpdateTest, TheCheckNeedsAUrlAnInstallFolderAndDocuments)
{
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdate(0, nullptr, L""));
    EXPECT_EQ(-1, update.IsUpdate(1, nullptr, m_base.c_str())) << "no InstallDir for the drive product";
    m_facts.NoDocuments();
    Describe("[NEW]\nFILENAME=ToviNew.dll\n");
    EXPECT_EQ(-1, update.IsUpdate(0, nullptr, m_base.c_str()));
}

struct UpdaterFiles {
    std::string oldProgram, newProgram;
};

class UpdaterTest : public UpdateTest {
protected:
    void SetUp() override
    {
        UpdateTest::SetUp();
        m_files.oldProgram = VersionedModule();   // version 3.1.0.7
        m_files.newProgram = "new update program " + std::string(70000, 'n');
        Install(L"CorvaneUpdate.exe", m_files.oldProgram);
        Serve(L"app\\CorvaneUpdate.exe", m_files.newProgram);   // fetched as .enc, enciphered by the fixture
    }
    std::string Section(const std::string& version, const std::string& hash)
    {
        return "[CORVANEUPDATE]\nFILENAME=CorvaneUpdate.exe.enc\nTARGETDIR=app\nDESTDIR=Update\nENCRYPT=Y\nVERSION=" + version +
               "\nHASH=" + hash + "\n";
    }
    UpdaterFiles m_files;
};

TEST_F(UpdaterTest, AnOutdatedUpdateProgramIsReplacedInOneMove)
{
    Describe(Section("3.1.0.8", Sha1Hex(m_files.newProgram)));
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdateModule(nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    EXPECT_TRUE(filebytes::Same(m_files.newProgram, ReadFile(m_install + L"\\CorvaneUpdate.exe")));
    EXPECT_FALSE(Exists(m_data + L"\\Update\\CorvaneUpdate.exe"));
    EXPECT_FALSE(Exists(m_data + L"\\Update\\CorvaneUpdate.exe.enc"));
}

TEST_F(UpdaterTest, ACurrentUpdateProgramIsLeftAlone)
{
    Describe(Section("3.1.0.7", Sha1Hex(m_files.newProgram)));
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdateModule(nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    EXPECT_TRUE(filebytes::Same(m_files.oldProgram, ReadFile(m_install + L"\\CorvaneUpdate.exe")));
}

TEST_F(UpdaterTest, ANonElevatedProcessOnVistaReportsOneWithoutDownloading)
{
    m_facts.SetElevation(CSystemFacts::kElevationKnown, false);
    Describe(Section("3.1.0.8", Sha1Hex(m_files.newProgram)));
    CToviUpdate update;
    EXPECT_EQ(1, update.IsUpdate(0, nullptr, m_base.c_str()));
    EXPECT_TRUE(filebytes::Same(m_files.oldProgram, ReadFile(m_install + L"\\CorvaneUpdate.exe")));
    EXPECT_FALSE(Exists(m_data + L"\\Update\\CorvaneUpdate.exe"));
}

TEST_F(UpdaterTest, BeforeVistaTheUpdateProgramIsReplacedEvenWithoutElevation)
{
    m_facts.SetVersion(5, 1);
    m_facts.SetElevation(CSystemFacts::kElevationKnown, false);
    Describe(Section("3.1.0.8", Sha1Hex(m_files.newProgram)));
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdateModule(nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    EXPECT_TRUE(filebytes::Same(m_files.newProgram, ReadFile(m_install + L"\\CorvaneUpdate.exe")));
}

TEST_F(UpdaterTest, AWrongHashKeepsTheOldUpdateProgram)
{
    Describe(Section("3.1.0.8", Sha1Hex("something else")));
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdateModule(nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    EXPECT_TRUE(filebytes::Same(m_files.oldProgram, ReadFile(m_install + L"\\CorvaneUpdate.exe")));
    EXPECT_FALSE(Exists(m_data + L"\\Update\\CorvaneUpdate.exe")) << "the mismatching download is deleted";
}

TEST_F(UpdaterTest, AFailedDownloadKeepsTheOldUpdateProgram)
{
    Describe(Section("3.1.0.8", Sha1Hex(m_files.newProgram)));
    Rules(L"app\\CorvaneUpdate.exe.enc", "short 1000\n");
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdateModule(nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    EXPECT_TRUE(filebytes::Same(m_files.oldProgram, ReadFile(m_install + L"\\CorvaneUpdate.exe")));
}

TEST_F(UpdaterTest, AnUpdateProgramNamedOutsideTheInstallFolderIsIgnored)
{
    Describe("[CORVANEUPDATE]\nFILENAME=..\\CorvaneUpdate.exe.enc\nTARGETDIR=app\nDESTDIR=Update\nENCRYPT=Y\nVERSION=9\nHASH=" +
             Sha1Hex(m_files.newProgram) + "\n");
    Serve(L"CorvaneUpdate.exe", m_files.newProgram);
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdateModule(nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    std::wstring parent = m_install.substr(0, m_install.rfind(L'\\'));
    EXPECT_FALSE(Exists(parent + L"\\CorvaneUpdate.exe"));
    EXPECT_FALSE(Exists(m_data + L"\\CorvaneUpdate.exe"));
    EXPECT_TRUE(filebytes::Same(m_files.oldProgram, ReadFile(m_install + L"\\CorvaneUpdate.exe")));
}

class ImageTest : public UpdateTest {};

TEST_F(ImageTest, MatchingImagesAreKeptAndChangedOnesDeleted)
{
    Image(L"ixo_main.ico", "main icon");
    Image(L"login.png", "old login");
    Image(L"ixo_tray_on.ico", "tray on");
    Customize("[IXOMAINICON]\nFILENAME=ixo_main.ico\nHASH=" + Sha1Hex("main icon") + "\n[IXOLOGINIMAGE]\nFILENAME=login.png\nHASH=" +
              Sha1Hex("new login") + "\n");
    CToviUpdate update;
    EXPECT_EQ(0, update.IsUpdateImage(0, nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    EXPECT_TRUE(Exists(m_data + L"\\Image\\ixo_main.ico"));
    EXPECT_FALSE(Exists(m_data + L"\\Image\\login.png")) << "changed image";
    EXPECT_FALSE(Exists(m_data + L"\\Image\\ixo_tray_on.ico")) << "a role no section names";
}

TEST_F(ImageTest, AllCurrentMeansNoChange)
{
    Image(L"ixo_main.ico", "main icon");
    Customize("[IXOMAINICON_V2]\nFILENAME=ixo_main.ico\nHASH=" + Sha1Hex("main icon") + "\n");
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdateImage(0, nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    EXPECT_TRUE(Exists(m_data + L"\\Image\\ixo_main.ico"));
}

TEST_F(ImageTest, AMainIconNoLongerNamedIsAChange)
{
    Image(L"ixo_main_drive.ico", "drive icon");
    Image(L"ixo_main.ico", "explorer icon");
    Customize("[IXOMAINICON]\nFILENAME=ixo_main.ico\nHASH=" + Sha1Hex("explorer icon") + "\n");
    CToviUpdate update;
    EXPECT_EQ(0, update.IsUpdateImage(1, nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str()));
    EXPECT_FALSE(Exists(m_data + L"\\Image\\ixo_main_drive.ico"));
    EXPECT_TRUE(Exists(m_data + L"\\Image\\ixo_main.ico")) << "another product's icon";
}

// A failed fetch used to delete the user's customised images and icons.
TEST_F(ImageTest, NoUsableDescriptionKeepsTheImages)
{
    struct Row { const char* why; const char* rules; const char* raw; };
    const Row rows[] = {
        { "404", "status 404\n", nullptr },
        { "time-out", "delay-ms 4500\n", nullptr },
        { "short body", "short 3\n", nullptr },
        { "undecipherable", nullptr, "\x01\x02 not an ini \x7f" },
    };
    for (const Row& r : rows) {
        Image(L"ixo_main.ico", "main icon");
        Image(L"login.png", "login");
        Image(L"logo.png", "logo");
        DeleteFileW((m_www + L"\\control\\image\\Customize.ini.enc").c_str());
        DeleteFileW((m_www + L"\\control\\image\\Customize.ini.enc.http").c_str());
        Customize("[IXOLOGINIMAGE]\nFILENAME=login.png\n");
        if (r.rules != nullptr)
            Rules(L"control\\image\\Customize.ini.enc", r.rules);
        if (r.raw != nullptr)
            Serve(L"control\\image\\Customize.ini.enc", r.raw);
        CToviUpdate update;
        EXPECT_EQ(-1, update.IsUpdateImage(0, nullptr, m_install.c_str(), m_data.c_str(), m_base.c_str())) << r.why;
        EXPECT_TRUE(Exists(m_data + L"\\Image\\ixo_main.ico")) << r.why;
        EXPECT_TRUE(Exists(m_data + L"\\Image\\login.png")) << r.why;
        EXPECT_TRUE(Exists(m_data + L"\\Image\\logo.png")) << r.why;
    }
}

class ListCheckTest : public UpdateTest {
protected:
    _UPDATE_CHECK Item(const wchar_t* name, const wchar_t* version, const std::string& hash)
    {
        _UPDATE_CHECK item = {};
        wcsncpy(item.FileName, name, 511);
        wcsncpy(item.Version, version, 49);
        std::wstring h = Wide(hash);
        wcsncpy(item.Hash, h.c_str(), 49);
        return item;
    }
};

TEST_F(ListCheckTest, ComparesByVersionOrHash)
{
    Install(L"ToviSample.dll", VersionedModule());
    Install(L"data.bin", "payload");
    std::string upper = Sha1Hex("payload");
    for (char& c : upper)
        c = char(toupper(c));
    CToviUpdate update;
    EXPECT_EQ(-1, update.IsUpdate(0, { Item(L"ToviSample.dll", L"3.1.0.7", ""), Item(L"data.bin", L"", upper) }));
    EXPECT_EQ(0, update.IsUpdate(0, { Item(L"ToviSample.dll", L"3.1.1", "") }));
    EXPECT_EQ(0, update.IsUpdate(0, { Item(L"data.bin", L"", Sha1Hex("changed")) }));
    EXPECT_EQ(0, update.IsUpdate(0, { Item(L"gone.dll", L"1.0", "") }));
    EXPECT_EQ(-1, update.IsUpdate(0, std::vector<_UPDATE_CHECK>())) << "an empty list is nothing to update";
    EXPECT_EQ(-1, update.IsUpdate(1, { Item(L"gone.dll", L"1.0", "") })) << "no InstallDir";
    EXPECT_EQ(-1, update.IsUpdate(0, { Item(L"..\\outside.dll", L"1.0", "") })) << "a name outside the install folder";
}

TEST(UpdateVersionTest, VersionsCompareByNumberPartByPart)
{
    struct Row { const wchar_t* local; const wchar_t* server; bool update; };
    const Row rows[] = {
        { L"2.0.10", L"2.0.9", false }, { L"2.0", L"2.0.0.1", true }, { L"1.2.3.4", L"1.2.3.4", false },
        { L"1.2.3.4", L"1.3", true }, { L"", L"0.0.0.1", true }, { L"9", L"10", true },
    };
    CToviUpdate update;
    for (const Row& r : rows)
        EXPECT_EQ(r.update, update.CheckUpdate(const_cast<wchar_t*>(r.local), const_cast<wchar_t*>(r.server)))
            << testing::PrintToString(std::wstring(r.local)) << " -> " << testing::PrintToString(std::wstring(r.server));
}

TEST(UpdateVersionTest, ProductVersionTextsAreDotted)
{
    CToviUpdate update;
    std::wstring module = ModuleFolder() + L"\\VersionedModule.dll";
    wchar_t out[24] = {};
    ASSERT_TRUE(update.SHGetVersionOfFile(&module[0], out, 24));
    EXPECT_STREQ(L"3.1.0.7", out);
    wchar_t small[4] = {};
    ASSERT_TRUE(update.SHGetVersionOfFile(&module[0], small, 4));
    EXPECT_STREQ(L"3.1", small);
    std::wstring missing = ModuleFolder() + L"\\nothing.dll";
    EXPECT_FALSE(update.SHGetVersionOfFile(&missing[0], out, 24));
}

TEST(KillProcessTest, EndsEveryProcessOfThatName)
{
    std::wstring sleeper = ModuleFolder() + L"\\ToviSleeper.exe";
    PROCESS_INFORMATION first = {}, second = {};
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    ASSERT_TRUE(CreateProcessW(sleeper.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &first));
    ASSERT_TRUE(CreateProcessW(sleeper.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &second));
    EXPECT_TRUE(CToviUpdate::KillProcess(L"ToviSleeper.exe"));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first.hProcess, 10000));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.hProcess, 10000));
    for (PROCESS_INFORMATION* p : { &first, &second }) {
        TerminateProcess(p->hProcess, 0);
        CloseHandle(p->hProcess);
        CloseHandle(p->hThread);
    }
    FakeSystemFacts facts;
    facts.FailProcessSnapshot();
    EXPECT_FALSE(CToviUpdate::KillProcess(L"ToviSleeper.exe"));
}

TEST_F(ImageTest, RemovingTheCustomisationDeletesTheProductsImagesAndEveryIcon)
{
    Image(L"ixo_main.ico", "main");
    Image(L"ixo_tray_on_drive.ico", "drive tray");
    Image(L"login.png", "login");
    Image(L"logo.png", "logo");
    Image(L"login_drive.png", "drive login");
    PutFile(m_data + L"\\Update\\Customize.ini", "[X]\n");
    CToviUpdate update;
    std::wstring updateDir = m_data + L"\\Update", imageDir = m_data + L"\\Image";
    EXPECT_EQ(0, update.DeleteOldImagesNIcons(0, updateDir.c_str(), imageDir.c_str()));
    EXPECT_FALSE(Exists(imageDir + L"\\ixo_main.ico"));
    EXPECT_FALSE(Exists(imageDir + L"\\ixo_tray_on_drive.ico"));
    EXPECT_FALSE(Exists(imageDir + L"\\login.png"));
    EXPECT_FALSE(Exists(imageDir + L"\\logo.png"));
    EXPECT_TRUE(Exists(imageDir + L"\\login_drive.png"));
    EXPECT_FALSE(Exists(updateDir + L"\\Customize.ini"));
    EXPECT_EQ(-1, update.DeleteOldImagesNIcons(1, updateDir.c_str(), imageDir.c_str()));
    EXPECT_FALSE(Exists(imageDir + L"\\login_drive.png"));
}
