// Uploads and downloads against the test server: a tree of files makes the round trip with
// every frame factor, cut-off transfers resume, identical files are skipped, and the upload
// summary and announcement keep within their buffers.
#include <winsock2.h>
#include "RoadServer.h"
#include "FileUtils.h"
#include "ToviConn.h"
#include <cstring>

using namespace road;

namespace {

class TransferTest : public RoadTest {
protected:
    void SetUp() override
    {
        RoadTest::SetUp();
        ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
        m_myFiles = TopFolder(m_proto, L"My Files");
        ASSERT_FALSE(m_myFiles.empty());
    }

    // The frame factor as a worker takes it: from the options, onto its connection.
    void UseFactor(int factor)
    {
        ASSERT_EQ("OK", Control("OPTION A1 159=" + std::to_string(factor)).substr(0, 2));
        ASSERT_EQ(0, m_proto.GetOption());
        ASSERT_EQ(0, m_proto.GetSessionUpdate(m_proto.LoginInfo.SessionId)) << "connect";
        m_proto.SetUpDownFactor(m_proto.OptionInfo.Factor);
    }

    std::string MakeFolder(const std::string& parent, const wchar_t* name)
    {
        std::string idx = parent;
        if (m_proto.GetMakeNewDir(&idx[0], const_cast<char*>("1"), name, const_cast<char*>("1")) != 0) {
            ADD_FAILURE() << "folder " << m_proto.Message();
            return std::string();
        }
        return m_proto.CurFolderInfo.IDX;
    }

    // Polls the upload summary until its last line; the error lines it carried.
    std::vector<_PROTO_UPLOAD_RESULT> UploadErrors()
    {
        std::vector<_PROTO_UPLOAD_RESULT> errors;
        for (int round = 0; round < 50; ++round) {
            EXPECT_EQ(0, m_proto.GetUploadResult(nullptr)) << m_proto.Message();
            bool last = m_proto.UploadResult.empty();
            for (const _PROTO_UPLOAD_RESULT& line : m_proto.UploadResult) {
                if (std::strcmp(line.szContinue, "N") == 0)
                    last = true;
                else if (std::strcmp(line.szContinue, "Y") != 0)
                    errors.push_back(line);
            }
            if (last)
                break;
        }
        return errors;
    }

    // Waits until the server has dealt with every protocol connection it had.
    void WaitForServerToSettle()
    {
        for (int i = 0; i < 200; ++i) {
            if (protoserver::Control::Value(Control("COUNT"), "open") == "0")
                return;
            Sleep(25);
        }
        ADD_FAILURE() << "the server kept a connection open";
    }

    std::string m_myFiles;
};

uint64_t Frames(uint64_t size, int factor)
{
    const uint64_t frame = static_cast<uint64_t>(factor) * 65000;
    return (size + frame - 1) / frame;
}

}

TEST_F(TransferTest, ATreeMakesTheRoundTripByteIdenticalWithEveryFactor)
{
    struct Row {
        int factor;
        bool fileKeys;
    };
    const Row rows[] = {{1, false}, {2, true}, {32, true}};
    const size_t kOdd = 65001, kBig = 5 * 1024 * 1024;
    for (const Row& row : rows) {
        SCOPED_TRACE("factor " + std::to_string(row.factor) + (row.fileKeys ? " with file keys" : ""));
        ASSERT_EQ("OK", Control(std::string("SWITCH fileKeys=") + (row.fileKeys ? "1" : "0")).substr(0, 2));
        UseFactor(row.factor);
        const std::wstring tag = std::to_wstring(row.factor);
        const std::wstring local = Scratch((L"up" + tag).c_str());
        CreateDirectoryW(local.c_str(), nullptr);
        CreateDirectoryW((local + L"\\sub").c_str(), nullptr);
        WriteLocal(local + L"\\empty.bin", 0);
        WriteLocal(local + L"\\odd.bin", kOdd, 11);
        WriteLocal(local + L"\\sub\\big.bin", kBig, 12);

        Script() = ProgressScript();
        const std::string tree = MakeFolder(m_myFiles, (L"tree" + tag).c_str());
        const std::string sub = MakeFolder(tree, L"sub");
        ASSERT_FALSE(sub.empty());
        EXPECT_EQ(UploadOutcome::New, Upload(m_proto, local + L"\\empty.bin", tree, "1")) << m_proto.Message();
        EXPECT_EQ(UploadOutcome::New, Upload(m_proto, local + L"\\odd.bin", tree, "1")) << m_proto.Message();
        EXPECT_EQ(UploadOutcome::New, Upload(m_proto, local + L"\\sub\\big.bin", sub, "1")) << m_proto.Message();
        EXPECT_TRUE(UploadErrors().empty());
        EXPECT_EQ(Frames(kOdd, row.factor) + Frames(kBig, row.factor), Script().uploadFrames);
        EXPECT_EQ(kOdd + kBig, Script().uploadBytes);

        const std::wstring back = Scratch((L"down" + tag).c_str());
        CreateDirectoryW(back.c_str(), nullptr);
        std::vector<_PROTO_FOLDER_INFO> top = ListAll(m_proto, tree, "1");
        std::vector<_PROTO_FOLDER_INFO> inner = ListAll(m_proto, sub, "1");
        struct Pair { const std::vector<_PROTO_FOLDER_INFO>* list; const wchar_t* name; std::wstring source; };
        const Pair files[] = {{&top, L"empty.bin", local + L"\\empty.bin"},
                              {&top, L"odd.bin", local + L"\\odd.bin"},
                              {&inner, L"big.bin", local + L"\\sub\\big.bin"}};
        for (const Pair& file : files) {
            const _PROTO_FOLDER_INFO* item = Find(*file.list, file.name);
            ASSERT_NE(nullptr, item) << "listed: " << std::wstring(file.name);
            EXPECT_EQ(row.fileKeys, item->Attr9[0] != 0);
            const std::wstring target = back + L"\\" + file.name;
            ASSERT_EQ(0, Download(m_proto, *item, target)) << m_proto.Message();
            EXPECT_TRUE(SameFile(file.source, target)) << "round trip of " << std::wstring(file.name);
        }
    }
}

TEST_F(TransferTest, ACutOffUploadResumesFromTheServersPartialCopy)
{
    const size_t kSize = 5 * 1024 * 1024;
    const std::wstring source = Scratch(L"resume.bin");
    WriteLocal(source, kSize, 21);
    UseFactor(2);
    Script().cancelUploadAfterFrames = 3;
    EXPECT_EQ(UploadOutcome::New, Upload(m_proto, source, m_myFiles, "1"));
    EXPECT_EQ(3u * 130000, Script().uploadBytes);
    // The connection goes down with the upload unfinished.
    m_proto.CloseSocket();
    WaitForServerToSettle();
    EXPECT_EQ("Y", protoserver::Control::Value(Control("ITEM user=road -- My Files/resume.bin"), "incomplete"));

    Script() = ProgressScript();
    EXPECT_EQ(UploadOutcome::Resumed, Upload(m_proto, source, m_myFiles, "1")) << m_proto.Message();
    EXPECT_EQ(kSize - 3u * 130000, Script().uploadBytes) << "only what the server lacked";
    EXPECT_TRUE(UploadErrors().empty());
    const std::string item = Control("ITEM user=road -- My Files/resume.bin");
    EXPECT_EQ("N", protoserver::Control::Value(item, "incomplete"));
    EXPECT_EQ(std::to_string(CFileUtils::ComputeChecksum(source.c_str(), 0)),
              protoserver::Control::Value(item, "checksum"));

    const _PROTO_FOLDER_INFO* listed = Find(ListAll(m_proto, m_myFiles, "1"), L"resume.bin");
    ASSERT_NE(nullptr, listed);
    const _PROTO_FOLDER_INFO copy = *listed;
    ASSERT_EQ(0, Download(m_proto, copy, Scratch(L"resume-back.bin")));
    EXPECT_TRUE(SameFile(source, Scratch(L"resume-back.bin")));
}

TEST_F(TransferTest, ACutOffDownloadResumesFromTheLocalCopy)
{
    const size_t kSize = 3000000;
    ASSERT_EQ("OK", Control("SWITCH fileKeys=1").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=road size=" + std::to_string(kSize) + " -- My Files/cut.bin").substr(0, 2));
    std::vector<_PROTO_FOLDER_INFO> items = ListAll(m_proto, m_myFiles, "1");
    const _PROTO_FOLDER_INFO* listed = Find(items, L"cut.bin");
    ASSERT_NE(nullptr, listed);
    const std::wstring target = Scratch(L"cut.bin");

    ASSERT_EQ("OK", Control("FAULT cut-stream bytes=1000000 cmd=H1").substr(0, 2));
    EXPECT_NE(0, Download(m_proto, *listed, target));
    const std::string part = ReadLocal(target);
    ASSERT_GT(part.size(), 0u);
    ASSERT_LT(part.size(), kSize);
    EXPECT_EQ(protoserver::Pattern(0, part.size()), part);

    Script() = ProgressScript();
    ASSERT_EQ(0, Download(m_proto, *listed, target)) << m_proto.Message();
    EXPECT_EQ(kSize - part.size(), Script().downloadBytes) << "only the rest came";
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, kSize), ReadLocal(target)));
}

TEST_F(TransferTest, ALocalCopyThatDiffersIsFetchedWhole)
{
    ASSERT_EQ("OK", Control("FILE user=road size=200000 -- My Files/other.bin").substr(0, 2));
    const _PROTO_FOLDER_INFO* listed = Find(ListAll(m_proto, m_myFiles, "1"), L"other.bin");
    ASSERT_NE(nullptr, listed);
    const _PROTO_FOLDER_INFO copy = *listed;
    const std::wstring target = Scratch(L"other.bin");
    WriteLocal(target, 1000, 5);
    ASSERT_EQ(0, Download(m_proto, copy, target)) << m_proto.Message();
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 200000), ReadLocal(target)));
}

TEST_F(TransferTest, AReuploadOfAnIdenticalFileIsSkippedAndAChangedOneOverwritten)
{
    const std::wstring source = Scratch(L"same.bin");
    WriteLocal(source, 300000, 31);
    UseFactor(2);
    ASSERT_EQ(UploadOutcome::New, Upload(m_proto, source, m_myFiles, "1"));
    Script() = ProgressScript();
    EXPECT_EQ(UploadOutcome::Skipped, Upload(m_proto, source, m_myFiles, "1"));
    EXPECT_EQ(0u, Script().uploadBytes);
    WriteLocal(source, 300000, 32);
    EXPECT_EQ(UploadOutcome::Overwritten, Upload(m_proto, source, m_myFiles, "1"));
    EXPECT_TRUE(UploadErrors().empty());
    EXPECT_EQ(std::to_string(CFileUtils::ComputeChecksum(source.c_str(), 0)),
              protoserver::Control::Value(Control("ITEM user=road -- My Files/same.bin"), "checksum"));
}

TEST_F(TransferTest, AnAnnouncementAnswerFillsUploadInfoWithinItsSlots)
{
    ProtRecord reply;
    reply[192] = std::string(30, '9');
    reply[205] = std::string(30, '8');
    reply[181] = std::string(700, 'f');
    reply[188] = std::string(40, '2');
    ASSERT_EQ("OK", Control("FAULT payload cmd=H0 hex=" + RecordHex({reply})).substr(0, 2));
    ASSERT_EQ(0, m_proto.GetUploadInfo(&m_myFiles[0], const_cast<char*>("1"), L"x.bin", L"", 10, nullptr, nullptr,
                                       nullptr));
    EXPECT_EQ(std::string(20, '9'), m_proto.UploadInfo.szStoredSize);
    EXPECT_EQ(std::string(20, '8'), m_proto.UploadInfo.szStoredChecksum);
    EXPECT_EQ(std::wstring(511, L'f'), m_proto.UploadInfo.wszFileName);
    EXPECT_EQ(std::wstring(23, L'2'), m_proto.UploadInfo.wszFileTime);
}

TEST_F(TransferTest, UploadSummaryLinesAreCutToTheirSlots)
{
    ProtRecord error;
    error[44] = "E";
    error[181] = std::string(600, 'n');
    error[255] = std::string(1500, 'e');
    error[173] = std::string(20, '7');
    ProtRecord last;
    last[44] = "N";
    ASSERT_EQ("OK", Control("FAULT payload cmd=H5 hex=" + RecordHex({error, last})).substr(0, 2));
    ASSERT_EQ(0, m_proto.GetUploadResult(nullptr));
    ASSERT_EQ(2u, m_proto.UploadResult.size());
    const _PROTO_UPLOAD_RESULT& line = m_proto.UploadResult[0];
    EXPECT_STREQ("E", line.szContinue);
    EXPECT_EQ(std::wstring(511, L'n'), line.wszName);
    EXPECT_EQ(std::wstring(1023, L'e'), line.wszErrString);
    EXPECT_EQ(std::wstring(9, L'7'), line.wszIdx);
    EXPECT_STREQ("N", m_proto.UploadResult[1].szContinue);
}

TEST_F(TransferTest, DownloadPositionAndUploadCancelCarryNoSessionId)
{
    EXPECT_EQ(0, m_proto.GetUploadCancel());
    std::vector<std::map<int, std::string>> cancel = LastRecords(Control("LAST cmd=H6"));
    ASSERT_FALSE(cancel.empty());
    EXPECT_EQ(0u, cancel[0].count(171));

    m_proto.GetDownloadPosition(const_cast<char*>("2"), 5);
    std::vector<std::map<int, std::string>> position = LastRecords(Control("LAST cmd=H1"));
    ASSERT_EQ(1u, position.size());
    EXPECT_EQ(0u, position[0].count(171));
    EXPECT_EQ("2", position[0][34]);
    EXPECT_EQ("5", position[0][204]);
}

TEST_F(TransferTest, ADownloadKeyOfTheWrongLengthIsRefusedBeforeAnythingIsSent)
{
    _PROTO_FOLDER_INFO item = {};
    std::strcpy(item.IDX, "100");
    std::strcpy(item.DIDX, "1");
    std::strcpy(item.Attr9, "short-key");
    EXPECT_EQ(IXO_SOCK_ERR_FIELD_LEN, Download(m_proto, item, Scratch(L"never.bin")));
    EXPECT_EQ(std::string::npos, Control("LAST").find("cmd=H1"));
}

TEST_F(TransferTest, AnUploadThatStopsShortIsAnErrorLineOfTheSummary)
{
    const std::wstring source = Scratch(L"short.bin");
    WriteLocal(source, 500000, 41);
    UseFactor(1);
    Script().cancelUploadAfterFrames = 2;
    ASSERT_EQ(UploadOutcome::New, Upload(m_proto, source, m_myFiles, "1"));
    ASSERT_EQ(2u * 65000, Script().uploadBytes);
    const std::vector<_PROTO_UPLOAD_RESULT> errors = UploadErrors();
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(std::wstring(L"short.bin"), errors[0].wszName);
    EXPECT_NE(L'\0', errors[0].wszErrString[0]);
    EXPECT_NE(L'\0', errors[0].wszIdx[0]);
    // Each short upload is reported once.
    EXPECT_TRUE(UploadErrors().empty());

    // One the user cancelled is the user's own doing.
    Script() = ProgressScript();
    Script().cancelUploadAfterFrames = 1;
    WriteLocal(source, 500000, 42);
    ASSERT_EQ(UploadOutcome::Overwritten, Upload(m_proto, source, m_myFiles, "1")) << m_proto.Message();
    ASSERT_EQ(65000u, Script().uploadBytes);
    EXPECT_EQ(0, m_proto.GetUploadCancel()) << m_proto.Message();
    EXPECT_TRUE(UploadErrors().empty());
}

TEST_F(TransferTest, ADownloadAnsweredByAnErrorWithoutAMessageFails)
{
    ASSERT_EQ("OK", Control("FILE user=road size=200000 -- My Files/bare.bin").substr(0, 2));
    const _PROTO_FOLDER_INFO* listed = Find(ListAll(m_proto, m_myFiles, "1"), L"bare.bin");
    ASSERT_NE(nullptr, listed);
    const _PROTO_FOLDER_INFO copy = *listed;
    // {240: "1500"} alone, as an E1: the file would count as fetched with nothing in it.
    ProtRecord bare;
    bare[240] = "1500";
    ASSERT_EQ("OK", Control("FAULT payload cmd=H1 hex=" + RecordHex({bare})).substr(0, 2));
    ASSERT_EQ("OK", Control("FAULT reply-as command=E1 cmd=H1").substr(0, 2));
    EXPECT_EQ(-1, Download(m_proto, copy, Scratch(L"bare.bin")));
    EXPECT_EQ(C_ERROR_WARN, m_proto.ResultInfo.nReplyCmd);
    EXPECT_EQ(1500, m_proto.ResultInfo.nResultCode);
    EXPECT_NE(L"", std::wstring(m_proto.ResultInfo.wszMessage));
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    // The next attempt fetches it.
    ASSERT_EQ(0, Download(m_proto, copy, Scratch(L"bare.bin"))) << m_proto.Message();
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 200000), ReadLocal(Scratch(L"bare.bin"))));
}

TEST_F(TransferTest, AResumeAnsweredWithoutItsDataFails)
{
    ASSERT_EQ("OK", Control("FILE user=road size=300000 -- My Files/nodata.bin").substr(0, 2));
    const _PROTO_FOLDER_INFO* listed = Find(ListAll(m_proto, m_myFiles, "1"), L"nodata.bin");
    ASSERT_NE(nullptr, listed);
    const _PROTO_FOLDER_INFO item = *listed;
    const std::wstring target = Scratch(L"nodata.bin");
    // The first part of the server's copy is here already.
    const std::string part = protoserver::Pattern(0, 100000);
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, part.data(), static_cast<DWORD>(part.size()), &written, nullptr);
    CloseHandle(file);
    std::string size = std::to_string(part.size());
    std::string checksum = std::to_string(CFileUtils::ComputeChecksum(target.c_str(), static_cast<__int64>(part.size())));
    file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER end = {};
    SetFilePointerEx(file, end, nullptr, FILE_END);
    char* key = item.Attr9[0] ? const_cast<char*>(item.Attr9) : nullptr;
    ASSERT_EQ(0, m_proto.GetDownloadInfo(m_wnd, file, const_cast<char*>(item.IDX), const_cast<char*>(item.DIDX),
                                         const_cast<char*>("0"), &size[0], &checksum[0], key))
        << m_proto.Message();
    ASSERT_STREQ("Y", m_proto.DownloadInfo.cAnswer);
    // The data's header turns into a plain answer: nothing is written.
    ASSERT_EQ("OK", Control("FAULT reply-as command=H1 cmd=H1").substr(0, 2));
    EXPECT_EQ(-1, m_proto.GetDownloadPosition(const_cast<char*>("3"), static_cast<__int64>(part.size())));
    CloseHandle(file);
    EXPECT_EQ(IXO_SOCK_ERR_RECV, m_proto.ResultInfo.nResultCode);
    EXPECT_NE(L"", std::wstring(m_proto.ResultInfo.wszMessage));
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    EXPECT_TRUE(filebytes::Same(part, ReadLocal(target)));
}
