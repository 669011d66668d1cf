// The update program against the system: service registration through its own command line in
// Wine's Service Control Manager, service start and stop, ending programs by name, and its
// import table (it may load none of the client's libraries or runtime DLLs).
#include "RegistryFixture.h"
#include "SeamSwap.h"
#include "ServiceControl.h"
#include "TestPaths.h"
#include "ToviUpdate.h"
#include "UpdaterFiles.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cctype>

using namespace updtest;

namespace {

// Runs the update program with that command line and returns its exit code.
DWORD RunUpdater(const std::wstring& arguments)
{
    std::wstring exe = ProgramFolder() + L"\\CorvaneUpdate.exe";
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0xFFFFFFFE;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

std::wstring ServiceBinary()
{
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager != nullptr ? OpenServiceW(manager, L"CorvaneIXO", SERVICE_QUERY_CONFIG) : nullptr;
    std::wstring path;
    if (service != nullptr) {
        std::vector<BYTE> buffer(8192);
        DWORD needed = 0;
        if (QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()), DWORD(buffer.size()), &needed))
            path = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data())->lpBinaryPathName;
        CloseServiceHandle(service);
    }
    if (manager != nullptr)
        CloseServiceHandle(manager);
    return path;
}

HANDLE StartProgram(const std::wstring& exe)
{
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool Running(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

// Waits (up to 5 s) until the process can be found as the updater looks for it: listed by the
// process snapshot and with its program path readable.
bool WaitListed(HANDLE process)
{
    const DWORD id = GetProcessId(process);
    for (int i = 0; i < 500; ++i) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        bool listed = false;
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !listed; more = Process32NextW(snapshot, &entry))
            listed = entry.th32ProcessID == id;
        CloseHandle(snapshot);
        wchar_t path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (listed && QueryFullProcessImageNameW(process, 0, path, &size))
            return true;
        Sleep(10);
    }
    return false;
}

}

class UpdaterService : public regtest::RegistryTest {
protected:
    void SetUp() override
    {
        regtest::RegistryTest::SetUp();
        m_install = testpaths::ScratchDir(L"UpdaterService");
        PutFile(m_install + L"\\ToviService.exe", ReadFile(ProgramFolder() + L"\\standin\\UpdaterTestService.exe"));
        // Left from an interrupted run.
        ServiceInstall(false, nullptr);
    }
    void TearDown() override
    {
        ServiceInstall(false, nullptr);
        regtest::RegistryTest::TearDown();
    }
    std::wstring m_install;
};

TEST_F(UpdaterService, InstallRegistersAndStartsItAndUninstallRemovesIt)
{
    regtest::PutText(regtest::kProductKeys[2], L"InstallDir", m_install);
    // The program registers only a service program of its own signer from its own folder
    // (UpdaterAttackUiTest); a test build is unsigned, so registration is driven directly.
    ASSERT_TRUE(ServiceInstall(true, (m_install + L"\\ToviService.exe").c_str()));
    EXPECT_EQ(DWORD(SERVICE_RUNNING), ServiceState());
    std::wstring binary = ServiceBinary();
    std::transform(binary.begin(), binary.end(), binary.begin(), ::towlower);
    std::wstring expected = m_install + L"\\ToviService.exe";
    std::transform(expected.begin(), expected.end(), expected.begin(), ::towlower);
    EXPECT_NE(std::wstring::npos, binary.find(expected)) << testing::PrintToString(binary);

    // Around an update of the backup edition.
    EXPECT_TRUE(ServiceControl(false));
    EXPECT_EQ(DWORD(SERVICE_STOPPED), ServiceState());
    EXPECT_TRUE(ServiceControl(false));   // already stopped
    EXPECT_TRUE(ServiceControl(true));
    EXPECT_EQ(DWORD(SERVICE_RUNNING), ServiceState());

    ASSERT_EQ(0u, RunUpdater(L"service:uninstall"));
    EXPECT_EQ(0u, ServiceState());
    EXPECT_FALSE(ServiceControl(false));   // not installed
    EXPECT_FALSE(ServiceInstall(false, nullptr));
}

TEST_F(UpdaterService, WithoutAnInstallFolderNothingIsRegistered)
{
    EXPECT_EQ(1u, RunUpdater(L"service:install"));
    EXPECT_EQ(0u, ServiceState());
    // Unknown words after "service:" end the program quietly.
    regtest::PutText(regtest::kProductKeys[2], L"InstallDir", m_install);
    EXPECT_EQ(0u, RunUpdater(L"service:stop"));
    EXPECT_EQ(0u, ServiceState());
}

TEST(UpdaterProcesses, AKillEndsTheProgramInTheInstallFolderOnly)
{
    std::wstring scratch = testpaths::ScratchDir(L"UpdaterKill");
    std::string bytes = ReadFile(ProgramFolder() + L"\\standin\\UpdaterSleeper.exe");
    ASSERT_FALSE(bytes.empty());
    PutFile(scratch + L"\\install\\Napper.exe", bytes);
    PutFile(scratch + L"\\elsewhere\\Napper.exe", bytes);
    HANDLE outside = StartProgram(scratch + L"\\elsewhere\\Napper.exe");
    ASSERT_NE(nullptr, outside);
    ASSERT_TRUE(WaitListed(outside));
    HANDLE inside = StartProgram(scratch + L"\\install\\Napper.exe");
    ASSERT_NE(nullptr, inside);
    ASSERT_TRUE(WaitListed(inside));

    EXPECT_TRUE(CToviUpdate::KillProcess(L"Napper.exe", (scratch + L"\\install").c_str()));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(inside, 5000));
    EXPECT_TRUE(Running(outside));
    // Names are compared exactly.
    EXPECT_TRUE(CToviUpdate::KillProcess(L"napper.exe"));
    EXPECT_TRUE(Running(outside));
    EXPECT_TRUE(CToviUpdate::KillProcess(L"Napper.exe"));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(outside, 5000));
    CloseHandle(inside);
    CloseHandle(outside);
}

TEST(UpdaterProcesses, ARefusedTerminationIsReportedAndTheProgramRuns)
{
    std::wstring scratch = testpaths::ScratchDir(L"UpdaterKillRefused");
    std::string bytes = ReadFile(ProgramFolder() + L"\\standin\\UpdaterSleeper.exe");
    ASSERT_FALSE(bytes.empty());
    PutFile(scratch + L"\\install\\Dozer.exe", bytes);
    HANDLE sleeper = StartProgram(scratch + L"\\install\\Dozer.exe");
    ASSERT_NE(nullptr, sleeper);
    ASSERT_TRUE(WaitListed(sleeper));
    static int attempts;
    attempts = 0;
    bool killed;
    {
        testseam::Swap<CToviUpdate::TerminateProcessFn> refuse(CToviUpdate::s_pfnTerminateProcess, [](HANDLE, UINT) {
            ++attempts;
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        });
        killed = CToviUpdate::KillProcess(L"Dozer.exe", (scratch + L"\\install").c_str());
    }
    EXPECT_FALSE(killed) << "a program that still runs was reported ended";
    EXPECT_EQ(1, attempts);
    EXPECT_TRUE(Running(sleeper));
    EXPECT_TRUE(CToviUpdate::KillProcess(L"Dozer.exe", (scratch + L"\\install").c_str()));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sleeper, 5000));
    CloseHandle(sleeper);
}

TEST(UpdaterProcesses, AProgramThatEndedWhileBeingEndedCountsAsEnded)
{
    std::wstring scratch = testpaths::ScratchDir(L"UpdaterKillRace");
    std::string bytes = ReadFile(ProgramFolder() + L"\\standin\\UpdaterSleeper.exe");
    ASSERT_FALSE(bytes.empty());
    PutFile(scratch + L"\\install\\Snoozer.exe", bytes);
    HANDLE sleeper = StartProgram(scratch + L"\\install\\Snoozer.exe");
    ASSERT_NE(nullptr, sleeper);
    ASSERT_TRUE(WaitListed(sleeper));
    // The program goes away by itself just as the termination is refused.
    bool killed;
    {
        testseam::Swap<CToviUpdate::TerminateProcessFn> refuse(CToviUpdate::s_pfnTerminateProcess, [](HANDLE process, UINT code) {
            TerminateProcess(process, code);
            WaitForSingleObject(process, 5000);
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        });
        killed = CToviUpdate::KillProcess(L"Snoozer.exe", (scratch + L"\\install").c_str());
    }
    EXPECT_TRUE(killed);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sleeper, 5000));
    CloseHandle(sleeper);
}

// Reads the import directory of a PE file: the names of the DLLs it loads at start.
std::vector<std::string> ImportedDlls(const std::string& image)
{
    std::vector<std::string> names;
    auto at = [&](size_t offset, size_t size) { return offset + size <= image.size(); };
    if (!at(0, sizeof(IMAGE_DOS_HEADER)))
        return names;
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    size_t nt = size_t(dos->e_lfanew);
    if (!at(nt, 4 + sizeof(IMAGE_FILE_HEADER) + 2))
        return names;
    auto file = reinterpret_cast<const IMAGE_FILE_HEADER*>(image.data() + nt + 4);
    size_t optional = nt + 4 + sizeof(IMAGE_FILE_HEADER);
    WORD magic = *reinterpret_cast<const WORD*>(image.data() + optional);
    DWORD importRva = 0;
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC && at(optional, sizeof(IMAGE_OPTIONAL_HEADER32)))
        importRva = reinterpret_cast<const IMAGE_OPTIONAL_HEADER32*>(image.data() + optional)->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC && at(optional, sizeof(IMAGE_OPTIONAL_HEADER64)))
        importRva = reinterpret_cast<const IMAGE_OPTIONAL_HEADER64*>(image.data() + optional)->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    auto sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(image.data() + optional + file->SizeOfOptionalHeader);
    auto toOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < file->NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return image.size();
    };
    if (importRva == 0)
        return names;
    for (size_t d = toOffset(importRva); at(d, sizeof(IMAGE_IMPORT_DESCRIPTOR)); d += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image.data() + d);
        if (desc->Name == 0)
            break;
        size_t name = toOffset(desc->Name);
        std::string text;
        while (name < image.size() && image[name] != '\0')
            text += char(std::tolower(static_cast<unsigned char>(image[name++])));
        names.push_back(text);
    }
    return names;
}

TEST(UpdaterImports, LoadsNoneOfTheClientsLibrariesNorRuntimeDlls)
{
    std::vector<std::string> dlls = ImportedDlls(ReadFile(ProgramFolder() + L"\\CorvaneUpdate.exe"));
    ASSERT_FALSE(dlls.empty());
    EXPECT_NE(dlls.end(), std::find(dlls.begin(), dlls.end(), "wininet.dll")) << testing::PrintToString(dlls);
    // Windows' own signature check, a system library.
    EXPECT_NE(dlls.end(), std::find(dlls.begin(), dlls.end(), "wintrust.dll")) << testing::PrintToString(dlls);
    // The reader must see such a dependency where there is one: the connection library has it.
    std::vector<std::string> library = ImportedDlls(ReadFile(ProgramFolder() + L"\\ToviConnect.dll"));
    EXPECT_TRUE(std::any_of(library.begin(), library.end(), [](const std::string& d) { return d.find("framework") != std::string::npos; }))
        << testing::PrintToString(library);
    for (const std::string& dll : dlls) {
        for (const char* forbidden : { "framework", "tovi", "libgcc", "libwinpthread", "libstdc++", "corvane" })
            EXPECT_EQ(std::string::npos, dll.find(forbidden)) << dll;
    }
}
