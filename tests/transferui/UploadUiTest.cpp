// The upload window against the test server, started as the main program starts it: trees arrive
// byte-identical, identical files are skipped, differing ones ask, failures are retried, counted
// and listed, and forced stops and cancels end the run cleanly.
#include <winsock2.h>
#include "UploadHost.h"
#include "AutoAnswer.h"
#include "FileUtils.h"
#include "UploadEcm.h"
#include "PixelCapture.h"
#include "WindowDriver.h"
#include <algorithm>
#include <atomic>
#include <thread>
#include <cstring>

using namespace uploadtest;
using road::WriteLocal;

namespace {

class UploadRun : public UploadHost {
protected:
    std::wstring Local(const wchar_t* name) { return Scratch(name); }

    // A file of that size put on the server under "My Files" through the protocol.
    void PutOnServer(const std::wstring& local, size_t size, unsigned seed)
    {
        WriteLocal(local, size, seed);
        ASSERT_NE(road::UploadOutcome::Failed, Upload(m_proto, local, m_myFiles, "1")) << m_proto.Message();
    }

    std::string Checksum(const std::wstring& local)
    {
        return std::to_string(CFileUtils::ComputeChecksum(local.c_str(), 0));
    }
};

// The document-management component of the tests: the work area is the scratch folder's
// "work" sub-folder and every check-out hands back the link file.
std::wstring g_ecmWork;
std::wstring g_ecmLink;
class TestEcm : public CUploadEcm {
public:
    CString ExternalRoot() override { return L"E:\\"; }
    CString WorkRoot() override { return g_ecmWork.c_str(); }
    bool CheckOut(const CString&, CString& kind, CString& replacement, CString& status, CString&) override
    {
        kind = L"L";
        replacement = g_ecmLink.c_str();
        status = L"DO0";
        return true;
    }
};
CUploadEcm* MakeTestEcm() { return new TestEcm(); }
CUploadEcm* MakeNoEcm() { return nullptr; }

// How many starts of the socket library this process holds (released and taken back).
int SocketLibraryReferences()
{
    int count = 0;
    while (WSACleanup() == 0)
        ++count;
    WSADATA data;
    for (int i = 0; i < count; ++i)
        WSAStartup(MAKEWORD(2, 2), &data);
    return count;
}

bool AllRows(const std::vector<Row>& rows, const wchar_t* status)
{
    return !rows.empty() && std::all_of(rows.begin(), rows.end(), [&](const Row& r) { return r.status == status; });
}

}

TEST_F(UploadRun, ATreeArrivesByteIdenticalAndEveryRowIsCompleted)
{
    const std::wstring root = Local(L"tree");
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"\\빈 폴더").c_str(), nullptr);
    CreateDirectoryW((root + L"\\빈 폴더\\안쪽").c_str(), nullptr);
    CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
    WriteLocal(root + L"\\empty.bin", 0);
    WriteLocal(root + L"\\big.bin", 3 * 65000 + 17, 3);
    WriteLocal(root + L"\\한글 이름.txt", 4000, 4);
    WriteLocal(root + L"\\sub\\inner.bin", 70000, 5);

    CUploadThread* thread = Start({Item(root, true, 0x7788)});
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(WaitForRunEnd(thread));
    const std::vector<Row> rows = Rows(thread);
    EXPECT_EQ(8u, rows.size());
    EXPECT_TRUE(AllRows(rows, L"Completed"));
    EXPECT_EQ(4, thread->m_dlg.GetSentCount());
    EXPECT_EQ(0, thread->m_dlg.GetFailedCount());
    EXPECT_EQ(1, Owner().done.load());
    EXPECT_EQ(0x7788u, Owner().lastDoneData.load());
    EXPECT_EQ(100u, Taskbar().lastValue.load());
    Finish(thread);
    EXPECT_TRUE(uitest::WaitUntil([] { return Owner().exits.load() == 1; }));

    const std::vector<_PROTO_FOLDER_INFO> top = ListPath({L"tree"});
    EXPECT_TRUE(ServerHoldsSame(top, L"empty.bin", root + L"\\empty.bin"));
    EXPECT_TRUE(ServerHoldsSame(top, L"big.bin", root + L"\\big.bin"));
    EXPECT_TRUE(ServerHoldsSame(top, L"한글 이름.txt", root + L"\\한글 이름.txt"));
    EXPECT_TRUE(ServerHoldsSame(ListPath({L"tree", L"sub"}), L"inner.bin", root + L"\\sub\\inner.bin"));
    EXPECT_NE(nullptr, Find(ListPath({L"tree", L"빈 폴더"}), L"안쪽"));

    const std::vector<EXECUTION_STATE> wake = WakeCalls();
    ASSERT_GE(wake.size(), 2u);
    EXPECT_EQ(static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED), wake.front());
    EXPECT_EQ(static_cast<EXECUTION_STATE>(ES_CONTINUOUS), wake.back());
}

TEST_F(UploadRun, AnIdenticalFileIsSkippedSilentlyAndADifferentOneIsOverwrittenWhenTheUserSaysSo)
{
    const std::wstring same = Local(L"same.bin");
    const std::wstring changed = Local(L"changed.bin");
    PutOnServer(same, 200000, 1);
    PutOnServer(changed, 200000, 2);
    WriteLocal(changed, 150000, 9);

    PromptAnswerer answer(10017, false);
    CUploadThread* thread = Start({Item(same, false), Item(changed, false)});
    ASSERT_TRUE(WaitForRunEnd(thread));
    EXPECT_EQ(1, answer.Count()) << "only the different file asks";
    const std::vector<Row> rows = Rows(thread);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(L"Completed", rows[0].status);
    EXPECT_EQ(L"Completed", rows[1].status);
    Finish(thread);
    EXPECT_EQ(Checksum(changed), protoserver::Control::Value(ServerItem("changed.bin"), "checksum"));
    EXPECT_EQ(Checksum(same), protoserver::Control::Value(ServerItem("same.bin"), "checksum"));
}

TEST_F(UploadRun, SkipWithApplyToAllLeavesEveryDifferingFileAsTheServerHasIt)
{
    std::vector<std::wstring> files;
    std::vector<std::string> before;
    for (int i = 0; i < 3; ++i) {
        const std::wstring path = Local((L"d" + std::to_wstring(i) + L".bin").c_str());
        PutOnServer(path, 100000, 10 + i);
        before.push_back(Checksum(path));
        WriteLocal(path, 100000, 20 + i);
        files.push_back(path);
    }
    PromptAnswerer answer(10018, true);
    std::vector<_UPLOADINFO> items;
    for (const std::wstring& path : files)
        items.push_back(Item(path, false));
    CUploadThread* thread = Start(items);
    ASSERT_TRUE(WaitForRunEnd(thread));
    EXPECT_EQ(1, answer.Count()) << "the answer applies to the rest";
    EXPECT_TRUE(AllRows(Rows(thread), L"Cancel"));
    EXPECT_EQ(0, thread->m_dlg.GetSentCount());
    Finish(thread);
    for (int i = 0; i < 3; ++i) {
        const std::string name = "d" + std::to_string(i) + ".bin";
        EXPECT_EQ(before[i], protoserver::Control::Value(ServerItem(name), "checksum")) << name;
    }
}

TEST_F(UploadRun, CancelInThePromptStopsTheRunAndTellsTheServer)
{
    const std::wstring first = Local(L"c1.bin");
    const std::wstring second = Local(L"c2.bin");
    PutOnServer(first, 50000, 31);
    const std::string kept = Checksum(first);
    WriteLocal(first, 50000, 32);
    WriteLocal(second, 50000, 33);

    PromptAnswerer answer(IDCANCEL, true);
    CUploadThread* thread = Start({Item(first, false), Item(second, false)});
    ASSERT_TRUE(WaitForRunEnd(thread));
    EXPECT_EQ(1, answer.Count());
    EXPECT_TRUE(AllRows(Rows(thread), L"Cancel"));
    Finish(thread);
    EXPECT_TRUE(Saw("H6"));
    EXPECT_FALSE(Saw("H5")) << "nothing was sent: no result phase";
    EXPECT_EQ(kept, protoserver::Control::Value(ServerItem("c1.bin"), "checksum"));
    EXPECT_EQ("ERR", ServerItem("c2.bin").substr(0, 3)) << "the run stopped before the second file";
}

// A run stopped by the server's refusal leaves its remaining items waiting; items added later
// start the next run, which takes the waiting ones first and then the new ones.
TEST_F(UploadRun, ItemsAddedAfterAStoppedRunAreSentWithTheOnesTheStopLeft)
{
    const std::wstring refused = Local(L"s1.bin");
    const std::wstring left = Local(L"s2.bin");
    const std::wstring added = Local(L"s3.bin");
    WriteLocal(refused, 3000, 51);
    WriteLocal(left, 4000, 52);
    WriteLocal(added, 5000, 53);
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1500 cmd=H0 -- Not here.").substr(0, 2));
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    CUploadThread* thread = Start({Item(refused, false), Item(left, false)});
    ASSERT_TRUE(WaitForRunEnd(thread));
    EXPECT_EQ("ERR", ServerItem("s2.bin").substr(0, 3)) << "the stop holds the run";
    EXPECT_EQ(1u, thread->m_dlg.GetNextIndex()) << "the refused item had its turn; the next one waits";
    for (const wchar_t* title : {L"Upload Results", L"업로드 결과"}) {
        if (HWND list = uitest::FindTopWindow(L"#32770", title)) {
            uitest::ClickButton(list, IDOK);
            uitest::WaitForWindowGone(list);
        }
    }

    std::vector<_UPLOADINFO> more = {Item(added, false)};
    ASSERT_TRUE(uitest::WaitUntil([&] {
        EXPECT_EQ(0, thread->AddUploadInfo(more));
        return more.empty();
    }, 20000));
    ASSERT_TRUE(uitest::WaitUntil([&] {
        return thread->m_dlg.GetNextIndex() == 3u && WaitForRunEnd(thread, 100);
    }, 30000));
    const std::vector<_PROTO_FOLDER_INFO> top = ListPath({});
    EXPECT_TRUE(ServerHoldsSame(top, L"s2.bin", left));
    EXPECT_TRUE(ServerHoldsSame(top, L"s3.bin", added));
    EXPECT_EQ(nullptr, Find(top, L"s1.bin"));
    const std::vector<Row> rows = Rows(thread);
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ(L"Failed", rows[0].status);
    EXPECT_EQ(L"Completed", rows[1].status);
    EXPECT_EQ(L"Completed", rows[2].status);
    Finish(thread);
}

TEST_F(UploadRun, AServerThatKeepsClosingIsAbandonedAfterTheConfiguredRetries)
{
    const std::wstring path = Local(L"never.bin");
    WriteLocal(path, 1000, 41);
    ASSERT_EQ("OK", Control("FAULT close cmd=H0 count=*").substr(0, 2));
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    CUploadThread* thread = Start({Item(path, false)});
    ASSERT_TRUE(WaitForRunEnd(thread, 60000));
    EXPECT_EQ(1, thread->m_dlg.GetAbandonedCount());
    const std::vector<Row> rows = Rows(thread);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Failed", rows[0].status);
    EXPECT_EQ(3u, Rows(thread, 10094).size()) << "the first attempt and two retries are logged";
    EXPECT_GE(Taskbar().errors.load(), 3);
    EXPECT_EQ(0, Owner().done.load()) << "an abandoned run ends at once";
    Finish(thread);
}

TEST_F(UploadRun, ASessionEndedByTheServerStopsAtOnceWithoutAResultPhase)
{
    const std::wstring a = Local(L"f1.bin");
    const std::wstring b = Local(L"f2.bin");
    WriteLocal(a, 1000, 51);
    WriteLocal(b, 1000, 52);
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1213 cmd=H0 -- Session closed.").substr(0, 2));
    CUploadThread* thread = Start({Item(a, false), Item(b, false)});
    ASSERT_NE(nullptr, thread);
    CUploadDlg* dlg = &thread->m_dlg;
    EXPECT_TRUE(uitest::WaitUntil([&] { return dlg->m_bForceStopped.load(); }, 15000));
    // A forced stop closes the window by itself.
    EXPECT_TRUE(WaitForExit(thread));
    EXPECT_FALSE(Saw("H5"));
    EXPECT_EQ("ERR", ServerItem("f2.bin").substr(0, 3));
}

TEST_F(UploadRun, TheServersErrorLinesAreListedAndHeldFilesGoToApproval)
{
    const std::wstring path = Local(L"held.bin");
    WriteLocal(path, 5000, 61);
    ProtRecord error;
    error[44] = "E";
    error[181] = "held.bin";
    error[255] = "Waiting for approval";
    error[173] = "77";
    ProtRecord last;
    last[44] = "N";
    ASSERT_EQ("OK", Control("FAULT payload cmd=H5 hex=" + road::RecordHex({error, last})).substr(0, 2));
    CUploadThread* thread = Start({Item(path, false)});
    HWND list = uitest::WaitForDialog(L"Upload Results", 30000);
    ASSERT_NE(nullptr, list);
    HWND rows = GetDlgItem(list, 10096);
    ASSERT_EQ(1, static_cast<int>(SendMessageW(rows, LVM_GETITEMCOUNT, 0, 0)));
    wchar_t text[256] = {};
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(rows, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(L"Waiting for approval"), text);
    {
        std::lock_guard<std::mutex> lock(Owner().lock);
        ASSERT_EQ(1u, Owner().approvals.size());
        EXPECT_EQ(L"77", Owner().approvals[0]);
    }
    uitest::ClickButton(list, IDOK);
    EXPECT_TRUE(uitest::WaitForWindowGone(list));
    ASSERT_TRUE(WaitForRunEnd(thread));
    EXPECT_EQ(1, thread->m_dlg.GetResultErrorCount());
    Finish(thread);
}

TEST_F(UploadRun, ACancelMidFileIsNeitherCountedNorShownCompleted)
{
    const std::wstring path = Local(L"slow.bin");
    WriteLocal(path, 4 * 1024 * 1024, 71);
    ASSERT_EQ("OK", Control("SWITCH bandwidth=256").substr(0, 2));
    CUploadThread* thread = Start({Item(path, false)});
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Saw("H0"); }, 15000)) << "the file was announced";
    ASSERT_TRUE(MidFile(Window(thread), L"slow.bin")) << "the window shows the file partly sent";
    uitest::ClickButton(Window(thread), IDCANCEL);
    ASSERT_TRUE(uitest::WaitUntil([&] { return WaitForSingleObject(thread->m_hThread, 0) == WAIT_OBJECT_0; },
                                  15000));
    EXPECT_EQ(0, thread->m_dlg.GetSentCount());
    EXPECT_EQ(1, Owner().done.load()) << "a stopped worker still reports the end";
    EXPECT_TRUE(WaitForExit(thread));
    EXPECT_TRUE(uitest::WaitUntil([] { return Owner().exits.load() == 1; }));
    EXPECT_TRUE(Saw("H6")) << "the server is told";
    const std::string item = ServerItem("slow.bin");
    EXPECT_EQ("Y", protoserver::Control::Value(item, "incomplete")) << item;
}

TEST_F(UploadRun, AnUnreadableFileOrFolderFailsThatItemOnly)
{
    const std::wstring locked = Local(L"locked.bin");
    const std::wstring fine = Local(L"fine.bin");
    WriteLocal(locked, 2000, 100);
    WriteLocal(fine, 2000, 101);
    HANDLE hold = CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    CUploadThread* thread =
        Start({Item(Local(L"gone-folder"), true), Item(locked, false), Item(fine, false)});
    ASSERT_TRUE(WaitForRunEnd(thread));
    CloseHandle(hold);
    EXPECT_EQ(2, thread->m_dlg.GetFailedCount());
    EXPECT_EQ(0, thread->m_dlg.GetAbandonedCount());
    EXPECT_EQ(1, thread->m_dlg.GetSentCount());
    EXPECT_EQ(2u, Rows(thread, 10094).size());
    const std::vector<Row> rows = Rows(thread);
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ(L"Failed", rows[1].status);
    EXPECT_EQ(L"Completed", rows[2].status);
    Finish(thread);
    EXPECT_EQ(Checksum(fine), protoserver::Control::Value(ServerItem("fine.bin"), "checksum"));
}

TEST_F(UploadRun, AFolderTheServerKeepsCallingExistingAsksOnceAndTheRunGoesOn)
{
    const std::wstring folder = Local(L"exists");
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteLocal(folder + L"\\inside.bin", 100, 110);
    const std::wstring after = Local(L"after.bin");
    WriteLocal(after, 3000, 111);
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1310 cmd=F0 count=* -- A folder with the same name exists.")
                        .substr(0, 2));
    PromptAnswerer answer(10017, false);
    CUploadThread* thread = Start({Item(folder, true), Item(after, false)});
    ASSERT_TRUE(WaitForRunEnd(thread, 30000));
    EXPECT_EQ(1, answer.Count());
    EXPECT_EQ(1, thread->m_dlg.GetSentCount());
    Finish(thread);
    EXPECT_EQ(Checksum(after), protoserver::Control::Value(ServerItem("after.bin"), "checksum"));
}

TEST_F(UploadRun, ManyItemsAddedWhileTheWorkerRunsAreAllUploadedExactlyOnce)
{
    const std::wstring first = Local(L"first.bin");
    WriteLocal(first, 1024 * 1024, 80);
    ASSERT_EQ("OK", Control("SWITCH bandwidth=512").substr(0, 2));
    // Additions that land while a list is being filled are refused with a box: answer it and
    // hand the same batch over again, as the main program's user would.
    uitest::AutoAnswer refusals(L"Corvane IXO MessageBox", IDOK);
    CUploadThread* thread = Start({Item(first, false)});
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Saw("H3") || Saw("H0"); }, 15000)) << "the worker runs";
    const size_t before = ListPath({}).size();

    std::vector<std::wstring> added;
    for (int batch = 0; batch < 6; ++batch) {
        std::vector<_UPLOADINFO> items;
        for (int i = 0; i < 5; ++i) {
            const std::wstring path =
                Local((L"add-" + std::to_wstring(batch) + L"-" + std::to_wstring(i) + L".bin").c_str());
            WriteLocal(path, 3000 + 100 * i, 200 + batch * 10 + i);
            items.push_back(Item(path, false));
            added.push_back(path);
        }
        ASSERT_TRUE(uitest::WaitUntil([&] {
            EXPECT_EQ(0, thread->AddUploadInfo(items));
            return items.empty();
        }, 20000)) << "batch " << batch << " was never taken";
    }
    ASSERT_TRUE(WaitForRunEnd(thread, 90000));
    const std::vector<Row> rows = Rows(thread);
    EXPECT_EQ(31u, rows.size());
    EXPECT_TRUE(AllRows(rows, L"Completed"));
    EXPECT_EQ(31u, thread->m_dlg.GetItemCount()) << "every item is queued once";
    EXPECT_EQ(31u, thread->m_dlg.GetNextIndex());
    EXPECT_EQ(0, thread->m_dlg.GetFailedCount());
    Finish(thread);
    const std::vector<_PROTO_FOLDER_INFO> top = ListPath({});
    EXPECT_EQ(before + 30, top.size()) << "no item went up twice under another name";
    for (const std::wstring& path : added) {
        const std::wstring name = path.substr(path.rfind(L'\\') + 1);
        EXPECT_EQ(Checksum(path), protoserver::Control::Value(ServerItem(Utf8(name)), "checksum")) << Utf8(name);
    }
}

TEST_F(UploadRun, AStreamTheServerCutsResumesToAByteIdenticalFile)
{
    const std::wstring path = Local(L"cut.bin");
    // Far more than the sockets' buffers hold, cut inside the second frame: the sender meets
    // the cut while it still sends.
    WriteLocal(path, 24 * 1024 * 1024 + 4321, 90);
    ASSERT_EQ("OK", Control("FAULT cut-stream bytes=100000 cmd=H3").substr(0, 2));
    CUploadThread* thread = Start({Item(path, false)});
    ASSERT_TRUE(WaitForRunEnd(thread, 60000));
    EXPECT_EQ(1u, Rows(thread, 10094).size()) << "the cut is logged once";
    EXPECT_EQ(1, thread->m_dlg.GetSentCount());
    EXPECT_EQ(0, thread->m_dlg.GetAbandonedCount());
    const std::vector<Row> rows = Rows(thread);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Completed", rows[0].status);
    Finish(thread);
    EXPECT_TRUE(ServerHoldsSame(ListPath({}), L"cut.bin", path));
    EXPECT_TRUE(Saw("H5"));
}

TEST_F(UploadRun, AForcedStopWhileTheResultListIsOpenClosesTheListAndEndsTheThread)
{
    const std::wstring path = Local(L"listed.bin");
    WriteLocal(path, 5000, 62);
    ProtRecord error;
    error[44] = "E";
    error[181] = "listed.bin";
    error[255] = "Refused";
    ProtRecord last;
    last[44] = "N";
    ASSERT_EQ("OK", Control("FAULT payload cmd=H5 hex=" + road::RecordHex({error, last})).substr(0, 2));
    CUploadThread* thread = Start({Item(path, false)});
    HWND list = uitest::WaitForDialog(L"Upload Results", 30000);
    ASSERT_NE(nullptr, list);
    // The main program stops transfers at log-out; nobody is there to press OK.
    thread->EndUploadForce();
    EXPECT_TRUE(uitest::WaitForWindowGone(list, 10000));
    EXPECT_TRUE(WaitForExit(thread, 15000));
    EXPECT_TRUE(uitest::WaitUntil([] { return Owner().exits.load() == 1; }));
}

TEST_F(UploadRun, TheWindowLeavesTheCallersSocketLibraryReferenceAlone)
{
    const std::wstring path = Local(L"wsa.bin");
    WriteLocal(path, 1000, 63);
    m_proto.CloseSocket();
    const int before = SocketLibraryReferences();
    ASSERT_GT(before, 0);
    CUploadThread* thread = Start({Item(path, false)});
    ASSERT_TRUE(WaitForRunEnd(thread));
    Finish(thread);
    m_proto.CloseSocket();
    EXPECT_EQ(before, SocketLibraryReferences()) << "a release without its own start takes the caller's";
}

TEST_F(UploadRun, AtTheDocumentManagementSiteAWorkAreaFileGoesUpAsItsLinkFile)
{
    const std::wstring work = Local(L"work");
    CreateDirectoryW(work.c_str(), nullptr);
    const std::wstring inside = work + L"\\plan.doc";
    const std::wstring link = Local(L"plan-link.bin");
    const std::wstring outside = Local(L"notes.bin");
    WriteLocal(inside, 4000, 120);
    WriteLocal(link, 900, 121);
    WriteLocal(outside, 1500, 122);
    g_ecmWork = work;
    g_ecmLink = link;
    testseam::Swap<CUploadEcm::Factory> ecm(CUploadEcm::s_pfnCreate, MakeTestEcm);
    m_proto.CustomerCode = L"KESTALMOTOR_IN";
    CUploadThread* thread = Start({Item(inside, false), Item(outside, false)});
    ASSERT_TRUE(WaitForRunEnd(thread));
    EXPECT_TRUE(AllRows(Rows(thread), L"Completed"));
    Finish(thread);
    const std::vector<_PROTO_FOLDER_INFO> top = ListPath({});
    EXPECT_TRUE(ServerHoldsSame(top, L"plan-link.bin", link));
    EXPECT_EQ(nullptr, Find(top, L"plan.doc")) << "the work-area file itself never leaves";
    EXPECT_TRUE(ServerHoldsSame(top, L"notes.bin", outside));
}

TEST_F(UploadRun, AtTheDocumentManagementSiteAMissingComponentFailsTheFileAndSaysSo)
{
    const std::wstring path = Local(L"ecm.bin");
    WriteLocal(path, 1000, 123);
    testseam::Swap<CUploadEcm::Factory> ecm(CUploadEcm::s_pfnCreate, MakeNoEcm);
    m_proto.CustomerCode = L"KESTALMOTOR_IN";
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    CUploadThread* thread = Start({Item(path, false)});
    ASSERT_TRUE(WaitForRunEnd(thread));
    EXPECT_EQ(1, thread->m_dlg.GetFailedCount());
    const std::vector<Row> rows = Rows(thread);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"Failed", rows[0].status);
    ASSERT_TRUE(boxes.WaitForCount(1));
    const std::vector<std::wstring> texts = boxes.Seen()[0].texts;
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), L"ECM 모듈을 찾을 수 없습니다."));
    Finish(thread);
    EXPECT_FALSE(Saw("H0")) << "nothing was announced";
}

TEST_F(UploadRun, AnAdditionRefusedDuringTheResultPhaseReturnsAtOnceAndTheWindowSaysWhy)
{
    const std::wstring path = Local(L"phase.bin");
    const std::wstring later = Local(L"later.bin");
    WriteLocal(path, 2000, 130);
    WriteLocal(later, 2000, 131);
    ASSERT_EQ("OK", Control("FAULT delay ms=4000 cmd=H5").substr(0, 2));
    CUploadThread* thread = Start({Item(path, false)});
    ASSERT_TRUE(uitest::WaitUntil([&] { return Saw("H5"); }, 15000)) << "the result phase runs";

    std::vector<_UPLOADINFO> items{Item(later, false)};
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        thread->AddUploadInfo(items);
        returned = true;
    });
    // The caller is the main program's window thread: it must not wait for the user.
    const bool prompt = uitest::WaitUntil([&] { return returned.load(); }, 2000);
    HWND box = nullptr;
    uitest::WaitUntil([&] { return (box = uitest::FindTopWindow(L"#32770", L"Corvane IXO MessageBox")) != nullptr; },
                      5000);
    ASSERT_NE(nullptr, box);
    EXPECT_TRUE(prompt) << "the refusal held the caller";
    EXPECT_EQ(GetWindowThreadProcessId(Window(thread), nullptr), GetWindowThreadProcessId(box, nullptr))
        << "the box runs on the upload window's thread";
    uitest::ClickButton(box, IDOK);
    caller.join();
    EXPECT_EQ(1u, items.size()) << "a refused batch stays with the caller";
    ASSERT_TRUE(WaitForRunEnd(thread, 20000));
    EXPECT_EQ(1u, Rows(thread).size());
    Finish(thread);
    EXPECT_EQ("ERR", ServerItem("later.bin").substr(0, 3));
}

TEST_F(UploadRun, TheCloseWhenDoneBoxShowsItsCheckMark)
{
    const std::wstring path = Local(L"box.bin");
    WriteLocal(path, 1000, 140);
    CUploadThread* thread = Start({Item(path, false)});
    ASSERT_TRUE(WaitForRunEnd(thread));
    HWND box = GetDlgItem(Window(thread), 10030);
    ASSERT_NE(nullptr, box);
    ASSERT_EQ(BST_UNCHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
    const uitest::Pixels before = uitest::CaptureWindow(box, 300);
    PostMessageW(box, BM_CLICK, 0, 0);
    ASSERT_TRUE(uitest::WaitUntil([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    const uitest::Pixels after = uitest::CaptureWindow(box, 300);
    ASSERT_FALSE(before.Empty());
    ASSERT_EQ(before.width, after.width);
    int changed = 0;
    for (size_t i = 0; i < before.bgra.size() && i < after.bgra.size(); ++i)
        changed += before.bgra[i] != after.bgra[i];
    EXPECT_GE(changed, 6) << "a ticked box looks ticked";
    Finish(thread);
}

TEST_F(UploadRun, AResultRequestOnAConnectionTheServerDroppedIsAskedAgainOnANewOne)
{
    const std::wstring path = Local(L"asked.bin");
    WriteLocal(path, 3000, 150);
    ASSERT_EQ("OK", Control("FAULT close cmd=H5").substr(0, 2));
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    CUploadThread* thread = Start({Item(path, false)});
    ASSERT_TRUE(WaitForRunEnd(thread, 30000));
    EXPECT_EQ(0, boxes.Count()) << "the second request got the answer";
    EXPECT_EQ(1, thread->m_dlg.GetSentCount());
    EXPECT_EQ(0, thread->m_dlg.GetResultErrorCount());
    EXPECT_EQ(L"Completed", Rows(thread)[0].status);
    Finish(thread);
}
