// CToviExec: the Vista and elevation branches, the update program's start, the de-elevation
// task against a recording Task Scheduler, the active user and waiting for an installer.
#include "FakeTaskService.h"
#include "RegistryFixture.h"
#include "SystemFactsFake.h"
#include "ToviExec.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

using Launch = FakeSystemFacts::Launch;

namespace {

std::wstring OwnExeName()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(p.rfind(L'\\') + 1);
}

}

TEST(ExecVersionTest, VistaMeansAnNtMajorVersionAboveFive)
{
    struct Row { DWORD major, minor, platform; int vista; };
    const Row rows[] = {
        { 5, 0, VER_PLATFORM_WIN32_NT, 0 }, { 5, 2, VER_PLATFORM_WIN32_NT, 0 }, { 6, 0, VER_PLATFORM_WIN32_NT, 1 },
        { 6, 1, VER_PLATFORM_WIN32_NT, 1 }, { 10, 0, VER_PLATFORM_WIN32_NT, 1 }, { 6, 0, VER_PLATFORM_WIN32_WINDOWS, 0 },
    };
    for (const Row& r : rows) {
        FakeSystemFacts facts;
        facts.SetVersion(r.major, r.minor, VER_NT_WORKSTATION, r.platform);
        EXPECT_EQ(r.vista, CToviExec().IsVista()) << r.major << "." << r.minor << " platform " << r.platform;
    }
    FakeSystemFacts failing;
    failing.FailVersion();
    EXPECT_EQ(0, CToviExec().IsVista());
}

TEST(ExecElevationTest, ZeroMeansElevatedAndTheOutValueSaysOne)
{
    struct Row { CSystemFacts::ElevationQuery query; bool elevated; long result; int out; };
    const Row rows[] = {
        { CSystemFacts::kElevationKnown, true, 0, 1 },
        { CSystemFacts::kElevationKnown, false, 1, 0 },
        { CSystemFacts::kOpenTokenFailed, true, 1, -9 },
        { CSystemFacts::kTokenInfoFailed, true, 1, -9 },
    };
    for (const Row& r : rows) {
        FakeSystemFacts facts;
        facts.SetElevation(r.query, r.elevated);
        int out = -9;
        EXPECT_EQ(r.result, CToviExec().IsElevated(&out)) << "query " << r.query << " elevated " << r.elevated;
        EXPECT_EQ(r.out, out) << "query " << r.query << " elevated " << r.elevated;
        EXPECT_EQ(r.result, CToviExec().IsElevated(nullptr));
    }
}

TEST(ExecElevationTest, WineRunsElevatedOnWindowsSeven)
{
    int out = 0;
    EXPECT_EQ(0, CToviExec().IsElevated(&out));
    EXPECT_EQ(1, out);
    EXPECT_EQ(1, CToviExec().IsVista());
}

class RunUpdateTest : public regtest::RegistryTest {};

TEST_F(RunUpdateTest, TheVerbFollowsVersionAndElevationAndTheParameterTheProduct)
{
    struct Row { DWORD major; bool elevated; int index; const wchar_t* verb; const wchar_t* parameter; };
    const Row rows[] = {
        { 5, false, 0, L"", L"0" },        // before Vista: no verb
        { 6, false, 0, L"runas", L"0" },   // Vista, not elevated
        { 6, true, 0, L"", L"0" },         // Vista, elevated
        { 6, false, 1, L"runas", L"1" },
        { 10, true, 2, L"", L"2" },
    };
    for (int i = 0; i < 3; ++i)
        regtest::PutText(regtest::kProductKeys[i], L"InstallDir", L"C:\\Corvane" + std::to_wstring(i));
    for (const Row& r : rows) {
        FakeSystemFacts facts;
        facts.SetVersion(r.major, 1);
        facts.SetElevation(CSystemFacts::kElevationKnown, r.elevated);
        facts.RecordLaunches();
        ASSERT_TRUE(CToviExec().RunUpdate(r.index));
        ASSERT_EQ(1u, facts.launches.size());
        const Launch& l = facts.launches[0];
        std::string row = "Windows " + std::to_string(r.major) + " elevated " + std::to_string(r.elevated) + " index " +
                          std::to_string(r.index);
        EXPECT_EQ(r.verb, l.verb) << row;
        EXPECT_EQ(r.parameter, l.parameters) << row;
        // The update program beside the running program, never one the registry points to.
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring folder(self);
        folder = folder.substr(0, folder.rfind(L'\\'));
        EXPECT_EQ(folder + L"\\CorvaneUpdate.exe", l.file) << row;
        EXPECT_EQ(folder, l.folder) << row;
        EXPECT_EQ(SW_SHOWNORMAL, l.show);
        EXPECT_EQ(0u, l.mask);
    }
}

TEST_F(RunUpdateTest, AnIndexOutsideTheProductsOrWithoutInstallDirStartsNothing)
{
    FakeSystemFacts facts;
    facts.RecordLaunches();
    EXPECT_FALSE(CToviExec().RunUpdate(0));
    regtest::PutText(regtest::kProductKeys[0], L"InstallDir", L"C:\\Corvane");
    EXPECT_FALSE(CToviExec().RunUpdate(5));
    EXPECT_TRUE(facts.launches.empty());
    facts.RecordLaunches(FALSE, ERROR_CANCELLED);
    EXPECT_FALSE(CToviExec().RunUpdate(0));
    EXPECT_EQ(1u, facts.launches.size());
}

TEST(ActiveUserTest, TheLastActiveSessionsUserWins)
{
    FakeSystemFacts facts;
    facts.SetSessions({ { 0, 4, L"SYSTEM" }, { 1, 0, L"kim" }, { 2, 1, L"lee" }, { 3, 0, L"park" }, { 4, 2, L"choi" } });
    EXPECT_STREQ(L"park", CToviExec().GetActiveUserName().GetString());
    facts.SetSessions({ { 1, 4, L"kim" } });
    EXPECT_TRUE(CToviExec().GetActiveUserName().IsEmpty());
}

class StdUserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_service = NewFakeTaskService(&m_log);
        m_facts.SetVersion(6, 1);
        m_facts.SetElevation(CSystemFacts::kElevationKnown, true);
        m_facts.SetSessions({ { 1, 0, L"kim" } });
        m_facts.SetTaskService(m_service);
        m_facts.RecordLaunches();
    }
    void TearDown() override
    {
        m_service->Release();
        EXPECT_EQ(0, m_log.live) << "interfaces left unreleased";
    }

    TaskLog m_log;
    ITaskService* m_service = nullptr;
    FakeSystemFacts m_facts;
};

TEST_F(StdUserTest, AnElevatedProcessRegistersAnInteractiveLeastPrivilegeTask)
{
    EXPECT_EQ(1, CToviExec().RunAsStdUser(nullptr, L"C:\\Corvane\\CorvaneIXO.exe", L"/NOUPDATE", L"C:\\Corvane"));
    const std::vector<std::wstring> expected = {
        L"Connect (empty) (empty) (empty) (empty)",
        L"GetFolder \\",
        L"DeleteTask RunAsStdUser Task 0",
        L"NewTask 0",
        L"get_RegistrationInfo",
        L"put_Author RunAsStdUser",
        L"get_Principal",
        L"put_PrincipalId RunAsStdUser_Principal",
        L"put_LogonType 3",
        L"put_RunLevel 0",
        L"get_Settings",
        L"put_StartWhenAvailable true",
        L"get_Triggers",
        L"CreateTrigger 7",
        L"put_TriggerId RunAsStdUser_Trigger",
        L"put_Delay PT0S",
        L"get_Actions",
        L"CreateAction 0",
        L"put_Path C:\\Corvane\\CorvaneIXO.exe",
        L"put_Arguments /NOUPDATE",
        L"put_WorkingDirectory C:\\Corvane",
        L"RegisterTaskDefinition RunAsStdUser Task flags 6 user (empty) password (empty) logon 3 sddl \"\"",
    };
    EXPECT_EQ(expected, m_log.calls);
    EXPECT_TRUE(m_facts.launches.empty());
}

TEST_F(StdUserTest, WithoutParametersOrFolderOnlyThePathIsSet)
{
    m_log.taskExists = true;
    EXPECT_EQ(1, CToviExec().RunAsStdUser(nullptr, L"C:\\x.exe", nullptr, L""));
    for (const std::wstring& call : m_log.calls) {
        EXPECT_NE(0u, call.find(L"put_Arguments")) << "unexpected " << testing::PrintToString(call);
        EXPECT_NE(0u, call.find(L"put_WorkingDirectory")) << "unexpected " << testing::PrintToString(call);
    }
}

TEST_F(StdUserTest, TheTaskIsPolledUntilItRuns)
{
    m_log.runningOnPoll = 3;
    EXPECT_EQ(1, CToviExec().RunAsStdUser(nullptr, L"C:\\x.exe", nullptr, nullptr));
    EXPECT_EQ(3, m_log.polls);
}

TEST_F(StdUserTest, AnyFailingStepEndsWithZeroAndReleasesEverything)
{
    const wchar_t* steps[] = {
        L"Connect", L"GetFolder", L"NewTask", L"get_RegistrationInfo", L"put_Author", L"get_Principal",
        L"put_PrincipalId", L"put_LogonType", L"put_RunLevel", L"get_Settings", L"put_StartWhenAvailable",
        L"get_Triggers", L"CreateTrigger", L"put_TriggerId", L"put_Delay", L"get_Actions", L"CreateAction",
        L"put_Path", L"put_Arguments", L"put_WorkingDirectory", L"RegisterTaskDefinition",
    };
    for (const wchar_t* step : steps) {
        m_log.calls.clear();
        m_log.failAt = step;
        EXPECT_EQ(0, CToviExec().RunAsStdUser(nullptr, L"C:\\x.exe", L"a", L"C:\\")) << "failing " << testing::PrintToString(std::wstring(step));
        EXPECT_EQ(1, m_log.live) << "after failing " << testing::PrintToString(std::wstring(step));
        EXPECT_TRUE(m_facts.launches.empty());
    }
}

TEST_F(StdUserTest, NoTaskServiceMeansNotStarted)
{
    m_facts.SetTaskService(nullptr, REGDB_E_CLASSNOTREG);
    EXPECT_EQ(0, CToviExec().RunAsStdUser(nullptr, L"C:\\x.exe", nullptr, nullptr));
}

TEST_F(StdUserTest, DirectStartsNeedNoTaskScheduler)
{
    struct Row { const char* why; DWORD major; bool elevated; const wchar_t* activeUser; };
    const Row rows[] = {
        { "before Vista", 5, true, L"kim" },
        { "not elevated", 6, false, L"kim" },
        { "the active user is Administrator", 6, true, L"Administrator" },
    };
    for (const Row& r : rows) {
        m_facts.launches.clear();
        m_facts.SetVersion(r.major, 1);
        m_facts.SetElevation(CSystemFacts::kElevationKnown, r.elevated);
        m_facts.SetSessions({ { 1, 0, r.activeUser } });
        EXPECT_EQ(1, CToviExec().RunAsStdUser(nullptr, L"C:\\x.exe", L"p", L"C:\\")) << r.why;
        ASSERT_EQ(1u, m_facts.launches.size()) << r.why;
        EXPECT_EQ(L"", m_facts.launches[0].verb) << r.why;
        EXPECT_EQ(L"C:\\x.exe", m_facts.launches[0].file) << r.why;
        EXPECT_EQ(L"p", m_facts.launches[0].parameters) << r.why;
    }
    EXPECT_EQ(0, m_facts.taskServiceRequests);
    EXPECT_TRUE(m_log.calls.empty());
    m_facts.SetSessions({ { 1, 0, L"administrator" } });
    m_facts.SetVersion(6, 1);
    m_facts.SetElevation(CSystemFacts::kElevationKnown, true);
    EXPECT_EQ(1, CToviExec().RunAsStdUser(nullptr, L"C:\\x.exe", nullptr, nullptr));
    EXPECT_EQ(1, m_facts.taskServiceRequests) << "the name is compared exactly";
}

TEST(ExecProcessTest, FindsThisProgramByItsExactModuleName)
{
    std::wstring own = OwnExeName();
    EXPECT_TRUE(CToviExec::FindProcess(own.c_str()));
    std::wstring lower = own;
    for (wchar_t& c : lower)
        c = towlower(c);
    EXPECT_FALSE(CToviExec::FindProcess(lower.c_str()));
}

TEST(ExecSetupTest, WaitsForTheInstallerToEnd)
{
    EXPECT_EQ(1, CToviExec().ExecuteDESetup(nullptr, nullptr, L"cmd.exe", L"/c exit 3", nullptr));
    FakeSystemFacts facts;
    facts.RecordLaunches(FALSE, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(0, CToviExec().ExecuteDESetup(nullptr, L"open", L"missing.exe", nullptr, nullptr));
    ASSERT_EQ(1u, facts.launches.size());
    EXPECT_EQ(ULONG(SEE_MASK_NOCLOSEPROCESS), facts.launches[0].mask);
}

TEST(ExecShellTest, MyShellExecPassesItsFieldsWithShowNormal)
{
    FakeSystemFacts facts;
    facts.RecordLaunches();
    EXPECT_EQ(1, CToviExec().MyShellExec(nullptr, L"open", L"a.exe", L"b", L"C:\\d"));
    ASSERT_EQ(1u, facts.launches.size());
    EXPECT_EQ(L"open", facts.launches[0].verb);
    EXPECT_EQ(L"a.exe", facts.launches[0].file);
    EXPECT_EQ(L"b", facts.launches[0].parameters);
    EXPECT_EQ(L"C:\\d", facts.launches[0].folder);
    EXPECT_EQ(SW_SHOWNORMAL, facts.launches[0].show);
    facts.RecordLaunches(FALSE, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(0, CToviExec().MyShellExec(nullptr, nullptr, L"a.exe", nullptr, nullptr));
}
