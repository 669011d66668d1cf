// The name-conflict prompt, the upload result list and the upload tip on their own, driven as a
// user drives them; and screenshots of the upload window, the prompt and the result list in
// Korean and English for people to look at (saved in the program's scratch folder).
#include <winsock2.h>
#include "UploadHost.h"
#include "FileDuplicateDlg.h"
#include "Library.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "ToviTextLanguage.h"
#include "UploadAlertDlg.h"
#include "UploadResultListDlg.h"
#include "WindowDriver.h"
#include <cstring>
#include <memory>

using namespace uploadtest;

namespace {

class PromptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        ui.SetPreTranslate(&AfxPreTranslateMessage);
    }
    void TearDown() override { ToviInterfaceTerm(); }

    uitest::UiThread ui;
};

TEST_F(PromptTest, AnswersAndTheApplyToAllBox)
{
    const struct {
        const char* kind;
        bool tick;
        int button;     // 0: the window is closed
        INT_PTR result;
        BYTE applyAll;
    } rows[] = {
        {"F", false, 10017, 1, 0}, {"F", true, 10017, 1, 1}, {"F", false, 10018, 2, 0}, {"D", true, 10018, 2, 1},
        {"F", true, IDCANCEL, 3, 0},   // the box is not read on Cancel
        {"F", true, 0, 3, 0},          // closing is Cancel
        {"D", false, 10125, 3, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.kind) + " tick " + std::to_string(row.tick) + " button " +
                     std::to_string(row.button));
        INT_PTR result = -5;
        BYTE applyAll = 9;
        std::wstring question;
        auto task = ui.Post([&] {
            CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
            CFileDuplicateDlg dlg;
            dlg.m_strName = L"report.doc";
            std::strcpy(dlg.m_szKind, row.kind);
            result = dlg.DoModal();
            applyAll = dlg.m_bApplyAll;
        });
        HWND prompt = uitest::WaitForDialog(CFileDuplicateDlg::kFindTitle);
        ASSERT_NE(nullptr, prompt);
        question = uitest::GetText(GetDlgItem(prompt, 10014));
        EXPECT_EQ(L"report.doc", uitest::GetText(GetDlgItem(prompt, 10016)));
        if (row.tick)
            SendMessageW(GetDlgItem(prompt, 10019), BM_SETCHECK, BST_CHECKED, 0);
        if (row.button)
            uitest::ClickButton(prompt, row.button);
        else
            uitest::CloseWindow(prompt);
        ASSERT_TRUE(task->Wait());
        EXPECT_EQ(row.result, result);
        EXPECT_EQ(row.applyAll, applyAll);
        EXPECT_NE(std::wstring::npos, question.find(row.kind[0] == 'F' ? L"file" : L"folder")) << Utf8(question);
    }
}

TEST_F(PromptTest, TheWindowTextStaysTheSameInKorean)
{
    auto task = ui.Post([] {
        CToviTextLanguage::SetThreadLanguage(LANG_KOREAN);
        CFileDuplicateDlg dlg;
        dlg.DoModal();
    });
    HWND prompt = uitest::WaitForDialog(L"Corvane IXO FileDuplicateDlg");
    ASSERT_NE(nullptr, prompt);
    CFileDuplicateDlg::CloseOpenPrompt();
    EXPECT_TRUE(task->Wait());
}

TEST_F(PromptTest, TheResultListGrowsForItsMessageAndStaysWhileApprovalIsOpen)
{
    for (bool message : {false, true}) {
        SCOPED_TRACE(message ? "with a message" : "without a message");
        RECT empty = {}, shown = {};
        auto task = ui.Post([&] {
            CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
            CUploadResultListDlg dlg;
            _PROTO_UPLOAD_RESULT record = {};
            wcscpy(record.wszName, L"plan.xlsx");
            wcscpy(record.wszErrString, L"Held for approval");
            dlg.m_vecResult.push_back(record);
            if (message)
                dlg.m_strMessage = L"Files held back need an approval.";
            dlg.DoModal();
            EXPECT_TRUE(dlg.m_vecResult.size() == 1);
        });
        HWND list = uitest::WaitForDialog(L"Upload Results");
        ASSERT_NE(nullptr, list);
        GetClientRect(list, message ? &shown : &empty);
        const int height = (message ? shown : empty).bottom;
        static int templateHeight = 0;
        if (!message)
            templateHeight = height;
        else
            EXPECT_EQ(templateHeight + 30, height);
        EXPECT_EQ(1, static_cast<int>(SendMessageW(GetDlgItem(list, 10096), LVM_GETITEMCOUNT, 0, 0)));

        // An open approval window keeps the list.
        HWND approval = CreateWindowExW(0, L"STATIC", L"Export Approval", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        nullptr, nullptr);
        uitest::ClickButton(list, IDOK);
        Sleep(300);
        EXPECT_TRUE(IsWindow(list));
        DestroyWindow(approval);
        uitest::ClickButton(list, IDOK);
        EXPECT_TRUE(task->Wait());
    }
}

TEST_F(PromptTest, TheTipFallsBackToDotumAndSizesItselfToItsLines)
{
    const CString face = CUploadAlertDlg::ChooseFace();
    EXPECT_TRUE(face == L"돋움" || face.Left(5) == L"맑은 고딕") << Utf8(face.GetString());
    INT_PTR result = 0;
    auto task = ui.Post([&] {
        CUploadAlertDlg dlg;
        result = dlg.DoModal();
    });
    HWND tip = uitest::WaitForDialog(L"Corvane IXO Upload Alert");
    ASSERT_NE(nullptr, tip);
    RECT rect;
    GetWindowRect(tip, &rect);
    EXPECT_GT(rect.right - rect.left, 200);
    uitest::ClickButton(tip, IDCANCEL);
    ASSERT_TRUE(task->Wait());
    EXPECT_EQ(IDCANCEL, result);
}

class UploadPictures : public UploadHost {};

TEST_F(UploadPictures, UploadWindowPromptAndResultListInKoreanAndEnglish)
{
    const std::wstring dir = testpaths::ScratchDir(L"TransferDialogsUiTest");
    for (unsigned short language : {18, 9}) {
        const std::wstring tag = language == 18 ? L"ko" : L"en";
        UseLanguage(language);
        const std::wstring slow = Scratch((L"slow-" + tag + L".bin").c_str());
        const std::wstring twin = Scratch((L"twin-" + tag + L".bin").c_str());
        const std::wstring folder = Scratch((L"사진-" + tag).c_str());
        CreateDirectoryW(folder.c_str(), nullptr);
        road::WriteLocal(folder + L"\\휴가 사진 2026년 여름 제주도 여행.jpg", 40000, 2);
        road::WriteLocal(slow, 2 * 1024 * 1024, 1);
        road::WriteLocal(twin, 30000, 3);
        ASSERT_NE(road::UploadOutcome::Failed, Upload(m_proto, twin, m_myFiles, "1"));
        road::WriteLocal(twin, 30000, 4);
        ASSERT_EQ("OK", Control("SWITCH bandwidth=512").substr(0, 2));
        ProtRecord error;
        error[44] = "E";
        error[181] = Utf8(L"휴가 사진 2026년 여름 제주도 여행.jpg");
        error[255] = Utf8(language == 18 ? L"반출 승인을 기다리는 파일입니다." : L"Waiting for export approval");
        ProtRecord last;
        last[44] = "N";
        ASSERT_EQ("OK", Control("FAULT payload cmd=H5 hex=" + road::RecordHex({error, last})).substr(0, 2));

        CUploadThread* thread = Start({Item(folder, true), Item(slow, false), Item(twin, false)});
        ASSERT_NE(nullptr, thread);
        ASSERT_TRUE(uitest::WaitUntil([&] { return Saw("H0"); }, 15000));
        // The run stops at the name conflict: the window's picture is taken there.
        HWND prompt = uitest::WaitForDialog(CFileDuplicateDlg::kFindTitle, 30000);
        ASSERT_NE(nullptr, prompt);
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(Window(thread), 300), dir + L"\\upload-" + tag + L".png"));
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(prompt, 500), dir + L"\\prompt-" + tag + L".png"));
        uitest::ClickButton(prompt, 10017);
        HWND list = uitest::WaitForDialog(language == 18 ? L"업로드 결과" : L"Upload Results", 30000);
        ASSERT_NE(nullptr, list);
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(list, 500), dir + L"\\result-" + tag + L".png"));
        uitest::ClickButton(list, IDOK);
        ASSERT_TRUE(WaitForRunEnd(thread));
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(Window(thread), 300), dir + L"\\done-" + tag + L".png"));
        Finish(thread);
        ASSERT_EQ("OK", Control("SWITCH bandwidth=0").substr(0, 2));
    }
}

}
