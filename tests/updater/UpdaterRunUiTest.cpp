// Update runs as a user meets them: the update dialog made from its template, run against the
// HTTP fixture (whose enciphered files come from OpenSSL) with a temporary install folder, and
// judged by the files on disk, the message boxes shown and the product program started again.
#include "TinyHttp.h"   // before windows.h: it brings winsock2.h
#include "AutoAnswer.h"
#include "CorvaneUpdateApp.h"
#include "CorvaneUpdateDlg.h"
#include "FakeSignatures.h"
#include "FakeTaskService.h"
#include "FileBytes.h"
#include "FileUtils.h"
#include "PixelCapture.h"
#include "ProductInfo.h"
#include "RegistryFixture.h"
#include "SeamSwap.h"
#include "ServiceControl.h"
#include "TestPaths.h"
#include "ToviExec.h"
#include "ToviUpdate.h"
#include "UiThread.h"
#include "UpdaterFiles.h"
#include "UpdaterRes.h"
#include "UpdateTargets.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <map>

using namespace updtest;

namespace {

std::string Bytes(const char* seed, size_t size)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = char(seed[i % strlen(seed)] + i * 7);
    return s;
}

struct Section {
    std::string name, file, target, dest, encrypt, version, hash, pre;
};

std::string Ini(const std::vector<Section>& sections)
{
    std::string ini;
    for (const Section& s : sections) {
        ini += "[" + s.name + "]\r\nFILENAME=" + s.file + "\r\nTARGETDIR=" + s.target + "\r\nDESTDIR=" + s.dest +
               "\r\nENCRYPT=" + s.encrypt + "\r\nVERSION=" + s.version + "\r\nHASH=" + s.hash + "\r\nPREACTION=" + s.pre +
               "\r\nPOSTACTION=\r\n";
    }
    return ini;
}

// The run's documents folder and the update program's path, set by each test.
std::wstring g_documents, g_programPath;
bool TestDocuments(CString& out)
{
    out = g_documents.c_str();
    return true;
}
CString TestProgramPath() { return CString(g_programPath.c_str()); }

// The Task Scheduler of a test, recording into that test's log.
TaskLog* g_taskLog = nullptr;
HRESULT FakeScheduler(ITaskService** out)
{
    *out = NewFakeTaskService(g_taskLog);
    return S_OK;
}

}

class UpdateRun : public regtest::RegistryTest {
protected:
    void SetUp() override
    {
        regtest::RegistryTest::SetUp();
        ASSERT_NE(0, FixturePort()) << "the HTTP fixture is not running";
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_www = FixtureDir() + L"\\www\\upd-" + Wide(name);
        MakeDirs(m_www);
        std::wstring scratch = testpaths::ScratchDir((L"UpdaterRun" + Wide(name)).c_str());
        m_install = scratch + L"\\install";
        m_documents = scratch + L"\\docs";
        m_update = m_documents + L"\\VariruDAD\\Update";
        m_images = m_documents + L"\\VariruDAD\\Image";
        m_outside = scratch + L"\\outside";
        MakeDirs(m_install);
        MakeDirs(m_update);
        MakeDirs(m_images);
        MakeDirs(m_outside);
        PutFile(m_install + L"\\CorvaneIXO.exe", ReadFile(ProgramFolder() + L"\\standin\\UpdaterStandIn.exe"));
        regtest::PutText(regtest::kProductKeys[0], L"InstallDir", m_install);
        regtest::PutText(regtest::kProductKeys[0], L"UpdateURL",
                         L"http://127.0.0.1:" + std::to_wstring(FixturePort()) + L"/upd-" + Wide(name));
        regtest::PutText(regtest::kProductKeys[0], L"Language", L"1033");
        CFileUtils::SetLocaleChange(LANG_ENGLISH);
        g_documents = m_documents;
        // The update program lives in the product's folder.
        g_programPath = m_install + L"\\CorvaneUpdate.exe";
    }

    void TearDown() override
    {
        ServiceInstall(false, nullptr);
        regtest::RegistryTest::TearDown();
    }

    // The run becomes one of that edition's, its updates served from base; the backup
    // edition's service is registered and running.
    void UseEdition(int index, const std::wstring& base)
    {
        m_index = index;
        const wchar_t* key = regtest::kProductKeys[index];
        regtest::PutText(key, L"InstallDir", m_install);
        regtest::PutText(key, L"UpdateURL", base);
        regtest::PutText(key, L"Language", L"1033");
        PutFile(m_install + L"\\" + product::Program(index), ReadFile(ProgramFolder() + L"\\standin\\UpdaterStandIn.exe"));
        DeleteFileW((m_install + L"\\started.txt").c_str());
        ServiceInstall(false, nullptr);
        if (index == 2) {
            std::wstring service = m_install + L"\\ToviService.exe";
            PutFile(service, ReadFile(ProgramFolder() + L"\\standin\\UpdaterTestService.exe"));
            ASSERT_TRUE(ServiceInstall(true, service.c_str()));
            ASSERT_EQ(DWORD(SERVICE_RUNNING), ServiceState());
        }
    }

    void Describe(const std::vector<Section>& sections) { PutFile(m_update + product::DescriptionFile(m_index), Ini(sections)); }
    void Serve(const std::wstring& relative, const std::string& bytes) { PutFile(m_www + L"\\" + relative, bytes); }
    void Rules(const std::wstring& relative, const std::string& rules) { PutFile(m_www + L"\\" + relative + L".http", rules); }
    void Install(const std::wstring& relative, const std::string& bytes) { PutFile(m_install + L"\\" + relative, bytes); }
    std::string Installed(const std::wstring& relative) { return ReadFile(m_install + L"\\" + relative); }

    // Runs the dialog as the program does; answers its message boxes with OK.
    int RunUpdate(DWORD timeoutMs = 40000)
    {
        uitest::AutoAnswer boxes(L"CorvaneIXO", IDOK);
        uitest::UiThread ui;
        int outcome = -1;
        auto task = ui.Post([&] {
            CCorvaneUpdateDlg dlg(m_index);
            dlg.DoModal();
            outcome = dlg.m_nOutcome;
        });
        EXPECT_TRUE(task->Wait(timeoutMs)) << "the update dialog did not close";
        for (const auto& seen : boxes.Seen())
            for (const auto& text : seen.texts)
                m_messages.push_back(text);
        return outcome;
    }

    bool MessageShown(const wchar_t* text) const
    {
        for (const auto& m : m_messages)
            if (m == text)
                return true;
        return false;
    }

    // The stand-in product's command lines, once it has been started and has written them.
    std::wstring ProductStarts()
    {
        std::wstring marker = m_install + L"\\started.txt";
        std::wstring text;
        uitest::WaitUntil([&] {
            std::string bytes = ReadFile(marker);
            text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
            return text.size() >= 2 && text.compare(text.size() - 2, 2, L"\r\n") == 0;
        }, 10000);
        return text;
    }

    bool MessageStarts(const wchar_t* text) const
    {
        for (const auto& m : m_messages)
            if (m.compare(0, wcslen(text), text) == 0)
                return true;
        return false;
    }

    int LeftOvers()
    {
        return CountFilesEndingWith(m_install, L".upd-new") + CountFilesEndingWith(m_install, L".upd-old") +
               CountFilesEndingWith(m_install, L".upd-enc") + CountFilesEndingWith(m_install, L".upd-journal");
    }

    std::wstring m_www, m_install, m_documents, m_update, m_images, m_outside;
    std::vector<std::wstring> m_messages;
    int m_index = 0;
    FakeSignatures m_signatures;
    // Not elevated, with the run's folders; a test may put its own calls in.
    testseam::Swap<CToviUpdate::DocumentsFolderFn> m_documentsSeam{CToviUpdate::s_pfnDocumentsFolder, TestDocuments};
    testseam::Swap<CToviExec::ElevatedFn> m_elevatedSeam{CToviExec::s_pfnElevated, [] { return false; }};
    testseam::Swap<CToviExec::TaskServiceFactory> m_schedulerSeam{CToviExec::s_pfnCreateTaskService};
    testseam::Swap<CToviExec::ActiveUserNameFn> m_userSeam{CToviExec::s_pfnActiveUserName};
    testseam::Swap<updatetargets::ProgramPathFn> m_programSeam{updatetargets::g_pProgramPath, TestProgramPath};
};

TEST_F(UpdateRun, ReplacesExactlyTheFilesThatAreDue)
{
    std::string versioned = ReadFile(ProgramFolder() + L"\\VersionedModule.dll");   // version 3.1.0.7
    ASSERT_FALSE(versioned.empty());
    std::string same = Bytes("same", 3000);
    std::string fresh = Bytes("fresh", 200000);        // more than three cipher pieces
    std::string changedOld = Bytes("old", 500), changedNew = Bytes("new", 700);
    std::string lower = Bytes("lower", 900);
    std::string newer = Bytes("newer", 1200);
    std::string updateDir = Bytes("update", 800);
    std::string sub = Bytes("sub", 600);
    std::string login = Bytes("login", 2500);

    Install(L"Same.dll", same);
    Install(L"Changed.txt", changedOld);
    Install(L"Newer.dll", versioned);
    Install(L"Current.dll", versioned);
    Install(L"CorvaneUpdate.exe", "the updater itself");
    Describe({
        // Installed and equal by digest (given in lower case): not due; the server has nothing.
        { "SAME", "Same.dll", "", "Home", "", "", Sha1Hex(same, false), "" },
        // Missing: due; enciphered on the server.
        { "FRESH", "Fresh.dll.enc", "", "Home", "Y", "", Sha1Hex(fresh, true), "" },
        // Installed but different by digest: due.
        { "CHANGED", "Changed.txt", "", "Home", "", "", Sha1Hex(changedNew, true), "" },
        // Lower-case "y" is not enciphered: the name keeps its ending.
        { "LOWER", "Lower.bin.enc", "", "Home", "y", "", Sha1Hex(lower, true), "" },
        // A higher version is due whatever the digest.
        { "NEWER", "Newer.dll", "", "Home", "", "3.1.0.8", Sha1Hex(newer, true), "" },
        // The same version and the same digest: not due.
        { "CURRENT", "Current.dll", "", "Home", "", "3.1.0.7", Sha1Hex(versioned, true), "" },
        // The updater never replaces itself.
        { "SELF", "corvaneupdate.exe", "", "Home", "", "", Sha1Hex("other", true), "" },
        // Staged in the download folder by design, placed in the install folder.
        { "UPD", "Helper.exe.enc", "", "Update", "Y", "", Sha1Hex(updateDir, true), "" },
        // Another destination: below the install folder in its target folder.
        { "SUB", "Part.dat", "parts", "Bin", "", "", Sha1Hex(sub, true), "" },
    });
    Serve(L"Fresh.dll", fresh);
    Serve(L"Changed.txt", changedNew);
    Serve(L"Lower.bin.enc", lower);
    Serve(L"Newer.dll", newer);
    Serve(L"Helper.exe", updateDir);
    Serve(L"parts\\Part.dat", sub);
    Serve(L"control\\image\\Customize.ini",
          Ini({ { "IXOLOGINIMAGE", "login.png.enc", "control/image", "Update", "Y", "", Sha1Hex(login, true), "" },
                { "DRIVEIXOLOGINIMAGE", "drive.png", "control/image", "Update", "", "", Sha1Hex("x", true), "" } }));
    Serve(L"control\\image\\login.png", login);
    PutFile(m_images + L"\\login.png", "an old login image");

    EXPECT_EQ(0, RunUpdate());
    EXPECT_TRUE(m_messages.empty()) << testing::PrintToString(m_messages);
    EXPECT_TRUE(filebytes::Same(same, Installed(L"Same.dll")));
    EXPECT_TRUE(filebytes::Same(fresh, Installed(L"Fresh.dll")));
    EXPECT_FALSE(Exists(m_install + L"\\Fresh.dll.enc"));
    EXPECT_TRUE(filebytes::Same(changedNew, Installed(L"Changed.txt")));
    EXPECT_TRUE(filebytes::Same(lower, Installed(L"Lower.bin.enc")));
    EXPECT_TRUE(filebytes::Same(newer, Installed(L"Newer.dll")));
    EXPECT_TRUE(filebytes::Same(versioned, Installed(L"Current.dll")));
    EXPECT_TRUE(filebytes::Same("the updater itself", Installed(L"CorvaneUpdate.exe")));
    EXPECT_TRUE(filebytes::Same(updateDir, Installed(L"Helper.exe")));
    EXPECT_TRUE(filebytes::Same(sub, Installed(L"parts\\Part.dat")));
    EXPECT_TRUE(filebytes::Same(login, ReadFile(m_images + L"\\login.png")));
    EXPECT_FALSE(Exists(m_images + L"\\drive.png"));
    EXPECT_EQ(0, CountFilesEndingWith(m_install, L".upd-new") + CountFilesEndingWith(m_install, L".upd-old") +
                     CountFilesEndingWith(m_install, L".upd-enc"));
    EXPECT_NE(std::wstring::npos, ProductStarts().find(L"/NOUPDATE"));
}

// Each failure comes after a file that was fetched well: nothing installed may change.
class UpdateFailure : public UpdateRun {
protected:
    void PrepareTwoFiles(const std::string& secondHash)
    {
        m_firstOld = Bytes("first-old", 400);
        m_firstNew = Bytes("first-new", 90000);
        m_secondOld = Bytes("second-old", 300);
        m_secondNew = Bytes("second-new", 5000);
        Install(L"First.dll", m_firstOld);
        Install(L"Second.dll", m_secondOld);
        Describe({ { "FIRST", "First.dll.enc", "", "Home", "Y", "", Sha1Hex(m_firstNew, true), "" },
                   { "SECOND", "Second.dll", "", "Home", "", "", secondHash.empty() ? Sha1Hex(m_secondNew, true) : secondHash, "" } });
        Serve(L"First.dll", m_firstNew);
        Serve(L"Second.dll", m_secondNew);
    }

    void ExpectNothingChanged()
    {
        EXPECT_TRUE(filebytes::Same(m_firstOld, Installed(L"First.dll")));
        EXPECT_TRUE(filebytes::Same(m_secondOld, Installed(L"Second.dll")));
        EXPECT_EQ(0, CountFilesEndingWith(m_install, L".upd-new") + CountFilesEndingWith(m_install, L".upd-old") +
                         CountFilesEndingWith(m_install, L".upd-enc"));
        EXPECT_NE(std::wstring::npos, ProductStarts().find(L"/NOUPDATE"));
    }

    std::string m_firstOld, m_firstNew, m_secondOld, m_secondNew;
};

TEST_F(UpdateFailure, NotFoundLeavesEveryInstalledFile)
{
    PrepareTwoFiles("");
    Rules(L"Second.dll", "status 404\n");
    EXPECT_EQ(2, RunUpdate());
    EXPECT_TRUE(MessageShown(L"File download is failed.")) << testing::PrintToString(m_messages);
    ExpectNothingChanged();
}

// The error box comes up over the update dialog while that dialog is on screen; it must be
// painted as a box, not left black. Its picture stays in the scratch folder to look at.
TEST_F(UpdateFailure, AnErrorBoxOverTheVisibleUpdateDialogIsPainted)
{
    const std::wstring shots = testpaths::ScratchDir(L"UpdaterShots");
    for (LANGID language : { LANG_ENGLISH, LANG_KOREAN }) {
        PrepareTwoFiles("");
        Rules(L"Second.dll", "status 404\n");
        CFileUtils::SetLocaleChange(language);
        uitest::UiThread ui;
        auto task = ui.Post([&] {
            CCorvaneUpdateDlg dlg(m_index);
            dlg.DoModal();
        });
        HWND box = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] {
            for (HWND w : uitest::FindTopWindows(L"#32770", L"CorvaneIXO"))
                if (IsWindowVisible(w) && GetDlgItem(w, IDC_MESSAGE_TEXT) != nullptr)
                    box = w;
            return box != nullptr;
        }, 20000)) << "no error box came up";
        uitest::Pixels pixels = uitest::CaptureWindow(box, 300);
        uitest::SavePng(pixels, shots + L"\\error-box-" + std::to_wstring(language) + L".png");
        const RECT whole = { 0, 0, pixels.width, pixels.height };
        const int black = pixels.Count(RGB(0, 0, 0), whole);
        EXPECT_LT(black, pixels.width * pixels.height / 20)
            << black << " of " << pixels.width * pixels.height << " pixels black, language " << language;
        uitest::ClickButton(box, IDOK);
        EXPECT_TRUE(task->Wait(40000));
    }
}

TEST_F(UpdateFailure, ShortBodyLeavesEveryInstalledFile)
{
    PrepareTwoFiles("");
    Rules(L"Second.dll", "short 1000\n");
    EXPECT_EQ(2, RunUpdate());
    EXPECT_TRUE(MessageShown(L"File download is failed.")) << testing::PrintToString(m_messages);
    ExpectNothingChanged();
}

TEST_F(UpdateFailure, WrongDigestLeavesEveryInstalledFile)
{
    PrepareTwoFiles(Sha1Hex("something else", true));
    EXPECT_EQ(2, RunUpdate());
    EXPECT_TRUE(MessageShown(L"Fail to file's integrity verification.")) << testing::PrintToString(m_messages);
    ExpectNothingChanged();
}

TEST_F(UpdateFailure, AFailedReplacementPutsBackWhatWasAlreadyReplaced)
{
    PrepareTwoFiles("");
    // The second target cannot be replaced: a folder stands where the file should be.
    DeleteFileW((m_install + L"\\Second.dll").c_str());
    CreateDirectoryW((m_install + L"\\Second.dll").c_str(), nullptr);
    EXPECT_EQ(2, RunUpdate());
    EXPECT_EQ(1u, m_messages.size()) << testing::PrintToString(m_messages);
    EXPECT_TRUE(filebytes::Same(m_firstOld, Installed(L"First.dll")));
    EXPECT_EQ(0, CountFilesEndingWith(m_install, L".upd-new") + CountFilesEndingWith(m_install, L".upd-old"));
    EXPECT_NE(std::wstring::npos, ProductStarts().find(L"/NOUPDATE"));
}

namespace {

// Presses the dialog's close button while the second file is on its way; 0 when it did.
DWORD WINAPI CloseDuringSecondDownload(LPVOID stop)
{
    for (int i = 0; i < 800 && WaitForSingleObject(stop, 0) != WAIT_OBJECT_0; ++i) {
        HWND dialog = FindWindowW(L"#32770", L"Corvane live update");
        if (dialog != nullptr && IsWindowVisible(dialog)) {
            wchar_t file[64] = {};
            GetDlgItemTextW(dialog, 1001, file, 63);
            if (wcscmp(file, L"Second.dll") == 0) {
                Sleep(300);
                uitest::ClickButton(dialog, IDCANCEL);
                return 0;
            }
        }
        Sleep(25);
    }
    return 1;
}

}

TEST_F(UpdateFailure, CancelDuringADownloadStopsSafelyAndStartsTheProductAgain)
{
    PrepareTwoFiles("");
    Rules(L"Second.dll", "delay-ms 2500\n");
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Closes the dialog while the second file is on its way.
    HANDLE watcher = CreateThread(nullptr, 0, CloseDuringSecondDownload, stop, 0, nullptr);
    EXPECT_EQ(2, RunUpdate());
    SetEvent(stop);
    WaitForSingleObject(watcher, 5000);
    DWORD clicked = 1;
    GetExitCodeThread(watcher, &clicked);
    CloseHandle(watcher);
    CloseHandle(stop);
    EXPECT_EQ(0u, clicked) << "the close button was never pressed during the download";
    EXPECT_TRUE(m_messages.empty()) << testing::PrintToString(m_messages);
    ExpectNothingChanged();
}

TEST_F(UpdateRun, EntriesThatLeaveTheInstallFolderOrLackADigestAreNeverFetched)
{
    std::string evil = Bytes("evil", 100);
    std::string good = Bytes("good", 100);
    Describe({
        { "UP", "..\\Evil1.dll", "", "Home", "", "", Sha1Hex(evil, true), "" },
        { "TARGET", "Evil2.dll", "..\\outside", "Bin", "", "", Sha1Hex(evil, true), "" },
        { "DRIVE", "Evil3.dll", "C:\\", "Bin", "", "", Sha1Hex(evil, true), "" },
        { "DEST", "Evil4.dll", "", "..\\..", "", "", Sha1Hex(evil, true), "" },
        { "COLON", "C:Evil5.dll", "", "Home", "", "", Sha1Hex(evil, true), "" },
        { "NODIGEST", "Evil6.dll", "", "Home", "", "", "", "" },
        { "GOOD", "Good.dll", "", "Home", "", "", Sha1Hex(good, true), "" },
    });
    for (const wchar_t* name : { L"Evil1.dll", L"Evil2.dll", L"Evil3.dll", L"Evil4.dll", L"Evil5.dll", L"Evil6.dll" })
        Serve(name, evil);
    Serve(L"outside\\Evil2.dll", evil);
    Serve(L"Good.dll", good);
    EXPECT_EQ(0, RunUpdate());
    EXPECT_TRUE(filebytes::Same(good, Installed(L"Good.dll")));
    EXPECT_EQ(0, CountFilesEndingWith(m_install + L"\\..", L".dll") - CountFilesEndingWith(m_install, L".dll"));
    EXPECT_FALSE(Exists(m_install + L"\\Evil6.dll"));
    EXPECT_FALSE(Exists(m_outside + L"\\Evil2.dll"));
}

TEST_F(UpdateRun, NothingDueStartsTheProductThroughTheSchedulerWhenElevated)
{
    std::string same = Bytes("same", 100);
    Install(L"Same.dll", same);
    Describe({ { "SAME", "Same.dll", "", "Home", "", "", Sha1Hex(same, true), "" } });
    TaskLog log;
    CToviExec::s_pfnElevated = [] { return true; };
    CToviExec::s_pfnActiveUserName = [] { return CString(L"someone"); };
    g_taskLog = &log;
    CToviExec::s_pfnCreateTaskService = FakeScheduler;
    EXPECT_EQ(1, RunUpdate());
    auto logged = [&](const std::wstring& call) {
        for (const auto& c : log.calls)
            if (c == call)
                return true;
        return false;
    };
    EXPECT_TRUE(logged(L"put_Path " + m_install + L"\\CorvaneIXO.exe")) << testing::PrintToString(log.calls);
    EXPECT_TRUE(logged(L"put_Arguments /NOUPDATE")) << testing::PrintToString(log.calls);
    EXPECT_TRUE(logged(L"put_WorkingDirectory " + m_install)) << testing::PrintToString(log.calls);
    EXPECT_EQ(0, log.live);
    // The scheduler started it, not the shell.
    EXPECT_FALSE(Exists(m_install + L"\\started.txt"));
}

TEST_F(UpdateRun, BackupEditionWhoseServiceCannotStopStillGetsItsProgramBack)
{
    // No service is installed in this prefix, so stopping it fails.
    m_index = 2;
    PutFile(m_install + L"\\CorvaneBackup.exe", ReadFile(ProgramFolder() + L"\\standin\\UpdaterStandIn.exe"));
    regtest::PutText(regtest::kProductKeys[2], L"InstallDir", m_install);
    std::string bytes = Bytes("backup", 100);
    PutFile(m_update + L"\\UpdateBackup.ini", Ini({ { "B", "B.dll", "", "Home", "", "", Sha1Hex(bytes, true), "" } }));
    Serve(L"B.dll", bytes);
    EXPECT_EQ(1, RunUpdate());
    EXPECT_FALSE(Exists(m_install + L"\\B.dll"));
    EXPECT_NE(std::wstring::npos, ProductStarts().find(L"/NOUPDATE"));
}

TEST_F(UpdateRun, TheOrdinaryUserStartGoesThroughTheSchedulerWhenElevated)
{
    CToviExec::s_pfnElevated = [] { return true; };
    CToviExec::s_pfnActiveUserName = [] { return CString(L"someone"); };
    struct Row {
        const char* why;
        const wchar_t* failAt;
        int result;
    } rows[] = {
        { "registered", L"", 0 },
        { "the scheduler refuses the task", L"RegisterTaskDefinition", 1 },
        { "the scheduler cannot be reached", L"Connect", 1 },
    };
    for (const Row& row : rows) {
        TaskLog log;
        log.failAt = row.failAt;
        g_taskLog = &log;
        CToviExec::s_pfnCreateTaskService = FakeScheduler;
        EXPECT_EQ(row.result, CCorvaneUpdateApp::StartProductAsStdUser(0)) << row.why;
        bool path = false, arguments = false, folder = false, registration = false;
        for (const auto& c : log.calls) {
            // The update program names an empty user and no security descriptor.
            registration = registration || c == L"RegisterTaskDefinition RunAsStdUser Task flags 6 user \"\" password (empty) "
                                                L"logon 3 sddl (empty)";
            path = path || c == L"put_Path " + m_install + L"\\CorvaneIXO.exe";
            arguments = arguments || c.compare(0, 13, L"put_Arguments") == 0;
            folder = folder || c == L"put_WorkingDirectory " + m_install;
        }
        if (row.result == 0) {
            EXPECT_TRUE(registration) << testing::PrintToString(log.calls);
            EXPECT_TRUE(path) << testing::PrintToString(log.calls);
            EXPECT_TRUE(folder) << testing::PrintToString(log.calls);
        }
        EXPECT_FALSE(arguments) << "the product is started without arguments";
        EXPECT_EQ(0, log.live) << row.why;
    }
    // The scheduler started it, never the shell.
    EXPECT_FALSE(Exists(m_install + L"\\started.txt"));
}

TEST_F(UpdateRun, TheOrdinaryUserStartRunsTheProductDirectlyWhenNotElevated)
{
    TaskLog log;
    g_taskLog = &log;
    CToviExec::s_pfnCreateTaskService = FakeScheduler;
    EXPECT_EQ(0, CCorvaneUpdateApp::StartProductAsStdUser(0));
    EXPECT_FALSE(ProductStarts().empty());
    EXPECT_TRUE(log.calls.empty()) << testing::PrintToString(log.calls);
}

TEST_F(UpdateRun, TheOrdinaryUserStartWithoutAnInstallFolderLeavesItToTheUpdate)
{
    regtest::PutText(regtest::kProductKeys[1], L"InstallDir", L"");
    EXPECT_EQ(-1, CCorvaneUpdateApp::StartProductAsStdUser(1));
}

// What an ordinary user's process can write (the registry values, the description and its
// digests, the server) must not decide what an elevated run installs.
TEST_F(UpdateRun, AnElevatedRunInstallsOnlyIntoItsOwnFolder)
{
    CToviExec::s_pfnElevated = [] { return true; };
    CToviExec::s_pfnActiveUserName = [] { return CString(L"Administrator"); };
    std::string payload = Bytes("payload", 300);
    std::string victim = Bytes("victim", 200);
    PutFile(m_outside + L"\\ToviConnect.dll", victim);
    regtest::PutText(regtest::kProductKeys[0], L"InstallDir", m_outside);
    Describe({ { "DLL", "ToviConnect.dll", "", "Home", "", "", Sha1Hex(payload, true), "" },
               { "NEW", "Planted.dll", "", "Home", "", "", Sha1Hex(payload, true), "" } });
    Serve(L"ToviConnect.dll", payload);
    Serve(L"Planted.dll", payload);
    EXPECT_EQ(1, RunUpdate());
    EXPECT_TRUE(MessageShown(L"The install folder in the registry is not the folder of the update program. The update was refused."))
        << testing::PrintToString(m_messages);
    EXPECT_TRUE(filebytes::Same(victim, ReadFile(m_outside + L"\\ToviConnect.dll")));
    EXPECT_FALSE(Exists(m_outside + L"\\Planted.dll"));
    EXPECT_FALSE(Exists(m_install + L"\\Planted.dll"));
    // The product comes back from the update program's folder, never from the registry's.
    EXPECT_NE(std::wstring::npos, ProductStarts().find(L"/NOUPDATE"));

    // The registry may confirm the folder, in any spelling.
    m_messages.clear();
    regtest::PutText(regtest::kProductKeys[0], L"InstallDir", m_install + L"\\.\\");
    EXPECT_EQ(0, RunUpdate());
    EXPECT_TRUE(m_messages.empty()) << testing::PrintToString(m_messages);
    EXPECT_TRUE(filebytes::Same(payload, Installed(L"ToviConnect.dll")));
}

TEST_F(UpdateRun, ProgramImagesMustComeFromTheUpdateProgramsSigner)
{
    std::string oldDll = Bytes("old-dll", 400), oldExe = Bytes("old-exe", 400), oldData = Bytes("old-data", 400);
    struct Row {
        const char* why;
        std::string served;
        std::wstring ownSigner;
        bool accepted;
    } rows[] = {
        { "signed by the update program's signer", Bytes("good", 500), FakeSignatures::kOwn, true },
        { "unsigned", "unsigned" + Bytes("bad", 500), FakeSignatures::kOwn, false },
        { "signed by someone else", "signed-by:CN=Someone Else\n" + Bytes("bad", 500), FakeSignatures::kOwn, false },
        { "an unsigned update program accepts no image", Bytes("good", 500), L"", false },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        m_signatures.ownSigner = row.ownSigner;
        m_messages.clear();
        Install(L"Module.dll", oldDll);
        Install(L"Tool.exe", oldExe);
        Install(L"Notes.txt", oldData);
        // A data file is proven by its digest alone.
        std::string notes = "unsigned notes " + std::string(row.why);
        Describe({ { "NOTES", "Notes.txt", "", "Home", "", "", Sha1Hex(notes, true), "" },
                   { "DLL", "Module.dll", "", "Home", "", "", Sha1Hex(row.served, true), "" },
                   { "EXE", "Tool.exe", "", "Home", "", "", Sha1Hex(row.served, true), "" } });
        Serve(L"Notes.txt", notes);
        Serve(L"Module.dll", row.served);
        Serve(L"Tool.exe", row.served);
        EXPECT_EQ(row.accepted ? 0 : 2, RunUpdate());
        if (row.accepted) {
            EXPECT_TRUE(m_messages.empty()) << testing::PrintToString(m_messages);
            EXPECT_TRUE(filebytes::Same(row.served, Installed(L"Module.dll")));
            EXPECT_TRUE(filebytes::Same(notes, Installed(L"Notes.txt")));
        } else {
            EXPECT_TRUE(MessageStarts(L"Fail to file's signature verification.")) << testing::PrintToString(m_messages);
            EXPECT_TRUE(filebytes::Same(oldDll, Installed(L"Module.dll")));
            EXPECT_TRUE(filebytes::Same(oldExe, Installed(L"Tool.exe")));
            EXPECT_TRUE(filebytes::Same(oldData, Installed(L"Notes.txt")));
        }
        EXPECT_EQ(0, LeftOvers());
    }
    // A program image under another name is known by its header.
    m_signatures.ownSigner = FakeSignatures::kOwn;
    m_messages.clear();
    std::string disguised = "MZ unsigned" + Bytes("disguised", 300);
    Install(L"Plugin.dat", "old plugin");
    Describe({ { "DAT", "Plugin.dat", "", "Home", "", "", Sha1Hex(disguised, true), "" } });
    Serve(L"Plugin.dat", disguised);
    EXPECT_EQ(2, RunUpdate());
    EXPECT_TRUE(MessageStarts(L"Fail to file's signature verification.")) << testing::PrintToString(m_messages);
    EXPECT_TRUE(filebytes::Same("old plugin", Installed(L"Plugin.dat")));
    EXPECT_EQ(0, LeftOvers());
}


TEST_F(UpdateRun, ADescriptionThatNamesOneFileTwiceIsRefusedWhole)
{
    std::string old = Bytes("a-old", 300), first = Bytes("a-first", 400), second = Bytes("a-second", 500);
    std::string otherOld = Bytes("b-old", 300), otherNew = Bytes("b-new", 300);
    struct Row {
        const char* why;
        std::vector<Section> twice;
    } rows[] = {
        { "plain and enciphered", { { "A1", "A.dll", "", "Home", "", "", Sha1Hex(first, true), "" },
                                    { "A2", "A.dll.enc", "", "Home", "Y", "", Sha1Hex(second, true), "" } } },
        { "two spellings", { { "A1", "A.dll", "", "Home", "", "", Sha1Hex(first, true), "" },
                             { "A2", "a.DLL", "", "Home", "", "", Sha1Hex(second, true), "" } } },
        { "through a folder step", { { "A1", "A.dll", "", "Home", "", "", Sha1Hex(first, true), "" },
                                     { "A2", ".\\A.dll", "", "Home", "", "", Sha1Hex(second, true), "" } } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        m_messages.clear();
        Install(L"A.dll", old);
        Install(L"B.dll", otherOld);
        std::vector<Section> sections = { { "B", "B.dll", "", "Home", "", "", Sha1Hex(otherNew, true), "" } };
        sections.insert(sections.end(), row.twice.begin(), row.twice.end());
        Describe(sections);
        Serve(L"A.dll", first);
        Serve(L"a.DLL", second);
        Serve(L"B.dll", otherNew);
        EXPECT_EQ(1, RunUpdate());
        EXPECT_TRUE(MessageStarts(L"The update information names one file twice. The update was refused."))
            << testing::PrintToString(m_messages);
        EXPECT_TRUE(filebytes::Same(old, Installed(L"A.dll")));
        EXPECT_TRUE(filebytes::Same(otherOld, Installed(L"B.dll")));
        EXPECT_EQ(0, LeftOvers());
    }
}

// A target that can be set aside neither by rename nor by delete, because another program
// holds it open without delete sharing: the files already replaced come back as they were.
TEST_F(UpdateFailure, ATargetHeldOpenPutsBackWhatWasAlreadyReplaced)
{
    PrepareTwoFiles("");
    HANDLE held = CreateFileW((m_install + L"\\Second.dll").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(2, RunUpdate());
    CloseHandle(held);
    EXPECT_TRUE(MessageShown(L"Failed to update file. (move)")) << testing::PrintToString(m_messages);
    ExpectNothingChanged();
    EXPECT_FALSE(Exists(m_install + L"\\CorvaneUpdate.upd-journal"));
}

TEST_F(UpdateRun, TheUpdateProgramIsNeverReplacedAndReadOnlyFilesAre)
{
    std::string roOld = Bytes("ro-old", 300), roNew = Bytes("ro-new", 700);
    Install(L"CorvaneUpdate.exe", "the updater itself");
    Install(L"Settings.xml", roOld);
    SetFileAttributesW((m_install + L"\\Settings.xml").c_str(), FILE_ATTRIBUTE_READONLY);
    Describe({ { "SELF", "./CorvaneUpdate.exe", "", "Home", "", "", Sha1Hex("other", true), "" },
               { "RO", "Settings.xml", "", "Home", "", "", Sha1Hex(roNew, true), "" } });
    Serve(L"CorvaneUpdate.exe", "other");
    Serve(L"Settings.xml", roNew);
    EXPECT_EQ(0, RunUpdate());
    EXPECT_TRUE(m_messages.empty()) << testing::PrintToString(m_messages);
    EXPECT_TRUE(filebytes::Same("the updater itself", Installed(L"CorvaneUpdate.exe")));
    EXPECT_TRUE(filebytes::Same(roNew, Installed(L"Settings.xml")));
    DWORD attributes = GetFileAttributesW((m_install + L"\\Settings.xml").c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) << "the attribute comes back";
    SetFileAttributesW((m_install + L"\\Settings.xml").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(0, LeftOvers());
}

namespace {

// Presses Close once the file label shows name and the server has stalled the body; returns
// when pressed (true) or after 30 s.
bool CloseWhileStalled(const wchar_t* name, HANDLE stalled)
{
    return uitest::WaitUntil([&] {
        HWND dialog = FindWindowW(L"#32770", L"Corvane live update");
        if (dialog == nullptr || !IsWindowVisible(dialog) || WaitForSingleObject(stalled, 0) != WAIT_OBJECT_0)
            return false;
        wchar_t file[64] = {};
        GetDlgItemTextW(dialog, 1001, file, 63);
        if (wcscmp(file, name) != 0)
            return false;
        // The worker is inside the body's read by now.
        Sleep(500);
        uitest::ClickButton(dialog, IDCANCEL);
        return true;
    }, 30000);
}

// What a stalled run must give back whichever edition it updates: the backup edition's
// service is stopped while it runs and started again at its end.
struct StalledEdition {
    const char* name;
    int index;
    bool service;
};
const StalledEdition kStalledEditions[] = { { "main edition", 0, false }, { "backup edition", 2, true } };

// The service's state once the run has asked the server for something: by then the run has
// stopped the service, and it starts it again only at its end.
class ServiceWhileAsking {
public:
    explicit ServiceWhileAsking(const TinyHttp& http)
        : m_watcher([this, &http] {
              if (uitest::WaitUntil([&] { return !http.Requests().empty(); }, 30000))
                  m_state = ServiceState();
          })
    {
    }
    ~ServiceWhileAsking() { State(); }
    DWORD State()
    {
        if (m_watcher.joinable())
            m_watcher.join();
        return m_state;
    }

private:
    DWORD m_state = 0;
    std::thread m_watcher;
};

}

// A server that accepts and then says nothing, or stops in the middle of a body: the run ends
// by itself, or at once when the user closes the dialog; the product (and the backup
// edition's service) comes back and nothing staged is left.
TEST_F(UpdateFailure, AStalledServerCannotHoldTheRun)
{
    for (const StalledEdition& edition : kStalledEditions) {
        SCOPED_TRACE(edition.name);
        TinyHttp http;
        UseEdition(edition.index, http.Base());
        if (HasFatalFailure())
            return;
        std::string firstOld = Bytes("first-old", 400), firstNew = Bytes("first-new", 200000);
        Install(L"First.dll", firstOld);
        Describe({ { "FIRST", "First.dll", "", "Home", "", "", Sha1Hex(firstNew, true), "" } });
        http.Serve("/First.dll", firstNew);
        http.StallAfter("/First.dll", 1000);
        // The image description never answers: the check goes on after its open time-out.
        http.Silent("/control/image/Customize.ini.enc");

        ServiceWhileAsking service(http);
        HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD clickedAt = 0, closedAt = 0;
        std::thread closer([&] {
            if (CloseWhileStalled(L"First.dll", http.StallStarted()))
                clickedAt = GetTickCount();
            WaitForSingleObject(closed, 60000);
            closedAt = GetTickCount();
        });
        EXPECT_EQ(2, RunUpdate(60000));
        SetEvent(closed);
        closer.join();
        CloseHandle(closed);
        ASSERT_NE(0u, clickedAt) << "Close was never pressed during the download";
        EXPECT_LT(closedAt - clickedAt, 8000u) << "the dialog stayed after Close";
        EXPECT_TRUE(filebytes::Same(firstOld, Installed(L"First.dll")));
        EXPECT_NE(std::wstring::npos, ProductStarts().find(L"/NOUPDATE"));
        EXPECT_EQ(0, LeftOvers());
        if (edition.service) {
            EXPECT_EQ(DWORD(SERVICE_STOPPED), service.State()) << "the service ran during the update";
            EXPECT_EQ(DWORD(SERVICE_RUNNING), ServiceState()) << "the service was not started again";
        }
    }
}

TEST_F(UpdateFailure, AServerThatNeverAnswersEndsTheRunByItself)
{
    for (const StalledEdition& edition : kStalledEditions) {
        SCOPED_TRACE(edition.name);
        m_messages.clear();
        TinyHttp http;
        UseEdition(edition.index, http.Base());
        if (HasFatalFailure())
            return;
        std::string firstOld = Bytes("first-old", 400);
        Install(L"First.dll", firstOld);
        Describe({ { "FIRST", "First.dll", "", "Home", "", "", Sha1Hex(Bytes("x", 10), true), "" } });
        http.Silent("*");
        ServiceWhileAsking service(http);
        DWORD started = GetTickCount();
        EXPECT_EQ(2, RunUpdate(60000));
        EXPECT_LT(GetTickCount() - started, 30000u);
        EXPECT_TRUE(MessageShown(L"File download is failed.")) << testing::PrintToString(m_messages);
        EXPECT_TRUE(filebytes::Same(firstOld, Installed(L"First.dll")));
        EXPECT_EQ(0, LeftOvers());
        EXPECT_NE(std::wstring::npos, ProductStarts().find(L"/NOUPDATE"));
        if (edition.service) {
            EXPECT_EQ(DWORD(SERVICE_STOPPED), service.State()) << "the service ran during the update";
            EXPECT_EQ(DWORD(SERVICE_RUNNING), ServiceState()) << "the service was not started again";
        }
    }
}
