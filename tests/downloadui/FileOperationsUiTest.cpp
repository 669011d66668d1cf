// The file-operation progress dialog against the test server: delete, paste as copy or move
// with name conflicts, bin clear and restore; the next listing shows the server's state.
#include <winsock2.h>
#include "DownloadHost.h"
#include "AutoAnswer.h"
#include "FileProgressDlg.h"
#include "WindowDriver.h"
#include <cstring>
#include <map>

using namespace downloadtest;

namespace {

struct Outcome {
    INT_PTR result = -1;
    bool error = false;
    bool untouched = true;
    std::vector<std::wstring> doneNames;
    size_t movedFolders = 0;
};

class FileOperations : public DownloadHost {
protected:
    void SetUp() override
    {
        DownloadHost::SetUp();
        m_myFiles = TopFolder(m_proto, L"My Files");
        ASSERT_FALSE(m_myFiles.empty());
    }

    void TearDown() override
    {
        CFileProgressDlg::SetStepLimit(0);
        DownloadHost::TearDown();
    }

    std::vector<_PROTO_FOLDER_INFO> List(const std::string& idx) { return ListAll(m_proto, idx, "1"); }
    std::vector<_PROTO_FOLDER_INFO> TopLevel()
    {
        EXPECT_EQ(0, m_proto.GetFolderInfo(const_cast<char*>("0"), const_cast<char*>("0"), const_cast<char*>("D"),
                                           false, true));
        return m_proto.FolderInfo;
    }
    std::vector<_PROTO_FOLDER_INFO> Pick(const std::vector<_PROTO_FOLDER_INFO>& listing,
                                         std::initializer_list<const wchar_t*> names)
    {
        std::vector<_PROTO_FOLDER_INFO> out;
        for (const wchar_t* name : names) {
            const _PROTO_FOLDER_INFO* item = Find(listing, name);
            EXPECT_NE(nullptr, item) << Utf8(name);
            if (item)
                out.push_back(*item);
        }
        return out;
    }

    // Runs the dialog modally as a server pane does and waits for it to end.
    Outcome Run(int type, std::vector<_PROTO_FOLDER_INFO> items, const std::string& source = std::string(),
                const std::string& target = std::string(), bool restore = false, const wchar_t* deleteFlag = L"1")
    {
        Outcome out;
        auto task = m_ui.Post([&, items] {
            CFileProgressDlg dlg;
            dlg.m_nType = type;
            dlg.m_strDeleteFlag = deleteFlag;
            std::strncpy(dlg.m_szSourceId, source.c_str(), 9);
            std::strncpy(dlg.m_szTargetId, target.c_str(), 9);
            dlg.m_pProto = &m_proto;
            dlg.m_vecItems = items;
            dlg.m_bRestore = restore;
            out.result = dlg.DoModal();
            out.error = dlg.m_bError;
            out.untouched = dlg.m_bUntouched;
            for (const _PROTO_FOLDER_INFO& done : dlg.m_vecDone)
                out.doneNames.push_back(done.Name);
            out.movedFolders = dlg.m_vecMovedFolders.size();
        });
        EXPECT_TRUE(task->Wait(30000)) << "the progress dialog did not end";
        return out;
    }

    std::string m_myFiles;
};

}

TEST_F(FileOperations, DeleteToTheBinThenRestoreThenClearTheBin)
{
    const std::string gone = PutFile("gone.bin", 1000);
    PutFile("keep/inside.txt", 10);
    const std::vector<_PROTO_FOLDER_INFO> top = List(m_myFiles);
    Outcome deleted = Run(CFileProgressDlg::kDelete, Pick(top, {L"gone.bin", L"keep"}));
    EXPECT_EQ(1, deleted.result);
    EXPECT_FALSE(deleted.error);
    EXPECT_FALSE(deleted.untouched);
    EXPECT_EQ(nullptr, Find(List(m_myFiles), L"gone.bin"));
    EXPECT_EQ(nullptr, Find(List(m_myFiles), L"keep"));
    EXPECT_NE(std::string::npos, Control("ITEM idx=" + gone).find("trashed=Y"));

    const std::string bin = TopFolder(m_proto, L"Recycle Bin");
    ASSERT_FALSE(bin.empty());
    const std::vector<_PROTO_FOLDER_INFO> trashed = List(bin);
    Outcome restored = Run(CFileProgressDlg::kPasteCopy, Pick(trashed, {L"keep"}), bin, m_myFiles, true);
    EXPECT_EQ(1, restored.result);
    EXPECT_FALSE(restored.error);
    ASSERT_NE(nullptr, Find(List(m_myFiles), L"keep"));
    EXPECT_EQ("N", ServerField("keep/inside.txt", "trashed"));

    Outcome cleared = Run(CFileProgressDlg::kClearBin, Pick(TopLevel(), {L"Recycle Bin"}));
    EXPECT_EQ(1, cleared.result);
    EXPECT_FALSE(cleared.error);
    for (const _PROTO_FOLDER_INFO& left : List(bin))
        if (left.Name[0])   // the folder's own record carries no name
            ADD_FAILURE() << "still in the bin: " << Utf8(left.Name);
    EXPECT_EQ("ERR", Control("ITEM idx=" + gone).substr(0, 3)) << "gone for good";
}

TEST_F(FileOperations, CopyAsksAboutADuplicateAndMoveTakesAFolderWhole)
{
    PutFile("src/a.txt", 0, "source a");
    PutFile("src/b.txt", 0, "source b");
    PutFile("src/sub/c.txt", 0, "source c");
    PutFile("dst/a.txt", 0, "old a");
    const std::string src = ServerField("src", "idx");
    const std::string dst = ServerField("dst", "idx");
    const std::vector<_PROTO_FOLDER_INFO> inSrc = List(src);

    PromptAnswerer overwrite(10017, false);
    Outcome copied = Run(CFileProgressDlg::kPasteCopy, Pick(inSrc, {L"a.txt", L"b.txt"}), src, dst);
    EXPECT_EQ(1, copied.result);
    EXPECT_FALSE(copied.error);
    EXPECT_EQ(1, overwrite.Count()) << "only a.txt exists there";
    EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"b.txt"}), copied.doneNames);
    EXPECT_EQ(ServerField("src/a.txt", "checksum"), ServerField("dst/a.txt", "checksum")) << "overwritten";
    EXPECT_NE(std::string(), ServerField("src/b.txt", "idx")) << "a copy leaves the source";

    Outcome moved = Run(CFileProgressDlg::kPasteMove, Pick(inSrc, {L"sub"}), src, dst);
    EXPECT_EQ(1, moved.result);
    EXPECT_FALSE(moved.error);
    EXPECT_EQ(1u, moved.movedFolders);
    EXPECT_EQ(nullptr, Find(List(src), L"sub"));
    EXPECT_NE(std::string(), ServerField("dst/sub/c.txt", "idx"));
}

TEST_F(FileOperations, SkipWithApplyToAllKeepsEveryTargetAndAFailedRequestSetsTheErrorFlag)
{
    PutFile("s/x.txt", 0, "new x");
    PutFile("s/y.txt", 0, "new y");
    PutFile("t/x.txt", 0, "old x");
    PutFile("t/y.txt", 0, "old y");
    const std::string s = ServerField("s", "idx");
    const std::string t = ServerField("t", "idx");
    const std::string oldX = ServerField("t/x.txt", "checksum");
    const std::string oldY = ServerField("t/y.txt", "checksum");
    PromptAnswerer skip(10018, true);
    Outcome pasted = Run(CFileProgressDlg::kPasteCopy, Pick(List(s), {L"x.txt", L"y.txt"}), s, t);
    EXPECT_EQ(1, pasted.result);
    EXPECT_EQ(1, skip.Count()) << "the answer applies to the rest";
    EXPECT_EQ(oldX, ServerField("t/x.txt", "checksum"));
    EXPECT_EQ(oldY, ServerField("t/y.txt", "checksum"));

    _PROTO_FOLDER_INFO missing = {};
    std::strcpy(missing.ItemType, "F");
    std::strcpy(missing.IDX, "999999");
    std::strcpy(missing.DIDX, "1");
    Outcome failed = Run(CFileProgressDlg::kDelete, {missing});
    EXPECT_EQ(1, failed.result);
    EXPECT_TRUE(failed.error);
    EXPECT_TRUE(failed.untouched);
    EXPECT_NE(0, m_proto.ResultInfo.wszMessage[0]) << "the caller shows the server's message";
}

TEST_F(FileOperations, AServerThatNeverEndsAnOperationIsAnsweredNAtTheBound)
{
    PutFile("from/loop.txt", 0, "loop");
    PutFolder("into");
    const std::string from = ServerField("from", "idx");
    const std::string into = ServerField("into", "idx");
    CFileProgressDlg::SetStepLimit(4);
    struct Row {
        const char* command;
        int type;
    };
    for (const Row& row : {Row{"F1", CFileProgressDlg::kPasteCopy}, Row{"F2", CFileProgressDlg::kDelete}}) {
        // The start, four rounds and the ending "N" all get a reply that names the item again.
        ASSERT_EQ("OK", Control(std::string("FAULT no-last-page count=6 cmd=") + row.command).substr(0, 2));
        const long before = RequestCount(row.command);
        Outcome out = row.type == CFileProgressDlg::kDelete
                          ? Run(row.type, Pick(List(from), {L"loop.txt"}))
                          : Run(row.type, Pick(List(from), {L"loop.txt"}), from, into);
        EXPECT_EQ(1, out.result) << row.command;
        EXPECT_TRUE(out.error) << row.command << ": the caller is told";
        EXPECT_NE(0, m_proto.ResultInfo.wszMessage[0]) << row.command << ": with a message to show";
        EXPECT_EQ(6, RequestCount(row.command) - before) << row.command;
        const std::vector<std::map<int, std::string>> last =
            road::LastRecords(Control(std::string("LAST cmd=") + row.command));
        ASSERT_FALSE(last.empty());
        EXPECT_EQ("N", last[0].count(44) ? last[0].at(44) : "") << row.command << ": the server is told to stop";
    }
}

TEST_F(FileOperations, CancelWhileTheServerPausesADeleteSendsNOnceAndEnds)
{
    PutFile("paused.txt", 10);
    ASSERT_EQ("OK", Control("FAULT no-last-page count=* cmd=F2").substr(0, 2));
    ASSERT_EQ("OK", Control("FAULT delay ms=200 count=* cmd=F2").substr(0, 2));
    CFileProgressDlg::SetStepLimit(50);   // a cancel that goes unheard still ends, later and otherwise
    Outcome out;
    const std::vector<_PROTO_FOLDER_INFO> items = Pick(List(m_myFiles), {L"paused.txt"});
    auto task = m_ui.Post([&, items] {
        CFileProgressDlg dlg;
        dlg.m_nType = CFileProgressDlg::kDelete;
        dlg.m_pProto = &m_proto;
        dlg.m_vecItems = items;
        out.result = dlg.DoModal();
        out.error = dlg.m_bError;
    });
    HWND wnd = uitest::WaitForDialog(CFileProgressDlg::kFindTitle, 10000);
    ASSERT_NE(nullptr, wnd);
    ASSERT_TRUE(uitest::WaitUntil([this] { return RequestCount("F2") >= 3; }, 10000));
    const long atCancel = RequestCount("F2");
    uitest::ClickButton(wnd, IDCANCEL);
    ASSERT_TRUE(task->Wait(15000));
    EXPECT_EQ(IDCANCEL, out.result);
    const long asked = RequestCount("F2");
    EXPECT_LE(asked, atCancel + 2) << "the answer under way, then the N";
    Sleep(800);
    EXPECT_EQ(asked, RequestCount("F2")) << "nothing more after the N";
    const std::vector<std::map<int, std::string>> last = road::LastRecords(Control("LAST cmd=F2"));
    ASSERT_FALSE(last.empty());
    EXPECT_EQ("N", last[0].count(44) ? last[0].at(44) : "");
}

// Enter ends the dialog while its worker waits on a reply: the dialog goes only after the
// worker stopped at its next safe point, and the caller's connection is left usable.
TEST_F(FileOperations, ADialogEndedWhileItsWorkerWaitsLeavesTheCallersConnectionUsable)
{
    const std::string slow = PutFile("slow.txt", 10);
    const std::vector<_PROTO_FOLDER_INFO> items = Pick(List(m_myFiles), {L"slow.txt"});
    ASSERT_EQ("OK", Control("FAULT delay ms=1500 count=1 cmd=F2").substr(0, 2));
    const long before = RequestCount("F2");
    auto task = m_ui.Post([&, items] {
        CFileProgressDlg dlg;
        dlg.m_nType = CFileProgressDlg::kDelete;
        dlg.m_strDeleteFlag = L"1";
        dlg.m_pProto = &m_proto;
        dlg.m_vecItems = items;
        dlg.DoModal();
    });
    HWND wnd = uitest::WaitForDialog(CFileProgressDlg::kFindTitle, 10000);
    ASSERT_NE(nullptr, wnd);
    ASSERT_TRUE(uitest::WaitUntil([&] { return RequestCount("F2") > before; }, 10000));
    PostMessageW(wnd, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(task->Wait(15000));
    EXPECT_NE(std::string::npos, Control("ITEM idx=" + slow).find("trashed=Y")) << "the request under way was seen through";
    bool listed = false;
    EXPECT_TRUE(protoserver::RunBounded(10, [&] { listed = Find(List(m_myFiles), L"slow.txt") == nullptr; },
                                        [&] { protoserver::ShutConnection(m_proto); }))
        << "the connection was left locked";
    EXPECT_TRUE(listed);
}
